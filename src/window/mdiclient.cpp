#include "window/mdiclient.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>

#include "window/mdichildwindow.h"

namespace zark {

MdiClient::MdiClient() = default;

MdiClient::~MdiClient() {
    for (MdiChildWindow* child : children_) child->DetachFromClient();
    delete area_.data();
}

int MdiClient::Create(QWidget* parent, const QRect& rect, int firstChildId) {
    if (area_ || !parent) return 0;
    area_ = new QMdiArea(parent);
    area_->setObjectName(QStringLiteral("mdiClient"));
    area_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);  // the client edge
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area_->setGeometry(rect);
    nextId_ = firstChildId;
    return 1;
}

QSize MdiClient::ClientSize() const { return area_ ? area_->viewport()->size() : QSize(); }

int MdiClient::Register(MdiChildWindow* child) {
    children_.push_back(child);
    return nextId_++;
}

void MdiClient::Unregister(MdiChildWindow* child) { std::erase(children_, child); }

MdiChildWindow* MdiClient::ChildById(int id) const {
    for (MdiChildWindow* child : children_)
        if (child->ChildId() == id) return child;
    return nullptr;
}

int MdiClient::ActivateChild(int id) {
    MdiChildWindow* child = ChildById(id);
    if (!child || !child->Window() || !area_) return 0;
    child->Window()->show();
    area_->setActiveSubWindow(child->Window());
    return 1;
}

}  // namespace zark
