#include <gtest/gtest.h>

#include <memory>

#include "../targets/builtcatalogue.h"
#include "results/holdanalysis.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

// The faces by identity. On the air rifle face a unit is 0.1 mm and the bullet widens the rings by
// 22 units: the ten holds the aim within 24 units of the centre, the nine within 47.
const TargetDescriptor& FaceOf(int identity) {
    TargetPair pair;
    test::BuiltCatalogue().FindByIdentity(identity, pair);
    return *pair.first;
}
const TargetDescriptor& AirRifle() { return FaceOf(1250); }

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
    HoldFigures Figures(int shot = 0) const { return AnalyseHold(*store, shot, AirRifle()); }
};

TEST(HoldAnalysis, AStillHoldInsideTheTenAndAJerkAtTheShot) {
    Trace still;
    still.Hold(40, 10, 0).Shot(10, 0);
    const HoldFigures f = still.Figures();
    ASSERT_TRUE(f.valid);
    EXPECT_EQ(f.points, 25);
    EXPECT_DOUBLE_EQ(f.traceMm, 0.0);
    EXPECT_DOUBLE_EQ(f.inTop, 1.0);
    EXPECT_DOUBLE_EQ(f.inNext, 1.0);
    EXPECT_DOUBLE_EQ(f.meanXmm, 1.0);
    EXPECT_DOUBLE_EQ(f.meanYmm, 0.0);
    EXPECT_DOUBLE_EQ(f.releaseMm, 0.0);
    EXPECT_DOUBLE_EQ(f.aimingSeconds, 1.6);  // on the face from the first point of the trace

    // the trigger pulls the shot 10.5 mm left and 15.5 mm low of a still hold: the hold stays perfect
    Trace jerk;
    jerk.Hold(30, 5, 5).Shot(-100, -150);
    const HoldFigures j = jerk.Figures();
    EXPECT_DOUBLE_EQ(j.traceMm, 0.0);
    EXPECT_DOUBLE_EQ(j.inTop, 1.0);
    EXPECT_NEAR(j.releaseMm, std::hypot(10.5, 15.5), 1e-9);
}

TEST(HoldAnalysis, AStraightDriftThroughTheTenIntoTheNine) {
    // x = 2, 4, ... 60 units, then the shot at 62: the last second is the points at 12 .. 60
    Trace drift;
    for (int x = 2; x <= 60; x += 2) drift.store->AppendSample(x, 0);
    drift.Shot(62, 0);
    const HoldFigures f = drift.Figures();
    EXPECT_EQ(f.points, 25);
    EXPECT_NEAR(f.traceMm, 4.8, 1e-9);          // 24 steps of 0.2 mm
    EXPECT_NEAR(f.meanXmm, 3.6, 1e-9);          // the middle of 1.2 .. 6.0 mm
    EXPECT_NEAR(f.releaseMm, 2.6, 1e-9);        // 6.2 - 3.6
    EXPECT_DOUBLE_EQ(f.inTop, 7.0 / 25);        // 12 .. 24 units
    EXPECT_DOUBLE_EQ(f.inNext, 18.0 / 25);      // 12 .. 46 units
}

TEST(HoldAnalysis, TheLastSecondStopsAtTheTraceStartAGapAndTheShotBefore) {
    Trace shortTrace;
    shortTrace.Hold(10, 300, 0).Shot(20, 0);  // 30 mm out: off the face until the shot
    const HoldFigures s = shortTrace.Figures();
    EXPECT_TRUE(s.valid);
    EXPECT_EQ(s.points, 10);
    EXPECT_DOUBLE_EQ(s.inNext, 0.0);
    EXPECT_DOUBLE_EQ(s.aimingSeconds, 0.0);  // the aim came onto the face with the shot

    Trace gap;
    gap.Hold(20, 10, 10).Hold(1, 0, 0).Hold(9, 200, 0).Shot(200, 0);
    const HoldFigures g = gap.Figures();
    EXPECT_EQ(g.points, 9);  // never across the break
    EXPECT_DOUBLE_EQ(g.inNext, 0.0);
    EXPECT_DOUBLE_EQ(g.aimingSeconds, 0.36);

    // a shot 12 points after the one before, which the figures never reach back to
    Trace quick;
    quick.Hold(30, 0, 5).Shot(0, 5).Hold(12, 100, 0).Shot(100, 0);
    EXPECT_EQ(quick.Figures(1).points, 12);
    EXPECT_DOUBLE_EQ(quick.Figures(1).meanXmm, 10.0);

    // the aim comes down from above (off the face), enters and settles for 15 points
    Trace approach;
    approach.Hold(10, 0, 3000).Hold(5, 0, 230).Hold(10, 0, 20).Shot(0, 20);
    EXPECT_DOUBLE_EQ(approach.Figures().aimingSeconds, 0.6);
    EXPECT_DOUBLE_EQ(approach.Figures().inTop, 10.0 / 25);

    // a trace that starts with the shot, an unfired shot and one past the end have no hold
    Trace none;
    none.Shot(5, 5).store->AppendShot(0, 0, 0);
    EXPECT_FALSE(none.Figures(0).valid);
    EXPECT_FALSE(none.Figures(1).valid);
    EXPECT_FALSE(none.Figures(7).valid);
}

TEST(HoldAnalysis, LevelsAndTheFaceOfEveryKind) {
    EXPECT_EQ(HoldLevelsOf(FaceOf(1200)).top, 10);  // the inner ten counts as a ten
    EXPECT_EQ(HoldLevelsOf(FaceOf(1200)).next, 9);
    EXPECT_EQ(HoldLevelsOf(FaceOf(2050)).top, 5);   // the moose's inner five
    EXPECT_EQ(HoldLevelsOf(FaceOf(3200)).top, 5);   // no rings: the best zone of the map
    EXPECT_EQ(HoldLevelsOf(FaceOf(3200)).next, 4);
    EXPECT_EQ(HoldLevelsOf(FaceOf(4050)).top, 1);   // a biathlon plate: hit or not
    EXPECT_EQ(HoldLevelsOf(FaceOf(4050)).next, 0);
    EXPECT_DOUBLE_EQ(MillimetresPerUnit(FaceOf(1200)), 112.0 / 890);

    EXPECT_TRUE(AimOnFace(AirRifle(), 247, 0));  // the outer ring as the bullet touches it
    EXPECT_FALSE(AimOnFace(AirRifle(), 248, 0));
    EXPECT_TRUE(AimOnFace(FaceOf(3200), 0, 0));     // on the S25's silhouette
    EXPECT_FALSE(AimOnFace(FaceOf(3200), 0, 800));  // above it
}

TEST(GroupAnalysis, ThreeAndFourShotsWorkedOutByHand) {
    // (1, 1), (3, 1) and (2, 4) mm
    const GroupPoint three[] = {{1, 1}, {3, 1}, {2, 4}};
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

    // a square of 4 mm around the centre
    const GroupPoint four[] = {{2, 2}, {-2, 2}, {-2, -2}, {2, -2}};
    const GroupFigures s = AnalyseGroup(four, 4);
    EXPECT_DOUBLE_EQ(s.meanDistanceMm, 0.0);
    EXPECT_EQ(s.clock, 0);
    EXPECT_NEAR(s.extremeSpreadMm, std::sqrt(32.0), 1e-12);
    EXPECT_NEAR(s.meanRadiusMm, std::sqrt(8.0), 1e-12);
    EXPECT_NEAR(s.sdXmm, std::sqrt(16.0 / 3), 1e-12);

    EXPECT_EQ(AnalyseGroup(four, 1).sdXmm, 0.0);
    EXPECT_EQ(AnalyseGroup(nullptr, 0).shots, 0);

    // a series: the unfired shot has no position and stays out of the group; mm from the face
    Trace series;
    series.Hold(5, 10, 10).Shot(10, 10).Hold(5, 30, 10).Shot(30, 10).store->AppendShot(0, 0, 0);
    series.Hold(5, 20, 40).Shot(20, 40);
    const SeriesAnalysis a = AnalyseSeries(*series.store, AirRifle(), nullptr);
    EXPECT_EQ(a.shots, 4);
    EXPECT_EQ(a.group.shots, 3);
    EXPECT_NEAR(a.group.extremeSpreadMm, std::sqrt(10.0), 1e-9);
    EXPECT_TRUE(a.hold[3].valid);
    EXPECT_FALSE(a.hold[2].valid);
}

}  // namespace
}  // namespace zark
