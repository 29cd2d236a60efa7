#include "results/widgets/scoreboard.h"

#include <QEvent>
#include <algorithm>
#include <QResizeEvent>
#include <QMdiSubWindow>

#include "i18n/uistrings.h"
#include "results/widgets/childframe.h"
#include "results/widgets/shotlistwidget.h"

namespace zark {
namespace {

constexpr int kShootingText = 142;
constexpr int kSightersText = 143;

}  // namespace

Scoreboard::Scoreboard() = default;

Scoreboard::~Scoreboard() {
    // The widgets go before the lists they show; the lists then leave the hub.
    delete seriesWidget_.data();
    delete sightersWidget_.data();
}

Rect Scoreboard::DefaultRect() {
    const int height = ChildFrameExtra() + kClientHeight;
    return Rect{kDefaultLeft, 0, kDefaultLeft + kDefaultWidth, height};
}

int Scoreboard::Create(MdiClient& client, HubView& hub, const QIcon& icon) {
    LoadUiStrings();
    if (!CreatePlaced(QString(), kResultsChildStyle, "Scoreboard", DefaultRect(), client, icon)) return 0;
    Window()->setMinimumSize(kMinWidth, ChildFrameExtra() + kClientHeight);
    auto* content = new ResizingArea;
    content->setAutoFillBackground(true);
    content->setBackgroundRole(QPalette::Base);
    SetContent(content);
    series_ = std::make_unique<ShotList>(&hub);
    sighters_ = std::make_unique<ShotList>(&hub);
    seriesWidget_ = new ShotListWidget(*series_, true, content);
    seriesWidget_->setObjectName(QStringLiteral("list%1").arg(kSeriesListId));
    sightersWidget_ = new ShotListWidget(*sighters_, false, content);
    sightersWidget_->setObjectName(QStringLiteral("list%1").arg(kSightersListId));

    seriesWidget_->onClick = [this](int) {
        if (ShowSeriesSelection(*series_) && onTraceShown) onTraceShown();
    };
    seriesWidget_->onDoubleClick = [this](int) {
        if (onReplay) onReplay();
    };
    sightersWidget_->onClick = [this](int row) { ShowSightersSelection(*sighters_, row); };

    content->onResize = [this] { LayOutLists(); };
    SetSeriesMode();
    LayOutLists();
    return 1;
}

ShotListWidget* Scoreboard::CurrentWidget() const { return sightersShown_ ? sightersWidget_ : seriesWidget_; }

void Scoreboard::SetSeriesMode() { ShowList(false); }

void Scoreboard::SetSightersMode() { ShowList(true); }

void Scoreboard::ShowList(bool sighters) {
    if (!seriesWidget_ || !sightersWidget_) return;
    SetTitle(UiQString(sighters ? kSightersText : kShootingText));
    ShotListWidget* shown = sighters ? sightersWidget_.data() : seriesWidget_.data();
    (sighters ? seriesWidget_ : sightersWidget_)->hide();
    shown->show();
    Content()->setFocusProxy(shown);  // the window's focus goes to the list shown
    seriesShown_ = !sighters;
    sightersShown_ = sighters;
}

QSize Scoreboard::FirstSize() const {
    if (!seriesWidget_) return {};
    const int rows = std::max(seriesWidget_->WidestRowWidth(), sightersWidget_->WidestRowWidth());
    const QSize outer = ChildOuterSize(QSize(rows + 2 * seriesWidget_->frameWidth(), kClientHeight));
    return {std::max(kDefaultWidth, outer.width()), outer.height()};
}

void Scoreboard::SetCaption(const std::string& text) { SetTitle(QString::fromStdString(text)); }

void Scoreboard::LayOutLists() {
    if (!seriesWidget_ || !Content()) return;
    const QRect area = Content()->rect();
    // Both lists, the hidden one too; each keeps its columns in proportion to its width.
    seriesWidget_->setGeometry(area);
    sightersWidget_->setGeometry(area);
}

}  // namespace zark
