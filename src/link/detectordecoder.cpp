#include "link/detectordecoder.h"

namespace zark {
namespace {

// The datum read as a signed 4-bit value: 0x8..0xF are -8..-1.
constexpr std::int32_t Signed4(std::int32_t n) { return n >= 8 ? n - 16 : n; }

// Accumulators wrap like the unit's 32-bit registers instead of overflowing.
constexpr std::int32_t Add(std::int32_t a, std::int32_t b) { return std::int32_t(std::uint32_t(a) + std::uint32_t(b)); }

}  // namespace

void DetectorDecoder::Configure(LinkMessageSink* target, std::int32_t timeStep) {
    target_ = target;
    timeStep_ = timeStep > 0 ? timeStep : 40;
    lastLine_ = 0;
}

void DetectorDecoder::ProcessEvent(std::uint32_t eventMask, ByteSource& port) {
    if ((eventMask & EV_CTS) && lastLine_ != 8) {
        lastLine_ = 8;
        if (target_) target_->PostLinkLine(0);
    }
    if ((eventMask & EV_DSR) && lastLine_ != 16) {
        lastLine_ = 16;
        if (target_) target_->PostLinkLine(1);
    }
    if (!(eventMask & EV_RXCHAR)) return;
    std::uint8_t byte = 0;
    while (port.ReadByte(byte)) FeedByte(byte);
}

void DetectorDecoder::FeedByte(std::uint8_t byte) {
    const std::int32_t n = byte & 0x0F;
    switch (byte >> 4) {
        case 0x0: x_ = n; break;
        case 0x1: x_ = Add(x_, n * 16); break;
        case 0x2: x_ = Add(x_, Signed4(n) * 256); break;
        case 0x3: weight_ = n; break;
        case 0x4: y_ = n; break;
        case 0x5: y_ = Add(y_, n * 16); break;
        case 0x6:
            y_ = Add(y_, Signed4(n) * 256);
            prevX_ = x_;
            prevY_ = y_;
            Post(0);
            break;
        case 0x7: {
            // The 8-bit shot timing: high nibble here, low nibble from the weight register.
            // 64-bit intermediates: the weight may have grown from earlier shots, and the
            // accumulators may hold anything a byte sequence can build.
            const std::int64_t w = (std::int64_t(n) * 16 + weight_) * 256 / timeStep_;
            weight_ = std::int32_t(w);
            const std::int64_t wt = weight_;
            x_ = std::int32_t((wt * prevX_ + std::int64_t(x_) * (1000 - wt)) / 1000);
            y_ = std::int32_t((wt * prevY_ + std::int64_t(y_) * (1000 - wt)) / 1000);
            Post(1);
            break;
        }
        default: break;  // 0x80..0xFF carry nothing
    }
}

void DetectorDecoder::Post(int isShot) {
    if (target_) target_->PostLinkSample(PackLinkSample(x_, y_), isShot);
}

}  // namespace zark
