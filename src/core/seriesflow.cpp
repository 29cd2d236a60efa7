#include "core/seriesflow.h"

#include <algorithm>
#include <cstring>

#include "core/shootinghub.h"
#include "core/targetrun.h"
#include "settings/settings.h"

namespace zark {

SeriesFlow::SeriesFlow(HubView& hub, TargetRun& target, SeriesFlowHost& host)
    : hub_(hub), target_(target), host_(host), matchSeries_(std::make_unique<TraceImage[]>(kMaxShots)) {
    for (int j = 0; j < kMaxShots; ++j) matchSeries_[j].Clear();
}

SeriesFlow::~SeriesFlow() = default;

void SeriesFlow::LeaveMatch() {
    host_.HideMatchBoard();
    matchMode_ = 0;
    waitingAfterSighters_ = 0;
}

// A start command while a series is being shot would reset the scoreboard of the running series
// without starting anything (the hub and the target window refuse): it is ignored.
void SeriesFlow::SightersCommand(int shots) {
    if (shooting_) return;
    LeaveMatch();
    StartSighters(shots);
}

void SeriesFlow::SeriesCommand(int shots, int isDouble) {
    if (shooting_) return;
    LeaveMatch();
    StartSeries(shots, isDouble, {});
}

void SeriesFlow::StartSeries(int shots, int isDouble, const std::string& subtitle) {
    if (shots > 0) {
        seriesShots_ = shots;
        seriesDouble_ = isDouble;
    }
    sightersMode_ = 0;
    Start(false, subtitle);
}

void SeriesFlow::StartSighters(int shots) {
    if (shots > 0) seriesShots_ = shots;
    seriesDouble_ = 0;
    sightersMode_ = 1;
    Start(true, {});
}

void SeriesFlow::Start(bool sighters, const std::string& subtitle) {
    host_.ClearFileName();
    host_.ResetScoreboard(sighters, subtitle);
    host_.SetShootingState(ShootingState::Shooting);
    hub_.EndReplay();
    target_.StartRun(seriesShots_, sighters ? 1 : 0, seriesDouble_);
    hub_.NewSeries(seriesShots_, sighters ? 1 : 0, seriesDouble_);
    paused_ = 0;
    shooting_ = true;
}

void SeriesFlow::StartEntry(int i) {
    if (i < 0 || i >= programme_.seriesCount) return;
    const auto& entry = programme_.entries[i];
    if (entry.sighters)
        StartSighters(entry.shots);
    else
        StartSeries(entry.shots, 0, std::string(entry.subtitle, strnlen(entry.subtitle, sizeof entry.subtitle)));
}

void SeriesFlow::Pause(ShootingState state) {
    target_.Pause();
    hub_.StopAcquisition();
    host_.SetShootingState(state);
    paused_ = 1;
    shooting_ = false;
}

void SeriesFlow::PauseContinue() {
    if (waitingAfterSighters_) {
        ++currentEntry_;
        waitingAfterSighters_ = 0;
        StartEntry(currentEntry_);
    } else if (paused_) {
        hub_.EndReplay();
        // The target window arms the link again, unless its series completed instead: then
        // SeriesComplete has already moved everything on.
        if (!target_.Resume()) return;
        paused_ = 0;
        hub_.StartAcquisition();
        shooting_ = true;
        host_.SetShootingState(ShootingState::Shooting);
    } else if (shooting_) {
        // (F3 fires even where the menu item is grey: with no series running there is nothing to pause.)
        hub_.EndReplay();
        Pause(ShootingState::Paused);
    }
}

void SeriesFlow::NewSerie() {
    if (waitingAfterSighters_) {
        waitingAfterSighters_ = 0;
        StartEntry(currentEntry_);
        return;
    }
    if (shooting_ || seriesShots_ <= 0) return;
    LeaveMatch();
    if (sightersMode_)
        StartSighters(0);
    else
        StartSeries(0, seriesDouble_, {});
}

void SeriesFlow::Match() {
    if (shooting_) return;
    MatchProgramme chosen = programme_;
    if (!host_.ChooseProgramme(chosen)) return;
    if (chosen.seriesCount <= 0) return;  // nothing to shoot
    waitingAfterSighters_ = 0;
    matchMode_ = 1;
    programme_ = chosen;
    currentEntry_ = 0;
    for (int j = 0; j < kMaxShots; ++j) matchSeries_[j].Clear();
    host_.ShowMatchBoard(programme_);
    StartEntry(0);
}

void SeriesFlow::CentreSeries() {
    centred_ = !centred_;
    host_.SetCentreChecked(centred_);
    if (TraceStore* store = hub_.Store()) store->Centre(centred_ ? 1 : 0);
    hub_.NotifyStoreChanged();
}

void SeriesFlow::OnNotification(const Notification& n) {
    switch (n.code) {
        case kCodeSeriesComplete:
            // once per series: a late report for a series that is over changes nothing
            if (shooting_ || (paused_ && !waitingAfterSighters_)) SeriesComplete();
            break;
        case kCodeShotSettled: {
            TraceStore* store = hub_.Store();
            if (!store) break;
            const int last = sightersMode_ ? store->ShotCount() : store->ShotCount() - 1;
            const auto w = store->ShotStretch(last);
            if (w.ok) hub_.ShowTraceRange(w.first, w.last, 0);
            break;
        }
        case kCodeDetectorSilent:
            // Only a series being shot is paused, and before the message is shown: the box's
            // event loop must find acquisition stopped.
            if (!shooting_) break;
            Pause(ShootingState::Paused);
            host_.ShowDetectorSilent();
            break;
        default:
            break;
    }
}

void SeriesFlow::SeriesComplete() {
    paused_ = 0;
    shooting_ = false;
    host_.SetShootingState(ShootingState::Idle);
    hub_.StopAcquisition();
    target_.Finish();
    if (!matchMode_) {
        if (host_.SaveAutomatically()) host_.SaveSeriesAutomatically();
        return;
    }
    const int i = currentEntry_;
    if (i < 0 || i >= programme_.seriesCount) return;
    if (!programme_.entries[i].sighters) {
        const int j = StoredSeriesIndex(programme_, i);
        if (j >= 0 && j < kMaxShots) {
            if (const TraceStore* store = hub_.Store()) matchSeries_[j] = store->Image();
            host_.FillMatchBoardRow(j, matchSeries_[j]);
        }
        if (i + 1 < programme_.seriesCount) {
            currentEntry_ = i + 1;
            StartEntry(currentEntry_);
        } else {
            currentEntry_ = programme_.seriesCount;  // the match is complete
            if (host_.SaveAutomatically()) host_.SaveMatchAutomatically();
        }
    } else if (i + 1 < programme_.seriesCount) {
        host_.SetShootingState(ShootingState::Paused);
        paused_ = 1;
        waitingAfterSighters_ = 1;
    }
}

void SeriesFlow::EndSeries() {
    LeaveMatch();
    paused_ = 0;
    shooting_ = false;
    hub_.EndReplay();
    hub_.StopAcquisition();
    target_.Abandon();
}

// An opened file is shown, not shot: whatever was paused is over.
void SeriesFlow::LoadSeries(int shots, int sighters) {
    LeaveMatch();
    target_.ShowFile();
    if (shots >= 1 && shots <= kMaxShots) seriesShots_ = shots;
    seriesDouble_ = 0;
    sightersMode_ = sighters ? 1 : 0;
    paused_ = 0;
    shooting_ = false;
}

void SeriesFlow::LoadMatch(const MatchProgramme& programme, const TraceImage* series, int seriesCount) {
    target_.ShowFile();
    matchMode_ = 1;
    waitingAfterSighters_ = 0;
    seriesDouble_ = 0;
    paused_ = 0;
    shooting_ = false;
    programme_ = programme;
    currentEntry_ = programme_.seriesCount;
    for (int j = 0; j < kMaxShots; ++j) {
        if (series && j < seriesCount)
            matchSeries_[j] = series[j];
        else
            matchSeries_[j].Clear();
    }
}

}  // namespace zark
