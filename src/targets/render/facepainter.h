#pragma once

#include <functional>

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <bitset>

#include "core/tracestore.h"

class QPainter;

namespace zark {

struct TargetDescriptor;

// Where a target drawing goes: its client rectangle (the face is laid out in 0..width × 0..height)
// and the zoom, 1:1 to 4:1. At 1:1 kViewWidthUnits target units span the smaller of width and
// height, so a window of any shape shows the whole face; the printed page spreads them across its
// width (acrossWidth).
struct FaceGeometry {
    int width = 0;
    int height = 0;
    int zoom = 1;
    bool acrossWidth = false;
};
// The pixels that kViewWidthUnits span at 1:1.
int FaceSpan(const FaceGeometry& g);

// The "Center Series" shift of the store the points come from: added to a point when on and both
// of the point's coordinates are non-zero.
struct Centring {
    bool on = false;
    int x = 0;
    int y = 0;
};
Centring CentringOf(const TraceStore* store);

// The zoom within 1:1 .. 4:1.
int ClampedZoom(int zoom);

// span × zoom × u / 1694, truncated toward zero: every length on the face.
int UnitsToPixels(int span, int zoom, int units);
int UnitsToPixels(const FaceGeometry& g, int units);

// A size in hundredths of a millimetre in device pixels at dotsPerInch, rounded to the nearest.
int HundredthsToPixels(int hundredths, int dotsPerInch);

// A point in target units (x to the right, y upwards from shot shotIndex's aim centre) in client
// pixels. At 1:1 the aim centre of the shot is taken into account (the five bulls of the air rifle
// card, the biathlon plates); above 1:1 there is one face in the middle. With clamp the pixel stays
// inside the client rectangle.
QPoint ToPixel(const FaceGeometry& g, const TargetDescriptor* face, const Centring& centring, int x, int y,
               int shotIndex, bool clamp);

// The ring-number font: Liberation Sans (the metric twin of Arial) bold, pixelHeight high.
QFont LabelFont(int pixelHeight);
// zoom × 5 mm at the device's resolution.
int LabelFontHeight(int zoom, int dotsPerInch);

// How a face is drawn: screen (1-pixel outlines) or printer (0.2 mm white and 0.1 mm black
// outlines), and the hits that turn biathlon plates white.
struct FaceStyle {
    int labelFontHeight = 0;
    bool printing = false;
    int dotsPerInch = 96;  // for the printer's pen widths
    std::bitset<kMaxShots> hits;
};

// Draws the face into the painter's client rectangle (0, 0, width, height): white, the face's
// picture stretched from its 500-pixel scale and centred, then its rings as filled discs from the
// outside in, each with the ring numbers right, below, left and above the centre in the middle of
// its band. At 1:1 a face with several aim centres is drawn once per centre. Only black and white
// are used. face may be null (white only).
void ComposeFace(QPainter& painter, const FaceGeometry& g, const TargetDescriptor* face, const FaceStyle& style);

// The same, framed and with the shot marks, for a printed page; painter is set up by the caller so
// that (0, 0, width, height) is where the target goes.
struct PrintedMark {
    QRect rect;  // the mark's rectangle in client coordinates
    int holeDiameter = 0;
    bool selected = false;
};
// underMarks, when given, draws over the face and under the marks (the trace by phase).
void RenderForPrint(QPainter& painter, const FaceGeometry& g, const TargetDescriptor* face, const FaceStyle& style,
                    const PrintedMark* marks, int markCount, const std::function<void(QPainter&)>& underMarks = {});

// A shot mark in a size × size square at the painter's origin: a dark blue hole of about
// holeDiameter, ringed in red when selected and yellow otherwise. The painter should be clipped to
// the inscribed ellipse (the mark's window region); clip adds that clip itself.
void PaintShotMark(QPainter& painter, int size, int holeDiameter, bool selected, bool clip = false);

// A 0x00BBGGRR colour value as a QColor.
QColor ColourOf(std::uint32_t colourRef);

}  // namespace zark
