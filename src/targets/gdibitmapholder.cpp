#include "targets/gdibitmapholder.h"

#include <QtGlobal>

#include "targets/bitmapreader.h"

// The target pictures and zone maps are compiled into this library; a static library registers
// its resources itself, and Q_INIT_RESOURCE must be used outside any namespace.
static bool RegisterTargetBitmaps() {
    Q_INIT_RESOURCE(targets);
    return true;
}

namespace zark {

QString BitmapResourcePath(int id) {
    [[maybe_unused]] static const bool registered = RegisterTargetBitmaps();
    return QStringLiteral(":/targets/%1.bmp").arg(id);
}

void GdiBitmapHolder::Init() { Release(); }

void GdiBitmapHolder::Prepare(QSize size) {
    Release();
    if (!size.isValid() || size.isEmpty()) return;
    image_ = QImage(size, QImage::Format_RGB32);
    if (image_.isNull()) return;
    image_.fill(Qt::black);
    bitsPerPixel_ = 1;
}

int GdiBitmapHolder::LoadResource(int id) {
    Release();
    if (id != 0) LoadFile(BitmapResourcePath(id));
    return 1;
}

int GdiBitmapHolder::LoadFile(const QString& path) {
    Release();
    BitmapInfo info;
    if (!LoadBitmapFile(path, image_, &info)) return 0;
    bitsPerPixel_ = info.bitsPerPixel;
    return 1;
}

void GdiBitmapHolder::Release() {
    image_ = QImage();
    bitsPerPixel_ = 0;
}

}  // namespace zark
