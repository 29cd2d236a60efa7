#include "diag/diagnostics.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <system_error>

namespace zark {
namespace {

// The log is opened once per process, at the first message. Two threads may log first at the
// same time, so the open and each write happen under one lock.
std::mutex g_logMutex;
bool g_logOpenAttempted = false;
std::FILE* g_log = nullptr;

std::FILE* OpenLogLocked() {
    if (!g_logOpenAttempted) {
        g_logOpenAttempted = true;
        g_log = std::fopen("zark.log", "w+");  // a log that cannot be created is silently absent
    }
    return g_log;
}

}  // namespace

void LogToStandardError() {
    std::lock_guard lock(g_logMutex);
    if (g_log && g_log != stderr) std::fclose(g_log);
    g_log = stderr;
    g_logOpenAttempted = true;
}

bool LoggingToStandardError() {
    std::lock_guard lock(g_logMutex);
    return g_log == stderr;
}

namespace {

class StderrSink final : public MessageBoxSink {
public:
    void ShowMessage(std::string_view title, std::string_view text, MessageIcon) override {
        std::fprintf(stderr, "%.*s: %.*s\n", int(title.size()), title.data(), int(text.size()), text.data());
    }
};

StderrSink g_stderrSink;
std::atomic<MessageBoxSink*> g_sink{nullptr};

}  // namespace

std::string SystemErrorText(int code) {
    std::string text = std::system_category().message(code);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

void LogLine(const char* format, ...) {
    std::lock_guard lock(g_logMutex);
    std::FILE* log = OpenLogLocked();
    if (!log || !format) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(log, format, args);
    va_end(args);
    std::fflush(log);
}

namespace {
thread_local std::string t_lastReportedError;
}

std::string LastReportedError() { return t_lastReportedError; }

void ReportError(int code, const char* format, ...) {
    const std::string systemText = SystemErrorText(code);
    if (!format) return;
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string text(length > 0 ? std::size_t(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    t_lastReportedError = text + ": " + systemText;
    std::lock_guard lock(g_logMutex);
    std::FILE* log = OpenLogLocked();
    if (!log) return;
    std::fprintf(log, "%s\n", t_lastReportedError.c_str());
    std::fflush(log);
}

void DebugMessage(const char* format, ...) {
    char buffer[1024] = "";
    if (format) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
    }
    CurrentMessageBoxSink().ShowMessage("ZARK - Debug", buffer, MessageIcon::Information);
}

void AssertFailed(const char* expression, const char* file, int line) {
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, "Assertion \"%s\" Failed\n File: %s  Line: %d", expression, file, line);
    CurrentMessageBoxSink().ShowMessage("ZARK - Assert Error", buffer, MessageIcon::Error);
    std::abort();
}

MessageBoxSink* SetMessageBoxSink(MessageBoxSink* sink) { return g_sink.exchange(sink); }

MessageBoxSink& CurrentMessageBoxSink() {
    MessageBoxSink* sink = g_sink.load();
    return sink ? *sink : g_stderrSink;
}

}  // namespace zark
