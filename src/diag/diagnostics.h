#pragma once

#include <string>
#include <string_view>

// Process-wide reporting of what goes wrong: the log file "zark.log" in the current directory for
// technical failures, and message boxes for programming errors met at run time.

namespace zark {

// Writes the formatted text to the log and flushes it. The format carries its own line end.
void LogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes the formatted text, then ": " with the system's text for the error code (an errno value,
// 0 for the program's own failures) and a line end.
void ReportError(int code, const char* format, ...) __attribute__((format(printf, 2, 3)));

// From now on the log's lines go to standard error and "zark.log" is not opened (closed, when it
// was): for command-line runs that are no program run and must leave the folder's log alone.
void LogToStandardError();
bool LoggingToStandardError();

// The line the last ReportError of the calling thread wrote (without its line end), empty when
// it has reported nothing; for showing a failure to the user as the log has it.
std::string LastReportedError();

// Shows the formatted text in a message box titled "ZARK - Debug" with the information icon.
void DebugMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Shows "Assertion "expr" Failed ..." titled "ZARK - Assert Error" and ends the process.
[[noreturn]] void AssertFailed(const char* expression, const char* file, int line);

#define ZARK_ASSERT(expr) ((expr) ? (void)0 : ::zark::AssertFailed(#expr, __FILE__, __LINE__))

// The system's message text for an error code, without a trailing line end.
std::string SystemErrorText(int code);

enum class MessageIcon { Information, Warning, Error, Question };

// Where message boxes go. The program installs one that shows a real box; the default writes the
// message to standard error; tests install one that records what would have been shown.
class MessageBoxSink {
public:
    virtual ~MessageBoxSink() = default;
    virtual void ShowMessage(std::string_view title, std::string_view text, MessageIcon icon) = 0;
};

// Installs a sink (nullptr restores the default) and returns the previous one.
MessageBoxSink* SetMessageBoxSink(MessageBoxSink* sink);
MessageBoxSink& CurrentMessageBoxSink();

}  // namespace zark
