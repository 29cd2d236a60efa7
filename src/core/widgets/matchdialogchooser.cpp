#include "core/widgets/matchdialogchooser.h"

#include "core/widgets/matchdialog.h"

namespace zark {

bool MatchDialogChooser::Choose(const MatchCatalogue& catalogue, int& index) {
    MatchDialog dialog(catalogue, owner_);
    if (dialog.exec() != MatchDialog::kOk) return false;
    index = dialog.chosenIndex();
    return true;
}

}  // namespace zark
