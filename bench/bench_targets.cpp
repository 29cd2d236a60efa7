#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QFile>

#include <random>
#include <vector>

#include "targets/bitmapreader.h"
#include "targets/targetcatalogue.h"

namespace {

struct Position {
    int x;
    int y;
};

// Uniformly spread positions within half a side of the aim centre.
std::vector<Position> Positions(int half, std::size_t count) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> coordinate(-half, half);
    std::vector<Position> out(count);
    for (Position& p : out) p = {coordinate(random), coordinate(random)};
    return out;
}

const zark::TargetCatalogue& Catalogue() {
    static zark::TargetCatalogue* catalogue = [] {
        auto* built = new zark::TargetCatalogue;
        built->Build();
        return built;
    }();
    return *catalogue;
}

void Score(benchmark::State& state, int index, int half) {
    const zark::TargetDescriptor& face = Catalogue().Entry(index);
    const auto positions = Positions(half, 4096);
    std::size_t i = 0;
    double sum = 0;
    for (auto _ : state) {
        const Position& p = positions[i++ & 4095];
        sum += face.ScoreShot(p.x, p.y);
    }
    benchmark::DoNotOptimize(sum);
    state.counters["zone map"] = face.ZoneMap() ? 1 : 0;
}

// Ring faces: shots over the whole face and a little beyond.
void BM_ScoreRifle50(benchmark::State& state) { Score(state, 3, 700); }
void BM_ScoreRifle50Finale(benchmark::State& state) { Score(state, 4, 700); }
void BM_ScoreMoose10(benchmark::State& state) { Score(state, 15, 200); }
// Faces where the zone map answers: S25 has no rings at all; on the deer most shots miss the rings.
void BM_ScoreFieldS25ZoneMap(benchmark::State& state) { Score(state, 26, 380); }
void BM_ScoreDeerZoneMap(benchmark::State& state) { Score(state, 19, 600); }
BENCHMARK(BM_ScoreRifle50);
BENCHMARK(BM_ScoreRifle50Finale);
BENCHMARK(BM_ScoreMoose10);
BENCHMARK(BM_ScoreFieldS25ZoneMap);
BENCHMARK(BM_ScoreDeerZoneMap);

void BM_BuildCatalogue(benchmark::State& state) {
    for (auto _ : state) {
        zark::TargetCatalogue catalogue;
        catalogue.Build();
        benchmark::DoNotOptimize(catalogue.Entry(19).ZoneMap());
    }
}
BENCHMARK(BM_BuildCatalogue)->Unit(benchmark::kMillisecond);

void BM_ReadZoneMap(benchmark::State& state) {
    QFile file(zark::BitmapResourcePath(1128));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("no zone map 1128 among the resources");
        return;
    }
    QByteArray bytes = file.readAll();
    for (auto _ : state) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImage image;
        benchmark::DoNotOptimize(zark::ReadBitmap(buffer, image).status);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * bytes.size());
}
BENCHMARK(BM_ReadZoneMap)->Unit(benchmark::kMicrosecond);

}  // namespace
