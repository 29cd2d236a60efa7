// The series and match rules as scripted scenarios: a live hub, the drawing view's and the target
// window's series logic and the main frame's flow, with timers on a virtual clock and recording
// fakes for everything else.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/seriesflow.h"
#include "core/seriesview.h"
#include "core/shootinghub.h"
#include "core/targetrun.h"
#include "settings/settings.h"

namespace zark {
namespace {

// Timers on a virtual clock: Advance(ms) fires every timer that falls due, in time order
// (timers due at the same moment in the order they were created).
class VirtualClock final : public TimerFactory {
public:
    class Timer final : public FlowTimer {
    public:
        Timer(VirtualClock& clock, int order, std::function<void()> fire)
            : clock_(clock), order_(order), fire_(std::move(fire)) {}
        void Start(int ms) override { due_ = clock_.now + ms; }
        void Stop() override { due_ = -1; }
        bool Active() const override { return due_ >= 0; }
        VirtualClock& clock_;
        int order_;
        std::function<void()> fire_;
        long long due_ = -1;
    };

    std::unique_ptr<FlowTimer> CreateTimer(std::function<void()> onFire) override {
        auto timer = std::make_unique<Timer>(*this, int(timers.size()), std::move(onFire));
        timers.push_back(timer.get());
        return timer;
    }

    void Advance(long long ms) {
        const long long end = now + ms;
        for (;;) {
            Timer* next = nullptr;
            for (Timer* t : timers)
                if (t->Active() && t->due_ <= end && (!next || t->due_ < next->due_)) next = t;
            if (!next) break;
            now = next->due_;
            next->due_ = -1;
            next->fire_();
        }
        now = end;
    }

    long long now = 0;
    std::vector<Timer*> timers;
};

class FakeRules final : public FaceRules {
public:
    double ScoreShot(const TargetDescriptor*, int x, int y) const override {
        return std::max(0.0, 10.0 - (std::abs(x) + std::abs(y)) / 100.0);
    }
    int ShotBearing(const TargetDescriptor*, int x, int) const override { return x >= 0 ? 3 : 9; }
    LeadOffset Lead(const TargetDescriptor*, LeadMode mode) const override { return {100 + int(mode), 0}; }
};

class FakeLink final : public LinkControl {
public:
    void RequestAdjustment(int x, int y) override { adjustments.push_back({x, y}); }
    std::vector<LeadOffset> adjustments;
};

class TestView final : public SeriesView {
public:
    using SeriesView::SeriesView;
    void StartReplay(int speed, int direction) override { replays.push_back({speed, direction}); }
    void OnShotsEnabled(int e) override {
        SeriesView::OnShotsEnabled(e);
        enabledLog.push_back(e);
    }
    std::vector<std::pair<int, int>> replays;
    std::vector<int> enabledLog;
};

class FakeHost final : public SeriesFlowHost {
public:
    void ClearFileName() override { log.push_back("ClearFileName"); }
    void ResetScoreboard(bool sighters, const std::string& subtitle) override {
        log.push_back(std::string("ResetScoreboard ") + (sighters ? "sighters" : "series") + " '" + subtitle + "'");
    }
    void SetShootingState(ShootingState s) override { state = s; }
    void ShowMatchBoard(const MatchProgramme& p) override { log.push_back(std::string("ShowMatchBoard ") + p.title); }
    void HideMatchBoard() override { log.push_back("HideMatchBoard"); }
    void FillMatchBoardRow(int row, const TraceImage& series) override { rows[row] = series.shotCount; }
    bool ChooseProgramme(MatchProgramme& p) override {
        if (!offer) return false;
        p = *offer;
        return true;
    }
    bool SaveAutomatically() const override { return autoSave; }
    void SaveSeriesAutomatically() override { log.push_back("SaveSeries"); }
    void SaveMatchAutomatically() override { log.push_back("SaveMatch"); }
    void ShowDetectorSilent() override {
        log.push_back("DetectorSilent");
        if (duringSilentBox) duringSilentBox();  // what the box's event loop lets in
    }
    void SetCentreChecked(bool on) override { log.push_back(on ? "Centre on" : "Centre off"); }

    ShootingState state = ShootingState::TargetShown;
    std::vector<std::string> log;
    std::map<int, int> rows;  // row -> shots stored
    const MatchProgramme* offer = nullptr;
    bool autoSave = false;
    std::function<void()> duringSilentBox;
};

// The main frame: records what reaches it and passes it to the flow.
class MainFrameSink final : public NotificationSink {
public:
    void Notify(const Notification& n) override {
        received.push_back(n);
        if (flow) flow->OnNotification(n);
    }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const auto& n : received) codes.push_back(n.code);
        return codes;
    }
    SeriesFlow* flow = nullptr;
    std::vector<Notification> received;
};

MatchProgramme Programme(const char* title, std::vector<std::tuple<int, int, const char*>> entries) {
    MatchProgramme p{};
    std::strncpy(p.title, title, sizeof p.title - 1);
    p.seriesCount = int(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        p.entries[i].sighters = std::get<0>(entries[i]);
        p.entries[i].shots = std::get<1>(entries[i]);
        std::strncpy(p.entries[i].subtitle, std::get<2>(entries[i]), sizeof p.entries[i].subtitle - 1);
    }
    return p;
}

class Series : public ::testing::Test {
protected:
    Series() {
        view.SetOwner(&run);
        main.flow = &flow;
        hub.SetSettings(&settings);
        run.SetSettings(&settings);
        run.SetShotPeriod(settings.TimeBetweenShots);
    }
    // Some aim points (never (0, 0)), then a shot, then the time between shots.
    void Shoot(int x, int y, int samplesBefore = 10) {
        for (int i = 0; i < samplesBefore; ++i) hub.FeedSample(x + 50, y + 50 + i, 0, 0, -1);
        hub.FeedSample(x, y, 1, 0, -1);
    }
    void Aim(int samples) {
        for (int i = 0; i < samples; ++i) hub.FeedSample(300, 300 + i, 0, 0, -1);
    }
    int Count(int code) const {
        return int(std::count_if(main.received.begin(), main.received.end(), [&](auto& n) { return n.code == code; }));
    }
    int ShotCount() { return hub.Store()->ShotCount(); }
    int Logged(const std::string& entry) const { return int(std::count(host.log.begin(), host.log.end(), entry)); }

    Settings settings;
    ShootingHub hub;
    VirtualClock clock;
    FakeRules rules;
    FakeLink link;
    MainFrameSink main;
    TestView view{&hub, nullptr, rules, clock};
    TargetRun run{view, link, main, rules, clock};
    FakeHost host;
    SeriesFlow flow{hub, run, host};
};

TEST_F(Series, ASeriesRunsShotByShotToItsEndAndF10RepeatsIt) {
    host.autoSave = true;
    flow.SeriesCommand(6, 0);
    EXPECT_EQ(host.state, ShootingState::Shooting);
    EXPECT_TRUE(hub.IsRunning());
    EXPECT_EQ(run.locked(), 1);
    EXPECT_FALSE(run.ButtonsEnabled());
    EXPECT_EQ(link.adjustments.size(), 1u);  // armed for the first shot
    EXPECT_EQ(link.adjustments[0], (LeadOffset{100 + int(LeadMode::Fixed), 0}));

    for (int s = 0; s < 6; ++s) {
        Shoot(20 * s + 10, -30);
        const Notification& shot = main.received.back();
        EXPECT_EQ(shot.code, kCodeShot);
        EXPECT_EQ(shot.index, s);
        EXPECT_DOUBLE_EQ(shot.score, 10.0 - (20 * s + 10 + 30) / 100.0);
        EXPECT_EQ(shot.timeMs, hub.Store()->SampleCount() * 40);
        EXPECT_EQ(shot.bearing, 3);
        // the link is armed again only after the time between shots
        EXPECT_EQ(link.adjustments.size(), std::size_t(s + 1));
        clock.Advance(1599);
        EXPECT_EQ(link.adjustments.size(), std::size_t(s + 1));
        EXPECT_EQ(Count(kCodeShotSettled), s);
        clock.Advance(1);
        EXPECT_EQ(link.adjustments.size(), std::size_t(s + 2));
        EXPECT_EQ(Count(kCodeShotSettled), s + 1);
        const auto settled = std::find_if(main.received.rbegin(), main.received.rend(),
                                          [](const Notification& n) { return n.code == kCodeShotSettled; });
        EXPECT_EQ(settled->index, s + 1);  // code 7 carries the shot count
        EXPECT_EQ(run.shotNo(), s + 1);
    }
    EXPECT_EQ(Count(kCodeSeriesComplete), 1);
    EXPECT_EQ(host.state, ShootingState::Idle);
    EXPECT_FALSE(hub.IsRunning());
    EXPECT_EQ(run.locked(), 0);
    EXPECT_TRUE(run.ButtonsEnabled());
    EXPECT_EQ(host.log.back(), "SaveSeries");

    flow.NewSerie();  // F10: another 6-shot series
    EXPECT_EQ(flow.seriesShots(), 6);
    EXPECT_EQ(ShotCount(), 0);
    EXPECT_EQ(view.seriesShots(), 6);
    EXPECT_EQ(view.sighters(), 0);
    EXPECT_TRUE(hub.IsRunning());
}

TEST_F(Series, StartCommandsWhileShootingChangeNothing) {
    flow.SeriesCommand(5, 0);
    Shoot(10, 10);
    const auto log = host.log;
    flow.SeriesCommand(10, 0);
    flow.SightersCommand(3);
    flow.NewSerie();
    EXPECT_EQ(host.log, log);
    EXPECT_EQ(ShotCount(), 1);
    EXPECT_EQ(flow.seriesShots(), 5);
}

TEST_F(Series, SightersAreShotUncorrectedAndTheirMeanCorrectsTheNextSeries) {
    flow.SightersCommand(3);
    EXPECT_EQ(host.log.back(), "ResetScoreboard sighters ''");
    Shoot(40, 10);
    clock.Advance(1600);  // code 7: the whole series is shown, its shots selected
    Shoot(60, 30);
    clock.Advance(1600);
    Shoot(80, -10);
    Aim(5);
    clock.Advance(1600);
    EXPECT_EQ(view.meanX(), 60);
    EXPECT_EQ(view.meanY(), 10);
    EXPECT_EQ(hub.offsetX(), -60);
    EXPECT_EQ(hub.offsetY(), -10);
    EXPECT_EQ(host.state, ShootingState::Idle);

    // a shot deselected on the target leaves the mean
    view.SetMarkSelected(2, false);
    view.UpdateSighterMean();
    EXPECT_EQ(view.meanX(), 50);
    EXPECT_EQ(hub.offsetY(), -20);

    flow.NewSerie();  // after sighters: sighters again
    EXPECT_EQ(flow.sightersMode(), 1);
    EXPECT_EQ(view.sighters(), 1);
    Shoot(-20, -20);
    clock.Advance(1600);
    Shoot(-40, -40);
    clock.Advance(1600);
    Shoot(-60, -60);
    Aim(5);
    clock.Advance(1600);
    EXPECT_EQ(hub.offsetX(), 40);

    flow.SeriesCommand(5, 0);  // the series keeps the sighters' correction
    Shoot(5, 5);
    clock.Advance(1600);
    EXPECT_EQ(hub.offsetX(), 40);
    EXPECT_EQ(hub.offsetY(), 40);
    EXPECT_EQ(view.meanX(), -40);
}

TEST_F(Series, TheSightersCorrectionBelongsToTheFaceItWasShotOn) {
    // The series rules only pass face pointers on; two distinct addresses stand for two faces.
    static const int faces[2] = {};
    const auto* rifle = reinterpret_cast<const TargetDescriptor*>(&faces[0]);
    const auto* air = reinterpret_cast<const TargetDescriptor*>(&faces[1]);
    hub.SetTargets(rifle, nullptr);
    flow.SightersCommand(3);
    for (const int x : {40, 60}) {
        Shoot(x, 10);
        clock.Advance(1600);
    }
    Shoot(80, 10);
    Aim(5);
    clock.Advance(1600);
    ASSERT_EQ(hub.offsetX(), -60);
    flow.LoadSeries(5);  // a file of the face is shown: the sighter series is over, its correction stays
    hub.ShowTraceRange(-1, -1, 0);
    EXPECT_EQ(view.sighters(), 0);
    EXPECT_EQ(hub.offsetX(), -60);
    hub.SetTargets(rifle, nullptr);
    EXPECT_EQ(hub.offsetX(), -60);
    hub.SetTargets(air, nullptr);  // another face, another scale: the correction goes
    EXPECT_EQ(hub.offsetX(), 0);
    EXPECT_EQ(view.meanX(), 0);
}

TEST_F(Series, PauseAndContinueWithF3) {
    flow.PauseContinue();  // nothing runs: nothing to pause
    EXPECT_EQ(flow.paused(), 0);
    EXPECT_EQ(host.state, ShootingState::TargetShown);

    flow.SeriesCommand(4, 0);
    Shoot(1, 1);
    clock.Advance(1600);
    const std::size_t armed = link.adjustments.size();
    flow.PauseContinue();
    EXPECT_EQ(flow.paused(), 1);
    EXPECT_EQ(host.state, ShootingState::Paused);
    EXPECT_FALSE(hub.IsRunning());
    EXPECT_EQ(run.locked(), 0);
    flow.PauseContinue();
    EXPECT_EQ(flow.paused(), 0);
    EXPECT_EQ(host.state, ShootingState::Shooting);
    EXPECT_TRUE(hub.IsRunning());
    EXPECT_EQ(run.locked(), 1);
    EXPECT_EQ(link.adjustments.size(), armed + 1);  // re-armed
    EXPECT_EQ(ShotCount(), 1);

    // a new series chosen while paused starts unpaused
    flow.PauseContinue();
    flow.SeriesCommand(5, 0);
    EXPECT_EQ(flow.paused(), 0);
    flow.PauseContinue();
    EXPECT_EQ(flow.paused(), 1);
}

TEST_F(Series, DetectorSilenceShowsTheMessageAndPauses) {
    flow.SeriesCommand(5, 0);
    Shoot(3, 3);
    run.Notify(Notification{kCodeDetectorSilent});
    EXPECT_EQ(host.log.back(), "DetectorSilent");
    EXPECT_EQ(flow.paused(), 1);
    EXPECT_EQ(host.state, ShootingState::Paused);
    EXPECT_FALSE(hub.IsRunning());
    const std::size_t armed = link.adjustments.size();
    flow.PauseContinue();
    EXPECT_TRUE(hub.IsRunning());
    EXPECT_EQ(link.adjustments.size(), armed + 1);
    EXPECT_EQ(ShotCount(), 1);  // the shots so far stay
}

TEST_F(Series, CentringTogglesAndRedraws) {
    flow.SeriesCommand(3, 0);
    Shoot(10, 4);
    Shoot(20, 8);
    flow.CentreSeries();
    EXPECT_TRUE(flow.centred());
    EXPECT_EQ(hub.Store()->Centred(), 1);
    EXPECT_EQ(hub.Store()->CentreX(), -15);
    EXPECT_EQ(host.log.back(), "Centre on");
    flow.CentreSeries();
    EXPECT_EQ(hub.Store()->Centred(), 0);
    EXPECT_EQ(host.log.back(), "Centre off");
}

TEST_F(Series, MovingRangeRunsCountShotsAndFillUnfiredOnes) {
    run.ChooseMovingRange();
    flow.SeriesCommand(4, 0);
    EXPECT_EQ(view.runClosed(), 1);
    EXPECT_EQ(view.shotsEnabled(), 0);  // nothing counts before the first run
    EXPECT_EQ(link.adjustments.back(), (LeadOffset{100 + int(LeadMode::Moving), 0}));

    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 1});  // a run to the right
    EXPECT_EQ(view.runClosed(), 0);
    EXPECT_EQ(view.shotsEnabled(), 1);
    EXPECT_EQ(hub.side(), 1);
    EXPECT_EQ(main.received.back().code, kCodeNewRun);
    Shoot(10, 10);
    EXPECT_EQ(view.runClosed(), 1);
    EXPECT_EQ(view.shotsEnabled(), 0);
    EXPECT_EQ(hub.Store()->Shot(0).side, 1);
    clock.Advance(1600);

    // a run without a shot: one unfired shot at (0, 0), without trace, counted
    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 0});
    EXPECT_EQ(ShotCount(), 1);
    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 1});
    EXPECT_EQ(ShotCount(), 2);
    EXPECT_TRUE(hub.Store()->ShotHasNoTrace(1));
    EXPECT_EQ(Count(kCodeUnfiredShot), 1);
    EXPECT_EQ(Count(kCodeShot), 1);
    clock.Advance(1600);
    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 0});
    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 1});
    EXPECT_EQ(ShotCount(), 4);
    // unfired shots complete the series
    EXPECT_EQ(Count(kCodeSeriesComplete), 1);
    EXPECT_EQ(host.state, ShootingState::Idle);
}

TEST_F(Series, LookingDuringAMovingRangeSeriesKeepsItsSideAndAPauseIgnoresRuns) {
    run.ChooseMovingRange();
    flow.SeriesCommand(4, 0);
    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 1});
    Shoot(10, 10);  // on the right
    clock.Advance(1600);
    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 0});
    ASSERT_EQ(hub.side(), 0);
    // Looking at the right-side shot while the series runs shows it, but the series stays left.
    const TraceStore::Window w = hub.Store()->ShotStretch(0);
    ASSERT_TRUE(w.ok);
    hub.ShowTraceRange(w.first, w.last, 0);
    EXPECT_EQ(hub.side(), 0);
    Shoot(20, 20);
    EXPECT_EQ(hub.Store()->Shot(1).side, 0);
    clock.Advance(1600);

    // Paused: a run the unit announces belongs to no series.
    flow.PauseContinue();
    const int runs = Count(kCodeNewRun);
    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 1});
    EXPECT_EQ(Count(kCodeNewRun), runs);
    EXPECT_EQ(hub.side(), 0);
    EXPECT_EQ(ShotCount(), 2);
}

TEST_F(Series, DoubleSeriesOnTheMovingRangeAlternatesTheLeadAndTakesTwoShotsARun) {
    run.ChooseMovingRange();
    flow.SeriesCommand(3, 1);  // "Double"
    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 0});
    EXPECT_EQ(link.adjustments.back(), (LeadOffset{100 + int(LeadMode::AlternateFirst), 0}));
    Shoot(10, 10);
    EXPECT_EQ(view.runClosed(), 0);
    clock.Advance(1600);
    EXPECT_EQ(link.adjustments.back(), (LeadOffset{100 + int(LeadMode::AlternateSecond), 0}));
    Shoot(12, 12);
    EXPECT_EQ(view.runClosed(), 1);
    clock.Advance(1600);
    EXPECT_EQ(link.adjustments.back(), (LeadOffset{100 + int(LeadMode::AlternateFirst), 0}));

    // the next run ends with no shot: only one unfired shot fits the 3-shot series
    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 1});
    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 0});
    EXPECT_EQ(ShotCount(), 3);
    EXPECT_EQ(Count(kCodeUnfiredShot), 1);
    EXPECT_EQ(Count(kCodeSeriesComplete), 1);
}

TEST_F(Series, DoubleOnAStaticTargetIsAPlainSeries) {
    flow.SeriesCommand(10, 1);
    for (int s = 0; s < 10; ++s) {
        Shoot(s + 1, 1);
        EXPECT_EQ(view.shotsEnabled(), 1);
        clock.Advance(1600);
    }
    EXPECT_EQ(Count(kCodeShot), 10);
    EXPECT_EQ(Count(kCodeSeriesComplete), 1);
    for (const LeadOffset& lead : link.adjustments) EXPECT_EQ(lead, (LeadOffset{100 + int(LeadMode::Fixed), 0}));
}

TEST_F(Series, AutomaticReplayBetweenShots) {
    settings.AutoReplay = 1;
    flow.SeriesCommand(2, 0);
    Shoot(10, 10, 30);
    Aim(20);
    const std::size_t armed = link.adjustments.size();
    clock.Advance(1600);  // code 7: acquisition stops, the replay waits 2 s
    EXPECT_EQ(run.waiting(), 1);
    EXPECT_FALSE(hub.IsRunning());
    EXPECT_EQ(link.adjustments.size(), armed);
    EXPECT_TRUE(view.replays.empty());
    clock.Advance(2000);
    ASSERT_EQ(view.replays.size(), 1u);
    EXPECT_EQ(view.replays[0], (std::make_pair(100, 1)));
    run.Notify(Notification{kCodeReplayAtEnd});  // the drawing view reached the end of the range
    EXPECT_EQ(run.waiting(), 0);
    clock.Advance(1999);
    EXPECT_FALSE(hub.IsRunning());
    clock.Advance(1);
    EXPECT_EQ(run.shotNo(), 1);
    EXPECT_TRUE(hub.IsRunning());
    EXPECT_EQ(link.adjustments.size(), armed + 2);  // re-armed, then relocked

    Shoot(20, 20, 30);
    clock.Advance(1600);  // code 3 from the view is held back while waiting
    EXPECT_EQ(Count(kCodeSeriesComplete), 0);
    clock.Advance(2000);
    run.Notify(Notification{kCodeReplayAtEnd});
    clock.Advance(2000);
    EXPECT_EQ(Count(kCodeSeriesComplete), 1);
    EXPECT_EQ(host.state, ShootingState::Idle);
    EXPECT_EQ(view.replays.size(), 2u);
}

TEST_F(Series, SightersAreNeverReplayedAutomatically) {
    settings.AutoReplay = 1;
    flow.SightersCommand(3);
    for (int s = 0; s < 3; ++s) {
        Shoot(s + 5, 5);
        clock.Advance(1600);
        clock.Advance(4000);
    }
    EXPECT_TRUE(view.replays.empty());
    EXPECT_EQ(Count(kCodeSeriesComplete), 1);
}

TEST_F(Series, AMatchRunsItsProgrammeEntryByEntry) {
    const MatchProgramme demo = Programme("Demo", {{1, 3, ""}, {0, 3, "Prone"}, {0, 2, "Standing"}});
    host.autoSave = true;
    host.offer = &demo;
    flow.Match();
    EXPECT_EQ(flow.matchMode(), 1);
    EXPECT_EQ(flow.currentEntry(), 0);
    EXPECT_NE(std::find(host.log.begin(), host.log.end(), "ShowMatchBoard Demo"), host.log.end());
    EXPECT_EQ(flow.sightersMode(), 1);

    auto shootSeries = [&](int n) {
        for (int s = 0; s < n; ++s) {
            Shoot(s + 3, 7);
            clock.Advance(1600);
        }
    };
    shootSeries(3);
    EXPECT_EQ(flow.waitingAfterSighters(), 1);
    EXPECT_EQ(host.state, ShootingState::Paused);
    flow.NewSerie();  // F10: the sighters again
    EXPECT_EQ(flow.currentEntry(), 0);
    EXPECT_EQ(flow.sightersMode(), 1);
    shootSeries(3);
    flow.PauseContinue();  // F3: on to the first scored entry
    EXPECT_EQ(flow.currentEntry(), 1);
    EXPECT_EQ(flow.sightersMode(), 0);
    EXPECT_EQ(host.log.back(), "ResetScoreboard series 'Prone'");
    shootSeries(3);
    EXPECT_EQ(host.rows.at(0), 3);
    EXPECT_EQ(flow.matchSeries(0).shotCount, 3);
    EXPECT_EQ(flow.currentEntry(), 2);  // started at once
    EXPECT_EQ(host.log.back(), "ResetScoreboard series 'Standing'");
    shootSeries(2);
    EXPECT_EQ(host.rows.at(1), 2);
    EXPECT_EQ(flow.currentEntry(), 3);
    EXPECT_EQ(host.log.back(), "SaveMatch");
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "SaveSeries"), 0);

    // a series command leaves the match
    flow.SeriesCommand(5, 0);
    EXPECT_EQ(flow.matchMode(), 0);
}

TEST_F(Series, F3PausesAPendingAutomaticReplayAndContinueGoesOnFromIt) {
    settings.AutoReplay = 1;
    flow.SeriesCommand(3, 0);
    Shoot(10, 10, 30);
    clock.Advance(1600);  // code 7: the replay is due in 2 s
    ASSERT_EQ(run.waiting(), 1);
    flow.PauseContinue();  // F3
    EXPECT_EQ(run.waiting(), 0);
    clock.Advance(10000);  // no replay, no resumption while paused
    EXPECT_TRUE(view.replays.empty());
    EXPECT_FALSE(hub.IsRunning());
    EXPECT_EQ(run.locked(), 0);
    EXPECT_TRUE(run.ButtonsEnabled());
    EXPECT_EQ(host.state, ShootingState::Paused);
    std::size_t armed = link.adjustments.size();
    flow.PauseContinue();  // Continue: on to the second shot, armed once
    EXPECT_EQ(run.shotNo(), 1);
    EXPECT_TRUE(hub.IsRunning());
    EXPECT_EQ(run.locked(), 1);
    EXPECT_EQ(link.adjustments.size(), armed + 1);
    EXPECT_EQ(host.state, ShootingState::Shooting);

    // F3 in the time between shots, before code 7: code 7 then schedules nothing
    Shoot(20, 20, 30);
    clock.Advance(800);
    flow.PauseContinue();
    clock.Advance(10000);
    EXPECT_EQ(Count(kCodeShotSettled), 2);
    EXPECT_TRUE(view.replays.empty());
    EXPECT_FALSE(hub.IsRunning());
    EXPECT_EQ(run.locked(), 0);
    armed = link.adjustments.size();
    flow.PauseContinue();
    EXPECT_EQ(run.shotNo(), 2);
    EXPECT_TRUE(hub.IsRunning());
    EXPECT_EQ(link.adjustments.size(), armed + 1);

    // F3 while the last shot is being replayed: the series completes on Continue
    Shoot(30, 30, 30);
    clock.Advance(1600 + 2000);
    ASSERT_EQ(view.replays.size(), 1u);
    flow.PauseContinue();
    run.Notify(Notification{kCodeReplayAtEnd});  // a replay that ends after the pause changes nothing
    clock.Advance(10000);
    EXPECT_EQ(Count(kCodeSeriesComplete), 0);
    EXPECT_FALSE(hub.IsRunning());
    flow.PauseContinue();
    EXPECT_EQ(Count(kCodeSeriesComplete), 1);
    EXPECT_EQ(host.state, ShootingState::Idle);
    EXPECT_FALSE(hub.IsRunning());
    EXPECT_EQ(run.locked(), 0);
    EXPECT_FALSE(flow.shooting());
}

TEST_F(Series, ASeriesChosenAfterPausingAReplayStartsAfresh) {
    settings.AutoReplay = 1;
    flow.SeriesCommand(4, 0);
    Shoot(10, 10, 30);
    clock.Advance(1600);
    flow.PauseContinue();
    clock.Advance(2000);
    run.Notify(Notification{kCodeReplayAtEnd});  // what the end of a replay would report
    clock.Advance(10000);
    EXPECT_FALSE(hub.IsRunning());
    flow.SeriesCommand(5, 0);  // the Serie command of the paused menu
    EXPECT_EQ(ShotCount(), 0);
    EXPECT_TRUE(hub.IsRunning());
    EXPECT_EQ(run.locked(), 1);
    EXPECT_EQ(view.seriesShots(), 5);
    EXPECT_EQ(host.state, ShootingState::Shooting);
}

TEST_F(Series, AShotAfterTheTraceIsFullIsScoredTimedAndCompletesTheSeries) {
    for (const int autoReplay : {0, 1}) {
        SCOPED_TRACE(autoReplay);
        settings.AutoReplay = autoReplay;
        main.received.clear();
        flow.SeriesCommand(2, 0);
        Shoot(10, 10);
        clock.Advance(1600 + 4000);
        if (autoReplay) {
            run.Notify(Notification{kCodeReplayAtEnd});
            clock.Advance(2000);
        }
        Aim(kMaxSamples);  // fifteen minutes of aiming fill the trace
        ASSERT_EQ(hub.Store()->SampleCount(), kMaxSamples);
        const std::size_t armed = link.adjustments.size();
        hub.FeedSample(120, -80, 1, 0, -1);
        ASSERT_EQ(ShotCount(), 2);
        EXPECT_TRUE(hub.Store()->ShotHasNoTrace(1));
        const Notification shot = main.received.back();
        EXPECT_EQ(shot.code, kCodeShot);
        EXPECT_EQ(shot.index, 1);
        EXPECT_DOUBLE_EQ(shot.score, 8.0);  // from its position
        EXPECT_EQ(shot.timeMs, kMaxSamples * 40);  // the last point's time
        EXPECT_EQ(shot.bearing, 3);
        clock.Advance(1600);
        EXPECT_EQ(Count(kCodeShotSettled), 2);
        if (autoReplay) {
            clock.Advance(2000);  // nothing to replay: the series goes on at once
            clock.Advance(2000);
        } else {
            EXPECT_EQ(link.adjustments.size(), armed + 1);  // armed for a next shot, as after any shot
        }
        EXPECT_EQ(Count(kCodeSeriesComplete), 1);
        EXPECT_EQ(host.state, ShootingState::Idle);
        EXPECT_FALSE(hub.IsRunning());
    }
}

TEST_F(Series, TheSilentDetectorBoxComesAfterThePauseAndOnlyWhileShooting) {
    flow.SeriesCommand(2, 0);
    Shoot(3, 3);
    clock.Advance(1600);
    host.duringSilentBox = [&] {
        EXPECT_FALSE(hub.IsRunning());
        EXPECT_EQ(flow.paused(), 1);
        EXPECT_EQ(host.state, ShootingState::Paused);
        EXPECT_EQ(run.locked(), 0);
        // a last shot that was on its way, and its time between shots, complete the series
        Shoot(4, 4);
        clock.Advance(1600);
    };
    run.Notify(Notification{kCodeDetectorSilent});
    host.duringSilentBox = nullptr;
    EXPECT_EQ(Logged("DetectorSilent"), 1);
    EXPECT_EQ(Count(kCodeSeriesComplete), 1);
    EXPECT_EQ(flow.paused(), 0);  // complete, not paused
    EXPECT_EQ(host.state, ShootingState::Idle);
    flow.PauseContinue();  // F3 on a complete series starts nothing
    EXPECT_FALSE(hub.IsRunning());
    EXPECT_EQ(run.locked(), 0);

    run.Notify(Notification{kCodeDetectorSilent});  // silence after the series: no box, no pause
    EXPECT_EQ(Logged("DetectorSilent"), 1);
    EXPECT_EQ(flow.paused(), 0);
    EXPECT_EQ(host.state, ShootingState::Idle);
}

TEST_F(Series, ChoosingATargetEndsAPausedSeriesAndTheMatch) {
    flow.SeriesCommand(5, 0);
    Shoot(1, 1);
    clock.Advance(1600);
    Shoot(2, 2);
    flow.PauseContinue();
    // another target: the frame ends the flow, then the hub shows the new faces
    flow.EndSeries();
    hub.SetTargets(nullptr, nullptr);
    EXPECT_EQ(flow.paused(), 0);
    EXPECT_FALSE(flow.shooting());
    EXPECT_EQ(run.locked(), 0);
    EXPECT_EQ(run.paused(), 0);
    EXPECT_TRUE(run.ButtonsEnabled());
    const std::size_t armed = link.adjustments.size();
    clock.Advance(10000);  // nothing of the old series settles or arms the link
    EXPECT_EQ(Count(kCodeShotSettled), 1);
    EXPECT_EQ(link.adjustments.size(), armed);
    run.ChooseMovingRange();
    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 1});  // a late run fills nothing in
    EXPECT_EQ(Count(kCodeUnfiredShot), 0);
    run.ChooseLeft();
    flow.PauseContinue();  // F3 resumes nothing
    EXPECT_FALSE(hub.IsRunning());
    EXPECT_EQ(ShotCount(), 0);
    flow.SeriesCommand(5, 0);
    EXPECT_TRUE(hub.IsRunning());
    EXPECT_EQ(run.locked(), 1);

    // a match ends with its target too
    const MatchProgramme demo = Programme("Demo", {{0, 3, "Prone"}});
    host.offer = &demo;
    flow.PauseContinue();
    flow.Match();
    ASSERT_EQ(flow.matchMode(), 1);
    flow.EndSeries();
    EXPECT_EQ(flow.matchMode(), 0);
    EXPECT_EQ(host.log.back(), "HideMatchBoard");
    EXPECT_FALSE(hub.IsRunning());
}

TEST_F(Series, ADoubleRunThatEndsWhileTheLastShotSettlesCompletesTheSeriesOnce) {
    host.autoSave = true;
    run.ChooseMovingRange();
    flow.SeriesCommand(4, 1);
    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 0});
    Shoot(10, 10);
    clock.Advance(1600);
    Shoot(12, 12);
    clock.Advance(1600);
    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 1});
    Shoot(14, 14);
    clock.Advance(800);
    // the next run is announced within the time between shots: the open run gets its unfired shot
    run.Notify(Notification{kCodeNewRun, 0, 0, 0, 0, 0});
    EXPECT_EQ(ShotCount(), 4);
    EXPECT_EQ(Count(kCodeSeriesComplete), 1);
    clock.Advance(1600);  // the third shot settles: code 7, but no second completion
    EXPECT_EQ(Count(kCodeShotSettled), 3);
    EXPECT_EQ(Count(kCodeSeriesComplete), 1);
    EXPECT_EQ(Logged("SaveSeries"), 1);
    EXPECT_EQ(host.state, ShootingState::Idle);
}

TEST_F(Series, CancellingTheMatchDialogChangesNothing) {
    flow.Match();
    EXPECT_EQ(flow.matchMode(), 0);
    EXPECT_TRUE(host.log.empty());
}

}  // namespace
}  // namespace zark
