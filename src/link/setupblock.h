#pragma once

#include <array>
#include <cstdint>

namespace zark {

using UnitSetupBlock = std::array<std::uint8_t, 16>;

inline constexpr std::uint8_t kProbeByte = 0x0D;  // written alone when a port is probed
inline constexpr std::uint8_t kCloseByte = 0x00;  // written alone just before the port is closed

// The 16-byte block that sets the unit up: S (scale), OX, OY (aim offset) and T (time between
// shots in unit steps), each split into nibbles from the lowest up and tagged in the high nibble.
UnitSetupBlock BuildSetupBlock(std::uint32_t scale, std::int32_t offsetX, std::int32_t offsetY, std::int32_t steps);

// S from the face's detector scale and the shooting distance (33 = the face's own scale).
std::uint32_t SetupScale(std::int32_t detectorScale, std::int32_t shootingDistance);

// T from the time between shots in ms and the unit time step; a step below 1 counts as 40.
std::int32_t SetupSteps(std::int32_t timeBetweenShots, std::int32_t timeStep);

}  // namespace zark
