#include "app/targetchild.h"

#include <QMdiSubWindow>

#include "app/appicons.h"
#include "results/phaseanalysis.h"
#include "settings/settings.h"
#include "targets/widgets/targetview.h"
#include "targets/widgets/targetwindow.h"

namespace zark {

TargetChild::TargetChild(MdiClient& client, HubView& hub, NotificationSink& mainFrame, const Settings& settings,
                         const std::string& sessionPort, TargetWindow::ExtraViewFactory audioView) {
    CreatePlaced(QString(), kStyleCaption | kStyleSysMenu | kStyleThickFrame, "Target", kDefaultPlacement, client,
                 ProgramIcon());
    target_ = new TargetWindow(hub, mainFrame, nullptr, std::move(audioView));
    target_->SetSessionPort(settings.Communication, sessionPort);
    target_->View().SetPhaseSource(MakePhaseLabeller());
    SetContent(target_);
    if (QMdiSubWindow* frame = Window()) frame->setMinimumSize(TargetWindow::kMinWidth, TargetWindow::kMinHeight);
}

TargetChild::~TargetChild() = default;

}  // namespace zark
