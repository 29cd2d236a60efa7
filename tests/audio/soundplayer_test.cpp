// The sound player: tone choice, shot sounds and their folder, the spoken results and the sweep.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "audio/soundplayer.h"
#include "audio/tonebank.h"
#include "i18n/uistrings.h"
#include "recordingoutput.h"
#include "settings/settings.h"
#include "support/testsupport.h"

namespace zark {
namespace {

using test::RecordingOutput;
using Kind = RecordingOutput::Kind;

// A player on a recording output, with the default tones and no sound folder.
struct PlayerScenario : ::testing::Test {
    PlayerScenario() {
        LoadUiStrings();
        BuildToneBank(Settings::Defaults());
        player.SetAnnouncementDelay(std::chrono::milliseconds(0));
    }
    RecordingOutput output;
    SoundPlayer player{&output, {}};
};

TEST_F(PlayerScenario, TheToneFollowsTheLevelRoundedUp) {
    // 9.0, 9.0, 9.4: tone 9 starts, stays, then tone 10
    for (const double level : {9.0, 9.0, 9.4}) player.SelectTone(level);
    auto events = output.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, Kind::Play);
    EXPECT_EQ(events[0].sound, ToneSound(9));
    EXPECT_TRUE(events[0].loop);
    EXPECT_EQ(events[1].sound, ToneSound(10));
    EXPECT_EQ(player.CurrentTone(), 10);

    // no aim point silences; the next sample scoring 0 starts tone 0
    output.Clear();
    player.SelectTone(-1);
    player.SelectTone(0);
    events = output.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, Kind::Stop);
    EXPECT_EQ(events[1].sound, ToneSound(0));

    // 10.9 is tone 11; a level above it stays on tone 11
    output.Clear();
    player.SelectTone(10.9);
    player.SelectTone(12.5);
    ASSERT_EQ(output.Events().size(), 1u);
    EXPECT_EQ(output.Events()[0].sound, ToneSound(11));
}

TEST_F(PlayerScenario, AnAnnouncementFreezesTheToneAndItStaysEndedAfterwards) {
    player.SelectTone(5);
    output.Hold();
    player.AnnounceInteger(9, 90);
    ASSERT_TRUE(output.WaitUntilHeld(1));
    EXPECT_TRUE(SoundPlayer::Announcing());
    player.SelectTone(7);  // ignored while the words are said
    player.SelectTone(-1);
    output.Release();
    player.WaitForAnnouncements();
    EXPECT_FALSE(SoundPlayer::Announcing());
    EXPECT_EQ(player.CurrentTone(), 5);
    const std::size_t before = output.Events().size();
    player.SelectTone(5);  // the same level: the word ended the tone and it stays ended
    EXPECT_EQ(output.Events().size(), before);
    player.SelectTone(6);
    EXPECT_EQ(output.Events().back().sound, ToneSound(6));
}

TEST(Announcement, WordListsOfTheWorkedExamples) {
    using W = WordList;
    EXPECT_EQ(DecimalAnnouncement(9.7, 100), (W{1165, 2167, 2172, 0}));  // nine, seven, three o'clock
    EXPECT_EQ(IntegerAnnouncement(10, 5), (W{1156, 2181, 0, 0}));        // ten, twelve o'clock
    EXPECT_EQ(IntegerAnnouncement(10, 344), (W{1156, 2180, 0, 0}));      // ten, eleven o'clock
    EXPECT_EQ(DecimalAnnouncement(10.4, -1), (W{1156, 2164, 0, 0}));     // the exact centre: no direction
    EXPECT_EQ(IntegerAnnouncement(0, 200), (W{1166, 2176, 0, 0}));       // zero, seven o'clock
    EXPECT_EQ(DecimalAnnouncement(0.0, 0), (W{1166, 2160, 2181, 0}));
    EXPECT_EQ(DecimalAnnouncement(11.0, 90)[0], 0);  // nothing is said
    EXPECT_EQ(IntegerAnnouncement(-1, 90)[0], 0);
    // decimal tenths read as whole tenths, however the score was summed
    EXPECT_EQ(DecimalAnnouncement(9.0 + 0.3, 90)[1], 2163);
    EXPECT_EQ(DecimalAnnouncement(10.0 + 0.7 - 0.4, 90)[1], 2163);
    // the clock sectors, 30 degrees centred on each hour
    const std::pair<int, int> sectors[] = {{0, 2181},   {14, 2181},  {15, 2170},  {44, 2170},  {45, 2171},
                                           {314, 2179}, {315, 2180}, {344, 2180}, {345, 2181}, {359, 2181}};
    for (const auto& [bearing, word] : sectors) EXPECT_EQ(DirectionWord(bearing), word) << bearing;
    EXPECT_EQ(NumberWord(1), 1157);
    EXPECT_EQ(NumberWord(9), 1165);
}

TEST_F(PlayerScenario, EachAnnouncementSaysItsOwnWordsInTheLoadedLanguage) {
    output.Hold();
    player.AnnounceDecimal(9.7, 100);
    ASSERT_TRUE(output.WaitUntilHeld(1));  // the first word is being said
    player.AnnounceInteger(10, 5);         // a second shot while the first still speaks
    output.Release();
    player.WaitForAnnouncements();

    const UiLanguage language = ActiveUiLanguage();
    std::vector<SoundPtr> expected;
    for (const int id : {1165, 2167, 2172, 1156, 2181}) expected.push_back(WordSound(language, id));
    for (const SoundPtr& word : expected) ASSERT_TRUE(word);
    EXPECT_EQ(output.Sounds(Kind::PlayAndWait), expected);
}

TEST(Announcement, EveryLanguageHasItsOwnWords) {
    const SoundPtr english = WordSound(UiLanguage::English, 2172);
    const SoundPtr german = WordSound(UiLanguage::German, 2172);
    ASSERT_TRUE(english);
    ASSERT_TRUE(german);
    EXPECT_NE(english->samples, german->samples);
    EXPECT_EQ(WordSound(UiLanguage::Swedish, 2163)->samples, WordSound(UiLanguage::Swedish, 1159)->samples);
    EXPECT_FALSE(WordSound(UiLanguage::German, 42));
}

TEST(SoundFolder, TheListComesFromTheFirstFolderThatExists) {
    QTemporaryDir root;
    const QDir dir(root.path());
    dir.mkpath(QStringLiteral("second/sub.wav"));  // a folder is not a sound
    const QByteArray shipped = [] {
        QFile file(QString::fromStdString(test::SourceDir() + "/../resources/sound/Click.wav"));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    for (const char* name :
         {"second/Bang.wav", "second/Zip.v2.WAV", "second/notes.txt", "second/Broken.wav"}) {
        QFile file(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArrayView(name).endsWith("Broken.wav") ? QByteArray("RIFF") : shipped);
    }
    RecordingOutput output;
    SoundPlayer player(&output,
                       {dir.filePath(QStringLiteral("first")), dir.filePath(QStringLiteral("second"))});
    EXPECT_EQ(player.SoundFolder(), dir.filePath(QStringLiteral("second")));
    EXPECT_EQ(player.SoundNames(), (std::vector<std::string>{"Bang", "Broken", "Zip.v2"}));

    player.PlayShotSound("Zip.v2");
    player.PlayShotSound("Bang");
    ASSERT_EQ(output.Events().size(), 2u);
    EXPECT_EQ(output.Events()[1].kind, Kind::Play);
    EXPECT_FALSE(output.Events()[1].loop);
    EXPECT_GT(output.Events()[1].sound->Frames(), 0);

    // "(none)" of any language and the empty name mean no sound; a file that cannot be played is
    // logged once and skipped
    output.Clear();
    for (const char* name : {"(none)", "(Ruhe)", "(tyst)", "(nada)", "", "Broken", "Broken", "Missing"})
        player.PlayShotSound(name);
    EXPECT_TRUE(output.Events().empty());
    const std::string log = test::LogText();
    EXPECT_EQ(test::CountOf(log, "Broken.wav' cannot be played: not a WAVE file"), 1);
    EXPECT_EQ(test::CountOf(log, "Missing.wav' cannot be played: cannot be opened"), 1);

    SoundPlayer none(&output, {dir.filePath(QStringLiteral("first"))});
    EXPECT_TRUE(none.SoundNames().empty());
    EXPECT_TRUE(none.SoundFolder().isEmpty());
}

TEST(SoundFolder, TheCurrentFolderComesFirstThenTheProgramsOwn) {
    const std::vector<QString> folders = SoundFolderCandidates();
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0], QDir::current().absoluteFilePath(QStringLiteral("Sound")));
    EXPECT_TRUE(folders[1].endsWith(QStringLiteral("/Sound")));
    EXPECT_TRUE(folders[2].endsWith(QStringLiteral("/share/zark/Sound")));
}

TEST_F(PlayerScenario, TheTestSoundSweepPlaysTwelveTonesFromHighToLowAndLeavesTheBank) {
    BuildToneBank(1760, 440, 60);
    const std::vector<std::int16_t> bankTone = ToneSound(11)->samples;
    player.PlayToneSweep(8869, 220);
    const std::vector<SoundPtr> tones = output.Sounds(Kind::PlayAndWait);
    ASSERT_EQ(tones.size(), 12u);
    double previous = 1e9;
    for (const SoundPtr& tone : tones) {
        EXPECT_EQ(tone->DurationMs(), 500);
        const double frequency = test::ZeroCrossingFrequency(*tone);
        EXPECT_LT(frequency, previous);
        previous = frequency;
        // the fixed amplitude 24
        const auto [low, high] = std::minmax_element(tone->samples.begin(), tone->samples.end());
        EXPECT_GE(*low, -24 * 256);
        EXPECT_LE(*high, 24 * 256);
    }
    EXPECT_NEAR(test::ZeroCrossingFrequency(*tones.front()), 8869, 180);
    EXPECT_NEAR(test::ZeroCrossingFrequency(*tones.back()), 220, 5);
    EXPECT_EQ(ToneSound(11)->samples, bankTone);
    EXPECT_EQ(player.CurrentTone(), -1);
    BuildToneBank(Settings::Defaults());
}

TEST_F(PlayerScenario, TheAlertOfTheWarningsGoesThroughTheSameOutput) {
    player.PlayAlert();
    ASSERT_EQ(output.Events().size(), 1u);
    EXPECT_EQ(output.Events()[0].kind, Kind::Play);
    ASSERT_TRUE(output.Events()[0].sound);
    EXPECT_GT(output.Events()[0].sound->DurationMs(), 200);
}

}  // namespace
}  // namespace zark
