#include "core/widgets/matchdialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "i18n/uistrings.h"

namespace zark {
namespace {

constexpr int kListId = 2203;
constexpr int kMatchCaptionId = 190;  // "Match"
constexpr int kOkTextId = 113;        // "&OK"
constexpr int kCancelTextId = 114;    // "&Cancel"

}  // namespace

MatchDialog::MatchDialog(const MatchCatalogue& catalogue, QWidget* parent) : QDialog(parent) {
    LoadUiStrings();
    setWindowTitle(UiQString(kMatchCaptionId));
    setModal(true);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("list%1").arg(kListId));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const int index : catalogue.TitleOrder()) {
        auto* item = new QListWidgetItem(QString::fromUtf8(catalogue.Programme(index).title), list_);
        item->setData(Qt::UserRole, index);
    }
    list_->setMinimumSize(240, 150);

    ok_ = new QPushButton(UiQString(kOkTextId), this);
    ok_->setObjectName(QStringLiteral("button%1").arg(kOk));
    ok_->setDefault(true);
    cancel_ = new QPushButton(UiQString(kCancelTextId), this);
    cancel_->setObjectName(QStringLiteral("button%1").arg(kCancel));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, &MatchDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &MatchDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &MatchDialog::choose);
    connect(list_, &QListWidget::itemSelectionChanged, this, &MatchDialog::updateOk);
    updateOk();
}

void MatchDialog::updateOk() { ok_->setEnabled(!list_->selectedItems().isEmpty()); }

void MatchDialog::choose(QListWidgetItem* item) {
    chosen_ = item ? item->data(Qt::UserRole).toInt() : -1;
    done(kOk);
}

void MatchDialog::accept() {
    // OK stays disabled while no title is selected, so Enter cannot confirm an empty choice.
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) return;
    choose(selected.front());
}

void MatchDialog::reject() { done(kCancel); }

}  // namespace zark
