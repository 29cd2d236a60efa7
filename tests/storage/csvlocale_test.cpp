// The CSV export writes its scores, score texts and times with a point on a German system too.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "export/csvexport.h"
#include "storage/seriesfileio.h"
#include "storage/seriesrecord.h"
#include "support/numericlocale.h"

namespace zark {
namespace {

TEST(CsvExportLocale, ScoresTextsAndTimesHaveAPointUnderAGermanLocale) {
    QTemporaryDir dir;
    auto series = std::make_unique<SeriesRecord>();
    series->Clear();
    series->targetId = 1350;  // 50 m rifle finale: decimal scores, an inner ten
    TraceStore store;
    for (int i = 0; i < 10; ++i) store.AppendSample(40, 140);
    store.AppendShot(0, 100, 0);  // the nine band 64..128: 10 × 28 / 64 = 4.4, so 9.4
    while (store.SampleCount() < 1885) store.AppendSample(70, 20);
    store.AppendShot(30, -20, 0);  // 36 from the centre: 10 × 28 / 64, 10.4, and the inner ten's mark; 75.4 s
    series->store = store.Image();
    series->numberOfShots = 2;
    const QString path = dir.filePath("finale.zas");
    ASSERT_TRUE(SeriesFileIo().WriteSeries(*series, path));

    test::GermanNumericLocale german;
    ASSERT_TRUE(german.active()) << german.problem();
    ASSERT_EQ(RunCsvExport(path, dir.filePath("out.csv")), 0);
    QFile out(dir.filePath("out.csv"));
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll().toStdString(),
              std::string("series,shot,x,y,trace_index,side,score,score_text,direction,time,") +
                  kCsvAnalysisColumns + ",window,time_in_window_s,late\n"
                  "1,1,0,100,10,L,9.4,\"9.4\",12,0.00,0.0,0.0,0.00,5.00,17.50,7.07,0.40,10,,,,,,,,"
                  ",,,0.36,0.08,0.28,0.00,0.00,7.07,1.00,13.29,clean,,,\n"
                  "1,2,30,-20,1885,L,10.4,\"10.4'\",4,1.15,0.0,100.0,0.00,8.75,2.50,7.07,74.96,25,,,,,,,,"
                  ",,,74.92,0.08,74.84,0.00,0.00,7.07,,,long hold,,,\n"
                  "1,total,,,,,,\"19.8\",,,,,,,,,,,1.88,5.00,1,5.34,15.46,7.73,2.65,10.61"
                  ",,,,,37.56,0.00,0.00,7.07,,13.29,,,,\n");
}

}  // namespace
}  // namespace zark
