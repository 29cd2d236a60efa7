#include "targets/widgets/aimcross.h"

#include <QPainter>
#include <QPolygon>
#include <QRegion>

namespace zark {

AimCross::AimCross(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    resize(kSize, kSize);
    const QPolygon plus({{14, 0}, {18, 0}, {18, 14}, {32, 14}, {32, 18}, {18, 18}, {18, 32}, {14, 32}, {14, 18},
                         {0, 18}, {0, 14}, {14, 14}, {14, 0}});
    setMask(QRegion(plus, Qt::OddEvenFill));
}

int AimCross::SetShotsEnabled(int enabled) {
    const int previous = shotsEnabled_;
    shotsEnabled_ = enabled;
    update();
    return previous;
}

int AimCross::SetReplay(int replay) {
    const int previous = replay_;
    replay_ = replay;
    update();
    return previous;
}

void AimCross::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QColor outer(255, 0, 0);
    QColor inner(255, 255, 0);
    if (replay_) {
        inner = QColor(0, 255, 255);
    } else if (!shotsEnabled_) {
        outer = QColor(96, 96, 96);
        inner = QColor(192, 192, 192);
    }
    painter.fillRect(rect(), outer);
    // a thin inner line along each bar marks the exact aim point
    painter.fillRect(QRect(15, 1, 2, 30), inner);
    painter.fillRect(QRect(1, 15, 30, 2), inner);
}

}  // namespace zark
