#include <gtest/gtest.h>

#include <memory>

#include "../targets/builtcatalogue.h"
#include "results/holdanalysis.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

// On the air rifle face a unit is 0.1 mm and the bullet widens the rings by 22 units: the ten
// holds the aim within 24 units of the centre, the nine within 47, the outer ring within 247.
const TargetDescriptor& FaceOf(int identity) { return test::CatalogueFace(identity); }

struct Trace {
    std::unique_ptr<TraceStore> store = std::make_unique<TraceStore>();
    Trace& Hold(int n, int x, int y) {
        for (int i = 0; i < n; ++i) store->AppendSample(x, y);
        return *this;
    }
    Trace& Shot(int x, int y) {
        store->AppendShot(x, y, 0);
        return *this;
    }
    HoldFigures Figures(int shot = 0) const { return AnalyseHold(*store, shot, FaceOf(1250)); }
};

// points, in ten, in nine, trace, hold mean x and y, release (mm), aiming time (s)
void ExpectHold(const HoldFigures& f, int points, double inTop, double inNext, double trace, double meanX,
                double meanY, double release, double aiming) {
    ASSERT_TRUE(f.valid);
    EXPECT_EQ(f.points, points);
    EXPECT_DOUBLE_EQ(f.inTop, inTop);
    EXPECT_DOUBLE_EQ(f.inNext, inNext);
    EXPECT_NEAR(f.traceMm, trace, 1e-9);
    EXPECT_NEAR(f.meanXmm, meanX, 1e-9);
    EXPECT_NEAR(f.meanYmm, meanY, 1e-9);
    EXPECT_NEAR(f.releaseMm, release, 1e-9);
    EXPECT_NEAR(f.aimingSeconds, aiming, 1e-9);
}

TEST(HoldAnalysis, AStillHoldADriftAndAJerkAtTheShot) {
    // still inside the ten, on the face from the first point of the trace
    ExpectHold(Trace().Hold(40, 10, 0).Shot(10, 0).Figures(), 25, 1, 1, 0, 1.0, 0, 0, 1.6);
    // the trigger pulls the shot 10.5 mm left and 15.5 mm low of a still hold
    ExpectHold(Trace().Hold(30, 5, 5).Shot(-100, -150).Figures(), 25, 1, 1, 0, 0.5, 0.5, std::hypot(10.5, 15.5), 1.2);
    // x = 2, 4, ... 60 units, then the shot at 62: the last second is 12 .. 60, the ten (to 25)
    // holds 12 .. 24 and the nine (to 50) 12 .. 50; 24 steps of 0.2 mm; the mean in the middle of
    // 1.2 .. 6 mm
    Trace drift;
    for (int x = 2; x <= 60; x += 2) drift.Hold(1, x, 0);
    ExpectHold(drift.Shot(62, 0).Figures(), 25, 7.0 / 25, 20.0 / 25, 4.8, 3.6, 0, 2.6, 1.2);
}

TEST(HoldAnalysis, TheLastSecondStopsAtTheTraceStartAGapAndTheShotBefore) {
    // a short trace 30 mm out, off the face until the shot
    ExpectHold(Trace().Hold(10, 300, 0).Shot(20, 0).Figures(), 10, 0, 0, 0, 30, 0, 28, 0);
    // never across the break
    ExpectHold(Trace().Hold(20, 10, 10).Hold(1, 0, 0).Hold(9, 200, 0).Shot(200, 0).Figures(), 9, 0, 0, 0, 20, 0, 0,
               0.36);
    // a shot 12 points after the one before, which the figures never reach back to
    ExpectHold(Trace().Hold(30, 0, 5).Shot(0, 5).Hold(12, 100, 0).Shot(100, 0).Figures(1), 12, 0, 0, 0, 10, 0, 0, 0.48);
    // the aim comes down from above (off the face), enters and settles for 15 points; the second
    // holds all of it: a path of 2770 + 210 units, a mean 1254 units high
    ExpectHold(Trace().Hold(10, 0, 3000).Hold(5, 0, 230).Hold(10, 0, 20).Shot(0, 20).Figures(), 25, 0.4, 0.4,
               298, 0, 125.4, 123.4, 0.6);

    // a trace that starts with the shot, an unfired shot and one past the end have no hold
    Trace none;
    none.Shot(5, 5).Shot(0, 0);
    for (const int shot : {0, 1, 7}) EXPECT_FALSE(none.Figures(shot).valid) << shot;
}

TEST(HoldAnalysis, LevelsAndTheFaceOfEveryKind) {
    const auto levels = [](int identity) {
        const HoldLevels l = HoldLevelsOf(FaceOf(identity));
        return std::pair{l.top, l.next};
    };
    EXPECT_EQ(levels(1200), std::pair(10, 9));  // the inner ten counts as a ten
    EXPECT_EQ(levels(2050), std::pair(5, 4));   // the moose's inner five
    EXPECT_EQ(levels(3200), std::pair(5, 4));   // no rings: the best zone of the map
    EXPECT_EQ(levels(4050), std::pair(1, 0));   // a biathlon plate: hit or not
    EXPECT_TRUE(AimOnFace(FaceOf(1250), 250, 0));  // ring 1, 227.5, and the bullet's 22.5
    EXPECT_FALSE(AimOnFace(FaceOf(1250), 251, 0));
    EXPECT_TRUE(AimOnFace(FaceOf(3200), 0, 0));     // on the S25's silhouette
    EXPECT_FALSE(AimOnFace(FaceOf(3200), 0, 800));  // above it
}

TEST(GroupAnalysis, ThreeAndFourShotsWorkedOutByHand) {
    const GroupPoint three[] = {{1, 1}, {3, 1}, {2, 4}};  // mm
    const GroupFigures g = AnalyseGroup(three, 3);
    EXPECT_EQ(g.shots, 3);
    EXPECT_DOUBLE_EQ(g.meanXmm, 2.0);
    EXPECT_DOUBLE_EQ(g.meanYmm, 2.0);
    EXPECT_NEAR(g.meanDistanceMm, std::sqrt(8.0), 1e-12);
    EXPECT_EQ(g.clock, 2);  // 45 degrees: half past one turns to two o'clock
    EXPECT_NEAR(g.extremeSpreadMm, std::sqrt(10.0), 1e-12);
    EXPECT_NEAR(g.meanRadiusMm, (2 * std::sqrt(2.0) + 2) / 3, 1e-12);
    EXPECT_NEAR(g.sdXmm, 1.0, 1e-12);
    EXPECT_NEAR(g.sdYmm, std::sqrt(3.0), 1e-12);

    const GroupPoint four[] = {{2, 2}, {-2, 2}, {-2, -2}, {2, -2}};  // a square around the centre
    const GroupFigures s = AnalyseGroup(four, 4);
    EXPECT_EQ(s.clock, 0);
    EXPECT_NEAR(s.extremeSpreadMm, std::sqrt(32.0), 1e-12);
    EXPECT_NEAR(s.meanRadiusMm, std::sqrt(8.0), 1e-12);
    EXPECT_NEAR(s.sdXmm, std::sqrt(16.0 / 3), 1e-12);
    EXPECT_EQ(AnalyseGroup(four, 1).sdXmm, 0.0);

    // a series: the unfired shot has no position and stays out of the group; mm from the face
    Trace series;
    series.Hold(5, 10, 10).Shot(10, 10).Hold(5, 30, 10).Shot(30, 10).Shot(0, 0).Hold(5, 20, 40).Shot(20, 40);
    const SeriesAnalysis a = AnalyseSeries(*series.store, FaceOf(1250), nullptr);
    EXPECT_EQ(a.shots, 4);
    EXPECT_EQ(a.group.shots, 3);
    EXPECT_NEAR(a.group.extremeSpreadMm, std::sqrt(10.0), 1e-9);
    EXPECT_FALSE(a.hold[2].valid);
}

}  // namespace
}  // namespace zark
