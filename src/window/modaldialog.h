#pragma once

#include <QDialog>

namespace zark {

// The program's buttons: OK and Cancel.
inline constexpr int kDialogOk = 2001;
inline constexpr int kDialogCancel = 2002;

// Base of the program's modal dialogs: Run() shows the dialog modally over its owner and returns
// the code it ended with. Closing the dialog ends it with 2002. Escape does nothing unless the
// dialog says it cancels (SetEscapeCancels): a dialog ends through its own buttons or by being
// closed.
class ModalDialog : public QDialog {
    Q_OBJECT

public:
    explicit ModalDialog(QWidget* owner);

    int Run();
    // Ends the dialog with a code; Run() returns it.
    void End(int code) { done(code); }
    // Escape ends the dialog with 2002, as its Cancel button or its close box does.
    void SetEscapeCancels(bool on) { escapeCancels_ = on; }

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool escapeCancels_ = false;
};

}  // namespace zark
