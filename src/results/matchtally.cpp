#include "results/matchtally.h"

#include <algorithm>

#include "results/shotscore.h"
#include "targets/scoretext.h"
#include "targets/targetdescriptor.h"

namespace zark {

void MatchTally::ResetRows(int n) {
    rows_ = std::clamp(n, 0, kMaxShots);
    for (std::string& text : texts_) text.clear();
    total_ = 0;
}

void MatchTally::FillRow(int j, const TraceImage& series, const TargetDescriptor* first,
                         const TargetDescriptor* second) {
    const TargetDescriptor* face = first;
    if (j < 0 || j >= rows_ || !face) return;
    double sum = 0;
    const int shots = std::clamp(series.shotCount, 0, kMaxShots);
    for (int k = 0; k < shots; ++k) {
        const ShotRecord& shot = series.shots[k];
        if (shot.x == 0 && shot.y == 0) continue;  // never fired: no points
        const TargetDescriptor* own = FaceOfSide(first, second, shot.side);
        sum += TotalPart(*own, own->ScoreShot(shot.x, shot.y));
    }
    texts_[std::size_t(j)] = ScoreText(*face, sum);
    total_ += TotalPart(*face, sum);
    texts_[std::size_t(rows_)] = TotalText(*face, total_);
}

const std::string& MatchTally::Text(int item) const {
    static const std::string kEmpty;
    return item >= 0 && item <= rows_ ? texts_[std::size_t(item)] : kEmpty;
}

}  // namespace zark
