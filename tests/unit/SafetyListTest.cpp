// Protected locations: the whole-location match with its normalisations (case, surrounding
// blanks, one trailing "/" and "\", every drive letter read as C, bare root keys), checked case
// by case and against the plain in-order walk over many random lists.

#include "definitions/SafetyList.h"

#include <gtest/gtest.h>

#include <random>

#include "support/ReferenceSafety.h"

namespace qm::defs {
namespace {

struct SafeCase {
    const char* name;
    std::vector<std::string> entries;
    std::string location;
    bool safe;
};

void PrintTo(const SafeCase& c, std::ostream* os) {
    *os << c.name;
}

class SafeLocation : public ::testing::TestWithParam<SafeCase> {};

TEST_P(SafeLocation, AnswersAsTheRulesSay) {
    const SafeCase& c = GetParam();
    const SafetyList list(c.entries);
    EXPECT_EQ(list.IsSafeLocation(c.location), c.safe) << "location [" << c.location << "]";
    // The yardstick agrees on every case written out here.
    EXPECT_EQ(test::ReferenceIsSafeLocation(c.entries, c.location), c.safe);
}

using E = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    Cases, SafeLocation,
    ::testing::Values(
        SafeCase{"WindowsOnDriveDMatchesEntryOnDriveC", E{"C:\\Windows"}, "D:\\Windows", true},
        SafeCase{"CaseAndTrailingBackslashIgnored", E{"C:\\Windows"}, "d:\\WINDOWS\\", true},
        SafeCase{"EntryWithTrailingBackslash", E{"C:\\Windows\\"}, "C:\\Windows", true},
        SafeCase{"FileInsideProtectedFolderIsNotProtected", E{"C:\\Windows"},
                 "C:\\Windows\\notepad.exe", false},
        SafeCase{"ParentOfProtectedFolderIsNotProtected", E{"C:\\Windows\\System32"}, "C:\\Windows",
                 false},
        SafeCase{"EmptyTextIsSafeWithAnEmptyList", E{}, "", true},
        SafeCase{"EmptyTextIsSafe", E{"C:\\x"}, "", true},
        SafeCase{"BlankTextIsSafe", E{}, "    ", true},
        SafeCase{"LoneBackslashIsSafe", E{}, "\\", true},
        SafeCase{"LoneSlashIsSafe", E{}, " / ", true},
        SafeCase{"RootKeyUnprotectedWithEmptyList", E{}, "HKEY_LOCAL_MACHINE\\", false},
        SafeCase{"RootKeyUnprotectedWithOnlyUnusableEntries", E{"   ", "\\", "/", ""},
                 "HKEY_LOCAL_MACHINE\\", false},
        SafeCase{"RootKeyProtectedByAnyUsableEntry", E{"C:\\x"}, "HKEY_LOCAL_MACHINE\\", true},
        SafeCase{"BareRootKeyInLowerCase", E{"C:\\x"}, "hkey_local_machine", true},
        SafeCase{"EachRootKey", E{"x"}, "HKEY_CLASSES_ROOT", true},
        SafeCase{"CurrentUserRoot", E{"x"}, "HKEY_CURRENT_USER\\", true},
        SafeCase{"UsersRoot", E{"x"}, "HKEY_USERS", true},
        SafeCase{"UsersRootWithDoubledBackslash", E{"x"}, "HKEY_USERS\\\\", true},
        SafeCase{"CurrentConfigRoot", E{"x"}, "HKEY_CURRENT_CONFIG", true},
        SafeCase{"DynDataIsNotAProtectedRoot", E{"x"}, "HKEY_DYN_DATA\\", false},
        SafeCase{"KeyBelowARootIsNotARoot", E{"x"}, "HKEY_LOCAL_MACHINE\\SOFTWARE", false},
        SafeCase{"RegistryEntryMatches", E{"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft"},
                 "hkey_local_machine\\software\\microsoft\\", true},
        SafeCase{"SurroundingBlanksIgnored", E{"  C:\\Windows\\System32  "},
                 "  c:\\windows\\system32\\  ", true},
        SafeCase{"SlashIsRemovedBeforeBackslash", E{"C:\\Windows"}, "C:\\Windows\\/", true},
        SafeCase{"BackslashThenSlashLeavesTheBackslash", E{"C:\\Windows"}, "C:\\Windows/\\", false},
        SafeCase{"EntryWithDoubledBackslash", E{"C:\\Windows\\\\"}, "C:\\Windows", true},
        SafeCase{"LocationWithDoubledBackslash", E{"C:\\Windows"}, "C:\\Windows\\\\", true},
        SafeCase{"LocationWithTripledBackslash", E{"C:\\Windows"}, "C:\\Windows\\\\\\", false},
        SafeCase{"EntryOnAnotherDriveCannotMatch", E{"D:\\Data"}, "D:\\Data", false},
        SafeCase{"DriveFoldingNeedsColonBackslash", E{"C:/Windows"}, "D:/Windows", false},
        SafeCase{"BareFileNameEntry", E{"explorer.exe"}, "EXPLORER.EXE", true},
        SafeCase{"UrlEntryWithTrailingSlash", E{"http://site/"}, "http://site", true},
        SafeCase{"LaterEntryMatches", E{"a", "b", "C:\\Program Files\\Common Files"},
                 "c:\\program files\\common files", true},
        SafeCase{"NothingMatches", E{"C:\\Windows", "C:\\Program Files"}, "C:\\Temp", false}),
    [](const ::testing::TestParamInfo<SafeCase>& p) { return std::string(p.param.name); });

TEST(SafetyList, KeepsEveryEntryInOrder) {
    const SafetyList list({"b", "", "a"});
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"b", "", "a"}));
}

// ---- Differential check against the in-order walk ---------------------------------------------

class Random {
  public:
    explicit Random(std::uint32_t seed) : rng_(seed) {}
    std::size_t Below(std::size_t n) { return n == 0 ? 0 : rng_() % n; }
    bool Chance(int percent) { return static_cast<int>(Below(100)) < percent; }
    template <typename T>
    const T& Pick(const std::vector<T>& v) {
        return v[Below(v.size())];
    }

  private:
    std::mt19937 rng_;
};

const std::vector<std::string> kParts = {
    "Windows", "System32",  "Program Files", "Common Files", "notepad.exe", "a",
    "B",       "\xC9t\xE9", "x y",           "SOFTWARE",     "Microsoft",   "Run"};
const std::vector<std::string> kRoots = {
    "HKEY_CLASSES_ROOT",   "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA",     "hkey_users"};

std::string RandomEntry(Random& r) {
    std::string e;
    switch (r.Below(6)) {
        case 0:  // a drive path
            e = std::string(1, static_cast<char>('A' + r.Below(26))) + ":\\";
            break;
        case 1:  // a registry key
            e = r.Pick(kRoots) + "\\";
            break;
        case 2:  // an unusable entry
            return r.Pick(std::vector<std::string>{"", " ", "\\", "/", " \\ ", "/\\"});
        case 3:  // a URL-like entry
            e = "http://";
            break;
        default:  // a bare name or a relative path
            break;
    }
    const std::size_t n = 1 + r.Below(3);
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0) e += r.Chance(80) ? "\\" : "/";
        e += r.Pick(kParts);
    }
    if (r.Chance(30)) e += "\\";
    if (r.Chance(15)) e += "/";
    if (r.Chance(10)) e += "\\\\";
    if (r.Chance(15)) e = "  " + e;
    if (r.Chance(15)) e += " ";
    return e;
}

std::string Mutate(Random& r, std::string p) {
    // Random case changes.
    for (char& c : p) {
        if (r.Chance(30) && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (r.Chance(30) && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    // Another drive letter.
    if (r.Chance(40) && p.size() >= 3 && p[1] == ':' && p[2] == '\\') {
        p[0] = static_cast<char>((r.Chance(50) ? 'a' : 'A') + r.Below(26));
    }
    // Trailing separators, doubled or in either order, and surrounding blanks.
    switch (r.Below(8)) {
        case 0:
            p += "\\";
            break;
        case 1:
            p += "/";
            break;
        case 2:
            p += "\\\\";
            break;
        case 3:
            p += "\\/";
            break;
        case 4:
            p += "/\\";
            break;
        case 5:
            p += "//";
            break;
        default:
            if (!p.empty() && r.Chance(50)) p.pop_back();  // one character short
            break;
    }
    if (r.Chance(20)) p = " " + p;
    if (r.Chance(20)) p += "  ";
    if (r.Chance(10)) p += r.Pick(kParts);  // a location inside the entry
    return p;
}

std::string RandomProbe(Random& r, const std::vector<std::string>& entries) {
    switch (r.Below(5)) {
        case 0:
        case 1:
            if (!entries.empty()) return Mutate(r, r.Pick(entries));
            return Mutate(r, RandomEntry(r));
        case 2:
            return Mutate(r, r.Pick(kRoots));
        case 3:
            return r.Pick(std::vector<std::string>{"", " ", "\\", "/", "\\\\", ":\\", "C:\\",
                                                   "c:", "HKEY_LOCAL_MACHINE\\\\\\"});
        default:
            return Mutate(r, RandomEntry(r));
    }
}

TEST(SafetyListDifferential, AgreesWithTheInOrderWalkOnRandomListsAndProbes) {
    Random r(20260308u);
    int safeAnswers = 0;
    int checks = 0;
    for (int list = 0; list < 600; ++list) {
        std::vector<std::string> entries;
        const std::size_t n = r.Below(9);
        for (std::size_t i = 0; i < n; ++i)
            entries.push_back(RandomEntry(r));
        const SafetyList safety(entries);
        for (int probe = 0; probe < 120; ++probe) {
            const std::string p = RandomProbe(r, entries);
            const bool expected = test::ReferenceIsSafeLocation(entries, p);
            ASSERT_EQ(safety.IsSafeLocation(p), expected)
                << "list #" << list << " probe [" << p << "] entries:\n"
                << ::testing::PrintToString(entries);
            safeAnswers += expected ? 1 : 0;
            ++checks;
        }
    }
    // The probes are built to land on both sides of the test.
    EXPECT_GT(safeAnswers, checks / 10);
    EXPECT_LT(safeAnswers, checks - checks / 10);
}

}  // namespace
}  // namespace qm::defs
