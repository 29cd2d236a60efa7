// A full disk and a read-only folder, on a real small file system: a tmpfs the test mounts when it
// runs as root (as CI does); skipped otherwise. Nothing written may be cut: a save that fails
// leaves no file and the old one as it was, and an interrupted series stays in its journal until
// a file that reads back whole holds it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <unistd.h>

#include "core/tracestore.h"
#include "storage/filecommands.h"
#include "storage/seriesjournal.h"
#include "storagetest.h"
#include "support/testsupport.h"

namespace zark {
namespace {

constexpr FileDate kShotTime{2026, 12, 8, 4, 46, 30};

// A tmpfs of 1 MiB mounted on a temporary folder while it lives.
class SmallDisk final {
public:
    SmallDisk() {
        if (geteuid() != 0 || !dir_.isValid()) return;
        mounted_ = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=1m", "tmpfs", dir_.path()}) == 0;
    }
    ~SmallDisk() {
        if (mounted_) QProcess::execute("umount", {dir_.path()});
    }
    bool Mounted() const { return mounted_; }
    QString Path(const QString& name) const { return QDir(dir_.path()).filePath(name); }
    // Fills the disk to the last byte, then gives back `room` bytes.
    void Fill(qint64 room) {
        QFile filler(Path("filler"));
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        filler.close();
        QFile::resize(filler.fileName(), std::max<qint64>(0, filler.size() - room));
    }
    void Empty() { QFile::remove(Path("filler")); }
    bool ReadOnly(bool on) {
        return QProcess::execute("mount", {"-o", on ? "remount,ro" : "remount,rw", dir_.path()}) == 0;
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

// A series of 3 shots and 1,500 trace points (a file of about 13 KB, less than a write buffer),
// as its journal holds it.
std::string JournalOfSeries(TraceStore& store, bool match) {
    for (int shot = 0; shot < 3; ++shot) {
        for (int i = 0; i < 500; ++i) store.AppendSample(100 + i % 50, -200 - shot);
        store.AppendShot(10 + shot, 20 + shot, 0);
    }
    JournalHeader header;
    header.targetId = 1200;
    header.targetName = "Rifle 50 meter";
    header.seriesShots = 5;
    header.started = kShotTime;
    if (match) {
        header.match = true;
        AppendMatchEntry(header.programme, 0, 1, "Prone");
        AppendMatchEntry(header.programme, 1, 5, "Sighters");
        header.currentEntry = 1;  // the sighters after a stored series
    }
    TraceImage stored[kMaxShots];
    for (TraceImage& image : stored) image.Clear();
    TraceStore first;
    first.AppendSample(1, 2);
    first.AppendShot(3, 4, 0);
    stored[0] = first.Image();
    std::string text = JournalHeaderText(header, match ? stored : nullptr, match ? kMaxShots : 0);
    AppendImageLines(text, store.Image(), kShotTime);
    return text;
}

TEST(FullDisk, NothingIsCutAndTheJournalStaysUntilItsSeriesIsOnTheDiskWhole) {
    SmallDisk disk;
    if (!disk.Mounted()) GTEST_SKIP() << "needs root to mount a small tmpfs";
    FileCommands files;
    ASSERT_TRUE(files.PrepareDataDirectory(disk.Path("data")));
    const QString journals = JournalFolder(files.SaveFolder());
    QDir().mkpath(journals);
    TraceStore store;
    test::WriteBytes(journals + "/a.journal", JournalOfSeries(store, false));
    const std::string good = "[Header]\nTargetID=1200\n";
    const QString saved = files.SaveFolder() + "/good.zas";
    test::WriteBytes(saved, good);
    auto record = std::make_unique<SeriesRecord>();
    record->Clear();
    record->targetId = 1200;
    record->store = store.Image();
    const auto dataFiles = [&] { return QDir(files.SaveFolder()).entryList(QDir::Files | QDir::Hidden); };

    // Room for a lock file, not for the series: Save fails, says why, and leaves the good file.
    disk.Fill(8192);
    FileCommands::SaveOutcome outcome = files.SaveSeries(*record, saved);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.noRoom);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_EQ(test::ReadBytes(saved), good);
    EXPECT_FALSE(files.AutoSaveSeries(*record, "Rifle 50 meter").ok);
    EXPECT_EQ(dataFiles(), QStringList{"good.zas"}) << "no cut file, no temporary file";

    // The recovery keeps the journal, says there was no room, and writes nothing.
    RecoveryOutcome recovery = RecoverJournals(journals, files);
    EXPECT_TRUE(recovery.files.isEmpty());
    EXPECT_TRUE(recovery.noRoom);
    EXPECT_EQ(recovery.kept, QStringList{journals + "/a.journal"});
    EXPECT_TRUE(QFileInfo::exists(journals + "/a.journal"));
    EXPECT_EQ(dataFiles(), QStringList{"good.zas"});

    // A read-only folder refuses the save the same way, and it is no lack of room.
    disk.Empty();
    ASSERT_TRUE(disk.ReadOnly(true));
    outcome = files.SaveSeries(*record, saved);
    ASSERT_TRUE(disk.ReadOnly(false));
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.noRoom);
    EXPECT_EQ(test::ReadBytes(saved), good);

    // With room the next start recovers it whole, and a later Save succeeds.
    recovery = RecoverJournals(journals, files);
    ASSERT_EQ(recovery.files.size(), 1) << recovery.errors.join(";").toStdString();
    EXPECT_FALSE(QFileInfo::exists(journals + "/a.journal"));
    auto read = std::make_unique<SeriesRecord>();
    ASSERT_TRUE(files.Io().ReadSeries(recovery.files[0], *read));
    test::ExpectSameImage(store.Image(), read->store);
    EXPECT_TRUE(files.SaveSeries(*record, saved).ok);

    // A match interrupted in its sighters: the match file fits, the sighters do not. The next
    // start finds the match file written and does not write it twice.
    TraceStore sighters;
    test::WriteBytes(journals + "/m.journal", JournalOfSeries(sighters, true));
    disk.Fill(3 * 4096);
    recovery = RecoverJournals(journals, files);
    EXPECT_EQ(recovery.files.size(), 1);
    EXPECT_EQ(recovery.kept.size(), 1);
    disk.Empty();
    recovery = RecoverJournals(journals, files);
    ASSERT_EQ(recovery.files.size(), 2) << recovery.errors.join(";").toStdString();
    EXPECT_EQ(QDir(files.SaveFolder()).entryList({"*.ZAM"}).size(), 1);
    EXPECT_TRUE(recovery.files[1].endsWith("/Rifle 50 meter Sighters-20261208-044630.ZAS"));
    ASSERT_TRUE(files.Io().ReadSeries(recovery.files[1], *read));
    EXPECT_EQ(read->sighters, 1);
    EXPECT_EQ(read->numberOfShots, 5) << "sighters of five, as they were shot";
    EXPECT_TRUE(QDir(journals).entryList({"*.journal"}, QDir::Files).isEmpty());
}

}  // namespace
}  // namespace zark
