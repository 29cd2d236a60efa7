#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/portprobe.h"

namespace zark {

// What the Sound page needs of the program's sound player: the names of the shot sounds, and
// playing them and the blind-shooting tones for the test buttons. The main frame supplies it.
class CustomizeSoundHooks {
public:
    virtual ~CustomizeSoundHooks() = default;
    // The shot sounds of the sound folder, without ".wav", in any order.
    virtual std::vector<std::string> SoundNames() = 0;
    // Plays a shot sound of SoundNames(); the "(none)" text of the loaded language plays nothing.
    virtual void PlayShotSound(const std::string& name) = 0;
    // The blind-shooting tones from centreHz down to peripheralHz at the fixed test amplitude,
    // without touching the tones in use; ends by itself after the twelve tones.
    virtual void StartToneSweep(int centreHz, int peripheralHz) = 0;
    virtual bool ToneSweepPlaying() const = 0;
    // Ends whatever test sound plays.
    virtual void StopSound() = 0;
};

// How the dialog tests a port; may be called off the main thread.
using PortProber = std::function<PortProbeAnswer(const std::string& portName)>;

// What the dialog works with besides the settings. Either part may be missing: the Sound page
// then lists only "(none)" and plays nothing; without a prober the probe uses the process's
// serial worker.
struct CustomizeContext {
    CustomizeSoundHooks* sound = nullptr;
    PortProber probe;
};

}  // namespace zark
