#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

#include "window/mdichildwindow.h"

namespace zark {

// The results windows: captioned, sizable, with a system menu and a close box.
inline constexpr std::uint32_t kResultsChildStyle = kStyleCaption | kStyleSysMenu | kStyleThickFrame;

// A child window's client area that lays out its children again at every size.
class ResizingArea final : public QWidget {
public:
    std::function<void()> onResize;

protected:
    void resizeEvent(QResizeEvent* event) override;
};

// A close box that only hides the window: the close event is taken and onClose is called, so the
// command that shows the window (and its menu mark) decides. False for any other event.
bool CloseBoxHides(QEvent* event, const std::function<void()>& onClose);

// What a child window's caption and sizing frame add to its client area: the caption height plus
// twice the frame width, in the style the child windows are drawn with.
int ChildFrameExtra();
// The outer size of a child window around a client area of this size.
QSize ChildOuterSize(const QSize& client);

}  // namespace zark
