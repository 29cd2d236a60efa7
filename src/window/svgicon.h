#pragma once

#include <QIcon>
#include <QString>

namespace zark {

// An icon drawn from an SVG file or resource at the sizes the program shows icons in. Rendered here
// rather than through an icon plug-in, so the icons never depend on one.
QIcon IconFromSvg(const QString& path);

}  // namespace zark
