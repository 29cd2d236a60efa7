#pragma once

#include "targets/targetdescriptor.h"

namespace zark {

// A target face is always chosen as a pair: the two faces of a hunting animal (moving one way and
// the other), or one face. second is null where a menu choice gives no second face; the hub then
// uses the first for both.
struct TargetPair {
    const TargetDescriptor* first = nullptr;
    const TargetDescriptor* second = nullptr;
};

inline constexpr int kTargetCount = 33;
// The commands of the Targets menu entries.
inline constexpr int kFirstTargetCommand = 2109;
inline constexpr int kLastTargetCommand = 2136;

// identity / 1000 × 1000: 1000 rifle, 2000 hunt, 3000 field, 4000 biathlon, 5000 pistol.
int TargetFamily(int identity);

// All target faces the program knows, built once with the main frame and unchanged afterwards.
class TargetCatalogue final {
public:
    TargetCatalogue() = default;
    TargetCatalogue(const TargetCatalogue&) = delete;
    TargetCatalogue& operator=(const TargetCatalogue&) = delete;

    // Clears all faces and defines them with their rings, scales, pictures and zone maps.
    void Build();

    // The pair of a target identity as written to series and match files: every face's own
    // identity, 1450 for the air rifle finale and 2301 for the hunting air rifle; either face of
    // an animal gives its pair, first face first; a single face is both members. Any other number
    // shows "illegal target identity %x" and fails. Returns 1 on success, 0 on failure.
    int FindByIdentity(int identity, TargetPair& pair) const;
    // The same without the message, for readers on other threads that report by themselves.
    int FindQuietly(int identity, TargetPair& pair) const;
    // The pair the Targets menu command selects (2109 to 2136). Returns 1, or 0 for another command.
    int PairForCommand(int command, TargetPair& pair) const;
    // The menu command that selects face index (0..32), 0 outside.
    static int MenuCommand(int index);

    static constexpr int Count() { return kTargetCount; }
    const TargetDescriptor& Entry(int index) const { return entries_[index]; }  // index 0..32
    // The index of a face of this catalogue, -1 for any other pointer.
    int IndexOf(const TargetDescriptor* face) const;

private:
    TargetDescriptor entries_[kTargetCount];
};

}  // namespace zark
