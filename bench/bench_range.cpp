// The range: encoding and decoding of the messages, and a load of 20 lanes at 25 points a second
// on one Mosquitto started here on a free loopback port, with a coach watching one lane.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <map>
#include <memory>
#include <sys/resource.h>
#include <vector>

#include "core/shootinghub.h"
#include "range/lanepublisher.h"
#include "range/lanewatcher.h"
#include "range/rangebroker.h"
#include "range/rangeclient.h"
#include "range/rangemessages.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

TraceChunk FiveScore() {
    TraceChunk c{"20261208-101500-0a1f", 1200, {}};
    for (int i = 0; i < 5; ++i) c.points.push_back({-312 + i * 7, 1045 - i * 3});
    return c;
}

ShotMessage AShot() {
    return ShotMessage{"20261208-101500-0a1f", 7, -312, 45, 1204, 0, 9.7, "9", 4, 75.4, false, false};
}

LaneState AState() {
    LaneState s{"lane07", "Ann Example", 1001, "Rifle 50m", LaneRun::Series, "20261208-101500-0a1f",
                10, 20, "97", "0.1.0", true, {}};
    for (int k = 0; k < 10; ++k) s.shots.push_back({k * 10, -k * 5, 100 * k, 0});
    return s;
}

void EncodeTraceBm(benchmark::State& state) {
    const TraceChunk c = FiveScore();
    for (auto _ : state) benchmark::DoNotOptimize(EncodeTrace(c));
}
BENCHMARK(EncodeTraceBm)->Name("EncodeTrace5Points");

void DecodeTraceBm(benchmark::State& state) {
    const QByteArray bytes = EncodeTrace(FiveScore());
    TraceChunk c;
    for (auto _ : state) benchmark::DoNotOptimize(DecodeTrace(bytes, c));
}
BENCHMARK(DecodeTraceBm)->Name("DecodeTrace5Points");

void EncodeShotBm(benchmark::State& state) {
    const ShotMessage s = AShot();
    for (auto _ : state) benchmark::DoNotOptimize(EncodeShot(s));
}
BENCHMARK(EncodeShotBm)->Name("EncodeShot");

void DecodeShotBm(benchmark::State& state) {
    const QByteArray bytes = EncodeShot(AShot());
    ShotMessage s;
    for (auto _ : state) benchmark::DoNotOptimize(DecodeShot(bytes, s));
}
BENCHMARK(DecodeShotBm)->Name("DecodeShot");

void EncodeStateBm(benchmark::State& state) {
    const LaneState s = AState();
    for (auto _ : state) benchmark::DoNotOptimize(EncodeState(s));
}
BENCHMARK(EncodeStateBm)->Name("EncodeState10Shots");

void DecodeStateBm(benchmark::State& state) {
    const QByteArray bytes = EncodeState(AState());
    LaneState s;
    for (auto _ : state) benchmark::DoNotOptimize(DecodeState(bytes, s));
}
BENCHMARK(DecodeStateBm)->Name("DecodeState10Shots");

double ProcessCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct LoadLane {
    ShootingHub hub;
    std::unique_ptr<RangeClient> client;
    std::unique_ptr<LanePublisher> publisher;
    int step = 0;
};

// Runs `lanes` lanes for `seconds`: a point every 40 ms, a shot every 1.5 s (staggered). With a
// broker, each lane publishes; the times of the shots are kept by lane and number.
struct LoadRun {
    double cpuSeconds = 0;
    std::vector<double> latenciesMs;
    double brokerCpuSeconds = 0;
    int watchedShots = 0;
};

LoadRun RunLoad(const TargetCatalogue& catalogue, int lanes, int seconds, test::RangeBroker* broker) {
    TargetPair pair;
    catalogue.FindQuietly(1001, pair);
    std::vector<std::unique_ptr<LoadLane>> all;
    std::map<QString, qint64> sentAt;  // "lane/series/n" -> ns
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < lanes; ++i) {
        auto lane = std::make_unique<LoadLane>();
        lane->hub.SetTargets(pair.first, pair.second);
        if (broker) {
            lane->client = std::make_unique<RangeClient>();
            BrokerOptions o;
            o.host = "127.0.0.1";
            o.port = broker->Port();
            o.clientId = QStringLiteral("zark-bench-lane%1").arg(i);
            o.willTopic = LaneTopicName("bench", QStringLiteral("lane%1").arg(i), LaneTopic::State);
            o.willPayload = LanePublisher::OfflineState(QStringLiteral("lane%1").arg(i));
            lane->client->Start(o);
            lane->publisher = std::make_unique<LanePublisher>(
                lane->hub, *lane->client, LaneIdentity{"bench", QStringLiteral("lane%1").arg(i), "Bench", "0"});
        }
        lane->step = i * 37 / lanes;
        all.push_back(std::move(lane));
    }
    LoadRun run;
    // the coach: watches lane 0 in a hub; a second client of the coach's hears every lane's shots
    ShootingHub coachHub;
    RangeClient coach, ears;
    std::unique_ptr<LaneWatcher> watcher;
    if (broker) {
        BrokerOptions o;
        o.host = "127.0.0.1";
        o.port = broker->Port();
        o.clientId = "zark-bench-coach";
        coach.Start(o);
        o.clientId = "zark-bench-ears";
        ears.Start(o);
        ears.Subscribe("zark/v1/bench/+/shot", 1);
        watcher = std::make_unique<LaneWatcher>(coach, coachHub, catalogue, "bench");
        watcher->Watch("lane0");
        QObject::connect(&ears, &RangeClient::MessageReceived, [&](const QString& topic, const QByteArray& payload) {
            ShotMessage shot;
            if (!DecodeShot(payload, shot)) return;
            const auto sent = sentAt.find(topic.section('/', 3, 3) + '/' + shot.series + '/' + QString::number(shot.n));
            if (sent != sentAt.end()) run.latenciesMs.push_back((clock.nsecsElapsed() - sent->second) / 1e6);
        });
        QTest::qWaitFor([&] { return coach.IsConnected() && ears.IsConnected(); }, 10000);
        QTest::qWait(500);
    }
    const double cpu0 = ProcessCpuSeconds();
    const double broker0 = broker ? broker->CpuSeconds() : 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(40);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        for (std::size_t i = 0; i < all.size(); ++i) {
            LoadLane& lane = *all[i];
            if (!lane.hub.IsRunning() || lane.hub.Store()->ShotCount() >= 20) {
                lane.hub.StopAcquisition();
                lane.hub.NewSeries(20, 0, 0);
            }
            const int x = 200 - (lane.step % 37) * 10, y = 150 - (lane.step % 29) * 9;
            const bool shot = ++lane.step % 37 == 0;  // every 1.48 s
            if (shot && lane.publisher) {
                const QString key = QStringLiteral("lane%1/%2/%3")
                                        .arg(i)
                                        .arg(lane.publisher->SeriesId())
                                        .arg(lane.hub.Store()->ShotCount() + 1);
                sentAt[key] = clock.nsecsElapsed();
            }
            lane.hub.FeedSample(x, y, shot ? 1 : 0, 0, -1);
        }
    });
    tick.start();
    QTest::qWait(seconds * 1000);
    tick.stop();
    QTest::qWait(300);
    run.cpuSeconds = ProcessCpuSeconds() - cpu0;
    if (broker) run.brokerCpuSeconds = broker->CpuSeconds() - broker0;
    if (watcher) run.watchedShots = watcher->ReceivedShots();
    all.clear();
    QTest::qWait(200);
    return run;
}

// Lanes at 25 points a second on one broker; the figures are counters: shot-to-coach latency
// (p50, p99, max), a lane's publishing cost in % of a core (the same lanes without publishing
// subtracted), the broker's CPU, and the lanes one broker core would carry at that rate.
void RangeLoad(benchmark::State& state) {
    const int lanes = int(state.range(0));
    const int seconds = int(state.range(1));
    TargetCatalogue catalogue;
    catalogue.Build();
    test::RangeBroker broker({}, false);
    if (!broker.Start()) {
        state.SkipWithError("mosquitto did not start");
        return;
    }
    for (auto _ : state) {
        const LoadRun quiet = RunLoad(catalogue, lanes, seconds, nullptr);
        const LoadRun loaded = RunLoad(catalogue, lanes, seconds, &broker);
        std::vector<double> l = loaded.latenciesMs;
        std::sort(l.begin(), l.end());
        const auto at = [&](double q) { return l.empty() ? 0.0 : l[std::min(l.size() - 1, std::size_t(q * l.size()))]; };
        state.counters["shots"] = double(l.size());
        state.counters["watched_shots"] = loaded.watchedShots;
        state.counters["p50_ms"] = at(0.5);
        state.counters["p99_ms"] = at(0.99);
        state.counters["max_ms"] = l.empty() ? 0 : l.back();
        state.counters["lane_publish_cpu_pct"] = 100 * (loaded.cpuSeconds - quiet.cpuSeconds) / lanes / seconds;
        state.counters["process_cpu_pct"] = 100 * loaded.cpuSeconds / seconds;
        const double brokerShare = loaded.brokerCpuSeconds / seconds;
        state.counters["broker_cpu_pct"] = 100 * brokerShare;
        state.counters["lanes_per_broker_core"] = brokerShare > 0 ? lanes / brokerShare : 0;
    }
}
BENCHMARK(RangeLoad)->Args({20, 30})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace zark
