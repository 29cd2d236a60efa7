#include "core/qttimerfactory.h"

#include <QTimer>

namespace zark {
namespace {

class QtFlowTimer final : public FlowTimer {
public:
    explicit QtFlowTimer(std::function<void()> onFire) : onFire_(std::move(onFire)) {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { onFire_(); });
    }
    void Start(int ms) override { timer_.start(ms < 0 ? 0 : ms); }
    void Stop() override { timer_.stop(); }
    bool Active() const override { return timer_.isActive(); }

private:
    QTimer timer_;
    std::function<void()> onFire_;
};

}  // namespace

std::unique_ptr<FlowTimer> QtTimerFactory::CreateTimer(std::function<void()> onFire) {
    return std::make_unique<QtFlowTimer>(std::move(onFire));
}

}  // namespace zark
