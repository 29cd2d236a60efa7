#include <gtest/gtest.h>

#include "i18n/stringtable.h"

namespace zark {
namespace {

using Problems = std::vector<StringTable::Problem>;

TEST(StringTable, ReadsIdsTextsEscapesAndComments) {
    Problems problems;
    const StringTable table = StringTable::Parse(
        "# a comment\n"
        "\n"
        "   \t\n"
        "7 \"&Print\\tCtrl+P\"\n"
        "174\t\"Line one\\r\\nVersion %s\"   # trailing comment\n"
        "  12   \"say \\\"hi\\\" \\\\ # not a comment\"\n"
        "13 \"\"\n",
        &problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(table.Count(), 4u);
    EXPECT_EQ(table.Text(7), "&Print\tCtrl+P");
    EXPECT_EQ(table.Text(174), "Line one\r\nVersion %s");
    EXPECT_EQ(table.Text(12), "say \"hi\" \\ # not a comment");
    EXPECT_TRUE(table.Contains(13));
    EXPECT_EQ(table.Text(13), "");
    EXPECT_EQ(table.Ids(), (std::vector<int>{7, 12, 13, 174}));
}

TEST(StringTable, AcceptsByteOrderMarkCarriageReturnsAndNoFinalLineEnd) {
    Problems problems;
    const StringTable table = StringTable::Parse("\xEF\xBB\xBF" "5 \"&Archiv\"\r\n103 \"(Ruhe)\"", &problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(table.Text(5), "&Archiv");
    EXPECT_EQ(table.Text(103), "(Ruhe)");
}

TEST(StringTable, SkipsBadLinesAndSaysWhichAndWhy) {
    Problems problems;
    const StringTable table = StringTable::Parse(
        "1 \"good\"\n"
        "x \"no id\"\n"
        "0 \"id zero\"\n"
        "65536 \"id too large\"\n"
        "99999999999999999999 \"id overflows\"\n"
        "2\"no blank\"\n"
        "3 no quotes\n"
        "4 \"unterminated\n"
        "5 \"bad \\q escape\"\n"
        "6 \"text\" junk\n"
        "7 \"ends in a backslash\\\n"
        "8 \"\xC3\x28 broken UTF-8\"\n"
        "1 \"second text of id 1\"\n"
        "9 \"good too\"\n",
        &problems);
    EXPECT_EQ(table.Ids(), (std::vector<int>{1, 9}));
    EXPECT_EQ(table.Text(1), "good");  // the first text of an id is kept
    std::vector<int> lines;
    for (const auto& problem : problems) {
        lines.push_back(problem.line);
        EXPECT_FALSE(problem.message.empty());
    }
    EXPECT_EQ(lines, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_NE(problems.back().message.find("twice"), std::string::npos);
}

TEST(StringTable, LargestIdAndIdsOutsideTheTable) {
    const StringTable table = StringTable::Parse("65535 \"last\"\n");
    EXPECT_EQ(table.Text(65535), "last");
    EXPECT_FALSE(table.Contains(-1));
    EXPECT_EQ(table.Text(70000), "");
}

TEST(StringTable, Utf8Check) {
    EXPECT_TRUE(IsValidUtf8("Espa\xC3\xB1ol \xE2\x82\xAC \xF0\x9F\x8E\xAF"));
    EXPECT_FALSE(IsValidUtf8("\xF1"));               // a Latin-1 byte is not UTF-8
    EXPECT_FALSE(IsValidUtf8("\xC3"));               // cut short
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));           // overlong
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));       // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));       // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));   // beyond U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));
}

}  // namespace
}  // namespace zark
