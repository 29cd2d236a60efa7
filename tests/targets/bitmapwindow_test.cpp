// The bitmap window: a monochrome picture shown plain or tinted with a background colour.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "targets/bitmapwindow.h"

namespace zark {
namespace {

// Resource 9001 is 24 × 10: a black frame and a black diagonal (x = 2y) on white.
bool BlackInPicture(int x, int y) { return x == 0 || x == 23 || y == 0 || y == 9 || x == 2 * y; }

QImage Shot(QWidget& widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }

TEST(BitmapWindow, TakesTheSizeOfItsBitmap) {
    QWidget dialog;
    dialog.resize(200, 100);
    BitmapWindow window(9001, QRect(10, 20, 80, 60), &dialog, 1175);
    EXPECT_EQ(window.geometry(), QRect(10, 20, 24, 10));
    EXPECT_EQ(window.ControlId(), 1175);
    EXPECT_FALSE(window.IsTinted());
    dialog.show();
    const QImage plain = Shot(window);
    ASSERT_EQ(plain.size(), QSize(24, 10));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 24; ++x)
            ASSERT_EQ(plain.pixel(x, y), BlackInPicture(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255)) << x << "," << y;
}

TEST(BitmapWindow, TintShowsThroughTheWhite) {
    QWidget dialog;
    BitmapWindow window(9001, QRect(0, 0, 50, 50), &dialog);
    const QRgb buttonFace = qRgb(212, 208, 200);
    window.SetTint(buttonFace);
    EXPECT_TRUE(window.IsTinted());
    dialog.show();
    const QImage tinted = Shot(window);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 24; ++x)
            ASSERT_EQ(tinted.pixel(x, y), BlackInPicture(x, y) ? qRgb(0, 0, 0) : buttonFace) << x << "," << y;
    // a new tint replaces the old one
    window.SetTint(qRgb(0, 128, 255));
    EXPECT_EQ(Shot(window).pixel(5, 5), qRgb(0, 128, 255));
    EXPECT_EQ(Shot(window).pixel(0, 5), qRgb(0, 0, 0));
}

TEST(BitmapWindow, WithoutItsBitmapOnlyTheTint) {
    QWidget dialog;
    BitmapWindow window(9999, QRect(3, 4, 30, 12), &dialog);
    EXPECT_FALSE(window.Bitmap().HasBitmap());
    EXPECT_EQ(window.geometry(), QRect(3, 4, 30, 12));
    window.SetTint(qRgb(1, 2, 3));
    dialog.show();
    const QImage shot = Shot(window);
    EXPECT_EQ(shot.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(shot.pixel(29, 11), qRgb(1, 2, 3));
}

}  // namespace
}  // namespace zark
