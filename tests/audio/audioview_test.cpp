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
    std::vector<SoundPtr> Words(std::initializer_list<int> ids) {
        std::vector<SoundPtr> words;
        for (const int id : ids) words.push_back(WordSound(ActiveUiLanguage(), id));
        return words;
    }
    static std::vector<SoundPtr> Said(const std::vector<RecordingOutput::Event>& events) {
        std::vector<SoundPtr> said;
        for (const auto& event : events)
            if (event.kind == Kind::PlayAndWait) said.push_back(event.sound);
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
    EXPECT_EQ(events[0].sound, ToneSound(0));
    EXPECT_EQ(events[1].sound, ToneSound(8));
    EXPECT_EQ(events[2].sound, ToneSound(9));
    EXPECT_TRUE(events[2].loop);
    EXPECT_EQ(events[3].kind, Kind::Stop);

    // the end of the acquisition silences the tone
    hub.FeedSample(eight, 0, 0, 0, -1);
    hub.StartAcquisition();
    hub.StopAcquisition();
    auto after = Take();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].kind, Kind::Stop);

    // turning blind shooting off ends a looping tone at once
    hub.FeedSample(nine, 0, 0, 0, -1);
    settings.BlindShooting = 0;
    hub.SetSettings(&settings);
    hub.FeedSample(nine / 2, 0, 0, 0, -1);
    after = Take();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].kind, Kind::Stop);
    EXPECT_EQ(view->Player().CurrentTone(), -1);

    // applied settings with other frequencies rebuild the tones
    settings.CenterFrequency = 1760;
    hub.SetSettings(&settings);
    EXPECT_NEAR(test::ZeroCrossingFrequency(*ToneSound(11)), 1760, 30);
    settings = Settings::Defaults();
    hub.SetSettings(&settings);
}

TEST_F(AudioViewScenario, AShotSoundsByWeaponClassAndTellsItsResult) {
    const int nine = XScoring(*Face(1050), [](double s) { return s == 9.0; });
    hub.FeedSample(nine, 0, 1, 0, -1);
    auto events = Take();
    ASSERT_EQ(events.size(), 1u);  // the rifle sound, nothing said
    EXPECT_EQ(events[0].kind, Kind::Play);
    EXPECT_FALSE(events[0].loop);

    settings.TellResult = 1;
    hub.SetSettings(&settings);
    hub.FeedSample(nine, 0, 1, 0, -1);
    events = Take();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(Said(events), Words({1165, 2172}));  // nine, three o'clock

    // a decimal air-rifle face says the tenth; the sound is the rifle's
    hub.SetTargets(Face(1400), nullptr);
    const TargetDescriptor& decimal = *Face(1400);
    const int x = XScoring(decimal, [](double s) { return s >= 9.7 && s < 9.75; });
    hub.FeedSample(x, 0, 1, 0, -1);
    events = Take();
    EXPECT_EQ(events[0].kind, Kind::Play);
    EXPECT_EQ(Said(events), Words({1165, 2167, 2172}));

    // a pistol face plays the pistol's sound: another file
    hub.SetTargets(Face(5100), nullptr);
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
    ASSERT_EQ(live.size(), 3u);
    EXPECT_EQ(Said(live), Words({1156, 2181}));

    // replaying that shot repeats both, also when the last shot of the series was unfired
    hub.FeedSample(0, 0, 1, 0, -1);
    Take();
    hub.FeedSample(0, ten, 1, 1, 0);
    const auto replayed = Take();
    ASSERT_EQ(replayed.size(), 3u);
    EXPECT_EQ(replayed[0].sound->samples, live[0].sound->samples);
    EXPECT_EQ(Said(replayed), Said(live));
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
    EXPECT_EQ(second.Events()[0].sound, ToneSound(0));
}

}  // namespace
}  // namespace zark
