// The main of every test executable: a Qt application (a widget one for GUI tests, whose windows
// keep their placements in the settings as the program's do), settings in a temporary folder that
// is removed at the end, then GoogleTest.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#if defined(ZARK_TEST_GUI)
#include <QApplication>

#include "app/registryplacements.h"
using TestApplication = QApplication;
#elif defined(ZARK_TEST_GUI_APP)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    TestApplication app(argc, argv);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
#if defined(ZARK_TEST_GUI)
    zark::ProcessPlacements() = &zark::ProgramPlacements();  // as the program does
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
