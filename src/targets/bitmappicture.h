#pragma once

#include <QImage>
#include <QRgb>
#include <QString>

class QPainter;

namespace zark {

// A picture loaded from a bitmap file and drawn with one colour transparent: the full-score
// picture of the target view and its preview in the customize dialog.
class BitmapPicture final {
public:
    // Unloads, then loads path. An empty path only unloads and succeeds. A file that fails to load
    // is reported in the log and leaves the picture empty. Returns 1 on success, 0 on failure.
    int Load(const QString& path);
    // Draws the picture with its top-left corner at (x, y) of the painter's coordinates, one
    // picture pixel to one device pixel; pixels of transparentColour leave the target unchanged.
    void DrawTransparent(QPainter& painter, int x, int y, QRgb transparentColour) const;
    // Returns 1 when a picture was unloaded, 0 when nothing was loaded.
    int Unload();

    bool IsLoaded() const { return !image_.isNull(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    const QImage& Image() const { return image_; }

private:
    QImage image_;
    int width_ = 0;
    int height_ = 0;
    // The picture with the last transparent colour made transparent; built at the first draw.
    mutable QImage masked_;
    mutable QRgb maskedColour_ = 0;
};

}  // namespace zark
