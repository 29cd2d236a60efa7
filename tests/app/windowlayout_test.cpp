// "Rearrange Windows" on screens of today: the Part's layout where the screen is no wider than the
// face needs, the face whole and one or two readable results columns where it is.
#include <gtest/gtest.h>

#include <vector>

#include "app/windowlayout.h"

namespace zark {
namespace {

// Every box inside the area and over none of the others.
void ExpectTiled(int width, int height, const std::vector<Box>& boxes) {
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Box& b = boxes[i];
        EXPECT_TRUE(b.x >= 0 && b.y >= 0 && b.width > 0 && b.height > 0 && b.x + b.width <= width &&
                    b.y + b.height <= height) << i;
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            const Box& o = boxes[j];
            EXPECT_FALSE(b.x < o.x + o.width && o.x < b.x + b.width && b.y < o.y + o.height && o.y < b.y + b.height)
                << i << " over " << j;
        }
    }
}

WindowSet Shown(int width, int height, bool analysis, bool progress = false) {
    return WindowSet{width, height, 170, 236, 170, 236, false, true, 260, analysis, 420, 150, progress};
}

TEST(WideRearrange, ThePartsLayoutOrTheWholeFaceWithOneOrTwoColumns) {
    // W − s = 600 ≤ H: exactly the Part's layout.
    const WindowArrangement part = ArrangeWindows(Shown(770, 600, true, true));
    EXPECT_EQ(part.columns, 0);
    EXPECT_EQ(part.diagram, ArrangeChildren(770, 600, 170, 236, 170, 236, 150).diagram);
    EXPECT_EQ(part.analysis, ArrangeChildren(770, 600, 170, 236, 170, 236, 150).analysis);
    // The child areas of 1920 × 1080 and 2560 × 1440: the face's full height, two columns.
    for (const auto& [width, height] : {std::pair{1920, 950}, std::pair{2560, 1310}}) {
        const WindowArrangement a = ArrangeWindows(Shown(width, height, true, true));
        EXPECT_EQ(a.columns, 2);
        EXPECT_EQ(a.target, (Box{0, 0, height, height}));
        EXPECT_GE(a.scoreboard.width, kMinResultsColumn);
        EXPECT_GE(a.analysis.width, 420);  // every column of the analysis
        EXPECT_EQ(a.analysis.x + a.analysis.width, width);
        EXPECT_EQ(a.progress.y + a.progress.height, height);
        ExpectTiled(width, height, {a.target, a.scoreboard, a.diagram, a.analysis, a.progress});
    }
    // A laptop: one column of all the width the face leaves; with the analysis too a second column
    // where the face keeps three quarters of the height, else all under the diagram.
    const WindowArrangement one = ArrangeWindows(Shown(1024, 470, false));
    EXPECT_EQ(one.target, (Box{0, 0, 470, 470}));
    EXPECT_EQ(one.scoreboard.width, 1024 - 470);
    EXPECT_EQ(one.analysis, Box{});  // hidden windows stay where they are
    const WindowArrangement two = ArrangeWindows(Shown(1200, 560, true));
    EXPECT_EQ(two.columns, 2);
    EXPECT_EQ(two.target.width, 1200 - 300 - 420);
    ExpectTiled(1200, 560, {two.target, two.scoreboard, two.diagram, two.analysis});
    // One column: the diagram beside the boards where it fits there, the analysis below them with
    // all the height they leave (it used to share it with the diagram).
    const WindowArrangement stacked = ArrangeWindows(Shown(1024, 470, true));
    EXPECT_EQ(stacked.columns, 1);
    const int boards = 470 / 2;  // the scoreboard's height, no more than half the area's
    EXPECT_EQ(stacked.diagram, (Box{470 + 170, 0, 1024 - 470 - 170, boards}));
    EXPECT_EQ(stacked.analysis, (Box{470, boards, 1024 - 470, 470 - boards}));
    ExpectTiled(1024, 470, {stacked.target, stacked.scoreboard, stacked.diagram, stacked.analysis});
    // a scoreboard a wider layout widened goes back to what it needs
    EXPECT_EQ(ArrangeWindows(WindowSet{1024, 470, 330, 236, 170, 236, false, true, 260, true, 420, 150, false, 170}).diagram,
              stacked.diagram);
    const WindowArrangement narrow = ArrangeWindows(Shown(800, 470, true));
    EXPECT_EQ(narrow.diagram.y, boards);  // under the boards, a column too narrow beside them
    EXPECT_EQ(narrow.analysis.height, 150);  // no lower than it can be
    ExpectTiled(800, 470, {narrow.target, narrow.scoreboard, narrow.diagram, narrow.analysis});
}

}  // namespace
}  // namespace zark
