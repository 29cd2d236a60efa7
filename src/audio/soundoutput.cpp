#include "audio/soundoutput.h"

#include <atomic>

namespace zark {
namespace {

// Where no sound device is wanted (tools, tests): every sound ends at once.
class SilentOutput final : public SoundOutput {
public:
    void Play(SoundPtr, bool) override {}
    void PlayAndWait(SoundPtr) override {}
    void Stop() override {}
};

SilentOutput g_silent;
std::atomic<SoundOutput*> g_output{nullptr};

}  // namespace

SoundOutput& ProcessSoundOutput() {
    SoundOutput* output = g_output.load();
    return output ? *output : g_silent;
}

SoundOutput* SetProcessSoundOutput(SoundOutput* output) {
    return g_output.exchange(output);
}

}  // namespace zark
