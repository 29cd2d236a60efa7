#pragma once

#include <cstdint>

namespace zark {

// What the target window and the link window report to their owner about a series.
inline constexpr int kTargetControlId = 2151;

enum NotificationCode : int {
    kCodeShot = 1,             // index, score, timeMs, bearing
    kCodeSeriesComplete = 3,
    kCodeUnfiredShot = 4,      // an unfired shot of a moving-target run: index
    kCodeReplayedShot = 5,
    kCodeReplayAtEnd = 6,
    kCodeShotSettled = 7,      // TimeBetweenShots after a shot
    kCodeDetectorSilent = 8,   // no data within 2 s of arming the link
    kCodeNewRun = 9,           // a new moving-target run: side
    kCodeMarkClick = -2,       // a shot mark was clicked: index
    kCodeMarkDoubleClick = -3,
};

struct Notification {
    int code = 0;
    int index = 0;
    double score = 0;
    std::int32_t timeMs = 0;
    int bearing = 0;
    int side = 0;
};

class NotificationSink {
public:
    virtual ~NotificationSink() = default;
    virtual void Notify(const Notification& notification) = 0;
};

}  // namespace zark
