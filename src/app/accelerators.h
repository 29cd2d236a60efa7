#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "window/commandtable.h"

// The keyboard shortcuts of the main window. They are kept as a table of (modifier flags, key,
// command) and matched by the program's own rule, not by the toolkit's shortcuts: the key is a
// virtual-key code, and Ctrl, Shift and Alt must be held exactly as the entry says.

namespace zark {

struct Accelerator {
    std::uint8_t flags = 0;  // AcceleratorFlag bits
    std::uint16_t key = 0;   // virtual-key code
    std::uint16_t command = 0;
};

// At most this many entries of a table take part in matching.
inline constexpr std::size_t kMaxMatchedAccelerators = 100;

// The shortcuts of the main window, from the command table, in their matching order.
std::vector<Accelerator> MainAccelerators();

// The command of the first entry (among the first 100) whose key is virtualKey and whose Ctrl,
// Shift and Alt flags are set exactly when those keys are held; 0 when none matches.
int MatchAccelerator(std::span<const Accelerator> table, int virtualKey, bool control, bool shift, bool alt);

// The virtual-key code of a Qt key (Qt::Key value) for the matching rule; 0 for keys without one.
// A key of the numeric keypad has the keypad's own codes for its digits.
int VirtualKeyOf(int qtKey, bool keypad);

}  // namespace zark
