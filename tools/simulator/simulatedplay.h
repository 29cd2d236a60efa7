#pragma once

// The simulated shooters played through the real decoder, for the tools that show or keep what
// they shoot.
#include <cstdint>
#include <vector>

#include "link/detectordecoder.h"
#include "link/setupblock.h"
#include "link/simulatedshooter.h"
#include "link/simulator.h"
#include "targets/targetcatalogue.h"

namespace zark::tools {

struct Point {
    std::int64_t step;
    int x, y;
};

// What the decoder posts: the aim samples and the shots, each with its step, and both in the
// order they came.
class Collector final : public LinkMessageSink {
public:
    void PostLinkSample(std::uint32_t wParam, int isShot) override;
    void PostLinkLine(int side) override { lines.push_back(side); }
    std::vector<Point> samples, shots;
    struct Event {
        Point point;
        bool shot;
    };
    std::vector<Event> stream;
    std::vector<int> lines;
    std::int64_t step = 0;
};

// Plays a shooter until it has fired the shots wanted and one more (the first shot's aim may
// begin before the stream).
Collector Play(ShooterProfile profile, std::uint32_t seed, const TargetPair& pair, bool moving, int shots);

}  // namespace zark::tools
