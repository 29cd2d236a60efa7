// The printed report: the three pages of a 20-shot series with a full trace, drawn by the print
// hub into a PDF in memory; run with build/bench/zark_bench_print.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QPdfWriter>
#include <cmath>

#include "core/tracestore.h"
#include "print/reportpainter.h"
#include "print/widgets/printhub.h"
#include "settings/settings.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

void FullSeriesReport(benchmark::State& state) {
    TargetCatalogue catalogue;
    catalogue.Build();
    TargetPair pair;
    catalogue.PairForCommand(2112, pair);  // rifle 50 m
    Settings settings;
    auto store = std::make_unique<TraceStore>();
    store->SetSettings(&settings);
    for (int i = 0; i < kMaxSamples; ++i) {
        const int x = int(60 * std::sin(i * 0.05)), y = int(60 * std::cos(i * 0.031)) + 1;
        if ((i + 1) % (kMaxSamples / kMaxShots) == 0)
            store->AppendShot(x, y, 0);
        else
            store->AppendSample(x, y);
    }
    ReportSeries series;
    series.store = store.get();
    series.faceA = pair.first;
    series.settings = &settings;
    series.title = QStringLiteral("full.zas");
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        PrintHub views(series, 600);
        benchmark::DoNotOptimize(PaintReport(writer, PrintRecord{}, series, views, PageRange{}));
    }
}
BENCHMARK(FullSeriesReport)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zark
