#include "core/matchprogramme.h"

#include <QCollator>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "diag/diagnostics.h"
#include "i18n/uistrings.h"

namespace zark {
namespace {

// String ids of the titles of types 0..6 and of the three positions.
constexpr int kTitleIds[kProgrammeTypeCount] = {179, 180, 181, 182, 183, 184, 185};
constexpr int kProneId = 186;
constexpr int kKneelingId = 187;
constexpr int kStandingId = 188;

void AppendEntries(MatchProgramme& programme, int count, int sighters, int shots, std::string_view subtitle = {}) {
    for (int i = 0; i < count; ++i) AppendMatchEntry(programme, sighters, shots, subtitle);
}

// Sighters, then `series` scored series of 10, for each position in the order prone, standing, kneeling.
void AppendThreePositions(MatchProgramme& programme, int series) {
    for (const int position : {kProneId, kStandingId, kKneelingId}) {
        AppendEntries(programme, 1, 1, 5);
        AppendEntries(programme, series, 0, 10, UiText(position));
    }
}

}  // namespace

void CopyProgrammeText(char (&field)[kProgrammeTextSize], std::string_view text) {
    std::size_t length = std::min(text.size(), std::size_t(kProgrammeTextSize - 1));
    if (length < text.size()) {
        // never keep the first bytes of a character whose last bytes were cut off
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memset(field, 0, sizeof field);
    // an empty text may have no data at all: memcpy must not see a null source
    if (length > 0) std::memcpy(field, text.data(), length);
}

int StoredSeriesIndex(const MatchProgramme& programme, int entry) {
    if (entry < 0 || entry >= std::min(programme.seriesCount, kMaxMatchEntries) || programme.entries[entry].sighters)
        return -1;
    return ScoredEntries(programme, entry);
}

bool AppendMatchEntry(MatchProgramme& programme, int sighters, int shots, std::string_view subtitle) {
    if (programme.seriesCount < 0 || programme.seriesCount >= kMaxMatchEntries) return false;
    MatchEntry& entry = programme.entries[programme.seriesCount];
    CopyProgrammeText(entry.subtitle, subtitle);
    entry.sighters = sighters;
    entry.shots = shots;
    ++programme.seriesCount;
    return true;
}

bool FillMatchProgramme(MatchProgramme& programme, int type) {
    programme = MatchProgramme{};
    switch (type) {
    case kTestProgrammeType:
        CopyProgrammeText(programme.title, UiText(kUiTextDemo));
        AppendEntries(programme, 1, 1, 3);
        AppendEntries(programme, 2, 0, 3);
        return true;
    case 0:
    case 1:
        AppendEntries(programme, 1, 1, 5);
        AppendEntries(programme, type == 0 ? 4 : 6, 0, 10);
        break;
    case 2:
        AppendEntries(programme, 1, 1, 3);
        AppendEntries(programme, 12, 0, 5);
        break;
    case 3:
        AppendEntries(programme, 1, 1, 3);
        AppendEntries(programme, 6, 0, 10);
        break;
    case 4:
        AppendEntries(programme, 1, 1, 5);
        AppendEntries(programme, 6, 0, 10);
        break;
    case 5: AppendThreePositions(programme, 4); break;
    case 6: AppendThreePositions(programme, 2); break;
    default: return false;
    }
    CopyProgrammeText(programme.title, UiText(kTitleIds[type]));
    return true;
}

MatchCatalogue::MatchCatalogue() : MatchCatalogue(std::getenv("ZARK_TEST") != nullptr) {}

MatchCatalogue::MatchCatalogue(bool withTestProgramme) {
    LoadUiStrings();
    if (withTestProgramme) Append(kTestProgrammeType);
    for (int type = 0; type < kProgrammeTypeCount; ++type) Append(type);
}

MatchCatalogue::~MatchCatalogue() = default;

void MatchCatalogue::Append(int type) {
    auto programme = std::make_unique<MatchProgramme>();
    FillMatchProgramme(*programme, type);
    programmes_.push_back(std::move(programme));
}

const MatchProgramme& MatchCatalogue::Programme(int index) const {
    ZARK_ASSERT(index >= 0 && index < Count());
    return *programmes_[std::size_t(index)];
}

std::vector<int> MatchCatalogue::TitleOrder() const {
    QCollator collator(UiLocale());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QString> titles;
    std::vector<int> order;
    for (int i = 0; i < Count(); ++i) {
        titles.push_back(QString::fromUtf8(Programme(i).title));
        order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return collator.compare(titles[std::size_t(a)], titles[std::size_t(b)]) < 0;
    });
    return order;
}

bool MatchCatalogue::Choose(int index) {
    if (index < 0 || index >= Count()) return false;
    chosen_ = index;
    return true;
}

bool MatchCatalogue::ChooseProgramme() {
    if (unattended_) return chosen_ >= 0 && chosen_ < Count();
    if (!chooser_) return false;
    int index = chosen_;
    if (!chooser_->Choose(*this, index)) return false;
    // Confirmed without a selection: taken as a cancel, so the match command never starts a
    // programme nobody chose.
    if (index < 0 || index >= Count()) return false;
    chosen_ = index;
    return true;
}

bool MatchCatalogue::CopyChosen(MatchProgramme& destination) const {
    if (chosen_ < 0 || chosen_ >= Count()) return false;
    destination = Programme(chosen_);
    return true;
}

}  // namespace zark
