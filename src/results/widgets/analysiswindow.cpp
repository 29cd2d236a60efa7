#include "results/widgets/analysiswindow.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTreeWidget>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QStyleOptionHeader>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "window/dialogunits.h"
#include "i18n/uistrings.h"
#include "results/widgets/childframe.h"

namespace zark {
namespace {

constexpr int kCaptionText = 401;
constexpr int kInLevelHint = 407;
constexpr int kTraceHint = 408;
constexpr int kReleaseHint = 409;
constexpr int kAimingHint = 410;
constexpr int kPhaseHint = 462;
constexpr int kCoachHint = 567;
constexpr int kPhasesTab = 573;
constexpr int kCoachingTab = 574;
constexpr int kHoldTab = 575;

// What both lists of figures share: flat rows in the dialog font, whole rows focused, fixed titles.
void SetUpList(QTreeWidget* list, const char* name, int columns, QAbstractItemView::SelectionMode selection) {
    list->setObjectName(QLatin1String(name));
    list->setFont(DialogUnits::DialogFont());
    list->setColumnCount(columns);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(selection);
    list->header()->setSectionsClickable(false);
    list->header()->setSectionsMovable(false);
    list->header()->setMinimumSectionSize(8);
}

constexpr int kTitlePadding = 12;  // a header section's margins
constexpr int kCellPadding = 10;   // a cell's

// A title on two lines: the unit below the name ("Hold (s)" as "Hold" over "(s)"); one line where
// it has no unit.
QStringList TitleLines(const QString& title) {
    const int unit = title.lastIndexOf(QLatin1Char(' '));
    return unit > 0 ? QStringList{title.left(unit), title.mid(unit + 1)} : QStringList{title};
}

// The header of a list of figures shows each title as the list fitted it to its column (kept with
// the title, so the title itself stays as it is), as high as its lines need.
class FittedHeader final : public QHeaderView {
public:
    FittedHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) { setTextElideMode(Qt::ElideNone); }

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int section) const override {
        QHeaderView::initStyleOptionForIndex(option, section);
        const QVariant shown = model()->headerData(section, Qt::Horizontal, AnalysisWindow::kShownTitleRole);
        if (shown.isValid()) option->text = shown.toString();
    }
    QSize sectionSizeFromContents(int section) const override {
        QSize size = QHeaderView::sectionSizeFromContents(section);
        const QString shown = model()->headerData(section, Qt::Horizontal, AnalysisWindow::kShownTitleRole).toString();
        size.rheight() += int(shown.count(QLatin1Char('\n'))) * fontMetrics().lineSpacing();
        return size;
    }
};

// Rows as high as the cells of a wrapping column need at the column's width.
class WrappingRows final : public QStyledItemDelegate {
public:
    explicit WrappingRows(QTreeView* view) : QStyledItemDelegate(view), view_(view) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem sized = option;
        sized.rect = QRect(0, 0, view_->columnWidth(index.column()), std::max(1, option.rect.height()));
        return QStyledItemDelegate::sizeHint(sized, index);
    }

private:
    QTreeView* view_;
};

// The list keeps every column in view. Where the room allows, each column is as wide as its title
// on one line and its cells need (the bold row of the replayed shot included), the room left over
// shared by the figures. Where it does not, each column first gives up what its title on two lines
// (the unit below the name) and, in the column whose cells wrap, its cells on several lines leave
// over; only where even that is too wide does every column give up the same share, the titles
// then shortened (the scroll bar coming or going changes the room).
class FigureList final : public QTreeWidget {
public:
    explicit FigureList(QWidget* parent) : QTreeWidget(parent) { setHeader(new FittedHeader(this)); }

    // The column whose cells go on as many lines as they need (the verdicts); -1: none.
    void SetWrappingColumn(int column) {
        wrapping_ = column;
        setWordWrap(column >= 0);
        setUniformRowHeights(column < 0);
        if (column >= 0) setItemDelegateForColumn(column, new WrappingRows(this));
    }

    // The column titles as they are; each is shown whole where it fits, else on two lines and only
    // then shortened.
    void SetTitles(const QStringList& titles) {
        titles_ = titles;
        setHeaderLabels(titles);
        FitColumns();
    }

    // The width column c needs to show its title on one line (or on two, the unit below) and every
    // cell whole on one line (or, in the wrapping column, each word whole); a column without rows
    // yet is measured with a four-digit figure.
    int WantedWidth(int c, bool twoLines = false) const {
        const QFontMetrics header = this->header()->fontMetrics();
        QFont bold = font();
        bold.setBold(true);
        const QFontMetrics cells(bold);
        int width = 0;
        for (const QString& line : twoLines ? TitleLines(titles_.value(c)) : QStringList{titles_.value(c)})
            width = std::max(width, header.horizontalAdvance(line) + kTitlePadding);
        width = std::max(width, cells.horizontalAdvance(QStringLiteral("8888")) + kCellPadding);
        for (int row = 0; row < topLevelItemCount(); ++row) {
            const QString text = topLevelItem(row)->text(c);
            for (const QString& word : twoLines && c == wrapping_ ? text.split(QLatin1Char(' ')) : QStringList{text})
                width = std::max(width, cells.horizontalAdvance(word) + kCellPadding);
        }
        return width;
    }
    int WantedWidth() const {
        int width = 0;
        for (int c = 0; c < columnCount(); ++c) width += WantedWidth(c);
        return width;
    }

    void FitColumns() {
        const int room = viewport()->width();
        const int columns = columnCount();
        if (columns <= 0 || room <= 0) return;
        std::vector<int> full(static_cast<std::size_t>(columns)), least(static_cast<std::size_t>(columns));
        int fullTotal = 0;
        int leastTotal = 0;
        for (int c = 0; c < columns; ++c) {
            fullTotal += full[std::size_t(c)] = WantedWidth(c);
            leastTotal += least[std::size_t(c)] = std::min(full[std::size_t(c)], WantedWidth(c, true));
        }
        // the wrapping column is given its cells on one line first: every line more costs a row
        if (wrapping_ >= 0 && wrapping_ < columns) {
            int& wrap = least[std::size_t(wrapping_)];
            const int more = full[std::size_t(wrapping_)] - wrap;
            if (leastTotal + more <= room) {
                wrap += more;
                leastTotal += more;
            }
        }
        int given = 0;
        for (int c = 0; c < columns; ++c) {
            const std::int64_t want = full[std::size_t(c)];
            const std::int64_t need = least[std::size_t(c)];
            std::int64_t width = 0;
            if (fullTotal <= room) {
                // the figures share what is left over; the shot numbers keep theirs
                const int extra = room - fullTotal;
                const int figures = std::max(1, columns - 1);
                width = want + (c == 0 ? 0 : extra * c / figures - extra * (c - 1) / figures);
            } else if (leastTotal <= room) {
                // each column gets back the same share of what two lines saved it
                width = need + (want - need) * (room - leastTotal) / std::max(1, fullTotal - leastTotal);
            } else {
                width = room * need / std::max(1, leastTotal);
            }
            if (c + 1 == columns) width = std::max(0, room - given);  // the last one ends at the edge
            setColumnWidth(c, int(width));
            given += int(width);
        }
        FitTitles();
        if (wrapping_ >= 0) scheduleDelayedItemsLayout();  // the wrapped rows' heights follow the width
    }

protected:
    bool viewportEvent(QEvent* event) override {
        if (event->type() == QEvent::Resize) FitColumns();
        return QTreeWidget::viewportEvent(event);
    }

private:
    void FitTitles() {
        const QFontMetrics metrics = header()->fontMetrics();
        for (int c = 0; c < titles_.size() && c < columnCount(); ++c) {
            const int room = std::max(0, columnWidth(c) - kTitlePadding);
            QString shown = titles_[c];
            if (metrics.horizontalAdvance(shown) > room) {
                QStringList lines = TitleLines(shown);
                for (QString& line : lines) line = metrics.elidedText(line, Qt::ElideRight, room);
                shown = lines.join(QLatin1Char('\n'));
            }
            if (headerItem()->data(c, AnalysisWindow::kShownTitleRole).toString() != shown)
                headerItem()->setData(c, AnalysisWindow::kShownTitleRole, shown);
        }
    }

    QStringList titles_;
    int wrapping_ = -1;
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
    auto* content = new ResizingArea;
    content->setAutoFillBackground(true);
    content->setBackgroundRole(QPalette::Base);
    auto* layout = new QVBoxLayout(content);
    layout_ = layout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    list_ = new FigureList(content);
    SetUpList(list_, "analysisList", AnalysisView::kColumns, QAbstractItemView::ExtendedSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->header()->setStretchLastSection(false);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    group_ = new QLabel(content);
    group_->setObjectName(QStringLiteral("analysisGroup"));
    group_->setFont(DialogUnits::DialogFont());
    group_->setWordWrap(true);
    group_->setContentsMargins(4, 2, 4, 4);
    group_->setTextInteractionFlags(Qt::TextSelectableByMouse);  // a coach copies the figures
    // the phases and the coaching figures share the lower half, a tab each
    pages_ = new QTabWidget(content);
    pages_->setObjectName(QStringLiteral("analysisPages"));
    pages_->setDocumentMode(true);
    pages_->setFont(DialogUnits::DialogFont());
    auto* phases = new FigureList(pages_);
    phaseList_ = phases;
    SetUpList(phaseList_, "analysisPhases", AnalysisView::kPhaseColumns, QAbstractItemView::SingleSelection);
    phases->SetWrappingColumn(AnalysisView::kPhaseColumns - 1);  // the verdicts
    coachList_ = new FigureList(pages_);
    SetUpList(coachList_, "analysisCoaching", AnalysisView::kCoachColumns, QAbstractItemView::SingleSelection);
    for (QTreeWidget* list : {phaseList_, coachList_}) {
        list->header()->setStretchLastSection(false);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    pages_->addTab(phaseList_, UiQString(kPhasesTab));
    pages_->addTab(coachList_, UiQString(kCoachingTab));
    layout->addWidget(list_, 1);
    layout->addWidget(pages_, 1);
    layout->addWidget(group_, 0);
    SetContent(content);
    content->setFocusProxy(list_);
    content->onResize = [this] { PlaceHoldList(); };

    // A double click is press, release, double click, release: the last release is no click of
    // its own (choosing the shot again would stop the replay the double click started).
    ConnectRowClicks(list_, [](int) { return true; });
    ConnectRowClicks(phaseList_, [this](int row) { return row < view_->Phases().shots; });  // the means' row is no shot
    ConnectRowClicks(coachList_, [this](int row) { return row < view_->Coaching().shots; });
    return 1;
}

// Where the window is too low for the hold figures and the tab below them to show five shots each,
// the hold figures become the first tab, so that the list shown has the height; where it is high
// enough they go back above the tabs.
void AnalysisWindow::PlaceHoldList() {
    if (!list_ || !pages_ || !layout_ || !Content()) return;
    constexpr int kRowsEach = 5;
    const int row = list_->fontMetrics().height() + 4;
    const int header = std::max(list_->header()->sizeHint().height(), phaseList_->header()->sizeHint().height());
    const int list = header + kRowsEach * row + 2 * list_->frameWidth();
    const int group = std::max(group_->sizeHint().height(), group_->heightForWidth(Content()->width()));
    const int both = 2 * list + pages_->tabBar()->sizeHint().height() + group + 2 * layout_->spacing();
    const bool tab = Content()->height() < both;
    const int at = pages_->indexOf(list_);
    if (tab == (at >= 0)) return;
    if (tab) {
        pages_->insertTab(0, list_, UiQString(kHoldTab));
        pages_->setCurrentIndex(0);
    } else {
        pages_->removeTab(at);
        layout_->insertWidget(0, list_, 1);
        list_->show();
    }
}

// A click on a shot's row shows that shot, a double click plays it. (The toolkit reports no click
// for the release that ends a double click, so the replay it starts goes on.)
void AnalysisWindow::ConnectRowClicks(QTreeWidget* list, std::function<bool(int row)> isShot) {
    QObject::connect(list, &QTreeWidget::itemClicked, list, [this, list, isShot](QTreeWidgetItem* item) {
        const int row = item ? list->indexOfTopLevelItem(item) : -1;
        if (view_ && row >= 0 && isShot(row)) view_->ShowShot(row);
    });
    QObject::connect(list, &QTreeWidget::itemDoubleClicked, list, [this, list, isShot](QTreeWidgetItem* item) {
        if (onReplay && view_ && item && isShot(list->indexOfTopLevelItem(item))) onReplay();
    });
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
    static_cast<FigureList*>(list_)->SetTitles(labels);
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
    static_cast<FigureList*>(list_)->FitColumns();  // the cells may want more room now
    QString lines;
    for (const std::string& line : view_->AllGroupLines()) {
        if (!lines.isEmpty()) lines += '\n';
        lines += QString::fromStdString(line);
    }
    group_->setText(lines);
    FillPhases();
    FillCoaching();
    SelectionChanged();
}

namespace {

// A list of figures with a row per shot and the series' row last: its titles, then each row's
// cells (figure columns right-aligned) and tooltip.
template <std::size_t N>
void FillFigureRows(QTreeWidget* list, const std::array<std::string, N>& titles, int shots,
                    const std::function<std::array<std::string, N>(int row)>& cells,
                    const std::function<bool(int column)>& isFigure, const std::function<QString(int row)>& tip) {
    QStringList labels;
    for (const std::string& title : titles) labels << QString::fromStdString(title);
    auto* figures = static_cast<FigureList*>(list);
    figures->SetTitles(labels);
    const int rows = shots > 0 ? shots + 1 : 0;
    while (list->topLevelItemCount() > rows) delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
    while (list->topLevelItemCount() < rows) list->addTopLevelItem(new QTreeWidgetItem);
    for (int row = 0; row < rows; ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        const std::array<std::string, N> texts = cells(row);
        const QString rowTip = tip(row);
        for (int c = 0; c < int(N); ++c) {
            item->setText(c, QString::fromStdString(texts[std::size_t(c)]));
            item->setTextAlignment(c, (isFigure(c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            item->setToolTip(c, rowTip);
        }
    }
    figures->FitColumns();  // the cells may want more room now
}

}  // namespace

void AnalysisWindow::FillCoaching() {
    const SeriesCoaching& coaching = view_->Coaching();
    FillFigureRows<AnalysisView::kCoachColumns>(
        coachList_, view_->CoachColumnTitles(), coaching.shots,
        [this, &coaching](int row) { return row == coaching.shots ? view_->CoachSeriesTexts() : view_->CoachRowTexts(row); },
        [](int column) { return column > 0; }, [](int) { return UiQString(kCoachHint); });
}

void AnalysisWindow::FillPhases() {
    const SeriesPhases& phases = view_->Phases();
    FillFigureRows<AnalysisView::kPhaseColumns>(
        phaseList_, view_->PhaseColumnTitles(), phases.shots,
        [this, &phases](int row) { return row == phases.shots ? view_->PhaseMeanTexts() : view_->PhaseRowTexts(row); },
        [](int column) { return column > 0 && column < AnalysisView::kPhaseColumns - 1; },
        [&phases](int row) {
            return row == phases.shots ? QString() : QString::fromStdString(PhaseTooltip(phases.shot[std::size_t(row)]));
        });
    phaseList_->headerItem()->setToolTip(1, UiQString(kPhaseHint));
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

QSize AnalysisWindow::FirstSize() const {
    if (!list_ || !phaseList_) return {};
    // Every column of the lists, and ten shots in each.
    int columns = 0;
    for (const QTreeWidget* list : {list_, phaseList_, coachList_})
        columns = std::max(columns, static_cast<const FigureList*>(list)->WantedWidth());
    const int scrollBar = list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int width = columns + scrollBar + 2 * list_->frameWidth();
    const int row = list_->fontMetrics().height() + 4;
    const int header = list_->header()->sizeHint().height();
    const int lists = 2 * (header + 10 * row + 2 * list_->frameWidth());
    const int group = group_->fontMetrics().height() * 4 + 8;
    return ChildOuterSize(QSize(width, lists + group + 4));
}

// The close box only hides the window, as the menu command does, so the menu's mark follows.
bool AnalysisWindow::OnWindowEvent(QEvent* event) { return CloseBoxHides(event, onClose); }

}  // namespace zark
