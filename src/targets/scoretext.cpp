#include "targets/scoretext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>

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

int TotalDecimals(const TargetDescriptor& face) { return IsDecimal(face) ? 1 : 0; }

std::string TotalText(const TargetDescriptor& face, double total) {
    return FixedText(total, IsDecimal(face) ? 3 : 2, TotalDecimals(face));
}

char* WriteFixed(char* text, double value, int decimals) {
    decimals = std::clamp(decimals, 0, 30);
    constexpr std::int64_t kScale[] = {1, 10, 100, 1000};
    if (decimals < int(std::size(kScale))) {
        // value × 10^decimals is off by at most 1e-7 below 1e9: unless it lies that near half way
        // between two integers, the nearer integer is the one the exact value rounds to
        const double scaled = value * double(kScale[decimals]);
        const double below = std::floor(scaled);
        const double fraction = scaled - below;
        if (std::abs(scaled) < 1e9 && std::abs(fraction - 0.5) > 1e-6) {
            const std::int64_t rounded = std::int64_t(fraction > 0.5 ? below + 1 : below);
            std::uint64_t digits = std::uint64_t(rounded < 0 ? -rounded : rounded);
            if (std::signbit(value)) *text++ = '-';  // as printf: "-0.00" for a small negative value
            char reversed[24];
            int n = 0;
            for (int d = 0; d < decimals; ++d, digits /= 10) reversed[n++] = char('0' + digits % 10);
            if (decimals > 0) reversed[n++] = '.';
            do {
                reversed[n++] = char('0' + digits % 10);
                digits /= 10;
            } while (digits != 0);
            while (n > 0) *text++ = reversed[--n];
            return text;
        }
    }
    // to_chars with a precision rounds as printf does, and never looks at the locale
    const auto result = std::to_chars(text, text + kFixedChars, value, std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? result.ptr : text;
}

std::string FixedText(double value, int width, int decimals) {
    char digits[kFixedChars];
    std::string text(digits, WriteFixed(digits, value, decimals));
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
