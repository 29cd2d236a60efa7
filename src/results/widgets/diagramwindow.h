#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "window/mdichildwindow.h"
#include "results/diagramplot.h"

class QCheckBox;

namespace zark {

class HubView;
class MdiClient;

// The plot's widget: paints the plot over its whole area; the replay marker moves by repainting
// the two columns it leaves and enters.
class DiagramPlotWidget final : public QWidget, public DiagramListener {
public:
    explicit DiagramPlotWidget(QWidget* parent = nullptr);
    ~DiagramPlotWidget() override;
    void SetPlot(DiagramPlot* plot);
    DiagramPlot* Plot() const { return plot_; }

    std::function<void()> onRangeChanged;

    void PlotChanged() override;
    void RangeChanged() override;
    void MarkerMoved() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect MarkerRect() const;

    DiagramPlot* plot_ = nullptr;
    QRect markerShown_;
};

// The diagram window: the plot over four check boxes that choose its curves and show the
// average of each quantity ("Speed (Average 12)"). It is shown and hidden by the Diagram
// command; its close box sends that command too (onClose) instead of closing.
class DiagramWindow final : public MdiChildWindow {
public:
    static constexpr int kCommandId = 2153;
    static constexpr int kPlotId = 4;
    static constexpr Rect kDefaultRect{462, 232, 632, 402};
    static constexpr int kBoxBand = 65;  // below the plot
    static constexpr int kFirstPlotHeight = 180;

    DiagramWindow();
    ~DiagramWindow() override;

    // Creates the window hidden at its stored place "Diagram" with its stored curves (else the
    // default place and curves 7). The plot joins a hub separately (AttachPlot), so that it can be
    // told after the views built before it.
    int Create(MdiClient& client, const QIcon& icon = QIcon());
    void AttachPlot(HubView& hub);

    DiagramPlot* Plot() const { return plot_.get(); }
    DiagramPlotWidget* PlotWidget() const { return plotWidget_; }
    QCheckBox* Box(int i) const { return boxes_[std::size_t(i)]; }
    int Flags() const { return flags_; }

    std::function<void()> onClose;

    bool OnWindowEvent(QEvent* event) override;
    // Wide enough for every check box with a four-digit average, the plot above them.
    QSize FirstSize() const override;

private:
    // The width a check box needs for its caption with a four-digit average.
    int BoxWidth(int i) const;
    void LayOut();
    void BoxToggled();
    void UpdateCaptions();

    std::unique_ptr<DiagramPlot> plot_;
    DiagramPlotWidget* plotWidget_ = nullptr;
    std::array<QCheckBox*, 4> boxes_{};
    int flags_ = kDefaultDiagramFlags;
};

}  // namespace zark
