// "Rearrange Windows" on screens of today: the Part's layout where the screen is no wider than the
// face needs, the face whole and one or two readable results columns where it is.
#include <gtest/gtest.h>

#include <vector>

#include "app/windowlayout.h"

namespace zark {
namespace {

bool Overlap(const Box& p, const Box& q) {
    return p.x < q.x + q.width && q.x < p.x + p.width && p.y < q.y + q.height && q.y < p.y + p.height;
}

// Every shown box inside the area, none over another, the column boxes meeting the target's edge.
void ExpectTiled(const WindowArrangement& a, int width, int height, const std::vector<Box>& shown) {
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const Box& b = shown[i];
        EXPECT_GE(b.x, 0);
        EXPECT_GE(b.y, 0);
        EXPECT_LE(b.x + b.width, width);
        EXPECT_LE(b.y + b.height, height);
        EXPECT_GT(b.width, 0);
        EXPECT_GT(b.height, 0);
        for (std::size_t j = i + 1; j < shown.size(); ++j) EXPECT_FALSE(Overlap(b, shown[j])) << i << " over " << j;
    }
    EXPECT_EQ(a.scoreboard.x, a.target.width);
}

WindowSet Shown(int width, int height, bool diagram, bool analysis, bool progress = false) {
    WindowSet set;
    set.areaWidth = width;
    set.areaHeight = height;
    set.scoreboardWidth = 170;
    set.scoreboardHeight = 236;
    set.matchBoardWidth = 170;
    set.matchBoardHeight = 236;
    set.diagramShown = diagram;
    set.diagramWidth = 260;
    set.analysisShown = analysis;
    set.analysisWidth = 420;
    set.analysisMinHeight = 150;
    set.progressShown = progress;
    return set;
}

TEST(WideRearrange, ThePartsLayoutWhereTheScreenIsNoWiderThanTheFaceNeeds) {
    // W − s = 600 ≤ H: exactly the Part's layout, whatever is shown.
    const WindowArrangement a = ArrangeWindows(Shown(770, 600, true, true, true));
    const Arrangement part = ArrangeChildren(770, 600, 170, 236, 170, 236, 150);
    EXPECT_EQ(a.columns, 0);
    EXPECT_EQ(a.target, part.target);
    EXPECT_EQ(a.scoreboard, part.scoreboard);
    EXPECT_EQ(a.matchBoard, part.matchBoard);
    EXPECT_EQ(a.diagram, part.diagram);
    EXPECT_EQ(a.analysis, part.analysis);
    EXPECT_EQ(a.progress, Box{});
}

TEST(WideRearrange, TheWholeFaceAndTwoColumnsOnLargeScreens) {
    // The child areas of a maximised window at 1920 × 1080 and 2560 × 1440.
    for (const auto& [width, height] : {std::pair{1920, 950}, std::pair{2560, 1310}}) {
        const WindowArrangement a = ArrangeWindows(Shown(width, height, true, true, true));
        EXPECT_EQ(a.columns, 2);
        EXPECT_EQ(a.target, (Box{0, 0, height, height}));  // the face's full height
        EXPECT_GE(a.scoreboard.width, kMinResultsColumn);
        EXPECT_GE(a.analysis.width, 420);  // every column of the analysis
        EXPECT_EQ(a.diagram.width, a.scoreboard.width);
        EXPECT_EQ(a.diagram.y + a.diagram.height, height);
        EXPECT_EQ(a.analysis.x, a.scoreboard.x + a.scoreboard.width);
        EXPECT_EQ(a.progress.y + a.progress.height, height);
        EXPECT_EQ(a.analysis.x + a.analysis.width, width);
        ExpectTiled(a, width, height, {a.target, a.scoreboard, a.diagram, a.analysis, a.progress});
    }
    // With the match board shown it goes between the scoreboard and the diagram.
    WindowSet match = Shown(1920, 950, true, false);
    match.matchBoardShown = true;
    const WindowArrangement m = ArrangeWindows(match);
    EXPECT_EQ(m.matchBoard.y, m.scoreboard.y + m.scoreboard.height);
    EXPECT_EQ(m.diagram.y, m.matchBoard.y + m.matchBoard.height);
    ExpectTiled(m, 1920, 950, {m.target, m.scoreboard, m.matchBoard, m.diagram});
}

TEST(WideRearrange, OneColumnOrASmallerFaceOnALaptop) {
    // Scoreboard and diagram only: one column of all the width the face leaves.
    const WindowArrangement one = ArrangeWindows(Shown(1024, 470, true, false));
    EXPECT_EQ(one.columns, 1);
    EXPECT_EQ(one.target, (Box{0, 0, 470, 470}));
    EXPECT_EQ(one.scoreboard.width, 1024 - 470);
    EXPECT_EQ(one.analysis, Box{});  // hidden windows stay where they are
    ExpectTiled(one, 1024, 470, {one.target, one.scoreboard, one.diagram});
    // The analysis too: a second column where the face keeps three quarters of the height.
    const WindowArrangement two = ArrangeWindows(Shown(1200, 560, true, true));
    EXPECT_EQ(two.columns, 2);
    EXPECT_EQ(two.target.width, 1200 - 300 - 420);
    EXPECT_GE(two.target.width, 560 * 3 / 4);
    EXPECT_EQ(two.analysis.width, 420);
    ExpectTiled(two, 1200, 560, {two.target, two.scoreboard, two.diagram, two.analysis});
    // Too narrow for that: all in one column, the analysis no lower than it can be.
    const WindowArrangement stacked = ArrangeWindows(Shown(1024, 470, true, true));
    EXPECT_EQ(stacked.columns, 1);
    EXPECT_EQ(stacked.target.width, 470);
    EXPECT_EQ(stacked.analysis.height, 150);
    EXPECT_EQ(stacked.analysis.y + stacked.analysis.height, 470);
    ExpectTiled(stacked, 1024, 470, {stacked.target, stacked.scoreboard, stacked.diagram, stacked.analysis});
}

}  // namespace
}  // namespace zark
