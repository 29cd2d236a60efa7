// Sound speed: building the twelve tones, a level change on the audio view, and, where a sound
// device answers (PULSE_SERVER or the user's own), the time from a level change to the new tone's
// first samples handed to the device.
#include <benchmark/benchmark.h>

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QThread>

#include "audio/audioview.h"
#include "audio/qtsoundoutput.h"
#include "audio/soundplayer.h"
#include "audio/tonebank.h"
#include "core/shootinghub.h"
#include "settings/settings.h"
#include "targets/targetcatalogue.h"

namespace {

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
    void Play(zark::SoundPtr sound, bool) override { benchmark::DoNotOptimize(sound.get()); }
    void PlayAndWait(zark::SoundPtr) override {}
    void Stop() override {}
};

void BM_SampleChangesTheTone(benchmark::State& state) {
    zark::TargetCatalogue catalogue;
    catalogue.Build();
    zark::Settings settings = zark::Settings::Defaults();
    settings.BlindShooting = 1;
    zark::BuildToneBank(settings);
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
        player.SelectTone(level);
        // wait for the hand-over; the figure is the output's own measurement from the call on
        while (output.LastStartMicroseconds() < 0) QThread::usleep(200);
        QThread::msleep(60);
        state.SetIterationTime(double(output.LastStartMicroseconds()) / 1e6);
    }
    player.SelectTone(-1);
}
BENCHMARK(BM_ToneChangeToTheDevice)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace
