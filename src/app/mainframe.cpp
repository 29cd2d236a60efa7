#include "app/framerange.h"
#include "app/mainframe.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaObject>
#include <QStatusBar>
#include <QToolBar>
#include <cstring>

#include "app/appicons.h"
#include "window/commandids.h"
#include "app/framefiles.h"
#include "app/frametimed.h"
#include "app/framerules.h"
#include "app/targetchild.h"
#include "app/welcomepanel.h"
#include "window/mdichildwindow.h"
#include "core/seriesview.h"
#include "core/targetrun.h"
#include "diag/diagnostics.h"
#include "i18n/uistrings.h"
#include "print/widgets/printhub.h"
#include "settings/registryaccess.h"
#include "storage/seriesfileio.h"
#include "link/serialportnames.h"
#include "replay/widgets/tracetimeline.h"
#include "results/widgets/analysiswindow.h"
#include "progress/widgets/progresswindow.h"
#include "results/widgets/diagramwindow.h"
#include "results/widgets/matchboard.h"
#include "results/widgets/scoreboard.h"
#include "settings/widgets/customizedialog.h"
#include "targets/targetdescriptor.h"
#include "targets/widgets/targetview.h"
#include "targets/widgets/targetwindow.h"

namespace zark {
namespace {

constexpr int kDetectorSilentText = 130;  // "ZARK system unit is not connected"
MainFrame* g_mainFrame = nullptr;

QRect QRectOf(const Box& box) { return QRect(box.x, box.y, box.width, box.height); }

// Pause/Continue and centring act on the series shown: they neither start another nor stop its clock.
bool ActsOnTheSeriesShown(int command) { return command == kCmdPauseContinue || command == kCmdCentreSeries; }


}  // namespace

MainFrame::MainFrame() : FrameWindow("Main") {
    g_mainFrame = this;
    setObjectName(QStringLiteral("mainFrame"));
    matches_.SetChooser(&matchChooser_);
    catalogue_.Build();
    warnings_.SetAlertSound([this] { sounds_.PlayAlert(); });
}

MainFrame::~MainFrame() {
    // Nothing may reach the frame's handlers while it is taken down.
    if (client_) client_->removeEventFilter(this);
    delete timeline_;  // leaves the hub before the hub goes
    timeline_ = nullptr;
    menuBar_.SetCommandHandler({});
    if (created_) {
        RegistryAccess registry;
        printing_.Save(registry);
    }
    range_.reset();  // the lane says it leaves the range
    timed_.reset();
    files_.reset();
    flow_.reset();
    children_ = {};
    // The target window goes first of the child windows; it shuts the serial worker down.
    targetChild_.reset();
    if (g_mainFrame == this) g_mainFrame = nullptr;
}

MainFrame* MainFrame::Instance() { return g_mainFrame; }

TargetWindow* MainFrame::Target() const { return targetChild_ ? &targetChild_->Target() : nullptr; }

int MainFrame::Create(const QString& className, const QString& title) {
    if (created_) return 0;
    className_ = className;
    title_ = title;
    setWindowIcon(ProgramIcon());
    setMinimumSize(kMinMainWidth, kMinMainHeight);
    PlaceFromStorage(kDefaultMainRect);

    menuBar_.Build();
    menuBar_.SetCommandHandler([this](int command) { OnCommand(command); });
    menuBar_.SetOwnerWindow(this);

    client_ = new QWidget;
    client_->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client_);
    if (QLayout* frameLayout = layout()) frameLayout->activate();  // the client area takes its size now
    const int width = client_->width();
    const int height = client_->height();

    // The toolbar band: the toolbar's buttons are added by the toolbar itself.
    toolbar_ = new QToolBar(client_);
    toolbar_->setObjectName(QStringLiteral("toolbar%1").arg(kCmdToolbar));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setMinimumHeight(kToolbarInitialHeight);
    toolbar_->setGeometry(0, 0, width, kToolbarInitialHeight);
    toolbarButtons_.CreateToolbar(toolbar_, [this](int command) { OnCommand(command); });

    const ClientLayout initial = LayOutClient(width, height, kToolbarInitialHeight);
    mdi_.Create(client_, QRectOf(initial.mdi), MdiClient::kFirstChildId);
    UpdateCaption();

    welcome_ = new WelcomePanel(client_);
    welcome_->SetCaption(UiQString(kUiTextWelcome));
    welcome_->setGeometry(QRectOf(initial.welcome));

    about_.SetOwner(this);
    warnings_.SetOwner(this);
    matchChooser_.SetOwner(this);
    help_.SetOwner(this);

    files_ = std::make_unique<FrameFiles>(*this);
    files_->onSaved = [this] { RefreshProgress(); };
    Settings& settings = settings_.Get();
    files_->PrepareDataDirectory(settings);
    {
        RegistryAccess registry;
        printing_.Load(registry);
    }

    // The port of this session. A shooter must never take the simulated unit's shots for their
    // own: the window says so plainly, and the log says why.
    sessionPort_ = StartupPort(settings.Communication);
    sessionConfigured_ = settings.Communication;
    if (const std::string note = SessionPortLogText(settings.Communication, sessionPort_); !note.empty())
        LogLine("%s\n", note.c_str());
    SetSimulatedUnitNotice(IsSimulatorPort(sessionPort_));

    // The target window with its drawing view, audio view and link window, on the hub in that
    // order; then the scoreboard's lists, the diagram and the trace timeline.
    targetChild_ = std::make_unique<TargetChild>(mdi_, hub_, *this, settings, sessionPort_,
                                                 [this](HubView& hub, TargetWindow&) {
                                                     auto audio = std::make_unique<AudioView>(&hub);
                                                     audio_ = audio.get();
                                                     return std::unique_ptr<HubView>(std::move(audio));
                                                 });
    SetChildWindow(ChildRole::Target, targetChild_.get());
    TargetWindow& target = targetChild_->Target();
    target.SetShotPeriod(settings.TimeBetweenShots);
    target.SetSettings(&settings);
    AttachTargetWindow(target.View(), target.Run());
    timed_ = std::make_unique<FrameTimed>(hub_, &target, &sounds_);
    SetReplayTarget(&target.View());
    ApplySettings();  // the tones are built and every view gets the settings
    CreateResultsWindows();
    toolbarButtons_.AttachSettings(&settings);

    // The trace timeline along the bottom, the last view of the hub.
    timeline_ = new TraceTimeline(&hub_, client_);
    timeline_->setGeometry(QRectOf(initial.replay));
    timeline_->hide();  // shown with the first target

    // A stored zoom outside 1..4 counts as the nearest one, never as another command.
    Zoom(kCmdZoom1 + ClampZoom(settings.Zoom) - 1);

    LayOut(width, height);
    if (QMdiArea* area = mdi_.Area()) area->hide();  // shown with the first target
    client_->installEventFilter(this);
    range_ = std::make_unique<FrameRange>(*this);
    range_->ApplySettings();
    created_ = true;

    show();
    if (warnings_.ShouldShowAtStartup()) {
        warnings_.Show();
        menuBar_.ToggleCheck(kCmdShowWarnings);
    }
    return 1;
}

void MainFrame::CreateResultsWindows() {
    const QIcon icon = ProgramIcon();
    diagram_ = std::make_unique<DiagramWindow>();
    diagram_->Create(mdi_, icon);
    diagram_->onClose = [this] { OnCommand(kCmdDiagramWindow); };

    // The target window is created here, after the diagram window and before the scoreboard: its
    // target view, audio view and link window join the hub first, so they are told of every
    // sample before the shot lists, the diagram plot and the trace timeline.

    scoreboard_ = std::make_unique<Scoreboard>();
    scoreboard_->Create(mdi_, hub_, icon);
    // A click on a series row shows that shot's trace (the replay buttons spring back); a
    // double click plays it.
    scoreboard_->onTraceShown = [this] { toolbarButtons_.ReleaseReplayButtons(); };
    scoreboard_->onReplay = [this] { OnCommand(kCmdReplay); };
    diagram_->AttachPlot(hub_);  // after the two shot lists
    analysis_ = std::make_unique<AnalysisWindow>();
    analysis_->Create(mdi_, icon);
    analysis_->onClose = [this] { OnCommand(kCmdAnalysisWindow); };
    analysis_->onReplay = [this] { OnCommand(kCmdReplay); };
    analysis_->AttachView(hub_);  // after the diagram plot
    matchBoard_ = std::make_unique<MatchBoard>();
    matchBoard_->Create(mdi_, icon);
    matchBoard_->onChoose = [this](int item) { return ShowMatchSeries(item); };

    SetChildWindow(ChildRole::Diagram, diagram_.get());
    SetChildWindow(ChildRole::Scoreboard, scoreboard_.get());
    SetChildWindow(ChildRole::MatchBoard, matchBoard_.get());
    SetChildWindow(ChildRole::Analysis, analysis_.get());
    // The close boxes of these windows hide them; the View menu shows them again as they were.
    const auto hideOnClose = [this](int command, ChildRole role) {
        if (MdiChildWindow* window = ChildWindow(role))
            window->onCloseBox = [this, command, role] { ShowChild(command, role, false); };
    };
    hideOnClose(kCmdTargetWindow, ChildRole::Target);
    hideOnClose(kCmdScoreboardWindow, ChildRole::Scoreboard);
    hideOnClose(kCmdMatchBoardWindow, ChildRole::MatchBoard);
}

void MainFrame::LayOut(int width, int height) {
    if (!toolbar_) return;
    // The trace timeline takes the bottom band; it is laid out here once it exists.
    const int toolbarHeight = std::max(toolbar_->minimumHeight(), toolbar_->sizeHint().height());
    const ClientLayout layout = LayOutClient(width, height, toolbarHeight);
    toolbar_->setGeometry(QRectOf(layout.toolbar));
    if (timeline_) {
        timeline_->setGeometry(QRectOf(layout.replay));
        timeline_->update();
    }
    if (QMdiArea* area = mdi_.Area()) {
        area->setGeometry(QRectOf(layout.mdi));
        area->update();
    }
    if (welcome_) welcome_->setGeometry(QRectOf(layout.welcome));
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && created_) {
        // A minimised window keeps its layout; restoring or maximising lays it out again.
        if ((event->type() == QEvent::Resize && !isMinimized()) || event->type() == QEvent::Show)
            LayOut(client_->width(), client_->height());
    }
    return FrameWindow::eventFilter(watched, event);
}

void MainFrame::changeEvent(QEvent* event) {
    FrameWindow::changeEvent(event);
    // Restored or maximised again: the client area is laid out at its size now.
    if (event->type() == QEvent::WindowStateChange && created_ && client_ && !isMinimized())
        LayOut(client_->width(), client_->height());
}

void MainFrame::closeEvent(QCloseEvent* event) {
    // Closing only ends the main loop; the frame goes when the loop has ended.
    event->ignore();
    PostQuit();
}

void MainFrame::PostQuit() {
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void MainFrame::UpdateCaption() {
    setWindowTitle(QString::fromStdString(MainCaption(title_.toStdString(), fileName_.toStdString())));
}

void MainFrame::SetFileName(const QString& fileName) {
    fileName_ = fileName;
    UpdateCaption();
}

void MainFrame::SetSimulatedUnitNotice(bool on) {
    if (!on) {
        if (QStatusBar* band = findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly)) band->hide();
        return;
    }
    LoadUiStrings();
    if (!simulatedNotice_) {
        simulatedNotice_ = new QLabel;
        simulatedNotice_->setObjectName(QStringLiteral("simulatedUnitNotice"));
        // black on yellow, as the safety warnings
        simulatedNotice_->setStyleSheet(QStringLiteral("QLabel { background: #ffff00; color: #000000; font-weight: bold;"
                                                       " padding: 1px 6px; }"));
        simulatedNotice_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        // the reason takes what room is left (all of it in its tooltip); the notice is never cut
        simulatedReason_ = new QLabel;
        simulatedReason_->setObjectName(QStringLiteral("simulatedUnitReason"));
        simulatedReason_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        statusBar()->addWidget(simulatedNotice_);
        statusBar()->addWidget(simulatedReason_, 1);
        statusBar()->setSizeGripEnabled(false);
    }
    const std::string& configured = settings_.Get().Communication;
    QString reason;
    if (IsSimulatorPort(configured))
        reason = UiQString(kUiTextPortIsSimulator);
    else if (configured.empty())
        reason = UiQString(kUiTextNoPort);
    else if (!PortPresent(configured))
        reason = QString::asprintf(UiText(kUiTextPortNotFound).c_str(),
                                   QString::fromStdString(configured).left(40).toUtf8().constData());
    if (!reason.isEmpty()) reason += ' ';
    reason += UiQString(kUiTextChoosePort);
    simulatedNotice_->setText(UiQString(kUiTextSimulatedUnit));
    simulatedReason_->setText(reason);
    simulatedReason_->setToolTip(reason);
    simulatedNotice_->setToolTip(reason);
    statusBar()->show();
}

bool MainFrame::SimulatedUnitNoticeShown() const {
    const QStatusBar* band = findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
    return band && simulatedNotice_ && !band->isHidden();
}

void MainFrame::OnCommand(int command, bool fromAccelerator) {
    emit commandReceived(command, fromAccelerator);
    // A command whose menu item is grey does nothing, whatever sent it (its shortcut still arrives).
    // The zoom and the diagram only choose how things are shown: their shortcuts work before a
    // target is shown too, and the choice is there when it is.
    const bool viewChoice = (command >= kCmdZoom1 && command <= kCmdZoom4) || command == kCmdZoomIn ||
                            command == kCmdZoomOut || command == kCmdDiagram;
    if (!viewChoice && menuBar_.Action(command) && !menuBar_.Available(command)) return;
    if (command >= kCmdFirstTarget && command <= kCmdLastTarget) {
        ChooseTarget(command);
        return;
    }
    switch (command) {
        case kCmdExit:
            PostQuit();
            break;
        case kCmdZoom1:
        case kCmdZoom2:
        case kCmdZoom3:
        case kCmdZoom4:
        case kCmdZoomIn:
        case kCmdZoomOut:
            Zoom(command);
            break;
        case kCmdSighters3:
        case kCmdSighters4:
        case kCmdSighters5:
        case kCmdSerie4:
        case kCmdSerie4Double:
        case kCmdSerie5:
        case kCmdSerie6:
        case kCmdSerie10:
        case kCmdSerie10Double:
        case kCmdCentreSeries:
        case kCmdPauseContinue:
        case kCmdNewSerie:
        case kCmdMatch:
        case kCmdTimedSeries:
            ShootCommand(command);
            // The toolbar's button shows the centring whether or not the command was carried out.
            toolbarButtons_.CheckButton(kCmdCentreSeries, menuBar_.HasCheck(kCmdCentreSeries));
            break;
        case kCmdAbout:
            about_.Show();
            break;
        case kCmdDiagram:
        case kCmdDiagramWindow:
            ToggleWindow(kCmdDiagram, ChildRole::Diagram);
            break;
        case kCmdAnalysis:
        case kCmdAnalysisWindow:
            ToggleWindow(kCmdAnalysis, ChildRole::Analysis);
            break;
        case kCmdTargetWindow:
            ShowChild(command, ChildRole::Target, !menuBar_.HasCheck(command));
            break;
        case kCmdScoreboardWindow:
            ShowChild(command, ChildRole::Scoreboard, !menuBar_.HasCheck(command));
            break;
        case kCmdMatchBoardWindow:
            ShowChild(command, ChildRole::MatchBoard, !menuBar_.HasCheck(command));
            break;
        case kCmdProgress:
            ShowProgress();
            break;
        case kCmdProgressWindow:
            if (progress_ && progress_->Window()) progress_->Window()->hide();
            break;
        case kCmdHelpTopics:
            help_.Show();
            break;
        case kCmdRearrange:
            Rearrange();
            break;
        case kCmdSaveAutomatically:
            autoSave_ = menuBar_.ToggleCheck(kCmdSaveAutomatically);
            toolbarButtons_.CheckButton(kCmdSaveAutomatically, autoSave_ != 0);
            break;
        case kCmdShowWarnings:
            warnings_.SetShowAtStartup(menuBar_.ToggleCheck(kCmdShowWarnings));
            break;
        case kCmdOpen:
            Open(QString());
            break;
        case kCmdSave:
            if (files_) files_->Save();
            break;
        case kCmdWatchLane:
            if (range_) range_->WatchLaneCommand();
            break;
        case kCmdDelete:
            if (files_) files_->Delete();
            break;
        case kCmdCustomize:
            Customize();
            break;
        case kCmdPrint:
        case kCmdExportPdf:
            PrintReport(command);
            break;
        case kCmdPageSetup:
            printing_.PageSetup(this);
            break;
        case kCmdReplay:
        case kCmdReplayStop:
        case kCmdReplayFastForward:
        case kCmdReplayReverse:
        case kCmdReplayRewind:
        case kCmdReplayEnd:
            ReplayCommand(command);
            break;
        case kCmdClearPitch:
            toolbarButtons_.ResetOffset();
            ApplyShotTimeOffset();
            break;
        case kCmdPitch:
            ApplyShotTimeOffset();
            break;
        default:
            mdi_.ActivateChild(command);
            break;
    }
}

void MainFrame::Zoom(int command) {
    Settings& settings = settings_.Get();
    const int zoom = ZoomAfterCommand(command, settings.Zoom);
    menuBar_.ZoomRadio(kCmdZoom1 + zoom - 1);
    settings.Zoom = zoom;
    if (TargetWindow* target = Target()) target->View().SetZoom(zoom, true);
}

void MainFrame::ReplayCommand(int command) {
    // While a series is being shot the replay is grey in the menu and the toolbar; a double click
    // on a shot list or a mark must not start one either.
    if (flow_ && flow_->shooting()) return;
    const int speed = settings_.Get().ReplaySpeed;
    if (replay_) {
        switch (command) {
            case kCmdReplay: replay_->StartReplay(speed, +1); break;
            case kCmdReplayStop: replay_->StopReplay(); break;
            case kCmdReplayFastForward: replay_->StartReplay(3 * speed, +1); break;
            case kCmdReplayReverse: replay_->StartReplay(3 * speed, -1); break;
            case kCmdReplayRewind: replay_->JumpReplay(0); break;
            case kCmdReplayEnd: replay_->JumpReplay(1); break;
            default: break;
        }
    }
    // Play is shown pressed while the replay runs (after a jump too: a running replay goes on);
    // the other buttons spring back after their action.
    toolbarButtons_.ReleaseReplayButtons();
    if (replay_ && replay_->ReplayRunning()) toolbarButtons_.CheckButton(kCmdReplay, true);
}

void MainFrame::ChooseShot(int k) {
    // A click on a mark chooses its shot as a click on its row of the series list does: the
    // trace around it is shown, ready to be played. Not while shooting, and not for sighters,
    // whose chosen shots make the aim correction (their list chooses them).
    if (!flow_ || flow_->shooting() || flow_->sightersMode()) return;
    TraceStore* store = hub_.Store();
    if (!store || k < 0 || k >= store->ShotCount()) return;
    const TraceStore::Window w = store->ShotStretch(k);
    if (!w.ok) return;
    hub_.ShowTraceRange(w.first, w.last, 0);
    hub_.EndReplay();
    toolbarButtons_.ReleaseReplayButtons();
}

void MainFrame::ApplyShotTimeOffset() {
    if (TraceStore* store = hub_.Store()) store->SetShotTimeOffset(toolbarButtons_.ShotTimeOffsetMs());
    hub_.NotifyStoreChanged();
}

void MainFrame::ToggleWindow(int command, ChildRole role) {
    const bool on = menuBar_.ToggleCheck(command) != 0;
    toolbarButtons_.CheckButton(command, on);
    MdiChildWindow* window = ChildWindow(role);
    if (!window || !window->Window()) return;
    if (on) {
        window->Window()->show();
        if (QMdiArea* area = mdi_.Area()) area->setActiveSubWindow(window->Window());
    } else {
        window->Window()->hide();
    }
}

void MainFrame::ShowChild(int command, ChildRole role, bool on) {
    menuBar_.SetCheck(command, on);
    MdiChildWindow* window = ChildWindow(role);
    if (!window || !window->Window()) return;
    window->Window()->setVisible(on);
    if (on)
        if (QMdiArea* area = mdi_.Area()) area->setActiveSubWindow(window->Window());
}

void MainFrame::ShowCheckedWindow(int command, ChildRole role) {
    toolbarButtons_.CheckButton(command, menuBar_.HasCheck(command));
    if (MdiChildWindow* window = ChildWindow(role); window && window->Window()) {
        if (menuBar_.HasCheck(command))
            window->Window()->show();
        else
            window->Window()->hide();
    }
}

void MainFrame::Rearrange() {
    const QSize area = mdi_.ClientSize();
    MdiChildWindow* scoreboard = ChildWindow(ChildRole::Scoreboard);
    MdiChildWindow* matchBoard = ChildWindow(ChildRole::MatchBoard);
    MdiChildWindow* diagram = ChildWindow(ChildRole::Diagram);
    MdiChildWindow* analysis = ChildWindow(ChildRole::Analysis);
    MdiChildWindow* target = ChildWindow(ChildRole::Target);
    const Rect board = scoreboard ? scoreboard->Geometry() : Rect{};
    const Rect match = matchBoard ? matchBoard->Geometry() : Rect{};
    const Arrangement a =
        ArrangeChildren(area.width(), area.height(), int(board.Width()), int(board.Height()), int(match.Width()),
                        int(match.Height()), analysis && analysis->Window() ? analysis->Window()->minimumHeight() : 0);
    const auto place = [](MdiChildWindow* window, const Box& box) {
        if (window) window->SetGeometry(Rect{box.x, box.y, box.x + box.width, box.y + box.height});
    };
    // Without a scoreboard there is nothing to place the match board, the diagram and the
    // analysis window beside.
    if (scoreboard) {
        place(scoreboard, a.scoreboard);
        place(matchBoard, a.matchBoard);
        place(diagram, a.diagram);
        place(analysis, a.analysis);
    }
    place(target, a.target);
}

void MainFrame::ChooseTarget(int command) {
    if (!MaySetSeriesAside(command)) return;
    fileName_.clear();
    seriesDate_ = QDateTime();
    UpdateCaption();
    TargetPair pair;
    if (catalogue_.PairForCommand(command, pair)) ShowTarget(pair.first, pair.second);
}

void MainFrame::ShowTarget(const TargetDescriptor* first, const TargetDescriptor* second) {
    if (!first) return;
    // A series (paused or not) and a match end with their target: F3 must not resume them on
    // the new face with an empty store.
    if (flow_) flow_->EndSeries();
    if (timed_) timed_->End();
    menuBar_.SetMenuState(ShootingState::TargetShown);
    toolbarButtons_.SetState(ShootingState::TargetShown);
    ShowFaces(first, second);
    menuBar_.RebuildShootMenu(TargetFamily(first->Identity()));
}

void MainFrame::ShowWatchedTarget(const TargetDescriptor* first, const TargetDescriptor* second) {
    if (first) ShowFaces(first, second);
}

void MainFrame::ShowFaces(const TargetDescriptor* first, const TargetDescriptor* second) {
    QMdiArea* area = mdi_.Area();
    if (welcome_) welcome_->hide();
    if (area) area->show();
    MdiChildWindow* target = ChildWindow(ChildRole::Target);
    if (TargetWindow* window = Target()) {
        window->View().SetZoom(settings_.Get().Zoom, false);
        window->ChooseTarget(first, second);
    } else {
        hub_.SetTargets(first, second);
    }
    if (timeline_) timeline_->show();

    if (target && target->Window()) {
        LoadUiStrings();
        target->SetTitle(UiQString(first->NameId()));
    }
    ShowChild(kCmdTargetWindow, ChildRole::Target, true);
    ShowChild(kCmdMatchBoardWindow, ChildRole::MatchBoard, false);
    menuBar_.Enable(kCmdMatchBoardWindow, false);
    if (analysis_ && analysis_->View()) analysis_->View()->EndMatch();  // the match ends with its target
    ShowChild(kCmdScoreboardWindow, ChildRole::Scoreboard, true);
    ShowCheckedWindow(kCmdDiagram, ChildRole::Diagram);
    ShowCheckedWindow(kCmdAnalysis, ChildRole::Analysis);
    // The target window is the active one, whatever showing the others did.
    if (target && target->Window() && area) area->setActiveSubWindow(target->Window());
}

void MainFrame::ShootCommand(int command) {
    if (!flow_) return;  // no target window, no series
    // (a shortcut or a script may send the command while a series runs: nothing starts then)
    if (command == kCmdTimedSeries && (flow_->shooting() || !timed_ || !timed_->Choose(this))) return;
    if (!MaySetSeriesAside(command)) return;
    if (timed_ && !ActsOnTheSeriesShown(command) && !flow_->shooting()) {
        // any series that starts now starts without the clock of the one before it
        timed_->End();
        if (command != kCmdNewSerie) timedKind_ = command == kCmdTimedSeries;
    }
    switch (command) {
        case kCmdSighters3: flow_->SightersCommand(3); break;
        case kCmdSighters4: flow_->SightersCommand(4); break;
        case kCmdSighters5: flow_->SightersCommand(5); break;
        case kCmdSerie4: flow_->SeriesCommand(4, 0); break;
        case kCmdSerie4Double: flow_->SeriesCommand(4, 1); break;
        case kCmdSerie5: flow_->SeriesCommand(5, 0); break;
        case kCmdSerie6: flow_->SeriesCommand(6, 0); break;
        case kCmdSerie10: flow_->SeriesCommand(10, 0); break;
        case kCmdSerie10Double: flow_->SeriesCommand(10, 1); break;
        case kCmdCentreSeries: flow_->CentreSeries(); break;
        case kCmdPauseContinue: flow_->PauseContinue(); break;
        case kCmdNewSerie: flow_->NewSerie(); break;
        case kCmdMatch: flow_->Match(); break;
        case kCmdTimedSeries: flow_->SeriesCommand(timed_->Drill().Shots(), 0); break;
        default: break;
    }
    // a timed series, or F10 after one, runs on the clock from its first sample
    if (timed_ && timedKind_ && (command == kCmdTimedSeries || command == kCmdNewSerie) && flow_->shooting() &&
        flow_->seriesShots() == timed_->Drill().Shots())
        timed_->Begin();
}

// Choosing a target and the commands that start a series give up the series shown: one with fired
// shots that is paused or unfinished is not dropped without asking. Pause/Continue, centring and
// F10 after the sighters of a match (which repeats them) keep it.
bool MainFrame::MaySetSeriesAside(int command) {
    const bool keeps =
        ActsOnTheSeriesShown(command) || (command == kCmdNewSerie && flow_ && flow_->waitingAfterSighters());
    return keeps || !files_ || files_->MaySetSeriesAside();
}

void MainFrame::AttachTargetWindow(SeriesView& view, TargetRun& run) {
    Settings& settings = settings_.Get();
    run.SetShotPeriod(settings.TimeBetweenShots);
    run.SetSettings(&settings);
    view.OnSettingsChanged(&settings);  // the view may have joined the hub after the settings went out
    flow_ = std::make_unique<SeriesFlow>(hub_, run, *this);
    targetRun_ = &run;
}

void MainFrame::DetachTargetWindow() {
    flow_.reset();
    targetRun_ = nullptr;
}

int MainFrame::Customize() {
    CustomizeContext context;
    context.sound = &soundHooks_;
    const int result = RunCustomizeDialog(this, settings_.Get(), context);
    if (result == kDialogOk) ApplySettings();
    return result;
}

void MainFrame::ApplySettings() {
    Settings& settings = settings_.Get();
    if (targetRun_) targetRun_->SetShotPeriod(settings.TimeBetweenShots);
    // Every view re-reads its settings (the full-score picture, line trace, replay times, the
    // tones of the audio view, ...).
    hub_.SetSettings(&settings);
    if (!sessionPort_.empty()) {
        // The link opens the session's port while the setting is the one it was chosen for, and
        // the new setting itself once it is changed; the notice follows what will be opened.
        const std::string& next = settings.Communication == sessionConfigured_ ? sessionPort_ : settings.Communication;
        SetSimulatedUnitNotice(IsSimulatorPort(next));
    }
    if (range_) range_->ApplySettings();
}

void MainFrame::SetChildWindow(ChildRole role, MdiChildWindow* window) { children_[std::size_t(role)] = window; }

void MainFrame::Notify(const Notification& notification) {
    // The series codes go to the flow; the replay's and the marks' are the frame's. A watched
    // lane's series is not this program's to complete or save automatically.
    if (flow_ && !(range_ && range_->Watching())) flow_->OnNotification(notification);
    switch (notification.code) {
        case kCodeShot:  // a live shot (a replayed one is not reported)
            seriesDate_ = QDateTime::currentDateTime();
            break;
        case kCodeReplayAtEnd:
            toolbarButtons_.ReleaseReplayButtons();  // Play springs back
            break;
        case kCodeMarkClick:
            ChooseShot(notification.index);
            break;
        case kCodeMarkDoubleClick:
            OnCommand(kCmdReplay);  // acts as Play
            break;
        default:
            break;
    }
    emit notificationHandled(notification.code, notification.index);
}

void MainFrame::ClearFileName() {
    fileName_.clear();
    seriesDate_ = QDateTime();  // a new series: dated by its shots
    UpdateCaption();
}

void MainFrame::ResetScoreboard(bool sighters, const std::string& subtitle) {
    if (!scoreboard_) return;
    if (sighters)
        scoreboard_->SetSightersMode();
    else
        scoreboard_->SetSeriesMode();
    if (!subtitle.empty()) scoreboard_->SetCaption(subtitle);
}

void MainFrame::SetShootingState(ShootingState state) {
    // a series that is complete or given up takes its clock with it
    // (a silent detector pauses as F3 does: the window open then is abandoned)
    if (timed_ && (state == ShootingState::TargetShown || state == ShootingState::Idle)) timed_->End();
    if (timed_ && state == ShootingState::Paused) timed_->Pause();
    if (timed_ && state == ShootingState::Shooting) timed_->Resume();
    menuBar_.SetMenuState(state);
    toolbarButtons_.SetState(state);
    // Shooting and pausing set the pitch back to 0; the store's shot positions follow.
    if (TraceStore* store = hub_.Store(); store && store->ShotTimeOffset() != toolbarButtons_.ShotTimeOffsetMs())
        ApplyShotTimeOffset();
    if (range_) range_->UpdateRun();
}

void MainFrame::ShowMatchBoard(const MatchProgramme& programme) {
    if (!matchBoard_) return;
    matchBoard_->SetCaption(std::string(programme.title, strnlen(programme.title, sizeof programme.title)));
    matchBoard_->ResetRows(ScoredEntries(programme));
    menuBar_.Enable(kCmdMatchBoardWindow, true);
    ShowChild(kCmdMatchBoardWindow, ChildRole::MatchBoard, true);
    if (analysis_ && analysis_->View()) analysis_->View()->ResetMatch();
}

void MainFrame::HideMatchBoard() {
    ShowChild(kCmdMatchBoardWindow, ChildRole::MatchBoard, false);
    menuBar_.Enable(kCmdMatchBoardWindow, false);
    if (analysis_ && analysis_->View()) analysis_->View()->EndMatch();
}

void MainFrame::FillMatchBoardRow(int row, const TraceImage& series) {
    if (matchBoard_) matchBoard_->FillRow(row, series, hub_.targetA(), hub_.targetB());
    if (analysis_ && analysis_->View()) analysis_->View()->SetMatchSeries(row, series);
}

bool MainFrame::ShowMatchSeries(int item) {
    if (!flow_ || !flow_->matchMode()) return false;
    if (item < 0 || item >= ScoredEntries(flow_->programme()) || item >= kMaxShots) return false;
    // The store is recording a series: a stored one must not take its place (nor be continued).
    if (flow_->seriesInProgress()) return false;
    if (!hub_.LoadStore(flow_->matchSeries(item))) return false;
    hub_.NotifyStoreChanged();
    hub_.ShowTraceRange(-1, -1, 0);
    return true;
}

void MainFrame::ShowLoadedMatch() {
    if (!flow_ || !flow_->matchMode()) return;
    if (scoreboard_) scoreboard_->SetSeriesMode();
    const MatchProgramme& programme = flow_->programme();
    const int scored = std::min(ScoredEntries(programme), int(kMaxShots));
    if (scored > 0) hub_.LoadStore(flow_->matchSeries(0));
    hub_.NotifyStoreChanged();
    hub_.ShowTraceRange(-1, -1, 0);
    ShowMatchBoard(programme);
    for (int j = 0; j < scored; ++j) FillMatchBoardRow(j, flow_->matchSeries(j));
}

bool MainFrame::ChooseProgramme(MatchProgramme& programme) {
    if (!matches_.ChooseProgramme()) return false;
    return matches_.CopyChosen(programme);
}

bool MainFrame::SaveAutomatically() const { return autoSave_ != 0; }

void MainFrame::SaveSeriesAutomatically() {
    if (files_) files_->SaveAutomatically(false);
}

void MainFrame::SaveMatchAutomatically() {
    if (files_) files_->SaveAutomatically(true);
}

int MainFrame::Open(const QString& fileName) { return files_ ? files_->Open(fileName) : 0; }

void MainFrame::ShowProgress() {
    if (!progress_) {
        progress_ = std::make_unique<ProgressWindow>();
        if (!progress_->Create(mdi_, ProgramIcon())) return;
        progress_->onClose = [this] { OnCommand(kCmdProgressWindow); };
        // a double click opens the series as File > Open does (refused while shooting)
        progress_->onOpen = [this](const QString& path, int series) { OpenProgressSeries(path, series); };
    }
    if (!progress_->Window()) return;
    if (QMdiArea* area = mdi_.Area(); area && area->isHidden()) {
        if (welcome_) welcome_->hide();
        area->show();
    }
    progress_->SetFolder(files_->Commands().SaveFolder());
    progress_->Window()->show();
    if (QMdiArea* area = mdi_.Area()) area->setActiveSubWindow(progress_->Window());
    progress_->Refresh();
}

void MainFrame::OpenProgressSeries(const QString& path, int series) {
    if (!Open(path) || !IsMatchFileName(path)) return;
    // as a click on its item: every view shows that stored series
    if (matchBoard_ && matchBoard_->List()) matchBoard_->List()->setCurrentRow(series - 1);
}

void MainFrame::RefreshProgress() {
    if (progress_ && progress_->Window() && progress_->Window()->isVisible()) progress_->Refresh();
}

void MainFrame::ShowDetectorSilent() {
    LoadUiStrings();
    CurrentMessageBoxSink().ShowMessage(UiText(kUiTextError), UiText(kDetectorSilentText), MessageIcon::Error);
}

void MainFrame::SetCentreChecked(bool on) {
    menuBar_.SetCheck(kCmdCentreSeries, on);
    toolbarButtons_.CheckButton(kCmdCentreSeries, on);
}

void MainFrame::PrintReport(int command) {
    // Nothing to print while the item is grey (its shortcut still arrives): no series shown.
    const TraceStore* live = hub_.Store();
    if (!menuBar_.Available(command) || !live) return;
    // The report is drawn from a copy of the series on a hub of its own: the live views stay as
    // they are.
    auto store = std::make_unique<TraceStore>();
    store->SetSettings(&settings_.Get());
    store->CopyFrom(live->Image());
    store->SetShotTimeOffset(live->ShotTimeOffset());
    ReportSeries series;
    series.store = store.get();
    series.faceA = hub_.targetA();
    series.faceB = hub_.targetB();
    series.settings = &settings_.Get();
    if (!fileName_.isEmpty()) series.title = QFileInfo(fileName_).fileName();
    series.stamp = seriesDate_;
    if (command == kCmdExportPdf) {
        PrintHub views(series, 600);
        printing_.ExportPdf(this, series, views);
    } else {
        PrintHub views(series, 1200);
        printing_.Print(this, series, views);
    }
}

}  // namespace zark
