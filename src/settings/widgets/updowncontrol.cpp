#include "settings/widgets/updowncontrol.h"

#include <QToolButton>
#include <algorithm>

namespace zark {

UpDownControl::UpDownControl(QWidget* parent) : QWidget(parent) {
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
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
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

void UpDownControl::Press(int direction) {
    heldDirection_ = direction;
    held_.start();
    Step(direction);
    repeat_.start(kRepeatDelayMs);
}

void UpDownControl::Release() {
    heldDirection_ = 0;
    repeat_.stop();
}

void UpDownControl::Repeat() {
    if (heldDirection_ == 0) return;
    repeat_.setInterval(kRepeatIntervalMs);
    Step(heldDirection_);
}

void UpDownControl::Step(int direction) {
    const int size = holdMs_ > 0 && held_.isValid() && held_.elapsed() >= holdMs_ ? fastStep_ : 1;
    // toward the upper limit, whichever way round the range is
    const int sign = upper_ >= lower_ ? 1 : -1;
    const int before = position_;
    SetPosition(position_ + direction * sign * size);
    if (position_ != before) emit positionChanged(position_);
}

}  // namespace zark
