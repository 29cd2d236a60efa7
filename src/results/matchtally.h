#pragma once

#include <array>
#include <string>

#include "core/tracestore.h"

namespace zark {

struct TargetDescriptor;

// The contents of the match board: one item per scored series of the programme with its series
// total, and the match total. Each series is scored on the face it is shown on, from its recorded
// shot positions; a shot without position (an unfired shot of a moving-target run) scores 0.
class MatchTally final {
public:
    // n empty series items and an empty total; the total starts at 0.
    void ResetRows(int n);
    // Scores a stored series into item j and adds it to the match total: each shot at its recorded
    // position on the face of its own side (first: left, second: right; null: the first).
    void FillRow(int j, const TraceImage& series, const TargetDescriptor* first, const TargetDescriptor* second);

    int Rows() const { return rows_; }
    // Item j's text: series 0 .. Rows() - 1, Rows() the match total; empty beyond.
    const std::string& Text(int item) const;
    double Total() const { return total_; }

private:
    std::array<std::string, kMaxShots + 1> texts_;
    int rows_ = 0;
    double total_ = 0;
};

}  // namespace zark
