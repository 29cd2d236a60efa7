#pragma once

#include <memory>
#include <string>

#include "core/matchprogramme.h"
#include "core/notification.h"
#include "core/tracestore.h"

namespace zark {

class HubView;
class TargetRun;
struct Settings;

// The states of the File, View, Targets and Shoot menus and the toolbar during shooting.
enum class ShootingState { TargetShown, Shooting, Paused, Idle };

// What the series flow asks of the main window, the scoreboard, the match board and the file
// commands. The main frame implements it; tests record it.
class SeriesFlowHost {
public:
    virtual ~SeriesFlowHost() = default;
    virtual void ClearFileName() = 0;  // the caption shows the plain program title
    virtual void ResetScoreboard(bool sighters, const std::string& subtitle) = 0;
    virtual void SetShootingState(ShootingState state) = 0;
    virtual void ShowMatchBoard(const MatchProgramme& programme) = 0;
    virtual void HideMatchBoard() = 0;
    virtual void FillMatchBoardRow(int row, const TraceImage& series) = 0;
    virtual bool ChooseProgramme(MatchProgramme& programme) = 0;  // false: cancelled
    virtual bool SaveAutomatically() const = 0;
    virtual void SaveSeriesAutomatically() = 0;
    virtual void SaveMatchAutomatically() = 0;
    virtual void ShowDetectorSilent() = 0;  // "ZARK system unit is not connected"
    virtual void SetCentreChecked(bool on) = 0;
};

// The main frame's part of the series rules: sighters, series and their "Double" variant,
// pause and continue, a new series of the same kind, centring, and a match run entry by entry.
class SeriesFlow final {
public:
    SeriesFlow(HubView& hub, TargetRun& target, SeriesFlowHost& host);
    ~SeriesFlow();

    // The Shoot commands. Each leaves match mode first.
    void SightersCommand(int shots);
    void SeriesCommand(int shots, int isDouble);
    void PauseContinue();  // F3
    void NewSerie();       // F10
    void Match();
    void CentreSeries();  // F5
    // Another target was chosen: the series (paused or not) and the match end; nothing of them
    // runs on or resumes on the new face.
    void EndSeries();

    // Codes 3, 7 and 8 (the others are the scoreboard's and the replay's).
    void OnNotification(const Notification& notification);

    int seriesShots() const { return seriesShots_; }
    int seriesDouble() const { return seriesDouble_; }
    int sightersMode() const { return sightersMode_; }
    int paused() const { return paused_; }
    int matchMode() const { return matchMode_; }
    int currentEntry() const { return currentEntry_; }
    int waitingAfterSighters() const { return waitingAfterSighters_; }
    bool centred() const { return centred_; }
    bool shooting() const { return shooting_; }
    // A series or sighters have begun and are not complete (shot, or paused in between): the
    // hub's store is recording them.
    bool seriesInProgress() const { return shooting_ || (paused_ && !waitingAfterSighters_); }
    const MatchProgramme& programme() const { return programme_; }
    const TraceImage& matchSeries(int j) const { return matchSeries_[j]; }

    // A series file was opened: match mode ends and F10 starts a series (sighters when the file
    // holds sighters) of shots (1..20; another count keeps the previous one).
    void LoadSeries(int shots, int sighters = 0);
    // A match file was opened: its programme and series become the current match, complete.
    void LoadMatch(const MatchProgramme& programme, const TraceImage* series, int seriesCount);
    void LeaveMatch();

private:
    void StartSeries(int shots, int isDouble, const std::string& subtitle);
    void StartSighters(int shots);
    void Start(bool sighters, const std::string& subtitle);
    void StartEntry(int i);
    void SeriesComplete();
    void Pause(ShootingState state);

    HubView& hub_;
    TargetRun& target_;
    SeriesFlowHost& host_;
    int seriesShots_ = 0;
    int seriesDouble_ = 0;
    int sightersMode_ = 0;
    int paused_ = 0;
    int matchMode_ = 0;
    MatchProgramme programme_{};
    int currentEntry_ = 0;
    std::unique_ptr<TraceImage[]> matchSeries_;
    int waitingAfterSighters_ = 0;
    bool centred_ = false;
    bool shooting_ = false;  // a series or sighters runs and is not paused
};

}  // namespace zark
