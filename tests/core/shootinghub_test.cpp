#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/shootinghub.h"
#include "settings/settings.h"

namespace zark {
namespace {

// The hub only passes face pointers on; two distinct addresses stand for two faces.
const int kFaceStorage[2] = {};
const TargetDescriptor* const kMoose = reinterpret_cast<const TargetDescriptor*>(&kFaceStorage[0]);
const TargetDescriptor* const kMooseRight = reinterpret_cast<const TargetDescriptor*>(&kFaceStorage[1]);

// Records every notification it gets, with its name, into a log shared by all views.
class RecordingView : public HubView {
public:
    RecordingView(HubView* parent, std::string name, std::vector<std::string>* log)
        : HubView(parent), name_(std::move(name)), log_(log) {}

    std::function<void()> during;  // runs inside the next notification

    void OnSample(int x, int y, int isShot, int isReplay, int index) override {
        Note("OnSample " + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(isShot) + "," +
             std::to_string(isReplay) + "," + std::to_string(index));
    }
    void OnShotsEnabled(int e) override {
        HubView::OnShotsEnabled(e);
        Note("OnShotsEnabled");
    }
    void OnAcquisitionStarted() override { Note("OnAcquisitionStarted"); }
    void OnTraceRange(int, int, int) override { Note("OnTraceRange"); }
    void OnTargetSelected(int side) override {
        HubView::OnTargetSelected(side);
        Note("OnTargetSelected");
    }
    void OnStoreChanged() override { Note("OnStoreChanged"); }
    void OnSettingsChanged(const Settings* s) override {
        HubView::OnSettingsChanged(s);
        Note("OnSettingsChanged");
    }
    void OnAimOffset(int dx, int dy) override {
        HubView::OnAimOffset(dx, dy);
        Note("OnAimOffset");
    }
    void OnTargetsChanged(const TargetDescriptor*, const TargetDescriptor*) override { Note("OnTargetsChanged"); }
    void OnReplayStarted() override { Note("OnReplayStarted"); }
    void OnNewSeries(int shots, int sighters, int dbl) override {
        Note("OnNewSeries " + std::to_string(shots) + "," + std::to_string(sighters) + "," + std::to_string(dbl));
    }
    void OnReplayStopped() override { Note("OnReplayStopped"); }
    void OnAcquisitionStopped() override { Note("OnAcquisitionStopped"); }

private:
    void Note(const std::string& what) {
        log_->push_back(name_ + " " + what);
        if (during) {
            auto run = std::move(during);
            during = nullptr;
            run();
        }
    }
    std::string name_;
    std::vector<std::string>* log_;
};

class Hub : public ::testing::Test {
protected:
    void SetUp() override {
        a = std::make_unique<RecordingView>(&hub, "a", &log);
        b = std::make_unique<RecordingView>(&hub, "b", &log);
        c = std::make_unique<RecordingView>(&hub, "c", &log);
        hub.SetSettings(&settings);
        log.clear();
    }
    Settings settings;
    ShootingHub hub;
    std::vector<std::string> log;
    std::unique_ptr<RecordingView> a, b, c;
};

TEST_F(Hub, ViewsAreToldInAttachmentOrderAndSamplesAreStored) {
    b->FeedSample(3, 4, 0, 0, -1);  // any node reaches the root
    EXPECT_EQ(log, (std::vector<std::string>{"a OnSample 3,4,0,0,0", "b OnSample 3,4,0,0,0", "c OnSample 3,4,0,0,0"}));
    EXPECT_EQ(hub.Store()->SampleCount(), 1);
    EXPECT_EQ(a->Store(), hub.Store());

    log.clear();
    hub.FeedSample(0, 0, 1, 0, -1);  // an unfired shot: no point, index of the last point before it
    EXPECT_EQ(log.front(), "a OnSample 0,0,1,0,0");
    EXPECT_EQ(hub.Store()->ShotCount(), 1);
    EXPECT_EQ(hub.Store()->SampleCount(), 1);

    hub.SelectTarget(1);
    hub.FeedSample(5, 6, 1, 0, -1);
    EXPECT_EQ(hub.Store()->Shot(1).side, 1);
    EXPECT_EQ(hub.Store()->Shot(1).traceIndex, 1);

    log.clear();
    hub.FeedSample(5, 6, 0, 1, 1);  // replayed: nothing stored
    EXPECT_EQ(hub.Store()->SampleCount(), 2);
    EXPECT_EQ(log.front(), "a OnSample 5,6,0,1,1");
}

TEST_F(Hub, FullStoreStillTellsTheViews) {
    for (int i = 0; i < kMaxSamples; ++i) hub.Store()->AppendSample(1, 1);
    log.clear();
    hub.FeedSample(2, 2, 0, 0, -1);
    EXPECT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "a OnSample 2,2,0,0," + std::to_string(kMaxSamples - 1));
}

TEST_F(Hub, GuardedOperationsNotifyOnceAndIgnoreNestedCalls) {
    hub.StopAcquisition();
    EXPECT_TRUE(log.empty());
    hub.FeedSample(1, 1, 0, 0, -1);
    hub.NewSeries(10, 0, 0);
    EXPECT_TRUE(hub.IsRunning());
    EXPECT_EQ(hub.Store()->SampleCount(), 0);
    EXPECT_EQ(log.back(), "c OnNewSeries 10,0,0");
    hub.FeedSample(1, 1, 0, 0, -1);
    log.clear();
    hub.NewSeries(5, 1, 0);  // while running: nothing
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(hub.Store()->SampleCount(), 1);
    hub.StartAcquisition();
    EXPECT_TRUE(log.empty());

    a->during = [&] { hub.StopAcquisition(); };  // nested: ignored
    hub.StopAcquisition();
    hub.StopAcquisition();
    EXPECT_EQ(log, (std::vector<std::string>{"a OnAcquisitionStopped", "b OnAcquisitionStopped",
                                             "c OnAcquisitionStopped"}));
    log.clear();
    hub.StartAcquisition();
    EXPECT_EQ(log.size(), 3u);

    log.clear();
    EXPECT_EQ(hub.EndReplay(), 0);
    hub.BeginReplay();
    hub.BeginReplay();
    EXPECT_EQ(hub.EndReplay(), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"a OnReplayStarted", "b OnReplayStarted", "c OnReplayStarted",
                                             "a OnReplayStopped", "b OnReplayStopped", "c OnReplayStopped"}));
}

TEST_F(Hub, TargetsAndCopiesAreKeptEqualOnEveryNode) {
    hub.SetTargets(kMoose, kMooseRight);
    hub.SelectTarget(1);
    EXPECT_EQ(a->CurrentTarget(), kMooseRight);
    EXPECT_EQ(hub.CurrentTarget(), kMooseRight);
    hub.FeedSample(1, 1, 0, 0, -1);

    log.clear();
    c->SetTargets(kMoose, nullptr);
    for (HubView* node : {static_cast<HubView*>(&hub), static_cast<HubView*>(a.get()), static_cast<HubView*>(c.get())}) {
        EXPECT_EQ(node->targetA(), kMoose);
        EXPECT_EQ(node->targetB(), kMoose);
        EXPECT_EQ(node->side(), 0);
    }
    EXPECT_EQ(hub.Store()->SampleCount(), 0);
    EXPECT_EQ(log.size(), 3u);

    b->SetAimOffset(-4, 9);
    EXPECT_EQ(hub.offsetX(), -4);
    EXPECT_EQ(c->offsetY(), 9);
    EXPECT_EQ(a->settings(), &settings);
    EXPECT_EQ(hub.settings(), &settings);
    hub.EnableShots(0);
    EXPECT_EQ(b->shotsEnabled(), 0);
    EXPECT_EQ(hub.shotsEnabled(), 1);  // the root is not a view
}

TEST_F(Hub, ViewsMayDetachWhileBeingTold) {
    a->during = [&] { a.reset(); };
    hub.NotifyStoreChanged();
    EXPECT_EQ(log, (std::vector<std::string>{"a OnStoreChanged", "b OnStoreChanged", "c OnStoreChanged"}));
    EXPECT_EQ(hub.ViewCount(), 2);

    // a view that removes the one after it: that one is not told, nobody is told twice
    log.clear();
    b->during = [&] { c.reset(); };
    hub.ShowTraceRange(-1, -1, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"b OnTraceRange"}));

    // a view attached during a walk joins at the tail
    log.clear();
    std::unique_ptr<RecordingView> late;
    b->during = [&] { late = std::make_unique<RecordingView>(&hub, "late", &log); };
    hub.NotifyStoreChanged();
    hub.NotifyStoreChanged();
    EXPECT_EQ(log, (std::vector<std::string>{"b OnStoreChanged", "late OnStoreChanged", "b OnStoreChanged",
                                             "late OnStoreChanged"}));
}

TEST(Hubs, TwoRootsNeverReachEachOther) {
    std::vector<std::string> log;
    ShootingHub live, print;
    RecordingView liveView(&live, "live", &log);
    RecordingView printView(&print, "print", &log);
    live.FeedSample(1, 2, 0, 0, -1);
    print.NewSeries(1, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"live OnSample 1,2,0,0,0", "print OnNewSeries 1,0,0"}));
    EXPECT_EQ(print.Store()->SampleCount(), 0);
    EXPECT_TRUE(print.LoadStore(live.Store()->Image()));
    EXPECT_EQ(print.Store()->SampleCount(), 1);
    EXPECT_NE(print.Store(), live.Store());
}

TEST(Hubs, ViewsOutlivingTheirHubAreLeftDetached) {
    auto hub = std::make_unique<ShootingHub>();
    std::vector<std::string> log;
    RecordingView view(hub.get(), "v", &log);
    hub.reset();
    EXPECT_EQ(view.Parent(), nullptr);
}

}  // namespace
}  // namespace zark
