#include "core/targetrun.h"

#include "core/seriesview.h"
#include "settings/settings.h"

namespace zark {

namespace {
constexpr int kReplayPauseMs = 2000;  // before and after an automatic replay
}

TargetRun::TargetRun(SeriesView& view, LinkControl& link, NotificationSink& mainFrame, const FaceRules& rules,
                     TimerFactory& timers)
    : view_(view),
      link_(link),
      mainFrame_(mainFrame),
      rules_(rules),
      nextShotTimer_(timers.CreateTimer([this] { NextShot(); })),
      replayTimer_(timers.CreateTimer([this] { ReplayShot(); })),
      afterReplayTimer_(timers.CreateTimer([this] {
          // after the replay, in this order: arm the link for the next shot, then resume or complete
          NextShot();
          AfterReplay();
      })) {}

TargetRun::~TargetRun() = default;

int TargetRun::StartRun(int seriesShots, int sighterSeries, int alternate) {
    if (locked_) return 0;
    seriesShots_ = seriesShots;
    sighterSeries_ = sighterSeries;
    alternate_ = alternate;
    locked_ = 1;
    waiting_ = 0;
    paused_ = 0;
    active_ = true;
    owed_ = Owed::Nothing;
    buttonsEnabled_ = false;
    shotNo_ = 0;
    nextShotTimer_->Stop();
    replayTimer_->Stop();
    afterReplayTimer_->Stop();
    ApplyLeadOffset();
    return 1;
}

void TargetRun::Pause() {
    if (!active_ || paused_) return;
    if (nextShotTimer_->Active()) owed_ = Owed::NextShot;
    if (waiting_ || replayTimer_->Active() || afterReplayTimer_->Active()) owed_ = Owed::AfterReplay;
    nextShotTimer_->Stop();
    replayTimer_->Stop();
    afterReplayTimer_->Stop();
    waiting_ = 0;
    paused_ = 1;
    Unlock();
    buttonsEnabled_ = true;
}

int TargetRun::Resume() {
    if (paused_) {
        paused_ = 0;
        const Owed owed = owed_;
        owed_ = Owed::Nothing;
        if (owed != Owed::Nothing) {
            ++shotNo_;
            view_.EndReplay();
        }
        if (owed == Owed::AfterReplay && shotNo_ >= seriesShots_) {
            // the series' completion was held back for the replay the pause dropped
            mainFrame_.Notify(Notification{kCodeSeriesComplete});
            return 0;
        }
    }
    Relock();
    return 1;
}

void TargetRun::Finish() {
    replayTimer_->Stop();
    afterReplayTimer_->Stop();
    waiting_ = 0;
    paused_ = 0;
    active_ = false;
    owed_ = Owed::Nothing;
    Unlock();
    buttonsEnabled_ = true;
}

void TargetRun::Abandon() {
    nextShotTimer_->Stop();
    Finish();
    view_.StopSeries();
}

void TargetRun::ShowFile() { view_.LeaveSighters(); }

int TargetRun::Unlock() {
    if (!locked_) return 0;
    locked_ = 0;
    if (!waiting_) buttonsEnabled_ = true;
    return 1;
}

int TargetRun::Relock() {
    if (locked_) return 0;
    locked_ = 1;
    buttonsEnabled_ = false;
    ApplyLeadOffset();
    return 1;
}

void TargetRun::ApplyLeadOffset() {
    LeadMode mode = LeadMode::Fixed;
    if (movingRange_) {
        mode = !alternate_ ? LeadMode::Moving : (shotNo_ & 1) ? LeadMode::AlternateSecond : LeadMode::AlternateFirst;
    }
    const LeadOffset lead = rules_.Lead(view_.CurrentTarget(), mode);
    link_.RequestAdjustment(lead.x, lead.y);
}

void TargetRun::ChooseLeft() {
    movingRange_ = 0;
    view_.SetMovingRange(0);
    view_.SelectTarget(0);
}

void TargetRun::ChooseRight() {
    movingRange_ = 0;
    view_.SetMovingRange(0);
    view_.SelectTarget(1);
}

void TargetRun::ChooseMovingRange() {
    movingRange_ = 1;
    view_.SetMovingRange(1);
}

void TargetRun::Notify(const Notification& n) {
    const bool autoReplay = settings_ && settings_->AutoReplay && !sighterSeries_;
    switch (n.code) {
        case kCodeSeriesComplete:
            if (waiting_) return;  // the series completes after its replay
            break;
        case kCodeReplayAtEnd:
            if (waiting_) {
                waiting_ = 0;
                afterReplayTimer_->Start(kReplayPauseMs);
            }
            break;
        case kCodeShotSettled:
            if (autoReplay && paused_) {
                owed_ = Owed::AfterReplay;  // no replay while paused; Continue goes on from here
            } else if (autoReplay && active_) {
                Unlock();
                view_.StopAcquisition();
                replayTimer_->Start(kReplayPauseMs);
                waiting_ = 1;
            }
            break;
        case kCodeShot:
        case kCodeUnfiredShot:
            if (!autoReplay) {
                shotNo_ = n.index;
                if (paused_)
                    owed_ = Owed::NextShot;
                else if (active_)
                    nextShotTimer_->Start(shotPeriod_);
            }
            break;
        case kCodeNewRun:
            // A run announced while no series runs (none started, complete, given up or paused)
            // belongs to no series. (During an automatic replay the series runs: its runs count.)
            if (!active_ || paused_) return;
            view_.EndRun(n.side);
            ApplyLeadOffset();
            break;
        default:
            break;
    }
    mainFrame_.Notify(n);
}

void TargetRun::NextShot() {
    ++shotNo_;
    view_.EndReplay();
    ApplyLeadOffset();
}

void TargetRun::ReplayShot() {
    TraceStore* store = view_.Store();
    if (!store) return;
    const TraceStore::Window w = store->ShotStretch(shotNo_);
    if (!w.ok) {
        // nothing to replay (a shot without trace): go on as after a replay
        Notify(Notification{kCodeReplayAtEnd});
        return;
    }
    view_.ShowTraceRange(w.first, w.last, 0);
    view_.StartReplay(settings_ ? settings_->ReplaySpeed : 100, +1);
}

void TargetRun::AfterReplay() {
    if (shotNo_ < seriesShots_) {
        Relock();
        view_.StartAcquisition();
    } else {
        mainFrame_.Notify(Notification{kCodeSeriesComplete});
        view_.EndReplay();
    }
}

}  // namespace zark
