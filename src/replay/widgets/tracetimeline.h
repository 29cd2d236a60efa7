#pragma once

#include <QFrame>

#include "core/shootinghub.h"
#include "replay/timeline.h"

namespace zark {

// The trace timeline: the strip along the bottom of the main window that shows the whole trace of
// the current series as the distance from the centre over time, a tick per shot and the chosen
// range as a band. A drag (or a click) chooses a range; when the button is let go the range is
// announced to every view with ShowTraceRange.
class TraceTimeline final : public QFrame, public HubView {
    Q_OBJECT

public:
    TraceTimeline(HubView* hub, QWidget* parent);

    int RangeFirst() const { return rangeFirst_; }
    int RangeLast() const { return rangeLast_; }
    bool Stale() const { return stale_; }
    int MaxRadius() const { return maxRadius_; }

    void OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) override;
    void OnTraceRange(int first, int last, int add) override;
    void OnStoreChanged() override;
    void OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) override;
    void OnNewSeries(int shots, int sighters, int isDouble) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TimelineAxis Axis() const;
    void ShowRange(int first, int last);
    void UpdateBand(int first, int last);

    int rangeFirst_ = -1;
    int rangeLast_ = -1;
    bool dragging_ = false;
    bool stale_ = false;
    int maxRadius_ = 0;
};

}  // namespace zark
