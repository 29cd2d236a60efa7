#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "link/serialport.h"

class QSerialPort;

namespace zark {

// A serial port through Qt Serial Port: the system's port on Windows ("COM1", "COM2"), and
// available everywhere. QSerialPort cannot be woken from another thread, so while the port is open
// the worker looks at the wake signal and at CTS and DSR every 10 ms; received bytes end the wait
// at once.
class QtSerialPort final : public SerialPort {
public:
    static constexpr int kPollMs = 10;

    QtSerialPort();
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    int Open(const std::string& name) override;
    int SetTimeouts() override;
    int SetLineParameters() override;
    void RaiseDtr() override;
    int Write(const std::uint8_t* data, std::size_t size, int timeoutMs) override;
    WaitResult WaitEvent(WakeSignal& wake, std::uint32_t& mask, int& error) override;
    int ReadOne(int timeoutMs, int& error) override;
    bool ReadByte(std::uint8_t& byte) override;
    void Close() override;
    bool IsOpen() const override;

private:
    // CTS and DSR as bits of QSerialPort::PinoutSignals; false when the port has no modem lines.
    bool ReadModemLines(int& lines);

    std::unique_ptr<QSerialPort> port_;
    bool modemLines_ = false;
    int lastModem_ = 0;
};

}  // namespace zark
