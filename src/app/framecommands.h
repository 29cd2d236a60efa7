#pragma once

#include "window/commandtable.h"

namespace zark {

class MainFrame;

// Carries out the commands of the command table for the main frame: from the menus, the
// shortcuts, the toolbar and the windows' own buttons. Each kind of command goes to the part of
// the frame that owns it (the file commands, the views, the shooting and replay).
class FrameCommands final : public CommandHandlers {
public:
    explicit FrameCommands(MainFrame& frame) : frame_(frame) {}

    // A command of the table runs unless MayRun refuses it; a number that is no command activates
    // the child window with that number, when there is one.
    void Dispatch(int command);
    // A grey command does nothing, whatever sent it (its shortcut still arrives): false while the
    // command's menu item is grey. Commands without an item, and those that only choose how
    // things are shown, always run.
    bool MayRun(int command) const;

    void Quit(int command) override;
    void Open(int command) override;
    void Save(int command) override;
    void Delete(int command) override;
    void SaveAutomatically(int command) override;
    void WatchLane(int command) override;
    void Customize(int command) override;
    void Print(int command) override;
    void PageSetup(int command) override;
    void Zoom(int command) override;
    void ToggleWindow(int command) override;
    void ShowChildWindow(int command) override;
    void ShowProgress(int command) override;
    void HideProgress(int command) override;
    void ShowRange(int command) override;
    void HideRange(int command) override;
    void Rearrange(int command) override;
    void ChooseTarget(int command) override;
    void Shoot(int command) override;
    void Replay(int command) override;
    void Pitch(int command) override;
    void ClearPitch(int command) override;
    void HelpTopics(int command) override;
    void ShowWarnings(int command) override;
    void About(int command) override;

private:
    MainFrame& frame_;
};

}  // namespace zark
