// The series flow in the main frame: Shoot menu items chosen in the real menu and F3, F5 and F10
// pressed on the main window move a live hub and the menu states; the target window's reports
// reach the flow through the frame.
#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "app/acceleratorfilter.h"
#include "window/commandids.h"
#include "app/mainframe.h"
#include "apptestsupport.h"
#include "core/seriesflow.h"
#include "core/seriesview.h"
#include "core/targetrun.h"
#include "window/updowncontrol.h"
#include <QLabel>
#include <QToolBar>
#include <QToolButton>
#include "framewithseries.h"
#include "results/widgets/scoreboard.h"
#include "results/widgets/shotlistwidget.h"
#include "targets/widgets/targetview.h"
#include "targets/widgets/targetwindow.h"
#include "support/testsupport.h"

namespace zark {
namespace {

using test::FindAction;

// Records the message boxes, and calls onShow as each is shown (where a real box runs its loop).
class BoxWatch final : public MessageBoxSink {
public:
    explicit BoxWatch(std::function<void()> onShow)
        : onShow_(std::move(onShow)), previous_(SetMessageBoxSink(this)) {}
    ~BoxWatch() override { SetMessageBoxSink(previous_); }
    void ShowMessage(std::string_view title, std::string_view text, MessageIcon icon) override {
        onShow_();
        shown.push_back({std::string(title), std::string(text), icon});
    }
    std::vector<test::MessageCapture::Shown> shown;

private:
    std::function<void()> onShow_;
    MessageBoxSink* previous_;
};

class SeriesWiring : public ::testing::Test, public test::FrameWithSeries {
protected:
    SeriesWiring() {
        accelerators = std::make_unique<AcceleratorFilter>(
            *frame, frame->Accelerators(), [this](int command) { frame->OnCommand(command, true); });
    }
    ~SeriesWiring() override { accelerators.reset(); }

    QAction* Find(int command) { return test::FindCommand(*frame, command); }
    bool Choose(int command) { return test::ChooseCommand(*frame, command); }
    void Key(Qt::Key key) { QTest::keyClick(frame.get(), key); }
    void Shoot(int n) {
        for (int i = 0; i < n; ++i) {
            frame->Hub().FeedSample(5 * i, 3, 0, 0, -1);
            frame->Hub().FeedSample(5 * i, 4, 1, 0, -1);
            timers.FireAll();  // the time between shots passes
        }
    }
    QString PauseText() { return Find(kCmdPauseContinue)->text(); }

    std::unique_ptr<AcceleratorFilter> accelerators;
};

TEST_F(SeriesWiring, ASeriesFromTheMenuWithPauseAndContinueByF3) {
    ASSERT_TRUE(Choose(kCmdRifle50));
    frame->SetFileName("old.zas");
    ASSERT_TRUE(Choose(kCmdSerie5));
    SeriesFlow* flow = frame->Flow();
    EXPECT_TRUE(frame->Hub().IsRunning());
    EXPECT_EQ(flow->seriesShots(), 5);
    EXPECT_EQ(view->seriesShots(), 5);
    EXPECT_EQ(frame->windowTitle(), "ZARK");  // a new series has no file yet
    // The shooting state: targets, files and the other Shoot items are grey; Pause is on.
    EXPECT_FALSE(frame->Menus().TargetsMenu()->menuAction()->isEnabled());
    EXPECT_FALSE(Find(kCmdOpen)->isEnabled());
    EXPECT_FALSE(Find(kCmdSighters3)->isEnabled());
    EXPECT_TRUE(Find(kCmdPauseContinue)->isEnabled());
    EXPECT_EQ(PauseText(), "&Pause\tF3");
    EXPECT_FALSE(Find(kCmdNewSerie)->isEnabled());
    EXPECT_FALSE(Choose(kCmdRifle300));

    Key(Qt::Key_F3);
    EXPECT_EQ(flow->paused(), 1);
    EXPECT_FALSE(frame->Hub().IsRunning());
    EXPECT_EQ(PauseText(), "&Continue\tF3");
    EXPECT_TRUE(Find(kCmdNewSerie)->isEnabled());
    EXPECT_TRUE(frame->Menus().TargetsMenu()->menuAction()->isEnabled());

    Key(Qt::Key_F3);
    EXPECT_EQ(flow->paused(), 0);
    EXPECT_TRUE(frame->Hub().IsRunning());
    EXPECT_EQ(PauseText(), "&Pause\tF3");

    // Five shots complete the series: idle state, acquisition stopped.
    Shoot(5);
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 5);
    EXPECT_FALSE(frame->Hub().IsRunning());
    EXPECT_FALSE(flow->shooting());
    EXPECT_TRUE(Find(kCmdPrint)->isEnabled());
    EXPECT_TRUE(Find(kCmdSave)->isEnabled());
    EXPECT_FALSE(Find(kCmdPauseContinue)->isEnabled());
    EXPECT_TRUE(Find(kCmdNewSerie)->isEnabled());

    // F10 starts another five-shot series.
    Key(Qt::Key_F10);
    EXPECT_TRUE(frame->Hub().IsRunning());
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 0);
    EXPECT_EQ(flow->seriesShots(), 5);
}

TEST_F(SeriesWiring, ChoosingATargetWhilePausedEndsTheSeries) {
    ASSERT_TRUE(Choose(kCmdRifle50));
    ASSERT_TRUE(Choose(kCmdSerie5));
    Shoot(2);
    Key(Qt::Key_F3);
    ASSERT_EQ(frame->Flow()->paused(), 1);
    {
        // Its two shots are not dropped without asking; Discard gives them up.
        test::ModalWatch question([](QWidget* modal) {
            ASSERT_EQ(modal->objectName(), "discardQuestion");
            QTest::mouseClick(modal->findChild<QPushButton*>("discardButton"), Qt::LeftButton);
        });
        ASSERT_TRUE(Choose(kCmdPistol25));  // the Targets menu is open while paused
        EXPECT_TRUE(question.Seen());
    }
    EXPECT_EQ(frame->Flow()->paused(), 0);
    EXPECT_EQ(run->locked(), 0);
    EXPECT_EQ(frame->Hub().Store()->ShotCount(), 0);
    EXPECT_EQ(PauseText(), "&Pause\tF3");
    Key(Qt::Key_F3);  // nothing to continue on the new face
    EXPECT_FALSE(frame->Hub().IsRunning());
    EXPECT_EQ(frame->Flow()->paused(), 0);
    EXPECT_TRUE(frame->Menus().TargetsMenu()->menuAction()->isEnabled());
    ASSERT_TRUE(Choose(kCmdSerie5));
    EXPECT_TRUE(frame->Hub().IsRunning());
    EXPECT_EQ(run->locked(), 1);
}

TEST_F(SeriesWiring, ASeriesTakesItsShotsAndF5CentresOnlyWhenItsItemIsOn) {
    ASSERT_TRUE(Choose(kCmdRifle50));
    ASSERT_TRUE(Choose(kCmdSerie5));
    TraceStore& store = *frame->Hub().Store();
    const auto shot = [&](int x, int y) {
        frame->Hub().FeedSample(x, y + 1, 0, 0, -1);
        frame->Hub().FeedSample(x, y, 1, 0, -1);
    };
    shot(0, 400);
    timers.FireAll();
    // While shooting the item is grey and F5 does nothing.
    ASSERT_FALSE(Find(kCmdCentreSeries)->isEnabled());
    Key(Qt::Key_F5);
    EXPECT_FALSE(frame->Flow()->centred());
    EXPECT_EQ(store.Centred(), 0);
    const int points[4][2] = {{100, -100}, {-100, -100}, {100, 100}, {-100, 100}};
    for (int k = 0; k < 4; ++k) {
        shot(points[k][0], points[k][1]);
        // The last shot's settling has not come when one more breaks: the series keeps five.
        if (k == 3) shot(50, 50);
        else timers.FireAll();
    }
    EXPECT_EQ(store.ShotCount(), 5);
    timers.FireAll();
    EXPECT_FALSE(frame->Flow()->shooting());  // complete, not waiting for a sixth shot
    EXPECT_EQ(store.ShotCount(), 5);

    // Once the series is complete F5 centres every shot with a position, those on an axis too.
    ASSERT_TRUE(Find(kCmdCentreSeries)->isEnabled());
    Key(Qt::Key_F5);
    EXPECT_TRUE(frame->Flow()->centred());
    EXPECT_TRUE(Find(kCmdCentreSeries)->isChecked());
    EXPECT_EQ(store.CentreY(), -80);
    EXPECT_EQ(store.Shown(store.ShotPosition(0)), (SamplePoint{0, 320}));
    Key(Qt::Key_F5);
    EXPECT_FALSE(frame->Flow()->centred());
}

TEST_F(SeriesWiring, ASilentDetectorPausesWithAnErrorBox) {
    ASSERT_TRUE(Choose(kCmdPistol25));
    ASSERT_TRUE(Choose(kCmdSerie5));
    // The box runs an event loop of its own: by then acquisition has stopped and the menus are paused.
    bool runningAtTheBox = true;
    QString pauseTextAtTheBox;
    BoxWatch boxes([&] {
        runningAtTheBox = frame->Hub().IsRunning();
        pauseTextAtTheBox = PauseText();
    });
    Notification silent;
    silent.code = kCodeDetectorSilent;
    run->Notify(silent);  // as the link window reports it to the target window
    EXPECT_FALSE(runningAtTheBox);
    EXPECT_EQ(pauseTextAtTheBox, "&Continue\tF3");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_EQ(boxes.shown[0].text, "ZARK system unit is not connected");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(frame->Flow()->paused(), 1);
    EXPECT_FALSE(frame->Hub().IsRunning());
    EXPECT_EQ(PauseText(), "&Continue\tF3");
    const int armsBefore = link.arms;
    Key(Qt::Key_F3);  // Continue arms the link again
    EXPECT_TRUE(frame->Hub().IsRunning());
    EXPECT_GT(link.arms, armsBefore);
}

TEST_F(SeriesWiring, AMatchChosenInTheMatchDialog) {
    ASSERT_TRUE(Choose(kCmdAirRifle));
    test::ModalWatch watch([](QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        ASSERT_GT(list->count(), 0);
        list->setCurrentRow(0);
        QTest::mouseClick(dialog->findChild<QPushButton*>("button2001"), Qt::LeftButton);
    });
    ASSERT_TRUE(Choose(kCmdMatch));
    EXPECT_TRUE(watch.Seen());
    SeriesFlow* flow = frame->Flow();
    EXPECT_EQ(flow->matchMode(), 1);
    EXPECT_EQ(flow->currentEntry(), 0);
    EXPECT_GT(flow->programme().seriesCount, 0);
    EXPECT_TRUE(frame->Hub().IsRunning());

    // Cancelling the dialog changes nothing.
    Key(Qt::Key_F3);
    test::ModalWatch cancel([](QWidget* dialog) { dialog->close(); });
    const MatchProgramme before = flow->programme();
    ASSERT_TRUE(Choose(kCmdMatch));
    EXPECT_TRUE(cancel.Seen());
    EXPECT_STREQ(flow->programme().title, before.title);
    EXPECT_FALSE(frame->Hub().IsRunning());
}

// Counts how often the views are told that the settings changed.
class SettingsWatcher final : public HubView {
public:
    using HubView::HubView;
    void OnSettingsChanged(const Settings* settings) override {
        HubView::OnSettingsChanged(settings);
        ++told;
    }
    int told = 0;
};

TEST_F(SeriesWiring, CustomizeAppliesTheSettingsAfterOkOnly) {
    SettingsWatcher watcher(&frame->Hub());
    const auto customize = [this](bool ok) {
        test::ModalWatch watch([ok](QWidget* dialog) {
            QTest::keyClick(dialog->findChild<QSlider*>("timeBetweenShots"), Qt::Key_End);  // 3200 ms
            QTest::mouseClick(dialog->findChild<QPushButton*>(ok ? "ok" : "cancel"), Qt::LeftButton);
        });
        EXPECT_TRUE(Choose(kCmdCustomize));
        EXPECT_TRUE(watch.Seen());
    };
    customize(false);
    EXPECT_EQ(frame->CurrentSettings().TimeBetweenShots, 1600);
    EXPECT_EQ(watcher.told, 0);
    customize(true);
    EXPECT_EQ(frame->CurrentSettings().TimeBetweenShots, 3200);
    EXPECT_EQ(watcher.told, 1);
    EXPECT_EQ(watcher.settings(), &frame->CurrentSettings());

    // The target window waits the new time between shots before it arms the link again.
    ASSERT_TRUE(Choose(kCmdRifle50));
    ASSERT_TRUE(Choose(kCmdSerie5));
    for (test::HandTimers::Timer* timer : timers.timers) timer->startedWith = -1;
    frame->Hub().FeedSample(5, 3, 0, 0, -1);
    frame->Hub().FeedSample(5, 4, 1, 0, -1);
    bool started = false;
    for (test::HandTimers::Timer* timer : timers.timers)
        if (timer->Active()) started = started || timer->startedWith == 3200;
    EXPECT_TRUE(started);
}

// The toolbar follows the flow, and its pitch moves the shown shot positions along the trace
// until shooting resumes.
TEST_F(SeriesWiring, ToolbarStatesAndPitchFollowTheSeries) {
    Toolbar& toolbar = frame->ToolbarButtons();
    ASSERT_TRUE(Choose(kCmdRifle50));
    EXPECT_TRUE(toolbar.IsEnabled(kCmdZoomIn));
    EXPECT_FALSE(toolbar.IsEnabled(kCmdReplay));
    ASSERT_TRUE(Choose(kCmdSerie5));
    EXPECT_TRUE(toolbar.IsEnabled(kCmdPauseContinue));
    EXPECT_FALSE(toolbar.IsEnabled(kCmdOpen));
    Shoot(2);
    Key(Qt::Key_F3);
    EXPECT_TRUE(toolbar.IsEnabled(kCmdReplay));
    EXPECT_EQ(toolbar.ButtonImage(kCmdPauseContinue), Toolbar::kImageContinue);

    TraceStore* store = frame->Hub().Store();
    const SamplePoint shot = store->ShotPosition(1);
    QTest::mouseClick(toolbar.UpDown()->DownButton(), Qt::LeftButton);
    EXPECT_EQ(store->ShotTimeOffset(), -40);
    EXPECT_EQ(store->ShotPosition(1), store->Sample(store->Shot(1).traceIndex - 1));
    QTest::mouseClick(toolbar.Bar()->widgetForAction(toolbar.Button(kCmdSaveAutomatically)), Qt::LeftButton);
    EXPECT_TRUE(Find(kCmdSaveAutomatically)->isChecked()) << "the menu item follows the button";

    Key(Qt::Key_F3);  // continuing sets the pitch back, in the store too
    EXPECT_EQ(store->ShotTimeOffset(), 0);
    EXPECT_EQ(store->ShotPosition(1), shot);
    EXPECT_EQ(toolbar.ReadOut()->text(), "0.0s");
}

// The replay commands on the frame's drawing view: the toolbar's buttons, the menu's Replay, a
// click and a double click on a series row or a mark. The replay steps are taken by hand.
TEST_F(SeriesWiring, ReplayButtonsFollowTheReplay) {
    Toolbar& toolbar = frame->ToolbarButtons();
    TargetView& target = frame->Target()->View();
    const auto press = [&](int command) {
        QTest::mouseClick(toolbar.Bar()->widgetForAction(toolbar.Button(command)), Qt::LeftButton);
    };
    const auto window = [&](int k) {
        const Settings& s = frame->CurrentSettings();
        return frame->Hub().Store()->ReplayWindow(k, s.ReplayTimeBefore, s.ReplayTimeAfter);
    };
    frame->CurrentSettings().ReplaySpeed = 50;
    ASSERT_TRUE(Choose(kCmdRifle50));
    ASSERT_TRUE(Choose(kCmdSerie5));
    Shoot(2);
    frame->Notify(Notification{kCodeMarkDoubleClick, 1});  // while shooting: no replay
    EXPECT_FALSE(target.replayActive());
    Key(Qt::Key_F3);

    press(kCmdReplay);
    EXPECT_TRUE(target.ReplayRunning());
    EXPECT_EQ(target.replayPeriod(), 50);
    EXPECT_TRUE(toolbar.IsChecked(kCmdReplay));
    press(kCmdReplayFastForward);
    EXPECT_EQ(target.replayPeriod(), 16);
    EXPECT_TRUE(toolbar.IsChecked(kCmdReplay)) << "Play shows that a replay runs";
    EXPECT_FALSE(toolbar.IsChecked(kCmdReplayFastForward));
    press(kCmdReplayStop);
    EXPECT_FALSE(target.ReplayRunning());
    EXPECT_FALSE(toolbar.IsChecked(kCmdReplay));
    EXPECT_FALSE(toolbar.IsChecked(kCmdReplayStop));
    press(kCmdReplay);
    press(kCmdReplayRewind);  // a running replay goes on from the start
    EXPECT_TRUE(target.ReplayRunning());
    EXPECT_TRUE(toolbar.IsChecked(kCmdReplay));
    EXPECT_FALSE(toolbar.IsChecked(kCmdReplayRewind));
    for (int i = 0; i < 100000 && target.ReplayRunning(); ++i) target.ReplayTick();
    EXPECT_FALSE(toolbar.IsChecked(kCmdReplay)) << "the end of the range releases Play";

    ASSERT_TRUE(Choose(kCmdReplay));  // View > Replay
    EXPECT_TRUE(target.ReplayRunning());
    EXPECT_TRUE(toolbar.IsChecked(kCmdReplay));

    // A click on a series row shows that shot and ends the replay; a double click plays it.
    ShotListWidget& list = *frame->ScoreboardWindow()->SeriesWidget();
    const QPoint row0 = list.visualItemRect(list.topLevelItem(0)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row0);
    EXPECT_FALSE(target.replayActive());
    EXPECT_FALSE(toolbar.IsChecked(kCmdReplay));
    EXPECT_EQ(target.replayFirst(), window(0).first);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, row0);
    EXPECT_TRUE(target.ReplayRunning());
    EXPECT_TRUE(toolbar.IsChecked(kCmdReplay));

    // The same with the marks: a click chooses the shot, a double click plays it.
    frame->Notify(Notification{kCodeMarkClick, 1});
    EXPECT_FALSE(target.replayActive());
    EXPECT_FALSE(toolbar.IsChecked(kCmdReplay));
    EXPECT_EQ(target.replayFirst(), window(1).first);
    EXPECT_EQ(target.replayLast(), window(1).last);
    frame->Notify(Notification{kCodeMarkDoubleClick, 1});
    EXPECT_TRUE(target.ReplayRunning());
    EXPECT_EQ(target.replayPosition(), window(1).first);

    Key(Qt::Key_F3);  // shooting again ends the replay
    EXPECT_FALSE(target.replayActive());
    EXPECT_FALSE(toolbar.IsChecked(kCmdReplay));
    EXPECT_FALSE(toolbar.IsEnabled(kCmdReplay));
}

}  // namespace
}  // namespace zark
