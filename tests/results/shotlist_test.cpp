// The shot list as the hub fills it: score texts on integer, decimal and field faces, totals,
// clock positions and times, unfired shots, centring, the rows a trace range selects, and the
// printout's rendering.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "results/shotlist.h"
#include "resultstestsupport.h"
#include "settings/settings.h"
#include "targets/builtcatalogue.h"
#include "targets/targetdescriptor.h"

namespace zark {
namespace {

constexpr int kRifle50 = 3, kRifle50Finale = 4, kAirRifleFinale = 7;

const TargetDescriptor& Face(int index) { return test::BuiltCatalogue().Entry(index); }

// A field face scored by one ring: 5 points within 100 units, nothing outside.
const TargetDescriptor& FieldFace() {
    static const TargetDescriptor* face = [] {
        auto* f = new TargetDescriptor;
        f->Define(0, 9200, KindField, 50, 100, 100, 100, WeaponClass::Rifle, 0.0);
        f->AddRing(5, 100, 0, nullptr);
        return f;
    }();
    return *face;
}

class ShotListRows : public ::testing::Test {
protected:
    ShotListRows() { hub.SetSettings(&settings); }
    void Start(const TargetDescriptor& face, int shots) {
        hub.StopAcquisition();  // the series before is over
        hub.SetTargets(&face, nullptr);
        hub.NewSeries(shots, 0, 0);
    }
    std::vector<std::string> Scores() const {
        std::vector<std::string> texts;
        for (int row = 0; row <= list.Rows(); ++row) texts.push_back(list.Row(row).score);
        return texts;
    }

    Settings settings;
    ShootingHub hub;
    ShotList list{&hub};
};

TEST_F(ShotListRows, ScoresDirectionsTimesAndTotalsOnEachKindOfFace) {
    Start(Face(kRifle50), 10);
    ASSERT_EQ(list.Rows(), 10);  // ten empty rows and the total row
    for (int row = 0; row <= 10; ++row) EXPECT_TRUE(list.Row(row).score.empty()) << row;

    test::FeedShot(hub, 64, 0);    // 10, at 3 o'clock
    test::FeedShot(hub, 0, -65);   // 9, at 6 o'clock
    test::FeedShot(hub, 42, 0);    // inner ten
    EXPECT_EQ(Scores(), (std::vector<std::string>{"10", " 9", "10'", "", "", "", "", "", "", "", "29"}));
    EXPECT_EQ(list.Row(0).direction, "3");
    EXPECT_EQ(list.Row(1).direction, "6");
    EXPECT_EQ(list.Row(1).clock, 6);
    EXPECT_EQ(list.Row(0).time, "0.01");  // point 30: 1.2 s
    EXPECT_EQ(list.Row(2).time, "0.03");

    Start(Face(kAirRifleFinale), 2);
    test::FeedShot(hub, 1, 0);
    test::FeedShot(hub, 0, 26);
    EXPECT_EQ(Scores(), (std::vector<std::string>{"10.9", "9.9", "20.8"}));
    EXPECT_EQ(list.Row(1).direction, "12");

    // a decimal face's inner ten is a mark beside the tenths, not a score of its own
    Start(Face(kRifle50Finale), 2);
    test::FeedShot(hub, 42, 0);
    test::FeedShot(hub, 44, 0);
    EXPECT_EQ(Scores(), (std::vector<std::string>{"10.3'", "10.3", "20.6"}));

    Start(FieldFace(), 3);
    test::FeedShot(hub, 0, 50);
    test::FeedShot(hub, 0, 500);
    EXPECT_EQ(Scores(), (std::vector<std::string>{"1/ 5", "0/ 0", "", " 5"}));
}

TEST_F(ShotListRows, TimeInMinutesAndSecondsAndAnUnfiredShot) {
    Start(Face(kRifle50), 3);
    test::FeedShot(hub, 30, 30, 1885);  // the shot's point is 1885: 75,400 ms
    EXPECT_EQ(list.Row(0).time, "1.15");
    hub.FeedSample(0, 0, 1, 0, -1);  // never fired (a moving-target run that ended)
    EXPECT_EQ(list.Row(1).score, " 0");
    EXPECT_EQ(list.Row(1).direction, "");
    EXPECT_EQ(list.Row(1).time, "");
    EXPECT_EQ(list.Row(3).score, "10");

    // A replayed shot point changes nothing.
    hub.FeedSample(30, 30, 1, 1, 1885);
    EXPECT_EQ(list.Row(2).score, "");
}

TEST_F(ShotListRows, CentringMovesEveryShotWithAPosition) {
    Start(Face(kRifle50), 2);
    test::FeedShot(hub, 20, 10);  // clock 2
    test::FeedShot(hub, 40, 0);   // clock 3, y is 0
    EXPECT_EQ(list.Row(0).direction, "2");
    hub.Store()->Centre(1);  // correction (-30, -5)
    hub.NotifyStoreChanged();
    EXPECT_EQ(list.Row(0).direction, "10");  // shown at (-10, 5)
    EXPECT_EQ(list.Row(1).direction, "4");   // y 0 is a position: shown at (10, -5)
    EXPECT_EQ(list.Row(2).score, "20");  // rebuilt from zero, not added on top
}

TEST_F(ShotListRows, TraceRangesSelectTheirShotsAndTheWholeTraceTheTotal) {
    Start(Face(kRifle50), 3);
    for (int k = 0; k < 3; ++k) test::FeedShot(hub, 10 * k + 5, 5);  // points 30, 61, 92
    for (int i = 0; i < 10; ++i) hub.FeedSample(50, 50, 0, 0, -1);
    hub.ShowTraceRange(40, 70, 0);
    EXPECT_FALSE(list.Selected(0));
    EXPECT_TRUE(list.Selected(1));
    EXPECT_FALSE(list.Selected(3));
    hub.ShowTraceRange(0, 35, 1);  // adds shot 0
    EXPECT_TRUE(list.Selected(0));
    EXPECT_TRUE(list.Selected(1));
    hub.ShowTraceRange(0, hub.Store()->SampleCount() - 1, 0);
    for (int row = 0; row <= 3; ++row) EXPECT_TRUE(list.Selected(row)) << row;
    hub.ShowTraceRange(-1, -1, 0);
    EXPECT_EQ(list.FirstSelected(), -1);

    // Another target clears the store, and the rows of the series go with it.
    hub.StopAcquisition();
    hub.SetTargets(&Face(kAirRifleFinale), nullptr);
    EXPECT_EQ(list.Rows(), 0);
    EXPECT_EQ(list.Row(0).score, "");
}

TEST_F(ShotListRows, PrintRenderingDrawsTheRowsAndEndsBelowTheTotal) {
    Start(Face(kRifle50), 3);
    test::FeedShot(hub, 64, 0);
    const auto render = [&](int& bottom) {
        QImage image(800, 600, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        bottom = list.PrintRows(painter, QRect(20, 30, 700, 500), 5.0);  // 5 pixels per mm
        return image;
    };
    int bottom = 0;
    const QImage filled = render(bottom);
    // title line, three shot lines and the total line, each 1.2 × 20 pixels
    EXPECT_EQ(bottom, 30 + 5 * 24);
    EXPECT_EQ(filled.pixelColor(20, 60), QColor(Qt::black));  // the frame's left edge
    EXPECT_EQ(filled.pixelColor(20, bottom + 5), QColor(Qt::white));
    int inked = 0;
    for (int y = 30; y < bottom; ++y)
        for (int x = 21; x < 700; ++x) inked += filled.pixelColor(x, y) != QColor(Qt::white);
    EXPECT_GT(inked, 200);
}

}  // namespace
}  // namespace zark
