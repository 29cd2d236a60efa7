#include "app/appicons.h"

#include <QString>

#include "window/svgicon.h"

namespace zark {

QIcon ProgramIcon() { return IconFromSvg(QStringLiteral(":/zark/app/zark.svg")); }

QIcon WarningIcon() { return IconFromSvg(QStringLiteral(":/zark/app/warning.svg")); }

}  // namespace zark
