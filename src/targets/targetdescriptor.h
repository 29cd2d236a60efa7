#pragma once

#include <QRgb>

#include <cstdint>
#include <vector>

#include "targets/gdibitmapholder.h"

namespace zark {

// Kind of a face, bit flags.
enum TargetKind : int {
    KindRing = 0,
    KindDecimal = 1,   // decimal (finale) scoring: tenths within every ring
    KindField = 2,     // field target, scored as hit and points
    KindHunt = 4,      // hunting target with a left and a right face, moving-range buttons
    KindBiathlon = 8,  // biathlon plates, drawn inverted when hit
};

enum class WeaponClass : int { None = 0, Rifle = 1, Pistol = 2, AirRifle = 3, AirPistol = 4 };

// A point in target units. Lead offsets: x to the right, y upwards from the aim centre. Aim
// centres: x to the right, y downwards from the middle of the card.
struct TargetPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const TargetPoint&, const TargetPoint&) = default;
};

inline constexpr int kMaxRings = 20;
inline constexpr int kMaxAimCentres = 10;
// 500 pixels of a target picture or zone map span this many target units.
inline constexpr int kViewWidthUnits = 1694;
inline constexpr int kPicturePixelsPerView = 500;
// The scoring rule's edition: whatever keeps scores beyond a run of the program (the training
// log's index) records it and scores again when it changes. 2: the decimal tenths divide every
// band into ten equal parts, the ten down to the centre; the bullet radius is not rounded.
inline constexpr int kScoringRule = 2;

// The score a zone-map pixel of this colour gives: cyan 1, magenta 2, blue 3, yellow 4, green 5,
// purple 5.1, red 6, grey 7, silver 8, teal 9, olive 10, navy 10.1; white and every other colour 0.
double ZoneColourScore(QRgb colour);

// One target face: its rings and scale, the calibre that widens the rings, the shooting distance,
// and for hunting and field targets a silhouette picture and a zone map. Built once by the
// catalogue and read-only afterwards; other parts hold plain pointers to it.
//
// Target units: 2 × refRadius / refDiameter of them make a millimetre of the real target. Rings
// are kept from the outside in; the last ring's value differs from every other ring's.
struct TargetDescriptor {
public:
    TargetDescriptor();

    // Building (used while the catalogue is built).
    void Clear();
    int Define(int nameId, int identity, int kind, int distance, int refRadius, int refDiameter,
               int scalePercent, WeaponClass weaponClass, double calibre);
    // Appends a ring; with 20 rings already there returns -1 and changes nothing, else 0. A null
    // label is stored as the empty one. Labels keep at most 7 characters. The radius is in target
    // units and need not be whole: the faces' rings are the rulebook's to the hundredth of a mm.
    int AddRing(double value, double radius, int colour, const char* label);
    // Loads the bitmap resources with these numbers as picture and zone map; 0 means none.
    void SetBitmaps(int pictureId, int zoneMapId);
    int SetLeadOffsets(int movingX, int movingY, int fixedX, int fixedY, int alternate0X, int alternate0Y,
                       int alternate1X, int alternate1Y);
    // Appends an aim centre; with 10 already there returns -1 and changes nothing, else 0.
    int AddAimCentre(int x, int y);

    // Reading.
    int Kind() const { return kind_; }
    int Identity() const { return identity_; }
    int NameId() const { return nameId_; }  // string id of the display name
    WeaponClass Weapon() const { return weaponClass_; }
    int ScalePercent() const { return scalePercent_; }
    double Calibre() const { return calibre_; }
    int Distance() const { return distance_; }
    int RefRadius() const { return refRadius_; }
    int RefDiameter() const { return refDiameter_; }
    int RingCount() const { return ringCount_; }
    // Ring i, 0 for an index outside the rings.
    int RingColour(int i) const;
    double RingRadius(int i) const;
    // The radius the deviation views scale to: the largest ring's (rounded up to whole units), 800
    // units on a face without rings.
    int FullScaleRadius() const;
    double RingValue(int i) const;
    // The label of ring i, or null when it has none.
    const char* RingLabel(int i) const;
    // The holders, or null when they hold no bitmap.
    const GdiBitmapHolder* Picture() const;
    const GdiBitmapHolder* ZoneMap() const;
    // The number of aim centres, 1 when the face has none.
    int CentreCount() const;
    // Centre k mod the number of centres; (0, 0) on a face without centres.
    TargetPoint AimCentre(int k) const;
    TargetPoint LeadMoving() const { return leadMoving_; }
    TargetPoint LeadFixed() const { return leadFixed_; }
    TargetPoint LeadAlternate(int k) const { return leadAlternate_[k & 1]; }

    // calibre / refDiameter × refRadius: how far the bullet's edge reaches beyond its centre.
    double BulletRadius() const;
    // Target units in a millimetre of the real target: 2 × refRadius / refDiameter.
    double UnitsPerMm() const;
    // refRadius × distance × 2700 / (scalePercent × refDiameter): the scale the detector unit is set to.
    int DetectorScale() const;
    // The direction of a shot in degrees, 0 straight up and 90 to the right; -1 for (0, 0).
    static int ShotBearing(int x, int y);
    // The score of a shot at (x, y) target units from the aim centre, y upwards: the whole part
    // is the points; .1 marks an inner ring, on decimal faces the fraction is the tenth. Rings
    // decide first, widened by the bullet radius; a shot no ring holds is scored by the zone map.
    //
    // A ring's band runs from its edge (ring radius + bullet radius) in to the edge of the next
    // ring of another value; consecutive rings of one value make one band. On decimal faces each
    // band is cut into ten equal tenths from the outside in, t = min(9, trunc(10 × (outer − d) /
    // (outer − inner))), and an inner ring does not cut the ring around it: the ten runs down to
    // the centre, and the inner ten is only a mark (InInnerRing).
    double ScoreShot(int x, int y) const { return ScoreAt(x, y); }
    // The same rule at a point given in fractions of a unit: the one place the rule is written.
    double ScoreAt(double x, double y) const;
    // Whether a shot lies within an inner ring (inner ten, inner five), widened by the bullet. On
    // decimal faces this is the inner-ten mark beside the decimal score.
    bool InInnerRing(double x, double y) const;
    // The best score a shot can get on the face: the highest ring value or zone-map score.
    double TopScore() const;

private:
    void BuildZoneScores();

    int kind_ = 0;
    int scalePercent_ = 0;
    double calibre_ = 0;
    TargetPoint leadMoving_;
    TargetPoint leadAlternate_[2];
    TargetPoint leadFixed_;
    int centreCount_ = 0;
    TargetPoint centres_[kMaxAimCentres];
    int distance_ = 0;
    int refDiameter_ = 0;
    int ringColour_[kMaxRings] = {};
    int ringCount_ = 0;
    char ringLabel_[kMaxRings][8] = {};
    double ringValue_[kMaxRings] = {};
    double ringRadius_[kMaxRings] = {};
    GdiBitmapHolder zoneMap_;
    int refRadius_ = 0;
    int identity_ = 0;
    int nameId_ = 0;
    GdiBitmapHolder picture_;
    WeaponClass weaponClass_ = WeaponClass::None;
    // Per zone-map pixel, row by row: the index of its score in the zone colour table.
    std::vector<std::uint8_t> zoneScores_;
    double topZoneScore_ = 0.0;
};

}  // namespace zark
