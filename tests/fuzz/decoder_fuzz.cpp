// Any byte sequence and any line events: the decoder must not crash, and every posted sample
// must be the accumulators it reports.
#include <cstdint>
#include <algorithm>
#include <cstdlib>

#include "link/detectordecoder.h"

namespace {

class CheckingSink final : public zark::LinkMessageSink {
public:
    const zark::DetectorDecoder* decoder = nullptr;
    void PostLinkSample(std::uint32_t wParam, int isShot) override {
        if (isShot != 0 && isShot != 1) std::abort();
        if (zark::LinkSampleX(wParam) != std::int16_t(decoder->x())) std::abort();
        if (zark::LinkSampleY(wParam) != std::int16_t(decoder->y())) std::abort();
    }
    void PostLinkLine(int side) override {
        if (side != 0 && side != 1) std::abort();
    }
};

class BufferSource final : public zark::ByteSource {
public:
    BufferSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool ReadByte(std::uint8_t& byte) override {
        if (pos_ >= size_) return false;
        byte = data_[pos_++];
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zark::DetectorDecoder decoder;
    CheckingSink sink;
    sink.decoder = &decoder;
    // The first byte picks the time step (never 0 in the program, but the decoder must cope) and
    // whether bytes come as events with line changes or as a plain stream.
    const std::int32_t step = size > 0 ? std::int32_t(data[0]) - 8 : 40;
    decoder.Configure(&sink, step);
    if (size > 1 && (data[1] & 1)) {
        std::size_t pos = 2;
        while (pos < size) {
            const std::uint32_t mask = data[pos] & 0x19;
            const std::size_t chunk = std::min<std::size_t>(size - pos - 1, data[pos] >> 5);
            BufferSource source(data + pos + 1, chunk);
            decoder.ProcessEvent(mask, source);
            pos += 1 + chunk;
        }
    } else if (size > 1) {
        decoder.Feed(data + 1, size - 1);
    }
    return 0;
}
