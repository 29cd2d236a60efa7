#include "app/watchlanedialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "i18n/uistrings.h"
#include "range/lanewatcher.h"
#include "range/rangeclient.h"

namespace zark {
namespace {

constexpr int kTextCaption = 601;
constexpr int kTextLane = 602;
constexpr int kTextShooter = 603;
constexpr int kTextTarget = 604;
constexpr int kTextShots = 605;
constexpr int kTextOnline = 606;
constexpr int kTextOffline = 607;
constexpr int kTextWatch = 608;
constexpr int kTextStop = 609;
constexpr int kTextNoLane = 610;
constexpr int kTextConnecting = 611;
constexpr int kTextCancel = 114;

}  // namespace

WatchLaneDialog::WatchLaneDialog(QWidget* owner, LaneWatcher& watcher, RangeClient& client, const QString& range,
                                 const QString& broker, const QString& watched)
    : ModalDialog(owner), watcher_(watcher), client_(client), range_(range), broker_(broker), watched_(watched) {
    LoadUiStrings();
    setObjectName(QStringLiteral("watchLaneDialog"));
    setWindowTitle(UiQString(kTextCaption));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("lanes"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({UiQString(kTextLane), UiQString(kTextShooter), UiQString(kTextTarget),
                            UiQString(kTextShots), QString()});
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_->setMinimumSize(520, 220);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    watch_ = new QPushButton(UiQString(kTextWatch), this);
    watch_->setObjectName(QStringLiteral("watch"));
    watch_->setDefault(true);
    stop_ = new QPushButton(UiQString(kTextStop), this);
    stop_->setObjectName(QStringLiteral("stop"));
    stop_->setEnabled(!watched_.isEmpty());
    auto* cancel = new QPushButton(UiQString(kTextCancel), this);
    cancel->setObjectName(QStringLiteral("cancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(watch_);
    buttons->addWidget(stop_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(status_);
    layout->addLayout(buttons);

    connect(&watcher_, &LaneWatcher::LanesChanged, this, &WatchLaneDialog::Fill);
    connect(&client_, &RangeClient::Connected, this, &WatchLaneDialog::UpdateStatus);
    connect(&client_, &RangeClient::Disconnected, this, &WatchLaneDialog::UpdateStatus);
    connect(list_, &QTreeWidget::itemSelectionChanged, this,
            [this] { watch_->setEnabled(!list_->selectedItems().isEmpty()); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { watch_->click(); });
    connect(watch_, &QPushButton::clicked, this, [this] {
        const auto selected = list_->selectedItems();
        if (selected.isEmpty()) return;
        chosen_ = selected.first()->text(0);
        End(kDialogOk);
    });
    connect(stop_, &QPushButton::clicked, this, [this] { End(kStopWatching); });
    connect(cancel, &QPushButton::clicked, this, [this] { End(kDialogCancel); });
    Fill();
}

void WatchLaneDialog::Fill() {
    const QString selected = list_->selectedItems().isEmpty() ? watched_ : list_->selectedItems().first()->text(0);
    list_->clear();
    for (const auto& [name, state] : watcher_.Lanes()) {
        const QString shots = state.due > 0 ? QStringLiteral("%1/%2").arg(state.fired).arg(state.due)
                                            : QString::number(state.fired);
        auto* item = new QTreeWidgetItem(list_, {name, state.shooter, state.faceName, shots,
                                                 UiQString(state.online ? kTextOnline : kTextOffline)});
        if (!state.online) item->setForeground(4, palette().color(QPalette::Disabled, QPalette::Text));
        if (name == selected) item->setSelected(true);
    }
    watch_->setEnabled(!list_->selectedItems().isEmpty());
    UpdateStatus();
}

void WatchLaneDialog::UpdateStatus() {
    if (!client_.IsConnected())
        status_->setText(UiQString(kTextConnecting).replace(QLatin1String("%s"), broker_) +
                         (client_.Error().isEmpty() ? QString() : QStringLiteral(" (%1)").arg(client_.Error())));
    else if (watcher_.Lanes().empty())
        status_->setText(UiQString(kTextNoLane).replace(QLatin1String("%s"), range_));
    else
        status_->clear();
}

}  // namespace zark
