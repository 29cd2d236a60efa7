#include "targets/targetcatalogue.h"

#include <cstdio>
#include <span>

#include "diag/diagnostics.h"

namespace zark {
namespace {

constexpr int W = 0xFFFFFF;
constexpr int B = 0x000000;

struct RingRow {
    double value;
    double radius;  // target units
    int colour;
    bool labelled;  // the label is the ring's whole value
};

// Rings, outside in. The sport's faces have the rulebook's rings: the radius of every ring is
// half its diameter on the rulebook's card, in the face's units.
//
// 300, 200 and 100 m rifle, 1.28 units a mm: ten 100 mm, inner ten 50 mm, rings 100 mm apart in
// diameter, ring 1 1000 mm, black from the five (600 mm).
constexpr RingRow kRifleRings[] = {
    {1, 640, W, true},  {2, 576, W, true},  {3, 512, W, true},  {4, 448, W, true},
    {5, 384, B, true},  {6, 320, B, true},  {7, 256, B, true},  {8, 192, B, true},
    {9, 128, B, true},  {10, 64, B, false}, {10.1, 32, B, false},
};
// 50 m rifle, 8 units a mm: ten 10.4 mm, inner ten 5 mm, rings 16 mm apart in diameter, ring 1
// 154.4 mm; the black (112.4 mm) reaches 3 mm into the three, whose band it does not split.
constexpr RingRow kRifle50Rings[] = {
    {1, 617.6, W, true}, {2, 553.6, W, true},  {3, 489.6, W, true}, {3, 449.6, B, false},
    {4, 425.6, B, true}, {5, 361.6, B, true},  {6, 297.6, B, true}, {7, 233.6, B, true},
    {8, 169.6, B, true}, {9, 105.6, B, false}, {10, 41.6, B, false}, {10.1, 20, B, false},
};
// 10 m air rifle, 10 units a mm: the ten a 0.5 mm dot, rings 5 mm apart in diameter (ring k has
// radius 0.25 + 2.5 × (10 − k) mm), ring 1 45.5 mm, black from the four (30.5 mm).
constexpr RingRow kAirRifleRings[] = {
    {1, 227.5, W, false}, {2, 202.5, W, false}, {3, 177.5, W, false}, {4, 152.5, B, false},
    {5, 127.5, B, false}, {6, 102.5, B, false}, {7, 77.5, B, false},  {8, 52.5, B, false},
    {9, 27.5, B, false},  {10, 2.5, B, false},
};
// 25 m precision and 50 m pistol, 2.6 units a mm: ten 50 mm, inner ten 25 mm, rings 50 mm apart
// in diameter, ring 1 500 mm, black from the seven (200 mm).
constexpr RingRow kPistolRings[] = {
    {1, 650, W, true},  {2, 585, W, true},  {3, 520, W, true},  {4, 455, W, true},
    {5, 390, W, true},  {6, 325, W, true},  {7, 260, B, true},  {8, 195, B, true},
    {9, 130, B, true},  {10, 65, B, false}, {10.1, 32.5, B, false},
};
// 25 m rapid fire: ten 100 mm, inner ten 50 mm, rings 80 mm apart in diameter, the five 500 mm,
// all black.
constexpr RingRow kPistolFastRings[] = {
    {5, 650, B, true}, {6, 546, B, true},   {7, 442, B, true},   {8, 338, B, true},
    {9, 234, B, true}, {10, 130, B, false}, {10.1, 65, B, false},
};
// 10 m air pistol, 608 / 59 units a mm (the face's scale, which the detector unit is set to): ten
// 11.5 mm, inner ten 5 mm, rings 16 mm apart in diameter (ring k has radius 5.75 + 8 × (10 − k)
// mm), ring 1 155.5 mm, black from the seven (59.5 mm).
constexpr double AirPistolUnits(double mm) { return mm * 608.0 / 59.0; }
constexpr RingRow kAirPistolRings[] = {
    {1, AirPistolUnits(77.75), W, true},  {2, AirPistolUnits(69.75), W, true},
    {3, AirPistolUnits(61.75), W, true},  {4, AirPistolUnits(53.75), W, true},
    {5, AirPistolUnits(45.75), W, true},  {6, AirPistolUnits(37.75), W, true},
    {7, AirPistolUnits(29.75), B, true},  {8, AirPistolUnits(21.75), B, true},
    {9, AirPistolUnits(13.75), B, false}, {10, AirPistolUnits(5.75), B, false},
    {10.1, AirPistolUnits(2.5), B, false},
};
constexpr RingRow kMoose5Rings[] = {{3, 144, B, false}, {4, 112, B, false}, {5, 80, B, false}, {5.1, 48, B, false}};
constexpr RingRow kMoose10Rings[] = {
    {1, 172, B, false}, {2, 156, B, false}, {3, 140, B, false}, {4, 124, B, false}, {5, 108, B, false},
    {6, 92, B, false},  {7, 76, B, false},  {8, 60, B, false},  {9, 44, B, false},  {10, 28, B, false},
};
constexpr RingRow kRoebuckRings[] = {
    {1, 120, B, false}, {2, 96, B, false}, {3, 72, B, false}, {4, 48, B, false}, {5, 24, B, false},
};
constexpr RingRow kDeerRings[] = {{3, 144, B, false}, {4, 96, B, false}, {5, 48, B, false}};
constexpr RingRow kBoarRings[] = {
    {1, 216, B, false}, {2, 196, B, false}, {3, 176, B, false}, {4, 156, B, false}, {5, 136, B, false},
    {6, 116, B, false}, {7, 96, B, false},  {8, 76, B, false},  {9, 56, B, false},  {10, 36, B, false},
};
constexpr RingRow kC35Rings[] = {{2, 192, B, false}, {3, 144, B, false}, {4, 96, B, false}, {5, 48, B, false}};
constexpr RingRow kB45Rings[] = {{2, 100, B, true}};
constexpr RingRow kBarrelRings[] = {{3, 128, B, true}};
constexpr RingRow kQuarterRings[] = {{1, 96, B, true}};
constexpr RingRow kBiathlonProneRings[] = {{0, 120, B, false}, {1, 49, B, false}};
constexpr RingRow kBiathlonStandingRings[] = {{1, 120, B, false}};

constexpr TargetPoint kFiveBullCentres[] = {{0, 0}, {-360, -360}, {360, -360}, {-360, 360}, {360, 360}};
constexpr TargetPoint kPlateCentres[] = {{-590, 0}, {-295, 0}, {0, 0}, {295, 0}, {590, 0}};

enum Lead { NoLead, LeadFirstFace, LeadSecondFace };

struct FaceRow {
    int identity;
    int nameId;
    int command;
    int kind;
    WeaponClass weapon;
    double calibre;
    int distance;
    int refRadius;
    int refDiameter;
    int scalePercent;
    std::span<const RingRow> rings;
    int pictureId;
    int zoneMapId;
    std::span<const TargetPoint> centres;
    Lead lead;
};

constexpr WeaponClass Rifle = WeaponClass::Rifle;
constexpr WeaponClass Pistol = WeaponClass::Pistol;
constexpr WeaponClass AirRifle = WeaponClass::AirRifle;
constexpr WeaponClass AirPistol = WeaponClass::AirPistol;
constexpr std::span<const TargetPoint> kNoCentres;
constexpr std::span<const RingRow> kNoRings;

// The faces in catalogue order; the hunting animals first face, then second face. A face's scale
// is refRadius units to refDiameter / 2 mm (the 50 m rifle's 448 / 112 is its 8 units a mm).
const FaceRow kFaces[kTargetCount] = {
    {1050, 64, 2109, KindRing, Rifle, 7.62, 300, 384, 600, 100, kRifleRings, 0, 0, kNoCentres, NoLead},
    {1100, 65, 2110, KindRing, Rifle, 7.62, 200, 384, 600, 100, kRifleRings, 0, 0, kNoCentres, NoLead},
    {1150, 66, 2111, KindRing, Rifle, 7.62, 100, 384, 600, 100, kRifleRings, 0, 0, kNoCentres, NoLead},
    {1200, 67, 2112, KindRing, Rifle, 5.6, 50, 448, 112, 100, kRifle50Rings, 0, 0, kNoCentres, NoLead},
    {1350, 68, 2113, KindDecimal, Rifle, 5.6, 50, 448, 112, 100, kRifle50Rings, 0, 0, kNoCentres, NoLead},
    {1250, 69, 2114, KindRing, AirRifle, 4.5, 10, 150, 30, 100, kAirRifleRings, 0, 0, kFiveBullCentres, NoLead},
    {2300, 69, 2126, KindHunt, AirRifle, 4.5, 10, 150, 30, 100, kAirRifleRings, 0, 0, kFiveBullCentres, NoLead},
    {1400, 70, 2115, KindDecimal, AirRifle, 4.5, 10, 150, 30, 100, kAirRifleRings, 0, 0, kFiveBullCentres, NoLead},
    {5100, 71, 2116, KindRing, Pistol, 5.6, 50, 650, 500, 100, kPistolRings, 0, 0, kNoCentres, NoLead},
    {5050, 72, 2117, KindRing, Pistol, 5.6, 25, 650, 500, 100, kPistolRings, 0, 0, kNoCentres, NoLead},
    {5150, 73, 2118, KindRing, Pistol, 5.6, 25, 650, 500, 100, kPistolFastRings, 0, 0, kNoCentres, NoLead},
    {5200, 74, 2119, KindRing, AirPistol, 4.5, 10, 304, 59, 100, kAirPistolRings, 0, 0, kNoCentres, NoLead},
    {5250, 75, 2120, KindDecimal, AirPistol, 4.5, 10, 304, 59, 100, kAirPistolRings, 0, 0, kNoCentres, NoLead},
    {2050, 76, 2121, KindHunt, Rifle, 7.62, 80, 144, 400, 50, kMoose5Rings, 1116, 0, kNoCentres, LeadFirstFace},
    {2051, 76, 2121, KindHunt, Rifle, 7.62, 80, 144, 400, 50, kMoose5Rings, 1118, 0, kNoCentres, LeadSecondFace},
    {2100, 77, 2122, KindHunt, Rifle, 7.62, 80, 172, 500, 50, kMoose10Rings, 1116, 0, kNoCentres, LeadFirstFace},
    {2101, 77, 2122, KindHunt, Rifle, 7.62, 80, 172, 500, 50, kMoose10Rings, 1118, 0, kNoCentres, LeadSecondFace},
    {2150, 78, 2123, KindHunt, Rifle, 7.62, 80, 120, 350, 50, kRoebuckRings, 1123, 0, kNoCentres, NoLead},
    {2151, 78, 2123, KindHunt, Rifle, 7.62, 80, 120, 350, 50, kRoebuckRings, 1125, 0, kNoCentres, NoLead},
    {2200, 79, 2124, KindHunt, Rifle, 7.62, 80, 144, 320, 50, kDeerRings, 1127, 1128, kNoCentres, NoLead},
    {2201, 79, 2124, KindHunt, Rifle, 7.62, 80, 144, 320, 50, kDeerRings, 1129, 1130, kNoCentres, NoLead},
    {2250, 80, 2125, KindHunt, Rifle, 7.62, 80, 216, 500, 50, kBoarRings, 1119, 0, kNoCentres, NoLead},
    {2251, 80, 2125, KindHunt, Rifle, 7.62, 80, 216, 500, 50, kBoarRings, 1121, 0, kNoCentres, NoLead},
    {3050, 82, 2127, KindField, Rifle, 7.62, 340, 48, 70, 100, kC35Rings, 1131, 1132, kNoCentres, NoLead},
    {3100, 83, 2128, KindField, Rifle, 7.62, 400, 100, 150, 100, kB45Rings, 1133, 1134, kNoCentres, NoLead},
    {3150, 84, 2129, KindField, Rifle, 7.62, 470, 128, 200, 100, kBarrelRings, 1135, 1136, kNoCentres, NoLead},
    {3200, 85, 2130, KindField, Rifle, 7.62, 360, 80, 125, 100, kNoRings, 1137, 1138, kNoCentres, NoLead},
    {3250, 86, 2131, KindField, Rifle, 7.62, 360, 80, 125, 100, kNoRings, 1139, 1140, kNoCentres, NoLead},
    {3300, 87, 2132, KindField, Rifle, 7.62, 340, 96, 150, 100, kQuarterRings, 1141, 1142, kNoCentres, NoLead},
    {3350, 88, 2133, KindField, Rifle, 7.62, 340, 96, 150, 100, kQuarterRings, 1143, 1144, kNoCentres, NoLead},
    {3400, 89, 2134, KindField, Rifle, 7.62, 340, 96, 150, 100, kQuarterRings, 1145, 1146, kNoCentres, NoLead},
    {4050, 90, 2135, KindBiathlon, Rifle, 5.6, 50, 120, 112, 100, kBiathlonProneRings, 0, 0, kPlateCentres, NoLead},
    {4100, 91, 2136, KindBiathlon, Rifle, 5.6, 50, 120, 112, 100, kBiathlonStandingRings, 0, 0, kPlateCentres, NoLead},
};

// Identities that files may carry besides the faces' own.
struct IdentityAlias {
    int identity;
    int faceIdentity;
};
constexpr IdentityAlias kAliases[] = {{1450, 1400}, {2301, 2300}};

}  // namespace

int TargetFamily(int identity) { return identity / 1000 * 1000; }

void TargetCatalogue::Build() {
    for (int index = 0; index < kTargetCount; ++index) {
        const FaceRow& row = kFaces[index];
        TargetDescriptor& face = entries_[index];
        face.Clear();
        face.Define(row.nameId, row.identity, row.kind, row.distance, row.refRadius, row.refDiameter,
                    row.scalePercent, row.weapon, row.calibre);
        for (const RingRow& ring : row.rings) {
            char label[8] = {};
            if (ring.labelled) std::snprintf(label, sizeof label, "%d", int(ring.value));
            face.AddRing(ring.value, ring.radius, ring.colour, label);
        }
        face.SetBitmaps(row.pictureId, row.zoneMapId);
        // Only the moose lead the target: the second face runs the other way.
        if (row.lead == LeadFirstFace) face.SetLeadOffsets(590, 0, 275, 0, 275, 0, 590, 0);
        if (row.lead == LeadSecondFace) face.SetLeadOffsets(-590, 0, -275, 0, -275, 0, -590, 0);
        for (const TargetPoint& centre : row.centres) face.AddAimCentre(centre.x, centre.y);
    }
}

int TargetCatalogue::FindByIdentity(int identity, TargetPair& pair) const {
    if (FindQuietly(identity, pair)) return 1;
    DebugMessage("illegal target identity %x", unsigned(identity));
    return 0;
}

int TargetCatalogue::FindQuietly(int identity, TargetPair& pair) const {
    int wanted = identity;
    for (const IdentityAlias& alias : kAliases)
        if (alias.identity == identity) wanted = alias.faceIdentity;
    for (int index = 0; index < kTargetCount; ++index) {
        if (kFaces[index].identity != wanted) continue;
        // The two faces of an animal are neighbours with the same command.
        const int command = kFaces[index].command;
        int first = index;
        if (index > 0 && kFaces[index - 1].command == command) first = index - 1;
        const int second = first + 1 < kTargetCount && kFaces[first + 1].command == command ? first + 1 : first;
        pair = {&entries_[first], &entries_[second]};
        return 1;
    }
    return 0;
}

int TargetCatalogue::PairForCommand(int command, TargetPair& pair) const {
    for (int index = 0; index < kTargetCount; ++index) {
        if (kFaces[index].command != command) continue;
        if (index + 1 < kTargetCount && kFaces[index + 1].command == command)
            pair = {&entries_[index], &entries_[index + 1]};
        else if (kFaces[index].kind & KindHunt)  // the hunting air rifle: one face for both ways
            pair = {&entries_[index], &entries_[index]};
        else
            pair = {&entries_[index], nullptr};
        return 1;
    }
    return 0;
}

int TargetCatalogue::MenuCommand(int index) {
    return index >= 0 && index < kTargetCount ? kFaces[index].command : 0;
}

int TargetCatalogue::IndexOf(const TargetDescriptor* face) const {
    for (int index = 0; index < kTargetCount; ++index)
        if (&entries_[index] == face) return index;
    return -1;
}

}  // namespace zark
