#include "link/serialportposix.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "link/serialportnames.h"

namespace zark {
namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return int(std::max<long long>(0, left));
}

}  // namespace

PosixSerialPort::~PosixSerialPort() { Close(); }

int PosixSerialPort::Open(const std::string& name) {
    Close();
    if (name.size() > kMaxPortName) return ENAMETOOLONG;
    const std::string location = SystemPortLocation(name);
    if (location.empty()) return ENOENT;
    const int fd = ::open(location.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return error;
    }
    ::ioctl(fd, TIOCEXCL);
    ::tcflush(fd, TCIFLUSH);  // bytes received before this open are not this connection's
    int bits = 0;
    modemLines_ = ::ioctl(fd, TIOCMGET, &bits) == 0;
    lastModem_ = bits;
    fd_ = fd;
    head_ = tail_ = 0;
    return 0;
}

int PosixSerialPort::SetTimeouts() {
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) return errno;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return errno;
    return 0;
}

int PosixSerialPort::SetLineParameters() {
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) return errno;
    const cc_t vmin = tio.c_cc[VMIN];
    const cc_t vtime = tio.c_cc[VTIME];
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB);
#ifdef CRTSCTS
    tio.c_cflag &= ~tcflag_t(CRTSCTS);
#endif
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = vmin;
    tio.c_cc[VTIME] = vtime;
    if (::cfsetispeed(&tio, B9600) != 0 || ::cfsetospeed(&tio, B9600) != 0) return errno;
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return errno;
    return 0;
}

void PosixSerialPort::RaiseDtr() {
    int dtr = TIOCM_DTR;
    ::ioctl(fd_, TIOCMBIS, &dtr);  // a device without modem lines has no DTR to raise
}

int PosixSerialPort::Write(const std::uint8_t* data, std::size_t size, int timeoutMs) {
    if (fd_ < 0) return EBADF;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, data + done, size - done);
        if (n > 0) {
            done += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return errno;
        pollfd out{fd_, POLLOUT, 0};
        const int left = RemainingMs(deadline);
        if (left == 0) return ETIMEDOUT;
        const int r = ::poll(&out, 1, left);
        if (r == 0) return ETIMEDOUT;
        if (r < 0 && errno != EINTR) return errno;
        if (r > 0 && (out.revents & (POLLERR | POLLNVAL | POLLHUP)) && !(out.revents & POLLOUT)) return EIO;
    }
    return 0;
}

int PosixSerialPort::Fill(int& error) {
    if (head_ < tail_) return int(tail_ - head_);
    head_ = tail_ = 0;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
        if (n > 0) {
            tail_ = std::size_t(n);
            return int(n);
        }
        // a terminal with no byte waiting reads 0 (VMIN 0) or fails with EAGAIN; a device that has
        // gone shows in poll() as a hang-up
        if (n == 0) return 0;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        error = errno;
        return -1;
    }
}

bool PosixSerialPort::ReadByte(std::uint8_t& byte) {
    if (fd_ < 0) return false;
    int error = 0;
    if (Fill(error) <= 0) return false;
    byte = buffer_[head_++];
    return true;
}

SerialPort::WaitResult PosixSerialPort::WaitEvent(WakeSignal& wake, std::uint32_t& mask, int& error) {
    mask = 0;
    if (fd_ < 0) {
        error = EBADF;
        return WaitResult::Failed;
    }
    if (head_ < tail_) {
        mask = EV_RXCHAR;
        return WaitResult::Event;
    }
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wake.fd(), POLLIN, 0}};
        const nfds_t count = wake.fd() >= 0 ? 2 : 1;
        // without a wake pipe the request flag is looked at as often as the modem lines
        const int timeout = (modemLines_ || count == 1) ? kModemPollMs : -1;
        const int r = ::poll(fds, count, timeout);
        if (r < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return WaitResult::Failed;
        }
        if (modemLines_) {
            int bits = 0;
            if (::ioctl(fd_, TIOCMGET, &bits) != 0) {
                error = errno;
                return WaitResult::Failed;
            }
            const int changed = bits ^ lastModem_;
            lastModem_ = bits;
            if (changed & TIOCM_CTS) mask |= EV_CTS;
            if (changed & TIOCM_DSR) mask |= EV_DSR;
        }
        if (fds[0].revents) {
            const int n = Fill(error);
            if (n > 0) {
                mask |= EV_RXCHAR;
            } else if (n < 0 || (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))) {
                if (n == 0) error = EIO;
                return WaitResult::Failed;
            }
        }
        if (mask) return WaitResult::Event;
        if (wake.IsRaised()) return WaitResult::Woken;
    }
}

int PosixSerialPort::ReadOne(int timeoutMs, int& error) {
    if (fd_ < 0) {
        error = EBADF;
        return -1;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const int n = Fill(error);
        if (n > 0) {
            ++head_;
            return 1;
        }
        if (n < 0) return -1;
        pollfd in{fd_, POLLIN, 0};
        const int left = RemainingMs(deadline);
        if (left == 0) return 0;
        const int r = ::poll(&in, 1, left);
        if (r == 0) return 0;
        if (r < 0 && errno != EINTR) {
            error = errno;
            return -1;
        }
        if (r > 0 && (in.revents & (POLLERR | POLLNVAL | POLLHUP)) && !(in.revents & POLLIN)) {
            error = EIO;
            return -1;
        }
    }
}

void PosixSerialPort::Close() {
    if (fd_ < 0) return;
    // the exclusive mark would outlive this handle while another one keeps the device open
    ::ioctl(fd_, TIOCNXCL);
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
    head_ = tail_ = 0;
    modemLines_ = false;
}

}  // namespace zark
