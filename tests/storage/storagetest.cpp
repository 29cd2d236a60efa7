#include "storagetest.h"

#include <gtest/gtest.h>

#include <QFile>
#include <cstring>

#include "core/tracestore.h"

namespace zark::test {

namespace {

// n aim points of a hold settling from above, never (0, 0)
void Hold(TraceStore& store, int n) {
    for (int i = 0; i < n; ++i) {
        const int k = store.SampleCount();
        store.AppendSample((k * 37) % 61 - 30, 400 - (k % 97) * 4 + k % 7);
    }
}

void SetEntry(MatchRecord& match, int k, int sighters, int shots, const char* subtitle) {
    FileProgrammeEntry& entry = match.programme.entries[k];
    entry.sighters = sighters;
    entry.shots = shots;
    std::strncpy(entry.subtitle, subtitle, sizeof entry.subtitle - 1);
}

void FillScoredSeries(TraceImage& image, int seed, int pointsPerShot) {
    auto store = std::make_unique<TraceStore>();
    for (int shot = 0; shot < 10; ++shot) {
        Hold(*store, pointsPerShot);
        store->AppendShot((seed * 13 + shot * 29) % 181 - 90, (seed * 7 + shot * 41) % 163 - 81, shot % 3 == 2);
    }
    image = store->Image();
}

}  // namespace

FileDate FixedDate() { return FileDate{2024, 3, 9, 14, 5, 7}; }

std::unique_ptr<SeriesRecord> SampleSeries() {
    auto store = std::make_unique<TraceStore>();
    Hold(*store, 100);
    store->AppendShot(12, -40, 0);
    Hold(*store, 148);
    store->AppendShot(-7, 25, 1);
    store->AppendShot(0, 0, 1);
    auto record = std::make_unique<SeriesRecord>();
    record->Clear();
    record->targetId = 7;
    record->numberOfShots = store->ShotCount();
    record->store = store->Image();
    return record;
}

std::unique_ptr<MatchRecord> SampleMatch(int type) {
    auto match = std::make_unique<MatchRecord>();
    match->Clear();
    match->targetId = type == 0 ? 21 : 3;
    int stored = 0;
    if (type == 0) {
        std::strcpy(match->programme.title, "Air Rifle/Pistol 40 Shots");
        match->programme.seriesCount = 5;
        SetEntry(*match, 0, 1, 5, "");
        for (int k = 1; k < 5; ++k) SetEntry(*match, k, 0, 10, "");
        stored = 4;
    } else {
        std::strcpy(match->programme.title, "Rifle Half Match");
        match->programme.seriesCount = 9;
        const char* positions[] = {"Prone", "Standing", "Kneeling"};
        for (int p = 0; p < 3; ++p) {
            SetEntry(*match, p * 3, 1, 5, "");
            SetEntry(*match, p * 3 + 1, 0, 10, positions[p]);
            SetEntry(*match, p * 3 + 2, 0, 10, positions[p]);
        }
        stored = 6;
    }
    for (int k = 0; k < stored; ++k) FillScoredSeries(match->series[k], k + type, type == 0 ? 12 : 3);
    return match;
}

void ExpectSameImage(const TraceImage& expected, const TraceImage& actual) {
    ASSERT_EQ(expected.sampleCount, actual.sampleCount);
    ASSERT_EQ(expected.shotCount, actual.shotCount);
    EXPECT_EQ(std::memcmp(expected.samples, actual.samples, sizeof expected.samples), 0);
    for (int i = 0; i < kMaxShots; ++i) {
        const ShotRecord& e = expected.shots[i];
        const ShotRecord& a = actual.shots[i];
        EXPECT_TRUE(e.x == a.x && e.y == a.y && e.traceIndex == a.traceIndex && e.side == a.side)
            << "shot " << i << ": " << e.x << "," << e.y << "," << e.traceIndex << "," << e.side << " read as " << a.x
            << "," << a.y << "," << a.traceIndex << "," << a.side;
    }
    EXPECT_EQ(expected.timed, actual.timed);
    EXPECT_EQ(expected.drill, actual.drill);
    for (int i = 0; i < kMaxShots; ++i) EXPECT_EQ(expected.timing[i], actual.timing[i]) << "timing of shot " << i;
    for (int i = 0; i < kMaxShots; ++i) EXPECT_EQ(expected.calls[i], actual.calls[i]) << "call of shot " << i;
}

void ExpectSameSeries(const SeriesRecord& expected, const SeriesRecord& actual) {
    EXPECT_EQ(expected.targetId, actual.targetId);
    EXPECT_EQ(expected.numberOfShots, actual.numberOfShots);
    ExpectSameImage(expected.store, actual.store);
}

void ExpectSameMatch(const MatchRecord& expected, const MatchRecord& actual) {
    EXPECT_EQ(expected.targetId, actual.targetId);
    EXPECT_STREQ(expected.programme.title, actual.programme.title);
    ASSERT_EQ(expected.programme.seriesCount, actual.programme.seriesCount);
    for (int k = 0; k < kMaxProgrammeEntries; ++k) {
        const FileProgrammeEntry& e = expected.programme.entries[k];
        const FileProgrammeEntry& a = actual.programme.entries[k];
        EXPECT_TRUE(std::strcmp(e.subtitle, a.subtitle) == 0 && e.sighters == a.sighters && e.shots == a.shots) << "entry " << k;
    }
    for (int k = 0; k < kMaxMatchSeries; ++k) {
        SCOPED_TRACE(k);
        ExpectSameImage(expected.series[k], actual.series[k]);
    }
}

std::string ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

void WriteBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace zark::test
