#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zark {

// The texts of one language, by string id, as read from a table file (resources/strings/*.txt):
//
//     # comment
//     115 "&Open...\tCtrl+O"      # optional comment
//
// One text per line: a decimal id (1..65535), white space, the text in double quotes with the
// escapes \t \r \n \" \\, then nothing but white space or a comment. The file is UTF-8; a byte
// order mark and carriage returns at line ends are accepted. Blank lines and lines starting with #
// are skipped.
class StringTable final {
public:
    struct Problem {
        int line = 0;  // 1-based
        std::string message;
    };

    // Reads a table. A line that cannot be read (bad id, missing quote, unknown escape, invalid
    // UTF-8, an id given twice) is skipped and, when problems is given, listed there; the first
    // text of an id is kept.
    static StringTable Parse(std::string_view text, std::vector<Problem>* problems = nullptr);

    bool Contains(int id) const;
    // The text of id; empty when the table has none.
    const std::string& Text(int id) const;
    // The ids present, ascending.
    std::vector<int> Ids() const;
    std::size_t Count() const { return count_; }

    static constexpr int kMaxId = 0xFFFF;

private:
    std::vector<std::string> texts_;  // by id
    std::vector<bool> present_;       // by id
    std::size_t count_ = 0;
};

// True when text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

}  // namespace zark
