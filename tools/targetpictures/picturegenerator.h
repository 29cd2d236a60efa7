#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace zark {

class SvgLayers;
struct PictureSource;

// Makes the target pictures and zone maps from their vector sources (see PictureSources()): draws
// each first face, mirrors the second faces from it, and encodes them as the bitmap files the
// program loads as resources ":/targets/<id>.bmp".
//
// A picture is monochrome, Indexed8 with colour 0 black and 1 white: a pixel is black when the
// drawing covers at least half of it. A zone map is Indexed8 with the 16 zone colours
// (zonepalette.h): each pixel of the figure takes the zone colour that covers most of it, every
// pixel off the figure is white.
class PictureGenerator final {
public:
    explicit PictureGenerator(QString svgDirectory);

    // Draws everything; false with the first problem found (a source missing, of the wrong size,
    // a zone colour that is not one of the table, a zone map without all of its scores, ...).
    bool Generate(QString* error);

    // Every resource id made, pictures and zone maps, in increasing order.
    QList<int> ResourceIds() const { return images_.keys(); }
    // The image of a resource id (null when unknown) and its bitmap file.
    QImage Image(int resourceId) const { return images_.value(resourceId); }
    QByteArray BitmapFile(int resourceId) const;

    // The resource collection listing every bitmap under the prefix "/targets".
    QByteArray ResourceCollection() const;

    // Writes every bitmap file and "targets.qrc" into directory, leaving files that are already
    // right untouched; the names of the files written go to written.
    bool Write(const QString& directory, QStringList* written, QString* error) const;

    // Draws one first face from its loaded source: the picture, and the zone map when the source
    // has one. False with the reason when the source does not fit the table entry.
    static bool DrawFace(const SvgLayers& layers, const PictureSource& source, QImage* picture,
                         QImage* zoneMap, QString* error);

    // A picture magnified scale times for looking at: the figure in dark grey, its zones tinted in
    // their colours, the rings of the faces that use it in red around the middle of the picture.
    QImage Overlay(int pictureId, int scale) const;

private:
    bool Draw(int pictureId, QString* error);
    bool Mirror(int pictureId, QString* error);

    QString svgDirectory_;
    QMap<int, QImage> images_;
};

}  // namespace zark
