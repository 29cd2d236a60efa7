// The frame's sound: the tones built from the stored settings, the audio view on the live hub
// with a chosen target, and the alert of the start-up warnings on the process-wide output.
#include <gtest/gtest.h>

#include <QTest>

#include "window/commandids.h"
#include "app/mainframe.h"
#include "app/warningsdialog.h"
#include "apptestsupport.h"
#include "audio/recordingoutput.h"
#include "audio/tonebank.h"

namespace zark {
namespace {

using test::RecordingOutput;
using test::RemoveValue;
using test::StoreValue;

class FrameSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = SetProcessSoundOutput(&output);
        StoreValue("HideWarningAtStartup", "1");
    }
    void TearDown() override {
        frame.reset();
        SetProcessSoundOutput(previous);
        for (const char* key : {"BlindShooting", "CenterFrequency", "PeripheralFrequency"}) RemoveValue(key);
        StoreValue("HideWarningAtStartup", "1");
        BuildToneBank(8869, 220, 24);
    }

    RecordingOutput output;
    SoundOutput* previous = nullptr;
    std::unique_ptr<MainFrame> frame;
};

TEST_F(FrameSoundTest, BlindShootingOnTheLiveHubUsesTheStoredTones) {
    StoreValue("BlindShooting", "1");
    StoreValue("CenterFrequency", "1760");
    StoreValue("PeripheralFrequency", "440");
    frame = std::make_unique<MainFrame>();
    ASSERT_EQ(frame->Create("ZARK", "ZARK"), 1);
    ASSERT_NE(frame->Audio(), nullptr);
    EXPECT_NEAR(test::ZeroCrossingFrequency(*ToneSound(11)), 1760, 30);
    EXPECT_NEAR(test::ZeroCrossingFrequency(*ToneSound(0)), 440, 5);

    frame->OnCommand(kCmdFirstTarget);        // the first face of the Targets menu
    frame->Hub().FeedSample(0, 1, 0, 0, -1);  // aim in the middle
    ASSERT_FALSE(output.Events().empty());
    EXPECT_EQ(output.Events().back().kind, RecordingOutput::Kind::Tone);
    EXPECT_EQ(output.Events().back().frequency, ToneFrequency(1760, 440, 11));
    frame->Hub().FeedSample(0, 0, 0, 0, -1);  // no aim point: the tone fades
    EXPECT_EQ(output.Events().back().kind, RecordingOutput::Kind::Tone);
    EXPECT_EQ(output.Events().back().frequency, 0);
}

TEST_F(FrameSoundTest, TheWarningsSoundTheAlertThroughTheSameOutput) {
    RemoveValue("HideWarningAtStartup");
    std::size_t playedBeforeDialog = 0;
    test::ModalWatch watch([&](QWidget* modal) {
        playedBeforeDialog = output.Events().size();
        QTest::keyClick(modal, Qt::Key_Return);
    });
    frame = std::make_unique<MainFrame>();
    ASSERT_EQ(frame->Create("ZARK", "ZARK"), 1);
    ASSERT_TRUE(watch.Seen());
    ASSERT_EQ(playedBeforeDialog, 1u);
    const auto alert = output.Events()[0];
    EXPECT_EQ(alert.kind, RecordingOutput::Kind::Clip);
    EXPECT_EQ(alert.clip, ClipKind::Effect);
    ASSERT_TRUE(alert.sound);
    EXPECT_GT(alert.sound->DurationMs(), 200);
}

}  // namespace
}  // namespace zark
