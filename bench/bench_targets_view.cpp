// The target view's figures: composing a face, one paint with a full trace, and the work on the
// main thread for one live sample (the aim cross moved, the trace grown; also coloured by phase).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cmath>

#include "core/qttimerfactory.h"
#include "core/shootinghub.h"
#include "results/phaseanalysis.h"
#include "settings/settings.h"
#include "targets/render/facepainter.h"
#include "targets/render/tracepainter.h"
#include "targets/targetcatalogue.h"
#include "targets/widgets/targetfacerules.h"
#include "targets/widgets/targetview.h"

namespace {

const zark::TargetCatalogue& Catalogue() {
    static zark::TargetCatalogue* catalogue = [] {
        auto* built = new zark::TargetCatalogue;
        built->Build();
        return built;
    }();
    return *catalogue;
}

constexpr int kAirRifle = 5;

void BM_ComposeAirRifle1920x1080Zoom4(benchmark::State& state) {
    QImage buffer(1920, 1080, QImage::Format_RGB32);
    zark::FaceStyle style;
    style.labelFontHeight = zark::LabelFontHeight(4, 96);
    for (auto _ : state) {
        QPainter painter(&buffer);
        zark::ComposeFace(painter, {1920, 1080, 4}, &Catalogue().Entry(kAirRifle), style);
    }
}
BENCHMARK(BM_ComposeAirRifle1920x1080Zoom4)->Unit(benchmark::kMillisecond);

void BM_ComposeAirRifle1920x1080Zoom1(benchmark::State& state) {
    QImage buffer(1920, 1080, QImage::Format_RGB32);
    zark::FaceStyle style;
    style.labelFontHeight = zark::LabelFontHeight(1, 96);
    for (auto _ : state) {
        QPainter painter(&buffer);
        zark::ComposeFace(painter, {1920, 1080, 1}, &Catalogue().Entry(kAirRifle), style);
    }
}
BENCHMARK(BM_ComposeAirRifle1920x1080Zoom1)->Unit(benchmark::kMillisecond);

// A full store: 22,500 points of a wandering aim with a shot every 900 points.
void FillTrace(zark::HubView& hub) {
    for (int i = 0; i < zark::kMaxSamples; ++i) {
        const int x = int(300 * std::sin(i * 0.013) + 40 * std::sin(i * 0.31));
        const int y = int(300 * std::cos(i * 0.011) + 40 * std::cos(i * 0.27)) + 1;
        hub.FeedSample(x, y, (i % 900 == 899 && hub.Store()->ShotCount() < zark::kMaxShots) ? 1 : 0, 0, -1);
    }
}

struct ViewRig {
    zark::ShootingHub hub;
    zark::Settings settings;
    zark::TargetFaceRules rules;
    zark::QtTimerFactory timers;
    zark::TargetView view{&hub, rules, timers};
    explicit ViewRig(int width, int height) {
        settings.LineTrack = 1;
        hub.SetSettings(&settings);
        hub.SetTargets(&Catalogue().Entry(3), nullptr);
        view.resize(width, height);
        view.show();
        QCoreApplication::processEvents();
    }
};

void BM_PaintViewFullTrace(benchmark::State& state) {
    ViewRig rig(1024, 768);
    FillTrace(rig.hub);
    QImage target(rig.view.size(), QImage::Format_RGB32);
    rig.view.render(&target);  // the trace layer is grown once
    for (auto _ : state) rig.view.render(&target);
    state.counters["points"] = rig.hub.Store()->SampleCount();
}
BENCHMARK(BM_PaintViewFullTrace)->Unit(benchmark::kMillisecond);

// The trace drawn from scratch (after a resize, a zoom or a jump back in a replay).
void BM_DrawFullTraceFromScratch(benchmark::State& state) {
    ViewRig rig(1024, 768);
    FillTrace(rig.hub);
    QImage layer(1024, 768, QImage::Format_ARGB32_Premultiplied);
    zark::TraceStyle style;
    style.geometry = {1024, 768, int(state.range(0))};
    style.face = &Catalogue().Entry(3);
    style.beforeShot = Qt::cyan;
    style.afterShot = Qt::green;
    for (auto _ : state) {
        layer.fill(Qt::transparent);
        QPainter painter(&layer);
        zark::DrawTrace(painter, *rig.hub.Store(), style, 0, zark::kMaxSamples);
    }
}
BENCHMARK(BM_DrawFullTraceFromScratch)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

// For comparison: the same points at 4:1 stroked by the toolkit with a 3-pixel pen, flat caps and
// bevel joins, one polyline per stretch of one colour, as the trace was drawn before.
void BM_DrawFullTraceWithWidePen(benchmark::State& state) {
    ViewRig rig(1024, 768);
    FillTrace(rig.hub);
    const zark::FaceGeometry g{1024, 768, 4};
    const zark::TraceStore& store = *rig.hub.Store();
    QPolygon line;
    for (int i = 0; i < store.SampleCount(); ++i) {
        const zark::TraceStore::SampleInfo info = store.SampleAt(i);
        line << zark::ToPixel(g, &Catalogue().Entry(3), {}, info.point.x, info.point.y, info.shotsBefore, false);
    }
    QImage layer(1024, 768, QImage::Format_ARGB32_Premultiplied);
    QPen pen(Qt::cyan, 3);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::BevelJoin);
    for (auto _ : state) {
        layer.fill(Qt::transparent);
        QPainter painter(&layer);
        painter.setPen(pen);
        painter.drawPolyline(line);
    }
}
BENCHMARK(BM_DrawFullTraceWithWidePen)->Unit(benchmark::kMillisecond);

// One live sample: stored, the cross moved, the trace grown by a segment.
void BM_LiveSample(benchmark::State& state) {
    ViewRig rig(1024, 768);
    rig.hub.NewSeries(10, 0, 0);
    int i = 0;
    for (auto _ : state) {
        if (rig.hub.Store()->SampleCount() >= zark::kMaxSamples - 1) {
            state.PauseTiming();
            rig.hub.StopAcquisition();
            rig.hub.NewSeries(10, 0, 0);
            state.ResumeTiming();
        }
        ++i;
        rig.hub.FeedSample(int(300 * std::sin(i * 0.013)), int(300 * std::cos(i * 0.011)) + 1, 0, 0, -1);
    }
}
BENCHMARK(BM_LiveSample)->Unit(benchmark::kMicrosecond);

// The same with the repaint it causes (offscreen).
void BM_LiveSampleWithRepaint(benchmark::State& state) {
    ViewRig rig(1024, 768);
    rig.hub.NewSeries(10, 0, 0);
    int i = 0;
    for (auto _ : state) {
        if (rig.hub.Store()->SampleCount() >= zark::kMaxSamples - 1) {
            state.PauseTiming();
            rig.hub.StopAcquisition();
            rig.hub.NewSeries(10, 0, 0);
            state.ResumeTiming();
        }
        ++i;
        rig.hub.FeedSample(int(300 * std::sin(i * 0.013)), int(300 * std::cos(i * 0.011)) + 1, 0, 0, -1);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_LiveSampleWithRepaint)->Unit(benchmark::kMicrosecond);

// The same with the trace coloured by phase: each point labelled as it comes, each shot (one in
// 900 points) recolouring its stretch and the trace drawn again.
void BM_LiveSampleByPhaseWithRepaint(benchmark::State& state) {
    ViewRig rig(1024, 768);
    rig.settings.ColourTraceByPhase = 1;
    rig.view.SetPhaseSource(zark::MakePhaseLabeller());
    rig.hub.NewSeries(20, 0, 0);
    int i = 0;
    for (auto _ : state) {
        if (rig.hub.Store()->SampleCount() >= zark::kMaxSamples - 1) {
            state.PauseTiming();
            rig.hub.StopAcquisition();
            rig.hub.NewSeries(20, 0, 0);
            state.ResumeTiming();
        }
        ++i;
        const int x = int(300 * std::sin(i * 0.013) + 40 * std::sin(i * 0.31));
        const int y = int(300 * std::cos(i * 0.011) + 40 * std::cos(i * 0.27)) + 1;
        rig.hub.FeedSample(x, y, i % 900 == 899 && rig.hub.Store()->ShotCount() < zark::kMaxShots ? 1 : 0, 0, -1);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_LiveSampleByPhaseWithRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
