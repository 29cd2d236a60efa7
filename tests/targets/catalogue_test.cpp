// The catalogue of target faces: its contents, finding faces by identity and by menu command, and
// the descriptor's derived values.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>
#include <string>

#include "support/testsupport.h"
#include "builtcatalogue.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

class Catalogue : public ::testing::Test {
protected:
    static const TargetDescriptor& Face(int index) { return catalogue->Entry(index); }
    static void SetUpTestSuite() { catalogue = &test::BuiltCatalogue(); }
    static inline const TargetCatalogue* catalogue = nullptr;
};

struct Row {
    int identity, nameId, command, kind, weapon;
    double calibre;
    int distance, refRadius, refDiameter, scalePercent;
};

// Transcribed from the table of faces; the 50 m rifle at its rings' 8 units a mm (448 / 112).
const Row kRows[kTargetCount] = {
    {1050, 64, 2109, 0, 1, 7.62, 300, 384, 600, 100}, {1100, 65, 2110, 0, 1, 7.62, 200, 384, 600, 100},
    {1150, 66, 2111, 0, 1, 7.62, 100, 384, 600, 100}, {1200, 67, 2112, 0, 1, 5.6, 50, 448, 112, 100},
    {1350, 68, 2113, 1, 1, 5.6, 50, 448, 112, 100},   {1250, 69, 2114, 0, 3, 4.5, 10, 150, 30, 100},
    {2300, 69, 2126, 4, 3, 4.5, 10, 150, 30, 100},    {1400, 70, 2115, 1, 3, 4.5, 10, 150, 30, 100},
    {5100, 71, 2116, 0, 2, 5.6, 50, 650, 500, 100},   {5050, 72, 2117, 0, 2, 5.6, 25, 650, 500, 100},
    {5150, 73, 2118, 0, 2, 5.6, 25, 650, 500, 100},   {5200, 74, 2119, 0, 4, 4.5, 10, 304, 59, 100},
    {5250, 75, 2120, 1, 4, 4.5, 10, 304, 59, 100},    {2050, 76, 2121, 4, 1, 7.62, 80, 144, 400, 50},
    {2051, 76, 2121, 4, 1, 7.62, 80, 144, 400, 50},   {2100, 77, 2122, 4, 1, 7.62, 80, 172, 500, 50},
    {2101, 77, 2122, 4, 1, 7.62, 80, 172, 500, 50},   {2150, 78, 2123, 4, 1, 7.62, 80, 120, 350, 50},
    {2151, 78, 2123, 4, 1, 7.62, 80, 120, 350, 50},   {2200, 79, 2124, 4, 1, 7.62, 80, 144, 320, 50},
    {2201, 79, 2124, 4, 1, 7.62, 80, 144, 320, 50},   {2250, 80, 2125, 4, 1, 7.62, 80, 216, 500, 50},
    {2251, 80, 2125, 4, 1, 7.62, 80, 216, 500, 50},   {3050, 82, 2127, 2, 1, 7.62, 340, 48, 70, 100},
    {3100, 83, 2128, 2, 1, 7.62, 400, 100, 150, 100}, {3150, 84, 2129, 2, 1, 7.62, 470, 128, 200, 100},
    {3200, 85, 2130, 2, 1, 7.62, 360, 80, 125, 100},  {3250, 86, 2131, 2, 1, 7.62, 360, 80, 125, 100},
    {3300, 87, 2132, 2, 1, 7.62, 340, 96, 150, 100},  {3350, 88, 2133, 2, 1, 7.62, 340, 96, 150, 100},
    {3400, 89, 2134, 2, 1, 7.62, 340, 96, 150, 100},  {4050, 90, 2135, 8, 1, 5.6, 50, 120, 112, 100},
    {4100, 91, 2136, 8, 1, 5.6, 50, 120, 112, 100},
};

// Rings in the notation of the table: value:radius, colour, and "no label" where there is none.
std::string Rings(const TargetDescriptor& face) {
    std::ostringstream out;
    for (int i = 0; i < face.RingCount(); ++i) {
        if (i) out << ", ";
        out << face.RingValue(i) << ':' << face.RingRadius(i) << (face.RingColour(i) == 0xFFFFFF ? " W" : " B");
        if (face.RingColour(i) != 0 && face.RingColour(i) != 0xFFFFFF) out << " colour " << face.RingColour(i);
        if (!face.RingLabel(i)) out << " no label";
    }
    return out.str();
}

const std::string kRifle =
    "1:640 W, 2:576 W, 3:512 W, 4:448 W, 5:384 B, 6:320 B, 7:256 B, 8:192 B, 9:128 B, 10:64 B no label, "
    "10.1:32 B no label";
// The sport's faces have the rulebook's rings (radii to 6 digits here; the rulebook test checks
// them in mm).
const std::string kRifle50 =
    "1:617.6 W, 2:553.6 W, 3:489.6 W, 3:449.6 B no label, 4:425.6 B, 5:361.6 B, 6:297.6 B, 7:233.6 B, "
    "8:169.6 B, 9:105.6 B no label, 10:41.6 B no label, 10.1:20 B no label";
const std::string kAirRifle =
    "1:227.5 W no label, 2:202.5 W no label, 3:177.5 W no label, 4:152.5 B no label, 5:127.5 B no label, "
    "6:102.5 B no label, 7:77.5 B no label, 8:52.5 B no label, 9:27.5 B no label, 10:2.5 B no label";
const std::string kPistol =
    "1:650 W, 2:585 W, 3:520 W, 4:455 W, 5:390 W, 6:325 W, 7:260 B, 8:195 B, 9:130 B, 10:65 B no label, "
    "10.1:32.5 B no label";
const std::string kAirPistol =
    "1:801.22 W, 2:718.78 W, 3:636.339 W, 4:553.898 W, 5:471.458 W, 6:389.017 W, 7:306.576 B, 8:224.136 B, "
    "9:141.695 B no label, 10:59.2542 B no label, 10.1:25.7627 B no label";
const std::string kMoose5 = "3:144 B no label, 4:112 B no label, 5:80 B no label, 5.1:48 B no label";
const std::string kMoose10 =
    "1:172 B no label, 2:156 B no label, 3:140 B no label, 4:124 B no label, 5:108 B no label, "
    "6:92 B no label, 7:76 B no label, 8:60 B no label, 9:44 B no label, 10:28 B no label";
const std::string kDeer = "3:144 B no label, 4:96 B no label, 5:48 B no label";
const std::string kBoar =
    "1:216 B no label, 2:196 B no label, 3:176 B no label, 4:156 B no label, 5:136 B no label, "
    "6:116 B no label, 7:96 B no label, 8:76 B no label, 9:56 B no label, 10:36 B no label";
const std::string kRoebuck = "1:120 B no label, 2:96 B no label, 3:72 B no label, 4:48 B no label, 5:24 B no label";
const std::string kQuarter = "1:96 B";

const std::string kRingsByIndex[kTargetCount] = {
    kRifle, kRifle, kRifle, kRifle50, kRifle50, kAirRifle, kAirRifle, kAirRifle, kPistol, kPistol,
    "5:650 B, 6:546 B, 7:442 B, 8:338 B, 9:234 B, 10:130 B no label, 10.1:65 B no label",
    kAirPistol, kAirPistol, kMoose5, kMoose5, kMoose10, kMoose10, kRoebuck, kRoebuck, kDeer, kDeer, kBoar, kBoar,
    "2:192 B no label, 3:144 B no label, 4:96 B no label, 5:48 B no label", "2:100 B", "3:128 B", "", "",
    kQuarter, kQuarter, kQuarter, "0:120 B no label, 1:49 B no label", "1:120 B no label",
};

TEST_F(Catalogue, EveryFaceAsTheTableGivesIt) {
    for (int i = 0; i < kTargetCount; ++i) {
        const Row& row = kRows[i];
        const TargetDescriptor& face = Face(i);
        SCOPED_TRACE(row.identity);
        EXPECT_EQ(face.Identity(), row.identity);
        EXPECT_EQ(face.NameId(), row.nameId);
        EXPECT_EQ(TargetCatalogue::MenuCommand(i), row.command);
        EXPECT_EQ(face.Kind(), row.kind);
        EXPECT_EQ(int(face.Weapon()), row.weapon);
        EXPECT_DOUBLE_EQ(face.Calibre(), row.calibre);
        EXPECT_EQ(face.Distance(), row.distance);
        EXPECT_EQ(face.RefRadius(), row.refRadius);
        EXPECT_EQ(face.RefDiameter(), row.refDiameter);
        EXPECT_EQ(face.ScalePercent(), row.scalePercent);
        EXPECT_EQ(Rings(face), kRingsByIndex[i]);
    }
    EXPECT_EQ(TargetCatalogue::MenuCommand(-1), 0);
    EXPECT_EQ(TargetCatalogue::MenuCommand(33), 0);
}

TEST_F(Catalogue, RingsAreOrderedAndLabelledWithTheirValue) {
    for (int i = 0; i < kTargetCount; ++i) {
        const TargetDescriptor& face = Face(i);
        const int last = face.RingCount() - 1;
        for (int r = 0; r <= last; ++r) {
            if (r > 0) {
                EXPECT_LT(face.RingRadius(r), face.RingRadius(r - 1)) << i;
            }
            // the last ring's value differs from all others, which scoring relies on
            if (r < last) {
                EXPECT_NE(face.RingValue(r), face.RingValue(last)) << i;
            }
            if (const char* label = face.RingLabel(r)) {
                EXPECT_EQ(std::stoi(label), int(face.RingValue(r)));
            }
        }
        EXPECT_EQ(face.RingRadius(last + 1), 0);
        EXPECT_EQ(face.RingLabel(last + 1), nullptr);
    }
}

TEST_F(Catalogue, AimCentresAndLeads) {
    const TargetDescriptor& air = Face(5);
    EXPECT_EQ(air.CentreCount(), 5);
    EXPECT_EQ(air.AimCentre(0), (TargetPoint{0, 0}));
    EXPECT_EQ(air.AimCentre(7), (TargetPoint{360, -360}));  // 7 mod 5 = 2
    EXPECT_EQ(air.AimCentre(4), (TargetPoint{360, 360}));
    EXPECT_EQ(air.AimCentre(-1), (TargetPoint{360, 360}));  // counted back from the last
    EXPECT_EQ(Face(7).AimCentre(1), (TargetPoint{-360, -360}));
    EXPECT_EQ(Face(6).AimCentre(3), (TargetPoint{-360, 360}));
    for (int biathlon : {31, 32}) {
        EXPECT_EQ(Face(biathlon).CentreCount(), 5);
        EXPECT_EQ(Face(biathlon).AimCentre(0), (TargetPoint{-590, 0}));
        EXPECT_EQ(Face(biathlon).AimCentre(13), (TargetPoint{295, 0}));
    }
    EXPECT_EQ(Face(0).CentreCount(), 1);
    EXPECT_EQ(Face(0).AimCentre(7), (TargetPoint{0, 0}));

    for (int first : {13, 15}) {
        EXPECT_EQ(Face(first).LeadMoving(), (TargetPoint{590, 0}));
        EXPECT_EQ(Face(first).LeadFixed(), (TargetPoint{275, 0}));
        EXPECT_EQ(Face(first).LeadAlternate(0), (TargetPoint{275, 0}));
        EXPECT_EQ(Face(first).LeadAlternate(3), (TargetPoint{590, 0}));
        EXPECT_EQ(Face(first + 1).LeadMoving(), (TargetPoint{-590, 0}));
        EXPECT_EQ(Face(first + 1).LeadFixed(), (TargetPoint{-275, 0}));
        EXPECT_EQ(Face(first + 1).LeadAlternate(4), (TargetPoint{-275, 0}));
        EXPECT_EQ(Face(first + 1).LeadAlternate(-1), (TargetPoint{-590, 0}));
    }
    for (int i = 0; i < kTargetCount; ++i) {
        if (i >= 13 && i <= 16) continue;
        EXPECT_EQ(Face(i).LeadMoving(), TargetPoint{}) << i;
        EXPECT_EQ(Face(i).LeadFixed(), TargetPoint{}) << i;
        EXPECT_EQ(Face(i).LeadAlternate(0), TargetPoint{}) << i;
        EXPECT_EQ(Face(i).LeadAlternate(1), TargetPoint{}) << i;
    }
}

TEST_F(Catalogue, WorkedScalesAndBulletRadii) {
    // the bullet radius at its real value, not whole units
    EXPECT_DOUBLE_EQ(Face(3).BulletRadius(), 22.4);
    EXPECT_DOUBLE_EQ(Face(4).BulletRadius(), 22.4);
    EXPECT_DOUBLE_EQ(Face(5).BulletRadius(), 22.5);
    EXPECT_NEAR(Face(13).BulletRadius(), 2.7432, 1e-9);
    EXPECT_DOUBLE_EQ(Face(5).UnitsPerMm(), 10);
    EXPECT_DOUBLE_EQ(Face(3).UnitsPerMm(), 8);
    EXPECT_EQ(Face(0).DetectorScale(), 5184);
    EXPECT_EQ(Face(3).DetectorScale(), 5400);  // 8 units a mm at 50 m
    EXPECT_EQ(Face(5).DetectorScale(), 1350);
    EXPECT_EQ(Face(9).DetectorScale(), 877);
    EXPECT_EQ(Face(11).DetectorScale(), 1391);
    EXPECT_EQ(Face(13).DetectorScale(), 1555);
    // a face that was never defined has no scale rather than a division by zero
    TargetDescriptor empty;
    EXPECT_EQ(empty.DetectorScale(), 0);
    EXPECT_EQ(empty.BulletRadius(), 0);
    EXPECT_EQ(empty.UnitsPerMm(), 0);
}

TEST(Descriptor, ShotBearing) {
    EXPECT_EQ(TargetDescriptor::ShotBearing(0, 10), 0);
    EXPECT_EQ(TargetDescriptor::ShotBearing(10, 0), 90);
    EXPECT_EQ(TargetDescriptor::ShotBearing(0, -10), 180);
    EXPECT_EQ(TargetDescriptor::ShotBearing(-10, 0), 270);
    EXPECT_EQ(TargetDescriptor::ShotBearing(0, 0), -1);
    EXPECT_EQ(TargetDescriptor::ShotBearing(10, 10), 45);
    EXPECT_EQ(TargetDescriptor::ShotBearing(-10, -10), 225);
    EXPECT_EQ(TargetDescriptor::ShotBearing(-1, 1000), 0);      // -0.06° truncates to 0
    EXPECT_EQ(TargetDescriptor::ShotBearing(-1, -1000), 181);  // -179.94° truncates to -179, then + 360
    EXPECT_EQ(TargetDescriptor::ShotBearing(-1000, 1), 271);
}

TEST(Descriptor, RingsAndCentresHaveLimits) {
    TargetDescriptor face;
    face.Define(76, 2050, KindHunt, 80, 144, 400, 50, WeaponClass::Rifle, 7.62);
    for (int i = 0; i < kMaxRings; ++i) ASSERT_EQ(face.AddRing(20 - i, 400 - 10 * i, 0, "x"), 0);
    EXPECT_EQ(face.AddRing(99, 1, 0xFFFFFF, "99"), -1);
    EXPECT_EQ(face.RingCount(), 20);
    EXPECT_DOUBLE_EQ(face.RingValue(19), 1);
    EXPECT_DOUBLE_EQ(face.RingRadius(19), 210);
    for (int i = 0; i < kMaxAimCentres; ++i) ASSERT_EQ(face.AddAimCentre(i, -i), 0);
    EXPECT_EQ(face.AddAimCentre(99, 99), -1);
    EXPECT_EQ(face.CentreCount(), 10);
    EXPECT_EQ(face.AimCentre(19), (TargetPoint{9, -9}));
    // an absent label reads as none, a long one is cut
    face.Clear();
    EXPECT_EQ(face.RingCount(), 0);
    EXPECT_EQ(face.Identity(), 0);
    EXPECT_EQ(face.CentreCount(), 1);
    face.AddRing(1, 10, 0, nullptr);
    face.AddRing(2, 5, 0, "123456789");
    EXPECT_EQ(face.RingLabel(0), nullptr);
    EXPECT_STREQ(face.RingLabel(1), "1234567");
}

TEST_F(Catalogue, FindByIdentity) {
    test::MessageCapture messages;
    TargetPair pair;
    ASSERT_EQ(catalogue->FindByIdentity(1450, pair), 1);
    EXPECT_EQ(pair.first, &Face(7));
    EXPECT_EQ(pair.second, &Face(7));
    ASSERT_EQ(catalogue->FindByIdentity(2301, pair), 1);
    EXPECT_EQ(pair.first, &Face(6));
    EXPECT_EQ(pair.second, &Face(6));
    for (int identity : {2050, 2051}) {
        ASSERT_EQ(catalogue->FindByIdentity(identity, pair), 1);
        EXPECT_EQ(pair.first, &Face(13));
        EXPECT_EQ(pair.second, &Face(14));
    }
    ASSERT_EQ(catalogue->FindByIdentity(2251, pair), 1);
    EXPECT_EQ(pair.first->Identity(), 2250);
    EXPECT_EQ(pair.second->Identity(), 2251);
    EXPECT_TRUE(messages.shown.empty());

    pair = {&Face(0), nullptr};
    EXPECT_EQ(catalogue->FindByIdentity(1300, pair), 0);
    EXPECT_EQ(pair.first, &Face(0));  // unchanged
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "illegal target identity 514");
    EXPECT_EQ(messages.shown[0].title, "ZARK - Debug");
    EXPECT_EQ(catalogue->FindByIdentity(-1, pair), 0);
    EXPECT_EQ(messages.shown.back().text, "illegal target identity ffffffff");
    EXPECT_EQ(catalogue->FindByIdentity(9999, pair), 0);
    EXPECT_EQ(catalogue->FindByIdentity(0, pair), 0);
    EXPECT_EQ(messages.shown.size(), 4u);
}

TEST_F(Catalogue, EveryIdentityFindsItsOwnFace) {
    for (int i = 0; i < kTargetCount; ++i) {
        TargetPair pair;
        ASSERT_EQ(catalogue->FindByIdentity(Face(i).Identity(), pair), 1);
        const bool animal = (Face(i).Kind() & KindHunt) && i != 6;
        if (animal) {
            EXPECT_TRUE(pair.first == &Face(i) || pair.second == &Face(i)) << i;
            EXPECT_NE(pair.first, pair.second) << i;
            EXPECT_EQ(pair.first->Identity() % 2, 0) << i;
            EXPECT_EQ(pair.second->Identity(), pair.first->Identity() + 1) << i;
        } else {
            EXPECT_EQ(pair.first, &Face(i));
            EXPECT_EQ(pair.second, &Face(i));
        }
    }
}

TEST_F(Catalogue, MenuCommandsGiveTheirPairs) {
    TargetPair pair;
    ASSERT_EQ(catalogue->PairForCommand(2121, pair), 1);
    EXPECT_EQ(pair.first, &Face(13));
    EXPECT_EQ(pair.second, &Face(14));
    ASSERT_EQ(catalogue->PairForCommand(2125, pair), 1);
    EXPECT_EQ(pair.first, &Face(21));
    EXPECT_EQ(pair.second, &Face(22));
    ASSERT_EQ(catalogue->PairForCommand(2126, pair), 1);
    EXPECT_EQ(pair.first, &Face(6));
    EXPECT_EQ(pair.second, &Face(6));
    ASSERT_EQ(catalogue->PairForCommand(2109, pair), 1);
    EXPECT_EQ(pair.first, &Face(0));
    EXPECT_EQ(pair.second, nullptr);
    EXPECT_EQ(catalogue->PairForCommand(2108, pair), 0);
    EXPECT_EQ(catalogue->PairForCommand(2137, pair), 0);

    // every command of the Targets menu selects a face, and opening a file of that face's identity
    // selects the same first face
    std::set<const TargetDescriptor*> firsts;
    for (int command = kFirstTargetCommand; command <= kLastTargetCommand; ++command) {
        ASSERT_EQ(catalogue->PairForCommand(command, pair), 1) << command;
        firsts.insert(pair.first);
        EXPECT_EQ(TargetCatalogue::MenuCommand(catalogue->IndexOf(pair.first)), command);
        TargetPair opened;
        ASSERT_EQ(catalogue->FindByIdentity(pair.first->Identity(), opened), 1);
        EXPECT_EQ(opened.first, pair.first);
        EXPECT_EQ(opened.second, pair.second ? pair.second : pair.first);
    }
    EXPECT_EQ(firsts.size(), 28u);
    EXPECT_EQ(catalogue->IndexOf(nullptr), -1);
}

TEST(Family, ThousandsOfTheIdentity) {
    EXPECT_EQ(TargetFamily(5250), 5000);
    EXPECT_EQ(TargetFamily(2301), 2000);
    EXPECT_EQ(TargetFamily(1050), 1000);
    EXPECT_EQ(TargetFamily(3400), 3000);
    EXPECT_EQ(TargetFamily(4100), 4000);
}

TEST_F(Catalogue, RingFacesHaveNoBitmaps) {
    for (int i : {0, 3, 5, 6, 7, 8, 10, 12, 31, 32}) {
        EXPECT_EQ(Face(i).Picture(), nullptr) << i;
        EXPECT_EQ(Face(i).ZoneMap(), nullptr) << i;
    }
}

}  // namespace
}  // namespace zark
