#include "storage/filecommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <type_traits>

#include "diag/diagnostics.h"

namespace zark {
namespace {

constexpr int kMaxNamePart = 100;  // characters of a target name in an automatic file name
constexpr int kMaxSameSecond = 1000;

std::string Entry(std::string_view name, std::string_view patterns) {
    std::string text(name);
    text += '|';
    text += patterns;
    text += '|';
    return text;
}

// A text field of a file up to its end, without the line ends a file written elsewhere leaves.
std::string_view FieldText(const char* field, std::size_t size) {
    std::string_view text(field, strnlen(field, size));
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
    return text;
}

bool IsShotCount(int n) { return n >= 1 && n <= kMaxShots; }

}  // namespace

std::string OpenFilter(std::string_view serie, std::string_view match, std::string_view all) {
    std::string both(serie);
    both += ", ";
    both += match;
    both += " (*.zas, *.zam)";
    return Entry(both, "*.zas;*.zam") + SeriesSaveFilter(serie) + MatchSaveFilter(match) + Entry(all, "*.*");
}

std::string SeriesSaveFilter(std::string_view serie) { return Entry(std::string(serie) + " (*.zas)", "*.zas"); }

std::string MatchSaveFilter(std::string_view match) { return Entry(std::string(match) + " (*.zam)", "*.zam"); }

QStringList QtNameFilters(std::string_view filter) {
    const QStringList parts = QString::fromUtf8(filter.data(), qsizetype(filter.size())).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i].trimmed();
        // The name shows its patterns in parentheses; Qt reads them from there, space-separated.
        if (const qsizetype open = name.lastIndexOf(QLatin1Char('(')); open > 0 && name.endsWith(QLatin1Char(')')))
            name = name.left(open).trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        if (name.isEmpty() || patterns.isEmpty()) continue;
        filters << name + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

QString PerUserDataDirectory() {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("ZARK"));
}

QString SafeFileNamePart(const QString& name) {
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    QString safe;
    safe.reserve(name.size());
    for (const QChar c : name) safe += (c.unicode() < 0x20 || c.unicode() == 0x7F || refused.contains(c)) ? QChar('_') : c;
    if (safe.size() > kMaxNamePart) {
        qsizetype cut = kMaxNamePart;
        if (safe[cut - 1].isHighSurrogate()) --cut;  // never half a character
        safe.truncate(cut);
    }
    while (!safe.isEmpty() && (safe.back() == QLatin1Char('.') || safe.back() == QLatin1Char(' '))) safe.chop(1);
    while (!safe.isEmpty() && safe.front() == QLatin1Char('.')) safe.remove(0, 1);
    return safe.isEmpty() ? QStringLiteral("ZARK") : safe;
}

QString FileStamp(const FileDate& date) {
    return QString::asprintf("%04d%02d%02d-%02d%02d%02d", date.year, date.month, date.day, date.hour, date.minute,
                             date.second);
}

int ShotsOfOpenedSeries(const SeriesRecord& record, int previous) {
    if (IsShotCount(record.numberOfShots)) return record.numberOfShots;
    if (IsShotCount(record.store.shotCount)) return record.store.shotCount;
    return previous;
}

void ProgrammeOfOpenedMatch(const MatchRecord& record, MatchProgramme& programme) {
    programme = MatchProgramme{};
    const FileProgramme& file = record.programme;
    CopyProgrammeText(programme.title, FieldText(file.title, sizeof file.title));
    const int count = std::clamp(file.seriesCount, 0, std::min(kMaxMatchEntries, kMaxProgrammeEntries));
    int stored = 0;  // the stored series of the next scored entry
    for (int k = 0; k < count; ++k) {
        const FileProgrammeEntry& from = file.entries[k];
        MatchEntry& to = programme.entries[k];
        CopyProgrammeText(to.subtitle, FieldText(from.subtitle, sizeof from.subtitle));
        to.sighters = from.sighters != 0 ? 1 : 0;
        int shots = from.shots;
        if (!IsShotCount(shots) && !to.sighters && stored < kMaxMatchSeries &&
            IsShotCount(record.series[stored].shotCount))
            shots = record.series[stored].shotCount;
        to.shots = std::clamp(shots, 1, int(kMaxShots));
        if (!to.sighters) ++stored;
    }
    programme.seriesCount = count;
}

void FileProgrammeOf(const MatchProgramme& programme, FileProgramme& file) {
    file = FileProgramme{};
    const auto copy = [](char (&to)[kFileTitleSize], const char* from, std::size_t size) {
        const std::size_t n = std::min(strnlen(from, size), sizeof to - 1);
        std::memcpy(to, from, n);
    };
    copy(file.title, programme.title, sizeof programme.title);
    file.seriesCount = std::clamp(programme.seriesCount, 0, std::min(kMaxMatchEntries, kMaxProgrammeEntries));
    for (int k = 0; k < file.seriesCount; ++k) {
        copy(file.entries[k].subtitle, programme.entries[k].subtitle, sizeof programme.entries[k].subtitle);
        file.entries[k].sighters = programme.entries[k].sighters;
        file.entries[k].shots = programme.entries[k].shots;
    }
}

std::vector<RegistryKey> FileTypeRegistryKeys(std::string_view programPath, std::string_view serie,
                                              std::string_view match) {
    const std::string program(programPath);
    const std::string command = program + " \"%1\"";
    const std::string classes = "SOFTWARE\\Classes\\";
    return {
        {classes + ".zas", true, "ZARK.Serie"},
        {classes + "ZARK.Serie", true, std::string(serie)},
        {classes + ".zam", true, "ZARK.Match"},
        {classes + "ZARK.Match", true, std::string(match)},
        {classes + "ZARK.Serie\\shell", false, {}},
        {classes + "ZARK.Serie\\shell\\open", false, {}},
        {classes + "ZARK.Serie\\shell\\open\\command", true, command},
        {classes + "ZARK.Serie\\DefaultIcon", true, program + ",1"},
        {classes + "ZARK.Match\\shell", false, {}},
        {classes + "ZARK.Match\\shell\\open", false, {}},
        {classes + "ZARK.Match\\shell\\open\\command", true, command},
        {classes + "ZARK.Match\\DefaultIcon", true, program + ",2"},
    };
}

FileCommands::FileCommands()
    : clock_(&LocalFileDate), series_(std::make_unique<SeriesRecord>()), match_(std::make_unique<MatchRecord>()) {
    series_->Clear();
    match_->Clear();
}

FileCommands::~FileCommands() = default;

void FileCommands::SetClock(SeriesFileIo::Clock clock) {
    clock_ = clock ? clock : &LocalFileDate;
    io_.SetClock(clock);
}

bool FileCommands::PrepareDataDirectory(const QString& path) {
    dataDirectory_.clear();
    if (path.isEmpty()) return false;
    errno = 0;
    if (!QDir().mkpath(path) || !QFileInfo(path).isDir()) {
        ReportError(errno, "cannot create the data directory '%s'", qPrintable(path));
        return false;
    }
    dataDirectory_ = path;
    return true;
}

QString FileCommands::SaveFolder() const {
    return dataDirectory_.isEmpty() ? PerUserDataDirectory() : dataDirectory_;
}

bool FileCommands::MakeSaveFolder(QString& error) const {
    const QString folder = SaveFolder();
    errno = 0;
    if (QDir().mkpath(folder) && QFileInfo(folder).isDir()) return true;
    if (QFileInfo::exists(folder) && !QFileInfo(folder).isDir())
        error = folder + QStringLiteral(": not a folder");
    else
        error = folder + QStringLiteral(": ") + QString::fromStdString(SystemErrorText(errno ? errno : ENOENT));
    return false;
}

QString FileCommands::StartFolder(bool followChoice) const {
    if (followChoice && !chosenFolder_.isEmpty() && QFileInfo(chosenFolder_).isDir()) return chosenFolder_;
    QString error;
    return MakeSaveFolder(error) ? SaveFolder() : QDir::homePath();
}

void FileCommands::ChoseFile(const QString& path) {
    if (!path.isEmpty()) chosenFolder_ = QFileInfo(path).absolutePath();
}

QString FileCommands::AutomaticFileName(const QString& targetName, bool match, const FileDate* at) const {
    const QDir folder(SaveFolder());
    const QString base = SafeFileNamePart(targetName) + QLatin1Char('-') + FileStamp(at ? *at : clock_());
    const QString extension = match ? QStringLiteral(".ZAM") : QStringLiteral(".ZAS");
    QString path = folder.filePath(base + extension);
    for (int n = 2; n <= kMaxSameSecond && QFileInfo::exists(path); ++n)
        path = folder.filePath(base + QLatin1Char('-') + QString::number(n) + extension);
    return path;
}

namespace {

template <typename Record>
constexpr bool kIsMatch = std::is_same_v<Record, MatchRecord>;

// The shots (position and side) and the trace points of an image, as far as a file keeps them.
bool SameShotsAndTrace(const TraceImage& a, const TraceImage& b) {
    const std::int32_t shots = std::clamp(a.shotCount, 0, kMaxShots);
    const std::int32_t samples = std::clamp(a.sampleCount, 0, kMaxSamples);
    if (shots != b.shotCount || samples != b.sampleCount) return false;
    for (std::int32_t k = 0; k < shots; ++k)
        if (a.shots[k].x != b.shots[k].x || a.shots[k].y != b.shots[k].y || (a.shots[k].side != 0) != (b.shots[k].side != 0))
            return false;
    return std::equal(a.samples, a.samples + samples, b.samples,
                      [](const AimSample& p, const AimSample& q) { return p.x == q.x && p.y == q.y; });
}

bool Holds(const SeriesRecord& written, const SeriesRecord& read) {
    return written.targetId == read.targetId && (written.sighters != 0) == (read.sighters != 0) &&
           SameShotsAndTrace(written.store, read.store);
}

bool Holds(const MatchRecord& written, const MatchRecord& read) {
    if (written.targetId != read.targetId) return false;
    for (int j = 0; j < kMaxMatchSeries; ++j)
        if (!SameShotsAndTrace(written.series[j], read.series[j])) return false;
    return true;
}

// The file at path holds every shot and point of the record.
template <typename Record>
bool FileHolds(const SeriesFileIo& io, const Record& record, const QString& path) {
    auto read = std::make_unique<Record>();
    bool ok = false;
    if constexpr (kIsMatch<Record>)
        ok = io.ReadMatch(path, *read);
    else
        ok = io.ReadSeries(path, *read);
    return ok && Holds(record, *read);
}

}  // namespace

template <typename Record>
FileCommands::SaveOutcome FileCommands::Save(const Record& record, const QString& path, const FileDate* at) const {
    SaveOutcome outcome;
    bool written = false;
    if constexpr (kIsMatch<Record>)
        written = io_.WriteMatch(record, path, &outcome.error, at, &outcome.noRoom);
    else
        written = io_.WriteSeries(record, path, &outcome.error, at, &outcome.noRoom);
    if (written && !FileHolds(io_, record, path)) {
        written = false;
        outcome.error = path + QStringLiteral(": the file written does not read back whole");
        QFile::remove(path);
    }
    if (written) outcome.path = path;
    outcome.ok = written;
    if (!outcome.ok) LogLine("Cannot save %s: %s\n", qPrintable(path), qPrintable(outcome.error));
    return outcome;
}

FileCommands::SaveOutcome FileCommands::SaveSeries(const SeriesRecord& record, const QString& path,
                                                   const FileDate* at) const {
    return Save(record, path, at);
}

FileCommands::SaveOutcome FileCommands::SaveMatch(const MatchRecord& record, const QString& path,
                                                  const FileDate* at) const {
    return Save(record, path, at);
}

template <typename Record>
FileCommands::SaveOutcome FileCommands::AutoSave(const Record& record, const QString& targetName, const FileDate* at) {
    constexpr bool match = kIsMatch<Record>;
    SaveOutcome outcome;
    if (!MakeSaveFolder(outcome.error)) {
        LogLine("The automatic save failed: %s\n", qPrintable(outcome.error));
        return outcome;
    }
    if (at) {
        // A recovered series a file of its name holds already (from an earlier start that wrote
        // it and could not finish) is that file.
        const QDir folder(SaveFolder());
        const QString base = SafeFileNamePart(targetName) + QLatin1Char('-') + FileStamp(*at);
        const QString extension = match ? QStringLiteral(".ZAM") : QStringLiteral(".ZAS");
        QString path = folder.filePath(base + extension);
        for (int n = 2; n <= kMaxSameSecond && QFileInfo::exists(path); ++n) {
            if (FileHolds(io_, record, path)) {
                outcome.ok = true;
                outcome.path = path;
                return outcome;
            }
            path = folder.filePath(base + QLatin1Char('-') + QString::number(n) + extension);
        }
    }
    const QString path = AutomaticFileName(targetName, match, at);
    if (QFileInfo::exists(path)) {
        outcome.error = QStringLiteral("too many files of this name: ") + path;
        LogLine("The automatic save failed: %s\n", qPrintable(outcome.error));
        return outcome;
    }
    outcome = Save(record, path, at);
    if (!outcome.ok) LogLine("The automatic save failed: %s\n", qPrintable(outcome.error));
    return outcome;
}

FileCommands::SaveOutcome FileCommands::AutoSaveSeries(const SeriesRecord& record, const QString& targetName,
                                                       const FileDate* at) {
    return AutoSave(record, targetName, at);
}

FileCommands::SaveOutcome FileCommands::AutoSaveMatch(const MatchRecord& record, const QString& targetName,
                                                      const FileDate* at) {
    return AutoSave(record, targetName, at);
}

FileCommands::Kind FileCommands::Read(const QString& path) {
    if (IsMatchFileName(path)) return io_.ReadMatch(path, *match_) ? Kind::Match : Kind::Failed;
    return io_.ReadSeries(path, *series_) ? Kind::Series : Kind::Failed;
}

}  // namespace zark
