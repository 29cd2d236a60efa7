#include "core/seriesview.h"

#include "settings/settings.h"

namespace zark {

SeriesView::SeriesView(HubView* hub, NotificationSink* owner, const FaceRules& rules, TimerFactory& timers)
    : HubView(hub), owner_(owner), rules_(rules), settleTimer_(timers.CreateTimer([this] { Settled(); })) {}

SeriesView::~SeriesView() = default;

int SeriesView::TimeStep() const { return TimeStepOf(settings()); }

void SeriesView::Send(const Notification& notification) {
    if (owner_) owner_->Notify(notification);
}

void SeriesView::OnNewSeries(int shots, int sighters, int isDouble) {
    seriesShots_ = shots;
    sighters_ = sighters;
    runShots_ = isDouble ? 2 : 1;
    runCount_ = 0;
    complete_ = false;
    settleTimer_->Stop();
    DropCallWait();
    selected_.reset();
    if (movingRange_) {
        runClosed_ = 1;
        EnableShots(0);  // no shot counts until the unit announces a run
    } else {
        runClosed_ = 0;
        EnableShots(1);
    }
    SeriesStarted();
}

void SeriesView::OnSample(int x, int y, int isShot, int isReplay, int /*sampleIndex*/) {
    if (isReplay || !isShot) return;
    TraceStore* store = Store();
    if (!store) return;
    if (callShot_ >= 0) EndCallWait(kCallOvertaken, 0, 0);  // fired before the call was given
    const int k = store->ShotCount() - 1;
    // An unfired shot of a run (at (0, 0)) is reported by EndRun. Any other shot was fired: it is
    // reported, shown and timed even without a trace point of its own (the trace was full), and
    // counts toward the series like every other.
    if (!store->ShotFired(k)) return;

    Notification shot;
    shot.code = kCodeShot;
    shot.index = k;
    shot.score = rules_.ScoreShot(CurrentTarget(), x, y);
    shot.timeMs = store->SampleCount() * TimeStep();
    shot.bearing = rules_.ShotBearing(CurrentTarget(), x, y);
    Send(shot);
    ShotShown(k, x, y);
    if (movingRange_) CountRunShot();
    UpdateSighterMean();
    settleTimer_->Start(settings() ? settings()->TimeBetweenShots : 1600);
}

void SeriesView::CountRunShot() {
    ++runCount_;
    if (runCount_ >= runShots_) {
        runClosed_ = 1;
        EnableShots(0);
    }
}

void SeriesView::Settled() {
    TraceStore* store = Store();
    if (!store) return;
    Notification settled;
    settled.code = kCodeShotSettled;
    settled.index = store->ShotCount();
    settled.timeMs = store->SampleCount() * TimeStep();
    Send(settled);
    const int last = store->ShotCount() - 1;
    if (settings() && settings()->CallShots && !complete_ && store->ShotFired(last)) {
        callShot_ = last;
        completeAfterCall_ = store->ShotCount() == seriesShots_;
        CallWaitChanged();
        return;
    }
    if (store->ShotCount() == seriesShots_) Complete();
}

void SeriesView::GiveCall(int x, int y) {
    if (callShot_ >= 0) EndCallWait(kCallGiven, x, y);
}

void SeriesView::SkipCall() {
    if (callShot_ >= 0) EndCallWait(kCallSkipped, 0, 0);
}

void SeriesView::EndCallWait(int how, int x, int y) {
    const int shot = callShot_;
    const bool complete = completeAfterCall_;
    DropCallWait();
    CallShot(shot, how, x, y);
    if (complete) Complete();
}

// The wait ends without a word (a new series, a series given up, another face).
void SeriesView::DropCallWait() {
    completeAfterCall_ = false;
    if (callShot_ < 0) return;
    callShot_ = -1;
    CallWaitChanged();
}

// A series completes once: a run that ends while the last shot is settling fills the series
// with its unfired shots and completes it, and the settling does not complete it again.
void SeriesView::Complete() {
    if (complete_) return;
    complete_ = true;
    Send(Notification{kCodeSeriesComplete});
}

void SeriesView::StopSeries() {
    settleTimer_->Stop();
    DropCallWait();
    complete_ = true;
    runClosed_ = 1;
}

void SeriesView::EndRun(int side) {
    if (!movingRange_) return;
    TraceStore* store = Store();
    if (!runClosed_ && !complete_ && store) {
        // The shots the run still allowed count as fired and missed. The series never gets more
        // shots than it has: once it is full (or over), the rest of the run is not recorded.
        while (runCount_ < runShots_ && store->ShotCount() < seriesShots_) {
            FeedSample(0, 0, 1, 0, -1);
            Notification unfired;
            unfired.code = kCodeUnfiredShot;
            unfired.index = store->ShotCount() - 1;
            Send(unfired);
            if (store->ShotCount() == seriesShots_) {
                Complete();
                break;
            }
            CountRunShot();
        }
    }
    runClosed_ = 0;
    EnableShots(1);
    SelectTarget(side);
    runCount_ = 0;
}

void SeriesView::LeaveSighters() {
    if (!sighters_) return;
    sighters_ = 0;
    MeanChanged();
}

void SeriesView::OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) {
    HubView::OnTargetsChanged(a, b);
    DropCallWait();
    sighters_ = 0;
    if (a != correctionFace_ && (meanX_ != 0 || meanY_ != 0)) {
        meanX_ = 0;
        meanY_ = 0;
        SetAimOffset(0, 0);
    }
    correctionFace_ = a;
}

void SeriesView::SetMarkSelected(int k, bool selected) {
    if (k < 0 || k >= kMaxShots) return;
    selected_[std::size_t(k)] = selected;
    SelectionChanged();
}

void SeriesView::UpdateSighterMean() {
    if (sighters_) {
        TraceStore* store = Store();
        long long sumX = 0;
        long long sumY = 0;
        int n = 0;
        for (int j = 0; store && j < store->ShotCount(); ++j) {
            if (!selected_[std::size_t(j)]) continue;
            sumX += store->Shot(j).x;
            sumY += store->Shot(j).y;
            ++n;
        }
        meanX_ = n ? int(sumX / n) : 0;
        meanY_ = n ? int(sumY / n) : 0;
        correctionFace_ = targetA();
        MeanChanged();
    }
    // In a series the sighters' mean stays in force.
    SetAimOffset(-meanX_, -meanY_);
}

void SeriesView::OnTraceRange(int first, int last, int add) {
    TraceStore* store = Store();
    if (!add) selected_.reset();
    for (int j = 0; store && j < store->ShotCount(); ++j) {
        if (!store->ShotInRange(j, first, last)) continue;
        selected_[std::size_t(j)] = true;
        // Looking at a shot shows the face it was fired at, but never while a series is being
        // shot or paused: the side of a running series is the unit's, not the viewer's.
        if (complete_) SelectTarget(store->Shot(j).side);
    }
    SelectionChanged();
    if (sighters_) UpdateSighterMean();
}

}  // namespace zark
