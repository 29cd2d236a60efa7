#pragma once

#include <cstdint>

namespace zark {

// A series against the clock: a preparation ("Load", then "Attention"), then one or more windows
// in which a number of shots may be fired, with a pause between windows. Plain 32-bit fields
// only: the drill and the shots' timing travel inside the trace image, which is copied bytewise.
struct TimedDrill {
    std::int32_t prepMs = 7000;      // "Attention" until the (first) window opens
    std::int32_t windowMs = 8000;    // how long each window is open
    std::int32_t pauseMs = 7000;     // between one window's end and the next window's opening
    std::int32_t shotsPerWindow = 5;
    std::int32_t windows = 1;
    std::int32_t randomStart = 0;    // 1: each window opens after a further random 2-4 s

    std::int32_t Shots() const { return shotsPerWindow * windows; }
    // Values a hand-edited setting or file may carry brought within what can be shot (at most 20
    // shots in all, windows of 0.5 s to 15 minutes, pauses up to 10 minutes).
    TimedDrill Clamped() const;
    friend bool operator==(const TimedDrill&, const TimedDrill&) = default;
};

// How one shot stands against the clock.
struct TimedShot {
    std::int32_t window = -1;  // 0-based window it belongs to; -1: fired before any window opened
    std::int32_t timeMs = 0;   // from the opening of that window (0 without window)
    std::int32_t late = 0;     // 1: counts 0, fired outside an open window or beyond its shots
    // The window was opened again after an interruption: 0 its first opening, n its n-th one after
    // it; the time counts from that opening.
    std::int32_t repeat = 0;
    std::int32_t between = 0;  // 1: late, fired after its window closed while another was to open
    friend bool operator==(const TimedShot&, const TimedShot&) = default;
};

// The ring value a timed shot adds to the total: its real value, or 0 when late.
inline double TimedValue(double value, const TimedShot& shot) { return shot.late ? 0.0 : value; }

}  // namespace zark
