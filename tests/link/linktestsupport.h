#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/notification.h"
#include "core/shootinghub.h"
#include "link/serialport.h"

namespace zark::test {

using Bytes = std::vector<std::uint8_t>;

// A serial device under the test's control: what the ports made for it do, and what was written.
struct FakeDevice {
    std::mutex mutex;
    std::condition_variable changed;
    int openError = 0;
    int timeoutError = 0;
    int parameterError = 0;
    int writeError = 0;
    int waitError = 0;     // the next wait fails with it
    bool holdOpen = false; // Open waits until it is cleared
    bool holdWrites = false;
    bool answerProbe = false;
    int opens = 0;         // attempts
    int closes = 0;
    bool isOpen = false;
    bool dtr = false;
    std::vector<Bytes> writes;
    std::deque<std::uint8_t> input;
    std::uint32_t lines = 0;

    void Inject(const Bytes& bytes);
    void LineChange(std::uint32_t mask);
    void Release();  // clears holdOpen and holdWrites
    void Set(int FakeDevice::*field, int value);
    bool WaitForWrites(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(3));
    bool WaitForOpens(int count, std::chrono::milliseconds timeout = std::chrono::seconds(3));
    std::vector<Bytes> Writes();
};

class FakePort final : public SerialPort {
public:
    explicit FakePort(std::shared_ptr<FakeDevice> device) : device_(std::move(device)) {}
    ~FakePort() override { Close(); }
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

private:
    std::shared_ptr<FakeDevice> device_;
    bool open_ = false;
};

PortFactory FakeFactory(std::shared_ptr<FakeDevice> device);

// A pseudo-terminal pair: the worker opens path, the test plays the unit on the master side.
class Pty {
public:
    Pty();
    ~Pty();
    bool ok() const { return master_ >= 0; }
    const std::string& path() const { return path_; }
    // Reads until count bytes came or the time is up.
    Bytes Read(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(3));
    // What arrives within the time.
    Bytes Drain(std::chrono::milliseconds timeout);
    void Write(const Bytes& bytes);
    int master() const { return master_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

// A view that records every sample in order, and whether it came on the main thread.
class RecordingView final : public HubView {
public:
    explicit RecordingView(HubView* hub) : HubView(hub) {}
    struct Sample {
        int x, y, isShot, isReplay, index;
        bool operator==(const Sample&) const = default;
    };
    void OnSample(int x, int y, int isShot, int isReplay, int index) override;
    std::vector<Sample> samples;
    bool offMainThread = false;
};

class RecordingOwner final : public NotificationSink {
public:
    void Notify(const Notification& notification) override { received.push_back(notification); }
    int Count(int code) const;
    std::vector<Notification> received;
};

// The bytes of one sample as the unit sends it.
Bytes SampleBytes(int x, int y);

// Processes events until the predicate holds or the time is up.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 3000);

}  // namespace zark::test
