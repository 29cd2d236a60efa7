#include "storage/seriesjournal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <tuple>
#include <vector>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

#include "diag/diagnostics.h"
#include "storage/checkedfile.h"
#include "storage/filecommands.h"

namespace zark {
namespace {

using namespace std::string_view_literals;

constexpr std::string_view kMagic = "ZARK journal 1"sv;
const char* const kJournalPattern = "*.journal";

// ---------------------------------------------------------------------------------------------
// Writing the lines

void Number(std::string& text, std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, std::size_t(end - digits));
}

// A text value stays on its line.
void TextValue(std::string& text, std::string_view value) {
    for (const char c : value) text += (c == '\n' || c == '\r') ? ' ' : c;
}

// A key and comma-separated numbers, the line left open.
void NumbersLine(std::string& text, std::string_view key, std::initializer_list<std::int32_t> values) {
    text += key;
    for (const std::int32_t value : values) {
        if (text.back() != ' ') text += ',';
        Number(text, value);
    }
}

void Stamp(std::string& text, const FileDate& at) { text += FileStamp(at).toLatin1().constData(); }

// Where the lines of a series stand: the points and shots written, and the points on the open P line.
struct LineState {
    std::int32_t samples = 0;
    std::int32_t shots = 0;
    int openPoints = 0;
    bool drill = false;  // the D line of a timed series is written
};

void CloseLine(std::string& text, LineState& state) {
    if (state.openPoints == 0) return;
    text += '\n';
    state.openPoints = 0;
}

// Appends the points up to end; chunkFull is told each time a P line has a second of points.
template <typename ChunkFull>
void PointsUpTo(std::string& text, LineState& state, const TraceImage& image, std::int32_t end, ChunkFull chunkFull) {
    end = std::min(end, std::clamp(image.sampleCount, 0, kMaxSamples));
    for (; state.samples < end; ++state.samples) {
        const AimSample& point = image.samples[state.samples];
        text += state.openPoints == 0 ? "P "sv : " "sv;
        Number(text, point.x);
        text += ',';
        Number(text, point.y);
        if (++state.openPoints == SeriesJournal::kPointsPerChunk) {
            CloseLine(text, state);
            chunkFull();
        }
    }
}

// Appends what the image recorded beyond state, in recording order: a shot with its own trace
// point follows the points before that point (the shot appends it again when read back); a fired
// shot without one was recorded on a full trace, after every point; an unfired shot has no point.
// shotWritten is told after each shot line, chunkFull after each full P line.
template <typename ShotWritten, typename ChunkFull>
void FollowImage(std::string& text, LineState& state, const TraceImage& image, const FileDate& at,
                 ShotWritten shotWritten, ChunkFull chunkFull) {
    const std::int32_t shots = std::clamp(image.shotCount, 0, kMaxShots);
    const std::int32_t samples = std::clamp(image.sampleCount, 0, kMaxSamples);
    if (image.timed && !state.drill) {
        CloseLine(text, state);
        const TimedDrill& d = image.drill;
        NumbersLine(text, "D "sv, {d.prepMs, d.windowMs, d.pauseMs, d.shotsPerWindow, d.windows, d.randomStart});
        text += '\n';
        state.drill = true;
    }
    for (; state.shots < shots; ++state.shots) {
        const ShotRecord& shot = image.shots[state.shots];
        const bool fired = shot.x != 0 || shot.y != 0;
        const bool traced = fired && shot.traceIndex >= state.samples && shot.traceIndex < samples;
        if (traced)
            PointsUpTo(text, state, image, shot.traceIndex, chunkFull);
        else if (fired)
            PointsUpTo(text, state, image, samples, chunkFull);
        CloseLine(text, state);
        NumbersLine(text, "S "sv, {shot.x, shot.y, shot.side});
        text += ',';
        Stamp(text, at);
        text += '\n';
        if (image.timed) {
            const TimedShot& timing = image.timing[state.shots];
            NumbersLine(text, "T "sv, {timing.window, timing.timeMs, timing.late});
            text += '\n';
        }
        if (traced) state.samples = shot.traceIndex + 1;
        shotWritten();
    }
    PointsUpTo(text, state, image, samples, chunkFull);
}

// ---------------------------------------------------------------------------------------------
// Reading the lines

bool ParseInt(std::string_view& rest, std::int32_t& value) {
    const char* end = rest.data() + rest.size();
    const auto result = std::from_chars(rest.data(), end, value);
    if (result.ec != std::errc()) return false;
    rest.remove_prefix(std::size_t(result.ptr - rest.data()));
    return true;
}

bool Skip(std::string_view& rest, char c) {
    if (rest.empty() || rest.front() != c) return false;
    rest.remove_prefix(1);
    return true;
}

bool ParseCoordinate(std::string_view& rest, std::int32_t& value) {
    return ParseInt(rest, value) && value >= -32768 && value <= 32767;
}

// "YYYYmmdd-HHMMSS", as FileStamp writes it.
bool ParseStamp(std::string_view text, FileDate& date) {
    if (text.size() != 15 || text[8] != '-') return false;
    const auto field = [&](std::size_t at, std::size_t width, std::int16_t& to) {
        std::int32_t value = 0;
        const auto result = std::from_chars(text.data() + at, text.data() + at + width, value);
        if (result.ec != std::errc() || result.ptr != text.data() + at + width) return false;
        to = std::int16_t(value);
        return true;
    };
    FileDate read;
    if (!field(0, 4, read.year) || !field(4, 2, read.month) || !field(6, 2, read.day) || !field(9, 2, read.hour) ||
        !field(11, 2, read.minute) || !field(13, 2, read.second))
        return false;
    date = read;
    return true;
}

bool Later(const FileDate& a, const FileDate& b) {
    const auto key = [](const FileDate& d) {
        return std::tuple(d.year, d.month, d.day, d.hour, d.minute, d.second);
    };
    return key(a) > key(b);
}

// Reads one journal line into the series being read back; false when the line cannot be read.
class JournalReader final {
public:
    explicit JournalReader(JournalContent& content) : content_(content), replay_(std::make_unique<TraceStore>()) {}

    bool Line(std::string_view line) {
        const std::size_t space = line.find(' ');
        const std::string_view key = line.substr(0, space);
        std::string_view rest = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        JournalHeader& header = content_.header;
        if (key == "P") return Points(rest);
        if (key == "S") return Shot(rest);
        if (key == "T") return Timing(rest);
        if (key == "D") return Drill(rest);
        if (line == kMagic) return true;
        if (key == "Target") return ParseInt(rest, header.targetId) && rest.empty() && (content_.hasHeader = true);
        if (key == "Name") {
            header.targetName = std::string(rest);
            return true;
        }
        if (key == "Series")
            return ParseInt(rest, header.seriesShots) && Skip(rest, ' ') && ParseInt(rest, header.sighters) &&
                   Skip(rest, ' ') && ParseInt(rest, header.isDouble) && rest.empty();
        if (key == "Started") return ParseStamp(rest, header.started);
        if (key == "Match") {
            header.match = true;
            CopyProgrammeText(header.programme.title, rest);
            return true;
        }
        if (key == "Entry") {
            std::int32_t sighters = 0, shots = 0;
            if (!ParseInt(rest, sighters) || !Skip(rest, ' ') || !ParseInt(rest, shots)) return false;
            Skip(rest, ' ');
            return AppendMatchEntry(header.programme, sighters != 0, std::clamp(shots, 1, int(kMaxShots)), rest);
        }
        if (key == "Current") return ParseInt(rest, header.currentEntry) && rest.empty();
        if (key == "Stored") {
            std::int32_t j = -1;
            if (!ParseInt(rest, j) || j < 0 || j >= kMaxShots) return false;
            Switch(&content_.stored[j]);
            return true;
        }
        if (key == "Live") {
            Switch(&content_.live);
            return true;
        }
        return false;
    }

    void End() { Switch(nullptr); }

private:
    void Switch(TraceImage* next) {
        if (series_) {
            *series_ = replay_->Image();
            series_->ClampTiming();
        }
        replay_->Clear();
        series_ = next;
    }

    bool Points(std::string_view rest) {
        if (!series_) return false;
        while (!rest.empty()) {
            std::int32_t x, y;
            if (!ParseCoordinate(rest, x) || !Skip(rest, ',') || !ParseCoordinate(rest, y)) return false;
            replay_->AppendSample(x, y);
            if (!rest.empty() && !Skip(rest, ' ')) return false;
        }
        return true;
    }

    bool Shot(std::string_view rest) {
        std::int32_t x, y, side;
        FileDate at;
        if (!series_ || !ParseCoordinate(rest, x) || !Skip(rest, ',') || !ParseCoordinate(rest, y) ||
            !Skip(rest, ',') || !ParseInt(rest, side) || !Skip(rest, ',') || !ParseStamp(rest, at))
            return false;
        replay_->AppendShot(x, y, side != 0 ? 1 : 0);
        if (Later(at, content_.lastShot)) content_.lastShot = at;
        return true;
    }

    // Comma-separated numbers that fill values exactly.
    static bool Numbers(std::string_view rest, std::int32_t* values, int count) {
        for (int i = 0; i < count; ++i)
            if (!ParseInt(rest, values[i]) || (i + 1 < count && !Skip(rest, ','))) return false;
        return rest.empty();
    }

    // "D prep,window,pause,shotsPerWindow,windows,randomStart": the series is timed to this drill.
    bool Drill(std::string_view rest) {
        std::int32_t v[6];
        if (!series_ || !Numbers(rest, v, 6)) return false;
        replay_->StartTiming(TimedDrill{v[0], v[1], v[2], v[3], v[4], v[5]});
        return true;
    }

    // "T window,timeMs,late": the standing of the shot read last.
    bool Timing(std::string_view rest) {
        std::int32_t v[3];
        if (!series_ || !replay_->Timed() || replay_->ShotCount() == 0 || !Numbers(rest, v, 3)) return false;
        replay_->SetShotTiming(replay_->ShotCount() - 1, TimedShot{v[0], v[1], v[2]});
        return true;
    }

    JournalContent& content_;
    std::unique_ptr<TraceStore> replay_;
    TraceImage* series_ = nullptr;
};

void SyncToDisk(QFile& file) {
#ifdef Q_OS_WIN
    _commit(file.handle());
#else
    ::fsync(file.handle());
#endif
}

QString UniqueJournalPath(const QString& folder) {
    const QString base = QDir(folder).filePath(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                                               QLatin1Char('-') + QString::number(QCoreApplication::applicationPid()));
    QString path = base + QStringLiteral(".journal");
    for (int n = 2; QFileInfo::exists(path) || QFileInfo::exists(path + QStringLiteral(".lock")); ++n)
        path = base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".journal");
    return path;
}

}  // namespace

bool HasFiredShot(const TraceImage& image) {
    for (std::int32_t k = 0; k < std::clamp(image.shotCount, 0, kMaxShots); ++k)
        if (image.shots[k].x != 0 || image.shots[k].y != 0) return true;
    return false;
}

QString JournalFolder(const QString& saveFolder) { return QDir(saveFolder).filePath(QStringLiteral(".recovery")); }

JournalContent::JournalContent() : stored(std::make_unique<TraceImage[]>(kMaxShots)) {
    live.Clear();
    for (int j = 0; j < kMaxShots; ++j) stored[j].Clear();
}

JournalContent::~JournalContent() = default;

bool JournalContent::LiveHasFiredShot() const { return HasFiredShot(live); }

bool JournalContent::StoredHasFiredShot() const {
    for (int j = 0; j < kMaxShots; ++j)
        if (HasFiredShot(stored[j])) return true;
    return false;
}

void ReadJournalText(const std::string& text, JournalContent& content) {
    JournalReader reader(content);
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            ++content.droppedLines;  // cut in the middle: its numbers may be cut too
            break;
        }
        if (!reader.Line(std::string_view(text).substr(begin, end - begin))) ++content.droppedLines;
        begin = end + 1;
    }
    reader.End();
}

void AppendImageLines(std::string& text, const TraceImage& image, const FileDate& at) {
    LineState state;
    FollowImage(text, state, image, at, [] {}, [] {});
    CloseLine(text, state);
}

std::string JournalHeaderText(const JournalHeader& header, const TraceImage* stored, int storedCount) {
    std::string text(kMagic);
    const auto line = [&text](std::string_view key, std::initializer_list<std::int64_t> values, std::string_view value = {}) {
        text += '\n';
        text += key;
        for (const std::int64_t v : values) {
            text += ' ';
            Number(text, v);
        }
        if (!value.empty()) {
            text += ' ';
            TextValue(text, value);
        }
    };
    const auto field = [](const char* chars, std::size_t size) { return std::string_view(chars, strnlen(chars, size)); };
    line("Target", {header.targetId});
    line("Name", {}, header.targetName);
    line("Series", {header.seriesShots, header.sighters, header.isDouble});
    line("Started", {}, FileStamp(header.started).toStdString());
    if (header.match) {
        const MatchProgramme& programme = header.programme;
        line("Match", {}, field(programme.title, sizeof programme.title));
        for (int e = 0; e < std::clamp(programme.seriesCount, 0, kMaxMatchEntries); ++e) {
            const MatchEntry& entry = programme.entries[e];
            line("Entry", {entry.sighters, entry.shots}, field(entry.subtitle, sizeof entry.subtitle));
        }
        line("Current", {header.currentEntry});
        text += '\n';
        for (int j = 0; stored && j < std::min(storedCount, int(kMaxShots)); ++j) {
            if (stored[j].shotCount <= 0 && stored[j].sampleCount <= 0) continue;
            text += "Stored ";
            Number(text, j);
            text += '\n';
            AppendImageLines(text, stored[j], header.started);
        }
        text += "Live\n";
        return text;
    }
    text += "\nLive\n";
    return text;
}

// ---------------------------------------------------------------------------------------------
// The journal of this run

struct SeriesJournal::Start {
    JournalHeader header;
    std::vector<TraceImage> stored;
    TraceImage live;
};

// The writer thread's own: the file and its lock, made on the first Begin.
struct SeriesJournal::Writer {
    QFile file;
    std::unique_ptr<QLockFile> lock;
    bool writable = false;  // the latest Begin succeeded: appends go to the file
};

SeriesJournal::SeriesJournal(const QString& folder)
    : folder_(folder), path_(UniqueJournalPath(folder)), writer_(std::make_unique<Writer>()) {
    pending_.reserve(1024);
    thread_ = std::thread([this] { Run(); });
}

SeriesJournal::~SeriesJournal() {
    Flush();
    Hand(Job::Quit, {});
    thread_.join();
}

void SeriesJournal::Hand(Job::Kind kind, std::string text, std::shared_ptr<const Start> start) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(Job{kind, std::move(text), std::move(start)});
    }
    wake_.notify_one();
}

void SeriesJournal::Begin(const JournalHeader& header, const TraceImage* stored, int storedCount,
                          const TraceImage& live) {
    pending_.clear();
    pendingPoints_ = 0;
    auto start = std::make_shared<Start>();
    start->header = header;
    if (stored && storedCount > 0) start->stored.assign(stored, stored + std::min(storedCount, int(kMaxShots)));
    start->live = live;
    samples_ = std::clamp(live.sampleCount, 0, kMaxSamples);
    shots_ = std::clamp(live.shotCount, 0, kMaxShots);
    drill_ = live.timed != 0;
    open_ = true;
    Hand(Job::Begin, {}, std::move(start));
}

void SeriesJournal::Follow(const TraceImage& live, const FileDate& at) {
    if (!open_) return;
    LineState state{samples_, shots_, pendingPoints_, drill_};
    // a shot and a full second of trace go to the writer at once
    const auto handPending = [this] {
        Hand(Job::Append, std::move(pending_));
        pending_ = std::string();
        pending_.reserve(1024);
    };
    FollowImage(pending_, state, live, at, handPending, handPending);
    samples_ = state.samples;
    shots_ = state.shots;
    pendingPoints_ = state.openPoints;
    drill_ = state.drill;
}

void SeriesJournal::Flush() {
    if (!open_) return;
    if (pendingPoints_ > 0) {
        pending_ += '\n';
        pendingPoints_ = 0;
    }
    if (pending_.empty()) return;
    Hand(Job::Append, std::move(pending_));
    pending_ = std::string();
    pending_.reserve(1024);
}

void SeriesJournal::Discard() {
    pending_.clear();
    pendingPoints_ = 0;
    samples_ = shots_ = 0;
    drill_ = false;
    if (!open_) return;
    open_ = false;
    Hand(Job::Remove, {});
}

QString SeriesJournal::TakeFailure() {
    std::lock_guard lock(mutex_);
    failed_.store(false, std::memory_order_relaxed);
    return std::exchange(failure_, QString());
}

void SeriesJournal::WaitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void SeriesJournal::Fail(const QString& reason) {
    LogLine("The journal %s cannot be written: %s\n", qPrintable(path_), qPrintable(reason));
    std::lock_guard lock(mutex_);
    failure_ = reason;
    failed_.store(true, std::memory_order_relaxed);
}

void SeriesJournal::Run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            busy_ = false;
            idle_.notify_all();
            wake_.wait(lock, [this] { return !jobs_.empty(); });
            job = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
        }
        if (!Write(job)) break;
    }
    writer_->file.close();
    writer_->lock.reset();  // unlocked: a later start may recover what the file holds
    std::lock_guard lock(mutex_);
    busy_ = false;
    idle_.notify_all();
}

// On the writer thread. False after Quit.
bool SeriesJournal::Write(Job& job) {
    Writer& w = *writer_;
    switch (job.kind) {
        case Job::Begin: {
            w.file.close();
            w.writable = false;
            errno = 0;
            if (!QDir().mkpath(folder_)) {
                Fail(folder_ + QStringLiteral(": ") + QString::fromStdString(SystemErrorText(errno ? errno : EACCES)));
                return true;
            }
            if (!w.lock) {
                auto lock = std::make_unique<QLockFile>(path_ + QStringLiteral(".lock"));
                lock->setStaleLockTime(0);
                if (!lock->tryLock(0)) {
                    Fail(path_ + QStringLiteral(".lock: cannot be made"));
                    return true;
                }
                w.lock = std::move(lock);
            }
            const Start& begun = *job.start;
            std::string text = JournalHeaderText(begun.header, begun.stored.data(), int(begun.stored.size()));
            AppendImageLines(text, begun.live, begun.header.started);
            // The new start replaces the old journal only once it is on the disk whole.
            QString error;
            if (!WriteWholeFile(path_, text, &error)) {
                Fail(error);
                return true;
            }
            w.file.setFileName(path_);
            if (!w.file.open(QIODevice::WriteOnly | QIODevice::Append)) {
                Fail(w.file.errorString());
                return true;
            }
            w.writable = true;
            return true;
        }
        case Job::Append:
            if (!w.writable) return true;
            if (w.file.write(job.text.data(), qint64(job.text.size())) != qint64(job.text.size()) || !w.file.flush()) {
                Fail(w.file.errorString());
                w.writable = false;
                return true;
            }
            SyncToDisk(w.file);
            return true;
        case Job::Remove:
            w.file.close();
            w.writable = false;
            QFile::remove(path_);
            if (w.lock) w.lock->unlock();
            w.lock.reset();
            return true;
        case Job::Quit:
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Recovery

namespace {

QString KeepAsBroken(const QString& path) {
    QString broken = path + QStringLiteral(".broken");
    for (int n = 2; QFileInfo::exists(broken); ++n) broken = path + QLatin1Char('-') + QString::number(n) + QStringLiteral(".broken");
    return QFile::rename(path, broken) ? broken : path;
}

// Writes what the journal holds; false (with the reason) when a file could not be written or does
// not read back whole. A match file written at an earlier start whose sighters file failed is
// found again under its name and not written twice.
bool WriteRecovered(const JournalContent& content, FileCommands& files, const QString& sightersName,
                    RecoveryOutcome& outcome) {
    const JournalHeader& header = content.header;
    const QString name = QString::fromStdString(header.targetName);
    FileDate at = content.lastShot;
    if (at == FileDate{}) at = header.started;
    if (at == FileDate{}) at = LocalFileDate();
    const auto note = [&outcome](const FileCommands::SaveOutcome& saved) {
        if (saved.ok) {
            outcome.files << saved.path;
        } else {
            outcome.errors << saved.error;
            outcome.noRoom = outcome.noRoom || saved.noRoom;
        }
        return saved.ok;
    };
    const int liveIndex = header.match ? StoredSeriesIndex(header.programme, header.currentEntry) : -1;
    if (header.match && (content.StoredHasFiredShot() || (liveIndex >= 0 && content.LiveHasFiredShot()))) {
        auto match = std::make_unique<MatchRecord>();
        match->Clear();
        match->targetId = header.targetId;
        FileProgrammeOf(header.programme, match->programme);
        for (int j = 0; j < kMaxMatchSeries; ++j) match->series[j] = content.stored[j];
        if (liveIndex >= 0 && liveIndex < kMaxMatchSeries) match->series[liveIndex] = content.live;
        if (!note(files.AutoSaveMatch(*match, name, &at))) return false;
    }
    // A series, or the sighters a match was at (a match file keeps no sighters). Sighters stay
    // sighters: the file says so in its header and its name, and keeps their number of shots.
    if (liveIndex < 0 && content.LiveHasFiredShot()) {
        auto series = std::make_unique<SeriesRecord>();
        series->Clear();
        series->targetId = header.targetId;
        series->store = content.live;
        series->numberOfShots = content.live.shotCount;
        series->sighters = header.match || header.sighters ? 1 : 0;
        if (series->sighters && header.seriesShots >= 1 && header.seriesShots <= kMaxShots)
            series->numberOfShots = header.seriesShots;
        const QString seriesName = series->sighters ? name + QLatin1Char(' ') + sightersName : name;
        if (!note(files.AutoSaveSeries(*series, seriesName, &at))) return false;
    }
    return true;
}

}  // namespace

RecoveryOutcome RecoverJournals(const QString& folder, FileCommands& files, const QString& sightersName) {
    RecoveryOutcome outcome;
    const QDir dir(folder);
    const QStringList names = dir.entryList({QString::fromLatin1(kJournalPattern)}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        QLockFile lock(path + QStringLiteral(".lock"));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0)) {
            // another ZARK is writing it; a lock that cannot be made at all keeps the journal
            if (lock.error() != QLockFile::LockFailedError) {
                outcome.errors << path + QStringLiteral(".lock: cannot be made");
                outcome.kept << path;
            }
            continue;
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            outcome.errors << path + QStringLiteral(": ") + file.errorString();
            continue;
        }
        const QByteArray bytes = file.readAll();
        file.close();
        auto content = std::make_unique<JournalContent>();
        ReadJournalText(bytes.toStdString(), *content);
        const bool whole = content->droppedLines == 0 && (content->hasHeader || bytes.isEmpty());
        if (content->droppedLines > 0)
            LogLine("The journal %s: %d line(s) could not be read and are left out\n", qPrintable(path),
                    content->droppedLines);
        if (content->hasHeader && !WriteRecovered(*content, files, sightersName, outcome)) {
            LogLine("The journal %s could not be recovered: %s; it is kept and tried again at the next start\n",
                    qPrintable(path), qPrintable(outcome.errors.value(outcome.errors.size() - 1)));
            outcome.kept << path;
            continue;
        }
        if (whole) {
            QFile::remove(path);
        } else {
            const QString kept = KeepAsBroken(path);
            outcome.broken << kept;
            LogLine("The journal is kept as %s\n", qPrintable(kept));
        }
    }
    for (const QString& file : outcome.files) LogLine("An interrupted series was recovered into %s\n", qPrintable(file));
    return outcome;
}

}  // namespace zark
