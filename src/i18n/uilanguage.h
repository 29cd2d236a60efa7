#pragma once

#include <cstdint>
#include <span>
#include <string_view>

class QLocale;

namespace zark {

// The languages the user interface has tables for. English is also the fallback of every other
// language choice.
enum class UiLanguage { English, German, Swedish, Spanish };

// Values of the "LangID" setting.
inline constexpr std::uint16_t kLangIdDefault = 0x0400;  // the user's own language
inline constexpr std::uint16_t kLangIdEnglishUS = 0x0409;
inline constexpr std::uint16_t kLangIdGerman = 0x0407;
inline constexpr std::uint16_t kLangIdSwedish = 0x041D;
inline constexpr std::uint16_t kLangIdSpanish = 0x0C0A;

// The table a "LangID" value selects: German, Swedish or Spanish for their exact values, English for
// 1033 and any value without a table. 0x0400 takes the language of userLocale when it is German,
// Swedish or Spanish (any country), else English.
UiLanguage ResolveUiLanguage(std::uint16_t langId, const QLocale& userLocale);

// A locale of the language, for sorting and comparing texts the way its users expect.
QLocale LocaleOf(UiLanguage language);

// One entry of the language list of the Customize dialog: its text (the same in every language)
// and the "LangID" stored for it.
struct LanguageChoice {
    std::string_view text;
    std::uint16_t langId;
};

// The five choices in lookup order: "(default)", "English US", "Deutsch   (German)",
// "Español   (Spanish)", "Svenska   (Swedish)" (UTF-8; three spaces before each parenthesis).
std::span<const LanguageChoice> LanguageChoices();

// The "LangID" of a choice's text; 0x0400 for any other text, such as no selection.
std::uint16_t LangIdOfChoice(std::string_view text);

}  // namespace zark
