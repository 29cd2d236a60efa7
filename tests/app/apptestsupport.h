#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <functional>
#include <vector>

#include "support/modalwatch.h"

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace zark::test {

// Stored settings, read and written directly while no settings holder of the program is alive.
// Keys of the "Dialogs" group are written "Dialogs/Main".
void StoreValue(const QString& key, const QVariant& value);
void RemoveValue(const QString& key);
QVariant StoredValue(const QString& key);

// The item of a command in a menu or any of its pop-ups; null when there is none.
QAction* FindAction(QMenu* menu, int command);
// The item of a command anywhere in a window's menu bar; null when there is none.
QAction* FindCommand(QMainWindow& window, int command);
// Chooses the item as a click does; false (nothing happens) when a user could not choose it.
bool ChooseCommand(QMainWindow& window, int command);
// True when a user can choose the item: it and every menu on the way to it are enabled.
bool Choosable(QAction* action);
// The commands of a menu's items in order, 0 for a separator, -1 for a pop-up.
std::vector<int> CommandsOf(QMenu* menu);
// The texts of a menu's items in order (separators as "-").
std::vector<QString> TextsOf(QMenu* menu);

// With ZARK_SCREENSHOT_DIR set, a picture of the widget is kept there under name.
void KeepPicture(QWidget* widget, const QString& name);

// The "LangID" this test process runs in: 1033, or the one a language child run was given.
int ProcessLangId();
// Runs the tests of filter of this program in a child process that loads the texts of langId;
// its exit code (-1 when it did not end within a minute, -2 when it crashed).
int RunChild(const char* filter, int langId);

// The environment of a child process: offscreen, its settings in configDir.
QProcessEnvironment ProgramEnvironment(const QString& configDir);
// Runs the program in folder dir, with the settings stored in dir/config first, until its first
// paint. The exit code is -1 when it did not end within 30 s.
struct ProgramRun {
    int exitCode = -1;
    QByteArray errors;  // what it wrote to standard error
};
ProgramRun RunProgramToFirstPaint(const QString& dir, const QVariantMap& settings);

}  // namespace zark::test
