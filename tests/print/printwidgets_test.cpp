// The print widgets with real events: Page Setup through Qt's own dialog (the orientation stays
// Portrait and grey, a margin typed is taken in millimetres, a turned page is refused), and File >
// Print through the print dialog and its printer properties, the report of the print hub's real
// views read back from the PDF (the paper chosen, the face with its marks, the series' date).
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "core/tracestore.h"
#include "print/widgets/printhub.h"
#include "print/widgets/printing.h"
#include "settings/settings.h"
#include "support/modalwatch.h"
#include "support/testsupport.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

using test::ModalWatch;

void Click(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(widget->width() / 2, widget->height() / 2));
}

QPushButton* OkButton(QWidget* dialog) {
    for (auto* box : dialog->findChildren<QDialogButtonBox*>())
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) return ok;
    return nullptr;
}

TEST(PageSetup, OrientationStaysPortraitAndATypedMarginIsTaken) {
    Printing printing;
    ModalWatch watch([](QWidget* dialog) {
        auto* portrait = dialog->findChild<QRadioButton*>("portrait");
        auto* landscape = dialog->findChild<QRadioButton*>("landscape");
        ASSERT_TRUE(portrait && landscape);
        EXPECT_TRUE(portrait->isChecked());
        EXPECT_FALSE(landscape->isEnabled());
        EXPECT_FALSE(dialog->findChild<QRadioButton*>("reverseLandscape")->isEnabled());
        Click(landscape);  // a grey button takes no click
        EXPECT_TRUE(portrait->isChecked());
        EXPECT_FALSE(landscape->isChecked());

        // The left margin in millimetres: 30 instead of 25.
        auto* units = dialog->findChild<QComboBox*>("unitCombo");
        ASSERT_NE(units, nullptr);
        units->setCurrentIndex(units->findData(QVariant::fromValue(int(QPageLayout::Millimeter))));
        auto* left = dialog->findChild<QDoubleSpinBox*>("leftMargin");
        ASSERT_NE(left, nullptr);
        left->setFocus();
        QTest::keyClick(left, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(left, "30");
        QTest::keyClick(left, Qt::Key_Tab);
        Click(OkButton(dialog));
    });
    EXPECT_TRUE(printing.PageSetup(nullptr));
    EXPECT_TRUE(watch.Seen());
    PrintRecord expected;
    expected.marginLeft = 3000;
    expected.paperWidth = 21000;  // the default 209.9 mm sheet comes back as A4
    EXPECT_EQ(printing.Record(), expected);

    // A turned page (a platform's own dialog may hand one back) is refused, not half taken.
    QPrinter turned;
    printing.Prepare(turned);
    turned.setPageOrientation(QPageLayout::Landscape);
    turned.setPageMargins(QMarginsF(40, 10, 10, 10), QPageLayout::Millimeter);
    EXPECT_FALSE(printing.TakeOver(turned));
    EXPECT_EQ(printing.Record(), expected);

    // So is an upright sheet of a paper wider than it is tall, with the reason.
    QPrinter ledger;
    printing.Prepare(ledger);
    ledger.setPageSize(QPageSize(QPageSize::Ledger));
    EXPECT_FALSE(printing.TakeOver(ledger));
    {
        test::MessageCapture messages;
        ModalWatch wide([](QWidget* dialog) {
            auto* sizes = dialog->findChild<QComboBox*>("pageSizeCombo");
            ASSERT_NE(sizes, nullptr);
            const int ledger = sizes->findText("Ledger", Qt::MatchContains);
            ASSERT_GE(ledger, 0);
            sizes->setCurrentIndex(ledger);
            Click(OkButton(dialog));
        });
        EXPECT_FALSE(printing.PageSetup(nullptr));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find("upright"), std::string::npos);
    }
    EXPECT_EQ(printing.Record(), expected);

    // Cancel keeps what there is.
    ModalWatch cancel([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    EXPECT_FALSE(printing.PageSetup(nullptr));
    EXPECT_TRUE(cancel.Seen());
    EXPECT_EQ(printing.Record(), expected);
}


QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(20000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A 12-shot rifle 50 m series.
struct RifleSeries {
    RifleSeries() {
        catalogue.Build();
        TargetPair pair;
        catalogue.PairForCommand(2112, pair);
        store.SetSettings(&settings);
        for (int s = 0; s < 12; ++s) {
            for (int i = 0; i < 200; ++i) store.AppendSample(30 + i % 7, 20 - i % 5);
            store.AppendShot(s * 8, -s * 6 + 1, 0);
        }
        series.store = &store;
        series.faceA = pair.first;
        series.settings = &settings;
        series.title = QStringLiteral("evening.zas");
        series.stamp = QDateTime(QDate(2026, 12, 3), QTime(19, 45, 12));
    }
    TargetCatalogue catalogue;
    Settings settings;
    TraceStore store;
    ReportSeries series;
};

// File > Print through Qt's own dialog into a file with the print hub's real views: the printer
// properties keep Portrait grey, and Letter chosen there is the paper the report is laid out on
// (for this job; Page Setup's page stays).
TEST(PrintDialog, ThePaperOfThePrinterPropertiesIsHonouredAndTheOrientationStaysPortrait) {
    RifleSeries rifle;
    PrintHub views(rifle.series, 1200);
    Printing printing;
    QTemporaryDir dir;
    const QString pdf = dir.filePath("printed.pdf");
    bool propertiesSeen = false;
    ModalWatch watch([&](QWidget* dialog) {
        auto* file = dialog->findChild<QLineEdit*>("filename");
        ASSERT_NE(file, nullptr);
        file->setFocus();
        QTest::keyClick(file, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(file, pdf);
        ModalWatch properties([&](QWidget* page) {
            propertiesSeen = true;
            auto* landscape = page->findChild<QRadioButton*>("landscape");
            ASSERT_NE(landscape, nullptr);
            EXPECT_FALSE(landscape->isEnabled());
            EXPECT_TRUE(page->findChild<QRadioButton*>("portrait")->isChecked());
            auto* paper = page->findChild<QComboBox*>("pageSizeCombo");
            ASSERT_NE(paper, nullptr);
            paper->setCurrentIndex(paper->findText("Letter", Qt::MatchStartsWith));
            Click(OkButton(page));
        });
        Click(dialog->findChild<QPushButton*>("properties"));
        EXPECT_TRUE(propertiesSeen);
        Click(OkButton(dialog));
    });
    EXPECT_EQ(printing.Print(nullptr, rifle.series, views), 1);
    EXPECT_TRUE(watch.Seen());
    EXPECT_EQ(printing.Record(), PrintRecord{});
    const QString info = RunTool("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains("612 x 792 pts")) << info.toStdString();

    const QString text = RunTool("pdftotext", {"-layout", pdf, "-"});
    EXPECT_EQ(text.count("19:45:12"), 3) << text.toStdString();  // the series' date on every page

    // Page 1 at 10 pixels a millimetre: the face, composed only on the printer, fills the Letter
    // frame (25 mm from the left, 15 mm from the right of 215.9 mm) with its black middle and the
    // blue shot marks near the centre.
    const QString png = dir.filePath("page");
    RunTool("pdftoppm", {"-r", "254", "-f", "1", "-l", "1", "-png", pdf, png});
    const QImage page(png + "-1.png");
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(page.width(), 2159, 1);
    const QPoint centre(250 + (2159 - 400) / 2, 300 + (2159 - 400) * 400 / 500 / 2);
    int frameLine = 0;  // the face's right frame line
    for (int x = 2159 - 160; x < 2159 - 140; ++x)
        if (qGray(page.pixel(x, centre.y())) < 250) frameLine = x;
    EXPECT_NEAR(frameLine, 2159 - 150, 3);
    int dark = 0, blue = 0;
    for (int dy = -300; dy <= 300; dy += 10)
        for (int dx = -300; dx <= 300; dx += 10) {
            const QColor c = page.pixelColor(centre + QPoint(dx, dy));
            dark += qGray(c.rgb()) < 40;
            blue += c.blue() > 150 && c.red() < 100;
        }
    EXPECT_GT(dark, 61 * 61 / 3);
    EXPECT_GT(blue, 0);
}

}  // namespace
}  // namespace zark
