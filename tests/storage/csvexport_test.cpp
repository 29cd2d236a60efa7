#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include "export/csvexport.h"
#include "storage/matchrecord.h"
#include "storage/seriesfileio.h"
#include "targets/targetcatalogue.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#include "support/testsupport.h"

namespace zark {
namespace {

// The shot list's columns of a line, without the analysis columns after them.
QString Head(const QString& line) { return line.section(',', 0, 9); }
const QString kHeader = QStringLiteral("series,shot,x,y,trace_index,side,score,score_text,direction,time,") +
                        kCsvAnalysisColumns + QStringLiteral(",window,time_in_window_s,late");

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
    QString WriteFile(const QString& name, const std::string& text) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(test::WriteFile(path.toStdString(), text));
        return path;
    }
    // Points up to the shot, then the shot, as a live series records them.
    static void Shoot(TraceStore& store, int x, int y, int atIndex) {
        while (store.SampleCount() < atIndex) store.AppendSample(x + 40, y + 40);
        store.AppendShot(x, y, 0);
    }
    TargetCatalogue catalogue;
    QTemporaryDir dir;
};

// The expected lines are written out: scores, texts, clock hours and times as the shot list
// shows them on these faces.
TEST_F(CsvExport, SeriesFileGivesOneLinePerShotAndItsTotal) {
    auto series = std::make_unique<SeriesRecord>();
    series->Clear();
    series->targetId = 1350;  // 50 m rifle finale: decimal scores
    TraceStore store;
    Shoot(store, 0, 100, 10);
    Shoot(store, 60, -45, 1885);  // 75,400 ms after the start
    series->store = store.Image();
    series->numberOfShots = 2;
    const QString path = dir.filePath("finale.zas");
    ASSERT_TRUE(SeriesFileIo().WriteSeries(*series, path));

    const QStringList lines = Export(path);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], kHeader);
    EXPECT_EQ(Head(lines[1]), "1,1,0,100,10,L,9.4,\"9.4\",12,0.00");  // 10 × (128 − 100) / 64
    EXPECT_EQ(Head(lines[2]), "1,2,60,-45,1885,L,9.8,\"9.8\",4,1.15");  // 10 × (128 − 75) / 64
    EXPECT_EQ(Head(lines[3]), "1,total,,,,,,\"19.2\",,");
}

// The analysis columns on the air rifle face, a unit 0.1 mm: a still hold in the ten, then one in
// the nine with the shot pulled 5 mm below the hold mean; the group of the two shots on the total line.
TEST_F(CsvExport, AnalysisColumnsOfAStoredSeries) {
    auto series = std::make_unique<SeriesRecord>();
    series->Clear();
    series->targetId = 1250;
    TraceStore store;
    for (int i = 0; i < 30; ++i) store.AppendSample(10, 0);
    store.AppendShot(10, 0, 0);
    for (int i = 0; i < 25; ++i) store.AppendSample(0, 30);
    store.AppendShot(0, -20, 0);
    series->store = store.Image();
    series->numberOfShots = 2;
    const QString path = dir.filePath("air.zas");
    ASSERT_TRUE(SeriesFileIo().WriteSeries(*series, path));

    const QStringList lines = Export(path);
    ASSERT_EQ(lines.size(), 4);
    // The phases: each stretch starts on the face, so neither approach nor settling was seen; the
    // still aim is held from its second point to the release's two steps. The first shot is
    // followed through for a second 3.16 mm away (hypot(10, 30) units); the second breaks 5 mm
    // low (jerked: more than 1.5 x the ten's 2.5 mm) at the end of the trace.
    EXPECT_EQ(lines[1], "1,1,10,0,30,L,10.0,\"10\",3,0.01,100.0,100.0,0.00,1.00,0.00,0.00,1.20,25,,,,,,,,"
                        ",,,1.16,0.08,1.08,0.00,0.00,0.00,1.00,3.16,clean,,,");
    EXPECT_EQ(lines[2], "1,2,0,-20,56,L,10.0,\"10\",6,0.02,0.0,100.0,0.00,0.00,3.00,5.00,1.00,25,,,,,,,,"
                        ",,,0.96,0.08,0.88,0.00,0.00,5.00,,,jerked release,,,");
    // mean point of impact (0.5, -1) mm at five o'clock; spread sqrt 5, radius sqrt 1.25 each;
    // the means of the phases
    EXPECT_EQ(lines[3], "1,total,,,,,,\"20\",,,,,,,,,,,0.50,-1.00,5,1.12,2.24,1.12,0.71,1.41"
                        ",,,,,0.98,0.00,0.00,2.50,,3.16,,,,");
    for (const QString& line : lines) EXPECT_EQ(line.count(','), kHeader.count(',')) << line.toStdString();
}

// A series shot against the clock: the late shot keeps its real score in the score column and
// counts 0 in the total; the shot before the first window has no window and no time.
TEST_F(CsvExport, TimedSeriesGivesEachShotsWindowTimeAndLateness) {
    auto series = std::make_unique<SeriesRecord>();
    series->Clear();
    series->targetId = 1350;
    TraceStore store;
    Shoot(store, 0, 100, 10);
    Shoot(store, 60, -45, 1885);
    Shoot(store, 0, 100, 1890);
    store.StartTiming(TimedDrill{7000, 8000, 7000, 5, 2, 0});
    store.SetShotTiming(0, TimedShot{-1, 0, 1});
    store.SetShotTiming(1, TimedShot{0, 1230, 0});
    store.SetShotTiming(2, TimedShot{1, 8040, 1});
    series->store = store.Image();
    series->numberOfShots = 3;
    const QString path = dir.filePath("rapid.zas");
    ASSERT_TRUE(SeriesFileIo().WriteSeries(*series, path));

    const QStringList lines = Export(path);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(Head(lines[1]), "1,1,0,100,10,L,9.4,\"9.4\",12,0.00");
    EXPECT_TRUE(lines[1].endsWith(",,,1")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].endsWith(",1,1.23,0")) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].endsWith(",2,8.04,1")) << lines[3].toStdString();
    EXPECT_EQ(Head(lines[4]), "1,total,,,,,,\"9.8\",,");
    EXPECT_TRUE(lines[4].endsWith(",,,"));
    for (const QString& line : lines) EXPECT_EQ(line.count(','), kHeader.count(',')) << line.toStdString();
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
    EXPECT_EQ(Head(lines[1]), "1,1,5,5,3,L,5.1,\" 5'\",2,0.00");
    EXPECT_EQ(Head(lines[2]), "1,2,0,0,,R,0.0,\" 0\",,0.00");
    EXPECT_EQ(Head(lines[3]), "1,total,,,,,,\" 5\",,");
    EXPECT_EQ(Head(lines[4]), "2,1,-8,12,2,L,5.1,\" 5'\",11,0.00");
    EXPECT_EQ(Head(lines[5]), "2,total,,,,,,\" 5\",,");
}

// A shot fired after the trace was full has no trace point of its own, but a position: it is
// scored from it, at the time of the last point; only (0, 0) is an unfired shot.
TEST_F(CsvExport, AShotWithoutTracePointButWithAPositionIsScored) {
    auto series = std::make_unique<SeriesRecord>();
    series->Clear();
    series->targetId = 2050;
    TraceStore store;
    while (store.SampleCount() < kMaxSamples) store.AppendSample(300, 300);
    store.AppendShot(120, -80, 1);
    store.AppendShot(0, 0, 0);
    series->store = store.Image();
    series->numberOfShots = 2;
    const QString path = dir.filePath("full.zas");
    ASSERT_TRUE(SeriesFileIo().WriteSeries(*series, path));
    QStringList lines = Export(path);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(Head(lines[1]), "1,1,120,-80,,R,3.0,\" 3\",4,14.59");
    EXPECT_EQ(Head(lines[2]), "1,2,0,0,,L,0.0,\" 0\",,0.00");
    EXPECT_EQ(Head(lines[3]), "1,total,,,,,,\" 3\",,");

    // the same shot as a file names it by hand: trace index 9999
    lines = Export(WriteFile("hand.zas", "[Header]\nTargetID=2050\nNumberOfShots=1\n\n[Shots]\n5,5,9999,R\n\n"
                                         "[Serie]\n9,9\n7,7\n"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(Head(lines[1]), "1,1,5,5,,R,5.1,\" 5'\",2,0.00");
    EXPECT_EQ(Head(lines[2]), "1,total,,,,,,\" 5\",,");
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

// Files from other programs and editors: a byte-order mark is accepted; a shot or trace line that
// cannot be read, or holds a coordinate beyond 16 bits, is left out and named with its line
// (never wrapped into another number); a file none of whose shot lines can be read is refused;
// sighters keep the header line that says so.
TEST_F(CsvExport, ForeignFilesLoseOnlyTheLinesThatCannotBeReadAndNameThem) {
    const QString odd = WriteFile("odd.zas", "\xEF\xBB\xBF[Header]\nTargetID=1200\nNumberOfShots=3\n\n[Shots]\n"
                                             "12,-40,1,L\n99999,5,2,L\n1;2;3;L\n\n[Serie]\n5,5\n12,-40\n70000,1\n1;1\n");
    QString csv, error;
    ASSERT_TRUE(ExportCsv(odd, catalogue, csv, error)) << error.toStdString();
    const QStringList lines = csv.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);  // the column titles, one shot, the total
    EXPECT_TRUE(lines[1].startsWith("1,1,12,-40,1,L,")) << lines[1].toStdString();
    const std::string log = test::LogText();
    for (const char* named : {"odd.zas:7: the shot line \"99999,5,2,L\"", "odd.zas:8: the shot line \"1;2;3;L\"",
                              "odd.zas:13: the trace line \"70000,1\"", "odd.zas:14: the trace line"})
        EXPECT_NE(log.find(named), std::string::npos) << named;
    EXPECT_EQ(log.find("odd.zas:4:"), std::string::npos) << "an empty line is no refused line";

    const QString garbage = WriteFile("garbage.zas", "[Header]\nTargetID=1200\n[Shots]\n1;2;3;L\n4;5;6;R\n");
    EXPECT_FALSE(ExportCsv(garbage, catalogue, csv, error));
    EXPECT_TRUE(error.contains("no shot line that can be read")) << error.toStdString();

    auto sighters = std::make_unique<SeriesRecord>();
    ASSERT_TRUE(SeriesFileIo().ReadSeries(odd, *sighters));
    EXPECT_EQ(sighters->sighters, 0);
    sighters->sighters = 1;
    const QString path = dir.filePath("sighters.zas");
    ASSERT_TRUE(SeriesFileIo().WriteSeries(*sighters, path));
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("\nFlags=00000000\nSighters=1\n"));
    ASSERT_TRUE(SeriesFileIo().ReadSeries(path, *sighters));
    EXPECT_EQ(sighters->sighters, 1);
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
    const QString out = WriteFile("out.csv", "an older export\n");
    ASSERT_EQ(RunCsvExport(path, out), 0);
    QFile written(out);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), (kHeader + "\n"
                                 "1,1,1,1,5,L,10.1,\"10'\",2,0.00,100.0,100.0,0.00,5.12,5.12,7.07,0.20,5,,,,,,,,"
                                 ",,,0.16,0.08,0.08,0.00,0.00,7.07,,,clean,,,\n"
                                 "1,total,,,,,,\"10\",,,,,,,,,,,0.12,0.12,2,0.18,0.00,0.00,0.00,0.00"
                                 ",,,,,0.08,0.00,0.00,7.07,,,,,,\n").toStdString());

    // a folder cannot be written: exit status 1, the folder stays
    EXPECT_EQ(RunCsvExport(path, dir.path()), 1);
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}

#ifdef Q_OS_UNIX
// A named pipe is written to, not replaced by a regular file: its reader gets the text.
TEST_F(CsvExport, ANamedPipeAsOutputIsWrittenToNotReplaced) {
    auto series = std::make_unique<SeriesRecord>();
    series->Clear();
    series->targetId = 1200;
    TraceStore store;
    Shoot(store, 120, -80, 5);
    series->store = store.Image();
    const QString path = dir.filePath("rifle.zas");
    ASSERT_TRUE(SeriesFileIo().WriteSeries(*series, path));
    const QByteArray pipe = QFile::encodeName(dir.filePath("pipe"));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);

    std::string received;
    std::thread reader([&] {
        std::ifstream in(pipe.constData(), std::ios::binary);  // opens once the writer does
        received.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    });
    // a second name for the pipe, so the reader can be released even when the pipe's name was
    // taken by a regular file
    const QByteArray same = pipe + "-link";
    ASSERT_EQ(::link(pipe.constData(), same.constData()), 0);
    const int status = RunCsvExport(path, QFile::decodeName(pipe));
    if (const int release = ::open(same.constData(), O_WRONLY | O_NONBLOCK); release >= 0) ::close(release);
    reader.join();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(received, (kHeader + "\n").toStdString() +
                            "1,1,120,-80,5,L,8.0,\" 8\",4,0.00,0.0,0.0,0.00,20.00,-5.00,7.07,0.20,5,,,,,,,,"
                            ",,,0.16,0.08,0.08,0.00,0.00,7.07,,,clean,,,\n"
                            "1,total,,,,,,\" 8\",,,,,,,,,,,15.00,-10.00,4,18.03,0.00,0.00,0.00,0.00"
                            ",,,,,0.08,0.00,0.00,7.07,,,,,,\n");
    struct stat info {};
    ASSERT_EQ(::stat(pipe.constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}
#endif

}  // namespace
}  // namespace zark
