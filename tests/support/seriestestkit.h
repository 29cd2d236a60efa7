#pragma once

// Stand-ins for the series rules' collaborators, for tests that run series through a live hub:
// timers fired by hand, flat face rules, a link that counts its arming, and a target view that
// draws nothing.
#include <functional>
#include <memory>
#include <vector>

#include "core/seriesinterfaces.h"
#include "core/seriesview.h"

namespace zark::test {

// Timers that fire only when the test says so.
class HandTimers final : public TimerFactory {
public:
    class Timer final : public FlowTimer {
    public:
        explicit Timer(std::function<void()> fire) : fire_(std::move(fire)) {}
        void Start(int ms) override {
            active_ = true;
            startedWith = ms;
        }
        void Stop() override { active_ = false; }
        bool Active() const override { return active_; }
        void Fire() {
            if (!active_) return;
            active_ = false;
            fire_();
        }

        int startedWith = -1;  // the time of the last start

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
    void OnStoreChanged() override { ++storeChanges; }
    int storeChanges = 0;
};

}  // namespace zark::test
