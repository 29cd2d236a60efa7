#include "progress/progresscsv.h"

#include <QHash>
#include <cstdio>
#include <optional>

#include "i18n/uistrings.h"
#include "progress/progressindex.h"
#include "export/csvexport.h"
#include "targets/scoretext.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

// A cell of the file's own text: quoted when it holds a comma, a quote or a line end.
void AppendText(QByteArray& csv, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n')) {
        csv += bytes;
        return;
    }
    csv += '"';
    for (const char c : bytes) {
        if (c == '"') csv += '"';
        csv += c;
    }
    csv += '"';
}

// A whole number as "%0<width>d" writes it.
char* WriteNumber(char* text, long long value, int width = 1) {
    if (value < 0) {
        *text++ = '-';
        value = -value;
        --width;
    }
    char reversed[24];
    int n = 0;
    do {
        reversed[n++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0 || n < width);
    while (n > 0) *text++ = reversed[--n];
    return text;
}

// "yyyy-MM-dd HH:mm:ss" from the fields of the file's date, nothing without one.
char* WriteDate(char* text, const QDateTime& date) {
    if (!date.isValid()) return text;
    const QDate day = date.date();
    const QTime time = date.time();
    const int fields[] = {day.year(), day.month(), day.day(), time.hour(), time.minute(), time.second()};
    const char after[] = {'-', '-', ' ', ':', ':', 0};
    for (int i = 0; i < 6; ++i) {
        text = WriteNumber(text, fields[i], i == 0 ? 4 : 2);
        if (after[i]) *text++ = after[i];
    }
    return text;
}

}  // namespace

QByteArray ProgressCsv(const std::vector<ProgressRow>& rows, const TargetCatalogue& catalogue) {
    QByteArray csv;
    csv.reserve(qsizetype(rows.size() + 1) * 160);
    csv += kProgressCsvHeader;
    csv += '\n';
    // the faces met so far, looked up once each
    struct Face {
        bool known = false;
        int totalDecimals = 1;  // an unknown face's total as a figure with one decimal
        QByteArray name;        // the English name, as a cell
    };
    QHash<int, Face> faces;
    // a row's cells but its file and face name, each at most a figure long
    char cells[12 * kFixedChars];
    const auto put = [&csv, &cells](const char* end) { csv.append(cells, end - cells); };
    for (const ProgressRow& row : rows) {
        auto face = faces.find(row.faceId);
        if (face == faces.end()) {
            Face found;
            TargetPair pair;
            found.known = catalogue.FindQuietly(row.faceId, pair) != 0;
            if (found.known) {
                found.totalDecimals = TotalDecimals(*pair.first);
                AppendText(found.name, QString::fromStdString(LookupString(UiLanguage::English, pair.first->NameId())));
            }
            face = faces.insert(row.faceId, found);
        }
        char* at = WriteDate(cells, row.date);
        *at++ = ',';
        put(at);
        AppendText(csv, row.file);
        at = cells;
        *at++ = ',';
        at = WriteNumber(at, row.series);
        *at++ = ',';
        at = WriteNumber(at, row.faceId);
        *at++ = ',';
        put(at);
        csv += face->name;
        at = cells;
        *at++ = ',';
        at = WriteNumber(at, row.shots);
        *at++ = ',';
        // the total as the series' total line of the CSV export writes it
        at = face->known ? WriteFixed(at, row.total, face->totalDecimals) : WriteCsvFigure(at, row.total, 1);
        const std::optional<double> mean = row.Mean();
        const struct {
            bool present;
            double value;
            int decimals;
        } figures[] = {{mean.has_value(), mean.value_or(0), 2},
                       {row.hasHold, row.inTopPct, 1},
                       {row.hasHold, row.inNextPct, 1},
                       {row.hasHold, row.traceMm, 2},
                       {row.hasHold, row.releaseMm, 2},
                       {row.hasHold, row.aimingSeconds, 2},
                       {row.hasGroup, row.extremeSpreadMm, 2},
                       {row.hasGroup, row.meanRadiusMm, 2},
                       {row.hasLuck, row.luck, 2},
                       {row.hasCalls, row.callErrorMm, 2}};
        for (const auto& figure : figures) {
            *at++ = ',';
            if (figure.present) at = WriteCsvFigure(at, figure.value, figure.decimals);
        }
        *at++ = '\n';
        put(at);
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
    return WriteExportText(ProgressCsv(index.Rows(), catalogue), out);
}

}  // namespace zark
