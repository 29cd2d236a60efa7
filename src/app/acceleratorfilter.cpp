#include "app/acceleratorfilter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace zark {

AcceleratorFilter::AcceleratorFilter(QWidget& window, std::vector<Accelerator> table, Dispatch dispatch)
    : window_(&window), table_(std::move(table)), dispatch_(std::move(dispatch)) {
    if (table_.size() > kMaxMatchedAccelerators) table_.resize(kMaxMatchedAccelerators);
    qApp->installEventFilter(this);
}

AcceleratorFilter::~AcceleratorFilter() {
    if (qApp) qApp->removeEventFilter(this);
}

int AcceleratorFilter::CommandOf(const QKeyEvent& event) const {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const int key = VirtualKeyOf(event.key(), modifiers.testFlag(Qt::KeypadModifier));
    return MatchAccelerator(table_, key, modifiers.testFlag(Qt::ControlModifier),
                           modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::AltModifier));
}

// Keys are translated for the main window only: a modal dialog and an open menu run their own
// keyboard handling, as does any other top-level window.
bool AcceleratorFilter::Applies(QObject* receiver) const {
    if (!window_ || !receiver || !receiver->isWidgetType()) return false;
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
    return static_cast<QWidget*>(receiver)->window() == window_;
}

bool AcceleratorFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
    if (!Applies(watched)) return false;
    const int command = CommandOf(*static_cast<QKeyEvent*>(event));
    if (command == 0) return false;
    if (type == QEvent::ShortcutOverride) {
        // Claim the key, so that it arrives as a key press and not as a toolkit shortcut.
        event->accept();
        return true;
    }
    event->accept();
    if (dispatch_) dispatch_(command);
    return true;
}

}  // namespace zark
