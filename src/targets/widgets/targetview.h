#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <array>
#include <bitset>
#include <functional>
#include <memory>
#include <vector>

#include "core/aimphase.h"
#include "core/replaycommands.h"
#include "core/seriesview.h"
#include "targets/bitmappicture.h"
#include "targets/render/facepainter.h"
#include "targets/render/tracepainter.h"

namespace zark {

class AimCross;
class ShotMark;

// The drawing view of the target window: the current face, the aim cross following the aim point,
// the aim trace, a mark per shot, the sighters' square and mean point of impact, and the
// full-score picture over a shot of 10 or more. A HubView on the live hub (its series logic is
// SeriesView's); it reports shots, settled shots, a complete series, unfired moving-range shots,
// replayed shots, the end of a replay and clicks on marks to its owner.
//
// The face is composed into an off-screen buffer only when zoom, size, target, side or a biathlon
// hit changes; the trace is grown sample by sample in a layer of its own; a paint copies both.
//
// Trace: during a replay the part of the range replayed so far; while shooting, the trace of the
// shot under way, from the moment the previous shot settled (code 7) on. Only with LineTrack on.
class TargetView final : public QWidget, public SeriesView, public ReplayCommands {
    Q_OBJECT

public:
    static constexpr int kNotifyId = 2151;
    static constexpr int kFirstMarkId = 100;

    TargetView(HubView* hub, const FaceRules& rules, TimerFactory& timers, QWidget* parent = nullptr);
    ~TargetView() override;

    // Where the notifications go (the target window).
    void SetNotificationTarget(NotificationSink* target) { relay_.target = target; }
    // Called whenever a series starts or acquisition starts or stops (the window's buttons follow).
    void SetRunStateHandler(std::function<void()> handler) { onRunState_ = std::move(handler); }

    // Face rendering.
    void SetZoom(int zoom, bool redraw);
    int Zoom() const { return zoom_; }
    void ComposeFace();
    int UnitsToPixels(int units) const;
    QPoint ToPixel(int x, int y, int shotIndex, bool clamp) const;
    // The point in target units that ToPixel puts at a client pixel (the inverse of the view's own
    // mapping, centring included), for the call of shot shotIndex.
    SamplePoint ToUnits(QPoint pixel, int shotIndex) const;
    // A printing view lays the face out across the page's width, a screen view across the smaller
    // of its width and height.
    FaceGeometry Geometry() const { return {width(), height(), zoom_, printDpi_ > 0}; }
    // Draws the face, framed, and the visible shot marks at their places onto a printer painter
    // set up so that the view's client rectangle maps onto the page area; dotsPerInch is the
    // printer's.
    void RenderForPrint(QPainter& painter, int dotsPerInch);
    // A view that draws for a printer takes its sizes in millimetres at the printer's resolution
    // (0: the screen's). It is never shown: its face goes straight onto the printer in
    // RenderForPrint, so it keeps no screen picture of the face and never composes one.
    void SetPrintDpi(int dotsPerInch);
    // What tells the phase of each trace point, for the trace coloured by phase (the setting
    // ColourTraceByPhase); without one the trace keeps its two colours.
    void SetPhaseSource(std::unique_ptr<AimPhaseSource> source);
    bool PhasesShown() const;
    // The phase each trace point is drawn in (valid while PhasesShown()).
    AimPhase PhaseOf(int index) const;
    // Where the legend of the phase colours is drawn (bottom left), empty while the trace is not
    // coloured by phase.
    QRect LegendRect() const;

    void PlaceMark(int k);
    void PlaceAllMarks();

    // Replay: the state and the stepping (timer 1).
    void StartReplay(int speedPercent, int direction) override;
    void StopReplay() override;
    void JumpReplay(int toEnd) override;
    bool ReplayRunning() const override;
    void ReplayTick();
    int replayPosition() const { return replayPosition_; }
    int replayFirst() const { return replayFirst_; }
    int replayLast() const { return replayLast_; }
    int replayStep() const { return replayStep_; }
    int replayActive() const { return replayActive_; }
    int replayShot() const { return replayShot_; }
    int replayPeriod() const { return replayPeriod_; }  // ms between two ticks

    // HubView.
    void OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) override;
    void OnShotsEnabled(int enabled) override;
    void OnAcquisitionStarted() override;
    void OnAcquisitionStopped() override;
    void OnTraceRange(int first, int last, int add) override;
    void OnTargetSelected(int side) override;
    void OnStoreChanged() override;
    void OnSettingsChanged(const Settings* settings) override;
    void OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) override;
    void OnReplayStopped() override;

    // What is shown, for the window and its tests.
    AimCross* Cross() const { return cross_; }
    ShotMark* Mark(int k) const { return k >= 0 && k < kMaxShots ? marks_[std::size_t(k)] : nullptr; }
    QPoint PictureAt() const { return pictureAt_; }
    bool PictureShown() const { return pictureAt_.x() != 0 && pictureAt_.y() != 0; }
    bool Hit(int k) const { return k >= 0 && k < kMaxShots && hits_[std::size_t(k)]; }
    // The composed face, in device pixels (the client area is its top-left part).
    const QImage& FaceBuffer() const { return faceBuffer_; }
    int LabelHeight() const { return labelFontHeight_; }
    int LiveTraceFirst() const { return liveFirst_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    void SeriesStarted() override;
    void ShotShown(int k, int x, int y) override;
    void MeanChanged() override;
    void SelectionChanged() override;
    // While a call is awaited the view takes the keyboard and the clicks (the marks and the cross
    // let them through) and says what it wants above the face.
    void CallWaitChanged() override;
    void OnShotCalled(int shot, int how) override;

private:
    // Passes the notifications on, noting when a live shot has settled.
    struct Relay final : NotificationSink {
        TargetView* view = nullptr;
        NotificationSink* target = nullptr;
        void Notify(const Notification& n) override;
    };

    int TimeStep() const;
    int Dpi() const;
    int ReplayEnd() const;
    void ShowReplayCross();
    // With no range chosen (a file just opened, a match series just chosen) the replay commands
    // take the whole trace.
    void ChooseWholeTraceWithoutRange();
    void MoveCross(int x, int y, int shotIndex);
    void HideAllMarks();
    void ClearHits();
    void HidePicture();
    // Each called shot whose mark is shown: a hollow ring at the call joined to the mark by a thin
    // line, penWidth wide (the printout's in printer pixels).
    void DrawCalls(QPainter& painter, int penWidth) const;
    void DrawCallPrompt(QPainter& painter) const;
    void ShotSettled();
    TraceStyle CurrentTraceStyle() const;
    int UpdatePhases(int first);
    bool TraceOn() const;
    void InvalidateTrace();
    QRect SyncTrace();
    QRect ShortenTrace(int end);
    void EnsureFaceBuffer();
    QRectF DeviceRect(const QRect& area) const;  // a client rectangle in the buffers' device pixels
    const QImage& Legend();

    Relay relay_;
    std::function<void()> onRunState_;
    int zoom_ = 1;
    int labelFontHeight_ = 0;
    QImage faceBuffer_;
    std::bitset<kMaxShots> hits_;
    BitmapPicture fullScorePicture_;
    QPoint pictureAt_;
    AimCross* cross_ = nullptr;
    std::array<ShotMark*, kMaxShots> marks_{};
    std::unique_ptr<FlowTimer> replayTimer_;   // timer 1
    std::unique_ptr<FlowTimer> pictureTimer_;  // timer 2
    int replayPosition_ = 0;
    int replayFirst_ = 0;
    int replayLast_ = 0;
    int replayStep_ = 1;
    int replayActive_ = 0;
    int replayShot_ = 0;
    int replayPeriod_ = 25;
    // The trace layer and how far it is drawn.
    QImage traceLayer_;
    TraceCursor traceCursor_;
    int layerFirst_ = -1;
    bool layerValid_ = false;
    // A replay going backward shortens the trace one sample a tick. Rather than draw it all again
    // each time, the layer is taken back to a copy drawn up to a point a little before (the base)
    // and drawn on from there: sinceBase is what was drawn over the base.
    QImage baseLayer_;
    TraceCursor baseCursor_;
    bool baseValid_ = false;
    QRect sinceBase_;
    int liveFirst_ = 0;
    int printDpi_ = 0;
    std::unique_ptr<AimPhaseSource> phaseSource_;
    std::vector<AimPhase> phases_;  // per trace point
    QImage legend_;  // the phase colours named, drawn once per language and screen
};

}  // namespace zark
