#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "core/shootinghub.h"
#include "link/detectordecoder.h"
#include "settings/settings.h"

namespace {

class CountingSink final : public zark::LinkMessageSink {
public:
    void PostLinkSample(std::uint32_t wParam, int isShot) override { sum += wParam + unsigned(isShot); }
    void PostLinkLine(int side) override { sum += unsigned(side); }
    std::uint64_t sum = 0;
};

// A realistic stream: full 12-bit samples (6 bytes each) with a shot every 100 samples.
std::vector<std::uint8_t> DetectorStream(std::size_t bytes) {
    std::vector<std::uint8_t> out;
    out.reserve(bytes + 16);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-2048, 2047);
    int sample = 0;
    while (out.size() < bytes) {
        const int x = coordinate(random);
        const int y = coordinate(random);
        out.push_back(std::uint8_t(0x00 | (x & 0xF)));
        out.push_back(std::uint8_t(0x10 | ((x >> 4) & 0xF)));
        out.push_back(std::uint8_t(0x20 | ((x >> 8) & 0xF)));
        out.push_back(std::uint8_t(0x40 | (y & 0xF)));
        out.push_back(std::uint8_t(0x50 | ((y >> 4) & 0xF)));
        out.push_back(std::uint8_t(0x60 | ((y >> 8) & 0xF)));
        if (++sample % 100 == 0) {
            out.push_back(0x34);
            out.push_back(0x72);
        }
    }
    return out;
}

void BM_Decode(benchmark::State& state) {
    const auto stream = DetectorStream(1 << 20);
    CountingSink sink;
    zark::DetectorDecoder decoder;
    decoder.Configure(&sink, 40);
    for (auto _ : state) {
        decoder.Feed(stream.data(), stream.size());
        benchmark::DoNotOptimize(sink.sum);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(stream.size()));
}
BENCHMARK(BM_Decode);

class SampleView final : public zark::HubView {
public:
    explicit SampleView(zark::HubView* hub) : HubView(hub) {}
    void OnSample(int x, int y, int isShot, int, int index) override { sum += x + y + isShot + index; }
    long long sum = 0;
};

// FeedSample with the seven views of the live hub. The store is cleared whenever it fills.
void BM_FeedSample7Views(benchmark::State& state) {
    zark::ShootingHub hub;
    zark::Settings settings;
    hub.SetSettings(&settings);
    std::vector<std::unique_ptr<SampleView>> views;
    for (int i = 0; i < 7; ++i) views.push_back(std::make_unique<SampleView>(&hub));
    int n = 0;
    for (auto _ : state) {
        if (hub.Store()->SampleCount() >= zark::kMaxSamples) {
            state.PauseTiming();
            hub.Store()->Clear();
            state.ResumeTiming();
        }
        hub.FeedSample(n & 1023, 17, 0, 0, -1);
        ++n;
    }
    benchmark::DoNotOptimize(views[6]->sum);
}
BENCHMARK(BM_FeedSample7Views);

void BM_CopyFromFullImage(benchmark::State& state) {
    auto source = std::make_unique<zark::TraceStore>();
    for (int i = 0; i < zark::kMaxSamples - zark::kMaxShots; ++i) source->AppendSample(i % 700 + 1, i % 300 + 1);
    for (int i = 0; i < zark::kMaxShots; ++i) source->AppendShot(i + 1, i + 2, 0);
    auto target = std::make_unique<zark::TraceStore>();
    for (auto _ : state) {
        benchmark::DoNotOptimize(target->CopyFrom(source->Image()));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyFromFullImage);

}  // namespace
