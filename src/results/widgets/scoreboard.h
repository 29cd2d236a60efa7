#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "window/mdichildwindow.h"
#include "results/shotlist.h"
#include "results/widgets/shotlistwidget.h"

namespace zark {

class HubView;
class MdiClient;
class ShotListWidget;

// The scoreboard beside the target: the shot list of the series being shot and, in its place
// while sighters are shot, the sighters' list. A click on the series list shows the trace of the
// last selected shot (the total row: the whole series); the sighters' rows toggle, and the trace of
// every selected sighter is shown together. Both lists follow the hub whether shown or not.
class Scoreboard final : public MdiChildWindow {
public:
    static constexpr int kSeriesListId = 2003;
    static constexpr int kSightersListId = 2004;
    static constexpr int kClientHeight = 204;
    static constexpr int kDefaultLeft = 462;
    static constexpr int kDefaultWidth = 170;
    static constexpr int kMinWidth = 120;

    Scoreboard();
    ~Scoreboard() override;

    // Creates the window (at its stored place "Scoreboard", else right of the target window's
    // first place) with both lists, which join hub in this order: series, then sighters.
    int Create(MdiClient& client, HubView& hub, const QIcon& icon = QIcon());

    void SetSeriesMode();    // caption "Shooting", the series list shown
    void SetSightersMode();  // caption "Sighters", the sighters' list shown
    void SetCaption(const std::string& text);
    // At least the default width, and as wide as the titles and the widest cells of a series need
    // (a timed series' "0 late"), so that its first size shows every text whole.
    QSize FirstSize() const override;
    bool SeriesShown() const { return seriesShown_; }
    bool SightersShown() const { return sightersShown_; }

    ShotList* SeriesList() const { return series_.get(); }
    ShotList* SightersList() const { return sighters_.get(); }
    ShotListWidget* SeriesWidget() const { return seriesWidget_; }
    ShotListWidget* SightersWidget() const { return sightersWidget_; }
    ShotListWidget* CurrentWidget() const;

    // A series row click showed a trace range (the toolbar shows its replay buttons released);
    // a double click asks for the replay.
    std::function<void()> onTraceShown;
    std::function<void()> onReplay;

    // The default rectangle: right of the target window's first place, a client area 204 high.
    static Rect DefaultRect();

private:
    void LayOutLists();
    void ShowList(bool sighters);

    std::unique_ptr<ShotList> series_;
    std::unique_ptr<ShotList> sighters_;
    QPointer<ShotListWidget> seriesWidget_;
    QPointer<ShotListWidget> sightersWidget_;
    bool seriesShown_ = false;
    bool sightersShown_ = false;
};

}  // namespace zark
