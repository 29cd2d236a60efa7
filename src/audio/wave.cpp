#include "audio/wave.h"

#include <QFile>
#include <QString>
#include <cstring>

namespace zark {
namespace {

constexpr int kFormatPcm = 1;
constexpr int kFormatExtensible = 0xFFFE;

std::uint32_t Read32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t Read16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

SoundPtr Fail(std::string* reason, const char* why) {
    if (reason) *reason = why;
    return nullptr;
}

}  // namespace

SoundPtr DecodeWave(std::span<const std::uint8_t> image, std::string* reason) {
    const std::size_t size = image.size();
    const std::uint8_t* bytes = image.data();
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return Fail(reason, "not a WAVE file");

    bool haveFormat = false;
    int format = 0, channels = 0, rate = 0, bits = 0;
    const std::uint8_t* data = nullptr;
    std::size_t dataSize = 0;
    std::size_t at = 12;
    while (at + 8 <= size) {
        const std::uint8_t* chunk = bytes + at;
        const std::size_t claimed = Read32(chunk + 4);
        const std::size_t available = size - at - 8;
        const std::size_t length = std::min(claimed, available);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16) return Fail(reason, "format chunk too short");
            format = Read16(chunk + 8);
            channels = Read16(chunk + 10);
            rate = int(Read32(chunk + 12));
            bits = Read16(chunk + 22);
            if (format == kFormatExtensible) {
                // the sub-format GUID starts with the format code
                if (length < 40) return Fail(reason, "extensible format chunk too short");
                format = Read16(chunk + 8 + 24);
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            data = chunk + 8;
            dataSize = length;
            break;
        }
        if (claimed > available) break;
        at += 8 + claimed + (claimed & 1);  // chunks are padded to even sizes
    }
    if (!haveFormat) return Fail(reason, "no format chunk");
    if (format != kFormatPcm) return Fail(reason, "not PCM");
    if (channels < 1 || channels > 2) return Fail(reason, "neither mono nor stereo");
    if (bits != 8 && bits != 16) return Fail(reason, "neither 8 nor 16 bits per sample");
    if (rate < 8000 || rate > 192000) return Fail(reason, "sample rate out of range");
    if (!data) return Fail(reason, "no data chunk");

    auto sound = std::make_shared<PcmSound>();
    sound->sampleRate = rate;
    sound->channels = channels;
    const std::size_t frameBytes = std::size_t(channels) * std::size_t(bits / 8);
    const std::size_t count = dataSize / frameBytes * std::size_t(channels);
    sound->samples.resize(count);
    if (bits == 8) {
        for (std::size_t i = 0; i < count; ++i) sound->samples[i] = std::int16_t((int(data[i]) - 128) * 256);
    } else {
        for (std::size_t i = 0; i < count; ++i) sound->samples[i] = std::int16_t(Read16(data + 2 * i));
    }
    return sound;
}

SoundPtr LoadWave(const QString& path, std::string* reason) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Fail(reason, "cannot be opened");
    if (file.size() > kMaxWaveBytes) return Fail(reason, "too large");
    const QByteArray bytes = file.read(kMaxWaveBytes);
    return DecodeWave(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())),
        reason);
}

}  // namespace zark
