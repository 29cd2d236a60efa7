// The match board in the main frame: a match of programme type 0 shows four series items and the
// match total; choosing a series shows it in every view, the total item changes nothing; while a
// series of a running match is being shot (or paused in between) choosing a stored series is
// refused, so the series being recorded is never mixed with a stored one.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <cstring>
#include <memory>

#include "window/commandids.h"
#include "app/mainframe.h"
#include "apptestsupport.h"
#include "core/seriesflow.h"
#include "core/targetrun.h"
#include "results/widgets/diagramwindow.h"
#include "results/widgets/matchboard.h"
#include "results/widgets/scoreboard.h"
#include "results/widgets/shotlistwidget.h"
#include "resultstestsupport.h"
#include "framewithseries.h"

namespace zark {
namespace {

// Chooses the programme of type 0 (sighters, then four series of ten) without a dialog.
class TypeZeroChooser final : public MatchChooser {
public:
    bool Choose(const MatchCatalogue& catalogue, int& index) override {
        MatchProgramme type0{};
        FillMatchProgramme(type0, 0);
        for (int i = 0; i < catalogue.Count(); ++i)
            if (std::strcmp(catalogue.Programme(i).title, type0.title) == 0) index = i;
        return true;
    }
};

class MatchBoardInFrame : public ::testing::Test, public test::FrameWithSeries {
protected:
    MatchBoardInFrame() {
        frame->Matches().SetChooser(&chooser);
        frame->resize(1100, 800);
        EXPECT_TRUE(test::ChooseCommand(*frame, kCmdRifle50));
    }
    MatchBoard& Board() { return *frame->MatchBoardWindow(); }
    QListWidget& BoardList() { return *Board().List(); }
    void ClickItem(int item) {
        QListWidget& list = BoardList();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(item)).center());
    }
    std::vector<std::string> ItemTexts() {
        std::vector<std::string> texts;
        for (int i = 0; i < BoardList().count(); ++i) texts.push_back(BoardList().item(i)->text().toStdString());
        return texts;
    }
    // Live shots through the target run: each settles, and the last of a series completes it.
    void Shoot(int n, int x = 20) {
        for (int i = 0; i < n; ++i) {
            test::FeedShot(frame->Hub(), x, 3, 10);
            timers.FireAll();
        }
    }

    TypeZeroChooser chooser;
};

// A stored series of ten shots at the given positions, each after a short approach.
TraceImage SeriesOf(const std::vector<std::pair<int, int>>& shots) {
    auto store = std::make_unique<TraceStore>();
    for (const auto& [x, y] : shots) {
        for (int i = 1; i <= 20; ++i) store->AppendSample(x + 3 * i, y - 2 * i);
        store->AppendShot(x, y, 0);
    }
    return store->Image();
}

TEST_F(MatchBoardInFrame, AnOpenedMatchShowsItsSeriesAndEachChosenSeriesInEveryView) {
    MatchProgramme programme{};
    ASSERT_TRUE(FillMatchProgramme(programme, 0));
    const std::vector<std::pair<int, int>> tens(10, {64, 0}), nines(10, {0, -65});
    std::vector<std::pair<int, int>> mixed(5, {64, 0});
    mixed.insert(mixed.end(), 5, {0, -65});
    std::vector<std::pair<int, int>> inner(9, {64, 0});
    inner.push_back({43, 0});  // an inner ten counts ten
    auto series = std::make_unique<TraceImage[]>(4);
    series[0] = SeriesOf(tens);
    series[1] = SeriesOf(nines);
    series[2] = SeriesOf(mixed);
    series[3] = SeriesOf(inner);
    frame->Flow()->LoadMatch(programme, series.get(), 4);
    frame->ShowLoadedMatch();

    ASSERT_TRUE(Board().Window()->isVisible());
    EXPECT_EQ(Board().Window()->windowTitle().toStdString(), programme.title);
    EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"100", "90", "95", "100", "385"}));
    Scoreboard& scoreboard = *frame->ScoreboardWindow();
    ShotListWidget& shots = *scoreboard.SeriesWidget();
    EXPECT_EQ(shots.topLevelItem(10)->text(0), "100");  // the first series is shown

    const int changes = view->storeChanges;
    ClickItem(1);
    EXPECT_EQ(view->storeChanges, changes + 1);
    EXPECT_EQ(std::memcmp(&frame->Hub().Store()->Image(), &series[1], sizeof(TraceImage)), 0);
    EXPECT_EQ(shots.topLevelItem(0)->text(0), " 9");
    EXPECT_EQ(shots.topLevelItem(10)->text(0), "90");
    DiagramPlot& plot = *frame->Diagram()->Plot();
    EXPECT_EQ(plot.First(), -1);

    // The whole of series 2 in the diagram, with its averages.
    test::ClickRow(shots, 10);
    EXPECT_EQ(plot.First(), 0);
    EXPECT_EQ(plot.Last(), frame->Hub().Store()->SampleCount() - 1);
    EXPECT_GT(plot.Averages().distance, 65);
    EXPECT_TRUE(frame->Diagram()->Box(1)->text().startsWith("Absolute deviation (Average "));

    // Choosing it again shows it again; the total item leaves everything as it is.
    ClickItem(1);
    EXPECT_EQ(view->storeChanges, changes + 2);
    EXPECT_EQ(plot.First(), -1);
    test::ClickRow(shots, 10);
    ClickItem(4);
    EXPECT_EQ(view->storeChanges, changes + 2);
    EXPECT_EQ(plot.First(), 0);
    EXPECT_EQ(std::memcmp(&frame->Hub().Store()->Image(), &series[1], sizeof(TraceImage)), 0);
}

TEST_F(MatchBoardInFrame, AStoredSeriesIsNotShownWhileASeriesOfTheMatchIsShot) {
    ASSERT_TRUE(test::ChooseCommand(*frame, kCmdMatch));
    SeriesFlow& flow = *frame->Flow();
    ASSERT_EQ(flow.matchMode(), 1);
    EXPECT_TRUE(Board().Window()->isVisible());
    EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"", "", "", "", ""}));
    Shoot(5);  // the sighters
    ASSERT_EQ(flow.waitingAfterSighters(), 1);
    frame->OnCommand(kCmdPauseContinue, true);  // F3: the first series
    Shoot(10);
    ASSERT_EQ(flow.currentEntry(), 2);
    EXPECT_EQ(ItemTexts()[0], "100");
    const TraceImage first = flow.matchSeries(0);

    Shoot(3);  // the second series is being shot
    const auto recorded = std::make_unique<TraceImage>(frame->Hub().Store()->Image());
    ClickItem(0);
    EXPECT_EQ(std::memcmp(&frame->Hub().Store()->Image(), recorded.get(), sizeof(TraceImage)), 0);
    EXPECT_EQ(Board().FirstSelected(), -1);  // the choice is taken back
    frame->OnCommand(kCmdPauseContinue, true);  // paused in the middle of the series
    ASSERT_EQ(flow.paused(), 1);
    ClickItem(0);
    EXPECT_EQ(std::memcmp(&frame->Hub().Store()->Image(), recorded.get(), sizeof(TraceImage)), 0);
    frame->OnCommand(kCmdPauseContinue, true);
    Shoot(7);  // the series goes on where it was
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 0);  // complete: the third series has begun
    EXPECT_EQ(flow.matchSeries(1).shotCount, 10);
    EXPECT_EQ(flow.currentEntry(), 3);

    Shoot(20);  // the last two series: the match is complete
    ASSERT_EQ(flow.currentEntry(), 5);
    ASSERT_FALSE(flow.seriesInProgress());
    ClickItem(0);
    EXPECT_EQ(std::memcmp(&frame->Hub().Store()->Image(), &first, sizeof(TraceImage)), 0);
    EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"100", "100", "100", "100", "400"}));
}

}  // namespace
}  // namespace zark
