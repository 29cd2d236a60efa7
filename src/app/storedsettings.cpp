#include "app/storedsettings.h"

#include "i18n/uistrings.h"
#include "settings/settingsstorage.h"

namespace zark {
namespace {
constexpr int kNoSoundText = 103;  // "(none)"
}

StoredSettings::StoredSettings() {
    LoadUiStrings();
    LoadSettings(settings_, registry_, UiText(kNoSoundText));
}

StoredSettings::~StoredSettings() { SaveSettings(settings_, registry_); }

}  // namespace zark
