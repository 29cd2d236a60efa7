#pragma once

#include <QRgb>

namespace zark {

// The 16 colours of a zone map, in the order of its colour table (the classic 16-colour palette).
// A zone's score is the score of its colour; the target scoring reads the same table.
inline constexpr int kZonePaletteSize = 16;
inline constexpr int kZoneWhite = 15;  // index of white: no score, the background of every map

QRgb ZonePaletteColour(int index);

// The palette index of an opaque colour, or -1 when it is not one of the 16.
int ZonePaletteIndex(QRgb colour);

// The score a shot in a zone of this colour gets: 1 cyan, 2 magenta, 3 blue, 4 yellow, 5 green,
// 5.1 purple, 6 red, 7 grey, 8 silver, 9 teal, 10 olive, 10.1 navy; 0 for white and any other colour.
double ZoneScore(QRgb colour);

// True for the colours a zone map may use: white and the twelve that carry a score.
bool IsZoneColour(QRgb colour);

}  // namespace zark
