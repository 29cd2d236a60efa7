#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

namespace zark {

inline constexpr int kProgrammeTextSize = 256;  // title and subtitle fields, zero-terminated
inline constexpr int kMaxMatchEntries = 20;

// One entry of a match programme: sighters or a scored series.
struct MatchEntry {
    char subtitle[kProgrammeTextSize];  // scoreboard caption while the entry is shot; empty: no change
    std::int32_t sighters;              // 1 sighters (not scored, not stored in the match), 0 a series
    std::int32_t shots;
};

// A match programme: a title and up to 20 entries in shooting order. A plain fixed-size record,
// copied by value; a new one is all zero (MatchProgramme p{}). Texts are UTF-8.
struct MatchProgramme {
    char title[kProgrammeTextSize];
    std::int32_t seriesCount;  // entries in use, 0..20; those beyond are zero
    MatchEntry entries[kMaxMatchEntries];
};
static_assert(std::is_trivially_copyable_v<MatchProgramme>);
static_assert(std::is_standard_layout_v<MatchProgramme>);

// Copies text into a record field, zero-terminated; a longer text is cut at a character boundary.
void CopyProgrammeText(char (&field)[kProgrammeTextSize], std::string_view text);

// The number of scored (non-sighter) entries among the programme's first `before` entries (all by
// default): the match's stored series, the match board's series items; entry i's series is
// series[ScoredEntries(programme, i)]. For the programme as shot and as a match file carries it.
template <typename Programme>
int ScoredEntries(const Programme& programme, int before = kMaxMatchEntries) {
    const int end = std::min({before, int(programme.seriesCount), int(kMaxMatchEntries)});
    int n = 0;
    for (int e = 0; e < end; ++e)
        if (!programme.entries[e].sighters) ++n;
    return n;
}

// Appends an entry; false (nothing changes) when the programme already has 20.
bool AppendMatchEntry(MatchProgramme& programme, int sighters, int shots, std::string_view subtitle = {});

// Where a match keeps the series of a programme entry: the number of scored entries before it;
// -1 for a sighters entry (sighters are not kept) or an entry outside the programme.
int StoredSeriesIndex(const MatchProgramme& programme, int entry);

// The predefined programmes: -1 the test programme "Demo", 0..6 the match programmes. The titles
// and position subtitles are the loaded texts (UiText). An unknown type leaves the record zero and
// returns false.
inline constexpr int kTestProgrammeType = -1;
inline constexpr int kProgrammeTypeCount = 7;
bool FillMatchProgramme(MatchProgramme& programme, int type);

class MatchCatalogue;

// Lets the user pick one programme of a catalogue; the widgets layer shows the match dialog.
class MatchChooser {
public:
    virtual ~MatchChooser() = default;
    // Shows the titles. Returns false when cancelled or closed; true on OK, with index set to the
    // catalogue index of the chosen programme, or -1 when none was selected.
    virtual bool Choose(const MatchCatalogue& catalogue, int& index) = 0;
};

// The predefined match programmes, built once at start-up in the language active then: the test
// programme first when the environment variable "ZARK_TEST" exists, then types 0 to 6.
class MatchCatalogue final {
public:
    MatchCatalogue();                                  // "ZARK_TEST" decides on the test programme
    explicit MatchCatalogue(bool withTestProgramme);
    ~MatchCatalogue();
    MatchCatalogue(const MatchCatalogue&) = delete;
    MatchCatalogue& operator=(const MatchCatalogue&) = delete;

    int Count() const { return int(programmes_.size()); }
    const MatchProgramme& Programme(int index) const;  // 0 <= index < Count()

    // The catalogue indices in the order the list shows them: by title, alphabetically and without
    // regard to case, as the active language sorts.
    std::vector<int> TitleOrder() const;

    // The dialog that ChooseProgramme shows, with its owner window (not owned; may be null).
    void SetChooser(MatchChooser* chooser) { chooser_ = chooser; }

    // Shows the match dialog. False when it was cancelled or closed, and also when it was confirmed
    // without a programme selected; the chosen programme then stays as it was.
    bool ChooseProgramme();
    int ChosenIndex() const { return chosen_; }
    // Chooses a programme without the dialog (the range officer's order); false for no programme.
    bool Choose(int index);
    // While on, ChooseProgramme takes the chosen programme without showing the dialog.
    void SetUnattended(bool on) { unattended_ = on; }

    // Copies the chosen programme over destination; false, nothing copied, while none is chosen.
    bool CopyChosen(MatchProgramme& destination) const;

private:
    void Append(int type);

    std::vector<std::unique_ptr<MatchProgramme>> programmes_;
    int chosen_ = -1;
    bool unattended_ = false;
    MatchChooser* chooser_ = nullptr;
};

}  // namespace zark
