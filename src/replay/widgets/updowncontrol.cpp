#include "replay/widgets/updowncontrol.h"

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
    for (QToolButton* button : {up_, down_}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(up_, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
    resize(20, 20);
}

void UpDownControl::SetRange(int minimum, int maximum) {
    minimum_ = std::min(minimum, maximum);
    maximum_ = std::max(minimum, maximum);
    value_ = std::clamp(value_, minimum_, maximum_);
}

void UpDownControl::SetValue(int value) { value_ = std::clamp(value, minimum_, maximum_); }

void UpDownControl::Step(int delta) {
    const int next = std::clamp(value_ + delta, minimum_, maximum_);
    if (next == value_) return;
    value_ = next;
    emit valueChanged(value_);
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) {
        Step(+1);
    } else if (event->key() == Qt::Key_Down) {
        Step(-1);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void UpDownControl::wheelEvent(QWheelEvent* event) {
    const int dy = event->angleDelta().y();
    if (dy) Step(dy > 0 ? +1 : -1);
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
