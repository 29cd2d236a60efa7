#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "core/notification.h"
#include "core/qttimerfactory.h"
#include "core/seriesinterfaces.h"
#include "core/targetrun.h"
#include "targets/widgets/targetfacerules.h"

class QRadioButton;
class QTimer;

namespace zark {

class HubView;
class SerialWorker;
class TargetView;
class cTargetComm;
struct Settings;
struct TargetDescriptor;

// The content of the target window: the drawing view over the whole client area and, for hunting
// targets, the "Left", "Moving Range" and "Right" buttons along the bottom. It owns the drawing
// view, the audio view (when one is attached) and the link window, in that order on the hub, and
// runs the target window's part of the series (TargetRun: locking the buttons, arming the link
// after each shot, the automatic replay between shots). Every notification of the view and the
// link reaches the main frame after the window's own handling.
class TargetWindow final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kViewId = 2151;
    static constexpr int kButtonBand = 25;
    static constexpr int kMinWidth = 200;
    static constexpr int kMinHeight = 170;

    // Builds the extra view that sits on the hub between the drawing view and the link window (the
    // audio view). It receives the hub and the window and returns the view it built, or null.
    using ExtraViewFactory = std::function<std::unique_ptr<HubView>(HubView& hub, TargetWindow& window)>;

    // worker: the serial worker of the link window (the process's one when null); timers: the
    // timers of the series rules (QTimer when null).
    TargetWindow(HubView& hub, NotificationSink& mainFrame, QWidget* parent = nullptr,
                 ExtraViewFactory audioView = {}, SerialWorker* worker = nullptr, TimerFactory* timers = nullptr);
    ~TargetWindow() override;

    // The main frame's calls.
    void ChooseTarget(const TargetDescriptor* first, const TargetDescriptor* second);
    void SetShotPeriod(int ms);
    void SetSettings(const Settings* settings);
    // The port of this session: chosen while the configured port is still the stored one.
    void SetSessionPort(const std::string& configured, const std::string& chosen);
    int StartRun(int seriesShots, int sighterSeries, int alternate);
    int Unlock();
    int Relock();
    void ApplyLeadOffset();

    void LayOut();
    bool ButtonsVisible() const;

    TargetView& View() const { return *view_; }
    TargetRun& Run() const { return *run_; }
    cTargetComm& Link() const { return *link_; }
    HubView* AudioView() const { return audioView_.get(); }
    QRadioButton* Button(int id) const;  // 0 "Left", 1 "Moving Range", 2 "Right"
    // The lead offset the link was last armed with, and how often it was armed.
    LeadOffset LastLead() const { return linkArm_.last; }
    int LeadRequests() const { return linkArm_.requests; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The link window's view of the target window: the lead offset it hands to the worker.
    class LinkArm final : public LinkControl {
    public:
        explicit LinkArm(TargetWindow& window) : window_(window) {}
        void RequestAdjustment(int x, int y) override;
        LeadOffset last;  // the lead handed to the link last
        int requests = 0;

    private:
        TargetWindow& window_;
    };
    // Between the series logic and the main frame: keeps the buttons' state in step.
    class FrameRelay final : public NotificationSink {
    public:
        FrameRelay(TargetWindow& window, NotificationSink& frame) : window_(window), frame_(frame) {}
        void Notify(const Notification& n) override;

    private:
        TargetWindow& window_;
        NotificationSink& frame_;
    };

    void SyncButtons();
    void ScheduleButtonSync();

    HubView& hub_;
    QtTimerFactory qtTimers_;
    TimerFactory& timers_;
    TargetFaceRules rules_;
    LinkArm linkArm_{*this};
    FrameRelay frameRelay_;
    TargetView* view_ = nullptr;  // a child widget
    std::unique_ptr<HubView> audioView_;
    std::unique_ptr<cTargetComm> link_;
    std::unique_ptr<TargetRun> run_;
    QRadioButton* buttons_[3] = {};
    QTimer* buttonSync_ = nullptr;
};

}  // namespace zark
