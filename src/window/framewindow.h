#pragma once

#include <QMainWindow>
#include <string>

#include "settings/registryforms.h"

namespace zark {

class PlacementStore;

// The top-level window base of the main window. Its placement, in the store it is given, is read
// by PlaceFromStorage() and written when the window is destroyed, after everything built on
// it is gone: the window's screen rectangle, as the outer rectangle of the window's own area.
class FrameWindow : public QMainWindow {
    Q_OBJECT

public:
    // Without a store the window reads no placement and keeps none.
    explicit FrameWindow(std::string placementName, PlacementStore* store = nullptr, QWidget* parent = nullptr);
    ~FrameWindow() override;

    // Reads the stored rectangle (fallback when there is none) and sizes the window to it, at the
    // top-left corner of the screen; only the size of the stored rectangle is used, and never
    // more than the screen's available area. Returns the rectangle used.
    Rect PlaceFromStorage(const Rect& fallback);

    // The rectangle written at destruction: the window's normal geometry on the screen.
    Rect ScreenRect() const;

private:
    PlacementStore* store_ = nullptr;
    std::string placementName_;
};

}  // namespace zark
