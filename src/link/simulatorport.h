#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "link/serialport.h"
#include "link/simulator.h"

namespace zark {

// The environment variable that chooses the shooter of the built-in unit: "beginner", "club" (the
// default, also for anything else) or "elite".
inline constexpr char kProfileVariable[] = "ZARK_SIM_PROFILE";
ShooterProfile ProfileFromEnvironment();

// The port choice "Simulator": a simulated detector unit behind the port interface, clocked by the
// steady clock at one step per 40 ms. Like a real device it is held by one handle at a time.
// Steps the worker was too busy for are caught up at once (up to a second; after a longer stall the
// clock starts anew), so no sample is lost.
class SimulatorPort final : public SerialPort {
public:
    // The built-in unit: a new shooter (seed) at every open, of the profile ZARK_SIM_PROFILE names.
    SimulatorPort();
    explicit SimulatorPort(SimulatorOptions options);
    ~SimulatorPort() override;
    SimulatorPort(const SimulatorPort&) = delete;
    SimulatorPort& operator=(const SimulatorPort&) = delete;

    int Open(const std::string& name) override;
    int SetTimeouts() override;
    int SetLineParameters() override;
    void RaiseDtr() override;
    int Write(const std::uint8_t* data, std::size_t size, int timeoutMs) override;
    WaitResult WaitEvent(WakeSignal& wake, std::uint32_t& mask, int& error) override;
    int ReadOne(int timeoutMs, int& error) override;
    bool ReadByte(std::uint8_t& byte) override;
    void Close() override;
    bool IsOpen() const override { return open_; }

    const DetectorSimulator& unit() const { return unit_; }

private:
    using Clock = std::chrono::steady_clock;

    // Runs the steps that are due: the lines that changed.
    std::uint32_t CatchUp();

    bool open_ = false;
    bool seeded_ = false;
    DetectorSimulator unit_;
    std::deque<std::uint8_t> received_;
    std::vector<std::uint8_t> scratch_;
    Clock::time_point nextStep_{};
};

}  // namespace zark
