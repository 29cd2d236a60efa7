#include "storage/seriesfileio.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

#include "diag/diagnostics.h"
#include "storage/checkedfile.h"

namespace zark {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kHeader = "Header"sv;
constexpr std::string_view kMatch = "Match"sv;
constexpr std::string_view kShots = "Shots"sv;
constexpr std::string_view kSerie = "Serie"sv;
// A series shot against the clock: its drill and one line per shot "window,timeMs,late". Readers
// that do not know the section skip it, as they skip any section they do not know.
constexpr std::string_view kTiming = "Timing"sv;

// ---------------------------------------------------------------------------------------------
// Writing

// Collects the text and hands it to the file in blocks; without a file it keeps all of it.
class TextOut final {
public:
    explicit TextOut(CheckedFile* file) : file_(file) {
        if (file_) text_.reserve(kBlock + 1024);
    }

    void Section(std::string_view name) {
        if (sections_++ > 0) text_ += '\n';
        text_ += '[';
        text_ += name;
        text_ += "]\n";
    }
    void Text(std::string_view key, std::string_view value) {
        text_ += key;
        text_ += '=';
        text_ += value;
        text_ += '\n';
    }
    void Decimal(std::string_view key, std::int64_t value) {
        text_ += key;
        text_ += '=';
        Number(value);
        text_ += '\n';
    }
    void Hex(std::string_view key, std::uint32_t value) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%08X", unsigned(value));
        Text(key, digits);
    }
    void Shot(const ShotRecord& shot, std::int32_t traceIndex) {
        Number(shot.x);
        text_ += ',';
        Number(shot.y);
        text_ += ',';
        Number(traceIndex);
        text_ += shot.side == 0 ? ",L\n" : ",R\n";
        Pass();
    }
    // "key=a,b,c" (or "a,b,c" without key).
    void Numbers(std::string_view key, std::initializer_list<std::int32_t> values) {
        if (!key.empty()) {
            text_ += key;
            text_ += '=';
        }
        const char* separator = "";
        for (std::int32_t value : values) {
            text_ += separator;
            Number(value);
            separator = ",";
        }
        text_ += '\n';
    }
    void Point(const AimSample& point) {
        Number(point.x);
        text_ += ',';
        Number(point.y);
        text_ += '\n';
        Pass();
    }

    // Hands the rest to the file; false when any block could not be written.
    bool Finish() {
        Flush();
        return !file_ || !file_->Failed();
    }
    std::string Take() { return std::move(text_); }

private:
    static constexpr std::size_t kBlock = 64 * 1024;

    // Numbers in the C form whatever the locale: to_chars knows no grouping and no other digits.
    void Number(std::int64_t value) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        text_.append(digits, std::size_t(end - digits));
    }
    void Pass() {
        if (file_ && text_.size() >= kBlock) Flush();
    }
    void Flush() {
        if (!file_) return;
        file_->Write(text_);
        text_.clear();
    }

    CheckedFile* file_;
    std::string text_;
    int sections_ = 0;
};

std::string DateText(const FileDate& date) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", date.year, date.month, date.day, date.hour,
                  date.minute, date.second);
    return text;
}

// A value written after "key=" must stay on its line: it ends at the first line break.
std::string_view LineValue(const char* text, std::size_t size) {
    std::string_view value(text, strnlen(text, size));
    return value.substr(0, std::min(value.find('\n'), value.find('\r')));
}

std::string FileLineOf(const QString& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath())).toStdString();
}

// The "File" value with control characters (which a file name may hold on some systems) shown as
// "?", so that the name cannot break the line structure.
std::string PrintablePath(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return text;
}

void WriteHeader(TextOut& out, const std::string& fileLine, const FileDate& date, std::int32_t targetId,
                 const std::int32_t* numberOfShots, bool sighters = false) {
    out.Section(kHeader);
    out.Text("File", PrintablePath(fileLine));
    out.Text("Date", DateText(date));
    out.Decimal("TargetID", targetId);
    if (numberOfShots) out.Decimal("NumberOfShots", *numberOfShots);
    out.Hex("Flags", 0);
    if (sighters) out.Decimal("Sighters", 1);
}

// The Shots and Serie sections of one trace image. Counts beyond the image's arrays are not
// trusted; a shot without a point of its own in the trace is written with NoTraceInFiles.
void WriteImage(TextOut& out, const TraceImage& image) {
    const std::int32_t samples = std::clamp(image.sampleCount, 0, kMaxSamples);
    const std::int32_t shots = std::clamp(image.shotCount, 0, kMaxShots);
    out.Section(kShots);
    for (std::int32_t i = 0; i < shots; ++i) {
        const ShotRecord& shot = image.shots[i];
        const bool traced = shot.traceIndex >= 0 && shot.traceIndex < samples && (shot.x != 0 || shot.y != 0);
        out.Shot(shot, traced ? shot.traceIndex : NoTraceInFiles);
    }
    out.Section(kSerie);
    for (std::int32_t i = 0; i < samples; ++i) out.Point(image.samples[i]);
    if (!image.timed) return;
    out.Section(kTiming);
    const TimedDrill& d = image.drill;
    out.Numbers("Drill", {d.prepMs, d.windowMs, d.pauseMs, d.shotsPerWindow, d.windows, d.randomStart});
    for (std::int32_t i = 0; i < shots; ++i)
        out.Numbers({}, {image.timing[i].window, image.timing[i].timeMs, image.timing[i].late});
}

void WriteSeriesText(TextOut& out, const SeriesRecord& record, const std::string& fileLine, const FileDate& date) {
    WriteHeader(out, fileLine, date, record.targetId, &record.numberOfShots, record.sighters != 0);
    WriteImage(out, record.store);
}

void WriteMatchText(TextOut& out, const MatchRecord& record, const std::string& fileLine, const FileDate& date) {
    WriteHeader(out, fileLine, date, record.targetId, nullptr);
    const FileProgramme& programme = record.programme;
    const std::int32_t count = std::clamp(programme.seriesCount, 0, kMaxProgrammeEntries);
    out.Section(kMatch);
    out.Text("Title", LineValue(programme.title, sizeof programme.title));
    out.Decimal("NumberOfSeries", count);
    for (std::int32_t k = 0; k < count; ++k) {
        const FileProgrammeEntry& entry = programme.entries[k];
        out.Text("SubTitle", LineValue(entry.subtitle, sizeof entry.subtitle));
        out.Decimal("Sighters", entry.sighters);
        out.Decimal("NumberOfShots", entry.shots);
    }
    for (std::int32_t k = 0; k < count; ++k) WriteImage(out, record.series[k]);
}

template <typename Produce>
bool WriteFileAtomically(const QString& path, Produce produce, QString* error, bool* noRoom) {
    CheckedFile file(path);
    bool ok = file.Open();
    if (ok) {
        TextOut out(&file);
        produce(out);
        ok = out.Finish() && file.Commit();
    }
    if (!ok && error) *error = file.Error();
    if (noRoom) *noRoom = !ok && file.NoRoom();
    return ok;
}

// ---------------------------------------------------------------------------------------------
// Reading

// Gives the lines of a device as the file format knows them: each line holds at most 511
// characters including its line feed, so a longer line comes as several lines, and a line ends
// for the parsers at a zero byte. One fixed buffer, whatever the size of the file.
class LineReader final {
public:
    static constexpr std::size_t kMaxLine = 511;

    explicit LineReader(QIODevice& device) : device_(device), buffer_(kBufferSize) {}

    // The next line with its line feed, if it has one; false at the end or after a read error.
    bool Next(std::string_view& line) {
        if (end_ - begin_ < kMaxLine && !atEnd_) Fill();
        if (begin_ == end_) return false;
        const char* start = buffer_.data() + begin_;
        const char* limit = start + std::min(end_ - begin_, kMaxLine);
        const char* p = start;
        if (!hasZero_) {
            while (p < limit && *p != '\n') ++p;
            line = std::string_view(start, std::size_t(p - start) + (p < limit ? 1 : 0));
        } else {
            while (p < limit && *p != '\n' && *p != '\0') ++p;
            line = std::string_view(start, std::size_t(p - start));
            while (p < limit && *p != '\n') ++p;
            if (p < limit && line.size() == std::size_t(p - start)) line = std::string_view(start, line.size() + 1);
        }
        begin_ += std::size_t(p - start) + (p < limit ? 1 : 0);
        if (atLineStart_) ++number_;
        atLineStart_ = p < limit;
        return true;
    }
    bool Failed() const { return failed_; }
    // The number in the file (from 1) of the line given last; the pieces of a longer line share it.
    int Number() const { return number_; }

    // The unread bytes up to one line's length, for a parser that reads the next line in place and
    // then consumes it; empty when they may hold a zero byte.
    std::string_view Ahead() {
        if (end_ - begin_ < kMaxLine && !atEnd_) Fill();
        if (hasZero_) return {};
        return std::string_view(buffer_.data() + begin_, std::min(end_ - begin_, kMaxLine));
    }
    // Consumes a whole line, its line feed with it.
    void Consume(std::size_t count) {
        begin_ += count;
        if (atLineStart_) ++number_;
        atLineStart_ = true;
    }

private:
    static constexpr std::size_t kBufferSize = 64 * 1024;

    void Fill() {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
        while (!atEnd_ && end_ < buffer_.size()) {
            const qint64 got = device_.read(buffer_.data() + end_, qint64(buffer_.size() - end_));
            if (got <= 0) {
                failed_ = got < 0;
                atEnd_ = true;
            } else {
                end_ += std::size_t(got);
            }
        }
        // A byte-order mark (as Windows Notepad saves UTF-8) is no part of the first line.
        if (!started_ && end_ - begin_ >= 3 && std::memcmp(buffer_.data() + begin_, "\xEF\xBB\xBF", 3) == 0) begin_ += 3;
        started_ = true;
        hasZero_ = std::memchr(buffer_.data() + begin_, '\0', end_ - begin_) != nullptr;
    }

    QIODevice& device_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
    bool hasZero_ = false;  // the buffer holds a zero byte: lines must look for it
    bool started_ = false;  // the start of the device has been looked at for a byte-order mark
    bool atLineStart_ = true;
    int number_ = 0;
};

// The line forms "%d", "%x", "%d,%d", "%d,%d,%d,%c" and the date's fixed widths, with
// the C rules (leading white space skipped, a sign allowed) but no undefined results: numbers
// beyond 32 bits are held at the nearest 32-bit value.

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return unsigned(c - '0') <= 9; }

// A decimal number of at most width characters (sign included) after white space.
bool ScanInt(const char*& p, const char* end, std::int32_t& value,
             std::size_t width = std::numeric_limits<std::size_t>::max()) {
    const char* q = p;
    while (q < end && IsSpace(*q)) ++q;
    const char* limit = std::size_t(end - q) > width ? q + width : end;
    bool negative = false;
    if (q < limit && (*q == '-' || *q == '+')) negative = *q++ == '-';
    if (q >= limit || !IsDigit(*q)) return false;
    std::uint64_t magnitude = 0;
    do {
        if (magnitude < (std::uint64_t(1) << 32)) magnitude = magnitude * 10 + unsigned(*q - '0');
        ++q;
    } while (q < limit && IsDigit(*q));
    if (negative)
        value = magnitude > (std::uint64_t(1) << 31) ? std::numeric_limits<std::int32_t>::min() : std::int32_t(-std::int64_t(magnitude));
    else
        value = magnitude > std::uint64_t(std::numeric_limits<std::int32_t>::max()) ? std::numeric_limits<std::int32_t>::max() : std::int32_t(magnitude);
    p = q;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ScanHex(const char* p, const char* end, std::uint32_t& value) {
    while (p < end && IsSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    if (end - p >= 3 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigit(p[2]) >= 0) p += 2;
    std::uint64_t magnitude = 0;
    const char* first = p;
    for (int digit; p < end && (digit = HexDigit(*p)) >= 0; ++p)
        magnitude = std::min<std::uint64_t>(magnitude * 16 + std::uint64_t(digit), 0xFFFFFFFFu);
    if (p == first) return false;
    value = negative ? std::uint32_t(0u - std::uint32_t(magnitude)) : std::uint32_t(magnitude);
    return true;
}

bool ScanChar(const char*& p, const char* end, char c) {
    if (p >= end || *p != c) return false;
    ++p;
    return true;
}

// The form the writer gives a number in a shot or point line, an optional minus and one to four
// digits, read on the short way. False, p unchanged, for any other form (ScanInt reads those).
bool ScanShortInt(const char*& p, const char* end, std::int32_t& value) {
    const char* q = p;
    const bool negative = q < end && *q == '-';
    q += negative;
    if (q >= end || !IsDigit(*q)) return false;
    std::int32_t magnitude = *q++ - '0';
    for (int k = 0; k < 3 && q < end && IsDigit(*q); ++k) magnitude = magnitude * 10 + (*q++ - '0');
    if (q < end && IsDigit(*q)) return false;
    value = negative ? -magnitude : magnitude;
    p = q;
    return true;
}

bool ScanNumber(const char*& p, const char* end, std::int32_t& value) {
    return ScanShortInt(p, end, value) || ScanInt(p, end, value);
}

// The value of "key=value": it starts one character after the key (that character is not
// looked at) and is empty when the line ends before it.
std::string_view ValueAfter(std::string_view line, std::string_view key) {
    return line.substr(std::min(key.size() + 1, line.size()));
}

bool StartsWith(std::string_view line, std::string_view key) { return line.substr(0, key.size()) == key; }

void ReadDecimal(std::string_view value, std::int32_t& field) {
    const char* p = value.data();
    std::int32_t number;
    if (ScanInt(p, value.data() + value.size(), number)) field = number;
}

void ReadDate(std::string_view value, FileDate& date) {
    date = FileDate{};
    std::int16_t* fields[] = {&date.year, &date.month, &date.day, &date.hour, &date.minute, &date.second};
    const std::size_t widths[] = {4, 2, 2, 2, 2, 2};
    const char* p = value.data();
    const char* end = value.data() + value.size();
    for (int i = 0; i < 6; ++i) {
        std::int32_t number;
        if (!ScanInt(p, end, number, widths[i])) return;
        *fields[i] = std::int16_t(number);
    }
}

// Header lines: the first key that starts the line decides; other lines (such as "File") are
// ignored. A match header has no "NumberOfShots" and no "Sighters".
void ReadHeaderLine(std::string_view line, std::int32_t& targetId, std::int32_t* numberOfShots, std::uint32_t& flags,
                    FileDate& date, std::int32_t* sighters = nullptr) {
    if (StartsWith(line, "TargetID")) {
        ReadDecimal(ValueAfter(line, "TargetID"), targetId);
    } else if (numberOfShots && StartsWith(line, "NumberOfShots")) {
        ReadDecimal(ValueAfter(line, "NumberOfShots"), *numberOfShots);
    } else if (StartsWith(line, "Flags")) {
        const std::string_view value = ValueAfter(line, "Flags");
        std::uint32_t number;
        if (ScanHex(value.data(), value.data() + value.size(), number)) flags = number;
    } else if (StartsWith(line, "Date")) {
        ReadDate(ValueAfter(line, "Date"), date);
    } else if (sighters && StartsWith(line, "Sighters")) {
        std::int32_t value = 0;
        ReadDecimal(ValueAfter(line, "Sighters"), value);
        *sighters = value != 0 ? 1 : 0;
    }
}

// Why a shot or point line was not taken; nullptr when it was (or was only white space).
using Refusal = const char*;

bool IsBlank(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return IsSpace(c) || c == '\0'; });
}

bool IsCoordinate(std::int32_t value) {
    return value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max();
}

// A shot line "x,y,traceIndex,side"; a coordinate outside 16 bits is refused, never wrapped, and
// so is a shot past the 20th. The trace index is kept as written until the whole file is read
// (ResolveTraceIndices).
Refusal ReadShotLine(std::string_view line, TraceImage& image) {
    const char* p = line.data();
    const char* end = p + line.size();
    std::int32_t x, y, index;
    if (!ScanNumber(p, end, x) || !ScanChar(p, end, ',') || !ScanNumber(p, end, y) || !ScanChar(p, end, ',') ||
        !ScanNumber(p, end, index) || !ScanChar(p, end, ',') || p >= end)
        return IsBlank(line) ? nullptr : "not x,y,trace index,side";
    if (!IsCoordinate(x) || !IsCoordinate(y)) return "a coordinate outside -32768..32767";
    if (image.shotCount >= kMaxShots) return "more than 20 shots";
    ShotRecord& shot = image.shots[image.shotCount++];
    shot.x = std::int16_t(x);
    shot.y = std::int16_t(y);
    shot.traceIndex = index;
    shot.side = *p == 'L' ? 0 : 1;
    return nullptr;
}

void AppendPoint(TraceImage& image, std::int32_t x, std::int32_t y) {
    if (image.sampleCount < kMaxSamples) image.samples[image.sampleCount++] = AimSample{std::int16_t(x), std::int16_t(y)};
}

// A point line "x,y"; refused like a shot line, and past the 22,500th point.
Refusal ReadPointLine(std::string_view line, TraceImage& image) {
    const char* p = line.data();
    const char* end = p + line.size();
    std::int32_t x, y;
    if (!ScanNumber(p, end, x) || !ScanChar(p, end, ',') || !ScanNumber(p, end, y))
        return IsBlank(line) ? nullptr : "not x,y";
    if (!IsCoordinate(x) || !IsCoordinate(y)) return "a coordinate outside -32768..32767";
    if (image.sampleCount >= kMaxSamples) return "more than 22,500 trace points";
    AppendPoint(image, x, y);
    return nullptr;
}

// Counts the shot and point lines a reading refused and names them in the log (the program's
// zark.log; standard error for the command-line exports): the first few one by one with their
// line number, the rest in one line at the end.
class Refusals final {
public:
    Refusals(const QString& file, ReadNotes* notes) : file_(file), notes_(notes ? notes : &own_) {}
    ~Refusals() {
        if (unnamed_ > 0)
            LogLine("%s: %d more shot or trace line(s) cannot be read and are left out\n", qPrintable(file_), unnamed_);
    }
    Refusals(const Refusals&) = delete;
    Refusals& operator=(const Refusals&) = delete;

    void Shot(Refusal why, const LineReader& lines, std::string_view line) {
        if (!why) {
            if (!IsBlank(line)) ++notes_->shotLines;
            return;
        }
        ++notes_->refusedShotLines;
        Name("shot", why, lines, line);
    }
    void Point(Refusal why, const LineReader& lines, std::string_view line) {
        if (!why) return;
        ++notes_->refusedPointLines;
        Name("trace", why, lines, line);
    }

private:
    static constexpr int kNamed = 10;

    void Name(const char* kind, Refusal why, const LineReader& lines, std::string_view line) {
        if (named_ >= kNamed) {
            ++unnamed_;
            return;
        }
        ++named_;
        std::string text(line.substr(0, 60));
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        for (char& c : text)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
        LogLine("%s:%d: the %s line \"%s\" cannot be read (%s) and is left out\n", qPrintable(file_), lines.Number(), kind,
                text.c_str(), why);
    }

    QString file_;
    ReadNotes own_;
    ReadNotes* notes_;
    int named_ = 0;
    int unnamed_ = 0;
};

// Point lines of the form the writer gives them ("-123,45" and a line feed) straight from the
// reader's buffer, as many as follow; the first line of another form is left to the line parsers.
void ReadPlainPoints(LineReader& lines, TraceImage& image) {
    for (;;) {
        const std::string_view ahead = lines.Ahead();
        const char* p = ahead.data();
        const char* end = p + ahead.size();
        std::int32_t x, y;
        if (image.sampleCount >= kMaxSamples || !ScanShortInt(p, end, x) || !ScanChar(p, end, ',') ||
            !ScanShortInt(p, end, y) || !ScanChar(p, end, '\n'))
            return;
        AppendPoint(image, x, y);
        lines.Consume(std::size_t(p - ahead.data()));
    }
}

// Up to n comma-separated numbers; the count read.
int ScanNumbers(std::string_view text, std::int32_t* values, int n) {
    const char* p = text.data();
    const char* end = p + text.size();
    int read = 0;
    while (read < n && ScanNumber(p, end, values[read])) {
        ++read;
        if (!ScanChar(p, end, ',')) break;
    }
    return read;
}

// A Timing section begins: the series is timed, to the default drill until a "Drill" line says
// otherwise, and its shots' lines start again with the first shot.
void ResetTiming(TraceImage& image, std::int32_t& timedShots) {
    image.timed = 1;
    image.drill = TimedDrill{};
    for (TimedShot& shot : image.timing) shot = TimedShot{};
    timedShots = 0;
}

// "Drill=prep,window,pause,shotsPerWindow,windows,randomStart" or a shot's "window,timeMs,late";
// past the 20th shot the lines are ignored. Values are brought within range after the file is read.
void ReadTimingLine(std::string_view line, TraceImage& image, std::int32_t& timedShots) {
    std::int32_t v[6];
    if (StartsWith(line, "Drill")) {
        if (ScanNumbers(ValueAfter(line, "Drill"), v, 6) == 6) image.drill = TimedDrill{v[0], v[1], v[2], v[3], v[4], v[5]};
        return;
    }
    if (timedShots >= kMaxShots || ScanNumbers(line, v, 3) != 3) return;
    image.timing[timedShots++] = TimedShot{v[0], v[1], v[2]};
}

void ResetShots(TraceImage& image) {
    image.shotCount = 0;
    for (ShotRecord& shot : image.shots) shot = ShotRecord{};
}

// Only the points in use are cleared, so that many Serie sections cost no more than their lines.
void ResetTrace(TraceImage& image) {
    std::fill(image.samples, image.samples + std::clamp(image.sampleCount, 0, kMaxSamples), AimSample{});
    image.sampleCount = 0;
}

// Turns the trace indices as written into the store's: an index is kept when the trace has the
// shot's own point there; it is lowered by one when the shot's point is the one just below it
// (files that count the index one past the point); a 9999 that is neither is a shot without
// trace, as is a shot without position or one whose index lies outside the trace. An index that
// lies in the trace but does not meet the shot's position is kept as written: the shot is never
// moved to another point.
void ResolveTraceIndices(TraceImage& image) {
    const auto isOwnPoint = [&image](const ShotRecord& shot, std::int64_t k) {
        return k >= 0 && k < image.sampleCount && image.samples[k].x == shot.x && image.samples[k].y == shot.y;
    };
    for (std::int32_t i = 0; i < image.shotCount; ++i) {
        ShotRecord& shot = image.shots[i];
        const std::int64_t written = shot.traceIndex;
        shot.traceIndex = NoTrace;
        if (shot.x == 0 && shot.y == 0) continue;
        if (isOwnPoint(shot, written))
            shot.traceIndex = std::int32_t(written);
        else if (isOwnPoint(shot, written - 1))
            shot.traceIndex = std::int32_t(written - 1);
        else if (written != NoTraceInFiles && written >= 0 && written < image.sampleCount)
            shot.traceIndex = std::int32_t(written);
    }
}

// "Title=" and "SubTitle=" values: at most 255 bytes, never ending inside a UTF-8 character.
void CopyTitle(std::string_view value, char (&field)[kFileTitleSize]) {
    std::size_t length = std::min<std::size_t>(value.size(), kFileTitleSize - 1);
    if (length < value.size()) {
        std::size_t cut = length;
        while (cut > 0 && length - cut < 3 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
        if ((static_cast<unsigned char>(value[cut]) & 0xC0) == 0xC0) length = cut;
    }
    std::memcpy(field, value.data(), length);
    std::fill(field + length, field + kFileTitleSize, '\0');
}

// Match section lines. Each ends at its line feed or at a carriage return, so that a file with
// CR LF line ends gives the same titles and a title written again stays on its line. Entries are
// started by "SubTitle"; entry fields before the first one and after the 20th entry are ignored,
// and NumberOfSeries is held to 0..20.
void ReadMatchLine(std::string_view line, FileProgramme& programme, int& entry) {
    line = line.substr(0, line.find_first_of("\r\n"));
    if (StartsWith(line, "Title")) {
        CopyTitle(ValueAfter(line, "Title"), programme.title);
    } else if (StartsWith(line, "NumberOfSeries")) {
        std::int32_t count = programme.seriesCount;
        ReadDecimal(ValueAfter(line, "NumberOfSeries"), count);
        programme.seriesCount = std::clamp(count, 0, kMaxProgrammeEntries);
    } else if (StartsWith(line, "SubTitle")) {
        if (entry < kMaxProgrammeEntries) ++entry;
        if (entry < kMaxProgrammeEntries) CopyTitle(ValueAfter(line, "SubTitle"), programme.entries[entry].subtitle);
    } else if (StartsWith(line, "Sighters")) {
        if (entry >= 0 && entry < kMaxProgrammeEntries) ReadDecimal(ValueAfter(line, "Sighters"), programme.entries[entry].sighters);
    } else if (StartsWith(line, "NumberOfShots")) {
        if (entry >= 0 && entry < kMaxProgrammeEntries) ReadDecimal(ValueAfter(line, "NumberOfShots"), programme.entries[entry].shots);
    }
}

// A section line "[name]..." gives its name; any other line gives nothing.
bool SectionName(std::string_view line, std::string_view& name) {
    if (line.empty() || line.front() != '[') return false;
    const std::size_t close = line.find(']');
    name = close == std::string_view::npos ? std::string_view() : line.substr(1, close - 1);
    return true;
}

enum class Section { None, Header, Match, Shots, Serie, Timing };

Section SectionOf(std::string_view name, bool match) {
    if (name == kHeader) return Section::Header;
    if (match && name == kMatch) return Section::Match;
    if (name == kShots) return Section::Shots;
    if (name == kSerie) return Section::Serie;
    if (name == kTiming) return Section::Timing;
    return Section::None;
}

bool ReadSeriesLines(LineReader& lines, SeriesRecord& record, Refusals& refusals) {
    Section section = Section::None;
    std::int32_t timedShots = 0;
    std::string_view line;
    for (;;) {
        if (section == Section::Serie) ReadPlainPoints(lines, record.store);
        if (!lines.Next(line)) break;
        std::string_view name;
        if (SectionName(line, name)) {
            section = SectionOf(name, false);
            if (section == Section::Shots) ResetShots(record.store);
            if (section == Section::Serie) ResetTrace(record.store);
            if (section == Section::Timing) ResetTiming(record.store, timedShots);
            continue;
        }
        switch (section) {
        case Section::Header:
            ReadHeaderLine(line, record.targetId, &record.numberOfShots, record.flags, record.date, &record.sighters);
            break;
        case Section::Shots: refusals.Shot(ReadShotLine(line, record.store), lines, line); break;
        case Section::Serie: refusals.Point(ReadPointLine(line, record.store), lines, line); break;
        case Section::Timing: ReadTimingLine(line, record.store, timedShots); break;
        default: break;
        }
    }
    ResolveTraceIndices(record.store);
    record.store.ClampTiming();
    return !lines.Failed();
}

bool ReadMatchLines(LineReader& lines, MatchRecord& record, Refusals& refusals) {
    Section section = Section::None;
    int opened = 0;     // Shots sections met so far
    int current = -1;   // the series the latest Shots section opened; -1 for none
    int entry = -1;     // the entry the latest "SubTitle" started
    std::int32_t timedShots = 0;
    std::string_view line;
    for (;;) {
        if (section == Section::Serie && current >= 0) ReadPlainPoints(lines, record.series[current]);
        if (!lines.Next(line)) break;
        std::string_view name;
        if (SectionName(line, name)) {
            section = SectionOf(name, true);
            if (section == Section::Shots) {
                current = opened < kMaxMatchSeries ? opened++ : -1;
                if (current >= 0) ResetShots(record.series[current]);
            } else if (section == Section::Serie && current >= 0) {
                ResetTrace(record.series[current]);
            } else if (section == Section::Timing && current >= 0) {
                ResetTiming(record.series[current], timedShots);
            }
            continue;
        }
        switch (section) {
        case Section::Header: ReadHeaderLine(line, record.targetId, nullptr, record.flags, record.date); break;
        case Section::Match: ReadMatchLine(line, record.programme, entry); break;
        case Section::Shots:
            if (current >= 0) refusals.Shot(ReadShotLine(line, record.series[current]), lines, line);
            break;
        case Section::Serie:
            if (current >= 0) refusals.Point(ReadPointLine(line, record.series[current]), lines, line);
            break;
        case Section::Timing:
            if (current >= 0) ReadTimingLine(line, record.series[current], timedShots);
            break;
        default: break;
        }
    }
    // a programme's entries beyond its count are zero
    for (int k = record.programme.seriesCount; k < kMaxProgrammeEntries; ++k) record.programme.entries[k] = FileProgrammeEntry{};
    for (TraceImage& image : record.series) {
        ResolveTraceIndices(image);
        image.ClampTiming();
    }
    return !lines.Failed();
}

template <typename Record, typename ReadLines>
bool ReadFile(const QString& path, Record& record, ReadNotes* notes, ReadLines readLines) {
    record.Clear();
    if (notes) *notes = ReadNotes{};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        LogLine("Cannot open file %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    LineReader lines(file);
    Refusals refusals(path, notes);
    if (!readLines(lines, record, refusals)) {
        LogLine("Cannot read file %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        record.Clear();
        return false;
    }
    return true;
}

}  // namespace

void SeriesRecord::Clear() {
    targetId = 0;
    numberOfShots = 0;
    flags = 0;
    sighters = 0;
    store.Clear();
    date = FileDate{};
}

void MatchRecord::Clear() {
    targetId = 0;
    programme = FileProgramme{};
    flags = 0;
    for (TraceImage& image : series) image.Clear();
    date = FileDate{};
}

FileDate LocalFileDate() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate day = now.date();
    const QTime time = now.time();
    return FileDate{std::int16_t(day.year()), std::int16_t(day.month()),    std::int16_t(day.day()),
                    std::int16_t(time.hour()), std::int16_t(time.minute()), std::int16_t(time.second())};
}

QDateTime LocalDateTime(const FileDate& date) {
    return QDateTime(QDate(date.year, date.month, date.day), QTime(date.hour, date.minute, date.second));
}

bool IsMatchFileName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && name.mid(dot).toLower() == QLatin1String(".zam");
}

QString SavePathOfKind(const QString& chosen, bool match) {
    if (chosen.isEmpty() || IsMatchFileName(chosen) == match) return chosen;
    const QString other = match ? QStringLiteral(".zas") : QStringLiteral(".zam");
    const QString own = match ? QStringLiteral(".zam") : QStringLiteral(".zas");
    if (chosen.endsWith(other, Qt::CaseInsensitive)) return chosen.left(chosen.size() - other.size()) + own;
    return chosen + own;
}

SeriesFileIo::SeriesFileIo() : clock_(&LocalFileDate) {}

void SeriesFileIo::SetClock(Clock clock) { clock_ = clock ? clock : &LocalFileDate; }

bool SeriesFileIo::WriteSeries(const SeriesRecord& record, const QString& path, QString* error,
                               const FileDate* date, bool* noRoom) const {
    const std::string fileLine = FileLineOf(path);
    const FileDate written = date ? *date : clock_();
    return WriteFileAtomically(path, [&](TextOut& out) { WriteSeriesText(out, record, fileLine, written); }, error,
                               noRoom);
}

bool SeriesFileIo::WriteMatch(const MatchRecord& record, const QString& path, QString* error,
                              const FileDate* date, bool* noRoom) const {
    const std::string fileLine = FileLineOf(path);
    const FileDate written = date ? *date : clock_();
    return WriteFileAtomically(path, [&](TextOut& out) { WriteMatchText(out, record, fileLine, written); }, error,
                               noRoom);
}

bool SeriesFileIo::ReadSeries(const QString& path, SeriesRecord& record, ReadNotes* notes) const {
    return ReadFile(path, record, notes, ReadSeriesLines);
}

bool SeriesFileIo::ReadMatch(const QString& path, MatchRecord& record, ReadNotes* notes) const {
    return ReadFile(path, record, notes, ReadMatchLines);
}

bool SeriesFileIo::ReadSeries(QIODevice& device, SeriesRecord& record) {
    record.Clear();
    LineReader lines(device);
    Refusals refusals(QStringLiteral("(device)"), nullptr);
    if (ReadSeriesLines(lines, record, refusals)) return true;
    record.Clear();
    return false;
}

bool SeriesFileIo::ReadMatch(QIODevice& device, MatchRecord& record) {
    record.Clear();
    LineReader lines(device);
    Refusals refusals(QStringLiteral("(device)"), nullptr);
    if (ReadMatchLines(lines, record, refusals)) return true;
    record.Clear();
    return false;
}

std::string SeriesFileIo::SeriesText(const SeriesRecord& record, const std::string& fileLine, const FileDate& date) {
    TextOut out(nullptr);
    WriteSeriesText(out, record, fileLine, date);
    return out.Take();
}

std::string SeriesFileIo::MatchText(const MatchRecord& record, const std::string& fileLine, const FileDate& date) {
    TextOut out(nullptr);
    WriteMatchText(out, record, fileLine, date);
    return out.Take();
}

}  // namespace zark
