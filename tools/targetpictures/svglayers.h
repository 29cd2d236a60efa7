#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>
#include <QSize>
#include <QString>

namespace zark {

// A picture's vector source: an SVG document whose drawing sits in up to three groups, each a
// layer of its own:
//   <g id="picture">  the silhouette in black (white shapes may cut details into it)
//   <g id="zones">    the scoring zones, each shape filled with a zone colour
//   <g id="hitarea">  where the figure can be hit, when that differs from the black of "picture"
// The document's size and viewBox are the picture's size in pixels.
class SvgLayers final {
public:
    // Reads the file; false with a reason when it cannot be read or is not such a document.
    bool Load(const QString& path, QString* error);
    bool LoadData(const QByteArray& data, QString* error);

    QSize Size() const { return size_; }
    bool HasLayer(const QString& layer) const;

    // The opaque fill and stroke colours used in the layer, in order of appearance. A shape in the
    // layer without a fill of its own or of a group around it is reported through error.
    QList<QRgb> Colours(const QString& layer, QString* error) const;

    // Draws the layer alone at the document size, anti-aliased, on white: grey levels (Grayscale8).
    QImage Render(const QString& layer) const;

    // Draws the layer with every fill and stroke of the given colour black and all others white:
    // the grey level of a pixel tells how much of it that colour covers where it is seen.
    QImage RenderColour(const QString& layer, QRgb colour) const;

private:
    QByteArray Filtered(const QString& layer, const QRgb* only) const;
    QImage Draw(const QByteArray& svg) const;

    QByteArray data_;
    QSize size_;
    QStringList layers_;
};

// Parses an SVG paint value ("#rgb", "#rrggbb", "black", "white"); false for "none" and others.
bool ParseSvgColour(const QString& text, QRgb* colour);

}  // namespace zark
