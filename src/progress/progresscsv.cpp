#include "progress/progresscsv.h"

#include <QHash>
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

// "yyyy-MM-dd HH:mm:ss", put together from the fields (a format string is read again each time).
QString DateCell(const QDateTime& date) {
    if (!date.isValid()) return {};
    const QDate day = date.date();
    const QTime time = date.time();
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", day.year(), day.month(), day.day(), time.hour(),
                             time.minute(), time.second());
}

}  // namespace

QString ProgressCsv(const std::vector<ProgressRow>& rows, const TargetCatalogue& catalogue) {
    QString csv = QLatin1String(kProgressCsvHeader) + QLatin1Char('\n');
    // the faces met so far, looked up once each
    struct Face {
        bool known = false;
        TargetPair pair;
        QString name;
    };
    QHash<int, Face> faces;
    for (const ProgressRow& row : rows) {
        auto face = faces.find(row.faceId);
        if (face == faces.end()) {
            Face found;
            found.known = catalogue.FindQuietly(row.faceId, found.pair) != 0;
            if (found.known) found.name = QString::fromStdString(LookupString(UiLanguage::English, found.pair.first->NameId()));
            face = faces.insert(row.faceId, found);
        }
        const bool known = face->known;
        const QString& name = face->name;
        const QString total = known ? QString::fromStdString(TotalText(*face->pair.first, row.total)).trimmed()
                                    : CsvFigure(row.total, 1);
        const std::optional<double> mean = row.Mean();
        QStringList cells{DateCell(row.date),
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
                          Optional(row.hasGroup, row.meanRadiusMm, 2)};
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
    for (const SkippedFile& skipped : report.skipped)
        std::fprintf(stderr, "zark: skipped: %s\n", qPrintable(skipped.reason));
    if (report.writeFailed) {
        // the rows the index holds are an earlier scan's: none are given as if they were current
        std::fprintf(stderr, "zark: %s\n", qPrintable(report.error));
        return 1;
    }
    if (!report.error.isEmpty()) std::fprintf(stderr, "zark: %s\n", qPrintable(report.error));
    return WriteExportText(ProgressCsv(index.Rows(), catalogue).toUtf8(), out);
}

}  // namespace zark
