// The replay's figures, offscreen: one replay tick at the fastest speed over a full trace of
// 22,500 points with the repaint it causes in the target view, the trace timeline and the
// diagram, forward and backward; and a full repaint of the timeline 1920 pixels wide.
// build/bench/zark_bench_replay.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "core/shootinghub.h"
#include "replay/timeline.h"
#include "replay/widgets/tracetimeline.h"
#include "results/diagramplot.h"
#include "results/widgets/diagramwindow.h"
#include "settings/settings.h"
#include "targets/targetcatalogue.h"
#include "targets/widgets/targetfacerules.h"
#include "targets/widgets/targetview.h"

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

// Timers that never fire on their own: the benchmark takes the ticks itself.
class StillTimers final : public TimerFactory {
    class Timer final : public FlowTimer {
    public:
        void Start(int) override { active_ = true; }
        void Stop() override { active_ = false; }
        bool Active() const override { return active_; }

    private:
        bool active_ = false;
    };

public:
    std::unique_ptr<FlowTimer> CreateTimer(std::function<void()>) override { return std::make_unique<Timer>(); }
};

// A full store: a wandering aim with 20 shots spread over it.
void FillFullTrace(ShootingHub& hub) {
    hub.NewSeries(20, 0, 0);
    const int perShot = kMaxSamples / 20;
    for (int i = 0; i < kMaxSamples; ++i) {
        const int x = int(300 * std::sin(i * 0.013) + 40 * std::sin(i * 0.31)) + 1;
        const int y = int(300 * std::cos(i * 0.011) + 40 * std::cos(i * 0.27)) + 1;
        hub.FeedSample(x, y, (i + 1) % perShot == 0 ? 1 : 0, 0, -1);
    }
    hub.StopAcquisition();
}

// The main window's views of a replay, each in a window of its own: the target view, the
// timeline along a 1920-pixel screen and the diagram with its four curves.
struct ReplayRig {
    Settings settings;
    ShootingHub hub;
    StillTimers timers;
    TargetFaceRules rules;
    TargetView view{&hub, rules, timers};
    TraceTimeline timeline{&hub, nullptr};
    DiagramPlot plot{&hub};
    DiagramPlotWidget diagram;
    ReplayRig() {
        settings.LineTrack = 1;
        hub.SetSettings(&settings);
        hub.SetTargets(&Catalogue().Entry(3), nullptr);
        plot.SetFlags(kCurveFlags);
        diagram.SetPlot(&plot);
        view.resize(1024, 768);
        timeline.resize(1920, 32);
        diagram.resize(600, 300);
        for (QWidget* w : {static_cast<QWidget*>(&view), static_cast<QWidget*>(&timeline), static_cast<QWidget*>(&diagram)})
            w->show();
        FillFullTrace(hub);
        hub.ShowTraceRange(0, kMaxSamples - 1, 0);
        QCoreApplication::processEvents();
    }
};

void ReplayTicks(benchmark::State& state, int direction) {
    ReplayRig rig;
    rig.view.SetZoom(int(state.range(0)), true);  // the trace 1 pixel wide, 3 at 4:1
    const int speed = 3 * 100;  // Fast Forward and Reverse at ReplaySpeed 100: 8 ms a tick
    if (direction < 0) rig.view.JumpReplay(1);
    rig.view.StartReplay(speed, direction);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        if (!rig.view.ReplayRunning()) {
            state.PauseTiming();
            if (direction < 0) rig.view.JumpReplay(1);
            rig.view.StartReplay(speed, direction);
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
        rig.view.ReplayTick();
        QCoreApplication::processEvents();  // the repaints the tick asked for
    }
    state.counters["points"] = rig.hub.Store()->SampleCount();
    state.counters["period_ms"] = rig.view.replayPeriod();
}

void BM_ReplayTickFastForwardFullTrace(benchmark::State& state) { ReplayTicks(state, +1); }
BENCHMARK(BM_ReplayTickFastForwardFullTrace)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_ReplayTickReverseFullTrace(benchmark::State& state) { ReplayTicks(state, -1); }
BENCHMARK(BM_ReplayTickReverseFullTrace)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

// The whole strip painted from the store, as a full repaint does it.
void BM_TimelinePaint1920(benchmark::State& state) {
    ReplayRig rig;
    QImage image(1920, 30, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        PaintTimeline(painter, image.rect(), *rig.hub.Store(), 800, 5000, 9000);
    }
    state.counters["points"] = rig.hub.Store()->SampleCount();
}
BENCHMARK(BM_TimelinePaint1920)->Unit(benchmark::kMicrosecond);

// The same through the widget: invalidated and repainted by the event loop.
void BM_TimelineWidgetRepaint1920(benchmark::State& state) {
    ReplayRig rig;
    for (auto _ : state) {
        rig.timeline.update();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_TimelineWidgetRepaint1920)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zark
