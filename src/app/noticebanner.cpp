#include "app/noticebanner.h"

#include <QEvent>
#include <QMouseEvent>

namespace zark {
namespace {

constexpr int kMargin = 8;

}  // namespace

NoticeBanner::NoticeBanner(QWidget* parent, QWidget* area) : QLabel(parent), area_(area ? area : parent) {
    setObjectName(QStringLiteral("noticeBanner"));
    setWordWrap(true);
    setMargin(6);
    setAutoFillBackground(true);
    setFrameShape(QFrame::Box);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xFF, 0xF1, 0xB8));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    hide();
    hideTimer_.setSingleShot(true);
    connect(&hideTimer_, &QTimer::timeout, this, &QWidget::hide);
    if (parent) parent->installEventFilter(this);
}

void NoticeBanner::Show(const QString& text) {
    setText(text);
    Place();
    show();
    raise();
    hideTimer_.start(kShowMs);
}

void NoticeBanner::Place() {
    QWidget* holder = parentWidget();
    if (!holder || !area_) return;
    const QRect area = area_ == holder ? holder->rect() : area_->geometry();
    const int width = std::max(0, area.width() - 2 * kMargin);
    const int height = heightForWidth(width) > 0 ? heightForWidth(width) : sizeHint().height();
    setGeometry(area.left() + kMargin, area.bottom() + 1 - kMargin - height, width, height);
}

bool NoticeBanner::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible()) Place();
    return QLabel::eventFilter(watched, event);
}

void NoticeBanner::mousePressEvent(QMouseEvent* event) {
    hideTimer_.stop();
    hide();
    event->accept();
}

}  // namespace zark
