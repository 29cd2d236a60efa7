#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "range/rangeclient.h"

class QAction;

namespace zark {

class LanePublisher;
class LaneWatcher;
class RangeOfficer;
class RangeWindow;
struct CommandMessage;
class MainFrame;
struct Settings;

// The main frame's part of the range. As a lane (Customize > Range on) the live hub is published
// on the club's broker; as a coach (File > Watch Lane...) a chosen lane is shown in the ordinary
// windows, read-only: the unit is not heard, the Shoot and Targets menus and Open are grey, and
// the lane's own publishing pauses (it would publish the watched series as its own). The banner
// says when the watched lane or the broker goes away; watching resumes by itself.
class FrameRange final : public QObject {
    Q_OBJECT

public:
    explicit FrameRange(MainFrame& frame);
    ~FrameRange() override;

    // The settings took effect (start-up, Customize): the lane goes on or off the range, or
    // reconnects with what changed.
    void ApplySettings();
    // The series rules changed state: what runs on the lane.
    void UpdateRun();
    // Series an earlier run left in its journal, now written as these files: the lane publishes them.
    void PublishRecovered(const QStringList& files);

    // File > Watch Lane...
    void WatchLaneCommand();
    // Shows this lane from now on (after the series on show may be set aside); empty stops.
    bool Watch(const QString& lane);
    void StopWatching();
    bool Watching() const { return !watched_.isEmpty(); }
    const QString& Watched() const { return watched_; }

    // View > Range...: the range officer's window, and its close box.
    void ShowOfficerWindow();
    void HideOfficerWindow();
    RangeWindow* OfficerWindow() const { return window_.get(); }
    RangeOfficer* Officer() const { return officer_.get(); }
    // The range officer locked this lane.
    bool Locked() const { return locked_; }

    LanePublisher* Publisher() const { return publisher_.get(); }
    LaneWatcher* Watcher() const { return watcher_.get(); }
    RangeClient* CoachClient() const { return coachClient_.get(); }

private:
    BrokerOptions OptionsOf(const Settings& settings, bool lane) const;
    void StartLane();
    void StopLane();
    void EnsureWatcher();
    void SetReadOnly(bool on);
    void Say(int textId, const QString& first = {}, const QString& second = {});
    // Carries out an order of the range officer; the reason it did not, empty when it did.
    QString Obey(const CommandMessage& order);
    // The shoot command the order starts on the face shown; 0 when the face offers none.
    int CommandOf(const CommandMessage& order) const;
    void SetLocked(bool locked);
    void DropOfficer();

    MainFrame& frame_;
    std::unique_ptr<RangeClient> laneClient_;
    std::unique_ptr<LanePublisher> publisher_;
    std::unique_ptr<RangeClient> coachClient_;
    std::unique_ptr<LaneWatcher> watcher_;
    std::unique_ptr<RangeOfficer> officer_;
    std::unique_ptr<RangeWindow> window_;
    bool locked_ = false;
    std::string laneKey_;   // the settings the lane was started with
    std::string coachKey_;  // and the coach's client
    QString watched_;
    std::vector<std::pair<QPointer<QAction>, bool>> greyed_;
    bool simulatedNotice_ = false;  // shown before watching
};

}  // namespace zark
