#include "app/registryplacements.h"

#include "settings/registryaccess.h"

namespace zark {

bool RegistryPlacements::ReadPlacement(std::string_view name, Rect& rect, std::string* word) {
    RegistryAccess registry;
    return registry.readRect(name, rect, word);
}

void RegistryPlacements::WritePlacement(std::string_view name, const Rect& rect, std::string_view word) {
    RegistryAccess registry;
    registry.writeRect(name, rect, word);
}

PlacementStore& ProgramPlacements() {
    static RegistryPlacements store;
    return store;
}

}  // namespace zark
