#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "progress/progressrow.h"

namespace zark {

class TargetCatalogue;

inline constexpr const char* kProgressCsvHeader =
    "date,file,series,face_id,face,shots,total,mean,in_top_pct,in_next_pct,trace_mm,release_mm,aiming_s,"
    "extreme_spread_mm,mean_radius_mm,luck,call_error_mm";

// The training log as CSV (UTF-8): the header, then one line per row in the order given. The total as
// the series' total line of the CSV export writes it (decimal faces with a tenth), the mean with
// two decimals, the figures with the decimals of the CSV export, empty where there is nothing.
QByteArray ProgressCsv(const std::vector<ProgressRow>& rows, const TargetCatalogue& catalogue);

// "zark --export-progress DIR [OUT]": brings DIR's index up to date and writes the CSV to OUT or
// standard output; files that cannot be read go to standard error with their reason. Returns the
// exit status: 0 when the scan ran, 1 when DIR cannot be read, the index cannot be written (no
// line is then written) or OUT cannot be written. A relative DIR is taken from the working folder.
int RunProgressExport(const QString& folder, const QString& out);

}  // namespace zark
