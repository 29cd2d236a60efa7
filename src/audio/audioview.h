#pragma once

#include <array>
#include <chrono>
#include <functional>

#include "audio/soundplayer.h"
#include "core/shootinghub.h"

namespace zark {

// The sound of the live shooting, a view of the hub: with blind shooting on, a tone that rises as
// the aim nears the centre; on every fired shot the shot sound of the target's weapon class and,
// with "Tell Result" on, the score and clock direction spoken a second later. Live and replayed
// samples alike, so a replayed shot repeats its sounds; but a replay run backward or much faster
// than it was shot says nothing (its results would pile up behind it). A replayed tone lasts only
// while replayed samples come, so it ends with a replay that pauses or runs out. Settings handed
// to the hub build the tones (the one place they are built).
class AudioView final : public HubView {
public:
    using Clock = std::chrono::steady_clock;
    // A replay faster than this many times the pace it was shot at says no results.
    static constexpr double kFastestSpokenReplay = 2.5;

    // Attaches to parent and takes over its settings and targets. output null: the process-wide one.
    explicit AudioView(HubView* parent, SoundOutput* output = nullptr);

    SoundPlayer& Player() { return player_; }
    // The clock the pace of a replay is measured with (tests step their own).
    void SetClock(std::function<Clock::time_point()> now) { now_ = std::move(now); }

    void OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) override;
    void OnSettingsChanged(const Settings* settings) override;
    void OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) override;
    void OnNewSeries(int shots, int sighters, int isDouble) override;
    void OnReplayStarted() override;
    void OnReplayStopped() override;
    void OnAcquisitionStopped() override;
    // With CallShots on, a live shot's result is said once its call is given or skipped.
    void OnShotCalled(int shot, int how) override;

private:
    struct Result {
        bool pending = false;
        double score = 0;
        int bearing = 0;
        bool decimal = false;
    };
    void ShotSounds(int x, int y, bool speak, bool live);
    void Say(const Result& result);
    void NoteReplayed(int sampleIndex);
    bool ReplaySpeakable() const;
    int ReplayHoldMs() const;

    SoundPlayer player_;
    Result awaitingCall_;  // the result of the shot whose call is awaited
    std::function<Clock::time_point()> now_ = [] { return Clock::now(); };
    // The last replayed samples: when they came and their indices, oldest first once full.
    struct Replayed {
        Clock::time_point time;
        int index = 0;
    };
    std::array<Replayed, 8> replayed_{};
    int replayedCount_ = 0;  // up to the size of replayed_
    int replayedNext_ = 0;   // where the next goes
};

}  // namespace zark
