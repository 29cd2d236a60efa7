// The blind-shooting tones: the images byte for byte, their frequencies, and the bank.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "audio/tonebank.h"
#include "recordingoutput.h"
#include "settings/settings.h"

namespace zark {
namespace {

std::uint32_t U32(const ToneImage& image, int at) {
    return image[at] | image[at + 1] << 8 | image[at + 2] << 16 | std::uint32_t(image[at + 3]) << 24;
}
std::uint16_t U16(const ToneImage& image, int at) {
    return std::uint16_t(image[at] | image[at + 1] << 8);
}
std::string Tag(const ToneImage& image, int at) {
    return std::string(reinterpret_cast<const char*>(&image[at]), 4);
}

TEST(ToneImage, HeaderReadsAsTheWorkedExample) {
    auto image = std::make_unique<ToneImage>();
    image->fill(0xAA);  // every byte is written
    BuildToneImage(*image, 440, 24);
    EXPECT_EQ(Tag(*image, 0), "RIFF");
    EXPECT_EQ(U32(*image, 4), 11064u);
    EXPECT_EQ(Tag(*image, 8), "WAVE");
    EXPECT_EQ(Tag(*image, 12), "fmt ");
    EXPECT_EQ(U32(*image, 16), 16u);
    EXPECT_EQ(U16(*image, 20), 1);
    EXPECT_EQ(U16(*image, 22), 1);
    EXPECT_EQ(U32(*image, 24), 22050u);
    EXPECT_EQ(U32(*image, 28), 22050u);
    EXPECT_EQ(U16(*image, 32), 1);
    EXPECT_EQ(U16(*image, 34), 8);
    EXPECT_EQ(Tag(*image, 36), "data");
    EXPECT_EQ(U32(*image, 40), 11025u);
    EXPECT_EQ(image->size(), 11072u);
    EXPECT_EQ((*image)[11069], 0);
    EXPECT_EQ((*image)[11070], 0);
    EXPECT_EQ((*image)[11071], 0);
}

TEST(ToneImage, SamplesOfA440HzToneAtAmplitude24) {
    auto image = std::make_unique<ToneImage>();
    BuildToneImage(*image, 440, 24);
    const std::uint8_t* samples = image->data() + kToneHeaderBytes;
    EXPECT_EQ(samples[0], 128);
    // phase ⌊440 × 360 / 22050⌋ = 7 degrees: sin 7° × 24 + 128 = 130.92, truncated
    EXPECT_EQ(samples[1], 130);
    // sample 13: ⌊13 × 7.1837⌋ = 93 degrees: 0.99863 × 24 + 128 = 151.97
    EXPECT_EQ(samples[13], 151);
    // sample 38: 272 degrees: -0.99939 × 24 + 128 = 104.01
    EXPECT_EQ(samples[38], 104);
    int low = 255, high = 0;
    for (int i = 0; i < kToneSamples; ++i) {
        low = std::min<int>(low, samples[i]);
        high = std::max<int>(high, samples[i]);
    }
    EXPECT_EQ(low, 104);
    EXPECT_EQ(high, 152);
    // the waveform repeats about every 50.1 samples
    const SoundPtr sound = SoundOfToneImage(*image);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->samples.size(), std::size_t(kToneSamples));
    EXPECT_NEAR(22050.0 / test::ZeroCrossingFrequency(*sound), 50.1, 0.1);
}

TEST(ToneImage, TheHighestFrequencyDoesNotOverflowAndLoudTonesStayInRange) {
    auto image = std::make_unique<ToneImage>();
    BuildToneImage(*image, 11175, 24);  // i × f × 360 reaches 4.4e10
    const std::uint8_t* samples = image->data() + kToneHeaderBytes;
    // 11024 × 11175 × 360 / 22050 = 2011320 degrees, 0 mod 360... the last phase of the image
    const std::int64_t phase = std::int64_t(11024) * 11175 * 360 / 22050 % 360;
    EXPECT_EQ(samples[11024], std::uint8_t(int(std::sin(double(phase) * 0.0174532925) * 24 + 128)));
    BuildToneImage(*image, 440, 200);
    EXPECT_EQ(samples[13], 255);  // held at the limit
    EXPECT_EQ(samples[38], 0);
}

TEST(ToneBank, TwelveTonesFromThePeripheryToTheCentre) {
    EXPECT_EQ(ToneFrequency(8869, 220, 0), 220);
    EXPECT_NEAR(ToneFrequency(8869, 220, 11), 8869, 1);
    for (int d = 1; d < kToneCount; ++d) {
        const double ratio = double(ToneFrequency(8869, 220, d)) / ToneFrequency(8869, 220, d - 1);
        EXPECT_NEAR(ratio, 1.40, 0.01) << d;
    }
    // centre below the periphery: the pitch falls toward the centre
    EXPECT_LT(ToneFrequency(220, 8869, 11), ToneFrequency(220, 8869, 0));
    // a frequency that is not positive is taken as 1 Hz, never as a logarithm of zero
    EXPECT_EQ(ToneFrequency(0, 0, 5), 1);

    BuildToneBank(Settings::Defaults());
    const double expected[] = {220, 4528, 8869};
    const int tones[] = {0, 9, 11};
    for (int k = 0; k < 3; ++k) {
        const SoundPtr sound = ToneSound(tones[k]);
        ASSERT_TRUE(sound);
        EXPECT_NEAR(test::ZeroCrossingFrequency(*sound), expected[k], expected[k] * 0.02)
            << "tone " << tones[k];
    }
    EXPECT_FALSE(ToneSound(-1));
    EXPECT_FALSE(ToneSound(12));
}

TEST(ToneBank, RebuildingKeepsThePlayingToneAndFollowsTheSettings) {
    BuildToneBank(8869, 220, 24);
    const SoundPtr playing = ToneSound(5);
    const std::vector<std::int16_t> before = playing->samples;
    Settings settings = Settings::Defaults();
    settings.CenterFrequency = 1760;
    settings.PeripheralFrequency = 440;
    settings.Amplitude = 40;
    BuildToneBank(settings);
    EXPECT_EQ(playing->samples, before);  // the sound that plays is not rewritten under the output
    EXPECT_NE(ToneSound(5), playing);
    EXPECT_NEAR(test::ZeroCrossingFrequency(*ToneSound(11)), 1760, 30);
    EXPECT_EQ(ToneBank()[0][kToneHeaderBytes + 13],
              std::uint8_t(int(std::sin(13 * 440 * 360 / 22050 * 0.0174532925) * 40 + 128)));
    BuildToneBank(Settings::Defaults());
}

}  // namespace
}  // namespace zark
