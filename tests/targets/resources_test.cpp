// The program's own target pictures and zone maps, as the catalogue loads them.
#include <gtest/gtest.h>

#include <QFile>

#include <cmath>
#include <numbers>
#include <set>

#include "builtcatalogue.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

class TargetBitmaps : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(BitmapResourcePath(1116))) GTEST_SKIP() << "the target bitmaps are not built in";
    }
    static const TargetDescriptor& Face(int index) { return catalogue->Entry(index); }
    static void SetUpTestSuite() { catalogue = &test::BuiltCatalogue(); }
    static inline const TargetCatalogue* catalogue = nullptr;
};

struct Bitmaps {
    int index;
    int width, height;
    std::set<double> zoneScores;  // empty: no zone map
};

const Bitmaps kBitmaps[] = {
    {13, 496, 334, {}},     {14, 496, 334, {}},        {15, 496, 334, {}},     {16, 496, 334, {}},
    {17, 498, 316, {}},     {18, 498, 316, {}},        {19, 490, 366, {1, 2}}, {20, 490, 366, {1, 2}},
    {21, 490, 218, {}},     {22, 490, 218, {}},        {23, 142, 142, {1}},    {24, 146, 172, {1}},
    {25, 153, 198, {1, 2}}, {26, 231, 88, {1, 2, 3, 4, 5}}, {27, 93, 221, {1, 2, 3, 4, 5}},
    {28, 189, 119, {1}},    {29, 312, 132, {1, 2}},    {30, 312, 132, {1, 2}},
};

TEST_F(TargetBitmaps, PicturesAreMonochromeAtTheirSizes) {
    for (const Bitmaps& b : kBitmaps) {
        const GdiBitmapHolder* picture = Face(b.index).Picture();
        ASSERT_NE(picture, nullptr) << b.index;
        EXPECT_EQ(picture->Width(), b.width) << b.index;
        EXPECT_EQ(picture->Height(), b.height) << b.index;
        EXPECT_EQ(picture->BitsPerPixel(), 1) << b.index;
        for (QRgb colour : picture->Image().colorTable())
            EXPECT_TRUE(colour == qRgb(0, 0, 0) || colour == qRgb(255, 255, 255)) << b.index;
    }
}

TEST_F(TargetBitmaps, ZoneMapsUseExactlyTheirScoresColours) {
    for (const Bitmaps& b : kBitmaps) {
        const GdiBitmapHolder* map = Face(b.index).ZoneMap();
        if (b.zoneScores.empty()) {
            EXPECT_EQ(map, nullptr) << b.index;
            continue;
        }
        ASSERT_NE(map, nullptr) << b.index;
        EXPECT_EQ(map->Width(), b.width) << b.index;
        EXPECT_EQ(map->Height(), b.height) << b.index;
        EXPECT_EQ(map->BitsPerPixel(), 4) << b.index;
        std::set<double> found;
        bool onlyZoneColoursAndWhite = true;
        const QImage& image = map->Image();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb colour = image.pixel(x, y);
                const double score = ZoneColourScore(colour);
                if (score == 0 && colour != qRgb(255, 255, 255)) onlyZoneColoursAndWhite = false;
                if (score != 0) found.insert(score);
            }
        }
        EXPECT_TRUE(onlyZoneColoursAndWhite) << b.index;
        EXPECT_EQ(found, b.zoneScores) << b.index;
    }
}

TEST_F(TargetBitmaps, ZoneMapsSurroundTheRings) {
    // just outside the outer ring, in every direction, the zone map still scores
    for (int index : {19, 20, 23, 24, 25, 28, 29, 30}) {
        const TargetDescriptor& face = Face(index);
        const double r = face.BulletRadius() + face.RingRadius(0) + 3;
        for (int k = 0; k < 16; ++k) {
            const double a = k * std::numbers::pi / 8;
            const int x = int(std::lround(r * std::sin(a)));
            const int y = int(std::lround(r * std::cos(a)));
            EXPECT_GT(face.ScoreShot(x, y), 0) << index << " at " << x << "," << y;
        }
    }
    // the deer's vital zone lies around its rings
    for (int index : {19, 20}) {
        const double r = Face(index).BulletRadius() + 144 + 3;
        for (int k = 0; k < 16; ++k) {
            const double a = k * std::numbers::pi / 8;
            EXPECT_DOUBLE_EQ(Face(index).ScoreShot(int(std::lround(r * std::sin(a))), int(std::lround(r * std::cos(a)))), 2)
                << index << " direction " << k;
        }
    }
}

TEST_F(TargetBitmaps, WorkedScoresOnTheRealFaces) {
    // S25 has no rings: its zone map gives every score, and nothing off the map
    const TargetDescriptor& s25 = Face(26);
    EXPECT_EQ(s25.RingCount(), 0);
    EXPECT_DOUBLE_EQ(s25.ScoreShot(10000, 0), 0);
    EXPECT_DOUBLE_EQ(s25.ScoreShot(0, -10000), 0);
    std::set<double> seen;
    for (int y = -200; y <= 200; y += 4)
        for (int x = -450; x <= 450; x += 4) seen.insert(s25.ScoreShot(x, y));
    EXPECT_EQ(seen, (std::set<double>{0, 1, 2, 3, 4, 5}));
    // the moose's inner five is a ring: the picture does not change it
    EXPECT_DOUBLE_EQ(Face(13).ScoreShot(50, 0), 5.1);
    EXPECT_DOUBLE_EQ(Face(14).ScoreShot(-30, 40), 5.1);
    // the deer's rings come before its zone map
    EXPECT_DOUBLE_EQ(Face(19).ScoreShot(0, 0), 5);
    EXPECT_DOUBLE_EQ(Face(20).ScoreShot(0, 147), 3);
}

TEST_F(TargetBitmaps, RingsOfTheAnimalsLieOnTheAnimal) {
    // picture pixels at the outer ring's radius (500 pixels for 1694 units) around the middle
    for (int index : {13, 14, 15, 16, 17, 18, 19, 20, 21, 22}) {
        const TargetDescriptor& face = Face(index);
        const QImage& picture = face.Picture()->Image();
        const double r = (face.RingRadius(0) + face.BulletRadius()) * 500.0 / 1694;
        int onAnimal = 0;
        for (int k = 0; k < 32; ++k) {
            const double a = k * std::numbers::pi / 16;
            const int x = picture.width() / 2 + int(std::lround(r * std::sin(a)));
            const int y = picture.height() / 2 - int(std::lround(r * std::cos(a)));
            if (picture.pixel(x, y) == qRgb(0, 0, 0)) ++onAnimal;
        }
        EXPECT_EQ(onAnimal, 32) << index;
    }
}

}  // namespace
}  // namespace zark
