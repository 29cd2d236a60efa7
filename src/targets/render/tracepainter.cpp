#include "targets/render/tracepainter.h"

#include <QPainter>
#include <QPen>
#include <algorithm>

#include "core/tracestore.h"

namespace zark {

int TracePenWidth(int zoom) { return zoom > 2 ? 3 : 1; }

QColor PhaseColour(AimPhase phase) {
    switch (phase) {
        case AimPhase::Approach: return {213, 94, 0};        // vermillion
        case AimPhase::Settle: return {170, 110, 255};       // violet
        case AimPhase::Hold: return {0, 255, 255};           // cyan
        case AimPhase::Release: return {150, 220, 0};        // lime
        case AimPhase::FollowThrough: return {86, 180, 233};  // sky blue
        case AimPhase::Outside: break;
    }
    return {150, 150, 150};
}

void TraceCursor::Reset(int first) {
    next_ = std::max(0, first);
    afterShot_ = false;
    countdown_ = 0;
    phase_ = AimPhase::Outside;
    hasLast_ = false;
    line_.clear();
}

QRect TraceCursor::Flush(QPainter& painter, const TraceStyle& style) {
    QRect dirty;
    if (line_.size() >= 2) {
        const int width = style.penWidth > 0 ? style.penWidth : TracePenWidth(style.geometry.zoom);
        const QColor colour =
            style.phases ? PhaseColour(phase_) : (afterShot_ ? style.afterShot : style.beforeShot);
        QPen pen(colour, width);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::BevelJoin);
        painter.setPen(pen);
        painter.drawPolyline(line_);
        dirty = line_.boundingRect().adjusted(-width - 1, -width - 1, width + 1, width + 1);
    }
    line_.clear();
    return dirty;
}

QRect TraceCursor::DrawUpTo(QPainter& painter, const TraceStore& store, const TraceStyle& style, int end) {
    end = std::min(end, int(store.SampleCount()));
    QRect dirty;
    for (; next_ < end; ++next_) {
        const TraceStore::SampleInfo info = store.SampleAt(next_);
        const AimPhase phase = style.phases ? style.phases[next_] : AimPhase::Outside;
        if ((info.point.x == 0 && info.point.y == 0) || (style.phasesOnly && phase == AimPhase::Outside)) {
            dirty |= Flush(painter, style);  // a gap ends the line
            hasLast_ = false;
        } else {
            if (style.phases && phase != phase_) {
                dirty |= Flush(painter, style);  // the segment into this point takes its phase's colour
                phase_ = phase;
            }
            const QPoint p = ToPixel(style.geometry, style.face, style.centring, info.point.x, info.point.y,
                                     info.shotsBefore, false);
            if (line_.isEmpty() && hasLast_) line_ << last_;
            line_ << p;
            last_ = p;
            hasLast_ = true;
        }
        if (info.isShot) {
            dirty |= Flush(painter, style);
            afterShot_ = true;
            countdown_ = style.afterShotSamples;
        } else if (afterShot_ && --countdown_ <= 0) {
            dirty |= Flush(painter, style);
            afterShot_ = false;
        }
    }
    dirty |= Flush(painter, style);
    return dirty;
}

QRect DrawTrace(QPainter& painter, const TraceStore& store, const TraceStyle& style, int first, int end) {
    TraceCursor cursor;
    cursor.Reset(first);
    return cursor.DrawUpTo(painter, store, style, end);
}

}  // namespace zark
