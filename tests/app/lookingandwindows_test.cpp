// What a shooter does to look at a series, on the real main window with real clicks: the hunting
// buttons show the side in use and moving range ends with the face that had it; closed windows
// come back from the View menu with their content; a double click on a row replays; the replay
// commands without a range take the whole trace; a timeline drag ends a paused replay; a new
// series clears the diagram's range; the analysis titles fit; the notice banner follows its window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QAction>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "app/acceleratorfilter.h"
#include "window/commandids.h"
#include "app/mainframe.h"
#include "app/noticebanner.h"
#include "apptestsupport.h"
#include "core/seriesflow.h"
#include "core/timedseries.h"
#include "core/targetrun.h"
#include "i18n/uistrings.h"
#include "replay/widgets/toolbar.h"
#include "replay/widgets/tracetimeline.h"
#include "results/diagramplot.h"
#include "results/widgets/analysiswindow.h"
#include "results/widgets/diagramwindow.h"
#include "results/widgets/scoreboard.h"
#include "results/widgets/shotlistwidget.h"
#include "storage/seriesfileio.h"
#include "storage/seriesrecord.h"
#include "support/modalwatch.h"
#include "targets/widgets/aimcross.h"
#include "targets/widgets/shotmark.h"
#include "targets/widgets/targetview.h"
#include "targets/widgets/targetwindow.h"

namespace zark {
namespace {

// A column's title as its header shows it: the analysis lists fit theirs to the column.
QString ShownTitle(const QTreeWidget& list, int c) {
    const QVariant shown = list.headerItem()->data(c, AnalysisWindow::kShownTitleRole);
    return shown.isValid() ? shown.toString() : list.headerItem()->text(c);
}

class Looking : public ::testing::Test {
protected:
    void SetUp() override {
        test::StoreValue("HideWarningAtStartup", "1");
        frame = std::make_unique<MainFrame>();
        ASSERT_EQ(frame->Create("ZARK", "ZARK"), 1);
        frame->resize(1000, 760);
        accelerators = std::make_unique<AcceleratorFilter>(
            *frame, frame->Accelerators(), [this](int command) { frame->OnCommand(command, true); });
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    void TearDown() override {
        accelerators.reset();
        frame.reset();
    }
    QAction* Find(int command) { return test::FindCommand(*frame, command); }
    bool Choose(int command) { return test::ChooseCommand(*frame, command); }
    TargetWindow& Target() { return *frame->Target(); }
    TargetView& View() { return Target().View(); }
    void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    void ClickTool(int command) {
        Toolbar& toolbar = frame->ToolbarButtons();
        Click(toolbar.Bar()->widgetForAction(toolbar.Button(command)));
    }

    // A Rifle 50 series of five shots 1.2 s apart, opened from a file; timed (8 s rapid fire) as the
    // program times it, the first shot broke before the window opened ("0 late").
    void OpenSeries(bool timed = false) {
        auto record = std::make_unique<SeriesRecord>();
        record->Clear();
        record->targetId = 1200;
        record->numberOfShots = 5;
        TraceImage& image = record->store;
        TimedSequence clock;
        clock.Start(DrillOfPreset(TimedPreset::Rapid8), 40, 1, 0);
        for (int k = 0; k < 5; ++k) {
            const int gap = timed && k == 1 ? 250 : 30;  // the window opens at the 251st point
            for (int i = 0; i < gap; ++i)
                image.samples[image.sampleCount++] = AimSample{std::int16_t(40 * k + i % 30 - 90), std::int16_t(30 - i % 30)};
            image.shots[k] = ShotRecord{std::int16_t(40 * k - 61), 1, image.sampleCount - 1, 0};
            image.timing[k] = clock.OnShot(image.sampleCount - 1);
        }
        image.shotCount = 5;
        image.timed = timed ? 1 : 0;
        image.drill = clock.Drill();
        const QString path = dir.filePath("five.zas");
        ASSERT_TRUE(SeriesFileIo().WriteSeries(*record, path));
        ASSERT_EQ(frame->Open(path), 1);
    }
    int VisibleMarks() {
        int n = 0;
        for (int k = 0; k < 5; ++k) n += View().Mark(k)->isVisible() ? 1 : 0;
        return n;
    }

    QTemporaryDir dir;
    std::unique_ptr<MainFrame> frame;
    std::unique_ptr<AcceleratorFilter> accelerators;
};

TEST_F(Looking, TheHuntingButtonsShowTheSideAndMovingRangeEndsOnARingFace) {
    ASSERT_TRUE(Choose(kCmdMoose5));
    Click(Target().Button(1));  // Moving Range
    ASSERT_EQ(Target().Run().movingRange(), 1);
    ASSERT_TRUE(Choose(kCmdRifle50));
    EXPECT_EQ(Target().Run().movingRange(), 0);
    ASSERT_TRUE(Choose(kCmdSerie5));
    EXPECT_EQ(frame->Hub().shotsEnabled(), 1);
    frame->Hub().FeedSample(10, 12, 0, 0, -1);
    frame->Hub().FeedSample(10, 10, 1, 0, -1);
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 1);
    QTest::keyClick(frame.get(), Qt::Key_F3);  // pause, so another face can be chosen
    {
        test::ModalWatch question([](QWidget* modal) {
            QTest::mouseClick(modal->findChild<QPushButton*>("discardButton"), Qt::LeftButton);
        });
        ASSERT_TRUE(Choose(kCmdDeer));
        EXPECT_TRUE(question.Seen());  // the shot of the paused series is not dropped without asking
    }
    Click(Target().Button(2));  // Right
    EXPECT_EQ(frame->Hub().side(), 1);
    EXPECT_TRUE(Target().Button(2)->isChecked());
    ASSERT_TRUE(Choose(kCmdBoar));
    EXPECT_EQ(frame->Hub().side(), 0);
    EXPECT_TRUE(Target().Button(0)->isChecked());
    Click(Target().Button(1));
    ASSERT_TRUE(Choose(kCmdRoebuck));  // another face with moving targets keeps moving range
    EXPECT_TRUE(Target().Button(1)->isChecked());
}

TEST_F(Looking, ClosedWindowsComeBackFromTheViewMenuWithTheirContent) {
    EXPECT_FALSE(Find(kCmdTargetWindow)->isEnabled());  // nothing to show before a target
    OpenSeries();
    for (const auto [command, role] : {std::pair{kCmdTargetWindow, ChildRole::Target},
                                       std::pair{kCmdScoreboardWindow, ChildRole::Scoreboard}}) {
        QMdiSubWindow* window = frame->ChildWindow(role)->Window();
        ASSERT_TRUE(Find(command)->isChecked());
        window->close();  // what the close box does
        EXPECT_FALSE(window->isVisible());
        EXPECT_FALSE(Find(command)->isChecked());
        ASSERT_TRUE(Choose(command));
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->widget()->isVisible()) << "the content comes back with the window";
    }
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 5);  // closing never touches the series
    EXPECT_EQ(frame->ScoreboardWindow()->SeriesWidget()->topLevelItemCount(), 6);
    EXPECT_FALSE(Find(kCmdMatchBoardWindow)->isEnabled());  // no match shown
}

TEST_F(Looking, ReplayWithoutARangeADoubleClickAndATimelineDrag) {
    OpenSeries();
    // No range chosen yet: Replay End shows the whole trace with every mark.
    ClickTool(kCmdReplayEnd);
    EXPECT_EQ(VisibleMarks(), 5);
    EXPECT_FALSE(View().ReplayRunning());

    // A double click on a row, as a person makes it, plays that shot's stretch.
    ShotListWidget& rows = *frame->ScoreboardWindow()->SeriesWidget();
    const QPoint at = rows.visualItemRect(rows.topLevelItem(2)).center();
    QTest::mousePress(rows.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(rows.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(rows.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(rows.viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(View().ReplayRunning());

    // Stopped half way, then a range dragged on the timeline: the replay ends, the range's marks show.
    ClickTool(kCmdReplayStop);
    TraceTimeline& timeline = *frame->Timeline();
    const QRect strip = timeline.contentsRect();
    QTest::mousePress(&timeline, Qt::LeftButton, {}, QPoint(strip.left() + 2, strip.center().y()));
    QTest::mouseMove(&timeline, QPoint(strip.right() - 2, strip.center().y()));
    QTest::mouseRelease(&timeline, Qt::LeftButton, {}, QPoint(strip.right() - 2, strip.center().y()));
    EXPECT_FALSE(View().Cross()->isVisible());
    EXPECT_EQ(VisibleMarks(), 5);

    // A new series forgets the range and its averages in the diagram.
    DiagramPlot& plot = *frame->Diagram()->Plot();
    EXPECT_GE(plot.First(), 0);
    QTest::keyClick(frame.get(), Qt::Key_F10);
    EXPECT_EQ(plot.First(), -1);
    EXPECT_EQ(plot.Averages().distance, 0);
}

TEST_F(Looking, TheAnalysisTitlesFitAndTheBannerFollowsItsWindow) {
    OpenSeries();
    ASSERT_TRUE(Choose(kCmdAnalysis));
    const Rect home = AnalysisWindow::kDefaultRect;
    frame->Analysis()->Window()->resize(home.right - home.left, home.bottom - home.top);  // its size at first
    QTreeWidget& list = *frame->Analysis()->List();
    QTest::qWait(1);
    const QFontMetrics metrics = list.header()->fontMetrics();
    for (int c = 0; c < list.columnCount(); ++c)
        for (const QString& line : ShownTitle(list, c).split('\n'))
            EXPECT_LE(metrics.horizontalAdvance(line), list.columnWidth(c)) << line.toStdString();
    // Whole on one line where the column has the room, else the unit below the name.
    const QString release = ShownTitle(list, 4);
    EXPECT_TRUE(release == "Release (mm)" || release == "Release\n(mm)") << release.toStdString();

    QWidget holder;
    holder.resize(640, 400);
    QWidget area(&holder);
    area.setGeometry(0, 30, 640, 340);
    NoticeBanner banner(&holder, &area);
    holder.show();
    banner.Show("Failed to open file /home/shooter/a/very/long/folder/name/that/has/no/spaces/at/all/series.zas");
    EXPECT_LE(banner.geometry().right(), holder.width());
    holder.resize(900, 600);
    area.setGeometry(0, 30, 900, 540);
    QTest::qWait(1);
    EXPECT_EQ(banner.geometry().bottom(), 30 + 540 - 1 - 8);
    EXPECT_EQ(banner.width(), 900 - 16);
}

// No header or cell of the results windows is cut or shortened at the sizes they first get, in any
// of the four languages (each run in a child process of its own language).
TEST(TextsWhole, InEachLanguage) {
    if (qEnvironmentVariableIsSet("ZARK_CHILD_LANGID")) GTEST_SKIP() << "a child run";
    for (const int langId : {1031, 1053, 3082, 1033})
        EXPECT_EQ(test::RunChild("Looking.TextsWholeInItsLanguage", langId), 0) << langId;
}

// The room a list gives a column's header and cells against the width of their texts (wrapped cells
// within their row's height), and against what the view needs to draw them (pictures included).
void ExpectWhole(const QTreeWidget& list, int padding, const char* name, bool boldRow = false) {
    const QFontMetrics header = list.header()->fontMetrics();
    QFont boldFont = list.font();
    boldFont.setBold(boldRow);  // the analysis sets the replayed shot's row in bold
    const QFontMetrics cells(boldFont);
    int columns = 0;
    for (int c = 0; c < list.columnCount(); ++c) {
        const int room = list.columnWidth(c) - padding;
        columns += list.columnWidth(c);
        const QStringList lines = ShownTitle(list, c).split('\n');
        for (const QString& line : lines) {
            EXPECT_FALSE(line.contains(QChar(0x2026))) << name << " " << line.toStdString();
            EXPECT_LE(header.horizontalAdvance(line), room) << name << " " << line.toStdString();
        }
        EXPECT_GE(list.header()->height(), int(lines.size()) * header.height()) << name << " column " << c;
        if (!list.wordWrap())
            EXPECT_GE(list.columnWidth(c), static_cast<const QAbstractItemView&>(list).sizeHintForColumn(c))
                << name << " column " << c;
        for (int row = 0; row < list.topLevelItemCount(); ++row) {
            const QString text = list.topLevelItem(row)->text(c);
            const QRect used = cells.boundingRect(QRect(0, 0, room, 1 << 16), list.wordWrap() ? Qt::TextWordWrap : 0, text);
            EXPECT_LE(used.width(), room) << name << " column " << c << " " << text.toStdString();
            EXPECT_LE(used.height(), list.visualItemRect(list.topLevelItem(row)).height()) << name << " " << text.toStdString();
        }
    }
    EXPECT_LE(columns, list.viewport()->width()) << name;  // no column beyond the edge
}

TEST_F(Looking, TextsWholeInItsLanguage) {
    if (!qEnvironmentVariableIsSet("ZARK_CHILD_LANGID")) GTEST_SKIP() << "run by TextsWhole.InEachLanguage";
    OpenSeries(true);
    ASSERT_TRUE(Choose(kCmdAnalysis));
    if (!frame->Menus().HasCheck(kCmdDiagram)) {
        ASSERT_TRUE(Choose(kCmdDiagram));
    }
    QTest::qWait(1);
    AnalysisWindow& analysis = *frame->Analysis();
    ExpectWhole(*analysis.List(), 8, "analysis", true);
    ExpectWhole(*analysis.PhaseList(), 6, "phases");
    const ShotListWidget& scores = *frame->ScoreboardWindow()->SeriesWidget();
    EXPECT_TRUE(scores.topLevelItem(0)->text(0).endsWith(" " + UiQString(542))) << scores.topLevelItem(0)->text(0).toStdString();
    ExpectWhole(scores, 0, "scoreboard");
    DiagramWindow& diagram = *frame->Diagram();
    for (int i = 0; i < 4; ++i)
        EXPECT_LE(diagram.Box(i)->x() + diagram.Box(i)->sizeHint().width(), diagram.Content()->width())
            << diagram.Box(i)->text().toStdString();
    // Placed beside one another, not one exactly over the other.
    EXPECT_NE(QPoint(analysis.Geometry().left, analysis.Geometry().top),
              QPoint(diagram.Geometry().left, diagram.Geometry().top));
    test::KeepPicture(frame.get(), QStringLiteral("texts-%1.png").arg(test::ProcessLangId()));

    // Narrowed to 620 pixels the analysis keeps every column whole, on either tab a click shows.
    analysis.Window()->resize(620, analysis.Window()->height());
    QTabBar& tabs = *analysis.Pages()->tabBar();
    for (int tab = tabs.count() - 1; tab >= 0; --tab) {
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(tab).center());
        QTest::qWait(1);
        const auto& page = *static_cast<const QTreeWidget*>(analysis.Pages()->currentWidget());
        ExpectWhole(*analysis.List(), 8, "analysis at 620", true);
        ExpectWhole(page, 6, qPrintable(page.objectName() + " at 620"));
        test::KeepPicture(analysis.Window(), QStringLiteral("analysis-620-%1-%2.png").arg(test::ProcessLangId()).arg(tab));
    }
}

}  // namespace
}  // namespace zark
