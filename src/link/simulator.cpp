#include "link/simulator.h"

#include <algorithm>
#include <cmath>

#include "link/detectordecoder.h"

namespace zark {
namespace {

constexpr double kStepSeconds = DetectorSimulator::kStepMs / 1000.0;
constexpr double kPi = 3.14159265358979323846;

// Time constants of the shooter, seconds.
constexpr double kApproachTau = 0.28;  // the aim coming down onto the target
constexpr double kWobbleTau = 0.22;    // fast wobble
constexpr double kDriftTau = 1.6;      // slow drift
constexpr double kSettleTau = 1.0;     // the wobble settling after the approach
constexpr double kBreathHoldTau = 0.7; // the breath being held
constexpr double kSwingTau = 0.35;     // following a new lead

// Where the aim is when the rifle is raised and lowered, mrad.
constexpr double kApproachHeight = 12.0;
constexpr double kLoweredDepth = 30.0;
constexpr double kSideDistance = 35.0;
constexpr int kFollowThroughSteps = 12;  // 0.48 s
constexpr int kLeaveSteps = 20;          // 0.8 s

// A mean-reverting random walk of the given time constant and standard deviation, one step on.
double OrnsteinUhlenbeck(double value, double tau, double sigma, double gauss) {
    const double decay = std::exp(-kStepSeconds / tau);
    return value * decay + sigma * std::sqrt(1.0 - decay * decay) * gauss;
}

std::int32_t NibbleSigned16(const std::array<std::uint8_t, 16>& block, int first) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t(block[first + i] & 0x0F) << (4 * i);
    return std::int16_t(std::uint16_t(value));
}

}  // namespace

DetectorSimulator::DetectorSimulator(SimulatorOptions options) : options_(options), random_(options.seed) {
    // the shooter's sights are a little off: sighters find it, the series are corrected
    biasX_ = 0.22 * Gauss();
    biasY_ = 0.22 * Gauss();
    breathPhase_ = Uniform(0, 2 * kPi);
}

double DetectorSimulator::Uniform(double low, double high) {
    // from the raw 32-bit draws, so the stream is the same with every standard library
    return low + (high - low) * (double(random_()) / 4294967296.0);
}

double DetectorSimulator::Gauss() {
    const double u1 = (double(random_()) + 1.0) / 4294967297.0;
    const double u2 = double(random_()) / 4294967296.0;
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2 * kPi * u2);
}

void DetectorSimulator::Receive(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& answer) {
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = data[i];
        if (blockIndex_ > 0) {
            const bool fits = blockIndex_ == 15 ? byte == 0x0D : (byte >> 4) == blockIndex_;
            if (fits) {
                block_[blockIndex_] = byte;
                if (++blockIndex_ == 16) {
                    blockIndex_ = 0;
                    ApplyBlock();
                }
                continue;
            }
            // the 0x00 before was the closing byte; this one starts afresh
            blockIndex_ = 0;
        }
        if (byte == 0x00) {
            blockIndex_ = 1;
            block_[0] = 0x00;
            heldWhileStreaming_ = streaming_;
            stoppedAtStep_ = step_;
            streaming_ = false;
        } else if (byte == 0x0D) {
            answer.push_back(kProbeAnswer);
        }
    }
}

void DetectorSimulator::ApplyBlock() {
    std::uint32_t scale = 0;
    for (int i = 0; i < 4; ++i) scale |= std::uint32_t(block_[1 + i] & 0x0F) << (4 * i);
    setup_.scale = scale;
    setup_.offsetX = NibbleSigned16(block_, 5);
    setup_.offsetY = NibbleSigned16(block_, 9);
    setup_.steps = std::int32_t((block_[13] & 0x0F) | ((block_[14] & 0x0F) << 4));
    const bool adjustment = heldWhileStreaming_ && stoppedAtStep_ == step_;
    streaming_ = true;
    if (adjustment) {
        leadX_ = setup_.offsetX - baseOffsetX_;
        leadY_ = setup_.offsetY - baseOffsetY_;
        return;
    }
    baseOffsetX_ = setup_.offsetX;
    baseOffsetY_ = setup_.offsetY;
    leadX_ = leadY_ = swingX_ = swingY_ = 0;
    StartCycle();
}

void DetectorSimulator::Stop() {
    streaming_ = false;
    blockIndex_ = 0;
    heldWhileStreaming_ = false;
}

void DetectorSimulator::StartCycle() {
    phase_ = Phase::Approach;
    phaseSteps_ = 0;
    // the rifle comes down from above, a little to one side
    startX_ = biasX_ + Uniform(-1.5, 1.5);
    startY_ = biasY_ + kApproachHeight * Uniform(0.8, 1.2);
    aimX_ = startX_;
    aimY_ = startY_;
    wobbleX_ = wobbleY_ = 0;
    driftX_ = 0.08 * Gauss();
    driftY_ = 0.08 * Gauss();
    holdSigma_ = 0.12 * Uniform(0.7, 1.35);
    breathAmplitude_ = 0.5 * Uniform(0.7, 1.3);
    breathPeriod_ = Uniform(3.5, 4.8);
    approachSteps_ = int(Uniform(30, 45));
    minAimSteps_ = int(Uniform(38, 65));
    maxAimSteps_ = int(Uniform(150, 200));
    restSteps_ = int(Uniform(35, 75));
}

void DetectorSimulator::Advance() {
    ++phaseSteps_;
    breathPhase_ += 2 * kPi * kStepSeconds / breathPeriod_;
    const double t = phaseSteps_ * kStepSeconds;
    switch (phase_) {
        case Phase::Approach:
        case Phase::Aim:
        case Phase::FollowThrough: {
            // seconds since the aim reached the target: the wobble settles and the breath is held
            const double held = phase_ == Phase::Approach ? 0.0 : (phase_ == Phase::Aim ? t : 3.0);
            double sigma = holdSigma_ * (1.0 + 2.0 * std::exp(-held / kSettleTau));
            if (held > 6.0) sigma *= 1.0 + 0.15 * (held - 6.0);  // a hold held too long tires
            const double breath = phase_ == Phase::Approach ? breathAmplitude_
                                                             : breathAmplitude_ * (0.06 + 0.94 * std::exp(-held / kBreathHoldTau));
            wobbleX_ = OrnsteinUhlenbeck(wobbleX_, kWobbleTau, sigma, Gauss());
            wobbleY_ = OrnsteinUhlenbeck(wobbleY_, kWobbleTau, sigma, Gauss());
            driftX_ = OrnsteinUhlenbeck(driftX_, kDriftTau, 0.08, Gauss());
            driftY_ = OrnsteinUhlenbeck(driftY_, kDriftTau, 0.08, Gauss());
            double x = biasX_ + wobbleX_ + driftX_;
            double y = biasY_ + wobbleY_ + driftY_ + breath * std::sin(breathPhase_);
            if (phase_ != Phase::FollowThrough) {
                // what is left of the approach dies away in the first moments of the hold
                const double since = phase_ == Phase::Approach ? t : (approachSteps_ * kStepSeconds + t);
                const double away = std::exp(-since / kApproachTau);
                x += (startX_ - biasX_) * away;
                y += (startY_ - biasY_) * away;
            }
            aimX_ = x;
            aimY_ = y;
            break;
        }
        case Phase::Leave: {
            // the rifle is lowered, faster and faster
            const double s = std::min(1.0, t / (kLeaveSteps * kStepSeconds));
            aimX_ = startX_ + leaveX_ * s * s;
            aimY_ = startY_ + leaveY_ * s * s;
            break;
        }
        case Phase::Rest: {
            // the rifle is brought up again out to the side, clear of the target, ready to come
            // down onto it from above
            const double s = std::min(1.0, t / (restSteps_ * kStepSeconds));
            const double eased = s * s * (3 - 2 * s);
            aimX_ = startX_ + (restX_ - startX_) * eased + 0.05 * Gauss();
            aimY_ = startY_ + (kApproachHeight - startY_) * eased + 0.05 * Gauss();
            break;
        }
    }
    // the shooter swings after a new lead
    const double follow = 1.0 - std::exp(-kStepSeconds / kSwingTau);
    swingX_ += (leadX_ - swingX_) * follow;
    swingY_ += (leadY_ - swingY_) * follow;
}

std::int32_t DetectorSimulator::ToUnits(double mrad, std::int32_t offset, double swing) const {
    const double units = mrad * double(setup_.scale) / 13.5 + offset - swing;
    return std::int32_t(std::clamp(std::lround(units), -2048L, 2047L));
}

void DetectorSimulator::AppendSample(std::vector<std::uint8_t>& out, std::int32_t x, std::int32_t y) {
    out.push_back(std::uint8_t(0x00 | (x & 0x0F)));
    out.push_back(std::uint8_t(0x10 | ((x >> 4) & 0x0F)));
    out.push_back(std::uint8_t(0x20 | ((x >> 8) & 0x0F)));
    out.push_back(std::uint8_t(0x40 | (y & 0x0F)));
    out.push_back(std::uint8_t(0x50 | ((y >> 4) & 0x0F)));
    out.push_back(std::uint8_t(0x60 | ((y >> 8) & 0x0F)));
}

std::uint32_t DetectorSimulator::Step(std::vector<std::uint8_t>& out) {
    ++step_;
    if (!streaming_) return 0;
    std::uint32_t lines = 0;
    if (phase_ == Phase::Approach && phaseSteps_ == 0 && options_.movingRuns) {
        // a new run begins as the rifle comes up
        if (nextSide_ == 0) {
            cts_ = !cts_;
            lines |= EV_CTS;
        } else {
            dsr_ = !dsr_;
            lines |= EV_DSR;
        }
        nextSide_ ^= 1;
    }
    Advance();
    AppendSample(out, ToUnits(aimX_, setup_.offsetX, swingX_), ToUnits(aimY_, setup_.offsetY, swingY_));

    switch (phase_) {
        case Phase::Approach:
            if (phaseSteps_ >= approachSteps_) {
                phase_ = Phase::Aim;
                phaseSteps_ = 0;
            }
            break;
        case Phase::Aim: {
            const bool allowed = lastShotStep_ < 0 || step_ - lastShotStep_ >= setup_.steps;
            const double offCentre = std::hypot(aimX_ - biasX_, aimY_ - biasY_);
            const bool steady = phaseSteps_ >= minAimSteps_ && offCentre < 1.2 * holdSigma_ && Uniform(0, 1) < 0.35;
            if (allowed && (steady || phaseSteps_ >= maxAimSteps_)) {
                // the break falls somewhere in this step; the shot is this sample's position
                const int timing = int(Uniform(0, 156));
                out.push_back(std::uint8_t(0x30 | (timing & 0x0F)));
                out.push_back(std::uint8_t(0x70 | ((timing >> 4) & 0x0F)));
                lastShotStep_ = step_;
                ++shots_;
                phase_ = Phase::FollowThrough;
                phaseSteps_ = 0;
            }
            break;
        }
        case Phase::FollowThrough:
            if (phaseSteps_ >= kFollowThroughSteps) {
                phase_ = Phase::Leave;
                phaseSteps_ = 0;
                startX_ = aimX_;
                startY_ = aimY_;
                leaveX_ = Uniform(-6, 6);
                leaveY_ = -kLoweredDepth * Uniform(0.8, 1.2);
            }
            break;
        case Phase::Leave:
            if (phaseSteps_ >= kLeaveSteps) {
                phase_ = Phase::Rest;
                phaseSteps_ = 0;
                startX_ = aimX_;
                startY_ = aimY_;
                restX_ = (leaveX_ < 0 ? -1 : 1) * kSideDistance;
            }
            break;
        case Phase::Rest:
            if (phaseSteps_ >= restSteps_) StartCycle();
            break;
    }
    return lines;
}

}  // namespace zark
