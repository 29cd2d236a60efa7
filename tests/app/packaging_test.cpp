// What "cmake --install" puts on a Linux desktop: the program, a valid menu entry that opens a
// file, and the shared-mime-info description of .zas and .zam with their icons, checked with the
// desktop's own tools (desktop-file-validate, xmllint, update-mime-database).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace zark {
namespace {

struct ToolRun {
    int exitCode = -1;
    QString output;
};

ToolRun RunTool(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    ToolRun run;
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit) {
        run.output = program + " did not run: " + tool.errorString();
        return run;
    }
    run.exitCode = tool.exitCode();
    run.output = QString::fromLocal8Bit(tool.readAll());
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

}  // namespace
}  // namespace zark
