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
    // Pause (F3, a silent detector): every timer of the run stops, an automatic replay that was
    // due is dropped and nothing is scheduled while paused; what the stopped timers owed the series
    // (the step to the next shot) is kept for Resume.
    void Pause();
    // Continue: does the step the pause held back and arms the link again. Returns 1 when
    // acquisition goes on, 0 when the series completed instead (its last shot was settled while
    // the pause held back the automatic replay that completes it).
    int Resume();
    // The series is complete: the automatic replay stops and nothing more is scheduled for it
    // (only the pending step to the next shot still arms the link, as after every shot).
    void Finish();
    // The series is given up (another target was chosen): nothing of it runs any more.
    void Abandon();
    // A file is shown: a sighter series shown before it is over.
    void ShowFile();
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
    int paused() const { return paused_; }
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
    int paused_ = 0;
    bool active_ = false;  // from StartRun until the series is complete or given up
    // What a pause held back: the step to the next shot, or that and the end of an automatic replay.
    enum class Owed { Nothing, NextShot, AfterReplay };
    Owed owed_ = Owed::Nothing;
    bool buttonsEnabled_ = true;
};

}  // namespace zark
