#pragma once

#include "window/modaldialog.h"

class QLabel;
class QPushButton;

namespace zark {

// The start-up warnings: the three safety warnings in black on yellow, with an icon and "OK".
class WarningsDialog final : public ModalDialog {
    Q_OBJECT

public:
    static constexpr int kTextId = 2204;

    explicit WarningsDialog(QWidget* owner);

    // Strings 191, 192 and 193 of the chosen language, separated by blank lines.
    static QString WarningText();

    QLabel* Text() const { return text_; }
    QPushButton* OkButton() const { return ok_; }

private:
    QLabel* text_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace zark
