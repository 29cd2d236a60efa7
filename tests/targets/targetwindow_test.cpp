// The target window on the real widgets: a live series with scripted samples through the hub and
// the link window (no sleeping; the series timers are fired by hand), the marks, the trace, the
// aim cross, the full-score picture, the codes to the main frame, the moving range with its lead
// offsets and unfired shots, the hunting buttons and clicks on marks.
#include <gtest/gtest.h>

#include <QApplication>
#include <algorithm>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "builtcatalogue.h"
#include "core/shootinghub.h"
#include "settings/settings.h"
#include "storage/seriesfileio.h"
#include "support/seriestestkit.h"
#include "targets/widgets/aimcross.h"
#include "targets/widgets/shotmark.h"
#include "targets/widgets/targetview.h"
#include "targets/widgets/targetwindow.h"
#include "core/linkwindow.h"
#include "results/holdanalysis.h"
#include "results/phaseanalysis.h"

namespace zark {
namespace {

constexpr int kRifle50 = 3;
constexpr int kMoose5 = 13;
constexpr int kMoose5Second = 14;

// The timers fire only when the test says so, in the order they were made: the view's settle
// (timer 3), replay (1) and picture (2) timers, then the window's next-shot, replay and
// after-replay timers.
using test::HandTimers;
enum TimerIndex { kSettle = 0, kReplay = 1, kPicture = 2, kNextShot = 3 };

class FrameRecorder final : public NotificationSink {
public:
    void Notify(const Notification& n) override { received.push_back(n); }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const Notification& n : received) codes.push_back(n.code);
        return codes;
    }
    std::vector<Notification> received;
};

class TargetWindowTest : public ::testing::Test {
protected:
    TargetWindowTest() {
        settings.LineTrack = 1;
        settings.Communication = "/nonexistent/zark-test-port";  // the worker stays idle
        window = std::make_unique<TargetWindow>(hub, frame, nullptr, TargetWindow::ExtraViewFactory{}, nullptr,
                                                &timers);
        window->Link().SetWatchdogInterval(3600 * 1000);
        window->SetShotPeriod(settings.TimeBetweenShots);
        window->SetSettings(&settings);
        hub.SetSettings(&settings);
        window->resize(462, 427);
        window->show();
    }
    ~TargetWindowTest() override { window.reset(); }

    const TargetDescriptor* Face(int index) { return &test::BuiltCatalogue().Entry(index); }
    TargetView& View() { return window->View(); }
    void Fire(int index) { timers.timers[std::size_t(index)]->Fire(); }
    void Start(int shots, int isDouble) {
        ASSERT_EQ(window->StartRun(shots, 0, isDouble), 1);
        hub.NewSeries(shots, 0, isDouble);
    }
    QRgb PixelOf(const QImage& image, QPoint p) { return image.pixel(p) & 0xFFFFFF; }
    // A sample as the unit sends it, through the link window's queue.
    void Unit(int x, int y, int isShot) {
        window->Link().PostLinkSample(std::uint32_t(std::uint16_t(x)) | (std::uint32_t(std::uint16_t(y)) << 16),
                                      isShot);
        QCoreApplication::processEvents();
    }

    ShootingHub hub;
    Settings settings;
    HandTimers timers;
    FrameRecorder frame;
    std::unique_ptr<TargetWindow> window;
};

// With the trace coloured by phase the approach shows in its colour while the aim is still
// coming down, the hold once it is held; the shot colours its release, and the follow-through
// follows. The printout draws the same phases. Distances in the ten's reach R.
TEST_F(TargetWindowTest, TheTraceColouredByPhaseLiveAndPrinted) {
    settings.ColourTraceByPhase = 1;
    View().SetPhaseSource(MakePhaseLabeller());
    const TargetDescriptor& face = *Face(kRifle50);
    window->ChooseTarget(&face, nullptr);
    Start(3, 0);
    const double r = TenReachMm(face) / MillimetresPerUnit(face);
    const auto feed = [&](double x, double y, int isShot = 0) {
        hub.FeedSample(int(std::lround(x * r)), int(std::lround(y * r)), isShot, 0, -1);
    };
    const auto pixel = [&](double x, double y, int shots) {
        return PixelOf(View().grab().toImage(), View().ToPixel(int(std::lround(x * r)), int(std::lround(y * r)), shots, false));
    };
    feed(0, 30);
    for (double y = 9; y > 2.5; y -= 0.9) feed(0, y);  // down onto the face, 0.9 R a step
    EXPECT_EQ(pixel(0, 6, 0), PhaseColour(AimPhase::Approach).rgb() & 0xFFFFFF);
    for (int i = 0; i < 40; ++i) feed(i % 2 ? 0.05 : -0.05, 2);
    const int last = hub.Store()->SampleCount() - 1;
    EXPECT_EQ(View().PhaseOf(last), AimPhase::Hold);
    feed(0.05, 2, 1);
    for (int i = 1; i <= 25; ++i) feed(0.1 * i, 2);
    feed(0, -30);
    EXPECT_EQ(View().PhaseOf(last), AimPhase::Release);
    EXPECT_EQ(View().PhaseOf(last - 5), AimPhase::Hold);
    EXPECT_EQ(pixel(2, 2, 1), PhaseColour(AimPhase::FollowThrough).rgb() & 0xFFFFFF);
    EXPECT_EQ(pixel(0, 6, 1), PhaseColour(AimPhase::Approach).rgb() & 0xFFFFFF);

    // the printed face: the phases and nothing else of the trace (the face alone without them)
    const auto print = [&](int byPhase) {
        settings.ColourTraceByPhase = byPhase;
        QImage page(View().size(), QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        View().RenderForPrint(painter, 96);
        return page;
    };
    const QImage bare = print(0);
    const QImage page = print(1);
    const auto printed = [&](const QImage& image, double x, double y) {
        return PixelOf(image, View().ToPixel(int(std::lround(x * r)), int(std::lround(y * r)), 1, false));
    };
    EXPECT_EQ(printed(page, 0, 6), PhaseColour(AimPhase::Approach).rgb() & 0xFFFFFF);
    EXPECT_EQ(printed(page, 2, 2), PhaseColour(AimPhase::FollowThrough).rgb() & 0xFFFFFF);
    EXPECT_EQ(printed(bare, 0, 6), printed(bare, 0, 6.2));  // no trace on the bare face
    EXPECT_EQ(printed(page, 0, 20), printed(bare, 0, 20));  // coming from off the face: no phase

    // without the setting the trace keeps its two colours
    settings.ColourTraceByPhase = 0;
    hub.SetSettings(&settings);
    EXPECT_EQ(pixel(0, 6, 1), 0x00FFFFu);
}

TEST_F(TargetWindowTest, ALiveSeriesOnTheRifleFace) {
    window->ChooseTarget(Face(kRifle50), nullptr);
    EXPECT_FALSE(window->Button(1)->isVisible());  // no hunting buttons on a rifle face
    EXPECT_EQ(View().geometry(), window->rect());
    Start(3, 0);
    EXPECT_TRUE(View().Cross()->isVisible());
    EXPECT_FALSE(window->Button(0)->isEnabled() && false);

    // The aim comes in along y = 500 from the left, the shot breaks at (0, 500) and the aim goes on.
    for (int x = -400; x < 0; x += 25) hub.FeedSample(x, 500, 0, 0, -1);
    const QPoint beforeShot = View().ToPixel(-200, 500, 0, false);
    EXPECT_EQ(View().Cross()->pos(), View().ToPixel(-25, 500, 0, true) - QPoint(16, 16));
    hub.FeedSample(1, 500, 1, 0, -1);
    for (int x = 25; x <= 400; x += 25) hub.FeedSample(x, 500, 0, 0, -1);
    const QImage shown = View().grab().toImage();
    EXPECT_EQ(PixelOf(shown, beforeShot), 0x00FFFFu);                                 // before the shot: cyan
    EXPECT_EQ(PixelOf(shown, View().ToPixel(150, 500, 1, false)), 0x00FF00u);          // after it: green

    // Code 1 with the shot's score; its mark sits on the shot.
    ASSERT_EQ(frame.Codes(), std::vector<int>({kCodeShot}));
    EXPECT_EQ(frame.received[0].index, 0);
    EXPECT_EQ(frame.received[0].score, Face(kRifle50)->ScoreShot(1, 500));
    ShotMark* mark = View().Mark(0);
    EXPECT_TRUE(mark->isVisible());
    EXPECT_EQ(mark->geometry().center(), View().ToPixel(1, 500, 0, false));
    EXPECT_FALSE(View().PictureShown());  // not a ten

    // The cross stays inside the view.
    hub.FeedSample(9000, -9000, 0, 0, -1);
    EXPECT_EQ(View().Cross()->pos(), QPoint(View().width() - 16, View().height() - 16));

    // The shot settles: code 7, and the next shot's trace begins.
    Fire(kSettle);
    EXPECT_EQ(frame.Codes(), std::vector<int>({kCodeShot, kCodeShotSettled}));
    EXPECT_EQ(View().LiveTraceFirst(), hub.Store()->SampleCount());

    // A ten shows the full-score picture until the time between shots has passed; its white is
    // transparent.
    QTemporaryDir dir;
    QImage picture(41, 41, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 5; y < 36; ++y)
        for (int x = 5; x < 36; ++x) picture.setPixel(x, y, qRgb(200, 0, 200));
    ASSERT_TRUE(picture.save(dir.filePath("ten.bmp"), "BMP"));
    settings.FX10Bitmap = dir.filePath("ten.bmp").toStdString();
    hub.SetSettings(&settings);
    hub.FeedSample(3, 3, 0, 0, -1);
    hub.FeedSample(2, 3, 1, 0, -1);
    EXPECT_TRUE(View().PictureShown());
    EXPECT_EQ(View().PictureAt(), View().ToPixel(2, 3, 1, true));
    const QImage withPicture = View().grab().toImage();
    // (the mark and the aim cross lie over the middle of the picture)
    EXPECT_EQ(PixelOf(withPicture, View().PictureAt() + QPoint(12, 12)), 0xC800C8u);
    EXPECT_EQ(PixelOf(withPicture, View().PictureAt() + QPoint(18, 18)), 0u);  // the black face shows through
    Fire(kPicture);
    EXPECT_FALSE(View().PictureShown());
    EXPECT_EQ(PixelOf(View().grab().toImage(), View().ToPixel(2, 3, 1, true) + QPoint(12, 12)), 0u);
    Fire(kSettle);
    // A shot at exactly (0, 0) has no position: no code 1, no mark, no picture.
    hub.FeedSample(0, 0, 1, 0, -1);
    EXPECT_FALSE(View().Mark(2)->isVisible());
    EXPECT_FALSE(View().PictureShown());
    EXPECT_EQ(hub.Store()->ShotCount(), 3);
    Fire(kSettle);  // not started by the shot without position
    EXPECT_EQ(frame.Codes(), std::vector<int>({kCodeShot, kCodeShotSettled, kCodeShot, kCodeShotSettled}));
}

TEST_F(TargetWindowTest, TheSeriesCompletesAfterItsLastShotSettles) {
    window->ChooseTarget(Face(kRifle50), nullptr);
    Start(2, 0);
    for (int k = 0; k < 2; ++k) {
        hub.FeedSample(100 * k + 50, 40, 0, 0, -1);
        hub.FeedSample(100 * k + 50, 41, 1, 0, -1);
        Fire(kSettle);
        Fire(kNextShot);
    }
    EXPECT_EQ(frame.Codes(),
              std::vector<int>({kCodeShot, kCodeShotSettled, kCodeShot, kCodeShotSettled, kCodeSeriesComplete}));
    EXPECT_EQ(frame.received[3].index, 2);
    EXPECT_TRUE(View().Mark(0)->isVisible());
    EXPECT_TRUE(View().Mark(1)->isVisible());
    EXPECT_FALSE(View().Mark(2)->isVisible());
    // Zooming re-places the marks at the new scale.
    View().SetZoom(3, true);
    EXPECT_EQ(View().Mark(1)->geometry().center(), View().ToPixel(150, 41, 1, false));
}

TEST_F(TargetWindowTest, MovingRangeDoubleSeriesAlternatesLeadsAndRecordsUnfiredShots) {
    window->ChooseTarget(Face(kMoose5), Face(kMoose5Second));
    EXPECT_TRUE(window->Button(0)->isVisible());
    EXPECT_EQ(View().height(), window->height() - TargetWindow::kButtonBand);
    // "Left", "Moving Range", "Right" from left to right along the bottom.
    EXPECT_LT(window->Button(0)->x(), window->Button(1)->x());
    EXPECT_LT(window->Button(1)->x(), window->Button(2)->x());
    QTest::mouseClick(window->Button(1), Qt::LeftButton);
    EXPECT_EQ(window->Run().movingRange(), 1);

    Start(4, 1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->Button(1)->isEnabled());  // locked while the series runs
    EXPECT_EQ(window->Link().shotsEnabled(), 0);   // no shot counts until a run is announced
    const TargetDescriptor* left = Face(kMoose5);
    EXPECT_EQ(window->LastLead(), LeadOffset({left->LeadAlternate(0).x, left->LeadAlternate(0).y}));

    Unit(30, 20, 1);  // before any run: not a shot
    EXPECT_EQ(hub.Store()->ShotCount(), 0);
    window->Link().PostLinkLine(0);  // a run from the left
    QCoreApplication::processEvents();
    EXPECT_EQ(View().shotsEnabled(), 1);
    Unit(30, 20, 0);
    Unit(31, 20, 1);
    ASSERT_EQ(hub.Store()->ShotCount(), 1);
    Fire(kNextShot);  // the time between shots: the second shot of the run takes the other lead
    EXPECT_EQ(window->LastLead(), LeadOffset({left->LeadAlternate(1).x, left->LeadAlternate(1).y}));
    Unit(40, 10, 0);
    Unit(41, 10, 1);
    EXPECT_EQ(hub.Store()->ShotCount(), 2);
    EXPECT_EQ(View().shotsEnabled(), 0);  // two shots per run in a Double series
    Fire(kNextShot);
    EXPECT_EQ(window->LastLead(), LeadOffset({left->LeadAlternate(0).x, left->LeadAlternate(0).y}));

    // A run from the right, and another one before anything was fired: its two shots are misses.
    window->Link().PostLinkLine(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(View().side(), 1);
    window->Link().PostLinkLine(0);
    QCoreApplication::processEvents();
    ASSERT_EQ(hub.Store()->ShotCount(), 4);
    EXPECT_TRUE(hub.Store()->ShotHasNoTrace(2));
    EXPECT_TRUE(hub.Store()->ShotHasNoTrace(3));
    std::vector<int> unfired;
    for (const Notification& n : frame.received)
        if (n.code == kCodeUnfiredShot || n.code == kCodeSeriesComplete) unfired.push_back(n.code * 100 + n.index);
    EXPECT_EQ(unfired, std::vector<int>({402, 403, 300}));
    EXPECT_FALSE(View().Mark(2)->isVisible());
}

TEST_F(TargetWindowTest, AutomaticReplayBetweenShotsThenTheSeriesCompletes) {
    settings.AutoReplay = 1;
    window->ChooseTarget(Face(kRifle50), nullptr);
    Start(1, 0);
    for (int i = 0; i < 30; ++i) hub.FeedSample(200 - 6 * i, 100 - 3 * i, 0, 0, -1);
    hub.FeedSample(2, 2, 1, 0, -1);  // a ten
    for (int i = 0; i < 10; ++i) hub.FeedSample(10 * i, -20 * i - 5, 0, 0, -1);
    Fire(kSettle);  // code 7: acquisition stops and the replay is due
    EXPECT_EQ(window->Run().waiting(), 1);
    EXPECT_FALSE(hub.IsRunning());
    EXPECT_FALSE(View().Cross()->isVisible());
    Fire(kNextShot + 1);  // two seconds later the shot is replayed
    ASSERT_EQ(View().replayActive(), 1);
    EXPECT_TRUE(View().Cross()->isVisible());
    EXPECT_EQ(View().Cross()->replay(), 1);
    EXPECT_FALSE(View().Mark(0)->isVisible());  // the mark comes back when the replay passes the shot
    Fire(kPicture);
    int ticks = 0;
    while (timers.timers[kReplay]->Active() && ticks < 1000) {
        Fire(kReplay);
        ++ticks;
        if (View().replayPosition() == hub.Store()->Shot(0).traceIndex + 1) {
            EXPECT_TRUE(View().Mark(0)->isVisible());
            EXPECT_TRUE(View().PictureShown());  // the replayed ten shows the picture
        }
    }
    EXPECT_EQ(ticks, View().replayLast() - View().replayFirst() + 2);
    std::vector<int> codes = frame.Codes();
    EXPECT_EQ(codes, std::vector<int>({kCodeShot, kCodeShotSettled, kCodeReplayedShot, kCodeReplayAtEnd}));
    Fire(kNextShot + 2);  // after the replay: the series is complete
    EXPECT_EQ(frame.Codes().back(), kCodeSeriesComplete);
    EXPECT_EQ(window->Run().waiting(), 0);

    // A range from outside that reaches beyond the trace ends with the trace.
    hub.ShowTraceRange(30, 1000000, 0);
    View().StartReplay(100, +1);
    ticks = 0;
    while (timers.timers[kReplay]->Active() && ticks < 1000) {
        Fire(kReplay);
        ++ticks;
    }
    EXPECT_EQ(ticks, hub.Store()->SampleCount() - 30 + 1);
    EXPECT_EQ(frame.Codes().back(), kCodeReplayAtEnd);
}

TEST_F(TargetWindowTest, SightersShowTheirSquareAndMeanPointOfImpact) {
    window->ChooseTarget(Face(kRifle50), nullptr);
    ASSERT_EQ(window->StartRun(3, 1, 0), 1);
    hub.NewSeries(3, 1, 0);
    hub.FeedSample(100, 80, 0, 0, -1);
    hub.FeedSample(100, 80, 1, 0, -1);
    hub.FeedSample(200, 120, 0, 0, -1);
    hub.FeedSample(200, 120, 1, 0, -1);
    hub.ShowTraceRange(0, hub.Store()->SampleCount(), 0);  // both shots selected
    EXPECT_EQ(View().meanX(), 150);
    EXPECT_EQ(View().meanY(), 100);
    EXPECT_EQ(hub.offsetX(), -150);  // the correction of the following series
    EXPECT_EQ(View().Mark(0)->Selected(), 1);
    const QImage image = View().grab().toImage();
    const int half = View().UnitsToPixels(200);
    // the red square of 200 units around the middle
    EXPECT_EQ(PixelOf(image, QPoint(View().width() / 2 - half, View().height() / 2 + 10)), 0xFF0000u);
    // the dotted red cross through the mean point of impact, across the view
    const QPoint mean = View().ToPixel(150, 100, 2, false);
    int red = 0;
    for (int x = 0; x < 40; ++x) red += PixelOf(image, QPoint(x, mean.y())) == 0xFF0000u ? 1 : 0;
    EXPECT_GT(red, 10);
    EXPECT_LT(red, 40);  // dotted
}

TEST_F(TargetWindowTest, LeftAndRightChooseTheSideOfAHuntingTarget) {
    window->ChooseTarget(Face(kMoose5), Face(kMoose5Second));
    const QImage left = View().FaceBuffer().copy(View().rect());
    QTest::mouseClick(window->Button(2), Qt::LeftButton);
    EXPECT_EQ(View().side(), 1);
    EXPECT_EQ(View().CurrentTarget(), Face(kMoose5Second));
    EXPECT_NE(View().FaceBuffer().copy(View().rect()), left);  // the animal runs the other way
    QTest::mouseClick(window->Button(0), Qt::LeftButton);
    EXPECT_EQ(View().side(), 0);
    EXPECT_EQ(View().FaceBuffer().copy(View().rect()), left);
    // Another family hides the buttons and gives the view the whole window.
    window->ChooseTarget(Face(kRifle50), nullptr);
    EXPECT_FALSE(window->Button(0)->isVisible());
    EXPECT_EQ(View().geometry(), window->rect());
}

TEST_F(TargetWindowTest, MarksReportClicksAndDoubleClicks) {
    window->ChooseTarget(Face(kRifle50), nullptr);
    Start(5, 0);
    hub.FeedSample(60, 60, 0, 0, -1);
    hub.FeedSample(60, 61, 1, 0, -1);
    frame.received.clear();
    ShotMark* mark = View().Mark(0);
    const QPoint middle = mark->rect().center();
    // Clicks at known times: two within the double-click time, then a third.
    const auto click = [&](quint64 time) {
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, middle, mark->mapToGlobal(middle), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            event.setTimestamp(time);
            QCoreApplication::sendEvent(mark, &event);
        }
    };
    const int interval = QApplication::doubleClickInterval();
    click(100000);
    click(100000 + quint64(interval) / 2);
    click(100000 + quint64(interval));
    EXPECT_EQ(frame.Codes(), std::vector<int>({kCodeMarkClick, kCodeMarkDoubleClick, kCodeMarkClick}));
    EXPECT_EQ(mark->toolTip(), "1");
    EXPECT_EQ(mark->focusPolicy(), Qt::NoFocus);
}

}  // namespace
}  // namespace zark

namespace zark {
namespace {

// Calling the shot, by real clicks and keys on the view: a click where the sights were, Enter for
// the middle, Escape to skip, a shot fired before the call; the calls are drawn, kept in the
// series file and read back; the last shot's call comes before the series completes.
TEST_F(TargetWindowTest, CallingEachShotByClickEnterAndEscape) {
    settings.CallShots = 1;
    hub.SetSettings(&settings);
    window->ChooseTarget(Face(kRifle50), nullptr);
    Start(4, 0);
    const auto shoot = [this](int x, int y) {
        hub.FeedSample(x + 30, y + 30, 0, 0, -1);
        hub.FeedSample(x, y, 1, 0, -1);
    };
    shoot(120, 80);
    EXPECT_EQ(View().CallAwaited(), -1);  // not before the shot has settled
    Fire(kSettle);
    ASSERT_EQ(View().CallAwaited(), 0);
    EXPECT_TRUE(View().hasFocus() || !QApplication::focusWidget());
    // the click lands on the shot's own mark: the mark lets it through to the call
    const QPoint at = View().ToPixel(110, 70, 0, false);
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, View().mapTo(window.get(), at));
    EXPECT_EQ(View().CallAwaited(), -1);
    const ShotCall first = hub.Store()->Call(0);
    ASSERT_TRUE(first.given);
    EXPECT_NEAR(first.x, 110, 4);  // a pixel is about 3.7 units here
    EXPECT_NEAR(first.y, 70, 4);
    // the hollow ring and its line are drawn in orange around the call
    const QImage called = View().grab().toImage();
    int orange = 0;
    for (int y = at.y() - 12; y <= at.y() + 12; ++y)
        for (int x = at.x() - 12; x <= at.x() + 12; ++x) {
            const QColor c = called.pixelColor(x, y);
            orange += c.red() > 200 && c.green() > 80 && c.green() < 170 && c.blue() < 60;
        }
    EXPECT_GT(orange, 10);

    shoot(-300, 200);
    Fire(kSettle);
    ASSERT_EQ(View().CallAwaited(), 1);
    QTest::keyClick(&View(), Qt::Key_Return);  // in the middle
    EXPECT_EQ(hub.Store()->Call(1), (ShotCall{1, 0, 0}));

    // a shot fired while the call is awaited ends the wait: that call is skipped
    shoot(0, -400);
    Fire(kSettle);
    ASSERT_EQ(View().CallAwaited(), 2);
    shoot(50, 50);
    EXPECT_EQ(View().CallAwaited(), -1);
    EXPECT_FALSE(hub.Store()->Call(2).given);

    // the last shot: the series completes once its call is skipped
    Fire(kSettle);
    ASSERT_EQ(View().CallAwaited(), 3);
    const std::vector<int> codes = frame.Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), int(kCodeSeriesComplete)), 0);
    QTest::keyClick(&View(), Qt::Key_Escape);
    EXPECT_EQ(View().CallAwaited(), -1);
    EXPECT_FALSE(hub.Store()->Call(3).given);
    EXPECT_EQ(frame.Codes().back(), kCodeSeriesComplete);
    if (const QByteArray dir = qgetenv("ZARK_SCREENSHOT_DIR"); !dir.isEmpty())
        window->grab().save(QString::fromLocal8Bit(dir) + "/target-calls.png");

    // kept in the series file and read back
    QTemporaryDir dir;
    auto record = std::make_unique<SeriesRecord>();
    record->targetId = Face(kRifle50)->Identity();
    record->numberOfShots = 4;
    record->store = hub.Store()->Image();
    const QString path = dir.filePath("called.zas");
    ASSERT_TRUE(SeriesFileIo().WriteSeries(*record, path));
    auto read = std::make_unique<SeriesRecord>();
    ASSERT_TRUE(SeriesFileIo().ReadSeries(path, *read));
    for (int k = 0; k < 4; ++k) EXPECT_EQ(read->store.calls[k], record->store.calls[k]) << k;

    // a new series asks nothing of the old one, and without the setting no call is awaited
    settings.CallShots = 0;
    hub.SetSettings(&settings);
    window->Unlock();  // as the main frame does when the series is complete
    ASSERT_EQ(window->StartRun(1, 0, 0), 1);
    hub.NewSeries(1, 0, 0);
    shoot(10, 10);
    Fire(kSettle);
    EXPECT_EQ(View().CallAwaited(), -1);
    EXPECT_EQ(frame.Codes().back(), kCodeSeriesComplete);
}

}  // namespace
}  // namespace zark
