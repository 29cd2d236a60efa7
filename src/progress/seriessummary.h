#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "progress/progressrow.h"

namespace zark {

class TargetCatalogue;
class TraceStore;
struct ExportFile;
struct TargetPair;
struct TraceImage;

// The row of one series shot on the pair's faces: fired shots, total, the means of its shots'
// hold figures and its group. store is where the series is analysed (its content is replaced).
ProgressRow SummariseSeries(const TraceImage& image, const TargetPair& pair, TraceStore& store);

// Reads the series or match file at path (named file in the rows) and gives one row per series.
// False with the reason when it cannot be read or names an unknown target; never shows a message,
// so it may run on any thread.
bool SummariseFile(const QString& path, const QString& file, const TargetCatalogue& catalogue,
                   std::vector<ProgressRow>& rows, QString& reason);

// SummariseFile for one file after another on one thread, keeping the large buffers it reads and
// analyses a series in (a trace of 22,500 points) from one file to the next.
class FileSummariser {
public:
    FileSummariser();
    ~FileSummariser();
    bool Summarise(const QString& path, const QString& file, const TargetCatalogue& catalogue,
                   std::vector<ProgressRow>& rows, QString& reason);

private:
    std::unique_ptr<ExportFile> read_;
    std::unique_ptr<TraceStore> store_;
};

}  // namespace zark
