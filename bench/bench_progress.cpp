// The training log's index: 2,000 series files of ten shots and 3,000 trace points each indexed
// from nothing, and a scan with nothing changed (stat only); run with build/bench/zark_bench_progress.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <memory>

#include "progress/progresscsv.h"
#include "progress/progressindex.h"
#include "storage/seriesfileio.h"
#include "targets/targetcatalogue.h"

namespace {

constexpr int kFiles = 2000;

// A folder of series files in 20 sub-folders, made once for every benchmark.
class Folder {
public:
    Folder() {
        catalogue.Build();
        auto store = std::make_unique<zark::TraceStore>();
        for (int shot = 0; shot < 10; ++shot) {
            // a wobbling approach from above, settling near the centre
            for (int k = 0; k < 299; ++k) {
                const double t = k * 0.04;
                const double reach = 300.0 * (299 - k) / 299 + 20;
                store->AppendSample(int(reach * std::sin(t * 3.1 + shot)) + 5, int(reach * std::cos(t * 2.3)) + 40);
            }
            store->AppendShot(7 + shot * 3, 11 - shot * 2, 0);
        }
        auto record = std::make_unique<zark::SeriesRecord>();
        record->targetId = 1200;
        record->numberOfShots = 10;
        record->store = store->Image();
        const QString first = QDir(dir.path()).filePath(QStringLiteral("first.zas"));
        zark::SeriesFileIo().WriteSeries(*record, first);
        for (int i = 0; i < kFiles; ++i) {
            const QString sub = QDir(dir.path()).filePath(QStringLiteral("week%1").arg(i % 20));
            QDir().mkpath(sub);
            QFile::copy(first, QDir(sub).filePath(QStringLiteral("series-%1.zas").arg(i)));
        }
        QFile::remove(first);
    }
    QTemporaryDir dir;
    zark::TargetCatalogue catalogue;
};

Folder& TheFolder() {
    static Folder folder;
    return folder;
}

void BM_IndexFromNothing(benchmark::State& state) {
    Folder& folder = TheFolder();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(QDir(folder.dir.path()).filePath(QLatin1String(zark::kProgressIndexName)));
        state.ResumeTiming();
        zark::ProgressIndex index(folder.dir.path(), folder.catalogue);
        const zark::ScanReport report = index.Scan();
        if (report.read != kFiles) state.SkipWithError("not every file was read");
    }
    state.counters["files"] = kFiles;
}
BENCHMARK(BM_IndexFromNothing)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// An unchanged rescan: the scan alone (the folder listed, nothing opened, nothing written; the rows
// read back, as the scan of an index it did not check whole does), or, with rows, what
// "zark --export-progress" does after the process has started: the scan, every row and the CSV.
void RescanUnchanged(benchmark::State& state, bool rows) {
    Folder& folder = TheFolder();
    {
        zark::ProgressIndex index(folder.dir.path(), folder.catalogue);
        index.Scan();
    }
    for (auto _ : state) {
        zark::ProgressIndex index(folder.dir.path(), folder.catalogue);
        const zark::ScanReport report = index.Scan();
        if (report.unchanged != kFiles) state.SkipWithError("a file was read again");
        if (rows && zark::ProgressCsv(index.Rows(), folder.catalogue).count('\n') != kFiles + 1)
            state.SkipWithError("not every row");
    }
}

void BM_ScanWithNothingChanged(benchmark::State& state) { RescanUnchanged(state, false); }
BENCHMARK(BM_ScanWithNothingChanged)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RescanRowsAndCsv(benchmark::State& state) { RescanUnchanged(state, true); }
BENCHMARK(BM_RescanRowsAndCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
