// The analysis window on a live hub, the shot list's tooltips, the printed block, the View menu item.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "window/commandids.h"
#include "app/mainframe.h"
#include "apptestsupport.h"
#include "results/widgets/analysiswindow.h"
#include "results/widgets/shotlistwidget.h"
#include "resultstestsupport.h"
#include "targets/builtcatalogue.h"

namespace zark {
namespace {

const TargetDescriptor* FaceOf(int identity) {
    TargetPair pair;
    test::BuiltCatalogue().FindByIdentity(identity, pair);
    return pair.first;
}

class Analysis : public ::testing::Test, public test::HubAndArea {
protected:
    Analysis() : ranges(&hub) {
        test::RemoveValue("Dialogs/Analysis");
        window.Create(client);
        window.AttachView(hub);
        window.Window()->show();
        host.show();
        hub.SetTargets(FaceOf(1250), nullptr);  // air rifle: a unit is 0.1 mm
        hub.NewSeries(10, 0, 0);
        EXPECT_EQ(window.GroupLabel()->text(), "No shots yet");
        // a still hold in the ten; a hold in the nine with the shot 5 mm below it, a follow-through
        for (int i = 0; i < 30; ++i) hub.FeedSample(10, 0, 0, 0, -1);
        hub.FeedSample(10, 0, 1, 0, -1);
        for (int i = 0; i < 25; ++i) hub.FeedSample(0, 30, 0, 0, -1);
        hub.FeedSample(0, -20, 1, 0, -1);
        for (int i = 0; i < 10; ++i) hub.FeedSample(0, -25, 0, 0, -1);
        hub.StopAcquisition();  // a shot is looked at once the series stops
    }
    QStringList Row(int row) {
        QStringList cells;
        for (int c = 0; c < 6; ++c) cells << window.List()->topLevelItem(row)->text(c);
        return cells;
    }
    bool Bold(int row) { return window.List()->topLevelItem(row)->font(0).bold(); }

    test::RangeLog ranges;
    AnalysisWindow window;
};

TEST_F(Analysis, ThePhasesOfEachShotTheirMeansAndVerdicts) {
    // Each stretch starts on the face: neither approach nor settling was seen. The first shot is
    // held 1.08 s and followed through 3.16 mm away; the second is held 0.88 s and broken 5 mm
    // low (jerked), and its follow-through is shown once a second of it has been watched.
    QTreeWidget* phases = window.PhaseList();
    const auto row = [phases](int r) {
        QStringList cells;
        for (int c = 0; c < AnalysisView::kPhaseColumns; ++c) cells << phases->topLevelItem(r)->text(c);
        return cells;
    };
    ASSERT_EQ(phases->topLevelItemCount(), 3);
    EXPECT_EQ(phases->headerItem()->text(1), "Hold (s)");
    EXPECT_EQ(row(0), QStringList({"1", "1.1", "0.0", "0.0", "0.0", "3.2", "clean"}));
    EXPECT_EQ(row(1), QStringList({"2", "0.9", "0.0", "0.0", "5.0", "", "jerked release"}));
    EXPECT_EQ(row(2), QStringList({"Series mean", "1.0", "0.0", "0.0", "2.5", "3.2", ""}));
    EXPECT_EQ(phases->topLevelItem(1)->toolTip(0),
              "Approach: not seen\nSettle: not seen\nHold from 1.0 s before the shot\n"
              "Release from 0.1 s before the shot\njerked release");
    for (int i = 0; i < 16; ++i) hub.FeedSample(0, -25, 0, 0, -1);
    EXPECT_EQ(row(1)[5], "0.5");
    EXPECT_EQ(row(2)[5], "1.8");

    // a click on a shot's row shows its trace, one on the means' row nothing
    test::ClickRow(*phases, 1);
    ASSERT_FALSE(ranges.ranges.empty());
    const auto [first, last, add] = ranges.ranges.back();
    EXPECT_LT(first, 56);
    EXPECT_GT(last, 56);
    const std::size_t shown = ranges.ranges.size();
    test::ClickRow(*phases, 2);
    EXPECT_EQ(ranges.ranges.size(), shown);
}

TEST_F(Analysis, RowsAndGroupFollowTheShotsAsTheyCome) {
    // at once, without waiting for the event loop: the window is up to date within the frame
    ASSERT_EQ(window.List()->topLevelItemCount(), 2);
    EXPECT_EQ(Row(0), QStringList({"1", "100 %", "100 %", "0.0", "0.0", "1.2"}));
    EXPECT_EQ(Row(1), QStringList({"2", "0 %", "100 %", "0.0", "5.0", "1.0"}));
    EXPECT_EQ(window.List()->headerItem()->text(1), "In 10");
    EXPECT_EQ(window.List()->topLevelItem(1)->toolTip(3),
              "In 10: 0 %\nIn 9: 100 %\nTrace (mm): 0.0\nRelease (mm): 5.0\nAiming (s): 1.0\nHold mean (mm): 0.0, 3.0");
    EXPECT_EQ(window.GroupLabel()->text(),
              "Series: 2 shots\nMean point of impact: 1.1 mm at 5 o'clock (x 0.5, y -1.0)\n"
              "Extreme spread: 2.2 mm   Mean radius: 1.1 mm\nStandard deviation: horizontal 0.7 mm, vertical 1.4 mm");
    // every column in view
    QHeaderView* header = window.List()->header();
    EXPECT_LE(header->sectionViewportPosition(5) + header->sectionSize(5), window.List()->viewport()->width());

    // the match's group below the series'
    window.View()->ResetMatch();
    for (int j = 0; j < 2; ++j) window.View()->SetMatchSeries(j, hub.Store()->Image());
    EXPECT_TRUE(window.GroupLabel()->text().contains("Match: 4 shots\nMean point of impact: 1.1 mm at 5 o'clock"));
    window.View()->EndMatch();
    EXPECT_FALSE(window.GroupLabel()->text().contains("Match"));

    // the scoreboard's list gives each shot's hold as its tooltip
    ShotList list(&hub);
    ShotListWidget widget(list, true);
    list.OnTargetsChanged(FaceOf(1250), nullptr);  // joined after the hub had its target
    EXPECT_TRUE(widget.topLevelItem(0)->toolTip(1).startsWith("In 10: 100 %\nIn 9: 100 %\nTrace (mm): 0.0"));

    // the printout's block: the height it asks for is the height it paints
    QImage page(800, 600, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    const int bottom = window.View()->Paint(painter, QRect(10, 20, 700, 500), 4.0);
    painter.end();
    EXPECT_EQ(bottom - 20, window.View()->Height(4.0));
    EXPECT_EQ(page.pixelColor(10, 40), QColor(Qt::black));  // the frame
    EXPECT_EQ(page.pixelColor(10, bottom + 5), QColor(Qt::white));

    // a biathlon plate has no level below the hit
    hub.SetTargets(FaceOf(4050), nullptr);
    EXPECT_EQ(window.List()->headerItem()->text(1), "In 1");
    EXPECT_EQ(window.List()->headerItem()->text(2), "");
}

// The coaching list: the first shot held in the ten (its five nines after it are outweighed), the
// second a lucky ten out of nines, 5 mm below its hold; a call by the hub, the series' row; and the
// sighters' figures while sighters are shot.
TEST_F(Analysis, TheCoachingFiguresTheCallsAndTheSighters) {
    QTreeWidget* coach = window.CoachList();
    const auto row = [coach](int r) {
        QStringList cells;
        for (int c = 0; c < AnalysisView::kCoachColumns; ++c) cells << coach->topLevelItem(r)->text(c);
        return cells;
    };
    ASSERT_EQ(coach->topLevelItemCount(), 3);
    EXPECT_EQ(coach->headerItem()->text(2), "Luck");
    EXPECT_EQ(row(0), QStringList({"1", "10", "0.0", "0.0", "", "", ""}));
    EXPECT_EQ(row(1), QStringList({"2", "9", "+1.0", "5.0", "6", "", ""}));
    EXPECT_EQ(row(2), QStringList({"Series", "", "+1.0", "2.5", "6", "", ""}));
    hub.CallShot(0, kCallGiven, 10, 30);  // called 3 mm high: a 9 against the shot's 10
    EXPECT_EQ(row(0).mid(5), QStringList({"9", "3.0"}));
    EXPECT_EQ(row(2).mid(5), QStringList({"100 %", "3.0"}));
    EXPECT_TRUE(window.GroupLabel()->text().contains("Calls within a point: 100 %"));
    // the printed block has the coaching columns beside the hold's and the series' row
    QImage page(1000, 700, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    const int bottom = window.View()->Paint(painter, QRect(10, 20, 900, 600), 4.0);
    painter.end();
    EXPECT_EQ(bottom - 20, window.View()->Height(4.0));
    if (const QByteArray dir = qgetenv("ZARK_SCREENSHOT_DIR"); !dir.isEmpty()) {
        page.save(QString::fromLocal8Bit(dir) + "/analysis-block.png");
        window.Pages()->setCurrentWidget(coach);
        window.Window()->resize(640, 420);
        window.Window()->grab().save(QString::fromLocal8Bit(dir) + "/analysis-coaching.png");
    }

    // Too low for both lists: the hold figures are the first tab; high enough, above the tabs again.
    window.Window()->resize(640, 260);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.Pages()->indexOf(window.List()), 0);
    EXPECT_EQ(window.Pages()->tabText(0), "Hold");
    EXPECT_TRUE(window.List()->isVisible());
    QTabBar* tabs = window.Pages()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());  // the coaching's tab
    window.Window()->resize(640, 600);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.Pages()->count() == 2 && window.List()->isVisible());
    EXPECT_EQ(window.Pages()->currentWidget(), coach);

    // sighters: how far their correction can be trusted (worked for five in CoachFigures)
    hub.NewSeries(5, 1, 0);
    EXPECT_FALSE(window.GroupLabel()->text().contains("Sighters"));
    hub.FeedSample(30, 0, 1, 0, -1);
    EXPECT_FALSE(window.GroupLabel()->text().contains("Sighters"));  // one says nothing
    hub.FeedSample(90, 0, 1, 0, -1);  // 6 mm apart: sx² = 18, √(18 / 2) = 3 mm
    EXPECT_TRUE(window.GroupLabel()->text().contains("Sighters' correction: within 3.0 mm (standard error of 2 sighters)"))
        << window.GroupLabel()->text().toStdString();
    EXPECT_TRUE(window.GroupLabel()->text().contains(" sighters bring it under "));
    hub.StopAcquisition();
    hub.NewSeries(10, 0, 0);  // a series: no sighters' figures
    hub.FeedSample(30, 0, 1, 0, -1);
    hub.FeedSample(90, 0, 1, 0, -1);
    EXPECT_FALSE(window.GroupLabel()->text().contains("Sighters"));
}

TEST_F(Analysis, TheShownShotsTheReplayedOneAndAClickThatShowsAShot) {
    test::ClickRow(*window.List(), 1);
    ASSERT_FALSE(ranges.ranges.empty());
    EXPECT_LT(std::get<0>(ranges.ranges.back()), 56);  // around the second shot's point
    EXPECT_GT(std::get<1>(ranges.ranges.back()), 56);
    EXPECT_EQ(test::SelectedRows(*window.List()), std::vector<int>{1});
    hub.ShowTraceRange(0, 66, 0);  // the whole series, as the shot list's total row shows it
    EXPECT_EQ(test::SelectedRows(*window.List()), (std::vector<int>{0, 1}));

    hub.BeginReplay();
    hub.FeedSample(10, 0, 0, 1, 20);  // aiming at the first shot
    EXPECT_TRUE(Bold(0));
    hub.FeedSample(0, 30, 0, 1, 56);  // the first shot is more than a second behind
    EXPECT_FALSE(Bold(0));
    EXPECT_TRUE(Bold(1));
    hub.EndReplay();
    EXPECT_FALSE(Bold(1));

    // A double click on either list, as a person makes it, asks for one replay; its last release
    // chooses nothing again.
    int replays = 0;
    window.onReplay = [&] { ++replays; };
    for (const char* name : {"analysisList", "analysisPhases"}) {
        auto* list = window.List()->window()->findChild<QTreeWidget*>(name);
        ASSERT_NE(list, nullptr) << name;
        const QPoint at = list->visualItemRect(list->topLevelItem(0)).center();
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
        const std::size_t shown = ranges.ranges.size();
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
        EXPECT_EQ(ranges.ranges.size(), shown) << name;
    }
    EXPECT_EQ(replays, 2);
}

TEST(AnalysisInFrame, TheViewMenuItemAndTheCloseBox) {
    test::RemoveValue("Dialogs/Analysis");
    MainFrame frame;
    ASSERT_EQ(frame.Create("ZARK", "ZARK"), 1);
    QMdiSubWindow* analysis = frame.Analysis()->Window();
    EXPECT_FALSE(test::ChooseCommand(frame, kCmdAnalysis));  // grey until a target is shown
    ASSERT_TRUE(test::ChooseCommand(frame, kCmdAirRifle));
    EXPECT_FALSE(analysis->isVisible());
    ASSERT_TRUE(test::ChooseCommand(frame, kCmdAnalysis));
    EXPECT_TRUE(analysis->isVisible());
    analysis->close();
    EXPECT_FALSE(analysis->isVisible());
    EXPECT_EQ(frame.Menus().HasCheck(kCmdAnalysis), 0);
    // a new target keeps the window as the menu item says
    ASSERT_TRUE(test::ChooseCommand(frame, kCmdAnalysis));
    ASSERT_TRUE(test::ChooseCommand(frame, kCmdRifle50));
    EXPECT_TRUE(analysis->isVisible());
}

}  // namespace
}  // namespace zark
