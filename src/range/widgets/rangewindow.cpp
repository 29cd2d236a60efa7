#include "range/widgets/rangewindow.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <set>

#include "core/matchprogramme.h"
#include "i18n/uistrings.h"
#include "range/lanewatcher.h"
#include "range/rangeofficer.h"
#include "results/widgets/childframe.h"
#include "targets/targetcatalogue.h"
#include "targets/targetdescriptor.h"
#include "window/dialogunits.h"

namespace zark {
namespace {

constexpr int kLaneText = 602;      // the columns the Watch Lane dialog has too
constexpr int kShooterText = 603;
constexpr int kFaceText = 604;
constexpr int kShotsText = 605;
constexpr int kOfflineText = 607;
constexpr int kCaptionText = 661;   // "Range %s"
constexpr int kRunsText = 662;
constexpr int kTotalText = 663;
constexpr int kAnswerText = 664;
constexpr int kLockedText = 665;
constexpr int kAllLanesText = 666;
constexpr int kChosenLanesText = 667;
constexpr int kFaceLabelText = 668;
constexpr int kFirstOrderText = 669;  // "&Set Face", "S&ighters", "Se&ries", "&Match", "&Timed Series", "&Lock", "&Unlock"
constexpr int kRankingText = 676;
constexpr int kRunNamesText = 677;    // "idle|sighters|series|match|timed"
constexpr int kWaitingText = 678;
constexpr int kDoneText = 679;
constexpr int kReasonsText = 680;     // the reasons of the answers, in their order below
constexpr int kRankText = 686;
constexpr int kLastMatchText = 687;   // "(the lane's last match)"
constexpr int kProgrammeText = 689;   // "Pro&gramme:"

constexpr LaneOrder kOrders[] = {LaneOrder::Face,  LaneOrder::Sighters, LaneOrder::Series, LaneOrder::Match,
                                 LaneOrder::Timed, LaneOrder::Lock,     LaneOrder::Unlock};
const char* const kReasons[] = {kRefusedCommandsOff, kRefusedBusy, kRefusedUnknownFace, kRefusedNotOnFace,
                                kRefusedWatching};
constexpr int kNotStartedText = 684;

// Part `index` of a "|"-separated text of the tables; the English word when it has none.
QString PartOf(int id, int index, const QString& fallback) {
    const QStringList parts = UiQString(id).split('|');
    return index >= 0 && index < parts.size() ? parts[index] : fallback;
}

}  // namespace

RangeWindow::RangeWindow(const TargetCatalogue& faces, const MatchCatalogue& matches)
    : faces_(faces), matches_(matches) {}

RangeWindow::~RangeWindow() = default;

int RangeWindow::Create(MdiClient& client, const QIcon& icon, const QString& range) {
    LoadUiStrings();
    const QString caption = UiQString(kCaptionText).replace(QLatin1String("%s"), range);
    if (!CreatePlaced(caption, kResultsChildStyle, "Range", kDefaultRect, client, icon)) return 0;
    Window()->setMinimumSize(420, 300);
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    lanes_ = new QTreeWidget;
    lanes_->setObjectName(QStringLiteral("rangeLanes"));
    lanes_->setColumnCount(kLaneColumns);
    lanes_->setHeaderLabels({UiQString(kLaneText), UiQString(kShooterText), UiQString(kFaceText), UiQString(kRunsText),
                             UiQString(kShotsText), UiQString(kTotalText), UiQString(kAnswerText)});
    ranking_ = new QTreeWidget;
    ranking_->setObjectName(QStringLiteral("rangeRanking"));
    ranking_->setColumnCount(4);
    ranking_->setHeaderLabels({UiQString(kRankText), UiQString(kLaneText), UiQString(kShooterText), UiQString(kTotalText)});
    ranking_->setSelectionMode(QAbstractItemView::NoSelection);
    for (QTreeWidget* list : {lanes_, ranking_}) {
        list->setFont(DialogUnits::DialogFont());
        list->setRootIsDecorated(false);
        list->setUniformRowHeights(true);
        list->setAllColumnsShowFocus(true);
        list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    }
    lanes_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ranking_->header()->setSectionResizeMode(QHeaderView::Interactive);  // sized to its texts at each refresh
    ranking_->header()->setStretchLastSection(false);
    auto* rankingBox = new QWidget;
    auto* rankingLayout = new QVBoxLayout(rankingBox);
    rankingLayout->setContentsMargins(0, 0, 0, 0);
    rankingLayout->addWidget(new QLabel(UiQString(kRankingText)));
    rankingLayout->addWidget(ranking_, 1);
    auto* splitter = new QSplitter(Qt::Horizontal, content);
    splitter->addWidget(lanes_);
    splitter->addWidget(rankingBox);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({600, 220});
    splitter->setChildrenCollapsible(false);
    layout->addWidget(splitter, 1);

    auto* whom = new QHBoxLayout;
    all_ = new QRadioButton(UiQString(kAllLanesText), content);
    all_->setObjectName(QStringLiteral("rangeAllLanes"));
    chosen_ = new QRadioButton(UiQString(kChosenLanesText), content);
    chosen_->setObjectName(QStringLiteral("rangeChosenLanes"));
    all_->setChecked(true);
    faceBox_ = new QComboBox(content);
    faceBox_->setObjectName(QStringLiteral("rangeFace"));
    faceBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (int i = 0; i < TargetCatalogue::Count(); ++i) {
        const TargetDescriptor& face = faces_.Entry(i);
        if (face.Identity() > 0) faceBox_->addItem(UiQString(face.NameId()), face.Identity());
    }
    auto* faceLabel = new QLabel(UiQString(kFaceLabelText), content);
    faceLabel->setBuddy(faceBox_);
    matchBox_ = new QComboBox(content);
    matchBox_->setObjectName(QStringLiteral("rangeMatch"));
    matchBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    matchBox_->addItem(UiQString(kLastMatchText), -1);
    for (const int index : matches_.TitleOrder())
        matchBox_->addItem(QString::fromUtf8(matches_.Programme(index).title), index);
    whom->addWidget(all_);
    whom->addWidget(chosen_);
    whom->addSpacing(12);
    whom->addWidget(faceLabel);
    whom->addWidget(faceBox_);
    auto* matchLabel = new QLabel(UiQString(kProgrammeText), content);
    matchLabel->setBuddy(matchBox_);
    whom->addSpacing(12);
    whom->addWidget(matchLabel);
    whom->addWidget(matchBox_);
    whom->addStretch();
    layout->addLayout(whom);

    auto* orders = new QHBoxLayout;
    for (std::size_t i = 0; i < std::size(kOrders); ++i) {
        auto* button = new QPushButton(UiQString(kFirstOrderText + int(i)), content);
        button->setObjectName(QStringLiteral("range_") + QLatin1String(LaneOrderName(kOrders[i])));
        button->setAutoDefault(false);
        buttons_[i] = button;
        const LaneOrder order = kOrders[i];
        QObject::connect(button, &QPushButton::clicked, content, [this, order] { Send(order); });
        orders->addWidget(button);
    }
    orders->addStretch();
    layout->addLayout(orders);
    status_ = new QLabel(content);
    status_->setObjectName(QStringLiteral("rangeStatus"));
    status_->setWordWrap(true);
    layout->addWidget(status_);
    SetContent(content);
    QObject::connect(lanes_, &QTreeWidget::itemSelectionChanged, content, [this] {
        // choosing lanes means ordering the chosen ones
        if (!lanes_->selectedItems().isEmpty()) chosen_->setChecked(true);
    });
    return 1;
}

void RangeWindow::Attach(LaneWatcher* lanes, RangeOfficer* officer) {
    watcher_ = lanes;
    officer_ = officer;
    Refresh();
}

QPushButton* RangeWindow::Button(LaneOrder order) const {
    for (std::size_t i = 0; i < std::size(kOrders); ++i)
        if (kOrders[i] == order) return buttons_[i];
    return nullptr;
}

void RangeWindow::SetStatus(const QString& text) {
    if (status_) status_->setText(text);
}

QString RangeWindow::AnswerText(const QString& lane) const {
    if (!officer_) return {};
    const auto it = officer_->Answers().find(lane);
    if (it == officer_->Answers().end()) return {};
    const RangeOfficer::Answer& answer = it->second;
    const QString order = QString(UiQString(kFirstOrderText + int(answer.order.order))).remove('&');
    if (!answer.answered) return order + QStringLiteral(": ") + UiQString(kWaitingText);
    if (answer.ok) return order + QStringLiteral(": ") + UiQString(kDoneText);
    if (answer.reason == QLatin1String(kRefusedNotStarted)) return order + QStringLiteral(": ") + UiQString(kNotStartedText);
    for (std::size_t i = 0; i < std::size(kReasons); ++i)
        if (answer.reason == QLatin1String(kReasons[i]))
            return order + QStringLiteral(": ") + PartOf(kReasonsText, int(i), answer.reason);
    return order + QStringLiteral(": ") + answer.reason;
}

void RangeWindow::Refresh() {
    if (!lanes_) return;
    std::set<QString> selected;
    for (const QTreeWidgetItem* item : lanes_->selectedItems()) selected.insert(item->text(kLane));
    lanes_->clear();
    ranking_->clear();
    if (!watcher_) return;
    const auto& lanes = watcher_->Lanes();
    for (const auto& [name, lane] : lanes) {
        auto* item = new QTreeWidgetItem(lanes_);
        item->setText(kLane, name);
        item->setText(kAnswer, AnswerText(name));
        if (!lane.online) {
            item->setText(kRuns, UiQString(kOfflineText));
            for (int c = 0; c < kLaneColumns; ++c) item->setForeground(c, lanes_->palette().brush(QPalette::Disabled, QPalette::Text));
        } else {
            item->setText(kShooter, lane.shooter);
            TargetPair pair;
            item->setText(kFace, faces_.FindQuietly(lane.face, pair) && pair.first ? UiQString(pair.first->NameId())
                                                                                  : lane.faceName);
            QString runs = PartOf(kRunNamesText, int(lane.run), QLatin1String(LaneRunName(lane.run)));
            if (lane.locked) runs += QStringLiteral(", ") + UiQString(kLockedText);
            item->setText(kRuns, runs);
            item->setText(kShots, lane.due > 0 ? QStringLiteral("%1/%2").arg(lane.fired).arg(lane.due)
                                               : QString::number(lane.fired));
            item->setText(kTotal, lane.total);
            item->setTextAlignment(kShots, Qt::AlignRight);
            item->setTextAlignment(kTotal, Qt::AlignRight);
        }
        item->setSelected(selected.count(name) > 0);
    }
    int rank = 0;
    for (const QString& name : RankLanes(lanes)) {
        const LaneState& lane = lanes.at(name);
        if (!lane.online || lane.total.isEmpty()) continue;
        auto* item = new QTreeWidgetItem(ranking_);
        item->setText(0, QString::number(++rank));
        item->setText(1, name);
        item->setText(2, lane.shooter);
        item->setText(3, lane.total);
        item->setTextAlignment(0, Qt::AlignRight);
        item->setTextAlignment(3, Qt::AlignRight);
    }
    // the ranking whole beside the lanes: its columns as wide as their texts
    int width = 2 * ranking_->frameWidth() + ranking_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < ranking_->columnCount(); ++c) {
        ranking_->resizeColumnToContents(c);
        width += ranking_->columnWidth(c);
    }
    ranking_->setMinimumWidth(width);
}

QStringList RangeWindow::Addressees() const {
    QStringList names;
    if (!watcher_ || !lanes_) return names;
    std::set<QString> selected;
    for (const QTreeWidgetItem* item : lanes_->selectedItems()) selected.insert(item->text(kLane));
    for (const auto& [name, lane] : watcher_->Lanes())
        if (lane.online && (all_->isChecked() || selected.count(name))) names << name;
    return names;
}

void RangeWindow::Send(LaneOrder order) {
    if (!officer_) return;
    CommandMessage command;
    command.order = order;
    if (order == LaneOrder::Face) command.face = faceBox_->currentData().toInt();
    if (order == LaneOrder::Match) command.programme = matchBox_->currentData().toInt();
    officer_->Send(command, Addressees());
    Refresh();
}

bool RangeWindow::OnWindowEvent(QEvent* event) { return CloseBoxHides(event, onClose); }

}  // namespace zark
