#include "link/serialport.h"

#include <cerrno>

#include "link/serialportnames.h"
#include "link/simulatorport.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>

#include "link/serialportposix.h"
#define ZARK_POSIX_PORTS 1
#else
#include "link/serialportqt.h"
#endif

namespace zark {

WakeSignal::~WakeSignal() {
#ifdef ZARK_POSIX_PORTS
    if (readFd_ >= 0) ::close(readFd_);
    if (writeFd_ >= 0) ::close(writeFd_);
#endif
}

int WakeSignal::Prepare() {
#ifdef ZARK_POSIX_PORTS
    std::lock_guard lock(mutex_);
    if (readFd_ >= 0) return 0;
    int fds[2];
    if (::pipe(fds) != 0) return errno;
    for (int fd : fds) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    readFd_ = fds[0];
    writeFd_ = fds[1];
    // a request raised before the pipe existed must still wake a poll
    if (raised_.load()) {
        const char byte = 1;
        [[maybe_unused]] auto written = ::write(writeFd_, &byte, 1);
    }
#endif
    return 0;
}

void WakeSignal::Raise() {
    std::lock_guard lock(mutex_);
    if (raised_.exchange(true)) return;  // the pipe already holds its byte
#ifdef ZARK_POSIX_PORTS
    if (writeFd_ >= 0) {
        const char byte = 1;
        [[maybe_unused]] auto written = ::write(writeFd_, &byte, 1);
    }
#endif
    changed_.notify_all();
}

void WakeSignal::Clear() {
    std::lock_guard lock(mutex_);
    raised_.store(false);
#ifdef ZARK_POSIX_PORTS
    if (readFd_ >= 0) {
        char buffer[16];
        while (::read(readFd_, buffer, sizeof buffer) > 0) {
        }
    }
#endif
}

bool WakeSignal::WaitUntil(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    return changed_.wait_until(lock, deadline, [this] { return raised_.load(); });
}

void WakeSignal::Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return raised_.load(); });
}

std::unique_ptr<SerialPort> CreateSystemPort() {
#ifdef ZARK_POSIX_PORTS
    return std::make_unique<PosixSerialPort>();
#else
    return std::make_unique<QtSerialPort>();
#endif
}

std::unique_ptr<SerialPort> CreatePort(const std::string& name) {
    if (IsSimulatorPort(name)) return std::make_unique<SimulatorPort>();
    return CreateSystemPort();
}

}  // namespace zark
