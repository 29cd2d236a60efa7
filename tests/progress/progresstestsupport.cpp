#include "progress/progresstestsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <memory>

#include "storage/matchrecord.h"
#include "storage/seriesfileio.h"

namespace zark::test {
namespace {

FileDate writtenDate;
FileDate WrittenDate() { return writtenDate; }

void Shoot(TraceStore& store, const std::vector<QPoint>& shots) {
    for (const QPoint& shot : shots) {
        for (int k = 0; k < 30; ++k) store.AppendSample(shot.x() + 3, shot.y() + 3);
        store.AppendShot(shot.x(), shot.y(), 0);
    }
}

SeriesFileIo DatedIo(const FileDate& date) {
    writtenDate = date;
    SeriesFileIo io;
    io.SetClock(&WrittenDate);
    return io;
}

void MakeFolderOf(const QString& path) { ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath())); }

}  // namespace

FileDate Day(int year, int month, int day, int hour) {
    return FileDate{std::int16_t(year), std::int16_t(month), std::int16_t(day), std::int16_t(hour), 0, 0};
}

void WriteSeriesFile(const QString& path, int targetId, const FileDate& date, const std::vector<QPoint>& shots) {
    MakeFolderOf(path);
    auto store = std::make_unique<TraceStore>();
    Shoot(*store, shots);
    auto record = std::make_unique<SeriesRecord>();
    record->targetId = targetId;
    record->numberOfShots = int(shots.size());
    record->store = store->Image();
    ASSERT_TRUE(DatedIo(date).WriteSeries(*record, path));
}

void WriteMatchFile(const QString& path, int targetId, const FileDate& date,
                    const std::vector<std::vector<QPoint>>& series) {
    MakeFolderOf(path);
    auto record = std::make_unique<MatchRecord>();
    record->targetId = targetId;
    std::strcpy(record->programme.title, "Club evening");
    record->programme.seriesCount = int(series.size()) + 1;
    record->programme.entries[0].sighters = 1;
    record->programme.entries[0].shots = 5;
    auto store = std::make_unique<TraceStore>();
    for (std::size_t k = 0; k < series.size(); ++k) {
        record->programme.entries[k + 1].shots = int(series[k].size());
        store->Clear();
        Shoot(*store, series[k]);
        record->series[k] = store->Image();
    }
    ASSERT_TRUE(DatedIo(date).WriteMatch(*record, path));
}

void WriteText(const QString& path, const QByteArray& bytes) {
    MakeFolderOf(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void MakeTrainingFolder(const QString& folder) {
    const QDir dir(folder);
    const std::vector<QPoint> centre3{{1, 1}, {1, 1}, {1, 1}};
    WriteSeriesFile(dir.filePath("c.ZAS"), 1200, Day(2026, 10, 30, 9), centre3);
    WriteSeriesFile(dir.filePath("2026/a.zas"), 1200, Day(2026, 11, 1), centre3);
    WriteMatchFile(dir.filePath("club/m.zam"), 1200, Day(2026, 11, 2), {{{1, 1}, {1, 1}}, {{1, 1}, {1, 1}}});
    WriteSeriesFile(dir.filePath("2026/b.zas"), 1350, Day(2026, 11, 3), {{1, 1}, {1, 1}});
    WriteText(dir.filePath("broken.zas"), "this is no series\n");
    auto alien = std::make_unique<SeriesRecord>();
    alien->targetId = 7777;
    ASSERT_TRUE(DatedIo(Day(2026, 11, 4)).WriteSeries(*alien, dir.filePath("club/alien.zas")));
    WriteText(dir.filePath("notes.txt"), "shoot more\n");
}

}  // namespace zark::test
