#include "app/program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/acceleratorfilter.h"
#include "app/appicons.h"
#include "app/commandline.h"
#include "app/framefiles.h"
#include "app/frametimed.h"
#include "app/mainframe.h"
#include "app/qtmessageboxsink.h"
#include "diag/diagnostics.h"
#include "audio/qtsoundoutput.h"
#include "core/notification.h"
#include "targets/targetdescriptor.h"
#include "settings/registryaccess.h"
#include "print/widgets/pdfexport.h"
#include "export/csvexport.h"
#include "progress/progresscsv.h"
#include "settings/settingsstorage.h"
#include "storage/filecommands.h"

namespace zark {
namespace {

// Ends the program once the watched window has been painted for the first time.
class FirstPaintExit final : public QObject {
public:
    FirstPaintExit(QWidget& window, const QElapsedTimer& clock) : window_(window), clock_(clock) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            watched->removeEventFilter(this);
            // Queued: the paint in progress completes first.
            QTimer::singleShot(0, [this] {
                std::fprintf(stderr, "first paint after %lld ms\n", static_cast<long long>(clock_.elapsed()));
                std::fprintf(stderr, "caption \"%s\"\n", qUtf8Printable(window_.windowTitle()));
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    QWidget& window_;
    const QElapsedTimer& clock_;
    bool painted_ = false;
};

// Carries out the commands of ZARK_COMMANDS and, with ZARK_QUIT_AFTER_SERIES, ends the program
// with the shots of the first complete series on standard output. With ZARK_PRINT_SHOTS each
// shot is printed as it is reported to the shooter: "fired k x y traceIndex". The commands run
// unattended: Timed Series takes the drill remembered last without asking.
void ScriptRun(MainFrame& frame) {
    const QStringList commands = qEnvironmentVariable("ZARK_COMMANDS").split(',', Qt::SkipEmptyParts);
    if (!commands.isEmpty() && frame.Timed()) frame.Timed()->AskForTheDrill(false);
    if (qEnvironmentVariableIsSet("ZARK_PRINT_SHOTS")) {
        QObject::connect(&frame, &MainFrame::notificationHandled, &frame, [&frame](int code, int index) {
            const TraceStore* store = frame.Hub().Store();
            if (code != kCodeShot || !store || index < 0 || index >= store->ShotCount()) return;
            const ShotRecord& shot = store->Shot(index);
            std::printf("fired %d %d %d %d\n", index + 1, shot.x, shot.y, shot.traceIndex);
            std::fflush(stdout);
        });
    }
    if (qEnvironmentVariableIsSet("ZARK_QUIT_AFTER_SERIES")) {
        QObject::connect(&frame, &MainFrame::notificationHandled, &frame, [&frame](int code, int) {
            if (code != kCodeSeriesComplete) return;
            const TraceStore* store = frame.Hub().Store();
            const TargetDescriptor* face = frame.Hub().CurrentTarget();
            for (int k = 0; store && k < store->ShotCount(); ++k) {
                const ShotRecord& shot = store->Shot(k);
                std::printf("shot %d %d %d %.1f", k + 1, shot.x, shot.y, face ? face->ScoreShot(shot.x, shot.y) : 0.0);
                // a timed series: where the shot broke on the sample clock and how it stands
                if (const TimedShot t = store->ShotTiming(k); store->Timed())
                    std::printf(" %d %d %d %d", shot.traceIndex, t.window, t.timeMs, t.late);
                std::printf("\n");
            }
            if (const FrameTimed* timed = frame.Timed(); timed && store && store->Timed()) {
                const TimedSequence& sequence = timed->Run().Sequence();
                for (int w = 0; w < store->Drill().windows; ++w)
                    std::printf("window %d opened %d\n", w, sequence.OpenedAt(w));
            }
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }
    for (const QString& command : commands) {
        bool ok = false;
        const int id = command.trimmed().toInt(&ok);
        if (ok) QTimer::singleShot(0, &frame, [&frame, id] { frame.OnCommand(id); });
    }
}

// The folder "zark --export-progress" reads without DIR: the data directory setting, or the
// per-user folder the files go to without one.
QString StoredDataDirectory() {
    RegistryAccess registry;
    const QString folder = QString::fromStdString(LoadDataDirectory(registry));
    return folder.isEmpty() ? PerUserDataDirectory() : folder;
}

// zark --export-progress [DIR] [OUT]: no window; 2 with the usage for anything else.
int ExportProgress(int argc, char** argv) {
    QStringList arguments;
    for (int i = 2; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments.size() > 2 || (!arguments.isEmpty() && arguments.front().startsWith(QLatin1String("--")))) {
        std::fprintf(stderr, "usage: zark --export-progress [DIR] [OUT]\n");
        return 2;
    }
    LogToStandardError();
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("VEXA"));
    QCoreApplication::setApplicationName(QStringLiteral("Zark"));
    const QString folder = arguments.isEmpty() || arguments.front().isEmpty() ? StoredDataDirectory() : arguments.front();
    return RunProgressExport(folder, arguments.size() > 1 ? arguments[1] : QString());
}

}  // namespace

int RunProgram(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    if (argc >= 3 && QByteArrayView(argv[1]) == "--export-csv") {
        // zark --export-csv FILE [OUT]: no window, no settings, and no program run: the log
        // of the current folder stays as it is
        LogToStandardError();
        QCoreApplication app(argc, argv);
        return RunCsvExport(QString::fromLocal8Bit(argv[2]), argc >= 4 ? QString::fromLocal8Bit(argv[3]) : QString());
    }
    if (argc >= 2 && QByteArrayView(argv[1]) == "--export-progress") return ExportProgress(argc, argv);
    if (argc >= 3 && QByteArrayView(argv[1]) == "--export-pdf") {
        // zark --export-pdf FILE [OUT.pdf]: the printed report without a window (drawn offscreen
        // unless a platform is named), and no program run either
        LogToStandardError();
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        QCoreApplication::setOrganizationName(QStringLiteral("VEXA"));
        QCoreApplication::setApplicationName(QStringLiteral("Zark"));
        return RunPdfExport(QString::fromLocal8Bit(argv[2]), argc >= 4 ? QString::fromLocal8Bit(argv[3]) : QString());
    }
    if (argc >= 2 && QByteArrayView(argv[1]) == "--export-pdf") {
        std::fprintf(stderr, "usage: zark --export-pdf FILE [OUT.pdf]\n");
        return 1;
    }
    if (argc >= 2 && QByteArrayView(argv[1]) == "--export-csv") {
        std::fprintf(stderr, "usage: zark --export-csv FILE [OUT]\n");
        return 1;
    }
    // zark [FILE] | --help | --version: options the toolkit does not take either end the program
    // with the usage before any window opens.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (const int status = AnswerCommandLine(ParseCommandLine(arguments, false)); status >= 0) return status;
    QApplication app(argc, argv);
    const CommandLine commandLine = ParseCommandLine(QCoreApplication::arguments(), true);
    if (const int status = AnswerCommandLine(commandLine); status >= 0) return status;
    QCoreApplication::setOrganizationName(QStringLiteral("VEXA"));
    QCoreApplication::setApplicationName(QStringLiteral("Zark"));
    // No display name: the toolkit would add " — ZARK" to every caption, the main window's
    // "ZARK - file" included.
    QGuiApplication::setWindowIcon(ProgramIcon());

    QtMessageBoxSink messageBoxes;
    MessageBoxSink* previousSink = SetMessageBoxSink(&messageBoxes);
    // Keeps the settings keys open for the whole run, before and after the main frame.
    RegistryAccess processKeys;
    // The one sound output, for every player of the run; it outlives the frame and its players.
    QtSoundOutput soundOutput;
    SoundOutput* previousOutput = SetProcessSoundOutput(&soundOutput);

    int code = 0;
    {
        auto frame = std::make_unique<MainFrame>();
        if (!frame->Create(QStringLiteral("ZARK"), QStringLiteral("ZARK"))) {
            frame.reset();
            SetProcessSoundOutput(previousOutput);
            SetMessageBoxSink(previousSink);
            return 1;
        }
        frame->show();
        frame->update();
        // The series earlier runs left unsaved come back as files; from now on every series is
        // journaled until it is saved or given up.
        if (FrameFiles* files = frame->Files()) files->StartJournal();
        // A file named on the command line: one that cannot be opened leaves the program running.
        if (!commandLine.file.isEmpty()) frame->Open(commandLine.file);

        AcceleratorFilter accelerators(*frame, frame->Accelerators(),
                                       [&frame](int command) { frame->OnCommand(command, true); });
        std::unique_ptr<FirstPaintExit> firstPaint;
        if (qEnvironmentVariableIsSet("ZARK_QUIT_AFTER_FIRST_PAINT"))
            firstPaint = std::make_unique<FirstPaintExit>(*frame, clock);
        ScriptRun(*frame);

        code = app.exec();
    }
    SetProcessSoundOutput(previousOutput);
    SetMessageBoxSink(previousSink);
    return code;
}

}  // namespace zark
