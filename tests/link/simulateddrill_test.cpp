// The simulated shooters shooting the timed series' drills on the unit's clock: the unit's bytes
// through the decoder into the hub, the timed run stamping the shots as the program does, and the
// shooter hearing the range's calls before each step.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "core/shootinghub.h"
#include "core/timedrun.h"
#include "core/tracestore.h"
#include "link/detectordecoder.h"
#include "link/rangecall.h"
#include "link/setupblock.h"
#include "link/simulator.h"
#include "settings/settings.h"

namespace zark {
namespace {

class Quiet final : public TimedListener {
public:
    void OnTimedSignal(const TimedEvent&) override {}
    void OnTimedClock(TimedPhase, std::int32_t, std::int32_t) override {}
};

class IntoTheHub final : public LinkMessageSink {
public:
    explicit IntoTheHub(ShootingHub& hub) : hub_(hub) {}
    void PostLinkSample(std::uint32_t wParam, int isShot) override {
        hub_.FeedSample(LinkSampleX(wParam), LinkSampleY(wParam), isShot, 0, -1);
    }
    void PostLinkLine(int) override {}

private:
    ShootingHub& hub_;
};

struct Series {
    std::vector<TimedShot> shots;
    std::vector<std::int32_t> openedAt;
    std::int32_t lowestBeforeOpening = -10000;  // the highest aim point (y) from 1 s into Load to the opening
};

// One series of the drill. The unit is told the time between shots a timed series sends.
Series Shoot(ShooterProfile profile, const TimedDrill& drill, std::uint32_t seed) {
    Settings settings;
    ShootingHub hub;
    hub.SetSettings(&settings);
    Quiet quiet;
    TimedRun run(&hub, quiet);
    hub.NewSeries(drill.Shots(), 0, 0);
    run.Begin(drill, seed);
    DetectorSimulator unit(SimulatorOptions{seed, false, profile});
    DetectorDecoder decoder;
    IntoTheHub sink(hub);
    decoder.Configure(&sink, Settings::kUnitTimeStep);
    const UnitSetupBlock block =
        BuildSetupBlock(5184, 0, 0, SetupSteps(UnitShotPeriodMs(drill, settings.TimeBetweenShots), 40));
    std::vector<std::uint8_t> bytes(block.begin(), block.end()), answer;
    unit.Receive(bytes.data(), bytes.size(), answer);
    const TraceStore& store = *hub.Store();
    Series series;
    while (store.ShotCount() < drill.Shots() && store.SampleCount() < 5000) {
        unit.Hear(CallOf(run.Sequence()));
        bytes.clear();
        unit.Step(bytes);
        decoder.Feed(bytes.data(), bytes.size());
        const std::int32_t opened = run.Sequence().OpenedAt(0);
        if (store.SampleCount() > 25 && (opened < 0 || store.SampleCount() <= opened) && store.SampleCount() > 0)
            series.lowestBeforeOpening =
                std::max<std::int32_t>(series.lowestBeforeOpening, store.Sample(store.SampleCount() - 1).y);
    }
    for (int k = 0; k < store.ShotCount(); ++k) series.shots.push_back(store.ShotTiming(k));
    for (int w = 0; w < drill.windows; ++w) series.openedAt.push_back(run.Sequence().OpenedAt(w));
    return series;
}

TEST(SimulatedDrill, EachShooterShootsTheDrillsAsItsShooterDoes) {
    const TimedPreset presets[] = {TimedPreset::Rapid8, TimedPreset::Rapid6, TimedPreset::Rapid4, TimedPreset::Duel};
    const ShooterProfile profiles[] = {ShooterProfile::Beginner, ShooterProfile::Club, ShooterProfile::Elite};
    double share[3][4] = {};
    int perfect[3][4] = {};
    for (int p = 0; p < 3; ++p) {
        for (int d = 0; d < 4; ++d) {
            const TimedDrill drill = DrillOfPreset(presets[d]);
            int inTime = 0;
            for (std::uint32_t seed = 1; seed <= 20; ++seed) {
                SCOPED_TRACE(testing::Message() << ShooterProfileName(profiles[p]) << " drill " << d << " seed " << seed);
                const Series s = Shoot(profiles[p], drill, seed);
                ASSERT_EQ(int(s.shots.size()), drill.Shots()) << "the series is shot to its end";
                // every window opens; the arm is down, off the face, through Load and Attention
                for (const std::int32_t opened : s.openedAt) EXPECT_GE(opened, 0);
                EXPECT_LT(s.lowestBeforeOpening, -300);
                int series = 0;
                for (const TimedShot& shot : s.shots) {
                    // no shot before its window, none between the duel's windows
                    EXPECT_GE(shot.window, 0);
                    EXPECT_FALSE(shot.between);
                    series += !shot.late;
                }
                inTime += series;
                perfect[p][d] += series == drill.Shots();
            }
            share[p][d] = inTime / (20.0 * drill.Shots());
        }
    }
    std::printf("in time over 20 series  rapid 8 s  rapid 6 s  rapid 4 s  duel\n");
    for (int p = 0; p < 3; ++p)
        std::printf("%-8s %14.0f %% %8.0f %% %8.0f %% %6.0f %%   (all in time: %d %d %d %d)\n",
                    ShooterProfileName(profiles[p]), 100 * share[p][0], 100 * share[p][1], 100 * share[p][2],
                    100 * share[p][3], perfect[p][0], perfect[p][1], perfect[p][2], perfect[p][3]);
    const int beginner = 0, club = 1, elite = 2;
    EXPECT_GE(share[club][0], 0.8);
    EXPECT_GE(share[club][3], 0.8);
    EXPECT_EQ(perfect[elite][1], 20) << "the elite shooter fires all five in 6 s";
    EXPECT_GT(share[elite][2], 0.5);
    // the beginner is sometimes late where the elite shooter almost never is
    EXPECT_LT(share[beginner][0], 1.0);
    EXPECT_LT(share[beginner][2], share[elite][2]);
    EXPECT_LE(share[club][2], share[elite][2]);
}

}  // namespace
}  // namespace zark
