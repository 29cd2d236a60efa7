#include "targets/scoretext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "targets/targetdescriptor.h"

namespace zark {
namespace {

// The fraction a score carries beyond this marks an inner ring on faces without decimals.
constexpr double kInnerMark = 0.05;

bool IsField(const TargetDescriptor& face) { return (face.Kind() & KindField) != 0; }
bool IsDecimal(const TargetDescriptor& face) { return !IsField(face) && (face.Kind() & KindDecimal) != 0; }

}  // namespace

std::string ScoreText(const TargetDescriptor& face, double score, bool innerRing) {
    const double fraction = std::fmod(score, 1.0);
    const int points = int(score);
    char text[64];
    if (IsField(face))
        std::snprintf(text, sizeof text, fraction > kInnerMark ? "%d/%2d'" : "%d/%2d", points > 0 ? 1 : 0, points);
    else if (IsDecimal(face))
        return FixedText(score, 3, 1) + (innerRing ? "'" : "");
    else
        std::snprintf(text, sizeof text, fraction > kInnerMark ? "%2d'" : "%2d", points);
    return text;
}

double TotalPart(const TargetDescriptor& face, double score) {
    return IsDecimal(face) ? score : double(int(score));
}

std::string TotalText(const TargetDescriptor& face, double total) {
    return IsDecimal(face) ? FixedText(total, 3, 1) : FixedText(total, 2, 0);
}

std::string FixedText(double value, int width, int decimals) {
    // to_chars with a precision rounds as printf does, and never looks at the locale
    char digits[400];  // the longest double in fixed notation has 309 digits before the point
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed,
                                      std::clamp(decimals, 0, 30));
    std::string text(digits, result.ec == std::errc() ? result.ptr : digits);
    if (int(text.size()) < width) text.insert(0, std::size_t(width) - text.size(), ' ');
    return text;
}

int ClockHour(int bearing) {
    int d = (bearing - 15) % 360;
    if (d < 0) d += 360;
    return d / 30 + 1;
}

std::string ShotTimeText(int timeMs) {
    const int s = timeMs > 0 ? timeMs / 1000 : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d", s / 60, s % 60);  // integers: no locale plays a part
    return text;
}

}  // namespace zark
