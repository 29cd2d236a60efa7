// The scoreboard with real clicks on its lists: the sighters' rows toggle and show their traces
// together, the total row shows the whole trace or nothing, the series list shows the last row
// selected with Ctrl, rows of shots not fired show nothing; the lists follow the window's size
// and the window keeps its place.
#include <gtest/gtest.h>

#include <algorithm>
#include <QMdiArea>
#include <QWidget>
#include <memory>

#include "window/mdiclient.h"
#include "apptestsupport.h"
#include "results/widgets/childframe.h"
#include "results/widgets/scoreboard.h"
#include "results/widgets/shotlistwidget.h"
#include "resultstestsupport.h"
#include "settings/settings.h"
#include "targets/builtcatalogue.h"

namespace zark {
namespace {

using Range = std::tuple<int, int, int>;

class ScoreboardClicks : public ::testing::Test, public test::HubAndArea {
protected:
    ScoreboardClicks() {
        test::RemoveValue("Dialogs/Scoreboard");
        board = std::make_unique<Scoreboard>();
        board->Create(client, hub);
        log = std::make_unique<test::RangeLog>(&hub);
        hub.SetTargets(&test::BuiltCatalogue().Entry(3), nullptr);
        board->Window()->show();
        host.show();
    }
    ~ScoreboardClicks() override {
        log.reset();
        board.reset();
    }
    // n shots of 30 points each and a few points after the last.
    void Shoot(int n) {
        for (int k = 0; k < n; ++k) test::FeedShot(hub, 8 * k + 4, 6);
        for (int i = 0; i < 10; ++i) hub.FeedSample(90, 90, 0, 0, -1);
    }
    Range ShotWindow(int shot) {
        const auto w = hub.Store()->ReplayWindow(shot, settings.ReplayTimeBefore, settings.ReplayTimeAfter);
        EXPECT_TRUE(w.ok);
        return {w.first, w.last, 0};
    }
    static Range Added(Range r) {
        std::get<2>(r) = 1;
        return r;
    }
    std::vector<Range> Ranges() {
        auto ranges = log->ranges;
        log->ranges.clear();
        return ranges;
    }

    std::unique_ptr<Scoreboard> board;
    std::unique_ptr<test::RangeLog> log;
};

TEST_F(ScoreboardClicks, SighterRowsToggleAndTheTotalRowShowsTheWholeTrace) {
    board->SetSightersMode();
    EXPECT_EQ(board->Window()->windowTitle(), "Sighters");
    EXPECT_TRUE(board->SightersWidget()->isVisible());
    EXPECT_FALSE(board->SeriesWidget()->isVisible());
    hub.NewSeries(5, 1, 0);
    Shoot(5);
    ShotListWidget& list = *board->SightersWidget();
    ASSERT_EQ(list.topLevelItemCount(), 6);

    test::ClickRow(list, 0);
    EXPECT_EQ(Ranges(), (std::vector<Range>{{-1, -1, 0}, Added(ShotWindow(0))}));
    test::ClickRow(list, 2);
    EXPECT_EQ(Ranges(), (std::vector<Range>{{-1, -1, 0}, Added(ShotWindow(0)), Added(ShotWindow(2))}));
    EXPECT_EQ(test::SelectedRows(list), (std::vector<int>{0, 2}));
    test::ClickRow(list, 0);  // out again
    EXPECT_EQ(Ranges(), (std::vector<Range>{{-1, -1, 0}, Added(ShotWindow(2))}));
    EXPECT_EQ(test::SelectedRows(list), (std::vector<int>{2}));

    const int last = hub.Store()->SampleCount() - 1;
    test::ClickRow(list, 5);
    EXPECT_EQ(Ranges(), (std::vector<Range>{{0, last, 0}}));
    EXPECT_EQ(test::SelectedRows(list), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    test::ClickRow(list, 5);
    EXPECT_EQ(Ranges(), (std::vector<Range>{{-1, -1, 0}}));
    EXPECT_TRUE(test::SelectedRows(list).empty());
}

TEST_F(ScoreboardClicks, SeriesListShowsTheLastRowSelectedAndSkipsShotsNotFired) {
    int replays = 0;
    board->onReplay = [&] { ++replays; };
    hub.NewSeries(5, 0, 0);
    Shoot(4);
    ShotListWidget& list = *board->SeriesWidget();
    test::ClickRow(list, 1);  // refused while the series is being shot
    EXPECT_TRUE(Ranges().empty());
    hub.StopAcquisition();    // paused: looking is allowed
    test::ClickRow(list, 5);  // the total: not every shot is there yet
    test::ClickRow(list, 4);  // not fired
    EXPECT_TRUE(Ranges().empty());

    test::ClickRow(list, 1);
    EXPECT_EQ(Ranges(), (std::vector<Range>{ShotWindow(1)}));
    test::ClickRow(list, 3, Qt::ControlModifier);  // the second and fourth rows: the last decides
    EXPECT_EQ(Ranges(), (std::vector<Range>{ShotWindow(1), ShotWindow(3)}));
    EXPECT_EQ(test::SelectedRows(list), (std::vector<int>{3}));

    Shoot(1);
    test::ClickRow(list, 5);
    EXPECT_EQ(Ranges(), (std::vector<Range>{{0, hub.Store()->SampleCount() - 1, 0}}));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.topLevelItem(0)).center());
    EXPECT_EQ(replays, 1);
}

TEST_F(ScoreboardClicks, ListsFollowTheWindowSizeInEitherMode) {
    board->SetSightersMode();
    board->Window()->resize(260, 330);
    QCoreApplication::processEvents();
    const QRect area = board->Content()->rect();
    EXPECT_EQ(board->SightersWidget()->geometry(), area);
    EXPECT_EQ(board->SeriesWidget()->geometry(), area);
    ShotListWidget& list = *board->SightersWidget();
    const int sum = list.columnWidth(0) + list.columnWidth(1) + list.columnWidth(2);
    EXPECT_NEAR(sum, list.viewport()->width(), 3);
    EXPECT_NEAR(list.columnWidth(0), list.columnWidth(2), 2);
}

TEST_F(ScoreboardClicks, FirstPlaceRightOfTheTargetWindowAndThePlaceKept) {
    // (170 wide before the first size fitted the titles and a late shot's score; never narrower)
    const int height = ChildFrameExtra() + Scoreboard::kClientHeight;
    const int width = std::max(Scoreboard::kDefaultWidth, board->FirstSize().width());
    EXPECT_EQ(board->Geometry(), (Rect{462, 0, 462 + width, height}));
    board->SetGeometry(Rect{300, 20, 520, 320});
    log.reset();
    board.reset();
    board = std::make_unique<Scoreboard>();
    board->Create(client, hub);
    EXPECT_EQ(board->Geometry(), (Rect{300, 20, 520, 320}));
    EXPECT_EQ(test::StoredValue("Dialogs/Scoreboard").toString(), "300,20,520,320");
}

}  // namespace
}  // namespace zark
