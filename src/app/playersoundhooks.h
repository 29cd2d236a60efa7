#pragma once

#include <atomic>
#include <thread>

#include "audio/soundplayer.h"
#include "settings/widgets/customizehooks.h"

namespace zark {

// The Customize dialog's sound tests on the program's sound player: the shot sounds of the sound
// folder, and the blind-shooting sweep, which plays on a thread of its own so the dialog stays
// usable and can end it.
class PlayerSoundHooks final : public CustomizeSoundHooks {
public:
    PlayerSoundHooks() = default;
    ~PlayerSoundHooks() override;

    std::vector<std::string> SoundNames() override { return player_.SoundNames(); }
    void PlayShotSound(const std::string& name) override;
    void StartToneSweep(int centreHz, int peripheralHz) override;
    bool ToneSweepPlaying() const override { return sweeping_.load(); }
    void StopSound() override;

private:
    SoundPlayer player_;
    std::thread sweep_;
    std::atomic<bool> sweeping_{false};
    std::atomic<bool> cancel_{false};
};

}  // namespace zark
