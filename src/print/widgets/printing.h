#pragma once

#include <QString>

#include "print/printrecord.h"
#include "print/reportpainter.h"

class QPrinter;
class QWidget;

namespace zark {

class RegistryAccess;

// The main frame's printing: the page record kept across runs, Page Setup, printing the report of
// the shown series through the print dialog, and saving the same report as a PDF file.
class Printing final {
public:
    void Load(RegistryAccess& registry) { record_.Load(registry); }
    void Save(RegistryAccess& registry) const { record_.Save(registry); }
    const PrintRecord& Record() const { return record_; }
    void SetRecord(const PrintRecord& record) { record_ = record; }

    // The page setup dialog on the paper and the margins (the orientation stays Portrait and
    // cannot be changed: the report is portrait); confirmed, they are taken over.
    bool PageSetup(QWidget* owner);
    // The print dialog (pages 1 to 3, copies; the printer properties keep Portrait), then the
    // report on the paper and margins the printer properties show (those of Page Setup unless
    // changed there, for this job only). 1 when the dialog was confirmed.
    int Print(QWidget* owner, const ReportSeries& series, ReportViews& views);
    // A save dialog for the PDF file, then the report into it; a failure is shown to the user.
    bool ExportPdf(QWidget* owner, const ReportSeries& series, ReportViews& views);

    // The printer set to the record's paper and margins (no margins: the report keeps its own frame).
    void Prepare(QPrinter& printer) const;
    // The record as the page layout of a printer after the page setup dialog. A layout that is
    // not portrait (a platform's own dialog may offer it) or leaves no room for the report is
    // refused: false, the record kept.
    bool TakeOver(const QPrinter& printer);

private:
    PrintRecord record_;
};

}  // namespace zark
