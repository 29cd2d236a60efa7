#pragma once

#include <QByteArray>
#include <QString>
#include <QTextStream>
#include <memory>
#include <vector>

#include "storage/matchrecord.h"
#include "storage/seriesrecord.h"
#include "targets/targetcatalogue.h"

namespace zark {

// The analysis columns, after the shot list's: the hold of each shot (shares of its last second
// in the face's best points and one below in percent, trace length, hold mean and release in mm,
// aiming time in seconds, the points the second had) and, on a series' total line, its group
// (mean point of impact in mm, its clock hour and distance, extreme spread, mean radius and the
// horizontal and vertical standard deviations in mm). Empty where a shot has no hold.
// Then the phases: the start of each phase in seconds before the shot (approach, settle, hold,
// release), the hold's duration (s), mean speed (mm/s) and radius (mm), the release path (mm),
// the follow-through (s) and its drift (mm), and the verdict (English words joined by "; ",
// "clean" when none applies); empty where a phase did not occur. A series' total line has the
// means of the hold, release and drift figures over the shots that have them.
inline constexpr const char* kCsvAnalysisColumns =
    "in_top_pct,in_next_pct,trace_mm,hold_x_mm,hold_y_mm,release_mm,aiming_s,hold_points,"
    "group_x_mm,group_y_mm,group_clock,group_distance_mm,extreme_spread_mm,mean_radius_mm,sd_x_mm,sd_y_mm,"
    "approach_s,settle_s,hold_start_s,release_start_s,hold_s,hold_speed_mm_s,hold_radius_mm,release_path_mm,"
    "follow_through_s,drift_mm,verdict";

// The coaching columns, after the timing's: each shot's held score and luck, the distance (mm) and
// clock from its hold's mean point to the shot, its call (target units), the call's score and its
// distance from the shot (mm); on a series' total line the sum of the luck, the release's vector
// from the holds to the shots (distance and clock) and the mean call error. Empty where there is
// nothing.
inline constexpr const char* kCsvCoachingColumns =
    "held_score,luck,hold_to_shot_mm,hold_to_shot_clock,call_x,call_y,call_score,call_error_mm";

// Writes every shot of a series or match file as CSV, for shooters who keep their own records:
//   series,shot,x,y,trace_index,side,score,score_text,direction,time, then the analysis columns
// one line per shot (series and shots numbered from 1), then per series a "total" line with the
// shot list's total text and the group. Scores, texts, directions and times are those the shot
// list shows.
// Returns false with a message in error (and nothing written) when the file cannot be read or
// names a target the catalogue does not know.
bool ExportCsv(const QString& path, const TargetCatalogue& catalogue, QString& csv, QString& error);

// A series or match file read for an export: the faces it was shot on and its series (one for a
// series file, every stored series of a match in programme order).
struct ExportFile {
    int targetId = 0;  // as the file names it
    TargetPair pair;   // second: the first where the face has no second
    FileDate date;
    std::vector<const TraceImage*> series;
    std::unique_ptr<SeriesRecord> seriesRecord;
    std::unique_ptr<MatchRecord> matchRecord;
};
// Reads path as a match (extension .zam) or a series. False with the reason in error when it
// cannot be read, has shot lines of which none can be read, or names a target the catalogue does
// not know; quiet: no message about the target (for readers on other threads). Single shot or
// trace lines that cannot be read are left out and named in the log (standard error for the
// command-line exports).
bool ReadExportFile(const QString& path, const TargetCatalogue& catalogue, ExportFile& file, QString& error,
                    bool quiet = false);

// What the shots of a series add up to, as its total line shows it: each fired shot's points
// (decimal faces: its score) on the face of its own side, an unfired shot nothing.
double SeriesTotal(const TraceStore& store, const TargetPair& pair);
// A figure with a point and that many decimals; one that rounds to nothing is "0", never "-0.00".
QString CsvFigure(double value, int decimals);
// CsvFigure written to text (room for kFixedChars characters); returns the end.
char* WriteCsvFigure(char* text, double value, int decimals);

// Writes an export's text to OUT, or to standard output when out is empty; returns the exit
// status (1 with a message on standard error when it cannot be written whole). A regular OUT is
// replaced only once the whole text is written (a new one likewise created); anything else that
// exists (a named pipe, a device) is written to as it is, never replaced.
int WriteExportText(const QByteArray& bytes, const QString& out);

// "zark --export-csv FILE [OUT]": writes to OUT or standard output; returns the exit status (1
// when the file cannot be exported or the text cannot be written whole). A regular OUT is replaced
// only once the whole text is written (a new one likewise created); anything else that exists (a
// named pipe, a device) is written to as it is, never replaced.
int RunCsvExport(const QString& path, const QString& out);

}  // namespace zark
