#include "app/frameviews.h"

#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/appicons.h"
#include "app/framefiles.h"
#include "app/framerules.h"
#include "app/mainframe.h"
#include "app/windowlayout.h"
#include "core/seriesflow.h"
#include "i18n/uistrings.h"
#include "progress/widgets/progresswindow.h"
#include "results/widgets/matchboard.h"
#include "storage/seriesfileio.h"
#include "targets/widgets/targetview.h"
#include "targets/widgets/targetwindow.h"
#include "window/mdichildwindow.h"

namespace zark {
namespace {

constexpr int kUiTextNotWhileShooting = 622;  // a series cannot be opened from Progress while one is shot

// The View item of a child window and the window, for the commands that show and hide one.
struct ChildOfCommand {
    int item;
    ChildRole role;
};

ChildOfCommand ChildOf(int command) {
    switch (command) {
        case kCmdDiagram:
        case kCmdDiagramWindow: return {kCmdDiagram, ChildRole::Diagram};
        case kCmdAnalysis:
        case kCmdAnalysisWindow: return {kCmdAnalysis, ChildRole::Analysis};
        case kCmdScoreboardWindow: return {kCmdScoreboardWindow, ChildRole::Scoreboard};
        case kCmdMatchBoardWindow: return {kCmdMatchBoardWindow, ChildRole::MatchBoard};
        default: return {kCmdTargetWindow, ChildRole::Target};
    }
}

}  // namespace

FrameViews::FrameViews(MainFrame& frame) : frame_(frame) {}

FrameViews::~FrameViews() = default;

void FrameViews::Zoom(int command) {
    Settings& settings = frame_.CurrentSettings();
    const int zoom = ZoomAfterCommand(command, settings.Zoom);
    frame_.Menus().ZoomRadio(kCmdZoom1 + zoom - 1);
    settings.Zoom = zoom;
    if (TargetWindow* target = frame_.Target()) target->View().SetZoom(zoom, true);
}

void FrameViews::ToggleWindow(int command) {
    const ChildOfCommand child = ChildOf(command);
    const bool on = frame_.Menus().ToggleCheck(child.item) != 0;
    frame_.ToolbarButtons().CheckButton(child.item, on);
    MdiChildWindow* window = frame_.ChildWindow(child.role);
    if (!window || !window->Window()) return;
    if (on) {
        window->Window()->show();
        if (QMdiArea* area = frame_.Mdi().Area()) area->setActiveSubWindow(window->Window());
    } else {
        window->Window()->hide();
    }
}

void FrameViews::ToggleChild(int command) {
    const ChildOfCommand child = ChildOf(command);
    ShowChild(child.item, child.role, !frame_.Menus().HasCheck(child.item));
}

void FrameViews::ShowChild(int command, ChildRole role, bool on) {
    frame_.Menus().SetCheck(command, on);
    MdiChildWindow* window = frame_.ChildWindow(role);
    if (!window || !window->Window()) return;
    window->Window()->setVisible(on);
    if (on)
        if (QMdiArea* area = frame_.Mdi().Area()) area->setActiveSubWindow(window->Window());
}

void FrameViews::ShowCheckedWindow(int command, ChildRole role) {
    const bool on = frame_.Menus().HasCheck(command) != 0;
    frame_.ToolbarButtons().CheckButton(command, on);
    if (MdiChildWindow* window = frame_.ChildWindow(role); window && window->Window()) {
        if (on)
            window->Window()->show();
        else
            window->Window()->hide();
    }
}

void FrameViews::Rearrange() {
    const QSize area = frame_.Mdi().ClientSize();
    MdiChildWindow* scoreboard = frame_.ChildWindow(ChildRole::Scoreboard);
    MdiChildWindow* matchBoard = frame_.ChildWindow(ChildRole::MatchBoard);
    MdiChildWindow* diagram = frame_.ChildWindow(ChildRole::Diagram);
    MdiChildWindow* analysis = frame_.ChildWindow(ChildRole::Analysis);
    MdiChildWindow* target = frame_.ChildWindow(ChildRole::Target);
    const Rect board = scoreboard ? scoreboard->Geometry() : Rect{};
    const Rect match = matchBoard ? matchBoard->Geometry() : Rect{};
    const auto shown = [](MdiChildWindow* w) { return w && w->Window() && !w->Window()->isHidden(); };
    const auto wanted = [](MdiChildWindow* w) { return w ? w->FirstSize().width() : 0; };
    const WindowArrangement a = ArrangeWindows(WindowSet{
        area.width(), area.height(), int(board.Width()), int(board.Height()), int(match.Width()), int(match.Height()),
        shown(matchBoard), shown(diagram), wanted(diagram), shown(analysis), wanted(analysis),
        analysis && analysis->Window() ? analysis->Window()->minimumHeight() : 0, shown(progress_.get()),
        wanted(scoreboard)});
    const auto place = [](MdiChildWindow* window, const Box& box) {
        if (window && box != Box{}) window->SetGeometry(Rect{box.x, box.y, box.x + box.width, box.y + box.height});
    };
    // Without a scoreboard there is nothing to place the match board, the diagram and the
    // analysis window beside.
    if (scoreboard) {
        place(scoreboard, a.scoreboard);
        place(matchBoard, a.matchBoard);
        place(diagram, a.diagram);
        place(analysis, a.analysis);
        place(progress_.get(), a.progress);
    }
    place(target, a.target);
}

void FrameViews::ShowProgress() {
    if (!progress_) {
        progress_ = std::make_unique<ProgressWindow>();
        if (!progress_->Create(frame_.Mdi(), ProgramIcon())) return;
        progress_->onClose = [this] { frame_.OnCommand(kCmdProgressWindow); };
        // a double click opens the series as File > Open does (refused while shooting)
        progress_->onOpen = [this](const QString& path, int series) { OpenProgressSeries(path, series); };
    }
    if (!progress_->Window()) return;
    progress_->SetFolder(frame_.Files()->Commands().SaveFolder());
    ShowOnTop(progress_->Window());
    progress_->Refresh();
}

void FrameViews::ShowOnTop(QMdiSubWindow* window) {
    if (QMdiArea* area = frame_.Mdi().Area(); area && area->isHidden()) {
        if (WelcomePanel* welcome = frame_.Welcome()) welcome->hide();
        area->show();
    }
    window->show();
    if (QMdiArea* area = frame_.Mdi().Area()) area->setActiveSubWindow(window);
}

void FrameViews::HideProgress() {
    if (progress_ && progress_->Window()) progress_->Window()->hide();
}

void FrameViews::OpenProgressSeries(const QString& path, int series) {
    if (frame_.Flow() && frame_.Flow()->shooting()) {  // refused while shooting: the window says so
        LoadUiStrings();
        if (progress_) progress_->ShowNote(UiQString(kUiTextNotWhileShooting));
        return;
    }
    if (!frame_.Open(path) || !IsMatchFileName(path)) return;
    // as a click on its item: every view shows that stored series
    MatchBoard* board = frame_.MatchBoardWindow();
    if (board && board->List()) board->List()->setCurrentRow(series - 1);
}

void FrameViews::RefreshProgress() {
    if (progress_ && progress_->Window() && progress_->Window()->isVisible()) progress_->Refresh();
}

}  // namespace zark
