// The port a session starts with: whenever the simulated unit stands in for the detector unit the
// window says so plainly, and zark.log says why; with the unit's port present nothing changes.
#include <gtest/gtest.h>

#include <QFile>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "window/commandids.h"
#include "app/mainframe.h"
#include "app/noticebanner.h"
#include "apptestsupport.h"
#include "i18n/uistrings.h"
#include "support/testsupport.h"

namespace zark {
namespace {

class SessionPort : public ::testing::Test {
protected:
    void TearDown() override {
        frame.reset();
        test::RemoveValue("Communication");
        if (master >= 0) ::close(master);
    }
    void Build(const QString& port) {
        test::StoreValue("Communication", port);
        frame = std::make_unique<MainFrame>();
        ASSERT_EQ(frame->Create("ZARK", "ZARK"), 1);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    QLabel* Label(const char* name) const { return frame->findChild<QLabel*>(name); }
    // The terminal side of a new pseudo-terminal: a port that is present.
    std::string PresentPort() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return {};
        return ::ptsname(master);
    }

    std::unique_ptr<MainFrame> frame;
    int master = -1;
};

TEST_F(SessionPort, AMissingPortRunsOnTheSimulatedUnitAndTheWindowAndTheLogSaySo) {
    const std::string reason = "configured port /dev/ttyZARKMISSING7 not found on this machine; using the simulated unit (";
    const int logged = test::CountOf(test::LogText(), reason);
    Build("/dev/ttyZARKMISSING7");
    EXPECT_EQ(frame->SessionPort(), "Simulator");
    EXPECT_TRUE(frame->SimulatedUnitNoticeShown());
    QLabel* notice = Label("simulatedUnitNotice");
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text(), UiQString(kUiTextSimulatedUnit));
    EXPECT_GE(notice->width(), notice->sizeHint().width());  // never cut
    EXPECT_EQ(Label("simulatedUnitReason")->text(), "Port /dev/ttyZARKMISSING7 was not found on this machine. " +
                                                        UiQString(kUiTextChoosePort));
    // Beside the notice the reason ends in "…" where it does not fit, never mid-word; the
    // tooltip has it whole.
    const auto* reasonLabel = dynamic_cast<ElidedLabel*>(Label("simulatedUnitReason"));
    ASSERT_NE(reasonLabel, nullptr);
    const QString shown = reasonLabel->ShownText();
    EXPECT_TRUE(shown == reasonLabel->text() || shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_LE(reasonLabel->fontMetrics().horizontalAdvance(shown), reasonLabel->contentsRect().width());
    EXPECT_EQ(reasonLabel->toolTip(), reasonLabel->text());
    EXPECT_EQ(frame->windowTitle(), "ZARK");  // the caption keeps its rule
    EXPECT_EQ(test::CountOf(test::LogText(), reason), logged + 1);  // once
    // the child area still leaves its 32-pixel band above the notice
    EXPECT_EQ(frame->ClientArea()->geometry().bottom() + 1, frame->statusBar()->geometry().top());
}

TEST_F(SessionPort, TheSimulatorChosenAsPortIsShownWithItsReasonAndCanBeHiddenAndShownAgain) {
    Build("Simulator");
    EXPECT_EQ(frame->SessionPort(), "Simulator");
    ASSERT_TRUE(frame->SimulatedUnitNoticeShown());
    EXPECT_TRUE(Label("simulatedUnitReason")->text().startsWith(UiQString(kUiTextPortIsSimulator) + ' '));
    const int withNotice = frame->ClientArea()->height();
    frame->SetSimulatedUnitNotice(false);
    EXPECT_FALSE(frame->SimulatedUnitNoticeShown());
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->ClientArea()->height() > withNotice; }));
    frame->SetSimulatedUnitNotice(true);
    EXPECT_TRUE(frame->SimulatedUnitNoticeShown());
    EXPECT_TRUE(Label("simulatedUnitNotice")->isVisible());
}

TEST_F(SessionPort, APresentPortIsUsedWithoutANotice) {
    const std::string port = PresentPort();
    ASSERT_FALSE(port.empty());
    Build(QString::fromStdString(port));
    EXPECT_EQ(frame->SessionPort(), port);
    EXPECT_FALSE(frame->SimulatedUnitNoticeShown());
    EXPECT_EQ(Label("simulatedUnitNotice"), nullptr);
    EXPECT_EQ(frame->ClientArea()->height(), frame->height() - frame->menuBar()->height());
    EXPECT_EQ(test::CountOf(test::LogText(), "configured port " + port), 0);
    frame->SetSimulatedUnitNotice(false);  // nothing to hide
    EXPECT_FALSE(frame->SimulatedUnitNoticeShown());
}

// A port chosen in Customize is the one the link opens next: the notice follows it.
TEST_F(SessionPort, TheNoticeFollowsThePortChosenInCustomize) {
    Build("/dev/ttyZARKMISSING7");
    ASSERT_TRUE(frame->SimulatedUnitNoticeShown());
    const auto choose = [this](const std::string& port) {
        test::ModalWatch watch([port](QWidget* dialog) {
            QLineEdit* edit = dialog->findChild<QComboBox*>("port")->lineEdit();
            edit->selectAll();
            QTest::keyClicks(edit, QString::fromStdString(port));
            QTest::mouseClick(dialog->findChild<QPushButton*>("ok"), Qt::LeftButton);
        });
        frame->OnCommand(kCmdCustomize);
        EXPECT_TRUE(watch.Seen());
        EXPECT_EQ(frame->CurrentSettings().Communication, port);
    };
    const std::string present = PresentPort();
    ASSERT_FALSE(present.empty());
    choose(present);
    EXPECT_FALSE(frame->SimulatedUnitNoticeShown());
    choose("/dev/ttyZARKMISSING7");  // the setting of the session again: its simulated unit
    EXPECT_TRUE(frame->SimulatedUnitNoticeShown());
    choose("Simulator");
    EXPECT_TRUE(frame->SimulatedUnitNoticeShown());
    EXPECT_TRUE(Label("simulatedUnitReason")->text().startsWith(UiQString(kUiTextPortIsSimulator) + ' '));
}

// The program itself, in a folder of its own: a stored "COMn" that names no device here.
TEST(SessionPortProgram, TheLogOfTheRunSaysWhyTheSimulatedUnitIsUsed) {
    QTemporaryDir dir;
    const test::ProgramRun run = test::RunProgramToFirstPaint(
        dir.path(), {{"HideWarningAtStartup", "1"}, {"LangID", "1033"}, {"Communication", "COM97"}});
    EXPECT_EQ(run.exitCode, 0);
    QFile log(dir.filePath("zark.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(text.contains("configured port COM97 not found on this machine; using the simulated unit (COM97 means "
                              "serial device number 97; serial devices found: "))
        << text.toStdString();
    // the stored setting stays as it was
    EXPECT_EQ(QSettings(dir.filePath("config/VEXA/Zark.conf"), QSettings::IniFormat).value("Communication").toString(),
              "COM97");
}

}  // namespace
}  // namespace zark
