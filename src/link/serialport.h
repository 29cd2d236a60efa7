#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "link/detectordecoder.h"

namespace zark {

// Wakes the serial worker out of whatever it waits for: the wait for a connect request, or the
// wait on the open port. Raised by the requests of the main thread; the worker clears it before
// it looks at the requests, so no request is ever missed. On Unix it also has a pipe whose read
// end a port adds to its poll().
class WakeSignal final {
public:
    WakeSignal() = default;
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    // Creates the pipe if there is none yet: 0, or the system's error code.
    int Prepare();
    void Raise();
    void Clear();
    bool IsRaised() const { return raised_.load(); }
    // Waits until raised, or until the deadline: true when raised.
    bool WaitUntil(std::chrono::steady_clock::time_point deadline);
    void Wait();
    // The read end of the pipe, -1 when there is none.
    int fd() const { return readFd_; }

private:
    std::atomic<bool> raised_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    int readFd_ = -1;
    int writeFd_ = -1;
};

// One handle on a serial port, as the worker (or a probe) uses it. Operations return 0 or the
// system's error code (errno values). Used by one thread at a time.
class SerialPort : public ByteSource {
public:
    enum class WaitResult { Event, Woken, Failed };

    ~SerialPort() override = default;

    // Opens an existing device for reading and writing, for this handle alone.
    virtual int Open(const std::string& name) = 0;
    // Reads return at once with whatever is buffered.
    virtual int SetTimeouts() = 0;
    // 9600 baud, no parity, 8 data bits, 1 stop bit, no flow control.
    virtual int SetLineParameters() = 0;
    virtual void RaiseDtr() = 0;
    // Writes every byte within timeoutMs.
    virtual int Write(const std::uint8_t* data, std::size_t size, int timeoutMs) = 0;
    // Waits for received bytes or a change of CTS or DSR, or until wake is raised. On Event, mask
    // holds EV_RXCHAR, EV_CTS and EV_DSR as they apply; on Failed, error holds the code.
    virtual WaitResult WaitEvent(WakeSignal& wake, std::uint32_t& mask, int& error) = 0;
    // Waits up to timeoutMs for one received byte: 1 when one came, 0 on time-out, -1 on failure
    // (error holds the code).
    virtual int ReadOne(int timeoutMs, int& error) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
};

// Makes the handle for a port name: the simulated unit for "Simulator", else the system's port.
using PortFactory = std::function<std::unique_ptr<SerialPort>(const std::string& name)>;

std::unique_ptr<SerialPort> CreateSystemPort();
std::unique_ptr<SerialPort> CreatePort(const std::string& name);

}  // namespace zark
