// The committed golden files are what the program writes. Each is compared line by line with a
// fresh write of the same record, and with a write of what was read from it.
// ZARK_UPDATE_GOLDEN=1 rewrites them from the records (then review the difference).
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include "storagetest.h"
#include "support/testsupport.h"

namespace zark::test {
namespace {

QString GoldenPath(const char* name) {
    return QDir(QString::fromStdString(SourceDir())).filePath(QString("storage/golden/") + name);
}

// Line by line, except the value of "File", which names where the file was written.
void ExpectSameLines(const std::string& golden, const std::string& written, const QString& writtenPath) {
    const std::vector<std::string> expected = SplitLines(golden);
    const std::vector<std::string> actual = SplitLines(written);
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (expected[i].rfind("File=", 0) == 0) {
            EXPECT_EQ(actual[i], "File=" + QDir::toNativeSeparators(QFileInfo(writtenPath).absoluteFilePath()).toStdString());
            continue;
        }
        ASSERT_EQ(expected[i], actual[i]) << "line " << i + 1;
    }
    EXPECT_EQ(written.back(), '\n');
    EXPECT_EQ(written.find('\r'), std::string::npos);
}

struct Golden {
    const char* name;
    std::function<bool(SeriesFileIo&, const QString&)> writeRecord;   // the record built in code
    std::function<bool(SeriesFileIo&, const QString&, const QString&)> readAndWrite;
};

void CheckGolden(const Golden& golden) {
    SCOPED_TRACE(golden.name);
    QTemporaryDir dir;
    SeriesFileIo io;
    io.SetClock(&FixedDate);
    const QString written = dir.filePath(golden.name);
    ASSERT_TRUE(golden.writeRecord(io, written));
    if (qEnvironmentVariableIntValue("ZARK_UPDATE_GOLDEN") == 1) {
        std::string text = ReadBytes(written);
        const std::size_t start = text.find("File=") + 5;
        text.replace(start, text.find('\n', start) - start, std::string("/home/shooter/ZARK/data/") + golden.name);
        WriteBytes(GoldenPath(golden.name), text);
    }
    const std::string goldenText = ReadBytes(GoldenPath(golden.name));
    ExpectSameLines(goldenText, ReadBytes(written), written);

    const QString again = dir.filePath(QString("again-") + golden.name);
    ASSERT_TRUE(golden.readAndWrite(io, GoldenPath(golden.name), again));
    ExpectSameLines(goldenText, ReadBytes(again), again);
}

TEST(GoldenFiles, Series) {
    const auto record = SampleSeries();
    CheckGolden({"series.zas", [&](SeriesFileIo& io, const QString& path) { return io.WriteSeries(*record, path); },
                 [&](SeriesFileIo& io, const QString& from, const QString& to) {
                     auto read = std::make_unique<SeriesRecord>();
                     if (!io.ReadSeries(from, *read)) return false;
                     ExpectSameSeries(*record, *read);
                     EXPECT_EQ(read->date, FixedDate());
                     return io.WriteSeries(*read, to);
                 }});
}

void CheckMatchGolden(const char* name, int type) {
    const auto record = SampleMatch(type);
    CheckGolden({name, [&](SeriesFileIo& io, const QString& path) { return io.WriteMatch(*record, path); },
                 [&](SeriesFileIo& io, const QString& from, const QString& to) {
                     auto read = std::make_unique<MatchRecord>();
                     if (!io.ReadMatch(from, *read)) return false;
                     ExpectSameMatch(*record, *read);
                     EXPECT_EQ(read->date, FixedDate());
                     return io.WriteMatch(*read, to);
                 }});
}

TEST(GoldenFiles, MatchWithSighters) { CheckMatchGolden("match.zam", 0); }
TEST(GoldenFiles, MatchWithPositions) { CheckMatchGolden("positions.zam", 6); }

}  // namespace
}  // namespace zark::test
