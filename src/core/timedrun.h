#pragma once

#include <cstdint>

#include "core/shootinghub.h"
#include "core/timedseries.h"

namespace zark {

// What a timed series shows and sounds: the signals as the sample clock reaches them, and the
// phase with the time left in it at every live sample (for the countdown and the coloured frame).
class TimedListener {
public:
    virtual ~TimedListener() = default;
    virtual void OnTimedSignal(const TimedEvent& event) = 0;
    virtual void OnTimedClock(TimedPhase phase, std::int32_t remainingMs, std::int32_t window) = 0;
};

// The hub's view of a timed series: it runs the sequence on the live samples the store records
// (the trace index is the clock), stamps each recorded shot with its window, time and lateness in
// the store, and tells the listener. Replayed samples move nothing.
class TimedRun final : public HubView {
public:
    TimedRun(HubView* hub, TimedListener& listener);

    // Right after the series was started (its store cleared): the store is marked as timed and the
    // sequence begins at the next sample.
    void Begin(const TimedDrill& drill, std::uint32_t seed);
    void Pause();   // F3: a window open now is abandoned
    void Resume();  // Continue: "Attention", then the next window
    void End();     // the series is over or given up
    // The opening's signal is told this much ahead of the sample that opens the window (the time
    // the sound device takes to make it heard), at the last sample that is not later than that; a
    // pause before the opening takes the announcement back, so the opening is told again.
    void SetSignalLead(std::int32_t ms) { leadMs_ = ms; }
    bool Active() const { return sequence_.Running() || sequence_.Phase() == TimedPhase::Paused; }
    const TimedSequence& Sequence() const { return sequence_; }

    void OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) override;

private:
    std::int32_t Now();  // the index the next live sample takes
    void Tell(std::int32_t sample);  // advances the clock to sample (-1: not at all) and tells

    TimedListener& listener_;
    TimedSequence sequence_;
    std::int32_t leadMs_ = 0;
    std::int32_t announced_ = -1;  // the window whose opening was told ahead
};

}  // namespace zark
