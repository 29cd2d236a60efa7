#pragma once

#include "core/timedseries.h"

#include <array>
#include <string>
#include <vector>

#include "core/shootinghub.h"
#include "results/coachfigures.h"
#include "results/holdanalysis.h"
#include "results/phaseanalysis.h"

class QPainter;
class QRect;

namespace zark {

// The texts of the figures, as the analysis window, the shot list's tooltips and the printout
// show them: shares in whole percent ("84 %"), lengths in millimetres and times in seconds with
// one decimal, written with a point as the score texts are.
std::string ShareText(double share);
std::string TenthsText(double value);
// "In 10: 84 %", "In 9: 100 %", "Trace (mm): 12.3", "Release (mm): 1.2", "Aiming (s): 6.4",
// "Hold mean (mm): 0.4, -1.2", a line each; a shot without hold says why.
std::string HoldTooltip(const HoldFigures& hold, const HoldLevels& levels);
// The lines of a group: its heading (headingId: the series' 412 or the match's 413, with the
// number of shots), the mean point of impact, the spreads and the deviations; a group without
// shots is the heading's "No shots yet".
std::vector<std::string> GroupLines(const GroupFigures& group, int headingId);
// The verdict on a shot's phases in plain words ("long hold, jerked release"; "clean" when none
// applies); empty for a shot without phases.
std::string PhaseVerdictText(const ShotPhases& phases);
// A line per phase before the shot: when it began ("Hold from 3.2 s before the shot") or that it
// was not seen; then the verdict.
std::string PhaseTooltip(const ShotPhases& phases);

// What the analysis window is told.
class AnalysisListener {
public:
    virtual ~AnalysisListener() = default;
    virtual void FiguresChanged() = 0;   // the rows, the levels or the groups are new
    virtual void SelectionChanged() = 0;  // the shown shots or the replayed shot changed
};

// The hold figures of every shot of the series the hub shows and the group of its shots, and,
// while a match is shown, the group of the match's stored series. A view of the hub: it follows
// the series being shot (a new shot is analysed as it arrives), a loaded series, the target, the
// shots whose trace is shown and the shot the replay is at.
class AnalysisView final : public HubView {
public:
    explicit AnalysisView(HubView* hub);

    void SetListener(AnalysisListener* listener) { listener_ = listener; }

    // The columns of the window and the printout: shot, in the top points, in one below, trace,
    // release, aiming time. The second share's column is empty on a face without such a level.
    static constexpr int kColumns = 6;
    std::array<std::string, kColumns> ColumnTitles() const;
    std::array<std::string, kColumns> RowTexts(int shot) const;  // empty cells for a shot without hold
    // The group lines of the series and, while a match is shown, of the match.
    std::vector<std::string> AllGroupLines() const;

    // The phase table: shot, hold (s), hold speed (mm/s), hold radius (mm), release path (mm),
    // follow-through drift (mm), verdict; a row per shot (empty cells for what did not occur)
    // and the series' means.
    static constexpr int kPhaseColumns = 7;
    std::array<std::string, kPhaseColumns> PhaseColumnTitles() const;
    std::array<std::string, kPhaseColumns> PhaseRowTexts(int shot) const;
    std::array<std::string, kPhaseColumns> PhaseMeanTexts() const;
    const SeriesPhases& Phases() const { return phases_; }

    // The coaching table: shot, held score, luck, hold to shot (mm), its clock, call score, call
    // error (mm); a row per shot and the series' row (the sum of the luck, the release's vector
    // from the holds to the shots, the share of calls within a point, the mean call error).
    static constexpr int kCoachColumns = 7;
    std::array<std::string, kCoachColumns> CoachColumnTitles() const;
    std::array<std::string, kCoachColumns> CoachRowTexts(int shot) const;
    std::array<std::string, kCoachColumns> CoachSeriesTexts() const;
    const SeriesCoaching& Coaching() const { return coaching_; }
    // A sighter series shows how sure its correction is (a printed copy is told so).
    void SetSighters(bool sighters);
    bool Sighters() const { return sighters_; }

    const SeriesAnalysis& Series() const { return series_; }
    HoldLevels Levels() const { return levels_; }
    bool Selected(int shot) const;
    int ReplayedShot() const { return replayed_; }  // -1 outside a replay

    // The stored series of the match shown (the match board's items): Reset with the match, then
    // each series as it is filed; EndMatch when the match board goes.
    void ResetMatch();
    void SetMatchSeries(int j, const TraceImage& series);
    void EndMatch();
    bool MatchShown() const { return matchShown_; }
    const GroupFigures& MatchGroup() const { return matchGroup_; }

    // Shows the trace of shot i in every view, as a click on its row of the shot list does.
    void ShowShot(int shot);

    // The printout's block: a line of column titles, a line per shot and the group lines, in
    // pixelsPerMm-sized type. Returns the bottom of what was painted. Height gives the height the
    // block needs, so the report can see whether it has room.
    int Paint(QPainter& painter, const QRect& rect, double pixelsPerMm) const;
    int Height(double pixelsPerMm) const;

    void OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) override;
    void OnStoreChanged() override;
    void OnTraceRange(int first, int last, int add) override;
    void OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) override;
    void OnNewSeries(int shots, int sighters, int isDouble) override;
    void OnReplayStopped() override;
    void OnShotCalled(int shot, int how) override;

private:
    void Analyse();
    void ComputeMatchGroup();
    void Changed();

    AnalysisListener* listener_ = nullptr;
    SeriesAnalysis series_;
    SeriesPhases phases_;
    SeriesCoaching coaching_;
    bool sighters_ = false;
    TimedFigures timed_;  // of a series against the clock; -1 for a figure it does not have
    HoldLevels levels_;
    std::array<bool, kMaxShots> selected_{};
    int replayed_ = -1;
    bool matchShown_ = false;
    std::array<std::array<GroupPoint, kMaxShots>, kMaxShots> matchPoints_{};
    std::array<int, kMaxShots> matchCounts_{};
    GroupFigures matchGroup_;
};

}  // namespace zark
