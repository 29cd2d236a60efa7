#include "app/mainframe.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaObject>
#include <QToolBar>
#include <cerrno>

#include "app/appicons.h"
#include "app/commandids.h"
#include "app/framerules.h"
#include "app/targetchild.h"
#include "app/welcomepanel.h"
#include "app/window/mdichildwindow.h"
#include "core/seriesview.h"
#include "core/targetrun.h"
#include "diag/diagnostics.h"
#include "i18n/uistrings.h"
#include "targets/targetdescriptor.h"
#include "targets/widgets/targetview.h"
#include "targets/widgets/targetwindow.h"

namespace zark {
namespace {

constexpr int kDetectorSilentText = 130;  // "ZARK system unit is not connected"
MainFrame* g_mainFrame = nullptr;

QRect QRectOf(const Box& box) { return QRect(box.x, box.y, box.width, box.height); }

}  // namespace

MainFrame::MainFrame() : FrameWindow("Main") {
    g_mainFrame = this;
    setObjectName(QStringLiteral("mainFrame"));
    matches_.SetChooser(&matchChooser_);
    catalogue_.Build();
}

MainFrame::~MainFrame() {
    // Nothing may reach the frame's handlers while it is taken down.
    if (client_) client_->removeEventFilter(this);
    menuBar_.SetCommandHandler({});
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

    Settings& settings = settings_.Get();
    if (!settings.DataDirectory.empty() && !QDir().mkpath(QString::fromStdString(settings.DataDirectory))) {
        ReportError(errno, "cannot create the data directory '%s'", settings.DataDirectory.c_str());
        settings.DataDirectory.clear();
    }
    // The target window with its drawing view, audio view and link window, on the hub in that order.
    targetChild_ = std::make_unique<TargetChild>(mdi_, hub_, *this, settings);
    SetChildWindow(ChildRole::Target, targetChild_.get());
    TargetWindow& target = targetChild_->Target();
    target.SetShotPeriod(settings.TimeBetweenShots);
    target.SetSettings(&settings);
    hub_.SetSettings(&settings);
    AttachTargetWindow(target.View(), target.Run());

    // A stored zoom outside 1..4 counts as the nearest one, never as another command.
    Zoom(kCmdZoom1 + ClampZoom(settings.Zoom) - 1);

    LayOut(width, height);
    if (QMdiArea* area = mdi_.Area()) area->hide();  // shown with the first target
    client_->installEventFilter(this);
    created_ = true;

    show();
    if (warnings_.ShouldShowAtStartup()) {
        warnings_.Show();
        menuBar_.ToggleCheck(kCmdShowWarnings);
    }
    return 1;
}

void MainFrame::LayOut(int width, int height) {
    if (!toolbar_) return;
    // The trace timeline takes the bottom band; it is laid out here once it exists.
    const int toolbarHeight = std::max(toolbar_->minimumHeight(), toolbar_->sizeHint().height());
    const ClientLayout layout = LayOutClient(width, height, toolbarHeight);
    toolbar_->setGeometry(QRectOf(layout.toolbar));
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

void MainFrame::OnCommand(int command, bool fromAccelerator) {
    emit commandReceived(command, fromAccelerator);
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
            ShootCommand(command);
            break;
        case kCmdAbout:
            about_.Show();
            break;
        case kCmdDiagram:
        case kCmdDiagramWindow:
            ToggleDiagram();
            break;
        case kCmdHelpTopics:
            help_.Show();
            break;
        case kCmdRearrange:
            Rearrange();
            break;
        case kCmdSaveAutomatically:
            // The toolbar's button follows the mark once the toolbar has it.
            autoSave_ = menuBar_.ToggleCheck(kCmdSaveAutomatically);
            break;
        case kCmdShowWarnings:
            warnings_.SetShowAtStartup(menuBar_.ToggleCheck(kCmdShowWarnings));
            break;
        case kCmdOpen:
        case kCmdSave:
        case kCmdDelete:
            // The file commands carry these out; they are wired where the file commands are built.
            break;
        case kCmdCustomize:
            // The Customize dialog carries this out; it is wired where the dialog is built.
            break;
        case kCmdPrint:
        case kCmdPageSetup:
            // Printing carries these out; they are wired where printing is built.
            break;
        case kCmdReplay:
        case kCmdReplayStop:
        case kCmdReplayFastForward:
        case kCmdReplayReverse:
        case kCmdReplayRewind:
        case kCmdReplayEnd:
        case kCmdPitch:
        case kCmdClearPitch:
            // The replay and the toolbar carry these out; they are wired where those are built.
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

void MainFrame::ToggleDiagram() {
    const bool on = menuBar_.ToggleCheck(kCmdDiagram) != 0;
    MdiChildWindow* diagram = ChildWindow(ChildRole::Diagram);
    if (!diagram || !diagram->Window()) return;
    if (on) {
        diagram->Window()->show();
        if (QMdiArea* area = mdi_.Area()) area->setActiveSubWindow(diagram->Window());
    } else {
        diagram->Window()->hide();
    }
}

void MainFrame::Rearrange() {
    const QSize area = mdi_.ClientSize();
    MdiChildWindow* scoreboard = ChildWindow(ChildRole::Scoreboard);
    MdiChildWindow* matchBoard = ChildWindow(ChildRole::MatchBoard);
    MdiChildWindow* diagram = ChildWindow(ChildRole::Diagram);
    MdiChildWindow* target = ChildWindow(ChildRole::Target);
    const Rect board = scoreboard ? scoreboard->Geometry() : Rect{};
    const Rect match = matchBoard ? matchBoard->Geometry() : Rect{};
    const Arrangement a =
        ArrangeChildren(area.width(), area.height(), board.Width(), board.Height(), match.Width(), match.Height());
    const auto place = [](MdiChildWindow* window, const Box& box) {
        if (window) window->SetGeometry(Rect{box.x, box.y, box.x + box.width, box.y + box.height});
    };
    // Without a scoreboard there is nothing to place the match board and the diagram beside.
    if (scoreboard) {
        place(scoreboard, a.scoreboard);
        place(matchBoard, a.matchBoard);
        place(diagram, a.diagram);
    }
    place(target, a.target);
}

void MainFrame::ChooseTarget(int command) {
    fileName_.clear();
    UpdateCaption();
    TargetPair pair;
    if (catalogue_.PairForCommand(command, pair)) ShowTarget(pair.first, pair.second);
}

void MainFrame::ShowTarget(const TargetDescriptor* first, const TargetDescriptor* second) {
    if (!first) return;
    QMdiArea* area = mdi_.Area();
    if (welcome_) welcome_->hide();
    if (area) area->show();
    MdiChildWindow* target = ChildWindow(ChildRole::Target);

    menuBar_.SetMenuState(ShootingState::TargetShown);
    if (TargetWindow* window = Target()) {
        window->View().SetZoom(settings_.Get().Zoom, false);
        window->ChooseTarget(first, second);
    } else {
        hub_.SetTargets(first, second);
    }

    if (target && target->Window()) {
        LoadUiStrings();
        target->SetTitle(UiQString(first->NameId()));
        target->Window()->show();
    }
    if (MdiChildWindow* matchBoard = ChildWindow(ChildRole::MatchBoard); matchBoard && matchBoard->Window())
        matchBoard->Window()->hide();
    if (MdiChildWindow* scoreboard = ChildWindow(ChildRole::Scoreboard); scoreboard && scoreboard->Window())
        scoreboard->Window()->show();
    if (MdiChildWindow* diagram = ChildWindow(ChildRole::Diagram); diagram && diagram->Window()) {
        if (menuBar_.HasCheck(kCmdDiagram))
            diagram->Window()->show();
        else
            diagram->Window()->hide();
    }
    // The target window is the active one, whatever showing the others did.
    if (target && target->Window() && area) area->setActiveSubWindow(target->Window());
    menuBar_.RebuildShootMenu(TargetFamily(first->Identity()));
}

void MainFrame::ShootCommand(int command) {
    if (!flow_) return;  // no target window, no series
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
        default: break;
    }
}

void MainFrame::AttachTargetWindow(SeriesView& view, TargetRun& run) {
    Settings& settings = settings_.Get();
    run.SetShotPeriod(settings.TimeBetweenShots);
    run.SetSettings(&settings);
    view.OnSettingsChanged(&settings);  // the view may have joined the hub after the settings went out
    flow_ = std::make_unique<SeriesFlow>(hub_, run, *this);
}

void MainFrame::DetachTargetWindow() { flow_.reset(); }

void MainFrame::SetChildWindow(ChildRole role, MdiChildWindow* window) { children_[std::size_t(role)] = window; }

void MainFrame::Notify(const Notification& notification) {
    // The series codes go to the flow; the scoreboard and the replay take theirs once they exist.
    if (flow_) flow_->OnNotification(notification);
    emit notificationHandled(notification.code, notification.index);
}

void MainFrame::ClearFileName() {
    fileName_.clear();
    UpdateCaption();
}

void MainFrame::ResetScoreboard(bool, const std::string&) {
    // The scoreboard resets its lists and caption here once it is built.
}

void MainFrame::SetShootingState(ShootingState state) {
    // The toolbar takes the matching state here once it is built.
    menuBar_.SetMenuState(state);
}

void MainFrame::ShowMatchBoard(const MatchProgramme&) {
    // The match board shows the programme here once it is built.
}

void MainFrame::HideMatchBoard() {
    // The match board hides itself here once it is built.
}

void MainFrame::FillMatchBoardRow(int, const TraceImage&) {
    // The match board fills its row here once it is built.
}

bool MainFrame::ChooseProgramme(MatchProgramme& programme) {
    if (!matches_.ChooseProgramme()) return false;
    return matches_.CopyChosen(programme);
}

bool MainFrame::SaveAutomatically() const { return autoSave_ != 0; }

void MainFrame::SaveSeriesAutomatically() {
    // The file commands save the series under an automatic name here once they are built.
}

void MainFrame::SaveMatchAutomatically() {
    // The file commands save the match under an automatic name here once they are built.
}

void MainFrame::ShowDetectorSilent() {
    LoadUiStrings();
    CurrentMessageBoxSink().ShowMessage(UiText(kUiTextError), UiText(kDetectorSilentText), MessageIcon::Error);
}

void MainFrame::SetCentreChecked(bool on) { menuBar_.SetCheck(kCmdCentreSeries, on); }

}  // namespace zark
