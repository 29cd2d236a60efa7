#include "zonepalette.h"

#include <array>

namespace zark {

namespace {

struct PaletteEntry {
    QRgb colour;
    double score;
    bool zone;  // may be used in a zone map
};

constexpr std::array<PaletteEntry, kZonePaletteSize> kPalette{{
    {0xFF000000u, 0.0, false},  // black
    {0xFF800000u, 0.0, false},  // maroon
    {0xFF008000u, 0.0, false},  // dark green
    {0xFF808000u, 10.0, true},  // olive
    {0xFF000080u, 10.1, true},  // navy
    {0xFF800080u, 5.1, true},   // purple
    {0xFF008080u, 9.0, true},   // teal
    {0xFFC0C0C0u, 8.0, true},   // silver
    {0xFF808080u, 7.0, true},   // grey
    {0xFFFF0000u, 6.0, true},   // red
    {0xFF00FF00u, 5.0, true},   // green
    {0xFFFFFF00u, 4.0, true},   // yellow
    {0xFF0000FFu, 3.0, true},   // blue
    {0xFFFF00FFu, 2.0, true},   // magenta
    {0xFF00FFFFu, 1.0, true},   // cyan
    {0xFFFFFFFFu, 0.0, true},   // white
}};

}  // namespace

QRgb ZonePaletteColour(int index) {
    return index >= 0 && index < kZonePaletteSize ? kPalette[index].colour : 0xFFFFFFFFu;
}

int ZonePaletteIndex(QRgb colour) {
    if (qAlpha(colour) != 255) return -1;
    for (int i = 0; i < kZonePaletteSize; ++i)
        if (kPalette[i].colour == colour) return i;
    return -1;
}

double ZoneScore(QRgb colour) {
    const int i = ZonePaletteIndex(colour);
    return i < 0 ? 0.0 : kPalette[i].score;
}

bool IsZoneColour(QRgb colour) {
    const int i = ZonePaletteIndex(colour);
    return i >= 0 && kPalette[i].zone;
}

}  // namespace zark
