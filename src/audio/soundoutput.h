#pragma once

#include "audio/wave.h"

namespace zark {

// The one sound output of the process. It plays one sound at a time: starting a sound ends the
// one that plays, at once. Every operation may be called from any thread.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    // Starts the sound and returns at once; a looped sound repeats until another sound or Stop
    // ends it. A null sound only ends the one that plays.
    virtual void Play(SoundPtr sound, bool loop) = 0;
    // Starts the sound and returns when it has ended: played out, or ended by another sound or Stop.
    virtual void PlayAndWait(SoundPtr sound) = 0;
    // Ends the sound that plays.
    virtual void Stop() = 0;
};

// The output every player uses unless it is given one: the one installed, else a silent one.
SoundOutput& ProcessSoundOutput();
// Installs the process-wide output (null restores the silent one) and returns the previous one,
// null for the silent one. Install it before any player is built and remove it after the last
// one is gone.
SoundOutput* SetProcessSoundOutput(SoundOutput* output);

}  // namespace zark
