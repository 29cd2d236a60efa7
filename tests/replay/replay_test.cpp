// The replay of the drawing view on a live hub with a scripted series, its timer fired by hand:
// the tick periods of the speeds, a pass with its marks and codes, play from the end, reverse
// from the start and from the end, pause and continue, rewind while playing, and ranges that
// reach beyond the recorded trace.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <string>

#include "core/notification.h"
#include "core/shootinghub.h"
#include "settings/settings.h"
#include "support/seriestestkit.h"
#include "targets/targetcatalogue.h"
#include "targets/widgets/aimcross.h"
#include "targets/widgets/shotmark.h"
#include "targets/widgets/targetfacerules.h"
#include "targets/widgets/targetview.h"

namespace zark {
namespace {

// What every other view of the hub sees of a replay: 'S' started, 'E' ended, and the index of
// each replayed sample.
class ReplayWatcher final : public HubView {
public:
    using HubView::HubView;
    void OnSample(int, int, int, int isReplay, int sampleIndex) override {
        if (isReplay) seen.push_back(std::to_string(sampleIndex));
    }
    void OnReplayStarted() override { seen.push_back("S"); }
    void OnReplayStopped() override { seen.push_back("E"); }
    std::vector<std::string> seen;
};

class Codes final : public NotificationSink {
public:
    void Notify(const Notification& n) override { received.push_back(n); }
    int Count(int code) const {
        int n = 0;
        for (const Notification& r : received) n += r.code == code ? 1 : 0;
        return n;
    }
    std::vector<Notification> received;
};

// 90 samples with shots at 20, 45 (a ten) and 70; the replay range is 10..80.
class ReplayOnAHub : public ::testing::Test {
protected:
    static constexpr int kShots[] = {20, 45, 70};
    static constexpr int kFirst = 10, kLast = 80;

    ReplayOnAHub() {
        catalogue.Build();
        settings.LineTrack = 1;
        hub.SetSettings(&settings);
        TargetPair pair;
        catalogue.PairForCommand(2112, pair);  // rifle 50 m
        hub.SetTargets(pair.first, pair.second);
        view.SetNotificationTarget(&codes);
        view.resize(400, 400);
        view.show();
        hub.NewSeries(3, 0, 0);
        for (int i = 0; i < 90; ++i) {
            const bool shot = i == 20 || i == 45 || i == 70;
            hub.FeedSample(i == 45 ? 2 : 300 - 3 * i, i == 45 ? 2 : 200, shot ? 1 : 0, 0, -1);
        }
        hub.StopAcquisition();
        hub.ShowTraceRange(kFirst, kLast, 0);
        codes.received.clear();
    }
    test::HandTimers::Timer& ReplayTimer() { return *timers.timers[1]; }  // after the settle timer
    void Tick() { ReplayTimer().Fire(); }
    int RunToEnd() {
        int ticks = 0;
        while (ReplayTimer().Active() && ticks < 1000) {
            Tick();
            ++ticks;
        }
        return ticks;
    }

    Settings settings;
    TargetCatalogue catalogue;
    ShootingHub hub;
    test::HandTimers timers;
    TargetFaceRules rules;
    TargetView view{&hub, rules, timers};
    ReplayWatcher watcher{&hub};
    Codes codes;
};

TEST_F(ReplayOnAHub, TicksComeAtThePeriodOfTheSpeed) {
    // 2500 / speed with a time step of 40 ms: Fast Forward and Reverse run at three times the speed.
    for (const auto& [speed, period] : std::vector<std::pair<int, int>>{{100, 25}, {10, 250}, {300, 8}, {50, 50}, {150, 16}}) {
        view.StartReplay(speed, +1);
        EXPECT_EQ(ReplayTimer().startedWith, period) << speed;
        Tick();
        EXPECT_EQ(ReplayTimer().startedWith, period) << "every tick keeps the period";
    }
}

TEST_F(ReplayOnAHub, APassShowsTheMarksOneByOneAndReportsEachShotOnce) {
    view.StartReplay(100, +1);
    EXPECT_TRUE(view.Cross()->isVisible());
    EXPECT_EQ(view.Cross()->replay(), 1);
    for (int k = 0; k < 3; ++k) EXPECT_FALSE(view.Mark(k)->isVisible());
    EXPECT_EQ(watcher.seen, (std::vector<std::string>{"S"}));

    int ticks = 0;
    while (ReplayTimer().Active() && ticks < 1000) {
        const int at = view.replayPosition();
        Tick();
        ++ticks;
        // the marks of the shots passed so far, no other
        for (int k = 0; k < 3; ++k) EXPECT_EQ(view.Mark(k)->isVisible(), kShots[k] <= at) << "at " << at << " mark " << k;
        if (at == 45) {
            EXPECT_TRUE(view.PictureShown()) << "the replayed ten shows the full-score picture";
        }
        if (at >= kFirst && at <= kLast) {
            EXPECT_EQ(watcher.seen.back(), std::to_string(at + 1));
        }
    }
    EXPECT_EQ(ticks, kLast - kFirst + 2);  // every sample of the range, then the end
    std::vector<int> replayed;
    for (const Notification& n : codes.received)
        if (n.code == kCodeReplayedShot) replayed.push_back(n.index);
    EXPECT_EQ(replayed, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(codes.received.back().code, kCodeReplayAtEnd);
    EXPECT_EQ(codes.Count(kCodeReplayAtEnd), 1);
    EXPECT_EQ(codes.received[1].timeMs, 45 * 40);
    EXPECT_EQ(view.replayActive(), 1) << "the last position stays until the replay is ended";

    // Play at the end starts again at the first sample of the range.
    codes.received.clear();
    view.StartReplay(100, +1);
    EXPECT_EQ(view.replayPosition(), kFirst);
    for (int k = 0; k < 3; ++k) EXPECT_FALSE(view.Mark(k)->isVisible());
    EXPECT_EQ(RunToEnd(), kLast - kFirst + 2);
    EXPECT_EQ(codes.Count(kCodeReplayedShot), 3);
}

TEST_F(ReplayOnAHub, ReverseEndsAtOnceFromTheStartAndPlaysBackFromTheEnd) {
    view.StartReplay(300, -1);
    Tick();
    EXPECT_FALSE(ReplayTimer().Active());
    EXPECT_EQ(codes.Count(kCodeReplayAtEnd), 1) << "nothing lies before the first sample";
    EXPECT_EQ(codes.Count(kCodeReplayedShot), 0);
    EXPECT_EQ(watcher.seen, (std::vector<std::string>{"S"}));

    // After a pass forward, Reverse goes back from the last sample to the first.
    view.StartReplay(300, +1);
    RunToEnd();
    codes.received.clear();
    watcher.seen.clear();
    view.StartReplay(300, -1);
    Tick();
    EXPECT_EQ(watcher.seen.back(), std::to_string(kLast - 1)) << "the last sample first";
    EXPECT_EQ(RunToEnd(), kLast - kFirst + 1);
    std::vector<int> replayed;
    for (const Notification& n : codes.received)
        if (n.code == kCodeReplayedShot) replayed.push_back(n.index);
    EXPECT_EQ(replayed, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(codes.received.back().code, kCodeReplayAtEnd);
    for (int k = 0; k < 3; ++k) EXPECT_FALSE(view.Mark(k)->isVisible()) << "back before every shot";
}

TEST_F(ReplayOnAHub, PauseContinuesAtTheSameSampleAndRewindGoesOnFromTheStart) {
    view.StartReplay(100, +1);
    for (int i = 0; i < 20; ++i) Tick();  // past the first shot
    EXPECT_EQ(view.replayPosition(), 30);
    view.StopReplay();
    EXPECT_FALSE(ReplayTimer().Active());
    EXPECT_TRUE(view.Mark(0)->isVisible());
    watcher.seen.clear();

    view.StartReplay(100, +1);
    EXPECT_EQ(watcher.seen, (std::vector<std::string>{"E", "S"})) << "the views hear of a new replay";
    EXPECT_EQ(view.replayPosition(), 30);
    EXPECT_TRUE(view.Mark(0)->isVisible()) << "the shot passed before the pause keeps its mark";
    EXPECT_FALSE(view.Mark(1)->isVisible());
    Tick();
    EXPECT_EQ(watcher.seen.back(), "31") << "sample 30 comes next";

    // Rewind while playing: the replay goes on from the first sample, without a pause.
    for (int i = 0; i < 20; ++i) Tick();
    view.JumpReplay(0);
    EXPECT_TRUE(ReplayTimer().Active());
    EXPECT_TRUE(view.ReplayRunning());
    EXPECT_TRUE(view.Cross()->isVisible());
    EXPECT_EQ(view.Cross()->replay(), 1);
    EXPECT_FALSE(view.Mark(0)->isVisible());
    Tick();
    EXPECT_EQ(watcher.seen.back(), std::to_string(kFirst + 1));

    // Replay End while paused: the position stands at the last sample, the cross is hidden.
    view.StopReplay();
    view.JumpReplay(1);
    EXPECT_FALSE(ReplayTimer().Active());
    EXPECT_EQ(view.replayPosition(), kLast);
    EXPECT_FALSE(view.Cross()->isVisible());
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(view.Mark(k)->isVisible());
}

TEST_F(ReplayOnAHub, RangesBeyondTheTraceStopAtItsLastSample) {
    hub.ShowTraceRange(50, 100000, 0);
    view.JumpReplay(1);
    EXPECT_EQ(view.replayPosition(), 89);
    view.StartReplay(100, -1);  // back from the last recorded sample
    Tick();
    EXPECT_EQ(watcher.seen.back(), "88");
    view.StartReplay(100, +1);  // forward from there: to the end of the trace, then again from 50
    EXPECT_EQ(RunToEnd(), 89 - 88 + 2);
    view.StartReplay(100, +1);
    EXPECT_EQ(view.replayPosition(), 50);

    // No range chosen (a file just opened): the replay takes the whole trace and keeps every mark
    // of the shots it has passed.
    hub.ShowTraceRange(-1, -1, 0);
    watcher.seen.clear();
    view.StartReplay(100, +1);
    Tick();
    EXPECT_TRUE(ReplayTimer().Active());
    EXPECT_EQ(watcher.seen.back(), "1");  // the view reports the position after the point it showed
    view.JumpReplay(1);
    EXPECT_EQ(view.replayPosition(), 89);

    // No trace: the first tick ends the replay and reads nothing.
    codes.received.clear();
    hub.NewSeries(3, 0, 0);
    hub.ShowTraceRange(0, 10, 0);
    view.StartReplay(100, -1);
    Tick();
    view.JumpReplay(1);
    view.StartReplay(100, +1);
    Tick();
    EXPECT_FALSE(ReplayTimer().Active());
}

// Going backward the trace shortens tick by tick without being drawn again from its start; what
// is shown is the same as the trace drawn afresh up to the replay position.
TEST_F(ReplayOnAHub, BackwardTheTraceShowsWhatAFreshDrawingShows) {
    hub.NewSeries(3, 0, 0);
    for (int i = 0; i < 700; ++i) {
        const int x = int(400 * std::sin(i * 0.021)) + 1, y = int(400 * std::cos(i * 0.017)) + 1;
        hub.FeedSample(x, y, i % 200 == 150 ? 1 : 0, 0, -1);
    }
    hub.StopAcquisition();
    hub.ShowTraceRange(0, 699, 0);
    view.JumpReplay(1);
    view.StartReplay(300, -1);
    const auto differing = [&] {
        const QImage shortened = view.grab().toImage();
        view.SetZoom(1, true);  // the trace is drawn afresh
        const QImage fresh = view.grab().toImage();
        int n = 0;
        for (int y = 0; y < fresh.height(); ++y)
            for (int x = 0; x < fresh.width(); ++x) n += shortened.pixel(x, y) != fresh.pixel(x, y) ? 1 : 0;
        return n;
    };
    for (const int ticks : {10, 290, 300}) {
        for (int i = 0; i < ticks; ++i) Tick();
        EXPECT_EQ(differing(), 0) << "at " << view.replayPosition();
    }
    EXPECT_EQ(view.replayPosition(), 699 - 600);
}

}  // namespace
}  // namespace zark
