#pragma once

#include <vector>

namespace zark {

// One target picture of the program's resources and how it is made: drawn from a vector source, or
// the mirror image of another face. A picture may come with a zone map of the same size.
struct PictureSource {
    int id = 0;         // resource id of the picture
    int zoneMapId = 0;  // resource id of its zone map, 0 when there is none
    int width = 0;      // pixels
    int height = 0;
    const char* name = "";           // what it shows
    const char* svg = nullptr;       // file under svg/ it is drawn from, nullptr for a mirrored face
    int mirrorOf = 0;                // the picture this face mirrors left to right, 0 for a drawn one
    int shift = 0;                   // pixels a mirrored face is moved to the right afterwards
    std::vector<double> zoneScores;  // the scores its zone map carries besides 0, lowest first
    // The rings drawn over this picture by the faces that use it, outer radii in target units,
    // and the smallest bullet radius of those faces (the rings' bands reach that much further).
    std::vector<int> ringRadii;
    int bulletRadius = 0;
};

// 500 picture pixels span 1694 target units; the middle of a picture is the aim centre.
inline constexpr int kPicturePixels = 500;
inline constexpr int kPictureUnits = 1694;

// Every picture and zone map, first faces before the faces that mirror them.
const std::vector<PictureSource>& PictureSources();

// The source of picture id, or nullptr.
const PictureSource* FindPictureSource(int id);

}  // namespace zark
