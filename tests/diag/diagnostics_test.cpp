#include <gtest/gtest.h>

#include <cerrno>
#include <thread>
#include <vector>

#include "diag/diagnostics.h"
#include "support/testsupport.h"

namespace zark {
namespace {

using test::CountOf;
using test::LogText;

// The log is created at the first message of the run, in the current folder, and every call
// writes and flushes at once.
TEST(Diagnostics, LogLinesAndErrorReportsGoToTheLogWithTheSystemText) {
    // Two threads that log first at the same time: one file, every line whole.
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 50; ++i) LogLine("thread %d line %d\n", t, i);
        });
    }
    for (auto& thread : threads) thread.join();

    ReportError(ENOENT, "error reading registry value '%s'", "LangID");
    ReportError(0, "timeout reading from port '%s'", "COM1");

    const std::string log = LogText();
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 50; ++i)
            EXPECT_EQ(CountOf(log, "thread " + std::to_string(t) + " line " + std::to_string(i) + "\n"), 1);
    EXPECT_NE(log.find("error reading registry value 'LangID': " + SystemErrorText(ENOENT) + "\n"),
              std::string::npos);
    EXPECT_NE(log.find("timeout reading from port 'COM1': " + SystemErrorText(0) + "\n"), std::string::npos);
    EXPECT_EQ(SystemErrorText(ENOENT), "No such file or directory");
}

TEST(Diagnostics, TheLastReportOfEachThreadCanBeShownAsLogged) {
    const std::string longName(3000, 'x');  // longer than any fixed buffer
    ReportError(ENOENT, "failed to open bitmap file '%s'", longName.c_str());
    const std::string expected = "failed to open bitmap file '" + longName + "': " + SystemErrorText(ENOENT);
    EXPECT_EQ(LastReportedError(), expected);
    EXPECT_EQ(test::CountOf(test::LogText(), expected + "\n"), 1);
    std::string seenElsewhere = "unset";
    std::thread other([&] { seenElsewhere = LastReportedError(); });
    other.join();
    EXPECT_EQ(seenElsewhere, "");  // another thread's report is its own
}

TEST(Diagnostics, DebugMessageShowsFormattedTextInInformationBox) {
    test::MessageCapture capture;
    DebugMessage("illegal target identity %x", 1300);
    ASSERT_EQ(capture.shown.size(), 1u);
    EXPECT_EQ(capture.shown[0].title, "ZARK - Debug");
    EXPECT_EQ(capture.shown[0].text, "illegal target identity 514");
    EXPECT_EQ(capture.shown[0].icon, MessageIcon::Information);
}

TEST(Diagnostics, DebugMessageCutsOverlongTextInsteadOfOverrunning) {
    test::MessageCapture capture;
    const std::string longText(5000, 'x');
    DebugMessage("%s", longText.c_str());
    ASSERT_EQ(capture.shown.size(), 1u);
    EXPECT_EQ(capture.shown[0].text.size(), 1023u);
}

TEST(DiagnosticsDeathTest, AssertionShowsItsBoxAndEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            // the default sink writes the box to standard error
            SetMessageBoxSink(nullptr);
            ZARK_ASSERT(1 + 1 == 3);
        },
        "ZARK - Assert Error: Assertion \"1 \\+ 1 == 3\" Failed\n File: .*diagnostics_test.cpp  Line: [0-9]+");
}

}  // namespace
}  // namespace zark
