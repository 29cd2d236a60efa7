#pragma once

#include <cstdint>

namespace zark {

class TraceStore;
struct TargetDescriptor;

// The phase of the aim a trace point belongs to, as the trace is coloured by phase: the approach
// onto the face, the settling, the hold, the release of the shot and the follow-through. Points
// in none of them (off the face, the rifle lowered, a phase that was not seen) are Outside.
enum class AimPhase : std::uint8_t { Outside, Approach, Settle, Hold, Release, FollowThrough };
inline constexpr int kAimPhaseCount = 6;

// The faces the phases are judged on: a shot on the face of its own side (second null: the first
// for both), the points after the last shot on the face shown.
struct PhaseFaces {
    const TargetDescriptor* first = nullptr;
    const TargetDescriptor* second = nullptr;
    const TargetDescriptor* shown = nullptr;
    friend bool operator==(const PhaseFaces&, const PhaseFaces&) = default;
};

// Tells the phase of every trace point, kept up to date while the trace grows a point at a time.
// The drawing view holds one; the phase rules live above it and are handed in.
class AimPhaseSource {
public:
    virtual ~AimPhaseSource() = default;
    // Forgets what was labelled (another series, another range).
    virtual void Reset() = 0;
    // Labels the points first .. SampleCount() - 1 into out (indexed by trace index, kMaxSamples
    // long), going on from where the last call stopped when first and the faces are the same.
    // Returns the lowest index whose label changed among the points labelled before (a shot
    // recolours its release), or the old end when none did; first after a reset.
    virtual int Update(const TraceStore& store, const PhaseFaces& faces, int first, AimPhase* out) = 0;
};

}  // namespace zark
