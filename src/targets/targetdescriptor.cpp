#include "targets/targetdescriptor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zark {
namespace {

struct ZoneColour {
    QRgb colour;
    double score;
};

// Index 0 is the score of white and of every colour not listed.
constexpr double kZoneScores[] = {0.0, 1, 2, 3, 4, 5, 5.1, 6, 7, 8, 9, 10, 10.1};
constexpr QRgb kZoneColours[] = {
    0,  // unused: index 0 has no colour of its own
    qRgb(0, 255, 255),   qRgb(255, 0, 255),   qRgb(0, 0, 255),     qRgb(255, 255, 0),
    qRgb(0, 255, 0),     qRgb(128, 0, 128),   qRgb(255, 0, 0),     qRgb(128, 128, 128),
    qRgb(192, 192, 192), qRgb(0, 128, 128),   qRgb(128, 128, 0),   qRgb(0, 0, 128),
};
constexpr int kZoneCount = int(std::size(kZoneScores));
static_assert(std::size(kZoneColours) == std::size(kZoneScores));

std::uint8_t ZoneIndex(QRgb colour) {
    const QRgb rgb = colour | 0xFF000000u;
    for (int i = 1; i < kZoneCount; ++i)
        if (kZoneColours[i] == rgb) return std::uint8_t(i);
    return 0;
}

}  // namespace

double ZoneColourScore(QRgb colour) { return kZoneScores[ZoneIndex(colour)]; }

TargetDescriptor::TargetDescriptor() { Clear(); }

void TargetDescriptor::Clear() {
    kind_ = 0;
    scalePercent_ = 0;
    calibre_ = 0;
    leadMoving_ = {};
    leadAlternate_[0] = leadAlternate_[1] = {};
    leadFixed_ = {};
    centreCount_ = 0;
    std::fill(std::begin(centres_), std::end(centres_), TargetPoint{});
    distance_ = 0;
    refDiameter_ = 0;
    std::fill(std::begin(ringColour_), std::end(ringColour_), 0);
    ringCount_ = 0;
    std::memset(ringLabel_, 0, sizeof ringLabel_);
    std::fill(std::begin(ringValue_), std::end(ringValue_), 0.0);
    std::fill(std::begin(ringRadius_), std::end(ringRadius_), 0.0);
    zoneMap_.Init();
    refRadius_ = 0;
    identity_ = 0;
    nameId_ = 0;
    picture_.Init();
    weaponClass_ = WeaponClass::None;
    zoneScores_.clear();
    topZoneScore_ = 0.0;
}

int TargetDescriptor::Define(int nameId, int identity, int kind, int distance, int refRadius, int refDiameter,
                             int scalePercent, WeaponClass weaponClass, double calibre) {
    nameId_ = nameId;
    identity_ = identity;
    kind_ = kind;
    distance_ = distance;
    refRadius_ = refRadius;
    refDiameter_ = refDiameter;
    scalePercent_ = scalePercent;
    weaponClass_ = weaponClass;
    calibre_ = calibre;
    picture_.Prepare();
    zoneMap_.Prepare();
    return 0;
}

int TargetDescriptor::AddRing(double value, double radius, int colour, const char* label) {
    if (ringCount_ >= kMaxRings) return -1;
    const int i = ringCount_++;
    ringValue_[i] = value;
    ringRadius_[i] = radius;
    ringColour_[i] = colour;
    std::memset(ringLabel_[i], 0, sizeof ringLabel_[i]);
    if (label) std::strncpy(ringLabel_[i], label, sizeof ringLabel_[i] - 1);
    return 0;
}

void TargetDescriptor::SetBitmaps(int pictureId, int zoneMapId) {
    picture_.LoadResource(pictureId);
    zoneMap_.LoadResource(zoneMapId);
    BuildZoneScores();
}

void TargetDescriptor::BuildZoneScores() {
    zoneScores_.clear();
    topZoneScore_ = 0.0;
    const QImage& map = zoneMap_.Image();
    if (map.isNull()) return;
    const int width = map.width();
    const int height = map.height();
    zoneScores_.resize(std::size_t(width) * std::size_t(height));
    if (map.format() == QImage::Format_Indexed8) {
        const QList<QRgb> table = map.colorTable();
        std::uint8_t byIndex[256] = {};
        for (qsizetype i = 0; i < table.size() && i < 256; ++i) byIndex[i] = ZoneIndex(table[i]);
        for (int row = 0; row < height; ++row) {
            const uchar* line = map.constScanLine(row);
            for (int col = 0; col < width; ++col) zoneScores_[std::size_t(row) * width + col] = byIndex[line[col]];
        }
    } else {
        for (int row = 0; row < height; ++row)
            for (int col = 0; col < width; ++col)
                zoneScores_[std::size_t(row) * width + col] = ZoneIndex(map.pixel(col, row));
    }
    for (const std::uint8_t index : zoneScores_) topZoneScore_ = std::max(topZoneScore_, kZoneScores[index]);
}

double TargetDescriptor::TopScore() const {
    double top = topZoneScore_;
    for (int i = 0; i < ringCount_; ++i) top = std::max(top, ringValue_[i]);
    return top;
}

int TargetDescriptor::SetLeadOffsets(int movingX, int movingY, int fixedX, int fixedY, int alternate0X,
                                     int alternate0Y, int alternate1X, int alternate1Y) {
    leadMoving_ = {movingX, movingY};
    leadFixed_ = {fixedX, fixedY};
    leadAlternate_[0] = {alternate0X, alternate0Y};
    leadAlternate_[1] = {alternate1X, alternate1Y};
    return 0;
}

int TargetDescriptor::AddAimCentre(int x, int y) {
    if (centreCount_ >= kMaxAimCentres) return -1;
    centres_[centreCount_++] = {x, y};
    return 0;
}

int TargetDescriptor::RingColour(int i) const { return i >= 0 && i < ringCount_ ? ringColour_[i] : 0; }
double TargetDescriptor::RingRadius(int i) const { return i >= 0 && i < ringCount_ ? ringRadius_[i] : 0.0; }

int TargetDescriptor::FullScaleRadius() const {
    constexpr int kNoRings = 800;
    double largest = 0;
    for (int i = 0; i < ringCount_; ++i) largest = std::max(largest, ringRadius_[i]);
    return largest > 0 ? int(std::ceil(largest)) : kNoRings;
}
double TargetDescriptor::RingValue(int i) const { return i >= 0 && i < ringCount_ ? ringValue_[i] : 0.0; }

const char* TargetDescriptor::RingLabel(int i) const {
    if (i < 0 || i >= ringCount_ || ringLabel_[i][0] == '\0') return nullptr;
    return ringLabel_[i];
}

const GdiBitmapHolder* TargetDescriptor::Picture() const { return picture_.HasBitmap() ? &picture_ : nullptr; }
const GdiBitmapHolder* TargetDescriptor::ZoneMap() const { return zoneMap_.HasBitmap() ? &zoneMap_ : nullptr; }

int TargetDescriptor::CentreCount() const { return centreCount_ == 0 ? 1 : centreCount_; }

TargetPoint TargetDescriptor::AimCentre(int k) const {
    if (centreCount_ == 0) return {};
    return centres_[((k % centreCount_) + centreCount_) % centreCount_];
}

double TargetDescriptor::BulletRadius() const {
    return refDiameter_ > 0 ? calibre_ * refRadius_ / refDiameter_ : 0.0;  // calibre / 2 × UnitsPerMm()
}

double TargetDescriptor::UnitsPerMm() const { return refDiameter_ > 0 ? 2.0 * refRadius_ / refDiameter_ : 0.0; }

int TargetDescriptor::DetectorScale() const {
    const std::int64_t divisor = std::int64_t(scalePercent_) * refDiameter_;
    if (divisor == 0) return 0;
    return int(std::int64_t(refRadius_) * distance_ * 2700 / divisor);
}

int TargetDescriptor::ShotBearing(int x, int y) {
    if (x == 0 && y == 0) return -1;
    const int degrees = int(std::atan2(double(x), double(y)) * 57.29579143313326);
    return degrees < 0 ? degrees + 360 : degrees;
}

namespace {

// 10.1 (an inner ten) and 5.1 (an inner five) mark inner rings; whole values are ordinary rings.
bool IsInnerValue(double value) { return value - std::floor(value) > 0.05; }

}  // namespace

double TargetDescriptor::ScoreAt(double x, double y) const {
    const double d = std::sqrt(x * x + y * y);
    const double b = BulletRadius();
    const bool decimal = (kind_ & KindDecimal) != 0;
    // Bands are searched from the inside out, each from the edge of the band inside it (inner) to
    // the edge of its own outermost ring: where two bands meet, the inner one's value stands.
    double inner = 0.0;
    for (int i = ringCount_ - 1; i >= 0; --i) {
        if (decimal && IsInnerValue(ringValue_[i])) continue;          // a mark, not a band
        if (i > 0 && ringValue_[i - 1] == ringValue_[i]) continue;     // the band goes on outwards
        const double outer = b + ringRadius_[i];
        if (d > outer) {
            inner = outer;
            continue;
        }
        double score = ringValue_[i];
        if (decimal) {
            int tenth = 9;  // a band of no width
            if (outer > inner) tenth = std::min(9, int(10.0 * (outer - d) / (outer - inner)));
            score = std::floor(ringValue_[i]) + 0.1 * tenth;
        }
        if (score != 0.0) return score;
        break;  // a ring of value 0 (a biathlon plate outside its hit zone) holds the shot
    }
    if (zoneScores_.empty()) return 0.0;
    const std::int64_t width = zoneMap_.Width();
    const std::int64_t height = zoneMap_.Height();
    // the pixel address truncates toward zero, as integer division of whole units does
    const double colOffset = std::trunc(x * kPicturePixelsPerView / kViewWidthUnits);
    const double rowOffset = std::trunc(y * kPicturePixelsPerView / kViewWidthUnits);
    if (std::abs(colOffset) > double(width) || std::abs(rowOffset) > double(height)) return 0.0;
    const std::int64_t col = std::int64_t(colOffset) + width / 2;
    const std::int64_t row = height / 2 - std::int64_t(rowOffset);
    if (col < 0 || row < 0 || col >= width || row >= height) return 0.0;
    return kZoneScores[zoneScores_[std::size_t(row * width + col)]];
}

bool TargetDescriptor::InInnerRing(double x, double y) const {
    const double d = std::sqrt(x * x + y * y);
    for (int i = 0; i < ringCount_; ++i)
        if (IsInnerValue(ringValue_[i]) && d <= BulletRadius() + ringRadius_[i]) return true;
    return false;
}

}  // namespace zark
