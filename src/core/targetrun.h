#pragma once

#include <memory>

#include "core/notification.h"
#include "core/seriesinterfaces.h"

namespace zark {

class HubView;
class SeriesView;
struct Settings;

// The target window's part of a series: it locks the hunting buttons while a series runs, arms
// the detector link for each shot once the time between shots has passed, runs the automatic
// replay between shots, and passes the drawing view's and the link's notifications on to the
// main frame.
class TargetRun final : public NotificationSink {
public:
    TargetRun(SeriesView& view, LinkControl& link, NotificationSink& mainFrame, const FaceRules& rules,
              TimerFactory& timers);
    ~TargetRun() override;

    void SetShotPeriod(int ms) { shotPeriod_ = ms; }
    void SetSettings(const Settings* settings) { settings_ = settings; }

    int StartRun(int seriesShots, int sighterSeries, int alternate);
    int Unlock();
    int Relock();
    void ApplyLeadOffset();

    // The "Left", "Moving Range" and "Right" buttons.
    void ChooseLeft();
    void ChooseRight();
    void ChooseMovingRange();
    bool ButtonsEnabled() const { return buttonsEnabled_; }

    // From the drawing view and the link window.
    void Notify(const Notification& notification) override;

    int locked() const { return locked_; }
    int waiting() const { return waiting_; }
    int shotNo() const { return shotNo_; }
    int movingRange() const { return movingRange_; }

private:
    void NextShot();      // the time between shots has passed: arm the link for the next shot
    void ReplayShot();    // automatic replay of shot shotNo
    void AfterReplay();   // resume the series, or complete it

    SeriesView& view_;
    LinkControl& link_;
    NotificationSink& mainFrame_;
    const FaceRules& rules_;
    const Settings* settings_ = nullptr;
    std::unique_ptr<FlowTimer> nextShotTimer_;
    std::unique_ptr<FlowTimer> replayTimer_;
    std::unique_ptr<FlowTimer> afterReplayTimer_;
    int shotPeriod_ = 1600;
    int movingRange_ = 0;
    int alternate_ = 0;
    int locked_ = 0;
    int waiting_ = 0;
    int shotNo_ = 0;
    int seriesShots_ = 0;
    int sighterSeries_ = 0;
    bool buttonsEnabled_ = true;
};

}  // namespace zark
