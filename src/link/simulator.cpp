#include "link/simulator.h"

#include <algorithm>
#include <cmath>

#include "link/detectordecoder.h"

namespace zark {
namespace {

constexpr double kStepSeconds = DetectorSimulator::kStepMs / 1000.0;

constexpr double kSwingTau = 0.35;  // the shooter following a new lead, seconds

std::int32_t NibbleSigned16(const std::array<std::uint8_t, 16>& block, int first) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t(block[first + i] & 0x0F) << (4 * i);
    return std::int16_t(std::uint16_t(value));
}

}  // namespace

DetectorSimulator::DetectorSimulator(SimulatorOptions options)
    : options_(options), shooter_(options.profile, options.seed) {}

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
    streamStart_ = step_;
    baseOffsetX_ = setup_.offsetX;
    baseOffsetY_ = setup_.offsetY;
    leadX_ = leadY_ = swingX_ = swingY_ = 0;
    shooter_.SetRunDirection(0);
    shooter_.StartCycle();
}

void DetectorSimulator::Stop() {
    streaming_ = false;
    blockIndex_ = 0;
    heldWhileStreaming_ = false;
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
    shooter_.Hear(call_);
    if (shooter_.cycleStarting() && options_.movingRuns) {
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
    shooter_.SetRunDirection(leadX_ > 0 ? -1 : (leadX_ < 0 ? 1 : 0));
    const bool allowed = lastShotStep_ < 0 || step_ - lastShotStep_ >= setup_.steps;
    const bool fired = shooter_.Advance(allowed);
    // the shooter swings after a new lead
    const double follow = 1.0 - std::exp(-kStepSeconds / kSwingTau);
    swingX_ += (leadX_ - swingX_) * follow;
    swingY_ += (leadY_ - swingY_) * follow;
    AppendSample(out, ToUnits(shooter_.x(), setup_.offsetX, swingX_), ToUnits(shooter_.y(), setup_.offsetY, swingY_));
    if (fired) {
        // the break falls somewhere in this step; the shot is this sample's position
        const int timing = int(shooter_.Uniform(0, 156));
        out.push_back(std::uint8_t(0x30 | (timing & 0x0F)));
        out.push_back(std::uint8_t(0x70 | ((timing >> 4) & 0x0F)));
        lastShotStep_ = step_;
        ++shots_;
    }
    return lines;
}

}  // namespace zark
