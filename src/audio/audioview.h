#pragma once

#include "audio/soundplayer.h"
#include "core/shootinghub.h"

namespace zark {

// The sound of the live shooting, a view of the hub: with blind shooting on, a tone that rises as
// the aim nears the centre; on every fired shot the shot sound of the target's weapon class and,
// with "Tell Result" on, the score and clock direction spoken a second later. Live and replayed
// samples alike, so a replayed shot repeats its sounds. Settings handed to the hub rebuild the
// tones.
class AudioView final : public HubView {
public:
    // Attaches to parent and takes over its settings and targets. output null: the process-wide one.
    explicit AudioView(HubView* parent, SoundOutput* output = nullptr);

    SoundPlayer& Player() { return player_; }

    void OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) override;
    void OnSettingsChanged(const Settings* settings) override;
    void OnAcquisitionStopped() override;

private:
    void ShotSounds(int x, int y);

    SoundPlayer player_;
};

}  // namespace zark
