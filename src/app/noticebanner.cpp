#include "app/noticebanner.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

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
    // The banner follows its holder and the area it covers. The area is laid out when the holder
    // has been resized, so the banner is placed once that is done.
    placeTimer_.setSingleShot(true);
    placeTimer_.setInterval(0);
    connect(&placeTimer_, &QTimer::timeout, this, &NoticeBanner::Place);
    if (parent) parent->installEventFilter(this);
    if (area_ && area_ != parent) area_->installEventFilter(this);
}

void NoticeBanner::Show(const QString& text) {
    // A long path has no spaces to wrap at: it may wrap after each folder.
    QString wrappable = text.toHtmlEscaped();
    wrappable.replace(QLatin1Char('/'), QStringLiteral("/&#8203;"));
    setTextFormat(Qt::RichText);
    setText(wrappable);
    Place();
    show();
    raise();
    hideTimer_.start(kShowMs);
}

void NoticeBanner::Place() {
    QWidget* holder = parentWidget();
    if (!holder || !area_) return;
    // The area's part inside the holder; the whole holder while the area is hidden or not laid out.
    QRect area = area_ == holder || area_->isHidden() ? holder->rect() : area_->geometry() & holder->rect();
    if (area.width() < 4 * kMargin || area.height() < 4 * kMargin) area = holder->rect();
    const int width = std::max(0, area.width() - 2 * kMargin);
    const int height = std::min(heightForWidth(width) > 0 ? heightForWidth(width) : sizeHint().height(),
                                std::max(0, area.height() - 2 * kMargin));
    setGeometry(area.left() + kMargin, area.bottom() + 1 - kMargin - height, width, height);
    update();
}

bool NoticeBanner::eventFilter(QObject* watched, QEvent* event) {
    const bool followed = watched == parentWidget() || watched == area_;
    const QEvent::Type type = event->type();
    if (followed && isVisible() && (type == QEvent::Resize || type == QEvent::Move || type == QEvent::Show))
        placeTimer_.start();
    return QLabel::eventFilter(watched, event);
}

QString ElidedLabel::ShownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(0, contentsRect().width() - 2 * margin()));
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect().adjusted(margin(), margin(), -margin(), -margin()), Qt::AlignLeft | Qt::AlignVCenter,
                     ShownText());
}

void NoticeBanner::mousePressEvent(QMouseEvent* event) {
    hideTimer_.stop();
    hide();
    event->accept();
}

}  // namespace zark
