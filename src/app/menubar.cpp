#include "app/menubar.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "window/commandtable.h"
#include "i18n/uistrings.h"

namespace zark {
namespace {

// String ids of the menus.
constexpr int kTextFile = 5;
constexpr int kTextView = 9;
constexpr int kTextTargets = 14;
constexpr int kTextRifle = 15;
constexpr int kTextPistol = 23;
constexpr int kTextHunt = 29;
constexpr int kTextBiathlon = 45;
constexpr int kTextShoot = 48;
constexpr int kTextHelp = 62;

}  // namespace

MenuBar::MenuBar(TextSource texts) : texts_(std::move(texts)) {
    if (!texts_) {
        LoadUiStrings();
        texts_ = [](int id) { return UiQString(id); };
    }
}

MenuBar::~MenuBar() { delete bar_.data(); }

QAction* MenuBar::AddItem(QMenu* menu, const CommandRow& row) {
    const int command = row.id;
    QAction* action = menu->addAction(texts_(row.item.text));
    action->setData(command);
    action->setObjectName(QStringLiteral("action%1").arg(command));
    action->setEnabled(row.item.atFirst != G);
    if (row.item.mark != Mark::Plain) {
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
    view_ = new QMenu(texts_(kTextView), bar_);
    zoomGroup_ = new QActionGroup(view_);
    zoomGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    targets_ = new QMenu(texts_(kTextTargets), bar_);
    rifle_ = targets_->addMenu(texts_(kTextRifle));
    pistol_ = targets_->addMenu(texts_(kTextPistol));
    hunt_ = targets_->addMenu(texts_(kTextHunt));
    biathlon_ = targets_->addMenu(texts_(kTextBiathlon));
    shoot_ = new QMenu(texts_(kTextShoot), bar_);
    shoot_->menuAction()->setEnabled(false);  // grey and empty until a target is shown
    help_ = new QMenu(texts_(kTextHelp), bar_);

    for (const CommandRow& row : CommandTable()) {
        QMenu* menu = PopupOf(row.item.menu);
        if (!menu || menu == shoot_) continue;  // the Shoot menu is filled for the target shown
        if (row.item.separatorBefore) menu->addSeparator();
        QAction* action = AddItem(menu, row);
        if (row.item.mark == Mark::Radio) zoomGroup_->addAction(action);
    }
    for (QMenu* menu : {file_, view_, targets_, shoot_, help_}) bar_->addMenu(menu);
    return 1;
}

QMenu* MenuBar::PopupOf(MenuOf menu) const {
    switch (menu) {
        case MenuOf::File: return file_;
        case MenuOf::View: return view_;
        case MenuOf::Rifle: return rifle_;
        case MenuOf::Pistol: return pistol_;
        case MenuOf::Hunt: return hunt_;
        case MenuOf::Biathlon: return biathlon_;
        case MenuOf::Shoot:
        case MenuOf::ShootEnd: return shoot_;
        case MenuOf::Help: return help_;
        case MenuOf::None: break;
    }
    return nullptr;
}

void MenuBar::SetOwnerWindow(QMainWindow* window) {
    if (window && bar_) window->setMenuBar(bar_);
}

QAction* MenuBar::Action(int command) const {
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
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
    const ShootMenuVariant* chosen = nullptr;
    for (const ShootMenuVariant& variant : ShootMenuVariants())
        if (variant.family == family) chosen = &variant;
    if (!chosen) return 0;

    for (QAction* action : shoot_->actions()) {
        const int command = action->data().toInt();
        const auto it = actions_.find(command);
        if (it != actions_.end() && it->second == action) actions_.erase(it);
        shoot_->removeAction(action);
        delete action;
    }
    shoot_->menuAction()->setEnabled(true);
    for (const int command : chosen->items)
        if (const CommandRow* row = FindCommand(command)) AddItem(shoot_, *row);
    for (const CommandRow& row : CommandTable())
        if (row.item.menu == MenuOf::ShootEnd) AddItem(shoot_, row);
    return 1;
}

void MenuBar::Enable(int command, bool on) {
    if (QAction* action = Action(command)) action->setEnabled(on);
}

void MenuBar::EnableSave() { Enable(kCmdSave, true); }

bool MenuBar::Lockable(const CommandRow& row) {
    switch (row.item.menu) {
    case MenuOf::Shoot:
    case MenuOf::ShootEnd:
    case MenuOf::Rifle:
    case MenuOf::Pistol:
    case MenuOf::Hunt:
    case MenuOf::Biathlon: return true;
    default: return row.id == kCmdOpen || row.id == kCmdWatchLane;
    }
}

void MenuBar::SetLocked(bool on) {
    locked_ = on;
    if (stateSet_) return SetMenuState(state_);
    for (const CommandRow& row : CommandTable())
        if (QAction* action = Lockable(row) ? Action(row.id) : nullptr) action->setEnabled(!on && row.item.atFirst != G);
    if (targets_) targets_->menuAction()->setEnabled(!on);
}

void MenuBar::SetMenuState(ShootingState state) {
    state_ = state;
    stateSet_ = true;
    const auto column = std::size_t(state);
    for (const CommandRow& row : CommandTable()) {
        const Cell cell = row.menuStates[column];
        QAction* action = cell == U ? nullptr : Action(row.id);
        if (!action) continue;
        action->setEnabled(cell != G);
        if (row.item.secondText) action->setText(texts_(cell == C ? row.item.secondText : row.item.text));
    }
    if (targets_) targets_->menuAction()->setEnabled(kTargetsMenuStates[column] != G && !locked_);
    if (!locked_) return;
    for (const CommandRow& row : CommandTable())
        if (QAction* action = Lockable(row) ? Action(row.id) : nullptr) action->setEnabled(false);
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
