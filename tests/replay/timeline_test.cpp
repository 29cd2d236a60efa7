// The trace timeline: pixel <-> sample mapping at the edges, the painted graph with its gaps and
// shot ticks, and the strip driven by real mouse drags announcing its range to every view.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTest>

#include "core/shootinghub.h"
#include "replay/timeline.h"
#include "replay/widgets/tracetimeline.h"
#include "settings/settings.h"
#include "targets/targetcatalogue.h"

namespace zark {
namespace {

TEST(TimelineAxis, MapsPixelsToRecordedSamplesOnly) {
    const TimelineAxis axis{1000, 500};
    EXPECT_EQ(axis.XOf(0), 0);
    EXPECT_EQ(axis.XOf(999), 499);
    EXPECT_EQ(axis.IndexAt(250), 500);
    // The mouse grab delivers points beyond both edges while dragging.
    EXPECT_EQ(axis.IndexAt(-40), 0);
    EXPECT_EQ(axis.IndexAt(500), 999);
    EXPECT_EQ(axis.IndexAt(90000), 999);
    EXPECT_EQ((TimelineAxis{0, 500}).IndexAt(100), 0);  // no trace: nothing beyond index 0
    EXPECT_EQ((TimelineAxis{10, 0}).IndexAt(5), 0);
    // The top of the strip stands for the given full scale (800 units on a face without rings).
    EXPECT_EQ(TimelineAxis::DistanceY(400, 30, 30, 800), 15);
    EXPECT_EQ(TimelineAxis::DistanceY(400, 30, 30, 1600), 23);
}

// One column of the painted image, as the colours it holds.
bool ColumnHas(const QImage& image, int x, QRgb colour) {
    for (int y = 0; y < image.height(); ++y)
        if (image.pixel(x, y) == colour) return true;
    return false;
}

TEST(TimelinePainting, GraphBreaksAtGapsAndTicksFollowThePitch) {
    Settings settings;
    TraceStore store;
    store.SetSettings(&settings);
    for (int i = 0; i < 100; ++i) store.AppendSample(200, 0);
    for (int i = 0; i < 100; ++i) store.AppendSample(0, 0);  // the aim left the target
    for (int i = 0; i < 99; ++i) store.AppendSample(0, 300);
    store.AppendShot(0, 300, 0);  // index 299

    const TimelineColours colours;
    QImage image(300, 30, QImage::Format_RGB32);
    const auto paint = [&] {
        QPainter painter(&image);
        PaintTimeline(painter, image.rect(), store, 800, 50, 59, colours);
    };
    paint();
    const QRgb graph = colours.graph.rgb(), tick = colours.tick.rgb(), band = colours.band.rgb();
    EXPECT_TRUE(ColumnHas(image, 20, graph));
    EXPECT_FALSE(ColumnHas(image, 150, graph)) << "a gap breaks the line";
    EXPECT_TRUE(ColumnHas(image, 250, graph));
    EXPECT_EQ(image.pixel(55, 0), band);
    EXPECT_EQ(image.pixel(299, 0), tick);
    EXPECT_EQ(image.pixel(299, 15), tick);

    store.SetShotTimeOffset(-40 * 100);  // 100 samples earlier
    paint();
    EXPECT_EQ(image.pixel(199, 0), tick);
    EXPECT_NE(image.pixel(299, 0), tick);
}

// A view that records the ranges every view is told.
class RangeRecorder final : public HubView {
public:
    using HubView::HubView;
    void OnTraceRange(int first, int last, int) override { ranges.push_back({first, last}); }
    std::vector<std::pair<int, int>> ranges;
};

class TimelineStrip : public ::testing::Test {
protected:
    TimelineStrip() {
        catalogue.Build();
        hub.SetSettings(&settings);
        TargetPair pair;
        catalogue.PairForCommand(2112, pair);  // rifle 50 m
        hub.SetTargets(pair.first, pair.second);
        strip.resize(400 + 2, 32);  // 400 pixels inside the frame
        strip.show();
        hub.NewSeries(5, 0, 0);
        for (int i = 0; i < 800; ++i) hub.FeedSample(100 + i % 50, 50, i == 400, 0, -1);
        hub.StopAcquisition();  // a range is chosen once the series stops
    }
    int X(int column) const { return strip.contentsRect().left() + column; }
    void Drag(int from, int to) {
        QTest::mousePress(&strip, Qt::LeftButton, {}, QPoint(X(from), 10));
        QTest::mouseMove(&strip, QPoint(X(to), 10));
        QTest::mouseRelease(&strip, Qt::LeftButton, {}, QPoint(X(to), 10));
    }

    Settings settings;
    TargetCatalogue catalogue;
    ShootingHub hub;
    TraceTimeline strip{&hub, nullptr};
    RangeRecorder recorder{&hub};
};

TEST_F(TimelineStrip, DragsInEitherDirectionAnnounceTheSameClampedRange) {
    EXPECT_GT(strip.MaxRadius(), 0);
    EXPECT_TRUE(strip.Stale()) << "live points wait for the next range";
    Drag(100, 200);
    ASSERT_EQ(recorder.ranges.size(), 1u);
    EXPECT_EQ(recorder.ranges.back(), std::make_pair(200, 400));
    EXPECT_FALSE(strip.Stale());
    Drag(200, 100);
    EXPECT_EQ(recorder.ranges.back(), std::make_pair(200, 400));
    EXPECT_EQ(strip.RangeFirst(), 200);
    EXPECT_EQ(strip.RangeLast(), 400);

    Drag(150, 150);  // a click is one sample
    EXPECT_EQ(recorder.ranges.back(), std::make_pair(300, 300));

    // Past the right edge the range ends at the last recorded sample, never beyond.
    QTest::mousePress(&strip, Qt::LeftButton, {}, QPoint(X(300), 10));
    QTest::mouseRelease(&strip, Qt::LeftButton, {}, QPoint(X(900), 10));
    EXPECT_EQ(recorder.ranges.back(), std::make_pair(600, 799));
    QTest::mousePress(&strip, Qt::LeftButton, {}, QPoint(X(10), 10));
    QTest::mouseRelease(&strip, Qt::LeftButton, {}, QPoint(-500, 10));
    EXPECT_EQ(recorder.ranges.back(), std::make_pair(0, 20));

    hub.StopAcquisition();
    hub.NewSeries(5, 0, 0);  // a new series clears the band
    EXPECT_EQ(strip.RangeFirst(), -1);
    EXPECT_EQ(strip.RangeLast(), -1);
    const size_t told = recorder.ranges.size();
    Drag(10, 50);  // nothing recorded yet: nothing to choose
    EXPECT_EQ(recorder.ranges.size(), told);
}

}  // namespace
}  // namespace zark
