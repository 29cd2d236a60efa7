#include "results/analysisview.h"

#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cmath>

#include "i18n/uistrings.h"
#include "results/shotlist.h"
#include "settings/settings.h"
#include "targets/scoretext.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

constexpr int kShotTitle = 402;
constexpr int kInLevelTitle = 403;
constexpr int kTraceTitle = 404;
constexpr int kReleaseTitle = 405;
constexpr int kAimingTitle = 406;
constexpr int kHoldMeanTitle = 411;
constexpr int kSeriesHeading = 412;
constexpr int kMatchHeading = 413;
constexpr int kMeanPoint = 414;
constexpr int kMeanPointCentre = 415;
constexpr int kSpread = 416;
constexpr int kDeviation = 417;
constexpr int kNoShots = 418;
constexpr int kNoHold = 419;
constexpr int kPhaseTitles = 420;  // 420..425: hold, speed, radius, release path, follow-through, verdict
constexpr int kSeriesMean = 426;
constexpr int kVerdicts = 427;     // 427..431 in the order of the verdict bits, 432 "clean"
constexpr int kClean = 432;
constexpr int kPhaseNames = 433;   // 433..437: approach, settle, hold, release, follow-through
constexpr int kPhaseFrom = 438;
constexpr int kPhaseNotSeen = 439;
constexpr int kCoachTitles = 560;  // 560..565: held, luck, to shot, clock, call, call error
constexpr int kCoachSeries = 566;
constexpr int kSighterError = 568;
constexpr int kSightersNeeded = 569;
constexpr int kCallsWithin = 572;

std::string Level(int points) { return QString::asprintf(UiText(kInLevelTitle).c_str(), points).toStdString(); }

}  // namespace

std::string ShareText(double share) { return std::to_string(int(std::lround(100 * share))) + " %"; }

std::string TenthsText(double value) {
    if (std::abs(value) < 0.05) value = 0;  // never "-0.0"
    return FixedText(value, 0, 1);
}

std::string HoldTooltip(const HoldFigures& hold, const HoldLevels& levels) {
    if (!hold.valid) return UiText(kNoHold);
    std::string text;
    if (levels.top > 0) text += Level(levels.top) + ": " + ShareText(hold.inTop) + '\n';
    if (levels.next > 0) text += Level(levels.next) + ": " + ShareText(hold.inNext) + '\n';
    text += UiText(kTraceTitle) + ": " + TenthsText(hold.traceMm) + '\n';
    text += UiText(kReleaseTitle) + ": " + TenthsText(hold.releaseMm) + '\n';
    text += UiText(kAimingTitle) + ": " + TenthsText(hold.aimingSeconds) + '\n';
    text += UiText(kHoldMeanTitle) + ": " + TenthsText(hold.meanXmm) + ", " + TenthsText(hold.meanYmm);
    return text;
}

std::vector<std::string> GroupLines(const GroupFigures& group, int headingId) {
    if (group.shots == 0) return {UiText(kNoShots)};
    std::vector<std::string> lines;
    lines.push_back(QString::asprintf(UiText(headingId).c_str(), group.shots).toStdString());
    if (group.clock > 0)
        lines.push_back(QString::asprintf(UiText(kMeanPoint).c_str(), TenthsText(group.meanDistanceMm).c_str(),
                                          group.clock, TenthsText(group.meanXmm).c_str(),
                                          TenthsText(group.meanYmm).c_str())
                            .toStdString());
    else
        lines.push_back(UiText(kMeanPointCentre));
    lines.push_back(QString::asprintf(UiText(kSpread).c_str(), TenthsText(group.extremeSpreadMm).c_str(),
                                      TenthsText(group.meanRadiusMm).c_str())
                        .toStdString());
    if (group.shots > 1)
        lines.push_back(QString::asprintf(UiText(kDeviation).c_str(), TenthsText(group.sdXmm).c_str(),
                                          TenthsText(group.sdYmm).c_str())
                            .toStdString());
    return lines;
}

std::string PhaseVerdictText(const ShotPhases& phases) {
    if (!phases.valid) return {};
    std::string text;
    for (int bit = 0; bit < 5; ++bit) {
        if (!(phases.verdict & (1 << bit))) continue;
        if (!text.empty()) text += ", ";
        text += UiText(kVerdicts + bit);
    }
    return text.empty() ? UiText(kClean) : text;
}

std::string PhaseTooltip(const ShotPhases& phases) {
    if (!phases.valid) return UiText(kNoHold);
    // the follow-through begins at the shot; the verdict says when it was missing
    const int starts[4] = {phases.approach, phases.settle, phases.hold, phases.release};
    std::string text;
    for (int k = 0; k < 4; ++k) {
        const std::string name = UiText(kPhaseNames + k);
        if (!text.empty()) text += '\n';
        if (starts[k] < 0)
            text += QString::asprintf(UiText(kPhaseNotSeen).c_str(), name.c_str()).toStdString();
        else
            text += QString::asprintf(UiText(kPhaseFrom).c_str(), name.c_str(),
                                      TenthsText(phases.SecondsBefore(starts[k])).c_str())
                        .toStdString();
    }
    return text + '\n' + PhaseVerdictText(phases);
}

AnalysisView::AnalysisView(HubView* hub) : HubView(hub) { LoadUiStrings(); }

std::array<std::string, AnalysisView::kColumns> AnalysisView::ColumnTitles() const {
    return {UiText(kShotTitle),
            levels_.top > 0 ? Level(levels_.top) : std::string(),
            levels_.next > 0 ? Level(levels_.next) : std::string(),
            UiText(kTraceTitle),
            UiText(kReleaseTitle),
            UiText(kAimingTitle)};
}

std::array<std::string, AnalysisView::kColumns> AnalysisView::RowTexts(int shot) const {
    std::array<std::string, kColumns> cells;
    if (shot < 0 || shot >= series_.shots) return cells;
    cells[0] = std::to_string(shot + 1);
    const HoldFigures& h = series_.hold[std::size_t(shot)];
    if (!h.valid) return cells;
    if (levels_.top > 0) cells[1] = ShareText(h.inTop);
    if (levels_.next > 0) cells[2] = ShareText(h.inNext);
    cells[3] = TenthsText(h.traceMm);
    cells[4] = TenthsText(h.releaseMm);
    cells[5] = TenthsText(h.aimingSeconds);
    return cells;
}

std::array<std::string, AnalysisView::kPhaseColumns> AnalysisView::PhaseColumnTitles() const {
    std::array<std::string, kPhaseColumns> titles;
    titles[0] = UiText(kShotTitle);
    for (int c = 1; c < kPhaseColumns; ++c) titles[std::size_t(c)] = UiText(kPhaseTitles + c - 1);
    return titles;
}

std::array<std::string, AnalysisView::kPhaseColumns> AnalysisView::PhaseRowTexts(int shot) const {
    std::array<std::string, kPhaseColumns> cells;
    if (shot < 0 || shot >= phases_.shots) return cells;
    cells[0] = std::to_string(shot + 1);
    const ShotPhases& f = phases_.shot[std::size_t(shot)];
    if (!f.valid) return cells;
    if (f.HasHold()) {
        cells[1] = TenthsText(f.holdSeconds);
        cells[2] = TenthsText(f.holdSpeed);
        cells[3] = TenthsText(f.holdRadius);
    }
    if (f.HasRelease()) cells[4] = TenthsText(f.releaseMm);
    if (f.HasFollowThrough()) cells[5] = TenthsText(f.driftMm);
    cells[6] = PhaseVerdictText(f);
    return cells;
}

std::array<std::string, AnalysisView::kPhaseColumns> AnalysisView::PhaseMeanTexts() const {
    std::array<std::string, kPhaseColumns> cells;
    const PhaseMeans& m = phases_.means;
    cells[0] = UiText(kSeriesMean);
    if (m.holds > 0) {
        cells[1] = TenthsText(m.holdSeconds);
        cells[2] = TenthsText(m.holdSpeed);
        cells[3] = TenthsText(m.holdRadius);
    }
    if (m.releases > 0) cells[4] = TenthsText(m.releaseMm);
    if (m.follows > 0) cells[5] = TenthsText(m.driftMm);
    return cells;
}

std::array<std::string, AnalysisView::kCoachColumns> AnalysisView::CoachColumnTitles() const {
    std::array<std::string, kCoachColumns> titles;
    titles[0] = UiText(kShotTitle);
    for (int c = 1; c < kCoachColumns; ++c) titles[std::size_t(c)] = UiText(kCoachTitles + c - 1);
    return titles;
}

namespace {
// Luck with its sign: "+2.0", "-0.5", "0.0".
std::string SignedTenths(double value) {
    const std::string text = TenthsText(value);
    return value >= 0.05 ? '+' + text : text;
}
// A score as the figures count it: tenths only where it has them ("8", "8.5", a decimal "10.45").
std::string ScoreFigure(double value) {
    std::string text = FixedText(value, 0, 2);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}
}  // namespace

std::array<std::string, AnalysisView::kCoachColumns> AnalysisView::CoachRowTexts(int shot) const {
    std::array<std::string, kCoachColumns> cells;
    if (shot < 0 || shot >= coaching_.shots) return cells;
    cells[0] = std::to_string(shot + 1);
    const ShotCoaching& c = coaching_.shot[std::size_t(shot)];
    if (c.hasHeld) {
        cells[1] = ScoreFigure(c.held);
        cells[2] = SignedTenths(c.luck);
    }
    if (c.hasHold) {
        cells[3] = TenthsText(c.holdToShotMm);
        if (c.holdToShotClock) cells[4] = std::to_string(c.holdToShotClock);
    }
    if (c.called) {
        cells[5] = ScoreFigure(c.callScore);
        cells[6] = TenthsText(c.callErrorMm);
    }
    return cells;
}

std::array<std::string, AnalysisView::kCoachColumns> AnalysisView::CoachSeriesTexts() const {
    std::array<std::string, kCoachColumns> cells;
    cells[0] = UiText(kCoachSeries);
    const SeriesCoaching& c = coaching_;
    if (c.lucky > 0) cells[2] = SignedTenths(c.luck);
    if (c.holds > 0) {
        cells[3] = TenthsText(c.aimToHitMm);
        if (c.aimToHitClock) cells[4] = std::to_string(c.aimToHitClock);
    }
    if (c.calls > 0) {
        cells[5] = ShareText(c.callsWithinPoint);
        cells[6] = TenthsText(c.meanCallErrorMm);
    }
    return cells;
}

void AnalysisView::SetSighters(bool sighters) {
    if (sighters_ == sighters) return;
    sighters_ = sighters;
    Changed();
}

std::vector<std::string> AnalysisView::AllGroupLines() const {
    std::vector<std::string> lines = GroupLines(series_.group, kSeriesHeading);
    if (coaching_.calls > 0)
        lines.push_back(QString::asprintf(UiText(kCallsWithin).c_str(), ShareText(coaching_.callsWithinPoint).c_str()).toStdString());
    // while sighters are shot: how far their correction can be trusted
    if (sighters_ && targetA()) {
        const SighterConfidence sure = SightersConfidence(series_.group, *targetA());
        if (sure.valid) {
            lines.push_back(QString::asprintf(UiText(kSighterError).c_str(), TenthsText(sure.standardErrorMm).c_str(),
                                              sure.sighters)
                                .toStdString());
            if (sure.needed > 0)
                lines.push_back(QString::asprintf(UiText(kSightersNeeded).c_str(), sure.needed,
                                                  TenthsText(sure.goalMm).c_str())
                                    .toStdString());
        }
    }
    // a timed series: how soon the first shot broke after its window opened, and the shooter's rhythm
    const auto seconds = [](std::int32_t ms) { return FixedText(ms / 1000.0, 0, 2); };
    if (timed_.reactionMs >= 0)
        lines.push_back(QString::asprintf(UiText(543).c_str(), seconds(timed_.reactionMs).c_str()).toStdString());
    if (timed_.meanIntervalMs >= 0)
        lines.push_back(QString::asprintf(UiText(544).c_str(), seconds(timed_.meanIntervalMs).c_str()).toStdString());
    if (matchShown_ && matchGroup_.shots > 0) {
        const std::vector<std::string> match = GroupLines(matchGroup_, kMatchHeading);
        lines.insert(lines.end(), match.begin(), match.end());
    }
    return lines;
}

bool AnalysisView::Selected(int shot) const {
    return shot >= 0 && shot < kMaxShots && selected_[std::size_t(shot)];
}

void AnalysisView::Changed() {
    if (listener_) listener_->FiguresChanged();
}

void AnalysisView::Analyse() {
    const TraceStore* store = Store();
    const TargetDescriptor* first = targetA();
    timed_ = TimedFigures{};
    if (!store || !first) {
        series_ = SeriesAnalysis{};
        phases_ = SeriesPhases{};
        coaching_ = SeriesCoaching{};
        levels_ = HoldLevels{};
        return;
    }
    series_ = AnalyseSeries(*store, *first, targetB());
    phases_ = AnalyseSeriesPhases(*store, *first, targetB());
    coaching_ = AnalyseCoaching(*store, phases_, *first, targetB());
    if (store->Timed()) {
        std::vector<TimedShot> shots;
        for (std::int32_t k = 0; k < store->ShotCount(); ++k) shots.push_back(store->ShotTiming(k));
        timed_ = FiguresOf(shots);
    }
    levels_ = HoldLevelsOf(*first);
}

void AnalysisView::ResetMatch() {
    matchShown_ = true;
    matchCounts_ = {};
    ComputeMatchGroup();
}

void AnalysisView::SetMatchSeries(int j, const TraceImage& series) {
    if (j < 0 || j >= kMaxShots || !targetA()) return;
    matchShown_ = true;
    matchCounts_[std::size_t(j)] = GroupPointsOf(series, *targetA(), targetB(), matchPoints_[std::size_t(j)].data());
    ComputeMatchGroup();
}

void AnalysisView::EndMatch() {
    matchShown_ = false;
    matchCounts_ = {};
    ComputeMatchGroup();
}

void AnalysisView::ComputeMatchGroup() {
    std::array<GroupPoint, kMaxShots * kMaxShots> all;
    int n = 0;
    for (int j = 0; j < kMaxShots; ++j)
        for (int k = 0; k < matchCounts_[std::size_t(j)]; ++k) all[std::size_t(n++)] = matchPoints_[std::size_t(j)][std::size_t(k)];
    matchGroup_ = AnalyseGroup(all.data(), n);
    Changed();
}

void AnalysisView::ShowShot(int shot) {
    const TraceStore* store = Store();
    if (!store || shot < 0 || shot >= store->ShotCount() || IsRunning()) return;  // not while shooting
    const TraceStore::Window w = store->ShotStretch(shot);
    if (!w.ok) return;
    ShowTraceRange(w.first, w.last, 0);
    EndReplay();
}

void AnalysisView::OnSample(int, int, int isShot, int isReplay, int sampleIndex) {
    const TraceStore* store = Store();
    if (!store) return;
    if (isReplay) {
        // the shot being aimed at, or the one fired within the last second
        int shot = -1;
        for (int i = 0; i < store->ShotCount() && shot < 0; ++i)
            if (!store->ShotHasNoTrace(i) && store->Shot(i).traceIndex >= sampleIndex - kHoldPoints) shot = i;
        if (shot != replayed_) {
            replayed_ = shot;
            if (listener_) listener_->SelectionChanged();
        }
        return;
    }
    // a shot is analysed as it comes, and again once its follow-through has been watched
    const int last = store->ShotCount() - 1;
    const bool followed = last >= 0 && !store->ShotHasNoTrace(last) &&
                          sampleIndex == store->Shot(last).traceIndex + kFollowSteps + 1;
    if (!isShot && !followed) return;
    Analyse();
    Changed();
}

void AnalysisView::OnStoreChanged() {
    // a series shown from a file is no sighter series being shot
    if (!IsRunning()) sighters_ = false;
    selected_ = {};
    Analyse();
    Changed();
}

void AnalysisView::OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) {
    HubView::OnTargetsChanged(a, b);
    OnStoreChanged();
}

void AnalysisView::OnNewSeries(int, int sighters, int) {
    selected_ = {};
    sighters_ = sighters != 0;
    Analyse();
    Changed();
}

void AnalysisView::OnShotCalled(int, int) {
    Analyse();
    Changed();
}

void AnalysisView::OnTraceRange(int first, int last, int add) {
    if (!add) selected_ = {};
    if (const TraceStore* store = Store())
        for (int i = 0; i < store->ShotCount() && i < kMaxShots; ++i)
            if (store->ShotInRange(i, first, last))
                selected_[std::size_t(i)] = true;
    if (listener_) listener_->SelectionChanged();
}

void AnalysisView::OnReplayStopped() {
    if (replayed_ < 0) return;
    replayed_ = -1;
    if (listener_) listener_->SelectionChanged();
}

namespace {

struct PrintLayout {
    int fontHeight;
    int lineHeight;
};

PrintLayout LayoutFor(double pixelsPerMm) {
    const int font = std::max(1, int(std::lround(3.5 * pixelsPerMm)));
    return {font, font * 12 / 10};
}

}  // namespace

// The printed block: the hold figures and the coaching figures of a shot on one row, under titles
// of two lines, the series' coaching row, then the group lines.
int AnalysisView::Height(double pixelsPerMm) const {
    const PrintLayout layout = LayoutFor(pixelsPerMm);
    const int lines = 2 + series_.shots + 1 + int(AllGroupLines().size());
    return lines * layout.lineHeight + layout.lineHeight / 2;
}
int AnalysisView::Paint(QPainter& painter, const QRect& rect, double pixelsPerMm) const {
    const PrintLayout layout = LayoutFor(pixelsPerMm);
    QFont normal(QStringLiteral("Liberation Sans"));
    normal.setPixelSize(layout.fontHeight);
    QFont bold = normal;
    bold.setWeight(QFont::Bold);
    constexpr int kPrintedColumns = kColumns + kCoachColumns - 1;
    const int margin = int(std::lround(2.0 * pixelsPerMm));
    const int step = (rect.width() - 2 * margin) / kPrintedColumns;

    painter.save();
    painter.setPen(Qt::black);
    int y = rect.top();
    const auto row = [&](const std::array<std::string, kColumns>& hold, const std::array<std::string, kCoachColumns>& coach,
                         int height, int flags) {
        for (int c = 0; c < kPrintedColumns; ++c) {
            const std::string& text = c < kColumns ? hold[std::size_t(c)] : coach[std::size_t(c - kColumns + 1)];
            const QRect box(rect.left() + margin + c * step, y, step - margin / 2, height);
            painter.drawText(box, (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter | flags,
                             QString::fromStdString(text));
        }
        y += height;
    };
    painter.setFont(bold);
    row(ColumnTitles(), CoachColumnTitles(), 2 * layout.lineHeight, Qt::TextWordWrap);
    painter.setFont(normal);
    for (int shot = 0; shot < series_.shots; ++shot) row(RowTexts(shot), CoachRowTexts(shot), layout.lineHeight, 0);
    std::array<std::string, kColumns> label;
    std::array<std::string, kCoachColumns> series = CoachSeriesTexts();
    label[0] = series[0];
    row(label, series, layout.lineHeight, 0);
    for (const std::string& line : AllGroupLines()) {
        painter.drawText(QRect(rect.left() + margin, y, rect.width() - 2 * margin, layout.lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(line));
        y += layout.lineHeight;
    }
    y += layout.lineHeight / 2;
    DrawPrintFrame(painter, rect, y, pixelsPerMm);
    painter.restore();
    return y;
}

}  // namespace zark
