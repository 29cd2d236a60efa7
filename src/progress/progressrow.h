#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace zark {

// One series of the training log: a series file gives one, a match file one per stored series.
// Figures are means over the series' shots that have a hold, and the group of its fired shots.
struct ProgressRow {
    QString file;          // relative to the scanned folder, with "/"
    int series = 1;        // 1 for a series file, the series' number in a match
    // The file's "Date" as it was written, a reading of the shooter's clock: kept as a UTC time so
    // that no time zone moves it (nor loses one in the hour a clock change skips); invalid when
    // the file has none. WallClock() gives a local time in the same terms.
    QDateTime date;
    int faceId = 0;        // the identity of the face the file's target resolves to
    int shots = 0;         // fired shots
    double total = 0;      // as the CSV export adds the points
    bool hasHold = false;  // at least one shot with a hold
    double inTopPct = 0;
    double inNextPct = 0;
    double traceMm = 0;
    double releaseMm = 0;
    double aimingSeconds = 0;
    bool hasGroup = false;  // at least one fired shot
    double extremeSpreadMm = 0;
    double meanRadiusMm = 0;
    bool hasLuck = false;  // at least one shot with a held score
    double luck = 0;       // the sum of the shots' luck
    bool hasCalls = false;  // at least one called shot
    double callErrorMm = 0;  // the mean distance from the calls to the shots

    // total / shots; nothing without shots.
    std::optional<double> Mean() const;
    friend bool operator==(const ProgressRow&, const ProgressRow&) = default;
};

// A local time as the reading of the clock it shows, in the terms of ProgressRow::date.
inline QDateTime WallClock(const QDateTime& local) {
    return local.timeSpec() == Qt::UTC ? local : QDateTime(local.date(), local.time(), Qt::UTC);
}

// A file the scan could not take, and why.
struct SkippedFile {
    QString file;  // relative to the scanned folder
    QString reason;
    friend bool operator==(const SkippedFile&, const SkippedFile&) = default;
};

}  // namespace zark
