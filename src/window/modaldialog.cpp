#include "window/modaldialog.h"

#include <QKeyEvent>

namespace zark {

ModalDialog::ModalDialog(QWidget* owner) : QDialog(owner) {
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

int ModalDialog::Run() { return exec(); }

// QDialog closes with reject(): the close box and the system menu end the dialog with Cancel.
void ModalDialog::reject() { done(kDialogCancel); }

void ModalDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        if (escapeCancels_) done(kDialogCancel);
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace zark
