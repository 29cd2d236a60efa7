#pragma once

#include <cstddef>
#include <cstdint>

namespace zark {

// Message numbers of what the decoder hands to the link window.
inline constexpr int WM_LINK_SAMPLE = 1124;  // wParam: y (high 16 bits), x (low 16 bits); lParam 0 sample, 1 shot
inline constexpr int WM_LINK_LINE = 1125;    // wParam: side of the new moving-target run (0 CTS, 1 DSR)

// Line-event bits as the serial port reports them.
inline constexpr std::uint32_t EV_RXCHAR = 0x0001;
inline constexpr std::uint32_t EV_CTS = 0x0008;
inline constexpr std::uint32_t EV_DSR = 0x0010;

inline constexpr std::uint32_t PackLinkSample(std::int32_t x, std::int32_t y) {
    return (std::uint32_t(y) << 16) | (std::uint32_t(x) & 0xFFFFu);
}
inline constexpr std::int16_t LinkSampleX(std::uint32_t wParam) { return std::int16_t(wParam & 0xFFFFu); }
inline constexpr std::int16_t LinkSampleY(std::uint32_t wParam) { return std::int16_t(wParam >> 16); }

// Receives what the decoder posts. The worker's implementation queues it for the link window on
// the main thread, in the order it was posted.
class LinkMessageSink {
public:
    virtual ~LinkMessageSink() = default;
    virtual void PostLinkSample(std::uint32_t wParam, int isShot) = 0;
    virtual void PostLinkLine(int side) = 0;
};

// Where the decoder reads received bytes from when a line event says some have arrived.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads one byte if one is buffered; false when none is there (never waits) or on failure.
    virtual bool ReadByte(std::uint8_t& byte) = 0;
};

// Turns the bytes and line events of the detector unit into samples, shots and run announcements.
// There is one decoder for the whole run: its accumulators, weight and previous sample survive
// reconfiguration and reconnection. It runs on the serial worker thread.
class DetectorDecoder final {
public:
    // Sets the receiver and time step and forgets the last line event, so the first CTS and DSR
    // change after every configuration is reported. A time step below 1 is taken as 40.
    void Configure(LinkMessageSink* target, std::int32_t timeStep);

    // Handles one event mask of the serial port: line changes first, then every buffered byte.
    void ProcessEvent(std::uint32_t eventMask, ByteSource& port);

    void FeedByte(std::uint8_t byte);
    void Feed(const std::uint8_t* bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) FeedByte(bytes[i]);
    }

    std::int32_t x() const { return x_; }
    std::int32_t y() const { return y_; }
    std::int32_t weight() const { return weight_; }
    std::int32_t prevX() const { return prevX_; }
    std::int32_t prevY() const { return prevY_; }
    std::int32_t lastLine() const { return lastLine_; }
    std::int32_t timeStep() const { return timeStep_; }

private:
    void Post(int isShot);

    std::int32_t x_ = 0;
    std::int32_t y_ = 0;
    std::int32_t weight_ = 0;
    std::int32_t prevX_ = -1;
    std::int32_t prevY_ = -1;
    std::int32_t timeStep_ = 40;
    std::int32_t lastLine_ = 0;
    LinkMessageSink* target_ = nullptr;
};

}  // namespace zark
