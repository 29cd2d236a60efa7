#pragma once

#include <QPointer>
#include <QToolBar>
#include <QString>
#include <array>
#include <memory>
#include <vector>

#include "app/aboutdialog.h"
#include "app/accelerators.h"
#include "app/helpwindow.h"
#include "app/menubar.h"
#include "app/startupwarnings.h"
#include "app/storedsettings.h"
#include "app/welcomepanel.h"
#include "app/window/framewindow.h"
#include "app/window/mdiclient.h"
#include "core/matchprogramme.h"
#include "core/notification.h"
#include "core/seriesflow.h"
#include "core/shootinghub.h"
#include "core/widgets/matchdialogchooser.h"
#include "targets/targetcatalogue.h"

namespace zark {

class MdiChildWindow;
class SeriesView;
class TargetChild;
class TargetWindow;
class TargetRun;

// The child windows the main frame places, shows and hides.
enum class ChildRole { Target, Scoreboard, MatchBoard, Diagram };

// The main window and the owner of every long-lived object: the settings, the menu bar and its
// shortcut table, the target catalogue, the match programmes, the shooting hub, the start-up
// warnings, the About box and the help. It lays out its client area (toolbar band, child-window
// area with the welcome panel over it, trace timeline band along the bottom), keeps its caption,
// shows the chosen target and turns every command into a call on the part that carries it out.
//
// Closing the window or Exit only ends the main loop; the frame is destroyed after it, which
// writes the settings and, last, the window's placement "Main".
class MainFrame final : public FrameWindow, public SeriesFlowHost, public NotificationSink {
    Q_OBJECT

public:
    MainFrame();
    ~MainFrame() override;

    // The one main frame of the process, from construction to destruction; null otherwise.
    static MainFrame* Instance();

    // Builds the window: menu bar, toolbar band, child-window area, welcome panel, the stored
    // zoom, and the start-up warnings when they are due. Returns 1 (0 when built already).
    int Create(const QString& className, const QString& title);

    // Carries out a command (menu, shortcut or toolbar). fromAccelerator marks a shortcut.
    void OnCommand(int command, bool fromAccelerator = false);

    // Shows a target pair: the welcome panel goes, the child windows come, the hub gets the pair
    // and the Shoot menu is rebuilt for the target's family. second may be null.
    void ShowTarget(const TargetDescriptor* first, const TargetDescriptor* second);

    void UpdateCaption();
    void SetFileName(const QString& fileName);
    const QString& FileName() const { return fileName_; }
    const QString& Title() const { return title_; }
    const QString& ClassName() const { return className_; }

    // The target window's drawing view and series logic: the Shoot commands and the target
    // window's notifications go to the series flow built on them. Detach before they go.
    void AttachTargetWindow(SeriesView& view, TargetRun& run);
    void DetachTargetWindow();
    SeriesFlow* Flow() const { return flow_.get(); }
    // The target window built at start-up; null before Create.
    TargetWindow* Target() const;

    // The child windows that "Rearrange Windows", showing a target and the diagram command work
    // on; null detaches one.
    void SetChildWindow(ChildRole role, MdiChildWindow* window);
    MdiChildWindow* ChildWindow(ChildRole role) const { return children_[std::size_t(role)]; }

    // The target window's reports (codes of notification.h).
    void Notify(const Notification& notification) override;

    // SeriesFlowHost.
    void ClearFileName() override;
    void ResetScoreboard(bool sighters, const std::string& subtitle) override;
    void SetShootingState(ShootingState state) override;
    void ShowMatchBoard(const MatchProgramme& programme) override;
    void HideMatchBoard() override;
    void FillMatchBoardRow(int row, const TraceImage& series) override;
    bool ChooseProgramme(MatchProgramme& programme) override;
    bool SaveAutomatically() const override;
    void SaveSeriesAutomatically() override;
    void SaveMatchAutomatically() override;
    void ShowDetectorSilent() override;
    void SetCentreChecked(bool on) override;

    // The parts of the frame.
    ShootingHub& Hub() { return hub_; }
    Settings& CurrentSettings() { return settings_.Get(); }
    const TargetCatalogue& Catalogue() const { return catalogue_; }
    MatchCatalogue& Matches() { return matches_; }
    MenuBar& Menus() { return menuBar_; }
    MdiClient& Mdi() { return mdi_; }
    StartupWarnings& Warnings() { return warnings_; }
    HelpTopics& Help() { return help_; }
    QToolBar* Toolbar() const { return toolbar_; }
    WelcomePanel* Welcome() const { return welcome_; }
    QWidget* ClientArea() const { return client_; }
    // The shortcut table of the menu bar, for the main loop's translation.
    const std::vector<Accelerator>& Accelerators() const { return menuBar_.Accelerators(); }
    int autoSave() const { return autoSave_; }

    // Lays out a client area of width × height: toolbar, child-window area, welcome panel.
    void LayOut(int width, int height);

signals:
    // Every command that reaches the frame, before it is carried out.
    void commandReceived(int command, bool fromAccelerator);
    // Every report of the target window, after the frame has handled it.
    void notificationHandled(int code, int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Zoom(int command);
    void ToggleDiagram();
    void Rearrange();
    void ChooseTarget(int command);
    void ShootCommand(int command);
    void PostQuit();

    // Members in the order they are built (and destroyed in reverse).
    AboutBox about_;
    StartupWarnings warnings_;
    MatchCatalogue matches_;
    MatchDialogChooser matchChooser_;
    StoredSettings settings_;
    MenuBar menuBar_;
    TargetCatalogue catalogue_;
    MdiClient mdi_;
    QString fileName_;
    QString className_;
    QString title_;
    ShootingHub hub_;
    HelpTopics help_;
    std::unique_ptr<SeriesFlow> flow_;
    std::unique_ptr<TargetChild> targetChild_;

    QPointer<QWidget> client_;
    QPointer<QToolBar> toolbar_;
    QPointer<WelcomePanel> welcome_;
    std::array<MdiChildWindow*, 4> children_{};
    int autoSave_ = 0;
    bool created_ = false;
};

}  // namespace zark
