#include "app/menubar.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <array>
#include <initializer_list>
#include <vector>

#include "window/commandids.h"
#include "i18n/uistrings.h"

namespace zark {
namespace {

// String ids of the menus and of the items whose text changes.
constexpr int kTextFile = 5;
constexpr int kTextView = 9;
constexpr int kTextTargets = 14;
constexpr int kTextRifle = 15;
constexpr int kTextPistol = 23;
constexpr int kTextHunt = 29;
constexpr int kTextBiathlon = 45;
constexpr int kTextShoot = 48;
constexpr int kTextHelp = 62;
constexpr int kTextContinue = 128;
constexpr int kTextPause = 129;

struct Item {
    int command;  // 0: a separator
    int textId;
};
constexpr Item kSeparator{0, 0};

struct ShootFamily {
    int family;
    std::vector<Item> items;
};

const std::array<ShootFamily, 5>& ShootFamilies() {
    static const std::array<ShootFamily, 5> families{{
        {1000, {{kCmdSighters3, 49}, {kCmdSighters5, 51}, {kCmdSerie5, 54}, {kCmdSerie10, 56}}},
        {2000,
         {{kCmdSighters4, 50}, {kCmdSerie4, 52}, {kCmdSerie4Double, 53}, {kCmdSerie10, 56}, {kCmdSerie10Double, 57}}},
        {3000, {{kCmdSighters3, 49}, {kCmdSighters5, 51}, {kCmdSerie6, 55}}},
        {4000, {{kCmdSighters5, 51}, {kCmdSerie5, 54}}},
        {5000, {{kCmdSighters3, 49}, {kCmdSerie5, 54}, {kCmdSerie10, 56}}},
    }};
    return families;
}

// The menu states: for each item, grey, on or unchanged in the states target-shown, shooting,
// paused and idle (in the order of ShootingState).
enum Cell : char { G, O, U };
struct StateRow {
    int command;
    std::array<Cell, 4> cells;
};
constexpr StateRow kStateRows[] = {
    {kCmdSave, {G, G, G, O}},         {kCmdOpen, {O, G, O, O}},         {kCmdDelete, {O, G, O, O}},
    {kCmdCustomize, {O, G, O, O}},    {kCmdPrint, {G, G, G, O}},        {kCmdExportPdf, {G, G, G, O}},
    {kCmdPageSetup, {O, G, G, O}},
    {kCmdDiagram, {O, G, O, O}},      {kCmdCentreSeries, {O, G, G, O}}, {kCmdReplay, {O, G, O, O}},
    {kCmdAnalysis, {O, O, O, O}},     {kCmdTargetWindow, {O, O, O, O}}, {kCmdScoreboardWindow, {O, O, O, O}},
    {kCmdZoom1, {O, U, U, U}},        {kCmdZoom2, {O, U, U, U}},        {kCmdZoom3, {O, U, U, U}},
    {kCmdZoom4, {O, U, U, U}},        {kCmdRearrange, {O, U, U, U}},
};
constexpr std::array<Cell, 4> kTargetsRow{O, G, O, O};
constexpr std::array<Cell, 4> kShootItemsRow{O, G, O, O};
constexpr std::array<Cell, 4> kPauseRow{G, O, O, G};
constexpr std::array<int, 4> kPauseText{kTextPause, kTextPause, kTextContinue, kTextPause};
constexpr std::array<Cell, 4> kNewSerieRow{G, G, O, O};

}  // namespace

MenuBar::MenuBar(TextSource texts) : texts_(std::move(texts)) {
    if (!texts_) {
        LoadUiStrings();
        texts_ = [](int id) { return UiQString(id); };
    }
}

MenuBar::~MenuBar() { delete bar_.data(); }

QAction* MenuBar::AddItem(QMenu* menu, int command, int textId, bool enabled, bool checkable) {
    QAction* action = menu->addAction(texts_(textId));
    action->setData(command);
    action->setObjectName(QStringLiteral("action%1").arg(command));
    action->setEnabled(enabled);
    if (checkable) {
        action->setCheckable(true);
        action->setChecked(false);
        checks_[command] = false;
    }
    actions_[command] = action;
    QObject::connect(action, &QAction::triggered, action, [this, action] { Triggered(action); });
    return action;
}

int MenuBar::Build() {
    if (bar_) return 0;
    accelerators_ = MainAccelerators();
    bar_ = new QMenuBar;
    bar_->setObjectName(QStringLiteral("menuBar"));
    bar_->setNativeMenuBar(false);  // the bar stays in the window, where the Parts put it

    file_ = new QMenu(texts_(kTextFile), bar_);
    AddItem(file_, kCmdOpen, 115, true);
    AddItem(file_, kCmdSave, 116, false);
    AddItem(file_, kCmdDelete, 111, true);
    AddItem(file_, kCmdSaveAutomatically, 112, true, true);
    AddItem(file_, kCmdWatchLane, 600, true);
    file_->addSeparator();
    AddItem(file_, kCmdCustomize, 6, true);
    AddItem(file_, kCmdPrint, 7, false);
    AddItem(file_, kCmdExportPdf, 380, false);
    AddItem(file_, kCmdPageSetup, 141, true);
    file_->addSeparator();
    AddItem(file_, kCmdExit, 8, true);

    view_ = new QMenu(texts_(kTextView), bar_);
    zoomGroup_ = new QActionGroup(view_);
    zoomGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (int i = 0; i < 4; ++i) zoomGroup_->addAction(AddItem(view_, kCmdZoom1 + i, 10 + i, false, true));
    view_->addSeparator();
    AddItem(view_, kCmdDiagram, 119, false, true);
    AddItem(view_, kCmdAnalysis, 400, false, true);
    AddItem(view_, kCmdTargetWindow, 500, false, true);
    AddItem(view_, kCmdScoreboardWindow, 501, false, true);
    AddItem(view_, kCmdMatchBoardWindow, 502, false, true);  // enabled while a match is shown
    AddItem(view_, kCmdProgress, 440, true);
    AddItem(view_, kCmdRearrange, 144, false);
    view_->addSeparator();
    AddItem(view_, kCmdCentreSeries, 124, false, true);
    AddItem(view_, kCmdReplay, 127, false);

    targets_ = new QMenu(texts_(kTextTargets), bar_);
    const auto fill = [this](QMenu* menu, std::initializer_list<Item> items) {
        for (const Item& item : items) {
            if (item.command == 0)
                menu->addSeparator();
            else
                AddItem(menu, item.command, item.textId, true);
        }
    };
    rifle_ = targets_->addMenu(texts_(kTextRifle));
    fill(rifle_, {{kCmdRifle300, 16}, {kCmdRifle200, 17}, {kCmdRifle100, 18}, {kCmdRifle50, 19},
                  {kCmdRifle50Finale, 20}, kSeparator, {kCmdAirRifle, 21}, {kCmdAirRifleFinale, 22}, kSeparator,
                  {kCmdFieldC35, 37}, {kCmdFieldB45, 38}, {kCmdFieldBarrel, 39}, {kCmdFieldS25Vertical, 41},
                  {kCmdFieldS25Horizontal, 40}, {kCmdFieldQuarter, 42}, {kCmdFieldQuarterLeft, 43},
                  {kCmdFieldQuarterRight, 44}});
    pistol_ = targets_->addMenu(texts_(kTextPistol));
    fill(pistol_, {{kCmdPistol50, 24}, {kCmdPistol25, 25}, {kCmdPistol25Fast, 26}, kSeparator,
                   {kCmdAirPistol, 27}, {kCmdAirPistolFinale, 28}});
    hunt_ = targets_->addMenu(texts_(kTextHunt));
    fill(hunt_, {{kCmdMoose5, 30}, {kCmdMoose10, 31}, {kCmdRoebuck, 32}, {kCmdDeer, 33}, {kCmdBoar, 34},
                 kSeparator, {kCmdHuntAirRifle, 35}});
    biathlon_ = targets_->addMenu(texts_(kTextBiathlon));
    fill(biathlon_, {{kCmdBiathlonProne, 46}, {kCmdBiathlonStanding, 47}});

    shoot_ = new QMenu(texts_(kTextShoot), bar_);
    shoot_->menuAction()->setEnabled(false);  // grey and empty until a target is shown

    help_ = new QMenu(texts_(kTextHelp), bar_);
    AddItem(help_, kCmdHelpTopics, 99, true);
    help_->addSeparator();
    AddItem(help_, kCmdShowWarnings, 194, true, true);
    help_->addSeparator();
    AddItem(help_, kCmdAbout, 63, true);

    for (QMenu* menu : {file_, view_, targets_, shoot_, help_}) bar_->addMenu(menu);
    return 1;
}

void MenuBar::SetOwnerWindow(QMainWindow* window) {
    if (window && bar_) window->setMenuBar(bar_);
}

QAction* MenuBar::Action(int command) const {
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

bool MenuBar::Available(int command) const {
    const QAction* item = Action(command);
    return item && item->isEnabled();
}

void MenuBar::Triggered(QAction* action) {
    // The toolkit has flipped the mark of a checkable item already: put every mark back as the
    // commands left it, and let the command decide.
    if (action->isCheckable()) {
        for (const auto& [command, on] : checks_) {
            QAction* item = Action(command);
            if (item && item->isChecked() != on) item->setChecked(on);
        }
    }
    if (handler_) handler_(action->data().toInt());
}

int MenuBar::RebuildShootMenu(int family) {
    if (!shoot_) return 0;
    const ShootFamily* chosen = nullptr;
    for (const ShootFamily& f : ShootFamilies())
        if (f.family == family) chosen = &f;
    if (!chosen) return 0;

    for (QAction* action : shoot_->actions()) {
        const int command = action->data().toInt();
        const auto it = actions_.find(command);
        if (it != actions_.end() && it->second == action) actions_.erase(it);
        shoot_->removeAction(action);
        delete action;
    }
    shoot_->menuAction()->setEnabled(true);
    for (const Item& item : chosen->items) AddItem(shoot_, item.command, item.textId, true);
    AddItem(shoot_, kCmdTimedSeries, 529, true);
    AddItem(shoot_, kCmdMatch, 189, true);
    AddItem(shoot_, kCmdPauseContinue, kTextPause, false);
    AddItem(shoot_, kCmdNewSerie, 134, false);
    return 1;
}

void MenuBar::Enable(int command, bool on) {
    if (QAction* action = Action(command)) action->setEnabled(on);
}

void MenuBar::EnableSave() { Enable(kCmdSave, true); }

void MenuBar::SetMenuState(ShootingState state) {
    const auto column = std::size_t(state);
    const auto apply = [this](int command, Cell cell) {
        if (cell != U) Enable(command, cell == O);
    };
    for (const StateRow& row : kStateRows) apply(row.command, row.cells[column]);
    if (targets_) targets_->menuAction()->setEnabled(kTargetsRow[column] == O);
    if (shoot_)
        for (QAction* action : shoot_->actions()) action->setEnabled(kShootItemsRow[column] == O);
    if (QAction* pause = Action(kCmdPauseContinue)) {
        pause->setText(texts_(kPauseText[column]));
        pause->setEnabled(kPauseRow[column] == O);
    }
    apply(kCmdNewSerie, kNewSerieRow[column]);
}

int MenuBar::ToggleCheck(int command) {
    const bool on = !HasCheck(command);
    SetCheck(command, on);
    return on ? 1 : 0;
}

int MenuBar::HasCheck(int command) const {
    const auto it = checks_.find(command);
    return it != checks_.end() && it->second ? 1 : 0;
}

void MenuBar::SetCheck(int command, bool on) {
    QAction* action = Action(command);
    if (!action || !action->isCheckable()) return;
    checks_[command] = on;
    action->setChecked(on);
}

void MenuBar::ZoomRadio(int command) {
    if (command < kCmdZoom1 || command > kCmdZoom4) return;
    for (int c = kCmdZoom1; c <= kCmdZoom4; ++c) checks_[c] = (c == command);
    if (QAction* action = Action(command)) action->setChecked(true);
}

}  // namespace zark
