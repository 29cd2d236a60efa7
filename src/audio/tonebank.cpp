#include "audio/tonebank.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>

#include "settings/settings.h"

namespace zark {
namespace {

void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}
void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

// sin of whole degrees, as the images use them.
const std::array<double, 360>& DegreeSines() {
    static const std::array<double, 360> table = [] {
        std::array<double, 360> t{};
        for (int d = 0; d < 360; ++d) t[std::size_t(d)] = std::sin(d * 0.0174532925);
        return t;
    }();
    return table;
}

struct Bank {
    ToneImages images{};
    std::array<SoundPtr, kToneCount> sounds;
    std::array<int, kToneCount> frequencies{};
    int amplitude = 0;
};

Bank& TheBank() {
    static Bank bank;
    return bank;
}

}  // namespace

void BuildToneImage(ToneImage& image, int frequency, int amplitude) {
    std::uint8_t* p = image.data();
    std::memset(p, 0, image.size());
    std::memcpy(p, "RIFF", 4);
    Put32(p + 4, kToneImageBytes - 8);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    Put32(p + 16, 16);
    Put16(p + 20, 1);
    Put16(p + 22, 1);
    Put32(p + 24, kToneSampleRate);
    Put32(p + 28, kToneSampleRate);
    Put16(p + 32, 1);
    Put16(p + 34, 8);
    std::memcpy(p + 36, "data", 4);
    Put32(p + 40, kToneSamples);

    const auto& sines = DegreeSines();
    const std::int64_t step = std::int64_t(frequency) * 360;  // i × f × 360 reaches about 4.4e10
    std::uint8_t* samples = p + kToneHeaderBytes;
    for (std::int64_t i = 0; i < kToneSamples; ++i) {
        std::int64_t phase = (i * step / kToneSampleRate) % 360;
        if (phase < 0) phase += 360;
        const int value = int(sines[std::size_t(phase)] * amplitude + 128);  // toward zero
        samples[i] = std::uint8_t(std::clamp(value, 0, 255));
    }
}

int ToneFrequency(int centre, int peripheral, int d) {
    const double fc = std::max(centre, 1);
    const double fp = std::max(peripheral, 1);
    return int(std::exp(std::log(fp) + d * (std::log(fc) - std::log(fp)) / 11));
}

void BuildToneImages(ToneImages& images, int centre, int peripheral, int amplitude) {
    for (int d = 0; d < kToneCount; ++d)
        BuildToneImage(images[std::size_t(d)], ToneFrequency(centre, peripheral, d), amplitude);
}

SoundPtr SoundOfToneImage(const ToneImage& image) {
    return DecodeWave(std::span<const std::uint8_t>(image.data(), image.size()));
}

void BuildToneBank(int centre, int peripheral, int amplitude) {
    Bank& bank = TheBank();
    BuildToneImages(bank.images, centre, peripheral, amplitude);
    for (int d = 0; d < kToneCount; ++d) {
        bank.sounds[std::size_t(d)] = SoundOfToneImage(bank.images[std::size_t(d)]);
        bank.frequencies[std::size_t(d)] = ToneFrequency(centre, peripheral, d);
    }
    bank.amplitude = std::clamp(amplitude, 0, 127) * 256;
}

int ToneBankFrequency(int index) {
    return index >= 0 && index < kToneCount ? TheBank().frequencies[std::size_t(index)] : 0;
}

int ToneBankAmplitude() {
    return TheBank().amplitude;
}

void BuildToneBank(const Settings& settings) {
    BuildToneBank(settings.CenterFrequency, settings.PeripheralFrequency, settings.Amplitude);
}

const ToneImages& ToneBank() {
    return TheBank().images;
}

SoundPtr ToneSound(int index) {
    if (index < 0 || index >= kToneCount) return nullptr;
    Bank& bank = TheBank();
    if (!bank.sounds[std::size_t(index)])
        bank.sounds[std::size_t(index)] = SoundOfToneImage(bank.images[std::size_t(index)]);
    return bank.sounds[std::size_t(index)];
}

}  // namespace zark
