// The file commands without widgets: filters, the data directory and its per-user stand-in,
// automatic names and saves (safe names, two in one second, a folder that refuses the file), the
// kinds of files read, and the counts of an opened file brought within range.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "storage/filecommands.h"
#include "storagetest.h"
#include "support/testsupport.h"

namespace zark {
namespace {

FileDate g_now = test::FixedDate();
FileDate Now() { return g_now; }

TEST(FileFilters, BuiltFromTheThreeTextsAndGivenToQtInItsForm) {
    const std::string open = OpenFilter("ZARK Serie", "ZARK Match", "All files");
    EXPECT_EQ(open,
              "ZARK Serie, ZARK Match (*.zas, *.zam)|*.zas;*.zam|ZARK Serie (*.zas)|*.zas|ZARK Match (*.zam)|*.zam|"
              "All files|*.*|");
    EXPECT_EQ(QtNameFilters(open), (QStringList{"ZARK Serie, ZARK Match (*.zas *.zam)", "ZARK Serie (*.zas)",
                                                "ZARK Match (*.zam)", "All files (*)"}));
    EXPECT_EQ(SeriesSaveFilter("Serie"), "Serie (*.zas)|*.zas|");
    EXPECT_EQ(QtNameFilters(MatchSaveFilter("Match")), QStringList{"Match (*.zam)"});
}

TEST(AutomaticNames, SafeInEveryTargetNameAndUniqueWithinASecond) {
    EXPECT_EQ(SafeFileNamePart("Rifle 50 meter"), "Rifle 50 meter");
    EXPECT_EQ(SafeFileNamePart("Field 1/4 Left"), "Field 1_4 Left");
    EXPECT_EQ(SafeFileNamePart(QString("a\\b:c*d?e\"f<g>h|i\tj") + QChar(0x7F)), "a_b_c_d_e_f_g_h_i_j_");
    EXPECT_EQ(SafeFileNamePart("..hidden. ."), "hidden");
    EXPECT_EQ(SafeFileNamePart(""), "ZARK");
    EXPECT_EQ(SafeFileNamePart("/"), "_");
    EXPECT_EQ(SafeFileNamePart(QString(300, 'x')).size(), 100);
    EXPECT_EQ(SafeFileNamePart("Älg 5 ringar"), "Älg 5 ringar");
    EXPECT_EQ(FileStamp(FileDate{2026, 1, 2, 3, 4, 5}), "20260102-030405");

    QTemporaryDir dir;
    FileCommands files;
    g_now = FileDate{2026, 12, 7, 9, 8, 7};
    files.SetClock(&Now);
    ASSERT_TRUE(files.PrepareDataDirectory(dir.filePath("data")));
    auto series = test::SampleSeries();
    const auto first = files.AutoSaveSeries(*series, "Rifle 50 meter");
    ASSERT_TRUE(first.ok) << first.error.toStdString();
    EXPECT_EQ(first.path, dir.filePath("data/Rifle 50 meter-20261207-090807.ZAS"));
    const auto second = files.AutoSaveSeries(*series, "Rifle 50 meter");
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.path, dir.filePath("data/Rifle 50 meter-20261207-090807-2.ZAS"));
    EXPECT_TRUE(QFileInfo::exists(first.path));  // not overwritten
    const auto field = files.AutoSaveSeries(*series, "Field 1/4");
    ASSERT_TRUE(field.ok);
    EXPECT_EQ(field.path, dir.filePath("data/Field 1_4-20261207-090807.ZAS"));

    // What was saved reads back, with its date and kind.
    ASSERT_EQ(files.Read(field.path), FileCommands::Kind::Series);
    test::ExpectSameImage(series->store, files.OpenedSeries().store);
    EXPECT_EQ(files.OpenedSeries().date, g_now);
    auto match = test::SampleMatch(0);
    const auto saved = files.AutoSaveMatch(*match, "Air Rifle 10 meter");
    ASSERT_TRUE(saved.ok);
    EXPECT_TRUE(saved.path.endsWith("Air Rifle 10 meter-20261207-090807.ZAM"));
    ASSERT_EQ(files.Read(saved.path), FileCommands::Kind::Match);
    EXPECT_EQ(files.Read(dir.filePath("data/missing.zam")), FileCommands::Kind::Failed);
}

TEST(AutomaticSaving, AFolderThatRefusesTheFileIsReportedAndTheNextSaveSucceeds) {
    QTemporaryDir dir;
    FileCommands files;
    files.SetClock(&Now);
    const QString data = dir.filePath("data");
    ASSERT_TRUE(files.PrepareDataDirectory(data));
    auto series = test::SampleSeries();
    {
        test::RefusingFolder refusing(data.toStdString());
        const auto failed = files.AutoSaveSeries(*series, "Pistol 25 meter");
        EXPECT_FALSE(failed.ok);
        EXPECT_TRUE(failed.path.isEmpty());
        EXPECT_FALSE(failed.error.isEmpty());
        EXPECT_NE(test::LogText().find("The automatic save failed: " + failed.error.toStdString()), std::string::npos);
    }
    const auto saved = files.AutoSaveSeries(*series, "Pistol 25 meter");
    ASSERT_TRUE(saved.ok) << saved.error.toStdString();
    EXPECT_EQ(QDir(data).entryList(QDir::Files).size(), 1);  // no stray temporary file
}

TEST(DataDirectory, WithoutOneTheFilesGoToAPerUserFolderNeverTheRoot) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_TRUE(documents.startsWith(QDir::homePath())) << "the test's own HOME";
    EXPECT_EQ(PerUserDataDirectory(), documents + "/ZARK");

    FileCommands files;
    files.SetClock(&Now);
    EXPECT_FALSE(files.PrepareDataDirectory(""));
    EXPECT_EQ(files.SaveFolder(), PerUserDataDirectory());
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_FALSE(files.PrepareDataDirectory(dir.filePath("file/data")));
    EXPECT_EQ(files.DataDirectory(), "");
    EXPECT_NE(test::LogText().find("cannot create the data directory"), std::string::npos);

    QDir(PerUserDataDirectory()).removeRecursively();
    const auto saved = files.AutoSaveSeries(*test::SampleSeries(), "Deer");
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(QFileInfo(saved.path).absolutePath(), PerUserDataDirectory());

    // The dialogs start in the save folder, later where the last file was chosen.
    EXPECT_EQ(files.StartFolder(), PerUserDataDirectory());
    files.ChoseFile(dir.filePath("x.zas"));
    EXPECT_EQ(files.StartFolder(), dir.path());
    EXPECT_EQ(files.StartFolder(false), PerUserDataDirectory());
    QDir(PerUserDataDirectory()).removeRecursively();
}

TEST(OpenedCounts, HandEditedCountsNeverStartASeriesOrMatchBeyondWhatCanBeShot) {
    auto series = test::SampleSeries();  // 3 shots
    series->numberOfShots = 6;
    EXPECT_EQ(ShotsOfOpenedSeries(*series, 10), 6);
    series->numberOfShots = 500;
    EXPECT_EQ(ShotsOfOpenedSeries(*series, 10), 3);
    series->numberOfShots = -3;
    EXPECT_EQ(ShotsOfOpenedSeries(*series, 10), 3);
    series->store.shotCount = 0;
    EXPECT_EQ(ShotsOfOpenedSeries(*series, 10), 10);

    auto match = test::SampleMatch(0);  // sighters 5, then 4 x 10
    std::strcpy(match->programme.title, "Title\r");
    match->programme.entries[1].shots = 500;
    match->programme.entries[2].shots = -3;
    match->series[1].shotCount = 0;
    match->programme.entries[3].sighters = 7;
    MatchProgramme programme;
    ProgrammeOfOpenedMatch(*match, programme);
    EXPECT_STREQ(programme.title, "Title");
    EXPECT_EQ(programme.seriesCount, 5);
    EXPECT_EQ(programme.entries[1].shots, 10);  // from its stored series
    EXPECT_EQ(programme.entries[2].shots, 1);   // nothing stored: cut into the range
    EXPECT_EQ(programme.entries[3].sighters, 1);
    match->programme.seriesCount = 500;
    ProgrammeOfOpenedMatch(*match, programme);
    EXPECT_EQ(programme.seriesCount, 20);
    match->programme.seriesCount = -1;
    ProgrammeOfOpenedMatch(*match, programme);
    EXPECT_EQ(programme.seriesCount, 0);

    // Saving writes the programme back as it is.
    match = test::SampleMatch(6);
    ProgrammeOfOpenedMatch(*match, programme);
    FileProgramme file;
    FileProgrammeOf(programme, file);
    EXPECT_EQ(std::memcmp(&file, &match->programme, sizeof file), 0);
}

TEST(FileTypes, TheWindowsRegistrationKeys) {
    const auto keys = FileTypeRegistryKeys("C:\\ZARK\\zark.exe", "ZARK Serie", "ZARK Match");
    ASSERT_EQ(keys.size(), 12u);
    EXPECT_EQ(keys[0].path, "SOFTWARE\\Classes\\.zas");
    EXPECT_EQ(keys[0].value, "ZARK.Serie");
    EXPECT_EQ(keys[3].value, "ZARK Match");
    EXPECT_FALSE(keys[4].hasValue);
    EXPECT_EQ(keys[6].path, "SOFTWARE\\Classes\\ZARK.Serie\\shell\\open\\command");
    EXPECT_EQ(keys[6].value, "C:\\ZARK\\zark.exe \"%1\"");
    EXPECT_EQ(keys[11].value, "C:\\ZARK\\zark.exe,2");
}

}  // namespace
}  // namespace zark
