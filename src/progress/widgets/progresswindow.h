#pragma once

#include <QDateTime>
#include <QFutureWatcher>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "window/mdichildwindow.h"
#include "progress/progressfigures.h"
#include "progress/progressindex.h"
#include "targets/targetcatalogue.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QProgressBar;
class QTreeWidget;

namespace zark {

class MdiClient;

// What a scan on the worker thread hands back.
struct ProgressScan {
    ScanReport report;
    std::vector<ProgressRow> rows;
};

// The Progress window: the chosen figure of every series over time (a point per series, one
// colour per face, with the moving average of the last ten series of that face as a line), a
// face filter and a period, and below the chart the series themselves, newest first and sortable
// by any column. A double click on a series opens its file (onOpen). The index of the folder is
// brought up to date on a worker thread, with a progress bar, whenever Refresh is called.
class ProgressWindow final : public MdiChildWindow {
public:
    static constexpr Rect kDefaultRect{40, 30, 700, 470};
    enum Column { kDate, kFace, kShots, kTotal, kMean, kInTop, kInNext, kTrace, kRelease, kAiming, kSpread, kRadius, kLuck, kCallError, kShooter, kColumns };

    ProgressWindow();
    ~ProgressWindow() override;
    // Creates the window hidden at its stored place "Progress", else at the default place.
    int Create(MdiClient& client, const QIcon& icon = QIcon());
    // The folder whose series are shown (the data directory).
    void SetFolder(const QString& folder);
    const QString& Folder() const { return folder_; }
    // A line in place of the count below the table (until the rows are shown again): why a double
    // click did not open its series.
    void ShowNote(const QString& note);
    // Brings the index up to date on a worker thread and shows it; a refresh asked for while a
    // scan runs follows that scan.
    void Refresh();
    // True from Refresh until its rows are shown.
    bool Scanning() const;

    // A series was double-clicked: its file and its number in the file (1 for a series file).
    std::function<void(const QString& path, int series)> onOpen;
    std::function<void()> onClose;
    // The moment the periods count back from (tests set it; the clock by default).
    std::function<QDateTime()> now;

    const std::vector<ProgressRow>& Rows() const { return rows_; }
    const ScanReport& LastReport() const { return report_; }
    QChart* Chart() const { return chart_; }
    QTreeWidget* Table() const { return table_; }
    QComboBox* FigureBox() const { return figureBox_; }
    QComboBox* FaceBox() const { return faceBox_; }
    // Whose series: shown once the club's archive has series of other shooters.
    QComboBox* ShooterBox() const { return shooterBox_; }
    QComboBox* PeriodBox() const { return periodBox_; }
    QProgressBar* Bar() const { return bar_; }
    QLabel* Status() const { return status_; }

    bool OnWindowEvent(QEvent* event) override;
    // Chart and table side by side with room: 900 × 600, within the area.
    QSize FirstSize() const override { return {900, 600}; }

private:
    void Scanned();
    void FillFaces();
    void FillShooters();
    void ShowRows();
    void DrawChart(const std::vector<int>& chosen);
    void FillTable(const std::vector<int>& chosen);
    ProgressFilter Filter() const;
    QString FaceName(int faceId) const;

    TargetCatalogue catalogue_;
    QString folder_;
    std::vector<ProgressRow> rows_;
    ScanReport report_;
    QFutureWatcher<ProgressScan> watcher_;
    bool scanning_ = false;
    bool refreshAgain_ = false;
    QChart* chart_ = nullptr;
    QChartView* chartView_ = nullptr;
    QTreeWidget* table_ = nullptr;
    QComboBox* figureBox_ = nullptr;
    QComboBox* faceBox_ = nullptr;
    QComboBox* shooterBox_ = nullptr;
    QComboBox* periodBox_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace zark
