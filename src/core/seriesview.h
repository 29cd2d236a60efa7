#pragma once

#include <bitset>
#include <memory>

#include "core/notification.h"
#include "core/seriesinterfaces.h"
#include "core/shootinghub.h"

namespace zark {

// The series logic of the target window's drawing view: it turns live shots into notifications
// (shot, settled, complete), counts the shots of moving-target runs, records the unfired shots
// of a run that ends, and keeps the sighters' mean point of impact, which becomes the aim
// correction of the following series. The drawing itself is the target view's, which derives
// from this class and overrides the hooks below.
class SeriesView : public HubView {
public:
    SeriesView(HubView* hub, NotificationSink* owner, const FaceRules& rules, TimerFactory& timers);
    ~SeriesView() override;

    void SetOwner(NotificationSink* owner) { owner_ = owner; }
    void SetMovingRange(int on) { movingRange_ = on; }
    // A new moving-target run was announced on side: the open run is closed with unfired shots.
    void EndRun(int side);
    // The series is given up (another target was chosen): nothing of it settles or completes.
    void StopSeries();

    // Shot marks: which shots are selected for the sighters' mean.
    void SetMarkSelected(int k, bool selected);
    bool MarkSelected(int k) const { return k >= 0 && k < kMaxShots && selected_[std::size_t(k)]; }
    void UpdateSighterMean();
    // A file is shown: the sighter series is over (its square and mean line go); the aim
    // correction it made stays in force for the next series on its face.
    void LeaveSighters();

    // Calling the shot (the setting CallShots): once a live shot has settled the view waits for
    // the shooter's call; the next shot ends the wait (that call is skipped) and a series whose
    // last shot waits completes once the call is given or skipped.
    int CallAwaited() const { return callShot_; }  // the shot waiting for its call, -1 for none
    void GiveCall(int x, int y);                    // where the shooter called it, in target units
    void SkipCall();

    // Replay of the trace between two indices; the drawing view runs it (its own issue).
    virtual void StartReplay(int speedPercent, int direction) = 0;

    void OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) override;
    void OnNewSeries(int shots, int sighters, int isDouble) override;
    void OnTraceRange(int first, int last, int add) override;
    // Another face ends the sighter series and, unless it is the face the correction was shot on,
    // the correction: it would be a wrong angle on another scale.
    void OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) override;

    int seriesShots() const { return seriesShots_; }
    int sighters() const { return sighters_; }
    int runShots() const { return runShots_; }
    int runCount() const { return runCount_; }
    int runClosed() const { return runClosed_; }
    int movingRange() const { return movingRange_; }
    int meanX() const { return meanX_; }
    int meanY() const { return meanY_; }

protected:
    // What the drawing shows. Default: nothing to draw.
    virtual void SeriesStarted() {}                       // show the cross, hide the marks
    virtual void ShotShown(int /*k*/, int /*x*/, int /*y*/) {}  // place mark k, move the cross to the shot
    virtual void MeanChanged() {}                          // redraw the mean cross
    virtual void SelectionChanged() {}                     // marks selected or not
    virtual void CallWaitChanged() {}                      // the wait for a call began or ended
    void Send(const Notification& notification);

private:
    void CountRunShot();
    void Settled();
    void Complete();
    void EndCallWait(int how, int x, int y);
    void DropCallWait();
    int TimeStep() const;

    NotificationSink* owner_;
    const FaceRules& rules_;
    std::unique_ptr<FlowTimer> settleTimer_;  // TimeBetweenShots after a live shot
    int seriesShots_ = 0;
    int sighters_ = 0;
    int runShots_ = 1;
    int runCount_ = 0;
    int runClosed_ = 0;
    int movingRange_ = 0;
    int meanX_ = 0;
    int meanY_ = 0;
    bool complete_ = true;  // code 3 sent for this series (no series under way)
    int callShot_ = -1;
    bool completeAfterCall_ = false;  // the last shot's call is awaited before the series completes
    const TargetDescriptor* correctionFace_ = nullptr;  // the face the sighters' mean was shot on
    std::bitset<kMaxShots> selected_;
};

}  // namespace zark
