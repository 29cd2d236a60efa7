#include "results/widgets/diagramwindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <string>

#include "window/dialogunits.h"
#include "i18n/uistrings.h"
#include "results/widgets/childframe.h"

namespace zark {
namespace {

constexpr int kDiagramText = 120;
constexpr int kAverageText = 126;
constexpr int kBoxLeft = 5;

// The check boxes: label, curve bit and text colour.
struct BoxSpec {
    int textId;
    int bit;
    QColor colour;
};
const BoxSpec kBoxes[4] = {{125, kCurveSpeed, QColor(0, 128, 0)},
                           {121, kCurveAbsolute, QColor(128, 0, 128)},
                           {122, kCurveHorizontal, QColor(255, 0, 0)},
                           {123, kCurveVertical, QColor(0, 0, 255)}};

}  // namespace

DiagramPlotWidget::DiagramPlotWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName(QStringLiteral("plot%1").arg(DiagramWindow::kPlotId));
}

DiagramPlotWidget::~DiagramPlotWidget() {
    if (plot_) plot_->SetListener(nullptr);
}

void DiagramPlotWidget::SetPlot(DiagramPlot* plot) {
    if (plot_) plot_->SetListener(nullptr);
    plot_ = plot;
    if (plot_) plot_->SetListener(this);
    update();
}

void DiagramPlotWidget::PlotChanged() { update(); }

void DiagramPlotWidget::RangeChanged() {
    if (onRangeChanged) onRangeChanged();
}

QRect DiagramPlotWidget::MarkerRect() const {
    if (!plot_ || !plot_->MarkerVisible() || plot_->Last() <= plot_->First()) return {};
    return QRect(plot_->MarkerPosition(width()) - 1, 0, 3, height());
}

void DiagramPlotWidget::MarkerMoved() {
    const QRect now = MarkerRect();
    if (now == markerShown_) return;
    update(markerShown_);
    update(now);
    markerShown_ = now;
}

void DiagramPlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!plot_) {
        painter.fillRect(rect(), Qt::white);
        return;
    }
    DiagramPlot::Context context;
    context.rect = rect();
    plot_->Paint(painter, context);
    markerShown_ = MarkerRect();
}

DiagramWindow::DiagramWindow() = default;

DiagramWindow::~DiagramWindow() {
    if (plotWidget_) plotWidget_->SetPlot(nullptr);
}

int DiagramWindow::Create(MdiClient& client, const QIcon& icon) {
    LoadUiStrings();
    if (!CreatePlaced(UiQString(kDiagramText), kResultsChildStyle, "Diagram", kDefaultRect, client, icon)) return 0;
    Window()->setMinimumSize(170, 170);
    // The curves are stored after the placement; a stored word that is no number of curves gives the default.
    bool ok = false;
    const int stored = QString::fromStdString(StoredWord()).toInt(&ok);
    flags_ = ok && !StoredWord().empty() ? (stored & kCurveFlags) : int(kDefaultDiagramFlags);
    SetPlacementWord(std::to_string(flags_));

    auto* content = new ResizingArea;
    content->setAutoFillBackground(true);
    content->setBackgroundRole(QPalette::Button);
    SetContent(content);
    plotWidget_ = new DiagramPlotWidget(content);
    plotWidget_->onRangeChanged = [this] { UpdateCaptions(); };
    for (int i = 0; i < 4; ++i) {
        auto* box = new QCheckBox(UiQString(kBoxes[i].textId), content);
        box->setObjectName(QStringLiteral("box%1").arg(i));
        box->setFont(DialogUnits::DialogFont());
        QPalette palette = box->palette();
        palette.setColor(QPalette::WindowText, kBoxes[i].colour);
        box->setPalette(palette);
        box->setChecked((flags_ & kBoxes[i].bit) != 0);
        QObject::connect(box, &QCheckBox::toggled, box, [this] { BoxToggled(); });
        boxes_[std::size_t(i)] = box;
    }
    content->setFocusProxy(boxes_[0]);
    content->onResize = [this] { LayOut(); };
    LayOut();
    return 1;
}

void DiagramWindow::AttachPlot(HubView& hub) {
    if (plot_ || !plotWidget_) return;
    plot_ = std::make_unique<DiagramPlot>(&hub);
    plot_->SetFlags(flags_);
    plotWidget_->SetPlot(plot_.get());
}

void DiagramWindow::LayOut() {
    QWidget* content = Content();
    if (!content || !plotWidget_) return;
    const int width = content->width();
    const int height = content->height();
    plotWidget_->setGeometry(0, 0, width, std::max(0, height - kBoxBand));
    for (int i = 0; i < 4; ++i)
        boxes_[std::size_t(i)]->setGeometry(kBoxLeft, height + 15 * i - 60, std::max(300, BoxWidth(i)), 15);
}

int DiagramWindow::BoxWidth(int i) const {
    const QCheckBox* box = boxes_[std::size_t(i)];
    if (!box) return 0;
    const QString caption = QString::asprintf("%s (%s 9999)", UiText(kBoxes[i].textId).c_str(), UiText(kAverageText).c_str());
    QStyleOptionButton option;
    option.initFrom(box);
    return box->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, box) +
           box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, box) +
           box->fontMetrics().horizontalAdvance(caption) + 4;
}

QSize DiagramWindow::FirstSize() const {
    int width = 0;
    for (int i = 0; i < 4; ++i) width = std::max(width, BoxWidth(i));
    return ChildOuterSize(QSize(std::max(kDefaultRect.right - kDefaultRect.left, 2 * kBoxLeft + width),
                                kFirstPlotHeight + kBoxBand));
}

void DiagramWindow::BoxToggled() {
    int flags = 0;
    for (int i = 0; i < 4; ++i)
        if (boxes_[std::size_t(i)]->isChecked()) flags |= kBoxes[i].bit;
    flags_ = flags;
    SetPlacementWord(std::to_string(flags_));
    if (plot_) plot_->SetFlags(flags_);
}

void DiagramWindow::UpdateCaptions() {
    if (!plot_) return;
    const DiagramAverages& a = plot_->Averages();
    const int values[4] = {a.step, a.distance, a.x, a.y};
    for (int i = 0; i < 4; ++i) {
        const QString caption = QString::asprintf("%s (%s %d)", UiText(kBoxes[i].textId).c_str(),
                                                  UiText(kAverageText).c_str(), values[i]);
        boxes_[std::size_t(i)]->setText(caption);
        boxes_[std::size_t(i)]->setToolTip(caption);  // the whole caption where the window is narrow
    }
}

// The close box only hides the diagram, as the Diagram command does, so the menu's mark follows.
bool DiagramWindow::OnWindowEvent(QEvent* event) { return CloseBoxHides(event, onClose); }

}  // namespace zark
