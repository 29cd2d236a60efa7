#pragma once

#include <array>
#include <cstdint>

#include "audio/wave.h"
#include "settings/settings.h"  // kToneFrequencies, the frequencies offered for the tones

namespace zark {

struct Settings;

// The blind-shooting tones: twelve half-second WAVE images in memory, from the peripheral tone
// (index 0) to the centre tone (index 11), spaced evenly on a logarithmic scale.
inline constexpr int kToneCount = 12;
inline constexpr int kToneSampleRate = 22050;
inline constexpr int kToneSamples = 11025;  // half a second
inline constexpr int kToneHeaderBytes = 44;
inline constexpr int kToneImageBytes = 11072;   // header, samples, three zero bytes
inline constexpr int kToneSweepAmplitude = 24;  // the Test Sound sweep's fixed amplitude

// One image: "RIFF" 11064 "WAVE", "fmt " 16, PCM, mono, 22050 Hz, 22050 bytes a second, block 1,
// 8 bits, "data" 11025, then unsigned 8-bit samples (silence 128).
using ToneImage = std::array<std::uint8_t, kToneImageBytes>;
using ToneImages = std::array<ToneImage, kToneCount>;


// Writes one image of frequency Hz at amplitude (the peak deviation from 128). The phase is
// taken in whole degrees, ⌊i × f × 360 / 22050⌋ mod 360; a sample beyond 0..255 (an amplitude
// above 127) is held at the limit.
void BuildToneImage(ToneImage& image, int frequency, int amplitude);

// The frequency of tone d (0..11) between the peripheral and the centre frequency:
// Fp × (Fc / Fp)^(d / 11), truncated to whole hertz. A frequency below 1 Hz counts as 1 Hz.
int ToneFrequency(int centre, int peripheral, int d);

// Builds twelve images as the bank would be built, into images.
void BuildToneImages(ToneImages& images, int centre, int peripheral, int amplitude);

// The process-wide bank, allocated once for the whole run. Built by the audio view when the
// settings reach it (at start-up and whenever they are applied), on the user-interface thread; a
// tone that plays keeps its own samples.
void BuildToneBank(int centre, int peripheral, int amplitude);
void BuildToneBank(const Settings& settings);  // CenterFrequency, PeripheralFrequency, Amplitude
const ToneImages& ToneBank();

// What the sound stream's oscillator plays for tone index of the bank: its frequency in hertz
// (0 for an index outside 0..11, and before the bank is built) and the bank's amplitude as the
// peak of a 16-bit sample (the 8-bit amplitude times 256).
int ToneBankFrequency(int index);
int ToneBankAmplitude();

// Tone index of the bank, ready for the output (null for an index outside 0..11). Silence until
// the bank is built.
SoundPtr ToneSound(int index);

// The sound of an image (its samples widened to 16 bits).
SoundPtr SoundOfToneImage(const ToneImage& image);

}  // namespace zark
