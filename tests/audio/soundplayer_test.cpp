// The sound player: tone choice, shot sounds and their folder, the spoken results and the sweep.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "audio/soundmixer.h"
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
    // 9.0, 9.0, 9.4: tone 9 starts, stays, then tone 10, at the bank's frequencies and amplitude
    for (const double level : {9.0, 9.0, 9.4}) player.SelectTone(level);
    auto events = output.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, Kind::Tone);
    EXPECT_EQ(events[0].frequency, ToneFrequency(8869, 220, 9));
    EXPECT_EQ(events[0].amplitude, 24 * 256);
    EXPECT_EQ(events[0].holdMs, 0);
    EXPECT_EQ(events[1].frequency, ToneFrequency(8869, 220, 10));
    EXPECT_EQ(player.CurrentTone(), 10);

    // no aim point fades the tone; the next sample scoring 0 starts tone 0
    output.Clear();
    player.SelectTone(-1);
    player.SelectTone(0);
    events = output.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, Kind::Tone);
    EXPECT_EQ(events[0].frequency, 0);
    EXPECT_EQ(events[1].frequency, 220);

    // 10.9 is tone 11; a level above it stays on tone 11
    output.Clear();
    player.SelectTone(10.9);
    player.SelectTone(12.5);
    ASSERT_EQ(output.Events().size(), 1u);
    EXPECT_EQ(output.Events()[0].frequency, ToneFrequency(8869, 220, 11));

    // a held tone (replayed samples) is renewed by every sample, also of the same level; the
    // end of it all stops the tone outright
    output.Clear();
    player.SelectTone(10.9, 300);
    player.SelectTone(10.9, 300);
    player.StopTone();
    events = output.Events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].holdMs, 300);
    EXPECT_EQ(events[2].kind, Kind::StopTone);
    EXPECT_EQ(player.CurrentTone(), -1);
}

TEST_F(PlayerScenario, TheToneGoesOnUnderTheWordsAndLevelsStillReachTheOutput) {
    // The output holds the pitch while a voice plays; the player hands on every change at once,
    // so the last level is there the moment the words end.
    player.SelectTone(5);
    output.Hold();
    player.AnnounceInteger(9, 90);
    ASSERT_TRUE(output.WaitUntilHeld(1));
    EXPECT_TRUE(SoundPlayer::Announcing());
    player.SelectTone(7);
    output.Release();
    player.WaitForAnnouncements();
    EXPECT_FALSE(SoundPlayer::Announcing());
    const auto tones = output.Only(Kind::Tone);
    ASSERT_EQ(tones.size(), 2u);
    EXPECT_EQ(tones[1].frequency, ToneBankFrequency(7));
    EXPECT_TRUE(output.Only(Kind::StopTone).empty());  // nothing ended the tone
    EXPECT_EQ(output.Clips(ClipKind::Voice).size(), 1u);

    // a clip of another part of the program is mixed in as an effect, not in place of the tone
    output.Clear();
    const SoundPtr signal = SineClip(1000, 8000, 200);
    player.PlayClip(signal);
    EXPECT_EQ(output.Clips(ClipKind::Effect), std::vector<SoundPtr>{signal});
    EXPECT_EQ(output.Events().size(), 1u);
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

    // each result as one clip: its words back to back, as recorded
    const UiLanguage language = ActiveUiLanguage();
    const std::vector<SoundPtr> said = output.Clips(ClipKind::Voice);
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[0]->samples, test::JoinedWords(language, {1165, 2167, 2172})->samples);
    EXPECT_EQ(said[1]->samples, test::JoinedWords(language, {1156, 2181})->samples);
    EXPECT_EQ(said[0]->sampleRate, WordSound(language, 1165)->sampleRate);
}

TEST_F(PlayerScenario, CancellingDropsTheWaitingResultsAndCutsTheOneBeingSaid) {
    output.Hold();
    player.AnnounceDecimal(9.7, 100);
    ASSERT_TRUE(output.WaitUntilHeld(1));  // being said
    player.AnnounceInteger(10, 5);          // waiting for its turn
    player.CancelAnnouncements();
    const auto stops = output.Only(Kind::StopClips);
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].clip, ClipKind::Voice);
    output.Release();
    player.WaitForAnnouncements();
    EXPECT_EQ(output.Clips(ClipKind::Voice).size(), 1u);  // the second was never said

    // an announcement after the cancellation speaks as usual
    output.Clear();
    player.AnnounceInteger(8, 90);
    player.WaitForAnnouncements();
    ASSERT_EQ(output.Clips(ClipKind::Voice).size(), 1u);
    EXPECT_EQ(output.Clips(ClipKind::Voice)[0]->samples, test::JoinedWords(ActiveUiLanguage(), {1164, 2172})->samples);
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
    EXPECT_EQ(output.Events()[1].kind, Kind::Clip);
    EXPECT_EQ(output.Events()[1].clip, ClipKind::Effect);
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
    const std::vector<SoundPtr> tones = output.Clips(ClipKind::Effect);
    ASSERT_EQ(tones.size(), 12u);
    double previous = 1e9;
    for (const SoundPtr& tone : tones) {
        EXPECT_EQ(tone->DurationMs(), 500);
        const double frequency = test::ZeroCrossingFrequency(*tone);
        EXPECT_LT(frequency, previous);
        previous = frequency;
        // the fixed amplitude 24, around zero, starting and ending silent
        const auto [low, high] = std::minmax_element(tone->samples.begin(), tone->samples.end());
        EXPECT_GE(*low, -24 * 256);
        EXPECT_LE(*high, 24 * 256);
        EXPECT_GT(*high, 23 * 256);
        EXPECT_EQ(tone->samples.front(), 0);
        EXPECT_EQ(tone->samples.back(), 0);
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
    EXPECT_EQ(output.Events()[0].kind, Kind::Clip);
    ASSERT_TRUE(output.Events()[0].sound);
    EXPECT_GT(output.Events()[0].sound->DurationMs(), 200);
}

}  // namespace
}  // namespace zark
