#pragma once

#include <QFont>
#include <QRect>

namespace zark {

// Converts the dialog units in which the program's dialogs are laid out into pixels of a dialog
// font: a horizontal unit is a quarter of the font's average character width, a vertical unit an
// eighth of its height.
class DialogUnits final {
public:
    explicit DialogUnits(const QFont& font);

    // The program's dialog font, "MS Sans Serif" 8 point, or the nearest the system has.
    static QFont DialogFont();

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;

    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }

private:
    int baseX_ = 0;
    int baseY_ = 0;
};

}  // namespace zark
