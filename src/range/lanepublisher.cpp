#include "range/lanepublisher.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <memory>

#include "diag/diagnostics.h"
#include "export/csvexport.h"
#include "i18n/uistrings.h"
#include "range/rangeclient.h"
#include "results/shotscore.h"
#include "storage/seriesfileio.h"
#include "storage/seriesrecord.h"
#include "targets/scoretext.h"
#include "targets/targetcatalogue.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

constexpr int kTracePeriodMs = 200;

QString ColourText(int colourRef) {
    // 0x00BBGGRR
    return QStringLiteral("#%1%2%3")
        .arg(colourRef & 0xFF, 2, 16, QChar('0'))
        .arg((colourRef >> 8) & 0xFF, 2, 16, QChar('0'))
        .arg((colourRef >> 16) & 0xFF, 2, 16, QChar('0'));
}

QString NewSeriesId() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-")) +
           QString::number(QRandomGenerator::global()->bounded(0x10000), 16).rightJustified(4, '0');
}

QString TotalOf(const TraceStore& store, const TargetDescriptor* a, const TargetDescriptor* b) {
    if (!a) return {};
    return QString::fromStdString(TotalText(*a, SeriesTotal(store, TargetPair{a, b})));
}

}  // namespace

LaneFace LaneFaceOf(const TargetDescriptor& face) {
    LaneFace f;
    f.id = face.Identity();
    f.name = QString::fromStdString(LookupString(UiLanguage::English, face.NameId()));
    f.kind = face.Kind();
    f.refRadius = face.RefRadius();
    f.refDiameter = face.RefDiameter();
    f.viewWidth = kViewWidthUnits;
    f.bulletRadius = int(std::lround(face.BulletRadius()));
    f.picture = face.Picture() != nullptr;
    for (int i = 0; i < face.RingCount(); ++i) {
        const char* label = face.RingLabel(i);
        // the message carries whole units (as peers read it); the nearest, not the one below
        f.rings.push_back(FaceRing{int(std::lround(face.RingRadius(i))), ColourText(face.RingColour(i)), face.RingValue(i),
                                   QString::fromLatin1(label ? label : "")});
    }
    return f;
}

ShotMessage ShotMessageOf(const TraceStore& store, int k, const TargetDescriptor* first, const TargetDescriptor* second) {
    const ShotRecord& shot = store.Shot(k);
    const ScoredShot scored = ScoreStoredShot(store, k, first, second);
    ShotMessage m;
    m.n = k + 1;
    m.x = shot.x;
    m.y = shot.y;
    m.index = store.ShotHasNoTrace(k) ? NoTraceInFiles : shot.traceIndex;
    m.side = shot.side ? 1 : 0;
    m.score = scored.fired ? scored.score : 0;
    if (scored.face) m.text = QString::fromStdString(ScoreText(*scored.face, m.score, scored.fired && scored.innerRing));
    m.direction = scored.fired ? ClockHour(scored.bearing) : 0;
    m.time = scored.fired ? std::max(0, scored.timeMs) / 1000.0 : 0;
    m.late = store.ShotTiming(k).late != 0;
    return m;
}

LanePublisher::LanePublisher(HubView& hub, RangeClient& client, const LaneIdentity& identity)
    : HubView(&hub), client_(client), identity_(identity) {
    state_.lane = identity.lane;
    state_.shooter = identity.shooter;
    state_.version = identity.version;
    state_.online = true;
    traceTimer_.setSingleShot(true);
    traceTimer_.setInterval(kTracePeriodMs);
    connect(&traceTimer_, &QTimer::timeout, this, &LanePublisher::FlushTrace);
    connect(&client_, &RangeClient::Connected, this, [this] {
        PublishFace();
        PublishState();
    });
    connect(&client_, &RangeClient::MessageReceived, this, &LanePublisher::OnMessage);
    client_.Subscribe(Topic(LaneTopic::Command), 1);
    HubView::OnTargetsChanged(hub.targetA(), hub.targetB());
    if (const TargetDescriptor* face = targetA()) {
        state_.face = face->Identity();
        state_.faceName = QString::fromStdString(LookupString(UiLanguage::English, face->NameId()));
    }
    PublishFace();
    PublishState();
}

LanePublisher::~LanePublisher() { GoOffline(); }

void LanePublisher::GoOffline() {
    if (offline_) return;
    offline_ = true;
    FlushTrace();
    client_.Publish(Topic(LaneTopic::State), OfflineState(identity_.lane), 1, true);
}

QByteArray LanePublisher::OfflineState(const QString& lane) {
    return QByteArray("{\"v\":1,\"lane\":\"") + lane.toUtf8() + "\",\"online\":false}";
}

QString LanePublisher::Topic(LaneTopic kind) const { return LaneTopicName(identity_.range, identity_.lane, kind); }

void LanePublisher::SetLocked(bool locked) {
    if (state_.locked == locked) return;
    state_.locked = locked;
    PublishState();
}

void LanePublisher::SetTakesCommands(bool on) {
    if (state_.commands == on) return;
    state_.commands = on;
    PublishState();
}

void LanePublisher::OnMessage(const QString& topic, const QByteArray& payload) {
    if (topic != Topic(LaneTopic::Command) || offline_) return;
    CommandMessage command;
    QString why;
    if (!DecodeCommand(payload, command, &why)) {
        LogLine("range: an order to this lane was refused: %s\n", qPrintable(why));
        return;
    }
    // QoS 1 may bring an order twice: it is carried out once and answered alike
    const auto seen = std::find_if(answered_.begin(), answered_.end(),
                                   [&](const AckMessage& a) { return a.id == command.id; });
    AckMessage ack;
    if (seen != answered_.end()) {
        ack = *seen;
    } else {
        ack.id = command.id;
        ack.reason = onCommand ? onCommand(command) : QString::fromLatin1(kRefusedCommandsOff);
        ack.ok = ack.reason.isEmpty();
        answered_.push_back(ack);
        if (answered_.size() > kRememberedOrders) answered_.pop_front();
        LogLine("range: the range officer's order \"%s\" (%s): %s\n", LaneOrderName(command.order),
                qPrintable(command.id), ack.ok ? "done" : qPrintable(ack.reason));
    }
    client_.Publish(Topic(LaneTopic::Ack), EncodeAck(ack), 1, false);
}

QString LaneRefusal(const CommandMessage& order, const LaneSituation& lane) {
    if (!lane.takesCommands) return QString::fromLatin1(kRefusedCommandsOff);
    if (order.order == LaneOrder::Lock || order.order == LaneOrder::Unlock) return {};
    if (lane.watching) return QString::fromLatin1(kRefusedWatching);
    if (lane.seriesWithShots) return QString::fromLatin1(kRefusedBusy);
    if (order.order == LaneOrder::Face && !lane.faceKnown) return QString::fromLatin1(kRefusedUnknownFace);
    if (order.order != LaneOrder::Face && !lane.offered) return QString::fromLatin1(kRefusedNotOnFace);
    return {};
}

void LanePublisher::SetRun(LaneRun run) {
    if (state_.run == run) return;
    state_.run = run;
    PublishState();
}

void LanePublisher::OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) {
    if (isReplay || !IsRunning()) return;
    TraceStore* store = Store();
    if (!store) return;
    if (state_.series.isEmpty()) OnNewSeries(0, 0, 0);
    if (isShot) {
        // the trace before the shot goes first, so a watcher has it when the shot comes; the shot's
        // own point is in the shot message
        FlushTrace();
        while (publishedShots_ < store->ShotCount()) PublishShot(publishedShots_++);
        PublishState();
        if (!sighters_ && state_.due > 0 && store->ShotCount() >= state_.due && !seriesSent_) PublishSeries();
        return;
    }
    if (sampleIndex < 0 || sampleIndex >= store->SampleCount()) return;  // the store was full
    if (pending_.empty()) pendingFirst_ = sampleIndex;
    if (pendingFirst_ + int(pending_.size()) != sampleIndex) {
        FlushTrace();
        pendingFirst_ = sampleIndex;
    }
    pending_.push_back(TracePoint{x, y});
    if (int(pending_.size()) >= kMaxTracePointsPerMessage) FlushTrace();
    else if (!traceTimer_.isActive()) traceTimer_.start();
}

void LanePublisher::OnNewSeries(int shots, int sighters, int) {
    pending_.clear();
    traceTimer_.stop();
    sighters_ = sighters != 0;
    state_.series = NewSeriesId();
    state_.due = std::clamp(shots, 0, kMaxShots);
    state_.fired = 0;
    state_.shots.clear();
    state_.total = targetA() ? QString::fromStdString(TotalText(*targetA(), 0)) : QString();
    if (state_.run == LaneRun::Idle) state_.run = sighters_ ? LaneRun::Sighters : LaneRun::Series;
    publishedShots_ = 0;
    seriesSent_ = false;
    PublishState();
}

void LanePublisher::OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor*) {
    pending_.clear();
    traceTimer_.stop();
    state_.face = a ? a->Identity() : 0;
    state_.faceName = a ? QString::fromStdString(LookupString(UiLanguage::English, a->NameId())) : QString();
    state_.series.clear();
    state_.fired = state_.due = 0;
    state_.shots.clear();
    state_.total.clear();
    state_.run = LaneRun::Idle;
    PublishFace();
    PublishState();
}

void LanePublisher::FlushTrace() {
    traceTimer_.stop();
    if (pending_.empty()) return;
    TraceChunk chunk{state_.series, pendingFirst_, std::move(pending_)};
    pending_.clear();
    // QoS 0: a trace that cannot go now is not worth keeping; the shots carry what counts
    client_.Publish(Topic(LaneTopic::Trace), EncodeTrace(chunk), 0, false);
}

void LanePublisher::PublishShot(int k) {
    const TraceStore& store = *Store();
    ShotMessage m = ShotMessageOf(store, k, targetA(), targetB());
    m.series = state_.series;
    m.sighter = sighters_;
    client_.Publish(Topic(LaneTopic::Shot), EncodeShot(m), 1, false);
}

void LanePublisher::PublishSeries() {
    seriesSent_ = true;
    const TraceStore& store = *Store();
    auto record = std::make_unique<SeriesRecord>();
    record->Clear();
    record->targetId = state_.face;
    record->numberOfShots = store.ShotCount();
    record->store = store.Image();
    const FileDate date = LocalFileDate();
    SeriesMessage m;
    m.series = state_.series;
    m.face = state_.face;
    m.date = LocalDateTime(date).toString(Qt::ISODate);
    m.shots = store.ShotCount();
    m.total = state_.total;
    m.shooter = identity_.shooter;
    m.file = QByteArray::fromStdString(SeriesFileIo::SeriesText(*record, "", date));
    client_.Publish(Topic(LaneTopic::Series), EncodeSeries(m), 1, true);
}

void LanePublisher::PublishRecovered(const TraceImage& series, int faceId, const QByteArray& fileText,
                                     const QString& date, const QString& total) {
    SeriesMessage m;
    m.series = QStringLiteral("recovered-") + NewSeriesId();
    m.face = faceId;
    m.date = date;
    m.shots = series.shotCount;
    m.total = total;
    m.recovered = true;
    m.shooter = identity_.shooter;
    m.file = fileText;
    client_.Publish(Topic(LaneTopic::Series), EncodeSeries(m), 1, true);
}

void LanePublisher::PublishState() {
    if (const TraceStore* store = Store(); store && !state_.series.isEmpty()) {
        state_.fired = store->ShotCount();
        state_.shots.clear();
        for (int k = 0; k < store->ShotCount(); ++k) {
            const ShotRecord& s = store->Shot(k);
            state_.shots.push_back(
                StateShot{s.x, s.y, store->ShotHasNoTrace(k) ? NoTraceInFiles : s.traceIndex, s.side ? 1 : 0});
        }
        state_.total = TotalOf(*store, targetA(), targetB());
    }
    if (!offline_) client_.Publish(Topic(LaneTopic::State), EncodeState(state_), 1, true);
}

void LanePublisher::PublishFace() {
    FaceMessage m;
    if (targetA()) m.faces.push_back(LaneFaceOf(*targetA()));
    if (targetB() && targetB() != targetA()) m.faces.push_back(LaneFaceOf(*targetB()));
    client_.Publish(Topic(LaneTopic::Face), EncodeFace(m), 1, true);
}

}  // namespace zark
