#include "i18n/stringtable.h"

#include <charconv>

namespace zark {
namespace {

const std::string kEmpty;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t SkipBlanks(std::string_view line, std::size_t pos) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    return pos;
}

// Reads the quoted text starting at line[pos] == '"'. On success pos is just past the closing quote.
bool ReadQuoted(std::string_view line, std::size_t& pos, std::string& text, std::string& error) {
    text.clear();
    for (std::size_t i = pos + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++i == line.size()) break;
        switch (line[i]) {
        case 't': text += '\t'; break;
        case 'r': text += '\r'; break;
        case 'n': text += '\n'; break;
        case '"': text += '"'; break;
        case '\\': text += '\\'; break;
        default:
            error = std::string("unknown escape \\") + line[i];
            return false;
        }
    }
    error = "the text has no closing quote";
    return false;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int follow = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1, code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2, code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3, code = lead & 0x07;
        } else {
            return false;
        }
        if (text.size() - i <= std::size_t(follow)) return false;
        for (int k = 1; k <= follow; ++k) {
            const auto next = static_cast<unsigned char>(text[i + std::size_t(k)]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        // overlong forms, surrogates and values beyond Unicode
        if ((follow == 2 && code < 0x800) || (follow == 3 && code < 0x10000) || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += std::size_t(follow) + 1;
    }
    return true;
}

StringTable StringTable::Parse(std::string_view text, std::vector<Problem>* problems) {
    StringTable table;
    auto report = [problems](int line, std::string message) {
        if (problems) problems->push_back({line, std::move(message)});
    };
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    int lineNo = 0;
    std::string entry;
    std::string error;
    while (!text.empty()) {
        ++lineNo;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        std::size_t pos = SkipBlanks(line, 0);
        if (pos == line.size() || line[pos] == '#') continue;

        int id = 0;
        const auto [idEnd, ec] = std::from_chars(line.data() + pos, line.data() + line.size(), id);
        const std::size_t afterId = std::size_t(idEnd - line.data());
        if (ec != std::errc() || afterId == pos || id < 1 || id > kMaxId) {
            report(lineNo, "the line does not begin with a string id from 1 to 65535");
            continue;
        }
        pos = SkipBlanks(line, afterId);
        if (pos == afterId || pos == line.size() || line[pos] != '"') {
            report(lineNo, "the id is not followed by white space and a quoted text");
            continue;
        }
        if (!ReadQuoted(line, pos, entry, error)) {
            report(lineNo, error);
            continue;
        }
        pos = SkipBlanks(line, pos);
        if (pos != line.size() && line[pos] != '#') {
            report(lineNo, "unexpected characters after the text");
            continue;
        }
        if (!IsValidUtf8(entry)) {
            report(lineNo, "the text is not valid UTF-8");
            continue;
        }
        if (table.Contains(id)) {
            report(lineNo, "string id " + std::to_string(id) + " is given twice");
            continue;
        }
        if (std::size_t(id) >= table.texts_.size()) {
            table.texts_.resize(std::size_t(id) + 1);
            table.present_.resize(std::size_t(id) + 1);
        }
        table.texts_[std::size_t(id)] = entry;
        table.present_[std::size_t(id)] = true;
        ++table.count_;
    }
    return table;
}

bool StringTable::Contains(int id) const {
    return id >= 0 && std::size_t(id) < present_.size() && present_[std::size_t(id)];
}

const std::string& StringTable::Text(int id) const { return Contains(id) ? texts_[std::size_t(id)] : kEmpty; }

std::vector<int> StringTable::Ids() const {
    std::vector<int> ids;
    ids.reserve(count_);
    for (std::size_t id = 0; id < present_.size(); ++id)
        if (present_[id]) ids.push_back(int(id));
    return ids;
}

}  // namespace zark
