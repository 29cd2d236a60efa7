#include "results/widgets/matchboard.h"

#include <QCursor>
#include <QListWidget>
#include <QPixmap>
#include <QResizeEvent>
#include <QToolTip>
#include <QVBoxLayout>

#include "window/dialogunits.h"
#include "i18n/uistrings.h"
#include "results/resulticons.h"
#include "results/widgets/childframe.h"

namespace zark {
namespace {

constexpr int kSeriesItemText = 321;
constexpr int kMatchTotalText = 322;

}  // namespace

MatchBoard::MatchBoard() = default;
MatchBoard::~MatchBoard() = default;

Rect MatchBoard::DefaultRect() {
    const int height = ChildFrameExtra() + kClientHeight;
    return Rect{kDefaultLeft, kDefaultTop, kDefaultLeft + kDefaultWidth, kDefaultTop + height};
}

int MatchBoard::Create(MdiClient& client, const QIcon& icon) {
    LoadUiStrings();
    if (!CreatePlaced(QString(), kResultsChildStyle, "Matchboard", DefaultRect(), client, icon)) return 0;
    Window()->setMinimumSize(100, 120);
    QWidget* content = Content();
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new QListWidget(content);
    list_->setObjectName(QStringLiteral("list%1").arg(kListId));
    list_->setFont(DialogUnits::DialogFont());
    list_->setViewMode(QListView::ListMode);
    list_->setFlow(QListView::LeftToRight);
    list_->setWrapping(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setGridSize(QSize(kItemWidth, 22));
    list_->setIconSize(QSize(16, 16));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setMovement(QListView::Static);
    layout->addWidget(list_);
    content->setFocusProxy(list_);
    // A click that changes the selection is handled as that change; a click on the item already
    // selected shows its series again (after a shot of it was chosen, say).
    QObject::connect(list_, &QListWidget::itemSelectionChanged, list_, [this] {
        selectionChanged_ = true;
        Chosen();
    });
    QObject::connect(list_, &QListWidget::itemPressed, list_, [this] {
        pressChangedSelection_ = selectionChanged_;
        selectionChanged_ = false;
    });
    QObject::connect(list_, &QListWidget::itemClicked, list_, [this] {
        if (!pressChangedSelection_) Chosen();
    });
    return 1;
}

void MatchBoard::SetCaption(const std::string& title) { SetTitle(QString::fromStdString(title)); }

void MatchBoard::ResetRows(int n) {
    tally_.ResetRows(n);
    if (!list_) return;
    refusing_ = true;  // clearing the items is no choice of the user
    list_->clear();
    for (int item = 0; item <= tally_.Rows(); ++item) {
        const bool total = item == tally_.Rows();
        auto* entry = new QListWidgetItem(list_);
        entry->setIcon(QIcon(QPixmap::fromImage(total ? TotalBadge(2.0) : NumberBadge(item + 1, 2.0))));
        entry->setToolTip(total ? UiQString(kMatchTotalText)
                                : QString::asprintf(UiText(kSeriesItemText).c_str(), item + 1));
    }
    refusing_ = false;
}

void MatchBoard::FillRow(int j, const TraceImage& series, const TargetDescriptor* first,
                         const TargetDescriptor* second) {
    tally_.FillRow(j, series, first, second);
    WriteItem(j);
    WriteItem(tally_.Rows());
}

void MatchBoard::WriteItem(int item) {
    if (!list_) return;
    if (QListWidgetItem* entry = list_->item(item)) entry->setText(QString::fromStdString(tally_.Text(item)));
}

int MatchBoard::FirstSelected() const {
    if (!list_) return -1;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->isSelected()) return i;
    return -1;
}

void MatchBoard::Show(bool on) {
    if (QMdiSubWindow* window = Window()) window->setVisible(on);
}

void MatchBoard::Chosen() {
    if (refusing_) return;
    const int item = FirstSelected();
    if (item < 0 || item >= tally_.Rows() || !onChoose) return;  // the total item changes nothing
    if (onChoose(item)) return;
    refusing_ = true;
    list_->clearSelection();
    refusing_ = false;
    QToolTip::showText(QCursor::pos(), UiQString(kRefusedText), list_);
}

}  // namespace zark
