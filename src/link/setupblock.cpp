#include "link/setupblock.h"

namespace zark {

UnitSetupBlock BuildSetupBlock(std::uint32_t scale, std::int32_t offsetX, std::int32_t offsetY, std::int32_t steps) {
    UnitSetupBlock block{};
    const std::uint32_t s = scale;
    const std::uint32_t ox = std::uint32_t(offsetX);
    const std::uint32_t oy = std::uint32_t(offsetY);
    const std::uint32_t t = std::uint32_t(steps);
    block[0] = 0x00;
    for (int i = 0; i < 4; ++i) {
        block[1 + i] = std::uint8_t(((1 + i) << 4) | ((s >> (4 * i)) & 0x0F));
        block[5 + i] = std::uint8_t(((5 + i) << 4) | ((ox >> (4 * i)) & 0x0F));
        block[9 + i] = std::uint8_t(((9 + i) << 4) | ((oy >> (4 * i)) & 0x0F));
    }
    block[13] = std::uint8_t(0xD0 | (t & 0x0F));
    block[14] = std::uint8_t(0xE0 | ((t >> 4) & 0x0F));
    block[15] = 0x0D;
    return block;
}

std::uint32_t SetupScale(std::int32_t detectorScale, std::int32_t shootingDistance) {
    // the 32-bit product divided as an unsigned number
    return (std::uint32_t(detectorScale) * std::uint32_t(shootingDistance)) / 33u;
}

std::int32_t SetupSteps(std::int32_t timeBetweenShots, std::int32_t timeStep) {
    return timeBetweenShots / (timeStep > 0 ? timeStep : 40);
}

}  // namespace zark
