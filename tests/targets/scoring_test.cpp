// Scores of shots: ring bands widened by the bullet, inner rings, decimal tenths, zone maps, and
// the texts of scores and totals.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "support/numericlocale.h"
#include "targets/scoretext.h"
#include "builtcatalogue.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

class Scoring : public ::testing::Test {
protected:
    static const TargetDescriptor& Face(int index) { return catalogue->Entry(index); }
    static void SetUpTestSuite() { catalogue = &test::BuiltCatalogue(); }
    static inline const TargetCatalogue* catalogue = nullptr;
};

constexpr int kRifle300 = 0, kRifle50 = 3, kRifle50Finale = 4, kAirRifle = 5, kAirRifleFinale = 7;
constexpr int kAirPistolFinale = 12, kMoose5 = 13, kBoarRight = 22, kBiathlonProne = 31;

TEST_F(Scoring, Rifle50TenAndInnerTenBands) {
    const TargetDescriptor& face = Face(kRifle50);
    ASSERT_DOUBLE_EQ(face.BulletRadius(), 22.4);  // 2.8 mm at 8 units a mm
    EXPECT_DOUBLE_EQ(face.ScoreShot(64, 0), 10);  // outer edge of the ten, 41.6 + 22.4
    EXPECT_DOUBLE_EQ(face.ScoreShot(0, -65), 9);
    EXPECT_DOUBLE_EQ(face.ScoreShot(43, 0), 10);  // the inner ten reaches 20 + 22.4
    EXPECT_DOUBLE_EQ(face.ScoreShot(-42, 0), 10.1);
    EXPECT_DOUBLE_EQ(face.ScoreShot(0, 0), 10.1);
    // off the axes: 39² + 51² = 64.2²
    EXPECT_DOUBLE_EQ(face.ScoreShot(39, -51), 9);
    // the edge of the black is only a second "3": both 3 rings score 3, the 4 starts at 425.6 + 22.4
    EXPECT_DOUBLE_EQ(face.ScoreShot(0, 470), 3);
    EXPECT_DOUBLE_EQ(face.ScoreShot(0, 448), 4);
    EXPECT_DOUBLE_EQ(face.ScoreShot(0, 449), 3);
    EXPECT_DOUBLE_EQ(face.ScoreShot(640, 0), 1);
    EXPECT_DOUBLE_EQ(face.ScoreShot(641, 0), 0);
}

TEST_F(Scoring, DecimalTenths) {
    // every band is cut into ten equal tenths from its edge inwards, the ten down to the centre
    const TargetDescriptor& finale = Face(kRifle50Finale);
    EXPECT_NEAR(finale.ScoreShot(64, 0), 10.0, 1e-9);
    EXPECT_NEAR(finale.ScoreShot(44, 0), 10.3, 1e-9);  // 10 × 20 / 64 = 3.1
    EXPECT_NEAR(finale.ScoreShot(65, 0), 9.9, 1e-9);   // band 64..128: 10 × 63 / 64 = 9.8
    EXPECT_NEAR(finale.ScoreShot(128, 0), 9.0, 1e-9);
    EXPECT_NEAR(finale.ScoreShot(129, 0), 8.9, 1e-9);
    // the three's band runs from the four's edge to the outer three's, across the edge of the black
    EXPECT_NEAR(finale.ScoreShot(0, 449), 3.9, 1e-9);  // 10 × 63 / 64
    EXPECT_NEAR(finale.ScoreShot(0, 481), 3.4, 1e-9);  // 10 × 31 / 64

    const TargetDescriptor& air = Face(kAirRifle);
    EXPECT_DOUBLE_EQ(air.ScoreShot(0, 0), 10);
    EXPECT_DOUBLE_EQ(air.ScoreShot(25, 0), 10);  // 2.5 + 22.5
    EXPECT_DOUBLE_EQ(air.ScoreShot(26, 0), 9);
    const TargetDescriptor& airFinale = Face(kAirRifleFinale);
    EXPECT_NEAR(airFinale.ScoreShot(0, 0), 10.9, 1e-9);
    EXPECT_NEAR(airFinale.ScoreShot(2, 0), 10.9, 1e-9);  // 10 × 23 / 25 = 9.2, at most 9
    EXPECT_NEAR(airFinale.ScoreShot(3, 0), 10.8, 1e-9);
    EXPECT_NEAR(airFinale.ScoreShot(24, 0), 10.0, 1e-9);
    EXPECT_NEAR(airFinale.ScoreShot(0, 26), 9.9, 1e-9);  // band 25..50: 10 × 24 / 25 = 9.6
}

TEST_F(Scoring, InnerTenOnDecimalFacesIsAMarkBesideTheTenths) {
    const TargetDescriptor& rifle = Face(kRifle50Finale);
    // on every decimal face a closer shot never scores less (across the inner ten's edge too), and
    // nothing goes beyond 10.9
    for (int index : {kRifle50Finale, kAirRifleFinale, kAirPistolFinale}) {
        double farther = 0;
        for (int r = 1000; r >= 0; --r) {
            const double score = Face(index).ScoreShot(r * 3 / 5, -r * 4 / 5);
            ASSERT_GE(score, farther) << index << " " << r;
            ASSERT_LE(score, 10.9 + 1e-9) << index << " " << r;
            farther = score;
        }
    }
    EXPECT_NEAR(rifle.ScoreShot(42, 0), 10.3, 1e-9);
    EXPECT_NEAR(rifle.ScoreShot(20, 0), 10.6, 1e-9);
    EXPECT_TRUE(rifle.InInnerRing(42, 0));
    EXPECT_FALSE(rifle.InInnerRing(43, 0));
    EXPECT_FALSE(Face(kAirRifleFinale).InInnerRing(0, 0));  // the air rifle's ten is only a dot
    // the same mark on a plain face, where it is also the score's .1
    EXPECT_TRUE(Face(kRifle50).InInnerRing(0, -42));
    EXPECT_DOUBLE_EQ(Face(kRifle50).ScoreShot(0, -42), 10.1);
    // a 10.9 is a full score, shown and totalled as the tenth it is
    EXPECT_GE(rifle.ScoreShot(5, 0), 10);
    EXPECT_EQ(ScoreText(rifle, rifle.ScoreShot(5, 0)), "10.9");
    EXPECT_EQ(TotalText(rifle, TotalPart(rifle, rifle.ScoreShot(5, 0)) + TotalPart(rifle, rifle.ScoreShot(44, 0))), "21.2");
}

TEST_F(Scoring, OutsideEveryRingWithoutZoneMap) {
    const TargetDescriptor& face = Face(kRifle300);
    ASSERT_NEAR(face.BulletRadius(), 4.8768, 1e-9);  // 3.81 mm at 1.28 units a mm, not rounded
    EXPECT_DOUBLE_EQ(face.ScoreShot(644, 0), 1);
    EXPECT_DOUBLE_EQ(face.ScoreShot(645, 0), 0);
    EXPECT_DOUBLE_EQ(face.ScoreShot(-30000, 30000), 0);
    EXPECT_DOUBLE_EQ(Face(kBoarRight).ScoreShot(0, -219), 1);  // 216 + 3.29
    EXPECT_DOUBLE_EQ(Face(kBoarRight).ScoreShot(0, -220), 0);
}

TEST_F(Scoring, MooseInnerFive) {
    const TargetDescriptor& moose = Face(kMoose5);
    ASSERT_NEAR(moose.BulletRadius(), 2.7432, 1e-9);
    EXPECT_DOUBLE_EQ(moose.ScoreShot(50, 0), 5.1);
    EXPECT_DOUBLE_EQ(moose.ScoreShot(30, 40), 5.1);
    EXPECT_DOUBLE_EQ(moose.ScoreShot(51, 0), 5);
    EXPECT_EQ(ScoreText(moose, moose.ScoreShot(50, 0)), " 5'");
    EXPECT_EQ(ScoreText(moose, moose.ScoreShot(51, 0)), " 5");
    EXPECT_DOUBLE_EQ(moose.ScoreShot(0, 146), 3);
    EXPECT_DOUBLE_EQ(moose.ScoreShot(0, 147), 0);
}

TEST_F(Scoring, BiathlonPlateHitsOnlyInItsZone) {
    const TargetDescriptor& prone = Face(kBiathlonProne);
    ASSERT_DOUBLE_EQ(prone.BulletRadius(), 6);  // 5.6 × 120 / 112
    EXPECT_DOUBLE_EQ(prone.ScoreShot(55, 0), 1);  // the bullet's edge touches the zone
    EXPECT_DOUBLE_EQ(prone.ScoreShot(56, 0), 0);  // on the black plate: no hit
    EXPECT_DOUBLE_EQ(prone.ScoreShot(0, 200), 0);
    EXPECT_DOUBLE_EQ(Face(32).ScoreShot(0, 126), 1);
    EXPECT_DOUBLE_EQ(Face(32).ScoreShot(0, 127), 0);
}

TEST_F(Scoring, RingValuesRepeatedAndZero) {
    TargetDescriptor face;
    face.Define(0, 9000, KindRing, 50, 100, 100, 100, WeaponClass::Rifle, 2.0);  // bullet radius 2
    face.AddRing(0, 100, 0, nullptr);
    face.AddRing(4, 80, 0, nullptr);
    face.AddRing(4, 60, 0, nullptr);  // a second 4: its band runs to the next other value
    face.AddRing(7, 20, 0, nullptr);
    EXPECT_DOUBLE_EQ(face.ScoreShot(82, 0), 4);
    EXPECT_DOUBLE_EQ(face.ScoreShot(23, 0), 4);
    EXPECT_DOUBLE_EQ(face.ScoreShot(22, 0), 7);
    EXPECT_DOUBLE_EQ(face.ScoreShot(83, 0), 0);
    // a face without rings and without zone map scores nothing
    TargetDescriptor empty;
    EXPECT_DOUBLE_EQ(empty.ScoreShot(0, 0), 0);
}

// The test zone map 9101 is 41 × 31 pixels; pixel (col, row) has palette index (col + 2 row) mod
// 16: the twelve zone colours, then white, black and two colours one step off a zone colour.
double ExpectedZoneScore(int x, int y) {
    const int col = x * 500 / 1694 + 41 / 2;
    const int row = 31 / 2 - y * 500 / 1694;
    if (col < 0 || col >= 41 || row < 0 || row >= 31) return 0;
    static const double kScores[16] = {1, 2, 3, 4, 5, 5.1, 6, 7, 8, 9, 10, 10.1, 0, 0, 0, 0};
    return kScores[(col + 2 * row) % 16];
}

TEST(ZoneMap, ScoresEveryPixelByItsColour) {
    for (int map : {9101, 9103}) {  // 16 colours, and the same map in 24 bits
        TargetDescriptor face;
        face.Define(0, 9100, KindField, 300, 80, 125, 100, WeaponClass::Rifle, 7.62);
        face.SetBitmaps(0, map);
        ASSERT_NE(face.ZoneMap(), nullptr) << map;
        EXPECT_EQ(face.Picture(), nullptr);
        for (int y = -80; y <= 80; y += 3)
            for (int x = -100; x <= 100; x += 2)
                ASSERT_DOUBLE_EQ(face.ScoreShot(x, y), ExpectedZoneScore(x, y)) << map << " " << x << "," << y;
    }
}

TEST(ZoneMap, PixelAddressTruncatesTowardZero) {
    TargetDescriptor face;
    face.Define(0, 9100, KindField, 300, 80, 125, 100, WeaponClass::Rifle, 7.62);
    face.SetBitmaps(0, 9101);
    // ±3 units are 0 pixels from the middle (col 20, row 15: index 50 mod 16 = 2, blue);
    // -4 units are -1 pixel (col 19: index 1, magenta)
    EXPECT_DOUBLE_EQ(face.ScoreShot(3, 0), 3);
    EXPECT_DOUBLE_EQ(face.ScoreShot(-3, 0), 3);
    EXPECT_DOUBLE_EQ(face.ScoreShot(-4, 0), 2);
    EXPECT_DOUBLE_EQ(face.ScoreShot(0, 4), 1);  // row 14: index 48 mod 16 = 0, cyan
    // the last column is 71 units right of the middle; 72 is off the map
    EXPECT_DOUBLE_EQ(face.ScoreShot(71, 0), ExpectedZoneScore(71, 0));
    EXPECT_NE(ExpectedZoneScore(71, 0), 0);
    EXPECT_DOUBLE_EQ(face.ScoreShot(72, 0), 0);
    EXPECT_DOUBLE_EQ(face.ScoreShot(0, -54), ExpectedZoneScore(0, -54));  // bottom row
    EXPECT_DOUBLE_EQ(face.ScoreShot(0, -55), 0);
    EXPECT_DOUBLE_EQ(face.ScoreShot(2000000000, -2000000000), 0);
}

TEST(ZoneMap, RingsComeFirst) {
    TargetDescriptor face;
    face.Define(0, 9100, KindField, 300, 80, 125, 100, WeaponClass::Rifle, 7.62);  // bullet radius 4
    face.AddRing(5, 20, 0, nullptr);
    face.SetBitmaps(0, 9101);
    EXPECT_DOUBLE_EQ(face.ScoreShot(-4, 0), 5);
    EXPECT_DOUBLE_EQ(face.ScoreShot(24, 0), 5);
    EXPECT_DOUBLE_EQ(face.ScoreShot(25, 0), ExpectedZoneScore(25, 0));
    EXPECT_DOUBLE_EQ(face.ScoreShot(-25, 0), ExpectedZoneScore(-25, 0));
}

TEST(ZoneMap, ColourTable) {
    EXPECT_DOUBLE_EQ(ZoneColourScore(qRgb(128, 0, 128)), 5.1);
    EXPECT_DOUBLE_EQ(ZoneColourScore(qRgb(0, 0, 128)), 10.1);
    EXPECT_DOUBLE_EQ(ZoneColourScore(qRgb(128, 128, 0)), 10);
    EXPECT_DOUBLE_EQ(ZoneColourScore(qRgb(192, 192, 192)), 8);
    EXPECT_DOUBLE_EQ(ZoneColourScore(qRgb(255, 255, 255)), 0);
    EXPECT_DOUBLE_EQ(ZoneColourScore(qRgb(0, 0, 0)), 0);
    EXPECT_DOUBLE_EQ(ZoneColourScore(qRgb(0, 255, 254)), 0);
    EXPECT_DOUBLE_EQ(ZoneColourScore(qRgba(0, 255, 255, 0)), 1);  // alpha plays no part
}

TEST_F(Scoring, ScoreTexts) {
    const TargetDescriptor& field = Face(24);  // B45
    EXPECT_EQ(ScoreText(field, 5), "1/ 5");
    EXPECT_EQ(ScoreText(field, 10.1), "1/10'");
    EXPECT_EQ(ScoreText(field, 0), "0/ 0");
    EXPECT_EQ(ScoreText(field, 5.1), "1/ 5'");
    EXPECT_EQ(TotalText(field, TotalPart(field, 10.1) + TotalPart(field, 5)), "15");

    const TargetDescriptor& decimal = Face(kRifle50Finale);
    EXPECT_EQ(ScoreText(decimal, decimal.ScoreShot(44, 0)), "10.3");
    EXPECT_EQ(ScoreText(decimal, decimal.ScoreShot(128, 0)), "9.0");
    EXPECT_EQ(ScoreText(decimal, 0), "0.0");
    EXPECT_EQ(TotalText(decimal, TotalPart(decimal, 10.4) + TotalPart(decimal, 9.8)), "20.2");

    const TargetDescriptor& ring = Face(kRifle50);
    EXPECT_EQ(ScoreText(ring, 10.1), "10'");
    EXPECT_EQ(ScoreText(ring, 9), " 9");
    EXPECT_EQ(ScoreText(ring, 0), " 0");
    EXPECT_EQ(TotalText(ring, TotalPart(ring, 10.1) + TotalPart(ring, 9)), "19");
    double total = 0;
    for (int i = 0; i < 20; ++i) total += TotalPart(ring, 10.1);
    EXPECT_EQ(TotalText(ring, total), "200");
}

// Qt sets the C locale from the system's at start-up: on a German system printf writes "10,5".
TEST_F(Scoring, TextsHaveAPointUnderAGermanLocale) {
    test::GermanNumericLocale german;
    ASSERT_TRUE(german.active()) << german.problem();
    char probe[16];
    std::snprintf(probe, sizeof probe, "%3.1f", 10.5);
    ASSERT_STREQ(probe, "10,5");  // what the texts must not follow

    const TargetDescriptor& decimal = Face(kRifle50Finale);
    EXPECT_EQ(ScoreText(decimal, decimal.ScoreShot(44, 0)), "10.3");
    EXPECT_EQ(ScoreText(decimal, 9.0), "9.0");
    EXPECT_EQ(TotalText(decimal, TotalPart(decimal, 10.4) + TotalPart(decimal, 9.8)), "20.2");
    EXPECT_EQ(TotalText(Face(kRifle50), 19), "19");
    EXPECT_EQ(ScoreText(Face(24), 10.1), "1/10'");
    EXPECT_EQ(ShotTimeText(75400), "1.15");
    EXPECT_EQ(FixedText(-0.12, 0, 2), "-0.12");
    EXPECT_EQ(FixedText(3.14159, 6, 2), "  3.14");
    EXPECT_EQ(FixedText(1234567.0, 2, 0), "1234567");
}

TEST_F(Scoring, FixedTextRoundsAsPrintfDoesInTheCLocale) {
    ASSERT_STREQ(std::localeconv()->decimal_point, ".");  // the test's own locale, C or C.UTF-8
    char expected[64];
    for (int k = -3000; k <= 3000; ++k) {
        // every hundredth and the halves between them, where rounding decides
        for (double v : {k / 100.0, k / 100.0 + 0.005, k / 20.0, k * 0.1}) {
            std::snprintf(expected, sizeof expected, "%3.1f", v);
            ASSERT_EQ(FixedText(v, 3, 1), expected) << v;
            std::snprintf(expected, sizeof expected, "%2.0f", v);
            ASSERT_EQ(FixedText(v, 2, 0), expected) << v;
            std::snprintf(expected, sizeof expected, "%.2f", v);
            ASSERT_EQ(FixedText(v, 0, 2), expected) << v;
        }
    }
    // The digits put together from integers for up to three decimals, against printf over values
    // of every size (a fixed sequence), small negative ones ("-0.00"), and past the quick range.
    std::uint64_t seed = 12345;
    for (int k = 0; k < 200000; ++k) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        const double magnitude = std::pow(10.0, double(seed >> 60) - 5);  // 1e-5 .. 1e10
        const double v = (double(seed >> 11 & 0xfffff) / 0x100000 - 0.5) * magnitude;
        const int decimals = int(seed >> 8 & 3);
        std::snprintf(expected, sizeof expected, "%.*f", decimals, v);
        ASSERT_EQ(FixedText(v, 0, decimals), expected) << v << " " << decimals;
    }
    for (double v : {-0.0, -0.001, -0.004, -0.5, 0.125, 2.675, 1e9, -1e9 - 0.5, 1e300})
        for (int decimals = 0; decimals <= 3; ++decimals) {
            std::vector<char> text(400);
            std::snprintf(text.data(), text.size(), "%.*f", decimals, v);
            ASSERT_EQ(FixedText(v, 0, decimals), text.data()) << v << " " << decimals;
        }
}

TEST(ShotTexts, ClockPositionsAndTimes) {
    EXPECT_EQ(ClockHour(0), 12);
    EXPECT_EQ(ClockHour(14), 12);
    EXPECT_EQ(ClockHour(15), 1);
    EXPECT_EQ(ClockHour(359), 12);
    EXPECT_EQ(ClockHour(90), 3);
    EXPECT_EQ(ClockHour(-1), 12);  // the bearing of (0, 0)
    EXPECT_EQ(ShotTimeText(75400), "1.15");
    EXPECT_EQ(ShotTimeText(999), "0.00");
    EXPECT_EQ(ShotTimeText(-1600), "0.00");  // before the start: never "0.-1"
    EXPECT_EQ(ShotTimeText(3600000), "60.00");
}

}  // namespace
}  // namespace zark
