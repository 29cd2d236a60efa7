// Any bytes as a WAVE file of the user's sound folder: no crash, no read beyond the bytes, and a
// sound that is read is one the output can play.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "audio/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string why;
    const zark::SoundPtr sound = zark::DecodeWave(std::span(data, size), &why);
    if (!sound) {
        if (why.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    if (sound->channels < 1 || sound->channels > 2) std::abort();
    if (sound->sampleRate < 8000 || sound->sampleRate > 192000) std::abort();
    if (sound->samples.size() % std::size_t(sound->channels) != 0) std::abort();
    if (sound->samples.size() > size) std::abort();  // at least a byte of the file per sample
    return 0;
}
