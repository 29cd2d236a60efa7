#include "link/rangecall.h"

#include <mutex>

#include "core/timedseries.h"

namespace zark {
namespace {

std::mutex g_rangeMutex;
RangeCall g_rangeCall;

}  // namespace

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

void CallTheRange(const RangeCall& call) {
    std::lock_guard lock(g_rangeMutex);
    g_rangeCall = call;
}

RangeCall RangeCallNow() {
    std::lock_guard lock(g_rangeMutex);
    return g_rangeCall;
}

}  // namespace zark
