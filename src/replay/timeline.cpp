#include "replay/timeline.h"

#include <QPainter>
#include <QPen>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>

#include "core/tracestore.h"
#include "targets/targetdescriptor.h"

namespace zark {

int TimelineAxis::XOf(int index) const {
    if (sampleCount <= 0) return 0;
    return int(static_cast<long long>(width) * index / sampleCount);
}

int TimelineAxis::IndexAt(int x) const {
    if (sampleCount <= 0 || width <= 0) return 0;
    const long long k = static_cast<long long>(std::max(x, 0)) * sampleCount / width;
    return int(std::clamp<long long>(k, 0, sampleCount - 1));
}

int TimelineAxis::DistanceY(long long distance, int bottom, int height, int maxRadius) {
    return int(bottom - distance * height / std::max(1, maxRadius));
}

void PaintTimeline(QPainter& painter, const QRect& rect, const TraceStore& store, int maxRadius, int rangeFirst,
                   int rangeLast, const TimelineColours& colours) {
    painter.fillRect(rect, colours.background);
    const int n = store.SampleCount();
    const TimelineAxis axis{n, rect.width()};
    if (n <= 0) return;

    if (rangeFirst >= 0 && rangeLast >= 0) {
        const int a = std::clamp(std::min(rangeFirst, rangeLast), 0, n - 1);
        const int b = std::clamp(std::max(rangeFirst, rangeLast), 0, n - 1);
        const int x0 = rect.left() + axis.XOf(a);
        const int x1 = rect.left() + axis.XOf(b);
        painter.fillRect(QRect(x0, rect.top(), std::max(x1 - x0, 1), rect.height()), colours.band);
    }

    // The graph: one polyline per stretch of points between gaps. Many samples share a pixel
    // column, so only the points that change the drawn line are kept: for each column the first,
    // lowest, highest and last point.
    painter.setPen(QPen(colours.graph, 0));
    const int bottom = rect.bottom();
    const int height = rect.height();
    QVarLengthArray<QPoint, 4096> line;
    const auto flush = [&] {
        if (line.size() == 1) painter.drawPoint(line[0]);
        if (line.size() > 1) painter.drawPolyline(line.constData(), int(line.size()));
        line.clear();
    };
    int column = -1;
    int colFirst = 0, colMin = 0, colMax = 0, colLast = 0;
    const auto closeColumn = [&] {
        if (column < 0) return;
        const int x = rect.left() + column;
        line.append(QPoint(x, colFirst));
        // Both extremes, the nearer one first, then the column's last point.
        const bool lowFirst = std::abs(colFirst - colMin) <= std::abs(colFirst - colMax);
        if (colMin != colFirst || colMax != colFirst) {
            line.append(QPoint(x, lowFirst ? colMin : colMax));
            line.append(QPoint(x, lowFirst ? colMax : colMin));
        }
        line.append(QPoint(x, colLast));
        column = -1;
    };
    for (int i = 0; i < n; ++i) {
        const SamplePoint p = store.Sample(i);
        if (p.x == 0 && p.y == 0) {
            closeColumn();
            flush();
            continue;
        }
        const long long d = static_cast<long long>(
            std::sqrt(double(p.x) * double(p.x) + double(p.y) * double(p.y)));
        const int y = TimelineAxis::DistanceY(d, bottom, height, maxRadius);
        const int c = axis.XOf(i);
        if (c != column) {
            closeColumn();
            column = c;
            colFirst = colMin = colMax = colLast = y;
        } else {
            colMin = std::min(colMin, y);
            colMax = std::max(colMax, y);
            colLast = y;
        }
    }
    closeColumn();
    flush();

    // Shot ticks at the shown shot times, so they follow the shot time offset.
    painter.setPen(QPen(colours.tick, 0));
    const int step = store.TimeStep();
    for (int s = 0; s < store.ShotCount(); ++s) {
        if (store.ShotHasNoTrace(s)) continue;
        const int t = store.ShotTime(s) / step;
        const int x = rect.left() + int(static_cast<long long>(rect.width()) * t / n);
        painter.drawLine(x, rect.bottom(), x, rect.top());
    }
}

}  // namespace zark
