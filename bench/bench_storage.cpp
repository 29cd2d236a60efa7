// Series and match files: writing and reading back a match of 20 full series (22,500 points each,
// about 4 MB), against reading the same bytes from disk and nothing more.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "storage/filecommands.h"
#include "storage/seriesfileio.h"
#include "storage/seriesjournal.h"

namespace {

// A hold wandering around the centre, a shot every 1,125 points, within a few hundred units.
std::unique_ptr<zark::MatchRecord> MaximalMatch() {
    auto match = std::make_unique<zark::MatchRecord>();
    match->Clear();
    match->targetId = 1;
    std::snprintf(match->programme.title, sizeof match->programme.title, "Rifle Full Match");
    match->programme.seriesCount = zark::kMaxMatchSeries;
    std::mt19937 random(11);
    std::uniform_int_distribution<int> step(-9, 9);
    for (int k = 0; k < zark::kMaxMatchSeries; ++k) {
        match->programme.entries[k].shots = zark::kMaxShots;
        zark::TraceImage& image = match->series[k];
        int x = 300, y = 600;
        for (int i = 0; i < zark::kMaxSamples; ++i) {
            x = std::clamp(x + step(random), -999, 999);
            y = std::clamp(y + step(random), -999, 999);
            image.samples[i] = zark::AimSample{std::int16_t(x), std::int16_t(y)};
            if (i % 1125 == 1124) image.shots[image.shotCount++] = zark::ShotRecord{std::int16_t(x), std::int16_t(y), i, 0};
        }
        image.sampleCount = zark::kMaxSamples;
    }
    return match;
}

struct Fixture {
    Fixture() : match(MaximalMatch()), path(dir.filePath("full.zam")) {
        io.WriteMatch(*match, path);
        bytes = QFile(path).size();
    }
    QTemporaryDir dir;
    std::unique_ptr<zark::MatchRecord> match;
    QString path;
    zark::SeriesFileIo io;
    qint64 bytes = 0;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_WriteMaximalMatch(benchmark::State& state) {
    Fixture& f = Shared();
    const QString path = f.dir.filePath("written.zam");
    for (auto _ : state) benchmark::DoNotOptimize(f.io.WriteMatch(*f.match, path));
    state.SetBytesProcessed(state.iterations() * f.bytes);
    state.counters["file_bytes"] = double(f.bytes);
}
BENCHMARK(BM_WriteMaximalMatch)->Unit(benchmark::kMillisecond);

void BM_ReadMaximalMatch(benchmark::State& state) {
    Fixture& f = Shared();
    auto read = std::make_unique<zark::MatchRecord>();
    for (auto _ : state) benchmark::DoNotOptimize(f.io.ReadMatch(f.path, *read));
    state.SetBytesProcessed(state.iterations() * f.bytes);
    if (read->series[19].sampleCount != zark::kMaxSamples) state.SkipWithError("the match did not read back");
}
BENCHMARK(BM_ReadMaximalMatch)->Unit(benchmark::kMillisecond);

// The same bytes from disk (the page cache), in the reader's block size, with nothing done to them.
void BM_RawReadMaximalMatch(benchmark::State& state) {
    Fixture& f = Shared();
    std::string block(64 * 1024, '\0');
    for (auto _ : state) {
        QFile file(f.path);
        file.open(QIODevice::ReadOnly);
        qint64 total = 0;
        for (qint64 got; (got = file.read(block.data(), qint64(block.size()))) > 0;) total += got;
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}
BENCHMARK(BM_RawReadMaximalMatch)->Unit(benchmark::kMillisecond);

// The automatic save at the end of a match of 20 full series, as the shooter waits for it: the
// folder made, a name not yet taken found, the file written; 20 saves within each clock second.
zark::FileDate g_benchDate{2026, 1, 1, 0, 0, 0};
long g_benchSaves = 0;
zark::FileDate BenchClock() {
    zark::FileDate date = g_benchDate;
    const long second = g_benchSaves++ / 20;
    date.minute = std::int16_t(second / 60 % 60);
    date.second = std::int16_t(second % 60);
    date.hour = std::int16_t(second / 3600 % 24);
    return date;
}

void BM_AutoSaveMaximalMatch(benchmark::State& state) {
    Fixture& f = Shared();
    QTemporaryDir dir;
    zark::FileCommands files;
    files.SetClock(&BenchClock);
    files.PrepareDataDirectory(dir.filePath("data"));
    for (auto _ : state) benchmark::DoNotOptimize(files.AutoSaveMatch(*f.match, "Field 1/4").ok);
    state.SetBytesProcessed(state.iterations() * f.bytes);
}
BENCHMARK(BM_AutoSaveMaximalMatch)->Unit(benchmark::kMillisecond);

}  // namespace

// The journal of the series being shot. What the main thread pays per sample and per shot (the
// text and the hand-over to the writer), and what one second of trace costs the writer (append,
// flush, sync to the disk: the process's CPU and the time until it is on the disk).
namespace {

struct Journaled {
    Journaled() : store(std::make_unique<zark::TraceStore>()), journal(dir.filePath(".recovery")) { Restart(); }
    void Restart() {
        store->Clear();
        zark::JournalHeader header;
        header.targetId = 1200;
        header.targetName = "Rifle 50 meter";
        header.seriesShots = 10;
        journal.Begin(header, nullptr, 0, store->Image());
        journal.WaitIdle();
    }
    // The next aim point of a wandering hold, or a shot, followed by the journal; restarts a full
    // trace outside the timing.
    void Next(benchmark::State& state, bool shot) {
        if (store->SampleCount() >= zark::kMaxSamples - 1 || store->ShotCount() >= zark::kMaxShots - 1) {
            state.PauseTiming();
            journal.WaitIdle();
            Restart();
            state.ResumeTiming();
        }
        x = std::clamp(x + step(random), -999, 999);
        y = std::clamp(y + step(random), -999, 999);
        if (shot)
            store->AppendShot(x, y, 0);
        else
            store->AppendSample(x, y);
        journal.Follow(store->Image(), shot ? kShotTime : zark::FileDate{});
    }
    static constexpr zark::FileDate kShotTime{2026, 12, 8, 5, 0, 0};
    QTemporaryDir dir;
    std::unique_ptr<zark::TraceStore> store;
    zark::SeriesJournal journal;
    std::mt19937 random{5};
    std::uniform_int_distribution<int> step{-9, 9};
    int x = 300, y = 600;
};

// The main thread's part: the writer's work (waited for outside the timing) is measured below.
void BM_JournalPerSample(benchmark::State& state) {
    Journaled j;
    for (auto _ : state) {
        j.Next(state, false);
        if (j.journal.FollowedSamples() % zark::SeriesJournal::kPointsPerChunk == 0) {
            state.PauseTiming();
            j.journal.WaitIdle();
            state.ResumeTiming();
        }
    }
}
// (Fixed counts: each second and each shot waits for the disk.)
BENCHMARK(BM_JournalPerSample)->Iterations(25 * 200);

void BM_JournalPerShot(benchmark::State& state) {
    Journaled j;
    for (auto _ : state) {
        j.Next(state, true);
        state.PauseTiming();
        j.journal.WaitIdle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_JournalPerShot)->Iterations(200);

// One second of trace (25 points), and one shot, from the main thread until they are on the disk
// (written, flushed and synced by the writer): the time and the process's CPU.
void BM_JournalSecondOnDisk(benchmark::State& state) {
    Journaled j;
    for (auto _ : state) {
        for (int i = 0; i < zark::SeriesJournal::kPointsPerChunk; ++i) j.Next(state, false);
        j.journal.WaitIdle();
    }
}
BENCHMARK(BM_JournalSecondOnDisk)->Iterations(100)->MeasureProcessCPUTime()->UseRealTime();

void BM_JournalShotOnDisk(benchmark::State& state) {
    Journaled j;
    for (auto _ : state) {
        j.Next(state, true);
        j.journal.WaitIdle();
    }
}
BENCHMARK(BM_JournalShotOnDisk)->Iterations(100)->MeasureProcessCPUTime()->UseRealTime();

// The start of a series of a match whose 20 stored series are full (the worst case): the main
// thread's part of writing the journal's header with all of them.
void BM_JournalBeginFullMatch(benchmark::State& state) {
    const Fixture& fixture = Shared();
    Journaled j;
    zark::JournalHeader header;
    header.targetId = 1200;
    header.match = true;
    header.programme.seriesCount = zark::kMaxMatchSeries;
    for (auto _ : state) {
        j.journal.Begin(header, fixture.match->series, zark::kMaxMatchSeries, j.store->Image());
        state.PauseTiming();
        j.journal.WaitIdle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_JournalBeginFullMatch)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
