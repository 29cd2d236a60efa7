// The simulated shooters shooting the timed series' drills on the unit's clock: the unit's bytes
// through the decoder into the hub, the timed run stamping the shots as the program does, and the
// shooter hearing the range's calls before each step.
#include <gtest/gtest.h>

#include <cstdio>

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

class DrillRange final : public TimedListener, public LinkMessageSink {
public:
    void OnTimedSignal(const TimedEvent&) override {}
    void OnTimedClock(TimedPhase, std::int32_t, std::int32_t) override {}
    void PostLinkSample(std::uint32_t wParam, int isShot) override {
        hub.FeedSample(LinkSampleX(wParam), LinkSampleY(wParam), isShot, 0, -1);
    }
    void PostLinkLine(int) override {}

    // One series of the drill; the unit is told the time between shots a timed series sends.
    // Returns the shots in time, -1 when the aim came onto the face before the first opening
    // or a shot fell outside every window.
    int Shoot(ShooterProfile profile, const TimedDrill& drill, std::uint32_t seed) {
        hub.SetSettings(&settings);
        hub.NewSeries(drill.Shots(), 0, 0);
        run.Begin(drill, seed);
        DetectorSimulator unit(SimulatorOptions{seed, false, profile});
        DetectorDecoder decoder;
        decoder.Configure(this, Settings::kUnitTimeStep);
        const UnitSetupBlock block = BuildSetupBlock(5184, 0, 0, SetupSteps(UnitShotPeriodMs(drill, 1600), 40));
        std::vector<std::uint8_t> bytes(block.begin(), block.end()), answer;
        unit.Receive(bytes.data(), bytes.size(), answer);
        const TraceStore& store = *hub.Store();
        bool armDown = true;  // from a second into Load until the window opens: below the face
        while (store.ShotCount() < drill.Shots() && store.SampleCount() < 5000) {
            unit.Hear(CallOf(run.Sequence()));
            bytes.clear();
            unit.Step(bytes);
            decoder.Feed(bytes.data(), bytes.size());
            if (store.SampleCount() > 25 && run.Sequence().OpenedAt(0) < 0)
                armDown = armDown && store.Sample(store.SampleCount() - 1).y < -300;
        }
        int inTime = armDown && store.ShotCount() == drill.Shots() ? 0 : -1;
        for (int k = 0; k < store.ShotCount() && inTime >= 0; ++k) {
            const TimedShot shot = store.ShotTiming(k);
            inTime = shot.window < 0 || shot.between ? -1 : inTime + !shot.late;
        }
        return inTime;
    }

    Settings settings;
    ShootingHub hub;
    TimedRun run{&hub, *this};
};

TEST(SimulatedDrill, EachShooterShootsTheDrillsAsItsShooterDoes) {
    const TimedPreset presets[] = {TimedPreset::Rapid8, TimedPreset::Rapid6, TimedPreset::Rapid4, TimedPreset::Duel};
    double share[3][4] = {};
    int allFive[3][4] = {};
    std::printf("in time over 20 series  rapid 8 s  rapid 6 s  rapid 4 s  duel\n");
    for (int p = 0; p < 3; ++p) {
        std::printf("%-20s", ShooterProfileName(ShooterProfile(p)));
        for (int d = 0; d < 4; ++d) {
            for (std::uint32_t seed = 1; seed <= 20; ++seed) {
                DrillRange range;
                const int inTime = range.Shoot(ShooterProfile(p), DrillOfPreset(presets[d]), seed);
                ASSERT_GE(inTime, 0) << ShooterProfileName(ShooterProfile(p)) << " drill " << d << " seed " << seed;
                share[p][d] += inTime / 100.0;
                allFive[p][d] += inTime == 5;
            }
            std::printf("%8.0f %%", 100 * share[p][d]);
        }
        std::printf("\n");
    }
    const int beginner = 0, club = 1, elite = 2;
    EXPECT_GE(share[club][0], 0.8);
    EXPECT_GE(share[club][3], 0.8);
    EXPECT_EQ(allFive[elite][1], 20) << "the elite shooter fires all five in 6 s";
    EXPECT_GT(share[elite][2], 0.5);
    // the beginner is sometimes late where the elite shooter almost never is
    EXPECT_LT(share[beginner][1], 1.0);
    EXPECT_LT(share[beginner][2], share[club][2]);
    EXPECT_LT(share[club][2], share[elite][2]);
}

}  // namespace
}  // namespace zark
