#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace zark {

// The resource path of the program's bitmap number id: ":/targets/<id>.bmp".
QString BitmapResourcePath(int id);

// Holds one bitmap of the program: a target picture or zone map of the catalogue, a picture of a
// bitmap window, or an off-screen buffer to draw into. Bitmaps are read through the bitmap reader,
// so a damaged resource or file leaves the holder empty and is reported in the log.
class GdiBitmapHolder final {
public:
    // Empty: no bitmap.
    void Init();
    // Without a size nothing is held yet. With a size: a monochrome buffer of that size, all black,
    // held as RGB32 so that it can be painted on; only black and white are meant to appear in it.
    void Prepare(QSize size = QSize());
    // Releases what is held, then with id non-zero loads the bitmap resource id. Returns 1; a
    // resource that cannot be loaded leaves the holder empty.
    int LoadResource(int id);
    // The same for a bitmap file (or resource path). Returns 1 on success, 0 on failure.
    int LoadFile(const QString& path);
    void Release();

    bool HasBitmap() const { return !image_.isNull(); }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    int BytesPerLine() const { return int(image_.bytesPerLine()); }
    int Planes() const { return HasBitmap() ? 1 : 0; }
    // The depth of the bitmap as its file gave it (1 for a prepared buffer).
    int BitsPerPixel() const { return bitsPerPixel_; }
    const QImage& Image() const { return image_; }
    QImage& Image() { return image_; }

private:
    QImage image_;
    int bitsPerPixel_ = 0;
};

}  // namespace zark
