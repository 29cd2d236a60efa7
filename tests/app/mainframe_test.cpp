// The main frame with real events: window placement and size, layout, caption, targets, zoom,
// shortcuts, the check items, "Rearrange Windows", Exit and closing.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

#include "app/acceleratorfilter.h"
#include "window/commandids.h"
#include "app/mainframe.h"
#include "app/welcomepanel.h"
#include "window/mdichildwindow.h"
#include "apptestsupport.h"
#include "i18n/uistrings.h"
#include "results/widgets/analysiswindow.h"
#include "results/widgets/scoreboard.h"
#include "targets/widgets/targetview.h"
#include "targets/widgets/targetwindow.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

using test::FindAction;
using test::RemoveValue;
using test::StoredValue;
using test::StoreValue;

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        StoreValue("HideWarningAtStartup", "1");
        RemoveValue("Dialogs/Main");
        RemoveValue("Zoom");
    }
    void TearDown() override { Destroy(); }

    void Build() {
        frame = std::make_unique<MainFrame>();
        ASSERT_EQ(frame->Create("ZARK", "ZARK"), 1);
        accelerators = std::make_unique<AcceleratorFilter>(
            *frame, frame->Accelerators(), [this](int command) { frame->OnCommand(command, true); });
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    void Destroy() {
        accelerators.reset();
        frame.reset();
    }
    QAction* Find(int command) { return test::FindCommand(*frame, command); }
    bool Choose(int command) { return test::ChooseCommand(*frame, command); }
    QRect MdiRect() const { return frame->Mdi().Area()->geometry(); }

    std::unique_ptr<MainFrame> frame;
    std::unique_ptr<AcceleratorFilter> accelerators;
};

TEST_F(FrameTest, FirstStartWindow) {
    Build();
    EXPECT_EQ(frame->size(), QSize(640, 480));
    EXPECT_EQ(frame->pos(), QPoint(0, 0));
    EXPECT_EQ(frame->windowTitle(), "ZARK");
    EXPECT_EQ(MainFrame::Instance(), frame.get());
    EXPECT_EQ(frame->minimumSize(), QSize(630, 460));

    // Toolbar band at the top, the child area below it, 32 pixels left for the trace timeline,
    // and the welcome panel over the child area, which stays hidden until a target is shown.
    const QWidget* client = frame->ClientArea();
    const int w = client->width();
    const int h = client->height();
    EXPECT_EQ(frame->Toolbar()->geometry(), QRect(0, 0, w, 30));
    EXPECT_EQ(frame->Toolbar()->objectName(), "toolbar2184");
    EXPECT_EQ(MdiRect(), QRect(0, 30, w, h - 62));
    EXPECT_EQ(frame->Welcome()->geometry(), MdiRect());
    EXPECT_TRUE(frame->Welcome()->isVisible());
    EXPECT_FALSE(frame->Mdi().Area()->isVisible());
    EXPECT_EQ(frame->Welcome()->Caption().toStdString(), UiText(kUiTextWelcome));
    EXPECT_EQ(frame->Welcome()->CaptionRect().height(), 30);
    EXPECT_EQ(frame->Welcome()->CaptionRect().bottom(), frame->Welcome()->height() - 1);
    EXPECT_TRUE(frame->Welcome()->CaptionFont().bold());
    EXPECT_LE(QFontMetrics(frame->Welcome()->CaptionFont()).height(), 14);
    // The target window and the results windows are there, hidden until a target is shown.
    const QList<QMdiSubWindow*> children = frame->Mdi().Area()->subWindowList();
    EXPECT_EQ(children.size(), 5);
    for (const QMdiSubWindow* child : children) EXPECT_FALSE(child->isVisible());
    ASSERT_NE(frame->Target(), nullptr);
    EXPECT_EQ(frame->autoSave(), 0);
}

TEST_F(FrameTest, StoredPlacementGivesTheSizeAtTheTopLeft) {
    StoreValue("Dialogs/Main", "100,50,900,650");
    Build();
    EXPECT_EQ(frame->size(), QSize(800, 600));
    EXPECT_EQ(frame->pos(), QPoint(0, 0));
    frame->resize(780, 700);
    Destroy();
    // The window's rectangle on the screen; only its size is used at the next start.
    const QStringList stored = StoredValue("Dialogs/Main").toString().split(',');
    ASSERT_EQ(stored.size(), 4);
    EXPECT_EQ(stored[2].toInt() - stored[0].toInt(), 780);
    EXPECT_EQ(stored[3].toInt() - stored[1].toInt(), 700);
    Build();
    EXPECT_EQ(frame->size(), QSize(780, 700));
}

TEST_F(FrameTest, AStoredSizeBeyondTheScreenIsCutToIt) {
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();  // 800 × 800 offscreen
    StoreValue("Dialogs/Main", "0,0,60000,60000");
    Build();
    EXPECT_EQ(frame->size(), screen);
    Destroy();
    StoreValue("Dialogs/Main", "-99999999999,0,99999999999,480");
    Build();
    EXPECT_EQ(frame->size(), QSize(screen.width(), 480));
}

TEST_F(FrameTest, NeverSmallerThanTheMinimum) {
    StoreValue("Dialogs/Main", "0,0,200,100");
    Build();
    EXPECT_EQ(frame->size(), QSize(630, 460));
    frame->resize(300, 300);
    EXPECT_EQ(frame->size(), QSize(630, 460));
    frame->resize(631, 900);
    EXPECT_EQ(frame->size(), QSize(631, 900));
}

TEST_F(FrameTest, LayoutFollowsTheSizeButNotWhileMinimised) {
    Build();
    frame->resize(900, 700);
    QCoreApplication::processEvents();
    const QWidget* client = frame->ClientArea();
    EXPECT_EQ(MdiRect(), QRect(0, 30, client->width(), client->height() - 62));
    EXPECT_EQ(frame->Toolbar()->width(), client->width());
    const QRect before = MdiRect();

    frame->setWindowState(Qt::WindowMinimized);
    frame->resize(1000, 760);
    QCoreApplication::processEvents();
    EXPECT_EQ(MdiRect(), before);

    frame->setWindowState(Qt::WindowNoState);
    QCoreApplication::processEvents();
    EXPECT_EQ(MdiRect(), QRect(0, 30, client->width(), client->height() - 62));
    EXPECT_NE(MdiRect(), before);
}

TEST_F(FrameTest, CaptionShowsTheFileUntilATargetIsChosen) {
    Build();
    frame->SetFileName("/data/Rifle 50 meter 3.zas");
    EXPECT_EQ(frame->windowTitle(), "ZARK - /data/Rifle 50 meter 3.zas");
    ASSERT_TRUE(Choose(kCmdRifle50));
    EXPECT_EQ(frame->windowTitle(), "ZARK");
    EXPECT_TRUE(frame->FileName().isEmpty());
}

TEST_F(FrameTest, ChoosingATargetShowsItAndItsShootMenu) {
    Build();
    ASSERT_TRUE(Choose(kCmdPistol50));
    EXPECT_FALSE(frame->Welcome()->isVisible());
    EXPECT_TRUE(frame->Mdi().Area()->isVisible());
    TargetPair pistol;
    ASSERT_EQ(frame->Catalogue().PairForCommand(kCmdPistol50, pistol), 1);
    EXPECT_EQ(frame->Hub().targetA(), pistol.first);
    std::vector<int> shoot;
    for (QAction* a : frame->Menus().ShootMenu()->actions()) shoot.push_back(a->data().toInt());
    EXPECT_EQ(shoot, (std::vector<int>{2137, 2142, 2144, 2163, 2198, 2157, 2158}));
    // The target-shown state.
    EXPECT_TRUE(Find(kCmdZoom3)->isEnabled());
    EXPECT_TRUE(Find(kCmdRearrange)->isEnabled());
    EXPECT_TRUE(Find(kCmdDiagram)->isEnabled());
    EXPECT_FALSE(Find(kCmdSave)->isEnabled());
    EXPECT_FALSE(Find(kCmdPauseContinue)->isEnabled());

    ASSERT_TRUE(Choose(kCmdMoose5));
    TargetPair moose;
    frame->Catalogue().PairForCommand(kCmdMoose5, moose);
    EXPECT_EQ(frame->Hub().targetA(), moose.first);
    EXPECT_EQ(frame->Hub().targetB(), moose.second);
    EXPECT_EQ(TargetFamily(frame->Hub().targetA()->Identity()), 2000);
    EXPECT_NE(Find(kCmdSerie10Double), nullptr);
    EXPECT_EQ(Find(kCmdSighters3), nullptr);
}

TEST_F(FrameTest, ZoomByShortcutsEvenWhileTheItemsAreGrey) {
    Build();
    ASSERT_FALSE(Find(kCmdZoom2)->isEnabled());
    EXPECT_TRUE(Find(kCmdZoom1)->isChecked());  // the stored (default) zoom is applied at start
    const int keys[] = {Qt::Key_2, Qt::Key_4, Qt::Key_3, Qt::Key_1};
    for (const int key : keys) {
        QTest::keyClick(frame.get(), Qt::Key(key), Qt::AltModifier);
        const int zoom = key - Qt::Key_0;
        EXPECT_EQ(frame->CurrentSettings().Zoom, zoom);
        for (int c = kCmdZoom1; c <= kCmdZoom4; ++c) EXPECT_EQ(Find(c)->isChecked(), c == kCmdZoom1 + zoom - 1);
    }
    // Zoom Out at 1:1 and Zoom In at 4:1 stay, with the mark set all the same.
    frame->OnCommand(kCmdZoomOut);
    EXPECT_EQ(frame->CurrentSettings().Zoom, 1);
    EXPECT_TRUE(Find(kCmdZoom1)->isChecked());
    frame->OnCommand(kCmdZoom4);
    frame->OnCommand(kCmdZoomIn);
    EXPECT_EQ(frame->CurrentSettings().Zoom, 4);
    EXPECT_TRUE(Find(kCmdZoom4)->isChecked());
    frame->OnCommand(kCmdZoomOut);
    EXPECT_EQ(frame->CurrentSettings().Zoom, 3);
    Destroy();
    EXPECT_EQ(StoredValue("Zoom").toString(), "3");
}

TEST_F(FrameTest, ABadStoredZoomIsTakenAsTheNearestOne) {
    StoreValue("Zoom", "7");
    Build();
    // Never taken as a command of its own (2111 would have chosen a target).
    EXPECT_EQ(frame->CurrentSettings().Zoom, 4);
    EXPECT_TRUE(Find(kCmdZoom4)->isChecked());
    EXPECT_TRUE(frame->Welcome()->isVisible());
    Destroy();
    StoreValue("Zoom", "0");
    Build();
    EXPECT_EQ(frame->CurrentSettings().Zoom, 1);
}

TEST_F(FrameTest, TheTwelveShortcutsReachTheFrameMarkedAsShortcuts) {
    Build();
    QSignalSpy spy(frame.get(), &MainFrame::commandReceived);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int command;
    } keys[] = {
        {Qt::Key_P, Qt::ControlModifier, 2104}, {Qt::Key_O, Qt::ControlModifier, 2101},
        {Qt::Key_S, Qt::ControlModifier, 2102}, {Qt::Key_D, Qt::AltModifier, 2152},
        {Qt::Key_1, Qt::AltModifier, 2105},     {Qt::Key_2, Qt::AltModifier, 2106},
        {Qt::Key_3, Qt::AltModifier, 2107},     {Qt::Key_4, Qt::AltModifier, 2108},
        {Qt::Key_F3, Qt::NoModifier, 2157},     {Qt::Key_F5, Qt::NoModifier, 2155},
        {Qt::Key_F10, Qt::NoModifier, 2158},    {Qt::Key_F1, Qt::NoModifier, 2159},
    };
    test::ModalWatch openDialog([](QWidget* dialog) { dialog->close(); });  // Ctrl+O asks for a file
    for (const auto& k : keys) QTest::keyClick(frame.get(), k.key, k.modifiers);
    EXPECT_TRUE(openDialog.Seen());
    ASSERT_EQ(spy.count(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(spy[i][0].toInt(), keys[i].command) << i;
        EXPECT_TRUE(spy[i][1].toBool()) << i;
    }
    if (HelpWindow* help = frame->Help().Window()) help->close();

    // Extra modifiers, or keys of the keypad, produce nothing.
    spy.clear();
    QTest::keyClick(frame.get(), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(frame.get(), Qt::Key_F3, Qt::ShiftModifier);
    QTest::keyClick(frame.get(), Qt::Key_F10, Qt::ControlModifier);
    QTest::keyClick(frame.get(), Qt::Key_1, Qt::AltModifier | Qt::KeypadModifier);
    QTest::keyClick(frame.get(), Qt::Key_P);
    EXPECT_EQ(spy.count(), 0);

    // A key pressed in a child widget reaches the frame as well.
    QTest::keyClick(frame->Welcome(), Qt::Key_F10);
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(FrameTest, MenuCommandsCarryNoShortcutMark) {
    Build();
    QSignalSpy spy(frame.get(), &MainFrame::commandReceived);
    ASSERT_TRUE(Choose(kCmdSaveAutomatically));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0][0].toInt(), 2197);
    EXPECT_FALSE(spy[0][1].toBool());
}

TEST_F(FrameTest, AToolkitShortcutNeverTakesAKeyOfTheTable) {
    Build();
    int stolen = 0;
    auto* other = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_D), frame.get());
    QObject::connect(other, &QShortcut::activated, [&stolen] { ++stolen; });
    QTest::keyClick(frame.get(), Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(stolen, 0);
    EXPECT_EQ(frame->Menus().HasCheck(kCmdDiagram), 1);
}

TEST_F(FrameTest, NoShortcutWhileAModalDialogIsOpen) {
    Build();
    QSignalSpy spy(frame.get(), &MainFrame::commandReceived);
    test::ModalWatch watch([](QWidget* dialog) {
        QTest::keyClick(dialog, Qt::Key_F10);
        QTest::keyClick(dialog, Qt::Key_D, Qt::AltModifier);
        QTest::mouseClick(dialog->findChild<QWidget*>("button2001"), Qt::LeftButton);
    });
    ASSERT_TRUE(Choose(kCmdAbout));
    EXPECT_TRUE(watch.Seen());
    ASSERT_EQ(spy.count(), 1);  // the About command alone
    EXPECT_EQ(spy[0][0].toInt(), kCmdAbout);
}

TEST_F(FrameTest, ChecksOfSaveAutomaticallyAndDiagram) {
    Build();
    ASSERT_TRUE(Choose(kCmdSaveAutomatically));
    EXPECT_EQ(frame->autoSave(), 1);
    EXPECT_TRUE(frame->SaveAutomatically());
    EXPECT_TRUE(Find(kCmdSaveAutomatically)->isChecked());
    ASSERT_TRUE(Choose(kCmdSaveAutomatically));
    EXPECT_EQ(frame->autoSave(), 0);
    EXPECT_FALSE(Find(kCmdSaveAutomatically)->isChecked());
    Choose(kCmdSaveAutomatically);
    Destroy();
    Build();
    EXPECT_EQ(frame->autoSave(), 0);  // every start begins without automatic saving

    // The Diagram item is grey until a target is shown; Alt+D works all the same.
    EXPECT_FALSE(Choose(kCmdDiagram));
    QTest::keyClick(frame.get(), Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(frame->Menus().HasCheck(kCmdDiagram), 1);
    QTest::keyClick(frame.get(), Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(frame->Menus().HasCheck(kCmdDiagram), 0);
}

TEST_F(FrameTest, ChildWindowsFollowTheTargetTheDiagramAndRearrange) {
    Build();
    MdiClient& mdi = frame->Mdi();
    constexpr std::uint32_t style = kStyleCaption | kStyleSysMenu | kStyleThickFrame;
    MdiChildWindow diagram, target, scoreboard, matchBoard;
    diagram.Create("Diagram", style, Rect{462, 232, 632, 402}, mdi);
    target.Create("", style, Rect{0, 0, 462, 402}, mdi);
    scoreboard.Create("Shooting", style, Rect{462, 0, 632, 236}, mdi);
    matchBoard.Create("Match", style, Rect{462, 236, 632, 472}, mdi);
    frame->SetChildWindow(ChildRole::Diagram, &diagram);
    frame->SetChildWindow(ChildRole::Target, &target);
    frame->SetChildWindow(ChildRole::Scoreboard, &scoreboard);
    frame->SetChildWindow(ChildRole::MatchBoard, &matchBoard);

    EXPECT_FALSE(Choose(kCmdRearrange));  // grey before a target is shown
    ASSERT_TRUE(Choose(kCmdAirRifle));
    EXPECT_TRUE(target.Window()->isVisible());
    EXPECT_EQ(target.Window()->windowTitle().toStdString(), UiText(frame->Hub().targetA()->NameId()));
    EXPECT_TRUE(scoreboard.Window()->isVisible());
    EXPECT_FALSE(matchBoard.Window()->isVisible());
    EXPECT_FALSE(diagram.Window()->isVisible());
    EXPECT_EQ(mdi.Area()->activeSubWindow(), target.Window());

    ASSERT_TRUE(Choose(kCmdDiagram));
    EXPECT_TRUE(diagram.Window()->isVisible());
    frame->OnCommand(kCmdDiagramWindow);  // the diagram window's own command
    EXPECT_FALSE(diagram.Window()->isVisible());
    EXPECT_EQ(frame->Menus().HasCheck(kCmdDiagram), 0);

    // No wider than the face needs beside the scoreboard: the Part's layout.
    frame->resize(760, 700);
    QCoreApplication::processEvents();
    const QSize area = mdi.ClientSize();
    ASSERT_LE(area.width() - 170, area.height());
    ASSERT_TRUE(Choose(kCmdRearrange));
    EXPECT_EQ(scoreboard.Geometry(), (Rect{area.width() - 170, 0, area.width(), 236}));
    EXPECT_EQ(matchBoard.Geometry(), (Rect{area.width() - 170, 236, area.width(), 472}));
    EXPECT_EQ(diagram.Geometry(), (Rect{area.width() - 170, 236, area.width(), area.height()}));
    EXPECT_EQ(target.Geometry(), (Rect{0, 0, area.width() - 170, area.height()}));
    // The frame's own analysis window: the lower half of the column below the scoreboard, at
    // least as high as the window can be.
    const int column = area.height() - 236;
    const int half = std::max(column - column / 2, frame->Analysis()->Window()->minimumHeight());
    EXPECT_EQ(frame->Analysis()->Geometry(), (Rect{area.width() - 170, area.height() - half, area.width(), area.height()}));

    // A command with a child's number activates that child; any other number does nothing.
    frame->OnCommand(diagram.ChildId());
    EXPECT_TRUE(diagram.Window()->isVisible());
    EXPECT_EQ(mdi.Area()->activeSubWindow(), diagram.Window());
    frame->OnCommand(2151);
    frame->OnCommand(2170);
    EXPECT_EQ(mdi.Area()->activeSubWindow(), diagram.Window());
    EXPECT_EQ(frame->windowTitle(), "ZARK");
    for (const ChildRole role : {ChildRole::Diagram, ChildRole::Target, ChildRole::Scoreboard, ChildRole::MatchBoard})
        frame->SetChildWindow(role, nullptr);
}

// On the screens of today: the whole face at 1:1 and, after Rearrange, results columns a shooter
// can read.
TEST_F(FrameTest, WholeFaceAndReadableColumnsOnWideScreens) {
    Build();
    ASSERT_TRUE(Choose(kCmdRifle50));
    ASSERT_TRUE(Choose(kCmdAnalysis));
    if (!frame->Menus().HasCheck(kCmdDiagram)) {
        ASSERT_TRUE(Choose(kCmdDiagram));
    }
    for (const QSize screen : {QSize(1920, 1080), QSize(2560, 1440), QSize(1280, 800), QSize(1024, 600)}) {
        frame->resize(screen);
        QCoreApplication::processEvents();
        ASSERT_TRUE(Choose(kCmdRearrange));
        QCoreApplication::processEvents();
        const QSize area = frame->Mdi().ClientSize();
        const Rect target = frame->ChildWindow(ChildRole::Target)->Geometry();
        const Rect board = frame->ScoreboardWindow()->Geometry();
        const Rect analysis = frame->Analysis()->Geometry();
        EXPECT_LE(target.Width(), area.height()) << screen.width();
        EXPECT_GE(target.Width(), area.height() * 3 / 4) << screen.width();
        EXPECT_GE(board.Width(), screen.width() >= 1920 ? 300 : 170) << screen.width();
        EXPECT_EQ(board.left, target.right) << screen.width();
        if (screen.width() >= 1920) EXPECT_GE(analysis.Width(), frame->Analysis()->FirstSize().width());
        // Five shots or more in each list shown: the hold figures as the first tab below 1280 × 800.
        const AnalysisWindow& figures = *frame->Analysis();
        const bool tabbed = figures.Pages()->indexOf(figures.List()) >= 0;
        EXPECT_EQ(tabbed, screen.height() < 800) << screen.width();
        for (const QTreeWidget* list : {figures.List(), figures.PhaseList()})
            if (list->isVisible()) EXPECT_GE(list->viewport()->height(), 5 * list->fontMetrics().height()) << screen.width();
        // The face's outer ring inside the view, whatever the window's shape.
        const TargetView& view = frame->Target()->View();
        const int ring = view.UnitsToPixels(frame->Hub().targetA()->RingRadius(0));
        EXPECT_LE(2 * ring, std::min(view.width(), view.height())) << screen.width();
        const QPoint centre = view.ToPixel(0, 0, 0, false);
        EXPECT_TRUE(view.rect().contains(QRect(centre.x() - ring, centre.y() - ring, 2 * ring, 2 * ring)));
    }
    // The places are kept when the frame goes; the next tests start from the first ones.
    Destroy();
    for (const char* name : {"Target", "Scoreboard", "Matchboard", "Diagram", "Analysis"})
        RemoveValue(QStringLiteral("Dialogs/") + QLatin1String(name));
}

TEST_F(FrameTest, ExitAndClosingEndTheLoopAndLeaveTheWindow) {
    Build();
    for (const bool byClosing : {false, true}) {
        // The program's own loop, as the program runs it.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        guard.start(5000);
        QTimer::singleShot(0, frame.get(), [&] {
            if (byClosing)
                EXPECT_FALSE(frame->close());
            else
                EXPECT_TRUE(Choose(kCmdExit));
        });
        EXPECT_EQ(QCoreApplication::exec(), 0) << byClosing;
        EXPECT_TRUE(frame->isVisible());
    }
}

TEST_F(FrameTest, TheDataDirectoryIsMadeOrForgotten) {
    QTemporaryDir dir;
    const QString made = dir.filePath("new/data");
    StoreValue("DataDirectory", made);
    Build();
    EXPECT_TRUE(QDir(made).exists());
    EXPECT_EQ(frame->CurrentSettings().DataDirectory, made.toStdString());
    Destroy();

    // A folder that cannot be made (a file is in the way) leaves no data directory, and that is stored.
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    StoreValue("DataDirectory", dir.filePath("file/data"));
    Build();
    EXPECT_EQ(frame->CurrentSettings().DataDirectory, "");
    Destroy();
    EXPECT_EQ(StoredValue("DataDirectory").toString(), "");
    RemoveValue("DataDirectory");
}

}  // namespace
}  // namespace zark
