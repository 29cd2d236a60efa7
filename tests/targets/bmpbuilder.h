#pragma once

#include <QByteArray>
#include <QRgb>

#include <cstdint>
#include <functional>
#include <vector>

namespace zark::test {

// Writes bitmap files byte by byte, so tests can make good ones and damage them on purpose.
struct BmpFile {
    int width = 1;
    int height = 1;  // negative: rows top-down
    int bits = 24;
    int compression = 0;
    int headerSize = 40;
    int coloursUsed = 0;
    std::vector<QRgb> palette;
    std::vector<std::uint32_t> masks;  // written behind a 40-byte header, inside a longer one
    QByteArray pixels;                 // as stored in the file
};

// The whole file: file header, information header, masks, colour table, pixels.
QByteArray BuildBitmap(const BmpFile& file);

// Rows of pixel values packed as a plain bitmap of that depth stores them (bottom row first unless
// topDown); value(x, y) with y = 0 the top row gives a palette index, or the pixel word for 16 and
// 32 bits, or 0xRRGGBB for 24 bits.
QByteArray PackRows(int width, int height, int bits, bool topDown, const std::function<std::uint32_t(int, int)>& value);

void PutU16(QByteArray& bytes, int at, std::uint16_t value);
void PutU32(QByteArray& bytes, int at, std::uint32_t value);

}  // namespace zark::test
