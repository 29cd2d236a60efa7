#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "audio/soundoutput.h"

namespace zark {

// The mixer behind the sound stream: a phase-continuous sine oscillator for the blind-shooting
// tone and the clips laid over it, rendered on demand as mono signed 16-bit samples at one rate.
// Whoever drives the device calls Render; everything else may come from any thread. Render
// takes the mixer's lock only for the length of one block and never allocates.
class SoundMixer : public SoundOutput {
public:
    static constexpr int kDefaultRate = 48000;
    static constexpr int kFadeMs = 5;  // tone start and end, and the lowering under a clip
    static constexpr double kDuck = 0.5;  // the tone under a clip: about -6 dB

    explicit SoundMixer(int sampleRate = kDefaultRate);

    void SetTone(double frequency, int amplitude, int holdMs) override;
    void StopTone() override;
    std::uint64_t PlayClip(SoundPtr sound, ClipKind kind) override;
    void WaitForClip(std::uint64_t ticket) override;
    void StopClips(ClipKind kind) override;

    // The next frames samples of the stream.
    void Render(std::int16_t* out, int frames);
    // Without a device nothing is rendered: clips end as they start and nobody waits for them.
    void SetSilent(bool silent);

    int SampleRate() const { return rate_; }
    // What the stream sounds now: the tone's frequency (0 while it is silent or fading out) and
    // whether a clip of the ticket still plays.
    double SoundingFrequency() const;
    bool ClipPlaying(std::uint64_t ticket) const;
    // Microseconds from the last SetTone that changed the pitch to the Render that began the new
    // pitch (the samples before it in that block are not counted); -1 until a change was made.
    std::int64_t LastChangeMicroseconds() const;
    // The frame of the stream where the last change of the tone took effect; -1 before one did.
    std::int64_t LastChangeFrame() const;
    // How many frames have been rendered so far.
    std::int64_t RenderedFrames() const { return rendered_.load(); }

private:
    struct Clip {
        SoundPtr sound;
        ClipKind kind;
        std::uint64_t ticket;
        double position;  // in the clip's own frames
        double step;      // the clip's frames per frame of the stream
    };
    using Clock = std::chrono::steady_clock;

    void ApplyWanted(bool atCrossing, Clock::time_point now, std::int64_t frame);
    void NoteClipsChanged();

    const int rate_;
    const double fadeStep_;
    mutable std::mutex mutex_;
    std::condition_variable clipEnded_;
    bool silent_ = false;

    // the tone asked for (0 Hz: none) and the one sounding
    double wantedFrequency_ = 0;
    int wantedAmplitude_ = 0;
    std::int64_t holdFrames_ = -1;  // until the tone fades by itself; -1: it does not
    bool dirty_ = false;  // the tone asked for is not yet the one sounding
    bool on_ = false;
    double frequency_ = 0;
    double amplitude_ = 0;
    double phase_ = 0;  // in cycles, 0..1
    double gain_ = 0;   // the fade, 0..1
    double duck_ = 1;   // the lowering under clips, kDuck..1
    Clock::time_point changeAsked_{};
    bool changePending_ = false;
    std::int64_t changeMicroseconds_ = -1;
    std::int64_t changeFrame_ = -1;

    std::atomic<std::int64_t> rendered_{0};
    std::vector<Clip> clips_;
    bool voice_ = false;  // a voice clip plays: the pitch holds
    std::uint64_t nextTicket_ = 1;
};

// A sine clip of frequency Hz, ms long at rate, with peak amplitude (of 32767) and 5 ms fades at
// both ends: a test tone that neither clicks nor carries an offset.
SoundPtr SineClip(double frequency, int amplitude, int ms, int rate = SoundMixer::kDefaultRate);

}  // namespace zark
