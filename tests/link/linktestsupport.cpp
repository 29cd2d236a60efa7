#include "linktestsupport.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace zark::test {

void FakeDevice::Inject(const Bytes& bytes) {
    std::lock_guard lock(mutex);
    input.insert(input.end(), bytes.begin(), bytes.end());
    changed.notify_all();
}

void FakeDevice::LineChange(std::uint32_t mask) {
    std::lock_guard lock(mutex);
    lines |= mask;
    changed.notify_all();
}

void FakeDevice::Release() {
    std::lock_guard lock(mutex);
    holdOpen = false;
    holdWrites = false;
    changed.notify_all();
}

void FakeDevice::Set(int FakeDevice::*field, int value) {
    std::lock_guard lock(mutex);
    this->*field = value;
}

bool FakeDevice::WaitForWrites(std::size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [&] { return writes.size() >= count; });
}

bool FakeDevice::WaitForOpens(int count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [&] { return opens >= count; });
}

std::vector<Bytes> FakeDevice::Writes() {
    std::lock_guard lock(mutex);
    return writes;
}

int FakePort::Open(const std::string&) {
    std::unique_lock lock(device_->mutex);
    ++device_->opens;
    device_->changed.notify_all();
    device_->changed.wait(lock, [&] { return !device_->holdOpen; });
    if (device_->openError) return device_->openError;
    if (device_->isOpen) return EBUSY;
    device_->isOpen = true;
    open_ = true;
    return 0;
}

int FakePort::SetTimeouts() {
    std::lock_guard lock(device_->mutex);
    return device_->timeoutError;
}

int FakePort::SetLineParameters() {
    std::lock_guard lock(device_->mutex);
    return device_->parameterError;
}

void FakePort::RaiseDtr() {
    std::lock_guard lock(device_->mutex);
    device_->dtr = true;
}

int FakePort::Write(const std::uint8_t* data, std::size_t size, int) {
    std::unique_lock lock(device_->mutex);
    device_->changed.wait(lock, [&] { return !device_->holdWrites; });
    device_->writes.emplace_back(data, data + size);
    if (device_->answerProbe && size == 1 && data[0] == 0x0D) device_->input.push_back(0x8D);
    device_->changed.notify_all();
    return device_->writeError;
}

SerialPort::WaitResult FakePort::WaitEvent(WakeSignal& wake, std::uint32_t& mask, int& error) {
    for (;;) {
        {
            std::lock_guard lock(device_->mutex);
            if (device_->waitError) {
                error = device_->waitError;
                device_->waitError = 0;
                return WaitResult::Failed;
            }
            mask = device_->lines | (device_->input.empty() ? 0u : EV_RXCHAR);
            device_->lines = 0;
            if (mask) return WaitResult::Event;
        }
        // a short nap between looks: the fake has no descriptor to wait on together with the wake
        if (wake.WaitUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(1))) return WaitResult::Woken;
    }
}

int FakePort::ReadOne(int timeoutMs, int&) {
    std::unique_lock lock(device_->mutex);
    if (!device_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !device_->input.empty(); }))
        return 0;
    device_->input.pop_front();
    return 1;
}

bool FakePort::ReadByte(std::uint8_t& byte) {
    std::lock_guard lock(device_->mutex);
    if (device_->input.empty()) return false;
    byte = device_->input.front();
    device_->input.pop_front();
    return true;
}

void FakePort::Close() {
    if (!open_) return;
    open_ = false;
    std::lock_guard lock(device_->mutex);
    device_->isOpen = false;
    ++device_->closes;
    device_->changed.notify_all();
}

PortFactory FakeFactory(std::shared_ptr<FakeDevice> device) {
    return [device](const std::string&) { return std::make_unique<FakePort>(device); };
}

Pty::Pty() {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        master_ = slave_ = -1;
        return;
    }
    path_ = name;
    termios tio{};
    ::tcgetattr(slave_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave_, TCSANOW, &tio);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

Pty::~Pty() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

Bytes Pty::Read(std::size_t count, std::chrono::milliseconds timeout) {
    Bytes bytes;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (bytes.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd in{master_, POLLIN, 0};
        if (::poll(&in, 1, int(left.count())) <= 0) continue;
        std::uint8_t buffer[64];
        const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (n > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

Bytes Pty::Drain(std::chrono::milliseconds timeout) { return Read(4096, timeout); }

void Pty::Write(const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) done += std::size_t(n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR) return;
    }
}

void RecordingView::OnSample(int x, int y, int isShot, int isReplay, int index) {
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) offMainThread = true;
    samples.push_back({x, y, isShot, isReplay, index});
}

int RecordingOwner::Count(int code) const {
    int n = 0;
    for (const Notification& notification : received) n += notification.code == code;
    return n;
}

Bytes SampleBytes(int x, int y) {
    return {std::uint8_t(0x00 | (x & 0xF)), std::uint8_t(0x10 | ((x >> 4) & 0xF)), std::uint8_t(0x20 | ((x >> 8) & 0xF)),
            std::uint8_t(0x40 | (y & 0xF)), std::uint8_t(0x50 | ((y >> 4) & 0xF)), std::uint8_t(0x60 | ((y >> 8) & 0xF))};
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) { return QTest::qWaitFor(done, timeoutMs); }

}  // namespace zark::test
