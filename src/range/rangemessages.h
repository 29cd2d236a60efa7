#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace zark {

// The messages a lane publishes under "zark/v1/<range>/<lane>/": compact JSON objects with
// "v":1. Every decoder checks a message as a file from outside: at most kMaxMessageBytes, valid
// JSON, every field the format names with its type, numbers in range. A message that fails is
// refused whole (false, with the reason), never half taken.
inline constexpr int kMaxMessageBytes = 64 * 1024;
// A series message carries a whole file: a series of 15 minutes of trace is about 270 kB, a match
// of 20 such series about 5.4 MB. Only it may be that large.
inline constexpr int kMaxSeriesMessageBytes = 8 * 1024 * 1024;
inline constexpr int kMessageVersion = 1;
// Within a series the trace index and shot number stay within what a store records; a point is a
// target unit of the file (16 bits).
inline constexpr int kMaxTracePointsPerMessage = 2000;

// A range or lane name: 1 to 32 of A-Z, a-z, 0-9, "_" and "-" (safe in a topic and a client id).
bool ValidRangeName(const QString& name);
// The lane name a host name gives: the characters a lane name may not hold dropped, cut to 32
// characters; "lane" when nothing is left.
QString LaneNameOf(const QString& hostName);

enum class LaneTopic { State, Face, Trace, Shot, Series, Command, Ack, Other };
// "zark/v1/<range>/<lane>/<kind>".
QString LaneTopicName(const QString& range, const QString& lane, LaneTopic kind);
// The lane and kind of a topic under range; false for any other topic.
bool ParseLaneTopic(const QString& topic, const QString& range, QString& lane, LaneTopic& kind);

// What runs on a lane.
enum class LaneRun { Idle, Sighters, Series, Match, Timed };
const char* LaneRunName(LaneRun run);

// A shot of the lane's current series as the retained state carries it, for a watcher that comes
// in the middle of a series.
struct StateShot {
    int x = 0;
    int y = 0;
    int index = 0;  // as in the series file (9999: no trace point)
    int side = 0;
    friend bool operator==(const StateShot&, const StateShot&) = default;
};

// "state", retained: who shoots on which face and what runs; the last will says online false.
struct LaneState {
    QString lane;
    QString shooter;
    int face = 0;  // the target identity of the file format
    QString faceName;
    LaneRun run = LaneRun::Idle;
    QString series;  // id of the current series; empty before the first
    int fired = 0;
    int due = 0;
    QString total;
    QString version;
    bool online = false;
    bool locked = false;    // by the range officer: the shooter cannot start or stop series
    bool commands = false;  // the lane obeys the range officer (its setting RangeAcceptCommands)
    std::vector<StateShot> shots;
    friend bool operator==(const LaneState&, const LaneState&) = default;
};

// One ring of a face as a page draws it: radius in file units, fill colour "#rrggbb", value and label.
struct FaceRing {
    int radius = 0;
    QString colour;
    double value = 0;
    QString label;
    friend bool operator==(const FaceRing&, const FaceRing&) = default;
};

// One face of a lane's target: its rings from the outside in, the scale, the view width the
// whole face spans at 1:1 (file units) and whether it has a silhouette picture.
struct LaneFace {
    int id = 0;
    QString name;
    int kind = 0;
    int refRadius = 0;
    int refDiameter = 0;
    int viewWidth = 0;
    int bulletRadius = 0;
    bool picture = false;
    std::vector<FaceRing> rings;
    friend bool operator==(const LaneFace&, const LaneFace&) = default;
};

// "face", retained: the lane's faces (two for a target with a left and a right face). Colours are
// those of the program's own drawing (black and white).
struct FaceMessage {
    std::vector<LaneFace> faces;
    friend bool operator==(const FaceMessage&, const FaceMessage&) = default;
};

struct TracePoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const TracePoint&, const TracePoint&) = default;
};

// "trace", QoS 0: the new aim points of a series from sample index `first`.
struct TraceChunk {
    QString series;
    int first = 0;
    std::vector<TracePoint> points;
    friend bool operator==(const TraceChunk&, const TraceChunk&) = default;
};

// "shot", QoS 1: shot n (from 1) of a series, as the series file and the CSV export give it.
struct ShotMessage {
    QString series;
    int n = 0;
    int x = 0;
    int y = 0;
    int index = 0;  // as in the series file (9999: no trace point)
    int side = 0;
    double score = 0;
    QString text;
    int direction = 0;  // clock hour, 0 for an unfired shot
    double time = 0;    // seconds since the start of the series
    bool sighter = false;
    bool late = false;
    friend bool operator==(const ShotMessage&, const ShotMessage&) = default;
};

// "series", retained: a finished series (or match) with the text of its file.
struct SeriesMessage {
    QString series;
    int face = 0;
    QString date;  // ISO 8601, local time of the lane
    int shots = 0;
    QString total;
    bool match = false;
    bool recovered = false;  // written from the journal of an interrupted run
    QByteArray file;
    QString shooter;  // who shot it (empty from lanes that do not say)
    friend bool operator==(const SeriesMessage&, const SeriesMessage&) = default;
};

// What the range officer orders a lane to do.
enum class LaneOrder { Face, Sighters, Series, Match, Timed, Lock, Unlock };
const char* LaneOrderName(LaneOrder order);

// "command", QoS 1, from the range officer: one order to one lane. `id` names the order in the
// answer; `face` is a target identity (Face); `shots` the series' length for Sighters and Series
// (0: the first sighters, the longest series the lane's face offers).
struct CommandMessage {
    QString id;
    LaneOrder order = LaneOrder::Series;
    int face = 0;
    int shots = 0;
    int programme = -1;  // Match: the match catalogue's programme; -1 the one the lane chose last
    friend bool operator==(const CommandMessage&, const CommandMessage&) = default;
};

// The reasons a lane gives for not obeying, as the answer carries them.
inline constexpr char kRefusedCommandsOff[] = "commands off";  // the lane does not take orders
inline constexpr char kRefusedBusy[] = "busy";                 // a series with fired shots would be lost
inline constexpr char kRefusedUnknownFace[] = "unknown face";
inline constexpr char kRefusedNotOnFace[] = "not on this face";  // the face offers no such series
inline constexpr char kRefusedWatching[] = "watching";           // the program shows another lane
inline constexpr char kRefusedNotStarted[] = "not started";      // taken, but nothing started (no match chosen)

// "ack", QoS 1, the lane's answer to an order: ok, or the reason it did not obey.
struct AckMessage {
    QString id;
    bool ok = false;
    QString reason;
    friend bool operator==(const AckMessage&, const AckMessage&) = default;
};

QByteArray EncodeState(const LaneState& state);
QByteArray EncodeFace(const FaceMessage& face);
QByteArray EncodeTrace(const TraceChunk& chunk);
QByteArray EncodeShot(const ShotMessage& shot);
QByteArray EncodeSeries(const SeriesMessage& series);

bool DecodeState(const QByteArray& bytes, LaneState& state, QString* why = nullptr);
bool DecodeFace(const QByteArray& bytes, FaceMessage& face, QString* why = nullptr);
bool DecodeTrace(const QByteArray& bytes, TraceChunk& chunk, QString* why = nullptr);
bool DecodeShot(const QByteArray& bytes, ShotMessage& shot, QString* why = nullptr);
bool DecodeSeries(const QByteArray& bytes, SeriesMessage& series, QString* why = nullptr);
QByteArray EncodeCommand(const CommandMessage& command);
QByteArray EncodeAck(const AckMessage& ack);
bool DecodeCommand(const QByteArray& bytes, CommandMessage& command, QString* why = nullptr);
bool DecodeAck(const QByteArray& bytes, AckMessage& ack, QString* why = nullptr);

}  // namespace zark
