#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The text forms in which values are kept in the settings storage. Plain functions, so that every
// reader of stored text can be tested and fuzzed on its own.

namespace zark {

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    // In 64 bits: a stored rectangle may span the whole 32-bit range.
    std::int64_t Width() const { return std::int64_t(right) - left; }
    std::int64_t Height() const { return std::int64_t(bottom) - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A stored text is read into a 1024-byte buffer with its terminating NUL: longer texts cannot be read.
inline constexpr std::size_t kMaxValueBytes = 1023;

// The leading decimal integer of text, as "%d" reads it: leading white space, an optional sign,
// at least one digit. Values beyond the 32-bit range saturate. False leaves out unchanged.
bool ParseLeadingInt(std::string_view text, std::int32_t& out);

// The leading real number of text, as "%lf" reads it (always with "." as the decimal point).
bool ParseLeadingReal(std::string_view text, double& out);

// A stored window placement made fit for an area of areaWidth × areaHeight (the screen's
// available area; a child's rectangle is in the coordinates of its child-window area, whose
// origin is the area's corner): no larger than the area and wholly inside it. Whatever numbers
// were stored, the result is a rectangle a window can take.
Rect FitPlacement(const Rect& stored, int areaWidth, int areaHeight);

// "%d,%d,%d,%d" with an optional ":%s" word after it. Accepted when the four numbers parse;
// word (when given) receives the word, or is cleared when there is none.
bool ParseRect(std::string_view text, Rect& out, std::string* word = nullptr);

std::string FormatInt(std::int64_t value);
std::string FormatReal(double value);  // "%.2lf"
std::string FormatRect(const Rect& rect, std::string_view word = {});

}  // namespace zark
