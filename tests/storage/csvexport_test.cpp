#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "storage/csvexport.h"
#include "storage/matchrecord.h"
#include "storage/seriesfileio.h"
#include "targets/scoretext.h"
#include "targets/targetcatalogue.h"
#include "targets/targetdescriptor.h"
#include "support/testsupport.h"

namespace zark {
namespace {

class CsvExport : public ::testing::Test {
protected:
    void SetUp() override { catalogue.Build(); }
    QStringList Export(const QString& path) {
        QString csv, error;
        EXPECT_TRUE(ExportCsv(path, catalogue, csv, error)) << error.toStdString();
        QStringList lines = csv.split('\n');
        EXPECT_EQ(lines.takeLast(), "");  // ends with a line end
        return lines;
    }
    const TargetDescriptor& Face(int identity) {
        TargetPair pair;
        catalogue.FindByIdentity(identity, pair);
        return *pair.first;
    }
    // Points up to the shot, then the shot, as a live series records them.
    static void Shoot(TraceStore& store, int x, int y, int atIndex) {
        while (store.SampleCount() < atIndex) store.AppendSample(x + 40, y + 40);
        store.AppendShot(x, y, 0);
    }
    TargetCatalogue catalogue;
    QTemporaryDir dir;
};

TEST_F(CsvExport, SeriesFileGivesOneLinePerShotAndItsTotal) {
    auto series = std::make_unique<SeriesRecord>();
    series->Clear();
    series->targetId = 1350;  // 50 m rifle finale: decimal scores
    TraceStore store;
    Shoot(store, 0, 100, 10);
    Shoot(store, 30, -20, 1885);  // 75,400 ms after the start
    series->store = store.Image();
    series->numberOfShots = 2;
    const QString path = dir.filePath("finale.zas");
    ASSERT_TRUE(SeriesFileIo().WriteSeries(*series, path));

    const QStringList lines = Export(path);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "series,shot,x,y,trace_index,side,score,score_text,direction,time");
    const TargetDescriptor& face = Face(1350);
    const double first = face.ScoreShot(0, 100);
    const double second = face.ScoreShot(30, -20);
    EXPECT_EQ(lines[1], QString::asprintf("1,1,0,100,10,L,%.1f,\"%s\",12,0.00", first, ScoreText(face, first).c_str()));
    EXPECT_EQ(lines[2],
              QString::asprintf("1,2,30,-20,1885,L,%.1f,\"%s\",4,1.15", second, ScoreText(face, second).c_str()));
    EXPECT_EQ(lines[3], QString::asprintf("1,total,,,,,,\"%s\",,", TotalText(face, first + second).c_str()));
}

TEST_F(CsvExport, MatchFileNumbersItsScoredSeriesAndKeepsUnfiredShots) {
    auto match = std::make_unique<MatchRecord>();
    match->Clear();
    match->targetId = 2050;  // moose, two faces
    match->programme.seriesCount = 3;
    match->programme.entries[0] = {{}, 1, 3};
    match->programme.entries[1] = {{}, 0, 2};
    match->programme.entries[2] = {{}, 0, 1};
    TraceStore store;
    Shoot(store, 5, 5, 3);
    store.AppendShot(0, 0, 1);  // an unfired shot of a run, on the right face
    match->series[0] = store.Image();
    store.Clear();
    Shoot(store, -8, 12, 2);
    match->series[1] = store.Image();
    const QString path = dir.filePath("moose.ZAM");
    ASSERT_TRUE(SeriesFileIo().WriteMatch(*match, path));

    const QStringList lines = Export(path);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[1].startsWith("1,1,5,5,3,L,"));
    const TargetDescriptor& right = Face(2051);
    EXPECT_EQ(lines[2], QString("1,2,0,0,,R,0.0,\"%1\",,0.00").arg(QString::fromStdString(ScoreText(right, 0))));
    EXPECT_TRUE(lines[3].startsWith("1,total,,,,,,\""));
    EXPECT_TRUE(lines[4].startsWith("2,1,-8,12,2,L,"));
    EXPECT_TRUE(lines[5].startsWith("2,total,"));
}

TEST_F(CsvExport, UnreadableFilesAndUnknownTargetsAreRefused) {
    test::MessageCapture capture;  // the catalogue reports an unknown identity in a box
    auto series = std::make_unique<SeriesRecord>();
    series->Clear();
    series->targetId = 4242;
    const QString path = dir.filePath("odd.zas");
    ASSERT_TRUE(SeriesFileIo().WriteSeries(*series, path));
    QString csv, error;
    EXPECT_FALSE(ExportCsv(path, catalogue, csv, error));
    EXPECT_TRUE(error.contains("unknown target"));
    EXPECT_FALSE(ExportCsv(dir.filePath("missing.zas"), catalogue, csv, error));
    EXPECT_FALSE(error.isEmpty());

    EXPECT_EQ(RunCsvExport(dir.filePath("missing.zas"), dir.filePath("out.csv")), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("out.csv")));
}

TEST_F(CsvExport, WritesTheFileNamedAsOutput) {
    auto series = std::make_unique<SeriesRecord>();
    series->Clear();
    series->targetId = 1200;
    TraceStore store;
    Shoot(store, 1, 1, 5);
    series->store = store.Image();
    const QString path = dir.filePath("rifle.zas");
    ASSERT_TRUE(SeriesFileIo().WriteSeries(*series, path));
    ASSERT_EQ(RunCsvExport(path, dir.filePath("out.csv")), 0);
    QFile out(dir.filePath("out.csv"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().count('\n'), 3);
}

}  // namespace
}  // namespace zark
