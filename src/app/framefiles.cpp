#include "app/framefiles.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <memory>

#include "window/commandids.h"
#include "app/deletefilesdialog.h"
#include "app/framecommands.h"
#include "app/framejournal.h"
#include "app/mainframe.h"
#include "app/noticebanner.h"
#include "diag/diagnostics.h"
#include "i18n/uistrings.h"
#include "settings/settings.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

constexpr int kTextSeriesNotSaved = 370;  // "The series could not be saved automatically: %s"
constexpr int kTextMatchNotSaved = 371;   // "The match could not be saved automatically: %s"
constexpr int kTextSaveFailed = 372;      // "Failed to save file %s: %s"
constexpr int kTextCancel = 114;          // "&Cancel"
constexpr int kTextDiscardQuestion = 473;  // "Discard the series shot so far?"
constexpr int kTextSaveButton = 474;      // "&Save"
constexpr int kTextDiscardButton = 475;   // "&Discard"

QString Format(int id, const QString& first, const QString& second = {}) {
    LoadUiStrings();
    return QString::asprintf(UiText(id).c_str(), first.toUtf8().constData(), second.toUtf8().constData());
}

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

QStringList OpenFilters() {
    LoadUiStrings();
    return QtNameFilters(OpenFilter(UiText(kTextSerieFiles), UiText(kTextMatchFiles), UiText(kTextAllFiles)));
}

// The first series or match file among dropped URLs; empty when there is none.
QString DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        const QString suffix = path.section(QLatin1Char('.'), -1).toLower();
        if (path.contains(QLatin1Char('.')) && (suffix == QLatin1String("zas") || suffix == QLatin1String("zam")))
            return path;
    }
    return {};
}

// What a save writes: the shown series (sighters marked as such), or the match with its stored
// series.
std::unique_ptr<SeriesRecord> SeriesToSave(int targetId, const TraceStore& store, const SeriesFlow* flow) {
    auto record = std::make_unique<SeriesRecord>();
    record->Clear();
    record->targetId = targetId;
    record->store = store.Image();
    record->numberOfShots = store.ShotCount();
    record->sighters = flow && !flow->matchMode() && flow->sightersMode() ? 1 : 0;
    return record;
}

// A match saved before it is complete keeps the series under way in its place.
std::unique_ptr<MatchRecord> MatchToSave(int targetId, const SeriesFlow& flow, const TraceStore& store) {
    auto record = std::make_unique<MatchRecord>();
    record->Clear();
    record->targetId = targetId;
    FileProgrammeOf(flow.programme(), record->programme);
    for (int j = 0; j < kMaxMatchSeries; ++j) record->series[j] = flow.matchSeries(j);
    if (const int j = StoredSeriesIndex(flow.programme(), flow.currentEntry());
        flow.seriesInProgress() && j >= 0 && j < kMaxMatchSeries)
        record->series[j] = store.Image();
    return record;
}

// Fired shots that giving up the series shown would lose: those of a paused or unfinished series,
// and in a match that is not complete those of its stored series.
bool SeriesAtRisk(const SeriesFlow& flow, const TraceStore& store) {
    if (flow.seriesInProgress() && HasFiredShot(store.Image())) return true;
    if (!flow.matchMode() || flow.currentEntry() >= flow.programme().seriesCount) return false;
    for (int j = 0; j < kMaxMatchSeries; ++j)
        if (HasFiredShot(flow.matchSeries(j))) return true;
    return false;
}

enum class SetAside { Save, Discard, Cancel };

SetAside AskDiscard(QWidget* owner, const QString& title) {
    LoadUiStrings();
    QMessageBox box(QMessageBox::Question, title, UiQString(kTextDiscardQuestion), QMessageBox::NoButton, owner);
    box.setObjectName(QStringLiteral("discardQuestion"));
    QPushButton* save = box.addButton(UiQString(kTextSaveButton), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(UiQString(kTextDiscardButton), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(UiQString(kTextCancel), QMessageBox::RejectRole);
    save->setObjectName(QStringLiteral("saveButton"));
    discard->setObjectName(QStringLiteral("discardButton"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) return SetAside::Save;
    if (box.clickedButton() == discard) return SetAside::Discard;
    return SetAside::Cancel;
}

}  // namespace

FrameFiles::FrameFiles(MainFrame& frame) : frame_(frame) {
    if (QWidget* client = frame_.ClientArea()) banner_ = new NoticeBanner(client, frame_.Mdi().Area());
    frame_.setAcceptDrops(true);
    frame_.installEventFilter(this);
    RegisterFileTypes();
}

FrameFiles::~FrameFiles() {
    journal_.reset();  // leaves the hub
    frame_.removeEventFilter(this);
    delete banner_.data();
}

void FrameFiles::RegisterFileTypes() {
#ifdef Q_OS_WIN
    // Under the machine's classes when the user may write there, else under the user's own (which
    // the desktop reads the same way); a key that cannot be written is skipped.
    LoadUiStrings();
    const QString program = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    const auto keys = FileTypeRegistryKeys(Utf8(program), UiText(kTextSerieFiles), UiText(kTextMatchFiles));
    for (const char* root : {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"}) {
        QSettings registry(QString::fromLatin1(root), QSettings::NativeFormat);
        for (const RegistryKey& key : keys) {
            const QString path = QString::fromUtf8(key.path.c_str()).replace(QLatin1Char('\\'), QLatin1Char('/'));
            registry.setValue(path + QStringLiteral("/Default"), key.hasValue ? QString::fromUtf8(key.value.c_str()) : QString());
        }
        registry.sync();
        if (registry.status() == QSettings::NoError) return;
    }
#endif
}

void FrameFiles::PrepareDataDirectory(Settings& settings) {
    if (!files_.PrepareDataDirectory(QString::fromStdString(settings.DataDirectory))) settings.DataDirectory.clear();
}

// A file command does nothing while its menu item is grey (its shortcut still arrives).
bool FrameFiles::CommandAvailable(int command) const { return frame_.Commands().MayRun(command); }

int FrameFiles::Open(const QString& given) {
    if (const SeriesFlow* flow = frame_.Flow(); flow && flow->shooting()) return 0;
    if (!MaySetSeriesAside()) return 0;
    QString path = given;
    if (path.isEmpty()) {
        QFileDialog dialog(&frame_);
        dialog.setObjectName(QStringLiteral("openDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(OpenFilters());
        dialog.setDirectory(files_.StartFolder());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return 0;
        path = dialog.selectedFiles().front();
    }
    const FileCommands::Kind kind = files_.Read(path);
    if (kind == FileCommands::Kind::Failed) {
        LoadUiStrings();
        CurrentMessageBoxSink().ShowMessage(UiText(kUiTextError), Utf8(Format(kUiTextOpenFailed, path)),
                                            MessageIcon::Error);
        return 0;
    }
    files_.ChoseFile(path);
    return (kind == FileCommands::Kind::Match ? ApplyMatch(path) : ApplySeries(path)) ? 1 : 0;
}

void FrameFiles::ShowOpenedStore(const TraceImage& image) {
    ShootingHub& hub = frame_.Hub();
    if (!hub.LoadStore(image)) LogLine("The opened series holds more than a series can: it is not shown\n");
    // A series shot at one side of a hunting face opens on the face of its last fired shot, with
    // that face's marks.
    if (const TraceStore* store = hub.Store()) {
        int side = 0;
        for (int k = 0; k < store->ShotCount(); ++k)
            if (store->ShotFired(k)) side = store->Shot(k).side ? 1 : 0;
        hub.SelectTarget(side);
    }
    hub.NotifyStoreChanged();
    hub.ShowTraceRange(-1, -1, 0);
}

// The target is looked up first: a file naming a face the catalogue does not know (reported by
// the lookup) leaves the shown series, its file name and the caption as they were.
bool FrameFiles::ApplySeries(const QString& path) {
    const SeriesRecord& record = files_.OpenedSeries();
    TargetPair pair;
    if (!frame_.Catalogue().FindByIdentity(record.targetId, pair)) return false;
    frame_.ShowTarget(pair.first, pair.second);
    frame_.SetFileName(path);
    frame_.SetSeriesDate(LocalDateTime(record.date));
    frame_.SetShootingState(ShootingState::Idle);
    if (SeriesFlow* flow = frame_.Flow())
        flow->LoadSeries(ShotsOfOpenedSeries(record, flow->seriesShots()), record.sighters);
    frame_.ResetScoreboard(false, {});
    ShowOpenedStore(record.store);
    return true;
}

bool FrameFiles::ApplyMatch(const QString& path) {
    const MatchRecord& record = files_.OpenedMatch();
    TargetPair pair;
    if (!frame_.Catalogue().FindByIdentity(record.targetId, pair)) return false;
    auto programme = std::make_unique<MatchProgramme>();
    ProgrammeOfOpenedMatch(record, *programme);
    frame_.ShowTarget(pair.first, pair.second);
    frame_.SetFileName(path);
    frame_.SetSeriesDate(LocalDateTime(record.date));
    frame_.SetShootingState(ShootingState::Idle);
    if (SeriesFlow* flow = frame_.Flow()) flow->LoadMatch(*programme, record.series, kMaxMatchSeries);
    frame_.ResetScoreboard(false, {});
    ShowOpenedStore(record.series[0]);
    frame_.ShowMatchBoard(*programme);
    // One row per scored entry, filled from its stored series.
    const int rows = std::min(ScoredEntries(*programme), int(kMaxMatchSeries));
    for (int row = 0; row < rows; ++row) frame_.FillMatchBoardRow(row, record.series[row]);
    return true;
}

QString FrameFiles::ChooseSavePath(bool match) {
    LoadUiStrings();
    QFileDialog dialog(&frame_);
    dialog.setObjectName(QStringLiteral("saveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QtNameFilters(match ? MatchSaveFilter(UiText(kTextMatchFiles))
                                              : SeriesSaveFilter(UiText(kTextSerieFiles))));
    dialog.setDefaultSuffix(match ? QStringLiteral("zam") : QStringLiteral("zas"));
    dialog.setDirectory(files_.StartFolder());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

void FrameFiles::Save() {
    if (CommandAvailable(kCmdSave)) SaveWithDialog();
}

bool FrameFiles::SaveWithDialog() {
    ShootingHub& hub = frame_.Hub();
    const TargetDescriptor* target = hub.CurrentTarget();
    TraceStore* store = hub.Store();
    if (!target || !store) return false;
    const SeriesFlow* flow = frame_.Flow();
    const bool match = flow && flow->matchMode();
    const QString path = SavePathOfKind(ChooseSavePath(match), match);
    if (path.isEmpty()) return false;  // Cancel changes nothing
    files_.ChoseFile(path);
    const FileCommands::SaveOutcome outcome =
        match ? files_.SaveMatch(*MatchToSave(target->Identity(), *flow, *store), path)
              : files_.SaveSeries(*SeriesToSave(target->Identity(), *store, flow), path);
    const bool saved = outcome.ok;
    const QString& error = outcome.error;
    frame_.SetFileName(saved ? path : QString());
    if (saved) {
        frame_.SetSeriesDate(LocalDateTime(files_.Now()));
        SeriesKept();
        if (onSaved) onSaved();
    } else {
        CurrentMessageBoxSink().ShowMessage(UiText(kUiTextError), Utf8(Format(kTextSaveFailed, path, error)),
                                            MessageIcon::Error);
    }
    return saved;
}

void FrameFiles::SeriesKept() {
    if (journal_) journal_->Close();
}

bool FrameFiles::SeriesWouldBeLost() const {
    const SeriesFlow* flow = frame_.Flow();
    const TraceStore* store = frame_.Hub().Store();
    return flow && store && SeriesAtRisk(*flow, *store);
}

bool FrameFiles::MaySetSeriesAside() {
    const SeriesFlow* flow = frame_.Flow();
    const TraceStore* store = frame_.Hub().Store();
    // (While a series is being shot the commands that would give it up do nothing.)
    if (!flow || !store || flow->shooting() || !SeriesAtRisk(*flow, *store)) return true;
    switch (AskDiscard(&frame_, frame_.Title())) {
        case SetAside::Save: return SaveWithDialog();
        case SetAside::Discard: return true;  // the journal goes with the series
        case SetAside::Cancel: break;
    }
    return false;
}

void FrameFiles::StartJournal() {
    if (journal_) return;
    journal_ = std::make_unique<FrameJournal>(frame_, files_, banner_);
    journal_->RecoverEarlierRuns();
}

void FrameFiles::SaveAutomatically(bool match) {
    ShootingHub& hub = frame_.Hub();
    const TargetDescriptor* target = hub.CurrentTarget();
    TraceStore* store = hub.Store();
    const SeriesFlow* flow = frame_.Flow();
    if (!target || !store || (match && !flow)) return;
    LoadUiStrings();
    const QString name = UiQString(target->NameId());
    const FileCommands::SaveOutcome outcome =
        match ? files_.AutoSaveMatch(*MatchToSave(target->Identity(), *flow, *store), name)
              : files_.AutoSaveSeries(*SeriesToSave(target->Identity(), *store, flow), name);
    frame_.SetFileName(outcome.path);
    if (outcome.ok) {
        frame_.SetSeriesDate(LocalDateTime(files_.Now()));
        SeriesKept();
        if (onSaved) onSaved();
    }
    // The series stays shown and can still be saved with Save; the shooter is told without a box.
    if (!outcome.ok && banner_) banner_->Show(Format(match ? kTextMatchNotSaved : kTextSeriesNotSaved, outcome.error));
}

void FrameFiles::Delete() {
    if (!CommandAvailable(kCmdDelete)) return;
    DeleteFilesDialog dialog(&frame_, files_.StartFolder(false), OpenFilters());
    dialog.exec();
    // The file shown is in the trash now: the caption no longer names it.
    const QString shown = QFileInfo(frame_.FileName()).absoluteFilePath();
    for (const QString& path : dialog.Deleted())
        if (!frame_.FileName().isEmpty() && QFileInfo(path).absoluteFilePath() == shown) frame_.SetFileName(QString());
}

bool FrameFiles::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &frame_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!DroppedFile(drag->mimeData()).isEmpty() && CommandAvailable(kCmdOpen)) {
                drag->acceptProposedAction();
                return true;
            }
            event->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = DroppedFile(drop->mimeData());
            if (path.isEmpty() || !CommandAvailable(kCmdOpen)) return true;
            drop->acceptProposedAction();
            // Opened once the drop is over: an error box must not run inside the drag.
            QTimer::singleShot(0, this, [this, path] { Open(path); });
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace zark
