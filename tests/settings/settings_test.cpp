#include <gtest/gtest.h>

#include <QDir>

#include "settings/registryforms.h"
#include "settings/settings.h"

namespace zark {
namespace {

TEST(Settings, FreshRecordHoldsTheDefaults) {
    const Settings s = Settings::Defaults("(nichts)");
    EXPECT_EQ(s.TimeBetweenShots, 1600);
    EXPECT_EQ(s.ReplaySpeed, 100);
    EXPECT_EQ(s.Communication, "COM2");
    EXPECT_EQ(s.UnitTimeStep, 40);
    EXPECT_EQ(s.BlindShooting, 0);
    EXPECT_EQ(s.Amplitude, 24);
    EXPECT_EQ(s.CenterFrequency, 8869);
    EXPECT_EQ(s.PeripheralFrequency, 220);
    EXPECT_EQ(s.SoundRifle, "(nichts)");
    EXPECT_EQ(s.SoundPistol, "(nichts)");
    EXPECT_EQ(s.Zoom, 1);
    EXPECT_EQ(s.AutoReplay, 0);
    EXPECT_EQ(s.LineTrack, 0);
    EXPECT_EQ(s.LangID, 1024);
    EXPECT_EQ(s.TellResult, 0);
    EXPECT_EQ(s.ShootingDistance, 33);
    EXPECT_EQ(s.ReplayTimeAfter, 1000);
    EXPECT_EQ(s.ReplayTimeBefore, 5000);
    EXPECT_EQ(s.FX10Bitmap, "");
    EXPECT_EQ(s.ColorLineBeforeShot, MakeColourRef(0, 255, 255));
    EXPECT_EQ(s.ColorLineAfterShot, MakeColourRef(0, 255, 0));
    EXPECT_EQ(s.CustomizePage, 0);
    const QString current = QDir::currentPath();
    EXPECT_EQ(QDir::fromNativeSeparators(QString::fromStdString(s.DataDirectory)), current + "/data");
    EXPECT_EQ(QDir::fromNativeSeparators(QString::fromStdString(s.BitmapDirectory)), current + "/bitmap");
}

TEST(RegistryForms, IntegersReadLikeScanf) {
    std::int32_t v = 7;
    EXPECT_TRUE(ParseLeadingInt("1600", v));
    EXPECT_EQ(v, 1600);
    EXPECT_TRUE(ParseLeadingInt("  -42abc", v));
    EXPECT_EQ(v, -42);
    EXPECT_TRUE(ParseLeadingInt("1.60", v));
    EXPECT_EQ(v, 1);
    EXPECT_TRUE(ParseLeadingInt("99999999999999999999", v));
    EXPECT_EQ(v, 2147483647);
    EXPECT_TRUE(ParseLeadingInt("-99999999999999999999", v));
    EXPECT_EQ(v, -2147483647 - 1);
    v = 7;
    for (const char* bad : {"", "abc", "-", "+ 1", ".5", "\x01"}) {
        EXPECT_FALSE(ParseLeadingInt(bad, v)) << bad;
        EXPECT_EQ(v, 7);
    }
}

TEST(RegistryForms, RealsAlwaysUseThePoint) {
    double v = 0;
    EXPECT_TRUE(ParseLeadingReal("1.60", v));
    EXPECT_DOUBLE_EQ(v, 1.6);
    EXPECT_TRUE(ParseLeadingReal(" +2", v));
    EXPECT_DOUBLE_EQ(v, 2.0);
    EXPECT_FALSE(ParseLeadingReal("x", v));
    EXPECT_EQ(FormatReal(1.6), "1.60");
}

TEST(RegistryForms, RectanglesWithAndWithoutWord) {
    Rect r;
    std::string word = "old";
    ASSERT_TRUE(ParseRect("462,232,632,402:2", r, &word));
    EXPECT_EQ(r, (Rect{462, 232, 632, 402}));
    EXPECT_EQ(word, "2");
    ASSERT_TRUE(ParseRect("-5, 6,7,8", r, &word));
    EXPECT_EQ(r, (Rect{-5, 6, 7, 8}));
    EXPECT_EQ(word, "");
    // fewer than four numbers: rejected, nothing changed
    EXPECT_FALSE(ParseRect("1,2,3", r, &word));
    EXPECT_FALSE(ParseRect("1,2,3,", r, &word));
    EXPECT_FALSE(ParseRect("1;2;3;4", r, &word));
    EXPECT_EQ(r, (Rect{-5, 6, 7, 8}));
    EXPECT_EQ(FormatRect({462, 232, 632, 402}, "2"), "462,232,632,402:2");
    EXPECT_EQ(FormatRect({0, 0, 640, 480}), "0,0,640,480");
}

}  // namespace
}  // namespace zark
