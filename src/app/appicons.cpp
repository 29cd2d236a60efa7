#include "app/appicons.h"

#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QSvgRenderer>

namespace zark {
namespace {

// Rendered here rather than through an icon plug-in, so the icons never depend on one.
QIcon IconFromSvg(const QString& path) {
    QSvgRenderer renderer(path);
    QIcon icon;
    for (const int size : {16, 32, 48, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon ProgramIcon() { return IconFromSvg(QStringLiteral(":/zark/app/zark.svg")); }

QIcon WarningIcon() { return IconFromSvg(QStringLiteral(":/zark/app/warning.svg")); }

}  // namespace zark
