#include "targets/bitmappicture.h"

#include <QPainter>

#include "targets/bitmapreader.h"

namespace zark {

int BitmapPicture::Load(const QString& path) {
    Unload();
    if (path.isEmpty()) return 1;
    QImage image;
    if (!LoadBitmapFile(path, image)) return 0;
    image_ = std::move(image);
    width_ = image_.width();
    height_ = image_.height();
    return 1;
}

int BitmapPicture::Unload() {
    const int had = IsLoaded() ? 1 : 0;
    image_ = QImage();
    masked_ = QImage();
    width_ = 0;
    height_ = 0;
    return had;
}

void BitmapPicture::DrawTransparent(QPainter& painter, int x, int y, QRgb transparentColour) const {
    if (!IsLoaded()) return;
    const QRgb key = transparentColour & RGB_MASK;
    if (masked_.isNull() || maskedColour_ != key) {
        masked_ = image_.convertToFormat(QImage::Format_ARGB32);
        for (int row = 0; row < masked_.height(); ++row) {
            QRgb* line = reinterpret_cast<QRgb*>(masked_.scanLine(row));
            for (int col = 0; col < masked_.width(); ++col)
                if ((line[col] & RGB_MASK) == key) line[col] = 0;
        }
        maskedColour_ = key;
    }
    // The corner follows the painter's mapping; the picture keeps its own pixel size.
    const QPoint corner = painter.transform().map(QPoint(x, y));
    painter.save();
    painter.resetTransform();
    painter.drawImage(corner, masked_);
    painter.restore();
}

}  // namespace zark
