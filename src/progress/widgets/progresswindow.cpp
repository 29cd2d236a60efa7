#include "progress/widgets/progresswindow.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QProgressBar>
#include <QPromise>
#include <QScatterSeries>
#include <QSplitter>
#include <QTreeWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>

#include "window/dialogunits.h"
#include "i18n/uistrings.h"
#include "results/widgets/childframe.h"
#include "targets/scoretext.h"

namespace zark {
namespace {

constexpr int kCaptionText = 441;
constexpr int kMeanScoreText = 442;
constexpr int kInTopText = 443;
constexpr int kInNextText = 444;
constexpr int kSpreadText = 445;
constexpr int kRadiusText = 446;
constexpr int kAllFacesText = 447;
constexpr int kAllShootersText = 685;
constexpr int kOwnSeriesText = 688;
constexpr int kFirstPeriodText = 448;  // the four periods follow each other
constexpr int kDateText = 452;
constexpr int kFaceText = 453;
constexpr int kShotsText = 454;
constexpr int kTotalText = 455;
constexpr int kMeanText = 456;
constexpr int kSeriesCountText = 457;
constexpr int kSkippedText = 458;
constexpr int kOneSkippedText = 620;
constexpr int kIndexFailedText = 477;  // "The list of saved series could not be brought up to date: %s"
constexpr int kReadingText = 459;
constexpr int kOpenHint = 460;
constexpr int kAverageText = 461;
// the analysis window's column titles
constexpr int kTraceText = 404;
constexpr int kReleaseText = 405;
constexpr int kAimingText = 406;
constexpr int kLuckText = 561;
constexpr int kCallErrorText = 565;
constexpr int kShooterText = 603;  // as the range windows name the column

constexpr int kRowRole = Qt::UserRole;       // column 0: the row's index in Rows()
constexpr int kSortRole = Qt::UserRole + 1;  // every column: the value it sorts by

// Distinct colours for the faces, in the order they first appear in the index.
const QColor kFaceColours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28), QColor(0x2c, 0xa0, 0x2c),
                               QColor(0xff, 0x7f, 0x0e), QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                               QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf)};

// Sorts by the value behind a cell, not by its text; an empty cell comes before every value.
class SeriesItem final : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant a = data(column, kSortRole);
        const QVariant b = other.data(column, kSortRole);
        if (a.isNull() || b.isNull()) {
            if (a.isNull() != b.isNull()) return a.isNull();
        } else if (a != b) {
            return QVariant::compare(a, b) == QPartialOrdering::Less;
        }
        return data(0, kRowRole).toInt() < other.data(0, kRowRole).toInt();  // then as the index orders them
    }
};

QString Number(double value, int decimals) { return UiLocale().toString(value, 'f', decimals); }

void RunScan(QPromise<ProgressScan>& promise, const QString& folder, const TargetCatalogue* catalogue) {
    ProgressIndex index(folder, *catalogue);
    ProgressScan scan;
    scan.report = index.Scan([&promise](int done, int total) {
        promise.setProgressRange(0, total);
        promise.setProgressValue(done);
        return !promise.isCanceled();
    });
    scan.rows = index.Rows();
    promise.addResult(std::move(scan));
}

// The chart's time axis shows local times: a series' date (a reading of the clock) stands at the
// moment this machine's clock reads the same (one the clock skips when it is put forward, an hour
// later).
QDateTime OnTheAxis(const QDateTime& date) {
    const QDateTime local(date.date(), date.time());
    if (local.isValid()) return local;
    const QDateTime later = date.addSecs(3600);
    return QDateTime(later.date(), later.time());
}

}  // namespace

ProgressWindow::ProgressWindow() { catalogue_.Build(); }

ProgressWindow::~ProgressWindow() {
    QObject::disconnect(&watcher_, nullptr, nullptr, nullptr);
    if (watcher_.isRunning()) {
        watcher_.cancel();  // the scan stops at the next file and writes nothing
        watcher_.waitForFinished();
    }
}

int ProgressWindow::Create(MdiClient& client, const QIcon& icon) {
    LoadUiStrings();
    if (!CreatePlaced(UiQString(kCaptionText), kResultsChildStyle, "Progress", kDefaultRect, client, icon)) return 0;
    Window()->setMinimumSize(360, 300);
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    auto* controls = new QHBoxLayout;
    figureBox_ = new QComboBox(content);
    figureBox_->setObjectName(QStringLiteral("progressFigure"));
    for (int id : {kMeanScoreText, kInTopText, kTraceText, kAimingText, kRadiusText, kLuckText, kCallErrorText})
        figureBox_->addItem(UiQString(id));
    faceBox_ = new QComboBox(content);
    faceBox_->setObjectName(QStringLiteral("progressFace"));
    faceBox_->addItem(UiQString(kAllFacesText), 0);
    faceBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);  // the faces' names whole
    shooterBox_ = new QComboBox(content);
    shooterBox_->setObjectName(QStringLiteral("progressShooter"));
    shooterBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    shooterBox_->addItem(UiQString(kAllShootersText));
    shooterBox_->addItem(UiQString(kOwnSeriesText), QString(""));
    shooterBox_->hide();  // until the archive holds another shooter's series
    periodBox_ = new QComboBox(content);
    periodBox_->setObjectName(QStringLiteral("progressPeriod"));
    for (int p = 0; p < kProgressPeriodCount; ++p) periodBox_->addItem(UiQString(kFirstPeriodText + p));
    periodBox_->setCurrentIndex(int(ProgressPeriod::All));
    bar_ = new QProgressBar(content);
    bar_->setObjectName(QStringLiteral("progressBar"));
    bar_->setFormat(UiQString(kReadingText) + QStringLiteral(" %p%"));
    bar_->hide();
    controls->addWidget(figureBox_);
    controls->addWidget(faceBox_);
    controls->addWidget(shooterBox_);
    controls->addWidget(periodBox_);
    controls->addWidget(bar_, 1);
    controls->addStretch();
    layout->addLayout(controls);

    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    chartView_ = new QChartView(chart_);
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setObjectName(QStringLiteral("progressChart"));
    chartView_->setToolTip(UiQString(kAverageText));

    table_ = new QTreeWidget;
    table_->setObjectName(QStringLiteral("progressTable"));
    table_->setFont(DialogUnits::DialogFont());
    table_->setColumnCount(kColumns);
    table_->setHeaderLabels({UiQString(kDateText), UiQString(kFaceText), UiQString(kShotsText), UiQString(kTotalText),
                             UiQString(kMeanText), UiQString(kInTopText), UiQString(kInNextText), UiQString(kTraceText),
                             UiQString(kReleaseText), UiQString(kAimingText), UiQString(kSpreadText),
                             UiQString(kRadiusText), UiQString(kLuckText), UiQString(kCallErrorText),
                             UiQString(kShooterText)});
    table_->setColumnHidden(kShooter, true);  // until the archive holds another shooter's series
    table_->setRootIsDecorated(false);
    table_->setUniformRowHeights(true);
    table_->setAllColumnsShowFocus(true);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setSortingEnabled(true);
    table_->sortByColumn(kDate, Qt::DescendingOrder);
    table_->setToolTip(UiQString(kOpenHint));
    table_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* splitter = new QSplitter(Qt::Vertical, content);
    splitter->addWidget(chartView_);
    splitter->addWidget(table_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);
    chartView_->setMinimumHeight(160);
    table_->setMinimumHeight(80);
    splitter->setSizes({300, 200});
    layout->addWidget(splitter, 1);
    status_ = new QLabel(content);
    status_->setObjectName(QStringLiteral("progressStatus"));
    layout->addWidget(status_);
    SetContent(content);

    const auto changed = [this] { ShowRows(); };
    for (QComboBox* box : {figureBox_, faceBox_, shooterBox_, periodBox_})
        QObject::connect(box, &QComboBox::currentIndexChanged, content, changed);
    QObject::connect(table_, &QTreeWidget::itemDoubleClicked, content, [this](QTreeWidgetItem* item) {
        const int row = item ? item->data(0, kRowRole).toInt() : -1;
        if (row < 0 || row >= int(rows_.size()) || !onOpen) return;
        const ProgressRow& chosen = rows_[std::size_t(row)];
        onOpen(QDir(folder_).filePath(chosen.file), chosen.series);
    });
    QObject::connect(&watcher_, &QFutureWatcher<ProgressScan>::progressRangeChanged, bar_, &QProgressBar::setRange);
    QObject::connect(&watcher_, &QFutureWatcher<ProgressScan>::progressValueChanged, bar_, &QProgressBar::setValue);
    QObject::connect(&watcher_, &QFutureWatcher<ProgressScan>::finished, content, [this] { Scanned(); });
    return 1;
}

void ProgressWindow::SetFolder(const QString& folder) { folder_ = folder; }

bool ProgressWindow::Scanning() const { return scanning_; }

void ProgressWindow::Refresh() {
    if (!table_ || folder_.isEmpty()) return;
    if (scanning_) {
        refreshAgain_ = true;
        return;
    }
    scanning_ = true;
    refreshAgain_ = false;
    bar_->setRange(0, 0);
    bar_->show();
    watcher_.setFuture(QtConcurrent::run(&RunScan, folder_, &catalogue_));
}

void ProgressWindow::Scanned() {
    if (!watcher_.future().isCanceled() && watcher_.future().resultCount() > 0) {
        ProgressScan scan = watcher_.result();
        report_ = std::move(scan.report);
        rows_ = std::move(scan.rows);
        FillFaces();
        FillShooters();
        ShowRows();
    }
    bar_->hide();
    scanning_ = false;
    if (refreshAgain_) Refresh();
}

void ProgressWindow::FillFaces() {
    const int chosen = faceBox_->currentData().toInt();
    const QSignalBlocker block(faceBox_);
    while (faceBox_->count() > 1) faceBox_->removeItem(1);
    for (int face : FacesOf(rows_)) faceBox_->addItem(FaceName(face), face);
    faceBox_->setCurrentIndex(std::max(0, faceBox_->findData(chosen)));
}

void ProgressWindow::FillShooters() {
    const QVariant chosen = shooterBox_->currentData();
    const QSignalBlocker block(shooterBox_);
    while (shooterBox_->count() > 2) shooterBox_->removeItem(2);
    const std::vector<QString> shooters = ShootersOf(rows_);
    for (const QString& shooter : shooters) shooterBox_->addItem(shooter, shooter);
    shooterBox_->setCurrentIndex(chosen.isValid() ? std::max(0, shooterBox_->findData(chosen)) : 0);
    shooterBox_->setVisible(!shooters.empty());
    table_->setColumnHidden(kShooter, shooters.empty());
}

QString ProgressWindow::FaceName(int faceId) const {
    TargetPair pair;
    if (!catalogue_.FindQuietly(faceId, pair)) return QString::number(faceId);
    return UiQString(pair.first->NameId());
}

ProgressFilter ProgressWindow::Filter() const {
    ProgressFilter filter;
    filter.faceId = faceBox_->currentData().toInt();
    filter.period = ProgressPeriod(std::clamp(periodBox_->currentIndex(), 0, kProgressPeriodCount - 1));
    if (const QVariant shooter = shooterBox_->currentData(); shooter.isValid()) filter.shooter = shooter.toString();
    return filter;
}

void ProgressWindow::ShowNote(const QString& note) {
    if (status_) status_->setText(note);
}

void ProgressWindow::ShowRows() {
    const QDateTime moment = now ? now() : QDateTime::currentDateTime();
    const std::vector<int> chosen = FilterRows(rows_, Filter(), moment);
    DrawChart(chosen);
    FillTable(chosen);
    LoadUiStrings();
    QString status = report_.skipped.empty()
                         ? QString::asprintf(UiText(kSeriesCountText).c_str(), int(chosen.size()))
                     : report_.skipped.size() == 1
                         ? QString::asprintf(UiText(kOneSkippedText).c_str(), int(chosen.size()))
                         : QString::asprintf(UiText(kSkippedText).c_str(), int(chosen.size()), int(report_.skipped.size()));
    if (report_.writeFailed)
        status = QString::asprintf(UiText(kIndexFailedText).c_str(), report_.error.toUtf8().constData()) + QLatin1Char('\n') + status;
    status_->setText(status);
    QStringList skipped;
    for (const SkippedFile& file : report_.skipped) skipped << file.file;
    status_->setToolTip(skipped.join(QLatin1Char('\n')));
}

void ProgressWindow::DrawChart(const std::vector<int>& chosen) {
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    const auto figure = ProgressFigure(std::clamp(figureBox_->currentIndex(), 0, kProgressFigureCount - 1));
    auto* time = new QDateTimeAxis;
    time->setFormat(UiLocale().dateFormat(QLocale::ShortFormat));
    time->setTickCount(6);
    auto* values = new QValueAxis;
    values->setTitleText(figureBox_->currentText());
    chart_->addAxis(time, Qt::AlignBottom);
    chart_->addAxis(values, Qt::AlignLeft);
    const std::vector<int> faces = FacesOf(rows_);
    QDateTime first, last;
    double low = 0, high = 0;
    bool any = false;
    for (std::size_t f = 0; f < faces.size(); ++f) {
        const std::vector<ProgressPoint> points = ChartPoints(rows_, chosen, faces[f], figure);
        if (points.empty()) continue;
        const QColor colour = kFaceColours[f % std::size(kFaceColours)];
        auto* dots = new QScatterSeries;
        dots->setName(FaceName(faces[f]));
        dots->setColor(colour);
        dots->setBorderColor(colour.darker(130));
        dots->setMarkerSize(7);
        // the line of averages, one piece per stretch without a long pause
        std::vector<QLineSeries*> averages;
        for (const ProgressPoint& p : points) {
            if (averages.empty() || p.breakBefore) {
                auto* average = new QLineSeries;
                average->setName(UiQString(kAverageText));
                average->setPen(QPen(colour, 2));
                averages.push_back(average);
            }
            const QDateTime at = OnTheAxis(p.date);
            const double x = double(at.toMSecsSinceEpoch());
            dots->append(x, p.value);
            averages.back()->append(x, p.average);
            if (!any || at < first) first = at;
            if (!any || at > last) last = at;
            low = any ? std::min(low, p.value) : p.value;
            high = any ? std::max(high, p.value) : p.value;
            any = true;
        }
        std::vector<QXYSeries*> series(averages.begin(), averages.end());
        series.push_back(dots);
        for (QXYSeries* one : series) {
            chart_->addSeries(one);
            one->attachAxis(time);
            one->attachAxis(values);
        }
        // the legend names the faces; the lines are explained by the chart's tooltip
        for (QLineSeries* average : averages)
            for (QLegendMarker* marker : chart_->legend()->markers(average)) marker->setVisible(false);
    }
    if (!any) {
        const QDateTime moment = now ? now() : QDateTime::currentDateTime();
        first = moment.addDays(-1);
        last = moment;
    } else {
        // a little room either side, so the first and last dots are whole
        const qint64 room = std::max<qint64>(3600, first.secsTo(last) / 50);
        first = first.addSecs(-room);
        last = last.addSecs(room);
    }
    time->setRange(first, last);
    const double margin = std::max(0.05 * (high - low), high == low ? std::max(1.0, std::abs(high) * 0.05) : 0.0);
    values->setRange(low >= 0 ? std::max(0.0, low - margin) : low - margin, high + margin);  // luck goes below 0
    values->applyNiceNumbers();
}

void ProgressWindow::FillTable(const std::vector<int>& chosen) {
    table_->setSortingEnabled(false);
    table_->clear();
    QList<QTreeWidgetItem*> items;
    for (int i : chosen) {
        const ProgressRow& row = rows_[std::size_t(i)];
        auto* item = new SeriesItem;
        item->setData(0, kRowRole, i);
        const auto cell = [item](int column, const QString& text, const QVariant& sortBy) {
            item->setText(column, text);
            item->setData(column, kSortRole, sortBy);
            if (column != kDate && column != kFace) item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        };
        const auto figure = [&cell](int column, bool present, double value, int decimals) {
            cell(column, present ? Number(value, decimals) : QString(), present ? QVariant(value) : QVariant());
        };
        cell(kDate, row.date.isValid() ? UiLocale().toString(row.date, QLocale::ShortFormat) : QString(),
             row.date.isValid() ? QVariant(row.date) : QVariant());
        cell(kFace, FaceName(row.faceId), FaceName(row.faceId));
        cell(kShots, QString::number(row.shots), row.shots);
        TargetPair pair;
        const bool known = catalogue_.FindQuietly(row.faceId, pair) != 0;
        cell(kTotal, known ? QString::fromStdString(TotalText(*pair.first, row.total)).trimmed() : Number(row.total, 1),
             row.total);
        const std::optional<double> mean = row.Mean();
        figure(kMean, mean.has_value(), mean.value_or(0), 2);
        figure(kInTop, row.hasHold, row.inTopPct, 1);
        figure(kInNext, row.hasHold, row.inNextPct, 1);
        figure(kTrace, row.hasHold, row.traceMm, 1);
        figure(kRelease, row.hasHold, row.releaseMm, 1);
        figure(kAiming, row.hasHold, row.aimingSeconds, 1);
        figure(kSpread, row.hasGroup, row.extremeSpreadMm, 1);
        figure(kLuck, row.hasLuck, row.luck, 1);
        figure(kCallError, row.hasCalls, row.callErrorMm, 1);
        figure(kRadius, row.hasGroup, row.meanRadiusMm, 1);
        const QString shooter = ShooterOf(row.file);
        cell(kShooter, shooter, shooter);
        item->setTextAlignment(kShooter, Qt::AlignLeft | Qt::AlignVCenter);
        item->setToolTip(kDate, row.file);
        item->setToolTip(kFace, row.file);
        items << item;
    }
    table_->addTopLevelItems(items);
    table_->setSortingEnabled(true);
}

// The close box hides the window; View > Progress... shows it again.
bool ProgressWindow::OnWindowEvent(QEvent* event) { return CloseBoxHides(event, onClose); }

}  // namespace zark
