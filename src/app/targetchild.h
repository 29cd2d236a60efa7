#pragma once

#include <string>

#include "window/mdichildwindow.h"
#include "targets/widgets/targetwindow.h"

namespace zark {

class HubView;
class MdiClient;
class NotificationSink;
class TargetWindow;
struct Settings;

// The target window as a child of the main window's child-window area: placement "Target"
// (0, 0, 462, 402 when none is stored), captioned and sizable, at least 200 × 170, created hidden
// (it is shown with the first target). Its content is the TargetWindow with the drawing view, the
// hunting buttons, the link window and the series logic.
class TargetChild final : public MdiChildWindow {
public:
    static constexpr Rect kDefaultPlacement{0, 0, 462, 402};

    // Builds the window on the hub; the notifications go to mainFrame. The link window runs on the
    // port chosen for this session; audioView makes the view that joins the hub after the drawing view.
    TargetChild(MdiClient& client, HubView& hub, NotificationSink& mainFrame, const Settings& settings,
                const std::string& sessionPort, TargetWindow::ExtraViewFactory audioView = {});
    ~TargetChild() override;

    TargetWindow& Target() const { return *target_; }

private:
    TargetWindow* target_ = nullptr;  // the content widget, owned by the window
};


}  // namespace zark
