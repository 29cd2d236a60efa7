// The program's command line: the file to open, --help, --version, and options nobody knows.
#include <gtest/gtest.h>

#include "app/commandline.h"

namespace zark {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, TheFirstFileIsOpenedAndUnknownOptionsEndTheProgram) {
    EXPECT_EQ(ParseCommandLine({"zark"}, true).action, Action::Run);
    EXPECT_EQ(ParseCommandLine({"zark"}, true).file, "");
    const CommandLine two = ParseCommandLine({"zark", "a.zas", "b.zam"}, true);
    EXPECT_EQ(two.action, Action::Run);
    EXPECT_EQ(two.file, "a.zas");
    EXPECT_EQ(ParseCommandLine({"zark", "--", "-odd.zas"}, true).file, "-odd.zas");
    EXPECT_EQ(ParseCommandLine({"zark", "-"}, true).file, "-");

    EXPECT_EQ(ParseCommandLine({"zark", "x.zas", "--help"}, true).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"zark", "-h"}, false).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"zark", "--version"}, false).action, Action::Version);

    // Before the toolkit takes its own options, only double-dash ones are known to be unknown.
    const CommandLine unknown = ParseCommandLine({"zark", "--frobnicate", "x.zas"}, false);
    EXPECT_EQ(unknown.action, Action::Unknown);
    EXPECT_EQ(unknown.unknown, "--frobnicate");
    EXPECT_EQ(ParseCommandLine({"zark", "-platform", "offscreen"}, false).action, Action::Run);
    EXPECT_EQ(ParseCommandLine({"zark", "-x"}, true).action, Action::Unknown);
    EXPECT_EQ(AnswerCommandLine(ParseCommandLine({"zark", "x.zas"}, true)), -1);
}

}  // namespace
}  // namespace zark
