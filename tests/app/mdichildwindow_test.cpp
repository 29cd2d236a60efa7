// The window framework: child windows in the child-window area, their system menus, hidden
// creation, placement values and ids.
#include <gtest/gtest.h>

#include <QAction>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include "window/mdichildwindow.h"
#include "window/mdiclient.h"
#include "apptestsupport.h"

namespace zark {
namespace {

using test::RemoveValue;
using test::StoredValue;
using test::StoreValue;

std::vector<int> SystemCommands(const MdiChildWindow& child) {
    std::vector<int> commands;
    for (QAction* action : child.Window()->systemMenu()->actions())
        commands.push_back(action->isSeparator() ? 0 : SystemCommandOf(action));
    return commands;
}

bool HasCommand(const MdiChildWindow& child, int command) {
    const std::vector<int> commands = SystemCommands(child);
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

bool TwoSeparatorsInARow(const MdiChildWindow& child) {
    bool previous = false;
    for (QAction* action : child.Window()->systemMenu()->actions()) {
        if (action->isSeparator() && previous) return true;
        previous = action->isSeparator();
    }
    return false;
}

// Counts what reaches the window and consumes the events it is told to.
class CountingChild final : public MdiChildWindow {
public:
    bool OnWindowEvent(QEvent* event) override {
        if (event->type() == QEvent::Show) ++shows;
        if (event->type() == QEvent::Paint) ++paints;
        if (event->type() != consume) return false;
        event->ignore();
        return true;
    }
    int shows = 0;
    int paints = 0;
    QEvent::Type consume = QEvent::None;
};

class MdiChildTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.resize(700, 500);
        ASSERT_EQ(client.Create(&host, QRect(0, 0, 700, 500)), 1);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }

    static constexpr std::uint32_t kFramed = kStyleCaption | kStyleSysMenu | kStyleThickFrame;
    QWidget host;
    MdiClient client;
};

TEST_F(MdiChildTest, NoBoxesNoMinimiseMaximiseOrRestore) {
    MdiChildWindow child;
    ASSERT_EQ(child.Create("Scoreboard", kFramed | kStyleVisible, Rect{10, 20, 180, 260}, client), 1);
    EXPECT_FALSE(HasCommand(child, kScMinimize));
    EXPECT_FALSE(HasCommand(child, kScMaximize));
    EXPECT_FALSE(HasCommand(child, kScRestore));
    EXPECT_TRUE(HasCommand(child, kScMove));
    EXPECT_TRUE(HasCommand(child, kScSize));
    EXPECT_TRUE(HasCommand(child, kScClose));
    EXPECT_FALSE(TwoSeparatorsInARow(child));
    EXPECT_FALSE(child.Window()->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(child.Window()->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(child.Geometry(), (Rect{10, 20, 180, 260}));
    EXPECT_EQ(child.Window()->windowTitle(), "Scoreboard");
}

TEST_F(MdiChildTest, BoxesKeepTheirItems) {
    MdiChildWindow both;
    both.Create("Both", kFramed | kStyleMinimizeBox | kStyleMaximizeBox, Rect{0, 0, 200, 150}, client);
    for (const int c : {kScRestore, kScMinimize, kScMaximize, kScClose}) EXPECT_TRUE(HasCommand(both, c)) << c;
    MdiChildWindow minimiseOnly;
    minimiseOnly.Create("Min", kFramed | kStyleMinimizeBox, Rect{0, 0, 200, 150}, client);
    EXPECT_TRUE(HasCommand(minimiseOnly, kScRestore));
    EXPECT_TRUE(HasCommand(minimiseOnly, kScMinimize));
    EXPECT_FALSE(HasCommand(minimiseOnly, kScMaximize));
    EXPECT_TRUE(minimiseOnly.Window()->windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(MdiChildTest, RemoveCloseLeavesNoWayToClose) {
    MdiChildWindow child;
    child.Create("Target", kFramed | kStyleVisible, Rect{0, 0, 300, 300}, client);
    ASSERT_TRUE(child.Window()->isVisible());
    EXPECT_EQ(child.RemoveClose(), 1);
    EXPECT_FALSE(HasCommand(child, kScClose));
    EXPECT_FALSE(TwoSeparatorsInARow(child));
    EXPECT_FALSE(child.Window()->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(child.Window()->close());
    EXPECT_TRUE(child.Window()->isVisible());

    MdiChildWindow keeps;  // the diagram keeps its close item and can be closed (it is hidden)
    keeps.Create("Diagram", kFramed | kStyleVisible, Rect{0, 0, 100, 100}, client);
    EXPECT_TRUE(keeps.Window()->close());
    EXPECT_FALSE(keeps.Window()->isVisible());
    EXPECT_NE(keeps.Window(), nullptr);

    MdiChildWindow bare;
    bare.Create("Bare", kStyleCaption, Rect{0, 0, 100, 100}, client);
    EXPECT_EQ(bare.Window()->systemMenu(), nullptr);
    EXPECT_EQ(bare.RemoveClose(), 0);
}

TEST_F(MdiChildTest, HiddenCreationShowsNothing) {
    CountingChild child;
    ASSERT_EQ(child.Create("Hidden", kFramed, Rect{40, 40, 240, 240}, client), 1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(child.Window()->isVisible());
    EXPECT_EQ(child.shows, 0);
    EXPECT_EQ(child.paints, 0);
    EXPECT_TRUE(client.Area()->viewport()->updatesEnabled());

    CountingChild shown;
    shown.Create("Shown", kFramed | kStyleVisible, Rect{40, 40, 240, 240}, client);
    EXPECT_TRUE(shown.Window()->isVisible());
    EXPECT_EQ(shown.shows, 1);
}

TEST_F(MdiChildTest, EventsReachTheObjectAndMayBeConsumed) {
    CountingChild child;
    child.Create("Events", kFramed | kStyleVisible, Rect{0, 0, 200, 200}, client);
    QCoreApplication::processEvents();
    EXPECT_GT(child.paints, 0);
    // A close the object consumes (and refuses) never reaches the standard handling.
    child.consume = QEvent::Close;
    EXPECT_FALSE(child.Window()->close());
    EXPECT_TRUE(child.Window()->isVisible());
    child.consume = QEvent::None;
    EXPECT_TRUE(child.Window()->close());
    EXPECT_FALSE(child.Window()->isVisible());
}

TEST_F(MdiChildTest, WithoutThickFrameTheSizeIsFixed) {
    MdiChildWindow child;
    child.Create("Fixed", kStyleCaption | kStyleSysMenu | kStyleVisible, Rect{5, 5, 205, 105}, client);
    EXPECT_EQ(child.Window()->minimumSize(), QSize(200, 100));
    EXPECT_EQ(child.Window()->maximumSize(), QSize(200, 100));
    child.SetGeometry(Rect{10, 10, 310, 160});
    EXPECT_EQ(child.Geometry(), (Rect{10, 10, 310, 160}));

    MdiChildWindow sizable;
    sizable.Create("Sizable", kFramed | kStyleVisible, Rect{5, 5, 205, 105}, client);
    EXPECT_NE(sizable.Window()->maximumSize(), QSize(200, 100));
}

TEST_F(MdiChildTest, PlacementIsReadAtCreationAndWrittenAtDestruction) {
    RemoveValue("Dialogs/Target");
    {
        MdiChildWindow child;
        child.CreatePlaced("Target", kFramed | kStyleVisible, "Target", Rect{0, 0, 462, 402}, client);
        EXPECT_EQ(child.Geometry(), (Rect{0, 0, 462, 402}));
        child.Window()->move(30, 12);  // as the user drags it
    }
    EXPECT_EQ(StoredValue("Dialogs/Target").toString(), "30,12,492,414");
    {
        MdiChildWindow child;
        child.CreatePlaced("Target", kFramed | kStyleVisible, "Target", Rect{0, 0, 462, 402}, client);
        EXPECT_EQ(child.Geometry(), (Rect{30, 12, 492, 414}));
    }

    // The word after the rectangle is read and written with it.
    StoreValue("Dialogs/Diagram", "462,232,632,402:2");
    {
        MdiChildWindow diagram;
        diagram.CreatePlaced("Diagram", kFramed, "Diagram", Rect{1, 1, 2, 2}, client);
        EXPECT_EQ(diagram.Geometry(), (Rect{462, 232, 632, 402}));
        EXPECT_EQ(diagram.StoredWord(), "2");
        diagram.SetPlacementWord("6");
    }
    EXPECT_EQ(StoredValue("Dialogs/Diagram").toString(), "462,232,632,402:6");

    // Stored numbers beyond the screen are fit into it (the offscreen screen is 800 × 800).
    const QRect screen = client.Area()->screen()->availableGeometry();
    StoreValue("Dialogs/Diagram", "-99999999999,0,99999999999,480");
    {
        MdiChildWindow diagram;
        diagram.CreatePlaced("Diagram", kFramed, "Diagram", Rect{1, 1, 2, 2}, client);
        EXPECT_EQ(diagram.Geometry(), (Rect{0, 0, screen.width(), 480}));
    }
    StoreValue("Dialogs/Diagram", "5000,5000,5170,5236");
    {
        MdiChildWindow diagram;
        diagram.CreatePlaced("Diagram", kFramed, "Diagram", Rect{1, 1, 2, 2}, client);
        EXPECT_EQ(diagram.Geometry(), (Rect{screen.width() - 170, screen.height() - 236, screen.width(), screen.height()}));
    }

    // A value with three numbers is no rectangle: the default is used.
    StoreValue("Dialogs/Diagram", "462,232,632");
    MdiChildWindow diagram;
    diagram.CreatePlaced("Diagram", kFramed, "Diagram", Rect{462, 232, 632, 402}, client);
    EXPECT_EQ(diagram.Geometry(), (Rect{462, 232, 632, 402}));
    EXPECT_EQ(diagram.StoredWord(), "");
}

TEST_F(MdiChildTest, AMinimisedChildKeepsItsNormalPlacement) {
    RemoveValue("Dialogs/Scoreboard");
    {
        MdiChildWindow child;
        child.CreatePlaced("Scoreboard", kFramed | kStyleMinimizeBox | kStyleVisible, "Scoreboard",
                           Rect{462, 0, 632, 236}, client);
        child.Window()->showMinimized();
        QCoreApplication::processEvents();
        EXPECT_NE(child.Geometry(), (Rect{462, 0, 632, 236}));
    }
    EXPECT_EQ(StoredValue("Dialogs/Scoreboard").toString(), "462,0,632,236");
}

TEST_F(MdiChildTest, ChildrenAreNumberedAndActivatedByNumber) {
    MdiChildWindow first;
    MdiChildWindow second;
    first.Create("First", kFramed | kStyleVisible, Rect{0, 0, 200, 200}, client);
    second.Create("Second", kFramed, Rect{50, 50, 250, 250}, client);
    EXPECT_EQ(first.ChildId(), 3000);
    EXPECT_EQ(second.ChildId(), 3001);
    EXPECT_EQ(client.ActivateChild(3001), 1);
    EXPECT_TRUE(second.Window()->isVisible());
    EXPECT_EQ(client.Area()->activeSubWindow(), second.Window());
    EXPECT_EQ(client.ActivateChild(3002), 0);
    EXPECT_EQ(client.ChildById(3000), &first);
}

TEST_F(MdiChildTest, ChildrenLeaveTheClientWhenDestroyed) {
    auto child = std::make_unique<MdiChildWindow>();
    child->Create("Gone", kFramed | kStyleVisible, Rect{0, 0, 100, 100}, client);
    const int id = child->ChildId();
    child.reset();
    EXPECT_EQ(client.ChildById(id), nullptr);
    EXPECT_TRUE(client.Area()->subWindowList().isEmpty());
}

TEST(Separators, ARunKeepsItsLastSeparator) {
    using V = std::vector<bool>;
    EXPECT_EQ(SurplusSeparators(V{false, true, true, false}), (std::vector<int>{1}));
    EXPECT_EQ(SurplusSeparators(V{true, true, true}), (std::vector<int>{1, 0}));
    // A separator at the top or bottom stays.
    EXPECT_TRUE(SurplusSeparators(V{true, false, true}).empty());
    EXPECT_EQ(SurplusSeparators(V{false, true, true, false, true, true}), (std::vector<int>{4, 1}));
    EXPECT_TRUE(SurplusSeparators(V{}).empty());
}

}  // namespace
}  // namespace zark
