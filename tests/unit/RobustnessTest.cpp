// Bad input: definition and Safety files holding binary garbage, NUL bytes, very long lines,
// lines without their separators, unknown hive codes and foreign line ends must be read without
// a crash or a hang, with unusable records passed over. Then many seeded random byte strings
// through every record parser, the scramble and the line reader, each checked against what the
// record layouts say.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>

#include "definitions/DefinitionSet.h"
#include "definitions/LineScramble.h"
#include "definitions/Records.h"
#include "support/ChunkedReader.h"
#include "support/FakePlatform.h"
#include "support/RecordOracles.h"
#include "support/ScriptedLoadControl.h"
#include "text/Text.h"
#include "text/TextFile.h"

namespace qm::defs {
namespace {

using test::FakeMachine;
using test::oracle::Piece;
using test::oracle::TrimSpaces;
namespace oracle = test::oracle;

class Bytes {
  public:
    explicit Bytes(std::uint32_t seed) : rng_(seed) {}
    std::size_t Below(std::size_t n) { return n == 0 ? 0 : rng_() % n; }
    // Separators and line ends often, any byte sometimes.
    char Char() {
        static const std::string kFavourites =
            std::string("|=^\\/.*: aAeE\r\n\t") + std::string(1, '\0') + "\xC9\xCC\xFF";
        if (Below(3) == 0) return static_cast<char>(Below(256));
        return kFavourites[Below(kFavourites.size())];
    }
    std::string String(std::size_t maxLength) {
        std::string s(Below(maxLength + 1), '\0');
        for (char& c : s)
            c = Char();
        return s;
    }
    std::string Raw(std::size_t length) {
        std::string s(length, '\0');
        for (char& c : s)
            c = static_cast<char>(Below(256));
        return s;
    }

  private:
    std::mt19937 rng_;
};

// ---- Bad definition and Safety files ----------------------------------------------------------

class BadInput : public ::testing::Test {
  protected:
    FakeMachine m;
    DefinitionFiles files{m.files, FakeMachine::kDataFolder};
    PathTokenExpander tokens{m.shell};
    test::ScriptedLoadControl control;

    void PutRaw(const std::string& name, std::string bytes) {
        m.files.PutFile(std::string(FakeMachine::kDataFolder) + "\\" + name, std::move(bytes));
    }
    DefinitionSet Load(const SafetyList& safety = SafetyList()) {
        DefinitionSet set;
        set.Load(files, m.files, tokens, safety, control);
        return set;
    }
};

// What every stored entry must look like, whatever the file held.
void ExpectWellFormed(const DefinitionSet& set) {
    ASSERT_LE(set.FileTable().size(), DefinitionSet::kCapacity);
    ASSERT_LE(set.FolderTable().size(), DefinitionSet::kCapacity);
    for (const auto& e : set.FileTable()) {
        ASSERT_FALSE(e.fileName.empty());
        EXPECT_EQ(e.fileName, text::Lower(e.fileName));
        EXPECT_EQ(e.folder, text::Lower(e.folder));
        EXPECT_TRUE(e.folder.empty() || e.folder.back() == '\\');
        EXPECT_EQ(e.fileName.find_first_of("|="), std::string::npos);
        EXPECT_EQ(e.folder.find('|'), std::string::npos);
        EXPECT_EQ(e.threatName.find_first_of("|="), std::string::npos);
        EXPECT_NE(e.category, "TYPE");
    }
    for (const auto& e : set.FolderTable()) {
        ASSERT_FALSE(e.folderPath.empty());
        EXPECT_EQ(e.folderPath, text::Lower(e.folderPath));
        EXPECT_EQ(e.folderName, text::Lower(e.folderName));
        EXPECT_EQ(e.folderPath.find('|'), std::string::npos);
    }
}

// The list's entries without the empty ones.
std::vector<std::string> NonEmpty(const SafetyList& list) {
    std::vector<std::string> out;
    for (const auto& e : list.Entries()) {
        if (!e.empty()) out.push_back(e);
    }
    return out;
}

// Lines of a scrambled file: only CR LF ends one.
long long CrLfLines(const std::string& bytes) {
    long long n = 0;
    std::size_t pos = 0;
    for (;;) {
        const auto hit = bytes.find("\r\n", pos);
        if (hit == std::string::npos) return n + (pos < bytes.size() ? 1 : 0);
        ++n;
        pos = hit + 2;
    }
}

TEST_F(BadInput, BinaryGarbageInEveryFileIsReadWithoutHarm) {
    Bytes r(7u);
    std::map<std::string, std::string> contents;
    for (const char* name :
         {"FileDefinition.dat", "DirectoryDefinition.dat", "RegistryDefinition.dat",
          "ExeDefinition.dat", "BlockedCookies.dat", "Safety.dat"}) {
        contents[name] = r.Raw(200000);
        PutRaw(name, contents[name]);
    }
    const SafetyList safety = LoadSafetyList(files, m.files, tokens, "C:\\", control);
    for (const auto& e : safety.Entries())
        EXPECT_EQ(e.find('|'), std::string::npos);
    const DefinitionSet set = Load(safety);
    ExpectWellFormed(set);

    const SignatureCounts c = files.CountDefinitions();
    EXPECT_EQ(c.cookies, CrLfLines(contents["BlockedCookies.dat"]));
    EXPECT_EQ(c.registry, CrLfLines(contents["RegistryDefinition.dat"]));
    EXPECT_EQ(c.programs, CrLfLines(contents["ExeDefinition.dat"]));
    EXPECT_EQ(c.files, CrLfLines(contents["FileDefinition.dat"]) +
                           CrLfLines(contents["DirectoryDefinition.dat"]));
    EXPECT_TRUE(files.CheckDefinitionFiles());
}

TEST_F(BadInput, GarbageLinesAmongGoodRecordsAreSkippedAndTheGoodOnesKept) {
    Bytes r(11u);
    std::vector<std::string> lines;
    for (int i = 0; i < 200; ++i) {
        lines.push_back(r.String(80));
        lines.push_back("good" + std::to_string(i) + ".exe=Good|C:\\good|Adware");
    }
    // A scrambled CR LF inside a line would end it; keep the garbage to one line each.
    for (auto& l : lines) {
        for (std::size_t p = l.find("\xCC\xC9"); p != std::string::npos; p = l.find("\xCC\xC9")) {
            l[p] = 'x';
        }
    }
    m.PutDefinitionFile("FileDefinition.dat", lines);
    const DefinitionSet set = Load();
    ExpectWellFormed(set);
    std::size_t good = 0;
    for (const auto& e : set.FileTable()) {
        if (e.fileName.rfind("good", 0) == 0 && e.folder == "c:\\good\\") ++good;
    }
    EXPECT_EQ(good, 200u);
}

TEST_F(BadInput, NulBytesAreOrdinaryText) {
    m.PutDefinitionFile("FileDefinition.dat", {std::string("a\0b.exe=T\0x|C:\\d\0r|Adware", 25),
                                               "next.exe=N|C:\\n|Adware"});
    const DefinitionSet set = Load();
    ASSERT_EQ(set.FileTable().size(), 2u);
    EXPECT_EQ(set.FileTable()[0].fileName, std::string("a\0b.exe", 7));
    EXPECT_EQ(set.FileTable()[0].folder, std::string("c:\\d\0r\\", 7));
    EXPECT_EQ(set.FileTable()[1].fileName, "next.exe");
}

TEST_F(BadInput, OneMebibyteLinesAreReadAndJudgedLikeAnyOther) {
    const std::string longName(1u << 20, 'n');
    const std::string longJunk(1u << 20, 'j');  // no "=": not a record
    m.PutDefinitionFile("FileDefinition.dat",
                        {longName + ".exe=Long|C:\\x|Adware", longJunk, "after.exe=After"});
    m.PutDefinitionFile("Safety.dat", {"SFILE|l=x|C:\\" + longName, longJunk, "SDIR|d=x|C:\\d"});
    const SafetyList safety = LoadSafetyList(files, m.files, tokens, "C:\\", control);
    ASSERT_EQ(NonEmpty(safety).size(), 2u);
    EXPECT_EQ(NonEmpty(safety)[0].size(), longName.size() + 3);
    const DefinitionSet set = Load(safety);
    ASSERT_EQ(set.FileTable().size(), 2u);
    EXPECT_EQ(set.FileTable()[0].fileName.size(), longName.size() + 4);
    EXPECT_EQ(set.FileTable()[1].fileName, "after.exe");
    EXPECT_EQ(files.CountDefinitions().files, 3);
}

TEST_F(BadInput, LinesWithoutTheirSeparatorsAreSkipped) {
    m.PutDefinitionFile("FileDefinition.dat", {"no separators at all", "only|bars|here",
                                               "ok.exe=OK|C:\\ok|Adware", "|||", "====", "="});
    m.PutDefinitionFile("DirectoryDefinition.dat",
                        {"no separators", "only|bars", "ok=OK|C:\\ok|Adware"});
    m.PutDefinitionFile("Safety.dat", {"SFILE C:\\no\\bar.exe", "SDIR|x=y|C:\\ok", "SFILE"});
    const SafetyList safety = LoadSafetyList(files, m.files, tokens, "C:\\", control);
    EXPECT_EQ(NonEmpty(safety), (std::vector<std::string>{"C:\\ok"}));
    const DefinitionSet set = Load();
    ExpectWellFormed(set);
    // "====" has an empty name; "=" too: neither is stored.
    ASSERT_EQ(set.FileTable().size(), 1u);
    EXPECT_EQ(set.FileTable()[0].fileName, "ok.exe");
    ASSERT_EQ(set.FolderTable().size(), 1u);
    EXPECT_EQ(set.FolderTable()[0].folderName, "ok");
}

TEST_F(BadInput, UnknownHiveCodesInSafetyRecordsGiveARootlessEntry) {
    m.PutDefinitionFile("Safety.dat",
                        {"SREG|a=x|6^Software\\A", "SREG|b=x|^Software\\B",
                         "SREG|c=x|two^Software\\C", "SREG|d=x|", "SREG|e=x|3^.DEFAULT"});
    const SafetyList safety = LoadSafetyList(files, m.files, tokens, "C:\\", control);
    EXPECT_EQ(NonEmpty(safety),
              (std::vector<std::string>{"\\Software\\A", "\\Software\\B", "\\Software\\C", "\\",
                                        "HKEY_USERS\\.DEFAULT"}));
}

TEST_F(BadInput, LoneLineFeedsAndCarriageReturnsDoNotEndScrambledLines) {
    // Scrambled records joined by a bare LF or CR form one long line: only CR LF ends a line.
    for (const char* joint : {"\n", "\r"}) {
        const std::string bytes = EncodeLine("a.exe=A|C:\\a|Adware") + joint +
                                  EncodeLine("b.exe=B|C:\\b|Adware") + joint +
                                  EncodeLine("c.exe=C|C:\\c|Adware") + joint;
        PutRaw("FileDefinition.dat", bytes);
        const DefinitionSet set = Load();
        ExpectWellFormed(set);
        ASSERT_EQ(set.FileTable().size(), 1u);
        EXPECT_EQ(set.FileTable()[0].fileName, "a.exe");
        EXPECT_EQ(files.CountDefinitions().files, 1);
    }
}

TEST_F(BadInput, EmptyAndBlankOnlyFilesGiveNothing) {
    PutRaw("FileDefinition.dat", "");
    PutRaw("DirectoryDefinition.dat", "\r\n\r\n\r\n");
    PutRaw("Safety.dat", "\r\n");
    EXPECT_TRUE(NonEmpty(LoadSafetyList(files, m.files, tokens, "C:\\", control)).empty());
    const DefinitionSet set = Load();
    EXPECT_TRUE(set.FileTable().empty());
    EXPECT_TRUE(set.FolderTable().empty());
    EXPECT_EQ(files.CountDefinitions().files, 3);
}

// ---- Seeded random strings through every parser -----------------------------------------------

constexpr int kRounds = 20000;

TEST(RandomInput, FileRecordFieldsAreTheTextBetweenTheirSeparators) {
    Bytes r(101u);
    for (int i = 0; i < kRounds; ++i) {
        const std::string x = r.String(40);
        const auto rec = ParseFileRecord(x);
        const std::string field1 = x.substr(0, x.find('|'));
        ASSERT_EQ(rec.has_value(), field1.find('=') != std::string::npos) << x;
        if (!rec) continue;
        EXPECT_EQ(rec->name, TrimSpaces(Piece(field1, '=', 0)));
        EXPECT_EQ(rec->threatName, Piece(field1, '=', 1));
        EXPECT_EQ(rec->hasFolder, x.find('|') != std::string::npos);
        EXPECT_EQ(rec->folder, Piece(x, '|', 1));
        EXPECT_EQ(rec->category, Piece(x, '|', 2));
        EXPECT_EQ(rec->name.find_first_of("|="), std::string::npos);
        EXPECT_EQ(rec->threatName.find_first_of("|="), std::string::npos);
    }
}

TEST(RandomInput, ProgramRecordNameEndsAtTheFirstEquals) {
    Bytes r(202u);
    for (int i = 0; i < kRounds; ++i) {
        const std::string x = r.String(40);
        const auto rec = ParseExeRecord(x);
        const auto eq = x.find('=');
        ASSERT_EQ(rec.has_value(), eq != std::string::npos) << x;
        if (!rec) continue;
        EXPECT_EQ(rec->exeName, x.substr(0, eq));
        const std::string rest = Piece(x.substr(eq + 1), '=', 0);
        const std::string folder = rest.find('|') == std::string::npos ? rest : Piece(rest, '|', 1);
        EXPECT_EQ(rec->folder, folder) << x;
        EXPECT_EQ(rec->folder.find_first_of("|="), std::string::npos);
    }
}

TEST(RandomInput, RegistryRecordSplitsAtTheLastEqualsAndItsKeyAtCarets) {
    Bytes r(303u);
    static const std::vector<std::string> kRoots = {"HKEY_CLASSES_ROOT",   "HKEY_CURRENT_USER",
                                                    "HKEY_LOCAL_MACHINE",  "HKEY_USERS",
                                                    "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};
    int parsed = 0;
    for (int i = 0; i < kRounds; ++i) {
        // Half of the lines start with a plausible hive code.
        std::string x = r.String(40);
        if (r.Below(2) == 0) x = std::to_string(r.Below(8)) + "^" + x;
        const auto t = SplitRegistryRecord(x);
        const auto eq = x.rfind('=');
        ASSERT_EQ(t.has_value(), eq != std::string::npos) << x;
        if (!t) continue;
        EXPECT_EQ(t->keySpec, x.substr(0, eq));
        EXPECT_EQ(t->threatName.find_first_of("=|"), std::string::npos);
        EXPECT_EQ(t->threatName, TrimSpaces(t->threatName));
        EXPECT_EQ(t->category.find('='), std::string::npos);

        const auto rec = ParseRegistryKeySpec(*t, t->keySpec);
        const std::string code = TrimSpaces(Piece(t->keySpec, '^', 0));
        const bool known = code.size() == 1 && code[0] >= '0' && code[0] <= '5' &&
                           t->keySpec.find('^') != std::string::npos;
        ASSERT_EQ(rec.has_value(), known) << t->keySpec;
        if (!rec) continue;
        ++parsed;
        EXPECT_EQ(rec->rootName, kRoots[static_cast<std::size_t>(code[0] - '0')]);
        EXPECT_EQ(rec->keyPath, Piece(t->keySpec, '^', 1));
        EXPECT_EQ(rec->valueName, text::ReduceDoubleBackslashes(Piece(t->keySpec, '^', 2)));
        EXPECT_EQ(rec->keyPath.find('^'), std::string::npos);
        EXPECT_EQ(rec->valueName.find('^'), std::string::npos);
    }
    EXPECT_GT(parsed, kRounds / 20);  // the known-code path was exercised
}

TEST(RandomInput, SafetyRecordGivesAnEntryOnlyForItsFiveKinds) {
    Bytes r(404u);
    static const std::vector<std::string> kKinds = {"SFILE", "SEXE", "SDLL", "SDIR",
                                                    "SREG",  "sreg", "SKEY", ""};
    int entries = 0;
    for (int i = 0; i < kRounds; ++i) {
        std::string x = r.String(40);
        if (r.Below(4) != 0) x = kKinds[r.Below(kKinds.size())] + "|" + x;
        const auto rec = ParseSafetyRecord(x);
        ASSERT_EQ(rec.has_value(), x.find('|') != std::string::npos) << x;
        if (!rec) continue;
        EXPECT_EQ(rec->kind, Piece(x, '|', 0));
        EXPECT_EQ(rec->label, TrimSpaces(Piece(Piece(x, '|', 1), '=', 0)));
        EXPECT_EQ(rec->location, Piece(x, '|', 2));

        const std::string entry = SafetyEntry(*rec, rec->location);
        EXPECT_EQ(entry.find('|'), std::string::npos);
        const std::string& k = rec->kind;
        if (k == "SFILE" || k == "SEXE" || k == "SDLL") {
            EXPECT_EQ(entry.empty(), rec->location.empty() && rec->label.empty()) << x;
        } else if (k == "SDIR") {
            EXPECT_EQ(entry.empty(), rec->location.empty()) << x;
        } else if (k == "SREG") {
            const std::string root = RootKeyName(Piece(rec->location, '^', 0));
            EXPECT_EQ(entry.rfind(root + "\\", 0), 0u) << x;
        } else {
            EXPECT_EQ(entry, "") << x;
        }
        entries += entry.empty() ? 0 : 1;
    }
    EXPECT_GT(entries, kRounds / 10);
}

TEST(RandomInput, BlockedCookieMatchFollowsTheRule) {
    std::mt19937 rng(505u);
    const std::string alphabet = "aAbB.*";
    auto word = [&](std::size_t max) {
        std::string s(rng() % (max + 1), 'a');
        for (char& c : s)
            c = alphabet[rng() % alphabet.size()];
        return s;
    };
    int matches = 0;
    for (int i = 0; i < kRounds; ++i) {
        std::vector<std::string> entries(rng() % 6);
        for (auto& e : entries)
            e = word(7);
        const std::string site = word(4);
        const auto got = MatchBlockedCookie(entries, site);
        ASSERT_EQ(got, oracle::MatchBlockedCookie(entries, site)) << site;
        if (got) {
            ++matches;
            EXPECT_NE(entries[*got].find(site), std::string::npos);
        }
    }
    EXPECT_GT(matches, kRounds / 20);
}

TEST(RandomInput, ScrambleRoundTripsEveryLineWithoutCode255) {
    Bytes r(606u);
    for (int i = 0; i < kRounds; ++i) {
        const std::string x = r.Raw(r.Below(64));
        const std::string encoded = EncodeLine(x);
        ASSERT_EQ(encoded.size(), x.size());
        EXPECT_EQ(encoded.find('\0'), std::string::npos);
        std::string expected = x;
        for (char& c : expected) {
            if (static_cast<unsigned char>(c) == 255) c = '\0';
        }
        ASSERT_EQ(DecodeLine(encoded), expected);
    }
}

TEST(RandomInput, LineReaderSplitsAsThePlainSplitterDoesWhereverTheReadsBreak) {
    Bytes r(707u);
    for (int i = 0; i < kRounds / 4; ++i) {
        const std::string x = r.String(120);
        std::vector<std::size_t> chunks(1 + r.Below(4));
        for (auto& c : chunks)
            c = 1 + r.Below(9);
        for (text::LineEnds ends : {text::LineEnds::Any, text::LineEnds::CrLfOnly}) {
            text::LineReader reader(std::make_unique<test::ChunkedReader>(x, chunks), ends);
            std::vector<std::string> lines;
            std::string line;
            while (reader.Next(line)) {
                lines.push_back(line);
                ASSERT_LE(lines.size(), x.size() + 1) << "reader does not end";
            }
            const auto expected =
                ends == text::LineEnds::Any ? oracle::SplitAnyLineEnd(x) : oracle::SplitCrLf(x);
            ASSERT_EQ(lines, expected) << ::testing::PrintToString(x);
        }
    }
}

}  // namespace
}  // namespace qm::defs
