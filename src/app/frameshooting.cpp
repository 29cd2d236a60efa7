#include "app/frameshooting.h"

#include "app/framefiles.h"
#include "app/frametimed.h"
#include "app/mainframe.h"

namespace zark {
namespace {

// Pause/Continue and centring act on the series shown: they neither start another nor stop its clock.
bool ActsOnTheSeriesShown(int command) { return command == kCmdPauseContinue || command == kCmdCentreSeries; }

}  // namespace

void FrameShooting::Shoot(int command) {
    StartOrResume(command);
    frame_.ToolbarButtons().CheckButton(kCmdCentreSeries, frame_.Menus().HasCheck(kCmdCentreSeries));
}

void FrameShooting::StartOrResume(int command) {
    SeriesFlow* flow = frame_.Flow();
    FrameTimed* timed = frame_.Timed();
    if (!flow) return;  // no target window, no series
    // (a shortcut or a script may send the command while a series runs: nothing starts then)
    if (command == kCmdTimedSeries && (flow->shooting() || !timed || !timed->Choose(&frame_))) return;
    if (!MaySetSeriesAside(command)) return;
    if (timed && !ActsOnTheSeriesShown(command) && !flow->shooting()) {
        // any series that starts now starts without the clock of the one before it
        timed->End();
        if (command != kCmdNewSerie) timedKind_ = command == kCmdTimedSeries;
    }
    // a timed series tells the unit its time between shots in the series' first setup block
    const bool timedStart = timed && timedKind_ && !flow->shooting() &&
                            (command == kCmdTimedSeries || command == kCmdNewSerie);
    if (timedStart) timed->Prepare();
    const ShootKind kind = ShootKindOf(command);
    if (kind.shots && kind.sighters) flow->SightersCommand(kind.shots);
    else if (kind.shots) flow->SeriesCommand(kind.shots, kind.isDouble ? 1 : 0);
    switch (command) {
        case kCmdCentreSeries: flow->CentreSeries(); break;
        case kCmdPauseContinue: flow->PauseContinue(); break;
        case kCmdNewSerie: flow->NewSerie(); break;
        case kCmdMatch: flow->Match(); break;
        case kCmdTimedSeries: flow->SeriesCommand(timed->Drill().Shots(), 0); break;
        default: break;
    }
    // a timed series, or F10 after one, runs on the clock from its first sample (F10 while it
    // runs starts nothing and leaves its clock alone)
    if (timedStart && flow->shooting() && flow->seriesShots() == timed->Drill().Shots())
        timed->Begin();
    else if (timedStart)
        timed->End();
}

bool FrameShooting::MaySetSeriesAside(int command) {
    const SeriesFlow* flow = frame_.Flow();
    const bool keeps =
        ActsOnTheSeriesShown(command) || (command == kCmdNewSerie && flow && flow->waitingAfterSighters());
    return keeps || !frame_.Files() || frame_.Files()->MaySetSeriesAside();
}

void FrameShooting::Replay(int command) {
    // While a series is being shot the replay is grey in the menu and the toolbar; a double click
    // on a shot list or a mark must not start one either.
    if (frame_.Flow() && frame_.Flow()->shooting()) return;
    const int speed = frame_.CurrentSettings().ReplaySpeed;
    ReplayCommands* replay = frame_.ReplayTarget();
    if (replay) {
        switch (command) {
            case kCmdReplay: replay->StartReplay(speed, +1); break;
            case kCmdReplayStop: replay->StopReplay(); break;
            case kCmdReplayFastForward: replay->StartReplay(3 * speed, +1); break;
            case kCmdReplayReverse: replay->StartReplay(3 * speed, -1); break;
            case kCmdReplayRewind: replay->JumpReplay(0); break;
            case kCmdReplayEnd: replay->JumpReplay(1); break;
            default: break;
        }
    }
    // Play is shown pressed while the replay runs (after a jump too: a running replay goes on);
    // the other buttons spring back after their action.
    frame_.ToolbarButtons().ReleaseReplayButtons();
    if (replay && replay->ReplayRunning()) frame_.ToolbarButtons().CheckButton(kCmdReplay, true);
}

void FrameShooting::ChooseShot(int k) {
    // As a click on its row of the series list: the trace around it is shown, ready to be played.
    // Not while shooting, and not for sighters, whose chosen shots make the aim correction (their
    // list chooses them).
    const SeriesFlow* flow = frame_.Flow();
    if (!flow || flow->shooting() || flow->sightersMode()) return;
    ShootingHub& hub = frame_.Hub();
    TraceStore* store = hub.Store();
    if (!store || k < 0 || k >= store->ShotCount()) return;
    const TraceStore::Window w = store->ShotStretch(k);
    if (!w.ok) return;
    hub.ShowTraceRange(w.first, w.last, 0);
    hub.EndReplay();
    frame_.ToolbarButtons().ReleaseReplayButtons();
}

void FrameShooting::ApplyShotTimeOffset() {
    ShootingHub& hub = frame_.Hub();
    if (TraceStore* store = hub.Store()) store->SetShotTimeOffset(frame_.ToolbarButtons().ShotTimeOffsetMs());
    hub.NotifyStoreChanged();
}

void FrameShooting::ClearPitch() {
    frame_.ToolbarButtons().ResetOffset();
    ApplyShotTimeOffset();
}

}  // namespace zark
