#include "replay/widgets/tracetimeline.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>

#include "targets/targetdescriptor.h"

namespace zark {

TraceTimeline::TraceTimeline(HubView* hub, QWidget* parent) : QFrame(parent), HubView(hub) {
    setObjectName(QStringLiteral("traceTimeline"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TimelineAxis TraceTimeline::Axis() const {
    const TraceStore* store = const_cast<TraceTimeline*>(this)->Store();
    return TimelineAxis{store ? store->SampleCount() : 0, contentsRect().width()};
}

void TraceTimeline::OnSample(int, int, int, int isReplay, int) {
    // Live points do not repaint the strip; the next range shown brings it up to date.
    if (!isReplay) stale_ = true;
}

void TraceTimeline::OnTraceRange(int first, int last, int) {
    const TraceStore* store = Store();
    if (!store || store->SampleCount() == 0) return;
    ShowRange(first, last);
    if (stale_) {
        stale_ = false;
        update();
    }
}

void TraceTimeline::ShowRange(int first, int last) {
    if (first == rangeFirst_) {
        UpdateBand(rangeLast_, last);  // a range growing from the same start
    } else {
        if (rangeFirst_ >= 0 && rangeLast_ >= 0) UpdateBand(rangeFirst_, rangeLast_);
        UpdateBand(first, last);
        rangeFirst_ = first;
    }
    rangeLast_ = last;
}

void TraceTimeline::UpdateBand(int first, int last) {
    if (first < 0 || last < 0) {
        update();
        return;
    }
    const TimelineAxis axis = Axis();
    const QRect inner = contentsRect();
    const int x0 = inner.left() + axis.XOf(std::clamp(std::min(first, last), 0, std::max(axis.sampleCount - 1, 0)));
    const int x1 = inner.left() + axis.XOf(std::clamp(std::max(first, last), 0, std::max(axis.sampleCount - 1, 0)));
    update(QRect(x0 - 1, inner.top(), x1 - x0 + 3, inner.height()));
}

void TraceTimeline::OnStoreChanged() { update(); }

void TraceTimeline::OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) {
    HubView::OnTargetsChanged(a, b);
    maxRadius_ = CurrentTarget() ? CurrentTarget()->FullScaleRadius() : TargetDescriptor().FullScaleRadius();
    update();
}

void TraceTimeline::OnNewSeries(int, int, int) {
    rangeFirst_ = rangeLast_ = -1;
    stale_ = false;
    update();
}

void TraceTimeline::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    TimelineColours colours;
    colours.background = palette().color(QPalette::Button);
    colours.band = palette().color(QPalette::Dark);
    if (const TraceStore* store = Store())
        PaintTimeline(painter, contentsRect(), *store, maxRadius_, rangeFirst_, rangeLast_, colours);
    else
        painter.fillRect(contentsRect(), colours.background);
}

void TraceTimeline::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !contentsRect().contains(event->position().toPoint())) {
        QFrame::mousePressEvent(event);
        return;
    }
    const TimelineAxis axis = Axis();
    // No range is chosen while a series is being shot: it would show another shot than the live one.
    if (axis.sampleCount == 0 || IsRunning()) return;
    dragging_ = true;
    const int k = axis.IndexAt(event->position().toPoint().x() - contentsRect().left());
    // The band shows at once; the other views hear of the range when the button is let go.
    ShowRange(k, k);
}

void TraceTimeline::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    const int k = Axis().IndexAt(event->position().toPoint().x() - contentsRect().left());
    ShowRange(rangeFirst_, k);
}

void TraceTimeline::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    dragging_ = false;
    const int k = Axis().IndexAt(event->position().toPoint().x() - contentsRect().left());
    ShowTraceRange(std::min(rangeFirst_, k), std::max(rangeFirst_, k), 0);
}

}  // namespace zark
