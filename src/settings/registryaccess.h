#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/registryforms.h"
#include "settings/settings.h"

class QVariant;

namespace zark {

// Access to the two stored groups of values: the settings key (organisation "VEXA", application
// "Zark") and its "Dialogs" group with window placements and the printer page. Holders share the
// keys: the first live holder opens them, the last one closes them (which writes them out).
// All access runs on the user-interface thread.
class RegistryAccess final {
public:
    RegistryAccess();
    ~RegistryAccess();
    RegistryAccess(const RegistryAccess&) = delete;
    RegistryAccess& operator=(const RegistryAccess&) = delete;

    static int LiveCount();
    static bool KeysOpen();

    // Settings key. A failed read logs "error reading registry value '%s'" with the system's
    // text, returns false and leaves the target unchanged. A text that does not begin with a
    // number returns false without a log entry and also leaves the target unchanged.
    bool readInt(std::string_view name, std::int32_t& value);
    bool readShort(std::string_view name, std::uint16_t& value);
    bool readReal(std::string_view name, double& value);
    bool readString(std::string_view name, std::string& value);
    // True when a value of that name is stored.
    bool contains(std::string_view name) const;
    bool readColour(std::string_view name, ColourRef& value);

    bool writeInt(std::string_view name, std::int32_t value);
    bool writeShort(std::string_view name, std::uint16_t value);
    bool writeReal(std::string_view name, double value);
    bool writeString(std::string_view name, std::string_view value);
    bool writeColour(std::string_view name, ColourRef value);

    // "Dialogs" group. A failed read is silent, so the caller uses its default.
    bool readRect(std::string_view name, Rect& rect, std::string* word = nullptr);
    bool writeRect(std::string_view name, const Rect& rect, std::string_view word = {});

    // Writes what is pending to the storage now.
    void flush();

private:
    bool readText(std::string_view group, std::string_view name, std::string& text, bool logFailure);
    bool writeValue(std::string_view group, std::string_view name, const QVariant& value);
};

}  // namespace zark
