#pragma once

#include "settings/registryaccess.h"
#include "settings/settings.h"

namespace zark {

// The main frame's Settings record: the texts of the chosen language are loaded first (the
// default sound name is one of them), then the defaults and the stored values; at destruction
// every persisted value is written back.
class StoredSettings final {
public:
    StoredSettings();
    ~StoredSettings();
    StoredSettings(const StoredSettings&) = delete;
    StoredSettings& operator=(const StoredSettings&) = delete;

    Settings& Get() { return settings_; }
    const Settings& Get() const { return settings_; }

private:
    RegistryAccess registry_;
    Settings settings_;
};

}  // namespace zark
