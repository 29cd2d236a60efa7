#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "storage/seriesfileio.h"

namespace zark::test {

// The clock of every written file in the tests.
FileDate FixedDate();

// A series as the store records it: 248 aim points, two shots with their own points and an
// unfired moving-target shot (3 shots, 250 points).
std::unique_ptr<SeriesRecord> SampleSeries();
// A match of the predefined programme type 0 (sighters 5; 4 x 10) or type 6 (sighters and two
// series of 10 shots for each of "Prone", "Standing", "Kneeling"), its scored series filled.
std::unique_ptr<MatchRecord> SampleMatch(int type);

void ExpectSameImage(const TraceImage& expected, const TraceImage& actual);
void ExpectSameSeries(const SeriesRecord& expected, const SeriesRecord& actual);
void ExpectSameMatch(const MatchRecord& expected, const MatchRecord& actual);

std::string ReadBytes(const QString& path);
void WriteBytes(const QString& path, const std::string& bytes);
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace zark::test
