#include "settings/registryforms.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>

namespace zark {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

std::size_t SkipSpace(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    return pos;
}

// Parses an integer at pos (after white space); on success moves pos past it.
bool ParseIntAt(std::string_view text, std::size_t& pos, std::int32_t& out) {
    std::size_t p = SkipSpace(text, pos);
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
        negative = text[p] == '-';
        ++p;
    }
    if (p >= text.size() || text[p] < '0' || text[p] > '9') return false;
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
        if (value <= kLimit) value = value * 10 + (text[p] - '0');
        ++p;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) value = std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) value = std::numeric_limits<std::int32_t>::min();
    out = std::int32_t(value);
    pos = p;
    return true;
}

}  // namespace

bool ParseLeadingInt(std::string_view text, std::int32_t& out) {
    std::size_t pos = 0;
    return ParseIntAt(text, pos, out);
}

bool ParseLeadingReal(std::string_view text, double& out) {
    std::size_t p = SkipSpace(text, 0);
    if (p < text.size() && text[p] == '+') {
        ++p;
        if (p < text.size() && text[p] == '-') return false;
    }
    double value = 0;
    auto [end, ec] = std::from_chars(text.data() + p, text.data() + text.size(), value);
    if (ec != std::errc() && ec != std::errc::result_out_of_range) return false;
    if (end == text.data() + p) return false;
    out = value;
    return true;
}

bool ParseRect(std::string_view text, Rect& out, std::string* word) {
    Rect rect;
    std::int32_t* fields[] = {&rect.left, &rect.top, &rect.right, &rect.bottom};
    std::size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != ',') return false;
            ++pos;
        }
        if (!ParseIntAt(text, pos, *fields[i])) return false;
    }
    out = rect;
    if (word) {
        word->clear();
        if (pos < text.size() && text[pos] == ':') {
            std::size_t start = SkipSpace(text, pos + 1);
            std::size_t end = start;
            while (end < text.size() && !IsSpace(text[end])) ++end;
            word->assign(text.substr(start, end - start));
        }
    }
    return true;
}

std::string FormatInt(std::int64_t value) { return std::to_string(value); }

std::string FormatReal(double value) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (ec != std::errc()) return "0.00";
    return std::string(buffer, end);
}

std::string FormatRect(const Rect& rect, std::string_view word) {
    std::string text = FormatInt(rect.left) + "," + FormatInt(rect.top) + "," + FormatInt(rect.right) + "," +
                       FormatInt(rect.bottom);
    if (!word.empty()) {
        text += ":";
        text += word;
    }
    return text;
}

Rect FitPlacement(const Rect& stored, int areaWidth, int areaHeight) {
    const std::int64_t areaW = std::max(0, areaWidth);
    const std::int64_t areaH = std::max(0, areaHeight);
    const std::int64_t width = std::clamp<std::int64_t>(stored.Width(), 0, areaW);
    const std::int64_t height = std::clamp<std::int64_t>(stored.Height(), 0, areaH);
    const std::int64_t left = std::clamp<std::int64_t>(stored.left, 0, areaW - width);
    const std::int64_t top = std::clamp<std::int64_t>(stored.top, 0, areaH - height);
    return Rect{std::int32_t(left), std::int32_t(top), std::int32_t(left + width), std::int32_t(top + height)};
}

}  // namespace zark
