#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "progress/progressfigures.h"
#include "progress/progressindex.h"
#include "progress/progresstestsupport.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

// A row as the test compares it: file, series, date, face, shots, total.
std::string Brief(const ProgressRow& row) {
    return QStringLiteral("%1 #%2 %3 face %4: %5 shots, %6")
        .arg(row.file)
        .arg(row.series)
        .arg(row.date.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
        .arg(row.faceId)
        .arg(row.shots)
        .arg(row.total, 0, 'f', 1)
        .toStdString();
}

std::vector<std::string> Briefs(const std::vector<ProgressRow>& rows) {
    std::vector<std::string> briefs;
    for (const ProgressRow& row : rows) briefs.push_back(Brief(row));
    return briefs;
}

std::vector<std::string> SkippedNames(const ScanReport& report) {
    std::vector<std::string> names;
    for (const SkippedFile& file : report.skipped) names.push_back(file.file.toStdString());
    return names;
}

class ProgressIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        catalogue.Build();
        test::MakeTrainingFolder(dir.path());
    }
    QString Path(const char* name) const { return QDir(dir.path()).filePath(QLatin1String(name)); }
    ScanReport Scan(std::vector<ProgressRow>* rows = nullptr) {
        ProgressIndex index(dir.path(), catalogue);
        index.SetReaders(3);
        ScanReport report = index.Scan();
        EXPECT_TRUE(report.ok) << report.error.toStdString();
        EXPECT_TRUE(report.error.isEmpty()) << report.error.toStdString();
        if (rows) *rows = index.Rows();
        return report;
    }
    TargetCatalogue catalogue;
    QTemporaryDir dir;
};

const std::vector<std::string> kFirstRows{
    "c.ZAS #1 2026-10-30 09:00 face 1200: 3 shots, 30.0",  "2026/a.zas #1 2026-11-01 10:00 face 1200: 3 shots, 30.0",
    "club/m.zam #1 2026-11-02 10:00 face 1200: 2 shots, 20.0", "club/m.zam #2 2026-11-02 10:00 face 1200: 2 shots, 20.0",
    "2026/b.zas #1 2026-11-03 10:00 face 1350: 2 shots, 21.8"};

// Three scans of one folder: from nothing, with nothing changed (and a file whose bytes changed
// behind the index's back, which proves unchanged files are not opened), and after a rename, a
// change and a deletion.
TEST_F(ProgressIndexTest, ScansKeepTheIndexInStepWithTheFolder) {
    std::vector<ProgressRow> rows;
    ScanReport report = Scan(&rows);
    EXPECT_EQ(Briefs(rows), kFirstRows);
    EXPECT_EQ(report.files, 6);
    EXPECT_EQ(report.read, 6);
    EXPECT_EQ(report.unchanged, 0);
    EXPECT_FALSE(report.rebuilt);
    EXPECT_FALSE(report.inMemory);
    EXPECT_TRUE(QFileInfo::exists(Path(kProgressIndexName)));
    ASSERT_EQ(SkippedNames(report), (std::vector<std::string>{"broken.zas", "club/alien.zas"}));
    EXPECT_EQ(report.skipped[0].reason, "the series file 'broken.zas' names an unknown target (0)");
    EXPECT_EQ(report.skipped[1].reason, "the series file 'club/alien.zas' names an unknown target (7777)");

    // The figures of a series: every aim point of the last second in the ten, a steady hold, one hole.
    const ProgressRow& a = rows[1];
    ASSERT_TRUE(a.hasHold && a.hasGroup);
    EXPECT_DOUBLE_EQ(a.inTopPct, 100);
    EXPECT_DOUBLE_EQ(a.inNextPct, 100);
    EXPECT_DOUBLE_EQ(a.traceMm, 0);
    EXPECT_GT(a.releaseMm, 0);
    EXPECT_NEAR(a.aimingSeconds, 1.2, 1e-9);  // 30 points of 40 ms on the face before each shot
    EXPECT_DOUBLE_EQ(a.extremeSpreadMm, 0);
    EXPECT_DOUBLE_EQ(a.meanRadiusMm, 0);
    EXPECT_DOUBLE_EQ(*a.Mean(), 10.0);
    EXPECT_NEAR(*rows[4].Mean(), 10.9, 1e-9);

    // The match's bytes change, its size and time do not: the index keeps what it read.
    const QString match = Path("club/m.zam");
    const QDateTime time = QFileInfo(match).lastModified();
    const qint64 size = QFileInfo(match).size();
    test::WriteText(match, QByteArray(size, 'x'));
    {
        QFile file(match);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    }
    std::vector<ProgressRow> again;
    report = Scan(&again);
    EXPECT_EQ(again, rows);
    EXPECT_EQ(report.read, 0);
    EXPECT_EQ(report.unchanged, 6);
    EXPECT_EQ(report.removed, 0);
    EXPECT_EQ(SkippedNames(report), (std::vector<std::string>{"broken.zas", "club/alien.zas"}));

    // Renamed, changed and deleted between scans.
    ASSERT_TRUE(QFile::rename(Path("2026/a.zas"), Path("2026/a2.zas")));
    test::WriteSeriesFile(Path("2026/b.zas"), 1350, test::Day(2026, 11, 5), {{1, 1}, {1, 1}, {1, 1}});
    ASSERT_TRUE(QFile::remove(Path("c.ZAS")));
    test::WriteSeriesFile(Path("club/alien.zas"), 1200, test::Day(2026, 11, 6), {{1, 1}});  // now a known face
    report = Scan(&rows);
    EXPECT_EQ(Briefs(rows), (std::vector<std::string>{"2026/a2.zas #1 2026-11-01 10:00 face 1200: 3 shots, 30.0",
                                                      "club/m.zam #1 2026-11-02 10:00 face 1200: 2 shots, 20.0",
                                                      "club/m.zam #2 2026-11-02 10:00 face 1200: 2 shots, 20.0",
                                                      "2026/b.zas #1 2026-11-05 10:00 face 1350: 3 shots, 32.7",
                                                      "club/alien.zas #1 2026-11-06 10:00 face 1200: 1 shots, 10.0"}));
    EXPECT_EQ(report.files, 5);
    EXPECT_EQ(report.read, 3);
    EXPECT_EQ(report.unchanged, 2);
    EXPECT_EQ(report.removed, 2);
    EXPECT_EQ(SkippedNames(report), std::vector<std::string>{"broken.zas"});
}

// The index is only a cache: a damaged file, one of another layout, one of an earlier scoring
// rule (whose totals differ) and a deleted one are all made again from the series, with the same
// rows.
TEST_F(ProgressIndexTest, ABadOrMissingIndexIsMadeAgain) {
    std::vector<ProgressRow> rows;
    Scan(&rows);
    ASSERT_EQ(Briefs(rows), kFirstRows);
    const QString indexPath = Path(kProgressIndexName);

    test::WriteText(indexPath, QByteArray("SQLite format 3") + QByteArray(4000, '\x5a'));
    std::vector<ProgressRow> again;
    ScanReport report = Scan(&again);
    EXPECT_TRUE(report.rebuilt);
    EXPECT_FALSE(report.inMemory);
    EXPECT_EQ(report.read, 6);
    EXPECT_EQ(again, rows);

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
        db.setDatabaseName(indexPath);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA user_version = 99")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
    report = Scan(&again);
    EXPECT_TRUE(report.rebuilt);
    EXPECT_EQ(report.read, 6);
    EXPECT_EQ(again, rows);

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("earlier"));
        db.setDatabaseName(indexPath);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("UPDATE series SET total = total - 1")));
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA user_version = 1")));  // the first rule's index
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("earlier"));
    report = Scan(&again);
    EXPECT_TRUE(report.rebuilt);
    EXPECT_EQ(report.read, 6);
    EXPECT_EQ(again, rows);

    ASSERT_TRUE(QFile::remove(indexPath));
    report = Scan(&again);
    EXPECT_FALSE(report.rebuilt);
    EXPECT_EQ(report.read, 6);
    EXPECT_EQ(again, rows);
}

// An index a scan of ours left checked is not checked whole again while nothing else writes it;
// damage done behind SQLite's back is still found, in the rows a scan reads or by the whole check
// before it writes, and the index is made afresh with the same rows. The file change counter kept
// is the one the file has after the scan, and another writer moves the file's away from it.
TEST_F(ProgressIndexTest, DamageBehindSQLitesBackIsFoundWithoutAWholeCheckEachTime) {
    std::vector<ProgressRow> rows;
    Scan(&rows);
    ASSERT_EQ(Briefs(rows), kFirstRows);
    const QString indexPath = Path(kProgressIndexName);
    const auto header = [&indexPath](int at, int bytes) {
        QFile file(indexPath);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(100);
        qint64 value = 0;
        for (int i = 0; i < bytes; ++i) value = value << 8 | quint8(head[at + i]);
        return value;
    };
    // the counter kept and the table's root page, read by a connection of the test's own
    const auto lookAt = [&indexPath](const char* sql) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("look"));
        db.setDatabaseName(indexPath);
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_TRUE(q.exec(QString::fromLatin1(sql)));
        const qint64 value = q.next() ? q.value(0).toLongLong() : -1;
        q = QSqlQuery();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("look"));
        return value;
    };
    const auto damagePage = [&](const char* table) {
        const qint64 page = lookAt(qPrintable(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = '%1'")
                                                  .arg(QLatin1String(table))));
        const qint64 size = header(16, 2);
        ASSERT_GT(page, 1);
        QFile file(indexPath);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.seek((page - 1) * size));
        ASSERT_EQ(file.write(QByteArray(size, '\x5a')), size);
    };
    std::vector<ProgressRow> again;
    EXPECT_EQ(lookAt("SELECT counter FROM checked"), header(24, 4));

    for (const char* table : {"series", "files"}) {
        damagePage(table);
        const ScanReport report = Scan(&again);
        EXPECT_TRUE(report.rebuilt) << table;
        EXPECT_EQ(report.read, 6) << table;
        EXPECT_EQ(again, rows) << table;
        EXPECT_EQ(lookAt("SELECT counter FROM checked"), header(24, 4)) << table;
    }
    // damaged, and a file to write: the whole check before the write finds it
    damagePage("series");
    test::WriteSeriesFile(Path("2026/b.zas"), 1350, test::Day(2026, 11, 3), {{1, 1}, {1, 1}});
    ScanReport report = Scan(&again);
    EXPECT_TRUE(report.rebuilt);
    EXPECT_EQ(report.read, 6);
    EXPECT_EQ(Briefs(again), kFirstRows);
    // another writer: the index is checked whole (and found sound) and sealed again
    lookAt("UPDATE files SET mtime = mtime + 1 WHERE path = 'c.ZAS'");
    EXPECT_NE(lookAt("SELECT counter FROM checked"), header(24, 4));
    report = Scan(&again);
    EXPECT_FALSE(report.rebuilt);
    EXPECT_EQ(report.read, 1);
    EXPECT_EQ(Briefs(again), kFirstRows);
    EXPECT_EQ(lookAt("SELECT counter FROM checked"), header(24, 4));
}

// What the scan lists: series and match files whatever the case of their ending, in sub-folders
// but not hidden ones, a link to a series file but not a link to a folder (which could lead in a
// circle), nothing else; a name beyond ASCII is kept as it is.
TEST_F(ProgressIndexTest, TheListingLeavesOutHiddenFoldersAndLinksToFolders) {
    test::WriteSeriesFile(Path(".trash/old.zas"), 1200, test::Day(2026, 11, 8), {{0, 0}});
    test::WriteSeriesFile(QDir(dir.path()).filePath("2026/Übung, \"kalt\".Zam.zas"), 1200, test::Day(2026, 11, 9), {{0, 0}});
    test::WriteText(Path("2026/a.zas.txt"), "not a series");
    ASSERT_TRUE(QFile::link(Path("2026/a.zas"), Path("link.zas")));
    ASSERT_TRUE(QFile::link(dir.path(), Path("club/loop")));
    std::vector<ProgressRow> rows;
    const ScanReport report = Scan(&rows);
    EXPECT_EQ(report.files, 8);
    std::vector<std::string> files;
    for (const ProgressRow& row : rows) files.push_back(row.file.toStdString());
    EXPECT_EQ(files, (std::vector<std::string>{"c.ZAS", "2026/a.zas", "link.zas", "club/m.zam", "club/m.zam",
                                               "2026/b.zas", "2026/Übung, \"kalt\".Zam.zas"}));
}

TEST_F(ProgressIndexTest, AFolderThatCannotBeReadIsAnErrorAndAStoppedScanWritesNothing) {
    ProgressIndex missing(Path("no such folder"), catalogue);
    const ScanReport report = missing.Scan();
    EXPECT_FALSE(report.ok);
    EXPECT_TRUE(report.error.contains("cannot read the folder"));

    {
        ProgressIndex index(dir.path(), catalogue);
        index.SetReaders(1);
        int calls = 0;
        const ScanReport stopped = index.Scan([&calls](int done, int total) {
            EXPECT_EQ(total, 6);
            EXPECT_EQ(done, ++calls);
            return done < 2;
        });
        EXPECT_FALSE(stopped.ok);
        EXPECT_EQ(calls, 2);
        EXPECT_TRUE(index.Rows().empty());
    }
    std::vector<ProgressRow> rows;
    EXPECT_EQ(Scan(&rows).read, 6);
    EXPECT_EQ(Briefs(rows), kFirstRows);
}

// The chart's points: the face and period filters and the moving average of the last ten series.
TEST(ProgressFigures, FiltersAndMovingAverage) {
    std::vector<ProgressRow> rows;
    const QDateTime now(QDate(2026, 12, 1), QTime(12, 0));
    for (int k = 0; k < 14; ++k) {
        ProgressRow row;
        row.file = QStringLiteral("s%1.zas").arg(k);
        row.faceId = k % 7 == 6 ? 1350 : 1200;  // rows 6 and 13 on the other face
        row.date = now.addDays(-(14 - k) * 10);  // every ten days, the first 140 days ago
        row.shots = 10;
        row.total = 80 + k;
        row.hasGroup = k != 3;
        row.meanRadiusMm = k;
        rows.push_back(row);
    }
    rows.push_back(ProgressRow{});  // no date, no shots
    EXPECT_EQ(FacesOf(rows), (std::vector<int>{1200, 1350, 0}));
    EXPECT_EQ(FilterRows(rows, {1350, ProgressPeriod::All}, now), (std::vector<int>{6, 13}));
    EXPECT_EQ(FilterRows(rows, {0, ProgressPeriod::Days30}, now), (std::vector<int>{11, 12, 13}));
    EXPECT_EQ(FilterRows(rows, {1200, ProgressPeriod::Days90}, now), (std::vector<int>{5, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(FilterRows(rows, {0, ProgressPeriod::All}, now).size(), 15u);
    EXPECT_EQ(FilterRows(rows, {0, ProgressPeriod::Year}, now).size(), 14u);
    // the club's archive: rows of other shooters by their folder, the rest the program's own
    std::vector<ProgressRow> club = rows;
    club[2].file = ArchiveFolderOf("lane2", "Eva") + "/a.ZAS";
    club[4].file = ArchiveFolderOf("lane1", "Bo/../x") + "/b.ZAS";
    club[5].file = ArchiveFolderOf("lane2", "Eva") + "/c.ZAM";
    EXPECT_EQ(ShootersOf(club), (std::vector<QString>{"Bo_.._x (lane1)", "Eva (lane2)"}));
    EXPECT_EQ(FilterRows(club, {0, ProgressPeriod::All, QString("Eva (lane2)")}, now), (std::vector<int>{2, 5}));
    EXPECT_EQ(FilterRows(club, {0, ProgressPeriod::All, QString()}, now).size(), 12u);

    const std::vector<int> all = FilterRows(rows, {0, ProgressPeriod::All}, now);
    const std::vector<ProgressPoint> means = ChartPoints(rows, all, 1200, ProgressFigure::MeanScore);
    ASSERT_EQ(means.size(), 12u);
    EXPECT_DOUBLE_EQ(means[0].average, 8.0);
    EXPECT_DOUBLE_EQ(means[1].average, (8.0 + 8.1) / 2);
    // the eleventh series of the face (row 11) averages rows 1..5, 7..11: the last ten
    EXPECT_EQ(means[10].row, 11);
    EXPECT_DOUBLE_EQ(means[10].value, 9.1);
    EXPECT_NEAR(means[10].average, (81 + 82 + 83 + 84 + 85 + 87 + 88 + 89 + 90 + 91) / 100.0, 1e-12);
    // a series without the figure is left out, and counts for no average
    const std::vector<ProgressPoint> radius = ChartPoints(rows, all, 1200, ProgressFigure::MeanRadius);
    ASSERT_EQ(radius.size(), 11u);
    EXPECT_EQ(radius[3].row, 4);
    EXPECT_DOUBLE_EQ(radius[3].average, (0 + 1 + 2 + 4) / 4.0);
    // the line of averages is broken over a gap of more than 30 days, and only there
    for (const ProgressPoint& p : means) EXPECT_FALSE(p.breakBefore) << p.row;
    for (int k = 0; k < 5; ++k) rows[std::size_t(k)].date = rows[std::size_t(k)].date.addDays(-21);  // 31 days before row 5
    const std::vector<ProgressPoint> gap = ChartPoints(rows, all, 1200, ProgressFigure::MeanScore);
    for (const ProgressPoint& p : gap) EXPECT_EQ(p.breakBefore, p.row == 5) << p.row;
}

}  // namespace
}  // namespace zark
