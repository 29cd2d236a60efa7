// The Customize dialog, driven with real clicks and keys: what it shows, what OK and Cancel do
// with the settings, its scaling, its test buttons and the port probe on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <cerrno>
#include <memory>
#include <thread>

#include "window/dialogunits.h"
#include "diag/diagnostics.h"
#include "i18n/uistrings.h"
#include "link/portprobe.h"
#include "link/serialworker.h"
#include "linktestsupport.h"
#include "settings/widgets/customizedialog.h"
#include "settings/widgets/settingspages.h"
#include "settings/widgets/svgpicture.h"
#include "window/updowncontrol.h"
#include "support/testsupport.h"

namespace zark {
namespace {

// The sound player as the Sound page sees it, recording what it is asked to play.
class RecordingSound final : public CustomizeSoundHooks {
public:
    std::vector<std::string> SoundNames() override { return names; }
    void PlayShotSound(const std::string& name) override { played.push_back(name); }
    void StartToneSweep(int centreHz, int peripheralHz) override {
        sweeps.emplace_back(centreHz, peripheralHz);
        sweeping = true;
    }
    bool ToneSweepPlaying() const override { return sweeping; }
    void StopSound() override {
        ++stops;
        sweeping = false;
    }

    std::vector<std::string> names = {"rifle", "air", "Pistol shot"};
    std::vector<std::string> played;
    std::vector<std::pair<int, int>> sweeps;
    bool sweeping = false;
    int stops = 0;
};

UiMetrics TestMetrics(int screenFontHeight = UiMetrics::kNormalScreenFontHeight) {
    UiMetrics metrics;
    metrics.dialogFont = DialogUnits::DialogFont();
    metrics.decimalSeparator = QStringLiteral(".");
    metrics.imperial = false;
    metrics.screenFontHeight = screenFontHeight;
    return metrics;
}

class Customize : public ::testing::Test {
protected:
    Customize() {
        LoadUiStrings();
        settings = Settings::Defaults(UiText(103));
        QDir(bitmaps()).removeRecursively();
        settings.BitmapDirectory = bitmaps().toStdString();
    }
    ~Customize() override { dialog.reset(); }

    static QString bitmaps() { return QDir::current().filePath(QStringLiteral("bitmap")); }

    CustomizeDialog& Open() {
        dialog.reset();
        CustomizeContext context;
        context.sound = &sound;
        context.probe = [this](const std::string& name) { return ProbePort(worker, name); };
        dialog = std::make_unique<CustomizeDialog>(nullptr, settings, context, metrics);
        dialog->show();
        return *dialog;
    }
    void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void Ok() { Click(dialog->OkButton()); }
    void Cancel() { Click(dialog->CancelButton()); }
    void ShowTab(int tab) {
        QTabBar* bar = dialog->Tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
        ASSERT_EQ(dialog->Tabs()->currentIndex(), tab);
    }
    // A click on the check box's square.
    void Toggle(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }
    void Arrow(UpDownControl* control, bool up, int times = 1) {
        for (int i = 0; i < times; ++i) Click(up ? control->UpButton() : control->DownButton());
    }
    void TypePort(const QString& text) {
        QLineEdit* edit = dialog->Zark()->PortBox()->lineEdit();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    }

    Settings settings;
    UiMetrics metrics = TestMetrics();
    RecordingSound sound;
    SerialWorker worker;
    std::unique_ptr<CustomizeDialog> dialog;
};

TEST(UiMetricsScaling, LargeScreenFontsScaleByFiveQuarters) {
    EXPECT_EQ(UiMetrics::Scale(160, 16), 160);
    EXPECT_EQ(UiMetrics::Scale(160, 17), 200);
    EXPECT_EQ(UiMetrics::Scale(15, 20), 18);  // 18.75, truncated
    EXPECT_EQ(UiMetrics::Scale(0, 20), 0);
}

TEST_F(Customize, ShowsTheDefaultsOfAFirstStart) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Customize");
    EXPECT_EQ(dialog->OkButton()->text(), "&OK");
    EXPECT_EQ(dialog->CancelButton()->text(), "&Cancel");
    // (the Range tab was added after the original five)
    const QStringList tabs = {"General", "Replay", "Sound", "ZARK", "Options", "Range"};
    ASSERT_EQ(dialog->Tabs()->count(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(dialog->Tabs()->tabText(i), tabs[i]);
    EXPECT_EQ(dialog->Tabs()->currentIndex(), 0);

    EXPECT_EQ(dialog->General()->TimeSlider()->value(), 6);
    EXPECT_EQ(dialog->General()->TimeSlider()->maximum(), 14);
    QComboBox* language = dialog->General()->LanguageList();
    EXPECT_EQ(language->currentText(), "(default)");
    QStringList languages;
    for (int i = 0; i < language->count(); ++i) languages << language->itemText(i);
    EXPECT_EQ(languages, QStringList({"(default)", "Deutsch   (German)", "English US", QString::fromUtf8("Español   (Spanish)"),
                                      "Svenska   (Swedish)"}));
    EXPECT_TRUE(dialog->General()->RestartNote()->isHidden());

    ReplayPage* replay = dialog->Replay();
    EXPECT_EQ(replay->SpeedSlider()->value(), 9);
    EXPECT_EQ(replay->BeforeReadOut()->text(), "5.0s");
    EXPECT_EQ(replay->AfterReadOut()->text(), "1.0s");
    EXPECT_FALSE(replay->AutoReplay()->isChecked());
    EXPECT_FALSE(replay->LineTrace()->isChecked());

    SoundPage* soundPage = dialog->Sound();
    EXPECT_FALSE(soundPage->BlindShooting()->isChecked());
    EXPECT_EQ(soundPage->CentreReadOut()->text(), "8869Hz");
    EXPECT_EQ(soundPage->CentreControl()->Value(), 16);
    EXPECT_EQ(soundPage->PeripheralReadOut()->text(), "220Hz");
    EXPECT_EQ(soundPage->PeripheralControl()->Value(), 0);
    EXPECT_EQ(soundPage->RifleList()->currentText(), "(none)");
    EXPECT_EQ(soundPage->PistolList()->currentText(), "(none)");
    EXPECT_EQ(soundPage->RifleList()->itemText(0), "(none)");  // sorted, "(none)" first
    EXPECT_EQ(soundPage->RifleList()->count(), 4);
    EXPECT_FALSE(soundPage->TellResult()->isChecked());
    EXPECT_EQ(soundPage->SweepButton()->toolTip(), "Test Sound");

    EXPECT_EQ(dialog->Zark()->PortBox()->currentText(), "COM2");
    EXPECT_EQ(dialog->Zark()->PortBox()->itemText(0), "COM1");
    EXPECT_GE(dialog->Zark()->PortBox()->findText("Simulator"), 0);
    EXPECT_EQ(dialog->Zark()->DistanceSlider()->value(), 3);
    EXPECT_EQ(dialog->Zark()->TestButton()->toolTip(), "Test ZARK Adapter");

    EXPECT_EQ(dialog->Options()->PictureList()->count(), 1);  // no bitmap folder: the empty entry only
    EXPECT_EQ(dialog->Options()->PictureList()->currentText(), "");
}

TEST_F(Customize, OkWithoutChangesKeepsEverySetting) {
    QDir().mkpath(bitmaps());
    QImage star(12, 12, QImage::Format_RGB32);
    star.fill(Qt::red);
    ASSERT_TRUE(star.save(bitmaps() + "/star.bmp", "BMP"));
    for (const bool defaults : {true, false}) {
        if (!defaults) {
            settings.TimeBetweenShots = 2200;
            settings.ReplaySpeed = 40;
            settings.ReplayTimeBefore = 12300;
            settings.ReplayTimeAfter = 700;
            settings.AutoReplay = 1;
            settings.LineTrack = 1;
            settings.BlindShooting = 1;
            settings.CenterFrequency = 4434;
            settings.PeripheralFrequency = 554;
            settings.SoundRifle = "rifle";
            settings.SoundPistol = "Pistol shot";
            settings.TellResult = 1;
            settings.LangID = 1031;
            settings.Communication = "COM1";
            settings.ShootingDistance = 37;
            settings.FX10Bitmap = QDir::toNativeSeparators(bitmaps() + "/star.bmp").toStdString();
        }
        const Settings before = settings;
        Open();
        Ok();
        EXPECT_EQ(dialog->result(), kDialogOk);
        EXPECT_TRUE(settings == before) << (defaults ? "defaults" : "changed values");
        EXPECT_EQ(settings.FX10Bitmap, before.FX10Bitmap);
    }
}

TEST_F(Customize, ValuesOffTheGridAreShownAndReplacedOnOk) {
    settings.TimeBetweenShots = 1700;   // not 400 + 200 k
    settings.CenterFrequency = 1000;    // not in the table
    settings.ReplayTimeBefore = 5050;
    settings.LangID = 2057;             // a language without a table
    settings.SoundRifle = "gone";       // no longer in the sound folder
    settings.SoundPistol = "(Ruhe)";    // "(none)" of another language
    settings.ShootingDistance = 45;
    settings.FX10Bitmap = "/elsewhere/missing.bmp";
    Open();
    EXPECT_EQ(dialog->Sound()->CentreReadOut()->text(), "1000Hz");
    EXPECT_EQ(dialog->Replay()->BeforeReadOut()->text(), "5.0s");
    EXPECT_EQ(dialog->General()->LanguageList()->currentIndex(), -1);
    Ok();
    EXPECT_EQ(settings.TimeBetweenShots, 1600);
    EXPECT_EQ(settings.CenterFrequency, 220);  // position 0
    EXPECT_EQ(settings.ReplayTimeBefore, 5000);
    EXPECT_EQ(settings.LangID, 1024);
    EXPECT_EQ(settings.SoundRifle, "(none)");
    EXPECT_EQ(settings.SoundPistol, "(none)");
    EXPECT_EQ(settings.ShootingDistance, 40);
    EXPECT_EQ(settings.FX10Bitmap, "");
}

TEST_F(Customize, CancelAfterMovingEveryControlKeepsEverySetting) {
    const Settings before = settings;
    Open();
    QTest::keyClick(dialog->General()->TimeSlider(), Qt::Key_Right);
    QTest::keyClick(dialog->General()->LanguageList(), Qt::Key_Down);
    EXPECT_FALSE(dialog->General()->RestartNote()->isHidden());  // German, Swedish or Spanish next time
    ShowTab(CustomizeDialog::kReplayTab);
    ReplayPage* replay = dialog->Replay();
    QTest::keyClick(replay->SpeedSlider(), Qt::Key_Left);
    Arrow(replay->BeforeControl(), true);
    Arrow(replay->AfterControl(), false);
    Toggle(replay->AutoReplay());
    Toggle(replay->LineTrace());
    Toggle(replay->PhaseColours());
    ShowTab(CustomizeDialog::kSoundTab);
    SoundPage* soundPage = dialog->Sound();
    Toggle(soundPage->BlindShooting());
    Arrow(soundPage->CentreControl(), false);
    Arrow(soundPage->PeripheralControl(), true);
    QTest::keyClick(soundPage->RifleList(), Qt::Key_Down);
    QTest::keyClick(soundPage->PistolList(), Qt::Key_Down);
    Toggle(soundPage->TellResult());
    ShowTab(CustomizeDialog::kZarkTab);
    TypePort("COM7");
    QTest::keyClick(dialog->Zark()->DistanceSlider(), Qt::Key_Right);
    ShowTab(CustomizeDialog::kOptionsTab);

    // everything moved: OK would have stored all of it
    Settings edited = settings;
    for (SettingsPage* page : dialog->findChildren<SettingsPage*>()) page->Save(edited);
    EXPECT_EQ(edited.TimeBetweenShots, 1800);
    EXPECT_EQ(edited.ReplaySpeed, 90);
    EXPECT_EQ(edited.ReplayTimeBefore, 4900);
    EXPECT_EQ(edited.ReplayTimeAfter, 1100);
    EXPECT_EQ(edited.AutoReplay + edited.LineTrack + edited.ColourTraceByPhase + edited.BlindShooting + edited.TellResult, 5);
    EXPECT_EQ(edited.CenterFrequency, 7039);
    EXPECT_EQ(edited.PeripheralFrequency, 277);
    EXPECT_EQ(edited.SoundRifle, "air");  // the next after "(none)" in sorted order
    EXPECT_EQ(edited.Communication, "COM7");
    EXPECT_EQ(edited.ShootingDistance, 34);

    Cancel();
    EXPECT_EQ(dialog->result(), kDialogCancel);
    Settings expected = before;
    expected.CustomizePage = CustomizeDialog::kOptionsTab;  // only the tab to open with next
    EXPECT_TRUE(settings == expected);

    // The close box is Cancel too.
    Open();
    ShowTab(CustomizeDialog::kReplayTab);
    Toggle(dialog->Replay()->AutoReplay());
    dialog->close();
    EXPECT_EQ(dialog->result(), kDialogCancel);
    expected.CustomizePage = CustomizeDialog::kReplayTab;
    EXPECT_TRUE(settings == expected);
}

TEST_F(Customize, ATypedPortNameIsStoredUnchanged) {
    for (const QString& name : {QStringLiteral("COM3"), QStringLiteral("/dev/ttyUSB0"), QStringLiteral("ttyACM1")}) {
        Open();
        ShowTab(CustomizeDialog::kZarkTab);
        TypePort(name);
        Ok();
        EXPECT_EQ(settings.Communication, name.toStdString());
    }
    // Enter in the port box does not add the name to the list of choices.
    Open();
    const int choices = dialog->Zark()->PortBox()->count();
    TypePort("COM9");
    QTest::keyClick(dialog->Zark()->PortBox()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(settings.Communication, "COM9");  // Enter is OK
    EXPECT_EQ(dialog->Zark()->PortBox()->count(), choices);
}

TEST_F(Customize, ReopensOnTheTabShownLast) {
    Open();
    ShowTab(CustomizeDialog::kZarkTab);
    Cancel();
    Open();
    EXPECT_EQ(dialog->Tabs()->currentIndex(), CustomizeDialog::kZarkTab);
    ShowTab(CustomizeDialog::kReplayTab);
    Ok();
    EXPECT_EQ(settings.CustomizePage, CustomizeDialog::kReplayTab);
    Open();
    EXPECT_EQ(dialog->Tabs()->currentIndex(), CustomizeDialog::kReplayTab);
}

TEST_F(Customize, LargeScreenFontsMakeEveryPlaceAQuarterLarger) {
    for (const int height : {16, 20}) {
        metrics = TestMetrics(height);
        Open();
        const auto s = [height](int n) { return UiMetrics::Scale(n, height); };
        EXPECT_EQ(dialog->Tabs()->geometry().topLeft(), QPoint(s(5), s(5)));
        EXPECT_GE(dialog->Tabs()->height(), s(300));
        // one control per page
        EXPECT_EQ(dialog->General()->LanguageList()->geometry().topLeft(), QPoint(s(10), s(92)));
        EXPECT_EQ(dialog->General()->LanguageList()->width(), s(160));
        EXPECT_EQ(dialog->Replay()->BeforeReadOut()->geometry(), QRect(s(10), s(90), s(40), s(18)));
        EXPECT_EQ(dialog->Sound()->SweepButton()->geometry(), QRect(s(170), s(28), s(20), s(20)));
        EXPECT_EQ(dialog->Zark()->TestButton()->geometry(), QRect(s(140), s(28), s(20), s(20)));
        EXPECT_EQ(dialog->Options()->Preview()->geometry(), QRect(s(10), s(60), s(180), s(160)));
        // the sliders and their scales keep their size
        EXPECT_EQ(dialog->Zark()->DistanceSlider()->geometry(), QRect(s(10), s(88), 160, 20));
        auto* scale = dialog->Zark()->findChild<SvgPicture*>("distanceScale");
        ASSERT_TRUE(scale);
        EXPECT_EQ(scale->geometry(), QRect(s(10), s(88) + 20, 160, 10));
        EXPECT_TRUE(scale->IsValid());
        EXPECT_EQ(scale->PictureId(), 1173);
        // the buttons stay below the tab control
        EXPECT_GT(dialog->OkButton()->y(), dialog->Tabs()->geometry().bottom());
        EXPECT_LE(dialog->OkButton()->geometry().bottom(), dialog->height());
        EXPECT_LE(dialog->Tabs()->geometry().right(), dialog->width());
    }
    metrics.imperial = true;
    Open();
    EXPECT_EQ(dialog->Zark()->findChild<SvgPicture*>("distanceScale")->PictureId(), 1174);
}

TEST_F(Customize, ReplayArrowsRunBackwardsAndReadOutsFollowTheLocale) {
    metrics.decimalSeparator = QStringLiteral(",");
    Open();
    ShowTab(CustomizeDialog::kReplayTab);
    ReplayPage* replay = dialog->Replay();
    EXPECT_EQ(replay->BeforeReadOut()->text(), "5,0s");
    Arrow(replay->BeforeControl(), true);  // up shortens
    EXPECT_EQ(replay->BeforeReadOut()->text(), "4,9s");
    Arrow(replay->BeforeControl(), false, 3);
    EXPECT_EQ(replay->BeforeReadOut()->text(), "5,2s");
    Arrow(replay->AfterControl(), true, 12);  // stops at 0
    EXPECT_EQ(replay->AfterReadOut()->text(), "0,0s");
    EXPECT_EQ(replay->AfterControl()->Value(), 0);
    // the keys do what the arrows do; Page Down is a whole second
    QTest::keyClick(replay->BeforeControl(), Qt::Key_PageDown);
    EXPECT_EQ(replay->BeforeReadOut()->text(), "6,2s");
    QTest::keyClick(replay->BeforeControl(), Qt::Key_Up);
    EXPECT_EQ(replay->BeforeReadOut()->text(), "6,1s");
    Ok();
    EXPECT_EQ(settings.ReplayTimeBefore, 6100);
    EXPECT_EQ(settings.ReplayTimeAfter, 0);
}

TEST(UpDownControlHold, StepsGrowOnceTheArrowHasBeenHeld) {
    UpDownControl control;
    control.resize(20, 18);
    control.SetRange(0, 300);
    control.SetInverted(true);
    control.SetValue(150);
    control.SetAcceleration(1, 10);
    control.show();
    QTest::mousePress(control.DownButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(control.Value() >= 170, 3000);  // the down arrow lengthens
    QTest::mouseRelease(control.DownButton(), Qt::LeftButton);
    EXPECT_EQ((control.Value() - 150) % 10, 0);  // every step after the hold is a large one
    const int released = control.Value();
    QTest::qWait(control.DownButton()->autoRepeatDelay() + 100);
    EXPECT_EQ(control.Value(), released);  // no steps after release
}

TEST_F(Customize, SoundTestsPlayWhatThePageShows) {
    Open();
    ShowTab(CustomizeDialog::kSoundTab);
    SoundPage* page = dialog->Sound();
    Click(page->SweepButton());
    ASSERT_EQ(sound.sweeps.size(), 1u);
    EXPECT_EQ(sound.sweeps[0], std::make_pair(8869, 220));
    Click(page->SweepButton());  // a second press ends it
    EXPECT_EQ(sound.stops, 1);
    EXPECT_EQ(sound.sweeps.size(), 1u);
    Arrow(page->CentreControl(), false, 2);
    EXPECT_EQ(page->CentreReadOut()->text(), "5587Hz");
    Arrow(page->PeripheralControl(), true, 30);  // stops at the table's end
    EXPECT_EQ(page->PeripheralReadOut()->text(), "11175Hz");
    Click(page->SweepButton());
    EXPECT_EQ(sound.sweeps.back(), std::make_pair(5587, 11175));  // not yet applied

    QTest::keyClick(page->RifleList(), Qt::Key_Down);
    Click(page->RifleTest());
    Click(page->PistolTest());
    EXPECT_EQ(sound.played, (std::vector<std::string>{"air", "(none)"}));
    const int stops = sound.stops;
    Cancel();
    EXPECT_GT(sound.stops, stops);  // nothing plays on after the dialog
    EXPECT_EQ(settings.CenterFrequency, 8869);
}

TEST_F(Customize, WithoutASoundFolderTheListsHoldOnlyNone) {
    sound.names.clear();
    Open();
    EXPECT_EQ(dialog->Sound()->RifleList()->count(), 1);
    EXPECT_EQ(dialog->Sound()->PistolList()->currentText(), "(none)");
}

TEST_F(Customize, PicturesOfTheBitmapFolderArePreviewed) {
    QDir().mkpath(bitmaps() + "/folder.bmp");  // a folder is not a picture
    QImage small(20, 10, QImage::Format_RGB32);
    small.fill(Qt::blue);
    ASSERT_TRUE(small.save(bitmaps() + "/Star.BMP", "BMP"));
    QImage big(400, 50, QImage::Format_RGB32);
    big.fill(Qt::green);
    ASSERT_TRUE(big.save(bitmaps() + "/big.bmp", "BMP"));
    QFile broken(bitmaps() + "/broken.bmp");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("BM this is no picture at all");
    broken.close();

    Open();
    ShowTab(CustomizeDialog::kOptionsTab);
    QComboBox* list = dialog->Options()->PictureList();
    QStringList entries;
    for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
    EXPECT_EQ(entries, QStringList({"", "big", "broken", "Star"}));

    PicturePreview* preview = dialog->Options()->Preview();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);  // big: loaded, too large to draw
    EXPECT_TRUE(preview->Picture().IsLoaded());
    EXPECT_EQ(preview->grab().toImage().pixel(preview->width() / 2, preview->height() / 3) & 0xFFFFFF, 0xFFFFFFu);
    QTest::keyClick(list, Qt::Key_Down);  // broken: the logged reason, no picture
    EXPECT_FALSE(preview->Picture().IsLoaded());
    EXPECT_TRUE(preview->Message().startsWith(UiQString(345)));
    EXPECT_TRUE(preview->Message().contains("bitmap file '")) << preview->Message().toStdString();
    EXPECT_TRUE(test::LogText().find(preview->Message().section('\n', 1).toStdString()) != std::string::npos);
    QTest::keyClick(list, Qt::Key_Down);  // Star: drawn in the middle
    ASSERT_TRUE(preview->Picture().IsLoaded());
    EXPECT_EQ(preview->grab().toImage().pixel(preview->width() / 2, preview->height() / 2) & 0xFFFFFF, 0x0000FFu);
    Ok();
    EXPECT_EQ(QDir::fromNativeSeparators(QString::fromStdString(settings.FX10Bitmap)), bitmaps() + "/Star.BMP");

    Open();
    EXPECT_EQ(dialog->Options()->PictureList()->currentText(), "Star");
    QTest::keyClick(dialog->Options()->PictureList(), Qt::Key_Home);
    Ok();
    EXPECT_EQ(settings.FX10Bitmap, "");
}

class CustomizeProbe : public Customize {
protected:
    void Probe(const std::string& port) {
        Open();
        ShowTab(CustomizeDialog::kZarkTab);
        TypePort(QString::fromStdString(port));
        QSignalSpy finished(dialog->Zark(), &ZarkPage::probeFinished);
        Click(dialog->Zark()->TestButton());
        // The dialog goes on while the probe waits for the unit.
        EXPECT_FALSE(dialog->Zark()->TestButton()->isEnabled());
        EXPECT_EQ(dialog->Zark()->ProbeStatus()->text().toStdString(), "Testing " + port + " ...");
        EXPECT_TRUE(finished.wait(5000));
        EXPECT_TRUE(dialog->Zark()->TestButton()->isEnabled());
        EXPECT_TRUE(dialog->Zark()->ProbeStatus()->text().isEmpty());
    }
    test::MessageCapture messages;
};

TEST_F(CustomizeProbe, AnAnsweringUnitIsReported) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    std::thread unit([&] {
        if (pty.Read(1) == test::Bytes{0x0D}) pty.Write({0x8D});
    });
    Probe(pty.path());
    unit.join();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Customize");
    EXPECT_EQ(messages.shown[0].text, "ZARK system unit OK");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);

    Probe("Simulator");  // the simulated unit answers like a real one
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "ZARK system unit OK");
}

TEST_F(CustomizeProbe, ASilentPortAndAMissingOneSayWhy) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    Probe(pty.path());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(messages.shown[0].text, "ZARK system unit is not connected\n\nNo answer from " + pty.path() + " within 2 seconds.");

    Probe("/dev/zark-no-such-port");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "ZARK system unit is not connected\n\n/dev/zark-no-such-port cannot be opened: " +
                                          SystemErrorText(ENOENT));
    // The probe changes no setting.
    Cancel();
    EXPECT_EQ(settings.Communication, "COM2");
}

TEST_F(Customize, TheRangePageNeverShowsThePasswordAndKeepsNamesSafe) {
    settings.RangePassword = "secret";
    Open();
    ShowTab(CustomizeDialog::kRangeTab);
    RangePage* page = dialog->Range();
    EXPECT_FALSE(page->Enabled()->isChecked());  // off by default
    EXPECT_EQ(page->Host()->text(), "localhost");
    EXPECT_EQ(page->Port()->value(), 1883);
    EXPECT_EQ(page->RangeName()->text(), "club");
    EXPECT_EQ(page->Lane()->text(), QString::fromStdString(HostLaneName()));
    EXPECT_FALSE(page->Lane()->isEnabled());  // the lane's own values follow the box
    EXPECT_FALSE(page->CaFile()->isEnabled());
    // the stored password is never shown back, not even hidden behind dots
    EXPECT_TRUE(page->Password()->text().isEmpty());
    EXPECT_EQ(page->Password()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(page->Password()->placeholderText(), "(stored)");

    Toggle(page->Enabled());
    EXPECT_TRUE(page->Lane()->isEnabled());
    const auto type = [](QLineEdit* edit, const QString& text) {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    };
    type(page->Lane(), "lane 7/b#");  // a topic's separators and wildcards cannot be typed
    type(page->Shooter(), QString(80, 'x'));
    type(page->Host(), "range.club.example");
    Ok();
    EXPECT_EQ(settings.RangeEnabled, 1);
    EXPECT_EQ(settings.RangeLane, "lane7b");
    EXPECT_EQ(settings.RangeShooter, std::string(64, 'x'));
    EXPECT_EQ(settings.RangeHost, "range.club.example");
    EXPECT_EQ(settings.RangePassword, "secret");  // an empty box keeps it

    Open();
    ShowTab(CustomizeDialog::kRangeTab);
    type(dialog->Range()->Password(), "new one");
    type(dialog->Range()->Lane(), "");  // a lane always has a name: the old one stays
    Ok();
    EXPECT_EQ(settings.RangePassword, "new one");
    EXPECT_EQ(settings.RangeLane, "lane7b");
}

}  // namespace
}  // namespace zark
