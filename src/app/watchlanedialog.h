#pragma once

#include <QString>

#include "window/modaldialog.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace zark {

class LaneWatcher;
class RangeClient;

// File > Watch Lane...: the lanes of the range as their retained states tell them (lane, shooter,
// target, shots fired and due, online or offline), kept up to date while the dialog is open.
// "Watch" ends it with kDialogOk and the chosen lane, "Stop Watching" with kStopWatching.
class WatchLaneDialog final : public ModalDialog {
    Q_OBJECT

public:
    static constexpr int kStopWatching = 2003;

    WatchLaneDialog(QWidget* owner, LaneWatcher& watcher, RangeClient& client, const QString& range,
                    const QString& broker, const QString& watched);

    const QString& Chosen() const { return chosen_; }
    QTreeWidget* List() const { return list_; }
    QPushButton* WatchButton() const { return watch_; }
    QPushButton* StopButton() const { return stop_; }
    QLabel* Status() const { return status_; }

private:
    void Fill();
    void UpdateStatus();

    LaneWatcher& watcher_;
    RangeClient& client_;
    QString range_;
    QString broker_;
    QString watched_;
    QString chosen_;
    QTreeWidget* list_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* watch_ = nullptr;
    QPushButton* stop_ = nullptr;
};

}  // namespace zark
