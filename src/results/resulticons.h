#pragma once

#include <QImage>

namespace zark {

// The 16 × 16 pictures of the shot lists and the match board, drawn at a device pixel ratio:
// a numbered disc per shot row or series, a disc with "Σ" for the total, and a clock face whose
// hand points at a clock position.
QImage NumberBadge(int number, qreal dpr = 1.0);
QImage TotalBadge(qreal dpr = 1.0);
QImage ClockFace(int hour, qreal dpr = 1.0);

}  // namespace zark
