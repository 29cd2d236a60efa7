#pragma once

// The main frame with a target window's series logic attached: hand-fired timers, flat scoring,
// a link that counts its arming, and the fixture that builds them with a real main frame.
#include <gtest/gtest.h>

#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "app/acceleratorfilter.h"
#include "app/mainframe.h"
#include "apptestsupport.h"
#include "core/seriesinterfaces.h"
#include "core/seriesview.h"
#include "core/targetrun.h"

namespace zark::test {

// Timers that fire only when the test says so.
class HandTimers final : public TimerFactory {
public:
    class Timer final : public FlowTimer {
    public:
        explicit Timer(std::function<void()> fire) : fire_(std::move(fire)) {}
        void Start(int) override { active_ = true; }
        void Stop() override { active_ = false; }
        bool Active() const override { return active_; }
        void Fire() {
            if (!active_) return;
            active_ = false;
            fire_();
        }

    private:
        std::function<void()> fire_;
        bool active_ = false;
    };
    std::unique_ptr<FlowTimer> CreateTimer(std::function<void()> onFire) override {
        auto timer = std::make_unique<Timer>(std::move(onFire));
        timers.push_back(timer.get());
        return timer;
    }
    void FireAll() {
        for (Timer* t : timers) t->Fire();
    }
    std::vector<Timer*> timers;
};

class FlatRules final : public FaceRules {
public:
    double ScoreShot(const TargetDescriptor*, int x, int y) const override { return 10.0 - (x * x + y * y > 100 ? 1 : 0); }
    int ShotBearing(const TargetDescriptor*, int, int) const override { return 12; }
    LeadOffset Lead(const TargetDescriptor*, LeadMode) const override { return {}; }
};

class RecordingLink final : public LinkControl {
public:
    void RequestAdjustment(int, int) override { ++arms; }
    int arms = 0;
};

class TargetViewForTests final : public SeriesView {
public:
    using SeriesView::SeriesView;
    void StartReplay(int, int) override {}
};

class SeriesWiring : public ::testing::Test {
protected:
    SeriesWiring() {
        test::StoreValue("HideWarningAtStartup", "1");
        frame = std::make_unique<MainFrame>();
        EXPECT_EQ(frame->Create("ZARK", "ZARK"), 1);
        accelerators = std::make_unique<AcceleratorFilter>(
            *frame, frame->Accelerators(), [this](int command) { frame->OnCommand(command, true); });
        view = std::make_unique<TargetViewForTests>(&frame->Hub(), nullptr, rules, timers);
        run = std::make_unique<TargetRun>(*view, link, *frame, rules, timers);
        view->SetOwner(run.get());
        frame->AttachTargetWindow(*view, *run);
    }
    ~SeriesWiring() override {
        frame->DetachTargetWindow();
        run.reset();
        view.reset();
        accelerators.reset();
        frame.reset();
    }

    QAction* Find(int command) { return test::FindCommand(*frame, command); }
    bool Choose(int command) { return test::ChooseCommand(*frame, command); }
    void Key(Qt::Key key) { QTest::keyClick(frame.get(), key); }
    void Shoot(int n) {
        for (int i = 0; i < n; ++i) {
            frame->Hub().FeedSample(5 * i, 3, 0, 0, -1);
            frame->Hub().FeedSample(5 * i, 4, 1, 0, -1);
            timers.FireAll();  // the time between shots passes
        }
    }
    QString PauseText() { return Find(kCmdPauseContinue)->text(); }

    FlatRules rules;
    HandTimers timers;
    RecordingLink link;
    std::unique_ptr<MainFrame> frame;
    std::unique_ptr<AcceleratorFilter> accelerators;
    std::unique_ptr<TargetViewForTests> view;
    std::unique_ptr<TargetRun> run;
};

}  // namespace zark::test
