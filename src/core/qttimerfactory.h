#pragma once

#include "core/seriesinterfaces.h"

namespace zark {

// The series rules' timers on QTimer (single-shot, precise), fired by the main thread's event loop.
class QtTimerFactory final : public TimerFactory {
public:
    std::unique_ptr<FlowTimer> CreateTimer(std::function<void()> onFire) override;
};

}  // namespace zark
