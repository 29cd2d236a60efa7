// Detector link speed: how long a sample takes from its last byte written on a pseudo-terminal to
// FeedSample on the main thread, and what a connected but silent worker costs.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include "core/shootinghub.h"
#include "core/linkwindow.h"
#include "link/serialportposix.h"
#include "link/serialportqt.h"
#include "link/serialworker.h"
#include "settings/settings.h"

namespace {

using Clock = std::chrono::steady_clock;

class ArrivalView final : public zark::HubView {
public:
    explicit ArrivalView(zark::HubView* hub) : HubView(hub) {}
    void OnSample(int, int, int, int, int) override {
        ++count;
        arrived = Clock::now();
    }
    int count = 0;
    Clock::time_point arrived;
};

struct PtyPair {
    PtyPair() {
        char name[256] = {};
        ::openpty(&master, &slave, name, nullptr, nullptr);
        path = name;
        termios tio{};
        ::tcgetattr(slave, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    ~PtyPair() {
        ::close(slave);
        ::close(master);
    }
    // Reads n bytes the program wrote (the setup block).
    void Take(std::size_t n) {
        std::vector<char> buffer(n);
        std::size_t got = 0;
        while (got < n) {
            const ssize_t r = ::read(master, buffer.data() + got, n - got);
            if (r <= 0) break;
            got += std::size_t(r);
        }
    }
    int master = -1, slave = -1;
    std::string path;
};

zark::PortFactory Backend(int kind) {
    if (kind == 1) return [](const std::string&) -> std::unique_ptr<zark::SerialPort> { return std::make_unique<zark::QtSerialPort>(); };
    return [](const std::string&) -> std::unique_ptr<zark::SerialPort> { return std::make_unique<zark::PosixSerialPort>(); };
}

// Everything of the live link: worker, hub, link window, one view.
struct Link {
    explicit Link(int kind) : worker(Backend(kind)) {
        settings.Communication = pty.path;
        hub.SetSettings(&settings);
        hub.NewSeries(10, 0, 0);
        pty.Take(16);
        worker.WaitForState(zark::SerialWorker::State::Running, std::chrono::seconds(3));
    }
    ~Link() { hub.StopAcquisition(); }
    PtyPair pty;
    zark::Settings settings;
    zark::SerialWorker worker;
    zark::ShootingHub hub;
    zark::cTargetComm link{&hub, worker};
    ArrivalView view{&hub};
};

void SampleLatency(benchmark::State& state) {
    Link live(int(state.range(0)));
    std::vector<double> latencies;
    const unsigned char sample[6] = {0x05, 0x13, 0x2F, 0x48, 0x51, 0x60};
    for (auto _ : state) {
        const int before = live.view.count;
        [[maybe_unused]] auto written = ::write(live.pty.master, sample, sizeof sample);
        const auto sent = Clock::now();
        while (live.view.count == before) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double seconds = std::chrono::duration<double>(live.view.arrived - sent).count();
        latencies.push_back(seconds);
        state.SetIterationTime(seconds);
    }
    std::sort(latencies.begin(), latencies.end());
    const auto at = [&](double q) { return latencies[std::min(latencies.size() - 1, std::size_t(q * latencies.size()))] * 1e3; };
    state.counters["median_ms"] = at(0.5);
    state.counters["p99_ms"] = at(0.99);
    state.counters["max_ms"] = latencies.back() * 1e3;
}
BENCHMARK(SampleLatency)->Arg(0)->Arg(1)->ArgNames({"qt"})->UseManualTime()->Iterations(3000)->Unit(benchmark::kMicrosecond);

double ProcessCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The whole process while the link is connected and the unit says nothing for two seconds.
void SilentWorkerCpu(benchmark::State& state) {
    Link live(int(state.range(0)));
    for (auto _ : state) {
        const double cpu = ProcessCpuSeconds();
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
        state.counters["cpu_percent_of_core"] = 100.0 * (ProcessCpuSeconds() - cpu) / (clock.elapsed() / 1000.0);
    }
}
BENCHMARK(SilentWorkerCpu)->Arg(0)->Arg(1)->ArgNames({"qt"})->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
