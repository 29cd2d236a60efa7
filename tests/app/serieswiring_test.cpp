// The series flow in the main frame: Shoot menu items chosen in the real menu and F3, F5 and F10
// pressed on the main window move a live hub and the menu states; the target window's reports
// reach the flow through the frame.
#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "app/acceleratorfilter.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "apptestsupport.h"
#include "seriestestsupport.h"
#include "core/seriesflow.h"
#include "core/seriesview.h"
#include "core/targetrun.h"
#include "support/testsupport.h"

namespace zark {
namespace {

using test::FindAction;
using test::SeriesWiring;

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

TEST_F(SeriesWiring, F5CentresEvenWhileItsItemIsGrey) {
    ASSERT_TRUE(Choose(kCmdRifle100));
    ASSERT_TRUE(Choose(kCmdSerie10));
    ASSERT_FALSE(Find(kCmdCentreSeries)->isEnabled());
    Key(Qt::Key_F5);
    EXPECT_TRUE(frame->Flow()->centred());
    EXPECT_TRUE(Find(kCmdCentreSeries)->isChecked());
    Key(Qt::Key_F5);
    EXPECT_FALSE(frame->Flow()->centred());
    EXPECT_FALSE(Find(kCmdCentreSeries)->isChecked());
}

TEST_F(SeriesWiring, ASilentDetectorPausesWithAnErrorBox) {
    ASSERT_TRUE(Choose(kCmdPistol25));
    ASSERT_TRUE(Choose(kCmdSerie5));
    test::MessageCapture boxes;
    Notification silent;
    silent.code = kCodeDetectorSilent;
    run->Notify(silent);  // as the link window reports it to the target window
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

}  // namespace
}  // namespace zark
