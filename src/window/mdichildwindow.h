#pragma once

#include <QIcon>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/registryforms.h"

class QAction;
class QEvent;
class QMenu;
class QWidget;

namespace zark {

class MdiClient;
class PlacementStore;

// Window styles of the child windows, with the platform's numbers.
enum WindowStyle : std::uint32_t {
    kStyleVisible = 0x10000000,
    kStyleCaption = 0x00C00000,
    kStyleSysMenu = 0x00080000,
    kStyleThickFrame = 0x00040000,
    kStyleMinimizeBox = 0x00020000,
    kStyleMaximizeBox = 0x00010000,
};

// The items of a child's system menu, by their platform command numbers (QAction::data()).
enum SystemCommand : int {
    kScSize = 0xF000,
    kScMove = 0xF010,
    kScMinimize = 0xF020,
    kScMaximize = 0xF030,
    kScClose = 0xF060,
    kScRestore = 0xF120,
};

// The separators to delete from a menu with these items (true for a separator), walking from the
// last item to the first: a separator goes when the item after it is also a separator. Indices
// in descending order.
std::vector<int> SurplusSeparators(const std::vector<bool>& isSeparator);

// Where a child window shown for the first time goes, wanted at want in an area of the given
// size: its size cut to the area; of its wanted place and the places beside and below the windows
// shown, the first that covers the least of them, inside the area; then moved down and to the
// right in steps while its top-left corner is that of a window shown.
Rect FirstPlace(const Rect& want, const std::vector<Rect>& shown, int areaWidth, int areaHeight);

// Base of the child windows in the main window's child-window area (target window, scoreboard,
// match board, diagram): one QMdiSubWindow with a content widget the derived class fills.
//
// A child may have a placement ("Target", "Scoreboard", ...) in the placement store of its area: it
// is read when the child is created and written when the object is destroyed, in the coordinates of
// the child-window area. Children are destroyed before the area that holds them.
class MdiChildWindow {
public:
    MdiChildWindow();
    virtual ~MdiChildWindow();
    MdiChildWindow(const MdiChildWindow&) = delete;
    MdiChildWindow& operator=(const MdiChildWindow&) = delete;

    // Creates the window in the client's area with the title, style (WindowStyle bits) and
    // rectangle (left, top, right, bottom in the area's coordinates), and a small icon when one
    // is given. Without kStyleVisible the window stays hidden and nothing of it is drawn.
    // Minimise, maximise and restore leave the system menu unless the style asks for the boxes.
    // Returns 1, or 0 when the window exists already.
    int Create(const QString& title, std::uint32_t style, const Rect& rect, MdiClient& client,
               const QIcon& icon = QIcon());
    // The same at the rectangle stored under placementName, or fallback when none is stored;
    // the rectangle is written back under that name when the object is destroyed.
    int CreatePlaced(const QString& title, std::uint32_t style, const std::string& placementName,
                     const Rect& fallback, MdiClient& client, const QIcon& icon = QIcon());

    // Takes the close item out of the system menu, and the close box with it, so the window
    // cannot be closed. Returns 0 when the window has no system menu, 1 otherwise.
    int RemoveClose();

    QMdiSubWindow* Window() const { return window_; }
    QWidget* Content() const { return content_; }
    // Replaces the content widget (the window takes it over).
    void SetContent(QWidget* content);
    int ChildId() const { return childId_; }
    std::uint32_t Style() const { return style_; }
    bool CloseRemoved() const { return closeRemoved_; }

    // The window's rectangle in the area's coordinates, and moving or sizing it. A window with
    // no thick frame keeps the size it is given here; the user cannot resize it.
    Rect Geometry() const;
    void SetGeometry(const Rect& rect);
    void SetTitle(const QString& title);

    // The rectangle in its normal state: a minimised or maximised window keeps the one it had.
    Rect NormalGeometry() const;

    // The word stored after the placement rectangle (":word"): what was read at creation, and
    // what will be written.
    const std::string& StoredWord() const { return storedWord_; }
    void SetPlacementWord(std::string word) { placementWord_ = std::move(word); }

    // Called instead of closing when the close box (or the system menu's Close) is used: the
    // owner hides the window and keeps its content for when it is shown again. Without it the
    // window closes as the toolkit closes a child window.
    std::function<void()> onCloseBox;

    // The size (with caption and frame) that fits the window's content, given to it when it is
    // first shown without a stored placement; an empty size keeps the size it was created with.
    virtual QSize FirstSize() const;

    // Every event of the window reaches this first once the window is attached; true consumes it.
    // The default handles none.
    virtual bool OnWindowEvent(QEvent* event);

    // The client leaves: its area and the window in it are gone.
    void DetachFromClient();

private:
    friend class MdiChildFrame;
    void TrackNormalGeometry();
    void TidySystemMenu(QMenu* menu);
    void PlaceOnFirstShow();

    QPointer<QMdiSubWindow> window_;
    QPointer<QWidget> content_;
    MdiClient* client_ = nullptr;
    PlacementStore* store_ = nullptr;  // the area's, taken when the child is placed
    std::string placementName_;
    std::string storedWord_;
    std::string placementWord_;
    Rect normal_;
    std::uint32_t style_ = 0;
    int childId_ = 0;
    bool closeRemoved_ = false;
    bool placed_ = false;  // from the stored placement, or when first shown
};

// Removes the surplus separators of a menu (a run keeps its last one).
void TidySeparators(QMenu* menu);

// The system command an item of a child's system menu stands for; 0 for others and separators.
int SystemCommandOf(const QAction* action);

}  // namespace zark
