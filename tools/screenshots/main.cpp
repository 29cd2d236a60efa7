// zark_screenshots: a picture of the main window with a file open, as a shooter sees it, for the
// screenshots of the AppStream data (packaging/screenshots) and for looking at the layout.
//   zark_screenshots OUT.png FILE [--size WxH] [--lang LANGID] [--port PORT] [--phases] [COMMAND ...]
// Each COMMAND is a command number (View > Diagram is 2152, View > Analysis 2146, Window >
// Rearrange 2183, Replay End 2189: the whole trace), carried out in order once FILE is open. PORT is the detector's port setting
// ("Simulator" unless given; a device that is there, as a shooter with a unit has it, shows no
// notice of the simulated unit); --phases colours the trace by phase. Settings, the log and the data folder
// are kept in a temporary folder: the user's are never read or written.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/mainframe.h"
#include "app/qtmessageboxsink.h"
#include "diag/diagnostics.h"
#include "settings/registryaccess.h"

namespace {

// Lets the windows lay themselves out and paint: queued events, then a short wait for timers.
void Settle(QApplication& app) {
    for (int round = 0; round < 5; ++round) {
        app.processEvents();
        QEventLoop wait;
        QTimer::singleShot(50, &wait, &QEventLoop::quit);
        wait.exec();
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: zark_screenshots OUT.png FILE [--size WxH] [--lang LANGID] [--port PORT] [--phases] [COMMAND ...]\n");
        return 2;
    }
    const QString out = QFileInfo(args[1]).absoluteFilePath();
    const QString file = QFileInfo(args[2]).absoluteFilePath();
    QSize size(1280, 800);
    int langId = 1033;
    QString port = QStringLiteral("Simulator");
    QList<int> commands;
    bool phases = false;
    for (qsizetype i = 3; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--size") && i + 1 < args.size()) {
            const QStringList wh = args[++i].split(QLatin1Char('x'));
            if (wh.size() == 2) size = QSize(wh[0].toInt(), wh[1].toInt());
        } else if (args[i] == QLatin1String("--phases")) {
            phases = true;
        } else if (args[i] == QLatin1String("--lang") && i + 1 < args.size()) {
            langId = args[++i].toInt();
        } else if (args[i] == QLatin1String("--port") && i + 1 < args.size()) {
            port = args[++i];
        } else {
            commands << args[i].toInt();
        }
    }

    QTemporaryDir work;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, work.path());
    QDir::setCurrent(work.path());
    QCoreApplication::setOrganizationName(QStringLiteral("VEXA"));
    QCoreApplication::setApplicationName(QStringLiteral("Zark"));
    {
        zark::RegistryAccess registry;
        registry.writeInt("LangID", langId);
        registry.writeInt("HideWarningAtStartup", 1);
        registry.writeString("Communication", port.toStdString());
        registry.writeInt("LineTrack", 1);
        registry.writeInt("ColourTraceByPhase", phases ? 1 : 0);  // the trace shows in a replay (Replay End, 2189, shows it whole)
    }

    zark::QtMessageBoxSink messageBoxes;
    zark::SetMessageBoxSink(&messageBoxes);
    zark::RegistryAccess processKeys;
    int status = 0;
    {
        auto frame = std::make_unique<zark::MainFrame>();
        if (!frame->Create(QStringLiteral("ZARK"), QStringLiteral("ZARK"))) return 1;
        frame->resize(size);
        frame->show();
        Settle(app);
        if (!frame->Open(file)) {
            std::fprintf(stderr, "zark_screenshots: %s cannot be opened\n", qPrintable(file));
            status = 1;
        }
        for (const int command : commands) {
            frame->OnCommand(command);
            Settle(app);
        }
        Settle(app);
        if (status == 0 && !frame->grab().save(out)) {
            std::fprintf(stderr, "zark_screenshots: %s cannot be written\n", qPrintable(out));
            status = 1;
        }
    }
    zark::SetMessageBoxSink(nullptr);
    if (status == 0) std::printf("%s\n", qPrintable(out));
    return status;
}
