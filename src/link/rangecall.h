#pragma once

#include <cstdint>

namespace zark {

// What a shooter on the range hears of a timed series, as the state it leaves the shooter in: free
// to shoot as usual (no clock, or the drill is over), the arm down (Load, Attention, between
// windows, an interruption), or a window open for the shots it still takes. An opening is known by
// its window and its repeat, so a window opened again after an interruption is a new opening.
struct RangeCall {
    enum class Order : std::int32_t { Free, Down, Open };
    Order order = Order::Free;
    std::int32_t window = -1;
    std::int32_t repeat = 0;
    std::int32_t windowMs = 0;  // an open window's length
    std::int32_t shots = 0;     // the shots it still takes
    bool SameOrder(const RangeCall& o) const {
        return order == o.order && (order != Order::Open || (window == o.window && repeat == o.repeat));
    }
};

// The range of the built-in simulated unit: the program calls on its thread, the unit listens on
// the serial worker's thread.
void CallTheRange(const RangeCall& call);
RangeCall RangeCallNow();

}  // namespace zark
