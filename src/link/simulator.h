#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/simulatedshooter.h"

namespace zark {

struct SimulatorOptions {
    std::uint32_t seed = 1;
    // Announce a new moving-target run through CTS/DSR at the start of every shot, alternating sides.
    bool movingRuns = true;
    ShooterProfile profile = ShooterProfile::Club;
};

// What the unit was told by the last setup block it read.
struct SimulatorSetup {
    std::uint32_t scale = 0;  // S: target units per 13.5 milliradians
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    std::int32_t steps = 0;   // T: minimum time between shots in 40 ms steps
};

// A model of the detector unit on the rifle of a shooter (SimulatedShooter), producing the unit's
// byte stream. The unit reads the setup blocks it is sent; from the first complete block on it sends
// a sample every time step (40 ms). The hold is an angle (milliradians); the shooter breaks the
// trigger never sooner than T steps after the last shot.
// The angle becomes target units with the scale sent (1 mrad = S / 13.5 units), so a hold scores
// alike on every face at its distance, and the unit adds the offsets sent, as the real unit does.
// When the offset changes during a hold (a lead for a moving target), the reported aim jumps by the
// change and the shooter swings after it. A lead tells the shooter the target moves: the lead is
// held ahead of it, so a target led to the right (a positive x) runs to the left, and the hunter
// swings with each run. A sample is sent as 0x0n 0x1n 0x2n 0x4n 0x5n 0x6n (x and
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
    // What the range calls during a timed series; the shooter hears it at the next step.
    void Hear(const RangeCall& call) { call_ = call; }
    const SimulatedShooter& shooter() const { return shooter_; }
    // The step at which the last setup block (re)started the stream; -1 before any.
    std::int64_t streamStart() const { return streamStart_; }

    const SimulatorOptions& options() const { return options_; }
    bool streaming() const { return streaming_; }
    const SimulatorSetup& setup() const { return setup_; }
    std::int64_t stepCount() const { return step_; }
    bool cts() const { return cts_; }
    bool dsr() const { return dsr_; }
    int shotCount() const { return shots_; }

private:
    void ApplyBlock();
    std::int32_t ToUnits(double mrad, std::int32_t offset, double lead) const;
    static void AppendSample(std::vector<std::uint8_t>& out, std::int32_t x, std::int32_t y);

    SimulatorOptions options_;
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

    SimulatedShooter shooter_;
    RangeCall call_;
    std::int64_t streamStart_ = -1;
    double leadX_ = 0, leadY_ = 0;          // offset change since the stream began, units
    double swingX_ = 0, swingY_ = 0;        // the part of it the shooter has followed, units
    std::int32_t baseOffsetX_ = 0, baseOffsetY_ = 0;
};

}  // namespace zark
