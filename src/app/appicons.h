#pragma once

#include <QIcon>

namespace zark {

// The program icon (window, About box) and the icon of the start-up warnings, drawn from their
// SVG sources among the program's resources.
QIcon ProgramIcon();
QIcon WarningIcon();

}  // namespace zark
