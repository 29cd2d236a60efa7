#include "bmpbuilder.h"

namespace zark::test {
namespace {

void AppendU16(QByteArray& out, std::uint32_t v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

void AppendU32(QByteArray& out, std::uint32_t v) {
    AppendU16(out, v & 0xFFFF);
    AppendU16(out, v >> 16);
}

}  // namespace

void PutU16(QByteArray& bytes, int at, std::uint16_t value) {
    bytes[at] = char(value & 0xFF);
    bytes[at + 1] = char(value >> 8);
}

void PutU32(QByteArray& bytes, int at, std::uint32_t value) {
    PutU16(bytes, at, std::uint16_t(value & 0xFFFF));
    PutU16(bytes, at + 2, std::uint16_t(value >> 16));
}

QByteArray BuildBitmap(const BmpFile& file) {
    QByteArray info;
    AppendU32(info, std::uint32_t(file.headerSize));
    AppendU32(info, std::uint32_t(file.width));
    AppendU32(info, std::uint32_t(file.height));
    AppendU16(info, 1);
    AppendU16(info, std::uint32_t(file.bits));
    AppendU32(info, std::uint32_t(file.compression));
    AppendU32(info, std::uint32_t(file.pixels.size()));
    AppendU32(info, 2835);
    AppendU32(info, 2835);
    AppendU32(info, std::uint32_t(file.coloursUsed));
    AppendU32(info, 0);
    // masks sit at the start of the longer headers' extra part, or straight behind a 40-byte one
    for (std::uint32_t mask : file.masks) AppendU32(info, mask);
    while (info.size() < file.headerSize) info.append('\0');
    for (QRgb colour : file.palette) {
        info.append(char(qBlue(colour)));
        info.append(char(qGreen(colour)));
        info.append(char(qRed(colour)));
        info.append('\0');
    }
    QByteArray head("BM");
    const std::uint32_t offset = 14 + std::uint32_t(info.size());
    AppendU32(head, offset + std::uint32_t(file.pixels.size()));
    AppendU32(head, 0);
    AppendU32(head, offset);
    return head + info + file.pixels;
}

QByteArray PackRows(int width, int height, int bits, bool topDown, const std::function<std::uint32_t(int, int)>& value) {
    const int stride = ((width * bits + 31) / 32) * 4;
    QByteArray out(stride * height, '\0');
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        auto* line = reinterpret_cast<unsigned char*>(out.data()) + row * stride;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = value(x, y);
            switch (bits) {
                case 1: line[x / 8] |= (v & 1) << (7 - x % 8); break;
                case 4: line[x / 2] |= (v & 0xF) << ((x % 2) ? 0 : 4); break;
                case 8: line[x] = v & 0xFF; break;
                case 16: line[2 * x] = v & 0xFF; line[2 * x + 1] = (v >> 8) & 0xFF; break;
                case 24: line[3 * x] = v & 0xFF; line[3 * x + 1] = (v >> 8) & 0xFF; line[3 * x + 2] = (v >> 16) & 0xFF; break;
                case 32:
                    for (int k = 0; k < 4; ++k) line[4 * x + k] = (v >> (8 * k)) & 0xFF;
                    break;
            }
        }
    }
    return out;
}

}  // namespace zark::test
