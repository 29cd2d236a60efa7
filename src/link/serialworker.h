#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "link/serialport.h"

class QThread;

namespace zark {

// Owns the serial port of the detector unit. One worker thread opens the port on request, sets it
// up ("9600,n,8,1", reads that return at once, DTR raised), writes the setup block, feeds every
// line event and received byte to the one DetectorDecoder of the run, and closes the port on
// request after writing 0x00. The main thread only hands over values and raises requests:
// - connect: (re)open with the configuration current when the worker gets to it. A connect made
//   while the port is open waits until the port closes, and then reopens at once.
// - stop: close the port opened for any earlier connect, also one still being opened (it is closed
//   right after its setup block); a stop made before a connect does not touch that connect.
// - adjust: write a setup block with the base offsets plus the adjustment. Made while no port is
//   open, it waits: after the next open the worker writes the plain block, then at once this one.
// Every failure is logged and leaves the worker idle with the port closed until the next connect;
// there is no automatic retry. An idle or waiting worker uses no CPU.
// What the decoder produces goes to the configured LinkMessageSink, on the worker thread.
//
// There is one worker per process (Process()) with two holders, the link window and the customize
// dialog: Start and Shutdown are idempotent, whichever holder comes first starts it and whichever
// goes first shuts it down. Tests make workers of their own with a port factory of their own.
class SerialWorker final {
public:
    enum class State { NotStarted, Idle, Opening, Running, Closing, Ended };

    static constexpr int kWriteTimeoutMs = 1000;
    static constexpr int kShutdownWaitMs = 1000;

    SerialWorker();
    explicit SerialWorker(PortFactory factory);
    ~SerialWorker();
    SerialWorker(const SerialWorker&) = delete;
    SerialWorker& operator=(const SerialWorker&) = delete;

    static SerialWorker& Process();

    // All of these run on the main thread.
    void Start();
    // Hands over the configuration and asks for a connection. The decoder takes the target and the
    // time step, and forgets its last line event, before it handles its next event. Returns 1.
    int ConfigureAndConnect(const std::string& portName, LinkMessageSink* target, std::int32_t scale,
                            std::int32_t timeBetweenShots, std::int32_t offsetX, std::int32_t offsetY,
                            std::int32_t timeStep);
    // Taken into the next setup block.
    void SetDistance(std::int32_t distance);
    int RequestAdjustment(std::int32_t dx, std::int32_t dy);
    int Disconnect();
    // The target is going away: nothing more is delivered to it.
    void DropTarget(LinkMessageSink* target);
    // Ends the thread: it closes the port and ends within 1000 ms; a thread that does not is
    // given another 1000 ms, with its deliveries cut off, and is then left to end on its own.
    void Shutdown();

    // A handle of the kind the worker would open for the name (the probe opens its own).
    std::unique_ptr<SerialPort> MakePort(const std::string& name) const;
    // Waits up to timeout until the worker holds no port.
    bool WaitUntilPortReleased(std::chrono::milliseconds timeout) const;
    State state() const;
    // Waits up to timeout for the state (for tests and tools).
    bool WaitForState(State wanted, std::chrono::milliseconds timeout) const;
    bool IsStarted() const { return thread_ != nullptr; }

    struct Core;

private:
    PortFactory factory_;
    std::shared_ptr<Core> core_;
    QThread* thread_ = nullptr;
};

}  // namespace zark
