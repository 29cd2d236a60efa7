// The file commands in the main frame with real events: Save and Open through the real (Qt's own)
// file dialogs, Cancel, an opened series and match applied to the hub, the series flow, the menus
// and the caption, files that cannot be opened, automatic saving after scripted series, Delete
// moving files to the trash under the test's own HOME, and a file dropped on the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <cstring>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTemporaryDir>
#include <QUrl>

#include "window/commandids.h"
#include "app/framefiles.h"
#include "progress/progresstestsupport.h"
#include "progress/widgets/progresswindow.h"
#include <QMdiSubWindow>
#include <QTreeWidget>
#include "results/widgets/matchboard.h"
#include "results/widgets/scoreboard.h"
#include "app/noticebanner.h"
#include "app/acceleratorfilter.h"
#include "export/csvexport.h"
#include "framewithfiles.h"
#include "storage/filecommands.h"
#include "targets/scoretext.h"
#include "support/testsupport.h"
#include "targets/targetdescriptor.h"
#include "targets/widgets/targetview.h"
#include "targets/widgets/targetwindow.h"

namespace zark {
namespace {

constexpr int kRifle50 = 1200;
FileDate g_now{2026, 12, 7, 21, 30, 5};
FileDate Now() { return g_now; }

// The accept button of a file dialog ("&Open", "&Save", "&Delete").
QPushButton* AcceptButton(QFileDialog* dialog) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
    if (!buttons) return nullptr;
    for (QAbstractButton* button : buttons->buttons())
        if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) return qobject_cast<QPushButton*>(button);
    return nullptr;
}

// Types the names into a file dialog and clicks its accept button, as a user does.
void TypeAndAccept(QWidget* modal, const QString& names) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    // The name field has the focus while the user types (a field without it is rewritten by the
    // dialog's own selection).
    dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->clear();
    QTest::keyClicks(edit, names);
    QTest::mouseClick(AcceptButton(dialog), Qt::LeftButton);
}

class FileCommandsTest : public ::testing::Test, public test::FrameWithFiles {
protected:
    FileCommandsTest() { files->Commands().SetClock(&Now); }

    QAction* Find(int command) { return test::FindCommand(*frame, command); }
    void CtrlKey(Qt::Key key) { Key(key, Qt::ControlModifier); }
    void Series(int command, int shots) {
        ASSERT_TRUE(Choose(command));
        Shoot(shots);
    }
    QString Write(const QString& name, int targetId, int numberOfShots, int shots, int sighters = 0) {
        auto record = std::make_unique<SeriesRecord>();
        record->Clear();
        record->targetId = targetId;
        record->sighters = sighters;
        record->numberOfShots = numberOfShots;
        for (int i = 0; i < shots; ++i) {
            record->store.samples[i] = AimSample{std::int16_t(10 + i), std::int16_t(20 - i)};
            record->store.shots[i] = ShotRecord{std::int16_t(10 + i), std::int16_t(20 - i), i, 0};
        }
        record->store.sampleCount = record->store.shotCount = shots;
        const QString path = dir.filePath(name);
        EXPECT_TRUE(SeriesFileIo().WriteSeries(*record, path));
        return path;
    }
};

TEST_F(FileCommandsTest, SaveAndOpenThroughTheRealDialogsAndCancelChangesNothing) {
    ASSERT_TRUE(Choose(kCmdRifle50));
    ASSERT_TRUE(Choose(kCmdSerie5));
    Shoot(5);
    ASSERT_TRUE(Find(kCmdSave)->isEnabled());

    // Ctrl+S: a name without extension gets ".zas".
    const QString saved = data + "/round.zas";
    {
        test::ModalWatch save([&](QWidget* modal) {
            EXPECT_EQ(modal->objectName(), "saveDialog");
            EXPECT_EQ(static_cast<QFileDialog*>(modal)->directory().absolutePath(), data);
            EXPECT_EQ(static_cast<QFileDialog*>(modal)->nameFilters(), QStringList{"ZARK Serie (*.zas)"});
            TypeAndAccept(modal, "round");
        });
        CtrlKey(Qt::Key_S);
        EXPECT_TRUE(save.Seen());
    }
    ASSERT_TRUE(QFileInfo::exists(saved));
    EXPECT_EQ(frame->windowTitle(), "ZARK - " + saved);
    {
        test::ModalWatch cancel([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
        CtrlKey(Qt::Key_S);
        EXPECT_TRUE(cancel.Seen());
    }
    EXPECT_EQ(frame->FileName(), saved);

    // Another target clears the file; Ctrl+O brings the series back as it was saved.
    ASSERT_TRUE(Choose(kCmdAirPistol));
    EXPECT_EQ(frame->windowTitle(), "ZARK");
    {
        test::ModalWatch open([&](QWidget* modal) {
            EXPECT_EQ(modal->objectName(), "openDialog");
            EXPECT_EQ(static_cast<QFileDialog*>(modal)->directory().absolutePath(), data);  // where it was saved
            EXPECT_EQ(static_cast<QFileDialog*>(modal)->nameFilters().size(), 4);
            TypeAndAccept(modal, "round.zas");
        });
        CtrlKey(Qt::Key_O);
        EXPECT_TRUE(open.Seen());
    }
    EXPECT_EQ(frame->windowTitle(), "ZARK - " + saved);
    ASSERT_NE(frame->Hub().CurrentTarget(), nullptr);
    EXPECT_EQ(frame->Hub().CurrentTarget()->Identity(), kRifle50);
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 5);
    EXPECT_EQ(frame->Hub().Store()->Shot(4).x, 20);
    EXPECT_EQ(frame->SeriesDate(), LocalDateTime(g_now));
    EXPECT_TRUE(Find(kCmdSave)->isEnabled());  // the idle state
    EXPECT_TRUE(Find(kCmdNewSerie)->isEnabled());
    EXPECT_FALSE(Find(kCmdPauseContinue)->isEnabled());

    // Cancelling the open dialog leaves everything.
    test::ModalWatch cancel([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(frame->Open(QString()), 0);
    EXPECT_TRUE(cancel.Seen());
    EXPECT_EQ(frame->FileName(), saved);
}

TEST_F(FileCommandsTest, F10AfterOpeningASeriesContinuesWithItsNumberOfShotsWithinRange) {
    ASSERT_TRUE(Choose(kCmdRifle50));
    ASSERT_TRUE(Choose(kCmdSighters3));  // F10 would repeat sighters, until a series is opened
    Shoot(3);
    ASSERT_EQ(frame->Open(Write("six.zas", kRifle50, 6, 6)), 1);
    EXPECT_EQ(frame->Flow()->seriesShots(), 6);
    Key(Qt::Key_F10);
    EXPECT_TRUE(frame->Hub().IsRunning());
    EXPECT_EQ(view->seriesShots(), 6);
    EXPECT_EQ(view->sighters(), 0);
    Shoot(6);

    // Hand-edited counts: 500 and -3 take the shots the file holds; nothing held keeps the last.
    ASSERT_EQ(frame->Open(Write("many.zas", kRifle50, 500, 4)), 1);
    EXPECT_EQ(frame->Flow()->seriesShots(), 4);
    ASSERT_EQ(frame->Open(Write("none.zas", kRifle50, -3, 0)), 1);
    EXPECT_EQ(frame->Flow()->seriesShots(), 4);
    Key(Qt::Key_F10);
    EXPECT_EQ(view->seriesShots(), 4);
    Shoot(4);

    // A file of sighters (as a recovered sighter series is written) opens as sighters: F10
    // shoots sighters of its number of shots.
    ASSERT_EQ(frame->Open(Write("sighters.zas", kRifle50, 5, 2, 1)), 1);
    Key(Qt::Key_F10);
    EXPECT_EQ(view->seriesShots(), 5);
    EXPECT_EQ(view->sighters(), 1);
}

TEST_F(FileCommandsTest, AnUpperCaseMatchFileOpensAsTheCompleteMatch) {
    auto match = std::make_unique<MatchRecord>();
    match->Clear();
    match->targetId = 1250;
    std::strcpy(match->programme.title, "Club night\r");
    match->programme.seriesCount = 3;
    match->programme.entries[0] = {"", 1, 5};
    match->programme.entries[1] = {"Prone", 0, 3};
    match->programme.entries[2] = {"Standing", 0, 700};
    for (int j = 0; j < 2; ++j) {
        for (int i = 0; i < 3; ++i) {
            match->series[j].samples[i] = AimSample{std::int16_t(j + 1), std::int16_t(i + 1)};
            match->series[j].shots[i] = ShotRecord{std::int16_t(j + 1), std::int16_t(i + 1), i, 0};
        }
        match->series[j].sampleCount = match->series[j].shotCount = 3;
    }
    const QString path = dir.filePath("CLUB.ZAM");
    ASSERT_TRUE(SeriesFileIo().WriteMatch(*match, path));

    ASSERT_EQ(frame->Open(path), 1);
    const SeriesFlow* flow = frame->Flow();
    EXPECT_EQ(flow->matchMode(), 1);
    EXPECT_EQ(flow->currentEntry(), 3);  // complete
    EXPECT_STREQ(flow->programme().title, "Club night");
    EXPECT_EQ(flow->programme().entries[2].shots, 3);  // 700 taken from its stored series
    EXPECT_EQ(flow->matchSeries(1).shots[2].y, 3);
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 3);
    EXPECT_EQ(frame->Hub().Store()->Shot(0).x, 1);  // the first stored series is shown
    EXPECT_EQ(frame->windowTitle(), "ZARK - " + path);
    // The scoreboard shows the first series, the match board every stored one.
    ASSERT_NE(frame->ScoreboardWindow(), nullptr);
    EXPECT_TRUE(frame->ScoreboardWindow()->SeriesShown());
    ASSERT_NE(frame->MatchBoardWindow(), nullptr);
    EXPECT_TRUE(frame->MatchBoardWindow()->Window()->isVisible());
    EXPECT_EQ(frame->MatchBoardWindow()->Window()->windowTitle(), "Club night");
    EXPECT_EQ(frame->MatchBoardWindow()->Tally().Rows(), 2);
    test::KeepPicture(frame.get(), "opened-match.png");

    // Save in match mode writes a match again.
    test::ModalWatch save([&](QWidget* modal) {
        EXPECT_EQ(static_cast<QFileDialog*>(modal)->nameFilters(), QStringList{"ZARK Match (*.zam)"});
        EXPECT_EQ(static_cast<QFileDialog*>(modal)->directory().absolutePath(), dir.path());  // the opened file's
        TypeAndAccept(modal, "again");
    });
    CtrlKey(Qt::Key_S);
    ASSERT_EQ(files->Commands().Read(dir.filePath("again.zam")), FileCommands::Kind::Match);
    EXPECT_EQ(files->Commands().OpenedMatch().programme.seriesCount, 3);
    EXPECT_EQ(files->Commands().OpenedMatch().series[1].shots[2].y, 3);
}

// A deer match whose series was shot at the right side: every view scores each shot on the face of
// its side, the file opens on that face, the CSV export has the scores and times the shot list
// shows (a fired shot without trace point too), and a match typed as ".zas" is saved as a match.
TEST_F(FileCommandsTest, ARightSideDeerMatchIsScoredOnTheRightFaceEverywhere) {
    TargetPair deer;
    ASSERT_TRUE(frame->Catalogue().PairForCommand(kCmdDeer, deer));
    ASSERT_NE(deer.first, deer.second);
    std::vector<std::pair<int, int>> spots;
    for (int x = -600; x <= 600 && spots.size() < 4; x += 25)
        for (int y = -600; y <= 600 && spots.size() < 4; y += 75)
            if (deer.second->ScoreShot(x, y) > 0 && deer.second->ScoreShot(x, y) != deer.first->ScoreShot(x, y))
                spots.push_back({x, y});
    ASSERT_EQ(spots.size(), 4u) << "no place scores differently on the two faces";
    auto match = std::make_unique<MatchRecord>();
    match->Clear();
    match->targetId = deer.first->Identity();
    std::strcpy(match->programme.title, "Deer");
    match->programme.seriesCount = 1;
    match->programme.entries[0] = {"Right", 0, 5};
    TraceImage& series = match->series[0];
    double total = 0;
    for (int k = 0; k < 4; ++k) {
        series.samples[k] = AimSample{std::int16_t(spots[k].first), std::int16_t(spots[k].second)};
        series.shots[k] = ShotRecord{std::int16_t(spots[k].first), std::int16_t(spots[k].second), k, 1};
        total += TotalPart(*deer.second, deer.second->ScoreShot(spots[k].first, spots[k].second));
    }
    series.shots[4] = ShotRecord{std::int16_t(spots[0].first), std::int16_t(spots[0].second), NoTraceInFiles, 1};
    total += TotalPart(*deer.second, deer.second->ScoreShot(spots[0].first, spots[0].second));
    series.sampleCount = 4;
    series.shotCount = 5;
    const QString path = dir.filePath("deer.zam");
    ASSERT_TRUE(SeriesFileIo().WriteMatch(*match, path));

    ASSERT_EQ(frame->Open(path), 1);
    EXPECT_EQ(frame->Hub().side(), 1);  // opened on the face its shots were fired at
    EXPECT_EQ(frame->Hub().CurrentTarget(), deer.second);
    const std::string expected = ScoreText(*deer.second, total);
    EXPECT_EQ(frame->MatchBoardWindow()->Tally().Text(0), expected);
    const ShotList& list = *frame->ScoreboardWindow()->SeriesList();
    EXPECT_EQ(list.Row(list.TotalRow()).score, expected);
    EXPECT_EQ(list.Row(0).score, ScoreText(*deer.second, deer.second->ScoreShot(spots[0].first, spots[0].second)));

    QString csv, error;
    ASSERT_TRUE(ExportCsv(path, frame->Catalogue(), csv, error)) << error.toStdString();
    const QStringList lines = csv.split('\n');
    ASSERT_GE(lines.size(), 7);
    for (int k = 0; k < 5; ++k) {
        const QStringList cells = lines[k + 1].split(',');
        EXPECT_EQ(cells[9].toStdString(), list.Row(k).time) << k;  // the shot without trace point too
    }
    EXPECT_TRUE(lines[6].contains(QString::fromStdString(expected)));

    // Saved as a match whatever the typed name says.
    test::ModalWatch save([&](QWidget* modal) { TypeAndAccept(modal, "typed.zas"); });
    CtrlKey(Qt::Key_S);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("typed.zam")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("typed.zas")));
}

TEST_F(FileCommandsTest, AFileThatCannotBeOpenedLeavesEverythingAsItWas) {
    const QString good = Write("good.zas", kRifle50, 5, 2);
    ASSERT_EQ(frame->Open(good), 1);
    test::MessageCapture boxes;
    const QString missing = dir.filePath("missing.zas");
    EXPECT_EQ(frame->Open(missing), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_EQ(boxes.shown[0].text, "Failed to open file " + missing.toStdString());
    EXPECT_EQ(frame->windowTitle(), "ZARK - " + good);

    // An unknown target is reported by the lookup, and the shown series stays with its file name.
    EXPECT_EQ(frame->Open(Write("odd.zas", 4321, 5, 3)), 0);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_NE(boxes.shown[1].text.find("illegal target identity"), std::string::npos);
    EXPECT_EQ(frame->FileName(), good);
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 2);

    // While a series is being shot nothing is opened (Ctrl+O arrives while the item is grey).
    ASSERT_TRUE(Choose(kCmdSerie5));
    EXPECT_EQ(frame->Open(good), 0);
    EXPECT_TRUE(frame->Hub().IsRunning());
}

// View > Progress... shows the series of the data directory, takes in every save while it is
// open, and opens a series on a double click unless one is being shot.
TEST_F(FileCommandsTest, TheProgressWindowFollowsTheSavesAndOpensASeries) {
    ASSERT_TRUE(Choose(kCmdProgress));
    ProgressWindow* progress = frame->Progress();
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->Window()->isVisible());
    EXPECT_EQ(progress->Folder(), data);
    QTRY_VERIFY_WITH_TIMEOUT(!progress->Scanning(), 60000);
    EXPECT_TRUE(progress->Rows().empty());

    ASSERT_TRUE(Choose(kCmdSaveAutomatically));
    ASSERT_TRUE(Choose(kCmdRifle50));
    Series(kCmdSerie5, 5);
    const QString first = frame->FileName();
    QTRY_VERIFY_WITH_TIMEOUT(!progress->Scanning(), 60000);
    ASSERT_EQ(progress->Rows().size(), 1u);
    EXPECT_EQ(progress->Rows()[0].shots, 5);
    EXPECT_EQ(QDir(data).filePath(progress->Rows()[0].file), first);

    QTreeWidget* table = progress->Table();
    const auto doubleClick = [table](const QString& file) {
        for (int i = 0; i < table->topLevelItemCount(); ++i) {
            if (table->topLevelItem(i)->toolTip(0) != file) continue;
            const QPoint at = table->visualItemRect(table->topLevelItem(i)).center();
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
            return;
        }
        ADD_FAILURE() << "no row of " << file.toStdString();
    };
    Key(Qt::Key_F10);
    EXPECT_EQ(frame->windowTitle(), "ZARK");
    doubleClick(QFileInfo(first).fileName());  // refused while the series is being shot
    EXPECT_TRUE(frame->Hub().IsRunning());
    EXPECT_TRUE(frame->FileName().isEmpty());
    Shoot(5);
    QTRY_VERIFY_WITH_TIMEOUT(!progress->Scanning(), 60000);
    EXPECT_EQ(progress->Rows().size(), 2u);
    EXPECT_NE(frame->FileName(), first);
    doubleClick(QFileInfo(first).fileName());
    EXPECT_EQ(frame->FileName(), first);

    // A match opens at the series double-clicked: its item on the match board is chosen.
    test::WriteMatchFile(data + "/club/evening.zam", kRifle50, test::Day(2026, 12, 8),
                         {{{1, 1}, {1, 1}}, {{30, 40}, {1, 1}, {1, 1}}});
    ASSERT_TRUE(Choose(kCmdProgress));
    QTRY_VERIFY_WITH_TIMEOUT(!progress->Scanning(), 60000);
    ASSERT_EQ(table->topLevelItemCount(), 4);
    const QPoint top = table->visualItemRect(table->topLevelItem(0)).center();  // the match's second series
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, top);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, top);
    EXPECT_EQ(frame->FileName(), data + "/club/evening.zam");
    EXPECT_EQ(frame->MatchBoardWindow()->FirstSelected(), 1);
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 3);

    progress->Window()->close();  // the close box hides it; the View menu shows it again
    EXPECT_FALSE(progress->Window()->isVisible());
    ASSERT_TRUE(Choose(kCmdProgress));
    EXPECT_TRUE(progress->Window()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!progress->Scanning(), 60000);
}

TEST_F(FileCommandsTest, AutomaticSavingOfEveryCompletedSeriesUnderASafeUniqueName) {
    ASSERT_EQ(frame->autoSave(), 0);  // off at every start
    ASSERT_TRUE(Choose(kCmdSaveAutomatically));
    ASSERT_TRUE(Choose(kCmdRifle50));
    Series(kCmdSerie5, 5);
    const QString first = data + "/Rifle 50 meter-20261207-213005.ZAS";
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_EQ(frame->windowTitle(), "ZARK - " + first);
    Key(Qt::Key_F10);
    EXPECT_EQ(frame->windowTitle(), "ZARK");  // a new series has no file yet
    Shoot(5);
    EXPECT_EQ(frame->FileName(), data + "/Rifle 50 meter-20261207-213005-2.ZAS");  // the same second
    EXPECT_TRUE(QFileInfo::exists(first));

    ASSERT_TRUE(Choose(kCmdFieldQuarter));
    Series(kCmdSerie6, 6);
    EXPECT_EQ(frame->FileName(), data + "/Field 1_4-20261207-213005.ZAS");
    ASSERT_EQ(files->Commands().Read(frame->FileName()), FileCommands::Kind::Series);
    EXPECT_EQ(files->Commands().OpenedSeries().numberOfShots, 6);
    EXPECT_EQ(files->Commands().OpenedSeries().targetId, frame->Hub().CurrentTarget()->Identity());

    // A folder that refuses the file: the shooter is told in the window, the series stays.
    {
        test::RefusingFolder refusing(data.toStdString());
        Key(Qt::Key_F10);
        Shoot(6);
        EXPECT_EQ(frame->windowTitle(), "ZARK");
        ASSERT_TRUE(files->Banner()->isVisible());
        EXPECT_TRUE(files->Banner()->text().startsWith("The series could not be saved automatically: "));
        test::KeepPicture(frame.get(), "autosave-failed.png");
        EXPECT_EQ(frame->Hub().Store()->ShotCount(), 6);
        EXPECT_TRUE(Find(kCmdSave)->isEnabled());
        QTest::mouseClick(files->Banner(), Qt::LeftButton);
        EXPECT_FALSE(files->Banner()->isVisible());
    }
    g_now.second = 6;
    Key(Qt::Key_F10);
    Shoot(6);
    EXPECT_EQ(frame->FileName(), data + "/Field 1_4-20261207-213006.ZAS");
    EXPECT_TRUE(QFileInfo::exists(frame->FileName()));
    g_now.second = 5;
}

TEST_F(FileCommandsTest, DeletingThreeFilesMovesThemToTheTrashAndTheDialogStays) {
    const QString trashRoot = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash";
    const QString trash = trashRoot + "/files";
    ASSERT_TRUE(trash.startsWith(QDir::currentPath())) << "the test's own folders";
    ASSERT_TRUE(QDir(trashRoot).removeRecursively());  // the trash of earlier runs
    QDir home(QDir::homePath());
    const QString folder = home.filePath("old");
    QDir(folder).removeRecursively();
    home.mkpath("old");
    files->Commands().PrepareDataDirectory(folder);
    const QString one = Write("one.zas", kRifle50, 1, 1);
    for (const char* name : {"a.zas", "b.zas", "c.zam", "keep.zas"}) ASSERT_TRUE(QFile::copy(one, folder + "/" + name));
    ASSERT_EQ(frame->Open(folder + "/b.zas"), 1);

    test::ModalWatch watch([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Delete");
        auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
        ASSERT_NE(buttons, nullptr);
        QPushButton* close = buttons->button(QDialogButtonBox::Cancel);
        EXPECT_EQ(AcceptButton(dialog)->text(), "&Delete");
        test::KeepPicture(dialog, "delete-dialog.png");
        EXPECT_EQ(close->text(), "&Close");
        TypeAndAccept(dialog, "\"a.zas\" \"b.zas\" \"c.zam\"");
        EXPECT_TRUE(dialog->isVisible());  // open for more
        EXPECT_FALSE(QFileInfo::exists(folder + "/a.zas"));
        EXPECT_FALSE(QFileInfo::exists(folder + "/c.zam"));
        QTest::mouseClick(close, Qt::LeftButton);
    });
    ASSERT_TRUE(Choose(kCmdDelete));
    EXPECT_TRUE(watch.Seen());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"keep.zas"});
    EXPECT_EQ(frame->windowTitle(), "ZARK");  // the file shown went to the trash
    for (const char* name : {"a.zas", "b.zas", "c.zam"}) EXPECT_TRUE(QFileInfo::exists(trash + "/" + name)) << name;
}

TEST_F(FileCommandsTest, AFileDroppedOnTheWindowOpens) {
    const QString path = Write("dropped.ZAS", kRifle50, 5, 3);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(dir.filePath("notes.txt")), QUrl::fromLocalFile(path)});
    const QPoint at = frame->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    QTRY_COMPARE(frame->FileName(), path);
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 3);

    QMimeData other;
    other.setUrls({QUrl::fromLocalFile(dir.filePath("notes.txt"))});
    QDragEnterEvent refused(at, Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

// The report as a PDF from the File menu: drawn from a copy of the series, so the live views
// keep what they show; the page set up survives the frame.
TEST_F(FileCommandsTest, ExportPdfFromTheMenuLeavesTheLiveViewsAlone) {
    ASSERT_TRUE(Choose(kCmdRifle50));
    ASSERT_FALSE(Choose(kCmdExportPdf)) << "nothing to print before a series";
    ASSERT_TRUE(Choose(kCmdSerie5));
    Shoot(5);
    frame->Hub().ShowTraceRange(2, 3, 0);
    const TraceImage before = frame->Hub().Store()->Image();
    const int first = frame->Target()->View().replayFirst();

    const QString pdf = dir.filePath("report.pdf");
    {
        test::ModalWatch save([&](QWidget* modal) { TypeAndAccept(modal, pdf); });
        ASSERT_TRUE(Choose(kCmdExportPdf));
        EXPECT_TRUE(save.Seen());
    }
    ASSERT_TRUE(QFileInfo(pdf).isFile());
    QProcess info;
    info.start("pdfinfo", {pdf});
    ASSERT_TRUE(info.waitForFinished(20000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression("Pages:\\s+3\\n")));
    EXPECT_EQ(std::memcmp(&before, &frame->Hub().Store()->Image(), sizeof before), 0);
    EXPECT_EQ(frame->Target()->View().replayFirst(), first);
}

// The printout is dated by the series it shows: the date of the file it was opened from, the time
// a series shot here was saved (by hand or automatically), else the time of its last shot; never
// the date of a file opened before.
TEST_F(FileCommandsTest, ThePrintoutCarriesTheDateOfTheSeriesShown) {
    const auto printedText = [&](const QString& name) {
        const QString pdf = dir.filePath(name);
        test::ModalWatch save([&](QWidget* modal) { TypeAndAccept(modal, pdf); });
        EXPECT_TRUE(Choose(kCmdExportPdf));
        EXPECT_TRUE(save.Seen());
        QProcess text;
        text.start("pdftotext", {"-layout", pdf, "-"});
        EXPECT_TRUE(text.waitForFinished(20000));
        return QString::fromUtf8(text.readAllStandardOutput());
    };
    // A file written on New Year's morning 2020.
    struct Old {
        static FileDate Date() { return FileDate{2020, 1, 1, 8, 0, 0}; }
    };
    const QString old = Write("old.zas", kRifle50, 5, 5);
    {
        SeriesFileIo io;
        io.SetClock(&Old::Date);
        ASSERT_TRUE(files->Commands().Read(old) == FileCommands::Kind::Series);
        ASSERT_TRUE(io.WriteSeries(files->Commands().OpenedSeries(), old));
    }
    ASSERT_EQ(frame->Open(old), 1);
    EXPECT_EQ(frame->SeriesDate(), LocalDateTime(Old::Date()));
    EXPECT_TRUE(printedText("old.pdf").contains(":00:00"));

    // A new series is dated by its last shot until it is saved.
    Key(Qt::Key_F10);
    EXPECT_FALSE(frame->SeriesDate().isValid());
    const QDateTime before = QDateTime::currentDateTime();
    Shoot(5);
    EXPECT_GE(frame->SeriesDate(), before);
    EXPECT_LE(frame->SeriesDate(), QDateTime::currentDateTime());

    // Saved with Ctrl+S: the time of saving, which the file carries too.
    {
        test::ModalWatch save([&](QWidget* modal) { TypeAndAccept(modal, "today"); });
        CtrlKey(Qt::Key_S);
        EXPECT_TRUE(save.Seen());
    }
    EXPECT_EQ(frame->SeriesDate(), LocalDateTime(g_now));
    const QString saved = printedText("today.pdf");
    EXPECT_TRUE(saved.contains(":30:05")) << saved.toStdString();
    EXPECT_FALSE(saved.contains(":00:00"));

    // Saved automatically after the old file was shown again: the time of that save.
    ASSERT_EQ(frame->Open(old), 1);
    ASSERT_TRUE(Choose(kCmdSaveAutomatically));
    g_now.second = 9;
    Key(Qt::Key_F10);
    Shoot(5);
    EXPECT_TRUE(frame->FileName().endsWith("-213009.ZAS")) << frame->FileName().toStdString();
    EXPECT_EQ(frame->SeriesDate(), LocalDateTime(g_now));
    EXPECT_TRUE(printedText("auto.pdf").contains(":30:09"));
    g_now.second = 5;
}

TEST(PageSetup, TheMarginsAndPaperSurviveARestart) {
    test::StoreValue("HideWarningAtStartup", "1");
    const PrintRecord letter{1000, 1200, 1300, 1400, 21590, 27940};
    {
        MainFrame frame;
        ASSERT_EQ(frame.Create("ZARK", "ZARK"), 1);
        frame.Print().SetRecord(letter);
    }
    MainFrame frame;
    ASSERT_EQ(frame.Create("ZARK", "ZARK"), 1);
    EXPECT_EQ(frame.Print().Record(), letter);
    frame.Print().SetRecord(PrintRecord{});
}

}  // namespace
}  // namespace zark
