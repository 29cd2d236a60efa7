#include "targets/render/facepainter.h"

#include <QPainter>
#include <QPen>
#include <algorithm>

#include "targets/targetdescriptor.h"

namespace zark {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
// Liberation Sans: ascent 1854 and descent 434 in 2048 units per em. A font asked for by its cell
// height gets an em of height × 2048 / 2288.
constexpr int kFontUnitsPerEm = 2048;
constexpr int kFontCellUnits = 1854 + 434;

void DrawPicture(QPainter& painter, const FaceGeometry& g, const TargetDescriptor& face) {
    const GdiBitmapHolder* picture = face.Picture();
    if (!picture) return;
    const long long w = g.width;
    const int width = int(g.zoom * picture->Width() * w / kPicturePixelsPerView);
    const int height = int(g.zoom * picture->Height() * w / kPicturePixelsPerView);
    if (width <= 0 || height <= 0) return;
    const QRect target((g.width - width) / 2, (g.height - height) / 2, width, height);
    painter.drawImage(target, picture->Image());
}

// A ring's radius in pixels, truncated as UnitsToPixels truncates whole units.
int RadiusPixels(const FaceGeometry& g, double units) {
    return int(double(g.width) * g.zoom * units / kViewWidthUnits);
}

void DrawRings(QPainter& painter, const FaceGeometry& g, const TargetDescriptor& face, const FaceStyle& style) {
    QPen whitePen(QColor::fromRgb(kWhite));
    QPen blackPen(QColor::fromRgb(kBlack));
    if (style.printing) {
        whitePen.setWidth(std::max(1, HundredthsToPixels(20, style.dotsPerInch)));
        blackPen.setWidth(std::max(1, HundredthsToPixels(10, style.dotsPerInch)));
    } else {
        whitePen.setWidth(1);
        blackPen.setWidth(1);
    }
    const int centres = g.zoom == 1 ? face.CentreCount() : 1;
    const bool biathlon = (face.Kind() & KindBiathlon) != 0;
    const QFont font = LabelFont(style.labelFontHeight);
    painter.setFont(font);
    const int halfFont = style.labelFontHeight / 2;
    for (int k = 0; k < centres; ++k) {
        const TargetPoint c = g.zoom == 1 ? face.AimCentre(k) : TargetPoint{};
        const int cx = UnitsToPixels(g, c.x) + g.width / 2;
        const int cy = UnitsToPixels(g, c.y) + g.height / 2;
        const bool inverted = biathlon && k < kMaxShots && style.hits[std::size_t(k)];
        for (int j = 0; j < face.RingCount(); ++j) {
            const int colour = (face.RingColour(j) ^ (inverted ? 0xFFFFFF : 0)) & 0xFFFFFF;
            const QRgb fill = colour ? kWhite : kBlack;
            painter.setPen(colour ? blackPen : whitePen);
            painter.setBrush(QColor::fromRgb(fill));
            const int r = RadiusPixels(g, face.RingRadius(j));
            painter.drawEllipse(QPoint(cx, cy), r, r);
            const char* label = face.RingLabel(j);
            if (!label || !*label) continue;
            const int m = RadiusPixels(g, (face.RingRadius(j) + face.RingRadius(j + 1)) / 2);
            painter.setPen(QColor::fromRgb(colour ? kBlack : kWhite));
            const QString text = QString::fromLatin1(label);
            const QPoint at[] = {{cx + m, cy + halfFont}, {cx, cy + m + halfFont}, {cx - m, cy + halfFont},
                                 {cx, cy + halfFont - m}};
            for (const QPoint& p : at) {
                // bottom-centre alignment at p
                painter.drawText(QRect(p.x() - 1000, p.y() - 2000, 2000, 2000), Qt::AlignHCenter | Qt::AlignBottom,
                                 text);
            }
        }
    }
}

}  // namespace

Centring CentringOf(const TraceStore* store) {
    if (!store || !store->Centred()) return {};
    return Centring{true, store->CentreX(), store->CentreY()};
}

int ClampedZoom(int zoom) { return std::clamp(zoom, 1, 4); }

int UnitsToPixels(int width, int zoom, int units) {
    return int(static_cast<long long>(width) * zoom * units / kViewWidthUnits);
}

int UnitsToPixels(const FaceGeometry& g, int units) { return UnitsToPixels(g.width, g.zoom, units); }

int HundredthsToPixels(int hundredths, int dotsPerInch) {
    const long long product = static_cast<long long>(hundredths) * dotsPerInch;
    return int((product >= 0 ? product + 1270 : product - 1270) / 2540);
}

QPoint ToPixel(const FaceGeometry& g, const TargetDescriptor* face, const Centring& centring, int x, int y,
               int shotIndex, bool clamp) {
    const TargetPoint c = (g.zoom == 1 && face) ? face->AimCentre(shotIndex) : TargetPoint{};
    if (centring.on && !(x == 0 && y == 0)) {  // only (0, 0) is no position
        x += centring.x;
        y += centring.y;
    }
    int px = UnitsToPixels(g, x + c.x) + g.width / 2;
    int py = UnitsToPixels(g, c.y - y) + g.height / 2;
    if (clamp) {
        px = std::clamp(px, 0, std::max(0, g.width));
        py = std::clamp(py, 0, std::max(0, g.height));
    }
    return {px, py};
}

QFont LabelFont(int pixelHeight) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStyleStrategy(QFont::NoAntialias);  // only black and white on the face
    font.setPixelSize(std::max(1, pixelHeight * kFontUnitsPerEm / kFontCellUnits));
    return font;
}

int LabelFontHeight(int zoom, int dotsPerInch) { return HundredthsToPixels(ClampedZoom(zoom) * 500, dotsPerInch); }

void ComposeFace(QPainter& painter, const FaceGeometry& g, const TargetDescriptor* face, const FaceStyle& style) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.fillRect(QRect(0, 0, g.width, g.height), QColor::fromRgb(kWhite));
    if (face && g.width > 0 && g.height > 0) {
        painter.setClipRect(QRect(0, 0, g.width, g.height), Qt::IntersectClip);
        DrawPicture(painter, g, *face);
        DrawRings(painter, g, *face, style);
    }
    painter.restore();
}

void RenderForPrint(QPainter& painter, const FaceGeometry& g, const TargetDescriptor* face, const FaceStyle& style,
                    const PrintedMark* marks, int markCount, const std::function<void(QPainter&)>& underMarks) {
    FaceStyle printStyle = style;
    printStyle.printing = true;
    ComposeFace(painter, g, face, printStyle);
    if (underMarks) {
        painter.save();
        painter.setClipRect(QRect(0, 0, g.width, g.height), Qt::IntersectClip);
        underMarks(painter);
        painter.restore();
    }
    painter.save();
    painter.setPen(QPen(QColor::fromRgb(kBlack), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, g.width - 1, g.height - 1));
    for (int i = 0; marks && i < markCount; ++i) {
        const PrintedMark& mark = marks[i];
        if (mark.rect.isEmpty()) continue;
        painter.save();
        painter.translate(mark.rect.topLeft());
        PaintShotMark(painter, mark.rect.width(), mark.holeDiameter, mark.selected, true);
        painter.restore();
    }
    painter.restore();
}

void PaintShotMark(QPainter& painter, int size, int holeDiameter, bool selected, bool clip) {
    if (size <= 0) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (clip) painter.setClipRegion(QRegion(0, 0, size, size, QRegion::Ellipse), Qt::IntersectClip);
    // The mark is a disc in the ring colour with the dark blue hole in its middle; the hole is
    // about holeDiameter wide (the inner edge of a pen size - holeDiameter + 1 wide centred on
    // the mark's outline) and always leaves a rim of at least a pixel.
    painter.setPen(Qt::NoPen);
    painter.setBrush(selected ? QColor(255, 0, 0) : QColor(255, 255, 0));
    painter.drawEllipse(QRect(0, 0, size, size));
    const int hole = std::clamp(holeDiameter - 1, 1, std::max(1, size - 2));
    const int offset = (size - hole) / 2;
    painter.setBrush(QColor(0, 0, 160));
    painter.drawEllipse(QRect(offset, offset, hole, hole));
    painter.restore();
}

QColor ColourOf(std::uint32_t colourRef) {
    return QColor(int(colourRef & 0xFF), int((colourRef >> 8) & 0xFF), int((colourRef >> 16) & 0xFF));
}

}  // namespace zark
