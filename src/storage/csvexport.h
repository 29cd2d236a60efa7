#pragma once

#include <QString>
#include <QTextStream>

namespace zark {

class TargetCatalogue;

// Writes every shot of a series or match file as CSV, for shooters who keep their own records:
//   series,shot,x,y,trace_index,side,score,score_text,direction,time
// one line per shot (series and shots numbered from 1), then per series a "total" line with the
// shot list's total text. Scores, texts, directions and times are those the shot list shows.
// Returns false with a message in error (and nothing written) when the file cannot be read or
// names a target the catalogue does not know.
bool ExportCsv(const QString& path, const TargetCatalogue& catalogue, QString& csv, QString& error);

// "zark --export-csv FILE [OUT]": writes to OUT or standard output; returns the exit status (1
// when the file cannot be exported or the text cannot be written whole). A regular OUT is replaced
// only once the whole text is written (a new one likewise created); anything else that exists (a
// named pipe, a device) is written to as it is, never replaced.
int RunCsvExport(const QString& path, const QString& out);

}  // namespace zark
