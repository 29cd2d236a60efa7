#include "support/testsupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zark::test {

MessageCapture::MessageCapture() : previous_(SetMessageBoxSink(this)) {}
MessageCapture::~MessageCapture() { SetMessageBoxSink(previous_); }

void MessageCapture::ShowMessage(std::string_view title, std::string_view text, MessageIcon icon) {
    shown.push_back({std::string(title), std::string(text), icon});
}

std::string LogText() {
    std::ifstream in("zark.log", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(out.flush());
}

int CountOf(const std::string& haystack, const std::string& needle) {
    int count = 0;
    for (std::size_t pos = haystack.find(needle); pos != std::string::npos; pos = haystack.find(needle, pos + 1))
        ++count;
    return count;
}

std::string SourceDir() {
    const char* dir = std::getenv("ZARK_TEST_SOURCE_DIR");
    return dir ? dir : ZARK_TEST_SOURCE_DIR_DEFAULT;
}

}  // namespace zark::test
