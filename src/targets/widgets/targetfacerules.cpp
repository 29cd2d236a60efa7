#include "targets/widgets/targetfacerules.h"

#include "targets/targetdescriptor.h"

namespace zark {

double TargetFaceRules::ScoreShot(const TargetDescriptor* face, int x, int y) const {
    return face ? face->ScoreShot(x, y) : 0.0;
}

int TargetFaceRules::ShotBearing(const TargetDescriptor*, int x, int y) const {
    return TargetDescriptor::ShotBearing(x, y);
}

LeadOffset TargetFaceRules::Lead(const TargetDescriptor* face, LeadMode mode) const {
    if (!face) return {};
    TargetPoint p;
    switch (mode) {
        case LeadMode::Fixed: p = face->LeadFixed(); break;
        case LeadMode::Moving: p = face->LeadMoving(); break;
        case LeadMode::AlternateFirst: p = face->LeadAlternate(0); break;
        case LeadMode::AlternateSecond: p = face->LeadAlternate(1); break;
    }
    return {p.x, p.y};
}

}  // namespace zark
