#include "link/linkwindow.h"

#include <cerrno>

#include "diag/diagnostics.h"
#include "link/serialworker.h"

namespace zark {

cTargetComm::cTargetComm(HubView* hub, QObject* parent) : cTargetComm(hub, SerialWorker::Process(), parent) {}

cTargetComm::cTargetComm(HubView* hub, SerialWorker& worker, QObject* parent)
    : QObject(parent), HubView(hub), worker_(worker), watchdog_(this) {
    watchdog_.setSingleShot(true);
    watchdog_.setInterval(kWatchdogMs);
    connect(&watchdog_, &QTimer::timeout, this, &cTargetComm::WatchdogFired);
    worker_.Start();
}

cTargetComm::~cTargetComm() {
    worker_.Shutdown();
    worker_.DropTarget(this);
}

int cTargetComm::Create(NotificationSink* owner) {
    if (!owner) {
        ReportError(EINVAL, "failed to create window 'cTargetComm'");
        return 0;
    }
    owner_ = owner;
    return 1;
}

void cTargetComm::SetSessionPort(const std::string& configured, const std::string& chosen) {
    sessionConfigured_ = configured;
    sessionPort_ = chosen;
}

const Settings& cTargetComm::CurrentSettings() const { return settings() ? *settings() : fallback_; }

std::string cTargetComm::PortName() const {
    const std::string& configured = CurrentSettings().Communication;
    if (!sessionPort_.empty() && configured == sessionConfigured_) return sessionPort_;
    return configured;
}

int cTargetComm::RequestAdjustment(int x, int y) { return worker_.RequestAdjustment(x, y); }

void cTargetComm::SetSuspended(bool suspended) {
    suspended_ = suspended;
    if (suspended) {
        worker_.Disconnect();
        watchdog_.stop();
    }
}

void cTargetComm::ConfigureAndConnect() {
    if (suspended_) return;
    const Settings& s = CurrentSettings();
    // the distance may have been changed in the customize dialog while the series was paused
    worker_.SetDistance(s.ShootingDistance);
    const std::int32_t scale = scaleSource_ ? scaleSource_(CurrentTarget()) : kDefaultScale;
    const int dx = sighters_ ? 0 : offsetX();
    const int dy = sighters_ ? 0 : offsetY();
    worker_.ConfigureAndConnect(PortName(), this, scale, s.TimeBetweenShots, dx, dy, s.UnitTimeStep);
    watchdog_.start();
}

void cTargetComm::OnNewSeries(int, int sighters, int) {
    sighters_ = sighters;
    ConfigureAndConnect();
}

void cTargetComm::OnAcquisitionStarted() { ConfigureAndConnect(); }

void cTargetComm::OnAcquisitionStopped() {
    worker_.Disconnect();
    // a link closed on purpose is not silent
    watchdog_.stop();
}

void cTargetComm::PostLinkSample(std::uint32_t wParam, int isShot) {
    QMetaObject::invokeMethod(this, [this, wParam, isShot] { HandleSample(wParam, isShot); }, Qt::QueuedConnection);
}

void cTargetComm::PostLinkLine(int side) {
    QMetaObject::invokeMethod(this, [this, side] { HandleLine(side); }, Qt::QueuedConnection);
}

void cTargetComm::HandleSample(std::uint32_t wParam, int isShot) {
    // What the unit sent before it was told to stop, or while its port was still being closed,
    // is not part of the series: a paused or finished series keeps what it had.
    if (!IsRunning() || suspended_) return;
    watchdog_.stop();
    FeedSample(LinkSampleX(wParam), LinkSampleY(wParam), shotsEnabled() ? isShot : 0, 0, -1);
}

void cTargetComm::HandleLine(int side) {
    if (!suspended_) Notify(kCodeNewRun, side);
}

void cTargetComm::WatchdogFired() {
    watchdog_.stop();
    Notify(kCodeDetectorSilent, 0);
}

void cTargetComm::Notify(int code, int side) {
    if (!owner_) return;
    Notification notification;
    notification.code = code;
    notification.side = side;
    owner_->Notify(notification);
}

}  // namespace zark
