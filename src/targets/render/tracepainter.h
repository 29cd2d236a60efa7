#pragma once

#include <QColor>
#include <QPoint>
#include <QPolygon>
#include <QRect>

#include "core/aimphase.h"
#include "targets/render/facepainter.h"

class QPainter;

namespace zark {

class TraceStore;

// What the trace is drawn with: the face's mapping, the two colours and the pen width (3 pixels
// above 2:1, else 1).
struct TraceStyle {
    FaceGeometry geometry;
    const TargetDescriptor* face = nullptr;
    Centring centring;
    QColor beforeShot;
    QColor afterShot;
    int afterShotSamples = 25;  // 1000 ms / UnitTimeStep
    // Coloured by phase: the phase of every trace point (indexed by trace index) replaces the two
    // colours; each point is joined to the one before in the colour of its own phase. phasesOnly
    // leaves out the points of no phase (the printout).
    const AimPhase* phases = nullptr;
    bool phasesOnly = false;
    int penWidth = 0;  // pixels; 0: TracePenWidth of the zoom
};
// The colour of each phase: chosen to stay apart for the common colour-vision deficiencies and to
// show on the white and the black of the faces (see the README).
QColor PhaseColour(AimPhase phase);
int TracePenWidth(int zoom);

// Draws the aim trace sample by sample, so that a trace can be drawn in one go or grown a few
// samples at a time with the same result. A sample (0, 0) is a gap; each other sample is mapped
// with the shot index of the shots fired before it; at the trace point of a shot the pen switches
// to the after-shot colour for afterShotSamples samples.
class TraceCursor final {
public:
    // Starts a trace at sample first.
    void Reset(int first);
    int Next() const { return next_; }

    // Draws samples Next() .. end - 1 of the store (clamped to its trace) and returns the
    // rectangle that changed (empty when nothing was drawn).
    QRect DrawUpTo(QPainter& painter, const TraceStore& store, const TraceStyle& style, int end);

private:
    QRect Flush(QPainter& painter, const TraceStyle& style);

    int next_ = 0;
    bool afterShot_ = false;
    int countdown_ = 0;
    AimPhase phase_ = AimPhase::Outside;  // of the line being gathered, when coloured by phase
    bool hasLast_ = false;  // the last drawn point, to join the next one to
    QPoint last_;
    QPolygon line_;
};

// The whole trace from first to end - 1 in one go.
QRect DrawTrace(QPainter& painter, const TraceStore& store, const TraceStyle& style, int first, int end);

}  // namespace zark
