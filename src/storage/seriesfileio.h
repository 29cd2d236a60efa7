#pragma once

#include <QDateTime>
#include <QString>
#include <string>

#include "storage/matchrecord.h"
#include "storage/seriesrecord.h"

class QIODevice;

namespace zark {

// What a reading of a file could not take. Every refused shot or trace line (not of the form
// the format gives it, a coordinate outside 16 bits, past 20 shots or 22,500 points) is left out
// and named in the log with the file and its line number.
struct ReadNotes {
    int shotLines = 0;          // shot lines read
    int refusedShotLines = 0;   // shot lines left out
    int refusedPointLines = 0;  // trace point lines left out
};

// The series file (.zas, "ZARK Serie") and the match file (.zam, "ZARK Match"): line-oriented
// text in the sections "Header", "Match", "Shots" and "Serie". Written with line feeds only and
// numbers in the C form, so a file reads the same on every platform and in every language.
//
// A file is written to a temporary file in the same folder, every write checked, synced and renamed
// over the path only when it is complete, so a failed write never leaves a partial file in place of
// a good one.
//
// In memory a shot without trace point has trace index NoTrace; files carry NoTraceInFiles (9999)
// for it. The reader takes a 9999 as a real trace index only when the trace has the shot's own
// point there, and lowers an index by one only when the point below it, not the point at it, is
// the shot's own point (files that count the index one past the point). A shot is never dropped
// or moved by either rule.
class SeriesFileIo final {
public:
    using Clock = FileDate (*)();

    SeriesFileIo();

    // Where the "Date" line comes from; nullptr restores the local time.
    void SetClock(Clock clock);

    // Writes the record to path (through a CheckedFile). False when the file cannot be written
    // whole; no file is then left at path, the file that was there before, if any, stays as it
    // was, error (when given) gets the system's reason and noRoom tells whether the disk was full.
    // The record's flags and date are not written: the flags are written as 0 and the date is the
    // clock's when the header is written, or date when one is given.
    bool WriteSeries(const SeriesRecord& record, const QString& path, QString* error = nullptr,
                     const FileDate* date = nullptr, bool* noRoom = nullptr) const;
    // Writes the header, the programme and one Shots and Serie pair per programme entry.
    bool WriteMatch(const MatchRecord& record, const QString& path, QString* error = nullptr,
                    const FileDate* date = nullptr, bool* noRoom = nullptr) const;

    // Read the file at path into the record. False (the record cleared) only when the file cannot
    // be opened or read; malformed content is skipped (shot and trace lines named in the log and
    // counted in notes), an empty file reads as an all-zero record. A byte-order mark before the
    // first line is no part of it.
    bool ReadSeries(const QString& path, SeriesRecord& record, ReadNotes* notes = nullptr) const;
    bool ReadMatch(const QString& path, MatchRecord& record, ReadNotes* notes = nullptr) const;

    // The same on an open device (read from its current position to its end).
    static bool ReadSeries(QIODevice& device, SeriesRecord& record);
    static bool ReadMatch(QIODevice& device, MatchRecord& record);

    // The text a write produces; fileLine is the value of the "File" line.
    static std::string SeriesText(const SeriesRecord& record, const std::string& fileLine, const FileDate& date);
    static std::string MatchText(const MatchRecord& record, const std::string& fileLine, const FileDate& date);

private:
    Clock clock_;
};

// True when the file name's extension is ".zam" in any case: such a file is read as a match,
// any other as a series.
bool IsMatchFileName(const QString& path);
// The path a series (match false) or a match is saved under, so that it is read back as what it
// is: a match always ends in ".zam" (a typed ".zas" becomes ".zam", another name gets ".zam"
// added); a series never does (a typed ".zam" becomes ".zas").
QString SavePathOfKind(const QString& chosen, bool match);

// The local time now.
FileDate LocalFileDate();
// A file's date as a local date and time (invalid for a file without one).
QDateTime LocalDateTime(const FileDate& date);

}  // namespace zark
