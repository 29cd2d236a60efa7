#include "results/holdanalysis.h"

#include <QColor>
#include <algorithm>
#include <cmath>

#include "results/shotscore.h"
#include "targets/scoretext.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

bool IsGap(const SamplePoint& p) { return p.x == 0 && p.y == 0; }

// The trace index of the nearest earlier shot with a trace point, -1 when there is none.
int PreviousShotPoint(const TraceStore& store, int shot) {
    for (int j = shot - 1; j >= 0; --j)
        if (!store.ShotHasNoTrace(j)) return store.Shot(j).traceIndex;
    return -1;
}

// The first point of the stretch of trace a shot belongs to: after the shot before and after
// the last break before the shot.
int StretchStart(const TraceStore& store, int shotPoint, int previous) {
    int k = shotPoint;
    while (k - 1 > previous && !IsGap(store.Sample(k - 1))) --k;
    return k;
}

}  // namespace

int WholePoints(double score) { return int(std::floor(score + 1e-9)); }

double MillimetresPerUnit(const TargetDescriptor& face) {
    return face.RefRadius() > 0 ? double(face.RefDiameter()) / (2.0 * face.RefRadius()) : 0.0;
}

HoldLevels HoldLevelsOf(const TargetDescriptor& face) {
    HoldLevels levels;
    levels.top = std::max(0, WholePoints(face.TopScore()));
    levels.next = levels.top > 1 ? levels.top - 1 : 0;
    return levels;
}

namespace {

// AimOnFace for many points of one face: the reach of its rings worked out once.
class FaceReach {
public:
    explicit FaceReach(const TargetDescriptor& face) : face_(face) {
        if (face.RingCount() > 0) {
            const double reach = face.RingRadius(0) + face.BulletRadius();
            reach2_ = reach * reach;
        }
    }
    bool On(int x, int y) const {
        if (reach2_ >= 0 && double(x) * x + double(y) * y <= reach2_) return true;
        const GdiBitmapHolder* picture = face_.Picture();
        if (!picture) return false;
        // the picture is laid out as the zone map is: 500 pixels to 1694 units, centred on the aim centre
        const std::int64_t col = std::int64_t(x) * kPicturePixelsPerView / kViewWidthUnits + picture->Width() / 2;
        const std::int64_t row = picture->Height() / 2 - std::int64_t(y) * kPicturePixelsPerView / kViewWidthUnits;
        if (col < 0 || row < 0 || col >= picture->Width() || row >= picture->Height()) return false;
        return qGray(picture->Image().pixel(int(col), int(row))) < 128;
    }

private:
    const TargetDescriptor& face_;
    double reach2_ = -1;  // none without rings
};

}  // namespace

bool AimOnFace(const TargetDescriptor& face, int x, int y) { return FaceReach(face).On(x, y); }

int AimStretchStart(const TraceStore& store, int shot) {
    if (shot < 0 || shot >= store.ShotCount() || store.ShotHasNoTrace(shot)) return -1;
    return StretchStart(store, store.Shot(shot).traceIndex, PreviousShotPoint(store, shot));
}

int NextShotPoint(const TraceStore& store, int shot) {
    const int t = store.Shot(shot).traceIndex;
    int next = store.SampleCount();
    for (int j = 0; j < store.ShotCount(); ++j)
        if (!store.ShotHasNoTrace(j) && store.Shot(j).traceIndex > t) next = std::min(next, int(store.Shot(j).traceIndex));
    return next;
}

int ClockOfMm(double xMm, double yMm) {
    // the bearing in micrometres, so a small offset keeps its direction
    const int bearing = TargetDescriptor::ShotBearing(int(std::lround(xMm * 1000)), int(std::lround(yMm * 1000)));
    return bearing < 0 ? 0 : ClockHour(bearing);
}

int AimArrival(const TraceStore& store, int shot, const TargetDescriptor& face) {
    const int start = AimStretchStart(store, shot);
    if (start < 0) return -1;
    const FaceReach reach(face);
    const auto onFace = [&store, &reach](int k) { return reach.On(store.Sample(k).x, store.Sample(k).y); };
    int on = store.Shot(shot).traceIndex;
    while (on >= start && !onFace(on)) --on;
    if (on < start) return -1;
    while (on - 1 >= start && onFace(on - 1)) --on;
    return on;
}

HoldFigures AnalyseHold(const TraceStore& store, int shot, const TargetDescriptor& face) {
    HoldFigures f;
    if (shot < 0 || shot >= store.ShotCount() || store.ShotHasNoTrace(shot)) return f;
    const int t = store.Shot(shot).traceIndex;
    const double mm = MillimetresPerUnit(face);
    const int start = AimStretchStart(store, shot);
    const int entered = AimArrival(store, shot, face);
    if (entered >= 0) f.aimingSeconds = (t - entered) * store.TimeStep() / 1000.0;

    const int first = std::max(start, t - kHoldPoints);
    f.points = t - first;
    if (f.points <= 0) return f;
    f.valid = true;
    const HoldLevels levels = HoldLevelsOf(face);
    int inTop = 0;
    int inNext = 0;
    double sumX = 0;
    double sumY = 0;
    double path = 0;
    for (int k = first; k < t; ++k) {
        const SamplePoint p = store.Sample(k);
        const int points = WholePoints(face.ScoreShot(p.x, p.y));
        if (levels.top > 0 && points >= levels.top) ++inTop;
        if (levels.next > 0 && points >= levels.next) ++inNext;
        sumX += p.x;
        sumY += p.y;
        if (k > first) {
            const SamplePoint q = store.Sample(k - 1);
            path += std::hypot(double(p.x - q.x), double(p.y - q.y));
        }
    }
    f.inTop = double(inTop) / f.points;
    f.inNext = double(inNext) / f.points;
    f.traceMm = path * mm;
    f.meanXmm = sumX / f.points * mm;
    f.meanYmm = sumY / f.points * mm;
    const ShotRecord& s = store.Shot(shot);
    f.releaseMm = std::hypot(s.x * mm - f.meanXmm, s.y * mm - f.meanYmm);
    return f;
}

GroupFigures AnalyseGroup(const GroupPoint* points, int count) {
    GroupFigures g;
    if (!points || count <= 0) return g;
    g.shots = count;
    for (int i = 0; i < count; ++i) {
        g.meanXmm += points[i].x;
        g.meanYmm += points[i].y;
    }
    g.meanXmm /= count;
    g.meanYmm /= count;
    g.meanDistanceMm = std::hypot(g.meanXmm, g.meanYmm);
    g.clock = ClockOfMm(g.meanXmm, g.meanYmm);
    double squaresX = 0;
    double squaresY = 0;
    for (int i = 0; i < count; ++i) {
        const double dx = points[i].x - g.meanXmm;
        const double dy = points[i].y - g.meanYmm;
        g.meanRadiusMm += std::hypot(dx, dy);
        squaresX += dx * dx;
        squaresY += dy * dy;
        for (int j = i + 1; j < count; ++j)
            g.extremeSpreadMm =
                std::max(g.extremeSpreadMm, std::hypot(points[i].x - points[j].x, points[i].y - points[j].y));
    }
    g.meanRadiusMm /= count;
    if (count > 1) {
        g.sdXmm = std::sqrt(squaresX / (count - 1));
        g.sdYmm = std::sqrt(squaresY / (count - 1));
    }
    return g;
}

int GroupPointsOf(const TraceImage& image, const TargetDescriptor& first, const TargetDescriptor* second,
                  GroupPoint* out) {
    int n = 0;
    const int shots = std::clamp(image.shotCount, 0, kMaxShots);
    for (int i = 0; i < shots; ++i) {
        const ShotRecord& shot = image.shots[i];
        if (shot.x == 0 && shot.y == 0) continue;  // never fired: no position
        const TargetDescriptor& face = *FaceOfSide(&first, second, shot.side);
        const double mm = MillimetresPerUnit(face);
        out[n++] = GroupPoint{shot.x * mm, shot.y * mm};
    }
    return n;
}

SeriesAnalysis AnalyseSeries(const TraceStore& store, const TargetDescriptor& first,
                             const TargetDescriptor* second) {
    SeriesAnalysis a;
    a.shots = std::min(store.ShotCount(), kMaxShots);
    for (int i = 0; i < a.shots; ++i) {
        const TargetDescriptor& face = *FaceOfSide(&first, second, store.Shot(i).side);
        a.hold[std::size_t(i)] = AnalyseHold(store, i, face);
    }
    GroupPoint points[kMaxShots];
    a.group = AnalyseGroup(points, GroupPointsOf(store.Image(), first, second, points));
    return a;
}

}  // namespace zark
