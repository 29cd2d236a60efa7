#include "targets/scoretext.h"

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

std::string ScoreText(const TargetDescriptor& face, double score) {
    const double fraction = std::fmod(score, 1.0);
    const int points = int(score);
    char text[64];
    if (IsField(face))
        std::snprintf(text, sizeof text, fraction > kInnerMark ? "%d/%2d'" : "%d/%2d", points > 0 ? 1 : 0, points);
    else if (IsDecimal(face))
        std::snprintf(text, sizeof text, "%3.1f", score);
    else
        std::snprintf(text, sizeof text, fraction > kInnerMark ? "%2d'" : "%2d", points);
    return text;
}

double TotalPart(const TargetDescriptor& face, double score) {
    return IsDecimal(face) ? score : double(int(score));
}

std::string TotalText(const TargetDescriptor& face, double total) {
    char text[64];
    std::snprintf(text, sizeof text, IsDecimal(face) ? "%3.1f" : "%2.0f", total);
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
    std::snprintf(text, sizeof text, "%d.%02d", s / 60, s % 60);
    return text;
}

}  // namespace zark
