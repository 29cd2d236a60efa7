#include "window/framewindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "window/placementstore.h"

namespace zark {

FrameWindow::FrameWindow(std::string placementName, PlacementStore* store, QWidget* parent)
    : QMainWindow(parent), store_(store), placementName_(std::move(placementName)) {}

FrameWindow::~FrameWindow() {
    PlacementStore* store = store_ ? store_ : ProcessPlacements();
    if (store && !placementName_.empty()) store->WritePlacement(placementName_, ScreenRect(), {});
}

Rect FrameWindow::PlaceFromStorage(const Rect& fallback) {
    Rect rect = fallback;
    PlacementStore* store = store_ ? store_ : ProcessPlacements();
    if (!store || placementName_.empty() || !store->ReadPlacement(placementName_, rect, nullptr)) rect = fallback;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    // A stored size beyond the screen (a damaged or hand-edited value) would have the window
    // allocate and paint far more than can be seen: it is cut to the screen's available area.
    rect = screen ? FitPlacement(rect, available.width(), available.height()) : fallback;
    // A rectangle with no area leaves the size to the minimum size of the window.
    resize(std::max(1, int(rect.Width())), std::max(1, int(rect.Height())));
    move(available.topLeft());
    return rect;
}

Rect FrameWindow::ScreenRect() const {
    // A minimised window keeps the rectangle it will be restored to.
    const QRect r = isMinimized() ? normalGeometry() : geometry();
    return Rect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

}  // namespace zark
