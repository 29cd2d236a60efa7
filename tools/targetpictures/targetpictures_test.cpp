// The target pictures and zone maps in resources/targets: that they are what their vector sources
// make, in the formats and sizes the program loads, with the zones and rings where they belong.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <cmath>
#include <functional>

#include "bitmapfile.h"
#include "picturegenerator.h"
#include "picturesources.h"
#include "svglayers.h"
#include "zonepalette.h"

namespace zark {
namespace {

const PictureGenerator& Generated() {
    static PictureGenerator* generator = [] {
        auto* made = new PictureGenerator(QStringLiteral(ZARK_PICTURE_SOURCES));
        QString error;
        EXPECT_TRUE(made->Generate(&error)) << error.toStdString();
        return made;
    }();
    return *generator;
}

QByteArray Committed(const QString& name) {
    QFile file(QDir(QStringLiteral(ZARK_PICTURE_RESOURCES)).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage CommittedImage(int id) {
    return QImage::fromData(Committed(QString::number(id) + QStringLiteral(".bmp")), "BMP");
}

bool IsBlack(const QImage& picture, int x, int y) {
    return picture.pixel(x, y) == qRgb(0, 0, 0);
}

// The pixel the scoring reads for a position in target units (x right, y up from the aim centre).
QPoint ZonePixel(const QImage& image, int x, int y) {
    return {x * kPicturePixels / kPictureUnits + image.width() / 2,
            image.height() / 2 - y * kPicturePixels / kPictureUnits};
}

// Sizes of the regions (pixels joined by a side or a corner) of pixels for which inRegion holds, and whether
// each touches the edge.
struct Region {
    QPoint first;  // its topmost pixel, leftmost of those
    int size = 0;
    bool touchesEdge = false;
};
QList<Region> Regions(const QImage& image, const std::function<bool(int, int)>& inRegion) {
    QList<Region> regions;
    QList<bool> seen(image.width() * image.height(), false);
    for (int y0 = 0; y0 < image.height(); ++y0) {
        for (int x0 = 0; x0 < image.width(); ++x0) {
            if (seen[y0 * image.width() + x0] || !inRegion(x0, y0)) continue;
            Region region;
            region.first = QPoint(x0, y0);
            QList<QPoint> stack{{x0, y0}};
            seen[y0 * image.width() + x0] = true;
            while (!stack.isEmpty()) {
                const QPoint p = stack.takeLast();
                ++region.size;
                if (p.x() == 0 || p.y() == 0 || p.x() == image.width() - 1 || p.y() == image.height() - 1)
                    region.touchesEdge = true;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const QPoint n(p.x() + dx, p.y() + dy);
                        if (n.x() < 0 || n.y() < 0 || n.x() >= image.width() || n.y() >= image.height())
                            continue;
                        const int index = n.y() * image.width() + n.x();
                        if (seen[index] || !inRegion(n.x(), n.y())) continue;
                        seen[index] = true;
                        stack.append(n);
                    }
                }
            }
            regions.append(region);
        }
    }
    return regions;
}

TEST(TargetPictures, CommittedFilesAreWhatTheSourcesMake) {
    const PictureGenerator& generator = Generated();
    ASSERT_EQ(generator.ResourceIds().size(), 26);
    for (int id : generator.ResourceIds()) {
        SCOPED_TRACE(id);
        const QByteArray made = generator.BitmapFile(id);
        const QByteArray committed = Committed(QString::number(id) + QStringLiteral(".bmp"));
        ASSERT_EQ(committed.size(), made.size())
            << "regenerate with: cmake --build <build> --target targetpictures";
        const BitmapFileInfo info = ReadBitmapFileInfo(made);
        ASSERT_TRUE(info.valid);
        EXPECT_EQ(committed.left(info.dataOffset), made.left(info.dataOffset));
        // Another rasteriser may decide a few edge pixels differently; a changed drawing differs in many.
        const QImage a = QImage::fromData(made, "BMP"), b = QImage::fromData(committed, "BMP");
        int differing = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) differing += a.pixel(x, y) != b.pixel(x, y);
        EXPECT_LE(differing, a.width() * a.height() / 500)
            << "regenerate with: cmake --build <build> --target targetpictures";
    }
}

TEST(TargetPictures, ResourceCollectionListsEveryBitmap) {
    const QString qrc = QString::fromUtf8(Committed(QStringLiteral("targets.qrc")));
    EXPECT_TRUE(qrc.contains(QStringLiteral("<qresource prefix=\"/targets\">")));
    QSet<QString> listed;
    const QRegularExpression file(QStringLiteral("<file>([^<]+)</file>"));
    for (auto match = file.globalMatch(qrc); match.hasNext();) listed.insert(match.next().captured(1));
    QSet<QString> expected;
    for (const PictureSource& source : PictureSources()) {
        expected.insert(QString::number(source.id) + QStringLiteral(".bmp"));
        if (source.zoneMapId) expected.insert(QString::number(source.zoneMapId) + QStringLiteral(".bmp"));
    }
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(expected.size(), 26);
    for (const QString& name : expected) EXPECT_FALSE(Committed(name).isEmpty()) << name.toStdString();
}

TEST(TargetPictures, SizesDepthsAndColourTables) {
    QList<QRgb> zonePalette;
    for (int i = 0; i < kZonePaletteSize; ++i) zonePalette.append(ZonePaletteColour(i));
    for (const PictureSource& source : PictureSources()) {
        SCOPED_TRACE(source.id);
        const BitmapFileInfo picture = ReadBitmapFileInfo(Committed(QString::number(source.id) + ".bmp"));
        ASSERT_TRUE(picture.valid);
        EXPECT_EQ(picture.width, source.width);
        EXPECT_EQ(picture.height, source.height);
        EXPECT_EQ(picture.bitsPerPixel, 1);
        EXPECT_EQ(picture.colourTable, (QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
        EXPECT_EQ(CommittedImage(source.id).size(), QSize(source.width, source.height));
        if (source.zoneMapId == 0) continue;
        const BitmapFileInfo zones =
            ReadBitmapFileInfo(Committed(QString::number(source.zoneMapId) + ".bmp"));
        ASSERT_TRUE(zones.valid);
        EXPECT_EQ(zones.width, source.width);
        EXPECT_EQ(zones.height, source.height);
        EXPECT_EQ(zones.bitsPerPixel, 4);
        EXPECT_EQ(zones.colourTable, zonePalette);
    }
    // The sizes the catalogue's faces are drawn at.
    EXPECT_EQ(CommittedImage(1116).size(), QSize(496, 334));
    EXPECT_EQ(CommittedImage(1121).size(), QSize(490, 218));
    EXPECT_EQ(CommittedImage(1125).size(), QSize(498, 316));
    EXPECT_EQ(CommittedImage(1130).size(), QSize(490, 366));
    EXPECT_EQ(CommittedImage(1132).size(), QSize(142, 142));
    EXPECT_EQ(CommittedImage(1140).size(), QSize(93, 221));
    EXPECT_EQ(CommittedImage(1146).size(), QSize(312, 132));
}

TEST(TargetPictures, ZoneMapsCarryExactlyTheirScores) {
    for (const PictureSource& source : PictureSources()) {
        if (source.zoneMapId == 0) continue;
        SCOPED_TRACE(source.zoneMapId);
        const QImage zones = CommittedImage(source.zoneMapId);
        QSet<double> scores;
        for (int y = 0; y < zones.height(); ++y) {
            for (int x = 0; x < zones.width(); ++x) {
                const QRgb colour = zones.pixel(x, y);
                ASSERT_TRUE(IsZoneColour(colour)) << x << "," << y;
                if (colour != qRgb(255, 255, 255)) scores.insert(ZoneScore(colour));
            }
        }
        EXPECT_EQ(scores, QSet<double>(source.zoneScores.begin(), source.zoneScores.end()));
    }
}

TEST(TargetPictures, ZonesLieOnTheFigure) {
    for (const PictureSource& source : PictureSources()) {
        if (source.zoneMapId == 0) continue;
        SCOPED_TRACE(source.id);
        const QImage picture = CommittedImage(source.id), zones = CommittedImage(source.zoneMapId);
        int black = 0, scored = 0;
        for (int y = 0; y < picture.height(); ++y) {
            int first = picture.width(), last = -1;
            for (int x = 0; x < picture.width(); ++x) {
                if (IsBlack(picture, x, y)) first = std::min(first, x), last = x;
            }
            for (int x = 0; x < picture.width(); ++x) {
                const bool zone = zones.pixel(x, y) != qRgb(255, 255, 255);
                black += IsBlack(picture, x, y);
                scored += zone && IsBlack(picture, x, y);
                // A white detail drawn into the figure (the barrel's hoops) is still the figure.
                if (zone && !IsBlack(picture, x, y)) {
                    EXPECT_TRUE(x > first && x < last) << x << "," << y;
                }
            }
        }
        // Everything but antlers and rifles scores.
        EXPECT_GE(scored, black * 85 / 100);
    }
}

TEST(TargetPictures, SecondFacesAreTheFirstMirrored) {
    for (const PictureSource& source : PictureSources()) {
        if (!source.mirrorOf) continue;
        SCOPED_TRACE(source.id);
        const PictureSource& first = *FindPictureSource(source.mirrorOf);
        QList<std::pair<int, int>> pairs{{first.id, source.id}};
        if (source.zoneMapId) pairs.append({first.zoneMapId, source.zoneMapId});
        for (const auto& [a, b] : pairs) {
            const QImage original = CommittedImage(a), mirrored = CommittedImage(b);
            ASSERT_EQ(original.size(), mirrored.size());
            const int w = original.width();
            for (int y = 0; y < original.height(); ++y) {
                for (int x = 0; x < w; ++x) {
                    const int from = w - 1 - (x - source.shift);
                    const QRgb expected =
                        from >= 0 && from < w ? original.pixel(from, y) : qRgb(255, 255, 255);
                    ASSERT_EQ(mirrored.pixel(x, y), expected) << b << " at " << x << "," << y;
                }
            }
        }
    }
    EXPECT_EQ(FindPictureSource(1118)->shift, 2);  // the moose pair also moves by 2 pixels
}

// Points at a distance in target units around the aim centre, as the scoring addresses them.
QList<QPoint> Circle(const QImage& image, double units) {
    QList<QPoint> points;
    for (int k = 0; k < 64; ++k) {
        const double a = k * M_PI / 32;
        points.append(
            ZonePixel(image, int(std::lround(units * std::sin(a))), int(std::lround(units * std::cos(a)))));
    }
    return points;
}

TEST(TargetPictures, RingsLieOnTheFigure) {
    for (const PictureSource& source : PictureSources()) {
        if (source.ringRadii.empty()) continue;
        SCOPED_TRACE(source.id);
        const QImage picture = CommittedImage(source.id);
        const QPoint centre = ZonePixel(picture, 0, 0);
        const double inner =
            double(source.ringRadii.back() + source.bulletRadius) * kPicturePixels / kPictureUnits;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                if (std::hypot(x - centre.x(), y - centre.y()) <= inner) {
                    EXPECT_TRUE(IsBlack(picture, x, y)) << "inner ring off the figure at " << x << "," << y;
                }
            }
        }
        // The whole outer ring lies on the figure, with room to spare for a shot that grazes it.
        const double outer = source.ringRadii.front() + source.bulletRadius + 6;
        for (const QPoint& p : Circle(picture, outer))
            EXPECT_TRUE(IsBlack(picture, p.x(), p.y())) << p.x() << "," << p.y();
        if (source.zoneMapId == 0) continue;
        // A shot just missing the outer ring still scores on the zone map; on the deer it is a body shot.
        const QImage zones = CommittedImage(source.zoneMapId);
        for (const QPoint& p : Circle(zones, outer)) {
            EXPECT_GT(ZoneScore(zones.pixel(p)), 0) << p.x() << "," << p.y();
            if (source.zoneMapId == 1128 || source.zoneMapId == 1130) {
                EXPECT_EQ(ZoneScore(zones.pixel(p)), 2) << p.x() << "," << p.y();
            }
        }
    }
}

TEST(TargetPictures, AimCentreZoneIsTheBodyZone) {
    // Rings take precedence; beyond them the zone around the rings goes on. S25 has no rings.
    const QList<std::pair<int, double>> centreScore{{1128, 2}, {1130, 2}, {1132, 1}, {1134, 1}, {1136, 2},
                                                    {1138, 5}, {1140, 5}, {1142, 1}, {1144, 1}, {1146, 1}};
    for (const auto& [id, score] : centreScore) {
        const QImage zones = CommittedImage(id);
        const QPoint centre = ZonePixel(zones, 0, 0);
        EXPECT_EQ(ZoneScore(zones.pixel(centre)), score) << id;
    }
    // Off the map the scoring reads nothing; its edge is white on every side.
    for (int id : {1138, 1140}) {
        const QImage zones = CommittedImage(id);
        for (int x = 0; x < zones.width(); ++x) {
            EXPECT_EQ(zones.pixel(x, 0), qRgb(255, 255, 255)) << id;
            EXPECT_EQ(zones.pixel(x, zones.height() - 1), qRgb(255, 255, 255)) << id;
        }
    }
    // Deer: a shot on the haunch scores 1, one on the shoulder beyond ring 3 scores 2.
    const QImage deer = CommittedImage(1128);
    EXPECT_EQ(ZoneScore(deer.pixel(ZonePixel(deer, 550, 60))), 1);
    EXPECT_EQ(ZoneScore(deer.pixel(ZonePixel(deer, 200, 80))), 2);
    EXPECT_EQ(ZoneScore(deer.pixel(ZonePixel(deer, 4000, 0))), 0);
}

TEST(TargetPictures, HeartLiesTowardsTheHead) {
    // A first face runs to the left: its aim centre lies nearer the nose than the tail end.
    for (int id : {1116, 1119, 1123, 1127, 1118, 1121, 1125, 1129}) {
        const QImage picture = CommittedImage(id);
        int left = picture.width(), right = -1;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (IsBlack(picture, x, y)) left = std::min(left, x), right = std::max(right, x);
        const int centre = picture.width() / 2;
        const bool runsLeft = FindPictureSource(id)->mirrorOf == 0;
        EXPECT_EQ(centre - left < right - centre, runsLeft) << id;
    }
}

TEST(TargetPictures, NoStrayPixels) {
    for (const PictureSource& source : PictureSources()) {
        SCOPED_TRACE(source.id);
        const QImage picture = CommittedImage(source.id);
        for (const Region& r : Regions(picture, [&](int x, int y) { return IsBlack(picture, x, y); }))
            EXPECT_GE(r.size, 200) << "a speck of black at " << r.first.x() << "," << r.first.y();
        for (const Region& r : Regions(picture, [&](int x, int y) { return !IsBlack(picture, x, y); }))
            EXPECT_TRUE(r.touchesEdge || r.size >= 100)
                << "a pinhole of " << r.size << " white pixels at " << r.first.x() << "," << r.first.y();
    }
}

TEST(BitmapFile, MonochromeRowsAreBottomUpAndPadded) {
    QImage image(3, 2, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.setPixel(0, 0, 1), image.setPixel(1, 0, 0), image.setPixel(2, 0, 1);  // top row: white black white
    image.setPixel(0, 1, 0), image.setPixel(1, 1, 0), image.setPixel(2, 1, 0);  // bottom row: black
    const QByteArray file = EncodeBitmapFile(image, 1);
    ASSERT_EQ(file.size(), 62 + 2 * 4);
    EXPECT_EQ(file.mid(54, 8), QByteArray::fromHex("00000000ffffff00"));
    EXPECT_EQ(file.mid(62), QByteArray::fromHex("00000000a0000000"));  // bottom row first, 4 bytes each
    const BitmapFileInfo info = ReadBitmapFileInfo(file);
    EXPECT_TRUE(info.valid);
    EXPECT_EQ(info.fileSize, 70);
    EXPECT_EQ(info.dataOffset, 62);
    EXPECT_EQ(QImage::fromData(file, "BMP").pixel(1, 0), qRgb(0, 0, 0));
}

TEST(BitmapFile, SixteenColoursTwoPixelsABytePaddedToFour) {
    QImage image(9, 1, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < kZonePaletteSize; ++i) table.append(ZonePaletteColour(i));
    image.setColorTable(table);
    for (int x = 0; x < 9; ++x) image.setPixel(x, 0, uint(x + 5));
    const QByteArray file = EncodeBitmapFile(image, 4);
    ASSERT_EQ(file.size(), 118 + 8);
    EXPECT_EQ(file.mid(118), QByteArray::fromHex("56789abcd0000000"));
    const QImage read = QImage::fromData(file, "BMP");
    for (int x = 0; x < 9; ++x) EXPECT_EQ(read.pixel(x, 0), ZonePaletteColour(x + 5));
    // A colour table larger than the depth cannot be written.
    image.setColorCount(17);
    EXPECT_TRUE(EncodeBitmapFile(image, 4).isEmpty());
    image.setColorCount(16);
    EXPECT_TRUE(EncodeBitmapFile(image, 1).isEmpty());
}

TEST(BitmapFile, HeadersThatDisagreeWithTheFileAreNotValid) {
    QImage image(8, 8, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(1);
    const QByteArray good = EncodeBitmapFile(image, 1);
    ASSERT_TRUE(ReadBitmapFileInfo(good).valid);
    EXPECT_FALSE(ReadBitmapFileInfo(good.left(good.size() - 1)).valid);  // truncated
    EXPECT_FALSE(ReadBitmapFileInfo(good.left(40)).valid);
    QByteArray tall = good;
    tall[22] = char(0x40);  // height 64 with the data of 8 rows
    EXPECT_FALSE(ReadBitmapFileInfo(tall).valid);
    QByteArray negative = good;
    negative[25] = char(0xFF);  // a height of -16777208
    EXPECT_FALSE(ReadBitmapFileInfo(negative).valid);
    QByteArray packed = good;
    packed[30] = 1;  // run-length compression
    EXPECT_FALSE(ReadBitmapFileInfo(packed).valid);
    EXPECT_FALSE(ReadBitmapFileInfo(QByteArray("GIF89a") + good.mid(6)).valid);
}

PictureSource TestSource(std::vector<double> scores) {
    PictureSource source;
    source.id = 1;
    source.zoneMapId = 2;
    source.width = 20;
    source.height = 10;
    source.zoneScores = std::move(scores);
    return source;
}

const char* kHeader =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="10" viewBox="0 0 20 10">)";

TEST(PictureGenerator, ZonesTakeTheColourThatCoversMostOfEachPixelOnTheFigure) {
    SvgLayers layers;
    QString error;
    ASSERT_TRUE(layers.LoadData(QByteArray(kHeader) + R"(
        <g id="picture"><rect x="2" y="0" width="16" height="10" fill="#000"/></g>
        <g id="zones"><rect x="0" y="0" width="20" height="10" fill="#00ffff"/>
                      <rect x="9.7" y="0" width="20" height="10" fill="#ff00ff"/></g></svg>)",
                                &error))
        << error.toStdString();
    QImage picture, zones;
    ASSERT_TRUE(PictureGenerator::DrawFace(layers, TestSource({1, 2}), &picture, &zones, &error))
        << error.toStdString();
    EXPECT_EQ(picture.pixelIndex(1, 5), 1);  // white off the figure
    EXPECT_EQ(picture.pixelIndex(2, 5), 0);
    EXPECT_EQ(zones.pixel(1, 5), qRgb(255, 255, 255));
    EXPECT_EQ(zones.pixel(2, 5), qRgb(0, 255, 255));
    EXPECT_EQ(zones.pixel(9, 5), qRgb(0, 255, 255));   // 30 % magenta
    EXPECT_EQ(zones.pixel(10, 5), qRgb(255, 0, 255));  // inside the magenta
    EXPECT_EQ(zones.pixel(18, 5), qRgb(255, 255, 255));
}

TEST(PictureGenerator, RefusesZonesItCannotScore) {
    SvgLayers layers;
    QString error;
    QImage picture, zones;
    const QByteArray figure = R"(<g id="picture"><rect width="20" height="10" fill="#000"/></g>)";
    ASSERT_TRUE(layers.LoadData(
        kHeader + figure + R"(<g id="zones"><rect width="20" height="10" fill="#800000"/></g></svg>)",
        &error));
    EXPECT_FALSE(PictureGenerator::DrawFace(layers, TestSource({1}), &picture, &zones, &error));
    EXPECT_TRUE(error.contains(QLatin1String("#800000"))) << error.toStdString();

    ASSERT_TRUE(layers.LoadData(
        kHeader + figure + R"(<g id="zones"><rect width="20" height="10" fill="#00ffff"/></g></svg>)",
        &error));
    error.clear();
    EXPECT_FALSE(
        PictureGenerator::DrawFace(layers, TestSource({1, 2}), &picture, &zones, &error));  // no 2 drawn
    EXPECT_TRUE(error.contains(QLatin1String("{1}"))) << error.toStdString();

    ASSERT_TRUE(layers.LoadData(
        kHeader + figure + R"(<g id="zones"><rect width="20" height="10"/></g></svg>)", &error));
    error.clear();
    EXPECT_FALSE(
        PictureGenerator::DrawFace(layers, TestSource({1}), &picture, &zones, &error));  // no fill given
    EXPECT_TRUE(error.contains(QLatin1String("no fill"))) << error.toStdString();

    PictureSource wrongSize = TestSource({1});
    wrongSize.width = 21;
    EXPECT_FALSE(PictureGenerator::DrawFace(layers, wrongSize, &picture, &zones, &error));
    EXPECT_TRUE(error.contains(QLatin1String("21x10"))) << error.toStdString();
}

TEST(SvgLayers, RefusesDocumentsItCannotDrawToSize) {
    SvgLayers layers;
    QString error;
    EXPECT_FALSE(
        layers.LoadData(R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="10" viewBox="0 0 40 20">
        <g id="picture"/></svg>)",
                        &error));
    EXPECT_FALSE(layers.LoadData(QByteArray(kHeader) + "<g id=\"zones\"/></svg>", &error));  // no picture
    EXPECT_FALSE(
        layers.LoadData(QByteArray(kHeader) + "<g id=\"picture\"/><rect id=\"zones\"/></svg>", &error));
    EXPECT_FALSE(layers.LoadData("<html/>", &error));
    EXPECT_FALSE(layers.LoadData(QByteArray(kHeader) + "<g id=\"picture\">", &error));  // cut short
}

TEST(SvgLayers, ColoursOfALayerIncludeStylesAndInheritedFills) {
    SvgLayers layers;
    QString error;
    ASSERT_TRUE(layers.LoadData(QByteArray(kHeader) + R"(
        <g id="picture"><rect width="4" height="4" fill="#000"/></g>
        <g id="zones" fill="#0000ff"><rect width="4" height="4"/>
           <circle cx="5" cy="5" r="2" style="stroke:none;fill:#FFFF00"/></g></svg>)",
                                &error));
    error.clear();
    EXPECT_EQ(layers.Colours(QStringLiteral("zones"), &error),
              (QList<QRgb>{qRgb(0, 0, 255), qRgb(255, 255, 0)}));
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    QRgb colour = 0;
    EXPECT_TRUE(ParseSvgColour(QStringLiteral("#0f8"), &colour));
    EXPECT_EQ(colour, qRgb(0, 255, 136));
    EXPECT_FALSE(ParseSvgColour(QStringLiteral("none"), &colour));
    EXPECT_FALSE(ParseSvgColour(QStringLiteral("#12345"), &colour));
}

}  // namespace
}  // namespace zark
