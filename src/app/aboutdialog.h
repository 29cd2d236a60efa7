#pragma once

#include "window/modaldialog.h"

class QPushButton;
class QTextEdit;

namespace zark {

// The About box: the program icon, the version text in a read-only centred field, and "OK".
class AboutDialog final : public ModalDialog {
    Q_OBJECT

public:
    static constexpr int kVersionTextId = 2201;

    explicit AboutDialog(QWidget* owner);

    // String 174 of the chosen language with the program's version.
    static QString VersionText();

    QTextEdit* Text() const { return text_; }
    QPushButton* OkButton() const { return ok_; }

private:
    QTextEdit* text_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Runs the About box over its owner.
class AboutBox final {
public:
    AboutBox();
    void SetOwner(QWidget* owner) { owner_ = owner; }
    int Show();

private:
    QWidget* owner_ = nullptr;
};

}  // namespace zark
