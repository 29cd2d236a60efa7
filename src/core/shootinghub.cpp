#include "core/shootinghub.h"

#include <algorithm>

#include "diag/diagnostics.h"

namespace zark {

HubView::HubView(HubView* parent) : parent_(parent) {
    if (parent_) {
        parent_->Attach(this);
    } else {
        store_ = std::make_unique<TraceStore>();
    }
}

HubView::~HubView() {
    if (parent_) parent_->Detach(this);
    // Views still attached to a root that goes away must not call back into it.
    for (HubView* view : views_)
        if (view) view->parent_ = nullptr;
}

void HubView::Attach(HubView* view) { views_.push_back(view); }

void HubView::Detach(HubView* view) {
    auto it = std::find(views_.begin(), views_.end(), view);
    if (it == views_.end()) return;
    if (walking_ > 0) {
        *it = nullptr;
        holes_ = true;
    } else {
        views_.erase(it);
    }
}

int HubView::ViewCount() const {
    const HubView* root = Root();
    return int(std::count_if(root->views_.begin(), root->views_.end(), [](HubView* v) { return v != nullptr; }));
}

HubView* HubView::Root() {
    HubView* node = this;
    while (node->parent_) node = node->parent_;
    return node;
}

const HubView* HubView::Root() const {
    const HubView* node = this;
    while (node->parent_) node = node->parent_;
    return node;
}

template <typename F>
void HubView::ForEachView(F&& notify) {
    HubView* root = Root();
    ++root->walking_;
    // Index-based: the list may grow during the walk; detached entries turn null.
    for (std::size_t i = 0; i < root->views_.size(); ++i) {
        if (HubView* view = root->views_[i]) notify(view);
    }
    if (--root->walking_ == 0 && root->holes_) {
        std::erase(root->views_, nullptr);
        root->holes_ = false;
    }
}

// Default notifications.
void HubView::OnSample(int, int, int, int, int) {}
void HubView::OnShotsEnabled(int enabled) { shotsEnabled_ = enabled; }
void HubView::OnAcquisitionStarted() {}
void HubView::OnTraceRange(int, int, int) {}
void HubView::OnTargetSelected(int side) { side_ = side; }
void HubView::OnStoreChanged() {}
void HubView::OnSettingsChanged(const Settings* settings) { settings_ = settings; }
void HubView::OnAimOffset(int dx, int dy) {
    offsetX_ = dx;
    offsetY_ = dy;
}
void HubView::OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) {
    targetA_ = a;
    targetB_ = b ? b : a;
    side_ = 0;
}
void HubView::OnReplayStarted() {}
void HubView::OnNewSeries(int, int, int) {}
void HubView::OnReplayStopped() {}
void HubView::OnAcquisitionStopped() {}
void HubView::OnShotCalled(int, int) {}

// Hub operations.
void HubView::FeedSample(int x, int y, int isShot, int isReplay, int sampleIndex) {
    HubView* root = Root();
    TraceStore* store = root->store_.get();
    if (store && !isReplay) {
        if (isShot && root->seriesShots_ > 0 && store->ShotCount() >= root->seriesShots_) {
            // A series takes exactly its number of shots: one more (fired before the last one
            // settled) is kept as an aim point only.
            LogLine("A shot beyond the %d of the series was not recorded\n", root->seriesShots_);
            isShot = 0;
        }
        // a full store refuses silently; the views are told all the same
        if (isShot)
            store->AppendShot(x, y, root->side_);
        else
            store->AppendSample(x, y);
    }
    if (sampleIndex == -1 && store) sampleIndex = store->SampleCount() - 1;
    ForEachView([&](HubView* v) { v->OnSample(x, y, isShot, isReplay, sampleIndex); });
}

void HubView::EnableShots(int enabled) {
    ForEachView([&](HubView* v) { v->OnShotsEnabled(enabled); });
}

void HubView::StartAcquisition() {
    HubView* root = Root();
    if (root->running_) return;
    root->running_ = 1;
    ForEachView([](HubView* v) { v->OnAcquisitionStarted(); });
}

void HubView::StopAcquisition() {
    HubView* root = Root();
    if (!root->running_) return;
    root->running_ = 0;
    ForEachView([](HubView* v) { v->OnAcquisitionStopped(); });
}

void HubView::ShowTraceRange(int first, int last, int add) {
    ForEachView([&](HubView* v) { v->OnTraceRange(first, last, add); });
}

void HubView::SetSettings(const Settings* settings) {
    HubView* root = Root();
    if (root->store_) root->store_->SetSettings(settings);
    root->OnSettingsChanged(settings);
    ForEachView([&](HubView* v) { v->OnSettingsChanged(settings); });
}

void HubView::SelectTarget(int side) {
    for (HubView* node = this; node; node = node->parent_) node->side_ = side;
    HubView* root = Root();
    root->OnTargetSelected(side);
    ForEachView([&](HubView* v) { v->OnTargetSelected(side); });
}

void HubView::SetAimOffset(int dx, int dy) {
    Root()->OnAimOffset(dx, dy);
    ForEachView([&](HubView* v) { v->OnAimOffset(dx, dy); });
}

void HubView::SetTargets(const TargetDescriptor* a, const TargetDescriptor* b) {
    HubView* root = Root();
    if (root->store_) root->store_->Clear();
    root->OnTargetsChanged(a, b);
    ForEachView([&](HubView* v) {
        v->HubView::OnTargetsChanged(a, b);
        v->OnTargetsChanged(a, b);
    });
}

void HubView::NotifyStoreChanged() {
    ForEachView([](HubView* v) { v->OnStoreChanged(); });
}

void HubView::CallShot(int shot, int how, int x, int y) {
    TraceStore* store = Root()->store_.get();
    if (!store || shot < 0 || shot >= store->ShotCount()) return;
    if (how == kCallGiven) store->SetCall(shot, x, y);
    ForEachView([shot, how](HubView* v) { v->OnShotCalled(shot, how); });
}

void HubView::BeginReplay() {
    HubView* root = Root();
    if (root->replaying_) return;
    root->replaying_ = 1;
    ForEachView([](HubView* v) { v->OnReplayStarted(); });
}

int HubView::EndReplay() {
    HubView* root = Root();
    if (!root->replaying_) return 0;
    root->replaying_ = 0;
    ForEachView([](HubView* v) { v->OnReplayStopped(); });
    return 1;
}

void HubView::NewSeries(int shots, int sighters, int isDouble) {
    HubView* root = Root();
    if (root->running_) return;
    root->running_ = 1;
    root->seriesShots_ = shots;
    if (root->store_) root->store_->Clear();
    ForEachView([&](HubView* v) { v->OnNewSeries(shots, sighters, isDouble); });
}

int HubView::LoadStore(const TraceImage& image) {
    TraceStore* store = Store();
    return store ? store->CopyFrom(image) : 0;
}

TraceStore* HubView::Store() { return Root()->store_.get(); }

}  // namespace zark
