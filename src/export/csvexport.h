#pragma once

#include <QString>
#include <QTextStream>

namespace zark {

class TargetCatalogue;

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

// Writes every shot of a series or match file as CSV, for shooters who keep their own records:
//   series,shot,x,y,trace_index,side,score,score_text,direction,time, then the analysis columns
// one line per shot (series and shots numbered from 1), then per series a "total" line with the
// shot list's total text and the group. Scores, texts, directions and times are those the shot
// list shows.
// Returns false with a message in error (and nothing written) when the file cannot be read or
// names a target the catalogue does not know.
bool ExportCsv(const QString& path, const TargetCatalogue& catalogue, QString& csv, QString& error);

// "zark --export-csv FILE [OUT]": writes to OUT or standard output; returns the exit status (1
// when the file cannot be exported or the text cannot be written whole). A regular OUT is replaced
// only once the whole text is written (a new one likewise created); anything else that exists (a
// named pipe, a device) is written to as it is, never replaced.
int RunCsvExport(const QString& path, const QString& out);

}  // namespace zark
