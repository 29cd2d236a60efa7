#include "app/framerange.h"
#include "app/framejournal.h"

#include <QDir>
#include <QFileInfo>

#include "app/mainframe.h"
#include "app/noticebanner.h"
#include "core/seriesflow.h"
#include "diag/diagnostics.h"
#include "i18n/uistrings.h"
#include "storage/filecommands.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

constexpr int kTextRecovered = 470;      // "The interrupted series was recovered into %s"
constexpr int kTextNotRecovered = 471;   // "An interrupted series could not be recovered (%s): it is kept ..."
constexpr int kTextNoRoom = 476;         // "There is no room in %s for the interrupted series: it is kept ..."
constexpr int kTextSighters = 143;       // "Sighters"
constexpr int kTextJournalFailed = 472;  // "The journal of this series cannot be written (%s): ..."

QString Format(int id, const QString& value) {
    LoadUiStrings();
    return QString::asprintf(UiText(id).c_str(), value.toUtf8().constData());
}

}  // namespace

FrameJournal::FrameJournal(MainFrame& frame, FileCommands& files, NoticeBanner* banner)
    : HubView(&frame.Hub()),
      frame_(frame),
      files_(files),
      banner_(banner),
      journal_(std::make_unique<SeriesJournal>(JournalFolder(files.SaveFolder()))) {}

FrameJournal::~FrameJournal() = default;

void FrameJournal::RecoverEarlierRuns() {
    LoadUiStrings();
    const RecoveryOutcome outcome = RecoverJournals(JournalFolder(files_.SaveFolder()), files_, UiQString(kTextSighters));
    QStringList lines;
    if (!outcome.files.isEmpty()) {
        QStringList names;
        for (const QString& path : outcome.files) names << QFileInfo(path).fileName();
        lines << Format(kTextRecovered, names.join(QStringLiteral(", ")));
    }
    if (outcome.noRoom)
        lines << Format(kTextNoRoom, QDir::toNativeSeparators(files_.SaveFolder()));
    else if (!outcome.errors.isEmpty())
        lines << Format(kTextNotRecovered, outcome.errors.join(QStringLiteral("; ")));
    if (!lines.isEmpty() && banner_) banner_->Show(lines.join(QLatin1Char('\n')));
    // a lane on the range tells the range what an interrupted run left
    if (FrameRange* range = frame_.Range()) range->PublishRecovered(outcome.files);
}

void FrameJournal::Close() {
    following_ = false;
    journal_->Discard();
}

// The header: what the series is shot on and, in a match, the programme and the stored series.
void FrameJournal::Begin() {
    const SeriesFlow* flow = frame_.Flow();
    const TraceStore* store = Store();
    const TargetDescriptor* target = CurrentTarget();
    if (!flow || !store || !target) return;
    JournalHeader header;
    header.targetId = target->Identity();
    LoadUiStrings();
    header.targetName = UiQString(target->NameId()).toStdString();
    header.seriesShots = flow->seriesShots();
    header.sighters = flow->sightersMode();
    header.isDouble = flow->seriesDouble();
    header.started = LocalFileDate();
    header.match = flow->matchMode() != 0;
    if (header.match) {
        header.programme = flow->programme();
        header.currentEntry = flow->currentEntry();
    }
    journal_->Begin(header, header.match ? &flow->matchSeries(0) : nullptr, header.match ? kMaxShots : 0,
                    store->Image());
    following_ = true;
}

void FrameJournal::OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) {
    HubView::OnSample(x, y, isShot, isReplay, sampleIndex);
    const TraceStore* store = Store();
    if (isReplay || !store) return;
    if (following_)
        journal_->Follow(store->Image(), isShot ? LocalFileDate() : FileDate{});
    else if (const SeriesFlow* flow = frame_.Flow(); flow && flow->seriesInProgress())
        Begin();  // the first aim point of the series
    if (journal_->HasFailure()) ShowFailure();
}

// The store was cleared for a new series. In a match, the series shot so far stay in the journal
// until the new one has its own; otherwise the old series was saved or given up.
void FrameJournal::OnNewSeries(int shots, int sighters, int isDouble) {
    HubView::OnNewSeries(shots, sighters, isDouble);
    const SeriesFlow* flow = frame_.Flow();
    bool matchSoFar = false;
    for (int j = 0; flow && flow->matchMode() && j < kMaxShots && !matchSoFar; ++j)
        matchSoFar = HasFiredShot(flow->matchSeries(j));
    if (matchSoFar)
        Begin();
    else
        Close();
}

void FrameJournal::OnTargetsChanged(const TargetDescriptor*, const TargetDescriptor*) { Close(); }

// A store replaced while no series is recorded (a stored series of the match shown) is no part of
// the journal; the journal keeps what it holds until the series is saved or given up.
void FrameJournal::OnStoreChanged() {
    HubView::OnStoreChanged();
    if (const SeriesFlow* flow = frame_.Flow(); !flow || !flow->seriesInProgress()) following_ = false;
}

// Paused or complete: the trace to the last point goes to the disk.
void FrameJournal::OnAcquisitionStopped() {
    HubView::OnAcquisitionStopped();
    journal_->Flush();
}

void FrameJournal::ShowFailure() {
    const QString reason = journal_->TakeFailure();
    if (banner_) banner_->Show(Format(kTextJournalFailed, reason));
}

}  // namespace zark
