#pragma once

#include <cstdint>
#include <random>
#include <string_view>

#include "link/rangecall.h"

namespace zark {

// How steady the simulated shooter is.
enum class ShooterProfile { Beginner, Club, Elite };

// "beginner", "club", "elite" (any case); false for anything else.
bool ParseShooterProfile(std::string_view name, ShooterProfile& profile);
const char* ShooterProfileName(ShooterProfile profile);

// The figures a profile is made of: angles in milliradians, times in seconds.
struct ShooterTraits {
    double swaySigma;    // the slow drift of the settled hold, per axis
    double swayHz;       // its natural frequency: the loops the aim wanders in
    double tremorSigma;  // what is left of the fast tremor at 25 samples a second
    double breathAmplitude;
    double settleGain;   // the hold right after the approach is this much wider, settling in about a second
    double centreSigma;  // where the hold centres from shot to shot (position, cheek, cant)
    double groupSigma;   // the shooter's group offset: sights not quite right, found by sighters
    double jerkChance;   // share of the shots the trigger is jerked in
    double jerkSize;
    double releaseSigma; // the small disturbance of every release
    double aimMin, aimMax;  // hold time before the break
    double fireWithin;   // the shooter breaks when the aim is within this many sway sigmas of the centre
    double fireChance;   // ... with this chance a step
};

const ShooterTraits& TraitsOf(ShooterProfile profile);

// How a profile shoots a timed series, in seconds: the reaction to the opening signal, the raise of
// the arm onto the target, the shortest aim of a window's first shot and the quickest re-aim
// between shots, the share of the window it plans to be done by, how far past its plan a break may
// wait for a steady moment, and the chance of a shot that takes longer, and how much longer.
struct DrillTraits {
    double reactionMin, reactionMax;
    double raiseMin, raiseMax;
    double firstAim;
    double quickestInterval;
    double finishShare;
    double lateSide;
    double hesitationChance, hesitationMin, hesitationMax;
};

const DrillTraits& DrillTraitsOf(ShooterProfile profile);

// The hold of a shooter on the rifle the detector unit sits on, one 40 ms step at a time, as an angle
// in milliradians from the centre of the target, x to the right and y upwards. A cycle: the rifle
// comes down onto the target from above and settles; the breath moves the aim up and down until it
// is held; the aim then wanders in slow loops (a damped oscillation driven by noise, well under
// 2 Hz) with a small remainder of the fast tremor; the shooter breaks the trigger when the aim is
// near the middle of the hold (a jerk pulls a right-hander's shot low and left in some shots),
// follows through for about half a second, lowers the rifle and brings it up again out to the side.
// On a moving target (a run direction set) the hunter swings with the target instead: the aim comes
// in from behind it, wanders mostly along the run, and falls behind it when the run is over.
// In a timed series the shooter follows the range's calls (Hear) as a 25 m pistol shooter does:
// the arm down during Load and Attention and between windows, raised at an opening after a
// reaction time, the shots of the window spaced to be done before it closes, and the arm lowered
// after the window's last shot or when the window closes. Deterministic for a seed.
class SimulatedShooter final {
public:
    SimulatedShooter(ShooterProfile profile, std::uint32_t seed);

    // The rifle is raised above the target and brought onto it for a new shot.
    void StartCycle();
    // -1 a target running to the left, +1 to the right, 0 a target standing still.
    void SetRunDirection(int direction) { runDirection_ = direction; }
    // Moves the aim one step on. shotAllowed: the unit would take a shot in this step. Returns true
    // when the shooter breaks the trigger in it; the shot is at the aim of this step.
    bool Advance(bool shotAllowed);
    // What the range calls now (heard before each step); a call that changes nothing is ignored.
    void Hear(const RangeCall& call);

    double x() const { return aimX_; }
    double y() const { return aimY_; }
    bool cycleStarting() const { return phase_ == Phase::Approach && phaseSteps_ == 0; }
    bool holding() const { return phase_ == Phase::Aim; }
    bool armDown() const { return phase_ == Phase::Down; }
    // A uniform number from the shooter's random stream (the unit draws the break timing from it).
    double Uniform(double low, double high);

private:
    enum class Phase { Approach, Aim, FollowThrough, Leave, Rest, Down };

    double Gauss();
    void NextCycle();
    void PlanApproach();
    void StepSway();
    void Release();
    void HoldAim(double held, bool approaching);
    // A timed series: the arm comes down and stays down; rises onto the target for the next shot
    // of the window after delay seconds; the break of a window's shot.
    void LowerArm();
    void RaiseFor(double delay);
    bool DrillBreak(double off);
    void PlanBreak(double at);  // seconds into the window, and how late this break may come
    // on a moving target the swing wanders along the run more than across it
    double AlongRun() const { return moving_ ? 1.6 : 1.0; }
    double AcrossRun() const { return moving_ ? 0.8 : 1.0; }

    ShooterTraits traits_;
    std::mt19937 random_;
    int runDirection_ = 0;

    Phase phase_ = Phase::Approach;
    int phaseSteps_ = 0;
    double aimX_ = 0, aimY_ = 0;
    double biasX_ = 0, biasY_ = 0;      // the group offset
    double centreX_ = 0, centreY_ = 0;  // the centre of this shot's hold
    double startX_ = 0, startY_ = 0;    // where the approach, the leaving or the rest began
    double swayX_ = 0, swayY_ = 0, swayVX_ = 0, swayVY_ = 0;
    double tremorX_ = 0, tremorY_ = 0;
    double breathPhase_ = 0, breathPeriod_ = 4.0, breathAmplitude_ = 0.5;
    double breathHeldAt_ = 1.0;  // seconds into the hold
    double releaseX_ = 0, releaseY_ = 0;  // the jerk or release disturbance of this shot
    int sinceBreak_ = -1;                 // steps since the break, -1 before it
    bool moving_ = false;                 // this cycle swings with a moving target
    double heldAtBreak_ = 0;
    int approachSteps_ = 30, minAimSteps_ = 60, maxAimSteps_ = 180, followSteps_ = 12, restSteps_ = 50;
    double leaveX_ = 0, leaveY_ = 0;
    double restX_ = 0;

    // the timed series
    DrillTraits drillTraits_;
    RangeCall call_;            // the call last heard
    bool drill_ = false;        // shooting a window: the breaks follow the plan below
    bool armDown_ = false;      // the arm stays down after the follow-through
    double approachTau_ = 0.2;  // how fast the aim comes onto the target
    int delaySteps_ = 0;        // the reaction before the arm moves
    int windowStep_ = 0;        // steps since the window opened
    int owed_ = 0;              // the shots of the window still to fire
    double finishAt_ = 0;       // the plan: done by this many seconds into the window
    double planAt_ = 0;         // this shot breaks at about this time into the window
    double deadline_ = 0;       // ... and no later
};

}  // namespace zark
