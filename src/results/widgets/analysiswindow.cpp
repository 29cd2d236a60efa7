#include "results/widgets/analysiswindow.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/window/dialogunits.h"
#include "i18n/uistrings.h"
#include "results/widgets/childframe.h"

namespace zark {
namespace {

constexpr int kCaptionText = 401;
constexpr int kInLevelHint = 407;
constexpr int kTraceHint = 408;
constexpr int kReleaseHint = 409;
constexpr int kAimingHint = 410;

// The list keeps every column in view: the shot numbers as wide as their title or "20" needs, the
// five figures share the rest of whatever width the rows have (the scroll bar coming or going
// changes it).
class FigureList final : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;

protected:
    bool viewportEvent(QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            const int width = viewport()->width();
            const int title = header()->fontMetrics().horizontalAdvance(headerItem()->text(0));
            const int first = std::min(width / 3, std::max(title, fontMetrics().horizontalAdvance("20")) + 16);
            setColumnWidth(0, first);
            const int rest = std::max(0, width - first);
            for (int c = 1; c < AnalysisView::kColumns; ++c)
                setColumnWidth(c, rest * c / (AnalysisView::kColumns - 1) - rest * (c - 1) / (AnalysisView::kColumns - 1));
        }
        return QTreeWidget::viewportEvent(event);
    }
};

}  // namespace

AnalysisWindow::AnalysisWindow() = default;

AnalysisWindow::~AnalysisWindow() {
    if (view_) view_->SetListener(nullptr);
}

int AnalysisWindow::Create(MdiClient& client, const QIcon& icon) {
    LoadUiStrings();
    if (!CreatePlaced(UiQString(kCaptionText), kResultsChildStyle, "Analysis", kDefaultRect, client, icon)) return 0;
    // As narrow as the scoreboard, so "Rearrange Windows" can put it in the column below it.
    Window()->setMinimumSize(170, 150);
    auto* content = new QWidget;
    content->setAutoFillBackground(true);
    content->setBackgroundRole(QPalette::Base);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    list_ = new FigureList(content);
    list_->setObjectName(QStringLiteral("analysisList"));
    list_->setFont(DialogUnits::DialogFont());
    list_->setColumnCount(AnalysisView::kColumns);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->header()->setSectionsClickable(false);
    list_->header()->setSectionsMovable(false);
    list_->header()->setMinimumSectionSize(8);
    list_->header()->setStretchLastSection(false);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    group_ = new QLabel(content);
    group_->setObjectName(QStringLiteral("analysisGroup"));
    group_->setFont(DialogUnits::DialogFont());
    group_->setWordWrap(true);
    group_->setContentsMargins(4, 2, 4, 4);
    group_->setTextInteractionFlags(Qt::TextSelectableByMouse);  // a coach copies the figures
    layout->addWidget(list_, 1);
    layout->addWidget(group_, 0);
    SetContent(content);
    content->setFocusProxy(list_);

    QObject::connect(list_, &QTreeWidget::itemClicked, list_, [this](QTreeWidgetItem* item) {
        if (view_ && item) view_->ShowShot(list_->indexOfTopLevelItem(item));
    });
    QObject::connect(list_, &QTreeWidget::itemDoubleClicked, list_, [this](QTreeWidgetItem*) {
        if (onReplay) onReplay();
    });
    return 1;
}

void AnalysisWindow::AttachView(HubView& hub) {
    if (view_ || !list_) return;
    view_ = std::make_unique<AnalysisView>(&hub);
    view_->SetListener(this);
    FiguresChanged();
}

void AnalysisWindow::FiguresChanged() {
    if (!list_ || !view_) return;
    const auto titles = view_->ColumnTitles();
    QStringList labels;
    for (const std::string& title : titles) labels << QString::fromStdString(title);
    list_->setHeaderLabels(labels);
    QTreeWidgetItem* header = list_->headerItem();
    const HoldLevels levels = view_->Levels();
    header->setToolTip(1, QString::asprintf(UiText(kInLevelHint).c_str(), levels.top));
    header->setToolTip(2, levels.next > 0 ? QString::asprintf(UiText(kInLevelHint).c_str(), levels.next) : QString());
    header->setToolTip(3, UiQString(kTraceHint));
    header->setToolTip(4, UiQString(kReleaseHint));
    header->setToolTip(5, UiQString(kAimingHint));
    for (int c = 1; c < AnalysisView::kColumns; ++c) header->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);

    const SeriesAnalysis& series = view_->Series();
    while (list_->topLevelItemCount() > series.shots) delete list_->takeTopLevelItem(list_->topLevelItemCount() - 1);
    while (list_->topLevelItemCount() < series.shots) list_->addTopLevelItem(new QTreeWidgetItem);
    for (int shot = 0; shot < series.shots; ++shot) {
        QTreeWidgetItem* item = list_->topLevelItem(shot);
        const auto cells = view_->RowTexts(shot);
        const QString tip = QString::fromStdString(HoldTooltip(series.hold[std::size_t(shot)], levels));
        for (int c = 0; c < AnalysisView::kColumns; ++c) {
            item->setText(c, QString::fromStdString(cells[std::size_t(c)]));
            item->setTextAlignment(c, (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            item->setToolTip(c, tip);
        }
    }
    QString lines;
    for (const std::string& line : view_->AllGroupLines()) {
        if (!lines.isEmpty()) lines += '\n';
        lines += QString::fromStdString(line);
    }
    group_->setText(lines);
    SelectionChanged();
}

void AnalysisWindow::SelectionChanged() {
    if (!list_ || !view_) return;
    QItemSelection selection;
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list_->topLevelItem(row);
        if (view_->Selected(row)) {
            const QModelIndex index = list_->model()->index(row, 0);
            selection.select(index, index);
        }
        QFont font = list_->font();
        font.setBold(row == view_->ReplayedShot());
        for (int c = 0; c < AnalysisView::kColumns; ++c) item->setFont(c, font);
    }
    list_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (QTreeWidgetItem* replayed = list_->topLevelItem(view_->ReplayedShot())) list_->scrollToItem(replayed);
}

// The close box only hides the window, as the menu command does, so the menu's mark follows.
bool AnalysisWindow::OnWindowEvent(QEvent* event) { return CloseBoxHides(event, onClose); }

}  // namespace zark
