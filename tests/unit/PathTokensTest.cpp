// Path tokens: which shell folder each bracketed token stands for, how the text is expanded
// (case rules, order, folders the system lacks) and the three folder routines underneath.

#include "definitions/PathTokens.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>

#include "definitions/DefinitionFiles.h"
#include "support/FakePlatform.h"
#include "support/TestLabel.h"
#include "text/Text.h"

namespace qm::defs {
namespace {

using test::FakeShellFolders;

struct TokenCase {
    const char* token;
    int csidl;
};

// The token vocabulary with the shell folder each token names. "[desktop]" is the all-users
// desktop (25) and "[comdesk]" the user's own (16); "[comstar]" is the all-users
// non-localized Startup folder (30).
const TokenCase kTokenTable[] = {
    {"[startsp]", 29}, {"[appdata]", 26}, {"[recycle]", 10}, {"[comstar]", 30},
    {"[comapp]", 35},  {"[desktop]", 25}, {"[comdocs]", 46}, {"[comfav]", 31},
    {"[comprog]", 23}, {"[comstam]", 22}, {"[comtemp]", 45}, {"[cookies]", 33},
    {"[comdesk]", 16}, {"[favorit]", 6},  {"[fonts]", 20},   {"[history]", 34},
    {"[netcach]", 32}, {"[progs]", 2},    {"[progfil]", 38}, {"[comprogfil]", 43},
    {"[personl]", 5},  {"[recent]", 8},   {"[sendto]", 9},   {"[startup]", 7},
    {"[strtmnu]", 11}, {"[system]", 37},  {"[templat]", 21}, {"[windir]", 36},
};

// A shell in which every folder has a distinct, recognisable path.
FakeShellFolders DistinctShell() {
    FakeShellFolders shell;
    shell.folders.clear();
    for (const auto& t : kTokenTable)
        shell.folders[t.csidl] = "X:\\csidl" + std::to_string(t.csidl);
    return shell;
}

void PrintTo(const TokenCase& c, std::ostream* os) {
    *os << c.token;
}

class TokenTable : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenTable, TokenExpandsToItsShellFolderWithATrailingBackslash) {
    FakeShellFolders shell = DistinctShell();
    const std::string folder = "X:\\csidl" + std::to_string(GetParam().csidl) + "\\";
    EXPECT_EQ(ExpandPathTokens(shell, std::string(GetParam().token) + "file.exe"),
              folder + "file.exe");
}

TEST_P(TokenTable, TokenInCapitalsExpandsLikeItsLowerCaseForm) {
    FakeShellFolders shell = DistinctShell();
    std::string upper = GetParam().token;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(ExpandPathTokens(shell, upper + "a"),
              ExpandPathTokens(shell, std::string(GetParam().token) + "a"));
}

INSTANTIATE_TEST_SUITE_P(AllFolderTokens, TokenTable, ::testing::ValuesIn(kTokenTable),
                         [](const ::testing::TestParamInfo<TokenCase>& p) {
                             std::string name = p.param.token;
                             return name.substr(1, name.size() - 2);
                         });

TEST(ExpandPathTokens, DataFolderTokenGivesAppDataWithoutADoubledSeparator) {
    FakeShellFolders shell;
    EXPECT_EQ(ExpandPathTokens(shell, kDataFolderToken),
              "C:\\users\\tester\\AppData\\Roaming\\AntiSpywareDAT");
}

TEST(ExpandPathTokens, MixedCaseTokenExpands) {
    FakeShellFolders shell;
    EXPECT_EQ(ExpandPathTokens(shell, "[WINDIR]notepad.exe"), "C:\\windows\\notepad.exe");
    EXPECT_EQ(ExpandPathTokens(shell, "[WinDir]notepad.exe"), "C:\\windows\\notepad.exe");
}

TEST(ExpandPathTokens, EveryOccurrenceIsReplaced) {
    FakeShellFolders shell;
    EXPECT_EQ(ExpandPathTokens(shell, "[windir]a;[WINDIR]b;[progfil]c"),
              "C:\\windows\\a;C:\\windows\\b;C:\\Program Files\\c");
}

TEST(ExpandPathTokens, UserProfileIsTheStartMenuWithoutStartMenu) {
    FakeShellFolders shell;
    EXPECT_EQ(ExpandPathTokens(shell, "[user]Desktop\\x.lnk"), "C:\\users\\tester\\Desktop\\x.lnk");
    EXPECT_EQ(ExpandPathTokens(shell, "[alluser]Documents"), "C:\\ProgramData\\Documents");
}

TEST(ExpandPathTokens, UserTokensExpandOnlyInLowerCase) {
    FakeShellFolders shell;
    EXPECT_EQ(ExpandPathTokens(shell, "[USER]x"), "[USER]x");
    EXPECT_EQ(ExpandPathTokens(shell, "[User]x"), "[User]x");
    EXPECT_EQ(ExpandPathTokens(shell, "[ALLUSER]x"), "[ALLUSER]x");
}

TEST(ExpandPathTokens, StartMenuIsRemovedIgnoringCaseEverywhere) {
    FakeShellFolders shell;
    shell.folders[11] = "D:\\Start Menu\\Profiles\\tester\\START MENU";
    EXPECT_EQ(ExpandPathTokens(shell, "[user]x"), "D:\\Profiles\\tester\\x");
}

TEST(ExpandPathTokens, StartMenuUnderAnotherNameIsUsedAsItIs) {
    FakeShellFolders shell;
    shell.folders[11] = "C:\\users\\tester\\Startmenue";
    EXPECT_EQ(ExpandPathTokens(shell, "[user]x"), "C:\\users\\tester\\Startmenue\\x");
}

TEST(ExpandPathTokens, TextWithoutTokensComesBackUnchanged) {
    FakeShellFolders shell;
    for (const char* text : {"", "C:\\Windows\\notepad.exe", "plain [bracket] text", "[windir",
                             "windir]", "[win dir]x", "  spaced  "}) {
        EXPECT_EQ(ExpandPathTokens(shell, text), text);
    }
}

TEST(ExpandPathTokens, DriveTokenIsLeftInPlace) {
    FakeShellFolders shell;
    EXPECT_EQ(ExpandPathTokens(shell, "[drive]Temp\\x.exe"), "[drive]Temp\\x.exe");
    EXPECT_EQ(ExpandPathTokens(shell, "[DRIVE][windir]x"), "[DRIVE]C:\\windows\\x");
}

TEST(ExpandPathTokens, TokenOfAFolderTheSystemLacksDisappears) {
    FakeShellFolders shell;
    ASSERT_EQ(shell.folders.count(29), 0u);  // no non-localized Startup folder
    EXPECT_EQ(ExpandPathTokens(shell, "[startsp]evil.exe"), "evil.exe");
    shell.folders.erase(11);
    EXPECT_EQ(ExpandPathTokens(shell, "[user]evil.exe"), "evil.exe");
}

TEST(ExpandPathTokens, ReplacementIsSequentialInTableOrder) {
    // A folder of an earlier token that holds a later token is expanded again; a later folder
    // holding an earlier token is not.
    FakeShellFolders shell;
    shell.folders[29] = "Q:\\[windir]";   // token 1 holds token 28
    shell.folders[21] = "T:\\[appdata]";  // token 27 holds token 2
    EXPECT_EQ(ExpandPathTokens(shell, "[startsp]a"), "Q:\\C:\\windows\\\\a");
    EXPECT_EQ(ExpandPathTokens(shell, "[templat]a"), "T:\\[appdata]\\a");
}

TEST(ExpandPathTokens, ExpanderGivesTheSameResultAsTheOneOffExpansion) {
    FakeShellFolders shell;
    const PathTokenExpander expander(shell);
    for (const char* text :
         {"[appdata]AntiSpywareDAT", "[user]a[alluser]b", "[PROGFIL]x", "none"}) {
        EXPECT_EQ(expander.Expand(text), ExpandPathTokens(shell, text)) << text;
    }
}

TEST(ExpandPathTokens, TokenThatAppearsOnlyAfterAnEarlierTokenVanishesIsExpandedToo) {
    // "[startsp]" (first in the table) expands to nothing here, which joins "[win" and "dir]"
    // into "[windir]" before the "[windir]" pass runs.
    FakeShellFolders shell;
    EXPECT_EQ(ExpandPathTokens(shell, "[win[startsp]dir]x"), "C:\\windows\\x");
    EXPECT_EQ(ExpandPathTokens(shell, "[WIN[STARTSP]DIR]x"), "C:\\windows\\x");
    // A token joined only after its own pass has run stays as it is.
    shell.folders.erase(36);
    EXPECT_EQ(ExpandPathTokens(shell, "[app[windir]data]x"), "[appdata]x");
    // "[user]" is replaced after every folder token.
    shell.folders.erase(11);
    EXPECT_EQ(ExpandPathTokens(shell, "[prog[user]fil]x"), "[progfil]x");
    EXPECT_EQ(ExpandPathTokens(shell, "[all[user]user]x"), "C:\\ProgramData\\x");
}

TEST(ExpandPathTokens, BracketsThatAreNotTokensStayAroundTokens) {
    FakeShellFolders shell;
    EXPECT_EQ(ExpandPathTokens(shell, "[[windir]]"), "[C:\\windows\\]");
    EXPECT_EQ(ExpandPathTokens(shell, "[drive][windir]x[drive]"), "[drive]C:\\windows\\x[drive]");
    EXPECT_EQ(ExpandPathTokens(shell, "a[b[windir]c]d[e"), "a[bC:\\windows\\c]d[e");
    EXPECT_EQ(ExpandPathTokens(shell, "[windir"), "[windir");
    // Tokens with shared letters do not disturb each other.
    shell.folders[43] = "C:\\Program Files\\Common Files";
    shell.folders[23] = "C:\\ProgramData\\Programs";
    EXPECT_EQ(ExpandPathTokens(shell, "[comprogfil]|[comprog]|[progfil]"),
              "C:\\Program Files\\Common Files\\|C:\\ProgramData\\Programs\\|C:\\Program Files\\");
}

// ---- Differential check against the token-by-token replacement -------------------------------

// Tokens 1 to 28 replaced one after the other in table order ignoring case, then "[user]" and
// "[alluser]" in lower case only.
std::string ExpandByTheRule(FakeShellFolders& shell, const std::string& in) {
    std::string out = in;
    for (const auto& t : kTokenTable) {
        out = text::ReplaceAllNoCase(out, t.token, SpecialFolderPath(shell, t.csidl));
    }
    const auto profile = [&](int csidl) {
        return text::ReplaceAllNoCase(SpecialFolderPath(shell, csidl), "\\Start Menu", "");
    };
    out = text::ReplaceAll(out, "[user]", profile(11));
    out = text::ReplaceAll(out, "[alluser]", profile(22));
    return out;
}

TEST(ExpandPathTokensDifferential, AgreesWithTokenByTokenReplacementOnRandomTexts) {
    static const std::vector<std::string> kPieces = {
        "[windir]",  "[WINDIR]",  "[WinDir]",  "[startsp]", "[STARTSP]", "[user]",
        "[USER]",    "[alluser]", "[drive]",   "[DRIVE]",   "[appdata]", "[comprogfil]",
        "[progfil]", "[comprog]", "[strtmnu]", "[templat]", "[",         "]",
        "[win",      "dir]",      "[app",      "data]",     "[all",      "user]",
        "[prog",     "fil]",      "win",       "dir",       "\\",        "\\\\",
        "x.exe",     "C:",        " ",         "[[",        "]]"};
    std::vector<FakeShellFolders> shells(4);
    shells[1].folders.erase(36);  // no Windows folder
    shells[1].folders.erase(11);  // no Start menu: "[user]" is empty
    shells[2].folders[29] = "Q:\\Startup";
    shells[2].folders[22] = "\\Start Menu";   // the all-users profile becomes "\"
    shells[3].folders[21] = "T:\\[windir]x";  // a folder path holding a token
    shells[3].folders[10] = "R:\\[user";
    std::mt19937 rng(424242u);
    for (std::size_t k = 0; k < shells.size(); ++k) {
        const PathTokenExpander expander(shells[k]);
        std::string reused = "left over from before";
        for (int i = 0; i < 4000; ++i) {
            std::string text;
            const std::size_t n = rng() % 7;
            for (std::size_t j = 0; j < n; ++j)
                text += kPieces[rng() % kPieces.size()];
            const std::string expected = ExpandByTheRule(shells[k], text);
            ASSERT_EQ(expander.Expand(text), expected) << "shell " << k << " text [" << text << "]";
            expander.ExpandInto(text, reused);
            ASSERT_EQ(reused, expected) << "shell " << k << " text [" << text << "]";
        }
    }
}

TEST(SpecialFolderPath, AppendsABackslashAndStopsAtTheFirstNul) {
    FakeShellFolders shell;
    EXPECT_EQ(SpecialFolderPath(shell, 36), "C:\\windows\\");
    shell.folders[36] = std::string("C:\\windows\0garbage", 18);
    EXPECT_EQ(SpecialFolderPath(shell, 36), "C:\\windows\\");
}

TEST(SpecialFolderPath, FolderTheSystemLacksIsEmpty) {
    FakeShellFolders shell;
    EXPECT_EQ(SpecialFolderPath(shell, 29), "");
    shell.folders[29] = "";
    EXPECT_EQ(SpecialFolderPath(shell, 29), "");
}

struct DriveRootCase {
    const char* programs;  // the user's Start menu programs folder
    const char* root;
};

void PrintTo(const DriveRootCase& c, std::ostream* os) {
    *os << test::TestLabel(c.programs);
}

class DriveRoot : public ::testing::TestWithParam<DriveRootCase> {};

TEST_P(DriveRoot, IsTheFirstThreeCharactersOfTheProgramsFolder) {
    FakeShellFolders shell;
    shell.folders[2] = GetParam().programs;
    EXPECT_EQ(SystemDriveRoot(shell), GetParam().root);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DriveRoot,
    ::testing::Values(DriveRootCase{"C:\\users\\tester\\Start Menu\\Programs", "C:\\"},
                      DriveRootCase{"D:\\Profiles\\x\\Programs\\", "D:\\"},
                      DriveRootCase{"E:", "E:\\"}, DriveRootCase{"F:\\", "F:\\"}));

TEST(DriveRootLookup, IsEmptyWhenTheProgramsFolderIsUnknown) {
    FakeShellFolders shell;
    shell.folders.erase(2);
    EXPECT_EQ(SystemDriveRoot(shell), "");
}

TEST(SystemFolderPath, EndsWithExactlyOneBackslash) {
    FakeShellFolders shell;
    shell.systemDirectory = "C:\\WINDOWS\\system32";
    EXPECT_EQ(SystemFolderPath(shell), "C:\\WINDOWS\\system32\\");
    shell.systemDirectory = "C:\\WINDOWS\\system32\\";
    EXPECT_EQ(SystemFolderPath(shell), "C:\\WINDOWS\\system32\\");
    shell.systemDirectory = std::string("C:\\WINNT\\system32\0\0\0", 20);
    EXPECT_EQ(SystemFolderPath(shell), "C:\\WINNT\\system32\\");
}

}  // namespace
}  // namespace qm::defs
