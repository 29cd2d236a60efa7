#include "window/mdichildwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "window/mdiclient.h"
#include "window/placementstore.h"

namespace zark {

std::vector<int> SurplusSeparators(const std::vector<bool>& isSeparator) {
    std::vector<int> surplus;
    bool nextIsSeparator = false;  // the item after the one visited (already visited)
    for (int i = int(isSeparator.size()) - 1; i >= 0; --i) {
        const bool separator = isSeparator[std::size_t(i)];
        if (separator && nextIsSeparator) {
            surplus.push_back(i);
            continue;  // deleted: the item after the next one visited is still a separator
        }
        nextIsSeparator = separator;
    }
    return surplus;
}


// The window of an MdiChildWindow. Events go to the object once it is attached, and on to the
// standard child-window handling when the object does not consume them.
class MdiChildFrame final : public QMdiSubWindow {
public:
    explicit MdiChildFrame(MdiChildWindow* owner) : owner_(owner) {}

    void Attach() { attached_ = true; }
    void Detach() {
        attached_ = false;
        owner_ = nullptr;
    }

protected:
    bool event(QEvent* event) override {
        if (attached_ && owner_ && owner_->OnWindowEvent(event)) return true;
        return QMdiSubWindow::event(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (owner_ && owner_->CloseRemoved()) {
            event->ignore();
            return;
        }
        if (owner_ && owner_->onCloseBox) {
            // Hidden, not closed: the content widget stays as it is, ready to be shown again.
            event->ignore();
            owner_->onCloseBox();
            return;
        }
        QMdiSubWindow::closeEvent(event);
    }
    void moveEvent(QMoveEvent* event) override {
        QMdiSubWindow::moveEvent(event);
        if (owner_) owner_->TrackNormalGeometry();
    }
    void resizeEvent(QResizeEvent* event) override {
        QMdiSubWindow::resizeEvent(event);
        if (owner_) owner_->TrackNormalGeometry();
    }

private:
    MdiChildWindow* owner_;
    bool attached_ = false;
};

namespace {

Rect RectOf(const QRect& r) { return Rect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

Qt::WindowFlags FlagsOf(std::uint32_t style) {
    Qt::WindowFlags flags = Qt::SubWindow | Qt::CustomizeWindowHint;
    if ((style & kStyleCaption) == kStyleCaption)
        flags |= Qt::WindowTitleHint;
    else
        flags |= Qt::FramelessWindowHint;
    if (style & kStyleSysMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & kStyleMinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    if (style & kStyleMaximizeBox) flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

// Gives the items of the toolkit's system menu their system command numbers.
void TagSystemMenu(QMenu* menu) {
    const struct {
        const char* text;
        int command;
    } items[] = {
        {"&Restore", kScRestore}, {"&Move", kScMove},        {"&Size", kScSize},
        {"Mi&nimize", kScMinimize}, {"Ma&ximize", kScMaximize}, {"&Close", kScClose},
    };
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        for (const auto& item : items)
            if (action->text() == QMdiSubWindow::tr(item.text)) action->setData(item.command);
    }
}

void RemoveSystemCommand(QMenu* menu, int command) {
    for (QAction* action : menu->actions())
        if (SystemCommandOf(action) == command) menu->removeAction(action);
}

}  // namespace

int SystemCommandOf(const QAction* action) {
    if (!action || action->isSeparator()) return 0;
    bool ok = false;
    const int command = action->data().toInt(&ok);
    return ok ? command : 0;
}

void TidySeparators(QMenu* menu) {
    if (!menu) return;
    const QList<QAction*> actions = menu->actions();
    std::vector<bool> separators;
    separators.reserve(std::size_t(actions.size()));
    for (const QAction* action : actions) separators.push_back(action->isSeparator());
    for (const int index : SurplusSeparators(separators)) {
        QAction* separator = actions[index];
        menu->removeAction(separator);
        if (separator->parent() == menu) delete separator;
    }
}

MdiChildWindow::MdiChildWindow() = default;

MdiChildWindow::~MdiChildWindow() {
    if (window_) {
        if (store_ && !placementName_.empty()) store_->WritePlacement(placementName_, NormalGeometry(), placementWord_);
        static_cast<MdiChildFrame*>(window_.data())->Detach();
        delete window_.data();
    }
    if (client_) client_->Unregister(this);
}

void MdiChildWindow::DetachFromClient() { client_ = nullptr; }

int MdiChildWindow::CreatePlaced(const QString& title, std::uint32_t style, const std::string& placementName,
                                 const Rect& fallback, MdiClient& client, const QIcon& icon) {
    if (window_) return 0;
    Rect rect = fallback;
    PlacementStore* store = client.Placements() ? client.Placements() : ProcessPlacements();
    if (store && store->ReadPlacement(placementName, rect, &storedWord_)) {
        // Stored numbers are kept within the screen: in the area's coordinates, no larger than
        // the screen's available area and inside it.
        const QMdiArea* area = client.Area();
        const QScreen* screen = area ? area->screen() : QGuiApplication::primaryScreen();
        const QRect available = screen ? screen->availableGeometry() : QRect();
        rect = screen ? FitPlacement(rect, available.width(), available.height()) : fallback;
    } else {
        rect = fallback;
        storedWord_.clear();
    }
    placementWord_ = storedWord_;
    const int created = Create(title, style, rect, client, icon);
    if (created) {
        placementName_ = placementName;
        store_ = store;
    }
    return created;
}

int MdiChildWindow::Create(const QString& title, std::uint32_t style, const Rect& rect, MdiClient& client,
                           const QIcon& icon) {
    QMdiArea* area = client.Area();
    if (window_ || !area) return 0;
    const bool visible = (style & kStyleVisible) != 0;
    QWidget* viewport = area->viewport();
    // A hidden child must not be seen for a moment: the area draws nothing until it is in place.
    const bool updates = viewport->updatesEnabled();
    if (!visible) viewport->setUpdatesEnabled(false);

    auto* frame = new MdiChildFrame(this);
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    content_ = new QWidget;
    content_->setAutoFillBackground(true);
    frame->setWidget(content_);
    frame->setWindowTitle(title);
    area->addSubWindow(frame, FlagsOf(style));
    window_ = frame;
    style_ = style;
    SetGeometry(rect);

    if (!visible) {
        frame->hide();
        viewport->setUpdatesEnabled(updates);
        viewport->update();
    }

    if (QMenu* menu = frame->systemMenu()) {
        if (style & kStyleSysMenu) {
            TagSystemMenu(menu);
            const bool minimize = (style & kStyleMinimizeBox) != 0;
            const bool maximize = (style & kStyleMaximizeBox) != 0;
            if (!maximize) RemoveSystemCommand(menu, kScMaximize);
            if (!minimize) RemoveSystemCommand(menu, kScMinimize);
            if (!minimize && !maximize) RemoveSystemCommand(menu, kScRestore);
            TidySeparators(menu);
        } else {
            frame->setSystemMenu(nullptr);
        }
    }

    client_ = &client;
    childId_ = client.Register(this);
    frame->setObjectName(QStringLiteral("child%1").arg(childId_));
    frame->Attach();
    if (!icon.isNull()) frame->setWindowIcon(icon);
    if (visible) frame->show();
    return 1;
}

int MdiChildWindow::RemoveClose() {
    if (!window_) return 0;
    QMenu* menu = window_->systemMenu();
    if (!menu) return 0;
    RemoveSystemCommand(menu, kScClose);
    TidySeparators(menu);
    closeRemoved_ = true;
    window_->setWindowFlag(Qt::WindowCloseButtonHint, false);
    return 1;
}

void MdiChildWindow::SetContent(QWidget* content) {
    if (!window_ || !content) return;
    QWidget* old = content_;
    window_->setWidget(content);
    content_ = content;
    if (old && old != content) old->deleteLater();
}

Rect MdiChildWindow::Geometry() const { return window_ ? RectOf(window_->geometry()) : Rect{}; }

void MdiChildWindow::SetGeometry(const Rect& rect) {
    if (!window_) return;
    const int width = int(std::clamp<std::int64_t>(rect.Width(), 0, QWIDGETSIZE_MAX));
    const int height = int(std::clamp<std::int64_t>(rect.Height(), 0, QWIDGETSIZE_MAX));
    if (!(style_ & kStyleThickFrame)) window_->setFixedSize(width, height);
    window_->setGeometry(rect.left, rect.top, width, height);
    TrackNormalGeometry();
}

void MdiChildWindow::SetTitle(const QString& title) {
    if (window_) window_->setWindowTitle(title);
}

Rect MdiChildWindow::NormalGeometry() const { return window_ ? normal_ : Rect{}; }

void MdiChildWindow::TrackNormalGeometry() {
    if (!window_) return;
    if (window_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) return;
    normal_ = RectOf(window_->geometry());
}

bool MdiChildWindow::OnWindowEvent(QEvent*) { return false; }

}  // namespace zark
