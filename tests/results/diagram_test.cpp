// The deviation diagram: the axis at the bottom or in the middle as the ticked curves require,
// the grid line per second, the ring radii as reference lines (none and a scale of 800 on a face
// without rings), the averages in the check boxes' captions, the curves kept with the window's
// place, and the close box that only unchecks the Diagram item.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QPainter>
#include <memory>

#include "window/commandids.h"
#include "app/mainframe.h"
#include "window/mdiclient.h"
#include "apptestsupport.h"
#include "results/diagramplot.h"
#include "results/widgets/diagramwindow.h"
#include "results/widgets/scoreboard.h"
#include "resultstestsupport.h"
#include "settings/settings.h"
#include "targets/builtcatalogue.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

const QColor kGrey(192, 192, 192);

class Diagram : public ::testing::Test, public test::HubAndArea {
protected:
    Diagram() {
        test::RemoveValue("Dialogs/Diagram");
        Build();
        host.show();
    }
    void Build() {
        window = std::make_unique<DiagramWindow>();
        window->Create(client);
        window->AttachPlot(hub);
        window->Window()->show();
    }
    DiagramPlot& Plot() { return *window->Plot(); }
    QImage Render(int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        QPainter painter(&image);
        DiagramPlot::Context context;
        context.rect = QRect(0, 0, width, height);
        Plot().Paint(painter, context);
        return image;
    }
    void Tick(int box, bool on) {
        QCheckBox* check = window->Box(box);
        if (check->isChecked() != on) QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
        ASSERT_EQ(check->isChecked(), on);
    }

    std::unique_ptr<DiagramWindow> window;
};

TEST_F(Diagram, TheAxisLiesAtTheBottomOrInTheMiddleAsTheTickedCurvesRequire) {
    EXPECT_EQ(Plot().Flags(), 7);  // first start: absolute, horizontal and vertical
    Tick(2, false);
    Tick(3, false);
    Tick(0, true);
    EXPECT_EQ(Plot().Flags(), kCurveAbsolute | kCurveSpeed);
    QImage image = Render(400, 200);
    EXPECT_EQ(image.pixelColor(200, 199), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(200, 100), QColor(Qt::white));
    Tick(2, true);  // horizontal deviation has signs: the axis goes to the middle
    image = Render(400, 200);
    EXPECT_EQ(image.pixelColor(200, 100), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(200, 199), QColor(Qt::white));
    // The printout's layout: values toward the left of an axis on the right.
    EXPECT_EQ(DiagramPlot::AxisPosition(kCurveAbsolute | kPlotUpright, 300, 500), 299);
    EXPECT_EQ(DiagramPlot::AxisPosition(kCurveVertical | kPlotUpright, 300, 500), 150);

    // The curves go with the window's place and come back with it.
    window.reset();
    EXPECT_TRUE(test::StoredValue("Dialogs/Diagram").toString().endsWith(":11"));
    Build();
    EXPECT_EQ(Plot().Flags(), 11);
    EXPECT_TRUE(window->Box(0)->isChecked());
    EXPECT_FALSE(window->Box(3)->isChecked());
}

TEST_F(Diagram, AGridLineEverySecond) {
    EXPECT_EQ(DiagramPlot::GridSpacing(500, 0, 125, 40), 100);  // 5 s in 500 pixels
    EXPECT_EQ(DiagramPlot::GridSpacing(500, 0, 10, 40), 0);     // a second is wider than the plot
    EXPECT_EQ(DiagramPlot::GridSpacing(1000, 0, 22499, 40), 0);  // 15 minutes: no grey plot
    hub.SetTargets(nullptr, nullptr);
    hub.ShowTraceRange(0, 125, 0);
    const QImage image = Render(500, 200);
    for (const int x : {100, 200, 300, 400}) EXPECT_EQ(image.pixelColor(x, 20), kGrey) << x;
    EXPECT_EQ(image.pixelColor(50, 20), QColor(Qt::white));
}

TEST_F(Diagram, RingRadiiAreReferenceLinesAndAFaceWithoutRingsScalesTo800) {
    const TargetDescriptor& rifle = test::BuiltCatalogue().Entry(3);
    hub.SetTargets(&rifle, nullptr);
    ASSERT_EQ(int(Plot().Levels().size()), rifle.RingCount());
    EXPECT_EQ(Plot().FullScale(), 618);  // ring 1's 617.6 units, rounded up
    Tick(1, true);
    Tick(2, false);
    Tick(3, false);
    const QImage image = Render(300, 400);
    const std::vector<int> lines = DiagramPlot::ReferencePositions(Plot().Flags(), 399, Plot().FullScale(), Plot().Levels());
    ASSERT_EQ(int(lines.size()), rifle.RingCount());
    EXPECT_EQ(lines.front(), 0);  // the outer ring at the edge
    for (const int y : lines) {
        if (y >= 399) continue;  // on the axis
        EXPECT_EQ(image.pixelColor(150, y), kGrey) << y;
    }

    TargetDescriptor bare;
    bare.Define(0, 9300, KindField, 50, 100, 100, 100, WeaponClass::Rifle, 0.0);
    hub.SetTargets(&bare, nullptr);
    EXPECT_TRUE(Plot().Levels().empty());
    EXPECT_EQ(Plot().FullScale(), 800);
    const QImage plain = Render(300, 400);
    for (int y = 0; y < 399; ++y) ASSERT_EQ(plain.pixelColor(150, y), QColor(Qt::white)) << y;
    // A value of 400 draws halfway up: the scale is 800.
    hub.NewSeries(1, 0, 0);
    for (int i = 0; i < 20; ++i) hub.FeedSample(400, 0, 0, 0, -1);
    hub.ShowTraceRange(0, 19, 0);
    const QImage curve = Render(300, 400);
    EXPECT_EQ(curve.pixelColor(150, 399 - 399 * 400 / 800), QColor(128, 0, 128));
}

TEST_F(Diagram, AveragesOfTheAimBeforeEachShotInTheCaptions) {
    EXPECT_EQ(window->Box(1)->text(), "Absolute deviation");
    hub.NewSeries(1, 0, 0);
    for (int i = 0; i < 10; ++i) hub.FeedSample(20, 20, 0, 0, -1);
    hub.FeedSample(0, 0, 0, 0, -1);  // a break: the walk back from the shot stops here
    for (int i = 0; i < 9; ++i) hub.FeedSample(i % 2 ? -57 : 57, 0, 0, 0, -1);
    hub.FeedSample(-57, 0, 1, 0, -1);  // the shot, point 20
    for (int i = 0; i < 5; ++i) hub.FeedSample(30, 30, 0, 0, -1);
    hub.ShowTraceRange(0, 25, 0);
    // ten points from 57 to -57 and back: the first after the break has no speed
    EXPECT_EQ(Plot().Averages(), (DiagramAverages{9 * 114 / 10, 57, 0, 0}));
    EXPECT_EQ(window->Box(1)->text(), "Absolute deviation (Average 57)");
    EXPECT_EQ(window->Box(0)->text(), "Speed (Average 102)");
    EXPECT_EQ(window->Box(2)->text(), "Horizontal deviation (Average 0)");
    // No shot in the range: no averages of an earlier range stay behind.
    hub.ShowTraceRange(-1, -1, 0);
    EXPECT_EQ(window->Box(1)->text(), "Absolute deviation (Average 0)");
}

TEST_F(Diagram, ThePrintoutRunsTimeUpwardInBlackAndTheReplayMarkerFollowsTheReplay) {
    hub.SetTargets(&test::BuiltCatalogue().Entry(3), nullptr);
    hub.NewSeries(1, 0, 0);
    for (int i = 0; i < 100; ++i) hub.FeedSample(40 + i, 30, 0, 0, -1);
    test::FeedShot(hub, 20, 10);
    hub.ShowTraceRange(0, 120, 0);

    // The printout's flags: time from bottom to top, no grid, a frame; every line black.
    Plot().SetFlags(kCurveFlags | kPlotUpright | kPlotNoGrid | kPlotFrame);
    QImage page(300, 500, QImage::Format_RGB32);
    QPainter painter(&page);
    DiagramPlot::Context print;
    print.rect = page.rect();
    print.printing = true;
    print.pixelsPerMm = 4;
    Plot().Paint(painter, print);
    painter.end();
    int coloured = 0, black = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            coloured += c != QColor(Qt::white) && c != QColor(Qt::black);
            black += c == QColor(Qt::black);
        }
    EXPECT_EQ(coloured, 0);
    EXPECT_GT(black, 1500);
    EXPECT_EQ(page.pixelColor(0, 250), QColor(Qt::black));    // the frame
    EXPECT_EQ(page.pixelColor(150, 250), QColor(Qt::black));  // the axis in the middle, along the time

    // The marker appears with a replay, follows the replayed points and goes with the replay.
    Plot().SetFlags(kCurveAbsolute);
    hub.BeginReplay();
    EXPECT_TRUE(Plot().MarkerVisible());
    hub.FeedSample(0, 0, 0, 1, 60);
    EXPECT_EQ(Plot().ReplayPosition(), 60);
    EXPECT_EQ(Plot().MarkerPosition(600), 300);
    const QImage shown = Render(600, 200);
    EXPECT_EQ(shown.pixelColor(300, 5), QColor(Qt::red));
    hub.EndReplay();
    EXPECT_FALSE(Plot().MarkerVisible());
    EXPECT_NE(Render(600, 200).pixelColor(300, 5), QColor(Qt::red));
}

TEST(DiagramInFrame, TheCloseBoxUnchecksTheDiagramItem) {
    test::StoreValue("HideWarningAtStartup", "1");
    MainFrame frame;
    ASSERT_EQ(frame.Create("ZARK", "ZARK"), 1);
    ASSERT_TRUE(test::ChooseCommand(frame, kCmdAirRifle));
    DiagramWindow& diagram = *frame.Diagram();
    EXPECT_FALSE(diagram.Window()->isVisible());
    ASSERT_TRUE(test::ChooseCommand(frame, kCmdDiagram));
    EXPECT_TRUE(diagram.Window()->isVisible());
    EXPECT_EQ(diagram.Window()->windowTitle(), "Diagram");
    diagram.Window()->close();  // as its close box does
    EXPECT_FALSE(diagram.Window()->isVisible());
    EXPECT_EQ(frame.Menus().HasCheck(kCmdDiagram), 0);
    EXPECT_NE(frame.Diagram(), nullptr);  // hidden, not gone
    // Rearranging places the results windows in the column right of the target window.
    frame.resize(1000, 700);
    QCoreApplication::processEvents();
    frame.OnCommand(kCmdRearrange);
    const QSize area = frame.Mdi().ClientSize();
    EXPECT_EQ(frame.ScoreboardWindow()->Geometry().right, area.width());
    EXPECT_EQ(diagram.Geometry().bottom, area.height());
}

}  // namespace
}  // namespace zark
