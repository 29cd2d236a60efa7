#include "settings/widgets/svgpicture.h"

#include <QPainter>
#include <QSvgRenderer>

#include "window/svgicon.h"

namespace zark {

QString SettingsPicturePath(int id) { return QStringLiteral(":/zark/settings/%1.svg").arg(id); }

QIcon SettingsIcon(int id) { return IconFromSvg(SettingsPicturePath(id)); }

SvgPicture::SvgPicture(int id, QWidget* parent)
    : QWidget(parent), id_(id), renderer_(new QSvgRenderer(SettingsPicturePath(id), this)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

bool SvgPicture::IsValid() const { return renderer_->isValid(); }

void SvgPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    renderer_->render(&painter, QRectF(rect()));
}

}  // namespace zark
