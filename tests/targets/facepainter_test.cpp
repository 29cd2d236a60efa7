// The painters shared by the target view and the printout: the face (rings, numbers, bulls,
// plates, pictures), the mapping from target units to pixels, the trace and the shot marks.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "builtcatalogue.h"
#include "core/tracestore.h"
#include "targets/render/facepainter.h"
#include "targets/render/tracepainter.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

constexpr int kRifle300 = 0;
constexpr int kRifle50 = 3;
constexpr int kAirRifle = 5;
constexpr int kFieldS25 = 26;
constexpr int kBiathlonProne = 31;

const TargetDescriptor& Face(int index) { return test::BuiltCatalogue().Entry(index); }

QImage Compose(const TargetDescriptor* face, FaceGeometry g, std::bitset<kMaxShots> hits = {}) {
    QImage image(g.width, g.height, QImage::Format_RGB32);
    image.fill(Qt::red);  // anything not drawn stays red
    QPainter painter(&image);
    FaceStyle style;
    style.labelFontHeight = LabelFontHeight(g.zoom, 96);
    style.hits = hits;
    ComposeFace(painter, g, face, style);
    return image;
}

// The painting tests lay the face out across the width of a 462 × 402 area, as the printed page
// does; the view's own mapping (across the smaller side) is FaceMapping.WholeFaceInAnyShape.
FaceGeometry PageGeometry(int zoom) { return FaceGeometry{462, 402, zoom, true}; }

bool Black(const QImage& image, int x, int y) { return (image.pixel(x, y) & 0xFFFFFF) == 0; }
bool White(const QImage& image, int x, int y) { return (image.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF; }

int BlackIn(const QImage& image, const QRect& box) {
    int n = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) n += Black(image, x, y) ? 1 : 0;
    return n;
}

TEST(FaceMapping, UnitsPixelsAndAimCentres) {
    // 462 pixels across at 1:1: the 300 m face's ring 1 (640 units) has a radius of 174 pixels.
    EXPECT_EQ(UnitsToPixels(462, 1, 640), 174);
    EXPECT_EQ(UnitsToPixels(462, 4, 640), 698);
    EXPECT_EQ(UnitsToPixels(462, 1, -640), -174);  // truncated toward zero
    EXPECT_EQ(HundredthsToPixels(500, 96), 19);     // the 5 mm label font at 96 dpi
    EXPECT_EQ(HundredthsToPixels(15, 96), 1);

    const FaceGeometry one = PageGeometry(1);
    const TargetDescriptor& air = Face(kAirRifle);
    // Shot 1 is fired at the upper-left bull, 360 units away in each direction; above 1:1 there is one bull.
    EXPECT_EQ(ToPixel(one, &air, {}, 0, 0, 0, false), QPoint(231, 201));
    EXPECT_EQ(ToPixel(one, &air, {}, 0, 0, 1, false), QPoint(231 - 98, 201 - 98));
    EXPECT_EQ(ToPixel(one, &air, {}, 0, 0, 6, false), QPoint(231 - 98, 201 - 98));  // centres repeat
    EXPECT_EQ(ToPixel(PageGeometry(2), &air, {}, 0, 0, 1, false), QPoint(231, 201));
    // y grows upwards on the target, downwards on the screen; clamping keeps a point in the view.
    EXPECT_EQ(ToPixel(one, &Face(kRifle300), {}, 64, 64, 0, false), QPoint(231 + 17, 201 - 17));
    EXPECT_EQ(ToPixel(one, &Face(kRifle300), {}, 5000, -5000, 0, true), QPoint(462, 402));
    // Centring shifts every point with a position, one on an axis too; (0, 0) is none.
    const Centring centred{true, 100, 100};
    EXPECT_EQ(ToPixel(one, &Face(kRifle300), centred, 10, 10, 0, false), QPoint(231 + 30, 201 - 30));
    EXPECT_EQ(ToPixel(one, &Face(kRifle300), centred, 0, 10, 0, false),
              ToPixel(one, &Face(kRifle300), {}, 100, 110, 0, false));
    EXPECT_EQ(ToPixel(one, &Face(kRifle300), centred, 0, 0, 0, false), QPoint(231, 201));
}

TEST(FaceMapping, WholeFaceInAnyShape) {
    // A view spreads the units across the smaller of its sides: on a wide screen as in a tall window
    // every ring of every face, around every aim centre, lies inside it at 1:1.
    EXPECT_EQ(FaceSpan(FaceGeometry{1600, 900, 1}), 900);
    EXPECT_EQ(FaceSpan(FaceGeometry{462, 700, 1}), 462);  // taller than wide: as before
    EXPECT_EQ(FaceSpan(FaceGeometry{1600, 900, 1, true}), 1600);
    for (const QSize size : {QSize(1600, 900), QSize(900, 1600), QSize(1024, 520)}) {
        const FaceGeometry g{size.width(), size.height(), 1};
        for (int i = 0; i < TargetCatalogue::Count(); ++i) {
            const TargetDescriptor& face = Face(i);
            if (face.RingCount() == 0) continue;
            const int r = UnitsToPixels(g, face.RingRadius(0));
            for (int k = 0; k < face.CentreCount(); ++k) {
                const QPoint c = ToPixel(g, &face, {}, 0, 0, k, false);
                EXPECT_TRUE(QRect(0, 0, g.width + 1, g.height + 1).contains(QRect(c.x() - r, c.y() - r, 2 * r, 2 * r)))
                    << "face " << i << " centre " << k << " in " << g.width << "x" << g.height;
            }
        }
    }
    // The composed face follows the same mapping: the 50 m card's ring 1 at the top of a wide view.
    const FaceGeometry wide{800, 400, 1};
    const QImage image = Compose(&Face(kRifle50), wide);
    const int top = 200 - UnitsToPixels(wide, Face(kRifle50).RingRadius(0));
    EXPECT_TRUE(Black(image, 400, top) || Black(image, 400, top + 1));
    EXPECT_TRUE(White(image, 400, top - 3));
}

TEST(FaceComposition, RifleRingsAtOneAndFourToOne) {
    const QImage one = Compose(&Face(kRifle300), PageGeometry(1));
    // Ring 1: a white disc outlined in black at 174 pixels; outside it the white of the buffer.
    EXPECT_TRUE(Black(one, 231 + 174, 201));
    EXPECT_TRUE(White(one, 231 + 170, 201));
    EXPECT_TRUE(White(one, 231 + 178, 201));
    EXPECT_TRUE(Black(one, 231, 201 - 174));
    // Ring 5 (384 units, 104 pixels) begins the black; its outline is white.
    EXPECT_TRUE(Black(one, 231 + 70, 201 + 70));
    EXPECT_TRUE(White(one, 231 + 104, 201 + 30) || White(one, 231 + 100, 201 + 30));
    // Only black and white.
    for (int y = 0; y < one.height(); y += 7)
        for (int x = 0; x < one.width(); x += 7) ASSERT_TRUE(Black(one, x, y) || White(one, x, y)) << x << "," << y;

    const QImage four = Compose(&Face(kRifle300), PageGeometry(4));
    // At 4:1 ring 1 lies outside the view (698 pixels); the black of ring 5 (417) fills it.
    EXPECT_EQ(UnitsToPixels(462, 4, 384), 418);
    EXPECT_TRUE(Black(four, 5, 201 + 20));
    EXPECT_TRUE(Black(four, 456, 201 + 20));
    const int nine = 231 + UnitsToPixels(462, 4, 128);  // ring 9's white outline
    EXPECT_TRUE(White(four, nine, 201 + 1) || White(four, nine - 1, 201 + 1));
    EXPECT_TRUE(Black(four, nine - 5, 201 + 1));
}

TEST(FaceComposition, RingNumbersOnlyWhereLabelled) {
    // 50 m rifle: ring 1's band (618..554 units) carries "1" at 586 units right of the centre.
    const QImage image = Compose(&Face(kRifle50), PageGeometry(1));
    const int m = UnitsToPixels(462, 1, 586);
    EXPECT_GT(BlackIn(image, QRect(231 + m - 6, 201 - 8, 12, 16)), 5);
    // The 9 ring (106) and the ten (42) have none: no white text in the black band of the 9.
    const int nine = UnitsToPixels(462, 1, (106 + 42) / 2 + 21);
    int whiteInNine = 0;
    for (int dx = -2; dx <= 2; ++dx)
        for (int dy = -3; dy <= 3; ++dy) whiteInNine += White(image, 231 + nine + dx, 201 + dy) ? 1 : 0;
    EXPECT_EQ(whiteInNine, 0);
    // The 8 is labelled: white digits in the black band between 170 and 106.
    const int eight = UnitsToPixels(462, 1, 106 + (170 - 106) / 2);
    int whiteInEight = 0;
    for (int dx = -5; dx <= 5; ++dx)
        for (int dy = -7; dy <= 7; ++dy) whiteInEight += White(image, 231 + eight + dx, 201 + dy) ? 1 : 0;
    EXPECT_GT(whiteInEight, 5);
}

TEST(FaceComposition, FiveBullsAtOneToOneAndOneAtTwoToOne) {
    const TargetDescriptor& air = Face(kAirRifle);
    const QImage one = Compose(&air, PageGeometry(1));
    const int off = UnitsToPixels(462, 1, 360);
    // Each bull's black (inside ring 4 at 40 pixels) sits on its centre: the middle and the four diagonals.
    for (const QPoint c : {QPoint(231, 201), QPoint(231 - off, 201 - off), QPoint(231 + off, 201 - off),
                           QPoint(231 - off, 201 + off), QPoint(231 + off, 201 + off)}) {
        EXPECT_TRUE(Black(one, c.x() + 10, c.y())) << c.x() << "," << c.y();
        EXPECT_TRUE(White(one, c.x() + UnitsToPixels(462, 1, 200) - 2, c.y())) << c.x() << "," << c.y();
    }
    const QImage two = Compose(&air, PageGeometry(2));
    EXPECT_TRUE(Black(two, 231 + 10, 201));
    EXPECT_TRUE(White(two, 231 + 2 * off, 201 + 2 * off));
    EXPECT_TRUE(White(two, 5, 5));
}

TEST(FaceComposition, BiathlonPlateTurnsWhiteWhenHit) {
    const TargetDescriptor& prone = Face(kBiathlonProne);
    const FaceGeometry g = PageGeometry(1);
    std::bitset<kMaxShots> hits;
    hits[2] = true;  // shot 3 hit the third plate
    const QImage before = Compose(&prone, g);
    const QImage after = Compose(&prone, g, hits);
    for (int k = 0; k < 5; ++k) {
        const int x = 231 + UnitsToPixels(462, 1, prone.AimCentre(k).x) + 20;
        EXPECT_TRUE(Black(before, x, 201)) << k;
        if (k == 2) {
            EXPECT_TRUE(White(after, x, 201));
            // the hit zone is outlined in black on the white plate
            EXPECT_TRUE(Black(after, 231 + UnitsToPixels(462, 1, 49), 201));
        } else {
            EXPECT_TRUE(Black(after, x, 201)) << k;
        }
    }
}

TEST(FaceComposition, FaceWithoutRingsShowsOnlyItsPicture) {
    const TargetDescriptor& s25 = Face(kFieldS25);
    ASSERT_EQ(s25.RingCount(), 0);
    ASSERT_NE(s25.Picture(), nullptr);
    const FaceGeometry g = PageGeometry(1);
    const QImage image = Compose(&s25, g);
    // The picture alone, stretched from its 500-pixel scale and centred.
    QImage expected(462, 402, QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        const int w = s25.Picture()->Width() * 462 / 500;
        const int h = s25.Picture()->Height() * 462 / 500;
        painter.drawImage(QRect((462 - w) / 2, (402 - h) / 2, w, h), s25.Picture()->Image());
    }
    EXPECT_EQ(image, expected);
    EXPECT_GT(BlackIn(image, QRect(0, 0, 462, 402)), 100);
    // Without a face only white.
    EXPECT_EQ(BlackIn(Compose(nullptr, g), QRect(0, 0, 462, 402)), 0);
}

class TracePainting : public ::testing::Test {
protected:
    QImage Draw(int first, int end, int zoom = 1) {
        QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        TraceStyle style;
        style.geometry = {200, 200, zoom};
        style.face = &Face(kRifle300);
        style.beforeShot = Qt::cyan;
        style.afterShot = Qt::green;
        style.afterShotSamples = 4;
        DrawTrace(painter, store, style, first, end);
        return image;
    }
    QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
    TraceStore store;
};

TEST_F(TracePainting, ColoursSwitchAtTheShotAndGapsBreakTheLine) {
    // Along y = 0 from x = -600 to the shot at x = 0, then on to x = +600; 1 unit ≈ 0.118 pixels.
    for (int x = -600; x < 0; x += 50) store.AppendSample(x, 1);
    store.AppendShot(1, 1, 0);  // at the centre
    for (int x = 50; x <= 600; x += 50) store.AppendSample(x, 1);
    const QImage image = Draw(0, store.SampleCount());
    EXPECT_EQ(At(image, 100 - 40, 100), 0x00FFFFu);  // before the shot: cyan
    EXPECT_EQ(At(image, 100 + 12, 100), 0x00FF00u);  // the four samples after: green
    EXPECT_EQ(At(image, 100 + 60, 100), 0x00FFFFu);  // then cyan again

    // A gap: no line across it.
    store.Clear();
    store.AppendSample(-600, 1);
    store.AppendSample(-300, 1);
    store.AppendSample(0, 0);
    store.AppendSample(300, 1);
    store.AppendSample(600, 1);
    const QImage gapped = Draw(0, store.SampleCount());
    EXPECT_EQ(qAlpha(gapped.pixel(50, 100)), 255);
    EXPECT_EQ(qAlpha(gapped.pixel(100, 100)), 0);
    EXPECT_EQ(qAlpha(gapped.pixel(150, 100)), 255);
    // Drawn in pieces, the trace is the same as drawn in one go; at 3:1 it is 3 pixels wide.
    QImage pieces(200, 200, QImage::Format_ARGB32_Premultiplied);
    pieces.fill(Qt::transparent);
    {
        QPainter painter(&pieces);
        TraceStyle style;
        style.geometry = {200, 200, 1};
        style.face = &Face(kRifle300);
        style.beforeShot = Qt::cyan;
        style.afterShot = Qt::green;
        TraceCursor cursor;
        cursor.Reset(0);
        for (int end = 1; end <= store.SampleCount(); ++end) cursor.DrawUpTo(painter, store, style, end);
    }
    EXPECT_EQ(pieces, gapped);
    store.Clear();
    store.AppendSample(-100, 1);
    store.AppendSample(100, 1);
    const QImage wide = Draw(0, 2, 3);
    int thick = 0;
    for (int y = 90; y < 110; ++y) thick += qAlpha(wide.pixel(100, y)) == 255 ? 1 : 0;
    EXPECT_EQ(thick, 3);
}

TEST(PrintedFace, FramedWithItsMarksAtTheirPlaces) {
    const FaceGeometry g = PageGeometry(1);
    QImage page(462, 402, QImage::Format_RGB32);
    page.fill(Qt::red);
    const PrintedMark marks[] = {{QRect(100, 120, 9, 9), 4, false}, {QRect(300, 80, 9, 9), 4, true}};
    FaceStyle style;
    style.labelFontHeight = LabelFontHeight(1, 600);
    style.dotsPerInch = 600;
    {
        QPainter painter(&page);
        RenderForPrint(painter, g, &Face(kRifle300), style, marks, 2);
    }
    EXPECT_TRUE(Black(page, 0, 0));
    EXPECT_TRUE(Black(page, 461, 401));
    EXPECT_TRUE(White(page, 3, 3));
    EXPECT_EQ(page.pixel(104, 124), qRgb(0, 0, 160));
    EXPECT_EQ(page.pixel(300 + 4, 80 + 1), qRgb(255, 0, 0));  // the selected mark's ring
    EXPECT_EQ(page.pixel(100 + 4, 120 + 1), qRgb(255, 255, 0));
    // Outlines at printer resolution: the 0.1 mm black pen is 2 pixels at 600 dpi.
    int outline = 0;
    for (int dx = -4; dx <= 4; ++dx) outline += Black(page, 231 + 174 + dx, 201) ? 1 : 0;
    EXPECT_GE(outline, 2);
}

TEST(ShotMarkPainting, HoleRingAndSelection) {
    const auto paint = [](int size, int hole, bool selected) {
        QImage image(size, size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        PaintShotMark(painter, size, hole, selected, true);
        return image;
    };
    const QRgb blue = qRgb(0, 0, 160);
    // A hole as wide as the mark: a dark blue disc with a thin outline.
    const QImage full = paint(21, 21, false);
    EXPECT_EQ(full.pixel(10, 10), blue);
    EXPECT_EQ(full.pixel(10, 3), blue);
    int outline = 0;
    for (int y = 0; y < 3; ++y) outline += full.pixel(10, y) == qRgb(255, 255, 0) ? 1 : 0;
    EXPECT_EQ(outline, 1);
    EXPECT_EQ(full.pixel(0, 0), qRgb(255, 255, 255));  // outside the round mark
    // A small hole ringed in yellow, red when selected.
    const QImage small = paint(21, 6, false);
    EXPECT_EQ(small.pixel(10, 10), blue);
    EXPECT_EQ(small.pixel(10, 3), qRgb(255, 255, 0));
    EXPECT_EQ(paint(21, 6, true).pixel(10, 3), qRgb(255, 0, 0));
}

}  // namespace
}  // namespace zark
