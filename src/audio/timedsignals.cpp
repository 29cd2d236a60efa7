#include "audio/timedsignals.h"

#include <initializer_list>

#include "audio/soundmixer.h"
#include "audio/spokenwords.h"

namespace zark {
namespace {

struct Pip {
    double frequency;
    int ms;
    int gapMs;  // silence after it
};

constexpr int kSignalAmplitude = 12000;
constexpr int kAttentionPipMs = 150;

SoundPtr Pips(std::initializer_list<Pip> pips) {
    auto sound = std::make_shared<PcmSound>();
    sound->sampleRate = SoundMixer::kDefaultRate;
    for (const Pip& pip : pips) {
        const SoundPtr tone = SineClip(pip.frequency, kSignalAmplitude, pip.ms, sound->sampleRate);
        sound->samples.insert(sound->samples.end(), tone->samples.begin(), tone->samples.end());
        sound->samples.resize(sound->samples.size() + std::size_t(pip.gapMs) * std::size_t(sound->sampleRate) / 1000);
    }
    return sound;
}

}  // namespace

SoundPtr TimedSignalClip(TimedSignal signal) {
    switch (signal) {
    case TimedSignal::WindowOpen: return Pips({{1320, 120, 40}, {1760, 260, 0}});
    case TimedSignal::WindowClose: return Pips({{1760, 140, 50}, {1175, 140, 50}, {880, 360, 0}});
    case TimedSignal::Attention: return Pips({{660, kAttentionPipMs, 0}});
    default: return nullptr;
    }
}

SoundPtr SpokenAttention(UiLanguage language) {
    const SoundPtr word = WordSound(language, kWordAttention);
    if (!word) return nullptr;
    auto delayed = std::make_shared<PcmSound>(*word);
    const auto lead = std::size_t(kAttentionPipMs + 100) * std::size_t(word->sampleRate) / 1000 * std::size_t(word->channels);
    delayed->samples.insert(delayed->samples.begin(), lead, std::int16_t{0});
    return delayed;
}

}  // namespace zark
