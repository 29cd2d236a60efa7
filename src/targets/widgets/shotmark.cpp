#include "targets/widgets/shotmark.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include "targets/render/facepainter.h"

namespace zark {

ShotMark::ShotMark(const QString& text, QWidget* parent, int childId)
    : QWidget(parent), childId_(childId), doubleClickTime_(QApplication::doubleClickInterval()) {
    setObjectName(QStringLiteral("shotMark%1").arg(childId));
    setToolTip(text);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

void ShotMark::Place(int x, int y, int width, int height) {
    if (width != this->width() || height != this->height() || mask().isEmpty()) {
        resize(width, height);
        setMask(QRegion(0, 0, width, height, QRegion::Ellipse));
        update();
    }
    position_ = QPoint(x, y);
    move(x, y);
}

int ShotMark::SetSelected(int selected) {
    const int previous = selected_;
    selected_ = selected;
    update();
    return previous;
}

void ShotMark::DrawOnto(QPainter& painter) const {
    painter.save();
    painter.translate(position_);
    PaintShotMark(painter, width(), holeDiameter_, selected_ != 0, true);
    painter.restore();
}

void ShotMark::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintShotMark(painter, width(), holeDiameter_, selected_ != 0);
}

void ShotMark::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const qint64 now = qint64(event->timestamp());
    int code = kClick;
    if (hasLastClick_ && now - lastClickTime_ < doubleClickTime_) {
        code = kDoubleClick;
        hasLastClick_ = false;
    } else {
        lastClickTime_ = now;
        hasLastClick_ = true;
    }
    if (onClick_) onClick_(childId_, code);
}

}  // namespace zark
