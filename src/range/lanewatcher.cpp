#include "range/lanewatcher.h"

#include "core/shootinghub.h"
#include "diag/diagnostics.h"
#include "range/rangeclient.h"
#include "targets/targetcatalogue.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

// A gap in the trace longer than this is not fed point by point: the store is rebuilt once.
constexpr int kLongestFedGap = 250;

}  // namespace

LaneWatcher::LaneWatcher(RangeClient& client, HubView& hub, const TargetCatalogue& catalogue, const QString& range)
    : client_(client), hub_(hub), catalogue_(catalogue), range_(range) {
    connect(&client_, &RangeClient::MessageReceived, this, &LaneWatcher::OnMessage);
    client_.Subscribe(QStringLiteral("zark/v1/%1/+/state").arg(range_), 1);
}

LaneWatcher::~LaneWatcher() = default;

void LaneWatcher::SubscribeLane(const QString& lane, bool on) {
    const struct {
        LaneTopic kind;
        int qos;
    } topics[] = {{LaneTopic::Face, 1}, {LaneTopic::Trace, 0}, {LaneTopic::Shot, 1}, {LaneTopic::Series, 1}};
    for (const auto& t : topics) {
        const QString topic = LaneTopicName(range_, lane, t.kind);
        if (on) client_.Subscribe(topic, t.qos);
        else client_.Unsubscribe(topic);
    }
}

void LaneWatcher::Watch(const QString& lane) {
    if (lane == watched_) return;
    if (!watched_.isEmpty()) SubscribeLane(watched_, false);
    watched_ = ValidRangeName(lane) ? lane : QString();
    series_.clear();
    past_.clear();
    faceId_ = -1;
    faces_ = FaceMessage{};
    hub_.StopAcquisition();
    if (watched_.isEmpty()) return;
    SubscribeLane(watched_, true);
    const auto known = lanes_.find(watched_);
    if (known != lanes_.end()) TakeState(known->second);
}

void LaneWatcher::Drop(const QString& topic, const QString& why) {
    ++dropped_;
    LogLine("range: a message on %s was dropped (%d so far): %s\n", qPrintable(topic.left(200)), dropped_,
            qPrintable(why));
}

void LaneWatcher::OnMessage(const QString& topic, const QByteArray& payload) {
    QString lane;
    LaneTopic kind = LaneTopic::Other;
    if (!ParseLaneTopic(topic, range_, lane, kind)) return;
    QString why;
    if (kind == LaneTopic::State) {
        LaneState state;
        if (payload.isEmpty()) {
            // a retained state cleared by hand: the lane is gone from the range
            if (lanes_.erase(lane)) emit LanesChanged();
            return;
        }
        if (!DecodeState(payload, state, &why)) return Drop(topic, why);
        if (state.lane != lane) return Drop(topic, QStringLiteral("the state of another lane"));
        LaneState& known = lanes_[lane];
        const bool wasOnline = known.online;
        if (!state.online) {
            // the last will: the lane is offline, what it last showed stays
            known.lane = lane;
            known.online = false;
        } else {
            known = state;
        }
        emit LanesChanged();
        if (lane == watched_) {
            if (wasOnline != known.online) emit WatchedOnline(known.online);
            if (state.online) TakeState(state);
        }
        return;
    }
    if (lane != watched_) return;
    switch (kind) {
    case LaneTopic::Face: {
        FaceMessage faces;
        if (!DecodeFace(payload, faces, &why)) return Drop(topic, why);
        faces_ = faces;
        return;
    }
    case LaneTopic::Trace: {
        TraceChunk chunk;
        if (!DecodeTrace(payload, chunk, &why)) return Drop(topic, why);
        return TakeTrace(chunk);
    }
    case LaneTopic::Shot: {
        ShotMessage shot;
        if (!DecodeShot(payload, shot, &why)) return Drop(topic, why);
        return TakeShot(shot);
    }
    case LaneTopic::Series: {
        SeriesMessage series;
        if (!DecodeSeries(payload, series, &why)) return Drop(topic, why);
        emit SeriesReceived(lane, series);
        return;
    }
    default: return;
    }
}

bool LaneWatcher::ShowFace(int faceId) {
    if (faceId == faceId_) return true;
    TargetPair pair;
    if (!catalogue_.FindQuietly(faceId, pair) || !pair.first) return false;
    hub_.StopAcquisition();
    if (onFace) onFace(pair.first, pair.second);
    else hub_.SetTargets(pair.first, pair.second);
    faceId_ = faceId;
    series_.clear();
    return true;
}

void LaneWatcher::TakeState(const LaneState& state) {
    if (!ShowFace(state.face)) {
        LogLine("range: lane %s shows target %d, which this program does not know\n", qPrintable(state.lane), state.face);
        return;
    }
    if (state.series.isEmpty() || past_.count(state.series)) return;
    if (state.series != series_) return BeginSeries(state.series, state.due, state.run == LaneRun::Sighters, state.shots);
    // A shot published before this watcher's subscription reached the broker never comes; the
    // state after it lists it, so it is taken from there.
    const TraceStore* store = hub_.Store();
    for (int k = store ? store->ShotCount() : 0; store && k < int(state.shots.size()); ++k) {
        const StateShot& s = state.shots[std::size_t(k)];
        ShotMessage shot;
        shot.series = state.series;
        shot.n = k + 1;
        shot.x = s.x;
        shot.y = s.y;
        shot.index = s.index;
        shot.side = s.side;
        shot.sighter = state.run == LaneRun::Sighters;
        TakeShot(shot);
    }
    if (state.due > 0 && state.fired >= state.due) hub_.StopAcquisition();
}

void LaneWatcher::BeginSeries(const QString& id, int due, bool sighters, const std::vector<StateShot>& shotsSoFar) {
    if (!series_.isEmpty()) past_.insert(series_);
    series_ = id;
    hub_.StopAcquisition();
    hub_.NewSeries(due, sighters ? 1 : 0, 0);
    if (shotsSoFar.empty()) return;
    // Joined in the middle: the shots so far on a trace that has only their own points.
    auto image = std::make_unique<TraceImage>();
    image->Clear();
    for (const StateShot& s : shotsSoFar) {
        if (image->shotCount >= kMaxShots) break;
        ShotRecord& shot = image->shots[image->shotCount++];
        shot.x = std::int16_t(s.x);
        shot.y = std::int16_t(s.y);
        shot.side = s.side;
        if (s.index != NoTraceInFiles && s.index >= image->sampleCount && s.index < kMaxSamples) {
            image->sampleCount = s.index + 1;
            image->samples[s.index] = AimSample{std::int16_t(s.x), std::int16_t(s.y)};
            shot.traceIndex = s.index;
        }
    }
    hub_.LoadStore(*image);
    hub_.NotifyStoreChanged();
}

void LaneWatcher::FillTraceTo(int index) {
    TraceStore* store = hub_.Store();
    if (!store || index <= store->SampleCount()) return;
    index = std::min(index, int(kMaxSamples));
    if (index - store->SampleCount() > kLongestFedGap) {
        auto image = std::make_unique<TraceImage>(store->Image());
        for (int i = image->sampleCount; i < index; ++i) image->samples[i] = AimSample{};
        image->sampleCount = index;
        hub_.LoadStore(*image);
        hub_.NotifyStoreChanged();
        return;
    }
    while (store->SampleCount() < index) hub_.FeedSample(0, 0, 0, 0, -1);
}

void LaneWatcher::TakeTrace(const TraceChunk& chunk) {
    if (chunk.series != series_ || !hub_.IsRunning()) return;
    TraceStore* store = hub_.Store();
    if (!store) return;
    FillTraceTo(chunk.first);
    for (std::size_t i = 0; i < chunk.points.size(); ++i) {
        const int index = chunk.first + int(i);
        if (index < store->SampleCount()) continue;  // had it, or a gap was filled in its place
        if (store->SampleCount() >= kMaxSamples) break;
        hub_.FeedSample(chunk.points[i].x, chunk.points[i].y, 0, 0, -1);
    }
}

void LaneWatcher::TakeShot(const ShotMessage& shot) {
    if (past_.count(shot.series)) return;  // a late repeat of a series shown before
    if (shot.series != series_) {
        // a shot of a series the state has not announced yet (the states may come later)
        const auto known = lanes_.find(watched_);
        const int due = known != lanes_.end() && known->second.series == shot.series ? known->second.due : 0;
        BeginSeries(shot.series, due, shot.sighter, {});
    }
    TraceStore* store = hub_.Store();
    if (!store || shot.n <= store->ShotCount()) return;  // a repeat
    if (store->ShotCount() >= kMaxShots) return;
    // the shot's own point is the one at its index; the points before it may not all have come
    if (shot.index != NoTraceInFiles) FillTraceTo(shot.index);
    if (hub_.side() != shot.side) hub_.SelectTarget(shot.side);
    if (!hub_.IsRunning()) hub_.StartAcquisition();
    ++receivedShots_;
    hub_.FeedSample(shot.x, shot.y, 1, 0, -1);
    emit ShotRecorded(shot);
    const auto known = lanes_.find(watched_);
    const int due = known != lanes_.end() && known->second.series == series_ ? known->second.due : 0;
    if (due > 0 && store->ShotCount() >= due) hub_.StopAcquisition();
}

}  // namespace zark
