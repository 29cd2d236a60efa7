#include "results/shotlist.h"

#include <QFont>
#include <QPainter>
#include <QRect>
#include <algorithm>
#include <cmath>

#include "i18n/uistrings.h"
#include "results/analysisview.h"
#include "results/shotscore.h"
#include "settings/settings.h"
#include "targets/scoretext.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

// The face of a list that has not been told its target yet: scores show as points.
const TargetDescriptor& NoFace() {
    static const TargetDescriptor face;
    return face;
}

}  // namespace

ShotList::ShotList(HubView* hub) : HubView(hub) { LoadUiStrings(); }

const ShotRow& ShotList::Row(int row) const {
    static const ShotRow kEmpty{};
    return row >= 0 && row <= rows_ ? cells_[std::size_t(row)] : kEmpty;
}

void ShotList::SetSelected(int row, bool selected) {
    if (row >= 0 && row <= rows_) cells_[std::size_t(row)].selected = selected;
}

int ShotList::FirstSelected() const {
    for (int row = 0; row <= rows_; ++row)
        if (cells_[std::size_t(row)].selected) return row;
    return -1;
}

const TargetDescriptor& ShotList::Face() const {
    const TargetDescriptor* face = CurrentTarget();
    return face ? *face : NoFace();
}

void ShotList::ResetRows(int n) {
    rows_ = std::clamp(n, 0, kMaxShots);
    for (ShotRow& row : cells_) row = ShotRow{};
    total_ = 0;
    if (listener_) listener_->RowsReset();
}

void ShotList::SetRow(int row, double score, int timeMs, int bearing, bool innerRing) {
    if (row < 0 || row >= rows_) return;
    const TargetDescriptor& face = Face();
    ShotRow& cells = cells_[std::size_t(row)];
    total_ += TotalPart(face, score);
    cells.score = ScoreText(face, score, innerRing);
    cells.time = ShotTimeText(timeMs);
    cells.clock = ClockHour(bearing);
    cells.direction = std::to_string(cells.clock);
    cells_[std::size_t(rows_)].score = TotalText(face, total_);
    if (listener_) listener_->RowChanged(row);
}

void ShotList::SetUnfiredRow(int row) {
    if (row < 0 || row >= rows_) return;
    const TargetDescriptor& face = Face();
    ShotRow& cells = cells_[std::size_t(row)];
    cells.score = ScoreText(face, 0);
    cells.time.clear();
    cells.direction.clear();
    cells.clock = 0;
    cells_[std::size_t(rows_)].score = TotalText(face, total_);
    if (listener_) listener_->RowChanged(row);
}

// Shot k of the store as the list shows it: its shown position (the shot time offset and the
// centring applied), scored on the face of its own side.
void ShotList::WriteShot(int k) {
    TraceStore* store = Store();
    if (!store || k < 0 || k >= store->ShotCount()) return;
    if (k >= rows_) {
        // More shots than the series planned (a file that says so): the list grows to hold them.
        const int grown = std::min(k + 1, kMaxShots);
        std::swap(cells_[std::size_t(rows_)], cells_[std::size_t(grown)]);
        rows_ = grown;
        if (listener_) listener_->RowsReset();
    }
    const ScoredShot shot = ScoreStoredShot(*store, k, targetA(), targetB());
    if (!shot.fired) {
        cells_[std::size_t(k)].hold.clear();
        SetUnfiredRow(k);
        return;
    }
    cells_[std::size_t(k)].hold = HoldTooltip(AnalyseHold(*store, k, *shot.face), HoldLevelsOf(*shot.face));
    if (!store->Timed()) {
        SetRow(k, shot.score, shot.timeMs, shot.bearing, shot.innerRing);
        return;
    }
    // A series against the clock: the time is the shot's from the opening of its window, and a
    // late shot counts 0, marked "late", with the value it would have scored in its tooltip.
    const TimedShot timing = store->ShotTiming(k);
    SetRow(k, TimedValue(shot.score, timing), shot.timeMs, shot.bearing, shot.innerRing && !timing.late);
    ShotRow& cells = cells_[std::size_t(k)];
    // a shot between windows has no time in any window; one in a window opened again after an
    // interruption has its time from that opening, marked as such
    if (timing.window < 0)
        cells.time.clear();
    else if (timing.between)
        cells.time = UiText(546);
    else
        cells.time = WindowTimeText(timing.timeMs) + (timing.repeat ? ' ' + UiText(547) : std::string());
    if (timing.late) {
        cells.score = LateScoreText();
        cells.hold = ScoreText(*shot.face, shot.score, shot.innerRing) + (cells.hold.empty() ? "" : "\n") + cells.hold;
    }
    if (listener_) listener_->RowChanged(k);
}

std::string ShotList::LateScoreText() const { return ScoreText(Face(), 0) + ' ' + UiText(542); }

std::string ShotList::WindowTimeText(int timeMs) { return FixedText(timeMs / 1000.0, 0, 2) + " s"; }

void ShotList::OnNewSeries(int shots, int, int) { ResetRows(shots); }

void ShotList::OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) {
    HubView::OnTargetsChanged(a, b);
    OnStoreChanged();
}

void ShotList::OnSample(int, int, int isShot, int isReplay, int) {
    if (!isShot || isReplay) return;
    if (TraceStore* store = Store()) WriteShot(store->ShotCount() - 1);
}

void ShotList::OnStoreChanged() {
    TraceStore* store = Store();
    ResetRows(store ? store->ShotCount() : 0);
    if (!store) return;
    for (int k = 0; k < store->ShotCount(); ++k) WriteShot(k);
}

void ShotList::OnTraceRange(int first, int last, int add) {
    if (!add)
        for (int row = 0; row <= rows_; ++row) cells_[std::size_t(row)].selected = false;
    const TraceStore* store = Store();
    int chosen = 0;
    for (int row = 0; store && row < rows_; ++row) {
        if (!store->ShotInRange(row, first, last)) continue;
        cells_[std::size_t(row)].selected = true;
        ++chosen;
    }
    if (rows_ > 0 && chosen == rows_) cells_[std::size_t(rows_)].selected = true;
    if (listener_) listener_->SelectionChanged();
}

int ShotList::PrintRows(QPainter& painter, const QRect& rect, double pixelsPerMm) const {
    const int fontHeight = std::max(1, int(std::lround(4.0 * pixelsPerMm)));
    QFont normal(QStringLiteral("Liberation Sans"));
    normal.setPixelSize(fontHeight);
    QFont bold = normal;
    bold.setWeight(QFont::Bold);
    const int margin = int(std::lround(10.0 * pixelsPerMm));
    const int step = (rect.width() - margin) / 3;
    const int lineHeight = fontHeight * 12 / 10;
    const int x0 = rect.left() + margin;
    const int columns[3] = {x0, x0 + step, x0 + 2 * step};

    painter.save();
    painter.setPen(Qt::black);
    int y = rect.top();
    const auto line = [&](int x, const QString& text) {
        painter.drawText(QRect(x, y, rect.right() - x, lineHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
    };
    painter.setFont(bold);
    // Score, Direction, Time
    static const int kTitles[3] = {145, 147, 146};
    for (int c = 0; c < 3; ++c) line(columns[c], UiQString(kTitles[c]));
    y += lineHeight;
    for (int k = 0; k < rows_; ++k) {
        const ShotRow& row = cells_[std::size_t(k)];
        painter.setFont(bold);
        line(rect.left(), QString::asprintf(" %d", k + 1));
        painter.setFont(normal);
        line(columns[0], QString::fromStdString(row.score));
        line(columns[1], QString::fromStdString(row.direction));
        line(columns[2], QString::fromStdString(row.time));
        y += lineHeight;
    }
    painter.setFont(bold);
    line(rect.left(), QStringLiteral(" ="));
    painter.setFont(normal);
    line(columns[0], QString::fromStdString(cells_[std::size_t(rows_)].score));
    y += lineHeight;
    DrawPrintFrame(painter, rect, y, pixelsPerMm);
    painter.restore();
    return y;
}

void DrawPrintFrame(QPainter& painter, const QRect& rect, int bottom, double pixelsPerMm) {
    QPen frame(Qt::black);
    frame.setWidthF(std::max(1.0, 0.25 * pixelsPerMm));
    painter.setPen(frame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(rect.left(), rect.top(), rect.width() - 1, bottom - rect.top()));
}

bool ShowSeriesSelection(ShotList& list) {
    const TraceStore* store = list.Store();
    // Looking at a shot while the series is being shot is refused: what is shown and the side the
    // series records on stay the unit's.
    if (!store || list.IsRunning()) return false;
    // The selection is read first: showing a range selects the rows it holds.
    bool chosen[kMaxShots + 1] = {};
    const int rows = list.Rows();
    for (int row = 0; row <= rows; ++row) chosen[row] = list.Selected(row);
    bool shown = false;
    for (int row = 0; row <= rows; ++row) {
        if (!chosen[row]) continue;
        if (row < rows ? row >= store->ShotCount() : rows != store->ShotCount()) continue;
        const TraceStore::Window w = store->ShotStretch(row);
        if (!w.ok) continue;
        list.ShowTraceRange(w.first, w.last, 0);
        list.EndReplay();
        shown = true;
    }
    return shown;
}

void ShowSightersSelection(ShotList& list, int row) {
    const TraceStore* store = list.Store();
    if (!store) return;
    const int rows = list.Rows();
    if (row == rows) {
        if (list.Selected(row))
            list.ShowTraceRange(0, store->SampleCount() - 1, 0);
        else
            list.ShowTraceRange(-1, -1, 0);
        return;
    }
    bool chosen[kMaxShots] = {};
    for (int k = 0; k < rows; ++k) chosen[k] = list.Selected(k);
    list.ShowTraceRange(-1, -1, 0);
    for (int k = 0; k < rows && k < store->ShotCount(); ++k) {
        if (!chosen[k]) continue;
        const TraceStore::Window w = store->ShotStretch(k);
        if (w.ok) list.ShowTraceRange(w.first, w.last, 1);
    }
}

}  // namespace zark
