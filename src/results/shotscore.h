#pragma once

#include "core/tracestore.h"

namespace zark {

struct TargetDescriptor;

// The face a shot of `side` (0 left, 1 right) is scored on: the second face of a pair for the
// right side, the first otherwise (and for a pair without second face). Every view, the files'
// exports and the sounds score a shot on the face of its own side; the face a view currently
// shows only decides what it draws.
inline const TargetDescriptor* FaceOfSide(const TargetDescriptor* first, const TargetDescriptor* second, int side) {
    return side && second ? second : first;
}

// Shot k of a store as the shot lists, the exports and the printout show it.
struct ScoredShot {
    bool fired = false;                      // false for an unfired shot (and k outside the shots)
    const TargetDescriptor* face = nullptr;  // the face of its own side
    SamplePoint shown;                       // the shown position: centring and shot time offset applied
    double score = 0;                        // on face, 0 for an unfired shot
    bool innerRing = false;                  // within an inner ring: the inner-ten mark of a decimal face
    int bearing = 0;                         // degrees clockwise from 12 o'clock
    int timeMs = 0;                          // the store's ShotTime
};
ScoredShot ScoreStoredShot(const TraceStore& store, int k, const TargetDescriptor* first,
                           const TargetDescriptor* second);

}  // namespace zark
