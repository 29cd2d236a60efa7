#pragma once

#include <QString>
#include <vector>

#include "progress/progressrow.h"

namespace zark {

class TargetCatalogue;
struct TargetPair;
struct TraceImage;

// The row of one series shot on the pair's faces: fired shots, total, the means of its shots'
// hold figures and its group.
ProgressRow SummariseSeries(const TraceImage& image, const TargetPair& pair);

// Reads the series or match file at path (named file in the rows) and gives one row per series.
// False with the reason when it cannot be read or names an unknown target; never shows a message,
// so it may run on any thread.
bool SummariseFile(const QString& path, const QString& file, const TargetCatalogue& catalogue,
                   std::vector<ProgressRow>& rows, QString& reason);

}  // namespace zark
