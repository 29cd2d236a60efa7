#include <gtest/gtest.h>

#include <QLocale>
#include <QSettings>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "i18n/uistrings.h"
#include "support/testsupport.h"

namespace zark {
namespace {

// No test of this program loads the texts in its own process: they load once per process, so each
// loading case runs in a fresh process of its own (a gtest death test that exits normally).

TEST(UiStrings, EmptyBeforeLoading) {
    EXPECT_FALSE(UiStringsLoaded());
    EXPECT_EQ(UiText(5), "");
    EXPECT_TRUE(UiQString(63).isEmpty());
    EXPECT_EQ(ActiveUiLanguage(), UiLanguage::English);
}

TEST(UiLanguageChoice, LangIdsGiveTheirTables) {
    const QLocale french(QLocale::French, QLocale::France);
    EXPECT_EQ(ResolveUiLanguage(1031, french), UiLanguage::German);
    EXPECT_EQ(ResolveUiLanguage(1053, french), UiLanguage::Swedish);
    EXPECT_EQ(ResolveUiLanguage(3082, french), UiLanguage::Spanish);
    EXPECT_EQ(ResolveUiLanguage(1033, QLocale(QLocale::German)), UiLanguage::English);
    for (const int other : {0, 9999, 1044, 0x0807, 0x040A, 0x081D, 0xFFFF})
        EXPECT_EQ(ResolveUiLanguage(std::uint16_t(other), QLocale(QLocale::German)), UiLanguage::English) << other;
}

TEST(UiLanguageChoice, DefaultTakesTheUsersLanguageWhenTranslated) {
    EXPECT_EQ(ResolveUiLanguage(0x0400, QLocale(QLocale::German, QLocale::Switzerland)), UiLanguage::German);
    EXPECT_EQ(ResolveUiLanguage(0x0400, QLocale(QLocale::Swedish, QLocale::Finland)), UiLanguage::Swedish);
    EXPECT_EQ(ResolveUiLanguage(0x0400, QLocale(QLocale::Spanish, QLocale::Mexico)), UiLanguage::Spanish);
    EXPECT_EQ(ResolveUiLanguage(0x0400, QLocale(QLocale::English, QLocale::UnitedKingdom)), UiLanguage::English);
    EXPECT_EQ(ResolveUiLanguage(0x0400, QLocale(QLocale::NorwegianBokmal)), UiLanguage::English);
    EXPECT_EQ(ResolveUiLanguage(0x0400, QLocale::c()), UiLanguage::English);
}

TEST(UiLanguageChoice, TheFiveEntriesOfTheCustomizeList) {
    std::vector<std::pair<std::string, int>> entries;
    for (const LanguageChoice& choice : LanguageChoices()) entries.emplace_back(choice.text, choice.langId);
    const std::vector<std::pair<std::string, int>> expected = {
        {"(default)", 1024}, {"English US", 1033}, {"Deutsch   (German)", 1031},
        {"Espa\xC3\xB1ol   (Spanish)", 3082}, {"Svenska   (Swedish)", 1053}};
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(LangIdOfChoice("Svenska   (Swedish)"), 1053);
    EXPECT_EQ(LangIdOfChoice("Svenska (Swedish)"), 1024);  // one space is another text
    EXPECT_EQ(LangIdOfChoice(""), 1024);                   // nothing selected
}

// Runs in the child process: stores LangID (or nothing), sets the user's locale, loads, and
// reports what it loaded on stderr as "loaded <File menu>|<no sound>|<string 2>|<log lines>".
[[noreturn]] void LoadAndReport(std::optional<int> storedLangId, const QLocale& userLocale) {
    if (storedLangId) QSettings("VEXA", "Zark").setValue("LangID", QString::number(*storedLangId));
    QLocale::setDefault(userLocale);
    LogLine("%s", "");  // this process's log begins here
    const std::size_t logBefore = test::LogText().size();
    LoadUiStrings();
    const std::string log = test::LogText().substr(logBefore);
    std::fprintf(stderr, "loaded %s|%s|[%s]|%d\n", UiText(5).c_str(), UiText(103).c_str(), UiText(2).c_str(),
                 test::CountOf(log, "error reading registry value 'LangID'"));
    std::fflush(stderr);
    std::_Exit(UiStringsLoaded() ? 0 : 1);
}

class LoadingUiStrings : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    const QLocale french{QLocale::French, QLocale::France};
};

TEST_F(LoadingUiStrings, StoredLangIdChoosesTheTable) {
    EXPECT_EXIT(LoadAndReport(1031, french), ::testing::ExitedWithCode(0), "loaded &Archiv\\|\\(Ruhe\\)\\|\\[\\]\\|0");
    EXPECT_EXIT(LoadAndReport(1053, french), ::testing::ExitedWithCode(0), "loaded &Arkiv\\|\\(tyst\\)\\|\\[\\]\\|0");
    EXPECT_EXIT(LoadAndReport(3082, french), ::testing::ExitedWithCode(0), "loaded &Archivo\\|\\(nada\\)\\|\\[\\]\\|0");
}

TEST_F(LoadingUiStrings, EnglishUSAndUnknownLangIdsGiveEnglish) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EXIT(LoadAndReport(1033, german), ::testing::ExitedWithCode(0), "loaded &File\\|\\(none\\)\\|\\[\\]\\|0");
    EXPECT_EXIT(LoadAndReport(9999, german), ::testing::ExitedWithCode(0), "loaded &File\\|\\(none\\)");
    EXPECT_EXIT(LoadAndReport(1044, german), ::testing::ExitedWithCode(0), "loaded &File\\|\\(none\\)");
}

TEST_F(LoadingUiStrings, MissingLangIdIsLoggedAndTakesTheUsersLanguage) {
    EXPECT_EXIT(LoadAndReport(std::nullopt, QLocale(QLocale::Spanish, QLocale::Mexico)),
                ::testing::ExitedWithCode(0), "loaded &Archivo\\|\\(nada\\)\\|\\[\\]\\|1");
    EXPECT_EXIT(LoadAndReport(std::nullopt, french), ::testing::ExitedWithCode(0), "loaded &File\\|\\(none\\)\\|\\[\\]\\|1");
    EXPECT_EXIT(LoadAndReport(1024, QLocale(QLocale::Swedish, QLocale::Sweden)), ::testing::ExitedWithCode(0),
                "loaded &Arkiv\\|\\(tyst\\)\\|\\[\\]\\|0");
}

// A LangID text the settings cannot read as a number is handled as a missing one.
TEST_F(LoadingUiStrings, UnreadableLangIdKeepsTheDefault) {
    auto run = [] {
        QSettings("VEXA", "Zark").setValue("LangID", "Deutsch");
        LoadAndReport(std::nullopt, QLocale(QLocale::German, QLocale::Austria));
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "loaded &Archiv\\|\\(Ruhe\\)");
}

// Loading happens once per process: a later change of LangID takes effect at the next start.
TEST_F(LoadingUiStrings, LoadsOncePerProcess) {
    auto run = [] {
        QSettings("VEXA", "Zark").setValue("LangID", "1053");
        LoadUiStrings();
        QSettings("VEXA", "Zark").setValue("LangID", "1031");
        LoadUiStrings();
        std::fprintf(stderr, "%s %d\n", UiText(5).c_str(), int(ActiveUiLanguage() == UiLanguage::Swedish));
        std::_Exit(0);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "&Arkiv 1");
}

// Every id of the table but 2 is loaded, and letters beyond ASCII arrive intact.
TEST_F(LoadingUiStrings, LoadedTextsAreTheTablesTexts) {
    auto run = [] {
        QSettings("VEXA", "Zark").setValue("LangID", "3082");
        LoadUiStrings();
        int wrong = 0;
        for (const int id : BuiltInStringTable(UiLanguage::English).Ids())
            if (id != 2 && UiText(id) != LookupString(UiLanguage::Spanish, id)) ++wrong;
        const bool letters = UiQString(192).contains(QChar(0x00F1)) && UiText(192).find("\xC3\xB1") != std::string::npos;
        std::fprintf(stderr, "wrong %d letters %d outside %d\n", wrong, int(letters),
                     int(UiText(0).empty() && UiText(36).empty() && UiText(-1).empty() && UiText(100000).empty()));
        std::_Exit(0);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "wrong 0 letters 1 outside 1");
}

}  // namespace
}  // namespace zark
