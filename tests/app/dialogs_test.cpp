// The start-up warnings, the About box, the help and the program's message boxes, with real
// dialogs, clicks and keys. With ZARK_SCREENSHOT_DIR set the dialogs are also saved as pictures.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextEdit>

#include "app/aboutdialog.h"
#include "window/commandids.h"
#include "app/helpwindow.h"
#include "app/mainframe.h"
#include "app/qtmessageboxsink.h"
#include "app/warningsdialog.h"
#include "apptestsupport.h"
#include "i18n/uistrings.h"
#include "settings/registryaccess.h"
#include "settings/settings.h"
#include "settings/widgets/customizedialog.h"
#include "support/testsupport.h"

namespace zark {
namespace {

using test::FindAction;
using test::ModalWatch;
using test::RemoveValue;
using test::StoredValue;
using test::StoreValue;

void Keep(QWidget* widget, const char* name) {
    const QByteArray dir = qgetenv("ZARK_SCREENSHOT_DIR");
    if (!dir.isEmpty()) widget->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromLatin1(name)));
}

QAction* Item(MainFrame& frame, int command) { return FindAction(frame.Menus().HelpMenu(), command); }

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override { StoreValue("HideWarningAtStartup", "1"); }
    void TearDown() override {
        frame.reset();
        StoreValue("HideWarningAtStartup", "1");
    }
    // Builds the frame; a modal dialog that nobody expects is closed and counted.
    void Build(bool expectWarnings) {
        frame = std::make_unique<MainFrame>();
        frame->Warnings().SetAlertSound([this] { ++sounds; });
        std::unique_ptr<ModalWatch> guard;
        if (!expectWarnings)
            guard = std::make_unique<ModalWatch>([this](QWidget* unexpected) {
                ++unexpectedDialogs;
                unexpected->close();
            });
        ASSERT_EQ(frame->Create("ZARK", "ZARK"), 1);
    }

    std::unique_ptr<MainFrame> frame;
    int sounds = 0;
    int unexpectedDialogs = 0;
};

TEST_F(DialogsTest, WarningsAtTheFirstStart) {
    RemoveValue("HideWarningAtStartup");
    bool seen = false;
    ModalWatch watch([&](QWidget* modal) {
        auto* dialog = qobject_cast<WarningsDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_EQ(sounds, 1);  // the sound starts before the dialog
        EXPECT_EQ(dialog->windowTitle(), "ZARK");
        EXPECT_EQ(dialog->Text()->text().toStdString(),
                  UiText(191) + "\n\n" + UiText(192) + "\n\n" + UiText(193));
        EXPECT_EQ(dialog->Text()->objectName(), "text2204");
        EXPECT_TRUE(dialog->OkButton()->isDefault());
        EXPECT_EQ(dialog->palette().color(QPalette::Window), QColor(255, 255, 0));
        EXPECT_EQ(dialog->Text()->palette().color(QPalette::WindowText), QColor(Qt::black));
        const QImage picture = dialog->grab().toImage();
        EXPECT_EQ(picture.pixelColor(3, picture.height() - 3), QColor(255, 255, 0));
        Keep(dialog, "warnings.png");
        // Escape does not end the warnings; Enter chooses OK.
        QTest::keyClick(dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog->isVisible());
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    Build(true);
    EXPECT_TRUE(seen);
    EXPECT_EQ(Item(*frame, kCmdShowWarnings)->isChecked(), true);
    EXPECT_EQ(frame->Menus().HasCheck(kCmdShowWarnings), 1);

    // Unchecking takes effect at the next start, which shows no warnings.
    Item(*frame, kCmdShowWarnings)->trigger();
    EXPECT_EQ(frame->Menus().HasCheck(kCmdShowWarnings), 0);
    frame.reset();
    EXPECT_EQ(StoredValue("HideWarningAtStartup").toString(), "1");
    Build(false);
    EXPECT_EQ(unexpectedDialogs, 0);
    EXPECT_EQ(sounds, 1);
    EXPECT_EQ(frame->Menus().HasCheck(kCmdShowWarnings), 0);

    // Checking it again shows them at the start after.
    Item(*frame, kCmdShowWarnings)->trigger();
    frame.reset();
    EXPECT_EQ(StoredValue("HideWarningAtStartup").toString(), "0");
}

TEST_F(DialogsTest, AnyNonZeroValueHidesTheWarnings) {
    StoreValue("HideWarningAtStartup", "5");
    Build(false);
    EXPECT_EQ(unexpectedDialogs, 0);
    EXPECT_EQ(frame->Warnings().ShouldShowAtStartup(), 0);
    frame.reset();
    EXPECT_EQ(StoredValue("HideWarningAtStartup").toString(), "1");

    // A value that is no number counts as missing: the warnings are shown.
    StoreValue("HideWarningAtStartup", "never");
    ModalWatch watch([](QWidget* modal) { QTest::mouseClick(modal->findChild<QPushButton*>("button2001"), Qt::LeftButton); });
    Build(true);
    EXPECT_TRUE(watch.Seen());
    EXPECT_EQ(frame->Menus().HasCheck(kCmdShowWarnings), 1);
}

TEST_F(DialogsTest, TheWarningsEndWithOkOrByClosing) {
    WarningsDialog ok(nullptr);
    {
        ModalWatch watch([](QWidget* modal) { QTest::mouseClick(modal->findChild<QPushButton*>("button2001"), Qt::LeftButton); });
        EXPECT_EQ(ok.Run(), kDialogOk);
    }
    WarningsDialog closed(nullptr);
    ModalWatch watch([](QWidget* modal) { modal->close(); });
    EXPECT_EQ(closed.Run(), kDialogCancel);
}

TEST_F(DialogsTest, EscapeCancelsCustomizeAndAboutButNotTheWarnings) {
    Settings settings;
    settings.Amplitude = 7;
    CustomizeDialog customize(nullptr, settings);
    AboutDialog about(nullptr);
    WarningsDialog warnings(nullptr);
    for (ModalDialog* dialog : std::initializer_list<ModalDialog*>{&customize, &about}) {
        ModalWatch watch([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        EXPECT_EQ(dialog->Run(), kDialogCancel);
    }
    EXPECT_EQ(settings.Amplitude, 7);
    ModalWatch watch([](QWidget* modal) {
        QTest::keyClick(modal, Qt::Key_Escape);
        EXPECT_TRUE(modal->isVisible());
        modal->close();
    });
    EXPECT_EQ(warnings.Run(), kDialogCancel);
}

TEST_F(DialogsTest, AboutBoxShowsTheVersion) {
    Build(false);
    bool seen = false;
    ModalWatch watch([&](QWidget* modal) {
        auto* about = qobject_cast<AboutDialog*>(modal);
        ASSERT_NE(about, nullptr);
        seen = true;
        EXPECT_EQ(about->windowTitle(), "About ZARK");
        const QStringList lines = about->Text()->toPlainText().split('\n');
        ASSERT_GE(lines.size(), 2);
        EXPECT_EQ(lines[0], "ZARK Target Practice Computer");
        EXPECT_EQ(lines[1], "Version 2.0.5");
        EXPECT_TRUE(about->Text()->isReadOnly());
        EXPECT_EQ(about->Text()->objectName(), "text2201");
        EXPECT_EQ(about->Text()->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                  Qt::AlignHCenter);
        Keep(about, "about.png");
        QTest::mouseClick(about->OkButton(), Qt::LeftButton);
    });
    FindAction(frame->Menus().HelpMenu(), kCmdAbout)->trigger();
    EXPECT_TRUE(seen);
    EXPECT_FALSE(QApplication::activeModalWidget());
}

TEST_F(DialogsTest, HelpOpensTheFileOfTheStoredLanguage) {
    Build(false);
    FindAction(frame->Menus().HelpMenu(), kCmdHelpTopics)->trigger();
    HelpWindow* help = frame->Help().Window();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->FileName(), "ZARK (English US).html");
    EXPECT_TRUE(help->FileFound());
    EXPECT_EQ(help->windowTitle(), "ZARK Help");
    EXPECT_TRUE(help->Browser()->toPlainText().contains("Connecting the detector unit"));
    Keep(help, "help.png");

    const struct {
        int langId;
        const char* file;
        const char* text;
    } languages[] = {
        {1053, "ZARK (Svenska).html", "Ansluta detektorenheten"},
        {1031, "ZARK (Deutsch).html", "Detektoreinheit anschlie\xC3\x9F" "en"},
        {3082, "ZARK (Espa\xC3\xB1ol).html", "Conectar la unidad detectora"},
        {1044, "ZARK (English US).html", "Keyboard shortcuts"},
    };
    for (const auto& language : languages) {
        {
            RegistryAccess registry;
            registry.writeInt("LangID", language.langId);
        }
        // The help follows the setting as it is stored now, not the language the menus were built in.
        HelpWindow* shown = frame->Help().Show();
        EXPECT_EQ(shown, help);  // one help window, brought forward
        EXPECT_EQ(shown->FileName(), QString::fromUtf8(language.file));
        EXPECT_TRUE(shown->FileFound());
        EXPECT_TRUE(shown->Browser()->toPlainText().contains(QString::fromUtf8(language.text))) << language.langId;
    }
    {
        RegistryAccess registry;
        registry.writeInt("LangID", test::ProcessLangId());
    }
    help->close();
}

TEST_F(DialogsTest, AHelpFileThatIsMissingIsReportedInTheHelpWindow) {
    HelpWindow help;
    help.ShowFile("ZARK (Klingon).html");
    EXPECT_FALSE(help.FileFound());
    EXPECT_EQ(help.Browser()->toPlainText().toStdString(), "Failed to open file ZARK (Klingon).html");
}

TEST_F(DialogsTest, MessagesAppearInRealMessageBoxes) {
    QtMessageBoxSink sink;
    MessageBoxSink* previous = SetMessageBoxSink(&sink);
    bool seen = false;
    ModalWatch watch([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->windowTitle(), "Error");
        EXPECT_EQ(box->text(), "ZARK system unit is not connected");
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        QTest::keyClick(box, Qt::Key_Return);
    });
    CurrentMessageBoxSink().ShowMessage("Error", "ZARK system unit is not connected", MessageIcon::Error);
    EXPECT_TRUE(seen);
    SetMessageBoxSink(previous);
}

}  // namespace
}  // namespace zark
