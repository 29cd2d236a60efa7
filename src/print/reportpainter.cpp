#include "print/reportpainter.h"

#include <QFont>
#include <QFontMetrics>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

#include "core/tracestore.h"
#include "i18n/uistrings.h"
#include "settings/settings.h"
#include "targets/render/facepainter.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

constexpr int kTextSize = 300;    // 3 mm
constexpr int kNumberSize = 400;  // 4 mm
constexpr int kTitleSize = 450;   // 4.5 mm
constexpr int kUiTextAverage = 126;
constexpr int kAnalysisGap = 300;  // 3 mm between the shot list and the hold figures

struct Column {
    int titleId;
    int curveBit;
};
// Page 2: absolute deviation and speed; page 3: horizontal and vertical deviation, each drawn
// with the curve its title names.
constexpr Column kPageColumns[2][2] = {{{121, 1}, {125, 8}}, {{122, 2}, {123, 4}}};

QString ShortDateTime(const QDateTime& when) {
    const QLocale locale = QLocale::system();
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t')).replace(QStringLiteral("  "), QStringLiteral(" "));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           when.time().toString(timeFormat.trimmed());
}

// Text turned a quarter to the left, so it reads from the bottom up; (x, y) is where the text's
// start and top meet, or its middle and top with centred.
void DrawTurned(QPainter& painter, int x, int y, const QString& text, bool centred) {
    painter.save();
    painter.translate(x, y);
    painter.rotate(-90);
    const QFontMetrics metrics(painter.font());
    const int start = centred ? -metrics.horizontalAdvance(text) / 2 : 0;
    painter.drawText(start, metrics.ascent(), text);
    painter.restore();
}

class ReportWriter {
public:
    ReportWriter(QPagedPaintDevice& device, const PrintRecord& record)
        : device_(device),
          layout_(ReportLayout::For(record, device.logicalDpiX(), device.logicalDpiY())),
          dpiX_(device.logicalDpiX()), dpiY_(device.logicalDpiY()) {}

    int Write(const std::vector<ReportJob>& jobs, const PageRange& range) {
        if (!painter_.begin(&device_)) return -1;
        painter_.setRenderHint(QPainter::Antialiasing);
        const int copies = std::max(range.copies, 1);
        for (int copy = 0; copy < copies; ++copy) {
            for (const ReportJob& job : jobs) {
                if (!job.views) continue;
                series_ = &job.series;
                views_ = job.views;
                side_ = 0;
                if (!WriteSeries(range)) return Fail();
            }
        }
        painter_.end();
        return pages_;
    }

private:
    bool WriteSeries(const PageRange& range) {
        {
            if (range.from <= 1 && range.to >= 1) {
                // Page 1 once per face the series was shot at, the first face without shots.
                const bool second = ShotAt(1);
                if ((ShotAt(0) || !second) && !Page1(0)) return false;
                if (second && !Page1(1)) return false;
            }
            for (int page = 2; page <= 3; ++page)
                if (range.from <= page && range.to >= page && !DiagramPage(page)) return false;
        }
        return true;
    }

    bool StartPage() {
        if (pages_ > 0 && !device_.newPage()) return false;
        ++pages_;
        return true;
    }
    int Fail() {
        painter_.end();
        return -1;
    }

    // A shot of the series was fired at this side's face (the second side only where it has a
    // face of its own).
    bool ShotAt(int side) const {
        const TraceStore* store = series_->store;
        if (!store || (side == 1 && (!series_->faceB || series_->faceB == series_->faceA))) return false;
        for (int i = 0; i < store->ShotCount(); ++i)
            if ((store->Shot(i).side == 1) == (side == 1)) return true;
        return false;
    }

    const TargetDescriptor* Face() const { return side_ == 1 && series_->faceB ? series_->faceB : series_->faceA; }

    void Header() {
        const QRect band = layout_.header;
        painter_.save();
        painter_.translate(band.topLeft());
        painter_.setPen(QPen(Qt::black, 0));
        painter_.setFont(ReportFont(kTitleSize, dpiY_, true));
        const QFontMetrics title(painter_.font());
        if (const TargetDescriptor* face = Face()) painter_.drawText(0, title.ascent(), UiQString(face->NameId()));
        const QDateTime when = series_->stamp.isValid() ? series_->stamp : QDateTime::currentDateTime();
        const QString date = ShortDateTime(when);
        const int h = title.height();
        painter_.drawText(band.width() - title.horizontalAdvance(date), title.ascent(), date);
        painter_.setFont(ReportFont(kTextSize, dpiY_, false));
        const QFontMetrics text(painter_.font());
        painter_.drawText(0, h * 12 / 10 + text.ascent(), series_->title);
        if (!series_->part.isEmpty())  // a match's series: which one, and the match total
            painter_.drawText(band.width() - text.horizontalAdvance(series_->part), h * 12 / 10 + text.ascent(),
                              series_->part);
        painter_.setPen(QPen(Qt::black, HundredthsToPixels(25, dpiY_)));
        painter_.drawLine(0, h * 12 / 10 + h, band.width(), h * 12 / 10 + h);
        painter_.restore();
    }

    bool Page1(int side) {
        if (!StartPage()) return false;
        side_ = side;
        views_->SelectSide(side);
        Header();
        painter_.save();
        views_->DrawFace(painter_, layout_.face);
        painter_.restore();
        painter_.save();
        painter_.setFont(ReportFont(kTextSize, dpiY_, false));
        const int listBottom = views_->DrawShotList(painter_, layout_.shotList);
        painter_.restore();
        // The hold figures below the list, in what is left of the body.
        const QRect rest(QPoint(layout_.body.left(), listBottom + HundredthsToPixels(kAnalysisGap, dpiY_)),
                         layout_.body.bottomRight());
        if (rest.height() > 0) {
            painter_.save();
            views_->DrawAnalysis(painter_, rest);
            painter_.restore();
        }
        return true;
    }

    bool DiagramPage(int page) {
        if (!StartPage()) return false;
        Header();
        const TraceStore* store = series_->store;
        const int shots = store ? store->ShotCount() : 0;
        for (int c = 0; c < 2; ++c) {
            const Column column = kPageColumns[page - 2][c];
            const QRect area = layout_.columns[c];
            const DiagramRows rows = DiagramRows::For(shots, area.height(), dpiY_);
            const QRect first(area.left() + layout_.gutter, area.top(), area.width() - layout_.gutter, rows.plotHeight);
            painter_.setFont(ReportFont(kNumberSize, dpiY_, false));
            long long sum = 0;
            // The last shot at the top, the first at the bottom.
            for (int k = 0; k < rows.count; ++k) {
                const int shot = shots - 1 - k;
                const QRect row = first.translated(0, k * rows.pitch);
                const TraceStore::Window window = store->ShotStretch(shot, series_->settings);
                painter_.save();
                sum += window.ok ? views_->DrawDiagram(painter_, row, column.curveBit, window.first, window.last)
                                 : views_->DrawDiagram(painter_, row, column.curveBit, 0, 0);
                painter_.restore();
                painter_.setPen(QPen(Qt::black, 0));
                DrawTurned(painter_, row.right() + 1, row.top() + row.height() / 2, QString::number(shot + 1), true);
            }
            // Without shots there are no rows and no average: the column shows its title alone.
            QString title = UiQString(column.titleId);
            if (rows.count > 0)
                title = QStringLiteral("%1 (%2 %3)").arg(title, UiQString(kUiTextAverage)).arg(sum / rows.count);
            painter_.setPen(QPen(Qt::black, 0));
            DrawTurned(painter_, area.left(), area.bottom() + 1, title, false);
            painter_.setFont(ReportFont(kTextSize, dpiY_, false));
            const int lastRowTop = area.top() + (rows.count > 0 ? (rows.count - 1) * rows.pitch : 0);
            DrawTurned(painter_, area.right() + 1, area.bottom() + 1, TimeBeforeLabel(ReplayTimeBeforeOf(series_->settings)), false);
            DrawTurned(painter_, area.right() + 1, lastRowTop, TimeAfterLabel(ReplayTimeAfterOf(series_->settings)), true);
        }
        return true;
    }

    QPagedPaintDevice& device_;
    const ReportSeries* series_ = nullptr;
    ReportViews* views_ = nullptr;
    ReportLayout layout_;
    QPainter painter_;
    int dpiX_;
    int dpiY_;
    int pages_ = 0;
    int side_ = 0;
};

}  // namespace

QFont ReportFont(int hundredths, int dpi, bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(HundredthsToPixels(hundredths, dpi), 1));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

int PaintReport(QPagedPaintDevice& device, const PrintRecord& record, const ReportSeries& series, ReportViews& views,
                const PageRange& range) {
    return PaintReports(device, record, {ReportJob{series, &views}}, range);
}

int PaintReports(QPagedPaintDevice& device, const PrintRecord& record, const std::vector<ReportJob>& jobs,
                 const PageRange& range) {
    LoadUiStrings();
    ReportWriter writer(device, record);
    return writer.Write(jobs, range);
}

}  // namespace zark

#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>

namespace zark {

bool ExportReportPdf(const QString& path, const PrintRecord& record, const ReportSeries& series, ReportViews& views,
                     const PageRange& range, QString* error) {
    return ExportReportPdf(path, record, {ReportJob{series, &views}}, range, error);
}

bool ExportReportPdf(const QString& path, const PrintRecord& record, const std::vector<ReportJob>& jobs,
                     const PageRange& range, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error) *error = file.errorString();
        return false;
    }
    QPdfWriter writer(&file);
    writer.setResolution(600);
    writer.setCreator(QStringLiteral("ZARK"));
    writer.setTitle(QStringLiteral("ZARK"));
    const QPageSize paper(QSizeF(record.paperWidth / 100.0, record.paperHeight / 100.0), QPageSize::Millimeter,
                          QString(), QPageSize::ExactMatch);
    writer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter));
    const int pages = PaintReports(writer, record, jobs, range);
    if (pages < 0 || file.error() != QFileDevice::NoError) {
        if (error) *error = file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("page failed");
        return false;
    }
    return true;
}

}  // namespace zark
