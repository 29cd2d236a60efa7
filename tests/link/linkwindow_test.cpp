#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <thread>

#include "core/shootinghub.h"
#include "core/linkwindow.h"
#include "link/serialworker.h"
#include "link/setupblock.h"
#include "linktestsupport.h"
#include "settings/settings.h"
#include "support/testsupport.h"

namespace zark {
namespace {

using test::Bytes;
using namespace std::chrono_literals;

Bytes Block(std::int32_t scale, std::int32_t distance, std::int32_t ox, std::int32_t oy, std::int32_t tbs = 1600) {
    const UnitSetupBlock b = BuildSetupBlock(SetupScale(scale, distance), ox, oy, SetupSteps(tbs, 40));
    return Bytes(b.begin(), b.end());
}

class LinkWindow : public ::testing::Test {
protected:
    void SetUp() override {
        hub.SetSettings(&settings);
        ASSERT_EQ(link.Create(&owner), 1);
    }
    // Processes events until the device has seen count writes. When the last is a setup block,
    // also until the worker runs.
    bool Writes(std::size_t count) {
        if (!test::WaitFor([&] { return device->Writes().size() >= count; })) return false;
        if (device->Writes()[count - 1].size() != 16) return true;
        return worker.WaitForState(SerialWorker::State::Running, 3s);
    }

    std::shared_ptr<test::FakeDevice> device = std::make_shared<test::FakeDevice>();
    Settings settings;
    SerialWorker worker{test::FakeFactory(device)};
    ShootingHub hub;
    cTargetComm link{&hub, worker};
    test::RecordingView view{&hub};
    test::RecordingOwner owner;
};

TEST_F(LinkWindow, ConstructionStartsTheWorkerAndTheWatchdogIsTwoSeconds) {
    EXPECT_TRUE(worker.IsStarted());
    EXPECT_EQ(link.WatchdogInterval(), 2000);
    EXPECT_FALSE(link.WatchdogActive());
    EXPECT_EQ(link.sighters(), 0);
}

TEST_F(LinkWindow, SightersAreConfiguredWithoutTheAimOffsetUntilTheNextSeries) {
    hub.SetAimOffset(7, -3);
    hub.NewSeries(5, 1, 0);
    ASSERT_TRUE(Writes(1));
    EXPECT_EQ(device->Writes()[0], Block(5184, 33, 0, 0));  // no scale source yet: 5184
    hub.StopAcquisition();
    ASSERT_TRUE(Writes(2));
    hub.StartAcquisition();
    ASSERT_TRUE(Writes(3));
    EXPECT_EQ(device->Writes()[2], Block(5184, 33, 0, 0));
    hub.StopAcquisition();
    ASSERT_TRUE(Writes(4));
    link.SetScaleSource([](const TargetDescriptor* face) { return face ? 1 : 1350; });
    settings.ShootingDistance = 40;
    hub.NewSeries(5, 0, 0);
    ASSERT_TRUE(Writes(5));
    EXPECT_EQ(device->Writes()[4], Block(1350, 40, 7, -3));
}

TEST_F(LinkWindow, DistanceChangedWhilePausedTakesEffectOnContinue) {
    hub.NewSeries(5, 0, 0);
    ASSERT_TRUE(Writes(1));
    hub.StopAcquisition();
    ASSERT_TRUE(Writes(2));
    settings.ShootingDistance = 30;
    hub.StartAcquisition();
    ASSERT_TRUE(Writes(3));
    EXPECT_EQ(device->Writes()[2], Block(5184, 30, 0, 0));
}

TEST_F(LinkWindow, SilenceAfterConfigurationSendsCodeEightExactlyOnce) {
    link.SetWatchdogInterval(60);
    hub.NewSeries(5, 0, 0);
    EXPECT_TRUE(link.WatchdogActive());
    ASSERT_TRUE(test::WaitFor([&] { return owner.Count(kCodeDetectorSilent) >= 1; }));
    QTest::qWait(200);
    EXPECT_EQ(owner.Count(kCodeDetectorSilent), 1);
    EXPECT_FALSE(link.WatchdogActive());
    // the next configuration arms it again
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Running, 3s));
    hub.StopAcquisition();
    hub.StartAcquisition();
    ASSERT_TRUE(test::WaitFor([&] { return owner.Count(kCodeDetectorSilent) >= 2; }));
    QTest::qWait(150);
    EXPECT_EQ(owner.Count(kCodeDetectorSilent), 2);
}

TEST_F(LinkWindow, ASampleWithinTheTimeCancelsTheWatchdogEvenIfTheUnitStopsAfterwards) {
    link.SetWatchdogInterval(600);
    hub.NewSeries(5, 0, 0);
    ASSERT_TRUE(Writes(1));
    device->Inject(test::SampleBytes(1, 1));
    ASSERT_TRUE(test::WaitFor([&] { return !view.samples.empty(); }));
    EXPECT_FALSE(link.WatchdogActive());
    QTest::qWait(800);
    EXPECT_EQ(owner.Count(kCodeDetectorSilent), 0);
}

TEST_F(LinkWindow, ShotFlagPassesOnlyWhileShotsAreEnabled) {
    hub.NewSeries(5, 0, 0);
    ASSERT_TRUE(Writes(1));
    hub.EnableShots(0);
    device->Inject({0x05, 0x13, 0x2F, 0x48, 0x51, 0x60, 0x34, 0x72});
    ASSERT_TRUE(test::WaitFor([&] { return view.samples.size() >= 2; }));
    EXPECT_EQ(view.samples[1], (test::RecordingView::Sample{-203, 24, 0, 0, 1}));
    EXPECT_EQ(hub.Store()->ShotCount(), 0);
    hub.EnableShots(1);
    device->Inject({0x72});
    ASSERT_TRUE(test::WaitFor([&] { return view.samples.size() >= 3; }));
    EXPECT_EQ(view.samples[2].isShot, 1);
    EXPECT_EQ(hub.Store()->ShotCount(), 1);
}

TEST_F(LinkWindow, RunAnnouncementsBecomeCodeNineWithTheSideInOrderWithSamples) {
    hub.NewSeries(5, 0, 0);
    ASSERT_TRUE(Writes(1));
    device->LineChange(EV_DSR);
    ASSERT_TRUE(test::WaitFor([&] { return owner.Count(kCodeNewRun) >= 1; }));
    device->LineChange(EV_CTS);
    ASSERT_TRUE(test::WaitFor([&] { return owner.Count(kCodeNewRun) >= 2; }));
    ASSERT_EQ(owner.received.size(), 2u);
    EXPECT_EQ(owner.received[0].code, kCodeNewRun);
    EXPECT_EQ(owner.received[0].side, 1);
    EXPECT_EQ(owner.received[1].side, 0);
    // a reconfiguration forgets the last line: the same line is reported again
    hub.StopAcquisition();
    hub.StartAcquisition();
    ASSERT_TRUE(Writes(3));
    device->LineChange(EV_CTS);
    ASSERT_TRUE(test::WaitFor([&] { return owner.Count(kCodeNewRun) >= 3; }));
    EXPECT_EQ(owner.received.back().side, 0);
}

TEST_F(LinkWindow, AQuickStopWhileThePortOpensClosesItAndNothingIsRecordedAfterAStop) {
    {
        std::lock_guard lock(device->mutex);
        device->holdOpen = true;  // a slow USB adapter
    }
    hub.NewSeries(5, 0, 0);
    ASSERT_TRUE(device->WaitForOpens(1));
    hub.StopAcquisition();  // F3 while the port is still being opened
    device->Release();
    ASSERT_TRUE(Writes(2));
    EXPECT_EQ(device->Writes()[1], Bytes{0x00});
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Idle, 3s));
    EXPECT_EQ(device->closes, 1);

    // continuing opens it again; what the worker delivered before the next stop but the main
    // thread handles after it is dropped, as is anything delivered while stopped
    hub.StartAcquisition();
    ASSERT_TRUE(Writes(3));
    device->Inject(test::SampleBytes(8, 9));
    ASSERT_TRUE(test::WaitFor([&] { return view.samples.size() == 1; }));
    link.PostLinkSample(PackLinkSample(3, 4), 1);
    hub.StopAcquisition();
    link.PostLinkSample(PackLinkSample(5, 6), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.samples, (std::vector<test::RecordingView::Sample>{{8, 9, 0, 0, 0}}));
    EXPECT_EQ(hub.Store()->SampleCount(), 1);
    EXPECT_EQ(hub.Store()->ShotCount(), 0);
}

TEST_F(LinkWindow, AStopEndsTheWatchOverTheLink) {
    link.SetWatchdogInterval(60);
    hub.NewSeries(5, 0, 0);
    hub.StopAcquisition();
    EXPECT_FALSE(link.WatchdogActive());
    QTest::qWait(150);
    EXPECT_EQ(owner.Count(kCodeDetectorSilent), 0);
}

TEST_F(LinkWindow, SessionPortStandsInForTheConfiguredOneUntilTheSettingChanges) {
    EXPECT_EQ(link.PortName(), "COM2");
    link.SetSessionPort("COM2", "Simulator");
    EXPECT_EQ(link.PortName(), "Simulator");
    settings.Communication = "/dev/ttyUSB0";
    EXPECT_EQ(link.PortName(), "/dev/ttyUSB0");
}

TEST(LinkWindowCreate, WithoutAnOwnerFailsAndIsLogged) {
    auto device = std::make_shared<test::FakeDevice>();
    SerialWorker worker{test::FakeFactory(device)};
    ShootingHub hub;
    cTargetComm link{&hub, worker};
    EXPECT_EQ(link.Create(nullptr), 0);
    EXPECT_GE(test::CountOf(test::LogText(), "failed to create window 'cTargetComm': Invalid argument\n"), 1);
}

TEST(LinkWindowLife, DestructionShutsTheWorkerDownAndLeavesTheHub) {
    auto device = std::make_shared<test::FakeDevice>();
    SerialWorker worker{test::FakeFactory(device)};
    ShootingHub hub;
    const int before = hub.ViewCount();
    {
        cTargetComm link{&hub, worker};
        EXPECT_EQ(hub.ViewCount(), before + 1);
        hub.NewSeries(5, 0, 0);
        ASSERT_TRUE(device->WaitForWrites(1));
        ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Running, 3s));
        device->Inject(test::SampleBytes(1, 1));  // may be queued when the link goes
    }
    EXPECT_FALSE(worker.IsStarted());
    EXPECT_EQ(hub.ViewCount(), before);
    EXPECT_EQ(device->Writes().back(), Bytes{0x00});
    QCoreApplication::processEvents();  // nothing is delivered to the link that is gone
}

TEST(LinkWindowSimulator, TheSimulatedUnitFeedsTheHub) {
    SerialWorker worker;
    ShootingHub hub;
    cTargetComm link{&hub, worker};
    Settings settings;
    settings.Communication = "Simulator";
    hub.SetSettings(&settings);  // the views take the settings from the hub
    test::RecordingView view{&hub};
    test::RecordingOwner owner;
    link.Create(&owner);
    link.SetScaleSource([](const TargetDescriptor*) { return 1350; });
    hub.NewSeries(10, 1, 0);
    ASSERT_TRUE(test::WaitFor([&] { return view.samples.size() >= 10; }));
    EXPECT_EQ(owner.Count(kCodeNewRun), 1);
    EXPECT_EQ(owner.received[0].side, 0);
    EXPECT_EQ(owner.Count(kCodeDetectorSilent), 0);
    EXPECT_GT(view.samples[0].y, 225);  // from above the face
    EXPECT_EQ(hub.Store()->SampleCount(), int(view.samples.size()));
    hub.StopAcquisition();
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Idle, 3s));
}

}  // namespace
}  // namespace zark
