#pragma once

namespace zark {

// What the replay buttons and the Replay command act on: the target view, which holds the replay
// state and steps through the replay range.
class ReplayCommands {
public:
    virtual ~ReplayCommands() = default;
    // Speed in percent of ReplaySpeed's scale (100 = 25 ms a sample), direction +1 or -1.
    virtual void StartReplay(int speed, int direction) = 0;
    virtual void StopReplay() = 0;
    // To the first (toEnd 0) or the last (toEnd 1) sample of the replay range.
    virtual void JumpReplay(int toEnd) = 0;
    // The replay is stepping now (started and neither paused nor at the end of its range).
    virtual bool ReplayRunning() const = 0;
};

}  // namespace zark
