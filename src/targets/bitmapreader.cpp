#include "targets/bitmapreader.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "diag/diagnostics.h"

namespace zark {
namespace {

constexpr qint64 kFileHeaderSize = 14;
constexpr qint64 kInfoHeaderSize = 40;
constexpr qint64 kMaxInfoHeaderSize = 124;

enum Compression : std::uint32_t { PlainRgb = 0, RunLength8 = 1, RunLength4 = 2, BitFields = 3 };

std::uint16_t U16(const unsigned char* p) { return std::uint16_t(p[0] | (p[1] << 8)); }

std::uint32_t U32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

BitmapResult Failure(BitmapStatus status, int code) { return {status, code}; }
BitmapResult ReadFailure() { return Failure(BitmapStatus::ReadFailed, EIO); }
BitmapResult CreateFailure() { return Failure(BitmapStatus::CreateFailed, EINVAL); }
BitmapResult MemoryFailure() { return Failure(BitmapStatus::OutOfMemory, 0); }

// Reads exactly size bytes at pos; false when the device ends before.
bool ReadAt(QIODevice& device, qint64 pos, void* data, qint64 size) {
    if (size == 0) return true;
    if (!device.seek(pos)) return false;
    char* out = static_cast<char*>(data);
    qint64 done = 0;
    while (done < size) {
        const qint64 got = device.read(out + done, size - done);
        if (got <= 0) return false;
        done += got;
    }
    return true;
}

// One colour channel of a 16- or 32-bit pixel: a run of contiguous mask bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 8;
};

bool MakeChannel(std::uint32_t mask, Channel& channel) {
    if (mask == 0) return false;
    const int shift = std::countr_zero(mask);
    const std::uint32_t run = mask >> shift;
    if ((run & (run + 1)) != 0) return false;  // holes in the mask
    channel = {mask, shift, std::popcount(run)};
    return true;
}

// The channel's value as 8 bits: shorter channels are shifted up (5 bits of 31 give 248, as the
// platform's own conversion gives), longer ones keep their top 8 bits.
int Expand(std::uint32_t pixel, const Channel& channel) {
    const std::uint32_t value = (pixel & channel.mask) >> channel.shift;
    return int(channel.bits <= 8 ? value << (8 - channel.bits) : value >> (channel.bits - 8));
}

struct Layout {
    qint64 fileSize = 0;
    std::uint32_t dataOffset = 0;
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    std::uint32_t coloursUsed = 0;
    qint64 tableOffset = 0;  // where the colour table starts, behind the header and masks
    Channel red, green, blue;
};

bool ValidDepth(const Layout& l) {
    switch (l.compression) {
        case PlainRgb: return l.bits == 1 || l.bits == 4 || l.bits == 8 || l.bits == 16 || l.bits == 24 || l.bits == 32;
        case RunLength8: return l.bits == 8 && !l.topDown;
        case RunLength4: return l.bits == 4 && !l.topDown;
        case BitFields: return l.bits == 16 || l.bits == 32;
        default: return false;
    }
}

void DecodeRows(const Layout& l, const unsigned char* data, qint64 stride, QImage& image) {
    const int width = int(l.width);
    const int height = int(l.height);
    for (int row = 0; row < height; ++row) {
        const unsigned char* src = data + qint64(row) * stride;
        const int y = l.topDown ? row : height - 1 - row;
        uchar* line = image.scanLine(y);
        QRgb* rgb = reinterpret_cast<QRgb*>(line);
        switch (l.bits) {
            case 1:
                for (int x = 0; x < width; ++x) line[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
                break;
            case 4:
                for (int x = 0; x < width; ++x) line[x] = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
                break;
            case 8:
                std::memcpy(line, src, std::size_t(width));
                break;
            case 16:
                for (int x = 0; x < width; ++x) {
                    const std::uint32_t p = U16(src + 2 * x);
                    rgb[x] = qRgb(Expand(p, l.red), Expand(p, l.green), Expand(p, l.blue));
                }
                break;
            case 24:
                for (int x = 0; x < width; ++x) rgb[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                break;
            case 32:
                for (int x = 0; x < width; ++x) {
                    const std::uint32_t p = U32(src + 4 * x);
                    rgb[x] = qRgb(Expand(p, l.red), Expand(p, l.green), Expand(p, l.blue));
                }
                break;
        }
    }
}

// Run-length data, bottom-up. Pixels the data does not reach keep index 0; runs beyond the right
// edge are clipped; the decoding stops at the end of the data, the end-of-bitmap mark or the top.
void DecodeRunLength(const Layout& l, const unsigned char* data, qint64 size, QImage& image) {
    const int width = int(l.width);
    const int height = int(l.height);
    const bool four = l.compression == RunLength4;
    int x = 0;
    int y = 0;  // from the bottom
    auto put = [&](int index) { image.scanLine(height - 1 - y)[x] = uchar(index); };
    qint64 p = 0;
    while (p + 1 < size && y < height) {
        const int count = data[p];
        const int value = data[p + 1];
        p += 2;
        if (count > 0) {
            const int n = std::max(0, std::min(count, width - x));
            for (int i = 0; i < n; ++i, ++x) put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            x = std::min(x + count - n, width);  // beyond the edge nothing more is drawn
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // move right and up
            if (p + 1 >= size) break;
            x = std::min(x + data[p], width);
            y += data[p + 1];
            p += 2;
        } else {  // value pixels given one by one, padded to a 16-bit boundary
            const qint64 bytes = four ? (value + 1) / 2 : value;
            const qint64 present = std::min(bytes, size - p);
            const int pixels = four ? int(std::min<qint64>(value, present * 2)) : int(present);
            const int n = std::max(0, std::min(pixels, width - x));
            for (int i = 0; i < n; ++i, ++x) {
                const int byte = data[p + (four ? i / 2 : i)];
                put(four ? ((i & 1) ? byte & 0x0F : byte >> 4) : byte);
            }
            x = std::min(x + pixels - n, width);
            p += bytes + (bytes & 1);
        }
    }
}

BitmapResult ReadChecked(QIODevice& device, QImage& image, BitmapInfo* info) {
    if (device.isSequential()) return ReadFailure();
    Layout l;
    l.fileSize = device.size();

    unsigned char head[kFileHeaderSize + kMaxInfoHeaderSize + 12] = {};
    if (!ReadAt(device, 0, head, kFileHeaderSize + kInfoHeaderSize)) return ReadFailure();
    if (head[0] != 'B' || head[1] != 'M') return CreateFailure();
    // The file size field of the header is not trusted: the real size of the file bounds every read.
    l.dataOffset = U32(head + 10);
    l.headerSize = U32(head + 14);
    const unsigned char* h = head + kFileHeaderSize;
    const std::int32_t height = std::int32_t(U32(h + 8));
    l.width = std::int32_t(U32(h + 4));
    l.height = height < 0 ? -std::int64_t(height) : height;
    l.topDown = height < 0;
    l.bits = U16(h + 14);
    l.compression = U32(h + 16);
    l.imageSize = U32(h + 20);
    l.coloursUsed = U32(h + 32);

    switch (l.headerSize) {
        case 40: case 52: case 56: case 108: case 124: break;
        default: return CreateFailure();  // the 12-byte core header and unknown ones
    }
    if (l.width <= 0 || l.height <= 0 || l.width > kMaxBitmapSide || l.height > kMaxBitmapSide ||
        l.width * l.height > kMaxBitmapPixels)
        return CreateFailure();
    if (!ValidDepth(l)) return CreateFailure();

    // The rest of a longer header, and the masks that follow a 40-byte header with bit fields.
    const qint64 masksBehind = (l.compression == BitFields && l.headerSize == kInfoHeaderSize) ? 12 : 0;
    const qint64 extra = qint64(l.headerSize) - kInfoHeaderSize + masksBehind;
    l.tableOffset = kFileHeaderSize + kInfoHeaderSize + extra;
    if (l.tableOffset > l.fileSize) return ReadFailure();
    if (!ReadAt(device, kFileHeaderSize + kInfoHeaderSize, head + kFileHeaderSize + kInfoHeaderSize, extra))
        return ReadFailure();
    if (l.dataOffset < l.tableOffset || l.dataOffset > l.fileSize) return ReadFailure();

    if (l.compression == BitFields) {
        const unsigned char* masks = h + kInfoHeaderSize;
        if (!MakeChannel(U32(masks), l.red) || !MakeChannel(U32(masks + 4), l.green) ||
            !MakeChannel(U32(masks + 8), l.blue))
            return CreateFailure();
    } else if (l.bits == 16) {
        MakeChannel(0x7C00, l.red);
        MakeChannel(0x03E0, l.green);
        MakeChannel(0x001F, l.blue);
    } else if (l.bits == 32) {
        MakeChannel(0xFF0000, l.red);
        MakeChannel(0x00FF00, l.green);
        MakeChannel(0x0000FF, l.blue);
    }

    // Colour table: what lies between the header and the pixels, as far as the depth uses it.
    // Entries the file does not give are black.
    QList<QRgb> table;
    if (l.bits <= 8) {
        const qint64 entries = qint64(1) << l.bits;
        const qint64 wanted = l.coloursUsed != 0 ? std::min<qint64>(l.coloursUsed, entries) : entries;
        const qint64 given = std::min<qint64>(wanted, (qint64(l.dataOffset) - l.tableOffset) / 4);
        unsigned char raw[256 * 4];
        if (!ReadAt(device, l.tableOffset, raw, given * 4)) return ReadFailure();
        table.resize(entries, qRgb(0, 0, 0));
        for (qint64 i = 0; i < given; ++i) table[i] = qRgb(raw[4 * i + 2], raw[4 * i + 1], raw[4 * i]);
    }

    // Pixel data: plain rows must all be in the file; run-length data is what the header says it
    // is, and never more than a picture of this size can take.
    const qint64 stride = ((l.width * l.bits + 31) / 32) * 4;
    const qint64 remaining = l.fileSize - l.dataOffset;
    qint64 dataSize = 0;
    if (l.compression == RunLength8 || l.compression == RunLength4) {
        if (l.imageSize > remaining) return ReadFailure();
        dataSize = l.imageSize != 0 ? qint64(l.imageSize) : remaining;
        dataSize = std::min<qint64>(dataSize, 2 * l.width * l.height + 2 * l.height + 64);
    } else {
        dataSize = stride * l.height;
        if (dataSize > remaining) return ReadFailure();
    }

    std::vector<unsigned char> pixels;
    try {
        pixels.resize(std::size_t(dataSize));
    } catch (const std::bad_alloc&) {
        return MemoryFailure();
    }
    if (!ReadAt(device, l.dataOffset, pixels.data(), dataSize)) return ReadFailure();

    QImage out(int(l.width), int(l.height), l.bits <= 8 ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    if (out.isNull()) return MemoryFailure();
    if (l.bits <= 8) {
        out.setColorTable(table);
        out.fill(0);
    }
    if (l.compression == RunLength8 || l.compression == RunLength4)
        DecodeRunLength(l, pixels.data(), dataSize, out);
    else
        DecodeRows(l, pixels.data(), stride, out);

    image = std::move(out);
    if (info) *info = {int(l.width), int(l.height), l.bits, int(l.compression)};
    return {};
}

}  // namespace

BitmapResult ReadBitmap(QIODevice& device, QImage& image, BitmapInfo* info) {
    image = QImage();
    if (info) *info = {};
    return ReadChecked(device, image, info);
}

int LoadBitmapFile(const QString& path, QImage& image, BitmapInfo* info) {
    image = QImage();
    if (info) *info = {};
    const QByteArray name = path.toLocal8Bit();

    // Only plain files: a folder or a device named like a picture is refused before it is opened.
    const QFileInfo fileInfo(path);
    int openError = 0;
    if (!fileInfo.exists())
        openError = ENOENT;
    else if (fileInfo.isDir())
        openError = EISDIR;
    else if (!fileInfo.isFile())
        openError = EINVAL;
    QFile file(path);
    if (openError == 0) {
        errno = 0;
        if (!file.open(QIODevice::ReadOnly)) openError = errno != 0 ? errno : EACCES;
    }
    if (openError != 0) {
        ReportError(openError, "failed to open bitmap file '%s'", name.constData());
        return 0;
    }

    const BitmapResult result = ReadBitmap(file, image, info);
    file.close();
    switch (result.status) {
        case BitmapStatus::Ok: return 1;
        case BitmapStatus::ReadFailed:
            ReportError(result.errorCode, "failed to read bitmap file '%s'", name.constData());
            break;
        case BitmapStatus::OutOfMemory:
            ReportError(result.errorCode, "out of memory");
            break;
        case BitmapStatus::CreateFailed:
            ReportError(result.errorCode, "failed to create bitmap from file '%s'", name.constData());
            break;
    }
    return 0;
}

}  // namespace zark
