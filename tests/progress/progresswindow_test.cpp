#include <gtest/gtest.h>

#include <QFile>

#include <QAbstractSeries>
#include <QChart>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "window/mdiclient.h"
#include "progress/progresstestsupport.h"
#include "progress/widgets/progresswindow.h"

namespace zark {
namespace {

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::MakeTrainingFolder(dir.path());
        host.resize(900, 700);
        client.Create(&host, QRect(0, 0, 900, 700));
        ASSERT_EQ(window.Create(client), 1);
        window.SetFolder(dir.path());
        window.now = [] { return QDateTime(QDate(2026, 12, 1), QTime(9, 0)); };
        window.onOpen = [this](const QString& path, int series) { opened << path + QStringLiteral(" #%1").arg(series); };
        window.onClose = [this] { ++closes; };
        host.show();
        window.Window()->show();
        Refresh();
    }
    void Refresh() {
        window.Refresh();
        EXPECT_TRUE(window.Bar()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!window.Scanning(), 60000);
        EXPECT_FALSE(window.Bar()->isVisible());
    }
    // The files of the table's rows, top to bottom.
    QStringList Files() const {
        QStringList files;
        QTreeWidget* table = window.Table();
        for (int i = 0; i < table->topLevelItemCount(); ++i) files << table->topLevelItem(i)->toolTip(0);
        return files;
    }
    // The points of the chart's dots, per face, in the order the faces come.
    std::vector<int> DotsPerFace() const {
        std::vector<int> dots;
        for (QAbstractSeries* series : window.Chart()->series())
            if (auto* scatter = qobject_cast<QScatterSeries*>(series)) dots.push_back(int(scatter->count()));
        return dots;
    }
    static void Choose(QComboBox* box, Qt::Key key) {
        box->setFocus();
        QTest::keyClick(box, key);
    }
    void ClickHeader(int column) {
        QHeaderView* header = window.Table()->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    QTemporaryDir dir;
    QWidget host;
    MdiClient client;
    ProgressWindow window;
    QStringList opened;
    int closes = 0;
};

TEST_F(ProgressWindowTest, ShowsTheSeriesNewestFirstAndTheChartOfTheFilter) {
    EXPECT_EQ(Files(), (QStringList{"2026/b.zas", "club/m.zam", "club/m.zam", "2026/a.zas", "c.ZAS"}));
    EXPECT_EQ(window.Status()->text(), "5 series; 2 files could not be read");
    EXPECT_EQ(window.Status()->toolTip(), "broken.zas\nclub/alien.zas");
    EXPECT_EQ(window.Table()->topLevelItem(0)->text(ProgressWindow::kTotal), "21.8");
    EXPECT_EQ(window.Table()->topLevelItem(0)->text(ProgressWindow::kMean), "10.90");
    // one colour per face, a line of averages beside each
    EXPECT_EQ(DotsPerFace(), (std::vector<int>{4, 1}));
    EXPECT_EQ(window.Chart()->series().size(), 4);

    // The first face in the face box, then the last 30 days: the older series leave table and chart.
    Choose(window.FaceBox(), Qt::Key_Down);
    EXPECT_EQ(window.FaceBox()->currentData().toInt(), 1200);
    EXPECT_EQ(Files(), (QStringList{"club/m.zam", "club/m.zam", "2026/a.zas", "c.ZAS"}));
    EXPECT_EQ(DotsPerFace(), std::vector<int>{4});
    Choose(window.PeriodBox(), Qt::Key_Home);
    EXPECT_EQ(Files(), (QStringList{"club/m.zam", "club/m.zam", "2026/a.zas"}));
    EXPECT_EQ(DotsPerFace(), std::vector<int>{3});
    EXPECT_EQ(window.Status()->text(), "3 series; 2 files could not be read");

    // Another figure: the share in the ten is on every dot.
    Choose(window.FigureBox(), Qt::Key_Down);
    for (QAbstractSeries* series : window.Chart()->series())
        for (const QPointF& p : static_cast<QXYSeries*>(series)->points()) EXPECT_DOUBLE_EQ(p.y(), 100.0);

    // Sorting by the shots, fewest first, and back.
    Choose(window.PeriodBox(), Qt::Key_End);
    ClickHeader(ProgressWindow::kShots);
    EXPECT_EQ(window.Table()->topLevelItem(0)->text(ProgressWindow::kShots), "2");
    EXPECT_EQ(window.Table()->topLevelItem(3)->text(ProgressWindow::kShots), "3");
    ClickHeader(ProgressWindow::kShots);
    EXPECT_EQ(window.Table()->topLevelItem(0)->text(ProgressWindow::kShots), "3");
}

TEST_F(ProgressWindowTest, ADoubleClickOpensTheSeriesAndANewFileComesWithTheNextRefresh) {
    QTreeWidget* table = window.Table();
    const QPoint row3 = table->visualItemRect(table->topLevelItem(3)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row3);
    EXPECT_TRUE(opened.isEmpty());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row3);
    EXPECT_EQ(opened, QStringList{QDir(dir.path()).filePath("2026/a.zas") + " #1"});
    const QPoint row1 = table->visualItemRect(table->topLevelItem(1)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row1);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row1);
    EXPECT_EQ(opened.back(), QDir(dir.path()).filePath("club/m.zam") + " #2");  // newest first: the match's second series above its first

    test::WriteSeriesFile(QDir(dir.path()).filePath("2026/new.zas"), 1350, test::Day(2026, 11, 20), {{1, 1}});
    Refresh();
    EXPECT_EQ(Files().front(), "2026/new.zas");
    EXPECT_EQ(DotsPerFace(), (std::vector<int>{4, 2}));
    // One file the scan cannot read is one file.
    ASSERT_TRUE(QFile::remove(QDir(dir.path()).filePath("broken.zas")));
    Refresh();
    EXPECT_EQ(window.Status()->text(), "6 series; 1 file could not be read");

    window.Window()->close();  // the close box hides the window through the frame's command
    EXPECT_EQ(closes, 1);
}

TEST_F(ProgressWindowTest, TheClubsArchiveBringsAShooterBoxAndColumn) {
    EXPECT_FALSE(window.ShooterBox()->isVisibleTo(&host));
    EXPECT_TRUE(window.Table()->isColumnHidden(ProgressWindow::kShooter));
    const QString folder = QDir(dir.path()).filePath(ArchiveFolderOf("lane2", "Eva"));
    ASSERT_TRUE(QDir().mkpath(folder));
    test::WriteSeriesFile(folder + "/s1.ZAS", 1350, test::Day(2026, 11, 21), {{1, 1}});
    Refresh();
    ASSERT_TRUE(window.ShooterBox()->isVisibleTo(&host));
    EXPECT_FALSE(window.Table()->isColumnHidden(ProgressWindow::kShooter));
    EXPECT_EQ(window.Table()->topLevelItem(0)->text(ProgressWindow::kShooter), "Eva (lane2)");
    // "All shooters", "Own series", then Eva's: her series alone, then the program's own alone
    Choose(window.ShooterBox(), Qt::Key_End);
    EXPECT_EQ(Files(), QStringList{"Range/lane2/Eva/s1.ZAS"});
    Choose(window.ShooterBox(), Qt::Key_Up);
    EXPECT_EQ(Files().size(), 5);
    EXPECT_FALSE(Files().contains("Range/lane2/Eva/s1.ZAS"));
}

}  // namespace
}  // namespace zark
