#pragma once

#include <QFont>
#include <QRect>
#include <QString>

namespace zark {

// The screen and locale facts the program's own dialog layouts use, taken once per process:
// the dialog font, the locale's decimal separator (for the "%d%s%ds" read-outs), whether the
// locale measures in imperial units, and the height of the screen's font, which decides the
// layout scaling.
struct UiMetrics {
    // The platform's screen font is 16 pixels high at 96 dots per inch; "large fonts" make it taller.
    static constexpr int kNormalScreenFontHeight = 16;

    QFont dialogFont;
    QString decimalSeparator = QStringLiteral(".");
    bool imperial = false;
    int screenFontHeight = kNormalScreenFontHeight;

    // A layout number in pixels: n as it stands, or n * 20 / 16 when the screen font is taller
    // than 16 pixels.
    static int Scale(int n, int screenFontHeight);
    int Scale(int n) const { return Scale(n, screenFontHeight); }
    QRect ScaledRect(int x, int y, int width, int height) const;

    // Taken from the system: the user's locale and the primary screen's logical resolution.
    static UiMetrics FromSystem();
    // The process-wide metrics, taken from the system at the first call.
    static const UiMetrics& Process();
};

}  // namespace zark
