#include "print/widgets/pdfexport.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "print/widgets/printhub.h"
#include "settings/registryaccess.h"
#include "settings/settings.h"
#include "core/matchprogramme.h"
#include "storage/matchrecord.h"
#include "storage/seriesfileio.h"
#include "storage/seriesrecord.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

constexpr int kPdfDpi = 600;

int Fail(const QString& message) {
    std::fprintf(stderr, "zark: %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int RunPdfExport(const QString& path, const QString& out) {
    if (!QFileInfo(path).isFile()) return Fail(QStringLiteral("the file '%1' does not exist").arg(path));
    const QString target = out.isEmpty() ? QFileInfo(path).path() + '/' + QFileInfo(path).completeBaseName() + ".pdf"
                                         : out;
    const bool isMatch = IsMatchFileName(path);
    SeriesFileIo io;
    auto match = std::make_unique<MatchRecord>();
    auto series = std::make_unique<SeriesRecord>();
    if (!(isMatch ? io.ReadMatch(path, *match) : io.ReadSeries(path, *series)))
        return Fail(QStringLiteral("cannot read the file '%1'").arg(path));

    TargetCatalogue catalogue;
    catalogue.Build();
    TargetPair pair;
    const int targetId = isMatch ? match->targetId : series->targetId;
    if (!catalogue.FindByIdentity(targetId, pair))
        return Fail(QStringLiteral("the file '%1' names an unknown target (%2)").arg(path).arg(targetId));

    // The page as Page Setup keeps it; the report's other settings are the defaults.
    PrintRecord record;
    {
        RegistryAccess registry;
        record.Load(registry);
    }
    Settings settings;
    const QString title = QFileInfo(path).fileName();
    const QDateTime stamp = LocalDateTime(isMatch ? match->date : series->date);

    std::vector<const TraceImage*> images;
    if (isMatch) {
        const int stored = std::min(ScoredEntries(match->programme), int(kMaxMatchSeries));
        for (int number = 0; number < stored; ++number) images.push_back(&match->series[number]);
    } else {
        images.push_back(&series->store);
    }
    std::vector<std::unique_ptr<TraceStore>> stores;
    std::vector<std::unique_ptr<PrintHub>> hubs;
    std::vector<ReportJob> jobs;
    for (const TraceImage* image : images) {
        auto store = std::make_unique<TraceStore>();
        store->SetSettings(&settings);
        if (!store->CopyFrom(*image)) continue;
        ReportJob job;
        job.series.store = store.get();
        job.series.faceA = pair.first;
        job.series.faceB = pair.second;
        job.series.settings = &settings;
        job.series.title = title;
        job.series.stamp = stamp;
        hubs.push_back(std::make_unique<PrintHub>(job.series, kPdfDpi));
        job.views = hubs.back().get();
        jobs.push_back(job);
        stores.push_back(std::move(store));
    }
    QString error;
    if (!ExportReportPdf(target, record, jobs, PageRange{}, &error))
        return Fail(QStringLiteral("cannot write '%1': %2").arg(target, error));
    return 0;
}

}  // namespace zark
