// The printed report of a 20-shot series with a full trace, drawn by the print hub: the three
// pages into a PDF in memory, and the same onto a 1200 dpi printer as File > Print sets it up
// (measure its peak memory with /usr/bin/time -v and --benchmark_filter=PrinterReport). Run with
// build/bench/zark_bench_print.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>
#include <cmath>
#include <memory>

#include "core/tracestore.h"
#include "print/reportpainter.h"
#include "print/widgets/printhub.h"
#include "print/widgets/printing.h"
#include "settings/settings.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

// A rifle 50 m series of 20 shots on a full 15-minute trace.
struct FullSeries {
    FullSeries() {
        catalogue.Build();
        TargetPair pair;
        catalogue.PairForCommand(2112, pair);
        store->SetSettings(&settings);
        for (int i = 0; i < kMaxSamples; ++i) {
            const int x = int(60 * std::sin(i * 0.05)), y = int(60 * std::cos(i * 0.031)) + 1;
            if ((i + 1) % (kMaxSamples / kMaxShots) == 0)
                store->AppendShot(x, y, 0);
            else
                store->AppendSample(x, y);
        }
        series.store = store.get();
        series.faceA = pair.first;
        series.settings = &settings;
        series.title = QStringLiteral("full.zas");
    }
    TargetCatalogue catalogue;
    Settings settings;
    std::unique_ptr<TraceStore> store = std::make_unique<TraceStore>();
    ReportSeries series;
};

void FullSeriesReport(benchmark::State& state) {
    const FullSeries full;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        PrintHub views(full.series, 600);
        benchmark::DoNotOptimize(PaintReport(writer, PrintRecord{}, full.series, views, PageRange{}));
    }
}
BENCHMARK(FullSeriesReport)->Unit(benchmark::kMillisecond);

// File > Print's printer (high resolution, here printing into a file) and its hub at 1200 dpi.
void PrinterReport(benchmark::State& state) {
    const FullSeries full;
    QTemporaryDir dir;
    Printing printing;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printing.Prepare(printer);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("report.pdf")));
        printer.setFullPage(true);
        PrintHub views(full.series, 1200);
        benchmark::DoNotOptimize(PaintReport(printer, printing.Record(), full.series, views, PageRange{}));
    }
}
BENCHMARK(PrinterReport)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zark
