// Reading WAVE images: the forms a user's sound folder holds, and what must be refused safely.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QString>
#include <cstring>

#include "audio/wave.h"

// Designated initialisers name only what differs from the usual form.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include "support/testsupport.h"

namespace zark {
namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
}
void Tag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(tag[i]));
}

struct WaveSpec {
    int format = 1;
    int channels = 1;
    int rate = 22050;
    int bits = 16;
    bool extensible = false;
    std::vector<std::uint8_t> extraChunkBefore;  // an odd-sized "LIST" chunk before the data
    std::vector<std::uint8_t> data;
};

std::vector<std::uint8_t> Build(const WaveSpec& spec) {
    std::vector<std::uint8_t> w;
    Tag(w, "RIFF");
    Put(w, 0, 4);
    Tag(w, "WAVE");
    Tag(w, "fmt ");
    Put(w, spec.extensible ? 40 : 16, 4);
    Put(w, spec.extensible ? 0xFFFE : spec.format, 2);
    Put(w, spec.channels, 2);
    Put(w, spec.rate, 4);
    Put(w, spec.rate * spec.channels * spec.bits / 8, 4);
    Put(w, spec.channels * spec.bits / 8, 2);
    Put(w, spec.bits, 2);
    if (spec.extensible) {
        Put(w, 22, 2);
        Put(w, spec.bits, 2);
        Put(w, 3, 4);  // channel mask
        Put(w, spec.format, 2);
        for (int i = 0; i < 14; ++i) w.push_back(0);
    }
    if (!spec.extraChunkBefore.empty()) {
        Tag(w, "LIST");
        Put(w, std::uint32_t(spec.extraChunkBefore.size()), 4);
        w.insert(w.end(), spec.extraChunkBefore.begin(), spec.extraChunkBefore.end());
        if (spec.extraChunkBefore.size() & 1) w.push_back(0);
    }
    Tag(w, "data");
    Put(w, std::uint32_t(spec.data.size()), 4);
    w.insert(w.end(), spec.data.begin(), spec.data.end());
    const std::uint32_t riff = std::uint32_t(w.size() - 8);
    std::memcpy(&w[4], &riff, 4);
    return w;
}

SoundPtr Decode(const std::vector<std::uint8_t>& bytes, std::string* why = nullptr) {
    return DecodeWave(bytes, why);
}

TEST(Wave, ReadsTheFormsOfAUsersSoundFolder) {
    // 8-bit mono: widened around the middle value 128
    WaveSpec eight{.bits = 8, .data = {128, 255, 0, 129}};
    SoundPtr sound = Decode(Build(eight));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->samples, (std::vector<std::int16_t>{0, 127 * 256, -128 * 256, 256}));
    EXPECT_EQ(sound->channels, 1);
    EXPECT_EQ(sound->sampleRate, 22050);

    // 16-bit stereo at 44,100 Hz after an odd-sized chunk
    WaveSpec stereo{.channels = 2,
                    .rate = 44100,
                    .extraChunkBefore = {'a', 'b', 'c'},
                    .data = {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F}};
    sound = Decode(Build(stereo));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->samples, (std::vector<std::int16_t>{1, -1, -32768, 32767}));
    EXPECT_EQ(sound->Frames(), 2);
    EXPECT_EQ(sound->sampleRate, 44100);

    // the extensible header with a PCM sub-format, 48,000 Hz
    WaveSpec extensible{
        .channels = 2, .rate = 48000, .extensible = true, .data = std::vector<std::uint8_t>(48000 * 4, 0)};
    sound = Decode(Build(extensible));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->DurationMs(), 1000);

    // a data chunk that claims more than the file holds is read as far as it goes; an odd byte
    // of a 16-bit sample is left out
    std::vector<std::uint8_t> cut = Build(WaveSpec{.data = {1, 0, 2, 0, 3, 0}});
    cut.resize(cut.size() - 1);
    sound = Decode(cut);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->samples, (std::vector<std::int16_t>{1, 2}));
}

TEST(Wave, RefusesWhatItCannotPlayWithAReason) {
    std::string why;
    EXPECT_FALSE(Decode(Build(WaveSpec{.format = 3, .data = {0, 0, 0, 0}}), &why));  // float
    EXPECT_EQ(why, "not PCM");
    EXPECT_FALSE(Decode(Build(WaveSpec{.bits = 24, .data = {0, 0, 0}}), &why));
    EXPECT_EQ(why, "neither 8 nor 16 bits per sample");
    EXPECT_FALSE(Decode(Build(WaveSpec{.channels = 6, .data = {}}), &why));
    EXPECT_FALSE(Decode(Build(WaveSpec{.rate = 0, .data = {}}), &why));
    EXPECT_EQ(why, "sample rate out of range");
    EXPECT_FALSE(Decode({'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}, &why));
    EXPECT_EQ(why, "not a WAVE file");
    EXPECT_FALSE(Decode({}, &why));

    // a header cut anywhere never reads past the bytes given
    const std::vector<std::uint8_t> whole = Build(WaveSpec{.data = {1, 0, 2, 0}});
    for (std::size_t n = 0; n < 44; ++n) {
        const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + std::ptrdiff_t(n));
        EXPECT_FALSE(Decode(part)) << n;
    }
    // a chunk size near 4 GB
    std::vector<std::uint8_t> huge = whole;
    huge[16] = huge[17] = huge[18] = huge[19] = 0xFF;
    EXPECT_FALSE(Decode(huge));

    EXPECT_FALSE(LoadWave(QStringLiteral("no such file.wav"), &why));
    EXPECT_EQ(why, "cannot be opened");
}

TEST(Wave, TheProgramsOwnSoundsAreRecordedAsTheyMustBe) {
    // the spoken words: 34 in each language, 22,050 Hz mono 16-bit, each under a second and a half
    for (const char* language : {"en", "de", "sv", "es"}) {
        int count = 0;
        QDirIterator words(QStringLiteral(":/zark/words/%1").arg(QLatin1String(language)));
        while (words.hasNext()) {
            const QString path = words.next();
            const SoundPtr word = LoadWave(path);
            ASSERT_TRUE(word) << path.toStdString();
            EXPECT_EQ(word->sampleRate, 22050);
            EXPECT_EQ(word->channels, 1);
            EXPECT_GT(word->DurationMs(), 150) << path.toStdString();
            EXPECT_LT(word->DurationMs(), 1500) << path.toStdString();
            ++count;
        }
        EXPECT_EQ(count, 34) << language;
    }
    // the shipped shot sounds and the alert
    const QDir shipped(QString::fromStdString(test::SourceDir() + "/../resources/sound"));
    EXPECT_EQ(shipped.entryList({QStringLiteral("*.wav")}),
              (QStringList{QStringLiteral("Air Rifle.wav"), QStringLiteral("Click.wav"),
                           QStringLiteral("Pistol.wav"), QStringLiteral("Rifle.wav")}));
    for (const QString& file : shipped.entryList({QStringLiteral("*.wav")}))
        EXPECT_TRUE(LoadWave(shipped.filePath(file)));
    EXPECT_TRUE(LoadWave(QStringLiteral(":/zark/audio/exclamation.wav")));
}

}  // namespace
}  // namespace zark
