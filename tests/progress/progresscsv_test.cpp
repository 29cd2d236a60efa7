#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <ctime>
#include <memory>

#include "progress/progresscsv.h"
#include "progress/progressfigures.h"
#include "progress/progressindex.h"
#include "progress/progresstestsupport.h"
#include "export/csvexport.h"
#include "storage/seriesfileio.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

QStringList ReadLines(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    EXPECT_EQ(lines.takeLast(), "");  // ends with a line end
    return lines;
}

// The release of every shot: its hold mean lies 3 units right and above it, 3√2 units on
// faces whose unit is 112 / 890 mm.
const QString kRelease = QStringLiteral("0.53");

TEST(ProgressCsv, OneLinePerSeriesByDateThenFileWithTheCsvExportsTotals) {
    QTemporaryDir dir;
    test::MakeTrainingFolder(dir.path());
    // a second series at the same moment as the match sorts by its file name
    test::WriteSeriesFile(QDir(dir.path()).filePath("2026/z.zas"), 1350, test::Day(2026, 11, 2), {});
    const QString out = QDir(dir.path()).filePath("progress.csv");
    ASSERT_EQ(RunProgressExport(dir.path(), out), 0);
    const QStringList lines = ReadLines(out);
    // every shot held in the ten (no luck) and none called
    const QString hold = "100.0,100.0,0.00," + kRelease + ",1.20,0.00,0.00,0.00,";
    EXPECT_EQ(lines, (QStringList{
                         kProgressCsvHeader,
                         "2026-10-30 09:00:00,c.ZAS,1,1200,Rifle 50 meter,3,30,10.00," + hold,
                         "2026-11-01 10:00:00,2026/a.zas,1,1200,Rifle 50 meter,3,30,10.00," + hold,
                         "2026-11-02 10:00:00,2026/z.zas,1,1350,Rifle 50 meter Finale,0,0.0,,,,,,,,,,",
                         "2026-11-02 10:00:00,club/m.zam,1,1200,Rifle 50 meter,2,20,10.00," + hold,
                         "2026-11-02 10:00:00,club/m.zam,2,1200,Rifle 50 meter,2,20,10.00," + hold,
                         "2026-11-03 10:00:00,2026/b.zas,1,1350,Rifle 50 meter Finale,2,21.8,10.90," + hold,
                     }));

    // The total is the one the CSV export writes on the series' total line.
    TargetCatalogue catalogue;
    catalogue.Build();
    QString csv, error;
    ASSERT_TRUE(ExportCsv(QDir(dir.path()).filePath("2026/b.zas"), catalogue, csv, error));
    EXPECT_TRUE(csv.contains(",total,,,,,,\"21.8\","));

    // A second run reads nothing again and writes the same.
    ASSERT_EQ(RunProgressExport(dir.path(), out), 0);
    EXPECT_EQ(ReadLines(out), lines);
}

// The series' luck and mean call error, as figures to chart: a lucky ten out of a wobble of nines
// (luck +1) and a shot held in the ten (0), the first called 8 units off (1 mm).
TEST(ProgressCsv, TheSeriesLuckAndMeanCallError) {
    QTemporaryDir dir;
    auto store = std::make_unique<TraceStore>();
    for (int k = 0; k < 30; ++k) store->AppendSample(k % 2 ? 100 : -100, 0);
    store->AppendShot(0, 20, 0);
    store->AppendSample(0, 0);  // a break: nothing after the shot counts
    for (int k = 0; k < 30; ++k) store->AppendSample(5, 5);
    store->AppendShot(4, 4, 0);
    store->SetCall(0, 0, 28);
    auto record = std::make_unique<SeriesRecord>();
    record->targetId = 1200;
    record->numberOfShots = 2;
    record->store = store->Image();
    ASSERT_TRUE(SeriesFileIo().WriteSeries(*record, dir.filePath("luck.zas")));
    const QString out = dir.filePath("progress.csv");
    ASSERT_EQ(RunProgressExport(dir.path(), out), 0);
    const QStringList lines = ReadLines(out);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].endsWith(",1.00,1.00")) << lines[1].toStdString();
}

TEST(ProgressCsv, AFolderOrOutputThatCannotBeUsedIsStatusOne) {
    QTemporaryDir dir;
    test::MakeTrainingFolder(dir.path());
    EXPECT_EQ(RunProgressExport(QDir(dir.path()).filePath("missing"), QDir(dir.path()).filePath("out.csv")), 1);
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath("out.csv")));
    // a folder in place of the output
    EXPECT_EQ(RunProgressExport(dir.path(), QDir(dir.path()).filePath("club")), 1);
    // an empty folder has a header and no series
    QTemporaryDir empty;
    const QString out = QDir(dir.path()).filePath("empty.csv");
    ASSERT_EQ(RunProgressExport(empty.path(), out), 0);
    EXPECT_EQ(ReadLines(out), QStringList{kProgressCsvHeader});
}

}  // namespace
}  // namespace zark

namespace zark {
namespace {

// A relative folder from the folder above it, under two time zones: every series is found, the
// unchanged rescan under the other zone reads no file again and gives the same lines and rows, as
// does an index made afresh under it; sighters and a file none of whose shot lines can be read are
// no rows (the latter named with its reason). A series shot in the hour New York's clocks skip in
// spring keeps the date it was written with (a local time would move it, or lose it).
TEST(ProgressCsv, ARelativeFolderUnderTwoTimeZonesGivesTheSameLinesWithoutSighters) {
    QTemporaryDir dir;
    const QString data = QDir(dir.path()).filePath("data");
    test::MakeTrainingFolder(data);
    auto sighters = std::make_unique<SeriesRecord>();
    sighters->targetId = 1200;
    sighters->sighters = 1;
    sighters->store.Clear();
    sighters->store.shotCount = 1;
    sighters->store.shots[0] = ShotRecord{5, 5, NoTrace, 0};
    ASSERT_TRUE(SeriesFileIo().WriteSeries(*sighters, QDir(data).filePath("sighters.zas")));
    test::WriteText(QDir(data).filePath("garbage.zas"), "[Header]\nTargetID=1200\n[Shots]\n1;2;3;L\n");
    test::WriteSeriesFile(QDir(data).filePath("spring.zas"), 1200, FileDate{2026, 3, 8, 2, 30, 0}, {{0, 0}});
    const QString previous = QDir::currentPath();
    const QByteArray zone = qgetenv("TZ");
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    struct Run {
        const char* tz;
        bool afresh;  // the index removed first
        QStringList lines;
        std::vector<ProgressRow> rows;
    } runs[] = {{"UTC", false, {}, {}}, {"America/New_York", false, {}, {}}, {"America/New_York", true, {}, {}}};
    for (Run& run : runs) {
        qputenv("TZ", run.tz);
        tzset();
        if (run.afresh) ASSERT_TRUE(QFile::remove(QDir("data").filePath(kProgressIndexName)));
        EXPECT_EQ(RunProgressExport("data", "out.csv"), 0);
        run.lines = ReadLines("out.csv");
        TargetCatalogue catalogue;
        catalogue.Build();
        ProgressIndex index("data", catalogue);
        const ScanReport report = index.Scan();
        EXPECT_EQ(report.unchanged, 9) << run.tz;
        run.rows = index.Rows();
        ASSERT_EQ(report.skipped.size(), 3u);
        EXPECT_TRUE(report.skipped[2].reason.contains("no shot line that can be read")) << report.skipped[2].reason.toStdString();
    }
    qputenv("TZ", zone);
    tzset();
    QDir::setCurrent(previous);
    ASSERT_EQ(runs[0].lines.size(), 7);  // the column titles and the six series
    EXPECT_TRUE(runs[0].lines[1].startsWith("2026-03-08 02:30:00,spring.zas,1,")) << runs[0].lines[1].toStdString();
    EXPECT_EQ(runs[0].rows.front().date.toString("yyyy-MM-dd HH:mm:ss"), "2026-03-08 02:30:00");
    for (const Run& run : runs) {
        EXPECT_EQ(run.lines, runs[0].lines) << run.tz << (run.afresh ? " afresh" : "");
        EXPECT_EQ(run.rows, runs[0].rows) << run.tz << (run.afresh ? " afresh" : "");
    }
    EXPECT_FALSE(runs[0].lines.join('\n').contains("sighters"));

    // a file name with a comma and quotes is one cell, in UTF-8
    test::WriteSeriesFile(QDir(data).filePath("Übung, \"kalt\".zas"), 1200, test::Day(2026, 11, 9), {});
    ASSERT_EQ(RunProgressExport(data, QDir(dir.path()).filePath("out.csv")), 0);
    EXPECT_TRUE(ReadLines(QDir(dir.path()).filePath("out.csv"))
                    .contains(QStringLiteral("2026-11-09 10:00:00,\"Übung, \"\"kalt\"\".zas\",1,1200,Rifle 50 meter,0,0,,,,,,,,,,")));
}

}  // namespace
}  // namespace zark
