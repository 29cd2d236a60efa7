#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "range/rangemessages.h"

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
    EXPECT_EQ(kind, LaneTopic::Other);
    EXPECT_FALSE(ParseLaneTopic("zark/v1/other/lane1/state", "club", lane, kind));
    EXPECT_FALSE(ParseLaneTopic("zark/v2/club/lane1/state", "club", lane, kind));
    EXPECT_FALSE(ParseLaneTopic("zark/v1/club/lane1/state/x", "club", lane, kind));
}

}  // namespace
}  // namespace zark
