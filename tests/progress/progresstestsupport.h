#pragma once

#include <QPoint>
#include <QString>
#include <vector>

#include "storage/seriesrecord.h"

namespace zark::test {

// A date of the files written here.
FileDate Day(int year, int month, int day, int hour = 10);

// Writes a series of shots on the face at path (folders made), dated date: before each shot 30
// aim points 3 units above and right of it, then the shot.
void WriteSeriesFile(const QString& path, int targetId, const FileDate& date, const std::vector<QPoint>& shots);
// A match of sighters and then one scored series per entry of series.
void WriteMatchFile(const QString& path, int targetId, const FileDate& date,
                    const std::vector<std::vector<QPoint>>& series);
void WriteText(const QString& path, const QByteArray& bytes);

// A folder of series as a shooter keeps them, in sub-folders: two faces (the 50 m rifle face 1200
// and its decimal finale face 1350), four dates, a match of two series, a file that is no series
// and one of a face ZARK does not know.
//   c.ZAS            1200  2026-10-30  3 shots in the centre
//   2026/a.zas       1200  2026-11-01  3 shots in the centre
//   club/m.zam       1200  2026-11-02  series 1: 2 shots, series 2: 2 shots
//   2026/b.zas       1350  2026-11-03  2 shots in the centre (10.9 each)
//   broken.zas, club/alien.zas, notes.txt
void MakeTrainingFolder(const QString& folder);

}  // namespace zark::test
