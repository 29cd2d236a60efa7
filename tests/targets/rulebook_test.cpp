// The ring faces against the rulebook's cards: every ring, the inner ten and the black to the
// hundredth of a millimetre, and the score on both sides of every ring edge and every decimal
// tenth edge, worked out from the rulebook's dimensions alone.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "builtcatalogue.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

// One card of the rulebook, diameters in mm. Ring k is ten + spacing × (10 − k) across.
struct Card {
    const char* name;
    std::initializer_list<int> faces;  // catalogue entries drawn with it
    double ten, innerTen, spacing;     // innerTen 0: the card has none
    int lowest;                        // the lowest ring on the card
    double lowestDiameter, black;      // the lowest ring and the black, as the rulebook states them
    double calibre;
};

const Card kCards[] = {
    {"rifle 300/200/100 m", {0, 1, 2}, 100, 50, 100, 1, 1000, 600, 7.62},
    {"rifle 50 m", {3, 4}, 10.4, 5, 16, 1, 154.4, 112.4, 5.6},
    {"air rifle 10 m", {5, 6, 7}, 0.5, 0, 5, 1, 45.5, 30.5, 4.5},
    {"pistol 25/50 m", {8, 9}, 50, 25, 50, 1, 500, 200, 5.6},
    {"pistol 25 m rapid fire", {10}, 100, 50, 80, 5, 500, 500, 5.6},
    {"air pistol 10 m", {11, 12}, 11.5, 5, 16, 1, 155.5, 59.5, 4.5},
};

double RingDiameter(const Card& card, int k) { return card.ten + card.spacing * (10 - k); }

const TargetDescriptor& Face(int index) { return test::BuiltCatalogue().Entry(index); }

TEST(Rulebook, EveryRingFaceHasTheCardsRingsScaleAndBlack) {
    for (const Card& card : kCards) {
        SCOPED_TRACE(card.name);
        ASSERT_NEAR(RingDiameter(card, card.lowest), card.lowestDiameter, 1e-9);  // the table itself
        for (const int index : card.faces) {
            SCOPED_TRACE(index);
            const TargetDescriptor& face = Face(index);
            const double mm = 1.0 / face.UnitsPerMm();
            EXPECT_NEAR(face.BulletRadius() * mm, card.calibre / 2, 1e-9);
            int rings = 0;
            bool inner = false;
            double black = 0;
            for (int i = 0; i < face.RingCount(); ++i) {
                const double value = face.RingValue(i);
                const double diameter = 2 * face.RingRadius(i) * mm;
                if (face.RingColour(i) == 0) black = std::max(black, diameter);
                if (value != std::floor(value)) {
                    inner = true;
                    EXPECT_NEAR(diameter, card.innerTen, 0.01);
                } else if (i == 0 || face.RingValue(i - 1) != value) {
                    ++rings;
                    EXPECT_NEAR(diameter, RingDiameter(card, int(value)), 0.01) << value;
                }
            }
            EXPECT_EQ(rings, 11 - card.lowest);
            EXPECT_EQ(inner, card.innerTen > 0);
            EXPECT_NEAR(black, card.black, 0.01);
        }
    }
}

// A point d mm from the centre, turned by a different angle for each point so that x and y both
// take part.
double ScoreAtMm(const TargetDescriptor& face, double d, int turn) {
    const double a = turn * 0.7;
    const double units = d * face.UnitsPerMm();
    return face.ScoreAt(units * std::cos(a), units * std::sin(a));
}

TEST(Rulebook, ScoresOnBothSidesOfEveryRingAndTenthEdge) {
    constexpr double kStep = 0.01;  // mm either side of an edge
    int checked = 0;
    for (const Card& card : kCards) {
        for (const int index : card.faces) {
            const TargetDescriptor& face = Face(index);
            const bool decimal = (face.Kind() & KindDecimal) != 0;
            SCOPED_TRACE(index);
            const double b = card.calibre / 2;
            for (int k = card.lowest; k <= 10; ++k) {
                // the band of ring k: from its edge in to the edge of k + 1, the ten to the centre
                const double outer = RingDiameter(card, k) / 2 + b;
                const double inner = k == 10 ? 0.0 : RingDiameter(card, k + 1) / 2 + b;
                const double below = k == card.lowest ? 0.0 : (decimal ? k - 1 + 0.9 : k - 1);
                EXPECT_NEAR(ScoreAtMm(face, outer + kStep, checked++), below, 1e-9) << k;
                EXPECT_NEAR(ScoreAtMm(face, outer - kStep, checked++), k, 1e-9) << k;
                if (!decimal) continue;
                for (int t = 1; t <= 9; ++t) {
                    const double edge = outer - t * (outer - inner) / 10;
                    EXPECT_NEAR(ScoreAtMm(face, edge + kStep, checked++), k + 0.1 * (t - 1), 1e-9) << k << "." << t;
                    EXPECT_NEAR(ScoreAtMm(face, edge - kStep, checked++), k + 0.1 * t, 1e-9) << k << "." << t;
                }
            }
            EXPECT_NEAR(ScoreAtMm(face, 0, 0), decimal ? 10.9 : card.innerTen > 0 ? 10.1 : 10, 1e-9);
            if (card.innerTen == 0) continue;
            // the inner ten: a ring of its own on plain faces, a mark beside the tenths on decimal ones
            const double edge = card.innerTen / 2 + b;
            const double u = face.UnitsPerMm();
            EXPECT_TRUE(face.InInnerRing((edge - kStep) * u, 0));
            EXPECT_FALSE(face.InInnerRing(0, -(edge + kStep) * u));
            if (!decimal) {
                EXPECT_NEAR(ScoreAtMm(face, edge - kStep, checked++), 10.1, 1e-9);
                EXPECT_NEAR(ScoreAtMm(face, edge + kStep, checked++), 10, 1e-9);
            }
        }
    }
    EXPECT_EQ(checked, 808);  // every face of every card was reached
    // as an electronic target gives them: the air rifle's ten is 2.5 mm deep, its tenths 0.25 mm
    EXPECT_NEAR(ScoreAtMm(Face(7), 0.1, 0), 10.9, 1e-9);
    EXPECT_NEAR(ScoreAtMm(Face(7), 2.4, 0), 10.0, 1e-9);
}

}  // namespace
}  // namespace zark
