#pragma once

#include <QDateTime>
#include <QPointer>
#include <QToolBar>
#include <QString>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/aboutdialog.h"
#include "app/accelerators.h"
#include "app/helpwindow.h"
#include "app/playersoundhooks.h"
#include "app/menubar.h"
#include "app/startupwarnings.h"
#include "app/storedsettings.h"
#include "app/welcomepanel.h"
#include "window/framewindow.h"
#include "window/mdiclient.h"
#include "audio/audioview.h"
#include "audio/soundplayer.h"
#include "core/matchprogramme.h"
#include "core/notification.h"
#include "core/replaycommands.h"
#include "core/seriesflow.h"
#include "core/shootinghub.h"
#include "core/widgets/matchdialogchooser.h"
#include "print/widgets/printing.h"
#include "replay/widgets/toolbar.h"
#include "targets/targetcatalogue.h"

class QLabel;

namespace zark {

class FrameFiles;
class FrameRange;
class FrameTimed;
class AnalysisWindow;
class ProgressWindow;
class DiagramWindow;
class MatchBoard;
class MdiChildWindow;
class Scoreboard;
class SeriesView;
class TargetChild;
class TargetWindow;
class TargetRun;
class TraceTimeline;

// The child windows the main frame places, shows and hides.
enum class ChildRole { Target, Scoreboard, MatchBoard, Diagram, Analysis };

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

    // Shows a target pair: the series flow ends (a running or paused series and a match are
    // given up; a file's match is loaded after this), the welcome panel goes, the child windows
    // come, the hub gets the pair and the Shoot menu is rebuilt for the target's family. second
    // may be null.
    void ShowTarget(const TargetDescriptor* first, const TargetDescriptor* second);
    // The face of a watched lane: the windows show it as for a chosen target, while the series
    // rules and the menus stay as they are.
    void ShowWatchedTarget(const TargetDescriptor* first, const TargetDescriptor* second);

    // Opens a series or match file (the open dialog asks when fileName is empty) and shows it.
    // Returns 1 when it is shown, 0 otherwise (nothing changes then).
    int Open(const QString& fileName);
    // The file commands (open, save, automatic saves, delete, files dropped on the window).
    FrameFiles* Files() const { return files_.get(); }
    // The range: this lane on the club's broker, and watching another lane.
    FrameRange* Range() const { return range_.get(); }
    Printing& Print() { return printing_; }

    void UpdateCaption();
    void SetFileName(const QString& fileName);

    // The port this session opens for the detector unit, chosen at start-up from the configured
    // one: that port when it is on the machine, else the simulated unit. The setting is not
    // changed. The link window takes it with cTargetComm::SetSessionPort.
    const std::string& SessionPort() const { return sessionPort_; }
    // Shows or hides, in a band along the bottom of the window, the notice that the simulated
    // unit is in use, with the reason for the port set now. Shown at start-up when the session
    // port is the simulated unit; the Customize dialog calls it when the port changes.
    void SetSimulatedUnitNotice(bool on);
    bool SimulatedUnitNoticeShown() const;
    const QString& FileName() const { return fileName_; }
    // The date and time of the series shown, as its printout gives it: the date stored in the file
    // it was opened from, the time it was saved, else the time of its last shot; invalid before
    // its first shot.
    const QDateTime& SeriesDate() const { return seriesDate_; }
    void SetSeriesDate(const QDateTime& date) { seriesDate_ = date; }
    const QString& Title() const { return title_; }
    const QString& ClassName() const { return className_; }

    // The target window's drawing view and series logic: the Shoot commands and the target
    // window's notifications go to the series flow built on them. Detach before they go.
    void AttachTargetWindow(SeriesView& view, TargetRun& run);
    void DetachTargetWindow();

    // Runs the Customize dialog over the frame; after OK the settings are applied at once.
    // Returns the dialog's code (2001 OK, 2002 Cancel).
    int Customize();
    // Makes the settings take effect everywhere (at start-up and after Customize): the target
    // window's time between shots, the blind-shooting tones, and every view of the hub re-reads
    // what it uses. The detector link reads its port, time between shots and distance at its next
    // connection.
    void ApplySettings();
    // What the Customize dialog's Sound page plays through and lists from.
    CustomizeSoundHooks& SoundHooks() { return soundHooks_; }
    SeriesFlow* Flow() const { return flow_.get(); }
    FrameTimed* Timed() const { return timed_.get(); }
    // The target window built at start-up; null before Create.
    TargetWindow* Target() const;

    // What the replay buttons act on (the target view); null detaches it.
    void SetReplayTarget(ReplayCommands* replay) { replay_ = replay; }

    // The child windows that "Rearrange Windows", showing a target and the diagram command work
    // on; null detaches one.
    void SetChildWindow(ChildRole role, MdiChildWindow* window);
    MdiChildWindow* ChildWindow(ChildRole role) const { return children_[std::size_t(role)]; }

    // The results windows the frame builds: scoreboard, match board, diagram.
    Scoreboard* ScoreboardWindow() const { return scoreboard_.get(); }
    MatchBoard* MatchBoardWindow() const { return matchBoard_.get(); }
    DiagramWindow* Diagram() const { return diagram_.get(); }
    AnalysisWindow* Analysis() const { return analysis_.get(); }
    // The training log (View > Progress...), made the first time it is asked for; null before.
    ProgressWindow* Progress() const { return progress_.get(); }

    // Series item i of the match board was chosen: that stored series of the match is shown by
    // every view. Refused (false) while a series is being recorded, which the stored one would
    // otherwise replace and mix with.
    bool ShowMatchSeries(int item);
    // A match was loaded into the series flow (a match file opened): the scoreboard shows the
    // series list, the hub the first series, the match board every series and the total.
    void ShowLoadedMatch();

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
    // The frame's sound player (the start-up alert) and the live hub's audio view.
    SoundPlayer& Sounds() { return sounds_; }
    AudioView* Audio() const { return audio_; }
    QToolBar* Toolbar() const { return toolbar_; }
    zark::Toolbar& ToolbarButtons() { return toolbarButtons_; }
    TraceTimeline* Timeline() const { return timeline_; }
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
    // Shows or hides the child window of a View menu item with a check (Diagram, Analysis).
    void ToggleWindow(int command, ChildRole role);
    void ShowCheckedWindow(int command, ChildRole role);
    // Shows or hides a child window and gives its View item the matching mark.
    void ShowChild(int command, ChildRole role, bool on);
    void Rearrange();
    void ChooseTarget(int command);
    // The windows show a face pair: the target window, scoreboard, diagram and analysis.
    void ShowFaces(const TargetDescriptor* first, const TargetDescriptor* second);
    void ShootCommand(int command);
    bool MaySetSeriesAside(int command);
    void PostQuit();
    void ReplayCommand(int command);
    void PrintReport(int command);
    void ChooseShot(int k);
    void ApplyShotTimeOffset();
    void CreateResultsWindows();
    // View > Progress...: shows the progress window on the save folder and brings it up to date.
    void ShowProgress();
    // A series double-clicked in the progress window: its file is opened as File > Open does and,
    // for a match, that series is chosen on the match board.
    void OpenProgressSeries(const QString& path, int series);
    // A file was saved: the progress window, when shown, takes it in.
    void RefreshProgress();

    // Members in the order they are built (and destroyed in reverse).
    AboutBox about_;
    StartupWarnings warnings_;
    MatchCatalogue matches_;
    MatchDialogChooser matchChooser_;
    StoredSettings settings_;
    MenuBar menuBar_;
    TargetCatalogue catalogue_;
    SoundPlayer sounds_;
    MdiClient mdi_;
    QString fileName_;
    QDateTime seriesDate_;
    QString className_;
    QString title_;
    ShootingHub hub_;
    HelpTopics help_;
    PlayerSoundHooks soundHooks_;
    std::unique_ptr<SeriesFlow> flow_;
    TargetRun* targetRun_ = nullptr;
    std::unique_ptr<FrameFiles> files_;
    std::unique_ptr<FrameTimed> timed_;  // the timed series: on the hub, over the target window
    bool timedKind_ = false;             // the last series started was a timed one (F10 repeats it)
    zark::Toolbar toolbarButtons_;
    Printing printing_;
    ReplayCommands* replay_ = nullptr;
    std::unique_ptr<DiagramWindow> diagram_;
    std::unique_ptr<AnalysisWindow> analysis_;
    std::unique_ptr<ProgressWindow> progress_;
    std::unique_ptr<Scoreboard> scoreboard_;
    std::unique_ptr<MatchBoard> matchBoard_;
    AudioView* audio_ = nullptr;  // the target window's
    std::unique_ptr<TargetChild> targetChild_;
    std::unique_ptr<FrameRange> range_;

    QPointer<QWidget> client_;
    QPointer<QToolBar> toolbar_;
    QPointer<WelcomePanel> welcome_;
    TraceTimeline* timeline_ = nullptr;  // a child of the client area, attached to the hub
    std::array<MdiChildWindow*, 5> children_{};
    std::string sessionPort_;
    std::string sessionConfigured_;  // the setting the session port was chosen for
    QPointer<QLabel> simulatedNotice_;
    QPointer<QLabel> simulatedReason_;
    int autoSave_ = 0;
    bool created_ = false;
};

}  // namespace zark
