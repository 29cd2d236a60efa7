#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "link/detectordecoder.h"
#include "link/setupblock.h"
#include "link/simulator.h"
#include "link/simulatorport.h"
#include "results/holdanalysis.h"
#include "results/phaseanalysis.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Decodes what the simulated unit sends, as the worker would, keeping the step of each message.
class Recorder final : public LinkMessageSink, public ByteSource {
public:
    struct Message {
        std::int64_t step;
        int x, y, isShot, line;  // line: -1 for a sample or shot, else the side
    };
    void PostLinkSample(std::uint32_t wParam, int isShot) override {
        messages.push_back({step, LinkSampleX(wParam), LinkSampleY(wParam), isShot, -1});
    }
    void PostLinkLine(int side) override { messages.push_back({step, 0, 0, 0, side}); }
    bool ReadByte(std::uint8_t& byte) override {
        if (next >= pending.size()) return false;
        byte = pending[next++];
        return true;
    }
    std::vector<Message> Shots() const {
        std::vector<Message> shots;
        for (const Message& m : messages)
            if (m.line < 0 && m.isShot) shots.push_back(m);
        return shots;
    }
    std::vector<int> Runs() const {
        std::vector<int> sides;
        for (const Message& m : messages)
            if (m.line >= 0) sides.push_back(m.line);
        return sides;
    }
    std::vector<Message> messages;
    Bytes pending;
    std::size_t next = 0;
    std::int64_t step = 0;
};

struct Played {
    Bytes stream;
    Recorder decoded;
};

Bytes Block(std::int32_t scale, std::int32_t ox, std::int32_t oy, std::int32_t timeBetweenShots) {
    const UnitSetupBlock block = BuildSetupBlock(SetupScale(scale, 33), ox, oy, SetupSteps(timeBetweenShots, 40));
    return Bytes(block.begin(), block.end());
}

// Plays the unit for the given number of steps after it got the block.
void Play(DetectorSimulator& unit, const Bytes& block, int steps, Played& run) {
    DetectorDecoder decoder;
    decoder.Configure(&run.decoded, 40);
    Bytes answer;
    unit.Receive(block.data(), block.size(), answer);
    EXPECT_TRUE(answer.empty());
    for (int i = 0; i < steps; ++i) {
        Bytes out;
        const std::uint32_t lines = unit.Step(out);
        run.stream.insert(run.stream.end(), out.begin(), out.end());
        run.decoded.step = unit.stepCount();
        run.decoded.pending = out;
        run.decoded.next = 0;
        decoder.ProcessEvent(lines | EV_RXCHAR, run.decoded);
    }
}

constexpr int kMinute = 60 * 1000 / DetectorSimulator::kStepMs;

TEST(Simulator, AMinuteOfShootingIsAPlausibleSeries) {
    DetectorSimulator unit(SimulatorOptions{42, true});
    Played run;
    Play(unit, Block(5184, 0, 0, 1600), kMinute, run);  // 300 m rifle: outer ring 640 units
    const auto shots = run.decoded.Shots();
    ASSERT_GE(shots.size(), 4u);
    ASSERT_LE(shots.size(), 12u);
    EXPECT_EQ(int(shots.size()), unit.shotCount());
    for (std::size_t i = 0; i < shots.size(); ++i) {
        EXPECT_LE(std::hypot(shots[i].x, shots[i].y), 640.0) << "shot " << i;
        if (i > 0) {
            EXPECT_GE(shots[i].step - shots[i - 1].step, 40) << "shot " << i;
        }
    }
    // one sample per step, the shot right after the sample it belongs to, at its position
    int samples = 0;
    for (std::size_t i = 0; i < run.decoded.messages.size(); ++i) {
        const auto& m = run.decoded.messages[i];
        if (m.line >= 0) continue;
        if (!m.isShot) {
            ++samples;
            continue;
        }
        ASSERT_GT(i, 0u);
        const auto& before = run.decoded.messages[i - 1];
        EXPECT_EQ(before.step, m.step);
        EXPECT_EQ(before.x, m.x);
        EXPECT_EQ(before.y, m.y);
    }
    EXPECT_EQ(samples, kMinute);
}

TEST(Simulator, RunsAlternateSidesEveryFewSeconds) {
    DetectorSimulator unit(SimulatorOptions{7, true});
    Played run;
    Play(unit, Block(1350, 0, 0, 1600), kMinute, run);
    const auto runs = run.decoded.Runs();
    ASSERT_GE(runs.size(), 4u);
    for (std::size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(runs[i], int(i % 2)) << "run " << i;
    // every run has its shot before the next run begins
    std::int64_t lastRun = -1;
    int shotsInRun = 0;
    for (const auto& m : run.decoded.messages) {
        if (m.line >= 0) {
            if (lastRun >= 0) {
                EXPECT_EQ(shotsInRun, 1);
            }
            lastRun = m.step;
            shotsInRun = 0;
        } else if (m.isShot) {
            ++shotsInRun;
        }
    }
}

TEST(Simulator, WithoutMovingRunsNoLineChanges) {
    DetectorSimulator unit(SimulatorOptions{7, false});
    Played run;
    Play(unit, Block(1350, 0, 0, 1600), kMinute, run);
    EXPECT_TRUE(run.decoded.Runs().empty());
    EXPECT_GE(run.decoded.Shots().size(), 4u);
}

TEST(Simulator, LongTimeBetweenShotsIsNeverShortened) {
    DetectorSimulator unit(SimulatorOptions{3, true});
    Played run;
    Play(unit, Block(1350, 0, 0, 10200), 2 * kMinute, run);  // T = 255 steps, the most the block carries
    EXPECT_EQ(unit.setup().steps, 255);
    const auto shots = run.decoded.Shots();
    ASSERT_GE(shots.size(), 3u);
    for (std::size_t i = 1; i < shots.size(); ++i) EXPECT_GE(shots[i].step - shots[i - 1].step, 255);
}

TEST(Simulator, DeterministicForASeed) {
    Played a, b, c;
    DetectorSimulator ua(SimulatorOptions{11, true}), ub(SimulatorOptions{11, true}), uc(SimulatorOptions{12, true});
    Play(ua, Block(5363, 0, 0, 1600), 1000, a);
    Play(ub, Block(5363, 0, 0, 1600), 1000, b);
    Play(uc, Block(5363, 0, 0, 1600), 1000, c);
    EXPECT_EQ(a.stream, b.stream);
    EXPECT_NE(a.stream, c.stream);
}

TEST(Simulator, AHoldScoresAlikeOnEveryFaceAtItsDistance) {
    // the same shooter on the 300 m rifle face and on the air rifle face: the same angles
    Played rifle, air;
    DetectorSimulator ur(SimulatorOptions{5, true}), ua(SimulatorOptions{5, true});
    Play(ur, Block(5184, 0, 0, 1600), kMinute, rifle);
    Play(ua, Block(1350, 0, 0, 1600), kMinute, air);
    const auto rs = rifle.decoded.Shots();
    const auto as = air.decoded.Shots();
    ASSERT_EQ(rs.size(), as.size());
    ASSERT_FALSE(rs.empty());
    for (std::size_t i = 0; i < rs.size(); ++i) {
        EXPECT_EQ(rs[i].step, as[i].step);
        EXPECT_NEAR(rs[i].x, as[i].x * 5184.0 / 1350.0, 3.0);
        EXPECT_NEAR(rs[i].y, as[i].y * 5184.0 / 1350.0, 3.0);
    }
}

TEST(Simulator, OffsetsAreAddedAsTheUnitDoes) {
    Played plain, offset;
    DetectorSimulator up(SimulatorOptions{9, true}), uo(SimulatorOptions{9, true});
    Play(up, Block(1391, 0, 0, 1600), 800, plain);
    Play(uo, Block(1391, 100, -50, 1600), 800, offset);
    const auto ps = plain.decoded.Shots();
    const auto os = offset.decoded.Shots();
    ASSERT_EQ(ps.size(), os.size());
    ASSERT_FALSE(ps.empty());
    for (std::size_t i = 0; i < ps.size(); ++i) {
        EXPECT_EQ(os[i].x, ps[i].x + 100);
        EXPECT_EQ(os[i].y, ps[i].y - 50);
    }
}

TEST(Simulator, ALeadSentDuringTheHoldShiftsTheAimAndTheShooterSwingsAfterIt) {
    DetectorSimulator plain(SimulatorOptions{21, true}), led(SimulatorOptions{21, true});
    const Bytes block = Block(1555, 0, 0, 1600);
    const Bytes lead = Block(1555, 590, 0, 1600);
    Bytes answer, a, b;
    plain.Receive(block.data(), block.size(), answer);
    led.Receive(block.data(), block.size(), answer);
    for (int i = 0; i < 30; ++i) {
        plain.Step(a);
        led.Step(b);
    }
    EXPECT_EQ(a, b);
    led.Receive(lead.data(), lead.size(), answer);  // an adjustment: between two steps
    EXPECT_TRUE(led.streaming());
    EXPECT_EQ(led.setup().offsetX, 590);
    Recorder pr, lr;
    DetectorDecoder pd, ld;
    pd.Configure(&pr, 40);
    ld.Configure(&lr, 40);
    for (int i = 0; i < 100; ++i) {
        Bytes x, y;
        plain.Step(x);
        led.Step(y);
        pd.Feed(x.data(), x.size());
        ld.Feed(y.data(), y.size());
    }
    ASSERT_FALSE(pr.messages.empty());
    const int jump = lr.messages[0].x - pr.messages[0].x;
    EXPECT_GT(jump, 450);  // most of the lead at once
    EXPECT_LE(jump, 590);
    const int later = lr.messages.back().x - pr.messages.back().x;
    EXPECT_LE(std::abs(later), 2);  // followed after four seconds
}

TEST(Simulator, TheAimComesFromAboveAndLeavesTheTargetBetweenShots) {
    DetectorSimulator unit(SimulatorOptions{13, true});
    Played run;
    Play(unit, Block(5184, 0, 0, 1600), kMinute, run);
    std::vector<Recorder::Message> samples;
    for (const auto& m : run.decoded.messages)
        if (m.line < 0 && !m.isShot) samples.push_back(m);
    ASSERT_FALSE(samples.empty());
    EXPECT_GT(samples.front().y, 640);  // above the face
    EXPECT_LT(std::abs(samples.front().x), 1000);
    const auto shots = run.decoded.Shots();
    ASSERT_GE(shots.size(), 2u);
    for (std::size_t i = 1; i < shots.size(); ++i) {
        bool left = false;
        for (const auto& s : samples)
            if (s.step > shots[i - 1].step && s.step < shots[i].step && std::hypot(s.x, s.y) > 1000) left = true;
        EXPECT_TRUE(left) << "between shots " << i - 1 << " and " << i;
    }
    // never outside the unit's 12-bit range
    for (const auto& s : samples) {
        EXPECT_GE(s.x, -2048);
        EXPECT_LE(s.x, 2047);
        EXPECT_GE(s.y, -2048);
        EXPECT_LE(s.y, 2047);
    }
}

TEST(Simulator, ClosingByteStopsAndAProbeIsAnswered) {
    DetectorSimulator unit;
    Bytes answer, out;
    unit.Step(out);
    EXPECT_TRUE(out.empty());  // nothing before a block
    const Bytes probe = {0x0D};
    unit.Receive(probe.data(), probe.size(), answer);
    EXPECT_EQ(answer, Bytes{DetectorSimulator::kProbeAnswer});
    const Bytes block = Block(5184, 0, 0, 1600);
    unit.Receive(block.data(), block.size(), answer);
    EXPECT_TRUE(unit.streaming());
    unit.Step(out);
    EXPECT_EQ(out.size(), 6u);
    const Bytes close = {0x00};
    unit.Receive(close.data(), close.size(), answer);
    out.clear();
    unit.Step(out);
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(unit.streaming());
}

TEST(Simulator, BrokenBlocksAndNoiseAreIgnored) {
    DetectorSimulator unit;
    Bytes answer;
    Bytes broken = Block(5184, 0, 0, 1600);
    broken[7] = 0x55;  // a wrong tag in the middle
    unit.Receive(broken.data(), broken.size(), answer);
    EXPECT_FALSE(unit.streaming());
    const Bytes noise = {0xFF, 0x12, 0x00, 0x00, 0x9A, 0x0D, 0xD0, 0x00};
    unit.Receive(noise.data(), noise.size(), answer);
    EXPECT_FALSE(unit.streaming());
    // the broken block's last byte and the noise's 0x0D stand alone: probes
    EXPECT_EQ(answer, Bytes(2, DetectorSimulator::kProbeAnswer));
    // a block right after a stray 0x00 still counts
    const Bytes block = Block(877, -5, 3, 1600);
    unit.Receive(block.data(), block.size(), answer);
    EXPECT_TRUE(unit.streaming());
    EXPECT_EQ(unit.setup().scale, 877u);
    EXPECT_EQ(unit.setup().offsetX, -5);
    EXPECT_EQ(unit.setup().offsetY, 3);
    EXPECT_EQ(unit.setup().steps, 40);
}

// --- the hold, measured from outside as the program sees it -------------------------------------

constexpr int kHour = 60 * kMinute;
constexpr int kLastSecond = 1000 / DetectorSimulator::kStepMs;  // steps

const TargetDescriptor& Face(int identity) {
    static TargetCatalogue catalogue;
    static const bool built = (catalogue.Build(), true);
    (void)built;
    TargetPair pair;
    EXPECT_TRUE(catalogue.FindByIdentity(identity, pair));
    return *pair.first;
}

std::vector<Recorder::Message> SamplesOf(const Recorder& decoded) {
    std::vector<Recorder::Message> samples;
    for (const auto& m : decoded.messages)
        if (m.line < 0 && !m.isShot) samples.push_back(m);
    return samples;
}

struct HoldFigures {
    double medianTraceMm = 0;  // trace length of the last second before the shot
    double reversalShare = 0;  // steps of that second that turn back against the step before
    std::size_t shots = 0;
    std::int64_t shortestGap = 1 << 30;  // steps between shots
};

// An hour on the 50 m rifle face at the default distance.
HoldFigures HoldOnTheRifleFace(ShooterProfile profile, std::uint32_t seed) {
    const TargetDescriptor& face = Face(1200);
    const double mmPerUnit = double(face.RefDiameter()) / (2.0 * face.RefRadius());
    DetectorSimulator unit(SimulatorOptions{seed, false, profile});
    Played run;
    Play(unit, Block(face.DetectorScale(), 0, 0, 1600), kHour, run);
    const auto samples = SamplesOf(run.decoded);
    const auto shots = run.decoded.Shots();
    HoldFigures figures;
    figures.shots = shots.size();
    std::vector<double> lengths;
    int reversals = 0, turns = 0;
    for (std::size_t k = 0; k < shots.size(); ++k) {
        if (k > 0) figures.shortestGap = std::min(figures.shortestGap, shots[k].step - shots[k - 1].step);
        const std::int64_t last = shots[k].step - 1;  // the index of the shot's own sample
        if (last < kLastSecond) continue;
        double length = 0;
        for (std::int64_t i = last - kLastSecond + 1; i <= last; ++i) {
            const double dx = samples[i].x - samples[i - 1].x, dy = samples[i].y - samples[i - 1].y;
            length += std::hypot(dx, dy);
            if (i == last - kLastSecond + 1) continue;
            const double px = samples[i - 1].x - samples[i - 2].x, py = samples[i - 1].y - samples[i - 2].y;
            ++turns;
            if (dx * px + dy * py < 0) ++reversals;
        }
        lengths.push_back(length * mmPerUnit);
    }
    std::sort(lengths.begin(), lengths.end());
    if (!lengths.empty()) figures.medianTraceMm = lengths[lengths.size() / 2];
    figures.reversalShare = turns ? double(reversals) / turns : 1.0;
    return figures;
}

struct ScoreFigures {
    double meanScore = 0;     // after the sighters' correction
    double meanUncorrected = 0;
    std::size_t shots = 0;
};

// Ten sighters on the 10 m air rifle decimal face, then an hour with the sighters' mean taken off
// as the aim offset, as the program sends it.
ScoreFigures ScoresOnTheAirRifleFace(ShooterProfile profile, std::uint32_t seed) {
    const TargetDescriptor& face = Face(1400);
    DetectorSimulator unit(SimulatorOptions{seed, false, profile});
    Played sighters;
    Play(unit, Block(face.DetectorScale(), 0, 0, 1600), 3 * kMinute, sighters);
    auto shots = sighters.decoded.Shots();
    EXPECT_GE(shots.size(), 10u);
    shots.resize(std::min<std::size_t>(shots.size(), 10));
    double sumX = 0, sumY = 0, uncorrected = 0;
    for (const auto& s : shots) {
        sumX += s.x;
        sumY += s.y;
        uncorrected += face.ScoreShot(s.x, s.y);
    }
    const int n = int(shots.size());
    unit.Stop();
    Played series;
    Play(unit, Block(face.DetectorScale(), -int(sumX / n), -int(sumY / n), 1600), kHour, series);
    ScoreFigures figures;
    figures.meanUncorrected = uncorrected / n;
    double total = 0;
    for (const auto& s : series.decoded.Shots()) total += face.ScoreShot(s.x, s.y);
    figures.shots = series.decoded.Shots().size();
    figures.meanScore = figures.shots ? total / double(figures.shots) : 0;
    return figures;
}

// The program's analysis of the simulated shooters on the 50 m rifle face, after ten sighters
// whose mean becomes the aim offset, in series of ten: per shot the mean shares and the medians of
// the rest, per series the medians of the group's spread and radius.
struct AnalysedFigures {
    double inTen = 0, inNine = 0, traceMm = 0, releaseMm = 0, aimingSeconds = 0, spreadMm = 0, radiusMm = 0;
    std::size_t shots = 0;
};

AnalysedFigures AnalysedOnTheRifleFace(ShooterProfile profile, std::uint32_t seed, int steps) {
    const TargetDescriptor& face = Face(1200);
    DetectorSimulator unit(SimulatorOptions{seed, false, profile});
    Played sighters;
    Play(unit, Block(face.DetectorScale(), 0, 0, 1600), 3 * kMinute, sighters);
    auto shots = sighters.decoded.Shots();
    shots.resize(std::min<std::size_t>(shots.size(), 10));
    double sumX = 0, sumY = 0;
    for (const auto& s : shots) sumX += s.x, sumY += s.y;
    const int n = std::max(1, int(shots.size()));
    unit.Stop();
    Played run;
    Play(unit, Block(face.DetectorScale(), -int(sumX / n), -int(sumY / n), 1600), steps, run);
    auto store = std::make_unique<TraceStore>();
    std::vector<double> v[7];  // in ten, in nine, trace, release, aiming, spread, radius
    for (const auto& m : run.decoded.messages) {
        if (m.line >= 0) continue;
        if (!m.isShot) {
            store->AppendSample(m.x, m.y);
            continue;
        }
        store->AppendShot(m.x, m.y, 0);
        if (store->ShotCount() < 10) continue;
        const SeriesAnalysis a = AnalyseSeries(*store, face, nullptr);
        for (const zark::HoldFigures& h : a.hold) {
            if (!h.valid || h.points < kHoldPoints) continue;
            const double figures[5] = {h.inTop, h.inNext, h.traceMm, h.releaseMm, h.aimingSeconds};
            for (int k = 0; k < 5; ++k) v[k].push_back(figures[k]);
        }
        v[5].push_back(a.group.extremeSpreadMm);
        v[6].push_back(a.group.meanRadiusMm);
        store->Clear();
    }
    double f[7] = {};
    for (int k = 0; k < 7; ++k) {
        if (v[k].empty()) continue;
        std::sort(v[k].begin(), v[k].end());
        f[k] = k < 2 ? std::accumulate(v[k].begin(), v[k].end(), 0.0) / double(v[k].size()) : v[k][v[k].size() / 2];
    }
    return {f[0], f[1], f[2], f[3], f[4], f[5], f[6], v[0].size()};
}

TEST(SimulatedShooter, TheProgramsHoldAnalysisTellsTheThreeShootersApart) {
    AnalysedFigures figures[3];
    const ShooterProfile profiles[3] = {ShooterProfile::Beginner, ShooterProfile::Club, ShooterProfile::Elite};
    for (int p = 0; p < 3; ++p) {
        const AnalysedFigures& f = figures[p] = AnalysedOnTheRifleFace(profiles[p], 23, 20 * kMinute);
        std::printf("%-8s in ten %.0f %%, in nine %.0f %%, trace %.1f mm, release %.1f mm, aiming %.1f s; "
                    "group of ten: extreme spread %.1f mm, mean radius %.1f mm (%zu shots)\n",
                    ShooterProfileName(profiles[p]), 100 * f.inTen, 100 * f.inNine, f.traceMm, f.releaseMm,
                    f.aimingSeconds, f.spreadMm, f.radiusMm, f.shots);
        EXPECT_GE(f.shots, 100u);
        EXPECT_GT(f.aimingSeconds, 2.0);  // the rifle comes down, settles and is held
        EXPECT_LT(f.aimingSeconds, 20.0);
    }
    const AnalysedFigures &beginner = figures[0], &club = figures[1], &elite = figures[2];
    EXPECT_GT(beginner.traceMm, club.traceMm);
    EXPECT_GT(club.traceMm, elite.traceMm);
    EXPECT_LT(beginner.inTen, club.inTen);
    EXPECT_LT(club.inTen, elite.inTen);
    EXPECT_LT(beginner.inNine, club.inNine);
    EXPECT_GT(elite.inNine, 0.8);
    EXPECT_GT(beginner.releaseMm, elite.releaseMm);
    EXPECT_GT(beginner.spreadMm, club.spreadMm);
    EXPECT_GT(club.spreadMm, elite.spreadMm);
}

// The phases the program finds in a profile's series of ten on the 50 m rifle face: medians of the
// figures of the shots that have them, and how often each verdict is given.
struct PhaseFigures {
    double holdShare = 0, holdSeconds = 0, holdStart = 0, settleStart = 0, holdSpeed = 0, holdRadius = 0,
           releaseMm = 0, driftMm = 0, longHold = 0, jerked = 0, drifted = 0, noFollow = 0;
    std::size_t shots = 0;
};

PhaseFigures PhasesOnTheRifleFace(ShooterProfile profile, std::uint32_t seed, int steps) {
    const TargetDescriptor& face = Face(1200);
    DetectorSimulator unit(SimulatorOptions{seed, false, profile});
    Played run;
    Play(unit, Block(face.DetectorScale(), 0, 0, 1600), steps, run);
    auto store = std::make_unique<TraceStore>();
    std::vector<double> v[7];  // hold, hold start, settle start, speed, radius, release, drift
    double counts[5] = {};     // holds, long, jerked, drifted, no follow-through
    std::size_t shots = 0;
    for (const auto& m : run.decoded.messages) {
        if (m.line >= 0) continue;
        if (m.isShot) store->AppendShot(m.x, m.y, 0);
        else store->AppendSample(m.x, m.y);
        if (store->ShotCount() < 10 || store->SampleCount() < store->Shot(9).traceIndex + kFollowSteps + 1) continue;
        const SeriesPhases series = AnalyseSeriesPhases(*store, face, nullptr);
        for (int i = 1; i < series.shots; ++i) {  // the first shot's stretch begins at the trace's start
            const ShotPhases& f = series.shot[std::size_t(i)];
            shots += f.valid;
            if (f.HasHold())
                for (const auto& [k, value] : {std::pair(0, f.holdSeconds), {1, f.SecondsBefore(f.hold)},
                                               {3, f.holdSpeed}, {4, f.holdRadius}})
                    v[k].push_back(value);
            if (f.settle >= 0) v[2].push_back(f.SecondsBefore(f.settle));
            if (f.HasRelease()) v[5].push_back(f.releaseMm);
            if (f.HasFollowThrough()) v[6].push_back(f.driftMm);
            const int bits[5] = {VerdictNoHold, VerdictLongHold, VerdictJerkedRelease, VerdictDriftedOut,
                                 VerdictNoFollowThrough};
            for (int b = 0; b < 5; ++b) counts[b] += f.valid && (f.verdict & bits[b]) != 0;
        }
        store->Clear();
    }
    double med[7] = {};
    for (int k = 0; k < 7; ++k) {
        std::sort(v[k].begin(), v[k].end());
        if (!v[k].empty()) med[k] = v[k][v[k].size() / 2];
    }
    const double n = std::max<double>(1, double(shots));
    return {1 - counts[0] / n, med[0], med[1], med[2], med[3], med[4], med[5], med[6],
            counts[1] / n, counts[2] / n, counts[3] / n, counts[4] / n, shots};
}

TEST(SimulatedShooter, ThePhasesOfTheThreeShootersDiffer) {
    PhaseFigures figures[3];
    const ShooterProfile profiles[3] = {ShooterProfile::Beginner, ShooterProfile::Club, ShooterProfile::Elite};
    for (int p = 0; p < 3; ++p) {
        const PhaseFigures& f = figures[p] = PhasesOnTheRifleFace(profiles[p], 23, 20 * kMinute);
        std::printf("%-8s settle %.1f s, hold from %.1f s for %.1f s (%.0f %% of shots), speed %.1f mm/s, radius %.1f mm, "
                    "release %.1f mm, drift %.1f mm; long hold %.0f %%, jerked %.0f %%, drifted %.0f %%, "
                    "no follow-through %.0f %% (%zu shots)\n",
                    ShooterProfileName(profiles[p]), f.settleStart, f.holdStart, f.holdSeconds, 100 * f.holdShare,
                    f.holdSpeed, f.holdRadius, f.releaseMm, f.driftMm, 100 * f.longHold, 100 * f.jerked,
                    100 * f.drifted, 100 * f.noFollow, f.shots);
        EXPECT_GE(f.shots, 100u);
        EXPECT_GT(f.holdShare, 0.8);  // nearly every shot has a hold
    }
    const PhaseFigures &beginner = figures[0], &club = figures[1], &elite = figures[2];
    EXPECT_LT(beginner.holdSeconds, club.holdSeconds);  // the steadier, the longer the hold
    EXPECT_LT(club.holdSeconds, elite.holdSeconds);
    EXPECT_GT(beginner.holdSpeed, club.holdSpeed);
    EXPECT_GT(club.holdSpeed, elite.holdSpeed);
    EXPECT_GT(beginner.releaseMm, elite.releaseMm);
    EXPECT_GT(beginner.jerked, 0.3);  // the beginner jerks about every other shot
    EXPECT_GT(beginner.jerked, club.jerked);
    EXPECT_GT(beginner.noFollow, club.noFollow);
    EXPECT_GT(elite.longHold, beginner.longHold);  // only the patient elite holds past 6 s
}

struct ProfileBounds {
    ShooterProfile profile;
    std::uint32_t seed;
    double traceLow, traceHigh;  // mm
    double scoreLow, scoreHigh;
};

TEST(SimulatedShooter, EachProfileHoldsAndScoresLikeItsShooterOverAnHour) {
    const ProfileBounds bounds[] = {
        {ShooterProfile::Beginner, 11, 40, 100, 7.0, 9.0},
        {ShooterProfile::Club, 11, 15, 40, 9.0, 9.9},
        {ShooterProfile::Elite, 11, 8, 20, 10.0, 10.9},
    };
    for (const ProfileBounds& b : bounds) {
        SCOPED_TRACE(ShooterProfileName(b.profile));
        const HoldFigures hold = HoldOnTheRifleFace(b.profile, b.seed);
        const ScoreFigures score = ScoresOnTheAirRifleFace(b.profile, b.seed);
        std::printf("%-8s trace %.1f mm (median of %zu), reversals %.1f %%, mean score %.2f (%.2f before the sighters' correction, %zu shots)\n",
                    ShooterProfileName(b.profile), hold.medianTraceMm, hold.shots, 100 * hold.reversalShare,
                    score.meanScore, score.meanUncorrected, score.shots);
        EXPECT_GE(hold.shots, 300u);  // a shot every few seconds
        EXPECT_GE(hold.medianTraceMm, b.traceLow);
        EXPECT_LE(hold.medianTraceMm, b.traceHigh);
        EXPECT_LT(hold.reversalShare, 0.35);
        EXPECT_GE(hold.shortestGap, 40);  // never sooner than the time between shots
        EXPECT_GE(score.meanScore, b.scoreLow);
        EXPECT_LE(score.meanScore, b.scoreHigh);
    }
}

TEST(SimulatedShooter, TheBreakTheFollowThroughAndTheJerkOfARightHander) {
    // seen from outside on the 50 m rifle face: 397 units to the milliradian
    struct Release {
        double jerkX = 0, jerkY = 0;  // mean move from the sample before the shot to the one after
        std::size_t shots = 0;
    };
    auto measure = [](ShooterProfile profile) {
        DetectorSimulator unit(SimulatorOptions{5, false, profile});
        Played run;
        Play(unit, Block(5363, 0, 0, 1600), 20 * kMinute, run);
        const auto samples = SamplesOf(run.decoded);
        Release release;
        for (const auto& shot : run.decoded.Shots()) {
            const std::int64_t at = shot.step - 1;
            if (at < 1 || at + 40 >= std::int64_t(samples.size())) continue;
            ++release.shots;
            release.jerkX += samples[at + 1].x - samples[at - 1].x;
            release.jerkY += samples[at + 1].y - samples[at - 1].y;
            // the aim stays on the target for about half a second, then leaves it
            for (std::int64_t i = at; i <= at + 12; ++i)
                EXPECT_LT(std::hypot(samples[i].x - shot.x, samples[i].y - shot.y), 600) << "step " << i - at;
            EXPECT_GT(std::hypot(samples[at + 40].x - shot.x, samples[at + 40].y - shot.y), 1500);
        }
        release.jerkX /= double(release.shots);
        release.jerkY /= double(release.shots);
        return release;
    };
    const Release beginner = measure(ShooterProfile::Beginner);
    const Release elite = measure(ShooterProfile::Elite);
    ASSERT_GT(beginner.shots, 50u);
    // low and to the left, more for the beginner than for the elite shooter
    EXPECT_LT(beginner.jerkX, -20);
    EXPECT_LT(beginner.jerkY, -20);
    EXPECT_GT(std::hypot(beginner.jerkX, beginner.jerkY), 3 * std::hypot(elite.jerkX, elite.jerkY));
}

TEST(SimulatedShooter, TheBreathMovesTheAimUntilItIsHeld) {
    // the model itself: the vertical movement of the first second of each hold against its last
    SimulatedShooter shooter(ShooterProfile::Club, 17);
    std::vector<double> hold;
    std::vector<double> early, late;
    for (int i = 0; i < kHour; ++i) {
        const bool wasHolding = shooter.holding();
        const bool fired = shooter.Advance(true);
        if (wasHolding) hold.push_back(shooter.y());
        if (!fired) continue;
        if (hold.size() > 2 * kLastSecond) {
            auto travel = [&](std::size_t from) {
                double sum = 0;
                for (std::size_t k = from + 1; k < from + kLastSecond; ++k) sum += std::abs(hold[k] - hold[k - 1]);
                return sum;
            };
            early.push_back(travel(0));
            late.push_back(travel(hold.size() - kLastSecond));
        }
        hold.clear();
    }
    ASSERT_GT(early.size(), 200u);
    std::sort(early.begin(), early.end());
    std::sort(late.begin(), late.end());
    EXPECT_GT(early[early.size() / 2], 2 * late[late.size() / 2]);
}

// Plays a moving range as the program answers it: each run announced brings the lead of the face of
// its side (the moose: +590 units on the first face, -590 on the second).
void PlayMovingRange(DetectorSimulator& unit, int steps, Played& run) {
    DetectorDecoder decoder;
    decoder.Configure(&run.decoded, 40);
    Bytes answer;
    const Bytes block = Block(1555, 0, 0, 1600);
    unit.Receive(block.data(), block.size(), answer);
    for (int i = 0; i < steps; ++i) {
        Bytes out;
        const std::uint32_t lines = unit.Step(out);
        run.decoded.step = unit.stepCount();
        run.decoded.pending = out;
        run.decoded.next = 0;
        decoder.ProcessEvent(lines | EV_RXCHAR, run.decoded);
        if (lines) {
            const Bytes lead = Block(1555, (lines & EV_DSR) ? -590 : 590, 0, 1600);
            unit.Receive(lead.data(), lead.size(), answer);
        }
    }
}

TEST(SimulatedShooter, AHunterSwingsWithEachRun) {
    DetectorSimulator unit(SimulatorOptions{23, true});
    Played run;
    PlayMovingRange(unit, 5 * kMinute, run);
    const auto samples = SamplesOf(run.decoded);
    const auto shots = run.decoded.Shots();
    const auto runs = run.decoded.Runs();
    ASSERT_GE(shots.size(), 20u);
    ASSERT_GE(runs.size(), shots.size());
    int hits = 0;
    double along = 0, across = 0;
    for (std::size_t k = 1; k < shots.size(); ++k) {
        // shot k is fired in run k, on side k % 2: side 0 runs to the left, so behind it is right
        const int behind = k % 2 == 0 ? 1 : -1;
        const std::int64_t at = shots[k].step - 1;
        if (std::hypot(shots[k].x, shots[k].y) < 144 + 27) ++hits;  // the moose's rings
        // the swing comes in from behind the target, at about its height
        std::int64_t first = at;
        while (first > 0 && std::hypot(samples[first - 1].x, samples[first - 1].y) < 800) --first;
        EXPECT_GT(behind * samples[first].x, 400) << "shot " << k;
        EXPECT_LT(std::abs(samples[first].y), 400) << "shot " << k;
        // it wanders along the run more than across it
        for (std::int64_t i = at - kLastSecond + 1; i <= at; ++i) {
            along += std::abs(samples[i].x - samples[i - 1].x);
            across += std::abs(samples[i].y - samples[i - 1].y);
        }
        // when the run is over the target goes on and the aim falls behind it
        EXPECT_GT(behind * (samples[at + 30].x - shots[k].x), 1000) << "shot " << k;
    }
    EXPECT_GE(hits, int(shots.size()) * 3 / 4);
    EXPECT_GT(along, 1.3 * across);
}

TEST(SimulatedShooter, ProfilesByNameAndTheBuiltInUnitTakesItsFromTheEnvironment) {
    ShooterProfile profile = ShooterProfile::Club;
    EXPECT_TRUE(ParseShooterProfile("Elite", profile));
    EXPECT_EQ(profile, ShooterProfile::Elite);
    EXPECT_TRUE(ParseShooterProfile("beginner", profile));
    EXPECT_EQ(profile, ShooterProfile::Beginner);
    EXPECT_FALSE(ParseShooterProfile("expert", profile));
    EXPECT_EQ(profile, ShooterProfile::Beginner);
    EXPECT_STREQ(ShooterProfileName(ShooterProfile::Club), "club");
    auto builtIn = [](const char* value) {
        if (value) ::setenv(kProfileVariable, value, 1);
        else ::unsetenv(kProfileVariable);
        SimulatorPort port;
        EXPECT_EQ(port.Open("Simulator"), 0);
        const ShooterProfile chosen = port.unit().options().profile;
        port.Close();
        return chosen;
    };
    EXPECT_EQ(builtIn("elite"), ShooterProfile::Elite);
    EXPECT_EQ(builtIn("BEGINNER"), ShooterProfile::Beginner);
    EXPECT_EQ(builtIn("sharpshooter"), ShooterProfile::Club);
    EXPECT_EQ(builtIn(nullptr), ShooterProfile::Club);
}

}  // namespace
}  // namespace zark
