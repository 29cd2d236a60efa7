// The toolbar: its buttons in order with their pictures, the four button states, and the replay
// bar's pitch control driven by real clicks and keys.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "i18n/uistrings.h"
#include "replay/widgets/toolbar.h"
#include "window/updowncontrol.h"
#include "settings/settings.h"

namespace zark {
namespace {

class ToolbarTest : public ::testing::Test {
protected:
    ToolbarTest() {
        toolbar.CreateToolbar(&bar, [this](int command) { commands.push_back(command); });
        toolbar.AttachSettings(&settings);
        bar.resize(700, 30);
        bar.show();
    }
    std::vector<int> Order() const {
        std::vector<int> order;
        for (QAction* action : bar.actions())
            order.push_back(action->isSeparator() ? 0 : action->data().toInt());
        return order;
    }
    void Up() { QTest::mouseClick(toolbar.UpDown()->UpButton(), Qt::LeftButton); }

    Settings settings;
    QToolBar bar;
    Toolbar toolbar;
    std::vector<int> commands;
};

TEST_F(ToolbarTest, ButtonsInOrderWithTheirStates) {
    const std::vector<int> expected = {0,    2101, 2102, 2200, 2197, 2104, 0,    2192, 2191, 2183, 2152, 0, 2157,
                                       2158, 2155, 0,    2156, 2185, 2188, 2187, 2186, 2189, 0,    2193, 0, 0};
    EXPECT_EQ(Order(), expected);  // the last two: the read-out and the up-down control
    for (int image = 0; image < Toolbar::kImageCount; ++image) EXPECT_FALSE(Toolbar::Image(image).isNull()) << image;

    // At creation: the replay buttons, Save, Print and Clear Pitch are grey, the read-out 0.0s.
    for (int command : {2102, 2104, 2193, 2156, 2185, 2186, 2187, 2188, 2189}) EXPECT_FALSE(toolbar.IsEnabled(command));
    EXPECT_TRUE(toolbar.IsEnabled(2101));
    EXPECT_EQ(toolbar.ReadOut()->text(), "0.0s");
    EXPECT_FALSE(toolbar.UpDown()->isEnabled());

    toolbar.SetState(ShootingState::Shooting);
    EXPECT_TRUE(toolbar.IsEnabled(2157));
    EXPECT_EQ(toolbar.ButtonImage(2157), Toolbar::kImagePause);
    for (int command : {2101, 2102, 2200, 2152, 2155, 2156, 2158}) EXPECT_FALSE(toolbar.IsEnabled(command));
    EXPECT_TRUE(toolbar.IsEnabled(2191));

    toolbar.SetState(ShootingState::Paused);
    EXPECT_EQ(toolbar.ButtonImage(2157), Toolbar::kImageContinue);
    EXPECT_TRUE(toolbar.IsEnabled(2156));
    EXPECT_FALSE(toolbar.IsEnabled(2102));
    EXPECT_TRUE(toolbar.UpDown()->isEnabled());

    toolbar.SetState(ShootingState::TargetShown);
    EXPECT_FALSE(toolbar.IsEnabled(2157));
    EXPECT_FALSE(toolbar.IsEnabled(2156));
    toolbar.SetState(ShootingState::Idle);
    for (int command : {2102, 2104, 2193, 2156, 2189, 2158}) EXPECT_TRUE(toolbar.IsEnabled(command));
    EXPECT_FALSE(toolbar.IsEnabled(2157));

    // A click on a replay button presses it and releases the others; every state releases them.
    QTest::mouseClick(bar.widgetForAction(toolbar.Button(2156)), Qt::LeftButton);
    QTest::mouseClick(bar.widgetForAction(toolbar.Button(2186)), Qt::LeftButton);
    EXPECT_EQ(commands, (std::vector<int>{2156, 2186}));
    EXPECT_FALSE(toolbar.IsChecked(2156));
    EXPECT_TRUE(toolbar.IsChecked(2186));
    toolbar.SetState(ShootingState::Idle);
    EXPECT_FALSE(toolbar.IsChecked(2186));
}

TEST_F(ToolbarTest, PitchStepsByTheTimeStepWithinThreeTimesIt) {
    toolbar.SetState(ShootingState::Idle);
    Up();
    EXPECT_EQ(toolbar.ReadOut()->text(), "0.04s");
    EXPECT_EQ(toolbar.ShotTimeOffsetMs(), 40);
    EXPECT_EQ(commands, std::vector<int>{2190});
    toolbar.UpDown()->setFocus();
    for (int i = 0; i < 200; ++i) QTest::keyClick(toolbar.UpDown(), Qt::Key_Down);
    EXPECT_EQ(toolbar.OffsetSteps(), -120);
    EXPECT_EQ(toolbar.ReadOut()->text(), "-4.80s");
    EXPECT_EQ(commands.size(), 122u) << "no command once the control stands at its end";
    EXPECT_EQ(toolbar.UpDown()->toolTip(), "Pitch");

    // Shooting again sets the pitch back; idle keeps it.
    toolbar.SetState(ShootingState::Idle);
    EXPECT_EQ(toolbar.OffsetSteps(), -120);
    toolbar.SetState(ShootingState::Shooting);
    EXPECT_EQ(toolbar.OffsetSteps(), 0);
    EXPECT_EQ(toolbar.ReadOut()->text(), "0.0s");
    EXPECT_FALSE(toolbar.UpDown()->isEnabled());
}

TEST_F(ToolbarTest, TooltipsInTheLanguageOfTheTexts) {
    EXPECT_EQ(toolbar.Button(2156)->toolTip(), "Play");
    EXPECT_EQ(toolbar.Button(2193)->toolTip(), "Clear Pitch");
    EXPECT_EQ(toolbar.ReadOut()->toolTip(), "Pitch");

    QToolBar germanBar;
    Toolbar german;
    german.CreateToolbar(&germanBar, {}, [](int id) {
        return QString::fromStdString(LookupString(UiLanguage::German, id));
    });
    EXPECT_EQ(german.Button(2156)->toolTip(), QString::fromUtf8("Abspielen"));
    EXPECT_EQ(german.Button(2187)->toolTip(), QString::fromUtf8("R\u00fcckw\u00e4rts"));
    EXPECT_EQ(german.Button(2200)->toolTip(), QString::fromUtf8("L\u00f6schen"));
    EXPECT_EQ(german.ReadOut()->toolTip(), QString::fromUtf8("Zeitversatz"));
    EXPECT_EQ(german.UpDown()->toolTip(), german.ReadOut()->toolTip());
}

}  // namespace
}  // namespace zark
