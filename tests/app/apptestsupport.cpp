#include "apptestsupport.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QMenu>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

namespace zark::test {
namespace {

// Before any test: the texts are loaded in one fixed language (English unless a language child
// run asks for another), whatever the machine's own language is, and the start-up warnings are
// not shown unless a test asks for them.
class ShellEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        StoreValue(QStringLiteral("LangID"), QString::number(ProcessLangId()));
        StoreValue(QStringLiteral("HideWarningAtStartup"), QStringLiteral("1"));
    }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new ShellEnvironment);

}  // namespace

void KeepPicture(QWidget* widget, const QString& name) {
    const QByteArray dir = qgetenv("ZARK_SCREENSHOT_DIR");
    if (!dir.isEmpty()) widget->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(name));
}

QProcessEnvironment ProgramEnvironment(const QString& configDir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", configDir);
    return env;
}

ProgramRun RunProgramToFirstPaint(const QString& dir, const QVariantMap& settings) {
    const QString config = dir + "/config";
    {
        QSettings stored(config + "/VEXA/Zark.conf", QSettings::IniFormat);
        for (auto it = settings.begin(); it != settings.end(); ++it) stored.setValue(it.key(), it.value());
    }
    QProcess zark;
    QProcessEnvironment env = ProgramEnvironment(config);
    env.insert("ZARK_QUIT_AFTER_FIRST_PAINT", "1");
    zark.setProcessEnvironment(env);
    zark.setWorkingDirectory(dir);
    zark.start(ZARK_PROGRAM_PATH, {});
    ProgramRun run;
    if (!zark.waitForFinished(30000)) {
        zark.kill();
        zark.waitForFinished();
        return run;
    }
    run.exitCode = zark.exitStatus() == QProcess::NormalExit ? zark.exitCode() : -2;
    run.errors = zark.readAllStandardError();
    return run;
}

int ProcessLangId() {
    const QByteArray child = qgetenv("ZARK_CHILD_LANGID");
    return child.isEmpty() ? 1033 : child.toInt();
}

int RunChild(const char* filter, int langId) {
    QTemporaryDir dir;
    QProcess child;
    QProcessEnvironment env = ProgramEnvironment(dir.filePath("config"));
    env.insert("ZARK_CHILD_LANGID", QString::number(langId));
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(dir.path());
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + filter});
    if (!child.waitForFinished(60000)) return -1;
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -2;
}

void StoreValue(const QString& key, const QVariant& value) {
    QSettings settings(QStringLiteral("VEXA"), QStringLiteral("Zark"));
    settings.setValue(key, value);
    settings.sync();
}

void RemoveValue(const QString& key) {
    QSettings settings(QStringLiteral("VEXA"), QStringLiteral("Zark"));
    settings.remove(key);
    settings.sync();
}

QVariant StoredValue(const QString& key) {
    QSettings settings(QStringLiteral("VEXA"), QStringLiteral("Zark"));
    return settings.value(key);
}

QAction* FindAction(QMenu* menu, int command) {
    if (!menu) return nullptr;
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu()) {
            if (QAction* found = FindAction(sub, command)) return found;
        } else if (!action->isSeparator() && action->data().toInt() == command) {
            return action;
        }
    }
    return nullptr;
}

QAction* FindCommand(QMainWindow& window, int command) {
    for (QAction* top : window.menuBar()->actions())
        if (QAction* found = FindAction(top->menu(), command)) return found;
    return nullptr;
}

bool ChooseCommand(QMainWindow& window, int command) {
    QAction* action = FindCommand(window, command);
    if (!Choosable(action)) return false;
    action->trigger();
    return true;
}

bool Choosable(QAction* action) {
    if (!action || !action->isEnabled()) return false;
    for (QObject* holder : action->associatedObjects()) {
        auto* menu = qobject_cast<QMenu*>(holder);
        if (menu && !Choosable(menu->menuAction())) return false;
    }
    return true;
}

std::vector<int> CommandsOf(QMenu* menu) {
    std::vector<int> commands;
    for (QAction* action : menu->actions())
        commands.push_back(action->isSeparator() ? 0 : action->menu() ? -1 : action->data().toInt());
    return commands;
}

std::vector<QString> TextsOf(QMenu* menu) {
    std::vector<QString> texts;
    for (QAction* action : menu->actions()) texts.push_back(action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

}  // namespace zark::test
