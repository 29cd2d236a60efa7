#include "app/windowlayout.h"

#include <algorithm>

namespace zark {
namespace {

// Stacks the boxes of a column from top to bottom in equal shares of the height; the one that
// has a minimum (the analysis) gets it where the column allows, the others share the rest.
void Stack(int x, int width, int top, int bottom, const std::vector<Box*>& boxes, const Box* least = nullptr,
           int minHeight = 0) {
    const int count = int(boxes.size());
    if (count == 0) return;
    const int height = std::max(0, bottom - top);
    int fixed = -1;  // the height of the one with a minimum, when the equal share is below it
    for (const Box* box : boxes)
        if (box == least && height / count < minHeight) fixed = std::min(height, minHeight);
    const int shared = fixed < 0 ? count : count - 1;
    const int rest = fixed < 0 ? height : height - fixed;
    int y = top;
    int k = 0;
    for (int i = 0; i < count; ++i) {
        Box* box = boxes[std::size_t(i)];
        int h = 0;
        if (box == least && fixed >= 0) {
            h = fixed;
        } else {
            h = rest * (k + 1) / shared - rest * k / shared;
            ++k;
        }
        *box = Box{x, y, width, h};
        y += h;
    }
}

}  // namespace

WindowArrangement ArrangeWindows(const WindowSet& set) {
    const int w = set.areaWidth;
    const int h = set.areaHeight;
    WindowArrangement a;
    if (w - set.scoreboardWidth <= h) {
        static_cast<Arrangement&>(a) =
            ArrangeChildren(w, h, set.scoreboardWidth, set.scoreboardHeight, set.matchBoardWidth,
                            set.matchBoardHeight, set.analysisMinHeight);
        return a;
    }
    // What each column would like: the first holds the scoreboard, the match board and the diagram.
    const bool second = set.analysisShown || set.progressShown;
    const int wantA = std::max({kMinResultsColumn, set.scoreboardWidth, set.diagramShown ? set.diagramWidth : 0});
    const int wantB = std::max(kMinResultsColumn, set.analysisShown ? set.analysisWidth : 0);
    // Two columns where they fit beside a target window of at least three quarters of the height
    // (the face stays whole, a little smaller); one column of all the rest otherwise.
    int target = std::min(h, w - set.scoreboardWidth);
    int columnA = w - target;
    int columnB = 0;
    if (second && w - wantA - wantB >= h * 3 / 4) {
        target = std::min(h, w - wantA - wantB);
        const int extra = w - target - wantA - wantB;
        columnA = wantA + extra / 2;
        columnB = w - target - columnA;
    }
    a.columns = columnB > 0 ? 2 : 1;
    a.target = {0, 0, target, h};

    const int x = target;
    // One column with the analysis or Progress in it: the diagram goes beside the boards (as wide
    // as the scoreboard's texts need) where its check boxes fit there, so that what is below the
    // boards has the column's height to itself.
    const int narrowBoards = set.scoreboardFirstWidth > 0 ? set.scoreboardFirstWidth : set.scoreboardWidth;
    const bool beside = columnB == 0 && second && set.diagramShown &&
                        columnA - narrowBoards >= std::max(set.diagramWidth, kMinResultsColumn);
    const int boards = beside ? narrowBoards : columnA;
    const int boardHeight = std::min(set.scoreboardHeight, h / 2);
    a.scoreboard = {x, 0, boards, boardHeight};
    int y = boardHeight;
    if (set.matchBoardShown) {
        const int matchHeight = std::min(set.matchBoardHeight, std::max(0, (h - y) / 2));
        a.matchBoard = {x, y, boards, matchHeight};
        y += matchHeight;
    }
    if (beside) a.diagram = {x + boards, 0, columnA - boards, y};
    std::vector<Box*> rest;  // below the boards in the first column
    std::vector<Box*> others;  // the second column's
    if (set.diagramShown && !beside) rest.push_back(&a.diagram);
    if (set.analysisShown) others.push_back(&a.analysis);
    if (set.progressShown) others.push_back(&a.progress);
    if (columnB > 0) {
        Stack(x, columnA, y, h, rest);
        Stack(x + columnA, columnB, 0, h, others, &a.analysis, set.analysisMinHeight);
    } else {
        rest.insert(rest.end(), others.begin(), others.end());
        Stack(x, columnA, y, h, rest, &a.analysis, set.analysisMinHeight);
    }
    return a;
}

}  // namespace zark
