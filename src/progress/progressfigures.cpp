#include "progress/progressfigures.h"

#include <algorithm>
#include <cstdint>
#include <deque>

namespace zark {

std::optional<double> FigureOf(const ProgressRow& row, ProgressFigure figure) {
    switch (figure) {
        case ProgressFigure::MeanScore:
            return row.Mean();
        case ProgressFigure::InTop:
            return row.hasHold ? std::optional(row.inTopPct) : std::nullopt;
        case ProgressFigure::Trace:
            return row.hasHold ? std::optional(row.traceMm) : std::nullopt;
        case ProgressFigure::Aiming:
            return row.hasHold ? std::optional(row.aimingSeconds) : std::nullopt;
        case ProgressFigure::MeanRadius:
            return row.hasGroup ? std::optional(row.meanRadiusMm) : std::nullopt;
        case ProgressFigure::Luck:
            return row.hasLuck ? std::optional(row.luck) : std::nullopt;
        case ProgressFigure::CallError:
            return row.hasCalls ? std::optional(row.callErrorMm) : std::nullopt;
    }
    return std::nullopt;
}

QDateTime PeriodStart(ProgressPeriod period, const QDateTime& now) {
    switch (period) {
        case ProgressPeriod::Days30:
            return now.addDays(-30);
        case ProgressPeriod::Days90:
            return now.addDays(-90);
        case ProgressPeriod::Year:
            return now.addYears(-1);
        case ProgressPeriod::All:
            break;
    }
    return {};
}

std::vector<int> FilterRows(const std::vector<ProgressRow>& rows, const ProgressFilter& filter, const QDateTime& now) {
    // the dates are readings of the clock: now is one too
    const QDateTime start = PeriodStart(filter.period, WallClock(now));
    std::vector<int> chosen;
    for (int i = 0; i < int(rows.size()); ++i) {
        const ProgressRow& row = rows[std::size_t(i)];
        if (filter.faceId != 0 && row.faceId != filter.faceId) continue;
        if (start.isValid() && (!row.date.isValid() || WallClock(row.date) < start)) continue;
        if (filter.shooter && ShooterOf(row.file) != *filter.shooter) continue;
        chosen.push_back(i);
    }
    return chosen;
}

namespace {
const QLatin1String kArchiveFolder("Range");
}  // namespace

QString ArchiveFolderOf(const QString& lane, const QString& shooter) {
    QString safe;
    for (const QChar c : shooter.left(64)) {
        const bool bad = c.unicode() < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
                         c == '<' || c == '>' || c == '|';
        safe += bad ? QChar('_') : c;
    }
    safe = safe.trimmed();
    while (safe.startsWith('.')) safe.remove(0, 1);
    return QStringLiteral("%1/%2/%3").arg(kArchiveFolder, lane, safe.isEmpty() ? QStringLiteral("-") : safe);
}

QString ShooterOf(const QString& file) {
    if (!file.startsWith(kArchiveFolder + QLatin1Char('/'))) return {};
    const QStringList parts = file.split('/');
    if (parts.size() != 4 || parts[1].isEmpty() || parts[2].isEmpty()) return {};
    return QStringLiteral("%1 (%2)").arg(parts[2], parts[1]);
}

std::vector<QString> ShootersOf(const std::vector<ProgressRow>& rows) {
    std::vector<QString> shooters;
    for (const ProgressRow& row : rows)
        if (QString who = ShooterOf(row.file); !who.isEmpty()) shooters.push_back(who);
    std::sort(shooters.begin(), shooters.end());
    shooters.erase(std::unique(shooters.begin(), shooters.end()), shooters.end());
    return shooters;
}

std::vector<int> FacesOf(const std::vector<ProgressRow>& rows) {
    std::vector<int> faces;
    for (const ProgressRow& row : rows)
        if (std::find(faces.begin(), faces.end(), row.faceId) == faces.end()) faces.push_back(row.faceId);
    return faces;
}

std::vector<ProgressPoint> ChartPoints(const std::vector<ProgressRow>& rows, const std::vector<int>& chosen,
                                       int faceId, ProgressFigure figure) {
    std::vector<ProgressPoint> points;
    for (int i : chosen) {
        if (i < 0 || i >= int(rows.size())) continue;
        const ProgressRow& row = rows[std::size_t(i)];
        const std::optional<double> value = FigureOf(row, figure);
        if (row.faceId != faceId || !row.date.isValid() || !value) continue;
        points.push_back({i, row.date, *value, 0});
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const ProgressPoint& a, const ProgressPoint& b) { return a.date < b.date; });
    double sum = 0;
    for (std::size_t k = 0; k < points.size(); ++k) {
        sum += points[k].value;
        if (k >= std::size_t(kMovingAverageSeries)) sum -= points[k - kMovingAverageSeries].value;
        points[k].average = sum / double(std::min<std::size_t>(k + 1, kMovingAverageSeries));
        points[k].breakBefore = k > 0 && points[k - 1].date.secsTo(points[k].date) > std::int64_t(kAverageBreakDays) * 86400;
    }
    return points;
}

}  // namespace zark
