#include "print/widgets/printhub.h"

#include <QPainter>

#include "core/qttimerfactory.h"
#include "core/tracestore.h"
#include "results/analysisview.h"
#include "results/diagramplot.h"
#include "results/shotlist.h"
#include "targets/widgets/targetfacerules.h"
#include "results/phaseanalysis.h"
#include "targets/widgets/targetview.h"

namespace zark {

PrintHub::PrintHub(const ReportSeries& series, int dotsPerInch)
    : dpi_(dotsPerInch), rules_(std::make_unique<TargetFaceRules>()), timers_(std::make_unique<QtTimerFactory>()) {
    // The views join in the live hub's order: the drawing view, the shot list, the diagram.
    view_ = std::make_unique<TargetView>(&hub_, *rules_, *timers_);
    view_->SetPrintDpi(dotsPerInch);
    view_->SetPhaseSource(MakePhaseLabeller());
    list_ = std::make_unique<ShotList>(&hub_);
    plot_ = std::make_unique<DiagramPlot>(&hub_);
    analysis_ = std::make_unique<AnalysisView>(&hub_);
    hub_.SetTargets(series.faceA, series.faceB ? series.faceB : series.faceA);
    if (series.store) {
        hub_.LoadStore(series.store->Image());
        if (TraceStore* store = hub_.Store()) store->SetShotTimeOffset(series.store->ShotTimeOffset());
    }
    hub_.SetSettings(series.settings);
    hub_.NotifyStoreChanged();
    analysis_->SetSighters(series.sighters);  // after the store: a store shown is no sighter series by itself
    hub_.ShowTraceRange(-1, -1, 0);
}

PrintHub::~PrintHub() {
    // The views leave the hub before it goes.
    analysis_.reset();
    plot_.reset();
    list_.reset();
    view_.reset();
}

void PrintHub::SelectSide(int side) { hub_.SelectTarget(side); }

void PrintHub::DrawFace(QPainter& painter, const QRect& rect) {
    // Every mark shows, as the whole series does.
    hub_.ShowTraceRange(-1, -1, 0);
    view_->resize(rect.size());
    view_->SetZoom(1, false);
    view_->PlaceAllMarks();
    painter.save();
    painter.translate(rect.topLeft());
    // A shot beyond the picture stays inside the face's frame, never in the page's margin.
    painter.setClipRect(QRect(QPoint(0, 0), rect.size()), Qt::IntersectClip);
    view_->RenderForPrint(painter, dpi_);
    painter.restore();
}

int PrintHub::DrawShotList(QPainter& painter, const QRect& rect) { return list_->PrintRows(painter, rect, dpi_ / 25.4); }

int PrintHub::DrawAnalysis(QPainter& painter, const QRect& rect) {
    hub_.ShowTraceRange(-1, -1, 0);
    // In the report's type (3.5 mm), or smaller when that does not fit, but never below 8 pt
    // (2.82 mm); left out when even that does not fit.
    for (const double scale : {1.0, 0.9, 0.81}) {
        const double pixelsPerMm = dpi_ / 25.4 * scale;
        if (analysis_->Height(pixelsPerMm) <= rect.height()) return analysis_->Paint(painter, rect, pixelsPerMm);
    }
    return rect.top();
}

int PrintHub::DrawDiagram(QPainter& painter, const QRect& rect, int curveBit, int first, int last) {
    plot_->SetFlags(curveBit | kPlotUpright | kPlotNoGrid | kPlotFrame);
    hub_.ShowTraceRange(first, last, 0);
    DiagramPlot::Context context;
    context.rect = rect;
    context.printing = true;
    context.pixelsPerMm = dpi_ / 25.4;
    plot_->Paint(painter, context);
    const DiagramAverages& a = plot_->Averages();
    switch (curveBit) {
        case kCurveAbsolute: return a.distance;
        case kCurveHorizontal: return a.x;
        case kCurveVertical: return a.y;
        case kCurveSpeed: return a.step;
        default: return 0;
    }
}

}  // namespace zark
