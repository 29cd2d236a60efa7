// Sound speed: building the tones, a level change on the audio view, the mixer's share of a core
// while a tone and clips play, what a club shooter's minute sounds like from the mixer (gaps,
// pitch delay, frequency, words, the tone after the words), and, where a sound device answers
// (PULSE_SERVER or the user's own), a pitch change through the real stream.
#include <benchmark/benchmark.h>

#include <QAudioDevice>
#include <QMediaDevices>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <random>

#include "audio/audioview.h"
#include "audio/qtsoundoutput.h"
#include "audio/soundmixer.h"
#include "audio/soundplayer.h"
#include "audio/tonebank.h"
#include "core/shootinghub.h"
#include "settings/settings.h"
#include "targets/targetcatalogue.h"

namespace {

constexpr int kRate = zark::SoundMixer::kDefaultRate;
constexpr int kBlock = kRate / 100;  // 10 ms, as a device takes it
constexpr int kAmplitude = 24 * 256;

void BM_BuildToneBank(benchmark::State& state) {
    for (auto _ : state) {
        zark::BuildToneBank(8869, 220, 24);
        benchmark::DoNotOptimize(zark::ToneBank().data());
    }
}
BENCHMARK(BM_BuildToneBank)->Unit(benchmark::kMillisecond);

// A live sample that changes the level, through the hub and the audio view, to the output's call.
class CountingOutput final : public zark::SoundOutput {
public:
    void SetTone(double frequency, int, int) override { benchmark::DoNotOptimize(frequency); }
    void StopTone() override {}
    std::uint64_t PlayClip(zark::SoundPtr, zark::ClipKind) override { return 0; }
    void WaitForClip(std::uint64_t) override {}
    void StopClips(zark::ClipKind) override {}
};

void BM_SampleChangesTheTone(benchmark::State& state) {
    zark::TargetCatalogue catalogue;
    catalogue.Build();
    zark::Settings settings = zark::Settings::Defaults();
    settings.BlindShooting = 1;
    zark::ShootingHub hub;
    hub.SetSettings(&settings);
    hub.SetTargets(&catalogue.Entry(0), nullptr);
    CountingOutput output;
    zark::AudioView view(&hub, &output);
    int x = 0;
    for (auto _ : state) {
        x = x == 10 ? 2000 : 10;  // the centre, then the outer rings: a new tone every sample
        view.OnSample(x, 1, 0, 0, -1);
    }
}
BENCHMARK(BM_SampleChangesTheTone);

// 10 ms of the stream with the tone, a shot sound and words playing: the mixer's work per block
// of the device; core_percent is its share of one core.
void BM_MixerBlock(benchmark::State& state) {
    zark::SoundMixer mixer(kRate);
    mixer.SetTone(4435, kAmplitude, 0);
    const zark::SoundPtr shot = zark::SineClip(523, 12000, 100000, 44100);
    const zark::SoundPtr words = zark::SineClip(300, 12000, 100000, 22050);
    mixer.PlayClip(shot, zark::ClipKind::Effect);
    mixer.PlayClip(words, zark::ClipKind::Voice);
    std::vector<std::int16_t> block(kBlock);
    int level = 0;
    for (auto _ : state) {
        mixer.SetTone(level++ % 2 ? 4435 : 6270, kAmplitude, 0);
        mixer.Render(block.data(), kBlock);
        benchmark::DoNotOptimize(block.data());
    }
    state.counters["core_percent"] =
        benchmark::Counter(double(state.iterations()) * 1e-4, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MixerBlock)->Unit(benchmark::kMicrosecond);

// A club shooter's minute as the mixer renders it, block by block: a level change every
// 40..1000 ms, a shot with its words every 10 s. Counters: the longest stretch without the tone,
// the largest delay from a change to its new pitch, the worst frequency error, the words' length
// as played against as recorded, and how soon the tone is at full level after the words.
void BM_ClubShooterMinute(benchmark::State& state) {
    const auto frequency = [](int d) { return 220.0 * std::pow(8869.0 / 220.0, d / 11.0); };
    const zark::SoundPtr words = zark::SineClip(300, 12000, 1400, 22050);  // 1.4 s, as recorded
    double longestGapMs = 0, slowestPitchMs = 0, worstErrorPercent = 0, wordsMs = 0, backMs = 0;
    for (auto _ : state) {
        zark::SoundMixer mixer(kRate);
        std::mt19937 random(1);
        std::uniform_int_distribution<int> holdMs(40, 1000), levels(0, 11);
        std::vector<std::int16_t> block(kBlock);
        std::int64_t frame = 0, quietRun = 0, nextShot = 5 * kRate, voiceStart = -1;
        std::int64_t voiceEnd = -1, fullAgain = -1;
        std::uint64_t voice = 0;
        int tone = 0;
        mixer.SetTone(frequency(tone), kAmplitude, 0);
        while (frame < 60 * kRate) {
            std::int64_t changeAt = frame;
            tone = (tone + 1 + levels(random) % 11) % 12;
            mixer.SetTone(frequency(tone), kAmplitude, 0);
            const std::int64_t until = frame + std::int64_t(holdMs(random)) * kRate / 1000;
            // rising zero crossings of the held stretch, for its frequency
            std::int64_t firstRise = -1, lastRise = -1, rises = 0;
            int previous = 0;
            bool settled = false;
            while (frame < until) {
                if (frame >= nextShot && !voice) {
                    voice = mixer.PlayClip(words, zark::ClipKind::Voice);
                    voiceStart = frame;
                    nextShot += 10 * kRate;
                }
                mixer.Render(block.data(), kBlock);
                for (int i = 0; i < kBlock; ++i, ++frame) {
                    const int s = block[std::size_t(i)];
                    quietRun = std::abs(s) < kAmplitude / 8 ? quietRun + 1 : 0;
                    longestGapMs = std::max(longestGapMs, 1000.0 * double(quietRun) / kRate);
                    if (previous < 0 && s >= 0 && !voice && frame > changeAt + kRate / 200) {
                        if (firstRise < 0) firstRise = frame;
                        lastRise = frame;
                        ++rises;
                    }
                    previous = s;
                    if (fullAgain < 0 && voiceEnd >= 0 && std::abs(s) > kAmplitude * 0.9) fullAgain = frame;
                }
                if (!settled && !voice && mixer.SoundingFrequency() == frequency(tone)) {
                    settled = true;
                    slowestPitchMs = std::max(slowestPitchMs, 1000.0 * double(mixer.LastChangeFrame() - changeAt) / kRate);
                }
                if (voice && !mixer.ClipPlaying(voice)) {
                    voice = 0;
                    voiceEnd = frame;
                    wordsMs = 1000.0 * double(voiceEnd - voiceStart) / kRate;
                    fullAgain = -1;
                    changeAt = frame;
                    firstRise = -1;
                    rises = 0;
                }
                if (fullAgain >= 0 && voiceEnd >= 0) {
                    backMs = std::max(backMs, 1000.0 * double(fullAgain - voiceEnd) / kRate);
                    voiceEnd = -1;
                }
            }
            if (rises > 4) {
                const double found = double(rises - 1) * kRate / double(lastRise - firstRise);
                worstErrorPercent = std::max(worstErrorPercent, 100 * std::abs(found - frequency(tone)) / frequency(tone));
            }
        }
    }
    state.counters["longest_gap_ms"] = longestGapMs;
    state.counters["slowest_pitch_ms"] = slowestPitchMs;
    state.counters["worst_frequency_error_percent"] = worstErrorPercent;
    state.counters["words_ms"] = wordsMs;
    state.counters["words_recorded_ms"] = double(words->DurationMs());
    state.counters["tone_back_after_words_ms"] = backMs;
}
BENCHMARK(BM_ClubShooterMinute)->Unit(benchmark::kMillisecond)->Iterations(3);

// A pitch change through the real stream: from the call to the render that begins the new pitch.
// The device asks for sound in chunks when its queue runs low, so this is the wait for the next
// chunk, not a delay on top of the device's buffer: the recording of test_audio_output shows the
// new pitch as soon after its call as the first tone after its own.
void BM_ToneChangeToTheDevice(benchmark::State& state) {
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        state.SkipWithError("no sound device");
        return;
    }
    zark::BuildToneBank(8869, 220, 24);
    zark::QtSoundOutput output;
    zark::SoundPlayer player(&output, {});
    int level = 0;
    for (auto _ : state) {
        level = level == 9 ? 10 : 9;
        const std::int64_t before = output.RenderedFrames();
        player.SelectTone(level);
        // two feeds later the change has been rendered
        while (output.RenderedFrames() < before + 2 * kBlock) QThread::usleep(500);
        QThread::msleep(20);
        state.SetIterationTime(double(output.LastChangeMicroseconds()) / 1e6);
    }
    state.counters["device_buffer_ms"] = output.BufferMs();
    state.counters["stream_opens"] = output.Opens();
    player.StopTone();
}
BENCHMARK(BM_ToneChangeToTheDevice)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace
