#pragma once

#include <array>

#include "core/tracestore.h"

namespace zark {

struct TargetDescriptor;

// The hold before a shot is judged over its last second: the aim points before the shot's own
// point, at most this many (25 points a second), fewer when the trace is shorter, when it broke
// (a point at (0, 0)) or when the shot before lies within that second.
inline constexpr int kHoldPoints = 25;

// Millimetres of the real target per target unit of the face: refDiameter / (2 × refRadius).
double MillimetresPerUnit(const TargetDescriptor& face);

// The two score levels whose share of the hold is counted: the face's best points (10 on every
// face whose best ring is a ten) and the points one below (9). Faces without rings take the best
// zone of their zone map. next is 0 when the face has no such level (a biathlon plate).
struct HoldLevels {
    int top = 0;
    int next = 0;
};
HoldLevels HoldLevelsOf(const TargetDescriptor& face);
// The whole points of a score or ring value (10.1, the inner ten, is 10).
int WholePoints(double score);

// True when the aim at (x, y) is on the face: inside its outermost ring (widened by the bullet, as
// the rings score) or on the dark silhouette of its picture.
bool AimOnFace(const TargetDescriptor& face, int x, int y);

// The first trace point of the stretch shot i is aimed in: after the shot before (with a trace
// point) and after the last break (a point at (0, 0)) before the shot's own point. -1 for a shot
// without trace point.
int AimStretchStart(const TraceStore& store, int shot);

// The trace index of the next shot with a trace point after shot i (which has one), SampleCount()
// when none: where shot i's stretch ends.
int NextShotPoint(const TraceStore& store, int shot);

// The clock hour 1..12 of a direction in millimetres, x to the right and y upwards; 0 for none.
int ClockOfMm(double xMm, double yMm);

// Where the aim last came onto the face before shot i: back from the last point on the face at or
// before the shot's own point to where that run of points on the face began (a stretch that
// starts on the face counts from its start). -1 when the aim was never on the face in the
// shot's stretch, or the shot has no trace point. The aiming time runs from here.
int AimArrival(const TraceStore& store, int shot, const TargetDescriptor& face);

// The hold figures of one shot. Lengths in millimetres on the real target, x to the right and y
// upwards from the aim centre; shares 0..1.
struct HoldFigures {
    bool valid = false;  // the shot has its own trace point and at least one aim point before it
    int points = 0;      // aim points the last second had (1..25)
    double inTop = 0;    // share of those points scoring the face's best points (10) or more
    double inNext = 0;   // share scoring one point less (9) or more
    double traceMm = 0;  // length of the aim path through those points
    double meanXmm = 0;  // hold mean: the mean aim point of that second
    double meanYmm = 0;
    double releaseMm = 0;      // from the hold mean to the shot
    double aimingSeconds = 0;  // from the aim entering the face (outer ring or picture) to the shot
};

// The figures of shot i of the store, from the trace and the shot as recorded (neither the
// centring nor the shot time offset moves them). Not valid for a shot without trace point.
HoldFigures AnalyseHold(const TraceStore& store, int shot, const TargetDescriptor& face);

// A shot's position in millimetres.
struct GroupPoint {
    double x = 0;
    double y = 0;
};

// The group of a series or a match.
struct GroupFigures {
    int shots = 0;
    double meanXmm = 0;  // mean point of impact
    double meanYmm = 0;
    double meanDistanceMm = 0;  // from the aim centre to the mean point of impact
    int clock = 0;              // its clock direction 1..12, 0 when it is the centre itself
    double extremeSpreadMm = 0;  // largest centre-to-centre distance of two shots
    double meanRadiusMm = 0;     // mean distance of the shots from the mean point of impact
    double sdXmm = 0;            // standard deviations (n - 1), 0 below two shots
    double sdYmm = 0;
};
GroupFigures AnalyseGroup(const GroupPoint* points, int count);

// The fired shots of an image in millimetres, each on the face it was fired at (second may be
// null: the first for both). Writes up to kMaxShots points; returns how many.
int GroupPointsOf(const TraceImage& image, const TargetDescriptor& first, const TargetDescriptor* second,
                  GroupPoint* out);

// Every figure of a series: the hold of each shot and the group of its fired shots.
struct SeriesAnalysis {
    int shots = 0;
    std::array<HoldFigures, kMaxShots> hold{};
    GroupFigures group;
};
SeriesAnalysis AnalyseSeries(const TraceStore& store, const TargetDescriptor& first,
                             const TargetDescriptor* second);

}  // namespace zark
