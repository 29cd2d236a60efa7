#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/tracestore.h"

namespace zark {

struct Settings;
struct TargetDescriptor;

// The node through which everything that happens during shooting reaches the views that show it.
// The root (built without a parent) is the hub: it owns the store of the current series and the
// list of attached views. Every other node attaches itself to its parent at construction and
// detaches at destruction. Every hub operation, called on any node, acts at the root.
// Views are told in the order they attached; a view may detach itself (or another) while it is
// being told. All of this runs on the main thread.
// How the wait for a shot's call ended: the shooter called it, skipped it (Escape), or fired the
// next shot first.
enum CallEnd : int { kCallGiven = 1, kCallSkipped = 0, kCallOvertaken = -1 };

class HubView {
public:
    explicit HubView(HubView* parent);
    virtual ~HubView();
    HubView(const HubView&) = delete;
    HubView& operator=(const HubView&) = delete;

    // Notifications, in this order. The defaults keep the node's own copies.
    virtual void OnSample(int x, int y, int isShot, int isReplay, int sampleIndex);
    virtual void OnShotsEnabled(int enabled);
    virtual void OnAcquisitionStarted();
    virtual void OnTraceRange(int first, int last, int add);
    virtual void OnTargetSelected(int side);
    virtual void OnStoreChanged();
    virtual void OnSettingsChanged(const Settings* settings);
    virtual void OnAimOffset(int dx, int dy);
    virtual void OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b);
    virtual void OnReplayStarted();
    virtual void OnNewSeries(int shots, int sighters, int isDouble);
    virtual void OnReplayStopped();
    virtual void OnAcquisitionStopped();
    // The wait for shot's call ended (how: a CallEnd); a given call is in the store.
    virtual void OnShotCalled(int shot, int how);

    // Hub operations.
    void FeedSample(int x, int y, int isShot, int isReplay, int sampleIndex);
    void EnableShots(int enabled);
    void StartAcquisition();
    void StopAcquisition();
    void ShowTraceRange(int first, int last, int add);
    void SetSettings(const Settings* settings);
    void SelectTarget(int side);
    void SetAimOffset(int dx, int dy);
    void SetTargets(const TargetDescriptor* a, const TargetDescriptor* b);
    void NotifyStoreChanged();
    // Ends the wait for shot's call: a given call (x, y in target units) goes into the store.
    void CallShot(int shot, int how, int x, int y);
    void BeginReplay();
    int EndReplay();
    void NewSeries(int shots, int sighters, int isDouble);
    int LoadStore(const TraceImage& image);
    TraceStore* Store();
    const TargetDescriptor* CurrentTarget() const { return side_ ? targetB_ : targetA_; }

    // The node's own copies.
    const Settings* settings() const { return settings_; }
    const TargetDescriptor* targetA() const { return targetA_; }
    const TargetDescriptor* targetB() const { return targetB_; }
    int side() const { return side_; }
    int offsetX() const { return offsetX_; }
    int offsetY() const { return offsetY_; }
    int shotsEnabled() const { return shotsEnabled_; }
    bool IsRunning() const { return Root()->running_ != 0; }
    bool IsReplaying() const { return Root()->replaying_ != 0; }
    int ViewCount() const;
    HubView* Parent() const { return parent_; }

private:
    HubView* Root();
    const HubView* Root() const;
    void Attach(HubView* view);
    void Detach(HubView* view);
    template <typename F>
    void ForEachView(F&& notify);

    const Settings* settings_ = nullptr;
    const TargetDescriptor* targetA_ = nullptr;
    const TargetDescriptor* targetB_ = nullptr;
    int side_ = 0;
    int offsetX_ = 0;
    int offsetY_ = 0;
    int shotsEnabled_ = 1;
    std::unique_ptr<TraceStore> store_;  // root only
    // Root only. A view that detaches while the list is walked leaves a null entry, removed when
    // the outermost walk ends, so the walk never skips or repeats a view.
    std::vector<HubView*> views_;
    int walking_ = 0;
    bool holes_ = false;
    HubView* parent_ = nullptr;
    int replaying_ = 0;
    int running_ = 0;
    int seriesShots_ = 0;  // root only: the shots the series being shot takes (0: no limit but the store's)
};

// The root node: owns the store. More than one hub may exist (the live one and the printout's).
class ShootingHub final : public HubView {
public:
    ShootingHub() : HubView(nullptr) {}
};

}  // namespace zark
