#include "link/serialworker.h"

#include <QDeadlineTimer>
#include <QThread>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>

#include "diag/diagnostics.h"
#include "link/setupblock.h"

namespace zark {
namespace {

// Forwards what the decoder produces to the configured receiver. The receiver can be cut off
// (a worker left behind by Shutdown must not deliver to a link window that is gone).
class GuardedSink final : public LinkMessageSink {
public:
    void SetTarget(LinkMessageSink* target) {
        std::lock_guard lock(mutex_);
        target_ = target;
    }
    void DropTarget(LinkMessageSink* target) {
        std::lock_guard lock(mutex_);
        if (target_ == target) target_ = nullptr;
    }
    void PostLinkSample(std::uint32_t wParam, int isShot) override {
        std::lock_guard lock(mutex_);
        if (target_) target_->PostLinkSample(wParam, isShot);
    }
    void PostLinkLine(int side) override {
        std::lock_guard lock(mutex_);
        if (target_) target_->PostLinkLine(side);
    }

private:
    std::mutex mutex_;
    LinkMessageSink* target_ = nullptr;
};

// The values the main thread hands over; the worker takes a copy when it needs them.
struct Config {
    std::string portName;
    std::int32_t scale = 0;
    std::int32_t distance = 0;
    std::int32_t timeBetweenShots = 0;
    std::int32_t baseX = 0, baseY = 0;
    std::int32_t adjustX = 0, adjustY = 0;
    std::int32_t timeStep = 40;
    std::uint64_t connectNumber = 0;  // the number of the connect request that set these values
};

std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) { return std::int32_t(std::uint32_t(a) + std::uint32_t(b)); }

}  // namespace

struct SerialWorker::Core {
    explicit Core(PortFactory portFactory) : factory(std::move(portFactory)) {}

    Config Snapshot() {
        std::lock_guard lock(configMutex);
        return config;
    }
    // Whether a stop was asked for after the connect request with this number.
    bool StopAfter(std::uint64_t connectNumber) const { return lastStop.load() > connectNumber; }
    void SetState(State next) {
        {
            std::lock_guard lock(stateMutex);
            state = next;
        }
        stateChanged.notify_all();
    }

    PortFactory factory;
    WakeSignal wake;
    std::atomic<bool> connect{false};
    // Connect and stop requests are numbered in the order they are made (all on the main thread).
    // A stop closes the port opened for any connect made before it, even while that port is still
    // being opened, and leaves the ports of later connects alone.
    std::atomic<std::uint64_t> requests{0};
    std::atomic<std::uint64_t> lastStop{0};  // the number of the newest stop, 0 before any
    std::atomic<bool> adjust{false};
    std::atomic<bool> quit{false};
    std::atomic<bool> decoderPending{false};

    std::mutex configMutex;
    Config config;

    GuardedSink sink;
    DetectorDecoder decoder;  // worker thread only, after the first configuration

    mutable std::mutex stateMutex;
    mutable std::condition_variable stateChanged;
    State state = State::NotStarted;
};

namespace {

using Core = SerialWorker::Core;
using State = SerialWorker::State;

void ApplyDecoderConfiguration(Core& core) {
    if (!core.decoderPending.exchange(false)) return;
    core.decoder.Configure(&core.sink, core.Snapshot().timeStep);
}

void WriteSetupBlock(Core& core, SerialPort& port, const Config& config, std::int32_t offsetX, std::int32_t offsetY) {
    const UnitSetupBlock block = BuildSetupBlock(SetupScale(config.scale, config.distance), offsetX, offsetY,
                                                 SetupSteps(config.timeBetweenShots, config.timeStep));
    if (const int error = port.Write(block.data(), block.size(), SerialWorker::kWriteTimeoutMs))
        ReportError(error, "timeout writing data to communications port '%.255s'", config.portName.c_str());
    (void)core;
}

// Runs while the port is open, until a stop request or a failure of the wait.
void EventLoop(Core& core, SerialPort& port, const Config& opened) {
    if (const int error = core.wake.Prepare()) {
        ReportError(error, "failed to create overlapped event");
        return;
    }
    for (;;) {
        // cleared before the requests are looked at, so none raised meanwhile is missed; an
        // adjustment asked for while the port was closed is written here, right after the block
        if (core.wake.IsRaised()) core.wake.Clear();
        if (core.StopAfter(opened.connectNumber) || core.quit.load()) return;
        if (core.adjust.exchange(false)) {
            Config now = core.Snapshot();
            now.portName = opened.portName;
            WriteSetupBlock(core, port, now, WrappingAdd(now.baseX, now.adjustX), WrappingAdd(now.baseY, now.adjustY));
        }
        std::uint32_t mask = 0;
        int error = 0;
        const SerialPort::WaitResult result = port.WaitEvent(core.wake, mask, error);
        if (result == SerialPort::WaitResult::Failed) {
            ReportError(error, "WaitCommEvent failed");
            return;
        }
        if (result == SerialPort::WaitResult::Event) {
            ApplyDecoderConfiguration(core);
            core.decoder.ProcessEvent(mask, port);
        }
    }
}

void Run(std::shared_ptr<Core> shared) {
    Core& core = *shared;
    for (;;) {
        core.SetState(State::Idle);
        for (;;) {
            core.wake.Clear();
            if (core.quit.load()) {
                core.SetState(State::Ended);
                return;
            }
            if (core.connect.exchange(false)) break;
            core.wake.Wait();
        }
        const Config config = core.Snapshot();
        // a stop made since this connect: the link is not wanted any more
        if (core.StopAfter(config.connectNumber)) continue;
        core.SetState(State::Opening);
        ApplyDecoderConfiguration(core);
        const char* name = config.portName.c_str();
        std::unique_ptr<SerialPort> port = core.factory ? core.factory(config.portName) : nullptr;
        if (!port) {
            ReportError(ENODEV, "failed to open communications port '%.255s'", name);
            continue;
        }
        if (const int error = port->Open(config.portName)) {
            ReportError(error, "failed to open communications port '%.255s'", name);
            continue;
        }
        if (const int error = port->SetTimeouts()) {
            ReportError(error, "failed to set timeout for communications port '%.255s'", name);
            port->Close();
            continue;
        }
        if (const int error = port->SetLineParameters()) {
            ReportError(error, "failed to set communication parameters");
            port->Close();
            continue;
        }
        port->RaiseDtr();
        WriteSetupBlock(core, *port, config, config.baseX, config.baseY);
        core.SetState(State::Running);
        // a stop made while the port was being opened closes it at once (in the event loop)
        EventLoop(core, *port, config);
        core.SetState(State::Closing);
        port->Write(&kCloseByte, 1, SerialWorker::kWriteTimeoutMs);  // the result does not matter
        port->Close();
        port.reset();
    }
}

}  // namespace

SerialWorker::SerialWorker() : SerialWorker(PortFactory(CreatePort)) {}

SerialWorker::SerialWorker(PortFactory factory)
    : factory_(std::move(factory)), core_(std::make_shared<Core>(factory_)) {}

SerialWorker::~SerialWorker() { Shutdown(); }

SerialWorker& SerialWorker::Process() {
    static SerialWorker worker;
    return worker;
}

void SerialWorker::Start() {
    if (thread_) return;
    core_->quit.store(false);
    std::shared_ptr<Core> core = core_;
    thread_ = QThread::create([core] { Run(core); });
    thread_->setObjectName(QStringLiteral("serial worker"));
    thread_->start();
}

int SerialWorker::ConfigureAndConnect(const std::string& portName, LinkMessageSink* target, std::int32_t scale,
                                      std::int32_t timeBetweenShots, std::int32_t offsetX, std::int32_t offsetY,
                                      std::int32_t timeStep) {
    {
        std::lock_guard lock(core_->configMutex);
        Config& c = core_->config;
        c.portName = portName;
        c.scale = scale;
        c.timeBetweenShots = timeBetweenShots;
        c.baseX = offsetX;
        c.baseY = offsetY;
        c.timeStep = timeStep;
        c.connectNumber = ++core_->requests;
    }
    core_->sink.SetTarget(target);
    core_->decoderPending.store(true);
    core_->connect.store(true);
    core_->wake.Raise();
    return 1;
}

void SerialWorker::SetDistance(std::int32_t distance) {
    std::lock_guard lock(core_->configMutex);
    core_->config.distance = distance;
}

int SerialWorker::RequestAdjustment(std::int32_t dx, std::int32_t dy) {
    {
        std::lock_guard lock(core_->configMutex);
        core_->config.adjustX = dx;
        core_->config.adjustY = dy;
    }
    core_->adjust.store(true);
    core_->wake.Raise();
    return 1;
}

int SerialWorker::Disconnect() {
    core_->lastStop.store(++core_->requests);
    core_->wake.Raise();
    return 1;
}

void SerialWorker::DropTarget(LinkMessageSink* target) { core_->sink.DropTarget(target); }

void SerialWorker::Shutdown() {
    if (thread_) {
        core_->quit.store(true);
        core_->lastStop.store(++core_->requests);
        core_->wake.Raise();
        if (!thread_->wait(QDeadlineTimer(kShutdownWaitMs))) {
            // A thread cannot be ended safely from outside: cut it off from the link window and
            // give it another moment; one still busy then is left to end on its own.
            core_->sink.SetTarget(nullptr);
            if (!thread_->wait(QDeadlineTimer(kShutdownWaitMs))) {
                QObject::connect(thread_, &QThread::finished, thread_, &QObject::deleteLater);
                thread_ = nullptr;
                // the thread keeps the old core; the next Start begins with a fresh one
                core_ = std::make_shared<Core>(factory_);
            }
        }
        delete thread_;
        thread_ = nullptr;
    }
    // pending requests go with the events
    core_->connect.store(false);
    core_->adjust.store(false);
    core_->wake.Clear();
}

std::unique_ptr<SerialPort> SerialWorker::MakePort(const std::string& name) const {
    return factory_ ? factory_(name) : nullptr;
}

SerialWorker::State SerialWorker::state() const {
    std::lock_guard lock(core_->stateMutex);
    return core_->state;
}

bool SerialWorker::WaitUntilPortReleased(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(core_->stateMutex);
    return core_->stateChanged.wait_for(lock, timeout, [this] {
        const State s = core_->state;
        return s == State::NotStarted || s == State::Idle || s == State::Ended;
    });
}

bool SerialWorker::WaitForState(State wanted, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(core_->stateMutex);
    return core_->stateChanged.wait_for(lock, timeout, [this, wanted] { return core_->state == wanted; });
}

}  // namespace zark
