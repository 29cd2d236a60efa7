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
    void showEvent(QShowEvent* event) override {
        if (owner_) owner_->PlaceOnFirstShow();
        QMdiSubWindow::showEvent(event);
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
        placed_ = screen != nullptr;
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

QSize MdiChildWindow::FirstSize() const { return {}; }

void MdiChildWindow::PlaceOnFirstShow() {
    if (placed_ || !window_) return;
    placed_ = true;
    const QSize size = FirstSize();
    const QMdiArea* area = window_->mdiArea();
    if (!size.isValid() || !area) return;
    std::vector<Rect> shown;
    for (const QMdiSubWindow* other : area->subWindowList())
        if (other != window_ && !other->isHidden()) shown.push_back(RectOf(other->geometry()));
    const QRect now = window_->geometry();
    const QSize room = area->viewport()->size();
    SetGeometry(FirstPlace(Rect{now.x(), now.y(), now.x() + size.width(), now.y() + size.height()}, shown,
                           room.width(), room.height()));
}

Rect FirstPlace(const Rect& want, const std::vector<Rect>& shown, int areaWidth, int areaHeight) {
    const std::int64_t width = std::clamp<std::int64_t>(want.Width(), 0, std::max(0, areaWidth));
    const std::int64_t height = std::clamp<std::int64_t>(want.Height(), 0, std::max(0, areaHeight));
    const auto inside = [&](std::int64_t x, std::int64_t y) {
        x = std::clamp<std::int64_t>(x, 0, areaWidth - width);
        y = std::clamp<std::int64_t>(y, 0, areaHeight - height);
        return Rect{std::int32_t(x), std::int32_t(y), std::int32_t(x + width), std::int32_t(y + height)};
    };
    const auto covered = [&](const Rect& r) {
        std::int64_t area = 0;
        for (const Rect& s : shown) {
            const std::int64_t w = std::min(r.right, s.right) - std::int64_t(std::max(r.left, s.left));
            const std::int64_t h = std::min(r.bottom, s.bottom) - std::int64_t(std::max(r.top, s.top));
            if (w > 0 && h > 0) area += w * h;
        }
        return area;
    };
    std::vector<Rect> candidates{inside(want.left, want.top)};
    for (const Rect& s : shown) {
        candidates.push_back(inside(s.right, s.top));
        candidates.push_back(inside(s.left, s.bottom));
    }
    Rect best = candidates.front();
    for (const Rect& c : candidates)
        if (covered(c) < covered(best)) best = c;
    constexpr int kStep = 24;  // about a caption's height
    for (std::size_t tries = 0; tries <= shown.size(); ++tries) {
        const bool same = std::any_of(shown.begin(), shown.end(),
                                      [&](const Rect& s) { return s.left == best.left && s.top == best.top; });
        if (!same) break;
        best = inside(best.left + kStep > areaWidth - width ? 0 : best.left + kStep,
                      best.top + kStep > areaHeight - height ? 0 : best.top + kStep);
    }
    return best;
}

}  // namespace zark
