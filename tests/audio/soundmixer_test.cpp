// The mixer rendered by hand: a session of a simulated club shooter whose level changes every
// 40..1000 ms, the tone's fades and its pitch held under the words, clips over the tone, and a
// replayed tone that ends by itself.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <thread>

#include "audio/soundmixer.h"
#include "recordingoutput.h"

namespace zark {
namespace {

constexpr int kRate = SoundMixer::kDefaultRate;
constexpr int kBlock = kRate / 100;  // what a device takes at a time: 10 ms
constexpr int kAmplitude = 24 * 256;

struct MixerScenario : ::testing::Test {
    // Renders ms more of the stream onto what was rendered.
    void Render(int ms) {
        for (int left = ms * kRate / 1000; left > 0; left -= kBlock) {
            const int frames = std::min(left, kBlock);
            const std::size_t at = stream.size();
            stream.resize(at + std::size_t(frames));
            mixer.Render(stream.data() + at, frames);
        }
    }
    std::size_t Now() const { return stream.size(); }
    // The stretch from..to of the stream as a sound of its own.
    PcmSound Part(std::size_t from, std::size_t to) const {
        PcmSound part;
        part.sampleRate = kRate;
        part.samples.assign(stream.begin() + std::ptrdiff_t(from), stream.begin() + std::ptrdiff_t(to));
        return part;
    }
    int Peak(std::size_t from, std::size_t to) const {
        int peak = 0;
        for (std::size_t i = from; i < to; ++i) peak = std::max(peak, std::abs(int(stream[i])));
        return peak;
    }

    SoundMixer mixer{kRate};
    std::vector<std::int16_t> stream;
};

// A sound of count samples of one value: laid over the tone it only lowers it.
SoundPtr Flat(int value, int count, int rate) {
    auto sound = std::make_shared<PcmSound>();
    sound->sampleRate = rate;
    sound->samples.assign(std::size_t(count), std::int16_t(value));
    return sound;
}

TEST_F(MixerScenario, AClubShootersMinuteIsOneUnbrokenToneThatFollowsEveryLevel) {
    std::mt19937 random(25);
    std::uniform_int_distribution<int> holdMs(40, 1000);
    std::uniform_int_distribution<int> level(0, 11);
    const auto frequency = [](int d) { return 220.0 * std::pow(8869.0 / 220.0, d / 11.0); };
    struct Held {
        std::size_t from, to;
        double frequency;
    };
    std::vector<Held> held;
    int previous = 0;
    mixer.SetTone(frequency(0), kAmplitude, 0);
    Render(20);  // past the fade in
    const std::size_t start = Now();
    while (Now() < start + std::size_t(60 * kRate)) {
        int d = level(random);
        if (d == previous) d = (d + 1) % 12;
        previous = d;
        mixer.SetTone(frequency(d), kAmplitude, 0);
        const std::size_t from = Now();
        Render(holdMs(random) / 10 * 10);  // the device takes whole blocks
        held.push_back({from, Now(), frequency(d)});
    }
    ASSERT_GT(held.size(), 100u);

    // no gap: every millisecond carries the tone, and no sample jumps further than the highest
    // tone's steepest slope allows (a broken phase would)
    double sum = 0;
    const double slope = 2 * std::numbers::pi * 8869 * kAmplitude / kRate;
    int steepest = 0;
    for (std::size_t i = start; i < Now(); ++i) {
        sum += stream[i];
        if (i > start) steepest = std::max(steepest, std::abs(stream[i] - stream[i - 1]));
    }
    EXPECT_LE(steepest, slope * 1.01);
    std::size_t quietMs = 0;
    for (std::size_t i = start; i + kRate / 1000 <= Now(); i += kRate / 1000)
        quietMs += Peak(i, i + kRate / 1000) < kAmplitude / 2;
    EXPECT_EQ(quietMs, 0u);
    // no offset
    EXPECT_LT(std::abs(sum / double(Now() - start)), 5.0);

    // every level at its frequency within 0.5 %, from the first zero crossing after the change
    // (half a period of the old tone at most) to the next change
    for (const Held& h : held) {
        const auto settle = std::size_t(kRate / 220 / 2 + 2);
        const double found = test::ZeroCrossingFrequency(Part(h.from + settle, h.to));
        EXPECT_NEAR(found, h.frequency, h.frequency * 0.005) << "at " << double(h.from) / kRate << " s";
    }
}

TEST_F(MixerScenario, TheToneFadesInAndOutAndChangesPitchAtAZeroCrossing) {
    mixer.SetTone(1000, kAmplitude, 0);
    Render(20);
    // 5 ms in: from zero up, never above the fade
    const int fade = SoundMixer::kFadeMs * kRate / 1000;
    EXPECT_EQ(stream[0], 0);
    for (int i = 0; i < fade; ++i) EXPECT_LE(std::abs(stream[std::size_t(i)]), kAmplitude * (i + 1) / fade + 1);
    EXPECT_GT(Peak(std::size_t(fade), Now()), kAmplitude - 10);
    EXPECT_EQ(mixer.SoundingFrequency(), 1000);

    // a new pitch begins where the old tone crosses zero
    mixer.SetTone(3000, kAmplitude, 0);
    const std::size_t change = Now();
    Render(10);
    EXPECT_EQ(mixer.SoundingFrequency(), 3000);
    EXPECT_NEAR(test::ZeroCrossingFrequency(Part(change + kRate / 2000, Now())), 3000, 15);
    EXPECT_GE(mixer.LastChangeMicroseconds(), 0);

    // frequency 0 fades the tone out within 5 ms; the stream goes on, silent
    mixer.SetTone(0, 0, 0);
    const std::size_t off = Now();
    Render(20);
    EXPECT_EQ(mixer.SoundingFrequency(), 0);
    EXPECT_EQ(Peak(off + std::size_t(fade) + 1, Now()), 0);
    EXPECT_GT(Peak(off, off + std::size_t(fade) / 2), 0);
}

TEST_F(MixerScenario, ClipsAreMixedOverTheToneAndTheWordsHoldItsPitch) {
    mixer.SetTone(440, kAmplitude, 0);
    Render(50);
    // a shot sound (here a silent one, 22,050 Hz, 100 ms) lowers the tone about 6 dB, no more
    const std::uint64_t shot = mixer.PlayClip(Flat(0, 2205, 22050), ClipKind::Effect);
    const std::size_t clipStart = Now();
    Render(50);
    EXPECT_TRUE(mixer.ClipPlaying(shot));
    const int lowered = Peak(clipStart + std::size_t(kRate / 100), Now());
    EXPECT_NEAR(lowered, kAmplitude * SoundMixer::kDuck, 20);
    Render(60);
    EXPECT_FALSE(mixer.ClipPlaying(shot));  // played at its own rate: 100 ms
    EXPECT_GT(Peak(Now() - kRate / 200, Now()), kAmplitude - 10);

    // words: the level changes twice while they are said; the tone keeps its pitch under them
    // and takes the last one as they end
    const std::uint64_t words = mixer.PlayClip(Flat(1000, 11025, 22050), ClipKind::Voice);  // 500 ms
    Render(100);
    mixer.SetTone(880, kAmplitude, 0);
    Render(100);
    mixer.SetTone(1320, kAmplitude, 0);
    Render(100);
    EXPECT_EQ(mixer.SoundingFrequency(), 440);
    Render(200);
    EXPECT_TRUE(mixer.ClipPlaying(words) || mixer.SoundingFrequency() == 1320);
    Render(10);
    EXPECT_FALSE(mixer.ClipPlaying(words));
    EXPECT_EQ(mixer.SoundingFrequency(), 1320);
    const std::size_t after = Now();
    Render(50);
    EXPECT_NEAR(test::ZeroCrossingFrequency(Part(after, Now())), 1320, 7);
    EXPECT_GT(Peak(after + kRate / 100, Now()), kAmplitude - 10);  // back to its full level

    // a stop is not held back by the words
    mixer.PlayClip(Flat(0, 22050, 22050), ClipKind::Voice);
    mixer.StopTone();
    Render(10);
    EXPECT_EQ(mixer.SoundingFrequency(), 0);
    mixer.StopClips(ClipKind::Voice);

    // loud clips together are held at the limits of a sample, never wrapped round
    mixer.PlayClip(Flat(30000, 2205, 22050), ClipKind::Effect);
    mixer.PlayClip(Flat(30000, 2205, 22050), ClipKind::Effect);
    const std::size_t loud = Now();
    Render(20);
    EXPECT_EQ(*std::min_element(stream.begin() + std::ptrdiff_t(loud), stream.end()), 32767);
}

TEST_F(MixerScenario, AHeldToneEndsByItselfAndAWaitingCallerReturns) {
    mixer.SetTone(660, kAmplitude, 100);  // a replayed sample
    Render(60);
    mixer.SetTone(660, kAmplitude, 100);  // the next one, 60 ms later
    Render(60);
    EXPECT_EQ(mixer.SoundingFrequency(), 660);
    Render(60);  // none came: the replay paused or ended
    EXPECT_EQ(mixer.SoundingFrequency(), 0);
    EXPECT_EQ(Peak(Now() - kRate / 100, Now()), 0);

    // a caller on another thread waits for its clip until the device has played it out
    const std::uint64_t ticket = mixer.PlayClip(Flat(0, 2400, kRate), ClipKind::Effect);  // 50 ms
    std::atomic<bool> returned{false};
    std::thread waiter([&] {
        mixer.WaitForClip(ticket);
        returned = true;
    });
    Render(60);
    EXPECT_FALSE(mixer.ClipPlaying(ticket));
    waiter.join();
    EXPECT_TRUE(returned);

    // without a device nothing plays and nobody waits
    mixer.SetSilent(true);
    const std::uint64_t lost = mixer.PlayClip(Flat(0, 4800, kRate), ClipKind::Voice);
    mixer.WaitForClip(lost);
    EXPECT_FALSE(mixer.ClipPlaying(lost));
    EXPECT_FALSE(mixer.ClipPlaying(mixer.PlayClip(nullptr, ClipKind::Effect)));
}

}  // namespace
}  // namespace zark
