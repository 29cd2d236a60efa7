#pragma once

#include <QPointer>
#include <functional>

#include "settings/registryaccess.h"

class QWidget;

namespace zark {

// Whether the start-up warnings are shown, and showing them. "HideWarningAtStartup" in the
// settings is read when the object is built (missing, or 0: shown; any other number: hidden) and
// written as 0 or 1 when it is destroyed, so a change takes effect at the next start.
class StartupWarnings final {
public:
    StartupWarnings();
    ~StartupWarnings();
    StartupWarnings(const StartupWarnings&) = delete;
    StartupWarnings& operator=(const StartupWarnings&) = delete;

    void SetOwner(QWidget* owner) { owner_ = owner; }
    // The sound that goes with the warnings, started without waiting for it (none until set).
    void SetAlertSound(std::function<void()> sound) { sound_ = std::move(sound); }

    int ShouldShowAtStartup() const { return showAtStartup_; }
    void SetShowAtStartup(int show) { showAtStartup_ = show ? 1 : 0; }

    // Starts the sound and runs the warnings dialog over the owner; returns the code it ended with.
    int Show();

private:
    RegistryAccess registry_;
    QPointer<QWidget> owner_;
    std::function<void()> sound_;
    int showAtStartup_ = 1;
};

}  // namespace zark
