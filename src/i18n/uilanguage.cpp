#include "i18n/uilanguage.h"

#include <QLocale>
#include <array>

namespace zark {
namespace {

constexpr std::array<LanguageChoice, 5> kChoices{{
    {"(default)", kLangIdDefault},
    {"English US", kLangIdEnglishUS},
    {"Deutsch   (German)", kLangIdGerman},
    {"Espa\xC3\xB1ol   (Spanish)", kLangIdSpanish},
    {"Svenska   (Swedish)", kLangIdSwedish},
}};

}  // namespace

UiLanguage ResolveUiLanguage(std::uint16_t langId, const QLocale& userLocale) {
    switch (langId) {
    case kLangIdGerman: return UiLanguage::German;
    case kLangIdSwedish: return UiLanguage::Swedish;
    case kLangIdSpanish: return UiLanguage::Spanish;
    case kLangIdDefault:
        switch (userLocale.language()) {
        case QLocale::German: return UiLanguage::German;
        case QLocale::Swedish: return UiLanguage::Swedish;
        case QLocale::Spanish: return UiLanguage::Spanish;
        default: return UiLanguage::English;
        }
    default: return UiLanguage::English;
    }
}

QLocale LocaleOf(UiLanguage language) {
    switch (language) {
    case UiLanguage::German: return QLocale(QLocale::German, QLocale::Germany);
    case UiLanguage::Swedish: return QLocale(QLocale::Swedish, QLocale::Sweden);
    case UiLanguage::Spanish: return QLocale(QLocale::Spanish, QLocale::Spain);
    case UiLanguage::English: break;
    }
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

std::span<const LanguageChoice> LanguageChoices() { return kChoices; }

std::uint16_t LangIdOfChoice(std::string_view text) {
    for (const LanguageChoice& choice : kChoices)
        if (choice.text == text) return choice.langId;
    return kLangIdDefault;
}

}  // namespace zark
