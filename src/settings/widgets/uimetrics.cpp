#include "settings/widgets/uimetrics.h"

#include <QFontInfo>
#include <QLocale>

#include "window/dialogunits.h"

namespace zark {

int UiMetrics::Scale(int n, int screenFontHeight) {
    return screenFontHeight > kNormalScreenFontHeight ? n * 20 / 16 : n;
}

QRect UiMetrics::ScaledRect(int x, int y, int width, int height) const {
    return QRect(Scale(x), Scale(y), Scale(width), Scale(height));
}

UiMetrics UiMetrics::FromSystem() {
    UiMetrics metrics;
    metrics.dialogFont = DialogUnits::DialogFont();
    const QLocale locale;
    metrics.decimalSeparator = locale.decimalPoint();
    metrics.imperial = locale.measurementSystem() != QLocale::MetricSystem;
    // The screen font is 12 points; at 96 dots per inch that is 16 pixels. Asking the font system
    // how many pixels 12 points are follows whatever enlarges the user's text (the screen's
    // resolution, the desktop's font scaling).
    QFont probe = metrics.dialogFont;
    probe.setPointSize(12);
    if (const int pixels = QFontInfo(probe).pixelSize(); pixels > 0) metrics.screenFontHeight = pixels;
    return metrics;
}

const UiMetrics& UiMetrics::Process() {
    static const UiMetrics metrics = FromSystem();
    return metrics;
}

}  // namespace zark
