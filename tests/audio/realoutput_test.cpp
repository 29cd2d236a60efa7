// The real sound output on a PulseAudio daemon of the test's own: a null sink whose monitor is
// recorded with parec, so what the program sends to the sound device is checked as sound.
// Skipped only when no PulseAudio daemon can be started at all.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <thread>

#include "audio/audioview.h"
#include "audio/qtsoundoutput.h"
#include "audio/spokenwords.h"
#include "audio/timedsignals.h"
#include "core/timedrun.h"
#include "core/shootinghub.h"
#include "audio/soundplayer.h"
#include "audio/tonebank.h"
#include "i18n/uistrings.h"
#include "recordingoutput.h"
#include "settings/settings.h"
#include "support/testsupport.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

constexpr int kRate = 44100;  // of the null sink and the recording

// A PulseAudio daemon with one null sink "zark_test", in a runtime folder of its own, for the
// whole test program. Started before anything of Qt Multimedia runs, so the program's output
// finds this server and no other. It is never stopped from here: it ends by itself a few seconds
// after its last client, this program, has gone. (Stopped while the program ended, it sometimes
// took Qt's sound connection down first, and libpulse's thread aborted the program on an
// assertion after every test had passed.) Its runtime folder goes at the end as before: the
// connection made through its socket stays.
class PulseDaemon {
public:
    static PulseDaemon& Instance() {
        static PulseDaemon daemon;
        return daemon;
    }
    bool Running() const { return running_; }
    const std::string& Why() const { return why_; }


private:
    PulseDaemon() : folder_(QDir::tempPath() + QStringLiteral("/zark-pulse-XXXXXX")) {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (program.isEmpty()) {
            why_ = "pulseaudio is not installed";
            return;
        }
        if (!folder_.isValid()) {
            why_ = "no runtime folder";
            return;
        }
        const QString socket = folder_.filePath(QStringLiteral("native"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder_.path());
        environment.insert(QStringLiteral("PULSE_RUNTIME_PATH"), folder_.path());
        environment.insert(QStringLiteral("PULSE_STATE_PATH"), folder_.path());
        environment.insert(QStringLiteral("HOME"), folder_.path());
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(folder_.filePath(QStringLiteral("daemon.log")));
        // -n: no default script (no hardware, no D-Bus); --system=false keeps it a per-user
        // daemon also for root, which it warns about and then allows.
        process.setProgram(program);
        process.setArguments(
            {QStringLiteral("--daemonize=no"), QStringLiteral("--system=false"), QStringLiteral("-n"),
             QStringLiteral("--exit-idle-time=%1").arg(kIdleSeconds), QStringLiteral("--disallow-exit"),
             QStringLiteral("--use-pid-file=false"), QStringLiteral("--high-priority=no"),
             QStringLiteral("--realtime=no"), QStringLiteral("--disable-shm=true"),
             QStringLiteral("--log-target=stderr"),
             QStringLiteral("--load=module-null-sink sink_name=zark_test rate=%1 channels=1").arg(kRate),
             QStringLiteral("--load=module-native-protocol-unix socket=%1 auth-anonymous=1").arg(socket)});
        qint64 pid = 0;
        if (!process.startDetached(&pid)) {
            why_ = "pulseaudio does not start";
            return;
        }
        QElapsedTimer clock;
        clock.start();
        while (!QFileInfo::exists(socket) && clock.elapsed() < 10000 && ::kill(pid_t(pid), 0) == 0)
            QThread::msleep(50);
        if (!QFileInfo::exists(socket)) {
            QFile log(folder_.filePath(QStringLiteral("daemon.log")));
            log.open(QIODevice::ReadOnly);
            why_ = "pulseaudio ended without its socket: " + log.readAll().right(600).toStdString();
            return;
        }
        server_ = QStringLiteral("unix:") + socket;
        qputenv("PULSE_SERVER", server_.toLocal8Bit());
        qputenv("PULSE_RUNTIME_PATH", folder_.path().toLocal8Bit());
        running_ = true;
    }

    // Idle (no client) this long, the daemon ends. Within the program Qt's connection stays open
    // from the first test on, so it ends only after the program.
    static constexpr int kIdleSeconds = 10;
    QTemporaryDir folder_;
    QString server_;
    bool running_ = false;
    std::string why_;
};

// parec on the sink's monitor: mono signed 16-bit samples at 44,100 Hz, as they arrive.
class Recorder {
public:
    Recorder() {
        process_.setReadChannel(QProcess::StandardOutput);
        process_.start(QStringLiteral("parec"),
                       {QStringLiteral("-d"), QStringLiteral("zark_test.monitor"), QStringLiteral("--raw"),
                        QStringLiteral("--format=s16le"), QStringLiteral("--rate=%1").arg(kRate),
                        QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=5")});
    }
    ~Recorder() {
        process_.kill();
        process_.waitForFinished(3000);
    }
    bool Started() { return process_.waitForStarted(5000); }
    // Reads what arrives for ms milliseconds, or while more is true.
    template <typename More>
    void ReadWhile(More more) {
        while (more()) {
            process_.waitForReadyRead(5);
            const QByteArray bytes = process_.readAllStandardOutput();
            pending_ += bytes;
            const qsizetype whole = pending_.size() / 2 * 2;
            for (qsizetype i = 0; i < whole; i += 2)
                samples_.push_back(
                    std::int16_t(std::uint8_t(pending_[i]) | std::uint8_t(pending_[i + 1]) << 8));
            pending_.remove(0, whole);
            if (whole > 0) arrivals_.push_back({std::chrono::steady_clock::now(), samples_.size()});
        }
    }
    void Read(int ms) {
        QElapsedTimer clock;
        clock.start();
        ReadWhile([&] { return clock.elapsed() < ms; });
    }
    std::size_t Count() const { return samples_.size(); }
    // When sample i was recorded, estimated from the arrival of the block that held it: the
    // monitor hands over a block as soon as the sink has played it out.
    std::chrono::steady_clock::time_point TimeOf(std::size_t i) const {
        for (const auto& [time, count] : arrivals_)
            if (count > i)
                return time - std::chrono::microseconds(std::int64_t(count - 1 - i) * 1000000 / kRate);
        return std::chrono::steady_clock::now();
    }
    // The first sample recorded at or after time.
    std::size_t IndexAt(std::chrono::steady_clock::time_point time) const {
        std::size_t low = 0, high = samples_.size();
        while (low < high) {
            const std::size_t mid = (low + high) / 2;
            if (TimeOf(mid) < time)
                low = mid + 1;
            else
                high = mid;
        }
        return low;
    }
    std::string Errors() { return process_.readAllStandardError().toStdString(); }
    const std::vector<std::int16_t>& Samples() const { return samples_; }

private:
    QProcess process_;
    QByteArray pending_;
    std::vector<std::int16_t> samples_;
    std::vector<std::pair<std::chrono::steady_clock::time_point, std::size_t>> arrivals_;
};

double MsBetween(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to) {
    return double(std::chrono::duration_cast<std::chrono::microseconds>(to - from).count()) / 1000;
}

double Rms(const std::vector<std::int16_t>& s, std::size_t from, std::size_t count) {
    double sum = 0;
    for (std::size_t i = from; i < from + count && i < s.size(); ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(std::max<std::size_t>(count, 1)));
}

// The power at a frequency (Goertzel) over count samples from from.
double Power(const std::vector<std::int16_t>& s, std::size_t from, std::size_t count, double frequency) {
    const double w = 2 * std::acos(-1.0) * frequency / kRate;
    const double c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (std::size_t i = from; i < from + count && i < s.size(); ++i) {
        const double s0 = s[i] + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
}

// The first sample from from on where sound starts (a 2 ms window above a small level).
std::size_t Onset(const std::vector<std::int16_t>& s, std::size_t from) {
    for (std::size_t i = from; i + 88 < s.size(); i += 22)
        if (Rms(s, i, 88) > 300) return i;
    return s.size();
}

// Without a sound server the program runs silently and says so once in its log. In a child
// process of its own, before this program's daemon exists, so that Qt's one connection to the
// sound server is the child's.
TEST(NoDeviceDeathTest, TheOutputRunsSilentlyAndLogsItOnce) {
    EXPECT_EXIT(
        {
            QTemporaryDir nowhere;
            qputenv("PULSE_SERVER",
                    (QStringLiteral("unix:") + nowhere.filePath(QStringLiteral("none"))).toLocal8Bit());
            const int before = test::CountOf(test::LogText(), "Sound: no sound device");
            {
                QtSoundOutput output;
                output.SetTone(440, 6000, 0);
                output.PlayAndWait(SineClip(440, 6000, 500));  // returns: nothing can play it
                output.PlayAndWait(SineClip(880, 6000, 500), ClipKind::Voice);
                output.StopTone();
                if (output.DeviceWorked()) std::exit(2);
            }
            std::exit(test::CountOf(test::LogText(), "Sound: no sound device") == before + 1 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

using Clock = std::chrono::steady_clock;

// A recorder on the null sink and the program's output on it, both running: the monitor gives
// silence before the first sound.
class RealOutput : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PulseDaemon::Instance().Running())
            GTEST_SKIP() << "no PulseAudio daemon: " << PulseDaemon::Instance().Why();
        LoadUiStrings();
        BuildToneBank(Settings::Defaults());
        recorder = std::make_unique<Recorder>();
        ASSERT_TRUE(recorder->Started()) << "parec (pulseaudio-utils) is needed";
        QElapsedTimer waited;
        waited.start();
        recorder->ReadWhile([&] { return recorder->Count() < std::size_t(kRate / 5) && waited.elapsed() < 15000; });
        ASSERT_GT(recorder->Count(), std::size_t(kRate / 10)) << "the sink's monitor gives nothing: " << recorder->Errors();
        output = std::make_unique<QtSoundOutput>();
        ASSERT_TRUE(output->DeviceWorked());
        recorder->Read(200);
        ASSERT_GT(output->RenderedFrames(), 0) << "the device pulls nothing";
    }
    const std::vector<std::int16_t>& S() const { return recorder->Samples(); }
    // The tone's strength at frequency over 10 ms from i: its amplitude, as a sample's peak.
    double ToneLevel(std::size_t i, double frequency) const {
        constexpr std::size_t n = kRate / 100;
        return 2 * std::sqrt(std::max(0.0, Power(S(), i, n, frequency))) / double(n);
    }

    std::unique_ptr<Recorder> recorder;
    std::unique_ptr<QtSoundOutput> output;
};

// The simulated club shooter: a level change every 40..1000 ms (40..400 in CI unless
// ZARK_SOUND_SESSION_S asks for a longer session), recorded from the sink. Prints the figures.
TEST_F(RealOutput, AClubShootersSessionIsOneUnbrokenToneAtEveryLevel) {
    const int seconds = std::max(8, qEnvironmentVariableIntValue("ZARK_SOUND_SESSION_S"));
    const int longest = seconds >= 60 ? 1000 : 400;
    SoundPlayer player(output.get(), {});
    std::mt19937 random(7);
    std::uniform_int_distribution<int> holdMs(40, longest);
    std::uniform_int_distribution<int> levels(0, 11);
    struct Change {
        Clock::time_point at;
        int tone;
        int holdMs;
    };
    std::vector<Change> changes;
    int tone = -1;
    const Clock::time_point end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
        int next = levels(random);
        if (next == tone) next = (next + 1) % 12;
        tone = next;
        const int hold = holdMs(random);
        changes.push_back({Clock::now(), tone, hold});
        player.SelectTone(tone);
        recorder->Read(hold);
    }
    const Clock::time_point last = Clock::now();
    player.SelectTone(-1);
    recorder->Read(300);
    ASSERT_GE(changes.size(), 30u);
    EXPECT_EQ(output->Opens(), 1);
    // ZARK_SOUND_RECORDING=file keeps the recording (raw, signed 16-bit, mono, 44,100 Hz) for sox.
    if (const QString keep = qEnvironmentVariable("ZARK_SOUND_RECORDING"); !keep.isEmpty()) {
        QFile file(keep);
        if (file.open(QIODevice::WriteOnly))
            file.write(reinterpret_cast<const char*>(S().data()), qint64(S().size() * sizeof(std::int16_t)));
    }

    // From the first sound to the last change: the share of silent milliseconds and the longest
    // silence.
    const std::size_t first = Onset(S(), recorder->IndexAt(changes.front().at));
    ASSERT_LT(first, S().size()) << "no tone arrived";
    const std::size_t stop = recorder->IndexAt(last);
    constexpr std::size_t ms = kRate / 1000;
    std::size_t quiet = 0, run = 0, longestGap = 0, windows = 0;
    for (std::size_t i = first + 5 * ms; i + ms <= stop; i += ms, ++windows) {  // past the fade in
        int peak = 0;
        for (std::size_t k = i; k < i + ms; ++k) peak = std::max(peak, std::abs(int(S()[k])));
        if (peak < 24 * 256 / 4) {
            ++quiet;
            longestGap = std::max(longestGap, ++run);
        } else {
            run = 0;
        }
    }
    const double quietShare = 100.0 * double(quiet) / double(std::max<std::size_t>(windows, 1));
    EXPECT_LT(quietShare, 1.0);
    EXPECT_LE(longestGap, 5u) << "ms";

    // Each level at its frequency: the device delays the stream by the latency of the first
    // onset; a level is looked at in the middle of the stretch it held.
    const double latencyMs = MsBetween(changes.front().at, recorder->TimeOf(first));
    std::vector<double> switchMs;
    double worstError = 0;
    int looked = 0;
    for (std::size_t k = 0; k + 1 < changes.size(); ++k) {
        const double want = ToneBankFrequency(changes[k].tone);
        const auto delay = std::chrono::microseconds(std::int64_t(latencyMs * 1000));
        const std::size_t from = recorder->IndexAt(changes[k].at + delay);
        const std::size_t to = recorder->IndexAt(changes[k + 1].at + delay);
        if (k > 0) {
            // when the new pitch took over from the old one
            const double old = ToneBankFrequency(changes[k - 1].tone);
            const std::size_t searchFrom = recorder->IndexAt(changes[k].at);
            for (std::size_t i = searchFrom; i + 256 < to + kRate / 10 && i + 256 < S().size(); i += 22) {
                if (Power(S(), i, 256, want) > Power(S(), i, 256, old)) {
                    switchMs.push_back(MsBetween(changes[k].at, recorder->TimeOf(i + 128)));
                    break;
                }
            }
        }
        if (to <= from + kRate / 10) continue;  // under 100 ms: its switch was timed above
        const std::size_t margin = (to - from) / 4;
        PcmSound part;
        part.sampleRate = kRate;
        part.samples.assign(S().begin() + std::ptrdiff_t(from + margin), S().begin() + std::ptrdiff_t(to - margin));
        const double found = test::ZeroCrossingFrequency(part);
        worstError = std::max(worstError, std::abs(found - want) / want);
        EXPECT_NEAR(found, want, want * 0.005) << "level " << changes[k].tone << " at change " << k;
        ++looked;
    }
    EXPECT_GT(looked, 10);
    ASSERT_FALSE(switchMs.empty());
    std::sort(switchMs.begin(), switchMs.end());
    const double median = switchMs[switchMs.size() / 2];
    const double worst = switchMs.back();
    std::printf(
        "session %d s, %zu level changes: silent %.3f %% of the milliseconds, longest silence %zu ms; "
        "first tone heard %.1f ms after the call (device buffer %d ms); a new pitch heard %.1f ms after "
        "its call (median), %.1f ms at most, %.1f ms beyond the first onset; worst frequency error %.2f %%\n",
        seconds, changes.size(), quietShare, longestGap, latencyMs, output->BufferMs(), median, worst,
        median - latencyMs, 100 * worstError);
    RecordProperty("quiet_percent", std::to_string(quietShare));
    RecordProperty("pitch_latency_median_ms", std::to_string(median));
    RecordProperty("device_latency_ms", std::to_string(latencyMs));
}

// A shot sound and a spoken result over a held tone: the tone never stops, is lowered while they
// play, keeps its pitch under the words, and takes the new level as they end.
TEST_F(RealOutput, AShotSoundAndTheWordsAreMixedOverAHeldTone) {
    SoundPlayer player(output.get(), {});
    player.SetAnnouncementDelay(std::chrono::milliseconds(300));
    const double nine = ToneBankFrequency(9);
    const double ten = ToneBankFrequency(10);
    const Clock::time_point start = Clock::now();
    player.SelectTone(9);
    recorder->Read(300);
    const Clock::time_point shot = Clock::now();
    player.PlayClip(SineClip(523, 12000, 150));  // the shot sound
    player.AnnounceInteger(9, 90);               // "nine, three o'clock"
    recorder->Read(700);
    player.SelectTone(10);  // while the words are said
    const Clock::time_point changed = Clock::now();
    recorder->ReadWhile([] { return SoundPlayer::Announcing(); });
    player.WaitForAnnouncements();
    recorder->Read(400);
    const Clock::time_point end = Clock::now();

    // the tone's level in 10 ms steps from its onset on: never gone; lowered under the clips
    const std::size_t onset = Onset(S(), recorder->IndexAt(start));
    ASSERT_LT(onset, S().size());
    const std::size_t endAt = recorder->IndexAt(end) - kRate / 10;
    const double full = ToneLevel(onset + kRate / 10, nine);
    EXPECT_NEAR(full, 24 * 256, 24 * 256 * 0.15);
    std::size_t lowered = 0, firstLowered = 0, lastLowered = 0, gone = 0;
    for (std::size_t i = onset + kRate / 50; i < endAt; i += kRate / 100) {
        const double level = std::max(ToneLevel(i, nine), ToneLevel(i, ten));
        if (level < full * 0.25) ++gone;
        if (level < full * 0.7) {
            if (!firstLowered) firstLowered = i;
            lastLowered = i;
            ++lowered;
        }
    }
    EXPECT_EQ(gone, 0u) << "10 ms steps without the tone";
    ASSERT_GT(lowered, 0u);
    // The words said at their own speed: the tone is lowered from the shot sound to the end of the
    // words; the words start after the 300 ms pause.
    const SoundPtr words = test::JoinedWords(ActiveUiLanguage(), {1165, 2172});
    const double loweredMs = 1000.0 * double(lastLowered - firstLowered) / kRate;
    const double wordsMs = double(words->DurationMs());
    const double spokenFromMs = MsBetween(shot, recorder->TimeOf(lastLowered)) - wordsMs;
    EXPECT_NEAR(loweredMs, 300 + wordsMs, 80) << "the shot sound, the pause and the words";
    EXPECT_GT(spokenFromMs, 200);
    // held at nine under the words, ten as soon as they end
    const std::size_t afterWords = lastLowered + kRate / 100;
    const std::size_t under = recorder->IndexAt(changed) + kRate / 10;
    ASSERT_LT(under + kRate / 20, lastLowered);
    EXPECT_GT(ToneLevel(under, nine), ToneLevel(under, ten) * 4);
    std::size_t back = afterWords;
    while (back < endAt && ToneLevel(back, ten) < full * 0.7) back += kRate / 1000;
    const double backMs = 1000.0 * double(back - afterWords) / kRate;
    EXPECT_LT(backMs, 50) << "the tone back at full level after the last word";
    std::printf("words %.0f ms as recorded, the tone lowered for %.0f ms; tone ten at full level %.1f ms after the words\n",
                wordsMs, loweredMs, backMs);
    player.StopTone();
}

// A replay's tone ends with the replay: at once when the replay is ended, and by itself when the
// replayed samples stop coming (a replay that runs out or is paused sends nothing more).
TEST_F(RealOutput, AReplaysEndStopsTheTone) {
    TargetCatalogue catalogue;
    catalogue.Build();
    Settings settings = Settings::Defaults();
    settings.BlindShooting = 1;
    ShootingHub hub;
    hub.SetSettings(&settings);
    hub.SetTargets(&catalogue.Entry(0), nullptr);
    AudioView view(&hub, output.get());
    const auto replay = [&] {
        hub.BeginReplay();
        for (int k = 0; k < 12; ++k) {
            hub.FeedSample(10, 1, 0, 1, k + 1);
            recorder->Read(40);
        }
    };
    replay();
    const std::size_t playing = recorder->Count();
    hub.EndReplay();
    const Clock::time_point ended = Clock::now();
    recorder->Read(400);
    EXPECT_GT(Rms(S(), playing - kRate / 20, kRate / 20), 1000);
    const std::size_t silentFrom = recorder->IndexAt(ended + std::chrono::milliseconds(150));
    EXPECT_LT(Rms(S(), silentFrom, recorder->Count() - silentFrom), 50);

    replay();  // runs out: nothing more comes
    const Clock::time_point ranOut = Clock::now();
    recorder->Read(700);
    const std::size_t quietFrom = recorder->IndexAt(ranOut + std::chrono::milliseconds(450));
    EXPECT_LT(Rms(S(), quietFrom, recorder->Count() - quietFrom), 50);
    EXPECT_EQ(output->Opens(), 1);
}

// A timed series on the unit's clock: the samples come every 40 ms (fed at that pace here), and
// each window's start signal is sent ahead by the device's latency. From the arrival of the sample
// that opens the window to the signal's onset in the sink is at most 30 ms, and never before it.
TEST_F(RealOutput, TheStartSignalIsHeardAsItsWindowOpens) {
    SoundPlayer player(output.get(), {});
    struct Signals final : TimedListener {
        explicit Signals(SoundPlayer& p) : player(p) {}
        void OnTimedSignal(const TimedEvent& event) override {
            if (SoundPtr clip = TimedSignalClip(event.signal)) player.PlayClip(std::move(clip));
        }
        void OnTimedClock(TimedPhase, std::int32_t, std::int32_t) override {}
        SoundPlayer& player;
        std::vector<Clock::time_point> opened;
    } heard(player);

    const Clock::time_point reference = Clock::now();
    player.PlayClip(SineClip(440, 12000, 100));
    recorder->Read(400);
    const std::size_t referenceOnset = Onset(S(), recorder->IndexAt(reference));
    ASSERT_LT(referenceOnset, S().size());
    const double deviceMs = MsBetween(reference, recorder->TimeOf(referenceOnset));

    ShootingHub hub;
    TimedRun run(&hub, heard);
    run.SetSignalLead(output->LatencyMs());
    hub.NewSeries(2, 0, 0);
    run.Begin(TimedDrill{1000, 1000, 1000, 1, 2, 0}, 1);  // windows open at samples 100 and 150
    for (int k = 0; k < 170; ++k) {
        if (k == 100 || k == 150) heard.opened.push_back(Clock::now());
        hub.FeedSample(10, 10, 0, 0, -1);
        recorder->Read(40);
    }
    recorder->Read(300);
    ASSERT_EQ(heard.opened.size(), 2u);
    double worst = 0;
    for (const Clock::time_point opened : heard.opened) {
        const std::size_t onset = Onset(S(), recorder->IndexAt(opened - std::chrono::milliseconds(100)));
        ASSERT_LT(onset + kRate / 50, S().size());
        // the rising pair's first pip, not the "Attention" pip or anything else
        EXPECT_GT(ToneLevel(onset + kRate / 200, 1320), 4 * ToneLevel(onset + kRate / 200, 660));
        const double heardMs = MsBetween(opened, recorder->TimeOf(onset));
        worst = std::max(worst, heardMs);
        EXPECT_GE(heardMs, 0.0) << "heard before the window opened";
        std::printf("start signal heard %.1f ms after its window opened (device latency %.1f ms, sent %d ms ahead)\n",
                    heardMs, deviceMs, output->LatencyMs());
    }
    EXPECT_LE(worst, 30.0);
    RecordProperty("start_signal_after_opening_ms", std::to_string(worst));
}

// Waiting for a clip returns when it has played out, or at once when another thread ends it.
TEST_F(RealOutput, AWaitingCallerReturnsWhenTheClipEndsOrIsStopped) {
    const SoundPtr tone = SineClip(440, 6000, 500);
    QElapsedTimer clock;
    clock.start();
    output->PlayAndWait(tone);
    EXPECT_GE(clock.elapsed(), 450);
    EXPECT_LT(clock.elapsed(), 3000);

    std::thread other([&] {
        QThread::msleep(100);
        output->StopAllClips();
    });
    clock.restart();
    output->PlayAndWait(tone);
    other.join();
    EXPECT_LT(clock.elapsed(), 450);
}

}  // namespace
}  // namespace zark
