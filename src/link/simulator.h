#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace zark {

struct SimulatorOptions {
    std::uint32_t seed = 1;
    // Announce a new moving-target run through CTS/DSR at the start of every shot, alternating sides.
    bool movingRuns = true;
};

// What the unit was told by the last setup block it read.
struct SimulatorSetup {
    std::uint32_t scale = 0;  // S: target units per 13.5 milliradians
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    std::int32_t steps = 0;   // T: minimum time between shots in 40 ms steps
};

// A model of the detector unit on the rifle of a steady shooter, producing the unit's byte stream.
// The unit reads the setup blocks it is sent; from the first complete block on it sends a sample
// every time step (40 ms). The shooter's hold is modelled as an angle (milliradians): the aim comes
// down onto the target from above, wobbles (a mean-reverting random walk that settles while the
// shooter holds), moves with the breath until the breath is held, and drifts slowly; the shooter
// breaks the trigger when the aim is steady, never sooner than T steps after the last shot, then
// follows through and lowers the rifle, so the aim leaves the target until the next shot, and
// brings it up again out to the side.
// The angle becomes target units with the scale sent (1 mrad = S / 13.5 units), so a hold scores
// alike on every face at its distance, and the unit adds the offsets sent, as the real unit does.
// When the offset changes during a hold (a lead for a moving target), the reported aim jumps by the
// change and the shooter swings after it. A sample is sent as 0x0n 0x1n 0x2n 0x4n 0x5n 0x6n (x and
// y as 12-bit two's complement, the unit's range), a shot right after the sample it belongs to as
// 0x3n 0x7n (the 8-bit moment of the break within the step).
//
// Bytes from the program: a setup block (0x00, fourteen tagged bytes, 0x0D) (re)starts the unit;
// one that arrives while the unit streams, before its next step, only changes the offsets, scale
// and time (an adjustment). A 0x00 not followed by a block stops the stream (the program closes the
// port). A 0x0D on its own is a probe: the unit answers with the single byte 0x8D, which a decoder
// ignores. Everything is deterministic for a seed and the same calls.
class DetectorSimulator final {
public:
    static constexpr int kStepMs = 40;
    static constexpr std::uint8_t kProbeAnswer = 0x8D;

    explicit DetectorSimulator(SimulatorOptions options = {});

    // Takes bytes written by the program; what the unit answers at once is appended to answer.
    void Receive(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& answer);
    // Advances one time step: appends the bytes sent in it to out and returns the modem lines that
    // changed in it (EV_CTS for a run on side 0, EV_DSR for side 1).
    std::uint32_t Step(std::vector<std::uint8_t>& out);
    // The port was closed: no more samples until the next block.
    void Stop();

    bool streaming() const { return streaming_; }
    const SimulatorSetup& setup() const { return setup_; }
    std::int64_t stepCount() const { return step_; }
    bool cts() const { return cts_; }
    bool dsr() const { return dsr_; }
    int shotCount() const { return shots_; }

private:
    enum class Phase { Approach, Aim, FollowThrough, Leave, Rest };

    void ApplyBlock();
    void StartCycle();
    void Advance();  // moves the shooter's aim by one step
    double Gauss();
    double Uniform(double low, double high);
    std::int32_t ToUnits(double mrad, std::int32_t offset, double lead) const;
    static void AppendSample(std::vector<std::uint8_t>& out, std::int32_t x, std::int32_t y);

    SimulatorOptions options_;
    std::mt19937 random_;
    SimulatorSetup setup_;

    // the bytes of a setup block being read; 0 when none is
    int blockIndex_ = 0;
    std::array<std::uint8_t, 16> block_{};
    bool streaming_ = false;
    std::int64_t stoppedAtStep_ = -1;  // the step at which a 0x00 held the stream
    bool heldWhileStreaming_ = false;

    std::int64_t step_ = 0;
    std::int64_t lastShotStep_ = -1;
    int shots_ = 0;
    bool cts_ = false;
    bool dsr_ = false;
    int nextSide_ = 0;

    // the shooter
    Phase phase_ = Phase::Approach;
    int phaseSteps_ = 0;  // steps spent in the phase
    double biasX_ = 0, biasY_ = 0;          // natural point of aim (sight setting), mrad
    double aimX_ = 0, aimY_ = 0;            // the aim, mrad
    double startX_ = 0, startY_ = 0;        // where the approach or the leaving began
    double wobbleX_ = 0, wobbleY_ = 0;      // fast wobble
    double driftX_ = 0, driftY_ = 0;        // slow drift
    double breathPhase_ = 0, breathPeriod_ = 4.0, breathAmplitude_ = 0.5;
    double holdSigma_ = 0.12;               // wobble of the settled hold, mrad
    int approachSteps_ = 40, minAimSteps_ = 50, maxAimSteps_ = 180, restSteps_ = 50;
    double leaveX_ = 0, leaveY_ = 0;        // the direction the rifle is lowered
    double restX_ = 0;                      // the side it is brought up on
    double leadX_ = 0, leadY_ = 0;          // offset change since the stream began, units
    double swingX_ = 0, swingY_ = 0;        // the part of it the shooter has followed, units
    std::int32_t baseOffsetX_ = 0, baseOffsetY_ = 0;
};

}  // namespace zark
