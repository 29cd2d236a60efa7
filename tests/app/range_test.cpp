// The range in the program: a coach's ZARK watches a lane through File > Watch Lane..., read-only,
// on a real Mosquitto of the test's own; and a ZARK put on the range as a lane is seen online.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "app/framefiles.h"
#include "app/framerange.h"
#include "app/mainframe.h"
#include "app/noticebanner.h"
#include "app/watchlanedialog.h"
#include "apptestsupport.h"
#include "core/shootinghub.h"
#include "link/linkwindow.h"
#include "range/lanepublisher.h"
#include "range/lanewatcher.h"
#include "range/rangebroker.h"
#include "range/rangeclient.h"
#include "results/shotscore.h"
#include "support/modalwatch.h"
#include "targets/targetcatalogue.h"
#include "targets/widgets/targetwindow.h"
#include "window/commandids.h"

namespace zark {
namespace {

constexpr int kWaitMs = 20000;
const char* const kRangeValues[] = {"RangeEnabled", "RangeHost", "RangePort", "RangeUser", "RangePassword",
                                    "RangeName",    "RangeLane", "RangeShooter"};

class RangeInTheProgram : public ::testing::Test {
protected:
    RangeInTheProgram() {
        catalogue.Build();
        EXPECT_TRUE(broker.Start());
        test::StoreValue("HideWarningAtStartup", "1");
        test::StoreValue("RangeHost", "127.0.0.1");
        test::StoreValue("RangePort", QString::number(broker.Port()));
        test::StoreValue("RangePassword", "zark");
        test::StoreValue("RangeName", "club");
    }
    ~RangeInTheProgram() override {
        frame.reset();
        for (const char* name : kRangeValues) test::RemoveValue(name);
    }
    void Open(const QString& user, bool lane) {
        test::StoreValue("RangeUser", user);
        test::StoreValue("RangeLane", lane ? user : QStringLiteral("coachpc"));
        test::StoreValue("RangeEnabled", lane ? "1" : "0");
        test::StoreValue("RangeShooter", "Eva");
        frame = std::make_unique<MainFrame>();
        ASSERT_EQ(frame->Create("ZARK", "ZARK"), 1);
    }
    bool Choosable(int command) { return test::Choosable(test::FindCommand(*frame, command)); }
    // File > Watch Lane..., and in the dialog a click on the lane's row and on Watch (or on Stop Watching).
    void WatchWithTheDialog(const QString& lane) {
        test::ModalWatch watch([&](QWidget* shown) {
            auto* dialog = qobject_cast<WatchLaneDialog*>(shown);
            ASSERT_NE(dialog, nullptr);
            test::KeepPicture(dialog, "range-watch-lane-dialog");
            if (lane.isEmpty()) return QTest::mouseClick(dialog->StopButton(), Qt::LeftButton);
            QTreeWidget* list = dialog->List();
            ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() > 0; }, kWaitMs));
            QTreeWidgetItem* row = list->findItems(lane, Qt::MatchExactly).value(0);
            ASSERT_NE(row, nullptr);
            EXPECT_EQ(row->text(1), "Ann");
            EXPECT_EQ(row->text(4), "online");
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
            ASSERT_TRUE(dialog->WatchButton()->isEnabled());
            QTest::mouseClick(dialog->WatchButton(), Qt::LeftButton);
        });
        ASSERT_TRUE(test::ChooseCommand(*frame, kCmdWatchLane));
        EXPECT_TRUE(watch.Seen());
    }

    TargetCatalogue catalogue;
    test::RangeBroker broker;
    std::unique_ptr<MainFrame> frame;
};

TEST_F(RangeInTheProgram, ACoachWatchesALaneReadOnlyAndGetsTheMenusBack) {
    // the lane: a hub of its own on the 50 m rifle face, logged in as lane1
    ShootingHub laneHub;
    TargetPair pair;
    catalogue.FindQuietly(1200, pair);
    laneHub.SetTargets(pair.first, pair.second);
    RangeClient laneClient;
    BrokerOptions o;
    o.host = "127.0.0.1";
    o.port = broker.Port();
    o.user = o.clientId = "lane1";
    o.password = "zark";
    laneClient.Start(o);
    auto lane = std::make_unique<LanePublisher>(laneHub, laneClient, LaneIdentity{"club", "lane1", "Ann", "2.0.5"});

    Open("coach", false);
    ASSERT_TRUE(Choosable(kCmdOpen));
    WatchWithTheDialog("lane1");
    ASSERT_TRUE(frame->Range()->Watching());
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Hub().targetA() && frame->Hub().targetA()->Identity() == 1200; }, kWaitMs));
    EXPECT_TRUE(frame->Target()->isVisible());
    EXPECT_TRUE(frame->Target()->Link().Suspended());
    // read-only: nothing that shoots or replaces the series can be chosen
    EXPECT_FALSE(Choosable(kCmdOpen));
    EXPECT_FALSE(Choosable(kCmdSighters3));
    EXPECT_FALSE(Choosable(kCmdNewSerie));
    EXPECT_FALSE(Choosable(kCmdFirstTarget));
    EXPECT_TRUE(frame->Files()->Banner()->text().contains("Watching lane lane1 (Ann)"));

    laneHub.NewSeries(5, 0, 0);
    for (int k = 0; k < 3; ++k) {
        for (int i = 0; i < 40; ++i) laneHub.FeedSample(60 - 3 * i + 20 * k, -40 + 2 * i, 0, 0, -1);
        laneHub.FeedSample(20 * k - 50, 30 - 10 * k, 1, 0, -1);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Hub().Store()->ShotCount() == 3; }, kWaitMs));
    const TraceStore& shown = *frame->Hub().Store();
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(shown.Shot(k).traceIndex, laneHub.Store()->Shot(k).traceIndex);
        EXPECT_EQ(ScoreStoredShot(shown, k, frame->Hub().targetA(), frame->Hub().targetB()).score,
                  ScoreStoredShot(*laneHub.Store(), k, pair.first, pair.second).score);
    }
    EXPECT_TRUE(Choosable(kCmdSave));  // the watched series can be kept
    EXPECT_FALSE(Choosable(kCmdSighters3));
    test::KeepPicture(frame.get(), "range-coach-watching");

    // the lane goes away: the banner says so
    lane.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Files()->Banner()->text().contains("offline"); }, kWaitMs));
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 3);

    WatchWithTheDialog({});
    EXPECT_FALSE(frame->Range()->Watching());
    EXPECT_FALSE(frame->Target()->Link().Suspended());
    EXPECT_TRUE(Choosable(kCmdOpen));
    EXPECT_TRUE(Choosable(kCmdSighters3));
}

TEST_F(RangeInTheProgram, AProgramPutOnTheRangeIsALaneThatLeavesWhenItEnds) {
    ShootingHub coachHub;
    RangeClient coachClient;
    BrokerOptions o;
    o.host = "127.0.0.1";
    o.port = broker.Port();
    o.user = o.clientId = "coach";
    o.password = "zark";
    coachClient.Start(o);
    LaneWatcher watcher(coachClient, coachHub, catalogue, "club");

    Open("lane2", true);
    ASSERT_TRUE(test::ChooseCommand(*frame, kCmdFirstTarget + 3));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return watcher.Lanes().count("lane2") && watcher.Lanes().at("lane2").face == frame->Hub().targetA()->Identity();
    }, kWaitMs));
    const LaneState& state = watcher.Lanes().at("lane2");
    EXPECT_TRUE(state.online);
    EXPECT_EQ(state.shooter, "Eva");
    EXPECT_EQ(state.version, "2.0.5");
    EXPECT_EQ(state.run, LaneRun::Idle);
    frame.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.Lanes().at("lane2").online; }, kWaitMs));
}

}  // namespace
}  // namespace zark
