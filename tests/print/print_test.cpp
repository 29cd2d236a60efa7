// The report: its page record kept in the settings, its layout on the page, and the PDF it writes
// read back with poppler's tools: pages per range and per face, the header and column texts, the
// time labels and where the face lands on the sheet.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include "core/tracestore.h"
#include "print/printrecord.h"
#include "print/reportpainter.h"
#include "settings/registryaccess.h"
#include "settings/settings.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

TEST(PrintRecord, DefaultsRoundTripAndUnusablePagesRefused) {
    PrintRecord record;
    {
        RegistryAccess registry;
        record.Load(registry);
    }
    EXPECT_EQ(record, PrintRecord{});
    PrintRecord letter{1000, 1200, 1300, 1400, 21590, 27940};
    {
        RegistryAccess registry;
        letter.Save(registry);
    }
    {
        RegistryAccess registry;
        record.Load(registry);
    }
    EXPECT_EQ(record, letter);
    // A hand-edited page that leaves no room is not taken.
    {
        RegistryAccess registry;
        registry.writeRect("PrinterMargins", Rect{15000, 0, 15000, 0});
        PrintRecord kept = letter;
        kept.Load(registry);
        EXPECT_EQ(kept, letter);
        registry.writeRect("PrinterMargins", Rect{1000, 1200, 1300, 1400});
        registry.writeRect("PrinterPaperSize", Rect{0, 0, 2000000000, 29700});
        kept.Load(registry);
        EXPECT_EQ(kept, letter);
        registry.writeRect("PrinterPaperSize", Rect{0, 0, 43180, 27940});  // Ledger, wider than tall
        kept.Load(registry);
        EXPECT_EQ(kept, letter);
    }
}

TEST(ReportLayout, DefaultFrameAndColumns) {
    const ReportLayout l = ReportLayout::For(PrintRecord{}, 254, 254);  // 10 pixels a millimetre
    EXPECT_EQ(l.frame, QRect(QPoint(250, 150), QPoint(2099 - 150 - 1, 2970 - 150 - 1)));
    EXPECT_EQ(l.header.height(), 150);
    EXPECT_EQ(l.body.top(), 300);
    EXPECT_EQ(l.face.size(), QSize(l.body.width(), l.body.width() * 400 / 500));
    EXPECT_EQ(l.shotList.top(), l.face.bottom() + 1 + 150);
    EXPECT_EQ(l.columns[1].left() - l.columns[0].right() - 1, 150);
    EXPECT_EQ(l.gutter, 50);
    const DiagramRows rows = DiagramRows::For(10, 2000, 254);
    EXPECT_EQ(rows.pitch, 200);
    EXPECT_EQ(rows.plotHeight, 200 - 13);
    EXPECT_EQ(DiagramRows::For(0, 2000, 254).count, 0);  // no shots, no rows, no division by zero
    EXPECT_EQ(TimeBeforeLabel(5000), "-5.0s");
    EXPECT_EQ(TimeAfterLabel(1000), "1.0s");
    EXPECT_EQ(TimeBeforeLabel(2550), "-2.5s");
}

// Views that draw plain marks, so the report's own layout can be read back.
class MarkViews final : public ReportViews {
public:
    void SelectSide(int side) override { sides.push_back(side); }
    void DrawFace(QPainter& painter, const QRect& rect) override {
        painter.fillRect(rect, Qt::black);
        faces.push_back(rect);
    }
    int DrawShotList(QPainter& painter, const QRect& rect) override {
        painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("SHOTLIST"));
        return rect.top() + 100;
    }
    int DrawDiagram(QPainter&, const QRect&, int curveBit, int first, int last) override {
        ++rows;
        return curveBit * 10 + (last > first ? 1 : 0);
    }
    std::vector<int> sides;
    std::vector<QRect> faces;
    int rows = 0;
};

class PdfReport : public ::testing::Test {
protected:
    PdfReport() {
        catalogue.Build();
        store.SetSettings(&settings);
        settings.ReplayTimeBefore = 5000;
        settings.ReplayTimeAfter = 1000;
    }
    void Shoot(int shots, bool bothSides) {
        for (int s = 0; s < shots; ++s) {
            for (int i = 0; i < 60; ++i) store.AppendSample(100 + i, 50);
            store.AppendShot(110, 60, bothSides ? s & 1 : 0);
        }
    }
    ReportSeries Series(int command) {
        TargetPair pair;
        catalogue.PairForCommand(command, pair);
        ReportSeries series;
        series.store = &store;
        series.faceA = pair.first;
        series.faceB = pair.second;
        series.settings = &settings;
        series.title = QStringLiteral("club-evening.zas");
        series.stamp = QDateTime(QDate(2026, 11, 3), QTime(19, 45, 12));
        return series;
    }
    QString Write(const ReportSeries& series, PageRange range = {}) {
        const QString path = dir.filePath(QStringLiteral("report%1.pdf").arg(++files));
        QString error;
        EXPECT_TRUE(ExportReportPdf(path, PrintRecord{}, series, views, range, &error)) << error.toStdString();
        return path;
    }
    static QString Run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(20000);
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    static int Pages(const QString& pdf) {
        const QString info = Run(QStringLiteral("pdfinfo"), {pdf});
        const int at = info.indexOf(QStringLiteral("Pages:"));
        return at < 0 ? -1 : info.mid(at + 6).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
    }

    Settings settings;
    TargetCatalogue catalogue;
    TraceStore store;
    MarkViews views;
    QTemporaryDir dir;
    int files = 0;
};

TEST_F(PdfReport, PagesPerRangeAndFace) {
    Shoot(4, false);
    EXPECT_EQ(Pages(Write(Series(2112))), 3);  // rifle 50 m
    EXPECT_EQ(Pages(Write(Series(2112), PageRange{2, 3, 1})), 2);
    EXPECT_EQ(views.rows, 2 * 2 * 4 + 2 * 2 * 4);
    EXPECT_EQ(Pages(Write(Series(2112), PageRange{1, 3, 2})), 6);  // two copies

    store.Clear();
    Shoot(4, true);
    views.sides.clear();
    EXPECT_EQ(Pages(Write(Series(2121))), 4);  // a moose series shot at both sides: page 1 per face
    EXPECT_EQ(views.sides, (std::vector<int>{0, 1}));
    // Shot at the right side only: one page 1, on the right face.
    store.Clear();
    for (int i = 0; i < 60; ++i) store.AppendSample(100 + i, 50);
    store.AppendShot(110, 60, 1);
    views.sides.clear();
    EXPECT_EQ(Pages(Write(Series(2121))), 3);
    EXPECT_EQ(views.sides, (std::vector<int>{1}));
}

TEST_F(PdfReport, TextsAndFacePlacement) {
    Shoot(3, false);
    ReportSeries ofMatch = Series(2112);
    ofMatch.part = QStringLiteral("Series 2 of 3, match total 285");  // a match's series says which it is
    const QString pdf = Write(ofMatch);
    const QString text = Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Rifle 50 meter"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("club-evening.zas")));
    EXPECT_EQ(text.count(QStringLiteral("Series 2 of 3, match total 285")), 3);  // on every page
    EXPECT_TRUE(text.contains(QStringLiteral("SHOTLIST")));
    EXPECT_TRUE(text.contains(QStringLiteral("Absolute deviation (Average 11)")));
    EXPECT_TRUE(text.contains(QStringLiteral("Speed (Average 81)")));
    EXPECT_TRUE(text.contains(QStringLiteral("Vertical deviation (Average 41)")));
    EXPECT_TRUE(text.contains(QStringLiteral("-5.0s")));
    EXPECT_TRUE(text.contains(QStringLiteral("1.0s")));

    // Page 1 at 10 pixels a millimetre: the face (drawn black here) starts 25 mm from the left
    // and 30 mm from the top (15 mm margin and the 15 mm header band).
    const QString png = dir.filePath(QStringLiteral("page"));
    Run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-f"),
                                     QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                     QStringLiteral("-png"), pdf, png});
    QImage page(png + QStringLiteral("-1.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(page.width(), 2099, 1);
    EXPECT_NEAR(page.height(), 2970, 1);
    EXPECT_EQ(qGray(page.pixel(255, 305)), 0);
    EXPECT_EQ(qGray(page.pixel(245, 305)), 255);
    EXPECT_EQ(qGray(page.pixel(255, 295)), 255);
    EXPECT_EQ(qGray(page.pixel(2099 - 150 - 5, 305)), 0);
    EXPECT_EQ(qGray(page.pixel(2099 - 150 + 5, 305)), 255);
}

}  // namespace
}  // namespace zark
