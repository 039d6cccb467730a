// The string helpers every reader and comparison rests on: ANSI (code page 1252) case folding,
// blank trimming, case-insensitive search and replace, backslash reduction, splitting and
// digit grouping.

#include "definitions/Text.h"

#include <gtest/gtest.h>

namespace qm::text {
namespace {

std::string Byte(int code) {
    return std::string(1, static_cast<char>(code));
}

TEST(TextCase, AsciiLettersFoldBothWays) {
    EXPECT_EQ(Lower("C:\\Program Files\\ABC.EXE"), "c:\\program files\\abc.exe");
    EXPECT_EQ(Upper("hkey_local_machine\\Software"), "HKEY_LOCAL_MACHINE\\SOFTWARE");
}

TEST(TextCase, CodePage1252AccentedLettersFold) {
    // É (201) <-> é (233), Š (138) <-> š (154), Ÿ (159) <-> ÿ (255).
    EXPECT_EQ(Lower(Byte(201)), Byte(233));
    EXPECT_EQ(Upper(Byte(233)), Byte(201));
    EXPECT_EQ(Lower(Byte(138)), Byte(154));
    EXPECT_EQ(Upper(Byte(255)), Byte(159));
    EXPECT_EQ(Lower(Byte(159)), Byte(255));
}

TEST(TextCase, MultiplicationAndDivisionSignsAreNotLetters) {
    // × (215) and ÷ (247) sit between the accented capitals and small letters.
    EXPECT_EQ(Lower(Byte(215)), Byte(215));
    EXPECT_EQ(Upper(Byte(247)), Byte(247));
}

TEST(TextCase, DigitsAndPunctuationAreUnchanged) {
    const std::string other = "0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
    EXPECT_EQ(Lower(other), other);
    EXPECT_EQ(Upper(other), other);
}

TEST(TextTrim, RemovesOnlySpacesAtBothEnds) {
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim(""), "");
    // Tabs and line ends are not blanks to the classic Trim.
    EXPECT_EQ(Trim("\tname\t"), "\tname\t");
    EXPECT_EQ(Trim(" \r\n "), "\r\n");
}

TEST(TextSearch, EqualsAndFindIgnoreCase) {
    EXPECT_TRUE(EqualsNoCase("HKEY_USERS", "hkey_users"));
    EXPECT_FALSE(EqualsNoCase("abc", "abcd"));
    EXPECT_EQ(FindNoCase("C:\\WINDOWS\\system32", "windows"), 3u);
    EXPECT_EQ(FindNoCase("aXbxc", "X", 2), 3u);
    EXPECT_EQ(FindNoCase("abc", "abcd"), std::string_view::npos);
    EXPECT_EQ(FindNoCase("abc", "", 1), 1u);
    EXPECT_TRUE(ContainsNoCase("Tracking Cookie", "COOKIE"));
    EXPECT_FALSE(ContainsNoCase("Tracking Cookie", "cookies"));
}

TEST(TextSearch, StartsAndEndsWithAreCaseSensitive) {
    EXPECT_TRUE(EndsWith("folder\\", "\\"));
    EXPECT_FALSE(EndsWith("", "\\"));
    EXPECT_FALSE(EndsWith("ABC", "bc"));
    EXPECT_TRUE(StartsWith("HKEY_", "HKEY"));
    EXPECT_FALSE(StartsWith("hkey_", "HKEY"));
}

TEST(TextReplace, ReplaceAllIsCaseSensitiveAndDoesNotRescanItsOutput) {
    EXPECT_EQ(ReplaceAll("[user]x[USER]", "[user]", "U"), "Ux[USER]");
    // The replacement text is never searched again.
    EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

TEST(TextReplace, ReplaceAllNoCaseReplacesEveryOccurrenceInAnyCase) {
    EXPECT_EQ(ReplaceAllNoCase("[WINDIR]a;[windir]b;[WinDir]c", "[windir]", "W\\"),
              "W\\a;W\\b;W\\c");
    EXPECT_EQ(ReplaceAllNoCase("no token", "[windir]", "W"), "no token");
}

TEST(TextReplace, DoubledBackslashesReduceInOnePass) {
    EXPECT_EQ(ReduceDoubleBackslashes("C:\\\\Windows\\\\"), "C:\\Windows\\");
    // Three become two and four become two, the way one left-to-right replacement works.
    EXPECT_EQ(ReduceDoubleBackslashes("a\\\\\\b"), "a\\\\b");
    EXPECT_EQ(ReduceDoubleBackslashes("a\\\\\\\\b"), "a\\\\b");
    EXPECT_EQ(ReduceDoubleBackslashes("\\"), "\\");
}

TEST(TextSplit, KeepsEmptyPiecesAndGivesOnePieceForEmptyText) {
    EXPECT_EQ(Split("", '|'), std::vector<std::string_view>{""});
    EXPECT_EQ(Split("a", '|'), std::vector<std::string_view>{"a"});
    EXPECT_EQ(Split("a||b|", '|'), (std::vector<std::string_view>{"a", "", "b", ""}));
    EXPECT_EQ(Split("|", '|'), (std::vector<std::string_view>{"", ""}));
}

struct GroupingCase {
    long long value;
    const char* text;
};

void PrintTo(const GroupingCase& c, std::ostream* os) {
    *os << c.value;
}

class DigitGrouping : public ::testing::TestWithParam<GroupingCase> {};

TEST_P(DigitGrouping, GroupsThousandsWithCommas) {
    EXPECT_EQ(FormatWithDigitGrouping(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, DigitGrouping,
                         ::testing::Values(GroupingCase{0, "0"}, GroupingCase{7, "7"},
                                           GroupingCase{999, "999"}, GroupingCase{1000, "1,000"},
                                           GroupingCase{1234, "1,234"},
                                           GroupingCase{100000, "100,000"},
                                           GroupingCase{1234567, "1,234,567"},
                                           GroupingCase{-1234, "-1,234"}));

TEST(TextCompare, OrdersIgnoringCaseAndShorterFirst) {
    EXPECT_EQ(CompareNoCase("apple", "APPLE"), 0);
    EXPECT_LT(CompareNoCase("apple", "Banana"), 0);
    EXPECT_GT(CompareNoCase("Cherry", "banana"), 0);
    EXPECT_LT(CompareNoCase("abc", "abcd"), 0);
    EXPECT_GT(CompareNoCase("abcd", "ABC"), 0);
    // Upper-cased, "_" (95) would sort after "A" (65); folded to lower case it sorts before
    // "a" (97): the comparison works on lower-case codes.
    EXPECT_LT(CompareNoCase("A_", "Aa"), 0);
}

}  // namespace
}  // namespace qm::text
