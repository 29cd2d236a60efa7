#include "simulatedplay.h"

namespace zark::tools {
namespace {

std::vector<std::uint8_t> Block(const TargetDescriptor& face, int ox) {
    const UnitSetupBlock block = BuildSetupBlock(face.DetectorScale(), ox, 0, 40);
    return {block.begin(), block.end()};
}

}  // namespace

void Collector::PostLinkSample(std::uint32_t wParam, int isShot) {
    const Point point{step, LinkSampleX(wParam), LinkSampleY(wParam)};
    (isShot ? shots : samples).push_back(point);
    stream.push_back({point, isShot != 0});
}

Collector Play(ShooterProfile profile, std::uint32_t seed, const TargetPair& pair, bool moving, int shots) {
    DetectorSimulator unit(SimulatorOptions{seed, moving, profile});
    DetectorDecoder decoder;
    Collector collector;
    decoder.Configure(&collector, DetectorSimulator::kStepMs);
    std::vector<std::uint8_t> bytes = Block(*pair.first, 0), answer;
    unit.Receive(bytes.data(), bytes.size(), answer);
    while (int(collector.shots.size()) < shots + 1 && unit.stepCount() < 100000) {
        bytes.clear();
        const std::uint32_t lines = unit.Step(bytes);
        collector.step = unit.stepCount();
        decoder.Feed(bytes.data(), bytes.size());
        if (lines) {
            // the program answers a run with the lead of the face of its side
            const int side = (lines & EV_DSR) ? 1 : 0;
            const TargetDescriptor* face = side && pair.second ? pair.second : pair.first;
            const auto lead = Block(*face, face->LeadMoving().x);
            unit.Receive(lead.data(), lead.size(), answer);
        }
    }
    return collector;
}

}  // namespace zark::tools
