// The real serial path end to end: a pseudo-terminal pair, the worker on its far end with the
// system's port implementation, the link window on the main thread feeding the hub.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <atomic>
#include <thread>

#include "core/shootinghub.h"
#include "core/linkwindow.h"
#include "link/portprobe.h"
#include "link/serialportposix.h"
#include "link/serialportqt.h"
#include "link/serialworker.h"
#include "link/setupblock.h"
#include "linktestsupport.h"
#include "settings/settings.h"
#include "support/testsupport.h"

namespace zark {
namespace {

using test::Bytes;
using namespace std::chrono_literals;

PortFactory Backend(const std::string& kind) {
    if (kind == "qt") return [](const std::string&) -> std::unique_ptr<SerialPort> { return std::make_unique<QtSerialPort>(); };
    return [](const std::string&) -> std::unique_ptr<SerialPort> { return std::make_unique<PosixSerialPort>(); };
}

class PtyLink : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        settings.Communication = pty.path();
        hub.SetSettings(&settings);
        link.Create(&owner);
        link.SetScaleSource([](const TargetDescriptor*) { return 5184; });
    }
    // Starts a series and reads the setup block the worker wrote; returns once the worker runs.
    Bytes StartSeries(int sighters = 0) {
        hub.NewSeries(10, sighters, 0);
        Bytes block = pty.Read(16);
        EXPECT_TRUE(worker.WaitForState(SerialWorker::State::Running, 3s));
        return block;
    }

    test::Pty pty;
    Settings settings;
    SerialWorker worker{Backend(GetParam())};
    ShootingHub hub;
    cTargetComm link{&hub, worker};
    test::RecordingView view{&hub};
    test::RecordingOwner owner;
};

TEST_P(PtyLink, SetupBlockSamplesAndShotsReachTheHubInOrderOnTheMainThread) {
    EXPECT_EQ(StartSeries(), Bytes({0x00, 0x10, 0x24, 0x34, 0x41, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD8, 0xE2, 0x0D}));
    pty.Write({0x05, 0x13, 0x2F, 0x48, 0x51, 0x60, 0x00, 0x12, 0x20, 0x40, 0x50, 0x34, 0x72});
    ASSERT_TRUE(test::WaitFor([&] { return view.samples.size() >= 2; }));
    EXPECT_EQ(view.samples[0], (test::RecordingView::Sample{-203, 24, 0, 0, 0}));
    EXPECT_EQ(view.samples[1], (test::RecordingView::Sample{-22, 5, 1, 0, 1}));
    EXPECT_EQ(hub.Store()->ShotCount(), 1);
    // a stream of samples written in pieces of every size arrives whole and in order
    Bytes stream;
    for (int i = 0; i < 200; ++i) {
        const Bytes s = test::SampleBytes(i - 100, 2 * i - 200);
        stream.insert(stream.end(), s.begin(), s.end());
    }
    for (std::size_t at = 0, piece = 1; at < stream.size(); at += piece, piece = piece % 13 + 1)
        pty.Write(Bytes(stream.begin() + at, stream.begin() + std::min(stream.size(), at + piece)));
    ASSERT_TRUE(test::WaitFor([&] { return view.samples.size() >= 202; }));
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(view.samples[2 + i].x, i - 100);
        EXPECT_EQ(view.samples[2 + i].y, 2 * i - 200);
    }
    EXPECT_FALSE(view.offMainThread);
    EXPECT_EQ(owner.Count(kCodeDetectorSilent), 0);
}

TEST_P(PtyLink, DisconnectWritesZeroAndReconnectWritesAFreshBlock) {
    ASSERT_EQ(StartSeries().size(), 16u);
    hub.StopAcquisition();
    EXPECT_EQ(pty.Read(1), Bytes{0x00});
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Idle, 3s));
    // bytes sent while the port is closed are not taken into the next connection
    pty.Write(test::SampleBytes(9, 9));
    hub.SetAimOffset(-5, 7);
    settings.TimeBetweenShots = 2000;
    hub.StartAcquisition();
    const Bytes block = pty.Read(16);
    const UnitSetupBlock expected = BuildSetupBlock(5184, -5, 7, 50);
    EXPECT_EQ(block, Bytes(expected.begin(), expected.end()));
    EXPECT_EQ(Bytes(block.begin() + 5, block.begin() + 9), Bytes({0x5B, 0x6F, 0x7F, 0x8F}));
    pty.Write(test::SampleBytes(1, 2));
    ASSERT_TRUE(test::WaitFor([&] { return !view.samples.empty(); }));
    std::this_thread::sleep_for(20ms);
    QCoreApplication::processEvents();
    ASSERT_EQ(view.samples.size(), 1u);
    EXPECT_EQ(view.samples[0].x, 1);
}

TEST_P(PtyLink, LeadAdjustmentIsWrittenWhileTheLinkRuns) {
    hub.SetAimOffset(10, 0);
    ASSERT_EQ(StartSeries().size(), 16u);
    link.RequestAdjustment(590, 0);
    const UnitSetupBlock expected = BuildSetupBlock(5184, 600, 0, 40);
    EXPECT_EQ(pty.Read(16), Bytes(expected.begin(), expected.end()));
    pty.Write(test::SampleBytes(4, 5));
    EXPECT_TRUE(test::WaitFor([&] { return !view.samples.empty(); }));
}

TEST_P(PtyLink, ProbeSucceedsWhenTheFarSideAnswers) {
    std::atomic<bool> answered{false};
    std::thread unit([&] {
        const Bytes got = pty.Read(1);
        if (got == Bytes{0x0D}) {
            pty.Write({0x8D});
            answered = true;
        }
    });
    EXPECT_EQ(PortProbe(worker, pty.path()), 1);
    unit.join();
    EXPECT_TRUE(answered);
}

TEST_P(PtyLink, ProbeTakesThePortFromARunningLink) {
    ASSERT_EQ(StartSeries().size(), 16u);
    std::thread unit([&] {
        const Bytes got = pty.Read(2);  // the worker's 0x00, then the probe's 0x0D
        if (got == Bytes({0x00, 0x0D})) pty.Write({0x8D});
    });
    EXPECT_EQ(PortProbe(worker, pty.path()), 1);
    unit.join();
    EXPECT_EQ(worker.state(), SerialWorker::State::Idle);
}

TEST_P(PtyLink, AnotherHandleCannotHaveThePortWhileTheWorkerHoldsIt) {
    ASSERT_EQ(StartSeries().size(), 16u);
    auto other = Backend(GetParam())(pty.path());
    EXPECT_NE(other->Open(pty.path()), 0);
    hub.StopAcquisition();
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Idle, 3s));
    EXPECT_EQ(other->Open(pty.path()), 0);  // free again once the worker let go
    other->Close();
}

INSTANTIATE_TEST_SUITE_P(Backends, PtyLink, ::testing::Values("posix", "qt"));

TEST(PtyProbe, FailsAfterTwoSecondsWhenNothingAnswers) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    SerialWorker worker;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(PortProbe(worker, pty.path()), 0);
    const qint64 took = clock.elapsed();
    EXPECT_GE(took, 1990);
    EXPECT_LT(took, 3000);
    EXPECT_EQ(pty.Read(1), Bytes{0x0D});
    EXPECT_GE(test::CountOf(test::LogText(), "timeout reading from port '" + pty.path() + "': Success\n"), 1);
}

TEST(PtyProbe, MissingDeviceFailsAtOnce) {
    SerialWorker worker;
    EXPECT_EQ(PortProbe(worker, "/dev/ttyNOSUCH"), 0);
    EXPECT_GE(test::CountOf(test::LogText(), "failed to open communications port '/dev/ttyNOSUCH': No such file or directory\n"), 1);
}

TEST(PtyWorker, AFileIsNotAPort) {
    QFile file("notaport.txt");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const std::string path = QFileInfo(file).absoluteFilePath().toStdString();
    SerialWorker worker;
    worker.Start();
    worker.ConfigureAndConnect(path, nullptr, 5184, 1600, 0, 0, 40);
    const std::string expected = "failed to set timeout for communications port '" + path + "': Inappropriate ioctl for device\n";
    EXPECT_TRUE(test::WaitFor([&] { return test::CountOf(test::LogText(), expected) >= 1; }));
    EXPECT_TRUE(worker.WaitForState(SerialWorker::State::Idle, 3s));
    EXPECT_EQ(file.size(), 0);  // nothing was written to it
}

#ifdef ZARK_SIMULATOR_TOOL
TEST(SimulatorTool, PlaysTheUnitIntoAPseudoTerminalForTheRealSerialPath) {
    QProcess tool;
    tool.start(ZARK_SIMULATOR_TOOL, {"--seed", "3", "--quiet", "--seconds", "20"});
    ASSERT_TRUE(tool.waitForStarted());
    ASSERT_TRUE(test::WaitFor([&] { return tool.canReadLine(); }));
    const std::string device = tool.readLine().trimmed().toStdString();
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;
    {
        SerialWorker worker;
        ShootingHub hub;
        cTargetComm link{&hub, worker};
        test::RecordingView view{&hub};
        Settings settings;
        settings.Communication = device;
        hub.SetSettings(&settings);
        link.SetScaleSource([](const TargetDescriptor*) { return 1350; });
        hub.NewSeries(10, 0, 0);
        ASSERT_TRUE(test::WaitFor([&] { return view.samples.size() >= 5; }));
        EXPECT_GT(view.samples[0].y, 225);  // coming down from above the air rifle face
        hub.StopAcquisition();
        EXPECT_TRUE(worker.WaitForState(SerialWorker::State::Idle, 3s));
    }
    tool.terminate();
    EXPECT_TRUE(tool.waitForFinished(3000));
    EXPECT_EQ(tool.exitCode(), 0);
}
#endif

}  // namespace
}  // namespace zark
