#pragma once

#include <string>

#include "settings/registryaccess.h"
#include "settings/settings.h"

namespace zark {

// Sets the defaults, then reads every persisted value in its stored order. A missing value is
// logged and its field keeps the default; no range check is made.
void LoadSettings(Settings& settings, RegistryAccess& registry, const std::string& noSoundText);
// The data directory alone, the default where none is stored, without a word in the log (for
// command-line runs whose log is standard error).
std::string LoadDataDirectory(RegistryAccess& registry);

// Writes every persisted value in its stored order. Write failures are ignored.
void SaveSettings(const Settings& settings, RegistryAccess& registry);

}  // namespace zark
