#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "range/rangemessages.h"
#include "window/mdichildwindow.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace zark {

class LaneWatcher;
class MatchCatalogue;
class RangeOfficer;
class TargetCatalogue;

// The range officer's window (View > Range...): every lane of the range (online, shooter, face,
// what runs, shots, total and the answer to the last order) and the ranking by total. Orders go to
// every online lane or to the chosen ones: a face, sighters, a series, a match, a timed series,
// lock and unlock. The lanes' states come from the watcher, the orders go through the officer.
class RangeWindow final : public MdiChildWindow {
public:
    static constexpr Rect kDefaultRect{60, 40, 780, 420};
    enum LaneColumn { kLane, kShooter, kFace, kRuns, kShots, kTotal, kAnswer, kLaneColumns };

    RangeWindow(const TargetCatalogue& faces, const MatchCatalogue& matches);
    ~RangeWindow() override;
    int Create(MdiClient& client, const QIcon& icon, const QString& range);
    // What it shows and whom it orders; both outlive the window or are detached (null) first.
    void Attach(LaneWatcher* lanes, RangeOfficer* officer);
    // The lanes, answers and ranking as they are now.
    void Refresh();
    // The line below the lanes (the archive, a broker that cannot be reached).
    void SetStatus(const QString& text);

    QTreeWidget* Lanes() const { return lanes_; }
    QTreeWidget* Ranking() const { return ranking_; }
    QComboBox* FaceBox() const { return faceBox_; }
    QComboBox* MatchBox() const { return matchBox_; }
    QRadioButton* AllLanes() const { return all_; }
    QRadioButton* ChosenLanes() const { return chosen_; }
    QPushButton* Button(LaneOrder order) const;
    QLabel* Status() const { return status_; }
    // The lanes the next order goes to.
    QStringList Addressees() const;

    std::function<void()> onClose;

    bool OnWindowEvent(QEvent* event) override;
    QSize FirstSize() const override { return {820, 440}; }

private:
    void Send(LaneOrder order);
    QString AnswerText(const QString& lane) const;

    const TargetCatalogue& faces_;
    const MatchCatalogue& matches_;
    LaneWatcher* watcher_ = nullptr;
    RangeOfficer* officer_ = nullptr;
    QTreeWidget* lanes_ = nullptr;
    QTreeWidget* ranking_ = nullptr;
    QComboBox* faceBox_ = nullptr;
    QComboBox* matchBox_ = nullptr;
    QRadioButton* all_ = nullptr;
    QRadioButton* chosen_ = nullptr;
    QPushButton* buttons_[7] = {};
    QLabel* status_ = nullptr;
};

}  // namespace zark
