// The string helpers every reader and comparison rests on: ANSI (code page 1252) case folding,
// blank trimming, case-insensitive search and replace, backslash reduction, splitting and
// digit grouping.

#include "text/Text.h"

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

// A path's parts as the removal and the scanners take them: a folder's trailing backslash does
// not hide its name, and an item at a drive's root has the root for its parent.
TEST(TextPaths, PartsOfFilesFoldersAndRoots) {
    struct Case {
        const char* path;
        const char* name;
        const char* stem;
        const char* parent;
    };
    const Case cases[] = {
        {"C:\\Dir\\setup.exe", "setup.exe", "setup", "C:\\Dir"},
        {"C:\\Dir\\Sub\\", "Sub", "Sub", "C:\\Dir"},
        {"C:\\top.tar.gz", "top.tar.gz", "top.tar", "C:\\"},
        {"C:\\Folder\\\\", "Folder", "Folder", "C:\\"},
        {"plain", "plain", "plain", ""},
        {"\\\\server\\share\\a.txt", "a.txt", "a", "\\\\server\\share"},
    };
    for (const Case& c : cases) {
        const std::string_view trimmed = WithoutTrailingBackslashes(c.path);
        EXPECT_EQ(FileNameOf(trimmed), c.name) << c.path;
        EXPECT_EQ(StemOf(trimmed), c.stem) << c.path;
        EXPECT_EQ(ParentFolderOf(c.path), c.parent) << c.path;
    }
    EXPECT_EQ(WithoutTrailingBackslashes("\\"), "\\") << "never emptied";
    EXPECT_EQ(FileNameView("C:\\a/b.exe", "\\"), "a/b.exe") << "only the separators asked for";
}

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

// The system's code page instead of 1252: its own case pairs (Cyrillic Ч/ч and Ё/ё at bytes
// that have no case in 1252), and in a double-byte code page the second byte of a character is
// neither a letter nor a "\\".
class SystemCodePage : public ::testing::Test {
  protected:
    void TearDown() override { UseCodePage1252(); }
    static platform::CodePageTables Cyrillic() {
        platform::CodePageTables t;
        for (int b = 0; b < 256; ++b) {
            const bool upper = (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF);
            const bool lower = (b >= 'a' && b <= 'z') || b >= 0xE0;
            t.lower[b] = static_cast<char>(upper ? b + 32 : b);
            t.upper[b] = static_cast<char>(lower ? b - 32 : b);
        }
        t.lower[0xA8] = '\xB8';
        t.upper[0xB8] = '\xA8';
        return t;
    }
    static platform::CodePageTables ShiftJis() {
        platform::CodePageTables t;
        for (int b = 0; b < 256; ++b) {
            t.lower[b] = static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
            t.upper[b] = static_cast<char>(b >= 'a' && b <= 'z' ? b - 32 : b);
            t.leadByte[b] = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        }
        return t;
    }
};

TEST_F(SystemCodePage, CyrillicLettersFoldInCodePage1251) {
    const std::string upper = "\xD7\xA8.EXE", lower = "\xF7\xB8.exe";  // ЧЁ.EXE, чё.exe
    EXPECT_NE(Lower(upper), lower) << "1252 has no case for these bytes";
    UseCodePage(Cyrillic());
    EXPECT_EQ(Lower(upper), lower);
    EXPECT_EQ(Upper(lower), upper);
    EXPECT_TRUE(EqualsNoCase(upper, lower));
    EXPECT_EQ(FindNoCase("C:\\dir\\" + lower, upper), 7u);
}

TEST_F(SystemCodePage, TheSecondByteOfATwoByteCharacterIsNeitherLetterNorSeparator) {
    UseCodePage(ShiftJis());
    // "\x95\x5C" is one character whose second byte is "\\"; "\x83\x41" one whose second
    // byte is "A".
    const std::string name = "\x95\x5C\x83\x41.EXE";
    EXPECT_EQ(FileNameOf("C:\\Dir\\" + name), name);
    EXPECT_EQ(FolderOf("C:\\Dir\\" + name), "C:\\Dir");
    EXPECT_EQ(FindLastSeparator("C:\\x\\\x95\x5C"), 4u);
    EXPECT_EQ(Lower(name), "\x95\x5C\x83\x41.exe");
    EXPECT_EQ(Upper("\x83\x61.exe"), "\x83\x61.EXE");
    EXPECT_FALSE(EqualsNoCase("\x83\x41", "\x83\x61")) << "two different characters";
    EXPECT_EQ(FindNoCase("\x95\x5C\x5C", "\\"), 2u) << "not inside the character";
    std::string longer = "ABCDEFG\x83" + std::string("AXYZ");  // a lead byte ends an 8-byte run
    LowerInPlace(longer);
    EXPECT_EQ(longer, "abcdefg\x83" + std::string("Axyz"));
}

}  // namespace
}  // namespace qm::text
