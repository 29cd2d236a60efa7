#pragma once

#include <memory>

#include "core/shootinghub.h"
#include "print/reportpainter.h"

namespace zark {

class AnalysisView;
class DiagramPlot;
class ShotList;
class TargetFaceRules;
class TargetView;
class TimerFactory;

// The report's own hub with a drawing view, a shot list and a diagram, loaded with a copy of the
// series: what the printout draws, while the live views stay as they are.
class PrintHub final : public ReportViews {
public:
    // dotsPerInch: the resolution of the device the report goes to.
    PrintHub(const ReportSeries& series, int dotsPerInch);
    ~PrintHub() override;

    void SelectSide(int side) override;
    void DrawFace(QPainter& painter, const QRect& rect) override;
    int DrawShotList(QPainter& painter, const QRect& rect) override;
    int DrawAnalysis(QPainter& painter, const QRect& rect) override;
    int DrawDiagram(QPainter& painter, const QRect& rect, int curveBit, int first, int last) override;

    ShootingHub& Hub() { return hub_; }

private:
    int dpi_;
    ShootingHub hub_;
    std::unique_ptr<TargetFaceRules> rules_;
    std::unique_ptr<TimerFactory> timers_;
    std::unique_ptr<TargetView> view_;
    std::unique_ptr<ShotList> list_;
    std::unique_ptr<DiagramPlot> plot_;
    std::unique_ptr<AnalysisView> analysis_;
};

}  // namespace zark
