// Proves, by counting every allocation of the test program, that feeding samples allocates nothing.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/shootinghub.h"
#include "support/allocationwatch.h"
#include "settings/settings.h"

namespace zark {
namespace {

class CountingView final : public HubView {
public:
    explicit CountingView(HubView* hub) : HubView(hub) {}
    void OnSample(int, int, int, int, int) override { ++samples; }
    int samples = 0;
};

TEST(Allocation, FeedingSamplesAndShotsThroughSevenViewsAllocatesNothing) {
    Settings settings;
    ShootingHub hub;
    hub.SetSettings(&settings);
    std::vector<std::unique_ptr<CountingView>> views;
    for (int i = 0; i < 7; ++i) views.push_back(std::make_unique<CountingView>(&hub));
    hub.NewSeries(10, 0, 0);

    const long before = test::AllocationCount();
    for (int i = 0; i < 30000; ++i) hub.FeedSample(i % 500 + 1, 7, i % 1000 == 999, 0, -1);
    hub.FeedSample(3, 3, 0, 1, 12);
    hub.StopAcquisition();
    const long after = test::AllocationCount();

    EXPECT_EQ(after - before, 0);
    EXPECT_EQ(views[6]->samples, 30001);
    EXPECT_EQ(hub.Store()->SampleCount(), kMaxSamples);
}

}  // namespace
}  // namespace zark
