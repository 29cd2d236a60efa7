#include "results/shotscore.h"

#include "targets/targetdescriptor.h"

namespace zark {

ScoredShot ScoreStoredShot(const TraceStore& store, int k, const TargetDescriptor* first,
                           const TargetDescriptor* second) {
    ScoredShot s;
    if (k < 0 || k >= store.ShotCount()) return s;
    s.face = FaceOfSide(first, second, store.Shot(k).side);
    s.timeMs = store.ShotTime(k);
    if (!store.ShotFired(k) || !s.face) return s;
    s.fired = true;
    s.shown = store.Shown(store.ShotPosition(k));
    s.score = s.face->ScoreShot(s.shown.x, s.shown.y);
    s.innerRing = s.face->InInnerRing(s.shown.x, s.shown.y);
    s.bearing = TargetDescriptor::ShotBearing(s.shown.x, s.shown.y);
    return s;
}

}  // namespace zark
