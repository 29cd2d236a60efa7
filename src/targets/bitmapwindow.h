#pragma once

#include <QImage>
#include <QRgb>
#include <QWidget>

#include "targets/gdibitmapholder.h"

namespace zark {

// Shows a monochrome bitmap resource, optionally tinted: with a tint the window is filled with
// the tint colour and the bitmap is combined with it by a bitwise AND, so black stays black and
// white shows the tint (the scale pictures of the customize dialog on the dialog's colour).
// The window takes the size of its bitmap; without one it keeps the size of rect.
class BitmapWindow final : public QWidget {
public:
    BitmapWindow(int resourceId, const QRect& rect, QWidget* parent, int controlId = 0);

    void SetTint(QRgb colour);
    bool IsTinted() const { return tinted_; }
    QRgb Tint() const { return tint_; }
    int ControlId() const { return controlId_; }
    const GdiBitmapHolder& Bitmap() const { return holder_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GdiBitmapHolder holder_;
    int controlId_ = 0;
    bool tinted_ = false;
    QRgb tint_ = 0;
    QImage tintedImage_;  // the bitmap ANDed with the tint
};

}  // namespace zark
