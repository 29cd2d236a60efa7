#pragma once

#include "core/seriesinterfaces.h"

namespace zark {

// The series rules' view of a catalogue face: its ScoreShot, the clock direction of a shot and
// its lead offsets. A missing face scores 0.
class TargetFaceRules final : public FaceRules {
public:
    double ScoreShot(const TargetDescriptor* face, int x, int y) const override;
    int ShotBearing(const TargetDescriptor* face, int x, int y) const override;
    LeadOffset Lead(const TargetDescriptor* face, LeadMode mode) const override;
};

}  // namespace zark
