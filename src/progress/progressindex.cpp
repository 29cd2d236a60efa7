#include "progress/progressindex.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <sqlite3.h>
#include <thread>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "progress/seriessummary.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

// Marks an index as ZARK's ("ZARK" in ASCII) and the layout of its tables: any other pair is a
// foreign index and is made afresh. The version also names the scoring rule the totals and
// shares were worked out with: an index of another rule is made afresh, every file scored again.
constexpr int kApplicationId = 0x5A41524B;
// layout 3: the series kept in the order they are shown (date, file, number)
constexpr int kSchemaVersion = 3 + 1000 * kScoringRule;
constexpr const char* kDateFormat = "yyyy-MM-dd HH:mm:ss";

std::atomic<int> connectionCount{0};

struct KnownFile {
    qint64 size = 0;
    qint64 mtime = 0;
    QString reason;  // empty: the file was read
};

struct FoundFile {
    QString file;  // relative, with "/"
    qint64 size = 0;
    qint64 mtime = 0;
};

struct ReadResult {
    std::vector<ProgressRow> rows;
    QString reason;
    bool ok = false;
};

// "" for a file without a date (a null string would be stored as NULL).
QString DateText(const QDateTime& date) { return date.isValid() ? date.toString(QLatin1String(kDateFormat)) : QStringLiteral(""); }

bool IsSeriesFileName(const char* name, std::size_t length) {
    if (length < 4) return false;
    const char* end = name + length - 4;
    return end[0] == '.' && (end[1] | 0x20) == 'z' && (end[2] | 0x20) == 'a' &&
           ((end[3] | 0x20) == 's' || (end[3] | 0x20) == 'm');
}

#ifdef Q_OS_UNIX
// The files of one folder and its sub-folders (not hidden ones, none behind a link to a folder),
// read with one stat of each series file: the size and the modification time as milliseconds
// since the epoch, without any time zone (QFileInfo's dates are local times, each a look at the
// system's zone). relative is the folder's path from the scanned one, with "/" at its end.
void FindFilesIn(int handle, const QByteArray& relative, std::vector<FoundFile>& found) {
    DIR* dir = ::fdopendir(handle);
    if (!dir) {
        ::close(handle);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.') continue;  // hidden, or the folder itself and the one above
        const std::size_t length = std::strlen(name);
        const int at = ::dirfd(dir);
        struct stat status;
        bool folder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN)  // a file system that does not say: a look at the entry itself
            folder = ::fstatat(at, name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
        if (folder) {
            const int sub = ::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub >= 0) FindFilesIn(sub, relative + QByteArray(name, qsizetype(length)) + '/', found);
            continue;
        }
        // a file, or a link to one
        if (!IsSeriesFileName(name, length) || ::fstatat(at, name, &status, 0) != 0 || !S_ISREG(status.st_mode))
            continue;
        // (file names are UTF-8 to Qt on Unix: what QFile::decodeName would give)
        found.push_back({QString::fromUtf8(relative + QByteArray(name, qsizetype(length))), qint64(status.st_size),
                         qint64(status.st_mtim.tv_sec) * 1000 + qint64(status.st_mtim.tv_nsec) / 1000000});
    }
    ::closedir(dir);
}
#endif

// Every series and match file under folder (not in hidden folders), as the scan compares them.
std::vector<FoundFile> FindFiles(const QString& folder) {
    std::vector<FoundFile> found;
#ifdef Q_OS_UNIX
    const int root = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root >= 0) FindFilesIn(root, QByteArray(), found);
#else
    const QString prefix = QDir(folder).absolutePath() + QLatin1Char('/');
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = it.fileName();
        const QByteArray ascii = name.right(4).toLatin1();
        if (!IsSeriesFileName(ascii.constData(), std::size_t(ascii.size()))) continue;
        const QFileInfo info = it.fileInfo();
        found.push_back({path.startsWith(prefix) ? path.mid(prefix.size()) : QDir(folder).relativeFilePath(path),
                         info.size(), info.lastModified().toMSecsSinceEpoch()});
    }
#endif
    return found;
}

// "yyyy-MM-dd HH:mm:ss" as the index keeps it (UTF-8), read field by field into the date as the
// file wrote it (see ProgressRow::date).
QDateTime ParseDate(const unsigned char* text, int length) {
    if (!text || length != 19) return {};
    const auto field = [text](int at, int width) {
        int value = 0;
        for (int i = at; i < at + width; ++i) {
            if (text[i] < '0' || text[i] > '9') return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const QDate date(field(0, 4), field(5, 2), field(8, 2));
    const QTime time(field(11, 2), field(14, 2), field(17, 2));
    if (!date.isValid() || !time.isValid()) return {};
    return QDateTime(date, time, Qt::UTC);
}

// The SQLite connection under the index's Qt one: the index's rows are read with it, without a
// QVariant per cell.
sqlite3* Handle(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

Statement Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (!db || sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    return Statement(statement);
}

QString TextColumn(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(statement, column)) : QString();
}

}  // namespace

ProgressIndex::ProgressIndex(const QString& folder, const TargetCatalogue& catalogue)
    : folder_(folder.isEmpty() ? folder : QDir(folder).absolutePath()),
      catalogue_(catalogue),
      connection_(QStringLiteral("zark-progress-%1").arg(connectionCount.fetch_add(1))),
      readers_(std::max(1, QThread::idealThreadCount())) {}

ProgressIndex::~ProgressIndex() {
    if (db_.isValid()) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection_);
    }
}

QString ProgressIndex::IndexPath() const { return QDir(folder_).filePath(QLatin1String(kProgressIndexName)); }

bool ProgressIndex::CreateTables() {
    QSqlQuery q(db_);
    return db_.transaction() &&
           q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS files(path TEXT PRIMARY KEY, size INTEGER NOT NULL, "
                                 "mtime INTEGER NOT NULL, reason TEXT)")) &&
           // kept in the order Rows() gives them, so that reading them back sorts nothing
           q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS series(path TEXT NOT NULL, number INTEGER NOT NULL, "
                                 "date TEXT NOT NULL, face_id INTEGER NOT NULL, shots INTEGER NOT NULL, total REAL NOT NULL, "
                                 "in_top REAL, in_next REAL, trace_mm REAL, release_mm REAL, aiming_s REAL, "
                                 "extreme_spread_mm REAL, mean_radius_mm REAL, luck REAL, call_error_mm REAL, "
                                 "PRIMARY KEY(date, path, number), UNIQUE(path, number)) WITHOUT ROWID")) &&
           // the file change counter the index had when a scan last left it checked (see Sealed)
           q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS checked(counter INTEGER NOT NULL)")) &&
           q.exec(QStringLiteral("INSERT INTO checked(counter) VALUES (-1)")) &&
           q.exec(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId)) &&
           q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion)) && db_.commit();
}

namespace {

bool Exec(sqlite3* db, const char* sql) { return db && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

// The first column of the statement's first row.
bool Scalar(sqlite3* db, const char* sql, qint64& value) {
    const Statement q = Prepare(db, sql);
    if (!q || sqlite3_step(q.get()) != SQLITE_ROW) return false;
    value = sqlite3_column_int64(q.get(), 0);
    return true;
}

// SQLite's own check of every page of the index.
bool QuickCheck(sqlite3* db) {
    const Statement q = Prepare(db, "PRAGMA quick_check");
    return q && sqlite3_step(q.get()) == SQLITE_ROW && TextColumn(q.get(), 0) == QLatin1String("ok");
}

// The last error says that the index file is damaged.
bool Damaged(sqlite3* db) {
    const int code = db ? sqlite3_errcode(db) & 0xff : SQLITE_ERROR;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

// The file change counter of SQLite's header: every transaction that writes the file moves it on
// by one. Read from the file itself, while the connection holds a lock on it.
bool ChangeCounter(sqlite3* db, qint64& counter) {
    sqlite3_file* file = nullptr;
    if (!db || sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        return false;
    unsigned char bytes[4];
    if (file->pMethods->xRead(file, bytes, 4, 24) != SQLITE_OK) return false;
    counter = qint64(bytes[0]) << 24 | qint64(bytes[1]) << 16 | qint64(bytes[2]) << 8 | qint64(bytes[3]);
    return true;
}

// Sealed: nothing has written the index since a scan of ours left it checked (whole with
// quick_check, or made or written by us after that), so it need not be checked whole again.
// Anything else that writes it through SQLite (or a crash whose journal was rolled back) moves
// the change counter away from the one kept; damage from outside SQLite shows as an error when
// the scan reads the pages it uses, and makes the index afresh.
bool Sealed(sqlite3* db) {
    qint64 kept = -1, counter = -2;
    const bool sealed = Exec(db, "BEGIN") && Scalar(db, "SELECT counter FROM checked", kept) &&
                        ChangeCounter(db, counter) && kept == counter;
    Exec(db, "COMMIT");
    return sealed;
}

// In a write transaction (taken with BEGIN IMMEDIATE, so no one else writes until it ends): keeps
// the change counter the commit will give the file, for Sealed to compare.
bool Seal(sqlite3* db) {
    qint64 counter = 0;
    if (!ChangeCounter(db, counter)) return false;
    const Statement q = Prepare(db, "UPDATE checked SET counter = ?");
    return q && sqlite3_bind_int64(q.get(), 1, (counter + 1) & 0xffffffff) == SQLITE_OK &&
           sqlite3_step(q.get()) == SQLITE_DONE;
}

// 1: the index is ZARK's and of this layout, sealed or checked; 0: an empty database; -1: damaged
// or foreign.
int IndexState(sqlite3* db, bool mayTrustSeal, bool& sealed) {
    sealed = false;
    qint64 application = 0, version = 0, tables = 0;
    if (!Scalar(db, "PRAGMA application_id", application) || !Scalar(db, "PRAGMA user_version", version) ||
        !Scalar(db, "SELECT count(*) FROM sqlite_master", tables))
        return -1;
    if (application == 0 && version == 0 && tables == 0) return 0;
    if (application != kApplicationId || version != kSchemaVersion) return -1;
    sealed = mayTrustSeal && Sealed(db);
    return sealed || QuickCheck(db) ? 1 : -1;
}

bool ReadRows(sqlite3* db, std::vector<ProgressRow>& rows) {
    rows.clear();
    // in the order of the table's key: by date, then file, then series
    const Statement q = Prepare(db,
                                "SELECT path, number, date, face_id, shots, total, in_top, in_next, trace_mm, release_mm, "
                                "aiming_s, extreme_spread_mm, mean_radius_mm, luck, call_error_mm FROM series "
                                "ORDER BY date, path, number");
    if (!q) return false;
    sqlite3_stmt* row = q.get();
    const auto present = [row](int column) { return sqlite3_column_type(row, column) != SQLITE_NULL; };
    const auto figure = [row](int column) { return sqlite3_column_double(row, column); };
    int step;
    while ((step = sqlite3_step(row)) == SQLITE_ROW) {
        ProgressRow& r = rows.emplace_back();
        r.file = TextColumn(row, 0);
        r.series = sqlite3_column_int(row, 1);
        r.date = ParseDate(sqlite3_column_text(row, 2), sqlite3_column_bytes(row, 2));
        r.faceId = sqlite3_column_int(row, 3);
        r.shots = sqlite3_column_int(row, 4);
        r.total = figure(5);
        r.hasHold = present(6);
        if (r.hasHold) {
            r.inTopPct = figure(6);
            r.inNextPct = figure(7);
            r.traceMm = figure(8);
            r.releaseMm = figure(9);
            r.aimingSeconds = figure(10);
        }
        r.hasGroup = present(11);
        if (r.hasGroup) {
            r.extremeSpreadMm = figure(11);
            r.meanRadiusMm = figure(12);
        }
        r.hasLuck = present(13);
        r.luck = figure(13);
        r.hasCalls = present(14);
        r.callErrorMm = figure(14);
    }
    if (step == SQLITE_DONE) return true;
    rows.clear();  // a part of the rows would pass for all of them
    return false;
}

}  // namespace

bool ProgressIndex::Open(ScanReport& report) {
    if (db_.isValid() && db_.isOpen()) return true;
    if (!db_.isValid()) db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    if (!db_.isValid()) return false;
    const QString path = IndexPath();
    for (int attempt = 0; attempt < 2; ++attempt) {
        db_.setDatabaseName(path);
        if (!db_.open()) break;
        sqlite3* handle = Handle(db_);
        const int state = IndexState(handle, !distrusted_, sealed_);
        // a write is tried too, so that a read-only index falls back to memory
        const bool writable = state >= 0 && Exec(handle, "BEGIN IMMEDIATE") && Exec(handle, "ROLLBACK");
        if (state == 1 && writable) return true;
        if (state == 0 && writable && CreateTables()) return true;
        sealed_ = false;
        db_.close();
        if (state >= 0) break;  // readable but not writable: the folder or file is read-only
        // corrupt or foreign: it is only a cache
        report.rebuilt = QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        if (!report.rebuilt) break;
    }
    db_.setDatabaseName(QStringLiteral(":memory:"));
    report.inMemory = true;
    return db_.open() && CreateTables();
}

ScanReport ProgressIndex::Scan(const Progress& progress) {
    ScanReport report;
    const QFileInfo folder(folder_);
    if (!folder.isDir() || !folder.isReadable() || !QDir(folder_).isReadable()) {
        report.error = QStringLiteral("cannot read the folder '%1'").arg(folder_);
        return report;
    }
    if (!Open(report)) {
        report.error = QStringLiteral("cannot make an index: %1").arg(db_.lastError().text());
        return report;
    }
    sqlite3* handle = Handle(db_);
    rows_.reset();
    QHash<QString, KnownFile> known;
    bool damaged = false;
    {
        const Statement q = Prepare(handle, "SELECT path, size, mtime, reason FROM files");
        int step = q ? SQLITE_ROW : SQLITE_ERROR;
        while (q && (step = sqlite3_step(q.get())) == SQLITE_ROW)
            known.insert(TextColumn(q.get(), 0), {sqlite3_column_int64(q.get(), 1), sqlite3_column_int64(q.get(), 2),
                                                  TextColumn(q.get(), 3)});
        if (step != SQLITE_DONE) {
            damaged = Damaged(handle);
            report.error = QStringLiteral("cannot read the index: %1").arg(QString::fromUtf8(sqlite3_errmsg(handle)));
        }
    }
    if (damaged && !distrusted_) return ScanAfresh(progress);
    if (!report.error.isEmpty()) return report;
    const std::vector<FoundFile> found = FindFiles(folder_);
    report.files = int(found.size());
    std::vector<const FoundFile*> toRead;
    for (const FoundFile& file : found) {
        const auto it = known.find(file.file);
        if (it != known.end() && it->size == file.size && it->mtime == file.mtime) {
            ++report.unchanged;
            if (!it->reason.isEmpty()) report.skipped.push_back({file.file, it->reason});
        } else {
            toRead.push_back(&file);
        }
        if (it != known.end()) known.erase(it);
    }
    report.removed = int(known.size());  // what is left was not found
    const bool writes = !toRead.empty() || !known.isEmpty();
    // a sealed index is checked whole before it is written, and read whole when it is not
    if (sealed_ && writes && !QuickCheck(handle)) return ScanAfresh(progress);
    if (sealed_ && !writes && !ReadRows(handle, rows_.emplace())) {
        rows_.reset();
        if (Damaged(handle)) return ScanAfresh(progress);
    }

    // Reading is the cost: the files are read on several threads, each into rows of its own.
    std::vector<ReadResult> results(toRead.size());
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stopped{false};
    std::mutex progressLock;
    int done = 0;
    const QDir root(folder_);
    const auto work = [&] {
        FileSummariser summariser;
        for (std::size_t i = next++; i < toRead.size() && !stopped; i = next++) {
            ReadResult& result = results[i];
            result.ok = summariser.Summarise(root.filePath(toRead[i]->file), toRead[i]->file, catalogue_, result.rows,
                                             result.reason);
            if (!result.ok) result.reason.replace(root.filePath(toRead[i]->file), toRead[i]->file);
            const std::lock_guard lock(progressLock);
            ++done;
            if (progress && !progress(done, int(toRead.size()))) stopped = true;
        }
    };
    {
        std::vector<std::jthread> threads;
        const std::size_t extra = std::min<std::size_t>(std::size_t(readers_), toRead.size());
        for (std::size_t t = 1; t < extra; ++t) threads.emplace_back(work);
        work();
    }
    if (stopped) {
        report.error = QStringLiteral("the scan was stopped");
        return report;
    }
    for (std::size_t i = 0; i < toRead.size(); ++i)
        if (!results[i].ok) report.skipped.push_back({toRead[i]->file, results[i].reason});
    std::sort(report.skipped.begin(), report.skipped.end(),
              [](const SkippedFile& a, const SkippedFile& b) { return a.file < b.file; });
    report.read = int(toRead.size());
    report.ok = true;
    if (!writes) {
        // nothing to write; a checked index is sealed, so that the next scan need not check it
        if (!sealed_ && !report.inMemory && Exec(handle, "BEGIN IMMEDIATE"))
            Exec(handle, Seal(handle) ? "COMMIT" : "ROLLBACK");
        return report;
    }

    // One transaction: a crash leaves the index as the last scan left it. The seal is kept first,
    // while the file is as the last commit left it.
    QString failure;  // (and damaged, when what failed met a damaged index)
    const auto fail = [&failure, &damaged, handle] {
        failure = QString::fromUtf8(sqlite3_errmsg(handle));
        damaged = Damaged(handle);
    };
    if (!Exec(handle, "BEGIN IMMEDIATE") || (!report.inMemory && !Seal(handle))) fail();
    {  // (the statements end before the transaction does)
        const Statement removeFile = Prepare(handle, "DELETE FROM files WHERE path = ?");
        const Statement removeSeries = Prepare(handle, "DELETE FROM series WHERE path = ?");
        const Statement putFile = Prepare(handle, "INSERT OR REPLACE INTO files(path, size, mtime, reason) VALUES (?, ?, ?, ?)");
        const Statement putSeries =
            Prepare(handle,
                    "INSERT OR REPLACE INTO series(path, number, date, face_id, shots, total, in_top, in_next, trace_mm, "
                    "release_mm, aiming_s, extreme_spread_mm, mean_radius_mm, luck, call_error_mm) "
                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        if (failure.isEmpty() && (!removeFile || !removeSeries || !putFile || !putSeries)) fail();
        // each statement run once with what was bound to it, then made ready for the next
        const auto run = [&failure, &fail](const Statement& q) {
            if (failure.isEmpty() && sqlite3_step(q.get()) != SQLITE_DONE) fail();
            sqlite3_reset(q.get());
        };
        const auto text = [](const Statement& q, int column, const QString& value) {
            const QByteArray utf8 = value.toUtf8();
            sqlite3_bind_text(q.get(), column, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        };
        const auto figure = [](const Statement& q, int column, bool present, double value) {
            if (present) sqlite3_bind_double(q.get(), column, value);
            else sqlite3_bind_null(q.get(), column);
        };
        const auto remove = [&](const QString& file) {
            for (const Statement* q : {&removeFile, &removeSeries}) {
                text(*q, 1, file);
                run(*q);
            }
        };
        for (auto it = known.cbegin(); failure.isEmpty() && it != known.cend(); ++it) remove(it.key());
        for (std::size_t i = 0; failure.isEmpty() && i < toRead.size(); ++i) {
            const FoundFile& file = *toRead[i];
            remove(file.file);
            text(putFile, 1, file.file);
            sqlite3_bind_int64(putFile.get(), 2, file.size);
            sqlite3_bind_int64(putFile.get(), 3, file.mtime);
            if (results[i].ok) sqlite3_bind_null(putFile.get(), 4);
            else text(putFile, 4, results[i].reason);
            run(putFile);
            for (const ProgressRow& row : results[i].rows) {
                text(putSeries, 1, row.file);
                sqlite3_bind_int(putSeries.get(), 2, row.series);
                text(putSeries, 3, DateText(row.date));
                sqlite3_bind_int(putSeries.get(), 4, row.faceId);
                sqlite3_bind_int(putSeries.get(), 5, row.shots);
                sqlite3_bind_double(putSeries.get(), 6, row.total);
                figure(putSeries, 7, row.hasHold, row.inTopPct);
                figure(putSeries, 8, row.hasHold, row.inNextPct);
                figure(putSeries, 9, row.hasHold, row.traceMm);
                figure(putSeries, 10, row.hasHold, row.releaseMm);
                figure(putSeries, 11, row.hasHold, row.aimingSeconds);
                figure(putSeries, 12, row.hasGroup, row.extremeSpreadMm);
                figure(putSeries, 13, row.hasGroup, row.meanRadiusMm);
                figure(putSeries, 14, row.hasLuck, row.luck);
                figure(putSeries, 15, row.hasCalls, row.callErrorMm);
                run(putSeries);
            }
        }
    }
    if (failure.isEmpty() && !Exec(handle, "COMMIT")) fail();
    if (damaged && !distrusted_) {
        Exec(handle, "ROLLBACK");
        return ScanAfresh(progress);
    }
    if (!failure.isEmpty()) {
        // The index keeps the last scan's rows, which are no longer the folder's: none are given
        // until a scan writes it.
        report.error = QStringLiteral("cannot write the index: %1").arg(failure);
        report.writeFailed = true;
        Exec(handle, "ROLLBACK");
    }
    current_ = failure.isEmpty();
    return report;
}

std::vector<ProgressRow> ProgressIndex::Rows() const {
    std::vector<ProgressRow> rows;
    if (!current_ || !db_.isValid() || !db_.isOpen()) return rows;
    if (rows_) return *rows_;  // read by the scan
    ReadRows(Handle(db_), rows);
    return rows;
}

ScanReport ProgressIndex::ScanAfresh(const Progress& progress) {
    // Damaged: it is only a cache. Made anew, and never trusted unchecked again by this object.
    db_.close();
    sealed_ = false;
    rows_.reset();
    const bool removed = QFile::remove(IndexPath());
    QFile::remove(IndexPath() + QStringLiteral("-journal"));
    distrusted_ = true;
    ScanReport report = Scan(progress);
    report.rebuilt = report.rebuilt || removed;
    return report;
}

}  // namespace zark
