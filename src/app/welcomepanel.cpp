#include "app/welcomepanel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QSvgRenderer>

#include "app/framerules.h"

namespace zark {
namespace {
constexpr int kCaptionCellHeight = 14;
}

WelcomePanel::WelcomePanel(QWidget* parent)
    : QWidget(parent), picture_(std::make_unique<QSvgRenderer>(QStringLiteral(":/zark/app/welcome.svg"))) {
    setObjectName(QStringLiteral("welcomePanel"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    picture_->setAspectRatioMode(Qt::KeepAspectRatioByExpanding);
    captionFont_ = font();
    captionFont_.setBold(true);
    // The caption font: a cell (ascent and descent) of at most 14 pixels.
    for (int size = kCaptionCellHeight; size > 6; --size) {
        captionFont_.setPixelSize(size);
        if (QFontMetrics(captionFont_).height() <= kCaptionCellHeight) break;
    }
}

WelcomePanel::~WelcomePanel() = default;

void WelcomePanel::SetCaption(const QString& caption) {
    caption_ = caption;
    update(CaptionRect());
}

QRect WelcomePanel::CaptionRect() const {
    const int height = std::min(kWelcomeCaptionHeight, this->height());
    return QRect(0, this->height() - height, width(), height);
}

QRect WelcomePanel::PictureRect() const { return QRect(0, 0, width(), height() - CaptionRect().height()); }

void WelcomePanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect picture = PictureRect();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = picture.size() * ratio;
    if (!picture.isEmpty() && rendered_.size() != pixels) {
        rendered_ = QPixmap(pixels);
        rendered_.fill(Qt::white);
        QPainter render(&rendered_);
        // Scaled to cover the whole picture area; what does not fit is cut off evenly.
        picture_->render(&render, QRectF(QPointF(0, 0), QSizeF(pixels)));
        rendered_.setDevicePixelRatio(ratio);
    }
    if (!picture.isEmpty()) painter.drawPixmap(picture.topLeft(), rendered_);

    const QRect caption = CaptionRect();
    painter.fillRect(caption, Qt::white);
    painter.setPen(Qt::black);
    painter.setFont(captionFont_);
    painter.drawText(caption.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignHCenter | Qt::TextSingleLine,
                     caption_);
}

}  // namespace zark
