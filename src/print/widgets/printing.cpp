#include "print/widgets/printing.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <cmath>

#include "diag/diagnostics.h"
#include "i18n/uistrings.h"

namespace zark {
namespace {

constexpr int kUiTextFailedToOpen = 302;  // "Failed to open file %s"
constexpr int kUiTextExportPdf = 380;  // "&Export PDF..."

int Hundredths(double millimetres) { return int(std::lround(millimetres * 100.0)); }

}  // namespace

void Printing::Prepare(QPrinter& printer) const {
    const QPageSize paper(QSizeF(record_.paperWidth / 100.0, record_.paperHeight / 100.0), QPageSize::Millimeter,
                          QString(), QPageSize::FuzzyMatch);
    const QMarginsF margins(record_.marginLeft / 100.0, record_.marginTop / 100.0, record_.marginRight / 100.0,
                            record_.marginBottom / 100.0);
    printer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, margins, QPageLayout::Millimeter));
}

void Printing::TakeOver(const QPrinter& printer) {
    const QPageLayout layout = printer.pageLayout();
    const QSizeF paper = layout.pageSize().size(QPageSize::Millimeter);
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    PrintRecord taken = record_;
    taken.paperWidth = Hundredths(paper.width());
    taken.paperHeight = Hundredths(paper.height());
    taken.marginLeft = Hundredths(margins.left());
    taken.marginTop = Hundredths(margins.top());
    taken.marginRight = Hundredths(margins.right());
    taken.marginBottom = Hundredths(margins.bottom());
    record_ = taken;
}

bool Printing::PageSetup(QWidget* owner) {
    QPrinter printer(QPrinter::HighResolution);
    Prepare(printer);
    QPageSetupDialog dialog(&printer, owner);
    if (dialog.exec() != QDialog::Accepted) return false;
    TakeOver(printer);
    return true;
}

int Printing::Print(QWidget* owner, const ReportSeries& series, ReportViews& views) {
    QPrinter printer(QPrinter::HighResolution);
    Prepare(printer);
    QPrintDialog dialog(&printer, owner);
    dialog.setMinMax(1, 3);
    dialog.setFromTo(1, 3);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) return 0;

    PageRange range;
    if (printer.printRange() == QPrinter::PageRange) {
        range.from = printer.fromPage();
        range.to = printer.toPage();
    }
    // The report draws its own copies, one document each time round.
    range.copies = std::max(printer.copyCount(), 1);
    printer.setCopyCount(1);
    printer.setDocName(QStringLiteral("ZARK"));
    // The report places everything inside its own frame on the whole sheet.
    printer.setFullPage(true);
    if (PaintReport(printer, record_, series, views, range) < 0) {
        printer.abort();
        LogLine("printing failed: a page could not be sent to the printer");
    }
    return 1;
}

bool Printing::ExportPdf(QWidget* owner, const ReportSeries& series, ReportViews& views) {
    QString suggested = series.title.isEmpty() ? QStringLiteral("ZARK.pdf") : series.title;
    if (suggested.endsWith(QStringLiteral(".zas"), Qt::CaseInsensitive) ||
        suggested.endsWith(QStringLiteral(".zam"), Qt::CaseInsensitive))
        suggested = suggested.left(suggested.size() - 4) + QStringLiteral(".pdf");
    QFileDialog dialog(owner, UiQString(kUiTextExportPdf).remove(QLatin1Char('&')).remove(QStringLiteral("...")),
                       suggested, QStringLiteral("PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    const QString path = dialog.selectedFiles().front();
    QString error;
    if (ExportReportPdf(path, record_, series, views, PageRange{}, &error)) return true;
    LogLine("cannot write the report '%s': %s", path.toUtf8().constData(), error.toUtf8().constData());
    QMessageBox::critical(owner, UiQString(kUiTextError), UiQString(kUiTextFailedToOpen).replace(QStringLiteral("%s"), path));
    return false;
}

}  // namespace zark
