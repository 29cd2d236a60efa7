#include "results/phaseanalysis.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <numbers>
#include <optional>

#include "results/holdanalysis.h"
#include "results/shotscore.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

bool IsGap(const SamplePoint& p) { return p.x == 0 && p.y == 0; }

// sqrt rather than std::hypot: the coordinates are small integers, and this runs for every point
double Length(double dx, double dy) { return std::sqrt(dx * dx + dy * dy); }
double Distance(const SamplePoint& a, const SamplePoint& b) { return Length(double(a.x - b.x), double(a.y - b.y)); }

// The face, its scale and the time step a shot's phases are measured with.
struct Measure {
    const TargetDescriptor* face = nullptr;
    double mm = 0;     // per target unit
    double reach = 0;  // R, mm
    double step = 0;   // seconds per trace step

    Measure(const TargetDescriptor& f, const TraceStore& store)
        : face(&f), mm(MillimetresPerUnit(f)), reach(TenReachMm(f)), step(store.TimeStep() / 1000.0) {}
    bool Usable() const { return mm > 0 && reach > 0 && step > 0; }
    double Speed(const SamplePoint& from, const SamplePoint& to) const { return mm * Distance(from, to) / step; }
};

// Reads the points from the aim's arrival on, one at a time, and tells approach, settle and hold
// as soon as they begin: a point is judged only by the points before it, so the live trace and
// the finished analysis colour it alike.
class Scanner {
public:
    explicit Scanner(const Measure& m) : m_(m) {}

    // cut: the stretch began with the aim already on the face, so its approach was not seen.
    void Start(bool cut) {
        state_ = cut ? State::Cut : State::Approach;
        hasLast_ = false;
        speeds_ = {};
        count_ = 0;
        sum_ = 0;
        settleAt = holdAt = holdEndAt = -1;
    }

    AimPhase Feed(int k, const SamplePoint& p, bool onFace) {
        if (!onFace) {
            if (state_ == State::Hold) holdEndAt = k - 1;
            state_ = State::Off;
            return AimPhase::Outside;
        }
        bool slow = false, settled = false;
        double step = 0;
        if (hasLast_) {
            step = Distance(last_, p);
            const double v = step * m_.mm / m_.step;
            if (count_ == kPhaseSmoothing) sum_ -= speeds_[std::size_t(k % kPhaseSmoothing)];
            else ++count_;
            speeds_[std::size_t(k % kPhaseSmoothing)] = v;
            sum_ += v;
            const double smoothed = sum_ / count_;
            settled = smoothed <= kSettleSpeed * m_.reach;
            slow = smoothed <= kHoldSpeed * m_.reach;
        }
        last_ = p;
        hasLast_ = true;
        switch (state_) {
            case State::Off: return AimPhase::Outside;
            case State::Approach:
                if (!settled) return AimPhase::Approach;
                settleAt = k;
                state_ = State::Settle;
                return AimPhase::Settle;
            case State::Cut:
            case State::Settle:
                if (!slow) return state_ == State::Cut ? AimPhase::Outside : AimPhase::Settle;
                state_ = State::Hold;
                holdAt = k;
                holdEndAt = -1;
                holdPath = 0;
                holdX_ = p.x;
                holdY_ = p.y;
                holdPoints_ = 1;
                return AimPhase::Hold;
            case State::Hold:
                if (Length(p.x - holdX_ / holdPoints_, p.y - holdY_ / holdPoints_) * m_.mm > kHoldArea * m_.reach) {
                    holdEndAt = k - 1;  // drifted out of the hold
                    state_ = State::Settle;
                    return AimPhase::Settle;
                }
                holdPath += step;
                holdX_ += p.x;
                holdY_ += p.y;
                ++holdPoints_;
                return AimPhase::Hold;
        }
        return AimPhase::Outside;
    }

    bool Holding() const { return state_ == State::Hold; }

    int settleAt = -1;
    int holdAt = -1;     // the last hold's start
    int holdEndAt = -1;  // where it ended, -1 while it lasts
    double holdPath = 0;  // units along it
private:
    enum class State { Off, Cut, Approach, Settle, Hold };
    Measure m_;
    State state_ = State::Off;
    bool hasLast_ = false;
    SamplePoint last_;
    std::array<double, kPhaseSmoothing> speeds_{};
    int count_ = 0;
    double sum_ = 0;
    double holdX_ = 0, holdY_ = 0;
    int holdPoints_ = 0;
};

// The follow-through goes on while the aim stays within the hold area, for at most a second.
struct FollowTracker {
    bool active = false;
    int shotPoint = 0;
    double centreX = 0, centreY = 0;  // mm
    double mm = 0;
    double radius = 0;  // mm

    // False ends the follow-through (the point is not part of it).
    bool Feed(int k, const SamplePoint& p) {
        if (!active || IsGap(p) || k - shotPoint > kFollowSteps ||
            Length(p.x * mm - centreX, p.y * mm - centreY) > radius)
            active = false;
        return active;
    }
};

// What the labeller needs from a shot's analysis to go on with its follow-through.
FollowTracker FollowAfter(const TraceStore& store, const ShotPhases& f, const Measure& m) {
    FollowTracker follow;
    if (!f.valid) return follow;
    follow.active = true;
    follow.shotPoint = f.shotPoint;
    follow.mm = m.mm;
    follow.radius = kHoldArea * m.reach;
    if (f.HasHold()) {
        follow.centreX = f.holdMeanXmm;
        follow.centreY = f.holdMeanYmm;
    } else {
        follow.centreX = store.Sample(f.shotPoint).x * m.mm;
        follow.centreY = store.Sample(f.shotPoint).y * m.mm;
    }
    return follow;
}

}  // namespace

namespace {

// Pixels of a zone map scoring at least top. Counted once per target: the catalogue's faces never
// change, and a face is known by its identity and name.
std::int64_t BestZonePixels(const TargetDescriptor& face, int top) {
    static std::mutex lock;
    static std::map<std::pair<int, int>, std::int64_t> counted;
    const std::lock_guard<std::mutex> guard(lock);
    const auto key = std::make_pair(face.Identity(), face.NameId());
    if (const auto found = counted.find(key); found != counted.end()) return found->second;
    std::int64_t best = 0;
    const QImage& image = face.ZoneMap()->Image();
    for (int row = 0; row < image.height(); ++row)
        for (int col = 0; col < image.width(); ++col)
            if (ZoneColourScore(image.pixel(col, row)) >= top) ++best;
    counted.emplace(key, best);
    return best;
}

}  // namespace

double TenReachMm(const TargetDescriptor& face) {
    const double mm = MillimetresPerUnit(face);
    const int top = HoldLevelsOf(face).top;
    for (int i = 0; i < face.RingCount(); ++i)
        if (WholePoints(face.RingValue(i)) >= top) return (face.RingRadius(i) + face.BulletRadius()) * mm;
    if (!face.ZoneMap() || top <= 0) return 0;
    const double unitsPerPixel = double(kViewWidthUnits) / kPicturePixelsPerView;
    return std::sqrt(double(BestZonePixels(face, top)) / std::numbers::pi) * unitsPerPixel * mm;
}

ShotPhases AnalysePhases(const TraceStore& store, int shot, const TargetDescriptor& face, AimPhase* labels) {
    ShotPhases f;
    f.stepSeconds = store.TimeStep() / 1000.0;
    const int start = AimStretchStart(store, shot);
    if (start < 0) return f;
    const int t = store.Shot(shot).traceIndex;
    f.shotPoint = t;
    if (labels) std::fill(labels + start, labels + t + 1, AimPhase::Outside);
    const Measure m(face, store);
    const int arrival = AimArrival(store, shot, face);
    if (arrival < 0 || !m.Usable()) return f;
    f.valid = true;

    // From the arrival the aim is on the face up to its last point on the face before the shot
    // (AimArrival's run), off it after that.
    int lastOn = t;
    while (lastOn > arrival && !AimOnFace(face, store.Sample(lastOn).x, store.Sample(lastOn).y)) --lastOn;
    Scanner scanner(m);
    scanner.Start(arrival == start);
    for (int k = arrival; k < t; ++k) {
        const AimPhase phase = scanner.Feed(k, store.Sample(k), k <= lastOn);
        if (labels) labels[k] = phase;
    }
    f.approach = arrival > start ? arrival : -1;
    f.settle = scanner.settleAt;
    const int holdStart = scanner.holdAt;
    const int holdEnd = scanner.Holding() ? t - 1 : scanner.holdEndAt;

    // The release: back from the shot, the steps whose speed is far from the hold's (the break
    // step always), at most kReleaseSteps of them.
    if (t - 1 >= arrival) {
        // the trigger breaks within the step before the shot's own point: both steps are the release
        int release = std::max(arrival, t - kReleaseMinSteps);
        if (holdStart >= 0 && holdEnd > holdStart) {
            const double usual = scanner.holdPath * m.mm / m.step / (holdEnd - holdStart);
            const int lowest = std::max(t - kReleaseSteps, holdStart);
            while (release > lowest) {
                const double v = m.Speed(store.Sample(release - 1), store.Sample(release));
                if (v <= kReleaseChange * usual && v * kReleaseChange >= usual) break;
                --release;
            }
        }
        f.release = release;
        for (int k = release + 1; k <= t; ++k) f.releaseMm += Distance(store.Sample(k - 1), store.Sample(k)) * m.mm;
        if (labels) std::fill(labels + release, labels + t + 1, AimPhase::Release);

        const int end = std::min(holdEnd, release);
        if (holdStart >= 0 && end > holdStart) {
            f.hold = holdStart;
            f.holdEnd = end;
            const int n = end - holdStart + 1;
            double x = 0, y = 0, path = 0;
            for (int k = holdStart; k <= end; ++k) {
                x += store.Sample(k).x;
                y += store.Sample(k).y;
                if (k > holdStart) path += Distance(store.Sample(k - 1), store.Sample(k));
            }
            x /= n;
            y /= n;
            double radius = 0;
            for (int k = holdStart; k <= end; ++k) radius += Length(store.Sample(k).x - x, store.Sample(k).y - y);
            f.holdMeanXmm = x * m.mm;
            f.holdMeanYmm = y * m.mm;
            f.holdSeconds = (end - holdStart) * f.stepSeconds;
            f.holdSpeed = path * m.mm / f.holdSeconds;
            f.holdRadius = radius / n * m.mm;
            if (holdEnd < release) f.verdict |= VerdictDriftedOut;
        }
    }

    FollowTracker follow = FollowAfter(store, f, m);
    const int last = std::min({t + kFollowSteps, NextShotPoint(store, shot) - 1, int(store.SampleCount()) - 1});
    int k = t + 1;
    for (; k <= last && follow.Feed(k, store.Sample(k)); ++k) {
        if (labels) labels[k] = AimPhase::FollowThrough;
        f.followEnd = k;
    }
    // Only an aim that left the hold area ended the follow-through early; the end of the trace,
    // a break or the next shot say nothing about it.
    const bool leftHold = k <= last && !IsGap(store.Sample(k));
    if (f.HasFollowThrough()) {
        f.followSeconds = (f.followEnd - t) * f.stepSeconds;
        f.driftMm = Distance(store.Sample(t), store.Sample(std::min(t + kDriftSteps, f.followEnd))) * m.mm;
    } else {
        f.followEnd = -1;
    }

    if (!f.HasHold()) f.verdict |= VerdictNoHold;
    if (f.holdSeconds > kLongHoldSeconds) f.verdict |= VerdictLongHold;
    // a jerk is judged on the break itself: the last two steps, however long the release
    if (f.HasRelease()) {
        double snatch = 0;
        for (int j = std::max(f.release, t - kReleaseMinSteps) + 1; j <= t; ++j)
            snatch += Distance(store.Sample(j - 1), store.Sample(j)) * m.mm;
        if (snatch > kJerkedReleaseReach * m.reach) f.verdict |= VerdictJerkedRelease;
    }
    if (leftHold && f.followSeconds < kShortFollowSeconds) f.verdict |= VerdictNoFollowThrough;
    return f;
}

SeriesPhases AnalyseSeriesPhases(const TraceStore& store, const TargetDescriptor& first,
                                 const TargetDescriptor* second) {
    SeriesPhases s;
    s.shots = std::min(int(store.ShotCount()), kMaxShots);
    PhaseMeans& mean = s.means;
    for (int i = 0; i < s.shots; ++i) {
        const TargetDescriptor& face = *FaceOfSide(&first, second, store.Shot(i).side);
        const ShotPhases& f = s.shot[std::size_t(i)] = AnalysePhases(store, i, face);
        if (f.HasHold()) {
            ++mean.holds;
            mean.holdSeconds += f.holdSeconds;
            mean.holdSpeed += f.holdSpeed;
            mean.holdRadius += f.holdRadius;
        }
        if (f.HasRelease()) {
            ++mean.releases;
            mean.releaseMm += f.releaseMm;
        }
        if (f.HasFollowThrough()) {
            ++mean.follows;
            mean.driftMm += f.driftMm;
        }
    }
    if (mean.holds) {
        mean.holdSeconds /= mean.holds;
        mean.holdSpeed /= mean.holds;
        mean.holdRadius /= mean.holds;
    }
    if (mean.releases) mean.releaseMm /= mean.releases;
    if (mean.follows) mean.driftMm /= mean.follows;
    return s;
}

namespace {

class PhaseLabeller final : public AimPhaseSource {
public:
    void Reset() override { done_ = -1; }

    int Update(const TraceStore& store, const PhaseFaces& faces, int first, AimPhase* out) override {
        const int end = store.SampleCount();
        first = std::clamp(first, 0, end);
        if (done_ < 0 || first != first_ || !(faces == faces_) || end < done_) {
            first_ = first;
            faces_ = faces;
            done_ = first;
            newStretch_ = true;
            follow_.active = false;
            lastFollow_ = -1;
            scanner_.reset();
        }
        const int changedFrom = done_;
        int changed = done_;
        const TargetDescriptor* shown = faces.shown ? faces.shown : faces.first;
        for (int k = done_; k < end; ++k) {
            const int shot = ShotAt(store, k);
            if (shot >= 0 && faces.first) {
                changed = std::min(changed, LabelShot(store, shot, first, out));
                continue;
            }
            const SamplePoint p = store.Sample(k);
            AimPhase label = AimPhase::Outside;
            if (IsGap(p)) {
                follow_.active = false;
                newStretch_ = true;
                out[k] = label;
                continue;
            }
            if (follow_.Feed(k, p)) {
                label = AimPhase::FollowThrough;
                lastFollow_ = k;
            }
            // the stretch the next shot is aimed in, judged as it comes
            const bool on = shown && AimOnFace(*shown, p.x, p.y);
            if (on && (newStretch_ || !wasOn_)) {
                const Measure m(*shown, store);
                if (m.Usable()) scanner_.emplace(m);
                else scanner_.reset();
                if (scanner_) scanner_->Start(newStretch_);
            }
            newStretch_ = false;
            wasOn_ = on;
            const AimPhase open = scanner_ ? scanner_->Feed(k, p, on) : AimPhase::Outside;
            if (label == AimPhase::Outside) label = open;
            out[k] = label;
        }
        done_ = end;
        return std::min(changed, changedFrom);
    }

private:
    static int ShotAt(const TraceStore& store, int k) {
        for (int j = 0; j < store.ShotCount(); ++j)
            if (!store.ShotHasNoTrace(j) && store.Shot(j).traceIndex == k) return j;
        return -1;
    }

    // Labels the stretch of a shot with its phases, leaving the follow-through of the shot before
    // as it is; returns the lowest point whose label changed.
    int LabelShot(const TraceStore& store, int shot, int first, AimPhase* out) {
        if (scratch_.size() < std::size_t(kMaxSamples)) scratch_.assign(std::size_t(kMaxSamples), AimPhase::Outside);
        const TargetDescriptor& face = *FaceOfSide(faces_.first, faces_.second, store.Shot(shot).side);
        const ShotPhases f = AnalysePhases(store, shot, face, scratch_.data());
        const int t = store.Shot(shot).traceIndex;
        int changed = t;
        for (int m = std::max({first, AimStretchStart(store, shot), lastFollow_ + 1}); m <= t; ++m) {
            if (out[m] == scratch_[std::size_t(m)]) continue;
            out[m] = scratch_[std::size_t(m)];
            changed = std::min(changed, m);
        }
        follow_ = FollowAfter(store, f, Measure(face, store));
        newStretch_ = true;
        return changed;
    }

    int first_ = 0;
    int done_ = -1;
    PhaseFaces faces_;
    bool newStretch_ = true;
    bool wasOn_ = false;
    int lastFollow_ = -1;
    FollowTracker follow_;
    std::optional<Scanner> scanner_;
    std::vector<AimPhase> scratch_;
};

}  // namespace

std::unique_ptr<AimPhaseSource> MakePhaseLabeller() { return std::make_unique<PhaseLabeller>(); }

}  // namespace zark
