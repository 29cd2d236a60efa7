#pragma once

#include "settings/widgets/customizehooks.h"

namespace zark {

// TO BE REPLACED BY THE SOUND PLAYER (src/audio) ON MERGE: the main frame's stand-in for the
// Customize dialog's sound hooks until the player is in. It lists the shot sounds of the "Sound"
// folder in the current directory, as the player will, and only logs what it would play.
class InterimSoundHooks final : public CustomizeSoundHooks {
public:
    std::vector<std::string> SoundNames() override;
    void PlayShotSound(const std::string& name) override;
    void StartToneSweep(int centreHz, int peripheralHz) override;
    bool ToneSweepPlaying() const override { return false; }
    void StopSound() override {}
    // The blind-shooting tones are rebuilt here from the applied settings.
    void BuildToneBank(int centreHz, int peripheralHz, int amplitude);
};

}  // namespace zark
