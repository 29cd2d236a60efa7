#include "results/widgets/shotlistwidget.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <utility>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <algorithm>
#include <array>

#include "window/dialogunits.h"
#include "i18n/uistrings.h"
#include "results/resulticons.h"

namespace zark {
namespace {

constexpr int kScoreText = 145;
constexpr int kTimeText = 146;
constexpr int kDirectionText = 147;
constexpr int kTotalText = 323;

// The pictures are drawn once per process.
const QIcon& RowIcon(int row) {
    static const std::array<QIcon, kMaxShots> icons = [] {
        std::array<QIcon, kMaxShots> made;
        for (int i = 0; i < kMaxShots; ++i) made[std::size_t(i)] = QIcon(QPixmap::fromImage(NumberBadge(i + 1, 2.0)));
        return made;
    }();
    return icons[std::size_t(row)];
}

const QIcon& ClockIcon(int hour) {
    static const std::array<QIcon, 13> icons = [] {
        std::array<QIcon, 13> made;
        for (int h = 1; h <= 12; ++h) made[std::size_t(h)] = QIcon(QPixmap::fromImage(ClockFace(h, 2.0)));
        return made;
    }();
    return icons[std::size_t(hour)];
}

const QIcon& SumIcon() {
    static const QIcon icon(QPixmap::fromImage(TotalBadge(2.0)));
    return icon;
}

// Rows as tight as the pictures allow, so that ten shots and the total fit the scoreboard's first size.
class TightRows final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize hint = QStyledItemDelegate::sizeHint(option, index);
        return QSize(hint.width(), std::max(16, option.fontMetrics.height() + 1));
    }
};

}  // namespace

ShotListWidget::ShotListWidget(ShotList& list, bool singleRowClicks, QWidget* parent)
    : QTreeWidget(parent), list_(list), singleRowClicks_(singleRowClicks) {
    LoadUiStrings();
    setFont(DialogUnits::DialogFont());
    setColumnCount(3);
    setHeaderLabels({UiQString(kScoreText), UiQString(kDirectionText), UiQString(kTimeText)});
    headerItem()->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setIconSize(QSize(16, 16));
    setItemDelegate(new TightRows(this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { TakeUserSelection(); });
    list_.SetListener(this);
    RowsReset();
}

ShotListWidget::~ShotListWidget() { list_.SetListener(nullptr); }

void ShotListWidget::ResizeColumns(int width) {
    int sum = 0;
    for (int c = 0; c < 3; ++c) sum += columnWidth(c);
    int widths[3];
    for (int c = 0; c < 3; ++c) widths[c] = sum > 0 ? int(qint64(width) * columnWidth(c) / sum) : width / 3;
    widths[2] = std::max(0, width - widths[0] - widths[1]);  // what the rounding left goes to the last
    // A column too narrow for its cells takes what the others have beyond theirs, the score first:
    // a late shot's "0 late" and a time in its window are wider than a plain series' cells. Then,
    // as far as the cells leave room, each title is made whole the same way.
    for (const bool titles : {false, true}) {
        int need[3];
        for (int c = 0; c < 3; ++c) need[c] = titles ? NeededWidth(c) : CellsWidth(c);
        for (int c = 0; c < 3; ++c)
            for (int d = 2; d >= 0 && widths[c] < need[c]; --d) {
                if (d == c) continue;
                const int given = std::clamp(widths[d] - need[d], 0, need[c] - widths[c]);
                widths[d] -= given;
                widths[c] += given;
            }
    }
    for (int c = 0; c < 3; ++c) setColumnWidth(c, widths[c]);
}

int ShotListWidget::NeededWidth(int column) const { return std::max(header()->sectionSizeHint(column), CellsWidth(column)); }

int ShotListWidget::CellWidth(const QString& text, bool picture) const {
    // as the rows' delegate measures a cell
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = text;
    if (picture) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.decorationSize = iconSize();
    }
    return style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).width();
}

int ShotListWidget::WidestRowWidth() const {
    const QString widest[3] = {QString::fromStdString(list_.LateScoreText()), QStringLiteral("12"),
                               QString::fromStdString(ShotList::WindowTimeText(99990))};
    int width = 0;
    for (int c = 0; c < 3; ++c) width += std::max(NeededWidth(c), CellWidth(widest[c], c < 2));
    return width;
}

bool ShotListWidget::viewportEvent(QEvent* event) {
    // The rows' width changes with the window and with the scroll bar coming or going.
    if (event->type() == QEvent::Resize) ResizeColumns(viewport()->width());
    return QTreeWidget::viewportEvent(event);
}

void ShotListWidget::RowsReset() {
    syncing_ = true;
    clear();
    QList<QTreeWidgetItem*> items;
    for (int row = 0; row <= list_.Rows(); ++row) {
        auto* item = new QTreeWidgetItem;
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        if (row < list_.Rows()) {
            item->setIcon(0, RowIcon(row));
        } else {
            item->setIcon(0, SumIcon());
            item->setToolTip(0, UiQString(kTotalText));
        }
        items.append(item);
    }
    addTopLevelItems(items);
    syncing_ = false;
    for (int row = 0; row <= list_.Rows(); ++row) WriteRow(row);
    ResizeColumns(viewport()->width());
    SelectionChanged();
}

void ShotListWidget::WriteRow(int row) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item) return;
    const ShotRow& cells = list_.Row(row);
    item->setText(0, QString::fromStdString(cells.score));
    item->setText(1, QString::fromStdString(cells.direction));
    item->setText(2, QString::fromStdString(cells.time));
    item->setIcon(1, cells.clock > 0 ? ClockIcon(cells.clock) : QIcon());
    if (row < list_.Rows())
        for (int column = 0; column < 3; ++column) item->setToolTip(column, QString::fromStdString(cells.hold));
}

void ShotListWidget::RowChanged(int row) {
    WriteRow(row);
    WriteRow(list_.TotalRow());
    ResizeColumns(viewport()->width());
}

void ShotListWidget::SelectionChanged() {
    syncing_ = true;
    QItemSelection selection;
    for (int row = 0; row <= list_.Rows(); ++row) {
        if (!list_.Selected(row)) continue;
        const QModelIndex index = model()->index(row, 0);
        selection.select(index, index);
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    syncing_ = false;
}

void ShotListWidget::TakeUserSelection() {
    if (syncing_) return;
    for (int row = 0; row <= list_.Rows(); ++row)
        list_.SetSelected(row, selectionModel()->isRowSelected(row, QModelIndex()));
}

QItemSelectionModel::SelectionFlags ShotListWidget::selectionCommand(const QModelIndex& index,
                                                                     const QEvent* event) const {
    // Toggling rows: a plain click acts as a Ctrl-click unless Shift is held.
    if (!singleRowClicks_ && event &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        if (!(mouse->modifiers() & Qt::ShiftModifier)) {
            const QMouseEvent asCtrl(mouse->type(), mouse->position(), mouse->globalPosition(), mouse->button(),
                                     mouse->buttons(), mouse->modifiers() | Qt::ControlModifier);
            return QTreeWidget::selectionCommand(index, &asCtrl);
        }
    }
    return QTreeWidget::selectionCommand(index, event);
}

void ShotListWidget::mousePressEvent(QMouseEvent* event) {
    doubleClicked_ = false;
    QTreeWidget::mousePressEvent(event);
}

void ShotListWidget::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    if (std::exchange(doubleClicked_, false)) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (onClick) onClick(index.isValid() ? index.row() : -1);
}

void ShotListWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton) return;
    doubleClicked_ = true;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (onDoubleClick) onDoubleClick(index.isValid() ? index.row() : -1);
}

}  // namespace zark
