#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/serialport.h"

namespace zark {

// A serial port on Unix, through termios. The device is opened non-blocking and locked for this
// handle alone (an advisory lock that holds against root too, and TIOCEXCL); input left from
// before the open is discarded. The worker waits in poll() on the device and the wake pipe, so a
// silent port costs nothing. Devices with modem lines (not pseudo-terminals) have CTS and DSR
// looked at every 10 ms while the port is open, since poll() does not report their changes.
class PosixSerialPort final : public SerialPort {
public:
    static constexpr int kModemPollMs = 10;

    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    int Open(const std::string& name) override;
    int SetTimeouts() override;
    int SetLineParameters() override;
    void RaiseDtr() override;
    int Write(const std::uint8_t* data, std::size_t size, int timeoutMs) override;
    WaitResult WaitEvent(WakeSignal& wake, std::uint32_t& mask, int& error) override;
    int ReadOne(int timeoutMs, int& error) override;
    bool ReadByte(std::uint8_t& byte) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }

    // Whether CTS and DSR are looked at (the device has modem lines).
    bool PollsModemLines() const { return modemLines_; }

private:
    // Reads what is buffered into buffer_: the number of bytes, 0 for none yet, -1 on failure
    // (error holds the code).
    int Fill(int& error);

    int fd_ = -1;
    bool modemLines_ = false;
    int lastModem_ = 0;
    std::array<std::uint8_t, 256> buffer_{};
    std::size_t head_ = 0;
    std::size_t tail_ = 0;
};

}  // namespace zark
