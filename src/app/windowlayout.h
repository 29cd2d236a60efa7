#pragma once

#include <vector>

#include "app/framerules.h"

// Where "Rearrange Windows" puts the child windows on a screen wider than the face needs. A pure
// rule on rectangles; no window.

namespace zark {

// The child windows as they are when Rearrange is chosen: the scoreboard's and the match board's
// sizes, which of the others are shown, and the widths their contents need.
struct WindowSet {
    int areaWidth = 0;
    int areaHeight = 0;
    int scoreboardWidth = 0;
    int scoreboardHeight = 0;
    int matchBoardWidth = 0;
    int matchBoardHeight = 0;
    bool matchBoardShown = false;
    bool diagramShown = false;
    int diagramWidth = 0;  // its check boxes
    bool analysisShown = false;
    int analysisWidth = 0;  // every column
    int analysisMinHeight = 0;
    bool progressShown = false;
    int scoreboardFirstWidth = 0;  // what its titles and cells need (0: its width as it is)
};

// The arrangement, and the Progress window's place; a box of width 0 leaves its window as it is.
struct WindowArrangement : Arrangement {
    Box progress;
    int columns = 0;  // results columns beside the target window, 0 where the Part's layout stands
};

// A results column is never narrower than this on a wide screen.
inline constexpr int kMinResultsColumn = 300;

// Where the area is no wider than the face needs beside the scoreboard (W − s ≤ H), the layout of
// ArrangeChildren. Otherwise the target window gets about H (less where a column would fall below
// its minimum, the face staying whole in it), and the rest goes to one or two columns: the
// scoreboard, the match board below it and the diagram under both; the analysis and Progress in a
// second column, or, where the width allows only one, below the boards with the diagram beside
// them (under them where it does not fit there).
WindowArrangement ArrangeWindows(const WindowSet& set);

}  // namespace zark
