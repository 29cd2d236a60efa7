#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <cerrno>
#include <thread>

#include "link/portprobe.h"
#include "link/serialworker.h"
#include "link/setupblock.h"
#include "linktestsupport.h"
#include "support/testsupport.h"

namespace zark {
namespace {

using test::Bytes;
using test::FakeDevice;
using namespace std::chrono_literals;

// Records what the decoder delivers, on the worker thread.
class ThreadSink final : public LinkMessageSink {
public:
    void PostLinkSample(std::uint32_t wParam, int isShot) override {
        std::lock_guard lock(mutex_);
        posted_.push_back({int(LinkSampleX(wParam)), int(LinkSampleY(wParam)), isShot});
        changed_.notify_all();
    }
    void PostLinkLine(int side) override {
        std::lock_guard lock(mutex_);
        posted_.push_back({side, 0, -1});
        changed_.notify_all();
    }
    struct Posted {
        int a, b, kind;  // kind: 0 sample, 1 shot, -1 line (a = side)
        bool operator==(const Posted&) const = default;
    };
    bool WaitForCount(std::size_t n, std::chrono::milliseconds timeout = 3s) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return posted_.size() >= n; });
    }
    std::vector<Posted> Posted_() {
        std::lock_guard lock(mutex_);
        return posted_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Posted> posted_;
};

Bytes Block(std::int32_t scale, std::int32_t distance, std::int32_t ox, std::int32_t oy, std::int32_t tbs) {
    const UnitSetupBlock b = BuildSetupBlock(SetupScale(scale, distance), ox, oy, SetupSteps(tbs, 40));
    return Bytes(b.begin(), b.end());
}

class Worker : public ::testing::Test {
protected:
    void SetUp() override {
        worker.Start();
        worker.SetDistance(33);
    }
    void Connect(const std::string& port = "COM2", std::int32_t scale = 5184, std::int32_t ox = 0, std::int32_t oy = 0,
                 std::int32_t tbs = 1600) {
        worker.ConfigureAndConnect(port, &sink, scale, tbs, ox, oy, 40);
    }
    std::shared_ptr<FakeDevice> device = std::make_shared<FakeDevice>();
    ThreadSink sink;  // outlives the worker
    SerialWorker worker{test::FakeFactory(device)};
};

TEST_F(Worker, OpensWritesTheBlockAndDecodesLineEventsAndBytes) {
    Connect("COM2", 5184);
    ASSERT_TRUE(device->WaitForWrites(1));
    EXPECT_EQ(device->Writes()[0], Bytes({0x00, 0x10, 0x24, 0x34, 0x41, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD8, 0xE2, 0x0D}));
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Running, 3s));
    EXPECT_TRUE(device->dtr);
    device->LineChange(EV_CTS | EV_DSR);
    ASSERT_TRUE(sink.WaitForCount(2));
    device->LineChange(EV_DSR);  // the same line again: not reported
    device->Inject({0x05, 0x13, 0x2F, 0x48, 0x51, 0x60, 0x00, 0x12, 0x20, 0x40, 0x50, 0x34, 0x72});
    ASSERT_TRUE(sink.WaitForCount(4));
    device->LineChange(EV_CTS);
    ASSERT_TRUE(sink.WaitForCount(5));
    EXPECT_EQ(sink.Posted_(), (std::vector<ThreadSink::Posted>{{0, 0, -1}, {1, 0, -1}, {-203, 24, 0}, {-22, 5, 1}, {0, 0, -1}}));
}

TEST_F(Worker, AConnectWhileOpenWaitsForTheCloseAndReopensWithTheNewestConfiguration) {
    Connect("COM2", 5184, 0, 0);
    ASSERT_TRUE(device->WaitForWrites(1));
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Running, 3s));
    Connect("COM2", 1350, 1, 1);  // stays pending while the port is open
    Connect("COM2", 1391, -5, 2);  // the configuration current when it reopens
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(device->Writes().size(), 1u);
    EXPECT_EQ(device->opens, 1);
    device->Set(&FakeDevice::waitError, EIO);  // the port closes on its own
    ASSERT_TRUE(device->WaitForWrites(3));
    const auto writes = device->Writes();
    EXPECT_EQ(writes[1], Bytes{0x00});
    EXPECT_EQ(writes[2], Block(1391, 33, -5, 2, 1600));
    EXPECT_EQ(device->opens, 2);
    EXPECT_EQ(device->closes, 1);
}

TEST_F(Worker, ADisconnectThenAConnectReopensAtOnceButAConnectThenADisconnectEndsClosed) {
    Connect("COM2", 5184, 0, 0);
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Running, 3s));
    worker.Disconnect();
    Connect("COM2", 1350, 1, 1);
    ASSERT_TRUE(device->WaitForWrites(3));
    EXPECT_EQ(device->Writes()[1], Bytes{0x00});
    EXPECT_EQ(device->Writes()[2], Block(1350, 33, 1, 1, 1600));
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Running, 3s));
    // the newest request is the stop: the pending connect is not served
    Connect("COM2", 1391, -5, 2);
    worker.Disconnect();
    ASSERT_TRUE(device->WaitForWrites(4));
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Idle, 3s));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(device->Writes().size(), 4u);
    EXPECT_EQ(device->Writes()[3], Bytes{0x00});
    EXPECT_EQ(device->opens, 2);
    EXPECT_FALSE(device->isOpen);
}

TEST_F(Worker, AdjustmentWhileRunningAddsToTheBaseAndDistanceComesWithTheNextBlock) {
    Connect("COM2", 5184, 10, -20);
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Running, 3s));
    worker.SetDistance(40);
    worker.RequestAdjustment(590, 0);
    ASSERT_TRUE(device->WaitForWrites(2));
    EXPECT_EQ(device->Writes()[0], Block(5184, 33, 10, -20, 1600));
    EXPECT_EQ(device->Writes()[1], Block(5184, 40, 600, -20, 1600));
    // the wait on the port goes on
    device->Inject(test::SampleBytes(3, 4));
    ASSERT_TRUE(sink.WaitForCount(1));
    EXPECT_EQ(sink.Posted_()[0], (ThreadSink::Posted{3, 4, 0}));
}

TEST_F(Worker, AdjustmentWhileIdleIsSentRightAfterTheNextPlainBlock) {
    worker.RequestAdjustment(-275, 0);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(device->opens, 0);
    Connect("COM2", 1555, 7, 8);
    ASSERT_TRUE(device->WaitForWrites(2));
    EXPECT_EQ(device->Writes()[0], Block(1555, 33, 7, 8, 1600));
    EXPECT_EQ(device->Writes()[1], Block(1555, 33, -268, 8, 1600));
}

TEST_F(Worker, AStopWhileThePortIsBeingOpenedClosesItRightAfter) {
    {
        std::lock_guard lock(device->mutex);
        device->holdOpen = true;
    }
    Connect();
    ASSERT_TRUE(device->WaitForOpens(1));
    worker.Disconnect();  // the worker is opening the port
    device->Release();
    ASSERT_TRUE(device->WaitForWrites(2));
    EXPECT_EQ(device->Writes()[1], Bytes{0x00});
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Idle, 3s));
    EXPECT_EQ(device->closes, 1);
    EXPECT_FALSE(device->isOpen);
    // a stop older than the next connect leaves that connect alone
    Connect();
    ASSERT_TRUE(device->WaitForWrites(3));
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Running, 3s));
    device->Inject(test::SampleBytes(2, 3));
    ASSERT_TRUE(sink.WaitForCount(1));
    EXPECT_EQ(worker.state(), SerialWorker::State::Running);
}

TEST_F(Worker, OpenFailureIsLoggedAndTheNextRequestOpensAgain) {
    device->Set(&FakeDevice::openError, ENOENT);
    Connect("COM7");
    ASSERT_TRUE(device->WaitForOpens(1));
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Idle, 3s));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(device->opens, 1);  // no retry on its own
    EXPECT_GE(test::CountOf(test::LogText(), "failed to open communications port 'COM7': No such file or directory\n"), 1);
    device->Set(&FakeDevice::openError, 0);
    Connect("COM7");
    ASSERT_TRUE(device->WaitForWrites(1));
    EXPECT_EQ(device->opens, 2);
}

TEST_F(Worker, TimeoutAndParameterFailuresCloseThePort) {
    device->Set(&FakeDevice::timeoutError, ENOTTY);
    Connect("COM8");
    ASSERT_TRUE(device->WaitForOpens(1));
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Idle, 3s));
    device->Set(&FakeDevice::timeoutError, 0);
    device->Set(&FakeDevice::parameterError, EINVAL);
    Connect("COM8");
    ASSERT_TRUE(device->WaitForOpens(2));
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Idle, 3s));
    std::this_thread::sleep_for(20ms);
    const std::string log = test::LogText();
    EXPECT_GE(test::CountOf(log, "failed to set timeout for communications port 'COM8': Inappropriate ioctl for device\n"), 1);
    EXPECT_GE(test::CountOf(log, "failed to set communication parameters: Invalid argument\n"), 1);
    EXPECT_EQ(device->closes, 2);
    EXPECT_TRUE(device->Writes().empty());
}

TEST_F(Worker, AWriteThatFailsIsLoggedAndTheLinkRunsOn) {
    device->Set(&FakeDevice::writeError, ETIMEDOUT);
    Connect("COM5");
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Running, 3s));
    EXPECT_GE(test::CountOf(test::LogText(), "timeout writing data to communications port 'COM5': Connection timed out\n"), 1);
    device->Inject(test::SampleBytes(1, 2));
    EXPECT_TRUE(sink.WaitForCount(1));
}

TEST_F(Worker, AFailedWaitClosesThePortWithoutRetrying) {
    Connect("COM6");
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Running, 3s));
    device->Set(&FakeDevice::waitError, EIO);
    ASSERT_TRUE(device->WaitForWrites(2));
    EXPECT_EQ(device->Writes()[1], Bytes{0x00});
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Idle, 3s));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(device->opens, 1);
    EXPECT_GE(test::CountOf(test::LogText(), "WaitCommEvent failed: Input/output error\n"), 1);
}

TEST_F(Worker, StartAndShutdownAreIdempotentAndShutdownOfAnIdleWorkerIsQuick) {
    worker.Start();
    EXPECT_TRUE(worker.IsStarted());
    QElapsedTimer clock;
    clock.start();
    worker.Shutdown();
    EXPECT_LT(clock.elapsed(), 500);
    EXPECT_FALSE(worker.IsStarted());
    EXPECT_EQ(worker.state(), SerialWorker::State::Ended);
    worker.Shutdown();
    // pending requests went with the thread; a new start begins clean
    worker.RequestAdjustment(1, 1);
    worker.Shutdown();
    worker.Start();
    Connect();
    ASSERT_TRUE(device->WaitForWrites(1));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(device->Writes().size(), 1u);
}

TEST_F(Worker, ShutdownClosesAnOpenPort) {
    Connect();
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Running, 3s));
    worker.Shutdown();
    EXPECT_EQ(device->Writes().back(), Bytes{0x00});
    EXPECT_EQ(device->closes, 1);
}

TEST_F(Worker, ShutdownWhileOpeningStillClosesThePortPromptly) {
    {
        std::lock_guard lock(device->mutex);
        device->holdOpen = true;
    }
    Connect();
    ASSERT_TRUE(device->WaitForOpens(1));
    std::thread release([this] {
        std::this_thread::sleep_for(100ms);
        device->Release();
    });
    QElapsedTimer clock;
    clock.start();
    worker.Shutdown();  // its stop closes the port right after the block
    EXPECT_LT(clock.elapsed(), 900);
    release.join();
    EXPECT_EQ(worker.state(), SerialWorker::State::Ended);
    const auto writes = device->Writes();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1], Bytes{0x00});
}

TEST_F(Worker, AStuckWorkerDoesNotHoldShutdownBeyondTwoSecondsAndDeliversNoMore) {
    Connect();
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Running, 3s));
    {
        std::lock_guard lock(device->mutex);
        device->holdWrites = true;  // the closing byte will not go out
    }
    QElapsedTimer clock;
    clock.start();
    worker.Shutdown();
    const qint64 took = clock.elapsed();
    EXPECT_GE(took, 1900);
    EXPECT_LT(took, 3000);
    EXPECT_FALSE(worker.IsStarted());
    device->Release();  // the left thread ends on its own
    std::this_thread::sleep_for(50ms);
    // a fresh start works with a fresh thread
    worker.Start();
    Connect();
    EXPECT_TRUE(device->WaitForOpens(2));
}

TEST_F(Worker, ALongPortNameIsRefusedAndLoggedCut) {
    SerialWorker real;  // system ports
    real.Start();
    const std::string name(300, 'p');
    real.ConfigureAndConnect(name, &sink, 5184, 1600, 0, 0, 40);
    ASSERT_TRUE(test::WaitFor([&] { return test::LogText().find(std::string(255, 'p')) != std::string::npos; }));
    const std::string log = test::LogText();
    EXPECT_GE(test::CountOf(log, "failed to open communications port '" + std::string(255, 'p') + "': File name too long\n"), 1);
    EXPECT_EQ(log.find(std::string(256, 'p')), std::string::npos);
}

TEST_F(Worker, ProbeGetsThePortFromTheWorkerAndTakesTheAnswer) {
    {
        std::lock_guard lock(device->mutex);
        device->answerProbe = true;
    }
    Connect();
    ASSERT_TRUE(worker.WaitForState(SerialWorker::State::Running, 3s));
    EXPECT_EQ(PortProbe(worker, "COM2"), 1);
    const auto writes = device->Writes();
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[1], Bytes{0x00});  // the worker let go first
    EXPECT_EQ(writes[2], Bytes{0x0D});
    EXPECT_EQ(worker.state(), SerialWorker::State::Idle);  // and stays disconnected
}

TEST_F(Worker, ProbeOfAPortThatCannotBeOpenedFails) {
    device->Set(&FakeDevice::openError, EACCES);
    EXPECT_EQ(PortProbe(worker, "COM3"), 0);
    EXPECT_GE(test::CountOf(test::LogText(), "failed to open communications port 'COM3': Permission denied\n"), 1);
    device->Set(&FakeDevice::openError, 0);
    device->Set(&FakeDevice::parameterError, EIO);
    EXPECT_EQ(PortProbe(worker, "COM3"), 0);
    EXPECT_EQ(device->closes, 1);
}

TEST(WorkerSimulator, TheSimulatedUnitStreamsAndAnswersAProbe) {
    SerialWorker worker;
    worker.Start();
    worker.SetDistance(33);
    ThreadSink sink;
    worker.ConfigureAndConnect("Simulator", &sink, 1350, 1600, 0, 0, 40);
    ASSERT_TRUE(sink.WaitForCount(6));  // a run on side 0, then samples every 40 ms
    const auto posted = sink.Posted_();
    EXPECT_EQ(posted[0], (ThreadSink::Posted{0, 0, -1}));
    EXPECT_EQ(posted[1].kind, 0);
    EXPECT_GT(posted[1].b, 225);  // coming down from above the air rifle face
    // a second handle cannot have the unit while the worker holds it
    auto other = worker.MakePort("Simulator");
    EXPECT_EQ(other->Open("Simulator"), EBUSY);
    EXPECT_EQ(PortProbe(worker, "Simulator"), 1);
    EXPECT_EQ(worker.state(), SerialWorker::State::Idle);
}

}  // namespace
}  // namespace zark
