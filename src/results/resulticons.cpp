#include "results/resulticons.h"

#include <QFont>
#include <QPainter>
#include <QtMath>

namespace zark {
namespace {

constexpr int kSide = 16;

QImage Blank(qreal dpr) {
    QImage image(int(kSide * dpr), int(kSide * dpr), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    return image;
}

QImage Badge(const QString& text, const QColor& fill, qreal dpr) {
    QImage image = Blank(dpr);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(QRectF(0.5, 0.5, kSide - 1, kSide - 1));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(text.size() > 1 ? 8 : 10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, kSide, kSide), Qt::AlignCenter, text);
    return image;
}

}  // namespace

QImage NumberBadge(int number, qreal dpr) { return Badge(QString::number(number), QColor(0, 70, 140), dpr); }

QImage TotalBadge(qreal dpr) { return Badge(QStringLiteral("\u03a3"), QColor(128, 0, 0), dpr); }

QImage ClockFace(int hour, qreal dpr) {
    QImage image = Blank(dpr);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(Qt::white);
    const QPointF centre(kSide / 2.0, kSide / 2.0);
    p.drawEllipse(centre, 7, 7);
    const double angle = qDegreesToRadians(30.0 * (hour % 12));
    const QPointF tip(centre.x() + 5.5 * std::sin(angle), centre.y() - 5.5 * std::cos(angle));
    p.setPen(QPen(QColor(200, 0, 0), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, tip);
    return image;
}

}  // namespace zark
