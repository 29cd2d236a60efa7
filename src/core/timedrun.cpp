#include "core/timedrun.h"

#include <vector>

#include "core/tracestore.h"
#include "settings/settings.h"

namespace zark {

TimedRun::TimedRun(HubView* hub, TimedListener& listener) : HubView(hub), listener_(listener) {}

std::int32_t TimedRun::Now() {
    const TraceStore* store = Store();
    return store ? store->SampleCount() : 0;
}

void TimedRun::Begin(const TimedDrill& drill, std::uint32_t seed) {
    if (TraceStore* store = Store()) store->StartTiming(drill);
    sequence_.Start(drill, TimeStepOf(settings()), seed, Now());
    announced_ = -1;
    Tell(-1);
}

void TimedRun::Pause() {
    if (!sequence_.Running()) return;
    // the clock stops at the last sample that arrived
    sequence_.Pause(Now() - 1);
    announced_ = -1;
    Tell(-1);
}

void TimedRun::Resume() {
    if (sequence_.Phase() != TimedPhase::Paused) return;
    sequence_.Resume(Now());
    Tell(-1);
}

void TimedRun::End() {
    if (sequence_.Phase() == TimedPhase::Idle) return;
    sequence_.Stop();
    listener_.OnTimedClock(TimedPhase::Idle, 0, 0);
}

void TimedRun::OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) {
    HubView::OnSample(x, y, isShot, isReplay, sampleIndex);
    // after the last window a shot is still stamped (late); the clock itself has stopped
    if (isReplay || sequence_.Phase() == TimedPhase::Idle || sequence_.Phase() == TimedPhase::Paused) return;
    TraceStore* store = Store();
    if (!store) return;
    // The point just recorded is the clock's present; a shot is stamped where it broke.
    const std::int32_t index = store->SampleCount() - 1;
    const bool full = store->SampleCount() >= kMaxSamples;
    if (isShot && store->ShotCount() > 0) {
        // a shot without its own point breaks now: after the trace's end when the trace is full
        const std::int32_t shot = store->ShotCount() - 1;
        const std::int32_t now = full ? kMaxSamples : index;
        store->SetShotTiming(shot, sequence_.OnShot(store->ShotHasNoTrace(shot) ? now : store->Shot(shot).traceIndex));
    }
    // the clock is the trace: with the trace full no window can stay open
    if (full) sequence_.EndOfTrace(kMaxSamples);
    Tell(index);
}

void TimedRun::Tell(std::int32_t sample) {
    for (const TimedEvent& event : sequence_.AdvanceTo(sample))
        if (event.signal != TimedSignal::WindowOpen || event.window != announced_) listener_.OnTimedSignal(event);
    const TimedPhase phase = sequence_.Phase();
    const std::int32_t left = sequence_.RemainingMs();
    const std::int32_t window = sequence_.CurrentWindow();
    if (leadMs_ > 0 && (phase == TimedPhase::Attention || phase == TimedPhase::Pause) && left > 0 && left <= leadMs_ &&
        announced_ != window) {
        announced_ = window;
        listener_.OnTimedSignal({TimedSignal::WindowOpen, sequence_.OpeningSample(), window});
    }
    listener_.OnTimedClock(sequence_.Phase(), sequence_.RemainingMs(), sequence_.CurrentWindow());
}

}  // namespace zark
