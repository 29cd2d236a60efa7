#include "results/widgets/childframe.h"

#include <QApplication>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionTitleBar>

namespace zark {

void ResizingArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResize) onResize();
}

bool CloseBoxHides(QEvent* event, const std::function<void()>& onClose) {
    if (event->type() != QEvent::Close) return false;
    event->ignore();
    if (onClose) onClose();
    return true;
}

int ChildFrameExtra() {
    QStyleOptionTitleBar option;
    option.titleBarFlags = Qt::SubWindow | Qt::WindowTitleHint;
    QStyle* style = QApplication::style();
    return style->pixelMetric(QStyle::PM_TitleBarHeight, &option) +
           2 * style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, &option);
}

}  // namespace zark

namespace zark {

QSize ChildOuterSize(const QSize& client) {
    QStyleOptionTitleBar option;
    option.titleBarFlags = Qt::SubWindow | Qt::WindowTitleHint;
    const int frame = QApplication::style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, &option);
    return {client.width() + 2 * frame, client.height() + ChildFrameExtra()};
}

}  // namespace zark
