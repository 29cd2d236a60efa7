#pragma once

#include <QTreeWidget>
#include <functional>

#include "results/shotlist.h"

namespace zark {

// The screen form of a shot list: three columns (score, direction, time) with a numbered disc per
// shot row, a clock face per direction and the total row last. With single-row clicks a plain
// click selects one row and Ctrl adds rows; otherwise each click toggles one row, as Ctrl does
// (Shift still selects a run of rows).
class ShotListWidget final : public QTreeWidget, public ShotListListener {
public:
    ShotListWidget(ShotList& list, bool singleRowClicks, QWidget* parent = nullptr);
    ~ShotListWidget() override;

    ShotList& List() const { return list_; }
    bool SingleRowClicks() const { return singleRowClicks_; }

    // After the selection has taken a click: the row clicked (-1 outside the rows).
    std::function<void(int row)> onClick;
    std::function<void(int row)> onDoubleClick;

    // The three column widths keep their proportions across width (a third each when all are 0).
    // The list does this itself whenever the width it shows its rows in changes.
    void ResizeColumns(int width);
    // The width the cells of a column take whole, as the view measures them.
    int CellsWidth(int column) const { return sizeHintForColumn(column); }
    // The width a column needs for its title and its cells.
    int NeededWidth(int column) const;
    // The width of the rows that shows every title and the widest cells a series gives each column
    // whole (a late shot's score, a clock with 12, a time in its window), whatever the rows hold now.
    int WidestRowWidth() const;

    void RowsReset() override;
    void RowChanged(int row) override;
    void SelectionChanged() override;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void WriteRow(int row);
    // The width of a cell with this text, with the column's picture where it has one.
    int CellWidth(const QString& text, bool picture) const;
    void TakeUserSelection();

    ShotList& list_;
    bool singleRowClicks_;
    bool syncing_ = false;
    // A double click is press, release, double click, release: the last release ends the double
    // click and is no click of its own (it would stop the replay the double click started).
    bool doubleClicked_ = false;
};

}  // namespace zark
