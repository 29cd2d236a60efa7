// The menu bar: items, texts in every language, initial states, the Shoot menu of each target
// family, the four menu states and the check marks.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "window/commandids.h"
#include "app/menubar.h"
#include "apptestsupport.h"
#include "i18n/uistrings.h"

namespace zark {
namespace {

using test::CommandsOf;
using test::TextsOf;

MenuBar::TextSource TextsIn(UiLanguage language) {
    return [language](int id) { return QString::fromStdString(LookupString(language, id)); };
}

class MenuBarTest : public ::testing::Test {
protected:
    void Build(UiLanguage language = UiLanguage::English) {
        bar = std::make_unique<MenuBar>(TextsIn(language));
        ASSERT_EQ(bar->Build(), 1);
        bar->SetCommandHandler([this](int command) { sent.push_back(command); });
    }
    bool Enabled(int command) { return bar->Action(command)->isEnabled(); }

    std::unique_ptr<MenuBar> bar;
    std::vector<int> sent;
};

TEST_F(MenuBarTest, BarAndItemsInOrder) {
    Build();
    std::vector<QString> titles;
    for (QAction* action : bar->Bar()->actions()) titles.push_back(action->text());
    EXPECT_EQ(titles, (std::vector<QString>{"&File", "&View", "&Targets", "&Shoot", "&Help"}));
    // Watch Lane (2195) came after the original items
    EXPECT_EQ(CommandsOf(bar->FileMenu()), (std::vector<int>{2101, 2102, 2200, 2197, 2195, 0, 2103, 2104, 2194, 2182, 0, 2100}));
    EXPECT_EQ(CommandsOf(bar->ViewMenu()),
              (std::vector<int>{2105, 2106, 2107, 2108, 0, 2152, 2146, 2160, 2161, 2162, 2148, 2164, 2183, 0, 2155, 2156}));
    EXPECT_EQ(CommandsOf(bar->HelpMenu()), (std::vector<int>{2159, 0, 2199, 0, 2150}));
    EXPECT_EQ(TextsOf(bar->FileMenu()).front(), "&Open...\tCtrl+O");
    EXPECT_EQ(bar->Action(2100)->text(), "E&xit\tAlt+F4");

    std::vector<QString> popups;
    for (QAction* action : bar->TargetsMenu()->actions()) popups.push_back(action->text());
    EXPECT_EQ(popups, (std::vector<QString>{"&Rifle", "&Pistol", "&Hunt", "&Biathlon"}));
    const QList<QAction*> targetPopups = bar->TargetsMenu()->actions();
    EXPECT_EQ(CommandsOf(targetPopups[0]->menu()),
              (std::vector<int>{2109, 2110, 2111, 2112, 2113, 0, 2114, 2115, 0, 2127, 2128, 2129, 2131, 2130, 2132,
                                2133, 2134}));
    EXPECT_EQ(CommandsOf(targetPopups[1]->menu()), (std::vector<int>{2116, 2117, 2118, 0, 2119, 2120}));
    EXPECT_EQ(CommandsOf(targetPopups[2]->menu()), (std::vector<int>{2121, 2122, 2123, 2124, 2125, 0, 2126}));
    EXPECT_EQ(CommandsOf(targetPopups[3]->menu()), (std::vector<int>{2135, 2136}));
    EXPECT_EQ(bar->Accelerators().size(), 13u);
}

TEST_F(MenuBarTest, InitialStates) {
    Build();
    for (const int on : {2101, 2200, 2197, 2103, 2182, 2100, 2159, 2199, 2150, 2109, 2136}) EXPECT_TRUE(Enabled(on)) << on;
    for (const int grey : {2102, 2104, 2105, 2106, 2107, 2108, 2152, 2183, 2155, 2156}) EXPECT_FALSE(Enabled(grey)) << grey;
    for (const int check : {2197, 2199, 2152, 2155}) EXPECT_EQ(bar->HasCheck(check), 0) << check;
    // The Shoot menu is on the bar, grey and empty, until a target is shown.
    EXPECT_FALSE(bar->ShootMenu()->menuAction()->isEnabled());
    EXPECT_TRUE(bar->ShootMenu()->actions().isEmpty());
    EXPECT_TRUE(bar->TargetsMenu()->menuAction()->isEnabled());
}

TEST_F(MenuBarTest, ShootMenuOfEachFamily) {
    Build();
    const std::vector<int> tail{2163, 2198, 2157, 2158};
    const auto expect = [&](int family, std::vector<int> items) {
        ASSERT_EQ(bar->RebuildShootMenu(family), 1) << family;
        items.insert(items.end(), tail.begin(), tail.end());
        EXPECT_EQ(CommandsOf(bar->ShootMenu()), items) << family;
        EXPECT_TRUE(bar->ShootMenu()->menuAction()->isEnabled());
        EXPECT_TRUE(bar->Action(2198)->isEnabled());
        EXPECT_TRUE(bar->Action(2163)->isEnabled());
        EXPECT_FALSE(bar->Action(2157)->isEnabled());
        EXPECT_FALSE(bar->Action(2158)->isEnabled());
    };
    expect(1000, {2137, 2139, 2142, 2144});
    expect(2000, {2138, 2140, 2141, 2144, 2145});
    expect(3000, {2137, 2139, 2143});
    expect(4000, {2139, 2142});
    expect(5000, {2137, 2142, 2144});
    EXPECT_EQ(TextsOf(bar->ShootMenu()),
              (std::vector<QString>{"Sighters &3 Shots", "Serie &5 Shots", "Serie &10 Shots", "&Timed Series...\tCtrl+T", "&Match...",
                                    "&Pause\tF3",
                                    "&New Serie\tF10"}));
    // A family without a row keeps the items there are.
    EXPECT_EQ(bar->RebuildShootMenu(6000), 0);
    EXPECT_EQ(CommandsOf(bar->ShootMenu()), (std::vector<int>{2137, 2142, 2144, 2163, 2198, 2157, 2158}));
    // Items of an earlier family are gone for good.
    EXPECT_EQ(bar->Action(2145), nullptr);
}

TEST_F(MenuBarTest, TheFourMenuStates) {
    Build();
    bar->RebuildShootMenu(1000);
    struct Expect {
        ShootingState state;
        std::vector<int> on;
        std::vector<int> grey;
        bool targets;
        bool shootItems;
        QString pauseText;
        bool pause;
        bool newSerie;
    };
    const Expect states[] = {
        {ShootingState::TargetShown, {2101, 2200, 2103, 2182, 2152, 2155, 2156, 2105, 2108, 2183}, {2102, 2104},
         true, true, "&Pause\tF3", false, false},
        {ShootingState::Shooting, {}, {2102, 2101, 2200, 2103, 2104, 2182, 2152, 2155, 2156}, false, false,
         "&Pause\tF3", true, false},
        {ShootingState::Paused, {2101, 2200, 2103, 2152, 2156}, {2102, 2104, 2182, 2155}, true, true,
         "&Continue\tF3", true, true},
        {ShootingState::Idle, {2102, 2101, 2200, 2103, 2104, 2182, 2152, 2155, 2156}, {}, true, true, "&Pause\tF3",
         false, true},
    };
    for (const Expect& e : states) {
        bar->SetMenuState(e.state);
        const int column = int(e.state);
        for (const int c : e.on) EXPECT_TRUE(Enabled(c)) << c << " in state " << column;
        for (const int c : e.grey) EXPECT_FALSE(Enabled(c)) << c << " in state " << column;
        EXPECT_EQ(bar->TargetsMenu()->menuAction()->isEnabled(), e.targets) << column;
        for (const int c : {2137, 2139, 2142, 2144, 2198}) EXPECT_EQ(Enabled(c), e.shootItems) << c << " " << column;
        EXPECT_EQ(bar->Action(2157)->text(), e.pauseText) << column;
        EXPECT_EQ(Enabled(2157), e.pause) << column;
        EXPECT_EQ(Enabled(2158), e.newSerie) << column;
        // The Shoot menu itself stays on the bar.
        EXPECT_TRUE(bar->ShootMenu()->menuAction()->isEnabled());
    }
    // Zoom and "Rearrange Windows" are switched on with the target and left alone afterwards.
    bar->SetMenuState(ShootingState::Shooting);
    EXPECT_TRUE(Enabled(2107));
    EXPECT_TRUE(Enabled(2183));
}

TEST_F(MenuBarTest, ChecksBelongToTheCommands) {
    Build();
    EXPECT_EQ(bar->ToggleCheck(2152), 1);
    EXPECT_EQ(bar->HasCheck(2152), 1);
    EXPECT_EQ(bar->ToggleCheck(2152), 0);
    EXPECT_EQ(bar->HasCheck(2152), 0);
    EXPECT_FALSE(bar->Action(2152)->isChecked());

    // Choosing a checkable item sends its command and leaves the mark to it.
    bar->Action(2197)->trigger();
    EXPECT_EQ(sent, (std::vector<int>{2197}));
    EXPECT_FALSE(bar->Action(2197)->isChecked());
    EXPECT_EQ(bar->HasCheck(2197), 0);

    bar->EnableSave();
    EXPECT_TRUE(Enabled(2102));
    EXPECT_FALSE(Enabled(2104));  // enabling Save enables nothing else

    bar->ZoomRadio(2107);
    for (const int c : {2105, 2106, 2107, 2108}) EXPECT_EQ(bar->Action(c)->isChecked(), c == 2107) << c;
    bar->ZoomRadio(2105);
    for (const int c : {2105, 2106, 2107, 2108}) EXPECT_EQ(bar->Action(c)->isChecked(), c == 2105) << c;
    bar->ZoomRadio(2112);  // not of the group
    EXPECT_TRUE(bar->Action(2105)->isChecked());
    EXPECT_FALSE(bar->Action(2112)->isCheckable());

    // A grey item cannot be chosen.
    sent.clear();
    bar->Action(2104)->trigger();
    EXPECT_TRUE(sent.empty());
}

}  // namespace
}  // namespace zark
