#include "progress/seriessummary.h"

#include <memory>

#include "results/coachfigures.h"
#include "results/holdanalysis.h"
#include "export/csvexport.h"
#include "storage/seriesfileio.h"
#include "targets/targetcatalogue.h"

namespace zark {

std::optional<double> ProgressRow::Mean() const {
    if (shots <= 0) return std::nullopt;
    return total / shots;
}

ProgressRow SummariseSeries(const TraceImage& image, const TargetPair& pair, TraceStore& store) {
    if (!store.CopyFrom(image)) store.Clear();
    const SeriesAnalysis analysis = AnalyseSeries(store, *pair.first, pair.second);
    ProgressRow row;
    row.faceId = pair.first->Identity();
    for (int i = 0; i < store.ShotCount(); ++i)
        if (store.ShotFired(i)) ++row.shots;
    row.total = SeriesTotal(store, pair);
    int held = 0;
    for (int i = 0; i < analysis.shots && i < kMaxShots; ++i) {
        const HoldFigures& hold = analysis.hold[std::size_t(i)];
        if (!hold.valid) continue;
        ++held;
        row.inTopPct += 100 * hold.inTop;
        row.inNextPct += 100 * hold.inNext;
        row.traceMm += hold.traceMm;
        row.releaseMm += hold.releaseMm;
        row.aimingSeconds += hold.aimingSeconds;
    }
    if (held > 0) {
        row.hasHold = true;
        for (double* figure : {&row.inTopPct, &row.inNextPct, &row.traceMm, &row.releaseMm, &row.aimingSeconds})
            *figure /= held;
    }
    const SeriesCoaching coaching =
        AnalyseCoaching(store, AnalyseSeriesPhases(store, *pair.first, pair.second), *pair.first, pair.second);
    row.hasLuck = coaching.lucky > 0;
    row.luck = coaching.luck;
    row.hasCalls = coaching.calls > 0;
    row.callErrorMm = coaching.meanCallErrorMm;
    if (analysis.group.shots > 0) {
        row.hasGroup = true;
        row.extremeSpreadMm = analysis.group.extremeSpreadMm;
        row.meanRadiusMm = analysis.group.meanRadiusMm;
    }
    return row;
}

bool SummariseFile(const QString& path, const QString& file, const TargetCatalogue& catalogue,
                   std::vector<ProgressRow>& rows, QString& reason) {
    return FileSummariser().Summarise(path, file, catalogue, rows, reason);
}

FileSummariser::FileSummariser() = default;

FileSummariser::~FileSummariser() = default;

bool FileSummariser::Summarise(const QString& path, const QString& file, const TargetCatalogue& catalogue,
                               std::vector<ProgressRow>& rows, QString& reason) {
    if (!read_) {  // made with the first file
        read_ = std::make_unique<ExportFile>();
        store_ = std::make_unique<TraceStore>();
    }
    ExportFile& read = *read_;
    if (!ReadExportFile(path, catalogue, read, reason, true)) return false;
    // Sighters are no scored series: the training log leaves them out.
    if (read.seriesRecord && read.seriesRecord->sighters) return true;
    const QDateTime date(QDate(read.date.year, read.date.month, read.date.day),
                         QTime(read.date.hour, read.date.minute, read.date.second), Qt::UTC);  // as written
    for (std::size_t k = 0; k < read.series.size(); ++k) {
        ProgressRow row = SummariseSeries(*read.series[k], read.pair, *store_);
        row.file = file;
        row.series = int(k) + 1;
        row.date = date;
        rows.push_back(std::move(row));
    }
    return true;
}

}  // namespace zark
