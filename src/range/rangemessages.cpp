#include "range/rangemessages.h"

#include "settings/settings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRegularExpression>
#include <cmath>

namespace zark {
namespace {

constexpr int kMaxText = 64;
constexpr int kMaxCoordinate = 32767;
constexpr int kMaxSampleIndex = 22500;
constexpr int kMaxShotNumber = 20;
constexpr int kMaxFaceId = 1000000;

bool ValidName(const QString& name, int longest) {
    if (name.isEmpty() || name.size() > longest) return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' ||
                        u == '-';
        if (!ok) return false;
    }
    return true;
}

const char* TopicKindName(LaneTopic kind) {
    switch (kind) {
    case LaneTopic::State: return "state";
    case LaneTopic::Face: return "face";
    case LaneTopic::Trace: return "trace";
    case LaneTopic::Shot: return "shot";
    case LaneTopic::Series: return "series";
    case LaneTopic::Command: return "command";
    case LaneTopic::Ack: return "ack";
    case LaneTopic::Other: break;
    }
    return "";
}

// The value of a contiguous enumeration whose name (as `name` gives it) is text, among its first
// `count` values; false for any other text.
template <typename E>
bool FromName(const QString& text, int count, const char* (*name)(E), E& value) {
    for (int k = 0; k < count; ++k)
        if (text == QLatin1String(name(E(k)))) {
            value = E(k);
            return true;
        }
    return false;
}

QByteArray Compact(const QJsonObject& object) { return QJsonDocument(object).toJson(QJsonDocument::Compact); }

QJsonObject Versioned() {
    QJsonObject o;
    o.insert("v", kMessageVersion);
    return o;
}

// Reads the fields of one message and remembers the first that is missing or out of range.
class FieldReader {
public:
    FieldReader(const QJsonObject& object, QString* why) : object_(object), why_(why) {}

    bool ok() const { return ok_; }

    int Int(const char* name, int low, int high) {
        const QJsonValue v = object_.value(QLatin1String(name));
        const double d = v.toDouble(std::nan(""));
        if (!v.isDouble() || !std::isfinite(d) || d != std::floor(d) || d < low || d > high) {
            Fail(name, "not a whole number in range");
            return low;
        }
        return int(d);
    }
    double Number(const char* name, double low, double high) {
        const QJsonValue v = object_.value(QLatin1String(name));
        const double d = v.toDouble(std::nan(""));
        if (!v.isDouble() || !std::isfinite(d) || d < low || d > high) {
            Fail(name, "not a number in range");
            return low;
        }
        return d;
    }
    QString Text(const char* name, int longest = kMaxText) {
        const QJsonValue v = object_.value(QLatin1String(name));
        if (!v.isString() || v.toString().size() > longest) {
            Fail(name, "not a text of its length");
            return {};
        }
        return v.toString();
    }
    // A series id: the characters of a lane name, up to 40 of them.
    QString Id(const char* name) {
        const QString id = Text(name);
        if (ok_ && !ValidName(id, 40)) Fail(name, "not an id");
        return id;
    }
    bool Bool(const char* name) {
        const QJsonValue v = object_.value(QLatin1String(name));
        if (!v.isBool()) Fail(name, "not true or false");
        return v.toBool();
    }
    QJsonArray Array(const char* name, int longest) {
        const QJsonValue v = object_.value(QLatin1String(name));
        if (!v.isArray() || v.toArray().size() > longest) {
            Fail(name, "not a list of its length");
            return {};
        }
        return v.toArray();
    }
    void Fail(const char* name, const char* what) {
        if (!ok_) return;
        ok_ = false;
        if (why_) *why_ = QStringLiteral("field \"%1\": %2").arg(QLatin1String(name), QLatin1String(what));
    }

private:
    const QJsonObject& object_;
    QString* why_;
    bool ok_ = true;
};

// The message as a JSON object of version 1; false (with the reason) otherwise.
bool Parse(const QByteArray& bytes, QJsonObject& object, QString* why, int limit = kMaxMessageBytes) {
    if (bytes.size() > limit) {
        if (why) *why = QStringLiteral("%1 bytes, more than %2").arg(bytes.size()).arg(limit);
        return false;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        if (why) *why = error.error != QJsonParseError::NoError ? error.errorString() : QStringLiteral("not an object");
        return false;
    }
    object = document.object();
    FieldReader reader(object, why);
    if (reader.Int("v", 0, 1000) != kMessageVersion && reader.ok()) reader.Fail("v", "not version 1");
    return reader.ok();
}

// [x, y] with both within the file's 16 bits.
bool PointOf(const QJsonValue& value, int& x, int& y) {
    if (!value.isArray()) return false;
    const QJsonArray pair = value.toArray();
    if (pair.size() != 2) return false;
    const double dx = pair[0].toDouble(std::nan("")), dy = pair[1].toDouble(std::nan(""));
    if (!pair[0].isDouble() || !pair[1].isDouble() || dx != std::floor(dx) || dy != std::floor(dy)) return false;
    if (std::abs(dx) > kMaxCoordinate || std::abs(dy) > kMaxCoordinate) return false;
    x = int(dx);
    y = int(dy);
    return true;
}

QJsonArray PointJson(int x, int y) { return QJsonArray{x, y}; }

}  // namespace

bool ValidRangeName(const QString& name) { return ValidName(name, 32); }

QString LaneNameOf(const QString& hostName) { return QString::fromStdString(RangeNameOf(hostName.toStdString())); }

QString LaneTopicName(const QString& range, const QString& lane, LaneTopic kind) {
    return QStringLiteral("zark/v1/%1/%2/%3").arg(range, lane, QLatin1String(TopicKindName(kind)));
}

bool ParseLaneTopic(const QString& topic, const QString& range, QString& lane, LaneTopic& kind) {
    const QStringList parts = topic.split('/');
    if (parts.size() != 5 || parts[0] != "zark" || parts[1] != "v1" || parts[2] != range || !ValidRangeName(parts[3]))
        return false;
    lane = parts[3];
    if (!FromName(parts[4], int(LaneTopic::Other), TopicKindName, kind)) kind = LaneTopic::Other;
    return true;
}

const char* LaneRunName(LaneRun run) {
    switch (run) {
    case LaneRun::Idle: return "idle";
    case LaneRun::Sighters: return "sighters";
    case LaneRun::Series: return "series";
    case LaneRun::Match: return "match";
    case LaneRun::Timed: return "timed";
    }
    return "idle";
}

QByteArray EncodeState(const LaneState& s) {
    QJsonObject o = Versioned();
    o.insert("lane", s.lane);
    o.insert("shooter", s.shooter);
    o.insert("face", s.face);
    o.insert("faceName", s.faceName);
    o.insert("run", QLatin1String(LaneRunName(s.run)));
    o.insert("series", s.series);
    o.insert("fired", s.fired);
    o.insert("due", s.due);
    o.insert("total", s.total);
    o.insert("version", s.version);
    o.insert("online", s.online);
    o.insert("locked", s.locked);
    o.insert("commands", s.commands);
    QJsonArray shots;
    for (const StateShot& shot : s.shots) shots.append(QJsonArray{shot.x, shot.y, shot.index, shot.side});
    o.insert("shots", shots);
    return Compact(o);
}

bool DecodeState(const QByteArray& bytes, LaneState& state, QString* why) {
    QJsonObject o;
    if (!Parse(bytes, o, why)) return false;
    FieldReader r(o, why);
    LaneState s;
    s.lane = r.Text("lane");
    if (r.ok() && !ValidRangeName(s.lane)) r.Fail("lane", "not a lane name");
    s.online = r.Bool("online");
    if (!r.ok()) return false;
    if (!s.online && !o.contains("shooter")) {
        // the last will carries only the lane and that it is gone
        state = s;
        return true;
    }
    s.shooter = r.Text("shooter");
    s.face = r.Int("face", 0, kMaxFaceId);
    s.faceName = r.Text("faceName");
    const QString run = r.Text("run");
    if (r.ok() && !FromName(run, int(LaneRun::Timed) + 1, LaneRunName, s.run)) r.Fail("run", "not a known run");
    s.series = r.Text("series", 40);
    s.fired = r.Int("fired", 0, kMaxShotNumber);
    s.due = r.Int("due", 0, kMaxShotNumber);
    s.total = r.Text("total");
    s.version = r.Text("version");
    // lanes of before the range officer do not say whether they are locked or take orders
    if (o.contains("locked")) s.locked = r.Bool("locked");
    if (o.contains("commands")) s.commands = r.Bool("commands");
    const QJsonArray shots = r.Array("shots", kMaxShotNumber);
    for (const QJsonValue& value : shots) {
        const QJsonArray a = value.toArray();
        StateShot shot;
        bool ok = value.isArray() && a.size() == 4 && PointOf(QJsonArray{a[0], a[1]}, shot.x, shot.y);
        ok = ok && PointOf(QJsonArray{a[2], a[3]}, shot.index, shot.side) && shot.index >= 0 &&
             shot.index <= 9999 && (shot.side == 0 || shot.side == 1);
        if (!ok) {
            r.Fail("shots", "a shot that is not [x, y, index, side]");
            break;
        }
        s.shots.push_back(shot);
    }
    if (!r.ok()) return false;
    state = std::move(s);
    return true;
}

QByteArray EncodeFace(const FaceMessage& message) {
    QJsonObject o = Versioned();
    QJsonArray faces;
    for (const LaneFace& f : message.faces) {
        QJsonObject face;
        face.insert("id", f.id);
        face.insert("name", f.name);
        face.insert("kind", f.kind);
        face.insert("refRadius", f.refRadius);
        face.insert("refDiameter", f.refDiameter);
        face.insert("viewWidth", f.viewWidth);
        face.insert("bulletRadius", f.bulletRadius);
        face.insert("picture", f.picture);
        QJsonArray rings;
        for (const FaceRing& ring : f.rings)
            rings.append(QJsonObject{{"r", ring.radius}, {"colour", ring.colour}, {"value", ring.value}, {"label", ring.label}});
        face.insert("rings", rings);
        faces.append(face);
    }
    o.insert("faces", faces);
    return Compact(o);
}

bool DecodeFace(const QByteArray& bytes, FaceMessage& message, QString* why) {
    QJsonObject o;
    if (!Parse(bytes, o, why)) return false;
    FieldReader r(o, why);
    const QJsonArray faces = r.Array("faces", 2);
    FaceMessage m;
    for (const QJsonValue& value : faces) {
        if (!value.isObject()) {
            r.Fail("faces", "not a face");
            break;
        }
        const QJsonObject fo = value.toObject();
        FieldReader f(fo, why);
        LaneFace face;
        face.id = f.Int("id", 0, kMaxFaceId);
        face.name = f.Text("name");
        face.kind = f.Int("kind", 0, 255);
        face.refRadius = f.Int("refRadius", 0, kMaxCoordinate);
        face.refDiameter = f.Int("refDiameter", 0, kMaxCoordinate);
        face.viewWidth = f.Int("viewWidth", 1, kMaxCoordinate);
        face.bulletRadius = f.Int("bulletRadius", 0, kMaxCoordinate);
        face.picture = f.Bool("picture");
        for (const QJsonValue& ringValue : f.Array("rings", 20)) {
            const QJsonObject ro = ringValue.toObject();
            FieldReader rr(ro, why);
            FaceRing ring;
            ring.radius = rr.Int("r", 0, kMaxCoordinate);
            ring.colour = rr.Text("colour", 7);
            static const QRegularExpression kColour(QStringLiteral("^#[0-9a-f]{6}$"));  // compiled once
            if (rr.ok() && !kColour.match(ring.colour).hasMatch()) rr.Fail("colour", "not #rrggbb");
            ring.value = rr.Number("value", 0, 1000);
            ring.label = rr.Text("label", 7);
            if (!ringValue.isObject() || !rr.ok()) {
                f.Fail("rings", "a ring that is not read");
                break;
            }
            face.rings.push_back(ring);
        }
        if (!f.ok()) return false;
        m.faces.push_back(face);
    }
    if (!r.ok()) return false;
    message = std::move(m);
    return true;
}

QByteArray EncodeTrace(const TraceChunk& chunk) {
    QJsonObject o = Versioned();
    o.insert("series", chunk.series);
    o.insert("first", chunk.first);
    QJsonArray points;
    for (const TracePoint& p : chunk.points) points.append(PointJson(p.x, p.y));
    o.insert("points", points);
    return Compact(o);
}

bool DecodeTrace(const QByteArray& bytes, TraceChunk& chunk, QString* why) {
    QJsonObject o;
    if (!Parse(bytes, o, why)) return false;
    FieldReader r(o, why);
    TraceChunk c;
    c.series = r.Id("series");
    c.first = r.Int("first", 0, kMaxSampleIndex - 1);
    const QJsonArray points = r.Array("points", kMaxTracePointsPerMessage);
    if (r.ok() && c.first + points.size() > kMaxSampleIndex) r.Fail("points", "beyond the trace a series records");
    c.points.reserve(std::size_t(points.size()));
    for (const QJsonValue& value : points) {
        TracePoint p;
        if (!PointOf(value, p.x, p.y)) {
            r.Fail("points", "a point that is not [x, y]");
            break;
        }
        c.points.push_back(p);
    }
    if (!r.ok()) return false;
    chunk = std::move(c);
    return true;
}

QByteArray EncodeShot(const ShotMessage& s) {
    QJsonObject o = Versioned();
    o.insert("series", s.series);
    o.insert("n", s.n);
    o.insert("x", s.x);
    o.insert("y", s.y);
    o.insert("index", s.index);
    o.insert("side", s.side);
    o.insert("score", std::round(s.score * 10) / 10);
    o.insert("text", s.text);
    o.insert("direction", s.direction);
    o.insert("time", std::round(s.time * 100) / 100);
    o.insert("sighter", s.sighter);
    o.insert("late", s.late);
    return Compact(o);
}

bool DecodeShot(const QByteArray& bytes, ShotMessage& shot, QString* why) {
    QJsonObject o;
    if (!Parse(bytes, o, why)) return false;
    FieldReader r(o, why);
    ShotMessage s;
    s.series = r.Id("series");
    s.n = r.Int("n", 1, kMaxShotNumber);
    s.x = r.Int("x", -kMaxCoordinate, kMaxCoordinate);
    s.y = r.Int("y", -kMaxCoordinate, kMaxCoordinate);
    s.index = r.Int("index", 0, 9999);
    s.side = r.Int("side", 0, 1);
    s.score = r.Number("score", 0, 1000);
    s.text = r.Text("text", 16);
    s.direction = r.Int("direction", 0, 12);
    s.time = r.Number("time", 0, 24 * 3600);
    s.sighter = r.Bool("sighter");
    s.late = r.Bool("late");
    if (!r.ok()) return false;
    shot = std::move(s);
    return true;
}

QByteArray EncodeSeries(const SeriesMessage& s) {
    QJsonObject o = Versioned();
    o.insert("series", s.series);
    o.insert("face", s.face);
    o.insert("date", s.date);
    o.insert("shots", s.shots);
    o.insert("total", s.total);
    o.insert("match", s.match);
    o.insert("recovered", s.recovered);
    o.insert("shooter", s.shooter);
    o.insert("file", QString::fromUtf8(s.file));
    return Compact(o);
}

bool DecodeSeries(const QByteArray& bytes, SeriesMessage& series, QString* why) {
    QJsonObject o;
    if (!Parse(bytes, o, why, kMaxSeriesMessageBytes)) return false;
    FieldReader r(o, why);
    SeriesMessage s;
    s.series = r.Id("series");
    s.face = r.Int("face", 0, kMaxFaceId);
    s.date = r.Text("date", 32);
    s.shots = r.Int("shots", 0, kMaxShotNumber * 20);
    s.total = r.Text("total");
    s.match = r.Bool("match");
    s.recovered = r.Bool("recovered");
    if (o.contains("shooter")) s.shooter = r.Text("shooter");
    s.file = r.Text("file", kMaxSeriesMessageBytes).toUtf8();
    if (!r.ok()) return false;
    series = std::move(s);
    return true;
}

const char* LaneOrderName(LaneOrder order) {
    switch (order) {
    case LaneOrder::Face: return "face";
    case LaneOrder::Sighters: return "sighters";
    case LaneOrder::Series: return "series";
    case LaneOrder::Match: return "match";
    case LaneOrder::Timed: return "timed";
    case LaneOrder::Lock: return "lock";
    case LaneOrder::Unlock: return "unlock";
    }
    return "";
}

QByteArray EncodeCommand(const CommandMessage& c) {
    QJsonObject o = Versioned();
    o.insert("id", c.id);
    o.insert("do", QLatin1String(LaneOrderName(c.order)));
    if (c.order == LaneOrder::Face) o.insert("face", c.face);
    if (c.order == LaneOrder::Sighters || c.order == LaneOrder::Series) o.insert("shots", c.shots);
    if (c.order == LaneOrder::Match && c.programme >= 0) o.insert("programme", c.programme);
    return Compact(o);
}

bool DecodeCommand(const QByteArray& bytes, CommandMessage& command, QString* why) {
    QJsonObject o;
    if (!Parse(bytes, o, why)) return false;
    FieldReader r(o, why);
    CommandMessage c;
    c.id = r.Id("id");
    const QString order = r.Text("do");
    if (r.ok() && !FromName(order, int(LaneOrder::Unlock) + 1, LaneOrderName, c.order)) r.Fail("do", "not a known order");
    if (r.ok() && c.order == LaneOrder::Face) c.face = r.Int("face", 1, kMaxFaceId);
    if (r.ok() && (c.order == LaneOrder::Sighters || c.order == LaneOrder::Series) && o.contains("shots"))
        c.shots = r.Int("shots", 0, kMaxShotNumber);
    if (r.ok() && c.order == LaneOrder::Match && o.contains("programme")) c.programme = r.Int("programme", 0, 1000);
    if (!r.ok()) return false;
    command = std::move(c);
    return true;
}

QByteArray EncodeAck(const AckMessage& a) {
    QJsonObject o = Versioned();
    o.insert("id", a.id);
    o.insert("ok", a.ok);
    if (!a.ok) o.insert("reason", a.reason);
    return Compact(o);
}

bool DecodeAck(const QByteArray& bytes, AckMessage& ack, QString* why) {
    QJsonObject o;
    if (!Parse(bytes, o, why)) return false;
    FieldReader r(o, why);
    AckMessage a;
    a.id = r.Id("id");
    a.ok = r.Bool("ok");
    if (r.ok() && !a.ok) a.reason = r.Text("reason");
    if (!r.ok()) return false;
    ack = std::move(a);
    return true;
}

}  // namespace zark
