#pragma once

#include <QString>
#include <QStringList>

namespace zark {

// The program's command line: "zark [FILE]", "zark --help", "zark --version" (and
// "zark --export-csv FILE [OUT]" and "zark --export-pdf FILE [OUT.pdf]", answered before this). Arguments after "--" are file names.
struct CommandLine {
    enum class Action { Run, Help, Version, Unknown };
    Action action = Action::Run;
    QString file;     // the first file named; the others are not opened
    QString unknown;  // the option that was not understood
};

// arguments start with the program's name. Before the toolkit has taken its own options
// (qtOptionsRemoved false) a single-dash option other than "-h" is left for the toolkit; after
// it, every option left is unknown.
CommandLine ParseCommandLine(const QStringList& arguments, bool qtOptionsRemoved);

// Prints what the command line asks for without a window: the usage to standard output for
// --help, the version line for --version, "unknown option" and the usage to standard error for
// an unknown option. Returns the exit status (0, 0, 2), or -1 when the program runs its window.
int AnswerCommandLine(const CommandLine& commandLine);

}  // namespace zark
