// The command table held against the menu and toolbar state tables as the program's menus are
// specified (transcribed here independently of the table), and the table's own consistency: one
// row per command, one button per toolbar place, one entry per place of the shortcut order.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "window/commandtable.h"

namespace zark {
namespace {

// A cell as the state tables write it.
std::string Word(Cell cell) {
    switch (cell) {
        case G: return "grey";
        case O: return "on";
        case U: return "unchanged";
        case C: return "on";  // with its second text
    }
    return "?";
}

const CommandRow& Row(int id) {
    const CommandRow* row = FindCommand(id);
    EXPECT_NE(row, nullptr) << id;
    static const CommandRow none{};
    return row ? *row : none;
}

std::vector<int> ItemsOf(const ShootMenuVariant& variant) {
    std::vector<int> items;
    for (const int id : variant.items)
        if (id != 0) items.push_back(id);
    return items;
}

struct StateRow {
    std::vector<int> items;
    std::array<const char*, 4> cells;  // target shown, shooting, paused, idle
};

// The menu states: item, target-shown, shooting, paused, idle.
const std::vector<StateRow> kMenuStates = {
    {{2102}, {"grey", "grey", "grey", "on"}},
    {{2101}, {"on", "grey", "on", "on"}},
    {{2200}, {"on", "grey", "on", "on"}},
    {{2103}, {"on", "grey", "on", "on"}},
    {{2104}, {"grey", "grey", "grey", "on"}},
    {{2182}, {"on", "grey", "grey", "on"}},
    {{2152}, {"on", "grey", "on", "on"}},
    {{2155}, {"on", "grey", "grey", "on"}},
    {{2156}, {"on", "grey", "on", "on"}},
    {{2105, 2106, 2107, 2108}, {"on", "unchanged", "unchanged", "unchanged"}},
    {{2183}, {"on", "unchanged", "unchanged", "unchanged"}},
    {{2157}, {"grey", "on", "on", "grey"}},
    {{2158}, {"grey", "grey", "on", "on"}},
};
const std::array<const char*, 4> kShootItems{"on", "grey", "on", "on"};
const std::array<const char*, 4> kTargetsPopup{"on", "grey", "on", "on"};
// 2157's text in each state: "&Pause\tF3" (129) or "&Continue\tF3" (128).
const std::array<int, 4> kPauseTexts{129, 129, 128, 129};

// The toolbar's button states: button, idle, target shown, shooting, paused (1 enabled).
const std::vector<std::pair<std::vector<int>, std::array<int, 4>>> kButtonStates = {
    {{2102}, {1, 0, 0, 0}},
    {{2101}, {1, 1, 0, 1}},
    {{2200}, {1, 1, 0, 1}},
    {{2104}, {1, 0, 0, 0}},
    {{2191, 2192}, {1, 1, 1, 1}},
    {{2152}, {1, 1, 0, 1}},
    {{2155}, {1, 1, 0, 0}},
    {{2183}, {1, 1, 1, 1}},
    {{2156, 2185, 2186, 2187, 2188, 2189}, {1, 0, 0, 1}},
    {{2157}, {0, 0, 1, 1}},
    {{2158}, {1, 0, 0, 1}},
    {{2193}, {1, 0, 0, 0}},
};

TEST(CommandTable, MenuStatesAsSpecified) {
    for (const StateRow& expected : kMenuStates)
        for (const int id : expected.items)
            for (std::size_t column = 0; column < 4; ++column)
                EXPECT_EQ(Word(Row(id).menuStates[column]), expected.cells[column]) << id << " column " << column;

    for (std::size_t column = 0; column < 4; ++column) {
        EXPECT_EQ(Word(kTargetsMenuStates[column]), kTargetsPopup[column]) << column;
        const Cell pause = Row(2157).menuStates[column];
        EXPECT_EQ(pause == C ? Row(2157).item.secondText : Row(2157).item.text, kPauseTexts[column]) << column;
    }

    // Every item of the Shoot menu, by position, follows the Shoot items row; 2157 and 2158 have
    // rows of their own.
    std::set<int> shootItems;
    for (const ShootMenuVariant& variant : ShootMenuVariants())
        for (const int id : ItemsOf(variant)) shootItems.insert(id);
    for (const CommandRow& row : CommandTable())
        if (row.item.menu == MenuOf::ShootEnd) shootItems.insert(row.id);
    shootItems.erase(2157);
    shootItems.erase(2158);
    EXPECT_EQ(shootItems.size(), 11u);
    for (const int id : shootItems)
        for (std::size_t column = 0; column < 4; ++column)
            EXPECT_EQ(Word(Row(id).menuStates[column]), kShootItems[column]) << id << " column " << column;
}

TEST(CommandTable, ShootMenuOfEachFamilyAsSpecified) {
    struct Variant {
        int family;
        std::vector<std::pair<int, int>> items;  // command, string id
    };
    const std::vector<Variant> expected = {
        {1000, {{2137, 49}, {2139, 51}, {2142, 54}, {2144, 56}}},
        {2000, {{2138, 50}, {2140, 52}, {2141, 53}, {2144, 56}, {2145, 57}}},
        {3000, {{2137, 49}, {2139, 51}, {2143, 55}}},
        {4000, {{2139, 51}, {2142, 54}}},
        {5000, {{2137, 49}, {2142, 54}, {2144, 56}}},
    };
    ASSERT_EQ(ShootMenuVariants().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const ShootMenuVariant& variant = ShootMenuVariants()[i];
        EXPECT_EQ(variant.family, expected[i].family);
        std::vector<std::pair<int, int>> items;
        for (const int id : ItemsOf(variant)) {
            items.emplace_back(id, Row(id).item.text);
            EXPECT_EQ(Row(id).item.menu, MenuOf::Shoot) << id;
            EXPECT_EQ(Row(id).item.atFirst, O) << id;
        }
        EXPECT_EQ(items, expected[i].items) << variant.family;
    }

    // Every variant ends with the timed series, "&Match..." (on), "&Pause\tF3" and "&New
    // Serie\tF10" (grey).
    std::vector<std::pair<int, int>> ends;
    for (const CommandRow& row : CommandTable())
        if (row.item.menu == MenuOf::ShootEnd) ends.emplace_back(row.id, row.item.text);
    EXPECT_EQ(ends, (std::vector<std::pair<int, int>>{{2163, 529}, {2198, 189}, {2157, 129}, {2158, 134}}));
    EXPECT_EQ(Row(2198).item.atFirst, O);
    EXPECT_EQ(Row(2157).item.atFirst, G);
    EXPECT_EQ(Row(2158).item.atFirst, G);
}

TEST(CommandTable, ToolbarStatesAsSpecified) {
    // The toolbar table's columns: idle, target shown, shooting, paused.
    constexpr std::array<StateColumn, 4> columns{kIdleColumn, kTargetShownColumn, kShootingColumn, kPausedColumn};
    for (const auto& [ids, enabled] : kButtonStates)
        for (const int id : ids) {
            EXPECT_GT(Row(id).button.place, 0) << id;
            for (std::size_t i = 0; i < 4; ++i)
                EXPECT_EQ(Row(id).buttonStates[columns[i]], enabled[i] ? O : G) << id << " column " << i;
        }
}

TEST(CommandTable, OneRowPerCommandOneButtonPerPlaceOneKeyPerOrder) {
    std::set<int> ids;
    std::set<int> places;
    std::vector<int> orders;
    for (const CommandRow& row : CommandTable()) {
        EXPECT_TRUE(ids.insert(row.id).second) << "two rows for " << row.id;
        EXPECT_NE(row.handler, nullptr) << row.id;
        EXPECT_EQ(row.item.menu == MenuOf::None, row.item.text == 0) << row.id;
        if (row.button.place > 0) {
            EXPECT_TRUE(places.insert(row.button.place).second) << "place " << int(row.button.place);
        }
        if (row.key.order > 0) orders.push_back(row.key.order);
        // A state a command is given has somewhere to show: a menu item or a button.
        if (row.menuStates != kUntouched) {
            EXPECT_NE(row.item.menu, MenuOf::None) << row.id;
        }
        if (row.buttonStates != kUntouched) {
            EXPECT_GT(row.button.place, 0) << row.id;
        }
    }
    std::sort(orders.begin(), orders.end());
    for (std::size_t i = 0; i < orders.size(); ++i) EXPECT_EQ(orders[i], int(i + 1)) << "the shortcut order has a gap";
    // The numbers the commands use are the program's: 2100 to 2200.
    EXPECT_GE(*ids.begin(), 2100);
    EXPECT_LE(*ids.rbegin(), 2200);
    EXPECT_EQ(FindCommand(2184), nullptr);  // the toolbar's control id sends nothing
}

}  // namespace
}  // namespace zark
