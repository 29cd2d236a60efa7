#include "results/diagramplot.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "targets/targetdescriptor.h"

namespace zark {
namespace {

constexpr int kMinGridSpacing = 4;  // pixels between grid lines at the least

int Distance(int x, int y) { return int(std::sqrt(double(x) * x + double(y) * y)); }

bool IsPoint(const SamplePoint& p) { return p.x != 0 || p.y != 0; }

// The distance the aim moved to point p; 0 when there is no aim point before it.
int Step(const TraceStore& store, int p) {
    const SamplePoint here = store.Sample(p);
    const SamplePoint before = p > 0 ? store.Sample(p - 1) : SamplePoint{};
    if (!IsPoint(before)) return 0;
    return Distance(here.x - before.x, here.y - before.y);
}

// Collects the lines of one curve, one column of pixels at a time: within a column a vertical
// line from its lowest to its highest value, and a line from each column to the next unless the
// trace breaks between them. Where there are more points than columns, the next column's line
// reaches back to where the last one ended instead, so each column is one vertical line. At
// 22,500 points on a thousand pixels that is a thousand lines instead of 22,500 segments, and the
// picture is the same to the pixel column.
class CurveLines {
public:
    CurveLines(std::vector<QLine>& lines, bool upright, bool dense)
        : lines_(lines), upright_(upright), dense_(dense) {}

    void Add(int t, int v) {
        if (open_ && t == t_) {
            low_ = std::min(low_, v);
            high_ = std::max(high_, v);
            last_ = v;
            return;
        }
        Flush();
        const bool joined = open_;
        const int before = last_;
        if (joined && !dense_) Push(t_, last_, t, v);
        open_ = true;
        t_ = t;
        low_ = high_ = last_ = v;
        if (joined && dense_) {
            low_ = std::min(low_, before);
            high_ = std::max(high_, before);
        }
    }
    void Break() {
        Flush();
        open_ = false;
    }
    void Flush() {
        if (open_ && (low_ != high_ || dense_)) Push(t_, low_, t_, high_);
    }

private:
    void Push(int t1, int v1, int t2, int v2) {
        if (upright_)
            lines_.emplace_back(v1, t1, v2, t2);
        else
            lines_.emplace_back(t1, v1, t2, v2);
    }

    std::vector<QLine>& lines_;
    bool upright_;
    bool dense_;
    bool open_ = false;
    int t_ = 0;
    int low_ = 0;
    int high_ = 0;
    int last_ = 0;
};

}  // namespace

DiagramPlot::DiagramPlot(HubView* hub) : HubView(hub) { levels_.reserve(kMaxRings); }

void DiagramPlot::SetFlags(int flags) {
    if (flags == flags_) return;
    flags_ = flags;
    if (listener_) listener_->PlotChanged();
}

void DiagramPlot::Changed() {
    if (listener_) listener_->PlotChanged();
}

void DiagramPlot::OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) {
    HubView::OnTargetsChanged(a, b);
    levels_.clear();
    const TargetDescriptor* face = CurrentTarget();
    fullScale_ = face ? face->FullScaleRadius() : TargetDescriptor().FullScaleRadius();
    for (int i = 0; face && i < face->RingCount() && int(levels_.size()) < kMaxRings; ++i)
        levels_.push_back(int(std::lround(face->RingRadius(i))));
    // The store was cleared with the new target: no range of the series before stays shown.
    ForgetRange();
}

void DiagramPlot::OnNewSeries(int, int, int) { ForgetRange(); }

void DiagramPlot::ForgetRange() {
    first_ = last_ = -1;
    RunStatistics();
    Changed();
    if (listener_) listener_->RangeChanged();
}

void DiagramPlot::OnTraceRange(int first, int last, int) {
    first_ = first;
    last_ = last;
    RunStatistics();
    Changed();
    if (listener_) listener_->RangeChanged();
}

void DiagramPlot::OnStoreChanged() {
    RunStatistics();
    Changed();
    if (listener_) listener_->RangeChanged();
}

void DiagramPlot::OnSample(int, int, int, int isReplay, int sampleIndex) {
    if (!isReplay) return;
    replayPos_ = sampleIndex;
    if (listener_) listener_->MarkerMoved();
}

void DiagramPlot::OnReplayStarted() {
    replayPos_ = first_;
    markerVisible_ = true;
    if (listener_) listener_->MarkerMoved();
}

void DiagramPlot::OnReplayStopped() {
    markerVisible_ = false;
    if (listener_) listener_->MarkerMoved();
}

// The averages over the aim before each shot of the range: from the shot back to the last break
// or the start of the range, on the stored points (no centring).
void DiagramPlot::RunStatistics() {
    const TraceStore* store = Store();
    std::int64_t sumX = 0, sumY = 0, sumDistance = 0, sumStep = 0, n = 0;
    for (int i = 0; store && i < store->ShotCount(); ++i) {
        if (!store->ShotInRange(i, first_, last_)) continue;
        int k = store->Shot(i).traceIndex;
        while (k > first_) {
            const SamplePoint p = store->Sample(k);
            if (!IsPoint(p)) break;
            sumX += p.x;
            sumY += p.y;
            sumDistance += Distance(p.x, p.y);
            sumStep += Step(*store, k);
            ++n;
            --k;
        }
    }
    // Nothing to average (no shot in the range): the averages are 0, not those of an earlier range.
    averages_ = n > 0 ? DiagramAverages{int(sumStep / n), int(sumDistance / n), int(sumX / n), int(sumY / n)}
                      : DiagramAverages{};
}

int DiagramPlot::AxisPosition(int flags, int width, int height) {
    const bool signedValues = (flags & (kCurveHorizontal | kCurveVertical)) != 0;
    if (flags & kPlotUpright) return signedValues ? width / 2 : width - 1;
    return signedValues ? height / 2 : height - 1;
}

int DiagramPlot::GridSpacing(int extent, int first, int last, int timeStep) {
    if (last <= first || timeStep <= 0) return 0;
    const std::int64_t g = std::int64_t(1000 / timeStep) * extent / (std::int64_t(last) - first);
    // Lines closer than this would only grey the whole plot (a long trace in a narrow window).
    return g >= kMinGridSpacing && g < extent ? int(g) : 0;
}

std::vector<int> DiagramPlot::ReferencePositions(int flags, int axis, int fullScale, const std::vector<int>& levels) {
    const bool signedValues = (flags & (kCurveHorizontal | kCurveVertical)) != 0;
    fullScale = std::max(1, fullScale);
    std::vector<int> positions;
    for (const int level : levels) {
        const int d = int(std::int64_t(axis) * level / fullScale);
        if (d <= 0) continue;
        positions.push_back(axis - d);
        if (signedValues) positions.push_back(axis + d);
    }
    return positions;
}

int DiagramPlot::MarkerPosition(int extent) const {
    if (last_ <= first_) return 0;
    return int(std::int64_t(replayPos_ - first_) * extent / (std::int64_t(last_) - first_));
}

void DiagramPlot::Paint(QPainter& painter, const Context& context) const {
    const QRect& r = context.rect;
    const int width = r.width();
    const int height = r.height();
    if (width <= 0 || height <= 0) return;
    const int flags = flags_;
    const bool upright = (flags & kPlotUpright) != 0;
    const int fullScale = std::max(1, fullScale_);
    const int axis = AxisPosition(flags, width, height);
    const int right = width - 1;
    const int bottom = height - 1;
    const int timeExtent = upright ? height : width;
    const int valueEnd = upright ? right : bottom;

    painter.save();
    painter.translate(r.topLeft());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(0, 0, width, height), Qt::white);
    const TraceStore* store = const_cast<DiagramPlot*>(this)->Store();  // the hub gives its store to any node
    if (!store) {
        painter.restore();
        return;
    }
    const qreal printWidth = std::max(1.0, 0.25 * context.pixelsPerMm);
    const auto pen = [&](const QColor& colour, int pixels) {
        if (context.printing) return QPen(Qt::black, printWidth);
        QPen screen(colour, pixels);
        screen.setCosmetic(true);
        return screen;
    };
    // A line across the plot at position pos: parallel to the time direction when along is set,
    // else across it.
    const auto across = [&](int pos, bool alongTime) {
        if (alongTime == upright)
            painter.drawLine(pos, 0, pos, bottom);
        else
            painter.drawLine(0, pos, right, pos);
    };

    painter.setPen(pen(Qt::black, 1));
    across(axis, true);
    if (flags & kPlotFrame) {
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(0, 0, right, bottom);
    }
    painter.setPen(pen(QColor(192, 192, 192), 1));
    for (const int pos : ReferencePositions(flags, axis, fullScale, levels_))
        if (pos >= 0 && pos <= valueEnd) across(pos, true);

    const int first = first_;
    const int last = last_;
    if (first < last) {
        const int step = store->TimeStep();
        if (!(flags & kPlotNoGrid)) {
            const int g = GridSpacing(timeExtent, first, last, step);
            for (int pos = g; g > 0 && pos < timeExtent; pos += g) across(upright ? bottom - pos : pos, false);
        }

        const std::int64_t count = std::int64_t(last) - first;
        const int from = std::max(first, 0);
        const int to = std::min(last, store->SampleCount());  // the points read: from .. to - 1
        struct Curve {
            int bit;
            QColor colour;
        };
        // Drawn in this order: absolute, speed, horizontal, vertical.
        static const Curve kCurves[4] = {{kCurveAbsolute, QColor(128, 0, 128)},
                                         {kCurveSpeed, QColor(0, 128, 0)},
                                         {kCurveHorizontal, QColor(255, 0, 0)},
                                         {kCurveVertical, QColor(0, 0, 255)}};
        // One walk over the points feeds every ticked curve.
        const bool dense = count > timeExtent;
        for (std::vector<QLine>& lines : lines_) lines.clear();
        CurveLines collect[4] = {{lines_[0], upright, dense},
                                 {lines_[1], upright, dense},
                                 {lines_[2], upright, dense},
                                 {lines_[3], upright, dense}};
        const auto pixel = [&](int value) {
            return std::clamp(int(axis - std::int64_t(axis) * value / fullScale), 0, valueEnd);
        };
        for (int p = from; p < to; ++p) {
            const SamplePoint stored = store->Sample(p);
            const SamplePoint shown = store->Shown(stored);
            if (!IsPoint(stored) || !IsPoint(shown)) {
                for (CurveLines& c : collect) c.Break();
                continue;
            }
            const std::int64_t i = p - first;
            const int t = upright ? bottom - int(i * height / count) : int(i * width / count);
            if (flags & kCurveAbsolute) collect[0].Add(t, pixel(Distance(shown.x, shown.y)));
            if (flags & kCurveSpeed) collect[1].Add(t, pixel(Step(*store, p)));
            if (flags & kCurveHorizontal) collect[2].Add(t, pixel(shown.x));
            if (flags & kCurveVertical) collect[3].Add(t, pixel(shown.y));
        }
        for (int c = 0; c < 4; ++c) {
            if (!(flags & kCurves[c].bit)) continue;
            collect[c].Flush();
            painter.setPen(pen(kCurves[c].colour, 1));
            painter.drawLines(lines_[c].data(), int(lines_[c].size()));
        }

        painter.setPen(pen(Qt::black, 2));
        for (int i = 0; i < store->ShotCount(); ++i) {
            if (store->ShotHasNoTrace(i)) continue;
            const int t = store->ShotTime(i) / step;
            if (t < first || t > last) continue;
            const std::int64_t off = std::int64_t(t - first) * timeExtent / count;
            across(upright ? bottom - int(off) : int(off), false);
        }
    }
    if (markerVisible_ && !context.printing && first < last) {
        painter.setPen(QPen(Qt::red, 1));
        const int pos = MarkerPosition(timeExtent);
        across(upright ? bottom - pos : pos, false);
    }
    painter.restore();
}

}  // namespace zark
