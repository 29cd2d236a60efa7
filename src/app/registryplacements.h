#pragma once

#include "window/placementstore.h"

namespace zark {

// The window placements of the program: the "Dialogs" group of the settings storage.
class RegistryPlacements final : public PlacementStore {
public:
    bool ReadPlacement(std::string_view name, Rect& rect, std::string* word) override;
    void WritePlacement(std::string_view name, const Rect& rect, std::string_view word) override;
};

// The one store of the process: it outlives every window.
PlacementStore& ProgramPlacements();

}  // namespace zark
