#pragma once

#include <QImage>
#include <QString>

class QIODevice;

namespace zark {

// What the reader found in a Windows bitmap file (".bmp", a device-independent bitmap behind a
// 14-byte file header).
struct BitmapInfo {
    int width = 0;
    int height = 0;        // rows; positive whatever the row order of the file
    int bitsPerPixel = 0;  // 1, 4, 8, 16, 24 or 32
    int compression = 0;   // 0 plain, 1 run-length 8, 2 run-length 4, 3 bit fields
    int colourCount = 0;   // entries of the colour table the pixels index (0 above 8 bits)
};

enum class BitmapStatus {
    Ok,
    ReadFailed,    // the file ends before what its headers promise, or they point outside it
    OutOfMemory,   // the picture cannot be held in memory
    CreateFailed,  // not a bitmap, or one whose header makes no picture we can build
};

struct BitmapResult {
    BitmapStatus status = BitmapStatus::Ok;
    int errorCode = 0;  // errno value for the log
};

// Largest pictures the reader builds: nothing is allocated for a header beyond these.
inline constexpr int kMaxBitmapSide = 16384;
inline constexpr int kMaxBitmapPixels = 16 * 1024 * 1024;

// Decodes the bitmap file held by an open, random-access device into image: 8-bit indexed with the
// file's colour table for 1, 4 and 8 bits per pixel, RGB32 above. Every size and offset of the
// headers is checked against the limits and against the device's size before anything is
// allocated or read, so a damaged or hostile file is rejected, never trusted. On failure image
// is left null. Logs nothing.
BitmapResult ReadBitmap(QIODevice& device, QImage& image, BitmapInfo* info = nullptr);

// Opens path (a file or a ":/" resource) and decodes it. Failures are written to the log:
// "failed to open bitmap file '%s'", "failed to read bitmap file '%s'", "out of memory",
// "failed to create bitmap from file '%s'". Returns 1 on success, 0 on failure.
int LoadBitmapFile(const QString& path, QImage& image, BitmapInfo* info = nullptr);

}  // namespace zark
