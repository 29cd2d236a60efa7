#pragma once

#include "targets/targetcatalogue.h"

namespace zark::test {

// The catalogue with every face and bitmap, built once for the whole test program.
inline const TargetCatalogue& BuiltCatalogue() {
    static const TargetCatalogue* catalogue = [] {
        auto* built = new TargetCatalogue;
        built->Build();
        return built;
    }();
    return *catalogue;
}

// The first face of the catalogue's target with this identity (one the catalogue has).
inline const TargetDescriptor& CatalogueFace(int identity) {
    TargetPair pair;
    BuiltCatalogue().FindByIdentity(identity, pair);
    return *pair.first;
}

}  // namespace zark::test
