#include "svglayers.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace zark {

namespace {

const QStringList kLayerNames{QStringLiteral("picture"), QStringLiteral("zones"), QStringLiteral("hitarea")};
const QStringList kShapes{QStringLiteral("path"),    QStringLiteral("rect"),    QStringLiteral("circle"),
                          QStringLiteral("ellipse"), QStringLiteral("polygon"), QStringLiteral("polyline"),
                          QStringLiteral("line")};

// The value with its paint recoloured: the chosen colour black, every other colour white.
QString Recoloured(const QString& value, QRgb only) {
    QRgb colour;
    if (!ParseSvgColour(value, &colour)) return value;
    return colour == only ? QStringLiteral("#000000") : QStringLiteral("#ffffff");
}

QString RecolouredStyle(const QString& style, QRgb only) {
    QStringList declarations = style.split(QLatin1Char(';'));
    for (QString& declaration : declarations) {
        const int colon = declaration.indexOf(QLatin1Char(':'));
        if (colon < 0) continue;
        const QString name = declaration.left(colon).trimmed();
        if (name == QLatin1String("fill") || name == QLatin1String("stroke"))
            declaration = name + QLatin1Char(':') + Recoloured(declaration.mid(colon + 1).trimmed(), only);
    }
    return declarations.join(QLatin1Char(';'));
}

// The fill and stroke values an element sets itself, by attribute or style.
void PaintOf(const QXmlStreamAttributes& attributes, QString* fill, QString* stroke) {
    if (attributes.hasAttribute(QLatin1String("fill")))
        *fill = attributes.value(QLatin1String("fill")).toString();
    if (attributes.hasAttribute(QLatin1String("stroke")))
        *stroke = attributes.value(QLatin1String("stroke")).toString();
    const QStringList declarations =
        attributes.value(QLatin1String("style")).toString().split(QLatin1Char(';'));
    for (const QString& declaration : declarations) {
        const int colon = declaration.indexOf(QLatin1Char(':'));
        if (colon < 0) continue;
        const QString name = declaration.left(colon).trimmed();
        if (name == QLatin1String("fill")) *fill = declaration.mid(colon + 1).trimmed();
        if (name == QLatin1String("stroke")) *stroke = declaration.mid(colon + 1).trimmed();
    }
}

}  // namespace

bool ParseSvgColour(const QString& text, QRgb* colour) {
    const QString value = text.trimmed().toLower();
    if (value == QLatin1String("black")) {
        *colour = 0xFF000000u;
        return true;
    }
    if (value == QLatin1String("white")) {
        *colour = 0xFFFFFFFFu;
        return true;
    }
    if (!value.startsWith(QLatin1Char('#'))) return false;
    bool ok = false;
    const uint bits = value.mid(1).toUInt(&ok, 16);
    if (!ok) return false;
    if (value.size() == 7) {
        *colour = 0xFF000000u | bits;
        return true;
    }
    if (value.size() == 4) {
        const uint r = (bits >> 8) & 0xF, g = (bits >> 4) & 0xF, b = bits & 0xF;
        *colour = qRgb(int(r * 17), int(g * 17), int(b * 17));
        return true;
    }
    return false;
}

bool SvgLayers::Load(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    if (!LoadData(file.readAll(), error)) {
        *error = path + QStringLiteral(": ") + *error;
        return false;
    }
    return true;
}

bool SvgLayers::LoadData(const QByteArray& data, QString* error) {
    data_ = data;
    layers_.clear();
    size_ = QSize();
    QXmlStreamReader reader(data_);
    bool root = true;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (root) {
            root = false;
            if (reader.name() != QLatin1String("svg")) {
                *error = QStringLiteral("not an SVG document");
                return false;
            }
            const QStringList box =
                attributes.value(QLatin1String("viewBox")).toString().simplified().split(QLatin1Char(' '));
            const int width = attributes.value(QLatin1String("width")).toInt();
            const int height = attributes.value(QLatin1String("height")).toInt();
            if (box.size() != 4 || box[0] != QLatin1String("0") || box[1] != QLatin1String("0") ||
                box[2].toInt() != width || box[3].toInt() != height || width <= 0 || height <= 0) {
                *error =
                    QStringLiteral("the svg element needs width, height and viewBox \"0 0 width height\"");
                return false;
            }
            size_ = QSize(width, height);
        }
        const QString id = attributes.value(QLatin1String("id")).toString();
        if (kLayerNames.contains(id)) {
            if (reader.name() != QLatin1String("g") || layers_.contains(id)) {
                *error = QStringLiteral("layer \"%1\" must be one group").arg(id);
                return false;
            }
            layers_.append(id);
        }
    }
    if (reader.hasError()) {
        *error = QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
        return false;
    }
    if (!layers_.contains(QLatin1String("picture"))) {
        *error = QStringLiteral("no group with id \"picture\"");
        return false;
    }
    return true;
}

bool SvgLayers::HasLayer(const QString& layer) const {
    return layers_.contains(layer);
}

QList<QRgb> SvgLayers::Colours(const QString& layer, QString* error) const {
    QList<QRgb> colours;
    QXmlStreamReader reader(data_);
    int depth = 0;              // elements open inside the layer, 0 outside it
    QList<bool> filled{false};  // whether a fill is in force at each open level
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (depth > 0) {
                --depth;
                filled.removeLast();
            }
            continue;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (depth == 0) {
            if (attributes.value(QLatin1String("id")) != layer) continue;
        }
        ++depth;
        QString fill, stroke;
        PaintOf(attributes, &fill, &stroke);
        filled.append(filled.last() || !fill.isEmpty());
        for (const QString& paint : {fill, stroke}) {
            QRgb colour;
            if (ParseSvgColour(paint, &colour) && !colours.contains(colour)) colours.append(colour);
        }
        if (kShapes.contains(reader.name().toString()) && !filled.last() && error->isEmpty())
            *error = QStringLiteral("a %1 in layer \"%2\" has no fill colour (line %3)")
                         .arg(reader.name().toString(), layer)
                         .arg(reader.lineNumber());
    }
    return colours;
}

QByteArray SvgLayers::Filtered(const QString& layer, const QRgb* only) const {
    QByteArray out;
    QXmlStreamReader reader(data_);
    QXmlStreamWriter writer(&out);
    int skipping = 0;  // depth inside a layer that is left out
    int inside = 0;    // depth inside the chosen layer
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (skipping > 0) {
            if (token == QXmlStreamReader::StartElement) ++skipping;
            if (token == QXmlStreamReader::EndElement) --skipping;
            continue;
        }
        if (token == QXmlStreamReader::StartElement) {
            const QXmlStreamAttributes attributes = reader.attributes();
            const QString id = attributes.value(QLatin1String("id")).toString();
            if (inside == 0 && kLayerNames.contains(id) && id != layer) {
                skipping = 1;
                continue;
            }
            if (inside > 0 || id == layer) ++inside;
            // Written by qualified names, so prefixed attributes and namespace declarations pass
            // through as they are.
            writer.writeStartElement(reader.qualifiedName().toString());
            for (const QXmlStreamNamespaceDeclaration& declaration : reader.namespaceDeclarations()) {
                const QString prefix = declaration.prefix().toString();
                writer.writeAttribute(
                    prefix.isEmpty() ? QStringLiteral("xmlns") : QStringLiteral("xmlns:") + prefix,
                    declaration.namespaceUri().toString());
            }
            for (const QXmlStreamAttribute& attribute : attributes) {
                const QString name = attribute.qualifiedName().toString();
                QString value = attribute.value().toString();
                if (only && inside > 0) {
                    if (name == QLatin1String("fill") || name == QLatin1String("stroke"))
                        value = Recoloured(value, *only);
                    else if (name == QLatin1String("style"))
                        value = RecolouredStyle(value, *only);
                }
                writer.writeAttribute(name, value);
            }
            continue;
        }
        if (token == QXmlStreamReader::EndElement) {
            if (inside > 0) --inside;
            writer.writeEndElement();
            continue;
        }
        if (token == QXmlStreamReader::Characters && !reader.isWhitespace())
            writer.writeCharacters(reader.text().toString());
    }
    return out;
}

QImage SvgLayers::Draw(const QByteArray& svg) const {
    QImage image(size_, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QSvgRenderer renderer(svg);
    if (renderer.isValid()) {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(0, 0, size_.width(), size_.height()));
    }
    return image.convertToFormat(QImage::Format_Grayscale8);
}

QImage SvgLayers::Render(const QString& layer) const {
    return Draw(Filtered(layer, nullptr));
}

QImage SvgLayers::RenderColour(const QString& layer, QRgb colour) const {
    return Draw(Filtered(layer, &colour));
}

}  // namespace zark
