#pragma once

#include <QTimer>
#include <functional>

class QWidget;

namespace zark::test {

// While it lives, runs action once on the first modal dialog or message box that is shown, as
// soon as it is up (the action must end the dialog).
class ModalWatch final {
public:
    explicit ModalWatch(std::function<void(QWidget*)> action);
    ~ModalWatch();
    bool Seen() const { return seen_; }

private:
    QTimer timer_;
    std::function<void(QWidget*)> action_;
    bool seen_ = false;
};

}  // namespace zark::test
