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
#include <cmath>
#include <cstdio>
#include <memory>

#include "audio/qtsoundoutput.h"
#include "audio/soundplayer.h"
#include "audio/tonebank.h"
#include "i18n/uistrings.h"
#include "settings/settings.h"
#include "support/testsupport.h"

namespace zark {
namespace {

constexpr int kRate = 44100;  // of the null sink and the recording

// A PulseAudio daemon with one null sink "zark_test", in a runtime folder of its own, for the
// whole test program. Started before anything of Qt Multimedia runs, so the program's output
// finds this server and no other.
class PulseDaemon {
public:
    static PulseDaemon& Instance() {
        static PulseDaemon daemon;
        return daemon;
    }
    bool Running() const { return running_; }
    const std::string& Why() const { return why_; }

    ~PulseDaemon() {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(3000)) process_.kill();
            process_.waitForFinished(3000);
        }
    }

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
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardOutputFile(folder_.filePath(QStringLiteral("daemon.log")));
        // -n: no default script (no hardware, no D-Bus); --system=false keeps it a per-user
        // daemon also for root, which it warns about and then allows.
        process_.start(
            program,
            {QStringLiteral("--daemonize=no"), QStringLiteral("--system=false"), QStringLiteral("-n"),
             QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disallow-exit"),
             QStringLiteral("--use-pid-file=false"), QStringLiteral("--high-priority=no"),
             QStringLiteral("--realtime=no"), QStringLiteral("--disable-shm=true"),
             QStringLiteral("--log-target=stderr"),
             QStringLiteral("--load=module-null-sink sink_name=zark_test rate=%1 channels=1").arg(kRate),
             QStringLiteral("--load=module-native-protocol-unix socket=%1 auth-anonymous=1").arg(socket)});
        if (!process_.waitForStarted(5000)) {
            why_ = "pulseaudio does not start";
            return;
        }
        QElapsedTimer clock;
        clock.start();
        while (!QFileInfo::exists(socket) && clock.elapsed() < 10000 && process_.state() == QProcess::Running)
            process_.waitForFinished(50);
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

    QTemporaryDir folder_;
    QProcess process_;
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

// The frequency of the strongest component, 50 Hz to 11 kHz, to the nearest 5 Hz.
double DominantFrequency(const std::vector<std::int16_t>& s, std::size_t from, std::size_t count) {
    double best = 0, bestPower = -1;
    for (double f = 50; f <= 11000; f += 5) {
        const double p = Power(s, from, count, f);
        if (p > bestPower) {
            bestPower = p;
            best = f;
        }
    }
    return best;
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
            BuildToneBank(Settings::Defaults());
            {
                QtSoundOutput output;
                output.Play(ToneSound(3), true);
                output.PlayAndWait(ToneSound(4));  // returns: nothing can play it
                output.Play(ToneSound(5), false);
                output.Stop();
                if (output.DeviceWorked()) std::exit(2);
            }
            std::exit(test::CountOf(test::LogText(), "Sound: no sound device") == before + 1 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

class RealOutput : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PulseDaemon::Instance().Running())
            GTEST_SKIP() << "no PulseAudio daemon: " << PulseDaemon::Instance().Why();
        LoadUiStrings();
        BuildToneBank(Settings::Defaults());
    }
};

TEST_F(RealOutput, Tone9ArrivesAtItsFrequencyAndASpokenWordIsHeard) {
    Recorder recorder;
    ASSERT_TRUE(recorder.Started()) << "parec (pulseaudio-utils) is needed";
    // the monitor runs (silence) once parec is connected
    QElapsedTimer waited;
    waited.start();
    recorder.ReadWhile([&] { return recorder.Count() < std::size_t(kRate / 5) && waited.elapsed() < 15000; });
    ASSERT_GT(recorder.Count(), std::size_t(kRate / 10))
        << "the sink's monitor gives nothing: " << recorder.Errors();

    QtSoundOutput output;
    SoundPlayer player(&output, {});
    player.SetAnnouncementDelay(std::chrono::milliseconds(0));

    // tone 9 of the default bank, looped
    const std::size_t before = recorder.Count();
    const auto startCall = std::chrono::steady_clock::now();
    player.SelectTone(9.0);
    recorder.Read(900);
    const double startMs = double(output.LastStartMicroseconds()) / 1000;
    EXPECT_TRUE(output.DeviceWorked());
    const std::size_t onset = Onset(recorder.Samples(), before);
    ASSERT_LT(onset + kRate / 2, recorder.Count()) << "tone 9 did not arrive";
    const double expected = ToneFrequency(8869, 220, 9);
    const double found = DominantFrequency(recorder.Samples(), onset + kRate / 20, 8192);
    EXPECT_NEAR(found, expected, expected * 0.01) << "tone 9 is " << expected << " Hz";
    // the loop goes on past the half second of one image
    EXPECT_GT(Rms(recorder.Samples(), onset + kRate * 6 / 10, kRate / 10), 1000);

    // the level changes: tone 10 replaces tone 9
    const std::size_t change = recorder.Count();
    const auto changeCall = std::chrono::steady_clock::now();
    player.SelectTone(9.5);
    recorder.Read(400);
    const double changeMs = double(output.LastStartMicroseconds()) / 1000;
    const double tone10 = ToneFrequency(8869, 220, 10);
    std::size_t switched = recorder.Count();
    for (std::size_t i = change; i + 256 < recorder.Count(); i += 22) {
        if (Power(recorder.Samples(), i, 256, tone10) > Power(recorder.Samples(), i, 256, expected)) {
            switched = i;
            break;
        }
    }
    ASSERT_LT(switched, recorder.Count()) << "tone 10 did not arrive";
    EXPECT_NEAR(DominantFrequency(recorder.Samples(), switched + kRate / 20, 8192), tone10, tone10 * 0.01);

    // silence, then a spoken result
    player.SelectTone(-1);
    recorder.Read(300);
    const std::size_t quiet = recorder.Count();
    EXPECT_LT(Rms(recorder.Samples(), quiet - kRate / 10, kRate / 10), 50);
    player.AnnounceInteger(9, 90);  // "nine, three o'clock"
    recorder.ReadWhile([] { return SoundPlayer::Announcing(); });
    player.WaitForAnnouncements();
    recorder.Read(300);
    const std::size_t spoken = Onset(recorder.Samples(), quiet);
    ASSERT_LT(spoken, recorder.Count()) << "no word arrived";
    EXPECT_GT(Rms(recorder.Samples(), spoken, kRate / 5), 1000);
    std::size_t heard = 0;
    for (std::size_t i = quiet; i + 441 < recorder.Count(); i += 441)
        heard += Rms(recorder.Samples(), i, 441) > 300;
    EXPECT_GT(heard, 40u) << "under 0.4 s of the two words";  // two words of about half a second

    // The figures: from the call to the first samples handed to the device, and from the call to
    // the moment the sink played the first samples of the new tone.
    const double onsetMs = MsBetween(startCall, recorder.TimeOf(onset));
    const double switchMs = MsBetween(changeCall, recorder.TimeOf(switched));
    std::printf(
        "tone start handed to the device after %.2f ms, tone change after %.2f ms; tone played by "
        "the sink %.1f ms after the call, tone change %.1f ms after the call\n",
        startMs, changeMs, onsetMs, switchMs);
    RecordProperty("start_handoff_ms", std::to_string(startMs));
    RecordProperty("change_handoff_ms", std::to_string(changeMs));
    RecordProperty("tone_onset_ms", std::to_string(onsetMs));
    RecordProperty("tone_change_ms", std::to_string(switchMs));
}

TEST_F(RealOutput, AWaitingCallerReturnsWhenTheSoundEndsOrIsReplaced) {
    QtSoundOutput output;
    const SoundPtr tone = SoundOfToneImage(ToneBank()[3]);  // half a second
    QElapsedTimer clock;
    clock.start();
    output.PlayAndWait(tone);
    EXPECT_GE(clock.elapsed(), 450);
    EXPECT_LT(clock.elapsed(), 3000);

    // a sound started on another thread ends the one being waited for at once
    std::thread other([&] {
        QThread::msleep(100);
        output.Play(tone, true);
    });
    clock.restart();
    output.PlayAndWait(tone);
    other.join();
    EXPECT_LT(clock.elapsed(), 450);
    output.Stop();
}

}  // namespace
}  // namespace zark
