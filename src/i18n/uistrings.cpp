#include "i18n/uistrings.h"

#include <QFile>
#include <QLocale>
#include <QString>
#include <array>
#include <atomic>
#include <mutex>

#include "settings/registryaccess.h"

namespace zark {
namespace {

const std::string kEmpty;

constexpr int kNotLoadedId = 2;  // "not used": in the tables, never loaded

constexpr std::array<const char*, 4> kResourcePaths{
    ":/zark/strings/en.txt",  // UiLanguage::English
    ":/zark/strings/de.txt",  // UiLanguage::German
    ":/zark/strings/sv.txt",  // UiLanguage::Swedish
    ":/zark/strings/es.txt",  // UiLanguage::Spanish
};

std::once_flag g_loadOnce;
std::atomic<bool> g_loaded{false};
UiLanguage g_language = UiLanguage::English;
std::vector<std::string> g_texts;  // by id, written once before g_loaded is set

}  // namespace

const StringTable& BuiltInStringTable(UiLanguage language) {
    static std::array<std::once_flag, kResourcePaths.size()> once;
    static std::array<StringTable, kResourcePaths.size()> tables;
    const auto index = std::size_t(language);
    std::call_once(once[index], [index] {
        // A table that is missing leaves its texts empty; the tests guard the tables.
        QFile file(QString::fromLatin1(kResourcePaths[index]));
        if (!file.open(QIODevice::ReadOnly)) return;
        const QByteArray bytes = file.readAll();
        tables[index] = StringTable::Parse(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    });
    return tables[index];
}

std::string LookupString(UiLanguage language, int id) {
    const StringTable& table = BuiltInStringTable(language);
    if (table.Contains(id)) return table.Text(id);
    return BuiltInStringTable(UiLanguage::English).Text(id);
}

bool IsNoSoundName(const std::string& name) {
    constexpr int kNoSoundText = 103;  // "(none)"
    if (name.empty()) return true;
    for (const UiLanguage language :
         {UiLanguage::English, UiLanguage::German, UiLanguage::Swedish, UiLanguage::Spanish})
        if (name == LookupString(language, kNoSoundText)) return true;
    return false;
}

void LoadUiStrings() {
    std::call_once(g_loadOnce, [] {
        std::uint16_t langId = kLangIdDefault;
        {
            RegistryAccess registry;  // the settings key; a failed read is logged and keeps 0x0400
            registry.readShort("LangID", langId);
        }
        const UiLanguage language = ResolveUiLanguage(langId, QLocale());

        std::vector<int> ids = BuiltInStringTable(UiLanguage::English).Ids();
        const std::vector<int> own = BuiltInStringTable(language).Ids();
        ids.insert(ids.end(), own.begin(), own.end());
        std::vector<std::string> texts;
        for (const int id : ids) {
            if (id == kNotLoadedId) continue;
            if (std::size_t(id) >= texts.size()) texts.resize(std::size_t(id) + 1);
            texts[std::size_t(id)] = LookupString(language, id);
        }
        g_language = language;
        g_texts = std::move(texts);
        g_loaded.store(true, std::memory_order_release);
    });
}

bool UiStringsLoaded() { return g_loaded.load(std::memory_order_acquire); }

const std::string& UiText(int id) {
    if (!UiStringsLoaded() || id < 0 || std::size_t(id) >= g_texts.size()) return kEmpty;
    return g_texts[std::size_t(id)];
}

QString UiQString(int id) { return QString::fromStdString(UiText(id)); }

UiLanguage ActiveUiLanguage() { return UiStringsLoaded() ? g_language : UiLanguage::English; }

QLocale UiLocale() { return LocaleOf(ActiveUiLanguage()); }

}  // namespace zark
