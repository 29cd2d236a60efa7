#include "app/framerange.h"

#include <QDir>
#include <QFile>
#include <QMenu>

#include "app/appicons.h"
#include "app/framefiles.h"
#include "app/frametimed.h"
#include "app/frameviews.h"
#include "app/mainframe.h"
#include "app/noticebanner.h"
#include "app/version.h"
#include "app/watchlanedialog.h"
#include "diag/diagnostics.h"
#include "export/csvexport.h"
#include "i18n/uistrings.h"
#include "core/linkwindow.h"
#include "range/lanepublisher.h"
#include "range/lanewatcher.h"
#include "range/rangemessages.h"
#include "range/rangeofficer.h"
#include "range/widgets/rangewindow.h"
#include "core/matchprogramme.h"
#include "core/seriesflow.h"
#include "window/commandtable.h"
#include "storage/seriesfileio.h"
#include "storage/seriesrecord.h"
#include "targets/scoretext.h"
#include "targets/targetcatalogue.h"
#include "targets/targetdescriptor.h"
#include "targets/widgets/targetwindow.h"
#include "window/commandids.h"

namespace zark {
namespace {

constexpr int kTextWatching = 655;     // "Watching lane %s (%s): read-only. ..."
constexpr int kTextLaneOffline = 656;  // "Lane %s is offline. ..."
constexpr int kTextBrokerAway = 657;   // "The range broker cannot be reached (%s). ..."
constexpr int kTextRefused = 658;      // "The range broker refused this lane (%s)."
constexpr int kTextLocked = 682;       // "This lane is locked by the range officer: ..."
constexpr int kTextArchived = 683;     // "%d series of the lanes kept in %s"

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The settings a coach's client connects with; a change of any means connecting again.
std::string BrokerKey(const Settings& s) {
    return s.RangeHost + '|' + std::to_string(s.RangePort) + '|' + std::to_string(s.RangeTls) + '|' + s.RangeCaFile +
           '|' + s.RangeUser + '|' + s.RangePassword + '|' + s.RangeName;
}

// A text of the tables with its "%s" filled in order.
QString FillIn(int id, const QStringList& values) {
    LoadUiStrings();
    QString text = UiQString(id);
    for (const QString& value : values) {
        const qsizetype at = text.indexOf(QLatin1String("%s"));
        if (at < 0) break;
        text.replace(at, 2, value);
    }
    return text;
}

}  // namespace

FrameRange::FrameRange(MainFrame& frame) : frame_(frame) {}

FrameRange::~FrameRange() {
    window_.reset();
    officer_.reset();
    publisher_.reset();  // says offline first
    watcher_.reset();
    laneClient_.reset();
    coachClient_.reset();
}

BrokerOptions FrameRange::OptionsOf(const Settings& s, bool lane) const {
    BrokerOptions o;
    o.host = s.RangeHost.empty() ? QStringLiteral("localhost") : Q(s.RangeHost);
    o.port = s.RangePort >= 1 && s.RangePort <= 65535 ? s.RangePort : 1883;
    o.tls = s.RangeTls != 0;
    o.caFile = Q(s.RangeCaFile);
    o.user = Q(s.RangeUser);
    o.password = Q(s.RangePassword);
    const QString range = Q(RangeNameOf(s.RangeName));
    const QString laneName = Q(RangeNameOf(s.RangeLane));
    // one persistent session per lane and one per coach's program: the ids stay over restarts
    o.clientId = QStringLiteral("zark-%1-%2%3").arg(range, laneName, lane ? QString() : QStringLiteral("-watch"));
    if (lane) {
        o.willTopic = LaneTopicName(range, laneName, LaneTopic::State);
        o.willPayload = LanePublisher::OfflineState(laneName);
    }
    return o;
}

void FrameRange::ApplySettings() {
    const Settings& s = frame_.CurrentSettings();
    // a lane connects again when its broker, its name or its shooter changed
    const std::string key =
        s.RangeEnabled ? BrokerKey(s) + '|' + s.RangeLane + '|' + s.RangeShooter : std::string();
    if (key != laneKey_) {
        StopLane();
        laneKey_ = key;
        if (!key.empty() && !Watching()) StartLane();
    }
    // a lane that stops taking orders is the shooter's own again
    if (!s.RangeEnabled || !s.RangeAcceptCommands) SetLocked(false);
    if (publisher_) publisher_->SetTakesCommands(s.RangeAcceptCommands != 0);
    if (coachClient_ && BrokerKey(s) != coachKey_) {
        // the coach's broker or user changed: watching (and the range officer's window) starts again there
        const QString lane = watched_;
        const bool officer = officer_ != nullptr;
        StopWatching();
        DropOfficer();
        watcher_.reset();
        coachClient_.reset();
        if (!lane.isEmpty()) Watch(lane);
        if (officer) ShowOfficerWindow();
    }
}

void FrameRange::StartLane() {
    const Settings& s = frame_.CurrentSettings();
    laneClient_ = std::make_unique<RangeClient>();
    if (!laneClient_->Start(OptionsOf(s, true))) {
        LogLine("range: the lane cannot go on the range: %s\n", qPrintable(laneClient_->Error()));
        Say(kTextRefused, laneClient_->Error());
        laneClient_.reset();
        return;
    }
    LaneIdentity identity{Q(RangeNameOf(s.RangeName)), Q(RangeNameOf(s.RangeLane)), Q(s.RangeShooter).left(64),
                          QString::fromLatin1(kProgramVersion)};
    publisher_ = std::make_unique<LanePublisher>(frame_.Hub(), *laneClient_, identity);
    publisher_->SetTakesCommands(s.RangeAcceptCommands != 0);
    publisher_->SetLocked(locked_);
    publisher_->onCommand = [this](const CommandMessage& order) { return Obey(order); };
    UpdateRun();
}

void FrameRange::StopLane() {
    publisher_.reset();
    laneClient_.reset();
}

void FrameRange::UpdateRun() {
    if (!publisher_) return;
    const SeriesFlow* flow = frame_.Flow();
    LaneRun run = LaneRun::Idle;
    if (flow && flow->seriesInProgress()) {
        if (frame_.Hub().Store() && frame_.Hub().Store()->Timed()) run = LaneRun::Timed;
        else if (flow->sightersMode()) run = LaneRun::Sighters;
        else if (flow->matchMode()) run = LaneRun::Match;
        else run = LaneRun::Series;
    }
    publisher_->SetRun(run);
}

void FrameRange::PublishRecovered(const QStringList& files) {
    if (!publisher_) return;
    SeriesFileIo io;
    for (const QString& path : files) {
        if (IsMatchFileName(path)) continue;  // its series are in the .ZAS files recovered beside it, or in the match file alone
        auto record = std::make_unique<SeriesRecord>();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QByteArray text = file.readAll();
        file.seek(0);
        if (!SeriesFileIo::ReadSeries(file, *record)) continue;
        TargetPair pair;
        if (!frame_.Catalogue().FindQuietly(record->targetId, pair) || !pair.first) continue;
        auto store = std::make_unique<TraceStore>();
        store->CopyFrom(record->store);
        const QString total = Q(TotalText(*pair.first, SeriesTotal(*store, pair)));
        publisher_->PublishRecovered(record->store, record->targetId, text,
                                     LocalDateTime(record->date).toString(Qt::ISODate), total);
    }
}

void FrameRange::EnsureWatcher() {
    if (watcher_) return;
    const Settings& s = frame_.CurrentSettings();
    coachClient_ = std::make_unique<RangeClient>();
    if (!coachClient_->Start(OptionsOf(s, false))) LogLine("range: cannot watch: %s\n", qPrintable(coachClient_->Error()));
    coachKey_ = BrokerKey(s);
    watcher_ = std::make_unique<LaneWatcher>(*coachClient_, frame_.Hub(), frame_.Catalogue(), Q(RangeNameOf(s.RangeName)));
    watcher_->onFace = [this](const TargetDescriptor* first, const TargetDescriptor* second) {
        frame_.ShowWatchedTarget(first, second);
    };
    connect(watcher_.get(), &LaneWatcher::WatchedOnline, this, [this](bool online) {
        if (!online) Say(kTextLaneOffline, watched_);
        else if (const auto lane = watcher_->Lanes().find(watched_); lane != watcher_->Lanes().end())
            Say(kTextWatching, watched_, lane->second.shooter);
    });
    connect(watcher_.get(), &LaneWatcher::ShotRecorded, this, [this] { frame_.Menus().EnableSave(); });
    connect(watcher_.get(), &LaneWatcher::LanesChanged, this, [this] {
        if (window_) window_->Refresh();
    });
    connect(coachClient_.get(), &RangeClient::Disconnected, this, [this](int rc) {
        if (Watching() && rc != 0) Say(kTextBrokerAway, BrokerErrorText(rc));
    });
}

void FrameRange::WatchLaneCommand() {
    EnsureWatcher();
    const Settings& s = frame_.CurrentSettings();
    WatchLaneDialog dialog(&frame_, *watcher_, *coachClient_, Q(RangeNameOf(s.RangeName)),
                           QStringLiteral("%1:%2").arg(Q(s.RangeHost)).arg(s.RangePort), watched_);
    const int result = dialog.Run();
    if (result == kDialogOk) Watch(dialog.Chosen());
    else if (result == WatchLaneDialog::kStopWatching) StopWatching();
}

bool FrameRange::Watch(const QString& lane) {
    if (lane.isEmpty()) {
        StopWatching();
        return true;
    }
    EnsureWatcher();
    if (!Watching()) {
        // a series of this lane with fired shots is not given up without asking
        if (FrameFiles* files = frame_.Files(); files && !files->MaySetSeriesAside()) return false;
        if (SeriesFlow* flow = frame_.Flow()) flow->EndSeries();
        frame_.Hub().StopAcquisition();
        StopLane();
        SetReadOnly(true);
    }
    watched_ = lane;
    frame_.ClearFileName();
    watcher_->Watch(lane);
    const auto known = watcher_->Lanes().find(lane);
    Say(kTextWatching, lane, known != watcher_->Lanes().end() ? known->second.shooter : QString());
    return true;
}

void FrameRange::StopWatching() {
    if (!Watching()) return;
    watcher_->Watch(QString());
    watched_.clear();
    frame_.Hub().StopAcquisition();
    SetReadOnly(false);
    // the Shoot menu of the face now shown (the watched lane's)
    if (const TargetDescriptor* face = frame_.Hub().targetA()) frame_.Menus().RebuildShootMenu(TargetFamily(face->Identity()));
    if (!laneKey_.empty()) StartLane();
}

void FrameRange::SetReadOnly(bool on) {
    if (TargetWindow* target = frame_.Target()) target->Link().SetSuspended(on);
    // the shots shown are the lane's, not the simulated unit's: its notice would mislead
    if (on) {
        simulatedNotice_ = frame_.SimulatedUnitNoticeShown();
        frame_.SetSimulatedUnitNotice(false);
    } else if (simulatedNotice_) {
        frame_.SetSimulatedUnitNotice(true);
    }
    if (on) {
        greyed_.clear();
        const auto grey = [this](QAction* action) {
            if (!action || action->isSeparator()) return;
            greyed_.emplace_back(action, action->isEnabled());
            action->setEnabled(false);
        };
        MenuBar& menus = frame_.Menus();
        for (QMenu* menu : {menus.ShootMenu(), menus.TargetsMenu()}) {
            if (!menu) continue;
            grey(menu->menuAction());
            for (QAction* action : menu->actions()) {
                grey(action);
                if (QMenu* sub = action->menu())
                    for (QAction* item : sub->actions()) grey(item);
            }
        }
        for (int command : {kCmdOpen, kCmdCentreSeries, kCmdPauseContinue, kCmdNewSerie, kCmdMatch, kCmdTimedSeries})
            grey(menus.Action(command));
    } else {
        for (auto& [action, enabled] : greyed_)
            if (action) action->setEnabled(enabled);
        greyed_.clear();
    }
}

void FrameRange::Say(int textId, const QString& first, const QString& second) {
    FrameFiles* files = frame_.Files();
    NoticeBanner* banner = files ? files->Banner() : nullptr;
    QStringList values{first};
    if (!second.isEmpty() || textId == kTextWatching) values << (second.isEmpty() ? QStringLiteral("-") : second);
    const QString text = FillIn(textId, values);
    LogLine("range: %s\n", qPrintable(text));
    if (banner) banner->Show(text);
}

void FrameRange::ShowOfficerWindow() {
    EnsureWatcher();
    if (!officer_) {
        const QString folder = frame_.Files() ? frame_.Files()->Commands().SaveFolder() : QString();
        officer_ = std::make_unique<RangeOfficer>(*coachClient_, Q(RangeNameOf(frame_.CurrentSettings().RangeName)), folder);
        connect(officer_.get(), &RangeOfficer::Answered, this, [this] {
            if (window_) window_->Refresh();
        });
        connect(officer_.get(), &RangeOfficer::SeriesArchived, this, [this, folder] {
            if (window_)
                window_->SetStatus(QString::asprintf(UiText(kTextArchived).c_str(), officer_->Archived(),
                                                     QDir::toNativeSeparators(folder + QStringLiteral("/Range")).toUtf8().constData()));
            frame_.Views().RefreshProgress();
        });
    }
    if (!window_) {
        window_ = std::make_unique<RangeWindow>(frame_.Catalogue(), frame_.Matches());
        if (!window_->Create(frame_.Mdi(), ProgramIcon(), Q(RangeNameOf(frame_.CurrentSettings().RangeName)))) {
            window_.reset();
            return;
        }
        window_->onClose = [this] { frame_.OnCommand(kCmdRangeWindow); };
    }
    window_->Attach(watcher_.get(), officer_.get());
    frame_.Views().ShowOnTop(window_->Window());
}

void FrameRange::HideOfficerWindow() {
    if (window_ && window_->Window()) window_->Window()->hide();
}

void FrameRange::DropOfficer() {
    if (window_) window_->Attach(nullptr, nullptr);
    officer_.reset();
}

void FrameRange::SetLocked(bool locked) {
    if (locked_ == locked) return;
    locked_ = locked;
    frame_.Menus().SetLocked(locked);
    if (publisher_) publisher_->SetLocked(locked);
    if (FrameFiles* files = frame_.Files(); files && files->Banner()) {
        if (locked) Say(kTextLocked);
        else files->Banner()->hide();
    }
}

int FrameRange::CommandOf(const CommandMessage& order) const {
    switch (order.order) {
    case LaneOrder::Match: return kCmdMatch;
    case LaneOrder::Timed: return kCmdTimedSeries;
    case LaneOrder::Sighters:
    case LaneOrder::Series: break;
    default: return 0;
    }
    const TargetDescriptor* face = frame_.Hub().targetA();
    if (!face) return 0;
    const bool sighters = order.order == LaneOrder::Sighters;
    int chosen = 0, longest = 0;
    for (const ShootMenuVariant& variant : ShootMenuVariants()) {
        if (variant.family != TargetFamily(face->Identity())) continue;
        for (const int command : variant.items) {
            const ShootKind kind = ShootKindOf(command);
            if (!command || kind.sighters != sighters || kind.isDouble) continue;
            if (order.shots > 0 ? kind.shots == order.shots : (sighters ? !chosen : kind.shots > longest)) {
                chosen = command;
                longest = kind.shots;
                if (order.shots > 0) return chosen;
            }
        }
    }
    return chosen;
}

QString FrameRange::Obey(const CommandMessage& order) {
    const Settings& s = frame_.CurrentSettings();
    SeriesFlow* flow = frame_.Flow();
    LaneSituation lane;
    lane.takesCommands = s.RangeAcceptCommands != 0;
    lane.watching = Watching();
    lane.seriesWithShots = frame_.Files() && frame_.Files()->SeriesWouldBeLost();
    int command = 0;
    if (order.order == LaneOrder::Face) {
        TargetPair pair;
        const int index = frame_.Catalogue().FindQuietly(order.face, pair) && pair.first
                              ? frame_.Catalogue().IndexOf(pair.first)
                              : -1;
        command = index >= 0 ? TargetCatalogue::MenuCommand(index) : 0;
        lane.faceKnown = command != 0;
    } else {
        command = CommandOf(order);
        lane.offered = command != 0 && flow;
    }
    if (QString refused = LaneRefusal(order, lane); !refused.isEmpty()) return refused;
    if (order.order == LaneOrder::Lock || order.order == LaneOrder::Unlock) {
        SetLocked(order.order == LaneOrder::Lock);
        return {};
    }
    if (order.order == LaneOrder::Match && order.programme >= 0 && !frame_.Matches().Choose(order.programme))
        return QString::fromLatin1(kRefusedNotOnFace);
    // a series under way without a fired shot is ended: nothing is lost, and the order starts afresh
    if (flow && flow->shooting()) flow->EndSeries();
    FrameTimed* timed = frame_.Timed();
    const bool asked = timed && timed->Asks();
    if (timed) timed->AskForTheDrill(false);  // the drill this lane chose last
    frame_.Matches().SetUnattended(true);      // the programme chosen above or last, without the dialog
    frame_.Menus().SetLocked(false);
    frame_.OnCommand(command);
    frame_.Menus().SetLocked(locked_);
    frame_.Matches().SetUnattended(false);
    if (timed) timed->AskForTheDrill(asked);
    if (order.order == LaneOrder::Face) {
        const TargetDescriptor* shown = frame_.Hub().targetA();
        return shown && shown->Identity() == order.face ? QString() : QString::fromLatin1(kRefusedNotStarted);
    }
    return flow && flow->shooting() ? QString() : QString::fromLatin1(kRefusedNotStarted);
}

}  // namespace zark
