#include "progress/progresscsv.h"

#include <cstdio>

#include "i18n/uistrings.h"
#include "progress/progressindex.h"
#include "export/csvexport.h"
#include "targets/scoretext.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

QString Optional(bool present, double value, int decimals) { return present ? CsvFigure(value, decimals) : QString(); }

QString Quoted(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString q = text;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

}  // namespace

QString ProgressCsv(const std::vector<ProgressRow>& rows, const TargetCatalogue& catalogue) {
    QString csv = QLatin1String(kProgressCsvHeader) + QLatin1Char('\n');
    for (const ProgressRow& row : rows) {
        TargetPair pair;
        const bool known = catalogue.FindQuietly(row.faceId, pair) != 0;
        const QString name = known ? QString::fromStdString(LookupString(UiLanguage::English, pair.first->NameId())) : QString();
        const QString total = known ? QString::fromStdString(TotalText(*pair.first, row.total)).trimmed()
                                    : CsvFigure(row.total, 1);
        const std::optional<double> mean = row.Mean();
        QStringList cells{row.date.isValid() ? row.date.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString(),
                          Quoted(row.file),
                          QString::number(row.series),
                          QString::number(row.faceId),
                          Quoted(name),
                          QString::number(row.shots),
                          total,
                          mean ? CsvFigure(*mean, 2) : QString(),
                          Optional(row.hasHold, row.inTopPct, 1),
                          Optional(row.hasHold, row.inNextPct, 1),
                          Optional(row.hasHold, row.traceMm, 2),
                          Optional(row.hasHold, row.releaseMm, 2),
                          Optional(row.hasHold, row.aimingSeconds, 2),
                          Optional(row.hasGroup, row.extremeSpreadMm, 2),
                          Optional(row.hasGroup, row.meanRadiusMm, 2),
                          Optional(row.hasLuck, row.luck, 2),
                          Optional(row.hasCalls, row.callErrorMm, 2)};
        csv += cells.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return csv;
}

int RunProgressExport(const QString& folder, const QString& out) {
    TargetCatalogue catalogue;
    catalogue.Build();
    ProgressIndex index(folder, catalogue);
    const ScanReport report = index.Scan();
    if (!report.ok) {
        std::fprintf(stderr, "zark: %s\n", qPrintable(report.error));
        return 1;
    }
    if (!report.error.isEmpty()) std::fprintf(stderr, "zark: %s\n", qPrintable(report.error));
    for (const SkippedFile& skipped : report.skipped)
        std::fprintf(stderr, "zark: skipped: %s\n", qPrintable(skipped.reason));
    return WriteExportText(ProgressCsv(index.Rows(), catalogue).toUtf8(), out);
}

}  // namespace zark
