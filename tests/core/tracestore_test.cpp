#include <gtest/gtest.h>

#include <memory>

#include "core/tracestore.h"
#include "settings/settings.h"

namespace zark {
namespace {

class Store : public ::testing::Test {
protected:
    void SetUp() override { store->SetSettings(&settings); }
    // n points (i + 1, 1) for i = first .. first + n - 1
    void Points(int n) {
        for (int i = 0; i < n; ++i) store->AppendSample(store->SampleCount() + 1, 1);
    }
    Settings settings;
    std::unique_ptr<TraceStore> store = std::make_unique<TraceStore>();
};

TEST_F(Store, CapacityOfTraceAndShots) {
    for (int i = 0; i < kMaxSamples; ++i) ASSERT_EQ(store->AppendSample(1, 1), 1);
    EXPECT_EQ(store->AppendSample(2, 2), 0);
    EXPECT_EQ(store->SampleCount(), kMaxSamples);
    // a shot on a full trace is kept, without a point of its own
    EXPECT_EQ(store->AppendShot(5, 6, 1), 1);
    EXPECT_EQ(store->SampleCount(), kMaxSamples);
    EXPECT_TRUE(store->ShotHasNoTrace(0));
    EXPECT_EQ(store->Shot(0).x, 5);
    EXPECT_EQ(store->ShotPosition(0), (SamplePoint{5, 6}));
    // it was fired all the same, at the time of the last point recorded
    EXPECT_TRUE(store->ShotFired(0));
    EXPECT_EQ(store->ShotTime(0), (kMaxSamples - 1) * 40);
    for (int i = 1; i < kMaxShots; ++i) ASSERT_EQ(store->AppendShot(0, 0, 0), 1);
    EXPECT_FALSE(store->ShotFired(1));
    EXPECT_FALSE(store->ShotFired(kMaxShots));
    EXPECT_EQ(store->AppendShot(1, 1, 0), 0);
    EXPECT_EQ(store->ShotCount(), kMaxShots);
}

TEST_F(Store, ShotsWithAndWithoutTracePoint) {
    Points(3);
    EXPECT_EQ(store->AppendShot(7, -8, 1), 1);
    EXPECT_EQ(store->Shot(0).traceIndex, 3);
    EXPECT_EQ(store->Sample(3), (SamplePoint{7, -8}));
    EXPECT_EQ(store->Shot(0).side, 1);
    EXPECT_EQ(store->AppendShot(0, 0, 0), 1);  // unfired shot of a moving-target run
    EXPECT_EQ(store->SampleCount(), 4);
    EXPECT_TRUE(store->ShotHasNoTrace(1));
    EXPECT_FALSE(store->ShotHasNoTrace(0));
    EXPECT_TRUE(store->ShotHasNoTrace(2));
    EXPECT_EQ(store->ShotTime(0), 3 * 40);
    EXPECT_EQ(store->ShotTime(1), 9999 * 40);
    store->Clear();
    EXPECT_EQ(store->ShotCount(), 0);
    EXPECT_TRUE(store->ShotHasNoTrace(0));
    EXPECT_EQ(store->Image().shots[5].traceIndex, NoTrace);
}

TEST_F(Store, ShotAtTraceIndex9999KeepsItsPoint) {
    Points(9999);
    store->AppendShot(40, 41, 0);
    EXPECT_EQ(store->Shot(0).traceIndex, 9999);
    EXPECT_FALSE(store->ShotHasNoTrace(0));
    EXPECT_EQ(store->ShotTime(0), 9999 * 40);
    Points(100);
    store->AppendShot(50, 51, 0);
    const auto w = store->ReplayWindow(1, 30000, 1000);
    EXPECT_TRUE(w.ok);
    EXPECT_EQ(w.first, 10000);  // just after the previous shot's point
}

TEST_F(Store, ShotTimeOffsetMovesShownPositionsAlongTheTrace) {
    Points(10);
    store->AppendShot(100, 100, 0);  // index 10
    Points(10);
    store->SetShotTimeOffset(-80);
    EXPECT_EQ(store->ShotPosition(0), (SamplePoint{9, 1}));  // point 8
    store->SetShotTimeOffset(-4000);
    EXPECT_EQ(store->ShotPosition(0), (SamplePoint{1, 1}));  // never before 0
    store->SetShotTimeOffset(4000);
    EXPECT_EQ(store->ShotPosition(0), store->Sample(20));  // never past the last point
    EXPECT_EQ(store->ShotTime(0), 4000 + 400);
    store->SetShotTimeOffset(0);
    EXPECT_EQ(store->ShotPosition(0), (SamplePoint{100, 100}));
}

TEST_F(Store, SampleAtCountsShotsSettledBeforeThePoint) {
    Points(5);
    store->AppendShot(3, 3, 0);  // index 5
    Points(60);
    store->AppendShot(4, 4, 0);  // index 66
    EXPECT_TRUE(store->SampleAt(5).isShot);
    EXPECT_FALSE(store->SampleAt(6).isShot);
    EXPECT_EQ(store->SampleAt(55).shotsBefore, 0);  // 5 + 50 is not before 55
    EXPECT_EQ(store->SampleAt(56).shotsBefore, 1);
    EXPECT_EQ(store->SampleAt(66).point, (SamplePoint{4, 4}));
    EXPECT_EQ(store->SampleAt(-3).point, (SamplePoint{0, 0}));
    EXPECT_EQ(store->SampleAt(100000).point, (SamplePoint{0, 0}));
}

TEST_F(Store, ReplayWindowBetweenShotsBreaksAndTimeLimits) {
    Points(100);
    store->AppendShot(9, 9, 0);  // index 100
    Points(200);
    store->AppendShot(8, 8, 0);  // index 301
    Points(10);
    store->AppendSample(0, 0);  // break at 312
    Points(100);

    auto w = store->ReplayWindow(0, 5000, 1000);
    EXPECT_TRUE(w.ok);
    EXPECT_EQ(w.first, 0);
    EXPECT_EQ(w.last, 125);
    w = store->ReplayWindow(0, 1000, 30000);
    EXPECT_EQ(w.first, 75);
    EXPECT_EQ(w.last, 300);  // up to the next shot
    w = store->ReplayWindow(1, 30000, 30000);
    EXPECT_EQ(w.first, 101);  // never before the previous shot's point + 1
    EXPECT_EQ(w.last, 312);   // up to and including the break
    w = store->ReplayWindow(1, 5000, 1000);
    EXPECT_EQ(w.first, 301 - 125);
    EXPECT_EQ(w.last, 312);  // the break comes before the time limit
    w = store->ReplayWindow(2, 5000, 1000);  // the trace after the last shot
    EXPECT_TRUE(w.ok);
    EXPECT_EQ(w.first, 0);
    EXPECT_EQ(w.last, store->SampleCount() - 1);
    EXPECT_FALSE(store->ReplayWindow(3, 5000, 1000).ok);
    EXPECT_FALSE(store->ReplayWindow(-1, 5000, 1000).ok);

    // a walk back stops at a break
    store->Clear();
    Points(10);
    store->AppendSample(0, 0);  // 10
    Points(10);
    store->AppendShot(5, 5, 0);  // 21
    EXPECT_EQ(store->ReplayWindow(0, 30000, 0).first, 10);
    EXPECT_EQ(store->ReplayWindow(0, 30000, 0).last, 21);
    // a shot without trace has no window, and is passed over by its neighbours
    store->AppendShot(0, 0, 0);
    Points(5);
    store->AppendShot(6, 6, 0);  // 27
    EXPECT_FALSE(store->ReplayWindow(1, 30000, 30000).ok);
    EXPECT_EQ(store->ReplayWindow(2, 30000, 30000).first, 22);
    EXPECT_EQ(store->ReplayWindow(0, 30000, 30000).last, 26);
}

TEST_F(Store, CentringUsesTheMeanOfAllShots) {
    store->AppendShot(10, 0, 0);
    store->AppendShot(20, 0, 0);
    store->Centre(1);
    EXPECT_EQ(store->CentreX(), -15);
    EXPECT_EQ(store->CentreY(), 0);
    EXPECT_EQ(store->Centred(), 1);
    EXPECT_EQ(store->Shown({12, 0}), (SamplePoint{-3, 0}));  // a point on an axis is a position
    EXPECT_EQ(store->Shown({0, 0}), (SamplePoint{0, 0}));    // (0, 0) is none
    EXPECT_EQ(store->Shown({12, 3}), (SamplePoint{-3, 3}));
    store->Centre(0);
    EXPECT_EQ(store->CentreX(), -15);  // computed either way
    EXPECT_EQ(store->Shown({12, 3}), (SamplePoint{12, 3}));
    // unfired shots at (0, 0) count in the mean; the division truncates toward zero
    store->AppendShot(0, 0, 0);
    store->Centre(1);
    EXPECT_EQ(store->CentreX(), -10);
    store->Clear();
    store->AppendShot(-7, 0, 0);
    store->AppendShot(0, 0, 0);
    store->Centre(1);
    EXPECT_EQ(store->CentreX(), 3);
}

TEST_F(Store, CentringWithoutShotsLeavesTheSeriesAsRecorded) {
    Points(5);
    store->Centre(1);
    EXPECT_EQ(store->CentreX(), 0);
    EXPECT_EQ(store->CentreY(), 0);
    EXPECT_EQ(store->Shown({4, 4}), (SamplePoint{4, 4}));
}

TEST_F(Store, CopyFromAcceptsEverythingThatCanBeRecorded) {
    auto full = std::make_unique<TraceStore>();
    for (int i = 0; i < kMaxSamples - kMaxShots; ++i) full->AppendSample(1, 2);
    for (int i = 0; i < kMaxShots; ++i) full->AppendShot(i + 1, 1, i % 2);
    ASSERT_EQ(full->SampleCount(), kMaxSamples);
    store->SetShotTimeOffset(-120);
    EXPECT_EQ(store->CopyFrom(full->Image()), 1);
    EXPECT_EQ(store->SampleCount(), kMaxSamples);
    EXPECT_EQ(store->ShotCount(), kMaxShots);
    EXPECT_EQ(store->Shot(19).side, 1);
    EXPECT_EQ(store->ShotTimeOffset(), -120);  // not part of the image

    auto bad = std::make_unique<TraceImage>(full->Image());
    bad->shotCount = kMaxShots + 1;
    store->Clear();
    EXPECT_EQ(store->CopyFrom(*bad), 0);
    EXPECT_EQ(store->ShotCount(), 0);
    bad->shotCount = 1;
    bad->sampleCount = -1;
    EXPECT_EQ(store->CopyFrom(*bad), 0);
    bad->sampleCount = kMaxSamples + 1;
    EXPECT_EQ(store->CopyFrom(*bad), 0);
}

TEST_F(Store, ImagesFromOutsideNeverLeadOutsideTheTrace) {
    auto image = std::make_unique<TraceImage>();
    image->Clear();
    image->sampleCount = 3;
    image->samples[0] = {1, 1};
    image->samples[1] = {2, 2};
    image->samples[2] = {3, 3};
    image->shotCount = 2;
    image->shots[0] = {5, 5, 50000, 0};  // points past the trace
    image->shots[1] = {2, 2, 1, 0};
    ASSERT_EQ(store->CopyFrom(*image), 1);
    EXPECT_TRUE(store->ShotHasNoTrace(0));
    EXPECT_FALSE(store->ReplayWindow(0, 5000, 1000).ok);
    EXPECT_TRUE(store->ReplayWindow(1, 5000, 1000).ok);
    store->SetShotTimeOffset(400);
    EXPECT_EQ(store->ShotPosition(0), (SamplePoint{5, 5}));
    EXPECT_EQ(store->ShotPosition(1), (SamplePoint{3, 3}));
}

}  // namespace
}  // namespace zark
