#include "app/framecommands.h"

#include "app/framerange.h"

#include <QAction>
#include <QFileInfo>
#include <memory>

#include "app/framefiles.h"
#include "app/frameshooting.h"
#include "app/frameviews.h"
#include "app/mainframe.h"
#include "core/seriesflow.h"
#include "print/widgets/printhub.h"

namespace zark {

void FrameCommands::Dispatch(int command) {
    const CommandRow* row = FindCommand(command);
    if (!row || !row->handler) {
        frame_.Mdi().ActivateChild(command);
        return;
    }
    if (!MayRun(command)) return;
    (this->*(row->handler))(command);
}

bool FrameCommands::MayRun(int command) const {
    const CommandRow* row = FindCommand(command);
    if (row && row->whenGrey == WhenGrey::ViewChoice) return true;
    const QAction* item = frame_.Menus().Action(command);
    return !item || item->isEnabled();
}

void FrameCommands::Quit(int) { frame_.PostQuit(); }

void FrameCommands::Open(int) { frame_.Open(QString()); }

void FrameCommands::Save(int) {
    if (FrameFiles* files = frame_.Files()) files->Save();
}

void FrameCommands::Delete(int) {
    if (FrameFiles* files = frame_.Files()) files->Delete();
}

void FrameCommands::SaveAutomatically(int command) {
    const int on = frame_.Menus().ToggleCheck(command);
    frame_.SetAutoSave(on);
    frame_.ToolbarButtons().CheckButton(command, on != 0);
}

void FrameCommands::WatchLane(int) {
    if (FrameRange* range = frame_.Range()) range->WatchLaneCommand();
}

void FrameCommands::Customize(int) { frame_.Customize(); }

void FrameCommands::Print(int command) {
    const TraceStore* live = frame_.Hub().Store();
    if (!live) return;
    // The report is drawn from a copy of the series on a hub of its own: the live views stay as
    // they are.
    Settings& settings = frame_.CurrentSettings();
    auto store = std::make_unique<TraceStore>();
    store->SetSettings(&settings);
    store->CopyFrom(live->Image());
    store->SetShotTimeOffset(live->ShotTimeOffset());
    ReportSeries series;
    series.store = store.get();
    series.faceA = frame_.Hub().targetA();
    series.faceB = frame_.Hub().targetB();
    series.settings = &settings;
    if (!frame_.FileName().isEmpty()) series.title = QFileInfo(frame_.FileName()).fileName();
    series.stamp = frame_.SeriesDate();
    series.part = frame_.MatchPart();
    series.sighters = frame_.Flow() && frame_.Flow()->sightersMode() && frame_.FileName().isEmpty();
    if (command == kCmdExportPdf) {
        PrintHub views(series, 600);
        frame_.Print().ExportPdf(&frame_, series, views);
    } else {
        PrintHub views(series, 1200);
        frame_.Print().Print(&frame_, series, views);
    }
}

void FrameCommands::PageSetup(int) { frame_.Print().PageSetup(&frame_); }

void FrameCommands::Zoom(int command) { frame_.Views().Zoom(command); }

void FrameCommands::ToggleWindow(int command) { frame_.Views().ToggleWindow(command); }

void FrameCommands::ShowChildWindow(int command) { frame_.Views().ToggleChild(command); }

void FrameCommands::ShowProgress(int) { frame_.Views().ShowProgress(); }

void FrameCommands::HideProgress(int) { frame_.Views().HideProgress(); }

void FrameCommands::ShowRange(int) {
    if (FrameRange* range = frame_.Range()) range->ShowOfficerWindow();
}

void FrameCommands::HideRange(int) {
    if (FrameRange* range = frame_.Range()) range->HideOfficerWindow();
}

void FrameCommands::Rearrange(int) { frame_.Views().Rearrange(); }

void FrameCommands::ChooseTarget(int command) { frame_.ChooseTarget(command); }

void FrameCommands::Shoot(int command) { frame_.Shooting().Shoot(command); }

void FrameCommands::Replay(int command) { frame_.Shooting().Replay(command); }

void FrameCommands::Pitch(int) { frame_.Shooting().ApplyShotTimeOffset(); }

void FrameCommands::ClearPitch(int) { frame_.Shooting().ClearPitch(); }

void FrameCommands::HelpTopics(int) { frame_.Help().Show(); }

void FrameCommands::ShowWarnings(int command) { frame_.Warnings().SetShowAtStartup(frame_.Menus().ToggleCheck(command)); }

void FrameCommands::About(int) { frame_.About().Show(); }

}  // namespace zark
