// The range in the program: a coach's ZARK watches a lane through File > Watch Lane..., read-only,
// on a real Mosquitto of the test's own; and a ZARK put on the range as a lane is seen online.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
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
#include "core/linkwindow.h"
#include "range/lanepublisher.h"
#include "range/lanewatcher.h"
#include "range/rangebroker.h"
#include "range/rangeclient.h"
#include "range/rangeofficer.h"
#include "range/widgets/rangewindow.h"
#include "core/seriesflow.h"
#include "app/menubar.h"
#include "results/shotscore.h"
#include "support/modalwatch.h"
#include "targets/targetcatalogue.h"
#include "targets/widgets/targetwindow.h"
#include "window/commandids.h"

namespace zark {
namespace {

constexpr int kWaitMs = 20000;
const char* const kRangeValues[] = {"RangeEnabled", "RangeHost",    "RangePort",   "RangeUser",          "RangePassword",
                                    "RangeName",    "RangeLane",    "RangeShooter", "RangeAcceptCommands"};

// How a client of the test logs in on the test's broker: the user as client id, password "zark".
BrokerOptions Login(int port, const QString& user) {
    BrokerOptions o;
    o.host = "127.0.0.1";
    o.port = port;
    o.user = o.clientId = user;
    o.password = "zark";
    return o;
}

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
            if (lane.isEmpty()) return QTest::mouseClick(dialog->StopButton(), Qt::LeftButton);
            QTreeWidget* list = dialog->List();
            ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() > 0; }, kWaitMs));
            QTreeWidgetItem* row = list->findItems(lane, Qt::MatchExactly).value(0);
            ASSERT_NE(row, nullptr);
            EXPECT_EQ(row->text(1), "Ann");
            EXPECT_EQ(row->text(4), "online");
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row).center());
            ASSERT_TRUE(dialog->WatchButton()->isEnabled());
            test::KeepPicture(dialog, "range-watch-lane-dialog.png");
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
    laneClient.Start(Login(broker.Port(), "lane1"));
    auto lane = std::make_unique<LanePublisher>(laneHub, laneClient, LaneIdentity{"club", "lane1", "Ann", "2.0.5"});

    Open("coach", false);
    ASSERT_TRUE(Choosable(kCmdOpen));
    WatchWithTheDialog("lane1");
    ASSERT_TRUE(frame->Range()->Watching());
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Hub().targetA() && frame->Hub().targetA()->Identity() == 1200; }, kWaitMs));
    EXPECT_TRUE(frame->Target()->isVisible());
    EXPECT_TRUE(frame->Target()->Link().Suspended());
    const bool simulated = frame->Range()->Watching() && !frame->SimulatedUnitNoticeShown();
    EXPECT_TRUE(simulated);  // the lane's shots are not the simulated unit's
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
    test::KeepPicture(frame.get(), "range-coach-watching.png");

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
    coachClient.Start(Login(broker.Port(), "coach"));
    LaneWatcher watcher(coachClient, coachHub, catalogue, "club");

    Open("lane2", true);
    ASSERT_TRUE(test::ChooseCommand(*frame, kCmdFirstTarget + 3));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return watcher.Lanes().count("lane2") && watcher.Lanes().at("lane2").face == frame->Hub().targetA()->Identity();
    }, kWaitMs)) << "lanes " << watcher.Lanes().size() << ", lane client "
                 << (frame->Range()->Publisher() ? "publishing" : "none") << "\n"
                 << broker.Output().toStdString();
    const LaneState& state = watcher.Lanes().at("lane2");
    EXPECT_TRUE(state.online);
    EXPECT_EQ(state.shooter, "Eva");
    EXPECT_EQ(state.version, "2.0.5");
    EXPECT_EQ(state.run, LaneRun::Idle);
    frame.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.Lanes().at("lane2").online; }, kWaitMs));
}

// A lane in this process: a hub of its own on the 50 m rifle face that obeys the range officer as
// the lanes' rule says.
struct ObedientLane {
    ObedientLane(const TargetCatalogue& catalogue, int port, const QString& name, const QString& shooter) {
        TargetPair pair;
        catalogue.FindQuietly(1200, pair);
        hub.SetTargets(pair.first, pair.second);
        client.Start(Login(port, name));
        publisher = std::make_unique<LanePublisher>(hub, client, LaneIdentity{"club", name, shooter, "2.0.5"});
        publisher->SetTakesCommands(true);
        publisher->onCommand = [this](const CommandMessage& order) {
            LaneSituation now;
            now.takesCommands = true;
            now.seriesWithShots = hub.IsRunning() && hub.Store() && hub.Store()->ShotCount() > 0;
            const QString refused = LaneRefusal(order, now);
            if (!refused.isEmpty()) return refused;
            if (order.order == LaneOrder::Series) {
                hub.NewSeries(order.shots > 0 ? order.shots : 10, 0, 0);
                publisher->SetRun(LaneRun::Series);
            }
            if (order.order == LaneOrder::Lock || order.order == LaneOrder::Unlock)
                publisher->SetLocked(order.order == LaneOrder::Lock);
            return QString();
        };
    }
    void Shoot(int x, int y) {
        for (int i = 0; i < 20; ++i) hub.FeedSample(x + i, y - i, 0, 0, -1);
        hub.FeedSample(x, y, 1, 0, -1);
    }
    ShootingHub hub;
    RangeClient client;
    std::unique_ptr<LanePublisher> publisher;
};

TEST_F(RangeInTheProgram, TheRangeOfficersWindowStartsThreeLanesTogetherAndRanksThem) {
    std::vector<std::unique_ptr<ObedientLane>> lanes;
    for (const char* shooter : {"Ann", "Bo", "Cy"})
        lanes.push_back(std::make_unique<ObedientLane>(catalogue, broker.Port(),
                                                       QStringLiteral("lane%1").arg(lanes.size() + 1), shooter));
    Open("officer", false);
    ASSERT_TRUE(test::ChooseCommand(*frame, kCmdRange));
    RangeWindow* window = frame->Range()->OfficerWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->Window()->isVisible());
    QTreeWidget* list = window->Lanes();
    const auto cell = [&](int row, int column) { return list->topLevelItem(row)->text(column); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItemCount() == 3 && cell(2, RangeWindow::kShooter) == "Cy"; }, kWaitMs));
    EXPECT_EQ(cell(0, RangeWindow::kRuns), "idle");

    // all lanes start a series at one click, and each answers
    QTest::mouseClick(window->Button(LaneOrder::Series), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (int row = 0; row < 3; ++row)
            if (cell(row, RangeWindow::kAnswer) != "Series: done") return false;
        return cell(2, RangeWindow::kRuns) == "series";
    }, kWaitMs)) << cell(0, RangeWindow::kAnswer).toStdString();
    for (const auto& lane : lanes) EXPECT_TRUE(lane->hub.IsRunning());

    // lanes 2 and 3 fire: the ranking puts the better total first; lane 2 is busy now
    lanes[1]->Shoot(300, 300);
    lanes[2]->Shoot(5, 5);
    QTreeWidget* ranking = window->Ranking();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return cell(1, RangeWindow::kShots) == "1/10" && cell(2, RangeWindow::kShots) == "1/10";
    }, kWaitMs));
    ASSERT_EQ(ranking->topLevelItemCount(), 3);
    EXPECT_EQ(ranking->topLevelItem(0)->text(1), "lane3");
    EXPECT_EQ(ranking->topLevelItem(1)->text(1), "lane2");
    EXPECT_EQ(ranking->topLevelItem(2)->text(1), "lane1");
    EXPECT_GT(ranking->topLevelItem(1)->text(3).toDouble(), 0);

    // lanes 1 and 2 chosen (a click, a control click): a new start finds lane 2 busy, lane 3 is not asked
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualItemRect(list->topLevelItem(1)).center());
    EXPECT_TRUE(window->ChosenLanes()->isChecked());
    EXPECT_EQ(window->Addressees(), (QStringList{"lane1", "lane2"}));
    QTest::mouseClick(window->Button(LaneOrder::Series), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return cell(1, RangeWindow::kAnswer) == "Series: busy"; }, kWaitMs));
    EXPECT_EQ(lanes[1]->hub.Store()->ShotCount(), 1);
    QTest::mouseClick(window->Button(LaneOrder::Lock), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return cell(0, RangeWindow::kRuns) == "series, locked"; }, kWaitMs));
    EXPECT_EQ(cell(2, RangeWindow::kAnswer), "Series: done");
    test::KeepPicture(window->Window(), "range-officer-window.png");
}

TEST_F(RangeInTheProgram, AProgramOnTheRangeObeysTheOfficerAndNeverDropsAFiredShot) {
    test::StoreValue("RangeAcceptCommands", "1");
    Open("lane2", true);
    RangeClient officerClient;
    officerClient.Start(Login(broker.Port(), "officer"));
    ShootingHub seenHub;
    LaneWatcher seen(officerClient, seenHub, catalogue, "club");
    RangeOfficer officer(officerClient, "club", {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.Lanes().count("lane2") && seen.Lanes().at("lane2").commands; }, kWaitMs));
    const auto order = [&](CommandMessage command) {
        officer.Send(command, {"lane2"});
        EXPECT_TRUE(QTest::qWaitFor([&] { return officer.Answers().at("lane2").answered; }, kWaitMs));
        return officer.Answers().at("lane2").ok ? QString("ok") : officer.Answers().at("lane2").reason;
    };

    EXPECT_EQ(order({{}, LaneOrder::Face, 1200}), "ok");
    EXPECT_EQ(frame->Hub().targetA()->Identity(), 1200);
    EXPECT_EQ(order({{}, LaneOrder::Face, 424242}), kRefusedUnknownFace);
    EXPECT_EQ(order({{}, LaneOrder::Series, 0, 7}), kRefusedNotOnFace);
    EXPECT_EQ(order({{}, LaneOrder::Lock}), "ok");
    EXPECT_FALSE(Choosable(kCmdSighters3));
    EXPECT_FALSE(Choosable(kCmdOpen));
    EXPECT_FALSE(Choosable(kCmdFirstTarget));
    EXPECT_TRUE(frame->Files()->Banner()->text().contains("locked by the range officer"));
    // locked, the shooter's own F10 does nothing; the officer's start does
    ASSERT_FALSE(test::ChooseCommand(*frame, kCmdSighters3));
    EXPECT_EQ(order({{}, LaneOrder::Series}), "ok");
    ASSERT_TRUE(frame->Flow()->shooting());
    EXPECT_EQ(frame->Flow()->seriesShots(), 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.Lanes().at("lane2").run == LaneRun::Series; }, kWaitMs));
    EXPECT_TRUE(seen.Lanes().at("lane2").locked);

    frame->Hub().FeedSample(20, 20, 1, 0, -1);
    ASSERT_EQ(frame->Hub().Store()->ShotCount(), 1);
    EXPECT_EQ(order({{}, LaneOrder::Sighters}), kRefusedBusy);
    EXPECT_EQ(order({{}, LaneOrder::Face, 1100}), kRefusedBusy);
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 1);
    EXPECT_EQ(order({{}, LaneOrder::Unlock}), "ok");
    EXPECT_FALSE(frame->Menus().Locked());
    EXPECT_FALSE(frame->Files()->Banner()->isVisible());
}

}  // namespace
}  // namespace zark
