#pragma once

#include <functional>
#include <memory>

#include "window/mdichildwindow.h"
#include "results/analysisview.h"

class QLabel;
class QTabWidget;
class QTreeWidget;
class QVBoxLayout;

namespace zark {

class HubView;
class MdiClient;

// The analysis window: a row per shot with its hold figures (the share of the last second in the
// ten and in the nine, trace length, release, aiming time; all of them in the row's tooltip) and
// below them the group of the series and, while a match is shown, of the match. The rows of the
// shots whose trace is shown are selected and the shot the replay is at is set in bold; a click
// on a row shows that shot's trace, a double click asks for its replay. The View menu's
// "Analysis" and the window's close box show and hide it (onClose).
class AnalysisWindow final : public MdiChildWindow, public AnalysisListener {
public:
    static constexpr int kCommandId = 2147;
    static constexpr Rect kDefaultRect{462, 232, 862, 452};
    // The header data of each list's column with the title as its column shows it (on two lines,
    // or shortened, where one line does not fit); the title itself is kept as it is.
    static constexpr int kShownTitleRole = Qt::UserRole;

    AnalysisWindow();
    ~AnalysisWindow() override;

    // Creates the window hidden at its stored place "Analysis", else at the default place.
    int Create(MdiClient& client, const QIcon& icon = QIcon());
    // The view joins the hub here, after the views built before it.
    void AttachView(HubView& hub);

    AnalysisView* View() const { return view_.get(); }
    QTreeWidget* List() const { return list_; }
    QLabel* GroupLabel() const { return group_; }
    // The phases of each shot and the series' means (the last row).
    QTreeWidget* PhaseList() const { return phaseList_; }
    // The coaching figures of each shot (held score, luck, hold to shot, call) and the series' row,
    // on the tab beside the phases'.
    QTreeWidget* CoachList() const { return coachList_; }
    QTabWidget* Pages() const { return pages_; }

    std::function<void()> onClose;
    std::function<void()> onReplay;

    bool OnWindowEvent(QEvent* event) override;
    // Every column of the figures and ten shots.
    QSize FirstSize() const override;
    void FiguresChanged() override;
    void SelectionChanged() override;

private:
    std::unique_ptr<AnalysisView> view_;
    void FillPhases();
    void FillCoaching();
    void ConnectRowClicks(QTreeWidget* list, std::function<bool(int row)> isShot);
    void PlaceHoldList();

    QTreeWidget* list_ = nullptr;
    QTreeWidget* phaseList_ = nullptr;
    QTreeWidget* coachList_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QLabel* group_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
};

}  // namespace zark
