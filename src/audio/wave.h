#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class QString;

namespace zark {

// A sound ready for the output: interleaved signed 16-bit samples at its own rate. 8-bit sounds
// are widened when they are read, so the output has one sample form to handle.
struct PcmSound {
    int sampleRate = 22050;
    int channels = 1;
    std::vector<std::int16_t> samples;  // frames × channels

    std::int64_t Frames() const { return channels > 0 ? std::int64_t(samples.size()) / channels : 0; }
    std::int64_t DurationMs() const { return sampleRate > 0 ? Frames() * 1000 / sampleRate : 0; }
};

// Sounds are shared read-only: a playing sound keeps its samples however its source changes.
using SoundPtr = std::shared_ptr<const PcmSound>;

// The largest WAVE file the program reads (a shot sound is a few hundred kilobytes).
inline constexpr std::int64_t kMaxWaveBytes = 32 * 1024 * 1024;

// Reads a PCM WAVE image: "RIFF" ... "WAVE" with a "fmt " chunk (format 1, or the extensible
// format with a PCM sub-format; 1 or 2 channels; 8 or 16 bits; 8,000 to 192,000 Hz) and a "data"
// chunk. Every size is checked against the bytes given; a data chunk that claims more than the
// image holds is read as far as it goes. Returns null, with the reason when asked, for anything else.
SoundPtr DecodeWave(std::span<const std::uint8_t> image, std::string* reason = nullptr);

// The same for a file or a Qt resource (":/..."); files over kMaxWaveBytes are refused.
SoundPtr LoadWave(const QString& path, std::string* reason = nullptr);

}  // namespace zark
