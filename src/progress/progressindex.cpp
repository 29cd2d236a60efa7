#include "progress/progressindex.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QTimeZone>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "progress/seriessummary.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

// Marks an index as ZARK's ("ZARK" in ASCII) and the layout of its tables: any other pair is a
// foreign index and is made afresh. The version also names the scoring rule the totals and
// shares were worked out with: an index of another rule is made afresh, every file scored again.
constexpr int kApplicationId = 0x5A41524B;
constexpr int kSchemaVersion = 1 + 1000 * kScoringRule;
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

QVariant Figure(bool present, double value) { return present ? QVariant(value) : QVariant(QMetaType(QMetaType::Double)); }

// Every series and match file under folder (not in hidden folders), as the scan compares them.
// The size and modification time come from one stat of the file, the time as milliseconds since
// the epoch without any time zone: QFileInfo's dates are local times, and each of them costs a
// look at the system's zone.
std::vector<FoundFile> FindFiles(const QString& folder) {
    std::vector<FoundFile> found;
    const QString prefix = QDir(folder).absolutePath() + QLatin1Char('/');
    // (the names are compared here: name filters match a regular expression per file)
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.endsWith(QLatin1String(".zas"), Qt::CaseInsensitive) &&
            !path.endsWith(QLatin1String(".zam"), Qt::CaseInsensitive))
            continue;
        const QString file = path.startsWith(prefix) ? path.mid(prefix.size()) : QDir(folder).relativeFilePath(path);
#ifdef Q_OS_UNIX
        struct stat status;
        if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
            found.push_back({file, qint64(status.st_size),
                             qint64(status.st_mtim.tv_sec) * 1000 + qint64(status.st_mtim.tv_nsec) / 1000000});
            continue;
        }
#endif
        const QFileInfo info(path);
        found.push_back({file, info.size(), info.lastModified().toMSecsSinceEpoch()});
    }
    return found;
}

// "yyyy-MM-dd HH:mm:ss" as the index keeps it, read field by field, as a time of the zone (the
// system's, read once: a local time made one by one would look at the system's zone each time).
QDateTime ParseDate(const QString& text, const QTimeZone& zone) {
    if (text.size() != 19) return {};
    const auto field = [&text](int at, int width) {
        int value = 0;
        for (int i = at; i < at + width; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9') return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    const QDate date(field(0, 4), field(5, 2), field(8, 2));
    const QTime time(field(11, 2), field(14, 2), field(17, 2));
    if (!date.isValid() || !time.isValid()) return {};
    return zone.isValid() ? QDateTime(date, time, zone) : QDateTime(date, time);
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
           q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS series(path TEXT NOT NULL, number INTEGER NOT NULL, "
                                 "date TEXT NOT NULL, face_id INTEGER NOT NULL, shots INTEGER NOT NULL, total REAL NOT NULL, "
                                 "in_top REAL, in_next REAL, trace_mm REAL, release_mm REAL, aiming_s REAL, "
                                 "extreme_spread_mm REAL, mean_radius_mm REAL, PRIMARY KEY(path, number))")) &&
           q.exec(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId)) &&
           q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion)) && db_.commit();
}

namespace {

// 1: the index is ZARK's and of this layout; 0: an empty database; -1: corrupt or foreign.
int IndexState(const QSqlDatabase& db) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA application_id")) || !q.next()) return -1;
    const int application = q.value(0).toInt();
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) return -1;
    const int version = q.value(0).toInt();
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next()) return -1;
    const int tables = q.value(0).toInt();
    if (application == 0 && version == 0 && tables == 0) return 0;
    if (application != kApplicationId || version != kSchemaVersion) return -1;
    // a quick look that the tables can be read; a damaged page shows here
    if (!q.exec(QStringLiteral("SELECT count(*) FROM files")) || !q.exec(QStringLiteral("SELECT count(*) FROM series")))
        return -1;
    if (!q.exec(QStringLiteral("PRAGMA quick_check")) || !q.next() || q.value(0).toString() != QLatin1String("ok"))
        return -1;
    return 1;
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
        const int state = IndexState(db_);
        // a write is tried too, so that a read-only index falls back to memory
        QSqlQuery probe(db_);
        const bool writable = state >= 0 && probe.exec(QStringLiteral("BEGIN IMMEDIATE")) &&
                              probe.exec(QStringLiteral("ROLLBACK"));
        if (state == 1 && writable) return true;
        if (state == 0 && writable && CreateTables()) return true;
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
    QHash<QString, KnownFile> known;
    {
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        if (q.exec(QStringLiteral("SELECT path, size, mtime, reason FROM files")))
            while (q.next()) known.insert(q.value(0).toString(), {q.value(1).toLongLong(), q.value(2).toLongLong(), q.value(3).toString()});
    }
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

    // Reading is the cost: the files are read on several threads, each into rows of its own.
    std::vector<ReadResult> results(toRead.size());
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stopped{false};
    std::mutex progressLock;
    int done = 0;
    const QDir root(folder_);
    const auto work = [&] {
        for (std::size_t i = next++; i < toRead.size() && !stopped; i = next++) {
            ReadResult& result = results[i];
            result.ok = SummariseFile(root.filePath(toRead[i]->file), toRead[i]->file, catalogue_, result.rows, result.reason);
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
    if (toRead.empty() && known.isEmpty()) return report;  // nothing to write

    // One transaction: a crash leaves the index as the last scan left it.
    db_.transaction();
    QSqlQuery removeFile(db_), removeSeries(db_), putFile(db_), putSeries(db_);
    removeFile.prepare(QStringLiteral("DELETE FROM files WHERE path = ?"));
    removeSeries.prepare(QStringLiteral("DELETE FROM series WHERE path = ?"));
    putFile.prepare(QStringLiteral("INSERT OR REPLACE INTO files(path, size, mtime, reason) VALUES (?, ?, ?, ?)"));
    putSeries.prepare(QStringLiteral(
        "INSERT OR REPLACE INTO series(path, number, date, face_id, shots, total, in_top, in_next, trace_mm, "
        "release_mm, aiming_s, extreme_spread_mm, mean_radius_mm) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    QString failure;
    const auto run = [&failure](QSqlQuery& q) {
        if (!q.exec() && failure.isEmpty()) failure = q.lastError().text();
    };
    const auto remove = [&](const QString& file) {
        for (QSqlQuery* q : {&removeFile, &removeSeries}) {
            q->bindValue(0, file);
            run(*q);
        }
    };
    for (auto it = known.cbegin(); it != known.cend(); ++it) remove(it.key());
    for (std::size_t i = 0; i < toRead.size(); ++i) {
        const FoundFile& file = *toRead[i];
        remove(file.file);
        putFile.bindValue(0, file.file);
        putFile.bindValue(1, file.size);
        putFile.bindValue(2, file.mtime);
        putFile.bindValue(3, results[i].ok ? QVariant(QMetaType(QMetaType::QString)) : QVariant(results[i].reason));
        run(putFile);
        for (const ProgressRow& row : results[i].rows) {
            const QVariant values[] = {row.file, row.series, DateText(row.date), row.faceId, row.shots, row.total,
                                       Figure(row.hasHold, row.inTopPct), Figure(row.hasHold, row.inNextPct),
                                       Figure(row.hasHold, row.traceMm), Figure(row.hasHold, row.releaseMm),
                                       Figure(row.hasHold, row.aimingSeconds), Figure(row.hasGroup, row.extremeSpreadMm),
                                       Figure(row.hasGroup, row.meanRadiusMm)};
            for (int v = 0; v < int(std::size(values)); ++v) putSeries.bindValue(v, values[v]);
            run(putSeries);
        }
    }
    if (failure.isEmpty() && !db_.commit()) failure = db_.lastError().text();
    if (!failure.isEmpty()) {
        // The index keeps the last scan's rows, which are no longer the folder's: none are given
        // until a scan writes it.
        report.error = QStringLiteral("cannot write the index: %1").arg(failure);
        report.writeFailed = true;
        db_.rollback();
    }
    current_ = failure.isEmpty();
    return report;
}

std::vector<ProgressRow> ProgressIndex::Rows() const {
    std::vector<ProgressRow> rows;
    if (!current_ || !db_.isValid() || !db_.isOpen()) return rows;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    const QTimeZone zone = QTimeZone::systemTimeZone();
    if (!q.exec(QStringLiteral("SELECT path, number, date, face_id, shots, total, in_top, in_next, trace_mm, release_mm, "
                               "aiming_s, extreme_spread_mm, mean_radius_mm FROM series ORDER BY date, path, number")))
        return rows;
    while (q.next()) {
        ProgressRow row;
        row.file = q.value(0).toString();
        row.series = q.value(1).toInt();
        row.date = ParseDate(q.value(2).toString(), zone);
        row.faceId = q.value(3).toInt();
        row.shots = q.value(4).toInt();
        row.total = q.value(5).toDouble();
        row.hasHold = !q.value(6).isNull();
        if (row.hasHold) {
            row.inTopPct = q.value(6).toDouble();
            row.inNextPct = q.value(7).toDouble();
            row.traceMm = q.value(8).toDouble();
            row.releaseMm = q.value(9).toDouble();
            row.aimingSeconds = q.value(10).toDouble();
        }
        row.hasGroup = !q.value(11).isNull();
        if (row.hasGroup) {
            row.extremeSpreadMm = q.value(11).toDouble();
            row.meanRadiusMm = q.value(12).toDouble();
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace zark
