#pragma once

#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "progress/progressrow.h"

namespace zark {

class TargetCatalogue;

// The name of the index in the folder it describes.
inline constexpr const char* kProgressIndexName = ".zark-index.sqlite";

// What a scan did.
struct ScanReport {
    bool ok = false;      // the folder could be read (the index may still be in memory only)
    QString error;        // why not
    int files = 0;        // series and match files found
    int read = 0;         // new or changed files read
    int unchanged = 0;    // files taken from the index without opening them
    int removed = 0;      // files gone since the last scan
    bool rebuilt = false; // the index file was corrupt or of another version and was made afresh
    bool inMemory = false;  // the index file could not be written: this scan's index is not kept
    bool writeFailed = false;  // the scan's changes could not be written (error says why): Rows() gives none
    std::vector<SkippedFile> skipped;  // every file found that cannot be read, with its reason
};

// The training log's index of every series and match file in a folder and its sub-folders: an
// SQLite database ".zark-index.sqlite" in that folder, one row per file (path, size, modification
// time, the reason when it cannot be read) and one per series. It is a cache: deleting it loses
// nothing, a corrupt or foreign one is made afresh, and a scan writes it in one transaction.
//
// One object belongs to the thread that made it (the database connection does); the scan reads
// the files on worker threads of its own.
class ProgressIndex final {
public:
    // The catalogue must outlive the index; it is only read.
    ProgressIndex(const QString& folder, const TargetCatalogue& catalogue);
    ~ProgressIndex();
    ProgressIndex(const ProgressIndex&) = delete;
    ProgressIndex& operator=(const ProgressIndex&) = delete;

    // Called while files are read, with how many of how many are done, from any reading thread
    // (one call at a time). Returns false to stop the scan (nothing is then written).
    using Progress = std::function<bool(int done, int total)>;
    // Brings the index up to date: new and changed files (size or time differ) are read, gone
    // files leave it, unchanged files are not opened.
    ScanReport Scan(const Progress& progress = {});
    // Every series of the index, by date (none first), then file, then series number; none after
    // a scan that could not write its changes (the index then holds an earlier scan's rows).
    std::vector<ProgressRow> Rows() const;

    QString IndexPath() const;
    // How many threads read files (at least 1).
    void SetReaders(int readers) { readers_ = readers < 1 ? 1 : readers; }

private:
    bool Open(ScanReport& report);
    bool CreateTables();
    // The index was found damaged while it was read or written: made afresh and every file read.
    ScanReport ScanAfresh(const Progress& progress);

    QString folder_;  // absolute: a relative folder is taken from the working folder
    const TargetCatalogue& catalogue_;
    bool current_ = true;  // the index holds what the last scan found
    bool sealed_ = false;  // opened without a whole check: nothing wrote it since a scan of ours (see Sealed)
    bool distrusted_ = false;  // found damaged: checked whole from now on
    std::optional<std::vector<ProgressRow>> rows_;  // what Rows() gives, when the scan read them
    QString connection_;
    QSqlDatabase db_;
    int readers_;
};

}  // namespace zark
