// The bitmap reader, the picture object and the bitmap holder.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <new>

#include "bmpbuilder.h"
#include "support/allocationwatch.h"
#include "support/testsupport.h"
#include "targets/bitmappicture.h"
#include "targets/bitmapreader.h"
#include "targets/gdibitmapholder.h"

namespace zark {
namespace {

using test::BmpFile;
using test::BuildBitmap;
using test::PackRows;

BitmapResult Read(const QByteArray& bytes, QImage& image, BitmapInfo* info = nullptr) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return ReadBitmap(buffer, image, info);
}

// What Qt's own reader makes of the same bytes: the reference for good files.
QImage QtReads(const QByteArray& bytes) { return QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB32); }

std::uint32_t Pattern(int x, int y) { return std::uint32_t(x * 7 + y * 13); }

std::vector<QRgb> Palette(int n) {
    std::vector<QRgb> table;
    for (int i = 0; i < n; ++i) table.push_back(qRgb(i * 5 % 256, 255 - i % 256, i * 11 % 256));
    return table;
}

BmpFile Plain(int width, int height, int bits) {
    BmpFile file;
    file.width = width;
    file.height = height;
    file.bits = bits;
    if (bits <= 8) file.palette = Palette(1 << bits);
    file.pixels = PackRows(width, std::abs(height), bits, height < 0, [&](int x, int y) {
        const std::uint32_t v = Pattern(x, y);
        return bits == 24 ? v * 0x010305u : bits == 32 ? v * 0x01030507u : bits == 16 ? v * 0x0123u : v;
    });
    return file;
}

class BitmapFiles : public ::testing::Test {
protected:
    // The log is created afresh at the first line a program writes; write one now, so that what a
    // test adds is what follows.
    void SetUp() override { LogLine("%s", ""); }
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(test::WriteFile(path.toStdString(), bytes.toStdString()));
        return path;
    }
    // Loads the file and expects the failure to be logged with the message and the path.
    void ExpectRejected(const QByteArray& bytes, const std::string& message) {
        const QString path = Write(QStringLiteral("bad%1.bmp").arg(++count), bytes);
        const std::string before = test::LogText();
        QImage image(3, 3, QImage::Format_RGB32);
        BitmapInfo info{5, 5, 5, 5};
        EXPECT_EQ(LoadBitmapFile(path, image, &info), 0);
        EXPECT_TRUE(image.isNull());
        EXPECT_EQ(info.width, 0);
        const std::string added = test::LogText().substr(before.size());
        EXPECT_NE(added.find(message + " '" + path.toStdString() + "'"), std::string::npos) << added;
        EXPECT_EQ(test::CountOf(added, "\n"), 1) << added;
    }
    QTemporaryDir dir;
    int count = 0;
};

TEST(BitmapReader, EveryPlainDepthDecodesAsQtDecodesIt) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (int height : {5, -5}) {
            const QByteArray bytes = BuildBitmap(Plain(13, height, bits));
            QImage image;
            BitmapInfo info;
            ASSERT_EQ(Read(bytes, image, &info).status, BitmapStatus::Ok) << bits;
            EXPECT_EQ(info.width, 13);
            EXPECT_EQ(info.height, 5);
            EXPECT_EQ(info.bitsPerPixel, bits);
            EXPECT_EQ(image.format(), bits <= 8 ? QImage::Format_Indexed8 : QImage::Format_RGB32);
            EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), QtReads(bytes)) << bits << " " << height;
        }
    }
}

TEST(BitmapReader, BitFieldsAndLongerHeaders) {
    BmpFile file = Plain(6, 4, 16);
    file.compression = 3;
    file.masks = {0xF800, 0x07E0, 0x001F};  // 5-6-5
    QImage image;
    ASSERT_EQ(Read(BuildBitmap(file), image).status, BitmapStatus::Ok);
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), QtReads(BuildBitmap(file)));
    // the same masks inside a 124-byte header
    file.headerSize = 124;
    ASSERT_EQ(Read(BuildBitmap(file), image).status, BitmapStatus::Ok);
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), QtReads(BuildBitmap(file)));
    // a plain 8-bit file with a 108-byte header: the colour table follows the whole header
    BmpFile indexed = Plain(5, 3, 8);
    indexed.headerSize = 108;
    ASSERT_EQ(Read(BuildBitmap(indexed), image).status, BitmapStatus::Ok);
    EXPECT_EQ(image.pixel(1, 0), indexed.palette[Pattern(1, 0)]);
    // masks with a hole in them make no colour
    file.masks = {0xF00F, 0x07E0, 0x001F};
    EXPECT_EQ(Read(BuildBitmap(file), image).status, BitmapStatus::CreateFailed);
}

TEST(BitmapReader, ColourTableIsTheSpaceBeforeThePixels) {
    // 24 bits with the pixels at 54: no colour table at all
    QImage image;
    BmpFile rgb = Plain(3, 2, 24);
    ASSERT_EQ(BuildBitmap(rgb).mid(10, 4), QByteArray("\x36\0\0\0", 4));
    ASSERT_EQ(Read(BuildBitmap(rgb), image).status, BitmapStatus::Ok);
    EXPECT_EQ(image.pixel(2, 1), qRgb(0, 0, 0) | (Pattern(2, 1) * 0x010305u));
    // 8 bits: all 1024 bytes of the table are used
    BmpFile indexed = Plain(16, 16, 8);
    indexed.pixels = PackRows(16, 16, 8, false, [](int x, int y) { return std::uint32_t(y * 16 + x); });
    ASSERT_EQ(BuildBitmap(indexed).mid(10, 4), QByteArray("\x36\x04\0\0", 4));
    ASSERT_EQ(Read(BuildBitmap(indexed), image).status, BitmapStatus::Ok);
    EXPECT_EQ(image.colorCount(), 256);
    EXPECT_EQ(image.pixel(15, 15), indexed.palette[255]);
    EXPECT_EQ(image.pixel(3, 0), indexed.palette[3]);
    // a table shorter than the depth: the missing entries are black
    indexed.palette.resize(4);
    indexed.coloursUsed = 4;
    ASSERT_EQ(Read(BuildBitmap(indexed), image).status, BitmapStatus::Ok);
    EXPECT_EQ(image.pixel(3, 0), indexed.palette[3]);
    EXPECT_EQ(image.pixel(4, 0), qRgb(0, 0, 0));
}

TEST(BitmapReader, RunLengthData) {
    BmpFile file;
    file.width = 6;
    file.height = 3;
    file.bits = 8;
    file.compression = 1;
    file.palette = Palette(256);
    // bottom row: 3 × 7, then 3 pixels 1 2 3 given one by one (padded); row 2: a move right by 2
    // and up by 1, then 9 (clipped at 6 pixels); end of bitmap
    file.pixels = QByteArray("\x03\x07\x00\x03\x01\x02\x03\x00\x00\x00\x00\x02\x02\x01\x09\x09\x00\x01", 18);
    QImage image;
    ASSERT_EQ(Read(BuildBitmap(file), image).status, BitmapStatus::Ok);
    const auto index = [&](int x, int y) { return image.pixelIndex(x, y); };
    EXPECT_EQ(index(0, 2), 7);
    EXPECT_EQ(index(2, 2), 7);
    EXPECT_EQ(index(3, 2), 1);
    EXPECT_EQ(index(5, 2), 3);
    EXPECT_EQ(index(0, 1), 0);  // skipped row keeps index 0
    EXPECT_EQ(index(1, 0), 0);
    EXPECT_EQ(index(2, 0), 9);
    EXPECT_EQ(index(5, 0), 9);

    // 4 bits: runs alternate the two nibbles
    file.bits = 4;
    file.compression = 2;
    file.palette = Palette(16);
    file.pixels = QByteArray("\x05\x12\x00\x03\x34\x50\x00\x01", 8);
    file.height = 1;
    file.width = 8;
    ASSERT_EQ(Read(BuildBitmap(file), image).status, BitmapStatus::Ok);
    const int expected[] = {1, 2, 1, 2, 1, 3, 4, 5};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(image.pixelIndex(x, 0), expected[x]) << x;

    // run-length data cut short: the rest of the picture keeps index 0, nothing is read beyond
    file.pixels = QByteArray("\x08\x77\x00", 3);
    ASSERT_EQ(Read(BuildBitmap(file), image).status, BitmapStatus::Ok);
    EXPECT_EQ(image.pixelIndex(7, 0), 7);

    // a run-length picture cannot be stored top-down
    file.height = -1;
    EXPECT_EQ(Read(BuildBitmap(file), image).status, BitmapStatus::CreateFailed);
}

TEST_F(BitmapFiles, DamagedAndForeignFilesAreRejectedWithTheirMessage) {
    const QByteArray good = BuildBitmap(Plain(7, 5, 24));
    // too short for the headers
    ExpectRejected(good.left(30), "failed to read bitmap file");
    ExpectRejected(QByteArray(), "failed to read bitmap file");
    // pixel rows missing
    ExpectRejected(good.left(good.size() - 1), "failed to read bitmap file");
    // the pixels said to start inside the header, or behind the end of the file
    QByteArray bad = good;
    test::PutU32(bad, 10, 20);
    ExpectRejected(bad, "failed to read bitmap file");
    bad = good;
    test::PutU32(bad, 10, 0x7FFFFFF0);
    ExpectRejected(bad, "failed to read bitmap file");
    // not a bitmap at all
    ExpectRejected(QByteArray("P6\n7 5\n255\n") + QByteArray(105, '\x40'), "failed to create bitmap from file");
    ExpectRejected(QByteArray(200, 'B'), "failed to create bitmap from file");
    // sizes no picture has
    for (std::uint32_t width : {0u, 0x80000000u, 0xFFFFFFFFu, 16385u}) {
        bad = good;
        test::PutU32(bad, 18, width);
        ExpectRejected(bad, "failed to create bitmap from file");
    }
    for (std::uint32_t height : {0u, 0x80000000u, 0x7FFFFFFFu}) {
        bad = good;
        test::PutU32(bad, 22, height);
        ExpectRejected(bad, "failed to create bitmap from file");
    }
    bad = good;
    test::PutU32(bad, 18, 8192);
    test::PutU32(bad, 22, 4096);  // both sides allowed, together beyond the largest picture
    ExpectRejected(bad, "failed to create bitmap from file");
    // unknown depth, compression and header
    bad = good;
    test::PutU16(bad, 28, 7);
    ExpectRejected(bad, "failed to create bitmap from file");
    bad = good;
    test::PutU32(bad, 30, 4);  // JPEG inside
    ExpectRejected(bad, "failed to create bitmap from file");
    bad = good;
    test::PutU32(bad, 14, 12);  // the old core header
    ExpectRejected(bad, "failed to create bitmap from file");
}

TEST_F(BitmapFiles, HugeSizesInAHeaderAllocateNothingBig) {
    // 16384 × 1024 × 32 bits would be 64 MB of pixels; the file has 100 bytes of them
    BmpFile file = Plain(5, 5, 32);
    QByteArray claim = BuildBitmap(file);
    test::PutU32(claim, 18, 16384);
    test::PutU32(claim, 22, 1024);
    // run-length data said to be 2 GB long
    BmpFile runs;
    runs.width = 4;
    runs.height = 4;
    runs.bits = 8;
    runs.compression = 1;
    runs.palette = Palette(256);
    runs.pixels = QByteArray("\x04\x01\x00\x01", 4);
    QByteArray longRuns = BuildBitmap(runs);
    test::PutU32(longRuns, 34, 0x7FFFFFFF);

    test::ResetLargestAllocation();
    QImage image;
    EXPECT_EQ(Read(claim, image).status, BitmapStatus::ReadFailed);
    EXPECT_EQ(Read(longRuns, image).status, BitmapStatus::ReadFailed);
    EXPECT_LT(test::LargestAllocation(), std::size_t(64 * 1024));
    ExpectRejected(claim, "failed to read bitmap file");
}

TEST_F(BitmapFiles, MissingFileAndFolder) {
    const QString missing = dir.filePath("nothing.bmp");
    QImage image;
    EXPECT_EQ(LoadBitmapFile(missing, image), 0);
    EXPECT_NE(test::LogText().find("failed to open bitmap file '" + missing.toStdString() + "': "), std::string::npos);
    EXPECT_EQ(LoadBitmapFile(dir.path(), image), 0);
    EXPECT_NE(test::LogText().find("failed to open bitmap file '" + dir.path().toStdString() + "': "),
              std::string::npos);
}

TEST_F(BitmapFiles, PictureLoadsDrawsAndUnloads) {
    // 4 × 3: white except a red pixel at (1, 1) and a black one at (3, 2)
    BmpFile file;
    file.width = 4;
    file.height = 3;
    file.pixels = PackRows(4, 3, 24, false, [](int x, int y) -> std::uint32_t {
        if (x == 1 && y == 1) return 0xFF0000;
        if (x == 3 && y == 2) return 0x000000;
        return 0xFFFFFF;
    });
    const QString path = Write("cup.bmp", BuildBitmap(file));

    BitmapPicture picture;
    EXPECT_EQ(picture.Unload(), 0);
    ASSERT_EQ(picture.Load(path), 1);
    EXPECT_EQ(picture.Width(), 4);
    EXPECT_EQ(picture.Height(), 3);

    QImage target(10, 10, QImage::Format_RGB32);
    target.fill(qRgb(0, 0, 255));
    {
        QPainter painter(&target);
        picture.DrawTransparent(painter, 2, 5, qRgb(255, 255, 255));
    }
    EXPECT_EQ(target.pixel(3, 6), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(5, 7), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(2, 5), qRgb(0, 0, 255));  // white is see-through
    EXPECT_EQ(target.pixel(4, 6), qRgb(0, 0, 255));
    // another transparent colour: now white covers the target and red is see-through
    {
        QPainter painter(&target);
        picture.DrawTransparent(painter, 2, 5, qRgb(255, 0, 0));
    }
    EXPECT_EQ(target.pixel(2, 5), qRgb(255, 255, 255));
    EXPECT_EQ(target.pixel(3, 6), qRgb(255, 0, 0));  // unchanged from the first draw
    // under a scaled painter the corner moves, the picture keeps its pixel size
    QImage scaled(20, 20, QImage::Format_RGB32);
    scaled.fill(qRgb(0, 0, 255));
    {
        QPainter painter(&scaled);
        painter.scale(2, 2);
        picture.DrawTransparent(painter, 5, 5, qRgb(255, 255, 255));
    }
    EXPECT_EQ(scaled.pixel(11, 11), qRgb(255, 0, 0));
    EXPECT_EQ(scaled.pixel(13, 12), qRgb(0, 0, 0));
    EXPECT_EQ(scaled.pixel(12, 12), qRgb(0, 0, 255));

    // a failed load leaves nothing, and a later draw draws nothing
    EXPECT_EQ(picture.Load(dir.filePath("gone.bmp")), 0);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    QImage untouched = target;
    {
        QPainter painter(&untouched);
        picture.DrawTransparent(painter, 0, 0, qRgb(255, 255, 255));
    }
    EXPECT_EQ(untouched, target);
    // an empty path unloads and succeeds
    ASSERT_EQ(picture.Load(path), 1);
    EXPECT_EQ(picture.Load(QString()), 1);
    EXPECT_FALSE(picture.IsLoaded());
    EXPECT_EQ(picture.Width(), 0);
}

TEST_F(BitmapFiles, PureWhitePictureShowsNothing) {
    BmpFile file = Plain(8, 8, 1);
    file.palette = {qRgb(255, 255, 255), qRgb(255, 255, 255)};
    BitmapPicture picture;
    ASSERT_EQ(picture.Load(Write("white.bmp", BuildBitmap(file))), 1);
    QImage target(16, 16, QImage::Format_RGB32);
    target.fill(qRgb(10, 20, 30));
    const QImage before = target;
    {
        QPainter painter(&target);
        picture.DrawTransparent(painter, 4, 4, qRgb(255, 255, 255));
    }
    EXPECT_EQ(target, before);
}

TEST(BitmapHolder, ResourcesByNumber) {
    GdiBitmapHolder holder;
    holder.Init();
    EXPECT_FALSE(holder.HasBitmap());
    EXPECT_EQ(holder.LoadResource(9001), 1);
    ASSERT_TRUE(holder.HasBitmap());
    EXPECT_EQ(holder.Width(), 24);
    EXPECT_EQ(holder.Height(), 10);
    EXPECT_EQ(holder.BitsPerPixel(), 1);
    EXPECT_EQ(holder.Image().pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(holder.Image().pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(holder.Image().pixel(4, 2), qRgb(0, 0, 0));  // the diagonal
    // 0 is none; a resource that is not there leaves the holder empty and is logged
    EXPECT_EQ(holder.LoadResource(0), 1);
    EXPECT_FALSE(holder.HasBitmap());
    EXPECT_EQ(holder.LoadResource(9999), 1);
    EXPECT_FALSE(holder.HasBitmap());
    EXPECT_NE(test::LogText().find("failed to open bitmap file ':/targets/9999.bmp'"), std::string::npos);
    // a buffer to draw into
    holder.Prepare(QSize(30, 20));
    EXPECT_EQ(holder.Width(), 30);
    EXPECT_EQ(holder.BitsPerPixel(), 1);
    EXPECT_EQ(holder.Image().pixel(29, 19), qRgb(0, 0, 0));
    holder.Release();
    EXPECT_FALSE(holder.HasBitmap());
    EXPECT_EQ(holder.Width(), 0);
}

}  // namespace
}  // namespace zark
