#include "app/targetchild.h"

#include <QMdiSubWindow>

#include "app/appicons.h"
#include "link/serialportnames.h"
#include "settings/settings.h"
#include "targets/widgets/targetwindow.h"

namespace zark {

std::string SessionPortChoice(const Settings& settings) { return StartupPort(settings.Communication); }

TargetChild::TargetChild(MdiClient& client, HubView& hub, NotificationSink& mainFrame, const Settings& settings) {
    CreatePlaced(QString(), kStyleCaption | kStyleSysMenu | kStyleThickFrame, "Target", kDefaultPlacement, client,
                 ProgramIcon());
    target_ = new TargetWindow(hub, mainFrame);
    target_->SetSessionPort(settings.Communication, SessionPortChoice(settings));
    SetContent(target_);
    if (QMdiSubWindow* frame = Window()) frame->setMinimumSize(TargetWindow::kMinWidth, TargetWindow::kMinHeight);
}

TargetChild::~TargetChild() = default;

}  // namespace zark
