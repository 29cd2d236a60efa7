// The audio view on a live hub with real faces: the tone on live samples, the shot sound by
// weapon class, the spoken results, and replayed shots.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "../targets/builtcatalogue.h"
#include "audio/audioview.h"
#include "audio/tonebank.h"
#include "core/shootinghub.h"
#include "i18n/uistrings.h"
#include "recordingoutput.h"
#include "settings/settings.h"
#include "support/allocationwatch.h"
#include "support/testsupport.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

using test::RecordingOutput;
using Kind = RecordingOutput::Kind;

const TargetDescriptor* Face(int identity) {
    TargetPair pair;
    return test::BuiltCatalogue().FindByIdentity(identity, pair) ? pair.first : nullptr;
}

// The first x to the right of the centre (bearing 90, three o'clock) whose score satisfies want.
template <typename Want>
int XScoring(const TargetDescriptor& face, Want want) {
    for (int x = 1; x < 200000; ++x)
        if (want(face.ScoreShot(x, 0))) return x;
    ADD_FAILURE() << "no such score on face " << face.Identity();
    return 1;
}

// A hub with the audio view attached, a "Sound" folder in the current directory holding
// "Bang.wav" and "Pop.wav", and a recording output.
struct AudioViewScenario : ::testing::Test {
    AudioViewScenario() {
        LoadUiStrings();
        BuildToneBank(Settings::Defaults());
        QDir().mkpath(QStringLiteral("Sound"));
        for (const char* name : {"Sound/Bang.wav", "Sound/Pop.wav"})
            QFile::copy(QString::fromStdString(test::SourceDir() + "/../resources/sound/Click.wav"),
                        QLatin1String(name));
        settings.SoundRifle = "Bang";
        settings.SoundPistol = "Pop";
        hub.SetSettings(&settings);
        hub.SetTargets(Face(1050), nullptr);  // rifle 300 m
        view = std::make_unique<AudioView>(&hub, &output);
        view->Player().SetAnnouncementDelay(std::chrono::milliseconds(0));
    }
    ~AudioViewScenario() override { QDir(QStringLiteral("Sound")).removeRecursively(); }

    // The sounds started with Play since the last look, and the words said.
    std::vector<RecordingOutput::Event> Take() {
        view->Player().WaitForAnnouncements();
        auto events = output.Events();
        output.Clear();
        return events;
    }
    // One announcement of these words, as the voice clips of Said show it.
    static std::vector<std::vector<std::int16_t>> Words(std::initializer_list<int> ids) {
        return {test::JoinedWords(ActiveUiLanguage(), ids)->samples};
    }
    static std::vector<std::vector<std::int16_t>> Said(const std::vector<RecordingOutput::Event>& events) {
        std::vector<std::vector<std::int16_t>> said;
        for (const auto& event : events)
            if (event.kind == Kind::Clip && event.clip == ClipKind::Voice) said.push_back(event.sound->samples);
        return said;
    }

    Settings settings = Settings::Defaults();
    ShootingHub hub;
    RecordingOutput output;
    std::unique_ptr<AudioView> view;
};

TEST_F(AudioViewScenario, TheToneRisesAsTheAimNearsTheCentre) {
    settings.BlindShooting = 1;
    hub.SetSettings(&settings);
    const TargetDescriptor& face = *Face(1050);
    const int nine = XScoring(face, [](double s) { return s == 9.0; });
    const int eight = XScoring(face, [](double s) { return s == 8.0; });
    // aim drifting in from outside the rings to the nine, held there, then lost
    for (const auto& [x, y] :
         std::vector<std::pair<int, int>>{{100000, 0}, {eight, 0}, {nine, 0}, {nine, 1}, {0, 0}})
        hub.FeedSample(x, y, 0, 0, -1);
    const auto events = Take();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].frequency, 220);
    EXPECT_EQ(events[1].frequency, ToneFrequency(8869, 220, 8));
    EXPECT_EQ(events[2].frequency, ToneFrequency(8869, 220, 9));
    EXPECT_EQ(events[2].holdMs, 0);  // a live tone lasts until told otherwise
    EXPECT_EQ(events[3].kind, Kind::Tone);
    EXPECT_EQ(events[3].frequency, 0);

    // the end of the acquisition stops the tone
    hub.FeedSample(eight, 0, 0, 0, -1);
    hub.StartAcquisition();
    hub.StopAcquisition();
    auto after = Take();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].kind, Kind::StopTone);

    // turning blind shooting off stops the tone at once
    hub.FeedSample(nine, 0, 0, 0, -1);
    settings.BlindShooting = 0;
    hub.SetSettings(&settings);
    hub.FeedSample(nine / 2, 0, 0, 0, -1);
    after = Take();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].kind, Kind::StopTone);
    EXPECT_EQ(view->Player().CurrentTone(), -1);

    // applied settings with other frequencies rebuild the tones
    settings.CenterFrequency = 1760;
    hub.SetSettings(&settings);
    EXPECT_EQ(ToneBankFrequency(11), ToneFrequency(1760, 220, 11));
    EXPECT_NEAR(test::ZeroCrossingFrequency(*ToneSound(11)), 1760, 30);
    settings = Settings::Defaults();
    hub.SetSettings(&settings);
}

TEST_F(AudioViewScenario, AShotSoundsByWeaponClassAndTellsItsResult) {
    const int nine = XScoring(*Face(1050), [](double s) { return s == 9.0; });
    hub.FeedSample(nine, 0, 1, 0, -1);
    auto events = Take();
    ASSERT_EQ(events.size(), 1u);  // the rifle sound, nothing said
    EXPECT_EQ(events[0].kind, Kind::Clip);
    EXPECT_EQ(events[0].clip, ClipKind::Effect);

    settings.TellResult = 1;
    hub.SetSettings(&settings);
    hub.FeedSample(nine, 0, 1, 0, -1);
    events = Take();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(Said(events), Words({1165, 2172}));  // nine, three o'clock

    // a decimal air-rifle face says the tenth; the sound is the rifle's
    hub.SetTargets(Face(1400), nullptr);
    Take();  // a new face: results still to come are dropped (none here)
    const TargetDescriptor& decimal = *Face(1400);
    const int x = XScoring(decimal, [](double s) { return s >= 9.7 && s < 9.75; });
    hub.FeedSample(x, 0, 1, 0, -1);
    events = Take();
    EXPECT_EQ(events[0].clip, ClipKind::Effect);
    EXPECT_EQ(Said(events), Words({1165, 2167, 2172}));

    // a pistol face plays the pistol's sound: another file
    hub.SetTargets(Face(5100), nullptr);
    Take();
    const SoundPtr rifleSound = events[0].sound;
    settings.SoundPistol = "(none)";
    settings.TellResult = 0;
    hub.SetSettings(&settings);
    hub.FeedSample(100, 0, 1, 0, -1);
    EXPECT_TRUE(Take().empty());  // "(none)" and nothing said: a silent shot
    EXPECT_TRUE(rifleSound);
}

TEST_F(AudioViewScenario, UnfiredShotsAreSilentAndReplayedShotsSoundAgain) {
    settings.TellResult = 1;
    hub.SetSettings(&settings);
    hub.FeedSample(0, 0, 1, 0, -1);  // an unfired shot of a moving-target run
    EXPECT_TRUE(Take().empty());

    const int ten = XScoring(*Face(1050), [](double s) { return s >= 10.0; });
    hub.FeedSample(0, ten, 1, 0, -1);  // straight up: twelve o'clock
    const auto live = Take();
    ASSERT_EQ(live.size(), 2u);
    EXPECT_EQ(Said(live), Words({1156, 2181}));

    // replaying that shot repeats both, also when the last shot of the series was unfired
    hub.FeedSample(0, 0, 1, 0, -1);
    Take();
    hub.FeedSample(0, ten, 1, 1, 0);
    const auto replayed = Take();
    ASSERT_EQ(replayed.size(), 2u);
    EXPECT_EQ(replayed[0].sound->samples, live[0].sound->samples);
    EXPECT_EQ(Said(replayed), Said(live));
}

// A shooter who calls the shot hears the result once the call is given or skipped; a shot fired
// before the call leaves the earlier result unsaid. A replay says it at once.
TEST_F(AudioViewScenario, TheSpokenResultFollowsTheCall) {
    settings.TellResult = 1;
    settings.CallShots = 1;
    hub.SetSettings(&settings);
    const int ten = XScoring(*Face(1050), [](double s) { return s >= 10.0; });
    hub.FeedSample(0, ten, 1, 0, -1);
    EXPECT_TRUE(Said(Take()).empty());  // the shot's sound only
    hub.CallShot(0, kCallGiven, 5, 5);
    EXPECT_EQ(Said(Take()), Words({1156, 2181}));
    hub.FeedSample(0, ten, 1, 0, -1);
    Take();
    hub.CallShot(1, kCallSkipped, 0, 0);  // Escape: said all the same
    EXPECT_EQ(Said(Take()), Words({1156, 2181}));
    hub.FeedSample(0, ten, 1, 0, -1);
    hub.CallShot(2, kCallOvertaken, 0, 0);
    hub.FeedSample(ten, 0, 1, 0, -1);
    EXPECT_TRUE(Said(Take()).empty());
    hub.CallShot(3, kCallGiven, 0, 0);
    EXPECT_EQ(Said(Take()), Words({1156, 2172}));  // only the last shot's, at three o'clock
    hub.FeedSample(0, ten, 1, 1, 0);
    EXPECT_EQ(Said(Take()), Words({1156, 2181}));
}

TEST_F(AudioViewScenario, LiveSamplesAllocateNothingWhileTheLevelHolds) {
    settings.BlindShooting = 1;
    hub.SetSettings(&settings);
    const int nine = XScoring(*Face(1050), [](double s) { return s == 9.0; });
    hub.FeedSample(nine, 0, 0, 0, -1);
    const long before = test::AllocationCount();
    for (int i = 0; i < 200; ++i) view->OnSample(nine, i % 3, 0, 0, i);
    EXPECT_EQ(test::AllocationCount(), before);
    EXPECT_EQ(output.Events().size(), 1u);
}

TEST_F(AudioViewScenario, AFaceWithoutWeaponClassMakesNoShotSound) {
    TargetDescriptor face;
    face.Define(64, 9999, KindRing, 300, 384, 600, 100, WeaponClass::None, 7.62);
    face.AddRing(10, 100, 0, "10");
    hub.SetTargets(&face, nullptr);
    settings.TellResult = 1;
    hub.SetSettings(&settings);
    hub.FeedSample(10, 0, 1, 0, -1);
    EXPECT_EQ(Said(Take()), Words({1156, 2172}));  // the result is still said
}

TEST_F(AudioViewScenario, AViewThatJoinsLateTakesTheHubsSettingsAndTargets) {
    settings.BlindShooting = 1;
    hub.SetSettings(&settings);
    RecordingOutput second;
    AudioView late(&hub, &second);
    hub.FeedSample(100000, 0, 0, 0, -1);
    ASSERT_EQ(second.Events().size(), 1u);
    EXPECT_EQ(second.Events()[0].frequency, 220);
}

// A series of ten shots 2.6 s apart (65 samples of 40 ms), replayed by a hand-stepped clock: at
// the pace it was shot every result is said; fast forward and backward say none, and the tone of
// a replay is held only as long as its samples keep coming.
TEST_F(AudioViewScenario, AReplaySpeaksOnlyAtAPaceItCanBeHeardAndItsToneEndsWithIt) {
    settings.TellResult = 1;
    settings.BlindShooting = 1;
    hub.SetSettings(&settings);
    AudioView::Clock::time_point now{};
    view->SetClock([&now] { return now; });
    const int nine = XScoring(*Face(1050), [](double s) { return s == 9.0; });
    const auto replay = [&](int msPerSample, int direction) {
        output.Clear();
        hub.EndReplay();
        hub.BeginReplay();
        for (int k = 0; k < 650; ++k) {
            now += std::chrono::milliseconds(msPerSample);
            const int index = direction > 0 ? k + 1 : 649 - k;
            hub.FeedSample(nine, 0, k % 65 == 30 ? 1 : 0, 1, index);
        }
        return Take();
    };
    auto events = replay(40, +1);  // as shot
    EXPECT_EQ(Said(events).size(), 10u);
    std::size_t shotSounds = 0;
    for (const auto& event : events) shotSounds += event.kind == Kind::Clip && event.clip == ClipKind::Effect;
    EXPECT_EQ(shotSounds, 10u);
    // every replayed sample holds the tone for a few of its intervals, no longer
    const auto tones = [](const std::vector<RecordingOutput::Event>& all) {
        std::vector<RecordingOutput::Event> only;
        for (const auto& event : all)
            if (event.kind == Kind::Tone) only.push_back(event);
        return only;
    };
    ASSERT_EQ(tones(events).size(), 650u);
    EXPECT_EQ(tones(events).back().holdMs, 250);
    EXPECT_EQ(tones(events).back().frequency, ToneFrequency(8869, 220, 9));

    events = replay(13, +1);  // fast forward: three times the pace
    EXPECT_TRUE(Said(events).empty());
    events = replay(40, -1);  // backward
    EXPECT_TRUE(Said(events).empty());
    events = replay(160, +1);  // a slow replay says all and holds its tone longer
    EXPECT_EQ(Said(events).size(), 10u);
    EXPECT_EQ(tones(events).back().holdMs, 480);

    // ending the replay stops the tone at once
    output.Clear();
    hub.EndReplay();
    ASSERT_EQ(output.Events().size(), 1u);
    EXPECT_EQ(output.Events()[0].kind, Kind::StopTone);
}

TEST_F(AudioViewScenario, ANewTargetOrSeriesSilencesTheResultsStillToCome) {
    settings.TellResult = 1;
    hub.SetSettings(&settings);
    const int nine = XScoring(*Face(1050), [](double s) { return s == 9.0; });
    output.Hold();
    hub.FeedSample(nine, 0, 1, 0, -1);
    ASSERT_TRUE(output.WaitUntilHeld(2));  // the shot sound and the words being said
    hub.FeedSample(nine, 0, 1, 0, -1);     // waits for its turn
    hub.SetTargets(Face(1400), nullptr);
    output.Release();
    auto events = Take();
    EXPECT_EQ(Said(events).size(), 1u);
    std::size_t voiceStops = 0;
    for (const auto& event : events) voiceStops += event.kind == Kind::StopClips && event.clip == ClipKind::Voice;
    EXPECT_EQ(voiceStops, 1u);

    output.Hold();
    hub.FeedSample(nine, 0, 1, 0, -1);
    ASSERT_TRUE(output.WaitUntilHeld(2));
    hub.FeedSample(nine, 0, 1, 0, -1);
    hub.NewSeries(10, 0, 0);
    output.Release();
    hub.StopAcquisition();
    EXPECT_EQ(Said(Take()).size(), 1u);
}

}  // namespace
}  // namespace zark
