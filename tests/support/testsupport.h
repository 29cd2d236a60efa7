#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "diag/diagnostics.h"

namespace zark::test {

// Records the message boxes shown while it lives instead of showing them.
class MessageCapture final : public MessageBoxSink {
public:
    MessageCapture();
    ~MessageCapture() override;
    void ShowMessage(std::string_view title, std::string_view text, MessageIcon icon) override;

    struct Shown {
        std::string title;
        std::string text;
        MessageIcon icon;
    };
    std::vector<Shown> shown;

private:
    MessageBoxSink* previous_;
};

// The text of "zark.log" in the current (test) folder; empty when there is none.
std::string LogText();

// Writes bytes to the file at path, created or replaced; false when it cannot be written.
bool WriteFile(const std::string& path, std::string_view bytes);

// The number of times needle occurs in haystack.
int CountOf(const std::string& haystack, const std::string& needle);

// While it lives, a folder refuses new files: read-only, or, for a user the permissions do not hold
// back (root), with a file in its place.
class RefusingFolder final {
public:
    explicit RefusingFolder(std::string path);
    ~RefusingFolder();
    RefusingFolder(const RefusingFolder&) = delete;
    RefusingFolder& operator=(const RefusingFolder&) = delete;

private:
    std::string path_;
};

// The folder of the tests' sources (golden files, corpora).
std::string SourceDir();

}  // namespace zark::test
