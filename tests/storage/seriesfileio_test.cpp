#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <tuple>

#include "core/tracestore.h"
#include "storagetest.h"
#include "support/testsupport.h"

namespace zark::test {
namespace {

std::unique_ptr<SeriesRecord> SeriesFrom(const std::string& text) {
    auto record = std::make_unique<SeriesRecord>();
    QByteArray bytes = QByteArray::fromStdString(text);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_TRUE(SeriesFileIo::ReadSeries(buffer, *record));
    return record;
}

std::unique_ptr<MatchRecord> MatchFrom(const std::string& text) {
    auto record = std::make_unique<MatchRecord>();
    QByteArray bytes = QByteArray::fromStdString(text);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_TRUE(SeriesFileIo::ReadMatch(buffer, *record));
    return record;
}

// A Serie section of n points (i + 1, 2 * i + 1), with the points named in `at` replaced.
std::string Points(int n, std::initializer_list<std::tuple<int, int, int>> at = {}) {
    std::string text = "[Serie]\n";
    for (int i = 0; i < n; ++i) {
        int x = i + 1, y = 2 * i + 1;
        for (const auto& [index, px, py] : at)
            if (index == i) x = px, y = py;
        text += std::to_string(x) + "," + std::to_string(y) + "\n";
    }
    return text;
}

int Count(const std::vector<std::string>& lines, const std::string& line) {
    return int(std::count(lines.begin(), lines.end(), line));
}

TEST(SeriesFile, LayoutOfASeriesOf3ShotsAnd250Points) {
    auto record = SampleSeries();
    record->flags = 0xABCD;  // never written
    const std::string text = SeriesFileIo::SeriesText(*record, "/data/a.zas", FixedDate());
    const auto lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 1u + 5 + 2 + 3 + 2 + 250);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 9),
              (std::vector<std::string>{"[Header]", "File=/data/a.zas", "Date=20240309140507", "TargetID=7",
                                        "NumberOfShots=3", "Flags=00000000", "", "[Shots]", "12,-40,100,L"}));
    EXPECT_EQ(lines[9], "-7,25,249,R");
    EXPECT_EQ(lines[10], "0,0,9999,R");  // the unfired shot
    EXPECT_EQ(lines[11], "");
    EXPECT_EQ(lines[12], "[Serie]");
    EXPECT_EQ(lines[13 + 100], "12,-40");
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST(SeriesFile, MatchOfType0WritesFivePairsTheLastEmpty) {
    const std::string text = SeriesFileIo::MatchText(*SampleMatch(0), "m.zam", FixedDate());
    const auto lines = SplitLines(text);
    EXPECT_EQ(Count(lines, "[Shots]"), 5);
    EXPECT_EQ(Count(lines, "[Serie]"), 5);
    EXPECT_EQ(Count(lines, "NumberOfShots=10"), 4);
    EXPECT_EQ(Count(lines, "SubTitle="), 5);
    EXPECT_EQ(Count(lines, "Flags=00000000"), 1);
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "[Match]");
    EXPECT_EQ(lines[7], "Title=Air Rifle/Pistol 40 Shots");
    EXPECT_EQ(lines[8], "NumberOfSeries=5");
    EXPECT_TRUE(text.ends_with("\n\n[Shots]\n\n[Serie]\n"));
}

TEST(SeriesFile, ShotLines) {
    const auto read = SeriesFrom("[Shots]\n12,-40,117,R\n12,-40,117,X\n1,2,3\n 5, 6, 7,L\n5 ,6,7,L\n1,2,3,\n" +
                                 Points(200, {{117, 12, -40}, {7, 5, 6}}));
    ASSERT_EQ(read->store.shotCount, 4);
    const ShotRecord& first = read->store.shots[0];
    EXPECT_EQ(first.x, 12);
    EXPECT_EQ(first.y, -40);
    EXPECT_EQ(first.traceIndex, 117);
    EXPECT_EQ(first.side, 1);
    EXPECT_EQ(read->store.shots[1].side, 1);  // any character but "L" is the right face
    EXPECT_EQ(read->store.shots[2].side, 0);  // white space before a number is allowed, not before a comma
    EXPECT_EQ(read->store.shots[2].traceIndex, 7);
    EXPECT_EQ(read->store.shots[3].side, 1);  // the line feed is the side character
    EXPECT_EQ(read->store.shots[4].traceIndex, NoTrace);
}

TEST(SeriesFile, TraceIndexIsLoweredOnlyWhereThatIsTheShotsOwnPoint) {
    const auto read = SeriesFrom("[Shots]\n12,-40,117,L\n30,31,131,L\n40,41,150,L\n60,61,200,L\n8,8,160,L\n" +
                                 Points(200, {{117, 12, -40}, {130, 30, 31}, {159, 8, 8}, {160, 8, 8}, {199, 60, 61}}));
    EXPECT_EQ(read->store.shots[0].traceIndex, 117);  // its own point
    EXPECT_EQ(read->store.shots[1].traceIndex, 130);  // written one past its point
    EXPECT_EQ(read->store.shots[2].traceIndex, 150);  // neither: not moved
    EXPECT_EQ(read->store.shots[3].traceIndex, 199);  // one past the last point
    EXPECT_EQ(read->store.shots[4].traceIndex, 160);  // the aim stood still: its own point wins
}

TEST(SeriesFile, NoTraceInFilesNeverCollidesWithARealIndex) {
    // an unfired shot, a shot whose point is index 9999, a shot of a full trace without its own point
    auto store = std::make_unique<TraceStore>();
    store->AppendShot(0, 0, 0);
    for (int i = 0; i < 9999; ++i) store->AppendSample(i % 50 + 1, 3);
    store->AppendShot(70, -70, 1);
    while (store->AppendSample(4, 5)) {
    }
    store->AppendShot(4, 6, 0);
    auto record = std::make_unique<SeriesRecord>();
    record->store = store->Image();
    QTemporaryDir dir;
    SeriesFileIo io;
    ASSERT_TRUE(io.WriteSeries(*record, dir.filePath("a.zas")));
    auto read = std::make_unique<SeriesRecord>();
    ASSERT_TRUE(io.ReadSeries(dir.filePath("a.zas"), *read));
    ExpectSameImage(record->store, read->store);
    EXPECT_EQ(read->store.shots[0].traceIndex, NoTrace);  // not 9998: point 9999 is not (0, 0)
    EXPECT_EQ(read->store.shots[1].traceIndex, 9999);
    EXPECT_EQ(read->store.shots[2].traceIndex, NoTrace);
    EXPECT_EQ(read->store.shots[2].y, 6);
}

TEST(SeriesFile, HeaderKeys) {
    auto read = SeriesFrom("x\n[Header]\nFile=c:\\a.zas\nTargetID:42\nNumberOfShots=6\nFlags=0000001F\n"
                           "Date=2023\nDate=20240229235958\nTargetIDs\n[header]\nTargetID=5\n[Header]\nNumberOfShots");
    EXPECT_EQ(read->targetId, 42);  // the character after the key is not looked at
    EXPECT_EQ(read->numberOfShots, 6);
    EXPECT_EQ(read->flags, 0x1Fu);
    EXPECT_EQ(read->date, (FileDate{2024, 2, 29, 23, 59, 58}));
    read = SeriesFrom("[Header]\nDate=20240229\nTargetID=99999999999\n");
    EXPECT_EQ(read->date, (FileDate{2024, 2, 29, 0, 0, 0}));
    EXPECT_EQ(read->targetId, 2147483647);
    EXPECT_EQ(SeriesFrom("[Match]\nTitle=x\n[Shots]\n1,2,3,L\n")->store.shotCount, 1);  // no Match section here
}

TEST(SeriesFile, EmptyAndUnreadableFiles) {
    const auto empty = SeriesFrom("");
    EXPECT_EQ(empty->targetId, 0);
    EXPECT_EQ(empty->store.shotCount, 0);
    EXPECT_EQ(empty->store.shots[0].traceIndex, NoTrace);
    EXPECT_EQ(empty->date, FileDate{});
    QTemporaryDir dir;
    SeriesFileIo io;
    auto record = SampleSeries();
    EXPECT_FALSE(io.ReadSeries(dir.filePath("missing.zas"), *record));
    EXPECT_EQ(record->store.sampleCount, 0);
    EXPECT_FALSE(io.ReadSeries(dir.path(), *record));
    auto match = std::make_unique<MatchRecord>();
    EXPECT_FALSE(io.ReadMatch(dir.filePath("missing.zam"), *match));
}

TEST(SeriesFile, CarriageReturnLineFeedReadsTheSame) {
    auto match = SampleMatch(6);
    std::string text = SeriesFileIo::MatchText(*match, "m.zam", FixedDate());
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const auto read = MatchFrom(crlf);
    ExpectSameMatch(*match, *read);  // titles without the carriage return
    EXPECT_EQ(read->date, FixedDate());
    auto series = SampleSeries();
    text = SeriesFileIo::SeriesText(*series, "s.zas", FixedDate());
    crlf.clear();
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ExpectSameSeries(*series, *SeriesFrom(crlf));
}

TEST(SeriesFile, MatchFileNames) {
    EXPECT_TRUE(IsMatchFileName("A.ZAM"));
    EXPECT_TRUE(IsMatchFileName("/x/b.Zam"));
    EXPECT_FALSE(IsMatchFileName("A.txt"));
    EXPECT_FALSE(IsMatchFileName("a.zam.bak"));
    EXPECT_FALSE(IsMatchFileName("old.zam/a"));
    EXPECT_FALSE(IsMatchFileName("zam"));
}

TEST(SeriesFile, ReaderNeverStoresPastItsFields) {
    std::string text = "[Shots]\n";
    for (int i = 0; i < 25; ++i) text += std::to_string(i + 1) + ",1,9999,L\n";
    // (points within 16 bits: a coordinate beyond them is refused, no longer wrapped)
    text += "[Serie]\n";
    for (int i = 0; i < kMaxSamples + 100; ++i) text += std::to_string(i + 1) + ",1\n";
    text += "[Shots]\n";  // a second Shots section replaces the first
    for (int i = 0; i < 25; ++i) text += std::to_string(i + 1) + ",1,9999,L\n";
    const auto read = SeriesFrom(text);
    EXPECT_EQ(read->store.shotCount, kMaxShots);
    EXPECT_EQ(read->store.shots[19].x, 20);
    EXPECT_EQ(read->store.sampleCount, kMaxSamples);
    EXPECT_EQ(read->store.samples[kMaxSamples - 1].x, kMaxSamples);

    // a point line continued past 511 characters gives a second line
    EXPECT_EQ(SeriesFrom("[Serie]\n5,6" + std::string(508, ' ') + "7,8\n")->store.sampleCount, 2);
    // a zero byte ends what is read of its line
    EXPECT_EQ(SeriesFrom(std::string("[Serie]\n5,\0" "6\n", 13))->store.sampleCount, 0);
}

TEST(MatchFile, ReaderNeverStoresPastItsFields) {
    std::string text = "[Serie]\n1,1\n[Match]\nSighters=1\nNumberOfShots=9\nTitle=" + std::string(300, 'T') +
                       "\nNumberOfSeries=99\n";
    for (int k = 0; k < 21; ++k) text += "SubTitle=P" + std::to_string(k) + "\nNumberOfShots=" + std::to_string(k) + "\n";
    for (int k = 0; k < 22; ++k) text += "[Shots]\n" + std::to_string(k + 1) + ",2,0,R\n[Serie]\n" + std::to_string(k + 1) + ",2\n";
    const auto read = MatchFrom(text);
    EXPECT_EQ(std::string(read->programme.title), std::string(255, 'T'));
    EXPECT_EQ(read->programme.seriesCount, 20);
    EXPECT_EQ(read->programme.entries[0].sighters, 0);  // fields before the first SubTitle
    EXPECT_STREQ(read->programme.entries[19].subtitle, "P19");
    EXPECT_EQ(read->programme.entries[19].shots, 19);  // not overwritten by the 21st entry
    EXPECT_EQ(read->series[0].sampleCount, 1);
    EXPECT_EQ(read->series[0].samples[0].y, 2);  // the Serie before any Shots went nowhere
    EXPECT_EQ(read->series[19].shots[0].x, 20);
    EXPECT_EQ(read->series[19].shots[0].traceIndex, 0);

    // a title cut inside a UTF-8 character loses the whole character
    const auto cut = MatchFrom("[Match]\nTitle=" + std::string(254, 'a') + "\xC3\xBC\nNumberOfSeries=-3\n");
    EXPECT_EQ(std::string(cut->programme.title), std::string(254, 'a'));
    EXPECT_EQ(cut->programme.seriesCount, 0);
}

TEST(MatchFile, SerieFillsTheSeriesOfTheLatestShots) {
    const auto read = MatchFrom("[Shots]\n1,1,1,L\n[Serie]\n1,1\n[Serie]\n2,2\n3,3\n[Shots]\n[Serie]\n5,5\n[Sho]\n[Serie]\n6,6\n");
    EXPECT_EQ(read->series[0].sampleCount, 2);   // the second Serie replaced the first
    EXPECT_EQ(read->series[0].shots[0].traceIndex, 1);  // checked once, against the trace that stays
    EXPECT_EQ(read->series[1].sampleCount, 1);
    EXPECT_EQ(read->series[1].samples[0].x, 6);
}

TEST(SeriesFile, WrittenValuesStayOnTheirLines) {
    auto match = SampleMatch(0);
    std::strcpy(match->programme.title, "Final\n[Shots]\n1,2,3,L");
    match->programme.seriesCount = 40;
    match->series[0].sampleCount = 99999;  // counts beyond the fields are not trusted
    QTemporaryDir dir;
    SeriesFileIo io;
    const QString path = dir.filePath("new\nline.zam");
    ASSERT_TRUE(io.WriteMatch(*match, path));
    const auto lines = SplitLines(ReadBytes(path));
    EXPECT_EQ(lines[1], "File=" + QDir::toNativeSeparators(dir.path()).toStdString() + "/new?line.zam");
    EXPECT_EQ(lines[7], "Title=Final");
    EXPECT_EQ(lines[8], "NumberOfSeries=20");
    EXPECT_EQ(Count(lines, "[Shots]"), 20);
    auto read = std::make_unique<MatchRecord>();
    ASSERT_TRUE(io.ReadMatch(path, *read));
    EXPECT_EQ(read->series[0].sampleCount, kMaxSamples);
    EXPECT_EQ(read->series[1].shotCount, 10);
}

// A device that fails after its first block, as a disk read error would.
class FailingDevice final : public QIODevice {
public:
    FailingDevice() { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }

protected:
    qint64 readData(char* data, qint64 size) override {
        static const std::string part = "[Header]\nTargetID=5\n[Shots]\n1,2,3,L\n";
        if (served_++ > 0 || size < qint64(part.size())) return -1;
        std::memcpy(data, part.data(), part.size());
        return qint64(part.size());
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    int served_ = 0;
};

TEST(SeriesFile, AReadErrorIsAFailureNotAShortRecord) {
    FailingDevice device;
    auto record = std::make_unique<SeriesRecord>();
    EXPECT_FALSE(SeriesFileIo::ReadSeries(device, *record));
    EXPECT_EQ(record->targetId, 0);
    EXPECT_EQ(record->store.shotCount, 0);
}

TEST(SeriesFile, AFailedWriteLeavesTheOldFile) {
    QTemporaryDir dir;
    SeriesFileIo io;
    const QString path = dir.filePath("match.zam");
    ASSERT_TRUE(io.WriteSeries(*SampleSeries(), path));
    const std::string good = ReadBytes(path);
    EXPECT_FALSE(io.WriteSeries(*SampleSeries(), dir.filePath("no/such/folder/a.zas")));

    // a full disk: files of this process may not grow past 256 KB while a 1 MB match is written
    auto big = SampleMatch(0);
    for (int k = 0; k < 4; ++k) {
        while (big->series[k].sampleCount < 20000) big->series[k].samples[big->series[k].sampleCount++] = AimSample{-1234, 5678};
    }
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit previous = limit;
    limit.rlim_cur = 256 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const bool written = io.WriteMatch(*big, path);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &previous), 0);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(path), good);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"match.zam"});
    EXPECT_NE(LogText().find("Cannot write file"), std::string::npos);

    ASSERT_TRUE(io.WriteMatch(*big, path));  // with room, the new file replaces the old one
    auto read = std::make_unique<MatchRecord>();
    ASSERT_TRUE(io.ReadMatch(path, *read));
    EXPECT_EQ(read->series[3].sampleCount, 20000);
}

// The sample series shot as a duel: the first shot in time in window 1, the second late in
// window 2, the third (unfired) before any window.
std::unique_ptr<SeriesRecord> DuelSeries() {
    auto record = SampleSeries();
    TimedDrill duel{7000, 3000, 7000, 1, 5, 0};
    record->store.timed = 1;
    record->store.drill = duel;
    record->store.timing[0] = TimedShot{0, 1230, 0};
    record->store.timing[1] = TimedShot{1, 3040, 1};
    record->store.timing[2] = TimedShot{-1, 0, 1};
    return record;
}

TEST(TimingSection, FollowsTheTraceAndReadsBackAsWritten) {
    const auto record = DuelSeries();
    const std::string text = SeriesFileIo::SeriesText(*record, "/data/duel.zas", FixedDate());
    const auto lines = SplitLines(text);
    // the sections an earlier reader knows come first and unchanged; the timing is last
    const auto timing = std::find(lines.begin(), lines.end(), "[Timing]");
    ASSERT_NE(timing, lines.end());
    EXPECT_EQ(std::vector<std::string>(timing, lines.end()),
              (std::vector<std::string>{"[Timing]", "Drill=7000,3000,7000,1,5,0", "0,1230,0", "1,3040,1", "-1,0,1"}));
    auto untimed = SampleSeries();
    const std::string plain = SeriesFileIo::SeriesText(*untimed, "/data/duel.zas", FixedDate());
    EXPECT_EQ(text.substr(0, plain.size()), plain);
    EXPECT_EQ(plain.find("Timing"), std::string::npos);

    ExpectSameSeries(*record, *SeriesFrom(text));
    ExpectSameSeries(*untimed, *SeriesFrom(plain));

    // a match keeps each series' timing with its series
    auto match = SampleMatch(0);
    match->series[2].timed = 1;
    match->series[2].timing[0] = TimedShot{0, 500, 0};
    QTemporaryDir dir;
    const QString path = dir.filePath("m.zam");
    ASSERT_TRUE(SeriesFileIo().WriteMatch(*match, path));
    auto back = std::make_unique<MatchRecord>();
    ASSERT_TRUE(SeriesFileIo().ReadMatch(path, *back));
    ExpectSameMatch(*match, *back);
    EXPECT_FALSE(back->series[1].timed);
    EXPECT_EQ(back->series[2].timing[0], (TimedShot{0, 500, 0}));
}

TEST(TimingSection, HandEditedValuesAreBroughtWithinRange) {
    std::string text = SeriesFileIo::SeriesText(*SampleSeries(), "/x.zas", FixedDate());
    text += "\n[Timing]\nDrill=-4,99999999,5,9,40,7\n7,100,5\nnonsense\n-9,200\n2,300,0\n0,1,0\n0,2,0\n";
    const auto record = SeriesFrom(text);
    const TraceImage& image = record->store;
    EXPECT_EQ(image.timed, 1);
    EXPECT_EQ(image.drill, (TimedDrill{0, 15 * 60 * 1000, 5, 1, 20, 1}));
    EXPECT_EQ(image.timing[0], (TimedShot{7, 100, 1}));  // window 7 of 20 stays
    EXPECT_EQ(image.timing[1], (TimedShot{2, 300, 0}));  // the broken lines are skipped
    EXPECT_EQ(image.timing[2], (TimedShot{0, 1, 0}));
    EXPECT_EQ(image.timing[3], TimedShot{});  // the file has three shots: the fourth line goes
    // a window beyond the drill's is held at its last
    const auto few = SeriesFrom(SeriesFileIo::SeriesText(*SampleSeries(), "/x.zas", FixedDate()) +
                          "\n[Timing]\nDrill=7000,8000,7000,5,1,0\n3,100,0\n");
    EXPECT_EQ(few->store.timing[0], (TimedShot{0, 100, 0}));
}

}  // namespace
}  // namespace zark::test
