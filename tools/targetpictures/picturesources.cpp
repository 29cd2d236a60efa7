#include "picturesources.h"

namespace zark {

namespace {

std::vector<PictureSource> MakeSources() {
    // The two moose faces share one picture: the rings of "Moose 5 Rings" and "Moose 10 Rings".
    const std::vector<int> mooseRings{172, 156, 144, 140, 124, 112, 108, 92, 80, 76, 60, 48, 44, 28};
    const std::vector<int> boarRings{216, 196, 176, 156, 136, 116, 96, 76, 56, 36};
    const std::vector<int> roebuckRings{120, 96, 72, 48, 24};
    const std::vector<int> deerRings{144, 96, 48};
    return {
        {1116, 0, 496, 334, "Moose, running left", "moose.svg", 0, 0, {}, mooseRings, 2},
        {1118, 0, 496, 334, "Moose, running right", nullptr, 1116, 2, {}, mooseRings, 2},
        {1119, 0, 490, 218, "Wild boar, running left", "boar.svg", 0, 0, {}, boarRings, 3},
        {1121, 0, 490, 218, "Wild boar, running right", nullptr, 1119, 0, {}, boarRings, 3},
        {1123, 0, 498, 316, "Roebuck, running left", "roebuck.svg", 0, 0, {}, roebuckRings, 2},
        {1125, 0, 498, 316, "Roebuck, running right", nullptr, 1123, 0, {}, roebuckRings, 2},
        {1127, 1128, 490, 366, "Red deer stag, running left", "deer.svg", 0, 0, {1, 2}, deerRings, 3},
        {1129, 1130, 490, 366, "Red deer stag, running right", nullptr, 1127, 0, {1, 2}, deerRings, 3},
        {1131, 1132, 142, 142, "Field C35", "c35.svg", 0, 0, {1}, {192, 144, 96, 48}, 5},
        {1133, 1134, 146, 172, "Field B45", "b45.svg", 0, 0, {1}, {100}, 5},
        {1135, 1136, 153, 198, "Field Barrel", "barrel.svg", 0, 0, {1, 2}, {128}, 4},
        {1137, 1138, 231, 88, "Field S25 horizontal", "s25h.svg", 0, 0, {1, 2, 3, 4, 5}, {}, 0},
        {1139, 1140, 93, 221, "Field S25 vertical", "s25v.svg", 0, 0, {1, 2, 3, 4, 5}, {}, 0},
        {1141, 1142, 189, 119, "Field 1/4", "quarter.svg", 0, 0, {1}, {96}, 4},
        {1143, 1144, 312, 132, "Field 1/4 left", "quarterleft.svg", 0, 0, {1, 2}, {96}, 4},
        {1145, 1146, 312, 132, "Field 1/4 right", nullptr, 1143, 0, {1, 2}, {96}, 4},
    };
}

}  // namespace

const std::vector<PictureSource>& PictureSources() {
    static const std::vector<PictureSource> sources = MakeSources();
    return sources;
}

const PictureSource* FindPictureSource(int id) {
    for (const PictureSource& source : PictureSources())
        if (source.id == id) return &source;
    return nullptr;
}

}  // namespace zark
