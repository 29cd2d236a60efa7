#include <gtest/gtest.h>

#include <vector>

#include "core/shootinghub.h"
#include "core/timedrun.h"
#include "core/tracestore.h"

namespace zark {
namespace {

// A timed rapid-fire series on the hub, fed point by point as the link feeds it.
class TimedOnHub : public ::testing::Test, public TimedListener {
protected:
    void OnTimedSignal(const TimedEvent& event) override { signals.push_back({event, hub.Store()->SampleCount()}); }
    void OnTimedClock(TimedPhase phase, std::int32_t remainingMs, std::int32_t) override {
        lastPhase = phase;
        lastRemaining = remainingMs;
    }
    void Begin(TimedPreset preset, int points = 0) {
        for (int i = 0; i < points; ++i) hub.FeedSample(1, 1, 0, 0, -1);  // an old series' trace
        hub.NewSeries(DrillOfPreset(preset).Shots(), 0, 0);
        run.Begin(DrillOfPreset(preset), 3);
    }
    void Points(int n) {
        for (int i = 0; i < n; ++i) hub.FeedSample(10, 10, 0, 0, -1);
    }
    void Fire() { hub.FeedSample(20, 20, 1, 0, -1); }

    struct Heard {
        TimedEvent event;
        int recorded;  // the points in the store when it was heard
    };
    ShootingHub hub;
    TimedRun run{&hub, *this};
    std::vector<Heard> signals;
    TimedPhase lastPhase = TimedPhase::Idle;
    int lastRemaining = -1;
};

TEST_F(TimedOnHub, SignalsComeAtTheirSampleAndShotsAreStampedInTheStore) {
    Begin(TimedPreset::Rapid8, 40);
    ASSERT_EQ(hub.Store()->SampleCount(), 0);  // the new series cleared the old trace
    EXPECT_TRUE(hub.Store()->Timed());
    EXPECT_EQ(hub.Store()->Drill(), DrillOfPreset(TimedPreset::Rapid8));
    ASSERT_EQ(signals.size(), 1u);
    EXPECT_EQ(signals[0].event.signal, TimedSignal::Load);
    EXPECT_EQ(lastPhase, TimedPhase::Load);
    EXPECT_EQ(lastRemaining, 3000);
    // 3 s of "Load" and 7 s of "Attention": the window opens with the 251st point (index 250)
    Points(250);
    ASSERT_EQ(signals.size(), 2u);
    EXPECT_EQ(lastPhase, TimedPhase::Attention);
    EXPECT_EQ(lastRemaining, 40);
    Points(1);
    ASSERT_EQ(signals.size(), 3u);
    EXPECT_EQ(signals[2].event, (TimedEvent{TimedSignal::WindowOpen, 250, 0}));
    EXPECT_EQ(signals[2].recorded, 251);
    EXPECT_EQ(lastPhase, TimedPhase::Open);
    // replayed points are not the clock
    for (int i = 0; i < 500; ++i) hub.FeedSample(5, 5, 0, 1, i % 100);
    EXPECT_EQ(lastPhase, TimedPhase::Open);
    EXPECT_EQ(signals.size(), 3u);
    Points(49);
    Fire();  // at index 300: 2.00 s
    EXPECT_EQ(hub.Store()->ShotTiming(0), (TimedShot{0, 2000, 0}));
    Points(148);
    Fire();  // index 449, the last of the window
    EXPECT_EQ(hub.Store()->ShotTiming(1), (TimedShot{0, 7960, 0}));
    Fire();  // index 450: late, closed with this very point
    EXPECT_EQ(hub.Store()->ShotTiming(2), (TimedShot{0, 8000, 1}));
    EXPECT_EQ(signals.back().event.signal, TimedSignal::Done);
    EXPECT_EQ(lastPhase, TimedPhase::Done);
    EXPECT_FALSE(run.Active());
    // outside the shots (and in an untimed series) a shot is in time, without window
    EXPECT_EQ(hub.Store()->ShotTiming(7), TimedShot{});
    run.End();
    EXPECT_EQ(lastPhase, TimedPhase::Idle);
}

TEST_F(TimedOnHub, PausedDuelAbandonsItsWindowAndGoesOnAfterAttention) {
    Begin(TimedPreset::Duel);
    Points(260);  // window 0 open since index 250
    Fire();
    EXPECT_EQ(hub.Store()->ShotTiming(0), (TimedShot{0, 400, 0}));
    run.Pause();
    EXPECT_EQ(lastPhase, TimedPhase::Paused);
    EXPECT_TRUE(run.Active());
    run.Pause();  // twice changes nothing
    run.Resume();
    EXPECT_EQ(lastPhase, TimedPhase::Attention);
    EXPECT_EQ(lastRemaining, 7000);
    EXPECT_EQ(run.Sequence().CurrentWindow(), 1);
    EXPECT_TRUE(run.Sequence().Abandoned(0));
    Points(175);
    EXPECT_EQ(lastPhase, TimedPhase::Attention);
    Points(1);
    EXPECT_EQ(lastPhase, TimedPhase::Open);
    EXPECT_EQ(signals.back().event, (TimedEvent{TimedSignal::WindowOpen, 261 + 175, 1}));
    Fire();
    EXPECT_EQ(hub.Store()->ShotTiming(1), (TimedShot{1, 40, 0}));
    // given up: the clock stops, no more signals
    run.End();
    const std::size_t heard = signals.size();
    Points(1000);
    EXPECT_EQ(signals.size(), heard);
    EXPECT_EQ(lastPhase, TimedPhase::Idle);
}

TEST_F(TimedOnHub, TheOpeningIsToldAheadByTheSoundDevicesLatencyOnce) {
    run.SetSignalLead(70);  // at 40 ms a sample: one sample ahead
    Begin(TimedPreset::Duel);
    Points(249);  // index 248: 80 ms before the opening
    EXPECT_EQ(signals.back().event.signal, TimedSignal::Attention);
    Points(1);  // index 249
    EXPECT_EQ(signals.back().event, (TimedEvent{TimedSignal::WindowOpen, 250, 0}));
    EXPECT_EQ(lastPhase, TimedPhase::Attention);  // the window itself is not open yet
    const std::size_t told = signals.size();
    Points(1);  // index 250 opens it: not told twice
    EXPECT_EQ(lastPhase, TimedPhase::Open);
    EXPECT_EQ(signals.size(), told);
    // told ahead, then paused before it opened: after Continue the opening is told again
    Points(75 + 175 - 1);  // to index 499, one before window 1 opens
    EXPECT_EQ(signals.back().event, (TimedEvent{TimedSignal::WindowOpen, 500, 1}));
    run.Pause();
    EXPECT_FALSE(run.Sequence().Abandoned(1));  // the pause came before the opening's sample
    run.Resume();
    Points(174);
    EXPECT_EQ(signals.back().event, (TimedEvent{TimedSignal::Attention, 500, 1}));
    Points(1);
    EXPECT_EQ(signals.back().event, (TimedEvent{TimedSignal::WindowOpen, 500 + 175, 1}));
    EXPECT_EQ(lastPhase, TimedPhase::Attention);
    Points(1);
    EXPECT_EQ(lastPhase, TimedPhase::Open);
}

TEST_F(TimedOnHub, ASeriesThatFillsTheTraceClosesItsWindowThere) {
    // a window longer than the trace can hold: it closes with the trace's last point
    hub.NewSeries(5, 0, 0);
    run.Begin(TimedDrill{7000, 900000, 0, 5, 1, 0}, 3);
    Points(kMaxSamples - 1);
    EXPECT_EQ(lastPhase, TimedPhase::Open);
    Fire();  // on the trace's last point: still in time
    EXPECT_EQ(hub.Store()->ShotTiming(0), (TimedShot{0, (kMaxSamples - 1 - 250) * 40, 0}));
    EXPECT_EQ(lastPhase, TimedPhase::Done);
    EXPECT_EQ(signals[signals.size() - 2].event, (TimedEvent{TimedSignal::WindowClose, kMaxSamples, 0}));
    // the trace is full: a shot without its own point comes after the window
    Points(50);
    Fire();
    EXPECT_EQ(hub.Store()->ShotTiming(1), (TimedShot{0, (kMaxSamples - 250) * 40, 1}));
}

}  // namespace
}  // namespace zark
