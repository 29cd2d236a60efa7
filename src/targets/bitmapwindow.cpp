#include "targets/bitmapwindow.h"

#include <QPainter>

namespace zark {

BitmapWindow::BitmapWindow(int resourceId, const QRect& rect, QWidget* parent, int controlId)
    : QWidget(parent), controlId_(controlId) {
    holder_.LoadResource(resourceId);
    setGeometry(rect);
    if (holder_.HasBitmap()) resize(holder_.Width(), holder_.Height());
}

void BitmapWindow::SetTint(QRgb colour) {
    tint_ = colour & RGB_MASK;
    tinted_ = true;
    tintedImage_ = QImage();
    if (holder_.HasBitmap()) {
        tintedImage_ = holder_.Image().convertToFormat(QImage::Format_RGB32);
        for (int row = 0; row < tintedImage_.height(); ++row) {
            QRgb* line = reinterpret_cast<QRgb*>(tintedImage_.scanLine(row));
            for (int col = 0; col < tintedImage_.width(); ++col) line[col] = (line[col] & tint_) | 0xFF000000u;
        }
    }
    update();
}

void BitmapWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (tinted_) {
        painter.fillRect(rect(), QColor::fromRgb(tint_));
        if (!tintedImage_.isNull()) painter.drawImage(QPoint(0, 0), tintedImage_);
    } else if (holder_.HasBitmap()) {
        painter.drawImage(QPoint(0, 0), holder_.Image());
    }
}

}  // namespace zark
