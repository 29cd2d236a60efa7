#pragma once

#include <QLine>
#include <QRect>
#include <vector>

#include "core/shootinghub.h"

class QPainter;

namespace zark {

// Curve and layout bits of the deviation diagram.
enum DiagramFlag : int {
    kCurveAbsolute = 1,      // distance from the centre
    kCurveHorizontal = 2,    // x
    kCurveVertical = 4,      // y
    kCurveSpeed = 8,         // distance moved per trace step
    kPlotUpright = 0x10,     // time from bottom to top, values from the axis toward the left (printout)
    kPlotNoGrid = 0x100,     // no grid line per second
    kPlotFrame = 0x200,      // black frame around the plot
    kDefaultDiagramFlags = 7,
    kCurveFlags = kCurveAbsolute | kCurveHorizontal | kCurveVertical | kCurveSpeed,
};

// What the diagram window is told by its plot.
class DiagramListener {
public:
    virtual ~DiagramListener() = default;
    virtual void PlotChanged() = 0;   // the picture changed as a whole
    virtual void RangeChanged() = 0;  // a new trace range: new averages
    virtual void MarkerMoved() = 0;   // the replay marker moved, appeared or went
};

struct DiagramAverages {
    int step = 0;      // speed
    int distance = 0;  // absolute deviation
    int x = 0;         // horizontal deviation
    int y = 0;         // vertical deviation
    friend bool operator==(const DiagramAverages&, const DiagramAverages&) = default;
};

// The deviation diagram: how the aim moved over time in the part of the trace that is shown,
// as distance from the centre, horizontal and vertical deviation and speed, with the ring radii
// of the face as reference lines, a grid line per second and a line at each shot. A view of the
// hub; the screen and the printout paint it with the same routine.
//
// The speed of a point is the distance from the aim point before it; a point with no aim point
// before it (the first of the trace, or the first after a break) has speed 0.
class DiagramPlot final : public HubView {
public:
    explicit DiagramPlot(HubView* hub);

    void SetListener(DiagramListener* listener) { listener_ = listener; }
    void SetFlags(int flags);
    int Flags() const { return flags_; }

    int First() const { return first_; }
    int Last() const { return last_; }
    int FullScale() const { return fullScale_; }
    const std::vector<int>& Levels() const { return levels_; }
    // The averages over the trace before each shot in the range (0 when there is none).
    const DiagramAverages& Averages() const { return averages_; }
    bool MarkerVisible() const { return markerVisible_; }
    int ReplayPosition() const { return replayPos_; }

    struct Context {
        QRect rect;
        bool printing = false;
        double pixelsPerMm = 96 / 25.4;  // for the printout's pen width
    };
    // Paints the plot into context.rect (the replay marker too, unless printing).
    void Paint(QPainter& painter, const Context& context) const;
    // The time position of the replay marker in a plot of this extent (width, or height upright).
    int MarkerPosition(int extent) const;

    // The geometry, for the painter and its checks: where the axis lies, the spacing of the grid
    // lines per second (0 for none), and the positions of the reference lines.
    static int AxisPosition(int flags, int width, int height);
    static int GridSpacing(int extent, int first, int last, int timeStep);
    static std::vector<int> ReferencePositions(int flags, int axis, int fullScale, const std::vector<int>& levels);

    void OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) override;
    void OnTraceRange(int first, int last, int add) override;
    void OnStoreChanged() override;
    void OnNewSeries(int shots, int sighters, int isDouble) override;
    void OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) override;
    void OnReplayStarted() override;
    void OnReplayStopped() override;
    void OnAcquisitionStopped() override;

private:
    // Takes the range asked for; no range (-1, -1) is the whole trace when no series is being
    // shot (a file just opened, a series finished), as the target view replays it.
    void TakeRange(int first, int last);
    void RunStatistics();
    void Changed();
    // A new series or target: no range of the series before stays shown, nor its averages.
    void ForgetRange();

    DiagramListener* listener_ = nullptr;
    int flags_ = kDefaultDiagramFlags;
    int fullScale_ = 0;
    std::vector<int> levels_;
    int first_ = -1;
    int last_ = -1;
    bool noRange_ = true;  // the range asked for is (-1, -1)
    int replayPos_ = 0;
    bool markerVisible_ = false;
    DiagramAverages averages_;
    mutable std::vector<QLine> lines_[4];  // per curve, reused by every paint
};

}  // namespace zark
