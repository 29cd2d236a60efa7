#include "results/coachfigures.h"

#include <algorithm>
#include <cmath>

#include "results/shotscore.h"
#include "targets/scoretext.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {
bool IsGap(const SamplePoint& p) { return p.x == 0 && p.y == 0; }
}  // namespace

double CountedScore(const TargetDescriptor& face, int x, int y) { return TotalPart(face, face.ScoreShot(x, y)); }

bool HeldScore(const TraceStore& store, int shot, const TargetDescriptor& face, double& held) {
    const int arrival = AimArrival(store, shot, face);
    if (arrival < 0) return false;
    const int t = store.Shot(shot).traceIndex;
    const int end = NextShotPoint(store, shot);  // exclusive
    std::array<double, 2 * kLuckReach + 1> scores{};
    int n = 0;
    for (int k = std::max(arrival, t - kLuckReach); k < t; ++k)
        scores[std::size_t(n++)] = CountedScore(face, store.Sample(k).x, store.Sample(k).y);
    // after the shot its stretch goes on until a break or the next shot
    for (int k = t; k <= t + kLuckReach && k < end; ++k) {
        const SamplePoint p = store.Sample(k);
        if (IsGap(p)) break;
        scores[std::size_t(n++)] = CountedScore(face, p.x, p.y);
    }
    if (n == 0) return false;
    std::sort(scores.begin(), scores.begin() + n);
    held = n % 2 ? scores[std::size_t(n / 2)] : (scores[std::size_t(n / 2 - 1)] + scores[std::size_t(n / 2)]) / 2;
    return true;
}

double RingSpacingMm(const TargetDescriptor& face) {
    if (face.RingCount() <= 0) return 0;
    const int top = WholePoints(face.TopScore());
    int ten = -1;
    for (int i = 0; i < face.RingCount() && ten < 0; ++i)
        if (WholePoints(face.RingValue(i)) >= top) ten = i;
    if (ten < 0) return 0;
    const int points = top - WholePoints(face.RingValue(0));
    if (points <= 0) return 0;
    return (face.RingRadius(0) - face.RingRadius(ten)) * MillimetresPerUnit(face) / points;
}

SighterConfidence SightersConfidence(const GroupFigures& sighters, const TargetDescriptor& face) {
    SighterConfidence c;
    c.sighters = sighters.shots;
    if (sighters.shots < 2) return c;
    c.valid = true;
    const double spread = sighters.sdXmm * sighters.sdXmm + sighters.sdYmm * sighters.sdYmm;
    c.standardErrorMm = std::sqrt(spread / sighters.shots);
    c.goalMm = RingSpacingMm(face) / 4;
    if (c.goalMm > 0) {
        // the smallest N with spread / N < goal²
        const double ratio = spread / (c.goalMm * c.goalMm);
        c.needed = std::max(2, int(std::floor(ratio)) + 1);
    }
    return c;
}

SeriesCoaching AnalyseCoaching(const TraceStore& store, const SeriesPhases& phases, const TargetDescriptor& first,
                               const TargetDescriptor* second) {
    SeriesCoaching s;
    s.shots = std::min(int(store.ShotCount()), kMaxShots);
    double holdX = 0, holdY = 0, shotX = 0, shotY = 0, callError = 0;
    int within = 0;
    for (int i = 0; i < s.shots; ++i) {
        ShotCoaching& c = s.shot[std::size_t(i)];
        if (!store.ShotFired(i)) continue;
        c.fired = true;
        const ShotRecord& shot = store.Shot(i);
        const TargetDescriptor& face = *FaceOfSide(&first, second, shot.side);
        const double mm = MillimetresPerUnit(face);
        c.score = CountedScore(face, shot.x, shot.y);
        if (!store.ShotHasNoTrace(i) && HeldScore(store, i, face, c.held)) {
            c.hasHeld = true;
            c.luck = c.score - c.held;
            ++s.lucky;
            s.luck += c.luck;
        }
        const ShotPhases& f = phases.shot[std::size_t(i)];
        if (i < phases.shots && f.HasHold()) {
            c.hasHold = true;
            c.holdToShotXmm = shot.x * mm - f.holdMeanXmm;
            c.holdToShotYmm = shot.y * mm - f.holdMeanYmm;
            c.holdToShotMm = std::hypot(c.holdToShotXmm, c.holdToShotYmm);
            c.holdToShotClock = ClockOfMm(c.holdToShotXmm, c.holdToShotYmm);
            ++s.holds;
            holdX += f.holdMeanXmm;
            holdY += f.holdMeanYmm;
            shotX += shot.x * mm;
            shotY += shot.y * mm;
        }
        const ShotCall call = store.Call(i);
        if (call.given) {
            c.called = true;
            c.call = call;
            c.callScore = CountedScore(face, call.x, call.y);
            c.callErrorMm = std::hypot(double(shot.x - call.x), double(shot.y - call.y)) * mm;
            ++s.calls;
            callError += c.callErrorMm;
            if (std::abs(c.callScore - c.score) <= 1.0 + 1e-9) ++within;
        }
    }
    if (s.holds > 0) {
        s.aimToHitXmm = (shotX - holdX) / s.holds;
        s.aimToHitYmm = (shotY - holdY) / s.holds;
        s.aimToHitMm = std::hypot(s.aimToHitXmm, s.aimToHitYmm);
        s.aimToHitClock = ClockOfMm(s.aimToHitXmm, s.aimToHitYmm);
    }
    if (s.calls > 0) {
        s.meanCallErrorMm = callError / s.calls;
        s.callsWithinPoint = double(within) / s.calls;
    }
    return s;
}

}  // namespace zark
