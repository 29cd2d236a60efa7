#pragma once

#include <cstdint>

#include "core/tracestore.h"

namespace zark {

// The local time a file was written, as its "Date" line carries it; all zero when the file has none.
struct FileDate {
    std::int16_t year = 0;
    std::int16_t month = 0;
    std::int16_t day = 0;
    std::int16_t hour = 0;
    std::int16_t minute = 0;
    std::int16_t second = 0;
    friend bool operator==(const FileDate&, const FileDate&) = default;
};

// What a series file holds. Large (one trace image): keep it on the heap or as a member.
struct SeriesRecord {
    std::int32_t targetId = 0;
    std::int32_t numberOfShots = 0;  // the store's shot count when saving
    std::uint32_t flags = 0;         // written as 0; read back and not used
    // Sighters, not a scored series: the header's "Sighters=1" line, which readers that do not
    // know it skip; written only for sighters.
    std::int32_t sighters = 0;
    TraceImage store;
    FileDate date;  // filled by the reader

    // All zero, the store empty with every shot entry without trace.
    void Clear();
};

}  // namespace zark
