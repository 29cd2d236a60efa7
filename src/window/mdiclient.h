#pragma once

#include <QMdiArea>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace zark {

class MdiChildWindow;
class PlacementStore;

// The area of child windows below the toolbar (a QMdiArea with a sunken edge and no scroll bars).
// It numbers its children from the first child id in the order they are created, so that a
// command with a child's number activates that child.
class MdiClient final {
public:
    static constexpr int kFirstChildId = 3000;

    MdiClient();
    ~MdiClient();
    MdiClient(const MdiClient&) = delete;
    MdiClient& operator=(const MdiClient&) = delete;

    // Creates the area in parent at rect. Returns 1, or 0 when it exists already or there is no parent.
    int Create(QWidget* parent, const QRect& rect, int firstChildId = kFirstChildId);

    QMdiArea* Area() const { return area_; }
    // Where the children placed in this area read and keep their placements; none at first.
    void SetPlacementStore(PlacementStore* store) { placements_ = store; }
    PlacementStore* Placements() const { return placements_; }
    // The size children are placed in (the area inside its edge).
    QSize ClientSize() const;

    // Children register at creation and leave at destruction; Register returns the child's id.
    int Register(MdiChildWindow* child);
    void Unregister(MdiChildWindow* child);
    MdiChildWindow* ChildById(int id) const;
    // Shows and activates the child with this id. Returns 1, or 0 when there is none.
    int ActivateChild(int id);

private:
    QPointer<QMdiArea> area_;
    PlacementStore* placements_ = nullptr;
    int nextId_ = kFirstChildId;
    std::vector<MdiChildWindow*> children_;
};

}  // namespace zark
