#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

#include "progress/progressrow.h"

namespace zark {

// The figures the Progress window draws over time.
enum class ProgressFigure { MeanScore, InTop, Trace, Aiming, MeanRadius, Luck, CallError };
inline constexpr int kProgressFigureCount = 7;

// The periods it shows: the last 30 days, 90 days, a year, or everything.
enum class ProgressPeriod { Days30, Days90, Year, All };
inline constexpr int kProgressPeriodCount = 4;

// A row's value of the figure; nothing where it has none (no shots, no hold, no group).
std::optional<double> FigureOf(const ProgressRow& row, ProgressFigure figure);

// The first moment the period shows when it is now (invalid for everything).
QDateTime PeriodStart(ProgressPeriod period, const QDateTime& now);

// The club's archive: the range officer's program keeps the series the lanes send in the
// training log's folder under "Range/<lane>/<shooter>/". The folder of a shooter's series there,
// relative to the training log's folder: the name made safe for a folder ("-" when empty).
QString ArchiveFolderOf(const QString& lane, const QString& shooter);
// Whose series a row of the training log is, from its file: "<shooter> (<lane>)" for a file of
// the archive, empty for the program's own shooter.
QString ShooterOf(const QString& file);
// The shooters of the archive among the rows, sorted, each once.
std::vector<QString> ShootersOf(const std::vector<ProgressRow>& rows);

// Which rows to show: of one face (0: every face) within the period, of one shooter (nothing:
// every shooter; empty: the program's own).
struct ProgressFilter {
    int faceId = 0;
    ProgressPeriod period = ProgressPeriod::All;
    std::optional<QString> shooter;
};
// The indices of the rows that pass, in the rows' order. A row without a date passes only for
// everything.
std::vector<int> FilterRows(const std::vector<ProgressRow>& rows, const ProgressFilter& filter, const QDateTime& now);

// The faces of the rows, each once, in the order they first come.
std::vector<int> FacesOf(const std::vector<ProgressRow>& rows);

// One point of the chart: a series' figure at its date and the moving average of the figure
// over the last (up to) ten series of the same face, that one included.
struct ProgressPoint {
    int row = 0;
    QDateTime date;
    double value = 0;
    double average = 0;
    bool breakBefore = false;  // the line of averages does not join this point to the one before
};
inline constexpr int kMovingAverageSeries = 10;
// Over a longer pause between two series the line of averages is broken, not drawn across it.
inline constexpr int kAverageBreakDays = 30;
// The points of one face among the rows chosen (in date order), leaving out rows without a
// date or without the figure.
std::vector<ProgressPoint> ChartPoints(const std::vector<ProgressRow>& rows, const std::vector<int>& chosen,
                                       int faceId, ProgressFigure figure);

}  // namespace zark
