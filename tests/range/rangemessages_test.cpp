#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "range/lanepublisher.h"
#include "range/rangemessages.h"
#include "progress/progressfigures.h"
#include "range/rangeofficer.h"

namespace zark {
namespace {

ShotMessage SampleShot() {
    ShotMessage s;
    s.series = "20261208-101500-0a1f";
    s.n = 20;
    s.x = -32767;
    s.y = 1234;
    s.index = 9999;
    s.side = 1;
    s.score = 10.9;
    s.text = "10'";
    s.direction = 12;
    s.time = 75.4;
    s.sighter = true;
    s.late = true;
    return s;
}

// A shot message with one field replaced by a JSON text.
QByteArray ShotWith(const char* field, const char* json) {
    QJsonObject o = QJsonDocument::fromJson(EncodeShot(SampleShot())).object();
    o.insert(QLatin1String(field), QJsonDocument::fromJson(QByteArray("[") + json + "]").array().at(0));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

TEST(RangeMessages, EveryKindComesBackAsItWasSent) {
    const ShotMessage shot = SampleShot();
    ShotMessage shotBack;
    ASSERT_TRUE(DecodeShot(EncodeShot(shot), shotBack));
    EXPECT_EQ(shotBack, shot);
    EXPECT_TRUE(EncodeShot(shot).contains("\"v\":1"));
    EXPECT_FALSE(EncodeShot(shot).contains(' '));  // compact

    LaneState state;
    state.lane = "lane-07";
    state.shooter = QString::fromUtf8("Åsa Öberg");
    state.face = 1450;
    state.faceName = "Air Rifle 10m";
    state.run = LaneRun::Timed;
    state.series = "s1";
    state.fired = 3;
    state.due = 10;
    state.total = "30.4";
    state.version = "0.1.0";
    state.online = true;
    state.shots = {{10, -20, 5, 0}, {0, 0, 9999, 1}};
    LaneState stateBack;
    ASSERT_TRUE(DecodeState(EncodeState(state), stateBack));
    EXPECT_EQ(stateBack, state);
    // the last will carries only the lane
    ASSERT_TRUE(DecodeState("{\"v\":1,\"lane\":\"lane-07\",\"online\":false}", stateBack));
    EXPECT_FALSE(stateBack.online);
    EXPECT_EQ(stateBack.lane, "lane-07");

    FaceMessage face;
    face.faces.push_back(LaneFace{1001, "Rifle 50m", 1, 800, 154, 1694, 29, false,
                                  {{800, "#ffffff", 1, "1"}, {100, "#000000", 10.1, ""}}});
    FaceMessage faceBack;
    ASSERT_TRUE(DecodeFace(EncodeFace(face), faceBack));
    EXPECT_EQ(faceBack, face);

    TraceChunk chunk{"s1", 22495, {{1, 2}, {-3, 4}, {0, 0}, {32767, -32767}, {5, 5}}};
    TraceChunk chunkBack;
    ASSERT_TRUE(DecodeTrace(EncodeTrace(chunk), chunkBack));
    EXPECT_EQ(chunkBack, chunk);

    SeriesMessage series{"s1", 1001, "2026-12-08T10:15:00", 10, "98", false, true,
                         QByteArray("[Header]\nTarget=1001\n").repeated(20000)};  // 420 kB of file
    SeriesMessage seriesBack;
    ASSERT_TRUE(DecodeSeries(EncodeSeries(series), seriesBack));
    EXPECT_EQ(seriesBack, series);
}

TEST(RangeMessages, ABadMessageIsRefusedWholeWithItsReason) {
    ShotMessage kept = SampleShot();
    kept.n = 7;
    const ShotMessage before = kept;
    QString why;
    const auto refused = [&](const QByteArray& bytes) {
        why.clear();
        const bool ok = DecodeShot(bytes, kept, &why);
        EXPECT_EQ(kept, before) << "a refused message changed the shot";
        return !ok && !why.isEmpty();
    };
    EXPECT_TRUE(refused(""));
    EXPECT_TRUE(refused("not json"));
    EXPECT_TRUE(refused("[1,2]"));
    EXPECT_TRUE(refused("{\"v\":1}"));
    EXPECT_TRUE(refused(ShotWith("v", "2")));
    EXPECT_TRUE(refused(ShotWith("n", "0")));
    EXPECT_TRUE(refused(ShotWith("n", "21")));
    EXPECT_TRUE(refused(ShotWith("n", "3.5")));
    EXPECT_TRUE(refused(ShotWith("n", "\"3\"")));
    EXPECT_TRUE(refused(ShotWith("x", "40000")));
    EXPECT_TRUE(refused(ShotWith("index", "10000")));
    EXPECT_TRUE(refused(ShotWith("side", "2")));
    EXPECT_TRUE(refused(ShotWith("score", "-1")));
    EXPECT_TRUE(refused(ShotWith("direction", "13")));
    EXPECT_TRUE(refused(ShotWith("sighter", "1")));
    EXPECT_TRUE(refused(ShotWith("series", "\"../x\"")));
    EXPECT_TRUE(refused(ShotWith("series", "\"\"")));
    EXPECT_TRUE(refused(ShotWith("text", "\"a text far longer than any score text\"")));
    // every message is at most 64 kB, padding or not
    QByteArray padded = EncodeShot(SampleShot());
    padded.insert(1, QByteArray(kMaxMessageBytes, ' '));
    EXPECT_TRUE(refused(padded));
    EXPECT_TRUE(why.contains("bytes"));
    EXPECT_TRUE(DecodeShot(ShotWith("score", "10.4"), kept));  // the control: a good one is taken

    TraceChunk chunk;
    EXPECT_FALSE(DecodeTrace("{\"v\":1,\"series\":\"s\",\"first\":22499,\"points\":[[1,1],[2,2]]}", chunk, &why));
    EXPECT_FALSE(DecodeTrace("{\"v\":1,\"series\":\"s\",\"first\":0,\"points\":[[1,1],[2]]}", chunk, &why));
    EXPECT_FALSE(DecodeTrace("{\"v\":1,\"series\":\"s\",\"first\":-1,\"points\":[]}", chunk, &why));
    EXPECT_TRUE(DecodeTrace("{\"v\":1,\"series\":\"s\",\"first\":22499,\"points\":[[1,1]]}", chunk, &why));

    LaneState state;
    EXPECT_FALSE(DecodeState("{\"v\":1,\"lane\":\"a/b\",\"online\":false}", state, &why));
    EXPECT_FALSE(DecodeState("{\"v\":1,\"lane\":\"a\",\"online\":true}", state, &why));  // fields missing
    FaceMessage face;
    EXPECT_FALSE(DecodeFace("{\"v\":1,\"faces\":[{\"id\":1,\"name\":\"n\",\"kind\":0,\"refRadius\":1,"
                            "\"refDiameter\":1,\"viewWidth\":1694,\"bulletRadius\":0,\"picture\":false,"
                            "\"rings\":[{\"r\":5,\"colour\":\"red\",\"value\":1,\"label\":\"\"}]}]}",
                            face, &why));
    SeriesMessage series;
    const QByteArray huge = "{\"v\":1,\"file\":\"" + QByteArray(kMaxSeriesMessageBytes, 'x') + "\"}";
    EXPECT_FALSE(DecodeSeries(huge, series, &why));
}

TEST(RangeMessages, NamesAndTopics) {
    EXPECT_TRUE(ValidRangeName("Lane_07-b"));
    EXPECT_TRUE(ValidRangeName(QString(32, 'a')));
    EXPECT_FALSE(ValidRangeName(QString(33, 'a')));
    EXPECT_FALSE(ValidRangeName(""));
    for (const char* bad : {"a/b", "a+", "#", "a b", "ä"}) EXPECT_FALSE(ValidRangeName(QString::fromUtf8(bad))) << bad;
    EXPECT_EQ(LaneNameOf("pc-12.club.local"), "pc-12clublocal");
    EXPECT_EQ(LaneNameOf(QString::fromUtf8("ÅÄÖ")), "lane");
    EXPECT_EQ(LaneNameOf(QString(40, 'x')), QString(32, 'x'));

    EXPECT_EQ(LaneTopicName("club", "lane1", LaneTopic::Shot), "zark/v1/club/lane1/shot");
    QString lane;
    LaneTopic kind{};
    ASSERT_TRUE(ParseLaneTopic("zark/v1/club/lane1/state", "club", lane, kind));
    EXPECT_EQ(lane, "lane1");
    EXPECT_EQ(kind, LaneTopic::State);
    ASSERT_TRUE(ParseLaneTopic("zark/v1/club/lane1/command", "club", lane, kind));
    EXPECT_EQ(kind, LaneTopic::Command);
    ASSERT_TRUE(ParseLaneTopic("zark/v1/club/lane1/menu", "club", lane, kind));
    EXPECT_EQ(kind, LaneTopic::Other);
    EXPECT_FALSE(ParseLaneTopic("zark/v1/other/lane1/state", "club", lane, kind));
    EXPECT_FALSE(ParseLaneTopic("zark/v2/club/lane1/state", "club", lane, kind));
    EXPECT_FALSE(ParseLaneTopic("zark/v1/club/lane1/state/x", "club", lane, kind));
}

TEST(RangeMessages, OrdersAnswersAndWhatALaneDoesWithThem) {
    // every order comes back as it was sent; a field that belongs to another order is not sent
    for (const CommandMessage& order :
         {CommandMessage{"o1", LaneOrder::Face, 1200, 0}, CommandMessage{"o2", LaneOrder::Series, 0, 10},
          CommandMessage{"o3", LaneOrder::Sighters, 0, 0}, CommandMessage{"o4", LaneOrder::Match, 0, 0, 3},
          CommandMessage{"o5", LaneOrder::Lock}, CommandMessage{"o6", LaneOrder::Unlock},
          CommandMessage{"o7", LaneOrder::Timed}}) {
        CommandMessage back;
        ASSERT_TRUE(DecodeCommand(EncodeCommand(order), back)) << EncodeCommand(order).toStdString();
        EXPECT_EQ(back, order);
    }
    for (const AckMessage& ack : {AckMessage{"o1", true, {}}, AckMessage{"o2", false, kRefusedBusy}}) {
        AckMessage back;
        ASSERT_TRUE(DecodeAck(EncodeAck(ack), back));
        EXPECT_EQ(back, ack);
    }
    // refused whole: an unknown order, a face that is no identity, an id a topic could not hold
    CommandMessage c;
    QString why;
    EXPECT_FALSE(DecodeCommand(R"({"v":1,"id":"a","do":"fire"})", c, &why));
    EXPECT_TRUE(why.contains("do"));
    EXPECT_FALSE(DecodeCommand(R"({"v":1,"id":"a","do":"face","face":0})", c));
    EXPECT_FALSE(DecodeCommand(R"({"v":1,"id":"a/b","do":"lock"})", c));
    EXPECT_FALSE(DecodeCommand(R"({"v":1,"id":"a","do":"series","shots":21})", c));
    // a state of a lane from before the range officer: not locked, takes no orders
    LaneState old;
    ASSERT_TRUE(DecodeState(R"({"v":1,"lane":"l1","online":true,"shooter":"A","face":1200,"faceName":"F","run":"idle",)"
                            R"("series":"","fired":0,"due":0,"total":"","version":"2.0.4","shots":[]})",
                            old));
    EXPECT_FALSE(old.locked);
    EXPECT_FALSE(old.commands);

    // the lane's rule: orders off, then lock and unlock always, then nothing that drops fired shots
    const CommandMessage start{"s", LaneOrder::Series}, face{"f", LaneOrder::Face, 9}, lock{"l", LaneOrder::Lock};
    LaneSituation lane;
    EXPECT_EQ(LaneRefusal(lock, lane), kRefusedCommandsOff);
    lane.takesCommands = true;
    lane.seriesWithShots = true;
    EXPECT_EQ(LaneRefusal(lock, lane), "");
    EXPECT_EQ(LaneRefusal(start, lane), kRefusedBusy);
    EXPECT_EQ(LaneRefusal(face, lane), kRefusedBusy);
    lane.seriesWithShots = false;
    lane.faceKnown = false;
    lane.offered = false;
    EXPECT_EQ(LaneRefusal(face, lane), kRefusedUnknownFace);
    EXPECT_EQ(LaneRefusal(start, lane), kRefusedNotOnFace);
    lane.offered = true;
    EXPECT_EQ(LaneRefusal(start, lane), "");
    lane.watching = true;
    EXPECT_EQ(LaneRefusal(start, lane), kRefusedWatching);
}

TEST(RangeMessages, TheRankingAndTheClubsArchive) {
    std::map<QString, LaneState> lanes;
    const auto add = [&](const char* name, const char* total, bool online) {
        LaneState s;
        s.lane = name;
        s.total = total;
        s.online = online;
        lanes[name] = s;
    };
    add("l1", "95", true);
    add("l2", "98.4", true);
    add("l3", "", true);       // nothing shot yet
    add("l4", "100", false);   // gone: not ranked first
    add("l5", "95", true);     // as l1: by name
    EXPECT_EQ(RankLanes(lanes), (std::vector<QString>{"l2", "l1", "l5", "l3", "l4"}));

    SeriesMessage series;
    series.series = "20261208-101500-0a1f";
    series.shooter = "../Eva:Berg";
    const QString path = ArchivePathOf("/data", "lane2", series);
    EXPECT_EQ(path, "/data/Range/lane2/_Eva_Berg/20261208-101500-0a1f.ZAS");
    EXPECT_EQ(ShooterOf("Range/lane2/_Eva_Berg/20261208-101500-0a1f.ZAS"), "_Eva_Berg (lane2)");
    series.shooter.clear();
    series.match = true;
    EXPECT_TRUE(ArchivePathOf("/data", "lane2", series).endsWith("Range/lane2/-/20261208-101500-0a1f.ZAM"));
    EXPECT_EQ(ShooterOf("Rifle 50 meter-20261208.ZAS"), "");
    EXPECT_EQ(ShooterOf("Range/lane2/extra/Eva/x.ZAS"), "");
}

}  // namespace
}  // namespace zark
