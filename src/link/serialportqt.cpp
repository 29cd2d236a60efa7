#include "link/serialportqt.h"

#include <QSerialPort>
#include <cerrno>
#include <chrono>

#include "link/serialportnames.h"

namespace zark {
namespace {

int ErrorCode(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::NoError: return 0;
        case QSerialPort::DeviceNotFoundError: return ENOENT;
        case QSerialPort::PermissionError: return EACCES;
        case QSerialPort::OpenError: return EBUSY;
        case QSerialPort::NotOpenError: return EBADF;
        case QSerialPort::TimeoutError: return ETIMEDOUT;
        case QSerialPort::UnsupportedOperationError: return EINVAL;
        default: return EIO;
    }
}

}  // namespace

QtSerialPort::QtSerialPort() = default;
QtSerialPort::~QtSerialPort() { Close(); }

bool QtSerialPort::IsOpen() const { return port_ && port_->isOpen(); }

int QtSerialPort::Open(const std::string& name) {
    Close();
    if (name.size() > kMaxPortName) return ENAMETOOLONG;
    const std::string location = SystemPortLocation(name);
    if (location.empty()) return ENOENT;
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(QString::fromStdString(location));
    if (!port_->open(QIODevice::ReadWrite)) {
        const int code = ErrorCode(port_->error());
        port_.reset();
        return code ? code : EIO;
    }
    port_->clear(QSerialPort::Input);  // bytes received before this open are not this connection's
    int lines = 0;
    modemLines_ = ReadModemLines(lines);
    lastModem_ = lines;
    return 0;
}

bool QtSerialPort::ReadModemLines(int& lines) {
    port_->clearError();
    const QSerialPort::PinoutSignals pins = port_->pinoutSignals();
    if (port_->error() != QSerialPort::NoError) {
        port_->clearError();
        return false;
    }
    lines = int(pins & (QSerialPort::ClearToSendSignal | QSerialPort::DataSetReadySignal));
    return true;
}

int QtSerialPort::SetTimeouts() {
    // QSerialPort's reads never wait: they return what is buffered
    return IsOpen() ? 0 : EBADF;
}

int QtSerialPort::SetLineParameters() {
    if (!IsOpen()) return EBADF;
    const bool ok = port_->setBaudRate(9600) && port_->setDataBits(QSerialPort::Data8) &&
                    port_->setParity(QSerialPort::NoParity) && port_->setStopBits(QSerialPort::OneStop) &&
                    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (ok) return 0;
    const int code = ErrorCode(port_->error());
    port_->clearError();
    return code ? code : EIO;
}

void QtSerialPort::RaiseDtr() {
    if (!IsOpen()) return;
    port_->setDataTerminalReady(true);
    port_->clearError();  // a device without modem lines has no DTR to raise
}

int QtSerialPort::Write(const std::uint8_t* data, std::size_t size, int timeoutMs) {
    if (!IsOpen()) return EBADF;
    if (port_->write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size)) {
        const int code = ErrorCode(port_->error());
        port_->clearError();
        return code ? code : EIO;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (port_->bytesToWrite() > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return ETIMEDOUT;
        if (!port_->waitForBytesWritten(int(left))) {
            const int code = ErrorCode(port_->error());
            port_->clearError();
            if (port_->bytesToWrite() == 0) break;
            return code ? code : ETIMEDOUT;
        }
    }
    return 0;
}

SerialPort::WaitResult QtSerialPort::WaitEvent(WakeSignal& wake, std::uint32_t& mask, int& error) {
    mask = 0;
    if (!IsOpen()) {
        error = EBADF;
        return WaitResult::Failed;
    }
    for (;;) {
        if (modemLines_) {
            int lines = 0;
            if (!ReadModemLines(lines)) {
                error = EIO;
                return WaitResult::Failed;
            }
            const int changed = lines ^ lastModem_;
            lastModem_ = lines;
            if (changed & QSerialPort::ClearToSendSignal) mask |= EV_CTS;
            if (changed & QSerialPort::DataSetReadySignal) mask |= EV_DSR;
        }
        if (port_->bytesAvailable() > 0) mask |= EV_RXCHAR;
        if (mask) return WaitResult::Event;
        if (wake.IsRaised()) return WaitResult::Woken;
        if (!port_->waitForReadyRead(kPollMs)) {
            const QSerialPort::SerialPortError failure = port_->error();
            port_->clearError();
            if (failure != QSerialPort::NoError && failure != QSerialPort::TimeoutError) {
                error = ErrorCode(failure);
                return WaitResult::Failed;
            }
        }
    }
}

int QtSerialPort::ReadOne(int timeoutMs, int& error) {
    if (!IsOpen()) {
        error = EBADF;
        return -1;
    }
    if (port_->bytesAvailable() > 0 || port_->waitForReadyRead(timeoutMs)) {
        char c = 0;
        return port_->getChar(&c) ? 1 : 0;
    }
    const QSerialPort::SerialPortError failure = port_->error();
    port_->clearError();
    if (failure == QSerialPort::NoError || failure == QSerialPort::TimeoutError) return 0;
    error = ErrorCode(failure);
    return -1;
}

bool QtSerialPort::ReadByte(std::uint8_t& byte) {
    char c = 0;
    if (!IsOpen() || port_->bytesAvailable() <= 0 || !port_->getChar(&c)) return false;
    byte = std::uint8_t(c);
    return true;
}

void QtSerialPort::Close() {
    if (!port_) return;
    port_->close();
    port_.reset();
    modemLines_ = false;
}

}  // namespace zark
