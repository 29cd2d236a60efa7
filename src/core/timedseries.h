#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "core/timing.h"
#include "link/rangecall.h"

namespace zark {

// The timed series on the detector unit's own clock, the trace index (one sample every time
// step), so nothing the machine does meanwhile can move a shot in or out of its window.
enum class TimedPreset : std::int32_t {
    Rapid8, Rapid6, Rapid4, Standard150, Standard20, Standard10, Duel, Precision, Custom
};
inline constexpr int kTimedPresetCount = 9;

// The drill of a preset; Custom gives the custom drill's defaults.
TimedDrill DrillOfPreset(TimedPreset preset);
// The longest the sequence of a drill can take from the series' start to the close of its last
// window, random delays at their longest, on a clock of stepMs a sample (without interruptions).
std::int32_t LongestSequenceMs(const TimedDrill& drill, std::int32_t stepMs);
// Whether that sequence fits in the trace of a series (kMaxSamples samples).
bool FitsTheTrace(const TimedDrill& drill, std::int32_t stepMs);
// The time between shots the detector unit is told during a timed series: no more than half the
// window shared among its shots (so the shots of a rapid-fire window can be fired), no more than
// the setting, and never below the unit's shortest time.
inline constexpr std::int32_t kUnitShortestShotPeriodMs = 400;
std::int32_t UnitShotPeriodMs(const TimedDrill& drill, std::int32_t settingMs);
// The string id of a preset's name in the string tables.
int PresetNameId(TimedPreset preset);

// The "Load" lead-in before "Attention": the time to load and take position.
inline constexpr std::int32_t kLoadMs = 3000;
// The random delay before a window opens, when the drill asks for one.
inline constexpr std::int32_t kRandomDelayMinMs = 2000;
inline constexpr std::int32_t kRandomDelayMaxMs = 4000;

// The signals of the sequence, each at the sample it belongs to.
enum class TimedSignal { Load, Attention, WindowOpen, WindowClose, Done };
struct TimedEvent {
    TimedSignal signal = TimedSignal::Load;
    std::int32_t sample = 0;
    std::int32_t window = -1;
    friend bool operator==(const TimedEvent&, const TimedEvent&) = default;
};

// What the target window shows: the phase (red while waiting, green while a window is open) and
// the time left in it.
enum class TimedPhase { Idle, Load, Attention, Open, Pause, Paused, Done };

// The sequence of one timed series on the sample clock. The series starts at a sample (the trace
// index at the start); AdvanceTo moves the clock on and yields the signals reached. A pause (F3,
// a silent unit) stops the clock: a window open at that moment is abandoned (its shots so far
// stand), and after Continue a fresh "Attention" leads to the same window again for the shots it
// still owes, as a range officer allows after an interruption, or to the next window when it owes
// none.
class TimedSequence final {
public:
    void Start(const TimedDrill& drill, std::int32_t stepMs, std::uint32_t seed, std::int32_t sample);
    void Stop();  // the series is over or given up: no more signals

    // The signals from the last sample reached up to and including this one, in order.
    std::vector<TimedEvent> AdvanceTo(std::int32_t sample);
    void Pause(std::int32_t sample);
    void Resume(std::int32_t sample);

    // A shot broke at this trace index: advances the clock there and records the shot.
    TimedShot OnShot(std::int32_t traceIndex);
    // The trace is full at this sample: the clock can go no further, so an open window closes
    // there and the drill is over (no later shot can be in time).
    void EndOfTrace(std::int32_t sample);

    bool Running() const { return phase_ != TimedPhase::Idle && phase_ != TimedPhase::Done; }
    TimedPhase Phase() const { return phase_; }
    // ms until the phase ends, counted from the sample reached (0 when nothing is timed).
    std::int32_t RemainingMs() const;
    std::int32_t CurrentWindow() const { return window_; }  // the window open, or the next one
    // Where the phase ends: the sample the next window opens at while waiting for it.
    std::int32_t OpeningSample() const { return phaseEnd_; }
    const TimedDrill& Drill() const { return drill_; }
    const std::vector<TimedShot>& Shots() const { return shots_; }
    // The sample each window opened at (-1: not opened, or abandoned before it opened).
    std::int32_t OpenedAt(std::int32_t window) const;
    bool Abandoned(std::int32_t window) const;
    // In-time shots the window still takes.
    std::int32_t Owed(std::int32_t window) const;
    // How often the window was opened again after an interruption.
    std::int32_t Repeats(std::int32_t window) const;

private:
    std::int32_t Samples(std::int32_t ms) const { return (ms + step_ - 1) / step_; }
    std::int32_t Delay();
    void ScheduleWindow(std::int32_t from);  // "Attention" from this sample, then the window
    void Advance(std::int32_t sample);        // moves the clock on, collecting the signals

    TimedDrill drill_;
    std::int32_t step_ = 40;
    std::mt19937 random_;
    TimedPhase phase_ = TimedPhase::Idle;
    std::int32_t now_ = 0;        // the sample reached
    std::int32_t phaseEnd_ = 0;   // the sample at which the phase ends
    std::int32_t window_ = 0;
    std::int32_t inWindow_ = 0;   // shots counted in the open window
    std::vector<std::int32_t> openedAt_;
    std::vector<std::int32_t> closedAt_;  // the sample it closed (or was abandoned) at; -1 while open
    std::vector<bool> abandoned_;
    std::vector<std::int32_t> repeats_;
    std::vector<TimedShot> shots_;
    std::vector<TimedEvent> pending_;  // signals reached and not yet handed out
};

// The series' figures for the analysis: the time of the first shot from its window's opening
// (the reaction) and the mean interval between successive shots in the same opening of a window
// (shots fired between windows are in none); -1 when there is nothing to measure.
struct TimedFigures {
    std::int32_t reactionMs = -1;
    std::int32_t meanIntervalMs = -1;
};
TimedFigures FiguresOf(const std::vector<TimedShot>& shots);

// What the range calls at the present state of a timed series' sequence (the simulated shooter
// follows it).
RangeCall CallOf(const TimedSequence& sequence);

}  // namespace zark
