// A timed series from Shoot > Timed Series...: the dialog filled by keys and clicks, the series run
// on the hub's sample clock with the countdown and frame over the target window, late shots on
// the scoreboard, F3 during a window, and the choice remembered for the next time.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <algorithm>

#include "app/acceleratorfilter.h"
#include "app/frametimed.h"
#include "app/mainframe.h"
#include "app/timeddialog.h"
#include "audio/recordingoutput.h"
#include "audio/spokenwords.h"
#include "apptestsupport.h"
#include "../link/linktestsupport.h"
#include "framewithseries.h"
#include "results/analysisview.h"
#include "results/shotscore.h"
#include "results/widgets/analysiswindow.h"
#include "results/widgets/scoreboard.h"
#include "targets/scoretext.h"
#include "results/widgets/shotlistwidget.h"
#include "support/modalwatch.h"
#include "window/commandids.h"

namespace zark {
namespace {

// The process's sound goes to a recording while the frame lives (the frame's player takes it when built).
struct RecordedSound {
    RecordedSound() : previous(SetProcessSoundOutput(&output)) {}
    ~RecordedSound() { SetProcessSoundOutput(previous); }
    test::RecordingOutput output;
    SoundOutput* previous;
};

class TimedSeriesWiring : public ::testing::Test, public RecordedSound, public test::FrameWithSeries {
protected:
    TimedSeriesWiring() {
        accelerators = std::make_unique<AcceleratorFilter>(
            *frame, frame->Accelerators(), [this](int command) { frame->OnCommand(command, true); });
    }
    ~TimedSeriesWiring() override { accelerators.reset(); }

    bool Choose(int command) { return test::ChooseCommand(*frame, command); }
    void Points(int n) {
        for (int i = 0; i < n; ++i) frame->Hub().FeedSample(30, 30, 0, 0, -1);
    }
    void Fire() {
        frame->Hub().FeedSample(0, 10, 1, 0, -1);
        timers.FireAll();  // the time between shots passes
    }
    TimedShot Timing(int k) { return frame->Hub().Store()->ShotTiming(k); }
    // The clips played since the last call.
    std::vector<SoundPtr> Clips() {
        std::vector<SoundPtr> clips;
        for (std::size_t i = heard; i < output.Events().size(); ++i)
            if (output.Events()[i].kind == test::RecordingOutput::Kind::Clip) clips.push_back(output.Events()[i].sound);
        heard = output.Events().size();
        return clips;
    }
    std::size_t heard = 0;
    static void Type(QAbstractSpinBox* box, const char* text) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
    }
    static void Ok(QWidget* dialog) {
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }

    std::unique_ptr<AcceleratorFilter> accelerators;
};

TEST_F(TimedSeriesWiring, ACustomDrillOfTwoWindowsWithALateShotAndAPause) {
    ASSERT_TRUE(Choose(kCmdPistol25));
    ASSERT_NE(test::FindCommand(*frame, kCmdTimedSeries), nullptr);
    EXPECT_TRUE(test::FindCommand(*frame, kCmdTimedSeries)->isEnabled());
    test::ModalWatch fill([](QWidget* widget) {
        auto* dialog = qobject_cast<TimedDialog*>(widget);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Presets()->currentIndex(), int(TimedPreset::Rapid8));
        EXPECT_FALSE(dialog->WindowSeconds()->isEnabled());  // a preset's values stand
        dialog->Presets()->setFocus();
        QTest::keyClick(dialog->Presets(), Qt::Key_End);  // "Custom"
        ASSERT_EQ(dialog->Presets()->currentIndex(), int(TimedPreset::Custom));
        EXPECT_TRUE(dialog->WindowSeconds()->isEnabled());
        EXPECT_TRUE(dialog->RandomStart()->isChecked());  // on by default for a custom drill
        Type(dialog->WindowSeconds(), "2");
        Type(dialog->Windows(), "2");
        Type(dialog->findChildren<QSpinBox*>().at(0), "2");  // shots per window
        QTest::mouseClick(dialog->RandomStart(), Qt::LeftButton, {}, QPoint(5, dialog->RandomStart()->height() / 2));
        EXPECT_FALSE(dialog->RandomStart()->isChecked());
        Ok(dialog);
    });
    ASSERT_TRUE(Choose(kCmdTimedSeries));
    ASSERT_TRUE(fill.Seen());
    FrameTimed* timed = frame->Timed();
    EXPECT_EQ(timed->Drill(), (TimedDrill{7000, 2000, 7000, 2, 2, 0}));
    EXPECT_EQ(frame->Flow()->seriesShots(), 4);
    EXPECT_TRUE(frame->Hub().IsRunning());
    TimedOverlay* overlay = timed->Overlay();
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_EQ(overlay->Word(), "Load");
    EXPECT_EQ(overlay->Count(), "3");

    // "Load" 3 s, "Attention" 7 s: the window opens at the 251st point and stays open 50 points
    Clips();
    Points(76);
    EXPECT_EQ(overlay->Word(), "Attention");
    {
        // the low pip, and the word said after it in the interface language
        const std::vector<SoundPtr> attention = Clips();
        ASSERT_EQ(attention.size(), 2u);
        const SoundPtr word = WordSound(UiLanguage::English, kWordAttention);
        ASSERT_TRUE(word && attention[1]);
        EXPECT_EQ(attention[1]->sampleRate, word->sampleRate);
        EXPECT_GE(attention[1]->DurationMs() - word->DurationMs(), attention[0]->DurationMs() + 90);
        EXPECT_TRUE(std::equal(word->samples.rbegin(), word->samples.rend(), attention[1]->samples.rbegin()));
    }
    EXPECT_EQ(overlay->Count(), "7");
    Fire();  // before the window: late
    Points(250 - frame->Hub().Store()->SampleCount());
    EXPECT_EQ(overlay->Phase(), TimedPhase::Attention);
    Points(1);
    EXPECT_EQ(overlay->Phase(), TimedPhase::Open);
    EXPECT_EQ(overlay->Word(), "Fire");
    EXPECT_EQ(overlay->Count(), "2");
    Points(9);
    Fire();  // index 260: 0.40 s into the window
    EXPECT_EQ(Timing(0), (TimedShot{-1, 0, 1}));
    EXPECT_EQ(Timing(1), (TimedShot{0, 400, 0}));
    test::KeepPicture(frame.get(), "timed-window-open.png");
    Points(40);  // to index 300: the window is closed
    EXPECT_EQ(overlay->Phase(), TimedPhase::Pause);
    EXPECT_EQ(overlay->Word(), "Stop");

    // the scoreboard: the early shot "late", counting 0, its value in the tooltip; the time in the window
    ShotListWidget* list = frame->ScoreboardWindow()->SeriesWidget();
    ShotList* rows = frame->ScoreboardWindow()->SeriesList();
    EXPECT_TRUE(QString::fromStdString(rows->Row(0).score).endsWith(" late"));
    EXPECT_EQ(rows->Row(0).time, "");
    EXPECT_EQ(rows->Row(1).time, "0.40 s");
    EXPECT_FALSE(QString::fromStdString(rows->Row(1).score).contains("late"));
    const std::string value = rows->Row(1).score;  // both shots are at the same place
    EXPECT_EQ(rows->Row(0).hold.substr(0, value.size()), value);
    EXPECT_EQ(rows->Total(), TotalPart(*frame->Hub().CurrentTarget(), ScoreStoredShot(*frame->Hub().Store(), 1, frame->Hub().targetA(), frame->Hub().targetB()).score));
    ASSERT_NE(list, nullptr);
    // the scoreboard's narrow columns show the whole "0 late" and the time; the direction gives room
    EXPECT_LT(list->viewport()->width(), 200);
    for (const int column : {0, 2}) EXPECT_GE(list->columnWidth(column), list->CellsWidth(column)) << column;

    // the second window opens 7 s later; F3 in it abandons it, and Continue opens it again after a
    // fresh "Attention" for the two shots it owes (it used to end the drill, leaving them late)
    Points(175);
    EXPECT_EQ(overlay->Phase(), TimedPhase::Open);
    QTest::keyClick(frame.get(), Qt::Key_F3);
    EXPECT_EQ(frame->Flow()->paused(), 1);
    EXPECT_EQ(overlay->Phase(), TimedPhase::Paused);
    EXPECT_TRUE(timed->Run().Sequence().Abandoned(1));
    QTest::keyClick(frame.get(), Qt::Key_F3);
    EXPECT_EQ(frame->Flow()->paused(), 0);
    EXPECT_EQ(overlay->Word(), "Attention");
    Points(176);
    EXPECT_EQ(overlay->Phase(), TimedPhase::Open);
    Fire();
    EXPECT_EQ(Timing(2), (TimedShot{1, 40, 0, 1, 0}));
    EXPECT_EQ(rows->Row(2).time, "0.04 s (repeated)");
    Fire();  // the fourth shot completes the series
    EXPECT_FALSE(frame->Flow()->shooting());
    EXPECT_FALSE(timed->Active());
    // the analysis: the reaction is the first shot in a window; the interval the one pair in a window
    ASSERT_NE(frame->Analysis(), nullptr);
    ASSERT_NE(frame->Analysis()->View(), nullptr);
    const std::vector<std::string> lines = frame->Analysis()->View()->AllGroupLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Reaction (first shot): 0.40 s"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Mean interval between shots: 0.04 s"), lines.end());

    // the choice is remembered; Cancel starts nothing
    test::ModalWatch look([](QWidget* widget) {
        auto* dialog = qobject_cast<TimedDialog*>(widget);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Presets()->currentIndex(), int(TimedPreset::Custom));
        EXPECT_EQ(dialog->WindowSeconds()->value(), 2.0);
        EXPECT_FALSE(dialog->RandomStart()->isChecked());
        // a preset shows its own values; back on "Custom" the custom ones return
        QTest::keyClick(dialog->Presets(), Qt::Key_Home);
        EXPECT_EQ(dialog->WindowSeconds()->value(), 8.0);
        QTest::keyClick(dialog->Presets(), Qt::Key_End);
        EXPECT_EQ(dialog->WindowSeconds()->value(), 2.0);
        dialog->reject();
    });
    ASSERT_TRUE(Choose(kCmdTimedSeries));
    EXPECT_TRUE(look.Seen());
    EXPECT_FALSE(frame->Hub().IsRunning());
}

TEST_F(TimedSeriesWiring, F10RepeatsTheTimedSeriesAndAPlainSeriesHasNoClock) {
    ASSERT_TRUE(Choose(kCmdPistol25));
    test::ModalWatch duel([](QWidget* widget) {
        auto* dialog = qobject_cast<TimedDialog*>(widget);
        ASSERT_NE(dialog, nullptr);
        dialog->Presets()->setFocus();
        QTest::keyClick(dialog->Presets(), Qt::Key_Home);
        for (int i = 0; i < int(TimedPreset::Duel); ++i) QTest::keyClick(dialog->Presets(), Qt::Key_Down);
        EXPECT_EQ(dialog->Presets()->currentText(), "Duel 3 s / 7 s");
        EXPECT_TRUE(dialog->SayAttention()->isEnabled());  // for every drill
        test::KeepPicture(dialog, "timed-dialog.png");
        QTest::mouseClick(dialog->SayAttention(), Qt::LeftButton, {}, QPoint(5, dialog->SayAttention()->height() / 2));
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    ASSERT_TRUE(Choose(kCmdTimedSeries));
    ASSERT_TRUE(duel.Seen());
    EXPECT_EQ(frame->Timed()->Drill(), DrillOfPreset(TimedPreset::Duel));
    EXPECT_TRUE(frame->Timed()->Active());
    Clips();
    Points(80);
    EXPECT_EQ(Clips().size(), 1u) << "the pip alone: the word is not wanted";
    for (int w = 0; w < 5; ++w) {
        Points(250 + w * 250 + 10 - frame->Hub().Store()->SampleCount());
        Fire();
        EXPECT_EQ(Timing(w), (TimedShot{w, 400, 0}));
    }
    EXPECT_FALSE(frame->Timed()->Active());
    QTest::keyClick(frame.get(), Qt::Key_F10);
    EXPECT_TRUE(frame->Timed()->Active());
    EXPECT_TRUE(frame->Hub().Store()->Timed());
    {
        // the command sent while the series runs asks nothing and changes nothing
        test::ModalWatch none([](QWidget* dialog) { dialog->close(); });
        frame->OnCommand(kCmdTimedSeries);
        EXPECT_FALSE(none.Seen());
        EXPECT_TRUE(frame->Timed()->Active());
        EXPECT_EQ(frame->Timed()->Run().Sequence().Phase(), TimedPhase::Load);
    }
    QTest::keyClick(frame.get(), Qt::Key_F3);
    QTest::keyClick(frame.get(), Qt::Key_F3);
    EXPECT_EQ(frame->Timed()->Overlay()->Phase(), TimedPhase::Attention);

    // a plain series after it: no clock, no timing in the store
    QTest::keyClick(frame.get(), Qt::Key_F3);
    ASSERT_TRUE(Choose(kCmdSerie5));
    EXPECT_FALSE(frame->Timed()->Active());
    EXPECT_FALSE(frame->Hub().Store()->Timed());
    EXPECT_FALSE(frame->Timed()->Overlay()->isVisible());
}

// A custom drill longer than the trace is refused with the reason; a duel shot fired after its
// window closed is late "between windows".
TEST_F(TimedSeriesWiring, ADrillThatDoesNotFitIsRefusedAndADuelShotBetweenWindowsIsMarked) {
    ASSERT_TRUE(Choose(kCmdPistol25));
    test::ModalWatch fill([](QWidget* widget) {
        auto* dialog = qobject_cast<TimedDialog*>(widget);
        ASSERT_NE(dialog, nullptr);
        dialog->Presets()->setFocus();
        QTest::keyClick(dialog->Presets(), Qt::Key_End);  // "Custom"
        Type(dialog->Windows(), "1");
        EXPECT_TRUE(dialog->OkButton()->isEnabled());
        Type(dialog->WindowSeconds(), "900");
        EXPECT_FALSE(dialog->OkButton()->isEnabled());
        EXPECT_TRUE(dialog->Refusal()->isVisible());
        EXPECT_EQ(dialog->Refusal()->text(), "This drill can take up to 15.2 min; the trace of a series holds 15 min.");
        test::KeepPicture(dialog, "timed-dialog-refused.png");
        QTest::keyClick(dialog, Qt::Key_Return);  // refused: the dialog stays
        EXPECT_TRUE(dialog->isVisible());
        Type(dialog->WindowSeconds(), "800");
        EXPECT_TRUE(dialog->OkButton()->isEnabled());
        EXPECT_FALSE(dialog->Refusal()->isVisible());
        QTest::keyClick(dialog->Presets(), Qt::Key_Home);
        for (int i = 0; i < int(TimedPreset::Duel); ++i) QTest::keyClick(dialog->Presets(), Qt::Key_Down);
        Ok(dialog);
    });
    ASSERT_TRUE(Choose(kCmdTimedSeries));
    ASSERT_TRUE(fill.Seen());
    EXPECT_EQ(frame->Timed()->Drill(), DrillOfPreset(TimedPreset::Duel));
    Points(260);
    Fire();  // 0.40 s into the first window
    Points(340 - frame->Hub().Store()->SampleCount());
    EXPECT_EQ(frame->Timed()->Overlay()->Phase(), TimedPhase::Pause);
    Fire();  // the target is turned away
    EXPECT_EQ(Timing(1), (TimedShot{0, 90 * 40, 1, 0, 1}));
    ShotList* rows = frame->ScoreboardWindow()->SeriesList();
    EXPECT_EQ(rows->Row(0).time, "0.40 s");
    EXPECT_EQ(rows->Row(1).time, "between windows");
    EXPECT_TRUE(QString::fromStdString(rows->Row(1).score).endsWith(" late"));
}

// The unit on a pseudo-terminal: the setup blocks a timed series writes carry the drill's time
// between shots, Continue's too, and the next plain series has the setting's again.
struct ScriptedUnit {
    ScriptedUnit() { test::StoreValue("Communication", QString::fromStdString(pty.path())); }
    ~ScriptedUnit() {
        test::RemoveValue("Communication");
        test::RemoveValue("TimedPreset");
    }
    // T of the last setup block written before the line fell quiet; -1 when none came.
    int NextT() {
        test::Bytes seen;
        for (int waited = 0; waited < 3000; waited += 100) {
            const test::Bytes more = pty.Drain(std::chrono::milliseconds(100));
            if (more.empty() && seen.size() >= 16) break;
            seen.insert(seen.end(), more.begin(), more.end());
        }
        for (std::size_t end = seen.size(); end >= 16; --end)
            if (seen[end - 16] == 0x00 && seen[end - 15] >> 4 == 1 && seen[end - 1] == 0x0D)
                return (seen[end - 3] & 0x0F) | (seen[end - 2] & 0x0F) << 4;
        return -1;
    }
    test::Pty pty;
};

class TimedOnTheScriptedUnit : public ::testing::Test, public ScriptedUnit, public RecordedSound, public test::FrameWithSeries {};

TEST_F(TimedOnTheScriptedUnit, TheUnitIsToldTheDrillsTimeBetweenShotsAndTheSettingAfterwards) {
    test::StoreValue("TimedPreset", int(TimedPreset::Rapid4));
    ASSERT_TRUE(pty.ok());
    ASSERT_EQ(frame->SessionPort(), pty.path());
    ASSERT_TRUE(test::ChooseCommand(*frame, kCmdPistol25Fast));
    frame->Timed()->AskForTheDrill(false);
    ASSERT_TRUE(test::ChooseCommand(*frame, kCmdTimedSeries));
    ASSERT_TRUE(frame->Timed()->Active());
    EXPECT_EQ(NextT(), 10) << "five shots in 4 s: 400 ms between shots, not the setting's";
    ASSERT_TRUE(test::ChooseCommand(*frame, kCmdPauseContinue));
    ASSERT_TRUE(test::ChooseCommand(*frame, kCmdPauseContinue));
    EXPECT_EQ(NextT(), 10) << "Continue's block";
    ASSERT_TRUE(test::ChooseCommand(*frame, kCmdPauseContinue));
    ASSERT_TRUE(test::ChooseCommand(*frame, kCmdSerie5));
    EXPECT_FALSE(frame->Timed()->Active());
    EXPECT_EQ(NextT(), frame->CurrentSettings().TimeBetweenShots / 40) << "the next series: the setting's again";
}

}  // namespace
}  // namespace zark
