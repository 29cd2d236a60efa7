#pragma once

#include <string>

namespace zark {

struct TargetDescriptor;

// How scores are shown in the shot lists and the printout. Field faces show hits and points
// ("1/ 5"), decimal faces the tenths ("10.4"), the others the points ("10"); an inner ring is
// marked with "'". A decimal score carries no inner ring of its own: innerRing (InInnerRing of the
// shot) adds the mark to it ("10.4'").
std::string ScoreText(const TargetDescriptor& face, double score, bool innerRing = false);
// What a shot adds to a total: the exact score on decimal faces, its points on the others.
double TotalPart(const TargetDescriptor& face, double score);
std::string TotalText(const TargetDescriptor& face, double total);
// The decimals a total is shown with: 1 on decimal faces, none on the others.
int TotalDecimals(const TargetDescriptor& face);

// These texts are written with a point in every language and whatever the C locale (Qt sets it
// from the system's at start-up), as files and exports are.
// The value with decimals digits after the point, right-aligned in width characters: what
// "%<width>.<decimals>f" gives in the C locale.
std::string FixedText(double value, int width, int decimals);
// FixedText without the width, written to text, which has room for kFixedChars characters;
// returns the end. The few decimals of the exports are put together from integers (the value
// rounded once, the same digits), without a string.
inline constexpr int kFixedChars = 400;  // the longest double in fixed notation has 309 digits before the point
char* WriteFixed(char* text, double value, int decimals);
// The clock position (1..12) of a shot's bearing in whole degrees clockwise from 12 o'clock:
// 12 from 345 to 14 degrees, 1 from 15 to 44, and so on.
int ClockHour(int bearing);
// The time of a shot since the start of its series as minutes and seconds, "m.ss" (75,400 ms is
// "1.15"). A time before the start (a negative shot time offset) shows as "0.00".
std::string ShotTimeText(int timeMs);

}  // namespace zark
