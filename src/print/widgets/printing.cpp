#include "print/widgets/printing.h"

#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <cmath>

#include "diag/diagnostics.h"
#include "i18n/uistrings.h"

namespace zark {
namespace {

constexpr int kUiTextFailedToOpen = 302;  // "Failed to open file %s"
constexpr int kUiTextExportPdf = 380;  // "&Export PDF..."
constexpr int kUiTextUprightPaper = 621;  // the page set up is refused: the report needs an upright page

int Hundredths(double millimetres) { return int(std::lround(millimetres * 100.0)); }

// The paper and margins of a page layout, when it is a portrait page the report can be drawn on
// (margins typed for a turned sheet would land on other edges of the portrait report).
bool RecordOf(const QPageLayout& layout, PrintRecord& record) {
    if (layout.orientation() != QPageLayout::Portrait) return false;
    const QSizeF paper = layout.pageSize().size(QPageSize::Millimeter);
    // A paper wider than it is tall ("Ledger") is a turned page too: the report would be cut off.
    if (paper.width() > paper.height()) return false;
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    PrintRecord taken = record;
    taken.paperWidth = Hundredths(paper.width());
    taken.paperHeight = Hundredths(paper.height());
    taken.marginLeft = Hundredths(margins.left());
    taken.marginTop = Hundredths(margins.top());
    taken.marginRight = Hundredths(margins.right());
    taken.marginBottom = Hundredths(margins.bottom());
    if (!taken.Usable()) return false;
    record = taken;
    return true;
}

// The report is drawn for a portrait sheet. Qt's page setup (the Page Setup dialog itself and the
// printer properties the print dialog opens) offers four orientations as radio buttons: Portrait
// stays chosen and the choice is grey, so no other orientation can be picked and then ignored.
void LockPortrait(QWidget* root) {
    auto* portrait = root->findChild<QRadioButton*>(QStringLiteral("portrait"));
    if (!portrait) return;
    portrait->setChecked(true);
    for (const char* name : {"landscape", "reverseLandscape", "reversePortrait"})
        if (auto* button = root->findChild<QRadioButton*>(QLatin1String(name))) button->setEnabled(false);
    if (auto* group = qobject_cast<QGroupBox*>(portrait->parentWidget())) group->setEnabled(false);
}

// While it lives, every dialog shown (the print dialog's printer properties are made only when
// asked for) gets its orientation locked before the user sees it.
class PortraitOnly final : public QObject {
public:
    PortraitOnly() { qApp->installEventFilter(this); }
    ~PortraitOnly() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<QDialog*>(watched)) LockPortrait(dialog);
        return false;
    }
};

}  // namespace

void Printing::Prepare(QPrinter& printer) const {
    const QPageSize paper(QSizeF(record_.paperWidth / 100.0, record_.paperHeight / 100.0), QPageSize::Millimeter,
                          QString(), QPageSize::FuzzyMatch);
    const QMarginsF margins(record_.marginLeft / 100.0, record_.marginTop / 100.0, record_.marginRight / 100.0,
                            record_.marginBottom / 100.0);
    printer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, margins, QPageLayout::Millimeter));
}

bool Printing::TakeOver(const QPrinter& printer) {
    if (RecordOf(printer.pageLayout(), record_)) return true;
    LogLine("page setup: a turned page or one without room for the report is not taken; the page set up is kept");
    return false;
}

bool Printing::PageSetup(QWidget* owner) {
    QPrinter printer(QPrinter::HighResolution);
    Prepare(printer);
    QPageSetupDialog dialog(&printer, owner);
    const PortraitOnly portrait;
    if (dialog.exec() != QDialog::Accepted) return false;
    if (TakeOver(printer)) return true;
    LoadUiStrings();
    CurrentMessageBoxSink().ShowMessage(UiText(kUiTextError), UiText(kUiTextUprightPaper), MessageIcon::Warning);
    return false;
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
    {
        const PortraitOnly portrait;
        if (dialog.exec() != QDialog::Accepted) return 0;
    }

    PageRange range;
    if (printer.printRange() == QPrinter::PageRange) {
        range.from = printer.fromPage();
        range.to = printer.toPage();
    }
    // The report draws its own copies, one document each time round.
    range.copies = std::max(printer.copyCount(), 1);
    printer.setCopyCount(1);
    printer.setDocName(QStringLiteral("ZARK"));
    // The paper and margins of this job as the printer properties left them (Page Setup's unless
    // changed there); a page the report cannot take gets Page Setup's own back.
    PrintRecord job = record_;
    if (!RecordOf(printer.pageLayout(), job)) {
        LogLine("printing: a turned page or one without room for the report is printed on the page set up");
        Prepare(printer);
    }
    // The report places everything inside its own frame on the whole sheet.
    printer.setFullPage(true);
    if (PaintReport(printer, job, series, views, range) < 0) {
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
