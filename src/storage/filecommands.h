#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/matchprogramme.h"
#include "storage/matchrecord.h"
#include "storage/seriesfileio.h"
#include "storage/seriesrecord.h"

namespace zark {

// String ids of the file types and the dialogs' filters.
inline constexpr int kTextSerieFiles = 117;  // "ZARK Serie"
inline constexpr int kTextMatchFiles = 118;  // "ZARK Match"
inline constexpr int kTextAllFiles = 196;    // "All files"

// The filters of the file dialogs in their "name|patterns|name|patterns|" form: the open and
// delete dialogs offer both kinds, each kind alone and all files; the save dialog one kind.
std::string OpenFilter(std::string_view serie, std::string_view match, std::string_view all);
std::string SeriesSaveFilter(std::string_view serie);
std::string MatchSaveFilter(std::string_view match);
// The same filter as a Qt file dialog takes it: "name (pattern pattern)" per entry, "*.*" as "*"
// (every file, also one without a dot).
QStringList QtNameFilters(std::string_view filter);

// The folder files go to when no data directory is set or it cannot be made: the user's documents
// folder + "/ZARK" (not created here).
QString PerUserDataDirectory();

// A name made fit to stand in a file name on every platform: "/", "\", ":", "*", "?", '"', "<",
// ">", "|" and control characters become "_", leading dots and trailing dots and spaces go, and
// the name is cut at 100 characters. An empty result is "ZARK".
QString SafeFileNamePart(const QString& name);
// "%Y%m%d-%H%M%S" of a date.
QString FileStamp(const FileDate& date);

// The number of shots F10 continues with after a series file was opened: its NumberOfShots when
// that is a count a series can have (1..20), else the number of shots it holds when that is one,
// else previous.
int ShotsOfOpenedSeries(const SeriesRecord& record, int previous);
// The programme of an opened match with every count brought within what a match can hold: at
// most 20 entries, sighters 0 or 1, 1..20 shots per entry (a count outside that is taken from the
// entry's stored series, else cut into the range), texts without their line ends.
void ProgrammeOfOpenedMatch(const MatchRecord& record, MatchProgramme& programme);
// The programme as a match file carries it.
void FileProgrammeOf(const MatchProgramme& programme, FileProgramme& file);

// One key of the Windows registration of the two file types (under SOFTWARE\Classes): its path
// and, when hasValue, its default value.
struct RegistryKey {
    std::string path;
    bool hasValue = false;
    std::string value;
};
std::vector<RegistryKey> FileTypeRegistryKeys(std::string_view programPath, std::string_view serie,
                                              std::string_view match);

// The series and match files of the file commands: the data directory, the folder the dialogs
// start in, automatic names, reading a file of either kind and the automatic saves. No widgets.
class FileCommands final {
public:
    FileCommands();
    ~FileCommands();
    FileCommands(const FileCommands&) = delete;
    FileCommands& operator=(const FileCommands&) = delete;

    // The clock of the automatic names and of the files' "Date" lines; nullptr: the local time.
    void SetClock(SeriesFileIo::Clock clock);
    const SeriesFileIo& Io() const { return io_; }
    // The clock's time now: the date a file written now carries.
    FileDate Now() const { return clock_(); }

    // Makes the folder (an existing one counts). True: it is the data directory. False (an empty
    // path, or one that cannot be made, which is logged): automatic names and the dialogs use
    // PerUserDataDirectory() instead.
    bool PrepareDataDirectory(const QString& path);
    const QString& DataDirectory() const { return dataDirectory_; }
    // Where automatic names point: the data directory, or the per-user folder without one.
    QString SaveFolder() const;

    // The folder the open and save dialogs start in: the save folder (made when needed) until a
    // file has been chosen or opened, then that file's folder. The delete dialog always starts in
    // the save folder (StartFolder(false)).
    QString StartFolder(bool followChoice = true) const;
    void ChoseFile(const QString& path);

    // "<folder>/<safe target name>-<stamp>.ZAS" (".ZAM" for a match) in the save folder; when a
    // file of that name exists (a second save within the same second), "-2", "-3", ... is added
    // before the extension. at: the time the name carries (nullptr: the clock's now).
    QString AutomaticFileName(const QString& targetName, bool match, const FileDate* at = nullptr) const;

    struct SaveOutcome {
        bool ok = false;
        QString path;         // the file written; empty on failure
        QString error;        // the reason of a failure
        bool noRoom = false;  // the failure: no room on the disk
    };
    // Writes the record to path and reads the file back: ok only when it holds every shot and
    // every trace point of the record. A write that fails leaves no file and the file that was at
    // path as it was; a file that reads back otherwise is removed. A failure is logged with its
    // reason. Every series and match file is saved through these two.
    SaveOutcome SaveSeries(const SeriesRecord& record, const QString& path, const FileDate* at = nullptr) const;
    SaveOutcome SaveMatch(const MatchRecord& record, const QString& path, const FileDate* at = nullptr) const;

    // Saves the record under an automatic name in the save folder (made when needed). at: the time
    // of the name and of the file's date (nullptr: now), for a series recovered after an
    // interruption; such a series that a file of its name already holds whole (written at an
    // earlier start whose recovery did not finish) is not written again: that file is the outcome.
    SaveOutcome AutoSaveSeries(const SeriesRecord& record, const QString& targetName, const FileDate* at = nullptr);
    SaveOutcome AutoSaveMatch(const MatchRecord& record, const QString& targetName, const FileDate* at = nullptr);

    enum class Kind { Failed, Series, Match };
    // Reads the file as a match (extension .zam in any case) or a series into OpenedSeries() or
    // OpenedMatch(). Failed when it cannot be read (logged by the reader).
    Kind Read(const QString& path);
    const SeriesRecord& OpenedSeries() const { return *series_; }
    const MatchRecord& OpenedMatch() const { return *match_; }

private:
    bool MakeSaveFolder(QString& error) const;
    template <typename Record>
    SaveOutcome Save(const Record& record, const QString& path, const FileDate* at) const;
    template <typename Record>
    SaveOutcome AutoSave(const Record& record, const QString& targetName, const FileDate* at);

    SeriesFileIo io_;
    SeriesFileIo::Clock clock_;
    QString dataDirectory_;
    QString chosenFolder_;
    std::unique_ptr<SeriesRecord> series_;
    std::unique_ptr<MatchRecord> match_;
};

}  // namespace zark
