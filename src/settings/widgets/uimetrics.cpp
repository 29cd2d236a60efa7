#include "settings/widgets/uimetrics.h"

#include <QGuiApplication>
#include <QLocale>
#include <QScreen>

#include "app/window/dialogunits.h"

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
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const qreal dpi = screen->logicalDotsPerInchY();
        if (dpi > 0) metrics.screenFontHeight = int(kNormalScreenFontHeight * dpi / 96.0);
    }
    return metrics;
}

const UiMetrics& UiMetrics::Process() {
    static const UiMetrics metrics = FromSystem();
    return metrics;
}

}  // namespace zark
