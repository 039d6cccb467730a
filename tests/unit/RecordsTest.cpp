// The line layouts of the definition files: file, folder and program records, registry records
// split at their last "=", hive codes, protected-location records and the blocked-cookie match.

#include "definitions/Records.h"

#include <gtest/gtest.h>

#include "support/TestLabel.h"

namespace qm::defs {
namespace {

// ---- File, folder and program records -------------------------------------------------------

TEST(FileRecord, FullRecordSplitsIntoItsFourParts) {
    const auto r = ParseFileRecord("  bad.exe =Bad Thing |[windir]System32\\|Adware");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->name, "bad.exe");           // trimmed
    EXPECT_EQ(r->threatName, "Bad Thing ");  // as written
    EXPECT_EQ(r->folder, "[windir]System32\\");
    EXPECT_TRUE(r->hasFolder);
    EXPECT_EQ(r->category, "Adware");
}

TEST(FileRecord, LineWithoutBarHasNoFolderAndNoCategory) {
    const auto r = ParseFileRecord("bad.exe=Bad Thing");
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->hasFolder);
    EXPECT_EQ(r->folder, "");
    EXPECT_EQ(r->category, "");
    EXPECT_EQ(r->threatName, "Bad Thing");
}

TEST(FileRecord, CategoryPlaceholderIsKeptAsWrittenByTheParser) {
    const auto r = ParseFileRecord("a.exe=A|[windir]|TYPE");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->category, "TYPE");
}

TEST(FileRecord, TextAfterASecondEqualsIsNotUsed) {
    const auto r = ParseFileRecord("a.exe=Threat=extra|C:\\x|Adware");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->name, "a.exe");
    EXPECT_EQ(r->threatName, "Threat");
}

TEST(FileRecord, EqualsInsideTheFolderBelongsToTheFolder) {
    // The line is split at "|" first; only field 1 is split at "=".
    const auto r = ParseFileRecord("a.exe=A|C:\\odd=name\\|Adware|extra");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->folder, "C:\\odd=name\\");
    EXPECT_EQ(r->category, "Adware");
}

TEST(FileRecord, EmptyFolderFieldStillCountsAsHavingABar) {
    const auto r = ParseFileRecord("a.exe=A||Trojan");
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->hasFolder);
    EXPECT_EQ(r->folder, "");
    EXPECT_EQ(r->category, "Trojan");
}

TEST(FileRecord, LineWithoutEqualsNamesNoThreatAndIsNotUsed) {
    EXPECT_FALSE(ParseFileRecord("bad.exe"));
    EXPECT_FALSE(ParseFileRecord("bad.exe|[windir]|Adware"));
    // An "=" after the first "|" does not help: field 1 has none.
    EXPECT_FALSE(ParseFileRecord("bad.exe|C:\\a=b|Adware"));
    EXPECT_FALSE(ParseFileRecord(""));
}

TEST(ExeRecord, FolderIsTheTextAfterTheFirstBar) {
    const auto r = ParseExeRecord("evil.exe=Evil Program|[windir]System32|Adware");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->exeName, "evil.exe");
    EXPECT_EQ(r->folder, "[windir]System32");
}

TEST(ExeRecord, RestWithoutBarIsTakenWholeAsTheFolder) {
    const auto r = ParseExeRecord("evil.exe=[progfil]Evil");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->folder, "[progfil]Evil");
}

TEST(ExeRecord, TwoFieldRecordGivesTheFolder) {
    const auto r = ParseExeRecord("evil.exe=Evil|[windir]");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->folder, "[windir]");
}

TEST(ExeRecord, LineWithoutEqualsIsNotUsed) {
    EXPECT_FALSE(ParseExeRecord("evil.exe|[windir]"));
}

// ---- Hive codes -------------------------------------------------------------------------------

struct HiveCase {
    const char* code;
    const char* root;  // empty: names no root key
};

void PrintTo(const HiveCase& c, std::ostream* os) {
    *os << "code [" << c.code << "]";
}

class HiveCodes : public ::testing::TestWithParam<HiveCase> {};

TEST_P(HiveCodes, CodeNamesItsRootKey) {
    EXPECT_EQ(RootKeyName(GetParam().code), GetParam().root);
    EXPECT_EQ(HiveCodeNumber(GetParam().code).has_value(), std::string(GetParam().root) != "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, HiveCodes,
    ::testing::Values(HiveCase{"0", "HKEY_CLASSES_ROOT"}, HiveCase{"1", "HKEY_CURRENT_USER"},
                      HiveCase{"2", "HKEY_LOCAL_MACHINE"}, HiveCase{"3", "HKEY_USERS"},
                      HiveCase{"4", "HKEY_CURRENT_CONFIG"}, HiveCase{"5", "HKEY_DYN_DATA"},
                      HiveCase{"6", ""}, HiveCase{"9", ""}, HiveCase{"-1", ""}, HiveCase{"12", ""},
                      HiveCase{"x", ""}, HiveCase{"", ""}, HiveCase{"HKLM", ""}));

// ---- Registry records -------------------------------------------------------------------------

TEST(RegistryRecord, SplitsAtTheLastEqualsSoTheKeySpecificationKeepsItsOwn) {
    const auto t = SplitRegistryRecord("1^Software\\Vendor^Opt=1^=Threat Name|Adware");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->keySpec, "1^Software\\Vendor^Opt=1^");
    EXPECT_EQ(t->threatName, "Threat Name");
    EXPECT_EQ(t->category, "Adware");

    const auto r = ParseRegistryKeySpec(*t, t->keySpec);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->hiveCode, 1);
    EXPECT_EQ(r->rootName, "HKEY_CURRENT_USER");
    EXPECT_EQ(r->keyPath, "Software\\Vendor");
    EXPECT_EQ(r->valueName, "Opt=1");
    EXPECT_EQ(r->threatName, "Threat Name");
    EXPECT_EQ(r->category, "Adware");
}

TEST(RegistryRecord, NamePartIsTrimmedAndCategoryIsOptional) {
    const auto t = SplitRegistryRecord("2^SOFTWARE\\Bad^Run=  Bad Run Key  ");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->threatName, "Bad Run Key");
    EXPECT_EQ(t->category, "");
}

TEST(RegistryRecord, EmptyValueNameAndTheUpdatesTrailingCaret) {
    // Records written by the update end the key text with one more "^".
    const auto key = SplitRegistryRecord("2^SOFTWARE\\Bad^=Bad Key|Adware");
    ASSERT_TRUE(key);
    const auto keyOnly = ParseRegistryKeySpec(*key, key->keySpec);
    ASSERT_TRUE(keyOnly);
    EXPECT_EQ(keyOnly->keyPath, "SOFTWARE\\Bad");
    EXPECT_EQ(keyOnly->valueName, "");

    const auto value = SplitRegistryRecord("2^SOFTWARE\\Bad^Start Page^=Hijack|Homepage Hijacker");
    ASSERT_TRUE(value);
    const auto withValue = ParseRegistryKeySpec(*value, value->keySpec);
    ASSERT_TRUE(withValue);
    EXPECT_EQ(withValue->valueName, "Start Page");
    EXPECT_EQ(withValue->category, "Homepage Hijacker");
}

TEST(RegistryRecord, DoubledBackslashInTheValueNameIsReduced) {
    const auto t = SplitRegistryRecord("0^CLSID\\{x}^C:\\\\bad.dll=Bad|Adware");
    ASSERT_TRUE(t);
    const auto r = ParseRegistryKeySpec(*t, t->keySpec);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->valueName, "C:\\bad.dll");
    EXPECT_EQ(r->rootName, "HKEY_CLASSES_ROOT");
}

TEST(RegistryRecord, UnknownOrNonNumericHiveCodeSkipsTheRecord) {
    for (const char* keyText : {"6^SOFTWARE\\Bad^", "9^X", "x^SOFTWARE", "^SOFTWARE\\Bad^",
                                "HKLM^SOFTWARE", "-2^SOFTWARE"}) {
        const auto t = SplitRegistryRecord(std::string(keyText) + "=Threat|Adware");
        ASSERT_TRUE(t) << keyText;
        EXPECT_FALSE(ParseRegistryKeySpec(*t, t->keySpec)) << keyText;
    }
}

TEST(RegistryRecord, LineWithoutEqualsIsNotUsed) {
    EXPECT_FALSE(SplitRegistryRecord("2^SOFTWARE\\Bad^Value|Adware"));
    EXPECT_FALSE(SplitRegistryRecord(""));
}

TEST(RegistryRecord, KeySpecificationIsSplitAfterExpansion) {
    // The caller expands tokens first; the expanded text is what gets split.
    const auto t = SplitRegistryRecord("2^SOFTWARE\\[drive]^v=T|Adware");
    ASSERT_TRUE(t);
    const auto r = ParseRegistryKeySpec(*t, "2^SOFTWARE\\C:\\^v");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->keyPath, "SOFTWARE\\C:\\");
    EXPECT_EQ(r->valueName, "v");
}

// ---- Protected-location records ---------------------------------------------------------------

struct SafetyCase {
    const char* line;
    const char* entry;  // empty: adds no entry
};

void PrintTo(const SafetyCase& c, std::ostream* os) {
    *os << test::TestLabel(c.line);
}

class SafetyRecords : public ::testing::TestWithParam<SafetyCase> {};

TEST_P(SafetyRecords, RecordGivesItsEntry) {
    const auto r = ParseSafetyRecord(GetParam().line);
    ASSERT_TRUE(r) << GetParam().line;
    EXPECT_EQ(SafetyEntry(*r, r->location), GetParam().entry) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SafetyRecords,
    ::testing::Values(
        SafetyCase{"SFILE|Notepad=x|C:\\Windows\\notepad.exe", "C:\\Windows\\notepad.exe"},
        SafetyCase{"SEXE| explorer.exe =Explorer|", "explorer.exe"},
        SafetyCase{"SDLL|shell32.dll", "shell32.dll"},
        SafetyCase{"SFILE|Label=x|C:\\a.exe|fourth field", "C:\\a.exe"},
        SafetyCase{"SDIR|Windows=x|C:\\Windows\\", "C:\\Windows\\"},
        SafetyCase{"SDIR|Label only=x|", ""},
        SafetyCase{"SREG|Run=x|2^SOFTWARE\\Microsoft\\Windows\\CurrentVersion^Run",
                   "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"},
        SafetyCase{"SREG|Exe=x|0^.exe", "HKEY_CLASSES_ROOT\\.exe"},
        SafetyCase{"SREG|Dyn=x|5^PerfStats", "HKEY_DYN_DATA\\PerfStats"},
        SafetyCase{"SREG|Odd=x|9^Software\\Odd", "\\Software\\Odd"},
        SafetyCase{"SREG|Odd=x|x^Software\\Odd^v", "\\Software\\Odd\\v"},
        SafetyCase{"SFILE|l=x|C:\\\\Windows\\\\\\\\a.exe", "C:\\Windows\\\\a.exe"},
        SafetyCase{"SDIR|l=x|C:\\Program Files\\\\", "C:\\Program Files\\"},
        SafetyCase{"SFILE|l=x|file://server//share", "file:/server/share"},
        SafetyCase{"SREG|l=x|2^SOFTWARE\\\\Classes^v", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\v"},
        SafetyCase{"sfile|l=x|C:\\a.exe", ""}, SafetyCase{"SFILE |l=x|C:\\a.exe", ""},
        SafetyCase{"SKEY|l=x|2^SOFTWARE", ""}, SafetyCase{"|l=x|C:\\a.exe", ""}));

TEST(SafetyRecord, LabelIsUsedOnlyWhenTheLocationIsEmpty) {
    const auto r = ParseSafetyRecord("SFILE|  Label  =text after equals|C:\\real.exe");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kind, "SFILE");
    EXPECT_EQ(r->label, "Label");
    EXPECT_EQ(SafetyEntry(*r, r->location), "C:\\real.exe");
    EXPECT_EQ(SafetyEntry(*r, ""), "Label");
}

TEST(SafetyRecord, EntryIsBuiltFromTheExpandedLocation) {
    const auto r = ParseSafetyRecord("SDIR|Windows=x|[windir]");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->location, "[windir]");
    EXPECT_EQ(SafetyEntry(*r, "C:\\windows\\"), "C:\\windows\\");
}

TEST(SafetyRecord, LineWithoutBarHasNoUse) {
    EXPECT_FALSE(ParseSafetyRecord("SFILE"));
    EXPECT_FALSE(ParseSafetyRecord("SFILE C:\\a.exe"));
    EXPECT_FALSE(ParseSafetyRecord(""));
}

// ---- Blocked cookies --------------------------------------------------------------------------

using Entries = std::vector<std::string>;

TEST(BlockedCookie, EntryMatchesWithItsLastDotPartRemoved) {
    EXPECT_EQ(MatchBlockedCookie({"tracker.com"}, "tracker"), 0u);
    EXPECT_EQ(MatchBlockedCookie({"ads.tracker.com"}, "ads.tracker"), 0u);
    // Only the last dot-part goes: a.b.c becomes a.b.
    EXPECT_FALSE(MatchBlockedCookie({"ads.tracker.com"}, "ads"));
    EXPECT_EQ(MatchBlockedCookie({"tracker"}, "tracker"), 0u);
}

TEST(BlockedCookie, CandidatesMustContainTheSiteInTheSameCase) {
    EXPECT_FALSE(MatchBlockedCookie({"Tracker.com"}, "tracker"));
    EXPECT_FALSE(MatchBlockedCookie({"tracker.com"}, "TRACKER"));
    EXPECT_EQ(MatchBlockedCookie({"TRACKER.com"}, "TRACKER"), 0u);
}

TEST(BlockedCookie, FinalComparisonIgnoresCase) {
    // "com" is found (in the part that is cut off); what is left, "COM", equals it ignoring case.
    EXPECT_EQ(MatchBlockedCookie({"COM.com"}, "com"), 0u);
}

TEST(BlockedCookie, FirstStarIsRemoved) {
    EXPECT_EQ(MatchBlockedCookie({"*doubleclick.net"}, "doubleclick"), 0u);
    // Only the first "*" goes.
    EXPECT_FALSE(MatchBlockedCookie({"**x.com"}, "x"));
    EXPECT_EQ(MatchBlockedCookie({"**x.com"}, "*x"), 0u);
    // The dot-part is removed before the star: a star after the last dot goes with it.
    EXPECT_EQ(MatchBlockedCookie({"ads.*"}, "ads"), 0u);
}

TEST(BlockedCookie, FirstMatchingEntryWins) {
    const Entries list = {"other.com", "myads.net", "ads.net", "ads.org"};
    EXPECT_EQ(MatchBlockedCookie(list, "ads"), 2u);
    EXPECT_FALSE(MatchBlockedCookie(list, "nothing"));
    EXPECT_FALSE(MatchBlockedCookie({}, "ads"));
}

}  // namespace
}  // namespace qm::defs
