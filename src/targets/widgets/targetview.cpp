#include "targets/widgets/targetview.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "settings/settings.h"
#include "targets/targetdescriptor.h"
#include "targets/widgets/aimcross.h"
#include "targets/widgets/shotmark.h"

namespace zark {
namespace {
constexpr int kCrossHalf = AimCross::kSize / 2;
constexpr int kSighterSquareUnits = 200;
}  // namespace

void TargetView::Relay::Notify(const Notification& n) {
    if (n.code == kCodeShotSettled && view) view->ShotSettled();
    if (target) target->Notify(n);
}

TargetView::TargetView(HubView* hub, const FaceRules& rules, TimerFactory& timers, QWidget* parent)
    : QWidget(parent),
      SeriesView(hub, &relay_, rules, timers),
      replayTimer_(timers.CreateTimer([this] { ReplayTick(); })),
      pictureTimer_(timers.CreateTimer([this] { HidePicture(); })) {
    relay_.view = this;
    setObjectName(QStringLiteral("targetView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(false);
    for (int k = 0; k < kMaxShots; ++k) {
        auto* mark = new ShotMark(QString::number(k + 1), this, kFirstMarkId + k);
        mark->SetClickHandler([this](int id, int code) {
            Notification n;
            n.code = code == ShotMark::kDoubleClick ? kCodeMarkDoubleClick : kCodeMarkClick;
            n.index = id - kFirstMarkId;
            Send(n);
        });
        marks_[std::size_t(k)] = mark;
    }
    cross_ = new AimCross(this);
    cross_->hide();
    SetZoom(1, false);
    EnsureFaceBuffer();
}

TargetView::~TargetView() = default;

int TargetView::TimeStep() const {
    return TimeStepOf(settings());
}

int TargetView::Dpi() const { return printDpi_ > 0 ? printDpi_ : std::max(1, logicalDpiX()); }

void TargetView::SetPrintDpi(int dotsPerInch) {
    printDpi_ = dotsPerInch;
    if (printDpi_ > 0) faceBuffer_ = QImage();
}

// Face rendering.

void TargetView::EnsureFaceBuffer() {
    // As large as the screen, or the view when that is larger, in device pixels: allocated once
    // in practice (again when the view moves to a screen of another pixel ratio).
    const qreal ratio = devicePixelRatioF();
    QSize wanted = size();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) wanted = wanted.expandedTo(screen->size());
    wanted = (QSizeF(wanted) * ratio).toSize();
    if (faceBuffer_.isNull() || faceBuffer_.devicePixelRatio() != ratio || faceBuffer_.width() < wanted.width() ||
        faceBuffer_.height() < wanted.height()) {
        if (faceBuffer_.devicePixelRatio() == ratio) wanted = wanted.expandedTo(faceBuffer_.size());
        faceBuffer_ = QImage(wanted, QImage::Format_RGB32);
        faceBuffer_.setDevicePixelRatio(ratio);
    }
}

QRectF TargetView::DeviceRect(const QRect& area) const {
    const qreal ratio = devicePixelRatioF();
    return QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio);
}

void TargetView::SetZoom(int zoom, bool redraw) {
    zoom_ = ClampedZoom(zoom);
    labelFontHeight_ = LabelFontHeight(zoom_, Dpi());
    InvalidateTrace();
    if (!redraw) return;
    ComposeFace();
    if (CurrentTarget()) PlaceAllMarks();
}

void TargetView::ComposeFace() {
    if (printDpi_ > 0) return;  // a printing view composes its face on the printer only
    EnsureFaceBuffer();
    QPainter painter(&faceBuffer_);
    FaceStyle style;
    style.labelFontHeight = labelFontHeight_;
    style.dotsPerInch = Dpi();
    style.hits = hits_;
    zark::ComposeFace(painter, Geometry(), CurrentTarget(), style);
    update();
}

int TargetView::UnitsToPixels(int units) const { return zark::UnitsToPixels(width(), zoom_, units); }

QPoint TargetView::ToPixel(int x, int y, int shotIndex, bool clamp) const {
    const TraceStore* store = const_cast<TargetView*>(this)->Store();
    return zark::ToPixel(Geometry(), CurrentTarget(), CentringOf(store), x, y, shotIndex, clamp);
}

void TargetView::RenderForPrint(QPainter& painter, int dotsPerInch) {
    const int screenZoom = zoom_;
    SetZoom(1, false);
    FaceStyle style;
    style.labelFontHeight = LabelFontHeight(1, dotsPerInch);
    style.dotsPerInch = dotsPerInch;
    style.hits = hits_;
    std::array<PrintedMark, kMaxShots> printed{};
    int count = 0;
    for (ShotMark* mark : marks_) {
        if (!mark->isVisibleTo(this)) continue;
        printed[std::size_t(count++)] = PrintedMark{QRect(mark->Position(), mark->size()), mark->HoleDiameter(),
                                                    mark->Selected() != 0};
    }
    std::function<void(QPainter&)> phases;
    TraceStore* store = Store();
    if (PhasesShown() && store) {
        UpdatePhases(0);
        // every shot's phases, and nothing else of the trace, 0.35 mm wide
        phases = [this, store, dotsPerInch](QPainter& p) {
            TraceStyle trace = CurrentTraceStyle();
            trace.phasesOnly = true;
            trace.penWidth = std::max(1, int(std::lround(0.35 * dotsPerInch / 25.4)));
            DrawTrace(p, *store, trace, 0, store->SampleCount());
        };
    }
    zark::RenderForPrint(painter, Geometry(), CurrentTarget(), style, printed.data(), count, phases);
    InvalidateTrace();  // the labels were taken over for the whole trace
    SetZoom(screenZoom, false);
}

// Marks.

void TargetView::PlaceMark(int k) {
    if (!CurrentTarget() || k < 0 || k >= kMaxShots) return;
    TraceStore* store = Store();
    if (!store || k > store->ShotCount()) return;
    ShotMark* mark = marks_[std::size_t(k)];
    bool show = !store->ShotHasNoTrace(k) && store->Shot(k).side == side();
    if (show && replayActive_) {
        const int t = store->Shot(k).traceIndex;
        show = t >= replayFirst_ && t <= replayPosition_;
    }
    if (!show) {
        mark->hide();
        // A shot the replay has not reached (or has gone back over) has not hit its plate yet.
        if (hits_[std::size_t(k)]) {
            hits_[std::size_t(k)] = false;
            if (CurrentTarget()->Kind() & KindBiathlon) ComposeFace();
        }
        return;
    }
    const int dpi = Dpi();
    const int min1 = HundredthsToPixels(100, dpi);
    const int min2 = HundredthsToPixels(15, dpi);
    const int d = std::max(UnitsToPixels(int(CurrentTarget()->BulletRadius())), min2);
    const int h = d >= min1 ? d + min2 : min1;
    const SamplePoint position = store->ShotPosition(k);
    const QPoint p = ToPixel(position.x, position.y, k, false);
    mark->SetHole(2 * d);
    mark->Place(p.x() - h, p.y() - h, 2 * h + 1, 2 * h + 1);
    mark->SetSelected(MarkSelected(k) ? 1 : 0);
    mark->show();
    cross_->raise();

    const SamplePoint shown = store->Shown(position);
    const bool hit = CurrentTarget()->ScoreShot(shown.x, shown.y) != 0.0;
    if (hit != hits_[std::size_t(k)]) {
        hits_[std::size_t(k)] = hit;
        if (CurrentTarget()->Kind() & KindBiathlon) ComposeFace();
    }
}

void TargetView::PlaceAllMarks() {
    for (int k = 0; k < kMaxShots; ++k) PlaceMark(k);
}

void TargetView::HideAllMarks() {
    for (ShotMark* mark : marks_) mark->hide();
}

void TargetView::ClearHits() {
    const bool recompose = hits_.any() && CurrentTarget() && (CurrentTarget()->Kind() & KindBiathlon);
    hits_.reset();
    if (recompose) ComposeFace();
}

void TargetView::MoveCross(int x, int y, int shotIndex) {
    if (x == 0 && y == 0) return;  // no aim point: the cross stays where it is
    const QPoint p = ToPixel(x, y, shotIndex, true);
    cross_->MoveTo(p.x() - kCrossHalf, p.y() - kCrossHalf);
}

// The full-score picture.

void TargetView::HidePicture() {
    if (!PictureShown()) return;
    const QRect old(pictureAt_.x() - fullScorePicture_.Width() / 2, pictureAt_.y() - fullScorePicture_.Height() / 2,
                    fullScorePicture_.Width(), fullScorePicture_.Height());
    pictureAt_ = QPoint();
    update(old);
}

// Trace.

bool TargetView::TraceOn() const { return settings() && settings()->LineTrack; }

void TargetView::SetPhaseSource(std::unique_ptr<AimPhaseSource> source) {
    phaseSource_ = std::move(source);
    InvalidateTrace();
}

bool TargetView::PhasesShown() const { return phaseSource_ && settings() && settings()->ColourTraceByPhase; }

AimPhase TargetView::PhaseOf(int index) const {
    return PhasesShown() && index >= 0 && index < int(phases_.size()) ? phases_[std::size_t(index)] : AimPhase::Outside;
}

// Labels the trace from first on (the new points only, or again from first when a shot
// recoloured what was drawn); returns the lowest point whose phase changed.
int TargetView::UpdatePhases(int first) {
    TraceStore* store = Store();
    if (!PhasesShown() || !store) return kMaxSamples;
    if (phases_.size() < std::size_t(kMaxSamples)) phases_.assign(std::size_t(kMaxSamples), AimPhase::Outside);
    return phaseSource_->Update(*store, PhaseFaces{targetA(), targetB(), CurrentTarget()}, first, phases_.data());
}

TraceStyle TargetView::CurrentTraceStyle() const {
    TraceStyle style;
    style.geometry = Geometry();
    style.face = CurrentTarget();
    style.centring = CentringOf(const_cast<TargetView*>(this)->Store());
    const Settings defaults;
    style.beforeShot = ColourOf(settings() ? settings()->ColorLineBeforeShot : defaults.ColorLineBeforeShot);
    style.afterShot = ColourOf(settings() ? settings()->ColorLineAfterShot : defaults.ColorLineAfterShot);
    style.afterShotSamples = 1000 / TimeStep();
    if (PhasesShown() && !phases_.empty()) style.phases = phases_.data();
    return style;
}

void TargetView::InvalidateTrace() {
    layerValid_ = false;
    if (phaseSource_) phaseSource_->Reset();
    update();
}

QRect TargetView::SyncTrace() {
    TraceStore* store = Store();
    if (!TraceOn() || !store || width() <= 0 || height() <= 0) return {};
    int first = liveFirst_;
    int end = store->SampleCount();
    if (replayActive_) {
        first = replayFirst_;
        end = replayPosition_;
    }
    first = std::clamp(first, 0, int(store->SampleCount()));
    end = std::clamp(end, first, int(store->SampleCount()));
    QRect dirty;
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize = (QSizeF(size()) * ratio).toSize();
    // a shot recolours the phases of its stretch: what was drawn of them is drawn again
    const bool recoloured = UpdatePhases(first) < traceCursor_.Next();
    const bool sameLayer = layerValid_ && traceLayer_.size() == deviceSize && traceLayer_.devicePixelRatio() == ratio &&
                           first == layerFirst_ && !recoloured;
    if (sameLayer && end < traceCursor_.Next()) return ShortenTrace(end);
    if (!sameLayer) {
        if (traceLayer_.size() != deviceSize || traceLayer_.devicePixelRatio() != ratio) {
            traceLayer_ = QImage(deviceSize, QImage::Format_ARGB32_Premultiplied);
            traceLayer_.setDevicePixelRatio(ratio);
        }
        traceLayer_.fill(Qt::transparent);
        traceCursor_.Reset(first);
        layerFirst_ = first;
        layerValid_ = true;
        baseValid_ = false;
        dirty = rect();
    }
    if (end > traceCursor_.Next()) {
        QPainter painter(&traceLayer_);
        const QRect drawn = traceCursor_.DrawUpTo(painter, *store, CurrentTraceStyle(), end);
        dirty |= drawn;
        sinceBase_ |= drawn;
    }
    return dirty;
}

QRect TargetView::ShortenTrace(int end) {
    constexpr int kBaseStep = 256;  // samples between the base and the end, at most
    const TraceStore& store = *Store();
    const TraceStyle style = CurrentTraceStyle();
    if (!baseValid_ || end < baseCursor_.Next()) {
        // A new base a little before the end, drawn from the start of the range (once every
        // kBaseStep ticks of a backward replay).
        baseLayer_ = QImage(traceLayer_.size(), QImage::Format_ARGB32_Premultiplied);
        baseLayer_.setDevicePixelRatio(traceLayer_.devicePixelRatio());
        baseLayer_.fill(Qt::transparent);
        baseCursor_.Reset(layerFirst_);
        {
            QPainter painter(&baseLayer_);
            baseCursor_.DrawUpTo(painter, store, style, std::max(layerFirst_, end - kBaseStep));
        }
        baseValid_ = true;
        traceLayer_ = baseLayer_.copy();
        traceCursor_ = baseCursor_;
        QPainter painter(&traceLayer_);
        sinceBase_ = traceCursor_.DrawUpTo(painter, store, style, end);
        return rect();
    }
    // Back to the base where the trace was drawn over it, then on to the new end.
    const QRect restored = sinceBase_;
    QPainter painter(&traceLayer_);
    if (!restored.isEmpty()) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        const QRectF area = DeviceRect(restored);
        painter.drawImage(QRectF(restored), baseLayer_, area);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    traceCursor_ = baseCursor_;
    sinceBase_ = traceCursor_.DrawUpTo(painter, store, style, end);
    return restored;
}

void TargetView::ShotSettled() {
    // The next shot's trace starts here.
    if (TraceStore* store = Store(); store && !replayActive_) {
        liveFirst_ = store->SampleCount();
        InvalidateTrace();
    }
}

// Painting.

void TargetView::paintEvent(QPaintEvent* event) {
    if (printDpi_ > 0) return;  // never shown
    if (faceBuffer_.devicePixelRatio() != devicePixelRatioF()) ComposeFace();  // another screen
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(QRectF(area), faceBuffer_, DeviceRect(area));
    if (sighters()) {
        const int half = UnitsToPixels(kSighterSquareUnits);
        painter.setPen(QPen(QColor(255, 0, 0), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(width() / 2 - half, height() / 2 - half, 2 * half, 2 * half);
    }
    if (TraceOn()) {
        SyncTrace();
        if (layerValid_) painter.drawImage(QRectF(area), traceLayer_, DeviceRect(area));
    }
    TraceStore* store = Store();
    if (sighters() && store && store->ShotCount() > 0) {
        const QPoint mean = ToPixel(meanX(), meanY(), store->ShotCount(), false);
        painter.setPen(QPen(QColor(255, 0, 0), 1, Qt::DotLine));
        painter.drawLine(0, mean.y(), width(), mean.y());
        painter.drawLine(mean.x(), 0, mean.x(), height());
    }
    if (PictureShown() && fullScorePicture_.IsLoaded()) {
        fullScorePicture_.DrawTransparent(painter, pictureAt_.x() - fullScorePicture_.Width() / 2,
                                          pictureAt_.y() - fullScorePicture_.Height() / 2, 0xFFFFFF);
    }
}

void TargetView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ComposeFace();
    PlaceAllMarks();
    InvalidateTrace();
}

// Series hooks.

void TargetView::SeriesStarted() {
    cross_->show();
    cross_->raise();
    HideAllMarks();
    hits_.reset();
    liveFirst_ = 0;
    HidePicture();
    ComposeFace();
    InvalidateTrace();
    if (onRunState_) onRunState_();
}

void TargetView::ShotShown(int k, int x, int y) {
    PlaceMark(k);
    MoveCross(x, y, k);
}

void TargetView::MeanChanged() { update(); }

void TargetView::SelectionChanged() {
    for (int k = 0; k < kMaxShots; ++k) {
        ShotMark* mark = marks_[std::size_t(k)];
        const bool selected = MarkSelected(k);
        if ((mark->Selected() != 0) != selected) mark->SetSelected(selected ? 1 : 0);
        if (selected) mark->raise();
    }
    cross_->raise();  // the selected marks lie just below the cross
}

// Notifications.

void TargetView::OnSample(int x, int y, int isShot, int isReplay, int sampleIndex) {
    SeriesView::OnSample(x, y, isShot, isReplay, sampleIndex);
    TraceStore* store = Store();
    if (!store) return;
    if (!isReplay) {
        if (!isShot) MoveCross(x, y, store->ShotCount());
        if (TraceOn() && !replayActive_) {
            const QRect dirty = SyncTrace();
            if (!dirty.isEmpty()) update(dirty);
        }
    }
    // A shot of 10 or more, live or replayed, shows the full-score picture. A shot without
    // position (an unfired shot of a moving-target run) is none.
    if (isShot && (x != 0 || y != 0) && CurrentTarget() && CurrentTarget()->ScoreShot(x, y) >= 10.0) {
        const int k = isReplay ? replayShot_ : store->ShotCount() - 1;
        HidePicture();
        pictureAt_ = ToPixel(x, y, k, true);
        if (pictureAt_.x() == 0) pictureAt_.setX(1);  // 0 would mean "not shown"
        if (pictureAt_.y() == 0) pictureAt_.setY(1);
        pictureTimer_->Start(settings() ? settings()->TimeBetweenShots : 1600);
        if (fullScorePicture_.IsLoaded()) {
            update(QRect(pictureAt_.x() - fullScorePicture_.Width() / 2, pictureAt_.y() - fullScorePicture_.Height() / 2,
                         fullScorePicture_.Width(), fullScorePicture_.Height()));
        }
    }
}

void TargetView::OnShotsEnabled(int enabled) {
    HubView::OnShotsEnabled(enabled);
    cross_->SetShotsEnabled(enabled);
}

void TargetView::OnAcquisitionStarted() {
    cross_->show();
    cross_->raise();
    if (onRunState_) onRunState_();
}

void TargetView::OnAcquisitionStopped() {
    cross_->hide();
    if (onRunState_) onRunState_();
}

void TargetView::OnTraceRange(int first, int last, int add) {
    replayPosition_ = replayFirst_ = first;
    replayLast_ = last;
    SeriesView::OnTraceRange(first, last, add);
    // A new range ends a replay, running, paused or at its end: the marks are those of the range.
    if (replayActive_) EndReplay();
}

void TargetView::ChooseWholeTraceWithoutRange() {
    const TraceStore* store = Store();
    if (replayFirst_ < 0 && store && store->SampleCount() > 0) ShowTraceRange(0, store->SampleCount() - 1, 0);
}

void TargetView::OnTargetSelected(int side) {
    HubView::OnTargetSelected(side);
    ComposeFace();
    PlaceAllMarks();
    InvalidateTrace();
    if (onRunState_) onRunState_();  // the side buttons follow the side shown
}

void TargetView::OnStoreChanged() {
    EndReplay();
    HideAllMarks();
    TraceStore* store = Store();
    // A series shown from a file or a match has no shot under way.
    if (store && (!IsRunning() || liveFirst_ > store->SampleCount())) liveFirst_ = store->SampleCount();
    PlaceAllMarks();
    InvalidateTrace();
}

void TargetView::OnSettingsChanged(const Settings* s) {
    HubView::OnSettingsChanged(s);
    fullScorePicture_.Load(s ? QString::fromStdString(s->FX10Bitmap) : QString());
    InvalidateTrace();
}

void TargetView::OnTargetsChanged(const TargetDescriptor* a, const TargetDescriptor* b) {
    SeriesView::OnTargetsChanged(a, b);
    EndReplay();
    HideAllMarks();
    hits_.reset();
    HidePicture();
    liveFirst_ = 0;
    ComposeFace();
    InvalidateTrace();
}

void TargetView::OnReplayStopped() {
    if (!replayActive_) return;
    replayActive_ = 0;
    replayTimer_->Stop();
    Send(Notification{kCodeReplayAtEnd});
    cross_->hide();
    cross_->SetReplay(0);
    PlaceAllMarks();
    InvalidateTrace();
}

// Replay.

// The last sample a replay can show: the range may come from outside the store (the timeline, a
// list, a file) and reach beyond the recorded trace.
int TargetView::ReplayEnd() const {
    const TraceStore* store = const_cast<TargetView*>(this)->Store();
    return std::min(replayLast_, store ? store->SampleCount() - 1 : -1);
}

void TargetView::ShowReplayCross() {
    cross_->SetReplay(1);
    cross_->show();
    cross_->raise();
}

void TargetView::StartReplay(int speedPercent, int direction) {
    ChooseWholeTraceWithoutRange();
    EndReplay();
    BeginReplay();
    const int last = ReplayEnd();
    if (direction < 0) {
        // Backward from the end of a finished replay starts at the last sample; from the first
        // sample there is nothing left to show: the first tick ends the replay.
        if (replayPosition_ > last) replayPosition_ = last;
        if (replayPosition_ <= replayFirst_) replayPosition_ = replayFirst_ - 1;
    } else if (replayPosition_ >= last || replayPosition_ <= replayFirst_) {
        replayPosition_ = replayFirst_;  // forward from the end starts again
    }
    replayStep_ = direction < 0 ? -1 : 1;
    replayActive_ = 1;
    replayPeriod_ = std::max(1, (1000 / TimeStep()) * 100 / std::max(1, speedPercent));
    replayTimer_->Start(replayPeriod_);
    ShowReplayCross();
    // A paused replay goes on with the marks of the shots it has passed; a new one shows none yet.
    ClearHits();
    PlaceAllMarks();
    ComposeFace();
    InvalidateTrace();
}

void TargetView::StopReplay() {
    if (replayActive_) replayTimer_->Stop();
}

bool TargetView::ReplayRunning() const { return replayTimer_->Active(); }

void TargetView::JumpReplay(int toEnd) {
    ChooseWholeTraceWithoutRange();
    const bool running = replayTimer_->Active();
    EndReplay();
    BeginReplay();
    replayPosition_ = toEnd ? ReplayEnd() : replayFirst_;
    replayActive_ = 1;
    PlaceAllMarks();
    InvalidateTrace();
    if (running) {
        ShowReplayCross();  // a replay in progress goes on from here
        replayTimer_->Start(replayPeriod_);
    } else {
        cross_->hide();
    }
}

void TargetView::ReplayTick() {
    TraceStore* store = Store();
    // The range comes from outside the store (the timeline, a list, a file): it ends where the
    // trace ends.
    if (!store || replayPosition_ > replayLast_ || replayPosition_ < replayFirst_ || replayPosition_ < 0 ||
        replayPosition_ >= store->SampleCount()) {
        replayTimer_->Stop();
        Send(Notification{kCodeReplayAtEnd});
        return;
    }
    const TraceStore::SampleInfo info = store->SampleAt(replayPosition_);
    int s = info.shotsBefore;
    if (info.isShot) {
        // The shot of this very point. shotsBefore counts only the shots more than 2 s back, so
        // of two shots closer together than that the second would pass as the first.
        for (int k = 0; k < store->ShotCount(); ++k) {
            if (!store->ShotHasNoTrace(k) && store->Shot(k).traceIndex == replayPosition_) {
                s = k;
                break;
            }
        }
    }
    replayShot_ = s;
    if (s < store->ShotCount() && store->Shot(s).side != side()) SelectTarget(store->Shot(s).side);
    MoveCross(info.point.x, info.point.y, s);
    if (info.isShot) {
        Notification replayed;
        replayed.code = kCodeReplayedShot;
        replayed.index = s;
        replayed.score = CurrentTarget() ? CurrentTarget()->ScoreShot(info.point.x, info.point.y) : 0.0;
        replayed.timeMs = TimeStep() * replayPosition_;
        replayed.bearing = TargetDescriptor::ShotBearing(info.point.x, info.point.y);
        Send(replayed);
    }
    replayPosition_ += replayStep_;
    // Forward the shot's mark appears as the replay passes it; backward it goes with the part of
    // the trace it ends, as the marks are placed whenever the view is drawn again.
    if (info.isShot) PlaceMark(s);
    replayTimer_->Start(replayPeriod_);
    const QRect dirty = SyncTrace();
    if (!dirty.isEmpty()) update(dirty);
    FeedSample(info.point.x, info.point.y, info.isShot ? 1 : 0, 1, replayPosition_);
}

}  // namespace zark
