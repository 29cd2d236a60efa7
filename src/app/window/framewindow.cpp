#include "app/window/framewindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace zark {

FrameWindow::FrameWindow(std::string placementName, QWidget* parent)
    : QMainWindow(parent), placementName_(std::move(placementName)) {}

FrameWindow::~FrameWindow() {
    if (!placementName_.empty()) registry_.writeRect(placementName_, ScreenRect());
}

Rect FrameWindow::PlaceFromStorage(const Rect& fallback) {
    Rect rect = fallback;
    if (placementName_.empty() || !registry_.readRect(placementName_, rect)) rect = fallback;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QPoint corner = screen ? screen->availableGeometry().topLeft() : QPoint(0, 0);
    // A rectangle with no area leaves the size to the minimum size of the window.
    resize(std::max(1, rect.Width()), std::max(1, rect.Height()));
    move(corner);
    return rect;
}

Rect FrameWindow::ScreenRect() const {
    // A minimised window keeps the rectangle it will be restored to.
    const QRect r = isMinimized() ? normalGeometry() : geometry();
    return Rect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

}  // namespace zark
