#pragma once

#include <QString>
#include <memory>

class QMdiSubWindow;

namespace zark {

class MainFrame;
class ProgressWindow;
enum class ChildRole;

// The main frame's view commands: the zoom, the child windows shown and hidden from the View menu
// (with their check marks and toolbar buttons), "Rearrange Windows" and the training log.
class FrameViews final {
public:
    explicit FrameViews(MainFrame& frame);
    ~FrameViews();
    FrameViews(const FrameViews&) = delete;
    FrameViews& operator=(const FrameViews&) = delete;

    // Zoom 1:1 to 4:1, Zoom In and Zoom Out: the radio mark, the setting and the target view.
    void Zoom(int command);
    // Diagram or Analysis, from the menu, the toolbar or the window's own close box: the check
    // mark and the button turn over, and the window follows.
    void ToggleWindow(int command);
    // Target window, Scoreboard, Match Board: shown again when hidden, hidden when shown.
    void ToggleChild(int command);
    // Shows or hides a child window and gives its View item the matching mark.
    void ShowChild(int command, ChildRole role, bool on);
    // Shows or hides the window of a View item with a check, as the mark says.
    void ShowCheckedWindow(int command, ChildRole role);
    void Rearrange();

    // View > Progress...: shows the progress window on the save folder and brings it up to date.
    void ShowProgress();
    void HideProgress();
    // Shows a window of the area (the area in place of the welcome panel) and makes it the active one.
    void ShowOnTop(QMdiSubWindow* window);
    // A file was saved: the progress window, when shown, takes it in.
    void RefreshProgress();
    // Made the first time it is asked for; null before.
    ProgressWindow* Progress() const { return progress_.get(); }

private:
    // A series double-clicked in the progress window: its file is opened as File > Open does and,
    // for a match, that series is chosen on the match board.
    void OpenProgressSeries(const QString& path, int series);

    MainFrame& frame_;
    std::unique_ptr<ProgressWindow> progress_;
};

}  // namespace zark
