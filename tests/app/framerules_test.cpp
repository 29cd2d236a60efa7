// The main window's rules that need no window: caption, layout, "Rearrange Windows", zoom steps,
// help file names, the About text and the tidying of system-menu separators.
#include <gtest/gtest.h>

#include <QLocale>
#include <cstdint>

#include "window/commandids.h"
#include "app/framerules.h"

namespace zark {
namespace {

TEST(Caption, TitleAloneOrTitleAndFile) {
    EXPECT_EQ(MainCaption("ZARK", ""), "ZARK");
    EXPECT_EQ(MainCaption("ZARK", "/home/anna/data/Rifle 50 meter 1.zas"), "ZARK - /home/anna/data/Rifle 50 meter 1.zas");
    // A file name is text, never a format.
    EXPECT_EQ(MainCaption("ZARK", "100%s.zas"), "ZARK - 100%s.zas");
}

TEST(ClientLayout, BandsAndChildArea) {
    const ClientLayout l = LayOutClient(800, 560, 30);
    EXPECT_EQ(l.replay, (Box{0, 528, 800, 32}));
    EXPECT_EQ(l.toolbar, (Box{0, 0, 800, 30}));
    EXPECT_EQ(l.mdi, (Box{0, 30, 800, 498}));
    EXPECT_EQ(l.welcome, l.mdi);
    // A client area too low for both bands leaves the child area empty, never negative.
    EXPECT_EQ(LayOutClient(100, 40, 30).mdi.height, 0);
}

TEST(Rearrange, ScoreboardTopRightTargetAcrossTheRest) {
    const Arrangement a = ArrangeChildren(900, 500, 170, 236, 170, 236);
    EXPECT_EQ(a.scoreboard, (Box{730, 0, 170, 236}));
    EXPECT_EQ(a.matchBoard, (Box{730, 236, 170, 236}));
    EXPECT_EQ(a.diagram, (Box{730, 236, 170, 264}));
    EXPECT_EQ(a.target, (Box{0, 0, 730, 500}));
}

TEST(Rearrange, AnalysisInTheLowerHalfOfTheColumnBelowTheScoreboard) {
    const auto overlaps = [](const Box& p, const Box& q) {
        return p.x < q.x + q.width && q.x < p.x + p.width && p.y < q.y + q.height && q.y < p.y + p.height;
    };
    const Arrangement a = ArrangeChildren(900, 500, 170, 236, 170, 236);
    EXPECT_EQ(a.analysis, (Box{730, 368, 170, 132}));
    // An odd column: the lower half takes the odd pixel and reaches the bottom.
    const Arrangement odd = ArrangeChildren(1000, 601, 200, 236, 170, 236);
    EXPECT_EQ(odd.analysis, (Box{800, 418, 200, 183}));
    for (const Arrangement& x : {a, odd}) {
        EXPECT_FALSE(overlaps(x.analysis, x.target));
        EXPECT_FALSE(overlaps(x.analysis, x.scoreboard));
    }
    // A half column lower than the window can be grows upwards to its minimum, never over the
    // scoreboard; an area lower than the scoreboard leaves it no height, never a negative one.
    EXPECT_EQ(ArrangeChildren(900, 500, 170, 236, 170, 236, 150).analysis, (Box{730, 350, 170, 150}));
    EXPECT_EQ(ArrangeChildren(900, 336, 170, 236, 170, 236, 150).analysis, (Box{730, 236, 170, 100}));
    EXPECT_EQ(ArrangeChildren(900, 200, 170, 236, 170, 236, 150).analysis, (Box{730, 236, 170, 0}));
}

TEST(Placement, StoredRectanglesAreFitIntoTheScreen) {
    // what fits stays as it is
    EXPECT_EQ(FitPlacement(Rect{100, 50, 900, 650}, 1280, 1024), (Rect{100, 50, 900, 650}));
    // 60000 × 60000 would be a window of gigabytes
    EXPECT_EQ(FitPlacement(Rect{0, 0, 60000, 60000}, 1280, 1024), (Rect{0, 0, 1280, 1024}));
    // saturated numbers (-99999999999 and 99999999999 are read as the 32-bit limits): a width
    // beyond 32 bits
    const Rect saturated{INT32_MIN, 0, INT32_MAX, 480};
    EXPECT_EQ(saturated.Width(), 4294967295LL);
    EXPECT_EQ(FitPlacement(saturated, 1280, 1024), (Rect{0, 0, 1280, 480}));
    EXPECT_EQ(FitPlacement(Rect{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN}, 1280, 1024), (Rect{1280, 1024, 1280, 1024}));
    // off the screen: moved back onto it, keeping its size
    EXPECT_EQ(FitPlacement(Rect{5000, -300, 5600, 100}, 1280, 1024), (Rect{680, 0, 1280, 400}));
    // a rectangle turned inside out has no size; it keeps its corner
    EXPECT_EQ(FitPlacement(Rect{300, 200, 100, 100}, 1280, 1024), (Rect{300, 200, 300, 200}));
    EXPECT_EQ(FitPlacement(Rect{0, 0, 640, 480}, 0, -5), (Rect{0, 0, 0, 0}));
}

TEST(Zoom, CommandsAndSteps) {
    EXPECT_EQ(ZoomAfterCommand(kCmdZoom3, 1), 3);
    EXPECT_EQ(ZoomAfterCommand(kCmdZoomIn, 2), 3);
    EXPECT_EQ(ZoomAfterCommand(kCmdZoomIn, 4), 4);
    EXPECT_EQ(ZoomAfterCommand(kCmdZoomOut, 1), 1);
    EXPECT_EQ(ZoomAfterCommand(kCmdZoomOut, 3), 2);
    // A bad stored zoom counts as the nearest valid one, so Zoom In from 7 stays at 4:1.
    EXPECT_EQ(ZoomAfterCommand(kCmdZoomIn, 7), 4);
    EXPECT_EQ(ZoomAfterCommand(kCmdZoomOut, -3), 1);
    EXPECT_EQ(ClampZoom(0), 1);
    EXPECT_EQ(ClampZoom(9), 4);
}

TEST(HelpFiles, OnePerLanguage) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(HelpFileName(1031, english), "ZARK (Deutsch).html");
    EXPECT_EQ(HelpFileName(1053, english), "ZARK (Svenska).html");
    EXPECT_EQ(HelpFileName(3082, english), "ZARK (Espa\xC3\xB1ol).html");
    EXPECT_EQ(HelpFileName(1033, english), "ZARK (English US).html");
    EXPECT_EQ(HelpFileName(1044, english), "ZARK (English US).html");
    EXPECT_EQ(HelpFileName(1024, english), "ZARK (English US).html");
    // The user's own language is resolved as the texts are: the help matches the menus.
    EXPECT_EQ(HelpFileName(1024, QLocale(QLocale::Swedish, QLocale::Finland)), "ZARK (Svenska).html");
    EXPECT_EQ(HelpFileName(1044, QLocale(QLocale::German, QLocale::Germany)), "ZARK (English US).html");
}

TEST(AboutText, VersionGoesIntoItsPlace) {
    EXPECT_EQ(FormatWithVersion("ZARK Target Practice Computer\r\nVersion %s\r\nmore", "2.0.5"),
              "ZARK Target Practice Computer\r\nVersion 2.0.5\r\nmore");
    EXPECT_EQ(FormatWithVersion("100%% v%s", "2.0.5"), "100% v2.0.5");
    // A translation with stray or extra conversions never reads what is not there.
    EXPECT_EQ(FormatWithVersion("%d %s %s %n", "2.0.5"), "%d 2.0.5 %s %n");
    EXPECT_EQ(FormatWithVersion("ends with %", "2.0.5"), "ends with %");
}


}  // namespace
}  // namespace zark
