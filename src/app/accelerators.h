#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The keyboard shortcuts of the main window. They are kept as a table of (modifier flags, key,
// command) and matched by the program's own rule, not by the toolkit's shortcuts: the key is a
// virtual-key code, and Ctrl, Shift and Alt must be held exactly as the entry says.

namespace zark {

enum AcceleratorFlag : std::uint8_t {
    kAccelShift = 4,
    kAccelControl = 8,
    kAccelAlt = 16,
};

// Virtual-key codes: letters and digits are their upper-case character codes.
enum VirtualKey : int {
    kVkBack = 0x08,
    kVkTab = 0x09,
    kVkReturn = 0x0D,
    kVkEscape = 0x1B,
    kVkSpace = 0x20,
    kVkPrior = 0x21,
    kVkNext = 0x22,
    kVkEnd = 0x23,
    kVkHome = 0x24,
    kVkLeft = 0x25,
    kVkUp = 0x26,
    kVkRight = 0x27,
    kVkDown = 0x28,
    kVkInsert = 0x2D,
    kVkDelete = 0x2E,
    kVkNumpad0 = 0x60,
    kVkF1 = 0x70,
    kVkF3 = 0x72,
    kVkF5 = 0x74,
    kVkF10 = 0x79,
    kVkF24 = 0x87,
};

struct Accelerator {
    std::uint8_t flags = 0;  // AcceleratorFlag bits
    std::uint16_t key = 0;   // virtual-key code
    std::uint16_t command = 0;
};

// At most this many entries of a table take part in matching.
inline constexpr std::size_t kMaxMatchedAccelerators = 100;

// The twelve shortcuts of the main window, in matching order.
std::vector<Accelerator> MainAccelerators();

// The command of the first entry (among the first 100) whose key is virtualKey and whose Ctrl,
// Shift and Alt flags are set exactly when those keys are held; 0 when none matches.
int MatchAccelerator(std::span<const Accelerator> table, int virtualKey, bool control, bool shift, bool alt);

// The virtual-key code of a Qt key (Qt::Key value) for the matching rule; 0 for keys without one.
// A key of the numeric keypad has the keypad's own codes for its digits.
int VirtualKeyOf(int qtKey, bool keypad);

}  // namespace zark
