#include "window/commandtable.h"

#include <algorithm>

namespace zark {
namespace {

using H = CommandHandlers;
using enum MenuOf;
using enum Mark;
using enum ButtonStyle;
constexpr bool Sep = true;           // a separator before the item
constexpr std::uint8_t Ctrl = kAccelControl;
constexpr std::uint8_t Alt = kAccelAlt;
constexpr WhenGrey ViewChoice = WhenGrey::ViewChoice;
constexpr int kTextPause = 129;     // "&Pause\tF3"
constexpr int kTextContinue = 128;  // "&Continue\tF3"

// Adding a command: its number in commandids.h, its texts in the string tables, and one row here
// (in the menu's order when it has an item). A new kind of operation also needs its entry in
// CommandHandlers and the main frame's implementation of it.
//
// Menu item: {menu, text, state when built, mark, separator before, second text}.
// States: target shown, shooting, paused, idle. G grey, O on, U unchanged, C on with the second text.
// Shortcut: {place in the matching order, modifiers, key}. Toolbar button: {place, image, tooltip,
// style, state when built}.
//
// clang-format off
constexpr CommandRow kCommands[] = {
// command                  menu item                              menu states    shortcut             toolbar button                    button states  when grey   handler
// "&File"
{kCmdOpen,                  {File, 115, O},                        {O, G, O, O}, {2, Ctrl, 'O'},      {2, 0, 150, Push, O},             {O, G, O, O}, {},         &H::Open},
{kCmdSave,                  {File, 116, G},                        {G, G, G, O}, {3, Ctrl, 'S'},      {3, 1, 151, Push, G},             {G, G, G, O}, {},         &H::Save},
{kCmdDelete,                {File, 111, O},                        {O, G, O, O}, {},                  {4, 19, 200, Push, O},            {O, G, O, O}, {},         &H::Delete},
{kCmdSaveAutomatically,     {File, 112, O, Check},                 kUntouched,   {},                  {5, 18, 149, Toggle, O},          kUntouched,   {},         &H::SaveAutomatically},
{kCmdWatchLane,             {File, 600, O},                        kUntouched,   {},                  {},                               kUntouched,   {},         &H::WatchLane},
{kCmdCustomize,             {File, 6, O, Plain, Sep},               {O, G, O, O}, {},                  {},                               kUntouched,   {},         &H::Customize},
{kCmdPrint,                 {File, 7, G},                          {G, G, G, O}, {1, Ctrl, 'P'},      {6, 2, 152, Push, G},             {G, G, G, O}, {},         &H::Print},
{kCmdExportPdf,             {File, 380, G},                        {G, G, G, O}, {},                  {},                               kUntouched,   {},         &H::Print},
{kCmdPageSetup,             {File, 141, O},                        {O, G, G, O}, {},                  {},                               kUntouched,   {},         &H::PageSetup},
{kCmdExit,                  {File, 8, O, Plain, Sep},               kUntouched,   {},                  {},                               kUntouched,   {},         &H::Quit},
// "&View"
{kCmdZoom1,                 {View, 10, G, Radio},                  {O, U, U, U}, {5, Alt, '1'},       {},                               kUntouched,   ViewChoice, &H::Zoom},
{kCmdZoom2,                 {View, 11, G, Radio},                  {O, U, U, U}, {6, Alt, '2'},       {},                               kUntouched,   ViewChoice, &H::Zoom},
{kCmdZoom3,                 {View, 12, G, Radio},                  {O, U, U, U}, {7, Alt, '3'},       {},                               kUntouched,   ViewChoice, &H::Zoom},
{kCmdZoom4,                 {View, 13, G, Radio},                  {O, U, U, U}, {8, Alt, '4'},       {},                               kUntouched,   ViewChoice, &H::Zoom},
{kCmdDiagram,               {View, 119, G, Check, Sep},            {O, G, O, O}, {4, Alt, 'D'},       {11, 10, 155, Toggle, G},         {O, G, O, O}, ViewChoice, &H::ToggleWindow},
{kCmdAnalysis,              {View, 400, G, Check},                 {O, O, O, O}, {},                  {},                               kUntouched,   {},         &H::ToggleWindow},
{kCmdTargetWindow,          {View, 500, G, Check},                 {O, O, O, O}, {},                  {},                               kUntouched,   {},         &H::ShowChildWindow},
{kCmdScoreboardWindow,      {View, 501, G, Check},                 {O, O, O, O}, {},                  {},                               kUntouched,   {},         &H::ShowChildWindow},
{kCmdMatchBoardWindow,      {View, 502, G, Check},                 kUntouched,   {},                  {},                               kUntouched,   {},         &H::ShowChildWindow},
{kCmdProgress,              {View, 440, O},                        kUntouched,   {},                  {},                               kUntouched,   {},         &H::ShowProgress},
{kCmdRange,                 {View, 660, O},                        kUntouched,   {},                  {},                               kUntouched,   {},         &H::ShowRange},
{kCmdRearrange,             {View, 144, G},                        {O, U, U, U}, {},                  {10, 9, 156, Push, G},            {O, O, O, O}, {},         &H::Rearrange},
{kCmdCentreSeries,          {View, 124, G, Check, Sep},            {O, G, G, O}, {11, 0, kVkF5},      {15, 14, 157, Toggle, G},         {O, G, G, O}, {},         &H::Shoot},
{kCmdReplay,                {View, 127, G},                        {O, G, O, O}, {},                  {17, 3, 158, ReplayGroup, G},     {G, G, O, O}, {},         &H::Replay},
// "&Targets": "&Rifle", "&Pistol", "&Hunt", "&Biathlon"
{kCmdRifle300,              {Rifle, 16},                           kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdRifle200,              {Rifle, 17},                           kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdRifle100,              {Rifle, 18},                           kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdRifle50,               {Rifle, 19},                           kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdRifle50Finale,         {Rifle, 20},                           kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdAirRifle,              {Rifle, 21, O, Plain, Sep},             kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdAirRifleFinale,        {Rifle, 22},                           kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdFieldC35,              {Rifle, 37, O, Plain, Sep},             kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdFieldB45,              {Rifle, 38},                           kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdFieldBarrel,           {Rifle, 39},                           kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdFieldS25Vertical,      {Rifle, 41},                           kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdFieldS25Horizontal,    {Rifle, 40},                           kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdFieldQuarter,          {Rifle, 42},                           kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdFieldQuarterLeft,      {Rifle, 43},                           kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdFieldQuarterRight,     {Rifle, 44},                           kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdPistol50,              {Pistol, 24},                          kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdPistol25,              {Pistol, 25},                          kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdPistol25Fast,          {Pistol, 26},                          kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdAirPistol,             {Pistol, 27, O, Plain, Sep},            kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdAirPistolFinale,       {Pistol, 28},                          kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdMoose5,                {Hunt, 30},                            kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdMoose10,               {Hunt, 31},                            kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdRoebuck,               {Hunt, 32},                            kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdDeer,                  {Hunt, 33},                            kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdBoar,                  {Hunt, 34},                            kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdHuntAirRifle,          {Hunt, 35, O, Plain, Sep},              kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdBiathlonProne,         {Biathlon, 46},                        kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
{kCmdBiathlonStanding,      {Biathlon, 47},                        kUntouched,   {},                  {},                               kUntouched,   {},         &H::ChooseTarget},
// "&Shoot": the items of the variants, then those that end every variant
{kCmdSighters3,             {Shoot, 49},                           {O, G, O, O}, {},                  {},                               kUntouched,   {},         &H::Shoot},
{kCmdSighters4,             {Shoot, 50},                           {O, G, O, O}, {},                  {},                               kUntouched,   {},         &H::Shoot},
{kCmdSighters5,             {Shoot, 51},                           {O, G, O, O}, {},                  {},                               kUntouched,   {},         &H::Shoot},
{kCmdSerie4,                {Shoot, 52},                           {O, G, O, O}, {},                  {},                               kUntouched,   {},         &H::Shoot},
{kCmdSerie4Double,          {Shoot, 53},                           {O, G, O, O}, {},                  {},                               kUntouched,   {},         &H::Shoot},
{kCmdSerie5,                {Shoot, 54},                           {O, G, O, O}, {},                  {},                               kUntouched,   {},         &H::Shoot},
{kCmdSerie6,                {Shoot, 55},                           {O, G, O, O}, {},                  {},                               kUntouched,   {},         &H::Shoot},
{kCmdSerie10,               {Shoot, 56},                           {O, G, O, O}, {},                  {},                               kUntouched,   {},         &H::Shoot},
{kCmdSerie10Double,         {Shoot, 57},                           {O, G, O, O}, {},                  {},                               kUntouched,   {},         &H::Shoot},
{kCmdTimedSeries,           {ShootEnd, 529},                       {O, G, O, O}, {13, Ctrl, 'T'},     {},                               kUntouched,   {},         &H::Shoot},
{kCmdMatch,                 {ShootEnd, 189},                       {O, G, O, O}, {},                  {},                               kUntouched,   {},         &H::Shoot},
{kCmdPauseContinue,         {ShootEnd, kTextPause, G, Plain, {}, kTextContinue},
                                                                   {G, O, C, G}, {10, 0, kVkF3},      {13, 11, 153, Push, G},           {G, O, O, G}, {},         &H::Shoot},
{kCmdNewSerie,              {ShootEnd, 134, G},                    {G, G, O, O}, {12, 0, kVkF10},     {14, 13, 154, Push, G},           {G, G, O, O}, {},         &H::Shoot},
// "&Help"
{kCmdHelpTopics,            {Help, 99},                            kUntouched,   {9, 0, kVkF1},       {},                               kUntouched,   {},         &H::HelpTopics},
{kCmdShowWarnings,          {Help, 194, O, Check, Sep},            kUntouched,   {},                  {},                               kUntouched,   {},         &H::ShowWarnings},
{kCmdAbout,                 {Help, 63, O, Plain, Sep},              kUntouched,   {},                  {},                               kUntouched,   {},         &H::About},
// The toolbar's own buttons and control
{kCmdZoomOut,               {},                                    kUntouched,   {},                  {8, 16, 166, Push, G},            {O, O, O, O}, ViewChoice, &H::Zoom},
{kCmdZoomIn,                {},                                    kUntouched,   {},                  {9, 15, 165, Push, G},            {O, O, O, O}, ViewChoice, &H::Zoom},
{kCmdReplayStop,            {},                                    kUntouched,   {},                  {18, 4, 159, ReplayGroup, G},     {G, G, O, O}, {},         &H::Replay},
{kCmdReplayRewind,          {},                                    kUntouched,   {},                  {19, 5, 162, ReplayGroup, G},     {G, G, O, O}, {},         &H::Replay},
{kCmdReplayReverse,         {},                                    kUntouched,   {},                  {20, 6, 161, ReplayGroup, G},     {G, G, O, O}, {},         &H::Replay},
{kCmdReplayFastForward,     {},                                    kUntouched,   {},                  {21, 7, 160, ReplayGroup, G},     {G, G, O, O}, {},         &H::Replay},
{kCmdReplayEnd,             {},                                    kUntouched,   {},                  {22, 8, 163, ReplayGroup, G},     {G, G, O, O}, {},         &H::Replay},
{kCmdClearPitch,            {},                                    kUntouched,   {},                  {24, 17, 167, Push, G},           {G, G, G, O}, {},         &H::ClearPitch},
{kCmdPitch,                 {},                                    kUntouched,   {},                  {},                               kUntouched,   {},         &H::Pitch},
// Sent by the windows themselves (their close boxes)
{kCmdDiagramWindow,         {},                                    kUntouched,   {},                  {},                               kUntouched,   {},         &H::ToggleWindow},
{kCmdAnalysisWindow,        {},                                    kUntouched,   {},                  {},                               kUntouched,   {},         &H::ToggleWindow},
{kCmdProgressWindow,        {},                                    kUntouched,   {},                  {},                               kUntouched,   {},         &H::HideProgress},
{kCmdRangeWindow,           {},                                    kUntouched,   {},                  {},                               kUntouched,   {},         &H::HideRange},
};

constexpr ShootMenuVariant kShootMenus[] = {
// family           items
{1000 /* rifle */,    {kCmdSighters3, kCmdSighters5, kCmdSerie5, kCmdSerie10}},
{2000 /* hunt */,     {kCmdSighters4, kCmdSerie4, kCmdSerie4Double, kCmdSerie10, kCmdSerie10Double}},
{3000 /* field */,    {kCmdSighters3, kCmdSighters5, kCmdSerie6}},
{4000 /* biathlon */, {kCmdSighters5, kCmdSerie5}},
{5000 /* pistol */,   {kCmdSighters3, kCmdSerie5, kCmdSerie10}},
};
// clang-format on

}  // namespace

std::span<const CommandRow> CommandTable() { return kCommands; }

const CommandRow* FindCommand(int id) {
    const auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                                 [id](const CommandRow& row) { return row.id == id; });
    return it == std::end(kCommands) ? nullptr : &*it;
}

std::span<const ShootMenuVariant> ShootMenuVariants() { return kShootMenus; }

ShootKind ShootKindOf(int command) {
    switch (command) {
    case kCmdSighters3: return {true, 3};
    case kCmdSighters4: return {true, 4};
    case kCmdSighters5: return {true, 5};
    case kCmdSerie4: return {false, 4};
    case kCmdSerie4Double: return {false, 4, true};
    case kCmdSerie5: return {false, 5};
    case kCmdSerie6: return {false, 6};
    case kCmdSerie10: return {false, 10};
    case kCmdSerie10Double: return {false, 10, true};
    default: return {};
    }
}

}  // namespace zark
