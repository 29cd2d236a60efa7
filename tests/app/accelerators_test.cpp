// The keyboard shortcut table and the program's own matching rule.
#include <gtest/gtest.h>

#include <Qt>

#include "app/accelerators.h"
#include "window/commandids.h"

namespace zark {
namespace {

int Match(int key, bool control = false, bool shift = false, bool alt = false) {
    const std::vector<Accelerator> table = MainAccelerators();
    return MatchAccelerator(table, key, control, shift, alt);
}

// The twelve of the original table, then Ctrl+T for the timed series.
TEST(Accelerators, TheEntriesInTheirOrder) {
    const std::vector<Accelerator> table = MainAccelerators();
    ASSERT_EQ(table.size(), 13u);
    const struct {
        int flags;
        int key;
        int command;
    } expected[] = {
        {kAccelControl, 'P', 2104}, {kAccelControl, 'O', 2101}, {kAccelControl, 'S', 2102},
        {kAccelAlt, 'D', 2152},     {kAccelAlt, '1', 2105},     {kAccelAlt, '2', 2106},
        {kAccelAlt, '3', 2107},     {kAccelAlt, '4', 2108},     {0, 0x70, 2159},
        {0, 0x72, 2157},            {0, 0x74, 2155},            {0, 0x79, 2158},            {kAccelControl, 'T', kCmdTimedSeries},
    };
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].flags, expected[i].flags) << i;
        EXPECT_EQ(table[i].key, expected[i].key) << i;
        EXPECT_EQ(table[i].command, expected[i].command) << i;
    }
}

TEST(Accelerators, ModifiersMustBeHeldExactly) {
    EXPECT_EQ(Match('P', true), kCmdPrint);
    EXPECT_EQ(Match('O', true), kCmdOpen);
    EXPECT_EQ(Match('S', true), kCmdSave);
    EXPECT_EQ(Match('D', false, false, true), kCmdDiagram);
    EXPECT_EQ(Match('4', false, false, true), kCmdZoom4);
    EXPECT_EQ(Match(kVkF10), kCmdNewSerie);
    EXPECT_EQ(Match('T', true), kCmdTimedSeries);
    EXPECT_EQ(Match('T'), 0);
    // Ctrl+O does not fire while Shift is also down; a key without modifiers fires only alone.
    EXPECT_EQ(Match('O', true, true), 0);
    EXPECT_EQ(Match(kVkF3, false, true), 0);
    EXPECT_EQ(Match(kVkF10, true), 0);
    EXPECT_EQ(Match(kVkF1, false, false, true), 0);
    EXPECT_EQ(Match('P'), 0);
    EXPECT_EQ(Match('D', true, false, true), 0);
    EXPECT_EQ(Match(0), 0);
}

TEST(Accelerators, TheFirstMatchingEntryWins) {
    const std::vector<Accelerator> table{{0, kVkF3, 1}, {0, kVkF3, 2}, {kAccelShift, kVkF3, 3}};
    EXPECT_EQ(MatchAccelerator(table, kVkF3, false, false, false), 1);
    EXPECT_EQ(MatchAccelerator(table, kVkF3, false, true, false), 3);
}

TEST(Accelerators, OnlyTheFirstHundredEntriesAreMatched) {
    std::vector<Accelerator> table(100, Accelerator{kAccelControl, 'Q', 7});
    table.push_back({0, kVkF5, 2155});
    EXPECT_EQ(MatchAccelerator(table, kVkF5, false, false, false), 0);
    table.erase(table.begin());
    EXPECT_EQ(MatchAccelerator(table, kVkF5, false, false, false), 2155);
}

TEST(Accelerators, QtKeysBecomeVirtualKeyCodes) {
    EXPECT_EQ(VirtualKeyOf(Qt::Key_1, false), '1');
    // The keypad's digits are keys of their own: Alt with keypad 1 is not Zoom 1:1.
    EXPECT_EQ(VirtualKeyOf(Qt::Key_1, true), 0x61);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_F10, false), 0x79);
    // Shift+1 arrives as "!": it has no code and matches nothing.
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Exclam, false), 0);
    EXPECT_EQ(VirtualKeyOf(Qt::Key_Alt, false), 0);
}

}  // namespace
}  // namespace zark
