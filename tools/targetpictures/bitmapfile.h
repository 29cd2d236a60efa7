#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>

namespace zark {

// A device-independent bitmap file as the program's resources keep them: file header, 40-byte
// information header, colour table, then uncompressed rows from the bottom up, each padded to 4 bytes.
//
// Encodes an Indexed8 image at 1 bit per pixel (2 colours: the pictures) or 4 bits per pixel
// (16 colours: the zone maps). The colour table is the image's, padded with black to the full size;
// every pixel index must fit the depth. Empty on a wrong image.
QByteArray EncodeBitmapFile(const QImage& indexed, int bitsPerPixel);

// The headers of a bitmap file, read without trusting them: valid only when the file is one the
// encoder above could have written and every size agrees with the file's length.
struct BitmapFileInfo {
    bool valid = false;
    int width = 0;
    int height = 0;  // rows stored bottom-up when positive
    int bitsPerPixel = 0;
    int compression = 0;
    int dataOffset = 0;
    int fileSize = 0;  // from the file header
    QList<QRgb> colourTable;
};
BitmapFileInfo ReadBitmapFileInfo(const QByteArray& file);

}  // namespace zark
