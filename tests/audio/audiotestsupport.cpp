#include "recordingoutput.h"

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

}  // namespace zark::test
