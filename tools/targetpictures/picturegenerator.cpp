#include "picturegenerator.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <utility>

#include "bitmapfile.h"
#include "picturesources.h"
#include "svglayers.h"
#include "zonepalette.h"

namespace zark {

namespace {

constexpr uchar kBlack = 0;
constexpr uchar kWhite = 1;

QImage MonoImage(QSize size) {
    QImage image(size, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(kWhite);
    return image;
}

QImage ZoneImage(QSize size) {
    QImage image(size, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < kZonePaletteSize; ++i) table.append(ZonePaletteColour(i));
    image.setColorTable(table);
    image.fill(kZoneWhite);
    return image;
}

// Black where the grey level is below the middle: where the drawing covers at least half the pixel.
QImage Threshold(const QImage& grey) {
    QImage mono = MonoImage(grey.size());
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* in = grey.constScanLine(y);
        uchar* out = mono.scanLine(y);
        for (int x = 0; x < grey.width(); ++x) out[x] = in[x] < 128 ? kBlack : kWhite;
    }
    return mono;
}

// Mirrored left to right, then moved shift pixels to the right (left when negative). Fails when the
// move would push part of the figure out of the picture.
bool MirroredAndMoved(const QImage& image, int shift, uchar background, QImage* result) {
    const QImage mirrored = image.mirrored(true, false);
    QImage moved = mirrored;
    moved.fill(background);
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const uchar* in = mirrored.constScanLine(y);
        uchar* out = moved.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const int to = x + shift;
            if (to >= 0 && to < width)
                out[to] = in[x];
            else if (in[x] != background)
                return false;
        }
    }
    *result = moved;
    return true;
}

}  // namespace

PictureGenerator::PictureGenerator(QString svgDirectory) : svgDirectory_(std::move(svgDirectory)) {}

bool PictureGenerator::Generate(QString* error) {
    images_.clear();
    for (const PictureSource& source : PictureSources()) {
        const bool ok = source.svg ? Draw(source.id, error) : Mirror(source.id, error);
        if (!ok) {
            *error = QStringLiteral("%1 (%2): %3").arg(source.id).arg(QLatin1String(source.name), *error);
            return false;
        }
    }
    return true;
}

bool PictureGenerator::Draw(int pictureId, QString* error) {
    const PictureSource& source = *FindPictureSource(pictureId);
    SvgLayers layers;
    if (!layers.Load(QDir(svgDirectory_).filePath(QLatin1String(source.svg)), error)) return false;
    QImage picture, zoneMap;
    if (!DrawFace(layers, source, &picture, &zoneMap, error)) {
        *error = QLatin1String(source.svg) + QStringLiteral(": ") + *error;
        return false;
    }
    images_.insert(source.id, picture);
    if (source.zoneMapId != 0) images_.insert(source.zoneMapId, zoneMap);
    return true;
}

bool PictureGenerator::DrawFace(const SvgLayers& layers, const PictureSource& source, QImage* picture,
                                QImage* zoneMap, QString* error) {
    const QSize size(source.width, source.height);
    if (layers.Size() != size) {
        *error = QStringLiteral("the drawing is %1x%2 pixels, the picture must be %3x%4")
                     .arg(layers.Size().width())
                     .arg(layers.Size().height())
                     .arg(size.width())
                     .arg(size.height());
        return false;
    }
    *picture = Threshold(layers.Render(QStringLiteral("picture")));

    const bool hasZones = layers.HasLayer(QStringLiteral("zones"));
    if (source.zoneMapId == 0 || !hasZones) {
        if (hasZones != (source.zoneMapId != 0)) {
            *error = hasZones ? QStringLiteral("it has zones but the picture has no zone map")
                              : QStringLiteral("it has no group with id \"zones\"");
            return false;
        }
        *zoneMap = QImage();
        return true;
    }
    const QImage hitArea = layers.HasLayer(QStringLiteral("hitarea"))
                               ? Threshold(layers.Render(QStringLiteral("hitarea")))
                               : *picture;

    QString problem;
    const QList<QRgb> colours = layers.Colours(QStringLiteral("zones"), &problem);
    if (!problem.isEmpty()) {
        *error = problem;
        return false;
    }
    QList<QImage> coverage;
    for (QRgb colour : colours) {
        if (!IsZoneColour(colour)) {
            *error = QStringLiteral("zone colour #%1 is not one of the scoring colours")
                         .arg(colour & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
            return false;
        }
        coverage.append(layers.RenderColour(QStringLiteral("zones"), colour));
    }

    // Each pixel of the figure takes the colour that covers most of it; ties go to the colour met first.
    QImage map = ZoneImage(size);
    for (int y = 0; y < size.height(); ++y) {
        const uchar* hit = hitArea.constScanLine(y);
        uchar* out = map.scanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            if (hit[x] != kBlack) continue;
            int best = 255;
            for (int c = 0; c < colours.size(); ++c) {
                const int grey = coverage[c].constScanLine(y)[x];
                if (grey < best) {
                    best = grey;
                    out[x] = uchar(ZonePaletteIndex(colours[c]));
                }
            }
        }
    }

    QSet<int> used;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) used.insert(map.constScanLine(y)[x]);
    QList<double> scores;
    for (int index : used)
        if (index != kZoneWhite) scores.append(ZoneScore(ZonePaletteColour(index)));
    std::sort(scores.begin(), scores.end());
    const QList<double> wanted(source.zoneScores.begin(), source.zoneScores.end());
    if (scores != wanted) {
        QStringList have, want;
        for (double score : scores) have.append(QString::number(score));
        for (double score : wanted) want.append(QString::number(score));
        *error = QStringLiteral("the zone map scores {%1}, it must score {%2}")
                     .arg(have.join(QLatin1String(", ")), want.join(QLatin1String(", ")));
        return false;
    }
    *zoneMap = map;
    return true;
}

bool PictureGenerator::Mirror(int pictureId, QString* error) {
    const PictureSource& source = *FindPictureSource(pictureId);
    const PictureSource* first = FindPictureSource(source.mirrorOf);
    if (!first || !images_.contains(first->id)) {
        *error = QStringLiteral("the face it mirrors is not drawn before it");
        return false;
    }
    QImage picture;
    if (!MirroredAndMoved(images_.value(first->id), source.shift, kWhite, &picture)) {
        *error =
            QStringLiteral("moving the mirrored figure by %1 pixels cuts it at the edge").arg(source.shift);
        return false;
    }
    images_.insert(source.id, picture);
    if (source.zoneMapId != 0) {
        QImage zoneMap;
        if (first->zoneMapId == 0 ||
            !MirroredAndMoved(images_.value(first->zoneMapId), source.shift, kZoneWhite, &zoneMap)) {
            *error = QStringLiteral("no zone map to mirror");
            return false;
        }
        images_.insert(source.zoneMapId, zoneMap);
    }
    return true;
}

QByteArray PictureGenerator::BitmapFile(int resourceId) const {
    const QImage image = images_.value(resourceId);
    if (image.isNull()) return {};
    return EncodeBitmapFile(image, image.colorCount() == 2 ? 1 : 4);
}

QByteArray PictureGenerator::ResourceCollection() const {
    QByteArray qrc = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/targets\">\n";
    for (int id : ResourceIds()) qrc += "    <file>" + QByteArray::number(id) + ".bmp</file>\n";
    qrc += "</qresource>\n</RCC>\n";
    return qrc;
}

bool PictureGenerator::Write(const QString& directory, QStringList* written, QString* error) const {
    QList<std::pair<QString, QByteArray>> files;
    for (int id : ResourceIds()) files.append({QString::number(id) + QStringLiteral(".bmp"), BitmapFile(id)});
    files.append({QStringLiteral("targets.qrc"), ResourceCollection()});
    if (!QDir().mkpath(directory)) {
        *error = QStringLiteral("cannot make %1").arg(directory);
        return false;
    }
    for (const auto& [name, bytes] : files) {
        const QString path = QDir(directory).filePath(name);
        QFile existing(path);
        if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes) continue;
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
            return false;
        }
        written->append(name);
    }
    return true;
}

QImage PictureGenerator::Overlay(int pictureId, int scale) const {
    const PictureSource* source = FindPictureSource(pictureId);
    const QImage picture = images_.value(pictureId);
    if (!source || picture.isNull() || scale < 1) return {};
    const QImage zoneMap = source->zoneMapId ? images_.value(source->zoneMapId) : QImage();
    QImage small(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const bool black = picture.pixelIndex(x, y) == kBlack;
            QRgb colour = black ? qRgb(70, 70, 70) : qRgb(255, 255, 255);
            if (!zoneMap.isNull() && zoneMap.pixelIndex(x, y) != kZoneWhite) {
                const QRgb zone = zoneMap.pixel(x, y);
                const int base = black ? 70 : 255;
                colour = qRgb((qRed(zone) * 3 + base) / 4, (qGreen(zone) * 3 + base) / 4,
                              (qBlue(zone) * 3 + base) / 4);
            }
            small.setPixel(x, y, colour);
        }
    }
    QImage large = small.scaled(picture.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QPainter painter(&large);
    painter.setRenderHint(QPainter::Antialiasing);
    // The middle of the picture is where the aim centre lies (the zone map's column width / 2).
    const QPointF centre(picture.width() / 2 * scale + scale / 2.0,
                         picture.height() / 2 * scale + scale / 2.0);
    painter.setBrush(Qt::NoBrush);
    for (int radius : source->ringRadii) {
        const double pixels = double(radius) * kPicturePixels / kPictureUnits * scale;
        painter.setPen(QPen(QColor(230, 0, 0), 1));
        painter.drawEllipse(centre, pixels, pixels);
    }
    if (!source->ringRadii.empty()) {
        const double outer =
            double(source->ringRadii.front() + source->bulletRadius) * kPicturePixels / kPictureUnits * scale;
        painter.setPen(QPen(QColor(230, 0, 0), 1, Qt::DashLine));
        painter.drawEllipse(centre, outer, outer);
    }
    painter.setPen(QPen(QColor(0, 160, 255), 1));
    painter.drawLine(centre - QPointF(3 * scale, 0), centre + QPointF(3 * scale, 0));
    painter.drawLine(centre - QPointF(0, 3 * scale), centre + QPointF(0, 3 * scale));
    return large;
}

}  // namespace zark
