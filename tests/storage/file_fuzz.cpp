// Any bytes as a series file, as a match file and as a journal: the readers must not fail on
// content, must keep every count and index inside the record, and what they read must survive a
// write and a read.
#include <QBuffer>
#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include "storage/seriesfileio.h"
#include "storage/seriesjournal.h"

namespace {

using namespace zark;

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckImage(const TraceImage& image) {
    Check(image.sampleCount >= 0 && image.sampleCount <= kMaxSamples);
    Check(image.shotCount >= 0 && image.shotCount <= kMaxShots);
    for (int i = 0; i < kMaxShots; ++i) {
        const ShotRecord& shot = image.shots[i];
        if (i >= image.shotCount) {
            Check(shot.traceIndex == NoTrace && shot.x == 0 && shot.y == 0);
        } else if (shot.traceIndex != NoTrace) {
            Check(shot.traceIndex >= 0 && shot.traceIndex < image.sampleCount);
            Check(shot.x != 0 || shot.y != 0);
        }
        Check(shot.side == 0 || shot.side == 1);
    }
}

void CheckTitle(const char (&title)[kFileTitleSize]) {
    const std::size_t length = strnlen(title, kFileTitleSize);
    Check(length < kFileTitleSize);
    Check(std::memchr(title, '\r', length) == nullptr && std::memchr(title, '\n', length) == nullptr);
}

// A shot the first read left without trace may find its point at 9998 or 9999 once written: files
// carry such a shot with 9999. Anything else must come back as it was.
void CheckSameImage(const TraceImage& first, const TraceImage& again, bool exact) {
    Check(first.sampleCount == again.sampleCount && first.shotCount == again.shotCount);
    Check(std::memcmp(first.samples, again.samples, sizeof first.samples) == 0);
    for (int i = 0; i < kMaxShots; ++i) {
        const ShotRecord& a = first.shots[i];
        const ShotRecord& b = again.shots[i];
        Check(a.x == b.x && a.y == b.y && a.side == b.side);
        if (a.traceIndex == b.traceIndex) continue;
        Check(!exact && a.traceIndex == NoTrace && (b.traceIndex == 9998 || b.traceIndex == 9999));
        Check(again.samples[b.traceIndex].x == b.x && again.samples[b.traceIndex].y == b.y);
    }
}

// The records are large: three of each kind, allocated once.
template <typename Record>
Record& Slot(int i) {
    static const auto records = std::make_unique<Record[]>(3);
    return records[i];
}

template <typename Record>
Record& Read(const char* data, std::size_t size, int slot) {
    QByteArray bytes = QByteArray::fromRawData(data, qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    Record& record = Slot<Record>(slot);
    if constexpr (std::is_same_v<Record, SeriesRecord>)
        Check(SeriesFileIo::ReadSeries(buffer, record));
    else
        Check(SeriesFileIo::ReadMatch(buffer, record));
    return record;
}

template <typename Record>
Record& Read(const std::string& text, int slot) {
    return Read<Record>(text.data(), text.size(), slot);
}

void CheckSeries(const SeriesRecord& first, const SeriesRecord& again, bool exact) {
    CheckImage(again.store);
    Check(first.targetId == again.targetId && first.numberOfShots == again.numberOfShots && first.date == again.date);
    CheckSameImage(first.store, again.store, exact);
}

void CheckMatch(const MatchRecord& first, const MatchRecord& again, bool exact) {
    Check(first.targetId == again.targetId && first.date == again.date);
    Check(std::strcmp(first.programme.title, again.programme.title) == 0);
    Check(first.programme.seriesCount == again.programme.seriesCount);
    for (int k = 0; k < kMaxProgrammeEntries; ++k) {
        const FileProgrammeEntry& a = first.programme.entries[k];
        const FileProgrammeEntry& b = again.programme.entries[k];
        Check(std::strcmp(a.subtitle, b.subtitle) == 0 && a.sighters == b.sighters && a.shots == b.shots);
    }
    for (int k = 0; k < first.programme.seriesCount; ++k) CheckSameImage(first.series[k], again.series[k], exact);
}

// The journal: what it reads, written again as a journal, reads back the same and whole.
void CheckJournal(const char* text, std::size_t size) {
    const auto first = std::make_unique<JournalContent>();
    const auto again = std::make_unique<JournalContent>();
    ReadJournalText(std::string(text, size), *first);
    CheckImage(first->live);
    for (int j = 0; j < kMaxShots; ++j) CheckImage(first->stored[j]);
    std::string written = JournalHeaderText(first->header, first->stored.get(), kMaxShots);
    AppendImageLines(written, first->live, first->lastShot);
    ReadJournalText(written, *again);
    Check(again->droppedLines == 0);
    CheckSameImage(first->live, again->live, true);
    for (int j = 0; first->header.match && j < kMaxShots; ++j) CheckSameImage(first->stored[j], again->stored[j], true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);

    const SeriesRecord& series = Read<SeriesRecord>(text, size, 0);
    CheckImage(series.store);
    const SeriesRecord& series2 = Read<SeriesRecord>(SeriesFileIo::SeriesText(series, "fuzz.zas", series.date), 1);
    CheckSeries(series, series2, false);
    CheckSeries(series2, Read<SeriesRecord>(SeriesFileIo::SeriesText(series2, "fuzz.zas", series2.date), 2), true);

    const MatchRecord& match = Read<MatchRecord>(text, size, 0);
    Check(match.programme.seriesCount >= 0 && match.programme.seriesCount <= kMaxProgrammeEntries);
    CheckTitle(match.programme.title);
    for (const FileProgrammeEntry& entry : match.programme.entries) CheckTitle(entry.subtitle);
    for (const TraceImage& image : match.series) CheckImage(image);
    const MatchRecord& match2 = Read<MatchRecord>(SeriesFileIo::MatchText(match, "fuzz.zam", match.date), 1);
    CheckMatch(match, match2, false);
    CheckMatch(match2, Read<MatchRecord>(SeriesFileIo::MatchText(match2, "fuzz.zam", match2.date), 2), true);

    CheckJournal(text, size);
    return 0;
}
