#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

#include "app/accelerators.h"

class QKeyEvent;
class QWidget;

namespace zark {

// The program's shortcut translation: while it lives, a key pressed in the main window (and not
// in a modal dialog or an open menu) is matched against the shortcut table by the program's own
// rule, and a match is sent to the main window as its command instead of reaching any widget.
// The toolkit's own shortcuts never take a key of the table that matches.
class AcceleratorFilter final : public QObject {
    Q_OBJECT

public:
    using Dispatch = std::function<void(int command)>;

    AcceleratorFilter(QWidget& window, std::vector<Accelerator> table, Dispatch dispatch);
    ~AcceleratorFilter() override;

    // The command of a key event by the matching rule; 0 when none.
    int CommandOf(const QKeyEvent& event) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Applies(QObject* receiver) const;

    QPointer<QWidget> window_;
    std::vector<Accelerator> table_;
    Dispatch dispatch_;
};

}  // namespace zark
