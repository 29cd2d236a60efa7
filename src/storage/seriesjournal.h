#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/matchprogramme.h"
#include "core/tracestore.h"
#include "storage/seriesrecord.h"

namespace zark {

class FileCommands;

// The journal of the series being shot, so that a series survives a crash or a power cut. A
// journal is a text file in the folder ".recovery" of the save folder; it is only ever appended
// to while shooting:
//
//   ZARK journal 1
//   Target 1200                       the face's identity
//   Name Rifle 50 meter               its name, for the recovered file's name
//   Series 10 0 0                     number of shots, sighters, double
//   Started 20261208-044512           local time the journal was begun
//   Match <title>                     a match: its programme, entry by entry,
//   Entry 0 10 <subtitle>               (sighters, shots, subtitle)
//   Current 1                           the entry being shot,
//   Stored 0                            and each stored series, as the live one below
//   Live                              the series being shot, in the order it was recorded:
//   P 12,-40 13,-38 ...               trace points
//   S 15,-36,0,20261208-044519        a shot (x, y, side, local time) with its own trace point
//   D 7000,8000,7000,5,1,0            a timed series: its drill (before its first shot)
//   T 0,2480,0                        a timed shot's window, time in it (ms) and lateness
//
// Replaying the P and S lines of a series through a TraceStore gives back the store as it was.
struct JournalHeader {
    std::int32_t targetId = 0;
    std::string targetName;  // UTF-8
    std::int32_t seriesShots = 0;
    std::int32_t sighters = 0;
    std::int32_t isDouble = 0;
    FileDate started;
    bool match = false;
    MatchProgramme programme{};  // a match only
    std::int32_t currentEntry = 0;
};

// True when the image holds a fired shot (one with a position; an unfired moving-target shot has none).
bool HasFiredShot(const TraceImage& image);

// What a journal held, as far as it could be read.
struct JournalContent {
    JournalContent();
    ~JournalContent();

    bool hasHeader = false;
    JournalHeader header;
    TraceImage live;
    std::unique_ptr<TraceImage[]> stored;  // kMaxShots series, the match's stored series
    FileDate lastShot;                     // local time of the latest shot with a time; zero without
    int droppedLines = 0;                  // lines that could not be read (a cut last line among them)

    bool LiveHasFiredShot() const;
    bool StoredHasFiredShot() const;
};

// Reads a journal's text; what cannot be read is counted in droppedLines and skipped.
void ReadJournalText(const std::string& text, JournalContent& content);

// The journal's lines of a series image (P and S lines); shots carry the time given.
void AppendImageLines(std::string& text, const TraceImage& image, const FileDate& at);
// The header's text, with the stored series of a match.
std::string JournalHeaderText(const JournalHeader& header, const TraceImage* stored, int storedCount);

// Writes the journal of one program run. The main thread only formats text and hands it to a
// writer thread, at each shot and once about a second of trace (25 points) has gathered; the
// writer appends it, flushes it to the disk and never blocks the main thread.
class SeriesJournal final {
public:
    static constexpr int kPointsPerChunk = 25;  // one second of trace at 40 ms a point

    // folder: the ".recovery" folder (made when needed). The file's name is unique to this run.
    explicit SeriesJournal(const QString& folder);
    // Hands what is pending to the writer and waits for it. The file stays: a series neither saved
    // nor discarded is recovered at the next start.
    ~SeriesJournal();
    SeriesJournal(const SeriesJournal&) = delete;
    SeriesJournal& operator=(const SeriesJournal&) = delete;

    // Starts the journal afresh (replacing what it held) with the header, the stored series of a
    // match and the live series so far.
    void Begin(const JournalHeader& header, const TraceImage* stored, int storedCount, const TraceImage& live);
    // Appends what the live series recorded since the last call (points and shots); a shot is
    // handed to the writer at once, points once a chunk is full. at: the time of a new shot.
    void Follow(const TraceImage& live, const FileDate& at);
    // Hands the points gathered so far to the writer.
    void Flush();
    // The series was saved or given up: the journal is removed.
    void Discard();
    bool IsOpen() const { return open_; }
    // The points and shots of the live series the journal holds (handed or pending).
    std::int32_t FollowedSamples() const { return samples_; }
    std::int32_t FollowedShots() const { return shots_; }

    const QString& Path() const { return path_; }
    // True once a write failed; TakeFailure gives the reason once and clears it.
    bool HasFailure() const { return failed_.load(std::memory_order_relaxed); }
    QString TakeFailure();
    // Waits until the writer has written everything handed to it (tests and benchmarks).
    void WaitIdle();

private:
    // What a new start of the journal holds: copied on the main thread, written out by the writer
    // (a match's 20 full series are megabytes of text).
    struct Start;
    struct Job {
        enum Kind { Begin, Append, Remove, Quit } kind;
        std::string text;
        std::shared_ptr<const Start> start;  // Begin
    };
    void Hand(Job::Kind kind, std::string text, std::shared_ptr<const Start> start = {});
    void Run();
    bool Write(Job& job);
    void Fail(const QString& reason);

    QString folder_;
    QString path_;
    bool open_ = false;
    std::int32_t samples_ = 0;
    std::int32_t shots_ = 0;
    int pendingPoints_ = 0;
    bool drill_ = false;  // a timed live series' drill is written
    std::string pending_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> jobs_;
    bool busy_ = false;
    std::atomic<bool> failed_{false};
    QString failure_;
    struct Writer;
    std::unique_ptr<Writer> writer_;  // the writer thread's own: the file and its lock
    std::thread thread_;
};

// Recovers the journals left in the folder by earlier runs that ended without saving or
// discarding their series: each is written as an ordinary series (or match) file under the
// automatic name of the time of its last shot, in the files' save folder; sighters under the
// target's name followed by sightersName, marked as sighters. A journal still in use by another
// ZARK (locked) is left alone. A journal is removed only once every file it gave has been read
// back whole; one that could not be read whole is kept under a ".broken" name; one whose file
// could not be written (a full disk) stays as it is for the next start.
struct RecoveryOutcome {
    QStringList files;   // the files written
    QStringList broken;  // journals kept as .broken
    QStringList errors;  // why a journal could not be recovered
    QStringList kept;    // journals kept for the next start because a file could not be written
    bool noRoom = false; // a file could not be written for lack of room on the disk
};
RecoveryOutcome RecoverJournals(const QString& folder, FileCommands& files,
                                const QString& sightersName = QStringLiteral("Sighters"));

// The journal folder of a save folder.
QString JournalFolder(const QString& saveFolder);

}  // namespace zark
