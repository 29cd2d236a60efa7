#include "targets/render/tracepainter.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "core/tracestore.h"

namespace zark {

namespace {

// Cuts the segment a-b to the rectangle (Liang-Barsky); false when nothing of it is inside.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box) {
    double t0 = 0.0, t1 = 1.0;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(), box.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const QPointF start = a;
    a = start + QPointF(dx, dy) * t0;
    b = start + QPointF(dx, dy) * t1;
    return true;
}

// A 3-pixel polyline straight into a 32-bit image: each step of a line mostly across sets the
// pixel and the ones above and below it, of a line mostly down the ones left and right of it. The
// toolkit's wide-line stroker (and its one-pixel stroker, which blends pixel by pixel) cost several
// times as much, which tells on a whole trace drawn again after a resize, a zoom or a jump back.
// Only for an opaque colour on an image painted 1:1 without clipping; false leaves it to the painter.
bool DrawWideLine(QPainter& painter, const QPolygon& line, const QColor& colour) {
    auto* image = dynamic_cast<QImage*>(painter.device());
    if (!image || colour.alpha() != 255 || painter.hasClipping() ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver || image->devicePixelRatio() != 1.0)
        return false;
    const QImage::Format format = image->format();
    if (format != QImage::Format_ARGB32_Premultiplied && format != QImage::Format_ARGB32 &&
        format != QImage::Format_RGB32)
        return false;
    const QTransform& transform = painter.worldTransform();
    if (transform.type() > QTransform::TxTranslate || transform.dx() != std::floor(transform.dx()) ||
        transform.dy() != std::floor(transform.dy()))
        return false;
    const int offsetX = int(transform.dx()), offsetY = int(transform.dy());
    const int width = image->width(), height = image->height();
    const qsizetype stride = image->bytesPerLine();
    uchar* bits = image->bits();
    const QRgb value = colour.rgba();
    const auto set = [&](int x, int y) {
        if (unsigned(x) < unsigned(width) && unsigned(y) < unsigned(height))
            reinterpret_cast<QRgb*>(bits + y * stride)[x] = value;
    };
    const QRectF box(-2, -2, width + 3, height + 3);  // a pixel beyond the edges still reaches in
    for (int i = 1; i < line.size(); ++i) {
        QPointF a(line[i - 1].x() + offsetX, line[i - 1].y() + offsetY);
        QPointF b(line[i].x() + offsetX, line[i].y() + offsetY);
        if (!ClipSegment(a, b, box)) continue;
        int x0 = int(std::lround(a.x())), y0 = int(std::lround(a.y()));
        const int x1 = int(std::lround(b.x())), y1 = int(std::lround(b.y()));
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        const bool across = dx >= -dy;
        int error = dx + dy;
        for (;;) {
            set(x0, y0);
            if (across) {
                set(x0, y0 - 1);
                set(x0, y0 + 1);
            } else {
                set(x0 - 1, y0);
                set(x0 + 1, y0);
            }
            if (x0 == x1 && y0 == y1) break;
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                x0 += sx;
            }
            if (twice <= dx) {
                error += dx;
                y0 += sy;
            }
        }
    }
    return true;
}

}  // namespace

int TracePenWidth(int zoom) { return zoom > 2 ? 3 : 1; }

QColor PhaseColour(AimPhase phase) {
    switch (phase) {
        case AimPhase::Approach: return {213, 94, 0};        // vermillion
        case AimPhase::Settle: return {170, 110, 255};       // violet
        case AimPhase::Hold: return {255, 170, 220};         // pink, never the plain trace's cyan
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
        if (width != 3 || !DrawWideLine(painter, line_, colour)) {
            QPen pen(colour, width);
            pen.setCapStyle(Qt::FlatCap);
            pen.setJoinStyle(Qt::BevelJoin);
            painter.setPen(pen);
            painter.drawPolyline(line_);
        }
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
