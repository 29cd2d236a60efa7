#include "recordingoutput.h"

#include "audio/spokenwords.h"

namespace zark::test {

double ZeroCrossingFrequency(const PcmSound& sound) {
    int rising = 0;
    int first = -1;
    int last = -1;
    const auto& s = sound.samples;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i - 1] < 0 && s[i] >= 0) {
            if (first < 0) first = int(i);
            last = int(i);
            ++rising;
        }
    }
    if (rising < 2) return 0;
    return double(rising - 1) * sound.sampleRate / double(last - first);
}

SoundPtr JoinedWords(UiLanguage language, std::initializer_list<int> ids) {
    auto joined = std::make_shared<PcmSound>();
    for (const int id : ids) {
        const SoundPtr word = WordSound(language, id);
        if (!word) return nullptr;
        joined->sampleRate = word->sampleRate;
        joined->channels = word->channels;
        joined->samples.insert(joined->samples.end(), word->samples.begin(), word->samples.end());
    }
    return joined;
}

}  // namespace zark::test
