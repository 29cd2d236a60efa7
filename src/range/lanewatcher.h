#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <set>

#include "range/rangemessages.h"

namespace zark {

class HubView;
class RangeClient;
class TargetCatalogue;
struct TargetDescriptor;

// The coach's side: follows the retained states of every lane of the range, and shows one chosen
// lane in a hub: its face, its series as the shots and the trace come, on the lane's own face. A
// shot that comes again (a redelivery after a reconnect) is dropped by its series id and number,
// so every shot is recorded once. Every message is checked before it is used; a bad one is
// dropped, counted and logged, and changes nothing.
class LaneWatcher final : public QObject {
    Q_OBJECT

public:
    LaneWatcher(RangeClient& client, HubView& hub, const TargetCatalogue& catalogue, const QString& range);
    ~LaneWatcher() override;

    // Shows this lane in the hub from now on; an empty name stops watching.
    void Watch(const QString& lane);
    const QString& Watched() const { return watched_; }
    // Every lane whose state has come, online or not, by name.
    const std::map<QString, LaneState>& Lanes() const { return lanes_; }
    // The faces the watched lane published last.
    const FaceMessage& Faces() const { return faces_; }
    int DroppedCount() const { return dropped_; }
    // Shows a face pair of the watched lane; without it the hub is given the pair.
    std::function<void(const TargetDescriptor*, const TargetDescriptor*)> onFace;
    int ReceivedShots() const { return receivedShots_; }

signals:
    void LanesChanged();
    // The watched lane went offline (false) or came back (true).
    void WatchedOnline(bool online);
    void ShotRecorded(const ShotMessage& shot);
    void SeriesReceived(const QString& lane, const SeriesMessage& series);

private:
    void OnMessage(const QString& topic, const QByteArray& payload);
    void Drop(const QString& topic, const QString& why);
    void TakeState(const LaneState& state);
    void TakeTrace(const TraceChunk& chunk);
    void TakeShot(const ShotMessage& shot);
    // The hub shows the face of this target identity; false when no face of the catalogue has it.
    bool ShowFace(int faceId);
    // The hub records series `id` from now on (a new one, or one joined in its middle).
    void BeginSeries(const QString& id, int due, bool sighters, const std::vector<StateShot>& shotsSoFar);
    void FillTraceTo(int index);
    void SubscribeLane(const QString& lane, bool on);

    RangeClient& client_;
    HubView& hub_;
    const TargetCatalogue& catalogue_;
    QString range_;
    QString watched_;
    std::map<QString, LaneState> lanes_;
    FaceMessage faces_;
    QString series_;          // the series the hub records
    std::set<QString> past_;  // the series of the watched lane it recorded before
    int faceId_ = -1;
    int dropped_ = 0;
    int receivedShots_ = 0;
};

}  // namespace zark
