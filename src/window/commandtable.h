#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "window/commandids.h"

// The one table of the program's commands: for each, its menu item (menu, text, separator before
// it, state when the menus are built, check mark), its grey or on state in each of the four
// states of the series flow, its keyboard shortcut, its toolbar button with that button's states,
// whether it still works while its item is grey, and the operation that carries it out. The menus,
// the shortcut table, the toolbar and the main window's dispatch are all built from it. Plain data.

namespace zark {

// The modifier flags of a shortcut.
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

// The menu that holds a command's item. Shoot items appear in the variants of the Shoot menu that
// list them (ShootMenuVariants); ShootEnd items end every variant, in the order of the table.
enum class MenuOf : std::uint8_t { None, File, View, Rifle, Pistol, Hunt, Biathlon, Shoot, ShootEnd, Help };

enum class Mark : std::uint8_t { Plain, Check, Radio };

// A cell of a state table: grey, on, left unchanged, or on showing the item's second text.
enum Cell : std::uint8_t { G, O, U, C };

// The columns of the state tables: the states of the series flow, in this order.
enum StateColumn : std::uint8_t { kTargetShownColumn, kShootingColumn, kPausedColumn, kIdleColumn };
using StateCells = std::array<Cell, 4>;
inline constexpr StateCells kUntouched{U, U, U, U};

struct MenuItem {
    MenuOf menu = MenuOf::None;
    int text = 0;           // string id
    Cell atFirst = O;       // on or grey when the menu is built
    Mark mark = Mark::Plain;
    bool separatorBefore = false;
    int secondText = 0;     // the text of a C cell
};

struct Shortcut {
    std::uint8_t order = 0;  // place in the matching order, from 1; 0: no shortcut
    std::uint8_t flags = 0;  // AcceleratorFlag bits
    std::uint16_t key = 0;   // virtual-key code
};

enum class ButtonStyle : std::uint8_t { Push, Toggle, ReplayGroup };

struct ToolButton {
    std::uint8_t place = 0;  // from 1, left to right; a place no button takes is a separator; 0: none
    std::int8_t image = -1;
    std::uint16_t tooltip = 0;  // string id
    ButtonStyle style = ButtonStyle::Push;
    Cell atFirst = G;
};

// What carries out the commands: one operation per kind of command, given the command's number.
// The main window's parts implement it.
class CommandHandlers {
public:
    virtual void Quit(int command) = 0;
    virtual void Open(int command) = 0;
    virtual void Save(int command) = 0;
    virtual void Delete(int command) = 0;
    virtual void SaveAutomatically(int command) = 0;
    virtual void WatchLane(int command) = 0;
    virtual void Customize(int command) = 0;
    virtual void Print(int command) = 0;
    virtual void PageSetup(int command) = 0;
    virtual void Zoom(int command) = 0;
    // Diagram and Analysis, from the menu or their windows: the window and its check mark.
    virtual void ToggleWindow(int command) = 0;
    // Target window, Scoreboard, Match Board: shown again or hidden.
    virtual void ShowChildWindow(int command) = 0;
    virtual void ShowProgress(int command) = 0;
    virtual void HideProgress(int command) = 0;
    virtual void ShowRange(int command) = 0;
    virtual void HideRange(int command) = 0;
    virtual void Rearrange(int command) = 0;
    virtual void ChooseTarget(int command) = 0;
    // Sighters, series, match, timed series, pause or continue, new serie, centring.
    virtual void Shoot(int command) = 0;
    virtual void Replay(int command) = 0;
    virtual void Pitch(int command) = 0;
    virtual void ClearPitch(int command) = 0;
    virtual void HelpTopics(int command) = 0;
    virtual void ShowWarnings(int command) = 0;
    virtual void About(int command) = 0;

protected:
    ~CommandHandlers() = default;
};
using CommandHandler = void (CommandHandlers::*)(int command);

// How a grey item's command is taken. Refused: a grey command does nothing, whatever sent it.
// ViewChoice: it only chooses how things are shown, so it works while grey too (before a target
// is shown, or while shooting).
enum class WhenGrey : std::uint8_t { Refused, ViewChoice };

struct CommandRow {
    int id = 0;
    MenuItem item;
    StateCells menuStates = kUntouched;
    Shortcut key;
    ToolButton button;
    StateCells buttonStates = kUntouched;
    WhenGrey whenGrey = WhenGrey::Refused;
    CommandHandler handler = nullptr;
};

// Every command, the items of each menu in their order.
std::span<const CommandRow> CommandTable();
// The row of a command; null for a number that is no command.
const CommandRow* FindCommand(int id);

// The Shoot menu of a target family (1000 rifle, 2000 hunt, 3000 field, 4000 biathlon, 5000
// pistol): its own items, before the ShootEnd ones.
struct ShootMenuVariant {
    int family;
    std::array<int, 6> items;  // 0 ends the list
};
std::span<const ShootMenuVariant> ShootMenuVariants();

// What a sighters or series command of the Shoot menu starts; shots 0 for any other command.
struct ShootKind {
    bool sighters = false;
    int shots = 0;
    bool isDouble = false;
};
ShootKind ShootKindOf(int command);

// The Targets pop-up on the bar, in the four states.
inline constexpr StateCells kTargetsMenuStates{O, G, O, O};

}  // namespace zark
