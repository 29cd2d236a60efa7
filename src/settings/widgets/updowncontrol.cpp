#include "settings/widgets/updowncontrol.h"

#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>
#include <algorithm>

namespace zark {

UpDownControl::UpDownControl(QWidget* parent) : QWidget(parent) {
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    setFocusPolicy(Qt::StrongFocus);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    for (QToolButton* arrow : {up_, down_}) {
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setAutoRaise(false);
    }
    connect(up_, &QToolButton::pressed, this, [this] { Press(+1); });
    connect(down_, &QToolButton::pressed, this, [this] { Press(-1); });
    connect(up_, &QToolButton::released, this, &UpDownControl::Release);
    connect(down_, &QToolButton::released, this, &UpDownControl::Release);
    connect(&repeat_, &QTimer::timeout, this, &UpDownControl::Repeat);
}

void UpDownControl::SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    SetPosition(position_);
}

void UpDownControl::SetPosition(int position) {
    position_ = std::clamp(position, std::min(lower_, upper_), std::max(lower_, upper_));
}

void UpDownControl::SetAcceleration(int holdMs, int fastStep) {
    holdMs_ = holdMs;
    fastStep_ = std::max(1, fastStep);
}

void UpDownControl::resizeEvent(QResizeEvent*) {
    // a one-pixel margin shows the focus
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    const int half = inner.height() / 2;
    up_->setGeometry(inner.left(), inner.top(), inner.width(), half);
    down_->setGeometry(inner.left(), inner.top() + half, inner.width(), inner.height() - half);
}

void UpDownControl::paintEvent(QPaintEvent*) {
    if (!hasFocus()) return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void UpDownControl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void UpDownControl::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up: Step(+1); break;
        case Qt::Key_Down: Step(-1); break;
        case Qt::Key_PageUp: Step(+1, fastStep_); break;
        case Qt::Key_PageDown: Step(-1, fastStep_); break;
        default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void UpDownControl::Press(int direction) {
    heldDirection_ = direction;
    held_.start();
    Step(direction);
    repeat_.start(kRepeatDelayMs);
    setFocus(Qt::MouseFocusReason);
}

void UpDownControl::Release() {
    heldDirection_ = 0;
    repeat_.stop();
}

void UpDownControl::Repeat() {
    if (heldDirection_ == 0) return;
    repeat_.setInterval(kRepeatIntervalMs);
    Step(heldDirection_, holdMs_ > 0 && held_.elapsed() >= holdMs_ ? fastStep_ : 1);
}

void UpDownControl::Step(int direction, int size) {
    // toward the upper limit, whichever way round the range is
    const int sign = upper_ >= lower_ ? 1 : -1;
    const int before = position_;
    SetPosition(position_ + direction * sign * size);
    if (position_ != before) emit positionChanged(position_);
}

}  // namespace zark
