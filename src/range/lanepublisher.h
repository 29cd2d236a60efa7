#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

#include "core/shootinghub.h"
#include "range/rangemessages.h"

namespace zark {

class RangeClient;
struct TargetDescriptor;
struct TraceImage;

// Who a lane is on the range.
struct LaneIdentity {
    QString range = QStringLiteral("club");
    QString lane;
    QString shooter;
    QString version;
};

// The lane's face as the messages describe it: rings in file units and colours, the view width.
LaneFace LaneFaceOf(const TargetDescriptor& face);
// Shot k of a store as a shot message (n = k + 1).
ShotMessage ShotMessageOf(const TraceStore& store, int k, const TargetDescriptor* first, const TargetDescriptor* second);

// What a lane is doing when an order of the range officer comes.
struct LaneSituation {
    bool takesCommands = false;   // the setting RangeAcceptCommands
    bool watching = false;        // the program shows another lane, read-only
    bool seriesWithShots = false; // a series with fired shots is being shot, or shown and not kept
    bool faceKnown = true;        // Face: the catalogue has the face ordered
    bool offered = true;          // a start: the lane's face offers that series
};
// Why the lane does not obey the order (one of the reasons of the answer), empty when it does.
// Locking and unlocking never touch a series, so a busy lane takes them; nothing else is done
// while it would drop a series with fired shots.
QString LaneRefusal(const CommandMessage& order, const LaneSituation& lane);

// A view of the live hub that puts the lane on the range: the retained state and face, the new aim
// points every 200 ms, each shot at once (after the points before it) and each finished series
// with its file. It only hands messages to the client, which queues them; shooting never waits
// for the network. After every reconnect the state is published again (the broker has put the
// last will, offline, in its place).
class LanePublisher final : public QObject, public HubView {
    Q_OBJECT

public:
    LanePublisher(HubView& hub, RangeClient& client, const LaneIdentity& identity);
    ~LanePublisher() override;

    // The last will the client is started with: the lane offline.
    static QByteArray OfflineState(const QString& lane);

    // The lane leaves the range: its retained state says offline (the broker fires the last will
    // only when a lane is lost, not when it disconnects on purpose). Call before the client stops.
    void GoOffline();
    // What runs on the lane now (the frame's series rules know it).
    void SetRun(LaneRun run);
    // What the state says of the range officer's orders.
    void SetLocked(bool locked);
    void SetTakesCommands(bool on);
    // Carries out an order of the range officer; returns the reason it did not (empty: done).
    // Without it every order is answered "commands off".
    std::function<QString(const CommandMessage&)> onCommand;
    // A series recovered from an interrupted run's journal: published as a finished one.
    void PublishRecovered(const TraceImage& series, int faceId, const QByteArray& fileText, const QString& date,
                          const QString& total);
    const LaneState& State() const { return state_; }
    const QString& SeriesId() const { return state_.series; }

    void OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) override;
    void OnNewSeries(int shots, int sighters, int isDouble) override;
    void OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) override;

private:
    static constexpr std::size_t kRememberedOrders = 64;
    QString Topic(LaneTopic kind) const;
    void OnMessage(const QString& topic, const QByteArray& payload);
    void FlushTrace();
    void PublishShot(int k);
    void PublishSeries();
    void PublishState();
    void PublishFace();

    RangeClient& client_;
    LaneIdentity identity_;
    LaneState state_;
    bool sighters_ = false;
    int publishedShots_ = 0;
    bool seriesSent_ = false;
    bool offline_ = false;
    std::vector<TracePoint> pending_;
    int pendingFirst_ = 0;
    QTimer traceTimer_;
    std::deque<AckMessage> answered_;  // the last orders, so that one delivered twice is done once
};

}  // namespace zark
