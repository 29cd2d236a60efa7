#include "window/svgicon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace zark {

QIcon IconFromSvg(const QString& path) {
    QSvgRenderer renderer(path);
    QIcon icon;
    for (const int size : {16, 20, 32, 48, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace zark
