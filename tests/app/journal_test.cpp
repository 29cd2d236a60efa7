// A fired shot is never dropped without asking, and the series being shot is journaled: the
// question "Discard the series shot so far?" with its three answers before another target, a file
// or a new series replaces a paused or unfinished series (and a match under way); the journal in
// the main frame kept while shooting, closed by a save and by giving the series up, a data
// directory that refuses it, and the series an earlier run left, recovered at the start.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/acceleratorfilter.h"
#include "window/commandids.h"
#include "app/framefiles.h"
#include "app/framejournal.h"
#include "app/noticebanner.h"
#include "framewithfiles.h"
#include "storage/filecommands.h"
#include "storage/seriesjournal.h"
#include "support/testsupport.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

constexpr int kRifle50 = 1200;

class JournalInFrame : public ::testing::Test, public test::FrameWithFiles {
protected:
    // Answers the next question with the named button ("saveButton", "discardButton",
    // "cancelButton"); Save then names the file in the save dialog.
    void Answer(const char* button, const QString& saveAs = {}) {
        question = std::make_unique<test::ModalWatch>([this, button, saveAs](QWidget* modal) {
            ASSERT_EQ(modal->objectName(), "discardQuestion");
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), "Discard the series shot so far?");
            if (!saveAs.isEmpty()) NameTheFileToSave(saveAs);
            QTest::mouseClick(box->findChild<QPushButton*>(button), Qt::LeftButton);
        });
    }
    // Names the file in the next save dialog.
    void NameTheFileToSave(const QString& path) {
        saveDialog = std::make_unique<test::ModalWatch>([path](QWidget* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(edit, nullptr);
            edit->setText(path);
            QTest::keyClick(edit, Qt::Key_Return);
        });
    }
    bool Asked() const { return question && question->Seen(); }
    QStringList Journals() { return QDir(JournalFolder(data)).entryList({"*.journal"}, QDir::Files); }
    std::unique_ptr<JournalContent> JournalOnDisk() {
        auto content = std::make_unique<JournalContent>();
        const QStringList names = Journals();
        QFile file(JournalFolder(data) + "/" + names.value(0));
        if (names.size() == 1 && file.open(QIODevice::ReadOnly)) ReadJournalText(file.readAll().toStdString(), *content);
        return content;
    }
    void WaitForTheWriter() {
        if (FrameJournal* journal = files->Journal()) journal->Journal().WaitIdle();
    }

    std::unique_ptr<test::ModalWatch> question;
    std::unique_ptr<test::ModalWatch> saveDialog;
};

TEST_F(JournalInFrame, APausedSeriesWithShotsIsGivenUpOnlyAfterAsking) {
    ASSERT_TRUE(Choose(kCmdRifle50));
    ASSERT_TRUE(Choose(kCmdSerie5));
    Shoot(2);
    Key(Qt::Key_F3);

    // Cancel: the target, the series and its pause stay.
    Answer("cancelButton");
    ASSERT_TRUE(Choose(kCmdPistol25));
    EXPECT_TRUE(Asked());
    EXPECT_EQ(frame->Hub().CurrentTarget()->Identity(), kRifle50);
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 2);
    EXPECT_EQ(frame->Flow()->paused(), 1);
    Answer("cancelButton");
    EXPECT_EQ(frame->Open(dir.filePath("any.zas")), 0);  // nor does a file replace it
    EXPECT_TRUE(Asked());
    Answer("cancelButton");
    Key(Qt::Key_F10);
    EXPECT_TRUE(Asked());
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 2);

    // Save: the save dialog, then the new series.
    Answer("saveButton", data + "/two.zas");
    Key(Qt::Key_F10);
    EXPECT_TRUE(Asked());
    ASSERT_TRUE(saveDialog && saveDialog->Seen());
    auto saved = std::make_unique<SeriesRecord>();
    ASSERT_TRUE(files->Commands().Io().ReadSeries(data + "/two.zas", *saved));
    EXPECT_EQ(saved->store.shotCount, 2);
    EXPECT_EQ(saved->targetId, kRifle50);
    EXPECT_TRUE(frame->Hub().IsRunning());
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 0);

    // A series without a fired shot goes without a question; one with shots after Discard.
    Key(Qt::Key_F3);
    question.reset();
    Answer("discardButton");
    ASSERT_TRUE(Choose(kCmdPistol25));
    EXPECT_FALSE(Asked());
    EXPECT_NE(frame->Hub().CurrentTarget()->Identity(), kRifle50);
    ASSERT_TRUE(Choose(kCmdSerie5));
    Shoot(1);
    Key(Qt::Key_F3);
    ASSERT_TRUE(Choose(kCmdRifle50));
    EXPECT_TRUE(Asked());
    EXPECT_EQ(frame->Hub().CurrentTarget()->Identity(), kRifle50);
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 0);

    // A complete series is no longer at risk: F10 starts the next one at once.
    ASSERT_TRUE(Choose(kCmdSerie5));
    Shoot(5);
    ASSERT_FALSE(frame->Flow()->seriesInProgress());
    Answer("cancelButton");
    Key(Qt::Key_F10);
    EXPECT_FALSE(Asked());
    EXPECT_TRUE(frame->Hub().IsRunning());
}

TEST_F(JournalInFrame, AMatchUnderWayIsSavedWithItsSeriesSoFar) {
    ASSERT_TRUE(Choose(kCmdAirRifle));
    // A programme whose first scored entry is followed by another.
    int row = -1;
    const std::vector<int> order = frame->Matches().TitleOrder();
    for (int r = 0; r < int(order.size()) && row < 0; ++r) {
        const MatchProgramme& p = frame->Matches().Programme(order[r]);
        int e = 0;
        while (e < p.seriesCount && p.entries[e].sighters) ++e;
        if (e + 1 < p.seriesCount && !p.entries[e + 1].sighters) row = r;
    }
    ASSERT_GE(row, 0);
    test::ModalWatch programme([row](QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        list->setCurrentRow(row);
        QTest::mouseClick(dialog->findChild<QPushButton*>("button2001"), Qt::LeftButton);
    });
    ASSERT_TRUE(Choose(kCmdMatch));
    SeriesFlow* flow = frame->Flow();
    // To the first scored entry, shot whole, and one shot of the next.
    while (flow->programme().entries[flow->currentEntry()].sighters) {
        Shoot(flow->programme().entries[flow->currentEntry()].shots);
        Key(Qt::Key_F3);
    }
    const int first = flow->currentEntry();
    Shoot(flow->programme().entries[first].shots);
    ASSERT_EQ(flow->currentEntry(), first + 1);
    ASSERT_FALSE(flow->programme().entries[first + 1].sighters);
    Shoot(1);
    Key(Qt::Key_F3);

    Answer("saveButton", data + "/club.zam");
    ASSERT_TRUE(Choose(kCmdRifle50));
    EXPECT_TRUE(Asked());
    auto match = std::make_unique<MatchRecord>();
    ASSERT_TRUE(files->Commands().Io().ReadMatch(data + "/club.zam", *match));
    const int j = StoredSeriesIndex(flow->programme(), first);
    EXPECT_EQ(match->series[j].shotCount, flow->programme().entries[first].shots);
    EXPECT_EQ(match->series[j + 1].shotCount, 1);  // the series under way
}

TEST_F(JournalInFrame, TheSeriesIsJournaledUntilItIsSavedOrGivenUp) {
    files->StartJournal();
    ASSERT_NE(files->Journal(), nullptr);
    ASSERT_TRUE(Choose(kCmdRifle50));
    ASSERT_TRUE(Choose(kCmdSerie5));
    EXPECT_TRUE(Journals().isEmpty());  // nothing before the first aim point
    Shoot(2);
    WaitForTheWriter();
    ASSERT_EQ(Journals().size(), 1);
    {
        const auto content = JournalOnDisk();
        EXPECT_EQ(content->header.targetId, kRifle50);
        EXPECT_EQ(content->header.targetName, "Rifle 50 meter");
        EXPECT_EQ(content->header.seriesShots, 5);
        EXPECT_EQ(content->live.shotCount, 2);
        EXPECT_EQ(content->live.sampleCount, frame->Hub().Store()->SampleCount());
    }
    // Complete but not saved: still journaled. Saved: the journal goes.
    Shoot(3);
    WaitForTheWriter();
    EXPECT_EQ(JournalOnDisk()->live.shotCount, 5);
    NameTheFileToSave(data + "/five.zas");
    Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(saveDialog->Seen());
    WaitForTheWriter();
    EXPECT_TRUE(Journals().isEmpty());

    // Given up after asking: the journal goes with it. Saved automatically: so does it.
    Key(Qt::Key_F10);
    Shoot(1);
    Key(Qt::Key_F3);
    WaitForTheWriter();
    EXPECT_EQ(Journals().size(), 1);
    Answer("discardButton");
    ASSERT_TRUE(Choose(kCmdPistol25));
    EXPECT_TRUE(Asked());
    WaitForTheWriter();
    EXPECT_TRUE(Journals().isEmpty());
    ASSERT_TRUE(Choose(kCmdSaveAutomatically));
    ASSERT_TRUE(Choose(kCmdSerie5));
    Shoot(5);
    WaitForTheWriter();
    EXPECT_TRUE(Journals().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(frame->FileName()));
}

TEST_F(JournalInFrame, ARefusingDataDirectoryIsToldAndTheSeriesIsStillShot) {
    QDir().mkpath(data);
    test::RefusingFolder refusing(data.toStdString());
    files->StartJournal();
    ASSERT_TRUE(Choose(kCmdRifle50));
    ASSERT_TRUE(Choose(kCmdSerie5));
    Shoot(1);
    WaitForTheWriter();
    Shoot(1);  // the failure is seen at the next sample
    ASSERT_NE(files->Banner(), nullptr);
    EXPECT_TRUE(files->Banner()->isVisible());
    EXPECT_TRUE(files->Banner()->text().startsWith("The journal of this series cannot be written ("));
    EXPECT_TRUE(frame->Hub().IsRunning());
    Shoot(2);
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 4);  // (one to go)
}

TEST_F(JournalInFrame, TheSeriesAnEarlierRunLeftIsRecoveredAtTheStart) {
    auto store = std::make_unique<TraceStore>();
    store->AppendSample(10, 10);
    store->AppendShot(12, 14, 0);
    JournalHeader header;
    header.targetId = kRifle50;
    header.targetName = "Rifle 50 meter";
    header.seriesShots = 10;
    header.started = FileDate{2026, 12, 8, 5, 0, 0};
    std::string text = JournalHeaderText(header, nullptr, 0);
    AppendImageLines(text, store->Image(), FileDate{2026, 12, 8, 5, 1, 2});
    QDir().mkpath(JournalFolder(data));
    ASSERT_TRUE(test::WriteFile((JournalFolder(data) + "/20261208-050000-1.journal").toStdString(), text));

    files->StartJournal();
    EXPECT_TRUE(Journals().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(data + "/Rifle 50 meter-20261208-050102.ZAS"));
    ASSERT_NE(files->Banner(), nullptr);
    EXPECT_TRUE(files->Banner()->isVisible());
    EXPECT_EQ(files->Banner()->text(), "The interrupted series was recovered into Rifle 50 meter-20261208-050102.ZAS");
}

}  // namespace
}  // namespace zark
