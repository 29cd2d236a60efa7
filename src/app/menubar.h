#pragma once

#include <QMenuBar>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <vector>

#include "app/accelerators.h"
#include "core/seriesflow.h"
#include "window/commandtable.h"

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;

namespace zark {

// The menu bar of the main window, built from the command table (window/commandtable.h) with the
// texts of the chosen language: "&File", "&View", "&Targets" (with its four target pop-ups),
// "&Shoot" and "&Help". Every item carries its command number (QAction::data()) and sends it when
// chosen. The same object keeps the keyboard shortcut table. The Shoot menu is rebuilt for the
// family of the target shown, and the table's four menu states switch items on and off as
// shooting goes on.
//
// Check marks are the program's, not the toolkit's: choosing a checkable item only sends its
// command, and the command decides the mark (ToggleCheck, SetCheck, ZoomRadio).
class MenuBar final {
public:
    // The text of a string id; the loaded texts of the chosen language unless another is given.
    using TextSource = std::function<QString(int)>;
    using CommandHandler = std::function<void(int)>;

    explicit MenuBar(TextSource texts = {});
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    // Builds the shortcut table and every menu in its initial state. Returns 1 (0 when built already).
    int Build();
    // Puts the bar on its window.
    void SetOwnerWindow(QMainWindow* window);
    void SetCommandHandler(CommandHandler handler) { handler_ = std::move(handler); }

    QMenuBar* Bar() const { return bar_; }
    const std::vector<Accelerator>& Accelerators() const { return accelerators_; }

    QMenu* FileMenu() const { return file_; }
    QMenu* ViewMenu() const { return view_; }
    QMenu* TargetsMenu() const { return targets_; }
    QMenu* ShootMenu() const { return shoot_; }
    QMenu* HelpMenu() const { return help_; }
    // The item of a command; null when no menu has it.
    QAction* Action(int command) const;

    // Rebuilds the Shoot menu for a target family (1000 rifle, 2000 hunt, 3000 field, 4000
    // biathlon, 5000 pistol) and enables it on the bar. Another family keeps the items there are
    // and returns 0; else 1.
    int RebuildShootMenu(int family);

    void EnableSave();
    // Sets an item grey or not, outside the menu states (the match board's item).
    void Enable(int command, bool on);
    void SetMenuState(ShootingState state);
    // The range officer locked the lane: whatever starts, stops or replaces a series (the Shoot
    // and Targets menus, Open, Watch Lane) stays grey until it is unlocked.
    void SetLocked(bool on);
    bool Locked() const { return locked_; }
    static bool Lockable(const CommandRow& row);

    // Check marks. ToggleCheck sets the opposite mark and returns 1 when the item now carries one.
    int ToggleCheck(int command);
    int HasCheck(int command) const;
    void SetCheck(int command, bool on);
    // Gives the radio mark of the zoom group to one of its items.
    void ZoomRadio(int command);

private:
    QAction* AddItem(QMenu* menu, const CommandRow& row);
    QMenu* PopupOf(MenuOf menu) const;
    void Triggered(QAction* action);

    TextSource texts_;
    CommandHandler handler_;
    QPointer<QMenuBar> bar_;
    QMenu* file_ = nullptr;
    QMenu* view_ = nullptr;
    QMenu* targets_ = nullptr;
    QMenu* rifle_ = nullptr;
    QMenu* pistol_ = nullptr;
    QMenu* hunt_ = nullptr;
    QMenu* biathlon_ = nullptr;
    QMenu* shoot_ = nullptr;
    QMenu* help_ = nullptr;
    QActionGroup* zoomGroup_ = nullptr;
    std::map<int, QAction*> actions_;
    std::map<int, bool> checks_;  // the marks as the commands left them
    std::vector<Accelerator> accelerators_;
    ShootingState state_{};
    bool stateSet_ = false;
    bool locked_ = false;
};

}  // namespace zark
