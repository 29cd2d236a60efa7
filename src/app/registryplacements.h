#pragma once

#include "settings/registryaccess.h"
#include "window/placementstore.h"

namespace zark {

// The window placements of the program: the "Dialogs" group of the settings storage.
class RegistryPlacements final : public PlacementStore {
public:
    bool ReadPlacement(std::string_view name, Rect& rect, std::string* word) override {
        RegistryAccess registry;
        return registry.readRect(name, rect, word);
    }
    void WritePlacement(std::string_view name, const Rect& rect, std::string_view word) override {
        RegistryAccess registry;
        registry.writeRect(name, rect, word);
    }
};

// The one store of the program: it outlives every window.
inline PlacementStore& ProgramPlacements() {
    static RegistryPlacements store;
    return store;
}

}  // namespace zark
