#include "window/updowncontrol.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>

namespace zark {

UpDownControl::UpDownControl(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    for (QToolButton* button : {up_, down_}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->installEventFilter(this);  // the press starts the hold that accelerates
    }
    connect(up_, &QToolButton::clicked, this, [this] { Arrow(+1, HeldStep()); });
    connect(down_, &QToolButton::clicked, this, [this] { Arrow(-1, HeldStep()); });
    resize(20, 20);
}

void UpDownControl::SetRange(int minimum, int maximum) {
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
    value_ = std::clamp(value_, minimum_, maximum_);
}

void UpDownControl::SetValue(int value) { value_ = std::clamp(value, minimum_, maximum_); }

void UpDownControl::SetAcceleration(int holdMs, int fastStep) {
    holdMs_ = std::max(0, holdMs);
    fastStep_ = std::max(1, fastStep);
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == up_ || watched == down_) && event->type() == QEvent::MouseButtonPress) held_.start();
    return QWidget::eventFilter(watched, event);
}

int UpDownControl::HeldStep() const {
    return holdMs_ > 0 && held_.isValid() && held_.elapsed() >= holdMs_ ? fastStep_ : 1;
}

void UpDownControl::Arrow(int direction, int size) {
    const int delta = (inverted_ ? -direction : direction) * size;
    const int next = std::clamp(value_ + delta, minimum_, maximum_);
    if (next == value_) return;
    value_ = next;
    emit valueChanged(value_);
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up: Arrow(+1); break;
        case Qt::Key_Down: Arrow(-1); break;
        case Qt::Key_PageUp: Arrow(+1, fastStep_); break;
        case Qt::Key_PageDown: Arrow(-1, fastStep_); break;
        default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void UpDownControl::wheelEvent(QWheelEvent* event) {
    const int dy = event->angleDelta().y();
    if (dy) Arrow(dy > 0 ? +1 : -1);
    event->accept();
}

void UpDownControl::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

void UpDownControl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        up_->setEnabled(isEnabled());
        down_->setEnabled(isEnabled());
    }
}

}  // namespace zark
