#include <gtest/gtest.h>

#include <QCollator>
#include <cstring>
#include <string>

#include "core/matchprogramme.h"
#include "englishtexts.h"

namespace zark {
namespace {

// A programme in short: "S5" sighters of 5, "10" a series of 10, "10 Prone" with its subtitle.
std::string Describe(const MatchProgramme& p) {
    std::string text;
    for (int i = 0; i < p.seriesCount; ++i) {
        const MatchEntry& e = p.entries[i];
        if (!text.empty()) text += "; ";
        text += (e.sighters ? "S" : "") + std::to_string(e.shots);
        if (e.subtitle[0]) text += std::string(" ") + e.subtitle;
    }
    return text;
}

bool UnusedEntriesAreZero(const MatchProgramme& p) {
    static const MatchEntry zero{};
    for (int i = p.seriesCount; i < kMaxMatchEntries; ++i)
        if (std::memcmp(&p.entries[i], &zero, sizeof zero) != 0) return false;
    return true;
}

class Programmes : public test::EnglishTexts {};

TEST_F(Programmes, TheSevenProgrammesInOrder) {
    const MatchCatalogue catalogue;
    ASSERT_EQ(catalogue.Count(), 7);
    const std::pair<const char*, const char*> expected[] = {
        {"Air Rifle/Pistol 40 Shots", "S5; 10; 10; 10; 10"},
        {"Air Rifle/Pistol 60 Shots", "S5; 10; 10; 10; 10; 10; 10"},
        {"Pistol 12x5 Shots", "S3; 5; 5; 5; 5; 5; 5; 5; 5; 5; 5; 5; 5"},
        {"Pistol 6x10 Shots", "S3; 10; 10; 10; 10; 10; 10"},
        {"Rifle 60 Prone", "S5; 10; 10; 10; 10; 10; 10"},
        {"Rifle Full Match",
         "S5; 10 Prone; 10 Prone; 10 Prone; 10 Prone; S5; 10 Standing; 10 Standing; 10 Standing; 10 Standing; "
         "S5; 10 Kneeling; 10 Kneeling; 10 Kneeling; 10 Kneeling"},
        {"Rifle Half Match", "S5; 10 Prone; 10 Prone; S5; 10 Standing; 10 Standing; S5; 10 Kneeling; 10 Kneeling"},
    };
    const int counts[] = {5, 7, 13, 7, 7, 15, 9};
    for (int type = 0; type < 7; ++type) {
        const MatchProgramme& p = catalogue.Programme(type);
        EXPECT_STREQ(p.title, expected[type].first);
        EXPECT_EQ(p.seriesCount, counts[type]) << type;
        EXPECT_EQ(Describe(p), expected[type].second) << type;
        EXPECT_TRUE(UnusedEntriesAreZero(p)) << type;
    }
}

TEST_F(Programmes, TestProgrammeComesFirstWhenTheVariableExists) {
    setenv("ZARK_TEST", "", 1);  // existing, even empty
    const MatchCatalogue catalogue;
    ASSERT_EQ(catalogue.Count(), 8);
    EXPECT_STREQ(catalogue.Programme(0).title, "Demo");
    EXPECT_EQ(Describe(catalogue.Programme(0)), "S3; 3; 3");
    EXPECT_STREQ(catalogue.Programme(1).title, "Air Rifle/Pistol 40 Shots");
    EXPECT_STREQ(catalogue.Programme(7).title, "Rifle Half Match");
    EXPECT_EQ(MatchCatalogue(false).Count(), 7);
    unsetenv("ZARK_TEST");
    EXPECT_EQ(MatchCatalogue().Count(), 7);
    EXPECT_EQ(MatchCatalogue(true).Count(), 8);
}

TEST_F(Programmes, ListOrderIsAlphabeticalByTitle) {
    const MatchCatalogue catalogue(true);
    std::vector<std::string> titles;
    for (const int index : catalogue.TitleOrder()) titles.push_back(catalogue.Programme(index).title);
    const std::vector<std::string> expected = {
        "Air Rifle/Pistol 40 Shots", "Air Rifle/Pistol 60 Shots", "Demo", "Pistol 12x5 Shots",
        "Pistol 6x10 Shots", "Rifle 60 Prone", "Rifle Full Match", "Rifle Half Match"};
    EXPECT_EQ(titles, expected);
}

TEST(ProgrammeRecord, NewRecordIsZeroAndFillingStartsFromZero) {
    MatchProgramme p;
    std::memset(&p, 0x5A, sizeof p);
    EXPECT_FALSE(FillMatchProgramme(p, 7));
    EXPECT_EQ(p.seriesCount, 0);
    EXPECT_EQ(p.title[0], '\0');
    EXPECT_TRUE(UnusedEntriesAreZero(p));
    std::memset(&p, 0x5A, sizeof p);
    EXPECT_FALSE(FillMatchProgramme(p, -2));
    EXPECT_TRUE(UnusedEntriesAreZero(p));
}

TEST(ProgrammeRecord, AtMostTwentyEntries) {
    MatchProgramme p{};
    for (int i = 0; i < kMaxMatchEntries; ++i) EXPECT_TRUE(AppendMatchEntry(p, 0, i + 1, "x"));
    EXPECT_FALSE(AppendMatchEntry(p, 1, 99, "too many"));
    EXPECT_EQ(p.seriesCount, 20);
    EXPECT_EQ(p.entries[19].shots, 20);
    p.seriesCount = -1;  // a damaged count is never used as an index
    EXPECT_FALSE(AppendMatchEntry(p, 0, 1));
}

TEST(ProgrammeRecord, LongTextsAreCutAtACharacterBoundary) {
    MatchProgramme p{};
    CopyProgrammeText(p.title, std::string(253, 'a') + "\xC3\xBC");  // 255 bytes: fits
    EXPECT_EQ(std::strlen(p.title), 255u);
    CopyProgrammeText(p.title, std::string(254, 'a') + "\xC3\xBC");  // the ü would need bytes 255 and 256
    EXPECT_EQ(std::strlen(p.title), 254u);
    CopyProgrammeText(p.title, std::string(254, 'a') + "\xE2\x82\xAC");  // so would the euro sign
    EXPECT_EQ(std::strlen(p.title), 254u);
    CopyProgrammeText(p.title, std::string(1000, 'b'));
    EXPECT_EQ(std::strlen(p.title), 255u);
    CopyProgrammeText(p.title, "short");
    EXPECT_STREQ(p.title, "short");
    EXPECT_EQ(p.title[6], '\0');  // nothing of the longer text is left behind
    // an empty title (a view without data, as an empty entry subtitle gives) clears the field
    CopyProgrammeText(p.title, std::string_view{});
    EXPECT_EQ(p.title[0], '\0');
    EXPECT_EQ(p.title[1], '\0');
}

// Answers the catalogue as the dialog would, and counts how often it was asked.
class ScriptedChooser final : public MatchChooser {
public:
    bool Choose(const MatchCatalogue&, int& index) override {
        ++asked;
        offered = index;
        if (!confirm) return false;
        index = answer;
        return true;
    }
    bool confirm = true;
    int answer = -1;
    int offered = -2;
    int asked = 0;
};

TEST_F(Programmes, ChoosingAndCopying) {
    MatchCatalogue catalogue(false);
    MatchProgramme destination{};
    CopyProgrammeText(destination.title, "held before");
    EXPECT_FALSE(catalogue.ChooseProgramme());  // no dialog to ask
    EXPECT_FALSE(catalogue.CopyChosen(destination));
    EXPECT_STREQ(destination.title, "held before");

    ScriptedChooser chooser;
    catalogue.SetChooser(&chooser);
    chooser.answer = 5;
    EXPECT_TRUE(catalogue.ChooseProgramme());
    EXPECT_EQ(catalogue.ChosenIndex(), 5);
    EXPECT_TRUE(catalogue.CopyChosen(destination));
    EXPECT_STREQ(destination.title, "Rifle Full Match");
    EXPECT_EQ(destination.seriesCount, 15);

    chooser.confirm = false;  // Cancel or closed: the earlier choice stays
    EXPECT_FALSE(catalogue.ChooseProgramme());
    EXPECT_EQ(chooser.offered, 5);
    EXPECT_EQ(catalogue.ChosenIndex(), 5);
}

TEST_F(Programmes, ConfirmingWithoutSelectionChangesNothing) {
    MatchCatalogue catalogue(false);
    ScriptedChooser chooser;
    catalogue.SetChooser(&chooser);
    chooser.answer = 2;
    ASSERT_TRUE(catalogue.ChooseProgramme());
    for (const int nothing : {-1, 7, 1000}) {
        chooser.answer = nothing;
        EXPECT_FALSE(catalogue.ChooseProgramme()) << nothing;
        EXPECT_EQ(catalogue.ChosenIndex(), 2);
    }
    MatchProgramme destination{};
    EXPECT_TRUE(catalogue.CopyChosen(destination));
    EXPECT_STREQ(destination.title, "Pistol 12x5 Shots");
    EXPECT_EQ(chooser.asked, 4);
}

// With another language active at start-up the titles, subtitles and the list order are that
// language's. Each runs in a process of its own, as texts load once per process.
[[noreturn]] void CheckLanguage(int langId, std::vector<std::string> sortedTitles, std::string prone) {
    QSettings("VEXA", "Zark").setValue("LangID", QString::number(langId));
    const MatchCatalogue catalogue(false);
    std::vector<std::string> titles;
    for (const int index : catalogue.TitleOrder()) titles.push_back(catalogue.Programme(index).title);
    const MatchProgramme& full = catalogue.Programme(5);
    const bool ok = titles == sortedTitles && full.entries[1].subtitle == prone &&
                    std::string(full.entries[6].subtitle) == UiText(188) &&
                    std::string(full.entries[11].subtitle) == UiText(187);
    for (const auto& title : titles) std::fprintf(stderr, "%s\n", title.c_str());
    std::fprintf(stderr, "%s\n", ok ? "RESULT ok" : "RESULT mismatch");
    std::_Exit(ok ? 0 : 1);
}

class ProgrammesInOtherLanguages : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(ProgrammesInOtherLanguages, German) {
    EXPECT_EXIT(CheckLanguage(1031,
                              {"Gewehr 60 Schuss liegend", "Gewehr Dreistellungskampf 3x20",
                               "Gewehr Dreistellungskampf 3x40", "Luftgewehr/Luftpistole 40 Schuss",
                               "Luftgewehr/Luftpistole 60 Schuss", "Pistole 12x5 Schuss", "Pistole 6x10 Schuss"},
                              "Liegend"),
                ::testing::ExitedWithCode(0), "RESULT ok");
}

TEST_F(ProgrammesInOtherLanguages, Swedish) {
    EXPECT_EXIT(CheckLanguage(1053,
                              {"Gevär 60 skott liggande", "Gevär halvmatch 3x20", "Gevär helmatch 3x40",
                               "Luftgevär/luftpistol 40 skott", "Luftgevär/luftpistol 60 skott",
                               "Pistol 12x5 skott", "Pistol 6x10 skott"},
                              "Liggande"),
                ::testing::ExitedWithCode(0), "RESULT ok");
}

TEST_F(ProgrammesInOtherLanguages, Spanish) {
    EXPECT_EXIT(CheckLanguage(3082,
                              {"Carabina 60 tiros tendido", "Carabina tres posiciones 3x20",
                               "Carabina tres posiciones 3x40", "Carabina/pistola de aire 40 tiros",
                               "Carabina/pistola de aire 60 tiros", "Pistola 12x5 tiros", "Pistola 6x10 tiros"},
                              "Tendido"),
                ::testing::ExitedWithCode(0), "RESULT ok");
}

}  // namespace
}  // namespace zark
