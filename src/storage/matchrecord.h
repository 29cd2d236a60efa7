#pragma once

#include <cstdint>

#include "core/tracestore.h"
#include "storage/seriesrecord.h"

namespace zark {

inline constexpr int kFileTitleSize = 256;  // title and subtitle fields, zero-terminated
inline constexpr int kMaxProgrammeEntries = 20;
inline constexpr int kMaxMatchSeries = 20;

// One entry of the programme as a match file carries it.
struct FileProgrammeEntry {
    char subtitle[kFileTitleSize] = {};
    std::int32_t sighters = 0;  // 1 for sighters (not scored, not stored), 0 for a scored series
    std::int32_t shots = 0;
};

// The programme of a match as a match file carries it: a title and up to 20 entries.
struct FileProgramme {
    char title[kFileTitleSize] = {};
    std::int32_t seriesCount = 0;  // entries in use, 0..20
    FileProgrammeEntry entries[kMaxProgrammeEntries];
};

// What a match file holds. Very large (20 trace images): keep it on the heap or as a member.
struct MatchRecord {
    std::int32_t targetId = 0;
    FileProgramme programme;
    std::uint32_t flags = 0;  // written as 0; read back and not used
    // The stored series in programme order of the scored entries, filled from the first.
    TraceImage series[kMaxMatchSeries];
    FileDate date;  // filled by the reader

    // All zero, every series empty with every shot entry without trace.
    void Clear();
};

}  // namespace zark
