#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace zark {

class TraceStore;
struct TargetDescriptor;

// The mapping between the trace timeline's pixels and the trace's sample indices: the whole trace
// of n samples spread over a strip w pixels wide. Integer arithmetic, truncating as the strip
// always has; every index that comes from a pixel is clamped to the recorded samples.
struct TimelineAxis {
    int sampleCount = 0;
    int width = 0;

    // The first pixel column of sample i.
    int XOf(int index) const;
    // The sample under pixel column x, clamped to 0..sampleCount - 1 (0 while there is no trace),
    // so a drag that leaves the strip on either side still names a recorded sample.
    int IndexAt(int x) const;
    // The top of the distance graph for a point at distance d from the centre in a strip of the
    // given height whose top stands for maxRadius (the face's FullScaleRadius).
    static int DistanceY(long long distance, int bottom, int height, int maxRadius);
};

// The colours of the strip: the background, the band of the chosen range, the distance graph and
// the shot ticks.
struct TimelineColours {
    QColor background{0xF0, 0xF0, 0xF0};
    QColor band{0xA0, 0xA0, 0xA0};
    QColor graph{0x80, 0x00, 0x80};
    QColor tick{0x00, 0x80, 0x00};
};

// Paints the whole trace of the store into rect: the band from rangeFirst to rangeLast (when both
// are set, i.e. not -1), the distance from the centre of every trace point joined into lines that
// break at (0, 0), and a tick at the shown time of every shot.
void PaintTimeline(QPainter& painter, const QRect& rect, const TraceStore& store, int maxRadius, int rangeFirst,
                   int rangeLast, const TimelineColours& colours = {});

}  // namespace zark
