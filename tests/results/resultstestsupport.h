#pragma once

#include <QMdiSubWindow>
#include <QTest>
#include <QTreeWidget>
#include <tuple>
#include <vector>

#include "window/mdiclient.h"
#include "core/shootinghub.h"
#include "settings/settings.h"

namespace zark::test {

// A live hub with default settings and an area of child windows for the results windows.
struct HubAndArea {
    HubAndArea() {
        hub.SetSettings(&settings);
        host.resize(900, 700);
        client.Create(&host, QRect(0, 0, 900, 700));
    }
    Settings settings;
    ShootingHub hub;
    QWidget host;
    MdiClient client;
};

// Records the trace ranges the hub is told to show.
class RangeLog final : public HubView {
public:
    explicit RangeLog(HubView* hub) : HubView(hub) {}
    void OnTraceRange(int first, int last, int add) override { ranges.emplace_back(first, last, add); }
    std::vector<std::tuple<int, int, int>> ranges;
};

// A shot after a steady approach: points points of aim drifting toward (x, y), then the shot.
inline void FeedShot(HubView& hub, int x, int y, int points = 30) {
    for (int i = points; i > 0; --i) hub.FeedSample(x + i, y + 2 * i, 0, 0, -1);
    hub.FeedSample(x, y, 1, 0, -1);
}

// Clicks row of a list widget (Qt's own mouse events on its viewport).
inline void ClickRow(QTreeWidget& list, int row, Qt::KeyboardModifiers modifiers = {}) {
    const QRect r = list.visualItemRect(list.topLevelItem(row));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, r.center());
}

// The rows the widget shows selected.
inline std::vector<int> SelectedRows(QTreeWidget& list) {
    std::vector<int> rows;
    for (int row = 0; row < list.topLevelItemCount(); ++row)
        if (list.topLevelItem(row)->isSelected()) rows.push_back(row);
    return rows;
}

}  // namespace zark::test
