#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

#include "print/printrecord.h"

class QPagedPaintDevice;
class QPainter;
class QRect;

namespace zark {

class TraceStore;
struct Settings;
struct TargetDescriptor;

// The views the report is drawn with: a drawing view, a shot list and a diagram on a hub of the
// report's own, loaded with a copy of the series, so the live views are never touched.
class ReportViews {
public:
    virtual ~ReportViews() = default;
    // The face the next page shows (0 first, 1 second face of a hunting target).
    virtual void SelectSide(int side) = 0;
    // The face at 1:1 with every shot mark, filling rect.
    virtual void DrawFace(QPainter& painter, const QRect& rect) = 0;
    // The shot list's rows and total; returns the bottom of what it drew.
    virtual int DrawShotList(QPainter& painter, const QRect& rect) = 0;
    // The hold figures of the shots and the group below the shot list, when they fit into rect;
    // returns the bottom of what was drawn (rect's top when nothing was).
    virtual int DrawAnalysis(QPainter& /*painter*/, const QRect& rect) { return rect.top(); }
    // One diagram row: the trace from first to last as the curve of curveBit (1 absolute, 2
    // horizontal, 4 vertical, 8 speed), time upwards. Returns the mean of that quantity over the
    // shot's hold, as the diagram's averages give it.
    virtual int DrawDiagram(QPainter& painter, const QRect& rect, int curveBit, int first, int last) = 0;
};

// What is printed: the series (a copy of the store), its faces and where it came from.
struct ReportSeries {
    const TraceStore* store = nullptr;
    const TargetDescriptor* faceA = nullptr;
    const TargetDescriptor* faceB = nullptr;  // null: the first face for both sides
    const Settings* settings = nullptr;
    QString title;    // the file the series was opened from or saved to; empty for a series just shot
    QDateTime stamp;  // the series' own date (the file's, the save's or its last shot's); invalid: now
    bool sighters = false;  // a sighter series: the figures say how sure its correction is
    QString part;     // of a match: which series this is and the match total; empty otherwise
};

struct PageRange {
    int from = 1;
    int to = 3;
    int copies = 1;
};

// The pages of the report in order: per copy page 1 (on the face the series was shot at; twice for
// a hunting series shot at both sides, once per face), page 2 (absolute deviation and speed), page 3 (horizontal and vertical
// deviation), as far as the range holds them. Returns the number of pages drawn, or -1 when the
// device refused a page (the document is then aborted by the caller).
int PaintReport(QPagedPaintDevice& device, const PrintRecord& record, const ReportSeries& series, ReportViews& views,
                const PageRange& range);

// Several series one after the other in one document (the series of a match).
struct ReportJob {
    ReportSeries series;
    ReportViews* views = nullptr;
};
int PaintReports(QPagedPaintDevice& device, const PrintRecord& record, const std::vector<ReportJob>& jobs,
                 const PageRange& range);

// The fonts of the report, Liberation Sans (the metric twin of Arial) at sizes in hundredths of a
// millimetre on a device of dpi pixels per inch.
QFont ReportFont(int hundredths, int dpi, bool bold);

}  // namespace zark

namespace zark {

// Writes the report into a PDF file on the record's paper at 600 dots per inch. False with a
// reason when the file cannot be written or a page fails.
bool ExportReportPdf(const QString& path, const PrintRecord& record, const ReportSeries& series, ReportViews& views,
                     const PageRange& range, QString* error);
bool ExportReportPdf(const QString& path, const PrintRecord& record, const std::vector<ReportJob>& jobs,
                     const PageRange& range, QString* error);

}  // namespace zark
