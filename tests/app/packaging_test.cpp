// What "cmake --install" puts on a Linux desktop: the program, a valid menu entry that opens a
// file, the shared-mime-info description of .zas and .zam with their icons, the AppStream data and
// the manual page, checked with the desktop's own tools (desktop-file-validate, xmllint,
// update-mime-database, appstreamcli, man). The Debian package made of the same install rules is
// tested in tests/package.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace zark {
namespace {

struct ToolRun {
    int exitCode = -1;
    QString output;
};

// errors: where standard error goes; with nullptr it is merged into the output.
ToolRun RunTool(const QString& program, const QStringList& arguments, QString* errors = nullptr,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess tool;
    tool.setProcessEnvironment(environment);
    tool.setProcessChannelMode(errors ? QProcess::SeparateChannels : QProcess::MergedChannels);
    tool.start(program, arguments);
    ToolRun run;
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit) {
        run.output = program + " did not run: " + tool.errorString();
        return run;
    }
    run.exitCode = tool.exitCode();
    run.output = QString::fromLocal8Bit(tool.readAllStandardOutput());
    if (errors) *errors = QString::fromLocal8Bit(tool.readAllStandardError());
    return run;
}

QString Text(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(Packaging, TheInstalledDesktopEntryAndFileTypesAreValid) {
    QTemporaryDir prefix;
    const ToolRun install = RunTool(ZARK_CMAKE_COMMAND, {"--install", ZARK_BUILD_DIR, "--prefix", prefix.path()});
    ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();
    const QDir share(prefix.filePath("share"));
    EXPECT_TRUE(QFileInfo(prefix.filePath("bin/zark")).isExecutable());

    const QString desktop = share.filePath("applications/zark.desktop");
    const ToolRun validated = RunTool("desktop-file-validate", {desktop});
    EXPECT_EQ(validated.exitCode, 0) << validated.output.toStdString();
    const QString entry = Text(desktop);
    EXPECT_TRUE(entry.contains("\nExec=zark %f\n"));  // a double-clicked file is the one argument
    EXPECT_TRUE(entry.contains("\nMimeType=application/x-zark-series;application/x-zark-match;\n"));
    EXPECT_TRUE(entry.contains("\nIcon=zark\n"));
    EXPECT_TRUE(QFileInfo::exists(share.filePath("icons/hicolor/scalable/apps/zark.svg")));

    const QString types = share.filePath("mime/packages/zark.xml");
    const ToolRun wellFormed = RunTool("xmllint", {"--noout", types});
    EXPECT_EQ(wellFormed.exitCode, 0) << wellFormed.output.toStdString();
    const QString description = Text(types);
    EXPECT_TRUE(description.contains("<comment>ZARK Serie</comment>"));
    EXPECT_TRUE(description.contains("<comment>ZARK Match</comment>"));
    for (const char* icon : {"application-x-zark-series", "application-x-zark-match"}) {
        EXPECT_TRUE(description.contains(QString("<icon name=\"%1\"/>").arg(icon)));
        EXPECT_TRUE(QFileInfo::exists(share.filePath(QString("icons/hicolor/scalable/mimetypes/%1.svg").arg(icon))));
    }

    // The desktop's database takes the description: both extensions, in any case, map to their type.
    const ToolRun database = RunTool("update-mime-database", {share.filePath("mime")});
    ASSERT_EQ(database.exitCode, 0) << database.output.toStdString();
    const QString globs = Text(share.filePath("mime/globs2"));
    EXPECT_TRUE(globs.contains("application/x-zark-series:*.zas\n"));
    EXPECT_TRUE(globs.contains("application/x-zark-match:*.zam\n"));
    EXPECT_FALSE(globs.contains("application/x-zark-series:*.zas:cs"));  // not case-sensitive
}

// The AppStream data and the manual page of an installed tree agree with the program they describe:
// the release is the version the program reports, the file types are the installed ones, and the
// page names every option of the program's usage, its exit statuses and the serial port's group.
TEST(Packaging, TheInstalledAppStreamDataAndManualPageDescribeTheProgram) {
    QTemporaryDir prefix;
    const ToolRun install = RunTool(ZARK_CMAKE_COMMAND, {"--install", ZARK_BUILD_DIR, "--prefix", prefix.path()});
    ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();
    const QDir share(prefix.filePath("share"));
    const QString program = prefix.filePath("bin/zark");
    const QString version = RunTool(program, {"--version"}).output.trimmed().section(' ', 1);
    ASSERT_FALSE(version.isEmpty());

    const QStringList metainfos = QDir(share.filePath("metainfo")).entryList({"*.metainfo.xml"}, QDir::Files);
    ASSERT_EQ(metainfos.size(), 1);
    const QString metainfo = share.filePath("metainfo/" + metainfos[0]);
    const ToolRun validated = RunTool("appstreamcli", {"validate", "--no-net", metainfo});
    EXPECT_EQ(validated.exitCode, 0) << validated.output.toStdString();
    const QString data = Text(metainfo);
    EXPECT_TRUE(data.contains("<launchable type=\"desktop-id\">zark.desktop</launchable>"));
    EXPECT_TRUE(QFileInfo::exists(share.filePath("applications/zark.desktop")));
    EXPECT_TRUE(data.contains(QString("<release version=\"%1\"").arg(version))) << version.toStdString();
    const QString types = Text(share.filePath("mime/packages/zark.xml"));
    for (const char* type : {"application/x-zark-series", "application/x-zark-match"}) {
        EXPECT_TRUE(data.contains(QString("<mediatype>%1</mediatype>").arg(type)));
        EXPECT_TRUE(types.contains(QString("<mime-type type=\"%1\">").arg(type)));
    }
    // every screenshot named is one committed beside the series it shows
    const QRegularExpression screenshot("/screenshots/([a-z0-9-]+\\.png)</image>");
    int screenshots = 0;
    for (auto it = screenshot.globalMatch(data); it.hasNext(); ++screenshots)
        EXPECT_TRUE(QFileInfo::exists(QString(ZARK_SOURCE_DIR "/packaging/screenshots/") + it.next().captured(1)));
    EXPECT_GE(screenshots, 1);

    const QString page = share.filePath("man/man1/zark.1.gz");
    QProcessEnvironment narrow = QProcessEnvironment::systemEnvironment();
    narrow.insert("MANWIDTH", "80");
    narrow.insert("LC_ALL", "C.UTF-8");
    QString warnings;
    const ToolRun shown = RunTool("man", {"--warnings", "-E", "UTF-8", "-l", page}, &warnings, narrow);
    ASSERT_EQ(shown.exitCode, 0) << warnings.toStdString();
    EXPECT_TRUE(warnings.isEmpty()) << warnings.toStdString();
    EXPECT_TRUE(shown.output.contains(QString("ZARK %1").arg(version)));
    const QString usage = RunTool(program, {"--help"}).output;
    const QRegularExpression option("(?:^|[ |])(--?[a-z][a-z-]*)");
    int options = 0;
    for (auto it = option.globalMatch(usage); it.hasNext(); ++options) {
        const QString name = it.next().captured(1);
        EXPECT_TRUE(shown.output.contains(name)) << name.toStdString();
    }
    EXPECT_GE(options, 4);  // --export-csv, --export-pdf, --help, --version
    for (const char* part : {"EXIT STATUS", "FILES", "ENVIRONMENT", "dialout", "ZARK_SIM_PROFILE", "Zark.conf"})
        EXPECT_TRUE(shown.output.contains(part)) << part;

    EXPECT_TRUE(QFileInfo::exists(share.filePath("doc/zark/copyright")));
    EXPECT_TRUE(QFileInfo::exists(share.filePath("doc/zark/changelog.gz")));
    EXPECT_FALSE(QDir(share.filePath("zark/Sound")).entryList({"*.wav"}, QDir::Files).isEmpty());
}

}  // namespace
}  // namespace zark
