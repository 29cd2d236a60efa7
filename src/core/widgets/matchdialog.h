#pragma once

#include <QDialog>

#include "core/matchprogramme.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace zark {

// The match dialog: the titles of a catalogue's programmes, sorted alphabetically, each item
// keeping its catalogue index; "OK" and "Cancel". OK is enabled only while a title is selected.
// A double-click on a title chooses it at once. exec() returns kOk or kCancel; closing the dialog
// is Cancel.
class MatchDialog final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kOk = 2001;
    static constexpr int kCancel = 2002;

    explicit MatchDialog(const MatchCatalogue& catalogue, QWidget* parent = nullptr);

    // The catalogue index chosen by OK or a double-click; -1 until then.
    int chosenIndex() const { return chosen_; }

    void accept() override;
    void reject() override;

private:
    void choose(QListWidgetItem* item);
    void updateOk();

    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    int chosen_ = -1;
};

}  // namespace zark
