#include "core/timedseries.h"

#include <algorithm>
#include <utility>

#include "core/tracestore.h"

namespace zark {

TimedDrill TimedDrill::Clamped() const {
    TimedDrill d = *this;
    d.windows = std::clamp(d.windows, 1, 20);
    d.shotsPerWindow = std::clamp(d.shotsPerWindow, 1, 20 / d.windows);
    d.windowMs = std::clamp(d.windowMs, 500, 15 * 60 * 1000);
    d.prepMs = std::clamp(d.prepMs, 0, 10 * 60 * 1000);
    d.pauseMs = std::clamp(d.pauseMs, 0, 10 * 60 * 1000);
    return d;
}

TimedDrill DrillOfPreset(TimedPreset preset) {
    TimedDrill d;  // five shots in one window after 7 s of "Attention"
    switch (preset) {
    case TimedPreset::Rapid8: d.windowMs = 8000; break;
    case TimedPreset::Rapid6: d.windowMs = 6000; break;
    case TimedPreset::Rapid4: d.windowMs = 4000; break;
    case TimedPreset::Standard150: d.windowMs = 150000; break;
    case TimedPreset::Standard20: d.windowMs = 20000; break;
    case TimedPreset::Standard10: d.windowMs = 10000; break;
    case TimedPreset::Duel:
        d.windowMs = 3000;
        d.pauseMs = 7000;
        d.shotsPerWindow = 1;
        d.windows = 5;
        break;
    case TimedPreset::Precision: d.windowMs = 5 * 60 * 1000; break;
    case TimedPreset::Custom:
        d.windowMs = 10000;
        d.randomStart = 1;
        break;
    }
    return d;
}

std::int32_t LongestSequenceMs(const TimedDrill& drill, std::int32_t stepMs) {
    const TimedDrill d = drill.Clamped();
    const std::int32_t step = std::max(1, stepMs);
    const auto samples = [step](std::int64_t ms) { return (ms + step - 1) / step; };
    const std::int64_t delay = d.randomStart ? samples(kRandomDelayMaxMs) : 0;
    const std::int64_t total = samples(kLoadMs) + samples(d.prepMs) + d.windows * (delay + samples(d.windowMs)) +
                               (d.windows - 1) * samples(d.pauseMs);
    return std::int32_t(std::min<std::int64_t>(total * step, INT32_MAX));
}

bool FitsTheTrace(const TimedDrill& drill, std::int32_t stepMs) {
    return LongestSequenceMs(drill, stepMs) <= std::int64_t(kMaxSamples) * std::max(1, stepMs);
}

std::int32_t UnitShotPeriodMs(const TimedDrill& drill, std::int32_t settingMs) {
    const TimedDrill d = drill.Clamped();
    const std::int32_t fits = d.windowMs / (2 * d.shotsPerWindow);
    return std::max(kUnitShortestShotPeriodMs, std::min(settingMs, fits));
}

int PresetNameId(TimedPreset preset) { return 520 + static_cast<int>(preset); }

void TimedSequence::Start(const TimedDrill& drill, std::int32_t stepMs, std::uint32_t seed,
                          std::int32_t sample) {
    drill_ = drill.Clamped();
    step_ = std::max(1, stepMs);
    random_.seed(seed);
    openedAt_.assign(static_cast<std::size_t>(drill_.windows), -1);
    closedAt_.assign(static_cast<std::size_t>(drill_.windows), -1);
    abandoned_.assign(static_cast<std::size_t>(drill_.windows), false);
    repeats_.assign(static_cast<std::size_t>(drill_.windows), 0);
    shots_.clear();
    pending_.clear();
    window_ = 0;
    now_ = sample;
    phase_ = TimedPhase::Load;
    phaseEnd_ = sample + Samples(kLoadMs);
    pending_.push_back({TimedSignal::Load, sample, 0});
}

void TimedSequence::Stop() {
    phase_ = TimedPhase::Idle;
    pending_.clear();
}

std::int32_t TimedSequence::Delay() {
    if (!drill_.randomStart) return 0;
    std::uniform_int_distribution<std::int32_t> ms(kRandomDelayMinMs, kRandomDelayMaxMs);
    return Samples(ms(random_));
}

void TimedSequence::ScheduleWindow(std::int32_t from) {
    phase_ = TimedPhase::Attention;
    phaseEnd_ = from + Samples(drill_.prepMs) + Delay();
    pending_.push_back({TimedSignal::Attention, from, window_});
}

void TimedSequence::Advance(std::int32_t sample) {
    if (phase_ == TimedPhase::Paused) return;  // the clock stands still until Continue
    while (Running() && phaseEnd_ <= sample) {
        const std::int32_t t = phaseEnd_;
        const auto w = static_cast<std::size_t>(window_);
        switch (phase_) {
        case TimedPhase::Load: ScheduleWindow(t); break;
        case TimedPhase::Attention:
        case TimedPhase::Pause:
            phase_ = TimedPhase::Open;
            if (openedAt_[w] >= 0) {
                // the window abandoned at an interruption opens again
                ++repeats_[w];
                closedAt_[w] = -1;
            }
            openedAt_[w] = t;
            phaseEnd_ = t + Samples(drill_.windowMs);
            pending_.push_back({TimedSignal::WindowOpen, t, window_});
            break;
        case TimedPhase::Open:
            closedAt_[w] = t;
            pending_.push_back({TimedSignal::WindowClose, t, window_});
            if (++window_ >= drill_.windows) {
                phase_ = TimedPhase::Done;
                pending_.push_back({TimedSignal::Done, t, -1});
            } else {
                phase_ = TimedPhase::Pause;
                phaseEnd_ = t + Samples(drill_.pauseMs) + Delay();
            }
            break;
        default: break;
        }
    }
    now_ = std::max(now_, sample);
}

std::vector<TimedEvent> TimedSequence::AdvanceTo(std::int32_t sample) {
    Advance(sample);
    return std::exchange(pending_, {});
}

void TimedSequence::Pause(std::int32_t sample) {
    Advance(sample);
    if (!Running() || phase_ == TimedPhase::Paused) return;
    if (phase_ == TimedPhase::Open) {
        const auto w = static_cast<std::size_t>(window_);
        abandoned_[w] = true;
        closedAt_[w] = now_;
        // a window that owes no shot is done with; one that does opens again after Continue
        if (Owed(window_) == 0) ++window_;
    }
    phase_ = TimedPhase::Paused;
}

void TimedSequence::Resume(std::int32_t sample) {
    if (phase_ != TimedPhase::Paused) return;
    now_ = std::max(now_, sample);
    if (window_ >= drill_.windows) {
        phase_ = TimedPhase::Done;
        pending_.push_back({TimedSignal::Done, now_, -1});
        return;
    }
    ScheduleWindow(now_);
}

TimedShot TimedSequence::OnShot(std::int32_t traceIndex) {
    TimedShot shot;
    shot.late = 1;
    if (traceIndex >= 0) {
        if (phase_ != TimedPhase::Paused) Advance(traceIndex);
        // The last window opened at or before the shot: the one it belongs to.
        for (std::int32_t w = drill_.windows - 1; w >= 0; --w) {
            const std::int32_t opened = openedAt_[static_cast<std::size_t>(w)];
            if (opened < 0 || opened > traceIndex) continue;
            shot.window = w;
            shot.timeMs = (traceIndex - opened) * step_;
            const std::int32_t closed = closedAt_[static_cast<std::size_t>(w)];
            const bool open = closed < 0 || traceIndex < closed;
            shot.late = !open || Owed(w) == 0;
            shot.repeat = repeats_[static_cast<std::size_t>(w)];
            // closed, and the clock waits for a window still to open
            const bool waiting = phase_ == TimedPhase::Pause || phase_ == TimedPhase::Attention ||
                                 (phase_ == TimedPhase::Paused && window_ < drill_.windows);
            shot.between = !open && waiting;
            break;
        }
    }
    shots_.push_back(shot);
    return shot;
}

void TimedSequence::EndOfTrace(std::int32_t sample) {
    Advance(sample - 1);
    if (!Running()) return;
    if (phase_ == TimedPhase::Open) {
        closedAt_[static_cast<std::size_t>(window_)] = sample;
        pending_.push_back({TimedSignal::WindowClose, sample, window_});
    }
    window_ = drill_.windows;
    phase_ = TimedPhase::Done;
    pending_.push_back({TimedSignal::Done, sample, -1});
    now_ = std::max(now_, sample);
}

std::int32_t TimedSequence::Owed(std::int32_t window) const {
    if (window < 0 || window >= drill_.windows) return 0;
    const auto counted = std::count_if(shots_.begin(), shots_.end(),
                                       [window](const TimedShot& s) { return s.window == window && !s.late; });
    return std::max<std::int32_t>(0, drill_.shotsPerWindow - std::int32_t(counted));
}

std::int32_t TimedSequence::Repeats(std::int32_t window) const {
    if (window < 0 || window >= static_cast<std::int32_t>(repeats_.size())) return 0;
    return repeats_[static_cast<std::size_t>(window)];
}

std::int32_t TimedSequence::RemainingMs() const {
    switch (phase_) {
    case TimedPhase::Load:
    case TimedPhase::Attention:
    case TimedPhase::Open:
    case TimedPhase::Pause: return std::max(0, phaseEnd_ - now_) * step_;
    default: return 0;
    }
}

std::int32_t TimedSequence::OpenedAt(std::int32_t window) const {
    if (window < 0 || window >= static_cast<std::int32_t>(openedAt_.size())) return -1;
    return openedAt_[static_cast<std::size_t>(window)];
}

bool TimedSequence::Abandoned(std::int32_t window) const {
    if (window < 0 || window >= static_cast<std::int32_t>(abandoned_.size())) return false;
    return abandoned_[static_cast<std::size_t>(window)];
}

TimedFigures FiguresOf(const std::vector<TimedShot>& shots) {
    TimedFigures f;
    std::int64_t sum = 0;
    std::int32_t pairs = 0;
    const TimedShot* previous = nullptr;
    for (const TimedShot& s : shots) {
        if (s.window < 0 || s.between) continue;  // fired in no window
        if (f.reactionMs < 0) f.reactionMs = s.timeMs;
        // (a window opened again after an interruption has a clock of its own)
        if (previous && previous->window == s.window && previous->repeat == s.repeat) {
            sum += s.timeMs - previous->timeMs;
            ++pairs;
        }
        previous = &s;
    }
    if (pairs > 0) f.meanIntervalMs = static_cast<std::int32_t>(sum / pairs);
    return f;
}

RangeCall CallOf(const TimedSequence& sequence) {
    RangeCall call;
    switch (sequence.Phase()) {
        case TimedPhase::Idle:
        case TimedPhase::Done: return call;
        case TimedPhase::Open: {
            const std::int32_t w = sequence.CurrentWindow();
            call.order = RangeCall::Order::Open;
            call.window = w;
            call.repeat = sequence.Repeats(w);
            call.windowMs = sequence.Drill().windowMs;
            call.shots = sequence.Owed(w);
            return call;
        }
        default: call.order = RangeCall::Order::Down; return call;
    }
}

}  // namespace zark
