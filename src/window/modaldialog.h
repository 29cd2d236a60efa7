#pragma once

#include <QDialog>

namespace zark {

// The program's buttons: OK and Cancel.
inline constexpr int kDialogOk = 2001;
inline constexpr int kDialogCancel = 2002;

// Base of the program's modal dialogs: Run() shows the dialog modally over its owner and returns
// the code it ended with. Closing the dialog ends it with 2002. Escape does nothing: a dialog ends
// only through its own buttons or by being closed.
class ModalDialog : public QDialog {
    Q_OBJECT

public:
    explicit ModalDialog(QWidget* owner);

    int Run();
    // Ends the dialog with a code; Run() returns it.
    void End(int code) { done(code); }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace zark
