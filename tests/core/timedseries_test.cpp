#include <gtest/gtest.h>

#include <vector>

#include "core/timedseries.h"

namespace zark {
namespace {

constexpr int kStep = 40;
constexpr int kLoad = kLoadMs / kStep;

// A timed series on a virtual sample clock that starts at sample 0.
class Timed : public ::testing::Test {
protected:
    void Begin(const TimedDrill& drill, std::uint32_t seed = 1) { seq.Start(drill, kStep, seed, 0); }
    TimedShot Shot(int sample) { return seq.OnShot(sample); }
    TimedSequence seq;
};

TEST_F(Timed, EverySingleWindowPresetOnTheSampleClock) {
    for (TimedPreset p : {TimedPreset::Rapid8, TimedPreset::Rapid6, TimedPreset::Rapid4, TimedPreset::Standard150,
                          TimedPreset::Standard20, TimedPreset::Standard10, TimedPreset::Precision}) {
        SCOPED_TRACE(static_cast<int>(p));
        const TimedDrill d = DrillOfPreset(p);
        ASSERT_EQ(d.windows, 1);
        ASSERT_EQ(d.shotsPerWindow, 5);
        ASSERT_FALSE(d.randomStart);
        Begin(d);
        const int open = kLoad + d.prepMs / kStep;
        const int close = open + d.windowMs / kStep;
        EXPECT_EQ(seq.Phase(), TimedPhase::Load);
        // before the window: late, belongs to no window
        EXPECT_EQ(Shot(open - 1), (TimedShot{-1, 0, true}));
        EXPECT_EQ(seq.Phase(), TimedPhase::Attention);
        EXPECT_EQ(seq.RemainingMs(), kStep);
        EXPECT_EQ(Shot(open), (TimedShot{0, 0, false}));
        EXPECT_EQ(seq.Phase(), TimedPhase::Open);
        EXPECT_EQ(seq.RemainingMs(), d.windowMs);
        for (int i = 1; i < 4; ++i) EXPECT_FALSE(Shot(open + i * 10).late);
        // the last sample of the window still counts; the next one is late
        EXPECT_EQ(Shot(close - 1), (TimedShot{0, d.windowMs - kStep, false}));
        EXPECT_EQ(Shot(close), (TimedShot{0, d.windowMs, true}));
        EXPECT_EQ(seq.Phase(), TimedPhase::Done);
        EXPECT_FALSE(seq.Running());
        EXPECT_EQ(seq.Shots().size(), 7u);
        EXPECT_EQ(seq.AdvanceTo(close + 100),
                  (std::vector<TimedEvent>{{TimedSignal::Load, 0, 0},
                                           {TimedSignal::Attention, kLoad, 0},
                                           {TimedSignal::WindowOpen, open, 0},
                                           {TimedSignal::WindowClose, close, 0},
                                           {TimedSignal::Done, close, -1}}));
        EXPECT_TRUE(seq.AdvanceTo(close + 200).empty());
    }
}

TEST_F(Timed, ShotsBeyondTheWindowsCountAreLateAndTheLateOneIsStillTimed) {
    Begin(DrillOfPreset(TimedPreset::Rapid4));
    const int open = kLoad + 7000 / kStep;
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(Shot(open + 5 + i * 15).late);
    const TimedShot sixth = Shot(open + 90);
    EXPECT_TRUE(sixth.late);
    EXPECT_EQ(sixth.window, 0);
    EXPECT_EQ(sixth.timeMs, 90 * kStep);
    // a late shot does not take a place of the window: the count stays at five in time
    int inTime = 0;
    for (const TimedShot& s : seq.Shots()) inTime += s.late ? 0 : 1;
    EXPECT_EQ(inTime, 5);
    EXPECT_EQ(TimedValue(10.4, sixth), 0.0);
    EXPECT_EQ(TimedValue(10.4, seq.Shots()[0]), 10.4);
}

TEST_F(Timed, DuelFiveWindowsOfThreeSecondsOneShotEach) {
    const TimedDrill d = DrillOfPreset(TimedPreset::Duel);
    EXPECT_EQ(d.Shots(), 5);
    Begin(d);
    const int first = kLoad + 7000 / kStep;
    const int len = 3000 / kStep;
    const int cycle = len + 7000 / kStep;
    for (int w = 0; w < 5; ++w) {
        SCOPED_TRACE(w);
        const int open = first + w * cycle;
        if (w == 1) {
            // a second shot in the same window is late, so is one while the target is turned away:
            // that one is marked as fired between windows
            EXPECT_FALSE(Shot(open + 10).late);
            EXPECT_EQ(Shot(open + 20), (TimedShot{1, 20 * kStep, true}));
            EXPECT_EQ(Shot(open + len + 30), (TimedShot{1, (len + 30) * kStep, true, 0, 1}));
            continue;
        }
        EXPECT_EQ(Shot(open + len - 1), (TimedShot{w, 2960, false}));
        EXPECT_EQ(seq.CurrentWindow(), w);
        EXPECT_EQ(seq.OpenedAt(w), open);
    }
    std::vector<TimedEvent> events = seq.AdvanceTo(first + 5 * cycle);
    int opens = 0;
    int closes = 0;
    for (const TimedEvent& e : events) {
        if (e.signal == TimedSignal::WindowOpen) {
            EXPECT_EQ(e.sample, first + opens++ * cycle);
        }
        if (e.signal == TimedSignal::WindowClose) {
            EXPECT_EQ(e.sample, first + closes++ * cycle + len);
        }
    }
    EXPECT_EQ(opens, 5);
    EXPECT_EQ(closes, 5);
    EXPECT_EQ(events.back(), (TimedEvent{TimedSignal::Done, first + 4 * cycle + len, -1}));
    const TimedFigures f = FiguresOf(seq.Shots());
    EXPECT_EQ(f.reactionMs, 2960);
    // the intervals within a window, late shots included: 10 samples in window 2 (the shot fired
    // between windows is in none, so it no longer adds an interval of 85 samples)
    EXPECT_EQ(f.meanIntervalMs, 400);
}

// (Continue used to go on at the next window, leaving the abandoned one's shots late; it now
// opens the abandoned window again for the shots it owes.)
TEST_F(Timed, PauseAbandonsTheOpenWindowAndContinueOpensItAgainForTheShotsItOwes) {
    TimedDrill d = DrillOfPreset(TimedPreset::Custom);
    d.randomStart = false;
    d.windows = 2;
    d.shotsPerWindow = 2;
    Begin(d);
    const int open = kLoad + d.prepMs / kStep;
    EXPECT_FALSE(Shot(open + 5).late);
    seq.Pause(open + 50);
    EXPECT_EQ(seq.Phase(), TimedPhase::Paused);
    EXPECT_EQ(seq.RemainingMs(), 0);
    EXPECT_TRUE(seq.Abandoned(0));
    EXPECT_EQ(seq.Owed(0), 1);
    // the clock stands still while paused; a shot at the pause's sample is late, between windows
    EXPECT_EQ(Shot(open + 50), (TimedShot{0, 50 * kStep, true, 0, 1}));
    const std::vector<TimedEvent> before = seq.AdvanceTo(open + 5000);
    ASSERT_EQ(before.size(), 3u);  // Load, Attention and the opening; nothing after the pause
    EXPECT_EQ(before.back(), (TimedEvent{TimedSignal::WindowOpen, open, 0}));
    EXPECT_EQ(seq.Phase(), TimedPhase::Paused);
    seq.Resume(open + 60);
    const int again = open + 60 + d.prepMs / kStep;
    EXPECT_EQ(seq.AdvanceTo(again),
              (std::vector<TimedEvent>{{TimedSignal::Attention, open + 60, 0}, {TimedSignal::WindowOpen, again, 0}}));
    EXPECT_EQ(seq.OpenedAt(0), again);
    EXPECT_EQ(seq.Repeats(0), 1);
    // timed from the new opening and marked as the repeat; beyond the shots owed, late
    EXPECT_EQ(Shot(again + 1), (TimedShot{0, kStep, false, 1, 0}));
    EXPECT_EQ(Shot(again + 2), (TimedShot{0, 2 * kStep, true, 1, 0}));
    // the mean interval pairs shots of the same opening only
    EXPECT_EQ(FiguresOf(seq.Shots()).meanIntervalMs, kStep);
    // a pause between windows keeps the window that was to come
    const int close = again + d.windowMs / kStep;
    seq.Pause(close + 10);
    EXPECT_FALSE(seq.Abandoned(1));
    seq.Resume(close + 20);
    EXPECT_EQ(seq.CurrentWindow(), 1);
    const int last = close + 20 + d.prepMs / kStep;
    EXPECT_EQ(Shot(last), (TimedShot{1, 0, false}));
    EXPECT_FALSE(Shot(last + 3).late);
    // a pause in a window that owes nothing more ends the drill at Continue
    seq.Pause(last + 5);
    seq.Resume(last + 9);
    EXPECT_EQ(seq.Phase(), TimedPhase::Done);
    const std::vector<TimedEvent> tail = seq.AdvanceTo(last + 9);
    ASSERT_FALSE(tail.empty());
    EXPECT_EQ(tail.back(), (TimedEvent{TimedSignal::Done, last + 9, -1}));
    EXPECT_EQ(Shot(last + 20), (TimedShot{1, 20 * kStep, true}));  // after the drill: late, not between
}

TEST_F(Timed, TheUnitsTimeBetweenShotsAndTheDrillsThatFitTheTrace) {
    // half the window shared among its shots, within the setting, never below the unit's 400 ms
    EXPECT_EQ(UnitShotPeriodMs(DrillOfPreset(TimedPreset::Rapid6), 1600), 600);
    EXPECT_EQ(UnitShotPeriodMs(DrillOfPreset(TimedPreset::Duel), 1600), 1500);
    EXPECT_EQ(UnitShotPeriodMs(DrillOfPreset(TimedPreset::Rapid8), 600), 600);
    EXPECT_EQ(UnitShotPeriodMs(TimedDrill{0, 500, 0, 20, 1, 0}, 1600), 400);
    for (int p = 0; p < kTimedPresetCount; ++p) EXPECT_TRUE(FitsTheTrace(DrillOfPreset(TimedPreset(p)), kStep)) << p;
    // Load, then a window that ends on the trace's last point; a point more does not fit
    EXPECT_TRUE(FitsTheTrace(TimedDrill{0, 897000, 0, 5, 1, 0}, kStep));
    EXPECT_FALSE(FitsTheTrace(TimedDrill{0, 897001, 0, 5, 1, 0}, kStep));
    // random delays count at their longest, pauses between windows only
    EXPECT_EQ(LongestSequenceMs(TimedDrill{7000, 10000, 5000, 1, 3, 1}, kStep), 3000 + 7000 + 3 * 14000 + 2 * 5000);
    EXPECT_FALSE(FitsTheTrace(TimedDrill{600000, 300000, 0, 5, 1, 0}, kStep));
}

TEST_F(Timed, RandomStartOpensTwoToFourSecondsLaterRepeatablyPerSeed) {
    const TimedDrill d = DrillOfPreset(TimedPreset::Custom);
    ASSERT_TRUE(d.randomStart);
    const int fixed = kLoad + d.prepMs / kStep;
    int earliest = 1 << 30;
    int latest = 0;
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        Begin(d, seed);
        seq.AdvanceTo(fixed + 200);
        const int delay = seq.OpenedAt(0) - fixed;
        earliest = std::min(earliest, delay);
        latest = std::max(latest, delay);
        Begin(d, seed);
        seq.AdvanceTo(fixed + 200);
        EXPECT_EQ(seq.OpenedAt(0) - fixed, delay);
    }
    EXPECT_GE(earliest, 2000 / kStep);
    EXPECT_LE(latest, 4000 / kStep);
    EXPECT_GT(latest - earliest, 30);  // spread over the range, not one fixed delay
}

TEST_F(Timed, ABusyMachineAdvancingLateChangesNothing) {
    // one run sees every sample, the other catches up in a single jump after the shots
    TimedDrill d = DrillOfPreset(TimedPreset::Duel);
    TimedSequence eager;
    eager.Start(d, kStep, 5, 100);
    std::vector<TimedEvent> events;
    const std::vector<int> shots{349, 350, 425, 600, 601, 850};
    for (int s = 100; s <= 2000; ++s) {
        for (const TimedEvent& e : eager.AdvanceTo(s)) events.push_back(e);
        for (int shot : shots)
            if (shot == s) eager.OnShot(s);
    }
    seq.Start(d, kStep, 5, 100);
    for (int shot : shots) seq.OnShot(shot);
    EXPECT_EQ(seq.AdvanceTo(2000), events);
    EXPECT_EQ(seq.Shots(), eager.Shots());
}

TEST_F(Timed, OddSettingsAreBroughtWithinWhatCanBeShot) {
    TimedDrill d{-5, 10, -1, 5, 10, false};
    const TimedDrill c = d.Clamped();
    EXPECT_EQ(c.prepMs, 0);
    EXPECT_EQ(c.windowMs, 500);
    EXPECT_EQ(c.pauseMs, 0);
    EXPECT_EQ(c.windows, 10);
    EXPECT_EQ(c.shotsPerWindow, 2);
    EXPECT_EQ(TimedDrill{}.Clamped(), TimedDrill{});
    EXPECT_EQ((TimedDrill{0, 20 * 60 * 1000, 0, 0, 0, true}.Clamped()), (TimedDrill{0, 15 * 60 * 1000, 0, 1, 1, true}));
    // a shot without trace point has no time: late
    Begin(DrillOfPreset(TimedPreset::Rapid8));
    EXPECT_EQ(Shot(-1), (TimedShot{-1, 0, true}));
    EXPECT_EQ(FiguresOf({}).reactionMs, -1);
    EXPECT_EQ(FiguresOf({}).meanIntervalMs, -1);
}

}  // namespace
}  // namespace zark
