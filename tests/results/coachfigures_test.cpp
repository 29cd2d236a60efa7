#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "../targets/builtcatalogue.h"
#include "results/coachfigures.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

// The traces are laid by hand on the 50 m rifle face (1200): its rings are 64 units (8 mm) apart,
// so a point up to about 63 from the centre scores 10 (with the 22-unit bullet), up to 127 a 9, up
// to 191 an 8; the points below lie away from the rings' edges.
const TargetDescriptor& Rifle50() { return test::CatalogueFace(1200); }
const TargetDescriptor& Rifle50Decimal() { return test::CatalogueFace(1350); }

struct Trace {
    std::unique_ptr<TraceStore> store = std::make_unique<TraceStore>();
    Trace& At(int x, int y, int n = 1) {
        for (int i = 0; i < n; ++i) store->AppendSample(x, y);
        return *this;
    }
    Trace& Shot(int x, int y) {
        store->AppendShot(x, y, 0);
        return *this;
    }
    // A wobble between two points, n of them, starting with the first.
    Trace& Between(int x1, int y1, int x2, int y2, int n) {
        for (int i = 0; i < n; ++i) store->AppendSample(i % 2 ? x2 : x1, i % 2 ? y2 : y1);
        return *this;
    }
    double Held(int shot, const TargetDescriptor& face = Rifle50()) const {
        double held = -1;
        EXPECT_TRUE(HeldScore(*store, shot, face, held));
        return held;
    }
};

TEST(CoachFigures, HeldScoreAndLuckOverTheShotsNeighbours) {
    Trace t;
    // shot 0: held in the ten, every neighbour a ten too: luck 0
    t.Between(0, 20, 10, 20, 30).Shot(5, 20).At(0, 20, 5);
    // shot 1: a wobble of eights (distance 160) with a ten among them: a lucky ten, held 8
    t.Between(160, 0, 0, -160, 30).Shot(0, 30).Between(-160, 0, 0, 160, 5);
    // a break, then shot 2 two points into its stretch and three before the next shot:
    // 10, 10, the shot's 9, 8, 8, 8 sorted are 8 8 8 9 10 10, the middle two 8 and 9
    t.At(0, 0).At(0, 20, 2).Shot(100, 0).At(160, 0, 3).Shot(0, 100).At(0, 0);
    EXPECT_EQ(t.Held(0), 10);
    EXPECT_EQ(t.Held(1), 8);
    EXPECT_EQ(t.Held(2), 8.5);
    // shot 3 has its three eights before it and, after it, only a break: 8 8 8 9
    EXPECT_EQ(t.Held(3), 8);

    const SeriesPhases phases = AnalyseSeriesPhases(*t.store, Rifle50(), nullptr);
    const SeriesCoaching c = AnalyseCoaching(*t.store, phases, Rifle50(), nullptr);
    ASSERT_EQ(c.shots, 4);
    EXPECT_EQ(c.shot[0].luck, 0);
    EXPECT_EQ(c.shot[1].score, 10);
    EXPECT_EQ(c.shot[1].luck, 2);
    EXPECT_EQ(c.shot[2].luck, 0.5);
    EXPECT_EQ(c.shot[3].luck, 1);
    EXPECT_EQ(c.lucky, 4);
    EXPECT_EQ(c.luck, 3.5);

    // a shot never on the face has no held score; an unfired one is no shot
    Trace off;
    off.At(0, 3000, 10).Shot(0, 3000).Shot(0, 0);
    const SeriesCoaching o = AnalyseCoaching(*off.store, AnalyseSeriesPhases(*off.store, Rifle50(), nullptr), Rifle50(), nullptr);
    EXPECT_TRUE(o.shot[0].fired && !o.shot[0].hasHeld && !o.shot[1].fired);
}

TEST(CoachFigures, ADecimalFaceKeepsItsTenths) {
    // The scores come from the face itself: the point here is that the tenths reach the median.
    const TargetDescriptor& face = Rifle50Decimal();
    // five neighbours at 46..62 units and the shot at 48: all in the ten ring, each with its tenth
    Trace t;
    t.At(0, 40, 6);
    const int distances[] = {46, 50, 54, 58, 62};
    for (int d : distances) t.At(0, d);
    t.Shot(0, 48);
    std::vector<double> scores{face.ScoreShot(0, 48)};
    for (int d : distances) scores.push_back(face.ScoreShot(0, d));
    std::sort(scores.begin(), scores.end());
    const double median = (scores[2] + scores[3]) / 2;
    EXPECT_DOUBLE_EQ(t.Held(0, face), median);
    EXPECT_NE(median, std::floor(median));  // tenths, not whole points
    // the same trace on the whole-point face holds a whole ten
    EXPECT_EQ(t.Held(0, Rifle50()), 10);
}

TEST(CoachFigures, AReleaseThatAlwaysPullsLowLeftAndTheCalls) {
    // Three shots, each held still at (0, 10) wobbling a unit left and right, then released with
    // three steps of (-26, -15): the shot lands 78 left and 45 low of the hold, at 8 o'clock.
    Trace t;
    for (int shot = 0; shot < 3; ++shot) {
        t.Between(-1, 10, 1, 10, 60);
        t.At(-27, -5).At(-53, -20);
        t.Shot(-79, -35);
    }
    const double mm = MillimetresPerUnit(Rifle50());
    t.store->SetCall(0, -60, -30);  // close: 9 against the shot's 9
    t.store->SetCall(2, 0, 0);      // "in the middle": a ten against a 9
    const SeriesPhases phases = AnalyseSeriesPhases(*t.store, Rifle50(), nullptr);
    const SeriesCoaching c = AnalyseCoaching(*t.store, phases, Rifle50(), nullptr);
    for (int shot = 0; shot < 3; ++shot) {
        const ShotCoaching& s = c.shot[std::size_t(shot)];
        ASSERT_TRUE(s.hasHold) << shot;
        EXPECT_NEAR(s.holdToShotXmm, -78 * mm, 1.5 * mm) << shot;
        EXPECT_NEAR(s.holdToShotYmm, -45 * mm, 0.5 * mm) << shot;
        EXPECT_EQ(s.holdToShotClock, 8) << shot;
    }
    EXPECT_EQ(c.holds, 3);
    EXPECT_NEAR(c.aimToHitMm, std::hypot(78, 45) * mm, 1.5 * mm);
    EXPECT_EQ(c.aimToHitClock, 8);

    // the calls: a 9 for a 9 and a ten for a 9, both within a point; the middle is a call too
    EXPECT_FALSE(c.shot[1].called);
    EXPECT_EQ(c.shot[2].callScore, 10);
    EXPECT_EQ(c.calls, 2);
    EXPECT_NEAR(c.meanCallErrorMm, (std::hypot(19, 5) + std::hypot(79, 35)) * mm / 2, 1e-9);
    EXPECT_EQ(c.callsWithinPoint, 1.0);
}

TEST(CoachFigures, HowSureTheSightersAre) {
    // The 50 m face: 64 units (0.125 mm each) from one ring to the next, a goal of a quarter.
    const double spacing = 8.0;
    EXPECT_NEAR(RingSpacingMm(Rifle50()), spacing, 1e-9);
    const auto of = [](std::vector<GroupPoint> points) {
        return SightersConfidence(AnalyseGroup(points.data(), int(points.size())), Rifle50());
    };
    EXPECT_FALSE(of({{3, 4}}).valid);  // one sighter says nothing
    // two sighters 6 mm apart: sx² = 18, standard error √(18 / 2) = 3 mm; 18 / 2² = 4.5: 5
    const SighterConfidence two = of({{0, 0}, {6, 0}});
    ASSERT_TRUE(two.valid);
    EXPECT_NEAR(two.standardErrorMm, 3.0, 1e-9);
    EXPECT_NEAR(two.goalMm, spacing / 4, 1e-9);
    EXPECT_EQ(two.needed, 5);
    // five sighters, four 9 mm out at the corners and one in the middle: sx² = sy² = 81,
    // standard error √(162 / 5) = 5.69 mm; 162 / 2² = 40.5: 41 sighters
    const SighterConfidence five = of({{9, 9}, {-9, 9}, {9, -9}, {-9, -9}, {0, 0}});
    EXPECT_NEAR(five.standardErrorMm, std::sqrt(162.0 / 5), 1e-9);
    EXPECT_EQ(five.needed, 41);
    // a tight pair is sure enough already: never fewer than two
    EXPECT_EQ(of({{0, 0}, {0.5, 0}}).needed, 2);
    // a face without rings has no spacing to aim for
    EXPECT_EQ(RingSpacingMm(test::CatalogueFace(3200)), 0);
}

}  // namespace
}  // namespace zark
