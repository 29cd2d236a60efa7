// Any bytes as a bitmap file: the reader must not crash, must not read or allocate beyond what it
// checked, and a picture it accepts must be one it could build.
#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <cstdlib>

#include "targets/bitmapreader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImage image;
    zark::BitmapInfo info;
    const zark::BitmapResult result = zark::ReadBitmap(buffer, image, &info);
    if (result.status != zark::BitmapStatus::Ok) {
        if (!image.isNull() || info.width != 0) std::abort();
        return 0;
    }
    if (image.isNull() || image.width() != info.width || image.height() != info.height) std::abort();
    if (info.width > zark::kMaxBitmapSide || info.height > zark::kMaxBitmapSide ||
        std::int64_t(info.width) * info.height > zark::kMaxBitmapPixels)
        std::abort();
    // every pixel of an indexed picture has a colour
    if (image.format() == QImage::Format_Indexed8) {
        const int colours = image.colorCount();
        for (int y = 0; y < image.height(); ++y) {
            const uchar* line = image.constScanLine(y);
            for (int x = 0; x < image.width(); ++x)
                if (line[x] >= colours) std::abort();
        }
    }
    return 0;
}
