#pragma once

#include <array>
#include <string>

#include "core/shootinghub.h"

class QPainter;
class QRect;

namespace zark {

struct TargetDescriptor;

// One row of a shot list as it is shown: score, clock position and time of a shot. A row of a shot
// not yet fired is empty; the total row has only its score text.
struct ShotRow {
    std::string score;
    std::string direction;  // "1" .. "12", empty without a position
    std::string time;       // "m.ss"
    int clock = 0;          // 1..12, 0 without a position
    std::string hold;       // the hold figures of the shot (its tooltip), empty for the total row
    bool selected = false;
};

// What a shot list's widget is told. Called on the main thread, synchronously.
class ShotListListener {
public:
    virtual ~ShotListListener() = default;
    virtual void RowsReset() = 0;          // the number of rows changed; every row is new
    virtual void RowChanged(int row) = 0;  // a shot row and the total row have new texts
    virtual void SelectionChanged() = 0;   // the hub chose the rows to show
};

// The shot list of a series: one row per shot with its score, clock position and time, and a
// last row with the total. A view of the hub: it follows the series being shot, a series that is
// loaded, the centring and the shot time offset, and it selects the rows of the shots whose trace
// is shown. The screen widget and the printout both show it.
class ShotList final : public HubView {
public:
    explicit ShotList(HubView* hub);

    void SetListener(ShotListListener* listener) { listener_ = listener; }

    int Rows() const { return rows_; }  // shot rows, without the total row
    int TotalRow() const { return rows_; }
    // Row 0 .. Rows() - 1 a shot, Rows() the total; an empty row beyond.
    const ShotRow& Row(int row) const;
    double Total() const { return total_; }

    bool Selected(int row) const { return Row(row).selected; }
    // The user's selection; the listener is not told (it made the change).
    void SetSelected(int row, bool selected);
    int FirstSelected() const;

    void ResetRows(int n);
    // A fired shot: score, time and bearing (degrees clockwise from 12 o'clock) on the current face.
    void SetRow(int row, double score, int timeMs, int bearing, bool innerRing = false);
    // A shot that was never fired (an unfired shot of a moving-target run): it scores 0.
    void SetUnfiredRow(int row);
    // The widest cells a series on the current face can give a column, whatever it has now: a late
    // shot's score ("0 late") and a time in its window ("99.99 s"); the screen form is sized by them.
    std::string LateScoreText() const;
    static std::string WindowTimeText(int timeMs);

    // Paints the list for the printout into rect: the column titles, a line per shot, the total
    // line and a frame down to the end of the last line. Returns the bottom of the frame.
    int PrintRows(QPainter& painter, const QRect& rect, double pixelsPerMm) const;

    void OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) override;
    void OnStoreChanged() override;
    void OnTraceRange(int first, int last, int add) override;
    void OnNewSeries(int shots, int sighters, int isDouble) override;
    // A new target clears the store: the rows of the series before go with it.
    void OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) override;

private:
    const TargetDescriptor& Face() const;
    void WriteShot(int k);

    ShotListListener* listener_ = nullptr;
    std::array<ShotRow, kMaxShots + 1> cells_{};
    int rows_ = 0;
    double total_ = 0;
};

// The black frame of a printed block, 0.25 mm wide: around rect from its top down to bottom.
void DrawPrintFrame(QPainter& painter, const QRect& rect, int bottom, double pixelsPerMm);

// The trace range a click on the series list shows: for each selected row in list order whose shot
// has a part of the trace, that part replaces the range of the one before, so the last selected row
// decides; the total row shows the whole trace once every planned shot is recorded. Rows of shots
// not yet fired are skipped. Returns true when a range was shown (the replay is then ended).
bool ShowSeriesSelection(ShotList& list);

// A click on row of the sighters list, whose rows toggle: the total row shows the whole trace or
// nothing; any other row shows the trace of every selected sighter shot together.
void ShowSightersSelection(ShotList& list, int row);

}  // namespace zark
