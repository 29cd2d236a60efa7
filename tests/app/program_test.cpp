// The program itself, started as a process: start-up to the first painted window and the
// shutdown that stores the settings and the window placement; and the menus of the main frame
// in each language, each in a process of its own (the texts are loaded once per process).
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include "app/aboutdialog.h"
#include "core/timedseries.h"
#include "window/commandids.h"
#include "app/mainframe.h"
#include "app/warningsdialog.h"
#include "app/welcomepanel.h"
#include "apptestsupport.h"
#include "i18n/uistrings.h"
#include "storage/seriesfileio.h"
#include "storage/seriesjournal.h"

#include <QTest>
#include <QTextEdit>
#include <QLabel>

namespace zark {
namespace {

void Keep(QWidget* widget, const QString& name) { test::KeepPicture(widget, name); }

TEST(Program, StartsPaintsAndStoresItsSettingsAtTheEnd) {
    QTemporaryDir dir;
    const QString config = dir.filePath("config");
    const test::ProgramRun run = test::RunProgramToFirstPaint(
        dir.path(), {{"HideWarningAtStartup", "1"}, {"LangID", "1033"}, {"Zoom", "2"}, {"Dialogs/Main", "100,50,900,650"}});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.errors.contains("first paint after"));

    QSettings stored(config + "/VEXA/Zark.conf", QSettings::IniFormat);
    const QStringList main = stored.value("Dialogs/Main").toString().split(',');
    ASSERT_EQ(main.size(), 4);
    EXPECT_EQ(main[2].toInt() - main[0].toInt(), 800);
    EXPECT_EQ(main[3].toInt() - main[1].toInt(), 600);
    EXPECT_EQ(stored.value("HideWarningAtStartup").toString(), "1");
    EXPECT_EQ(stored.value("Zoom").toString(), "2");
    EXPECT_EQ(stored.value("TimeBetweenShots").toString(), "1600");  // every setting is written back
    EXPECT_EQ(stored.value("DataDirectory").toString(), dir.filePath("data"));
    EXPECT_TRUE(QFileInfo(dir.filePath("data")).isDir());
    EXPECT_TRUE(QFileInfo(dir.filePath("zark.log")).isFile());
}

TEST(Program, MenusInEachLanguage) {
    if (qEnvironmentVariableIsSet("ZARK_CHILD_LANGID")) GTEST_SKIP() << "a child run";
    for (const int langId : {1031, 1053, 3082, 1033})
        EXPECT_EQ(test::RunChild("LanguageChild.MainFrameInItsLanguage", langId), 0) << langId;
}

// The child's part: the whole main frame in the language of its "LangID".
TEST(LanguageChild, MainFrameInItsLanguage) {
    if (!qEnvironmentVariableIsSet("ZARK_CHILD_LANGID")) GTEST_SKIP() << "run by Program.MenusInEachLanguage";
    const int langId = test::ProcessLangId();
    const UiLanguage language = langId == 1031   ? UiLanguage::German
                                : langId == 1053 ? UiLanguage::Swedish
                                : langId == 3082 ? UiLanguage::Spanish
                                                 : UiLanguage::English;
    MainFrame frame;
    ASSERT_EQ(frame.Create("ZARK", "ZARK"), 1);
    EXPECT_EQ(ActiveUiLanguage(), language);
    const QList<QAction*> bar = frame.menuBar()->actions();
    ASSERT_EQ(bar.size(), 5);
    const int titles[] = {5, 9, 14, 48, 62};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(bar[i]->text().toStdString(), LookupString(language, titles[i])) << i;
    EXPECT_EQ(frame.Menus().Action(kCmdNewSerie), nullptr);  // no Shoot items before a target
    const QString tag = QString::number(langId);
    for (int zoom = 1; zoom <= 4; ++zoom) {
        frame.OnCommand(kCmdZoom1 + zoom - 1);
        frame.resize(640 + 160 * (zoom - 1), 480 + 100 * (zoom - 1));
        Keep(&frame, "welcome-" + tag + "-zoom" + QString::number(zoom) + ".png");
    }
    frame.OnCommand(kCmdBiathlonProne);
    EXPECT_EQ(frame.Menus().Action(kCmdSighters5)->text().toStdString(), LookupString(language, 51));
    EXPECT_EQ(frame.Menus().Action(kCmdPauseContinue)->text().toStdString(), LookupString(language, 129));
    EXPECT_EQ(frame.Welcome()->Caption().toStdString(), LookupString(language, kUiTextWelcome));
    EXPECT_EQ(frame.Menus().Action(kCmdShowWarnings)->text().toStdString(), LookupString(language, 194));
    frame.resize(900, 640);
    frame.OnCommand(kCmdZoom3);
    Keep(&frame, "main-" + tag + ".png");

    // The About box and the warnings speak the language too.
    test::ModalWatch about([&](QWidget* modal) {
        auto* box = qobject_cast<AboutDialog*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle().toStdString(), LookupString(language, 3));
        EXPECT_TRUE(box->Text()->toPlainText().split('\n').value(1).endsWith("2.0.5"));
        Keep(box, "about-" + tag + ".png");
        QTest::keyClick(box, Qt::Key_Return);
    });
    frame.OnCommand(kCmdAbout);
    EXPECT_TRUE(about.Seen());
    WarningsDialog warnings(&frame);
    EXPECT_EQ(warnings.Text()->text().toStdString(), LookupString(language, 191) + "\n\n" +
                                                          LookupString(language, 192) + "\n\n" +
                                                          LookupString(language, 193));
    warnings.show();
    Keep(&warnings, "warnings-" + tag + ".png");
}

}  // namespace
}  // namespace zark

namespace zark {
namespace {

// "zark --export-csv FILE [OUT]" runs without a window and reports failures on standard error.
TEST(ProgramCsvExport, WritesCsvOrFailsWithAMessage) {
    QTemporaryDir dir;
    const QString series = dir.filePath("one.zas");
    {
        QFile file(series);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Header]\nTargetID=1200\nNumberOfShots=1\n\n[Shots]\n3,4,1,L\n\n[Serie]\n9,9\n3,4\n7,7\n");
    }
    QProcess zark;
    zark.setProcessEnvironment(test::ProgramEnvironment(dir.filePath("config")));
    zark.setWorkingDirectory(dir.path());
    zark.start(ZARK_PROGRAM_PATH, {"--export-csv", series});
    ASSERT_TRUE(zark.waitForFinished(30000));
    EXPECT_EQ(zark.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(zark.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("series,shot,x,y,trace_index,side,score,score_text,direction,time,in_top_pct,"));
    EXPECT_TRUE(lines[1].startsWith("1,1,3,4,1,L,"));
    EXPECT_TRUE(lines[2].startsWith("1,total,"));

    zark.start(ZARK_PROGRAM_PATH, {"--export-csv", dir.filePath("missing.zam"), dir.filePath("out.csv")});
    ASSERT_TRUE(zark.waitForFinished(30000));
    EXPECT_EQ(zark.exitCode(), 1);
    EXPECT_FALSE(zark.readAllStandardError().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("out.csv")));
}

// "zark --export-progress [DIR] [OUT]": the data directory of the settings by default, skipped
// files on standard error, 1 for a folder that cannot be read, 2 for a usage error.
TEST(ProgramProgressExport, IndexesTheDataDirectoryAndWritesALinePerSeries) {
    QTemporaryDir dir;
    const QString data = dir.filePath("my data");
    ASSERT_TRUE(QDir().mkpath(data + "/old"));
    const auto write = [](const QString& path, const QByteArray& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write(data + "/old/one.zas", "[Header]\nTargetID=1200\nNumberOfShots=1\n\n[Shots]\n3,4,1,L\n\n[Serie]\n9,9\n3,4\n");
    write(data + "/other.zas", "[Header]\nTargetID=7777\n");
    QSettings(dir.filePath("config") + "/VEXA/Zark.conf", QSettings::IniFormat).setValue("DataDirectory", data);
    QProcess zark;
    zark.setProcessEnvironment(test::ProgramEnvironment(dir.filePath("config")));
    zark.setWorkingDirectory(dir.path());
    zark.start(ZARK_PROGRAM_PATH, {"--export-progress"});
    ASSERT_TRUE(zark.waitForFinished(30000));
    const QByteArray errors = zark.readAllStandardError();
    EXPECT_EQ(zark.exitCode(), 0) << errors.toStdString();
    const QStringList lines = QString::fromUtf8(zark.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "date,file,series,face_id,face,shots,total,mean,in_top_pct,in_next_pct,trace_mm,release_mm,"
                        "aiming_s,extreme_spread_mm,mean_radius_mm,luck,call_error_mm");
    EXPECT_TRUE(lines[1].startsWith(",old/one.zas,1,1200,Rifle 50 meter,1,")) << lines[1].toStdString();
    EXPECT_TRUE(errors.contains("'other.zas' names an unknown target (7777)"));
    EXPECT_TRUE(QFileInfo::exists(data + "/.zark-index.sqlite"));

    zark.start(ZARK_PROGRAM_PATH, {"--export-progress", data, dir.filePath("out.csv")});
    ASSERT_TRUE(zark.waitForFinished(30000));
    EXPECT_EQ(zark.exitCode(), 0);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("out.csv")));
    zark.start(ZARK_PROGRAM_PATH, {"--export-progress", dir.filePath("missing")});
    ASSERT_TRUE(zark.waitForFinished(30000));
    EXPECT_EQ(zark.exitCode(), 1);
    zark.start(ZARK_PROGRAM_PATH, {"--export-progress", data, dir.filePath("out.csv"), "more"});
    ASSERT_TRUE(zark.waitForFinished(30000));
    EXPECT_EQ(zark.exitCode(), 2);
    EXPECT_TRUE(zark.readAllStandardError().contains("usage: zark --export-progress [DIR] [OUT]"));
}

// An export is no program run: the log of the folder it runs in stays as it was (what goes wrong
// is told on standard error), and a text that cannot be written whole gives exit status 1.
TEST(ProgramCsvExport, LeavesTheFoldersLogAloneAndFailsOnAWriteError) {
    QTemporaryDir dir;
    {
        QFile log(dir.filePath("zark.log"));
        ASSERT_TRUE(log.open(QIODevice::WriteOnly));
        log.write("the last program run\n");
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.zas"));  // there, but cannot be read
    QProcess zark;
    zark.setProcessEnvironment(test::ProgramEnvironment(dir.filePath("config")));
    zark.setWorkingDirectory(dir.path());
    zark.start(ZARK_PROGRAM_PATH, {"--export-csv", dir.filePath("folder.zas"), dir.filePath("out.csv")});
    ASSERT_TRUE(zark.waitForFinished(30000));
    EXPECT_EQ(zark.exitCode(), 1);
    EXPECT_TRUE(zark.readAllStandardError().contains("Cannot open file"));
    QFile log(dir.filePath("zark.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), "the last program run\n");

    if (!QFileInfo("/dev/full").exists()) GTEST_SKIP() << "no /dev/full";
    const QString series = dir.filePath("one.zas");
    {
        QFile file(series);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Header]\nTargetID=1200\nNumberOfShots=1\n\n[Shots]\n3,4,1,L\n\n[Serie]\n9,9\n3,4\n");
    }
    zark.setStandardOutputFile("/dev/full");  // every write fails: no space left
    zark.start(ZARK_PROGRAM_PATH, {"--export-csv", series});
    ASSERT_TRUE(zark.waitForFinished(30000));
    EXPECT_EQ(zark.exitCode(), 1);
    EXPECT_TRUE(zark.readAllStandardError().contains("cannot write"));
}

}  // namespace
}  // namespace zark

namespace zark {
namespace {

// A finished run of the program with these arguments, in its own folder.
struct ZarkRun {
    int exitCode = -1;
    QString out;
    QString err;
};
ZarkRun RunZark(const QString& folder, const QStringList& arguments, QProcessEnvironment env) {
    QProcess zark;
    zark.setProcessEnvironment(env);
    zark.setWorkingDirectory(folder);
    zark.start(ZARK_PROGRAM_PATH, arguments);
    ZarkRun run;
    if (!zark.waitForFinished(30000)) {
        zark.kill();
        zark.waitForFinished();
        return run;
    }
    run.exitCode = zark.exitStatus() == QProcess::NormalExit ? zark.exitCode() : -2;
    run.out = QString::fromUtf8(zark.readAllStandardOutput());
    run.err = QString::fromUtf8(zark.readAllStandardError());
    return run;
}

// "zark FILE": the file is open when the window is first painted, a match file also with an
// upper-case extension.
TEST(ProgramFileArgument, OpensASeriesOrAnUpperCaseMatchFile) {
    QTemporaryDir dir;
    QProcessEnvironment env = test::ProgramEnvironment(dir.filePath("config"));
    env.insert("ZARK_QUIT_AFTER_FIRST_PAINT", "1");
    {
        QSettings stored(dir.filePath("config") + "/VEXA/Zark.conf", QSettings::IniFormat);
        stored.setValue("HideWarningAtStartup", "1");
    }
    const QString series = dir.filePath("one.zas");
    {
        QFile file(series);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Header]\nTargetID=1200\nNumberOfShots=1\n\n[Shots]\n3,4,1,L\n\n[Serie]\n9,9\n3,4\n");
    }
    const QString match = dir.filePath("CLUB.ZAM");
    {
        QFile file(match);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Header]\nTargetID=1250\n\n[Match]\nTitle=Club\nNumberOfSeries=1\nSubTitle=\nSighters=0\n"
                   "NumberOfShots=1\n\n[Shots]\n3,4,1,L\n\n[Serie]\n9,9\n3,4\n");
    }
    for (const QString& path : {series, match}) {
        const ZarkRun run = RunZark(dir.path(), {path, dir.filePath("second-is-ignored.zas")}, env);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("caption \"ZARK - " + path + "\"")) << run.err.toStdString();
    }
}

// A file that cannot be opened is reported (the reason in the log, the box on the screen) and the
// program goes on running.
TEST(ProgramFileArgument, AMissingFileLeavesTheProgramRunningWithTheErrorBox) {
    QTemporaryDir dir;
    QSettings(dir.filePath("config") + "/VEXA/Zark.conf", QSettings::IniFormat).setValue("HideWarningAtStartup", "1");
    QProcess zark;
    zark.setProcessEnvironment(test::ProgramEnvironment(dir.filePath("config")));
    zark.setWorkingDirectory(dir.path());
    zark.start(ZARK_PROGRAM_PATH, {dir.filePath("missing.zas")});
    ASSERT_TRUE(zark.waitForStarted(30000));
    QFile log(dir.filePath("zark.log"));
    bool reported = false;
    for (int waited = 0; waited < 30000 && !reported && zark.state() == QProcess::Running; waited += 50) {
        zark.waitForFinished(50);
        reported = log.open(QIODevice::ReadOnly) && log.readAll().contains("Cannot open file " +
                                                                            dir.filePath("missing.zas").toUtf8());
        log.close();
    }
    EXPECT_TRUE(reported);
    EXPECT_EQ(zark.state(), QProcess::Running);
    zark.kill();
    zark.waitForFinished(30000);
}

// --help, --version and an unknown option answer without opening a window: they work where no
// display can be reached.
TEST(ProgramOptions, HelpVersionAndUnknownOptionsWithoutAWindow) {
    QTemporaryDir dir;
    QProcessEnvironment env = test::ProgramEnvironment(dir.filePath("config"));
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    const ZarkRun help = RunZark(dir.path(), {"--help"}, env);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("usage: zark [FILE]\n"));
    // every form of the command line is named, the exports too
    EXPECT_TRUE(help.out.contains("\n       zark --export-csv FILE [OUT]\n"));
    EXPECT_TRUE(help.out.contains("\n       zark --export-pdf FILE [OUT.pdf]\n"));
    const ZarkRun version = RunZark(dir.path(), {"--version"}, env);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "ZARK 2.0.5\n");
    const ZarkRun unknown = RunZark(dir.path(), {"--open-sesame", "x.zas"}, env);
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_TRUE(unknown.err.startsWith("zark: unknown option '--open-sesame'\nusage: zark [FILE]\n"));
}

}  // namespace
}  // namespace zark

namespace zark {
namespace {

// The real program on the built-in simulated unit: a target and a 4-shot series chosen as from
// the menus; the simulated shooter fires, the series completes and the store holds its shots.
// Starts the real program in folder on the simulated unit, English, with Rifle 50 m and the series
// command chosen as from the menus; setting and variable add one setting and one variable.
void StartOnTheSimulatedUnit(QProcess& zark, const QString& folder, int series, const QString& setting,
                             const QVariant& value, const QString& variable, int face = kCmdRifle50) {
    const QString config = folder + "/config";
    {
        QSettings stored(config + "/VEXA/Zark.conf", QSettings::IniFormat);
        stored.setValue("HideWarningAtStartup", "1");
        stored.setValue("LangID", "1033");
        stored.setValue("Communication", "Simulator");
        stored.setValue(setting, value);
    }
    QProcessEnvironment env = test::ProgramEnvironment(config);
    env.insert("ZARK_COMMANDS", QString("%1,%2").arg(face).arg(series));
    env.insert(variable, "1");
    zark.setProcessEnvironment(env);
    zark.setWorkingDirectory(folder);
    zark.start(ZARK_PROGRAM_PATH, {});
}

TEST(ProgramEndToEnd, ASeriesOnTheSimulatedUnitCompletes) {
    QTemporaryDir dir;
    QProcess zark;
    StartOnTheSimulatedUnit(zark, dir.path(), kCmdSerie4, "LineTrack", "1", "ZARK_QUIT_AFTER_SERIES");
    ASSERT_TRUE(zark.waitForFinished(120000)) << "the series did not complete";
    EXPECT_EQ(zark.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(zark.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    for (int k = 0; k < 4; ++k) {
        const QStringList fields = lines[k].split(' ');
        ASSERT_EQ(fields.size(), 5) << lines[k].toStdString();
        EXPECT_EQ(fields[1].toInt(), k + 1);
        // a steady simulated shooter on a 50 m card: every shot has a position and scores
        EXPECT_TRUE(fields[2].toInt() != 0 || fields[3].toInt() != 0);
        EXPECT_GT(fields[4].toDouble(), 0.0) << lines[k].toStdString();
    }
}

// The real program on the simulated unit shoots a rapid-fire series (8 s) on the 25 m rapid-fire
// face, the drill taken as remembered: each shot stands against the window's opening on the unit's
// own clock (before it, in it, after it), so the late ones count 0. Ended without saving, the
// series is recovered from its journal at the next start with every shot's standing.
TEST(ProgramEndToEnd, ARapidFireSeriesIsTimedOnTheUnitsClockAndSurvivesInTheJournal) {
    QTemporaryDir dir;
    const QString data = dir.filePath("data");
    QSettings(dir.filePath("config") + "/VEXA/Zark.conf", QSettings::IniFormat).setValue("TimedPreset", 0);
    QProcess zark;
    StartOnTheSimulatedUnit(zark, dir.path(), kCmdTimedSeries, "DataDirectory", data, "ZARK_QUIT_AFTER_SERIES",
                            kCmdPistol25Fast);
    ASSERT_TRUE(zark.waitForFinished(180000)) << "the series did not complete";
    EXPECT_EQ(zark.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(zark.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6) << lines.join('|').toStdString();
    const QStringList window = lines[5].split(' ');
    ASSERT_EQ(window.size(), 4);
    const int opened = window[3].toInt();
    const TimedDrill drill = DrillOfPreset(TimedPreset::Rapid8);
    // Load and Attention from the series' first sample, at 40 ms a sample; -1: never reached
    if (opened >= 0) EXPECT_EQ(opened, (kLoadMs + drill.prepMs) / 40);
    std::vector<TimedShot> standing;
    int inTime = 0;
    for (int k = 0; k < 5; ++k) {
        const QStringList f = lines[k].split(' ');
        ASSERT_EQ(f.size(), 9) << lines[k].toStdString();
        const int at = f[5].toInt();
        const TimedShot shot{f[6].toInt(), f[7].toInt(), f[8].toInt()};
        standing.push_back(shot);
        if (opened < 0 || at < opened) {
            EXPECT_EQ(shot, (TimedShot{-1, 0, 1})) << lines[k].toStdString();
            continue;
        }
        EXPECT_EQ(shot.window, 0);
        EXPECT_EQ(shot.timeMs, (at - opened) * 40);
        EXPECT_EQ(shot.late, at >= opened + drill.windowMs / 40 ? 1 : 0) << lines[k].toStdString();
        inTime += !shot.late;
    }
    std::printf("rapid fire on the simulated unit: window opened at sample %d, %d of 5 shots in time\n", opened, inTime);

    QProcessEnvironment again = test::ProgramEnvironment(dir.filePath("config"));
    again.insert("ZARK_QUIT_AFTER_FIRST_PAINT", "1");
    const ZarkRun run = RunZark(dir.path(), {}, again);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList recovered = QDir(data).entryList({"*.ZAS"}, QDir::Files);
    ASSERT_EQ(recovered.size(), 1);
    auto series = std::make_unique<SeriesRecord>();
    ASSERT_TRUE(SeriesFileIo().ReadSeries(data + "/" + recovered[0], *series));
    EXPECT_TRUE(series->store.timed);
    EXPECT_EQ(series->store.drill, drill);
    ASSERT_EQ(series->store.shotCount, 5);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(series->store.timing[k], standing[size_t(k)]) << "shot " << k + 1;
}

// zark --export-pdf: the report of a series file without a window, and a message and status 1
// for a file it cannot print.
TEST(ProgramPdfExport, WritesTheReportOfASeriesFile) {
    QTemporaryDir dir;
    const QString series = dir.filePath("club.zas");
    {
        QFile file(series);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Header]\nDate=20261103194512\nTargetID=1200\nNumberOfShots=2\n\n[Shots]\n30,40,1,L\n-50,20,3,L\n"
                   "\n[Serie]\n20,30\n30,40\n-40,20\n-50,20\n");
    }
    QProcess zark;
    zark.setProcessEnvironment(test::ProgramEnvironment(dir.filePath("config")));
    zark.setWorkingDirectory(dir.path());
    zark.start(ZARK_PROGRAM_PATH, {"--export-pdf", series});
    ASSERT_TRUE(zark.waitForFinished(60000));
    EXPECT_EQ(zark.exitCode(), 0) << zark.readAllStandardError().toStdString();
    const QString pdf = dir.filePath("club.pdf");
    ASSERT_TRUE(QFileInfo(pdf).isFile());
    QProcess text;
    text.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(words.contains("club.zas"));
    EXPECT_TRUE(words.contains("Average"));
    EXPECT_EQ(words.count(QChar('\f')), 3) << "three pages";
    EXPECT_FALSE(QFileInfo(dir.filePath("zark.log")).exists()) << "an export is no program run";

    zark.start(ZARK_PROGRAM_PATH, {"--export-pdf", dir.filePath("missing.zas"), dir.filePath("out.pdf")});
    ASSERT_TRUE(zark.waitForFinished(30000));
    EXPECT_EQ(zark.exitCode(), 1);
    EXPECT_FALSE(QFileInfo(dir.filePath("out.pdf")).exists());
}

}  // namespace
}  // namespace zark

namespace zark {
namespace {

std::unique_ptr<JournalContent> ReadJournal(const QString& path) {
    auto content = std::make_unique<JournalContent>();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) ReadJournalText(file.readAll().toStdString(), *content);
    return content;
}

// The real program on the simulated unit, killed (SIGKILL) in the middle of a series, and started
// again: the series is in a file with every shot that was reported, each on its own trace point,
// and the trace that was on the disk at the kill (never more than a second short of it).
TEST(ProgramJournal, ASeriesKilledInTheMiddleIsRecoveredAtTheNextStart) {
    QTemporaryDir dir;
    const QString config = dir.filePath("config");
    const QString data = dir.filePath("data");
    QProcess zark;
    StartOnTheSimulatedUnit(zark, dir.path(), kCmdSerie10, "DataDirectory", data, "ZARK_PRINT_SHOTS");
    ASSERT_TRUE(zark.waitForStarted(30000));

    // Two shots reported, and a second of trace after the second one on the disk.
    const QString folder = JournalFolder(data);
    QStringList fired;
    QString out;
    const auto readShots = [&] {
        out += QString::fromUtf8(zark.readAllStandardOutput());
        for (qsizetype end; (end = out.indexOf('\n')) >= 0; out.remove(0, end + 1))
            if (out.startsWith("fired ")) fired << out.left(end);
    };
    QString journalPath;
    for (int waited = 0;; waited += 100) {
        ASSERT_LT(waited, 120000) << "the series did not get two shots";
        ASSERT_EQ(zark.state(), QProcess::Running);
        zark.waitForReadyRead(100);
        readShots();
        const QStringList names = QDir(folder).entryList({"*.journal"}, QDir::Files);
        if (fired.size() < 2 || names.size() != 1) continue;
        journalPath = folder + "/" + names[0];
        if (ReadJournal(journalPath)->live.sampleCount > fired[1].split(' ')[4].toInt() + 25) break;
    }
    zark.kill();
    ASSERT_TRUE(zark.waitForFinished(30000));
    readShots();
    const auto atKill = ReadJournal(journalPath);
    EXPECT_EQ(atKill->droppedLines, 0);

    QProcessEnvironment again = test::ProgramEnvironment(config);
    again.insert("ZARK_QUIT_AFTER_FIRST_PAINT", "1");
    const ZarkRun run = RunZark(dir.path(), {}, again);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList recovered = QDir(data).entryList({"Rifle 50 meter-*.ZAS"}, QDir::Files);
    ASSERT_EQ(recovered.size(), 1);
    auto series = std::make_unique<SeriesRecord>();
    ASSERT_TRUE(SeriesFileIo().ReadSeries(data + "/" + recovered[0], *series));
    EXPECT_EQ(series->targetId, 1200);
    ASSERT_GE(series->store.shotCount, fired.size());
    for (const QString& line : fired) {
        const QStringList f = line.split(' ');  // fired k x y traceIndex
        const ShotRecord& shot = series->store.shots[f[1].toInt() - 1];
        EXPECT_EQ(shot.x, f[2].toInt()) << line.toStdString();
        EXPECT_EQ(shot.y, f[3].toInt()) << line.toStdString();
        EXPECT_EQ(shot.traceIndex, f[4].toInt()) << line.toStdString();
        const AimSample& own = series->store.samples[shot.traceIndex];
        EXPECT_TRUE(own.x == shot.x && own.y == shot.y) << line.toStdString();
    }
    EXPECT_EQ(series->store.sampleCount, atKill->live.sampleCount);
    EXPECT_GT(series->store.sampleCount, fired[1].split(' ')[4].toInt() + 25);
    EXPECT_TRUE(QDir(folder).entryList({"*.journal"}, QDir::Files).isEmpty());
    QFile log(dir.filePath("zark.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("An interrupted series was recovered into " + (data + "/" + recovered[0]).toUtf8()));
}

}  // namespace
}  // namespace zark
