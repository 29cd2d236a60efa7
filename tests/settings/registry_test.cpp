#include <gtest/gtest.h>

#include <QSettings>

#include "settings/registryaccess.h"
#include "settings/settingsstorage.h"
#include "support/testsupport.h"

namespace zark {
namespace {

using test::CountOf;
using test::LogText;

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegistryAccess::LiveCount(), 0);
        QSettings("VEXA", "Zark").clear();
        LogLine("%s", "");  // the log of this run exists from here on
    }
    // Writes raw text under a settings value, as another program or an old version might have.
    static void Store(const QString& name, const QVariant& value) {
        QSettings keys("VEXA", "Zark");
        keys.setValue(name, value);
    }
    static QVariant Stored(const QString& name) { return QSettings("VEXA", "Zark").value(name); }
};

const char* const kLoadOrder[] = {
    "TimeBetweenShots", "ReplaySpeed", "BlindShooting", "Amplitude", "CenterFrequency", "PeripheralFrequency",
    "SoundRifle", "SoundPistol", "Communication", "Zoom", "AutoReplay", "TellResult", "LineTrack",
    "ColourTraceByPhase", "DataDirectory", "LangID", "ShootingDistance", "ReplayTimeAfter", "ReplayTimeBefore", "FX10Bitmap",
    "ColorLineBeforeShot", "ColorLineAfterShot"};

TEST_F(Registry, FirstStartLogsEveryMissingValueInOrderAndSavesAllAtExit) {
    const std::size_t before = LogText().size();
    Settings settings;
    {
        RegistryAccess registry;
        LoadSettings(settings, registry, "(none)");
        const std::string log = LogText().substr(before);
        std::size_t pos = 0;
        for (const char* name : kLoadOrder) {
            const std::string line = std::string("error reading registry value '") + name + "': " +
                                     SystemErrorText(ENOENT) + "\n";
            EXPECT_EQ(CountOf(log, line), 1) << name;
            const std::size_t at = log.find(line);
            EXPECT_GE(at, pos) << name << " out of order";
            pos = at;
        }
        // the range's values came later: a configuration without them is no fault to log
        EXPECT_EQ(CountOf(log, "'Range"), 0);
        EXPECT_EQ(settings.TimeBetweenShots, 1600);
        EXPECT_EQ(settings.LangID, 1024);
        SaveSettings(settings, registry);
    }
    EXPECT_EQ(Stored("TimeBetweenShots").toString(), "1600");
    EXPECT_EQ(Stored("Communication").toString(), "COM2");
    EXPECT_EQ(Stored("LangID").toString(), "1024");
    EXPECT_EQ(Stored("SoundRifle").toString(), "(none)");
    EXPECT_EQ(Stored("ColorLineBeforeShot").toUInt(), 0x00FFFF00u);
    EXPECT_EQ(Stored("ColorLineAfterShot").toUInt(), 0x0000FF00u);
    EXPECT_FALSE(Stored("UnitTimeStep").isValid());
    EXPECT_FALSE(Stored("BitmapDirectory").isValid());
    EXPECT_FALSE(Stored("CustomizePage").isValid());
}

TEST_F(Registry, EveryValueSurvivesASaveAndLoadCycle) {
    Settings edited = Settings::Defaults();
    edited.TimeBetweenShots = 2200;
    edited.ReplaySpeed = 30;
    edited.Communication = "COM1";
    edited.BlindShooting = 1;
    edited.Amplitude = 40;
    edited.CenterFrequency = 4434;
    edited.PeripheralFrequency = 440;
    edited.SoundRifle = "Gewehr";
    edited.SoundPistol = "pistolet ñ";
    edited.Zoom = 3;
    edited.AutoReplay = 1;
    edited.LineTrack = 1;
    edited.ColourTraceByPhase = 1;
    edited.DataDirectory = "/tmp/zark data";
    edited.LangID = 1031;
    edited.TellResult = 1;
    edited.ShootingDistance = 38;
    edited.ReplayTimeAfter = 300;
    edited.ReplayTimeBefore = 9000;
    edited.FX10Bitmap = "/pics/ten.bmp";
    edited.ColorLineBeforeShot = 0x00123456;
    edited.ColorLineAfterShot = 0x00ABCDEF;
    edited.RangeEnabled = 1;
    edited.RangeHost = "range.club.example";
    edited.RangePort = 8883;
    edited.RangeTls = 1;
    edited.RangeCaFile = "/etc/club/ca.crt";
    edited.RangeUser = "lane7";
    edited.RangePassword = "se cret";
    edited.RangeName = "north";
    edited.RangeLane = "lane7";
    edited.RangeShooter = "Åsa Öberg";
    {
        RegistryAccess registry;
        SaveSettings(edited, registry);
    }
    Settings loaded;
    RegistryAccess registry;
    LoadSettings(loaded, registry, "(none)");
    edited.BitmapDirectory = loaded.BitmapDirectory;
    EXPECT_EQ(loaded.TimeBetweenShots, 2200);
    EXPECT_EQ(loaded.Communication, "COM1");
    EXPECT_EQ(loaded.SoundPistol, "pistolet ñ");
    EXPECT_EQ(loaded.LangID, 1031);
    EXPECT_EQ(loaded.ColorLineAfterShot, 0x00ABCDEFu);
    EXPECT_EQ(loaded.ReplayTimeBefore, 9000);
    EXPECT_EQ(loaded.DataDirectory, "/tmp/zark data");
    EXPECT_EQ(loaded.FX10Bitmap, "/pics/ten.bmp");
    EXPECT_EQ(loaded.ShootingDistance, 38);
    EXPECT_TRUE(loaded == edited);
}

TEST_F(Registry, TimeBetweenShotsStoredInSecondsIsTakenAsMilliseconds) {
    const std::pair<const char*, int> cases[] = {{"1.60", 1600}, {"2", 2000}, {"1600", 1600}, {"0.4", 400}};
    for (const auto& [text, expected] : cases) {
        Store("TimeBetweenShots", QString(text));
        Settings settings;
        RegistryAccess registry;
        LoadSettings(settings, registry, "(none)");
        EXPECT_EQ(settings.TimeBetweenShots, expected) << text;
    }
}

TEST_F(Registry, BadStoredTextsKeepTheDefaults) {
    Store("ReplaySpeed", "fast");
    Store("Zoom", "  3 times");
    Store("Communication", QString(5000, 'C'));  // longer than the read buffer
    Store("LangID", "70000");                    // 16 bits kept
    Store("ColorLineBeforeShot", "not a colour");
    const std::size_t before = LogText().size();
    Settings settings;
    RegistryAccess registry;
    LoadSettings(settings, registry, "(none)");
    EXPECT_EQ(settings.ReplaySpeed, 100);
    EXPECT_EQ(settings.Zoom, 3);
    EXPECT_EQ(settings.Communication, "COM2");
    EXPECT_EQ(settings.LangID, std::uint16_t(70000));
    EXPECT_EQ(settings.ColorLineBeforeShot, 0x00FFFF00u);
    const std::string log = LogText().substr(before);
    EXPECT_EQ(CountOf(log, "error reading registry value 'Communication'"), 1);
    EXPECT_EQ(CountOf(log, "error reading registry value 'ColorLineBeforeShot'"), 1);
    EXPECT_EQ(CountOf(log, "error reading registry value 'ReplaySpeed'"), 0);

    // 1023 bytes still fit
    Store("Communication", QString(1023, 'C'));
    LoadSettings(settings, registry, "(none)");
    EXPECT_EQ(settings.Communication.size(), 1023u);
}

TEST_F(Registry, RectanglesWithWordsAndTheirFallback) {
    RegistryAccess registry;
    EXPECT_TRUE(registry.writeRect("Diagram", {462, 232, 632, 402}, "2"));
    Rect rect{0, 0, 640, 480};
    std::string word;
    ASSERT_TRUE(registry.readRect("Diagram", rect, &word));
    EXPECT_EQ(rect, (Rect{462, 232, 632, 402}));
    EXPECT_EQ(word, "2");
    EXPECT_EQ(QSettings("VEXA", "Zark").value("Dialogs/Diagram").toString(), "462,232,632,402:2");

    QSettings("VEXA", "Zark").setValue("Dialogs/Main", "100,50,900");
    const std::size_t before = LogText().size();
    Rect main{0, 0, 640, 480};
    EXPECT_FALSE(registry.readRect("Main", main));
    EXPECT_FALSE(registry.readRect("Target", main));  // missing: silent
    EXPECT_EQ(main, (Rect{0, 0, 640, 480}));
    EXPECT_EQ(LogText().size(), before);
}

TEST_F(Registry, KeysStayOpenWhileAnyHolderLives) {
    EXPECT_FALSE(RegistryAccess::KeysOpen());
    auto first = std::make_unique<RegistryAccess>();
    auto second = std::make_unique<RegistryAccess>();
    EXPECT_EQ(RegistryAccess::LiveCount(), 2);
    first.reset();
    EXPECT_TRUE(RegistryAccess::KeysOpen());
    EXPECT_TRUE(second->writeInt("Zoom", 2));
    second.reset();
    EXPECT_FALSE(RegistryAccess::KeysOpen());
    EXPECT_EQ(Stored("Zoom").toString(), "2");
}

}  // namespace
}  // namespace zark
