#pragma once

#include <array>

#include "core/tracestore.h"
#include "results/holdanalysis.h"
#include "results/phaseanalysis.h"

namespace zark {

struct TargetDescriptor;

// A coach's questions about a series, answered from the trace and the shots as recorded (neither
// the centring nor the shot time offset moves them). The README works each figure by hand.

// The points either side of a shot's own point whose scores make its held score: ±5 (±0.2 s).
inline constexpr int kLuckReach = 5;

// What a shot at (x, y) counts for on a face: decimal faces with their tenths, the others with
// whole points (an inner ten is a ten).
double CountedScore(const TargetDescriptor& face, int x, int y);

// The held score of shot i: the median of the counted scores of the points from kLuckReach before
// to kLuckReach after its own point, taking only points of its stretch (from the aim's arrival on
// the face to before the next shot's point, none beyond a break) and never a point at (0, 0).
// The mean of the two middle scores for an even count. False without such points (no trace
// point, never on the face).
bool HeldScore(const TraceStore& store, int shot, const TargetDescriptor& face, double& held);

// The sighters' correction and how sure it is: after n ≥ 2 sighters its standard error is
// √(sx² + sy²) / √n, sx and sy the sample standard deviations of the sighters (mm); the sighters
// that would bring it under a quarter of the face's ring spacing are the smallest N with
// √(sx² + sy²) / √N below it (at least 2).
struct SighterConfidence {
    bool valid = false;      // two or more sighters
    int sighters = 0;
    double standardErrorMm = 0;
    double goalMm = 0;       // a quarter of the ring spacing; 0 on a face without rings
    int needed = 0;          // 0 without a goal
};
SighterConfidence SightersConfidence(const GroupFigures& sighters, const TargetDescriptor& face);
// The radial width of one point on a face: from its outermost ring to the outermost ring scoring
// its best points, over the points between them (mm); 0 on a face without rings.
double RingSpacingMm(const TargetDescriptor& face);

// The coaching figures of one shot.
struct ShotCoaching {
    bool fired = false;
    double score = 0;      // counted score of the shot as recorded
    bool hasHeld = false;
    double held = 0;       // the held score
    double luck = 0;       // score − held
    bool hasHold = false;  // the phase analysis found a hold
    double holdToShotXmm = 0;  // from the hold's mean point to the shot, x to the right, y upwards
    double holdToShotYmm = 0;
    double holdToShotMm = 0;
    int holdToShotClock = 0;   // 1..12, 0 when the shot is at the hold's mean point
    bool called = false;
    ShotCall call;             // where the shooter called it (target units)
    double callScore = 0;      // counted score of the call on the shot's face
    double callErrorMm = 0;    // from the call to the shot
};

// A series' coaching figures: each shot's and the sums and means over the shots that have them.
struct SeriesCoaching {
    int shots = 0;
    std::array<ShotCoaching, kMaxShots> shot{};
    int lucky = 0;          // shots with a held score
    double luck = 0;        // the sum of their luck
    int holds = 0;          // shots with a hold: the release's vector from the hold means to the shots
    double aimToHitXmm = 0;
    double aimToHitYmm = 0;
    double aimToHitMm = 0;
    int aimToHitClock = 0;
    int calls = 0;
    double meanCallErrorMm = 0;
    double callsWithinPoint = 0;  // share of the calls whose score is within one point of the shot's
};
// phases: the series' phase analysis (the holds), as AnalyseSeriesPhases gives it.
SeriesCoaching AnalyseCoaching(const TraceStore& store, const SeriesPhases& phases, const TargetDescriptor& first,
                               const TargetDescriptor* second);

}  // namespace zark
