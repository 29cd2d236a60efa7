#include "bitmapfile.h"

#include <cstdint>

namespace zark {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr std::int32_t kPixelsPerMetre = 3780;  // 96 pixels per inch

void Put16(QByteArray& out, std::uint16_t value) {
    out.append(char(value & 0xFF));
    out.append(char(value >> 8));
}

void Put32(QByteArray& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.append(char((value >> shift) & 0xFF));
}

std::uint32_t Get(const QByteArray& in, int offset, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | std::uint8_t(in[offset + i]);
    return value;
}

int RowBytes(int width, int bitsPerPixel) {
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

}  // namespace

QByteArray EncodeBitmapFile(const QImage& indexed, int bitsPerPixel) {
    if (indexed.format() != QImage::Format_Indexed8 || indexed.isNull()) return {};
    if (bitsPerPixel != 1 && bitsPerPixel != 4) return {};
    const int colours = 1 << bitsPerPixel;
    if (indexed.colorCount() > colours) return {};
    const int width = indexed.width();
    const int height = indexed.height();
    const int rowBytes = RowBytes(width, bitsPerPixel);
    const int dataOffset = kFileHeaderSize + kInfoHeaderSize + 4 * colours;
    const int fileSize = dataOffset + rowBytes * height;

    QByteArray out;
    out.reserve(fileSize);
    out.append("BM", 2);
    Put32(out, std::uint32_t(fileSize));
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, std::uint32_t(dataOffset));

    Put32(out, kInfoHeaderSize);
    Put32(out, std::uint32_t(width));
    Put32(out, std::uint32_t(height));
    Put16(out, 1);  // planes
    Put16(out, std::uint16_t(bitsPerPixel));
    Put32(out, 0);  // no compression
    Put32(out, std::uint32_t(rowBytes * height));
    Put32(out, kPixelsPerMetre);
    Put32(out, kPixelsPerMetre);
    Put32(out, std::uint32_t(colours));
    Put32(out, 0);  // all colours important

    for (int i = 0; i < colours; ++i) {
        const QRgb colour = i < indexed.colorCount() ? indexed.color(i) : qRgb(0, 0, 0);
        out.append(char(qBlue(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qRed(colour)));
        out.append(char(0));
    }

    const int perByte = 8 / bitsPerPixel;
    for (int y = height - 1; y >= 0; --y) {
        const uchar* line = indexed.constScanLine(y);
        QByteArray row(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            const int index = line[x];
            if (index >= colours) return {};
            const int shift = 8 - bitsPerPixel * (x % perByte + 1);  // leftmost pixel in the high bits
            row[x / perByte] = char(std::uint8_t(row[x / perByte]) | (index << shift));
        }
        out.append(row);
    }
    return out;
}

BitmapFileInfo ReadBitmapFileInfo(const QByteArray& file) {
    BitmapFileInfo info;
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M') return info;
    info.fileSize = int(Get(file, 2, 4));
    info.dataOffset = int(Get(file, 10, 4));
    if (Get(file, 14, 4) != kInfoHeaderSize) return info;
    info.width = std::int32_t(Get(file, 18, 4));
    info.height = std::int32_t(Get(file, 22, 4));
    const int planes = int(Get(file, 26, 2));
    info.bitsPerPixel = int(Get(file, 28, 2));
    info.compression = int(Get(file, 30, 4));
    if (planes != 1 || (info.bitsPerPixel != 1 && info.bitsPerPixel != 4) || info.compression != 0)
        return info;
    if (info.width <= 0 || info.width > 4096 || info.height <= 0 || info.height > 4096) return info;
    const int colours = 1 << info.bitsPerPixel;
    const int tableEnd = kFileHeaderSize + kInfoHeaderSize + 4 * colours;
    if (info.dataOffset != tableEnd) return info;
    if (info.fileSize != file.size() ||
        info.fileSize != tableEnd + RowBytes(info.width, info.bitsPerPixel) * info.height)
        return info;
    for (int i = 0; i < colours; ++i) {
        const int at = kFileHeaderSize + kInfoHeaderSize + 4 * i;
        info.colourTable.append(
            qRgb(std::uint8_t(file[at + 2]), std::uint8_t(file[at + 1]), std::uint8_t(file[at])));
    }
    info.valid = true;
    return info;
}

}  // namespace zark
