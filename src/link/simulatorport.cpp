#include "link/simulatorport.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <random>
#include <thread>

#include "link/rangecall.h"

namespace zark {
namespace {

// The simulated unit is one device: one handle holds it at a time.
std::atomic<bool> g_unitHeld{false};

constexpr auto kStep = std::chrono::milliseconds(DetectorSimulator::kStepMs);

}  // namespace

ShooterProfile ProfileFromEnvironment() {
    ShooterProfile profile = ShooterProfile::Club;
    const char* name = std::getenv(kProfileVariable);
    if (name) ParseShooterProfile(name, profile);
    return profile;
}

SimulatorPort::SimulatorPort() = default;

SimulatorPort::SimulatorPort(SimulatorOptions options) : seeded_(true), unit_(options) {}

SimulatorPort::~SimulatorPort() { Close(); }

int SimulatorPort::Open(const std::string&) {
    if (open_) return 0;
    if (g_unitHeld.exchange(true)) return EBUSY;
    open_ = true;
    if (!seeded_) unit_ = DetectorSimulator(SimulatorOptions{std::random_device{}(), true, ProfileFromEnvironment()});
    received_.clear();
    nextStep_ = Clock::now() + kStep;
    return 0;
}

int SimulatorPort::SetTimeouts() { return open_ ? 0 : EBADF; }
int SimulatorPort::SetLineParameters() { return open_ ? 0 : EBADF; }
void SimulatorPort::RaiseDtr() {}

int SimulatorPort::Write(const std::uint8_t* data, std::size_t size, int) {
    if (!open_) return EBADF;
    scratch_.clear();
    unit_.Receive(data, size, scratch_);
    received_.insert(received_.end(), scratch_.begin(), scratch_.end());
    return 0;
}

std::uint32_t SimulatorPort::CatchUp() {
    const auto now = Clock::now();
    if (now - nextStep_ > std::chrono::seconds(1)) nextStep_ = now;
    std::uint32_t lines = 0;
    while (nextStep_ <= now) {
        scratch_.clear();
        unit_.Hear(RangeCallNow());  // a timed series in the program: the shooter follows its calls
        lines |= unit_.Step(scratch_);
        received_.insert(received_.end(), scratch_.begin(), scratch_.end());
        nextStep_ += kStep;
    }
    return lines;
}

SerialPort::WaitResult SimulatorPort::WaitEvent(WakeSignal& wake, std::uint32_t& mask, int& error) {
    if (!open_) {
        error = EBADF;
        return WaitResult::Failed;
    }
    for (;;) {
        mask = CatchUp();
        if (!received_.empty()) mask |= EV_RXCHAR;
        if (mask) return WaitResult::Event;
        if (wake.WaitUntil(nextStep_)) return WaitResult::Woken;
    }
}

int SimulatorPort::ReadOne(int timeoutMs, int& error) {
    if (!open_) {
        error = EBADF;
        return -1;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        CatchUp();
        if (!received_.empty()) {
            received_.pop_front();
            return 1;
        }
        if (Clock::now() >= deadline) return 0;
        std::this_thread::sleep_until(std::min(nextStep_, deadline));
    }
}

bool SimulatorPort::ReadByte(std::uint8_t& byte) {
    if (received_.empty()) return false;
    byte = received_.front();
    received_.pop_front();
    return true;
}

void SimulatorPort::Close() {
    if (!open_) return;
    open_ = false;
    unit_.Stop();
    received_.clear();
    g_unitHeld.store(false);
}

}  // namespace zark
