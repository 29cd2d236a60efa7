#pragma once

#include <array>
#include <memory>
#include <vector>

#include "core/aimphase.h"
#include "core/tracestore.h"

namespace zark {

// The phases of a shot are found in the motion of the aim, measured against the size of the face's
// ten (its reach R: the ten ring's radius widened by the bullet, as the rings score), so the same
// rules serve the air rifle, the 50 m rifle and the moose. The README works them by hand.
inline constexpr int kPhaseSmoothing = 5;        // the speed is the mean of the last 5 steps (0.2 s)
inline constexpr double kSettleSpeed = 12.0;     // R per second: below it the approach has ended
inline constexpr double kHoldSpeed = 5.0;        // R per second: below it the aim is held
inline constexpr double kHoldArea = 3.0;         // R: the hold (and the follow-through) stay this close to the hold's mean
inline constexpr int kReleaseSteps = 10;         // the release is at most the last 10 steps (0.4 s)
inline constexpr int kReleaseMinSteps = 2;       // and at least the last 2 (the break falls in the first)
inline constexpr double kReleaseChange = 2.0;    // a release step is this many times faster or slower than the hold
inline constexpr int kFollowSteps = 25;          // the follow-through is watched for 1 s
inline constexpr int kDriftSteps = 12;           // its drift is taken over 0.5 s (12 steps)

// The limits of the verdicts.
inline constexpr double kLongHoldSeconds = 6.0;    // a longer hold is a "long hold"
inline constexpr double kJerkedReleaseReach = 1.5;  // the last two steps moving the aim more than 1.5 R are "jerked"
inline constexpr double kShortFollowSeconds = 0.5;  // a shorter follow-through is "no follow-through"

enum PhaseVerdict : int {
    VerdictNoHold = 1,
    VerdictLongHold = 2,
    VerdictDriftedOut = 4,
    VerdictJerkedRelease = 8,
    VerdictNoFollowThrough = 16,
};

// The ten's reach R in millimetres: on a face with rings the outermost ring scoring the face's
// best points plus the bullet; on a face without rings the radius of a disc as large as its best
// zone. 0 when the face has neither.
double TenReachMm(const TargetDescriptor& face);

// The phases of one shot. Indices are trace points; -1 is a phase that did not occur.
struct ShotPhases {
    bool valid = false;   // the shot has a trace point and the aim came onto the face before it
    int shotPoint = -1;
    int approach = -1;    // where the aim came onto the face; absent when its stretch began on the face
    int settle = -1;      // where the smoothed speed first fell below kSettleSpeed
    int hold = -1;        // where the shot's hold began
    int holdEnd = -1;     // where it ended: the release, or earlier when the aim drifted out of it
    int release = -1;     // where the release began (the last point before the first release step)
    int followEnd = -1;   // the last point of the follow-through; -1 when there is none
    double stepSeconds = 0.04;
    double holdSeconds = 0;   // (holdEnd - hold) steps
    double holdSpeed = 0;     // mm/s along the hold's path
    double holdRadius = 0;    // mm: mean distance of the hold's points from their mean point
    double holdMeanXmm = 0;   // that mean point, x to the right and y upwards
    double holdMeanYmm = 0;
    double releaseMm = 0;     // path of the release steps
    double followSeconds = 0;
    double driftMm = 0;       // from the shot's point to the follow-through's point 0.5 s on (or its last)
    int verdict = 0;          // PhaseVerdict bits

    bool HasHold() const { return hold >= 0; }
    bool HasRelease() const { return release >= 0; }
    bool HasFollowThrough() const { return followEnd > shotPoint; }
    // Seconds before the shot of a phase's start, 0 for an absent one.
    double SecondsBefore(int index) const { return index < 0 ? 0.0 : (shotPoint - index) * stepSeconds; }
};

// The phases of shot i of the store on its face, from the trace as recorded. labels, when given
// (indexed by trace index), gets the phase of every point of the shot's stretch up to the end of
// its follow-through (points before the arrival Outside).
ShotPhases AnalysePhases(const TraceStore& store, int shot, const TargetDescriptor& face,
                         AimPhase* labels = nullptr);

// The phases of every shot of a series and the means of their figures over the shots that have
// them (count: how many had each).
struct PhaseMeans {
    double holdSeconds = 0, holdSpeed = 0, holdRadius = 0, releaseMm = 0, driftMm = 0;
    int holds = 0, releases = 0, follows = 0;
};
struct SeriesPhases {
    int shots = 0;
    std::array<ShotPhases, kMaxShots> shot{};
    PhaseMeans means;
};
SeriesPhases AnalyseSeriesPhases(const TraceStore& store, const TargetDescriptor& first,
                                 const TargetDescriptor* second);

// The labeller the drawing view uses: the points after the last shot are labelled as they come
// (approach, settle and hold are known at once, a follow-through as it goes on); a shot's point
// labels its whole stretch with the shot's phases, recolouring its release.
std::unique_ptr<AimPhaseSource> MakePhaseLabeller();

}  // namespace zark
