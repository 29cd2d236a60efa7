#pragma once

#include <cstdint>

#include "audio/wave.h"

namespace zark {

// What a sound is laid over the tone as. A voice (the spoken words) holds the tone's pitch while it
// plays; an effect (a shot sound, a signal, an alert, a test sound) does not.
enum class ClipKind { Effect, Voice };

// The one sound output of the process: one continuous stream in which the blind-shooting tone
// sounds and clips are mixed over it. Nothing a caller does restarts the stream. Every operation
// may be called from any thread and returns at once, except WaitForClip.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    // --- The tone
    // A sine of frequency Hz with the peak amplitude given (of 32767). It fades in over 5 ms from
    // silence; a change of pitch or amplitude takes effect at the tone's next zero crossing,
    // without a break; frequency 0 fades it out. While a voice plays, a change is held back and
    // the last one asked for takes effect as soon as the voice ends. holdMs above 0: the tone
    // fades out by itself unless it is set again within that time (a replay that stops or ends
    // sends nothing more).
    virtual void SetTone(double frequency, int amplitude, int holdMs) = 0;
    // Fades the tone out now, also while a voice plays, and forgets a change held back.
    virtual void StopTone() = 0;

    // --- Clips
    // Mixes the clip over whatever plays (the tone is lowered about 6 dB while any clip plays)
    // and returns its ticket. A null or empty sound plays nothing; its ticket has ended at once.
    virtual std::uint64_t PlayClip(SoundPtr sound, ClipKind kind) = 0;
    // Returns when the clip of ticket has played out or was stopped; at once when no device plays.
    virtual void WaitForClip(std::uint64_t ticket) = 0;
    // Ends the clips of that kind that play, at once.
    virtual void StopClips(ClipKind kind) = 0;

    // How long a clip started now takes to be heard (what the device holds ahead); 0 when unknown.
    virtual int LatencyMs() const { return 0; }

    // A clip played whole: returns when it has ended.
    void PlayAndWait(SoundPtr sound, ClipKind kind = ClipKind::Effect) { WaitForClip(PlayClip(std::move(sound), kind)); }
    // Ends every clip that plays (the tone goes on).
    void StopAllClips() {
        StopClips(ClipKind::Effect);
        StopClips(ClipKind::Voice);
    }
};

// The output every player uses unless it is given one: the one installed, else a silent one.
SoundOutput& ProcessSoundOutput();
// Installs the process-wide output (null restores the silent one) and returns the previous one,
// null for the silent one. Install it before any player is built and remove it after the last
// one is gone.
SoundOutput* SetProcessSoundOutput(SoundOutput* output);

}  // namespace zark
