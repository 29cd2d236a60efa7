#pragma once

#include <string>
#include <string_view>

#include "settings/registryforms.h"

namespace zark {

// Where windows keep their placements between runs: a rectangle, and an optional word after it,
// under the window's placement name ("Main", "Target", "Scoreboard", ...). A frame window uses the
// store it is handed and a child window the store of its area; without one, the store of the
// process, which the program sets at start-up. With none at all a window reads nothing and keeps
// nothing.
class PlacementStore {
public:
    virtual ~PlacementStore() = default;

    // False when no rectangle is stored under name (rect is left as it is then). word, when
    // given, receives the stored word or is cleared when there is none.
    virtual bool ReadPlacement(std::string_view name, Rect& rect, std::string* word) = 0;
    virtual void WritePlacement(std::string_view name, const Rect& rect, std::string_view word) = 0;
};

// The store of the process; null until it is set.
inline PlacementStore*& ProcessPlacements() {
    static PlacementStore* store = nullptr;
    return store;
}

}  // namespace zark
