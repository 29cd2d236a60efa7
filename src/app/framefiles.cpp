#include "app/framefiles.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMimeData>
#include <QSettings>
#include <QTimer>
#include <QUrl>
#include <memory>

#include "app/commandids.h"
#include "app/deletefilesdialog.h"
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

// What a save writes: the shown series, or the match with its stored series.
std::unique_ptr<SeriesRecord> SeriesToSave(int targetId, const TraceStore& store) {
    auto record = std::make_unique<SeriesRecord>();
    record->Clear();
    record->targetId = targetId;
    record->store = store.Image();
    record->numberOfShots = store.ShotCount();
    return record;
}

std::unique_ptr<MatchRecord> MatchToSave(int targetId, const SeriesFlow& flow) {
    auto record = std::make_unique<MatchRecord>();
    record->Clear();
    record->targetId = targetId;
    FileProgrammeOf(flow.programme(), record->programme);
    for (int j = 0; j < kMaxMatchSeries; ++j) record->series[j] = flow.matchSeries(j);
    return record;
}

}  // namespace

FrameFiles::FrameFiles(MainFrame& frame) : frame_(frame) {
    if (QWidget* client = frame_.ClientArea()) banner_ = new NoticeBanner(client, frame_.Mdi().Area());
    frame_.setAcceptDrops(true);
    frame_.installEventFilter(this);
    RegisterFileTypes();
}

FrameFiles::~FrameFiles() {
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
bool FrameFiles::CommandAvailable(int command) const { return frame_.Menus().Available(command); }

int FrameFiles::Open(const QString& given) {
    if (const SeriesFlow* flow = frame_.Flow(); flow && flow->shooting()) return 0;
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
    hub.NotifyStoreChanged();
    hub.ShowTraceRange(-1, -1, 0);
}

// The target is looked up first: a file naming a face the catalogue does not know (reported by
// the lookup) leaves the shown series, its file name and the caption as they were.
bool FrameFiles::ApplySeries(const QString& path) {
    const SeriesRecord& record = files_.OpenedSeries();
    TargetPair pair;
    if (!frame_.Catalogue().FindByIdentity(record.targetId, pair)) return false;
    fileDate_ = record.date;
    frame_.ShowTarget(pair.first, pair.second);
    frame_.SetFileName(path);
    frame_.SetShootingState(ShootingState::Idle);
    if (SeriesFlow* flow = frame_.Flow()) flow->LoadSeries(ShotsOfOpenedSeries(record, flow->seriesShots()));
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
    fileDate_ = record.date;
    frame_.ShowTarget(pair.first, pair.second);
    frame_.SetFileName(path);
    frame_.SetShootingState(ShootingState::Idle);
    if (SeriesFlow* flow = frame_.Flow()) flow->LoadMatch(*programme, record.series, kMaxMatchSeries);
    frame_.ResetScoreboard(false, {});
    ShowOpenedStore(record.series[0]);
    frame_.ShowMatchBoard(*programme);
    // One row per scored entry, filled from its stored series.
    for (int k = 0, row = 0; k < programme->seriesCount && row < kMaxMatchSeries; ++k) {
        if (programme->entries[k].sighters) continue;
        frame_.FillMatchBoardRow(row, record.series[row]);
        ++row;
    }
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
    if (!CommandAvailable(kCmdSave)) return;
    ShootingHub& hub = frame_.Hub();
    const TargetDescriptor* target = hub.CurrentTarget();
    TraceStore* store = hub.Store();
    if (!target || !store) return;
    const SeriesFlow* flow = frame_.Flow();
    const bool match = flow && flow->matchMode();
    const QString path = ChooseSavePath(match);
    if (path.isEmpty()) return;  // Cancel changes nothing
    files_.ChoseFile(path);
    QString error;
    const bool saved = match ? files_.Io().WriteMatch(*MatchToSave(target->Identity(), *flow), path, &error)
                             : files_.Io().WriteSeries(*SeriesToSave(target->Identity(), *store), path, &error);
    frame_.SetFileName(saved ? path : QString());
    if (saved && onSaved) onSaved();
    if (!saved)
        CurrentMessageBoxSink().ShowMessage(UiText(kUiTextError), Utf8(Format(kTextSaveFailed, path, error)),
                                            MessageIcon::Error);
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
        match ? files_.AutoSaveMatch(*MatchToSave(target->Identity(), *flow), name)
              : files_.AutoSaveSeries(*SeriesToSave(target->Identity(), *store), name);
    frame_.SetFileName(outcome.path);
    if (outcome.ok && onSaved) onSaved();
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
