#include "link/simulatedshooter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

namespace zark {
namespace {

constexpr double kStepSeconds = 0.040;
constexpr double kPi = 3.14159265358979323846;

// Time constants, seconds.
constexpr double kApproachTau = 0.2;    // the aim coming down onto the target
constexpr double kSwingInTau = 0.16;    // the swing catching up with a moving target
constexpr double kSettleTau = 0.8;      // the hold tightening after the approach
constexpr double kBreathHoldTau = 0.6;  // the breath being let out and held
constexpr double kTremorTau = 0.06;
constexpr double kRecoverTau = 0.3;     // the aim coming back after the release
constexpr double kSwayDamping = 0.4;
constexpr double kTiringAfter = 7.0;    // a hold held longer than this widens

// Where the aim is when the rifle is raised and lowered, mrad.
constexpr double kApproachHeight = 12.0;
constexpr double kRaisedHeight = 18.0;
constexpr int kMountSteps = 3;
constexpr double kLoweredDepth = 30.0;
constexpr double kSideDistance = 35.0;
constexpr double kHeightAfterRun = 35.0;  // clear of the target whichever way the next run goes
constexpr double kJerkBearing = 225.0;  // degrees from the right, counter-clockwise: low left

//                                 sway   Hz    tremor  breath settle centre group  jerk% jerk  release aim         within chance
constexpr ShooterTraits kBeginner{0.32, 0.42, 0.014, 1.20, 1.0, 0.30, 0.40, 0.45, 0.60, 0.10, 2.0, 6.0, 1.5, 0.30};
constexpr ShooterTraits kClub{0.14, 0.36, 0.007, 0.80, 0.8, 0.22, 0.25, 0.25, 0.30, 0.05, 2.5, 7.0, 1.1, 0.30};
constexpr ShooterTraits kElite{0.085, 0.32, 0.004, 0.60, 0.6, 0.05, 0.12, 0.08, 0.15, 0.02, 3.0, 7.5, 0.8, 0.35};

//                                    reaction    raise       first quickest finish late  hesitation
constexpr DrillTraits kBeginnerDrill{0.30, 0.55, 0.80, 1.20, 0.90, 0.95, 0.80, 0.50, 0.15, 0.4, 1.2};
constexpr DrillTraits kClubDrill{0.22, 0.38, 0.60, 0.90, 0.55, 0.60, 0.78, 0.30, 0.04, 0.3, 0.7};
constexpr DrillTraits kEliteDrill{0.16, 0.26, 0.45, 0.65, 0.30, 0.45, 0.82, 0.15, 0.02, 0.2, 0.5};

// Between the shots of a window the aim comes back onto the target in this long, seconds.
constexpr double kReaimMin = 0.15;
constexpr double kReaimMax = 0.25;
// A window's shot breaks from this long before its plan when the aim is steady.
constexpr double kEarlyBreak = 0.08;

// The hold arriving from an offset: 1 at the start, falling smoothly to 0 without overshooting.
double Arrival(double t, double tau) { return (1.0 + t / tau) * std::exp(-t / tau); }

// The release disturbance over the steps after the break: most of it in the break step, all of it in
// the next, then the aim comes back part of the way while the shooter follows through.
double ReleaseShare(int sinceBreak) {
    if (sinceBreak < 0) return 0.0;
    if (sinceBreak == 0) return 0.7;
    return 0.3 + 0.7 * std::exp(-(sinceBreak - 1) * kStepSeconds / kRecoverTau);
}

}  // namespace

bool ParseShooterProfile(std::string_view name, ShooterProfile& profile) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (lower == "beginner") profile = ShooterProfile::Beginner;
    else if (lower == "club") profile = ShooterProfile::Club;
    else if (lower == "elite") profile = ShooterProfile::Elite;
    else return false;
    return true;
}

const char* ShooterProfileName(ShooterProfile profile) {
    switch (profile) {
        case ShooterProfile::Beginner: return "beginner";
        case ShooterProfile::Elite: return "elite";
        case ShooterProfile::Club: break;
    }
    return "club";
}

const DrillTraits& DrillTraitsOf(ShooterProfile profile) {
    switch (profile) {
        case ShooterProfile::Beginner: return kBeginnerDrill;
        case ShooterProfile::Elite: return kEliteDrill;
        case ShooterProfile::Club: break;
    }
    return kClubDrill;
}

const ShooterTraits& TraitsOf(ShooterProfile profile) {
    switch (profile) {
        case ShooterProfile::Beginner: return kBeginner;
        case ShooterProfile::Elite: return kElite;
        case ShooterProfile::Club: break;
    }
    return kClub;
}

SimulatedShooter::SimulatedShooter(ShooterProfile profile, std::uint32_t seed)
    : traits_(TraitsOf(profile)), random_(seed), drillTraits_(DrillTraitsOf(profile)) {
    // the shooter's sights are a little off: sighters find it, the series are corrected
    biasX_ = traits_.groupSigma * Gauss();
    biasY_ = traits_.groupSigma * Gauss();
    breathPhase_ = Uniform(0, 2 * kPi);
    StartCycle();
}

double SimulatedShooter::Uniform(double low, double high) {
    // from the raw 32-bit draws, so the stream is the same with every standard library
    return low + (high - low) * (double(random_()) / 4294967296.0);
}

double SimulatedShooter::Gauss() {
    const double u1 = (double(random_()) + 1.0) / 4294967297.0;
    const double u2 = double(random_()) / 4294967296.0;
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2 * kPi * u2);
}

void SimulatedShooter::StartCycle() {
    // the rifle is raised above the target
    aimX_ = 0;
    aimY_ = kRaisedHeight;
    NextCycle();
}

void SimulatedShooter::NextCycle() {
    phase_ = Phase::Approach;
    phaseSteps_ = 0;
    delaySteps_ = kMountSteps;
    sinceBreak_ = -1;
    releaseX_ = releaseY_ = 0;
    centreX_ = biasX_ + traits_.centreSigma * Gauss();
    centreY_ = biasY_ + traits_.centreSigma * Gauss();
    // the sway goes on from where it is, a little calmer: the shooter has rested
    swayX_ *= 0.5;
    swayY_ *= 0.5;
    swayVX_ *= 0.5;
    swayVY_ *= 0.5;
    breathAmplitude_ = traits_.breathAmplitude * Uniform(0.7, 1.3);
    breathPeriod_ = Uniform(3.5, 4.8);
    followSteps_ = 12 + int(Uniform(0, 3));
    restSteps_ = int(Uniform(1.4, 3.0) / kStepSeconds);
}

void SimulatedShooter::PlanApproach() {
    // a static target: the rifle comes down from above, a little to one side; a moving one: the
    // swing comes in from behind the target, at about its height
    moving_ = runDirection_ != 0;
    if (moving_) {
        startX_ = -runDirection_ * Uniform(18, 24);
        startY_ = Uniform(0.3, 1.5);
    } else {
        startX_ = Uniform(-1.5, 1.5);
        startY_ = kApproachHeight * Uniform(0.8, 1.2);
    }
    const double aimMin = moving_ ? 1.2 : traits_.aimMin;
    const double aimMax = moving_ ? 3.5 : traits_.aimMax;
    approachSteps_ = int((moving_ ? Uniform(0.6, 0.9) : Uniform(1.0, 1.5)) / kStepSeconds);
    approachTau_ = moving_ ? kSwingInTau : kApproachTau;
    // a breath or two on the target, then it is let out and held, and the hold settles
    breathHeldAt_ = Uniform(0.6, 1.4);
    const double settled = moving_ ? 0.0 : breathHeldAt_ + 2.5 * kBreathHoldTau;
    minAimSteps_ = int(std::max(settled, aimMin + Uniform(0, moving_ ? 0.8 : 1.5)) / kStepSeconds);
    maxAimSteps_ = int(aimMax / kStepSeconds);
}

void SimulatedShooter::StepSway() {
    // a damped oscillation driven by noise: smooth, wandering in loops of a few seconds
    const double w = 2 * kPi * traits_.swayHz;
    const double drive = traits_.swaySigma * std::sqrt(4 * kSwayDamping * w * w * w * kStepSeconds);
    swayVX_ += (-w * w * swayX_ - 2 * kSwayDamping * w * swayVX_) * kStepSeconds + drive * Gauss();
    swayVY_ += (-w * w * swayY_ - 2 * kSwayDamping * w * swayVY_) * kStepSeconds + drive * Gauss();
    swayX_ += swayVX_ * kStepSeconds;
    swayY_ += swayVY_ * kStepSeconds;
    const double decay = std::exp(-kStepSeconds / kTremorTau);
    const double kick = traits_.tremorSigma * std::sqrt(1 - decay * decay);
    tremorX_ = tremorX_ * decay + kick * Gauss();
    tremorY_ = tremorY_ * decay + kick * Gauss();
}

// The hold from the approach to the end of the follow-through. held: seconds since the approach.
void SimulatedShooter::HoldAim(double held, bool approaching) {
    // the hold is wider just after the approach and when held too long
    double spread = 1.0 + traits_.settleGain * std::exp(-held / kSettleTau);
    if (held > kTiringAfter) spread *= 1.0 + 0.1 * (held - kTiringAfter);
    StepSway();
    double breath = breathAmplitude_ * std::sin(breathPhase_);
    if (moving_) breath *= 0.3;
    else if (!approaching && held > breathHeldAt_) breath *= std::exp(-std::pow((held - breathHeldAt_) / kBreathHoldTau, 2));
    const double since = approaching ? (phaseSteps_ - delaySteps_) * kStepSeconds : approachSteps_ * kStepSeconds + held;
    const double arrival = Arrival(since, approachTau_);
    const double release = ReleaseShare(sinceBreak_);
    aimX_ = centreX_ + spread * AlongRun() * swayX_ + tremorX_ + startX_ * arrival + releaseX_ * release;
    aimY_ = centreY_ + spread * AcrossRun() * swayY_ + tremorY_ + breath + startY_ * arrival + releaseY_ * release;
}

void SimulatedShooter::Release() {
    sinceBreak_ = 0;
    releaseX_ = traits_.releaseSigma * Gauss();
    releaseY_ = traits_.releaseSigma * Gauss();
    if (Uniform(0, 1) < traits_.jerkChance) {
        // a right-hander snatching the trigger pulls the muzzle low and to the left
        const double bearing = (kJerkBearing + Uniform(-20, 20)) * kPi / 180.0;
        const double size = traits_.jerkSize * Uniform(0.6, 1.4);
        releaseX_ += size * std::cos(bearing);
        releaseY_ += size * std::sin(bearing);
    }
}

void SimulatedShooter::Hear(const RangeCall& call) {
    if (call.SameOrder(call_)) return;
    call_ = call;
    switch (call.order) {
        case RangeCall::Order::Free:
            // the drill is over: shooting as usual, the arm brought up again out to the side
            drill_ = armDown_ = false;
            if (phase_ == Phase::Down) {
                phase_ = Phase::Rest;
                phaseSteps_ = 0;
                startX_ = aimX_;
                startY_ = aimY_;
                moving_ = false;
                restX_ = (aimX_ < 0 ? -1 : 1) * kSideDistance;
            }
            break;
        case RangeCall::Order::Down:
            drill_ = false;
            armDown_ = true;
            LowerArm();
            break;
        case RangeCall::Order::Open: {
            drill_ = true;
            armDown_ = false;
            windowStep_ = 0;
            owed_ = std::max(0, call.shots);
            finishAt_ = call.windowMs / 1000.0 * drillTraits_.finishShare;
            if (owed_ == 0) {
                armDown_ = true;
                drill_ = false;
                break;
            }
            const double reaction = Uniform(drillTraits_.reactionMin, drillTraits_.reactionMax);
            const double raise = Uniform(drillTraits_.raiseMin, drillTraits_.raiseMax);
            RaiseFor(reaction);
            approachSteps_ = std::max(1, int(raise / kStepSeconds));
            approachTau_ = raise / 5;
            // the first shot as soon as the aim has settled; alone in its window, a moment later
            const double earliest = reaction + raise + drillTraits_.firstAim;
            PlanBreak(owed_ == 1 ? std::max(earliest, std::min(finishAt_, earliest + Uniform(0, 0.3))) : earliest);
            break;
        }
    }
}

void SimulatedShooter::PlanBreak(double at) {
    planAt_ = at;
    deadline_ = at + Uniform(0, drillTraits_.lateSide);
    if (Uniform(0, 1) < drillTraits_.hesitationChance)
        deadline_ += Uniform(drillTraits_.hesitationMin, drillTraits_.hesitationMax);
}

void SimulatedShooter::LowerArm() {
    switch (phase_) {
        case Phase::Approach:
        case Phase::Aim:
        case Phase::Rest:
            phase_ = Phase::Leave;
            phaseSteps_ = 0;
            startX_ = aimX_;
            startY_ = aimY_;
            moving_ = false;
            leaveX_ = Uniform(-6, 6);
            leaveY_ = -kLoweredDepth * Uniform(0.8, 1.2) - std::max(0.0, aimY_);
            break;
        default: break;  // a follow-through ends first; a lowering goes on; a lowered arm stays
    }
}

void SimulatedShooter::RaiseFor(double delay) {
    // a new aim for the window's next shot, from where the aim is now
    phase_ = Phase::Approach;
    phaseSteps_ = 0;
    delaySteps_ = int(delay / kStepSeconds);
    sinceBreak_ = -1;
    releaseX_ = releaseY_ = 0;
    moving_ = false;
    centreX_ = biasX_ + traits_.centreSigma * Gauss();
    centreY_ = biasY_ + traits_.centreSigma * Gauss();
    startX_ = aimX_ - centreX_;
    startY_ = aimY_ - centreY_;
    // rapid fire is shot on a held breath
    breathAmplitude_ = 0.3 * traits_.breathAmplitude;
    breathHeldAt_ = 0;
    followSteps_ = 3 + int(Uniform(0, 2));
    const double reaim = Uniform(kReaimMin, kReaimMax);
    approachSteps_ = std::max(1, int(reaim / kStepSeconds));
    approachTau_ = reaim / 4;
}

bool SimulatedShooter::DrillBreak(double off) {
    const double t = windowStep_ * kStepSeconds;
    const double within = 1.5 * traits_.fireWithin * traits_.swaySigma;
    return (t >= planAt_ - kEarlyBreak && off < within && Uniform(0, 1) < traits_.fireChance) || t >= deadline_;
}

bool SimulatedShooter::Advance(bool shotAllowed) {
    ++phaseSteps_;
    if (drill_) ++windowStep_;
    breathPhase_ += 2 * kPi * kStepSeconds / breathPeriod_;
    const double t = phaseSteps_ * kStepSeconds;
    bool fired = false;
    switch (phase_) {
        case Phase::Approach:
            // the shooter mounts the rifle, out of sight of the target, and sees meanwhile whether
            // and which way it runs
            // (in a timed series the shooter's reaction: the arm has not moved yet)
            if (phaseSteps_ < delaySteps_) break;
            if (phaseSteps_ == delaySteps_ && !drill_) PlanApproach();
            HoldAim(0.0, true);
            if (phaseSteps_ >= delaySteps_ + approachSteps_) {
                phase_ = Phase::Aim;
                phaseSteps_ = 0;
            }
            break;
        case Phase::Aim: {
            const double spread = 1.0 + traits_.settleGain * std::exp(-t / kSettleTau);
            const double off = spread * std::hypot(AlongRun() * swayX_, AcrossRun() * swayY_);
            const double within = traits_.fireWithin * traits_.swaySigma * (moving_ ? 1.3 : 1.0);
            const bool breaks = drill_ ? DrillBreak(off)
                                       : (phaseSteps_ >= minAimSteps_ && off < within && Uniform(0, 1) < traits_.fireChance) ||
                                             phaseSteps_ >= maxAimSteps_;
            if (shotAllowed && breaks) {
                Release();
                fired = true;
            }
            HoldAim(t, false);
            if (fired) {
                phase_ = Phase::FollowThrough;
                phaseSteps_ = 0;
                heldAtBreak_ = t;
                if (drill_ && --owed_ <= 0) {
                    // the window's last shot: the arm comes down after the follow-through
                    drill_ = false;
                    armDown_ = true;
                }
            }
            break;
        }
        case Phase::FollowThrough:
            ++sinceBreak_;
            HoldAim(heldAtBreak_ + t, false);
            if (phaseSteps_ >= followSteps_ && drill_) {
                // the next shot of the window: spaced so that the last is done by the plan's end
                const double now = windowStep_ * kStepSeconds;
                RaiseFor(0.0);
                PlanBreak(now + std::max(drillTraits_.quickestInterval, (finishAt_ - now) / owed_));
            } else if (phaseSteps_ >= followSteps_) {
                phase_ = Phase::Leave;
                phaseSteps_ = 0;
                startX_ = aimX_;
                startY_ = aimY_;
                if (moving_) {
                    // the run is over: the target goes on, the rifle stops and drops
                    leaveX_ = -runDirection_ * kSideDistance;
                    leaveY_ = -Uniform(2, 5);
                } else {
                    leaveX_ = Uniform(-6, 6);
                    leaveY_ = -kLoweredDepth * Uniform(0.8, 1.2);
                }
            }
            break;
        case Phase::Leave: {
            // the rifle is lowered, faster and faster
            const double s = std::min(1.0, t / (20 * kStepSeconds));
            aimX_ = startX_ + leaveX_ * s * s;
            aimY_ = startY_ + leaveY_ * s * s;
            if (phaseSteps_ >= 20) {
                phase_ = armDown_ ? Phase::Down : Phase::Rest;
                phaseSteps_ = 0;
                startX_ = aimX_;
                startY_ = aimY_;
                restX_ = moving_ ? 0.0 : (leaveX_ < 0 ? -1 : 1) * kSideDistance;
            }
            break;
        }
        case Phase::Down:
            // the arm held down at about 45 degrees, off the face, until the range calls
            aimX_ = startX_ + 0.05 * Gauss();
            aimY_ = startY_ + 0.05 * Gauss();
            break;
        case Phase::Rest: {
            // the rifle is brought up again well clear of the target: out to the side, or above it
            // after a run, ready for the next one from either side
            const double s = std::min(1.0, t / (restSteps_ * kStepSeconds));
            const double eased = s * s * (3 - 2 * s);
            const double restY = moving_ ? kHeightAfterRun : kRaisedHeight;
            aimX_ = startX_ + (restX_ - startX_) * eased + 0.05 * Gauss();
            aimY_ = startY_ + (restY - startY_) * eased + 0.05 * Gauss();
            if (phaseSteps_ >= restSteps_) NextCycle();
            break;
        }
    }
    return fired;
}

}  // namespace zark
