#pragma once

#include <QPointer>
#include <QWidget>

#include "core/matchprogramme.h"

namespace zark {

// Chooses a programme with the modal match dialog, owned by the main window.
class MatchDialogChooser final : public MatchChooser {
public:
    explicit MatchDialogChooser(QWidget* owner = nullptr) : owner_(owner) {}

    void SetOwner(QWidget* owner) { owner_ = owner; }
    bool Choose(const MatchCatalogue& catalogue, int& index) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace zark
