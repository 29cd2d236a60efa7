// The simulated detector unit's own cost: one 40 ms step of the shooter and the unit's bytes (25 of
// them make a second of streaming), and
// the built-in unit streaming for a few seconds to a reader on its own thread as the serial worker
// reads it (samples decoded), as a share of one core.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <vector>

#include "link/detectordecoder.h"
#include "link/setupblock.h"
#include "link/simulator.h"
#include "link/simulatorport.h"

namespace {

class CountingSink final : public zark::LinkMessageSink {
public:
    void PostLinkSample(std::uint32_t, int isShot) override { isShot ? ++shots : ++samples; }
    void PostLinkLine(int) override {}
    int samples = 0, shots = 0;
};

std::vector<std::uint8_t> Block() {
    const zark::UnitSetupBlock block = zark::BuildSetupBlock(5363, 0, 0, 40);  // 50 m rifle, 1.6 s
    return {block.begin(), block.end()};
}

void SimulatorStep(benchmark::State& state) {
    zark::DetectorSimulator unit(zark::SimulatorOptions{11, true, zark::ShooterProfile(state.range(0))});
    std::vector<std::uint8_t> bytes = Block(), answer;
    unit.Receive(bytes.data(), bytes.size(), answer);
    for (auto _ : state) {
        bytes.clear();
        benchmark::DoNotOptimize(unit.Step(bytes));
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(SimulatorStep)->DenseRange(0, 2)->ArgNames({"profile"})->Unit(benchmark::kNanosecond);

double ThreadCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + 1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// The built-in unit read the way the serial worker reads a port: wait for an event, read what is
// there, decode it. Real time, so it runs once for a few seconds.
void BuiltInUnitStreaming(benchmark::State& state) {
    for (auto _ : state) {
        zark::SimulatorPort port(zark::SimulatorOptions{11, true, zark::ShooterProfile::Club});
        zark::WakeSignal wake;
        wake.Prepare();
        zark::DetectorDecoder decoder;
        CountingSink sink;
        decoder.Configure(&sink, zark::DetectorSimulator::kStepMs);
        port.Open("Simulator");
        const std::vector<std::uint8_t> block = Block();
        port.Write(block.data(), block.size(), 1000);
        const auto start = std::chrono::steady_clock::now();
        const double cpu = ThreadCpuSeconds();
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
            std::uint32_t mask = 0;
            int error = 0;
            if (port.WaitEvent(wake, mask, error) != zark::SerialPort::WaitResult::Event) break;
            std::uint8_t byte = 0;
            while (port.ReadByte(byte)) decoder.FeedByte(byte);
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.counters["cpu_percent_of_core"] = 100.0 * (ThreadCpuSeconds() - cpu) / seconds;
        state.counters["samples"] = sink.samples;
        port.Close();
    }
}
BENCHMARK(BuiltInUnitStreaming)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
