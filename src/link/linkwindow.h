#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>

#include "core/notification.h"
#include "core/shootinghub.h"
#include "link/detectordecoder.h"
#include "settings/settings.h"

namespace zark {

class SerialWorker;

// The link window: joins the detector link to the shooting hub on the main thread. A HubView, so
// the hub's series and acquisition notifications configure and stop the serial worker; it takes
// what the worker's decoder produces, queued to the main thread in the order it was produced, and
// turns samples into FeedSample and run announcements into code 9 for its owner (the target
// window). Samples are taken only while acquisition runs: those that arrive after a stop are
// dropped. A watchdog reports code 8 when no sample at all arrives within 2 s of a configuration
// (a stop ends the watch).
class cTargetComm final : public QObject, public HubView, public LinkMessageSink {
    Q_OBJECT

public:
    // The detector scale of a face (the target catalogue's DetectorScale).
    using ScaleSource = std::function<std::int32_t(const TargetDescriptor*)>;
    static constexpr std::int32_t kDefaultScale = 5184;  // the 300 m rifle face, used until a source is set
    static constexpr int kWatchdogMs = 2000;

    // Attaches to the hub and starts the worker.
    explicit cTargetComm(HubView* hub, QObject* parent = nullptr);
    cTargetComm(HubView* hub, SerialWorker& worker, QObject* parent = nullptr);
    // Shuts the worker down first, then leaves the hub.
    ~cTargetComm() override;

    // Takes the owner that receives codes 8 and 9. Returns 1, or 0 (logged) without an owner.
    int Create(NotificationSink* owner);
    void SetScaleSource(ScaleSource source) { scaleSource_ = std::move(source); }
    // For this session, use chosen while the configured port is still the stored setting (the
    // simulator when the configured unit is not there at start-up). The setting is not changed.
    void SetSessionPort(const std::string& configured, const std::string& chosen);
    // While the hub shows a series from elsewhere (a lane watched over the range), the unit is
    // neither connected nor heard: its samples would mix into that series.
    void SetSuspended(bool suspended);
    bool Suspended() const { return suspended_; }
    // The port the next configuration opens.
    std::string PortName() const;

    // Has the worker write a setup block with the aim offset plus (x, y), the lead of the target.
    int RequestAdjustment(int x, int y);

    void OnNewSeries(int shots, int sighters, int isDouble) override;
    void OnAcquisitionStarted() override;
    void OnAcquisitionStopped() override;

    // Called by the decoder on the worker thread; handled on the main thread in this order.
    void PostLinkSample(std::uint32_t wParam, int isShot) override;
    void PostLinkLine(int side) override;

    int sighters() const { return sighters_; }
    bool WatchdogActive() const { return watchdog_.isActive(); }
    int WatchdogInterval() const { return watchdog_.interval(); }
    // Tests shorten the watchdog.
    void SetWatchdogInterval(int ms) { watchdog_.setInterval(ms); }

private:
    const Settings& CurrentSettings() const;
    void ConfigureAndConnect();
    void HandleSample(std::uint32_t wParam, int isShot);
    void HandleLine(int side);
    void WatchdogFired();
    void Notify(int code, int side);

    SerialWorker& worker_;
    NotificationSink* owner_ = nullptr;
    ScaleSource scaleSource_;
    int sighters_ = 0;
    bool suspended_ = false;
    QTimer watchdog_;
    Settings fallback_;  // used until the hub hands down the settings
    std::string sessionConfigured_;
    std::string sessionPort_;
};

}  // namespace zark
