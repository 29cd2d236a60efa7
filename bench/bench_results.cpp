// Speed of the results views: repainting the deviation diagram for a full trace, updating a shot
// list (with its widget) for one new shot, every hold and group figure and the phases of a 20-shot
// series with a full trace, and the analysis window's update for a new shot. Runs offscreen;
// build/bench/zark_bench_results.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "window/mdiclient.h"
#include "results/diagramplot.h"
#include "results/holdanalysis.h"
#include "results/phaseanalysis.h"
#include "results/shotlist.h"
#include "results/widgets/analysiswindow.h"
#include "results/widgets/shotlistwidget.h"
#include "settings/settings.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

const TargetCatalogue& Catalogue() {
    static const TargetCatalogue* catalogue = [] {
        auto* built = new TargetCatalogue;
        built->Build();
        return built;
    }();
    return *catalogue;
}

// A full trace of 22,500 points: a wobbling hold with 20 shots spread over it.
void FillFullTrace(ShootingHub& hub) {
    hub.NewSeries(20, 0, 0);
    const int perShot = kMaxSamples / 20;
    for (int i = 0; i < kMaxSamples; ++i) {
        const int x = int(120 * std::sin(i * 0.05) + 40 * std::sin(i * 0.31)) + 1;
        const int y = int(90 * std::cos(i * 0.037) + 30 * std::sin(i * 0.23)) + 1;
        hub.FeedSample(x, y, (i + 1) % perShot == 0 ? 1 : 0, 0, -1);
    }
}

void DiagramFullTrace(benchmark::State& state) {
    Settings settings;
    ShootingHub hub;
    hub.SetSettings(&settings);
    DiagramPlot plot(&hub);
    hub.SetTargets(&Catalogue().Entry(3), nullptr);
    FillFullTrace(hub);
    plot.SetFlags(kCurveFlags);  // all four curves
    hub.ShowTraceRange(0, hub.Store()->SampleCount() - 1, 0);
    QImage image(1000, 300, QImage::Format_ARGB32_Premultiplied);
    DiagramPlot::Context context;
    context.rect = image.rect();
    for (auto _ : state) {
        QPainter painter(&image);
        plot.Paint(painter, context);
    }
    state.counters["points"] = hub.Store()->SampleCount();
}
BENCHMARK(DiagramFullTrace)->Unit(benchmark::kMillisecond);

void ShotListOneNewShot(benchmark::State& state) {
    Settings settings;
    ShootingHub hub;
    hub.SetSettings(&settings);
    ShotList list(&hub);
    ShotListWidget widget(list, true);
    widget.resize(170, 240);
    hub.SetTargets(&Catalogue().Entry(3), nullptr);
    hub.NewSeries(10, 0, 0);
    for (int k = 0; k < 10; ++k) {
        for (int i = 0; i < 50; ++i) hub.FeedSample(30 + i, 20 - i, 0, 0, -1);
        hub.FeedSample(10 * k + 3, 7, 1, 0, -1);
    }
    // What the hub does for each view when a shot arrives: the list writes its newest shot.
    for (auto _ : state) list.OnSample(93, 7, 1, 0, hub.Store()->SampleCount() - 1);
}
BENCHMARK(ShotListOneNewShot)->Unit(benchmark::kMicrosecond);

// A hub on the 50 m rifle face with a full trace of 20 shots.
struct FullTraceHub {
    Settings settings;
    ShootingHub hub;
    const TargetDescriptor& face = Catalogue().Entry(3);
    FullTraceHub() {
        hub.SetSettings(&settings);
        hub.SetTargets(&face, nullptr);
        FillFullTrace(hub);  // the aim never leaves the face: each aiming time walks back to the shot before
    }
};

void HoldAndGroupFiguresFullTrace(benchmark::State& state) {
    FullTraceHub full;
    for (auto _ : state) benchmark::DoNotOptimize(AnalyseSeries(*full.hub.Store(), full.face, nullptr));
    state.counters["shots"] = full.hub.Store()->ShotCount();
}
BENCHMARK(HoldAndGroupFiguresFullTrace)->Unit(benchmark::kMicrosecond);

// The phases of every shot of a 20-shot series with a full trace (the same trace: every stretch
// is read from the shot before to the shot).
void PhasesFullTrace(benchmark::State& state) {
    FullTraceHub full;
    for (auto _ : state) benchmark::DoNotOptimize(AnalyseSeriesPhases(*full.hub.Store(), full.face, nullptr));
    state.counters["shots"] = full.hub.Store()->ShotCount();
}
BENCHMARK(PhasesFullTrace)->Unit(benchmark::kMicrosecond);

void AnalysisWindowOneNewShot(benchmark::State& state) {
    Settings settings;
    ShootingHub hub;
    hub.SetSettings(&settings);
    QWidget host;
    host.resize(900, 700);
    MdiClient client;
    client.Create(&host, QRect(0, 0, 900, 700));
    AnalysisWindow window;
    window.Create(client);
    window.AttachView(hub);
    window.Window()->show();
    hub.SetTargets(&Catalogue().Entry(3), nullptr);
    FillFullTrace(hub);
    // What the hub does for the view when a shot arrives: every figure again, rows and group rewritten.
    for (auto _ : state) window.View()->OnSample(93, 7, 1, 0, hub.Store()->SampleCount() - 1);
}
BENCHMARK(AnalysisWindowOneNewShot)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zark
