#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "core/shootinghub.h"
#include "range/lanepublisher.h"
#include "range/lanewatcher.h"
#include "progress/progressfigures.h"
#include "range/rangeofficer.h"
#include "range/rangebroker.h"
#include "range/rangeclient.h"
#include "results/shotscore.h"
#include "storage/seriesfileio.h"
#include "storage/seriesrecord.h"
#include "support/testsupport.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

constexpr int kWaitMs = 20000;

BrokerOptions Login(int port, const QString& user, const QString& clientId = {}) {
    BrokerOptions o;
    o.host = "127.0.0.1";
    o.port = port;
    o.user = user;
    o.password = user.isEmpty() ? QString() : QStringLiteral("zark");
    o.clientId = clientId.isEmpty() ? "zark-club-" + user : clientId;
    o.keepAliveSeconds = 5;
    return o;
}

// A lane: its own hub on a face, a client logged in as the lane, the publisher.
struct Lane {
    Lane(const TargetCatalogue& catalogue, int port, const QString& name = "lane1", int faceId = 1200) {
        TargetPair pair;
        catalogue.FindQuietly(faceId, pair);
        hub.SetTargets(pair.first, pair.second);
        BrokerOptions o = Login(port, name);
        o.willTopic = LaneTopicName("club", name, LaneTopic::State);
        o.willPayload = LanePublisher::OfflineState(name);
        client.Start(o);
        publisher = std::make_unique<LanePublisher>(hub, client, LaneIdentity{"club", name, "Ann", "0.1.0"});
    }
    // n aim points, then a shot; the event loop runs as the points come (25 a second, compressed).
    void Shoot(int points, int x, int y) {
        for (int i = 0; i < points; ++i) {
            hub.FeedSample(x + i % 7, y - i % 5, 0, 0, -1);
            if (i % 10 == 0) QTest::qWait(2);
        }
        hub.FeedSample(x, y, 1, 0, -1);
    }
    ShootingHub hub;
    RangeClient client;
    std::unique_ptr<LanePublisher> publisher;
};

// A coach: a hub of their own and the watcher.
struct Coach {
    Coach(const TargetCatalogue& catalogue, int port, const QString& user = "coach")
        : watcher(client, hub, catalogue, "club") {
        client.Start(Login(port, user));
    }
    int Shots() { return hub.Store() ? hub.Store()->ShotCount() : 0; }
    ShootingHub hub;
    RangeClient client;
    LaneWatcher watcher;
};

class RangeLanes : public ::testing::Test {
protected:
    void SetUp() override {
        catalogue.Build();
        ASSERT_TRUE(broker.Start()) << broker.Output().toStdString();
    }
    // The coach's store holds the lane's shots, each once, at the same place, with the same scores.
    void ExpectSameShots(Lane& lane, Coach& coach) {
        const TraceStore& a = *lane.hub.Store();
        const TraceStore& b = *coach.hub.Store();
        ASSERT_EQ(b.ShotCount(), a.ShotCount());
        for (int k = 0; k < a.ShotCount(); ++k) {
            EXPECT_EQ(b.Shot(k).x, a.Shot(k).x) << k;
            EXPECT_EQ(b.Shot(k).y, a.Shot(k).y) << k;
            EXPECT_EQ(b.Shot(k).traceIndex, a.Shot(k).traceIndex) << k;
            const ScoredShot sa = ScoreStoredShot(a, k, lane.hub.targetA(), lane.hub.targetB());
            const ScoredShot sb = ScoreStoredShot(b, k, coach.hub.targetA(), coach.hub.targetB());
            EXPECT_EQ(sb.score, sa.score) << k;
            EXPECT_EQ(sb.timeMs, sa.timeMs) << k;
        }
    }
    TargetCatalogue catalogue;
    test::RangeBroker broker;
};

TEST_F(RangeLanes, ACoachSeesTheLanesSeriesLiveWithEveryShotOnceAndTheSameScores) {
    Coach coach(catalogue, broker.Port());
    QSignalSpy recorded(&coach.watcher, &LaneWatcher::ShotRecorded);
    QSignalSpy finished(&coach.watcher, &LaneWatcher::SeriesReceived);
    auto lane = std::make_unique<Lane>(catalogue, broker.Port());
    ASSERT_TRUE(QTest::qWaitFor([&] { return coach.watcher.Lanes().count("lane1") == 1; }, kWaitMs));
    const LaneState& listed = coach.watcher.Lanes().at("lane1");
    EXPECT_TRUE(listed.online);
    EXPECT_EQ(listed.shooter, "Ann");
    EXPECT_EQ(listed.face, 1200);
    EXPECT_FALSE(listed.faceName.isEmpty());
    coach.watcher.Watch("lane1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !coach.watcher.Faces().faces.empty(); }, kWaitMs));
    EXPECT_EQ(coach.watcher.Faces().faces[0].id, 1200);
    EXPECT_EQ(coach.watcher.Faces().faces[0].viewWidth, 1694);
    EXPECT_GT(coach.watcher.Faces().faces[0].rings.size(), 5u);
    EXPECT_EQ(coach.hub.targetA(), lane->hub.targetA());

    lane->hub.NewSeries(5, 0, 0);
    for (int k = 0; k < 5; ++k) {
        lane->Shoot(60, 40 * k - 100, 30 - 20 * k);
        ASSERT_TRUE(QTest::qWaitFor([&] { return coach.Shots() == k + 1; }, kWaitMs)) << k;
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, kWaitMs));
    ExpectSameShots(*lane, coach);
    // on loopback the whole trace came too (QoS 0 may drop points elsewhere; the shots never)
    EXPECT_EQ(coach.hub.Store()->SampleCount(), lane->hub.Store()->SampleCount());
    EXPECT_EQ(recorded.count(), 5);
    EXPECT_FALSE(coach.hub.IsRunning());  // the series is complete

    // the finished series carries the file: read back, it is the lane's series
    const SeriesMessage series = finished.at(0).at(1).value<SeriesMessage>();
    QBuffer file;
    file.setData(series.file);
    file.open(QIODevice::ReadOnly);
    auto record = std::make_unique<SeriesRecord>();
    ASSERT_TRUE(SeriesFileIo::ReadSeries(file, *record));
    EXPECT_EQ(record->targetId, 1200);
    EXPECT_EQ(record->store.shotCount, 5);
    EXPECT_EQ(record->store.sampleCount, lane->hub.Store()->SampleCount());
    EXPECT_EQ(series.shots, 5);
    EXPECT_EQ(series.total, coach.watcher.Lanes().at("lane1").total);

    // a lane that leaves is offline in the list, and its shots stay with the coach
    QSignalSpy online(&coach.watcher, &LaneWatcher::WatchedOnline);
    lane.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !coach.watcher.Lanes().at("lane1").online; }, kWaitMs));
    ASSERT_EQ(online.count(), 1);
    EXPECT_FALSE(online.at(0).at(0).toBool());
    EXPECT_EQ(coach.Shots(), 5);

    // a coach who comes in the middle of a series gets the shots so far from the retained state
    Lane again(catalogue, broker.Port());
    again.hub.NewSeries(10, 0, 0);
    again.Shoot(30, 10, 10);
    again.Shoot(30, -10, 10);
    Coach late(catalogue, broker.Port(), "coach");
    ASSERT_TRUE(QTest::qWaitFor([&] { return late.watcher.Lanes().count("lane1") && late.watcher.Lanes().at("lane1").fired == 2; }, kWaitMs));
    late.watcher.Watch("lane1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return late.Shots() == 2; }, kWaitMs));
    again.Shoot(30, 0, -10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return late.Shots() == 3; }, kWaitMs));
    ExpectSameShots(again, late);
}

TEST_F(RangeLanes, ABrokerRestartInTheMiddleOfASeriesLosesAndDoublesNoShot) {
    Coach coach(catalogue, broker.Port());
    QSignalSpy recorded(&coach.watcher, &LaneWatcher::ShotRecorded);
    Lane lane(catalogue, broker.Port());
    ASSERT_TRUE(QTest::qWaitFor([&] { return coach.watcher.Lanes().count("lane1") == 1; }, kWaitMs));
    coach.watcher.Watch("lane1");
    lane.hub.NewSeries(8, 0, 0);
    for (int k = 0; k < 3; ++k) lane.Shoot(40, 20 * k, 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return coach.Shots() == 3; }, kWaitMs));

    broker.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lane.client.IsConnected() && !coach.client.IsConnected(); }, kWaitMs));
    // the lane shoots on as if nothing happened
    for (int k = 3; k < 6; ++k) lane.Shoot(40, -20 * k, -10);
    EXPECT_EQ(lane.hub.Store()->ShotCount(), 6);
    ASSERT_TRUE(broker.Start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return coach.Shots() == 6; }, kWaitMs)) << broker.Output().toStdString();
    for (int k = 6; k < 8; ++k) lane.Shoot(40, 5 * k, 5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return coach.Shots() == 8; }, kWaitMs));
    QTest::qWait(300);  // a repeat would come now
    EXPECT_EQ(recorded.count(), 8);
    ExpectSameShots(lane, coach);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(recorded.at(k).at(0).value<ShotMessage>().n, k + 1);
    EXPECT_EQ(coach.watcher.DroppedCount(), 0);

    // a program that ends while the broker is away ends (its network thread is not left waiting)
    broker.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lane.client.IsConnected(); }, kWaitMs));
    lane.publisher.reset();
    QElapsedTimer stopping;
    stopping.start();
    lane.client.Stop();
    EXPECT_LT(stopping.elapsed(), 5000);
}

TEST_F(RangeLanes, TheBrokerKeepsEachUserToItsOwnTopics) {
    Coach coach(catalogue, broker.Port());
    QSignalSpy recorded(&coach.watcher, &LaneWatcher::ShotRecorded);
    Lane lane2(catalogue, broker.Port(), "lane2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return coach.watcher.Lanes().count("lane2") == 1; }, kWaitMs));
    coach.watcher.Watch("lane2");
    const QString series = coach.watcher.Lanes().at("lane2").series;

    // lane 1's user and the coach's try to put a shot into lane 2; the broker drops both
    RangeClient intruder;
    intruder.Start(Login(broker.Port(), "lane1", "intruder"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return intruder.IsConnected(); }, kWaitMs));
    ShotMessage forged;
    forged.series = "forged";
    forged.n = 1;
    forged.x = forged.y = 1;
    forged.text = "10";
    const QString target = LaneTopicName("club", "lane2", LaneTopic::Shot);
    intruder.Publish(target, EncodeShot(forged), 1, false);
    coach.client.Publish(target, EncodeShot(forged), 1, false);
    LaneState fake;
    fake.lane = "lane2";
    fake.online = false;
    intruder.Publish(LaneTopicName("club", "lane2", LaneTopic::State), LanePublisher::OfflineState("lane2"), 1, true);
    // lane 2 itself is heard (the control)
    lane2.hub.NewSeries(2, 0, 0);
    lane2.Shoot(10, 1, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return recorded.count() == 1; }, kWaitMs));
    QTest::qWait(300);
    EXPECT_EQ(recorded.count(), 1);
    EXPECT_NE(recorded.at(0).at(0).value<ShotMessage>().series, "forged");
    EXPECT_TRUE(coach.watcher.Lanes().at("lane2").online);
    EXPECT_TRUE(broker.Output().contains("Denied PUBLISH")) << broker.Output().toStdString();

    // no anonymous access, and no wrong password
    RangeClient anonymous, wrong;
    anonymous.Start(Login(broker.Port(), {}, "anonymous"));
    BrokerOptions bad = Login(broker.Port(), "coach", "wrong");
    bad.password = "guess";
    wrong.Start(bad);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !anonymous.Error().isEmpty() && !wrong.Error().isEmpty(); }, kWaitMs));
    EXPECT_FALSE(anonymous.IsConnected());
    EXPECT_FALSE(wrong.IsConnected());
    EXPECT_TRUE(anonymous.Error().contains("authori", Qt::CaseInsensitive)) << anonymous.Error().toStdString();
}

TEST_F(RangeLanes, MalformedAndOversizedMessagesAreDroppedAndCounted) {
    Coach coach(catalogue, broker.Port());
    Lane lane(catalogue, broker.Port());
    ASSERT_TRUE(QTest::qWaitFor([&] { return coach.watcher.Lanes().count("lane1") == 1; }, kWaitMs));
    coach.watcher.Watch("lane1");
    lane.hub.NewSeries(5, 0, 0);
    lane.Shoot(20, 3, 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return coach.Shots() == 1; }, kWaitMs));
    const int samples = coach.hub.Store()->SampleCount();

    const QString series = lane.publisher->SeriesId();
    const auto topic = [](LaneTopic kind) { return LaneTopicName("club", "lane1", kind); };
    const QByteArray bad[][2] = {
        {"shot", "not json at all"},
        {"shot", "{\"v\":1,\"series\":\"" + series.toUtf8() + "\",\"n\":2}"},
        {"shot", "{\"v\":1,\"series\":\"" + series.toUtf8() +
                     "\",\"n\":2,\"x\":99999,\"y\":0,\"index\":30,\"side\":0,\"score\":1,\"text\":\"1\","
                     "\"direction\":1,\"time\":1,\"sighter\":false,\"late\":false}"},
        {"shot", "{\"v\":1,\"pad\":\"" + QByteArray(70000, 'x') + "\"}"},
        {"trace", "{\"v\":1,\"series\":\"" + series.toUtf8() + "\",\"first\":22499,\"points\":[[1,1],[1,1]]}"},
        {"state", "{\"v\":1,\"lane\":\"lane1\",\"online\":true,\"shooter\":[]}"},
        {"face", "{\"v\":1,\"faces\":\"none\"}"},
    };
    for (const auto& m : bad) {
        const QString kind = QString::fromUtf8(m[0]);
        lane.client.Publish("zark/v1/club/lane1/" + kind, m[1], 1, false);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return coach.watcher.DroppedCount() == int(std::size(bad)); }, kWaitMs));
    EXPECT_EQ(coach.Shots(), 1);
    EXPECT_EQ(coach.hub.Store()->SampleCount(), samples);
    EXPECT_TRUE(coach.watcher.Lanes().at("lane1").online);
    EXPECT_GE(test::CountOf(test::LogText(), "was dropped"), int(std::size(bad)));
    // and the lane goes on being watched
    lane.Shoot(20, 4, 4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return coach.Shots() == 2; }, kWaitMs));
    ExpectSameShots(lane, coach);
    (void)topic;
}

TEST_F(RangeLanes, AShotAtTheClubArrivesAtTheRegionOverABridge) {
    test::RangeBroker region({}, false);
    ASSERT_TRUE(region.Start());
    test::RangeBroker club(QStringLiteral("connection region\naddress 127.0.0.1:%1\ntopic zark/v1/# out 1\n"
                                          "cleansession false\nrestart_timeout 1\n")
                               .arg(region.Port()));
    ASSERT_TRUE(club.Start());
    Coach regional(catalogue, region.Port(), {});
    Lane lane(catalogue, club.Port());
    ASSERT_TRUE(QTest::qWaitFor([&] { return regional.watcher.Lanes().count("lane1") == 1; }, kWaitMs))
        << club.Output().toStdString();
    regional.watcher.Watch("lane1");
    lane.hub.NewSeries(3, 0, 0);
    for (int k = 0; k < 3; ++k) lane.Shoot(25, 7 * k, -3 * k);
    ASSERT_TRUE(QTest::qWaitFor([&] { return regional.Shots() == 3; }, kWaitMs));
    ExpectSameShots(lane, regional);
}

TEST_F(RangeLanes, TheOfficerStartsThreeLanesTogetherABusyLaneSaysSoAndEverySeriesIsArchived) {
    // three lanes that obey as the program does: a series with fired shots is never dropped
    std::vector<std::unique_ptr<Lane>> lanes;
    std::vector<int> carriedOut(3, 0);
    for (int k = 0; k < 3; ++k) {
        lanes.push_back(std::make_unique<Lane>(catalogue, broker.Port(), QStringLiteral("lane%1").arg(k + 1)));
        Lane& lane = *lanes.back();
        lane.publisher->SetTakesCommands(true);
        lane.publisher->onCommand = [&lane, &carriedOut, k](const CommandMessage& order) {
            LaneSituation now;
            now.takesCommands = true;
            now.seriesWithShots = lane.hub.IsRunning() && lane.hub.Store() && lane.hub.Store()->ShotCount() > 0;
            const QString refused = LaneRefusal(order, now);
            if (refused.isEmpty() && order.order == LaneOrder::Series) lane.hub.NewSeries(order.shots, 0, 0);
            if (refused.isEmpty()) ++carriedOut[std::size_t(k)];
            return refused;
        };
    }
    QTemporaryDir archive;
    RangeClient officerClient;
    officerClient.Start(Login(broker.Port(), "officer"));
    ShootingHub officerHub;
    LaneWatcher lanesSeen(officerClient, officerHub, catalogue, "club");
    RangeOfficer officer(officerClient, "club", archive.path());
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return lanesSeen.Lanes().size() == 3 && lanesSeen.Lanes().at("lane3").commands;
    }, kWaitMs));
    const auto answered = [&](const QString& lane) {
        const auto it = officer.Answers().find(lane);
        return it != officer.Answers().end() && it->second.answered;
    };

    ASSERT_TRUE(officer.Send(CommandMessage{{}, LaneOrder::Series, 0, 2}, {"lane1", "lane2", "lane3"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered("lane1") && answered("lane2") && answered("lane3"); }, kWaitMs));
    for (int k = 0; k < 3; ++k) {
        const QString name = QStringLiteral("lane%1").arg(k + 1);
        EXPECT_TRUE(officer.Answers().at(name).ok) << name.toStdString() << officer.Answers().at(name).reason.toStdString();
        EXPECT_TRUE(lanes[std::size_t(k)]->hub.IsRunning());
        EXPECT_EQ(carriedOut[std::size_t(k)], 1);
    }

    // lane 1 fires; a second start leaves its shot alone and says why, lane 2 starts afresh
    lanes[0]->Shoot(20, 5, 5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return lanesSeen.Lanes().at("lane1").fired == 1; }, kWaitMs));
    officer.Send(CommandMessage{{}, LaneOrder::Series, 0, 2}, {"lane1", "lane2"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered("lane1") && answered("lane2"); }, kWaitMs));
    EXPECT_FALSE(officer.Answers().at("lane1").ok);
    EXPECT_EQ(officer.Answers().at("lane1").reason, kRefusedBusy);
    EXPECT_EQ(lanes[0]->hub.Store()->ShotCount(), 1);
    EXPECT_TRUE(officer.Answers().at("lane2").ok);

    // a coach may not order: the broker drops it, and the lane never hears it
    RangeClient coach;
    coach.Start(Login(broker.Port(), "coach"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return coach.IsConnected(); }, kWaitMs));
    coach.Publish(LaneTopicName("club", "lane3", LaneTopic::Command), EncodeCommand({"c1", LaneOrder::Lock}), 1, false);

    // lane 1 finishes its series: the officer keeps it in the club's archive, under lane and shooter
    lanes[0]->Shoot(20, -5, 5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return officer.Archived() == 1; }, kWaitMs));
    const QStringList kept = QDir(archive.path() + "/Range/lane1/Ann").entryList(QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(ShooterOf("Range/lane1/Ann/" + kept[0]), "Ann (lane1)");
    QFile file(archive.path() + "/Range/lane1/Ann/" + kept[0]);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    auto record = std::make_unique<SeriesRecord>();
    ASSERT_TRUE(SeriesFileIo::ReadSeries(file, *record));
    EXPECT_EQ(record->store.shotCount, 2);
    EXPECT_EQ(carriedOut[2], 1);
    EXPECT_TRUE(broker.Output().contains("Denied PUBLISH")) << broker.Output().toStdString();
}

}  // namespace
}  // namespace zark
