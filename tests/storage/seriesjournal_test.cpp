// The journal of the series being shot and its recovery: what reaches the disk when (a shot at
// once, the trace a second at a time), the store given back exactly, a journal cut in the middle
// of a line, an empty journal, a match, a journal another process still writes, and a data
// directory that refuses the journal.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "core/tracestore.h"
#include "storage/filecommands.h"
#include "storage/seriesjournal.h"
#include "storagetest.h"
#include "support/testsupport.h"

namespace zark {
namespace {

constexpr FileDate kStart{2026, 12, 8, 4, 45, 0};
constexpr FileDate kShotTime{2026, 12, 8, 4, 46, 30};

JournalHeader RifleHeader() {
    JournalHeader header;
    header.targetId = 1200;
    header.targetName = "Rifle 50 meter";
    header.seriesShots = 10;
    header.started = kStart;
    return header;
}

struct JournalTest : ::testing::Test {
    JournalTest() {
        files.PrepareDataDirectory(dir.filePath("data"));
        folder = JournalFolder(files.SaveFolder());
    }
    std::string OnDisk(const SeriesJournal& journal) { return test::ReadBytes(journal.Path()); }
    std::unique_ptr<JournalContent> Read(const std::string& text) {
        auto content = std::make_unique<JournalContent>();
        ReadJournalText(text, *content);
        return content;
    }
    QStringList Journals() { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
    FileCommands files;
    QString folder;
    TraceStore store;
};

TEST_F(JournalTest, AShotReachesTheDiskAtOnceTheTraceASecondAtATimeAndReadsBackAsTheStore) {
    auto journal = std::make_unique<SeriesJournal>(folder);
    store.AppendSample(5, 7);
    journal->Begin(RifleHeader(), nullptr, 0, store.Image());
    journal->WaitIdle();
    EXPECT_TRUE(QFileInfo::exists(journal->Path() + ".lock"));

    // 24 more points: under a second of trace, still in memory.
    for (int i = 1; i < 25; ++i) {
        store.AppendSample(i, -i);
        journal->Follow(store.Image(), kShotTime);
    }
    journal->WaitIdle();
    EXPECT_EQ(Read(OnDisk(*journal))->live.sampleCount, 1);
    store.AppendSample(25, -25);  // the 25th since the header: a second is full
    journal->Follow(store.Image(), kShotTime);
    journal->WaitIdle();
    EXPECT_EQ(Read(OnDisk(*journal))->live.sampleCount, 26);

    // A shot is on the disk as soon as it is recorded, with the points before it.
    store.AppendSample(30, 30);
    store.AppendShot(31, 32, 1);
    journal->Follow(store.Image(), kShotTime);
    journal->WaitIdle();
    {
        const auto content = Read(OnDisk(*journal));
        EXPECT_EQ(content->droppedLines, 0);
        test::ExpectSameImage(store.Image(), content->live);
        EXPECT_EQ(content->lastShot, kShotTime);
    }
    // A gap, an unfired moving-target shot, and a point at x = 0 that is a real position.
    store.AppendSample(0, 0);
    store.AppendShot(0, 0, 0);
    store.AppendSample(0, 9);
    store.AppendShot(0, 10, 0);
    journal->Follow(store.Image(), kShotTime);
    journal->Flush();
    journal->WaitIdle();
    const auto content = Read(OnDisk(*journal));
    test::ExpectSameImage(store.Image(), content->live);
    EXPECT_EQ(content->header.targetName, "Rifle 50 meter");
    EXPECT_EQ(content->header.seriesShots, 10);
    EXPECT_EQ(content->header.started, kStart);
    EXPECT_FALSE(journal->HasFailure());

    // Discarded: the journal and its lock go.
    const QString path = journal->Path();
    journal->Discard();
    journal->WaitIdle();
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(QFileInfo::exists(path + ".lock"));
}

TEST_F(JournalTest, AFullTraceKeepsTheShotsFiredAfterIt) {
    for (int i = 0; i < kMaxSamples - 1; ++i) store.AppendSample(1 + i % 100, 2);
    store.AppendShot(40, 41, 0);  // the last point of the trace
    store.AppendShot(50, 51, 0);  // no room: recorded without a point of its own
    std::string text = JournalHeaderText(RifleHeader(), nullptr, 0);
    AppendImageLines(text, store.Image(), kShotTime);
    const auto content = Read(text);
    EXPECT_EQ(content->droppedLines, 0);
    test::ExpectSameImage(store.Image(), content->live);
}

TEST_F(JournalTest, AJournalCutInTheMiddleOfALineGivesBackEveryShotWrittenAndIsKeptAsBroken) {
    for (int i = 0; i < 30; ++i) store.AppendSample(100 + i, 200);
    store.AppendShot(77, 78, 0);
    for (int i = 0; i < 10; ++i) store.AppendSample(300 + i, 400);
    std::string text = JournalHeaderText(RifleHeader(), nullptr, 0);
    AppendImageLines(text, store.Image(), kShotTime);
    text += "S 12,34,0,2026120";  // the next shot's line, cut by the power going
    QDir().mkpath(folder);
    test::WriteBytes(folder + "/20261208-044500-77.journal", text);

    const RecoveryOutcome outcome = RecoverJournals(folder, files);
    ASSERT_EQ(outcome.files.size(), 1) << outcome.errors.join(";").toStdString();
    EXPECT_EQ(outcome.files[0], files.SaveFolder() + "/Rifle 50 meter-20261208-044630.ZAS");  // the last shot's time
    EXPECT_EQ(outcome.broken, QStringList{folder + "/20261208-044500-77.journal.broken"});
    EXPECT_TRUE(QFileInfo::exists(outcome.broken[0]));
    EXPECT_NE(test::LogText().find("1 line(s) could not be read"), std::string::npos);
    auto recovered = std::make_unique<SeriesRecord>();
    ASSERT_TRUE(files.Io().ReadSeries(outcome.files[0], *recovered));
    test::ExpectSameImage(store.Image(), recovered->store);
    EXPECT_EQ(recovered->targetId, 1200);
    EXPECT_EQ(recovered->date, kShotTime);

    // Cut inside a line of points: those of the line are left out, the shot before stays; the
    // same second gets "-2".
    std::string points = JournalHeaderText(RifleHeader(), nullptr, 0);
    AppendImageLines(points, store.Image(), kShotTime);
    points.resize(points.size() - 3);
    test::WriteBytes(folder + "/b.journal", points);
    const RecoveryOutcome second = RecoverJournals(folder, files);
    ASSERT_EQ(second.files.size(), 1);
    EXPECT_TRUE(second.files[0].endsWith("-20261208-044630-2.ZAS"));
    ASSERT_TRUE(files.Io().ReadSeries(second.files[0], *recovered));
    EXPECT_EQ(recovered->store.shotCount, 1);
    EXPECT_EQ(recovered->store.sampleCount, 31);  // the last line (10 points) was cut
}

TEST_F(JournalTest, AnEmptyJournalOrOneWithoutAFiredShotLeavesNoFileAndGoes) {
    QDir().mkpath(folder);
    test::WriteBytes(folder + "/empty.journal", "");
    std::string trace = JournalHeaderText(RifleHeader(), nullptr, 0);
    store.AppendSample(1, 1);
    store.AppendShot(0, 0, 0);  // an unfired shot only
    AppendImageLines(trace, store.Image(), kShotTime);
    test::WriteBytes(folder + "/trace.journal", trace);
    const RecoveryOutcome outcome = RecoverJournals(folder, files);
    EXPECT_TRUE(outcome.files.isEmpty());
    EXPECT_TRUE(outcome.broken.isEmpty());
    EXPECT_TRUE(outcome.errors.isEmpty());
    EXPECT_TRUE(Journals().isEmpty());
    EXPECT_EQ(QDir(files.SaveFolder()).entryList({"*.ZAS", "*.ZAM"}).size(), 0);
}

TEST_F(JournalTest, AMatchComesBackWithItsStoredSeriesAndTheInterruptedOne) {
    JournalHeader header = RifleHeader();
    header.match = true;
    CopyProgrammeText(header.programme.title, "Club\nnight");
    AppendMatchEntry(header.programme, 1, 5, "Sighters");
    AppendMatchEntry(header.programme, 0, 4, "Prone");
    AppendMatchEntry(header.programme, 0, 4, "Standing");
    header.currentEntry = 2;
    EXPECT_EQ(StoredSeriesIndex(header.programme, 0), -1);
    EXPECT_EQ(StoredSeriesIndex(header.programme, 2), 1);
    auto stored = std::make_unique<TraceImage[]>(kMaxShots);
    for (int j = 0; j < kMaxShots; ++j) stored[j].Clear();
    stored[0] = test::SampleSeries()->store;

    auto journal = std::make_unique<SeriesJournal>(folder);
    journal->Begin(header, stored.get(), kMaxShots, store.Image());
    store.AppendSample(3, 4);
    store.AppendShot(5, 6, 0);
    journal->Follow(store.Image(), kShotTime);
    const QString path = journal->Path();
    journal.reset();  // ends as a crash would leave it: the file stays
    ASSERT_TRUE(QFileInfo::exists(path));

    const RecoveryOutcome outcome = RecoverJournals(folder, files);
    ASSERT_EQ(outcome.files.size(), 1) << outcome.errors.join(";").toStdString();
    EXPECT_TRUE(outcome.files[0].endsWith("/Rifle 50 meter-20261208-044630.ZAM"));
    EXPECT_TRUE(Journals().isEmpty());
    auto match = std::make_unique<MatchRecord>();
    ASSERT_TRUE(files.Io().ReadMatch(outcome.files[0], *match));
    EXPECT_STREQ(match->programme.title, "Club night");
    EXPECT_EQ(match->programme.seriesCount, 3);
    EXPECT_STREQ(match->programme.entries[2].subtitle, "Standing");
    test::ExpectSameImage(stored[0], match->series[0]);
    test::ExpectSameImage(store.Image(), match->series[1]);

    // A match interrupted in its sighters: the match and, beside it, the sighters.
    header.currentEntry = 0;
    journal = std::make_unique<SeriesJournal>(folder);
    journal->Begin(header, stored.get(), kMaxShots, store.Image());
    journal.reset();
    const RecoveryOutcome sighters = RecoverJournals(folder, files);
    ASSERT_EQ(sighters.files.size(), 2);
    EXPECT_TRUE(sighters.files[0].endsWith(".ZAM"));
    EXPECT_TRUE(sighters.files[1].endsWith(".ZAS"));
}

// A timed series keeps its drill and each shot's standing through the journal (the real program's
// rapid-fire run recovers one); values a hand-edited journal carries out of the drill's range are
// brought within it, and a shot's timing without a drill is no line at all.
TEST_F(JournalTest, ATimedSeriesComesBackWithItsDrillAndEachShotsStanding) {
    store.StartTiming(TimedDrill{7000, 3000, 7000, 1, 5, 1});
    for (const TimedShot& standing : {TimedShot{-1, 0, 1}, TimedShot{0, 1240, 0, 1, 0}, TimedShot{1, 3000, 1, 0, 1}}) {
        store.AppendSample(10, 20);
        store.AppendShot(40, 41, 0);
        store.SetShotTiming(store.ShotCount() - 1, standing);
    }
    std::string text = JournalHeaderText(RifleHeader(), nullptr, 0);
    AppendImageLines(text, store.Image(), kShotTime);
    EXPECT_EQ(Read(text)->droppedLines, 0);
    test::ExpectSameImage(store.Image(), Read(text)->live);

    text = JournalHeaderText(RifleHeader(), nullptr, 0);
    text += "P 1,1\nS 2,2,0,20261208-044630\nT 0,100,0\nD 7000,3000,7000,1,5,7\nS 3,3,0,20261208-044630\nT 9,500,4\n";
    const auto edited = Read(text);
    EXPECT_EQ(edited->droppedLines, 1) << "a shot's timing before the drill";
    EXPECT_EQ(edited->live.drill, (TimedDrill{7000, 3000, 7000, 1, 5, 1}));
    EXPECT_EQ(edited->live.timing[0], TimedShot{});
    EXPECT_EQ(edited->live.timing[1], (TimedShot{4, 500, 1}));
}

TEST_F(JournalTest, ADataDirectoryThatRefusesTheJournalIsReportedAndTheShootingGoesOn) {
    QDir().mkpath(files.SaveFolder());
    test::RefusingFolder refusing(files.SaveFolder().toStdString());
    SeriesJournal journal(folder);
    store.AppendSample(1, 2);
    journal.Begin(RifleHeader(), nullptr, 0, store.Image());
    store.AppendShot(3, 4, 0);
    journal.Follow(store.Image(), kShotTime);
    journal.WaitIdle();
    EXPECT_TRUE(journal.HasFailure());
    EXPECT_FALSE(journal.TakeFailure().isEmpty());
    EXPECT_FALSE(journal.HasFailure());
    EXPECT_EQ(journal.FollowedShots(), 1);
}

// The child's part of the two-process test: writes a journal with a shot, says so, and waits to
// be killed.
TEST(JournalChild, HoldsAJournalUntilKilled) {
    const QString folder = qEnvironmentVariable("ZARK_JOURNAL_CHILD");
    if (folder.isEmpty()) GTEST_SKIP() << "run by JournalTest.AJournalInUseByAnotherProcessIsLeftAlone";
    TraceStore store;
    store.AppendSample(8, 9);
    store.AppendShot(10, 11, 0);
    SeriesJournal journal(folder);
    journal.Begin(RifleHeader(), nullptr, 0, store.Image());
    journal.WaitIdle();
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

TEST_F(JournalTest, AJournalInUseByAnotherProcessIsLeftAlone) {
    if (qEnvironmentVariableIsSet("ZARK_JOURNAL_CHILD")) GTEST_SKIP() << "a child run";
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ZARK_JOURNAL_CHILD", folder);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=JournalChild.*"});
    ASSERT_TRUE(child.waitForStarted(30000));
    while (!child.readAllStandardOutput().contains("ready") && child.state() == QProcess::Running)
        child.waitForReadyRead(30000);
    ASSERT_EQ(child.state(), QProcess::Running);

    // Two programs at once: the live journal is neither recovered nor removed.
    const RecoveryOutcome live = RecoverJournals(folder, files);
    EXPECT_TRUE(live.files.isEmpty());
    EXPECT_EQ(QDir(folder).entryList({"*.journal"}, QDir::Files).size(), 1);

    child.kill();
    child.waitForFinished(30000);
    const RecoveryOutcome after = RecoverJournals(folder, files);
    ASSERT_EQ(after.files.size(), 1);
    EXPECT_TRUE(Journals().isEmpty());
}

}  // namespace
}  // namespace zark
