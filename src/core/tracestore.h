#pragma once

#include <cstdint>
#include <type_traits>

#include "core/timing.h"

namespace zark {

struct Settings;

// One trace point in target units, x to the right and y upwards from the aim centre.
// (0, 0) is no aim point: it marks a break in the trace.
struct AimSample {
    std::int16_t x = 0;
    std::int16_t y = 0;
};

// A shot without its own trace point (an unfired shot of a moving-target run). Files carry such a
// shot with trace index 9999 (NoTraceInFiles); in memory the marker is a value no trace index can
// take, so a shot whose point lands at index 9999 keeps its point.
inline constexpr std::int32_t NoTrace = -1;
inline constexpr std::int32_t NoTraceInFiles = 9999;

struct ShotRecord {
    std::int16_t x = 0;  // shot position; (0, 0) for a shot without position
    std::int16_t y = 0;
    std::int32_t traceIndex = NoTrace;
    std::int32_t side = 0;  // which of the two faces the shot was fired at
};

// Where the shooter called a shot: the point the sights were at when it broke, in target units.
// A call at (0, 0), the middle, is a real call; given tells a call from none.
struct ShotCall {
    std::int32_t given = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const ShotCall&, const ShotCall&) = default;
};

inline constexpr std::int32_t kMaxSamples = 22500;  // 15 minutes at 25 points a second
inline constexpr std::int32_t kMaxShots = 20;

// The part of a store that is copied between stores, kept per series of a match and saved.
struct TraceImage {
    std::int32_t sampleCount = 0;
    AimSample samples[kMaxSamples];
    std::int32_t shotCount = 0;
    ShotRecord shots[kMaxShots];
    std::int32_t centred = 0;
    std::int32_t centreX = 0;
    std::int32_t centreY = 0;
    // A series shot against the clock: its drill and each shot's standing (see TimedSequence).
    std::int32_t timed = 0;
    TimedDrill drill;
    TimedShot timing[kMaxShots];
    // The calls of the shots, where the shooter gave one.
    ShotCall calls[kMaxShots];

    // Empty: no points, no shots, every shot entry without trace.
    void Clear();
    // The timing a file or journal gave brought within the drill: the drill itself, each shot's
    // window and lateness, and no timing for shots the series does not have.
    void ClampTiming();
};
static_assert(std::is_trivially_copyable_v<TraceImage>);

struct SamplePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const SamplePoint&, const SamplePoint&) = default;
};

// Everything recorded during one series: the aim trace at a fixed time step and up to 20 shots,
// each pointing at the trace point where it broke. Fixed size; nothing allocates.
class TraceStore final {
public:
    TraceStore();

    void Clear();
    int AppendSample(std::int32_t x, std::int32_t y);
    // A shot with a position appends its own point. When the trace is already full the shot is
    // still recorded, without trace point, so no shot of a long series is lost.
    int AppendShot(std::int32_t x, std::int32_t y, std::int32_t side);

    std::int32_t SampleCount() const { return image_.sampleCount; }
    std::int32_t ShotCount() const { return image_.shotCount; }
    // True for i beyond the recorded shots and for a shot without trace point (also one whose
    // index does not point into the trace, as an image from outside may hold).
    bool ShotHasNoTrace(std::int32_t i) const;
    // True for a recorded shot with a position. A shot at (0, 0) is an unfired shot of a
    // moving-target run; any other shot was fired and is scored from its position, even one
    // without a trace point of its own (fired when the trace was full).
    bool ShotFired(std::int32_t i) const;
    const ShotRecord& Shot(std::int32_t i) const;  // i below ShotCount()
    // (0, 0) outside the trace; in the header, as the analyses read every point through it
    SamplePoint Sample(std::int32_t index) const {
        if (index < 0 || index >= image_.sampleCount) return {};
        return {image_.samples[index].x, image_.samples[index].y};
    }

    // The shown position of shot i: the recorded one, or the trace point the shot time offset leads to.
    SamplePoint ShotPosition(std::int32_t i) const;
    // ms along the trace: that of the shot's own point; for a fired shot without trace point that of
    // the last point recorded (the trace was full when it broke); 9999 steps for an unfired shot.
    std::int32_t ShotTime(std::int32_t i) const;

    struct SampleInfo {
        SamplePoint point;
        std::int32_t shotsBefore = 0;  // shots fired more than 2 s before this point
        bool isShot = false;
    };
    SampleInfo SampleAt(std::int32_t index) const;

    struct Window {
        bool ok = false;
        std::int32_t first = 0;
        std::int32_t last = 0;  // inclusive
    };
    // The part of the trace that belongs to shot i (i = ShotCount(): the trace after the last shot).
    // Not ok for i beyond the shots and for a shot without trace point: it has no part of the trace.
    Window ReplayWindow(std::int32_t i, std::int32_t beforeMs, std::int32_t afterMs) const;
    // The stretch of shot i every view shows and replays: its replay window over the settings'
    // ReplayTimeBefore and ReplayTimeAfter (the defaults without settings).
    Window ShotStretch(std::int32_t i) const { return ShotStretch(i, settings_); }
    // The same over the replay times of the given settings (a report of a copy of the series).
    Window ShotStretch(std::int32_t i, const Settings* settings) const;
    // True for shot i with its own trace point strictly inside (first, last): the shots a shown
    // range of the trace holds.
    bool ShotInRange(std::int32_t i, std::int32_t first, std::int32_t last) const;

    void Centre(int on);
    std::int32_t Centred() const { return image_.centred; }
    std::int32_t CentreX() const { return image_.centreX; }
    std::int32_t CentreY() const { return image_.centreY; }
    // A point as the views show it: shifted by the centring when that is on; (0, 0), no position, stays.
    SamplePoint Shown(SamplePoint point) const;

    // A timed series: the drill it is shot to, and each shot's window, time and lateness.
    void StartTiming(const TimedDrill& drill);
    void SetShotTiming(std::int32_t i, const TimedShot& timing);  // ignored for i outside the shots
    bool Timed() const { return image_.timed != 0; }
    const TimedDrill& Drill() const { return image_.drill; }
    // Shot i's timing; for i outside the shots, or an untimed series, a shot without window, in time.
    TimedShot ShotTiming(std::int32_t i) const;

    // The call of shot i (ignored for i outside the shots); none for a shot without call.
    void SetCall(std::int32_t i, std::int32_t x, std::int32_t y);
    ShotCall Call(std::int32_t i) const;

    void SetShotTimeOffset(std::int32_t ms) { shotTimeOffset_ = ms; }
    std::int32_t ShotTimeOffset() const { return shotTimeOffset_; }
    void SetSettings(const Settings* settings) { settings_ = settings; }
    std::int32_t TimeStep() const;

    // Replaces this store's image; refused (0, store unchanged) when its counts are beyond what can
    // be recorded (up to 22,500 points and 20 shots are accepted).
    int CopyFrom(const TraceImage& image);
    const TraceImage& Image() const { return image_; }

private:
    TraceImage image_;
    std::int32_t shotTimeOffset_ = 0;
    const Settings* settings_ = nullptr;
};

}  // namespace zark
