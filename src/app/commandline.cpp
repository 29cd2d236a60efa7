#include "app/commandline.h"

#include <cstdio>

#include "app/version.h"

namespace zark {
namespace {

constexpr const char* kUsage =
    "usage: zark [FILE]\n"
    "       zark --export-csv FILE [OUT]\n"
    "       zark --export-pdf FILE [OUT.pdf]\n"
    "       zark --export-progress [DIR] [OUT]\n"
    "       zark --help | --version\n"
    "\n"
    "Starts ZARK and opens FILE, a series (.zas) or match (.zam) file, when one is given.\n"
    "  --export-csv FILE [OUT]  writes the shots of FILE as CSV to OUT or standard output\n"
    "  --export-pdf FILE [OUT.pdf]\n"
    "                           writes the printed report of FILE to OUT.pdf (FILE with .pdf)\n"
    "  --export-progress [DIR] [OUT]\n"
    "                           brings the index of the series in DIR (the data directory by\n"
    "                           default) up to date and writes one CSV line per series\n"
    "  --help                   shows this text\n"
    "  --version                shows the version\n";

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments, bool qtOptionsRemoved) {
    CommandLine line;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool option = !optionsEnded && argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
        if (!option) {
            if (line.file.isEmpty() && !argument.isEmpty()) line.file = argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.action = CommandLine::Action::Help;
            return line;
        } else if (argument == QLatin1String("--version")) {
            line.action = CommandLine::Action::Version;
            return line;
        } else if (qtOptionsRemoved || argument.startsWith(QLatin1String("--"))) {
            line.action = CommandLine::Action::Unknown;
            line.unknown = argument;
            return line;
        }
    }
    return line;
}

int AnswerCommandLine(const CommandLine& line) {
    switch (line.action) {
        case CommandLine::Action::Run:
            return -1;
        case CommandLine::Action::Help:
            std::fputs(kUsage, stdout);
            return 0;
        case CommandLine::Action::Version:
            std::printf("ZARK %s\n", kProgramVersion);
            return 0;
        case CommandLine::Action::Unknown:
            std::fprintf(stderr, "zark: unknown option '%s'\n%s", line.unknown.toLocal8Bit().constData(), kUsage);
            return 2;
    }
    return -1;
}

}  // namespace zark
