#include "audio/soundoutput.h"

#include <atomic>

namespace zark {
namespace {

// Where no sound device is wanted (tools, tests): every sound ends at once.
class SilentOutput final : public SoundOutput {
public:
    void SetTone(double, int, int) override {}
    void StopTone() override {}
    std::uint64_t PlayClip(SoundPtr, ClipKind) override { return 0; }
    void WaitForClip(std::uint64_t) override {}
    void StopClips(ClipKind) override {}
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
