// The definition merge: the cases its description singles out, a differential check against a
// plain rendering of the described algorithm (every line against every key) over random
// answers, and a merge that cannot write replacing nothing.
#include "update/DefinitionMerge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "definitions/LineScramble.h"
#include "definitions/MergeJournal.h"
#include "support/FakePlatform.h"
#include "text/Text.h"

namespace qm::update {
namespace {

using defs::EncodeLine;
constexpr const char* kData = "C:\\Data";
const std::vector<std::string> kFileNames = {"FileDefinition.dat",      "ExeDefinition.dat",
                                             "RegistryDefinition.dat",  "BlockedCookies.dat",
                                             "DirectoryDefinition.dat", "Safety.dat"};

struct QuietProgress final : MergeProgress {
    void ShowStatus(const std::string& text) override {
        if (yieldsBeforeFirstStatus < 0) yieldsBeforeFirstStatus = yields;
        last = text;
        shown.push_back(text);
    }
    void LetEventsRun() override { ++yields; }
    std::string last;
    std::vector<std::string> shown;
    int yields = 0;
    int yieldsBeforeFirstStatus = -1;
};

std::string Path(const std::string& name) {
    return std::string(kData) + "\\" + name;
}

// "<scrambled kind>|<action>[DEF]<body>"
std::string Record(const std::string& kind, const std::string& action, const std::string& body) {
    return EncodeLine(kind) + "|" + action + "[DEF]" + body;
}

// A FILE body as the server sends it: scrambled fields, plain separators.
std::string FileBody(const std::string& name, const std::string& rest) {
    return EncodeLine(name) + "=" + EncodeLine(rest) + "|" + EncodeLine("[progfil]x") + "|" +
           EncodeLine("Adware");
}

// The stored line of a FILE body.
std::string FileLine(const std::string& name, const std::string& rest) {
    return EncodeLine(name + "=" + rest + "|[progfil]x|Adware");
}

// --- The described algorithm, plainly: appends at once, then every line against every key ---

std::vector<std::string> SplitNoCase(const std::string& s, const std::string& marker) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t cut = text::FindNoCase(s, marker, start);
        parts.push_back(
            s.substr(start, cut == std::string::npos ? std::string::npos : cut - start));
        if (cut == std::string::npos) return parts;
        start = cut + marker.size();
    }
}

std::vector<std::string> SplitExact(const std::string& s, char c) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t cut = s.find(c, start);
        parts.push_back(
            s.substr(start, cut == std::string::npos ? std::string::npos : cut - start));
        if (cut == std::string::npos) return parts;
        start = cut + 1;
    }
}

bool Routed(const std::string& file, const std::string& kind) {
    const bool safety = kind.find_first_of("Ss") != std::string::npos;
    if (file == "FileDefinition.dat") return kind == "FILE" || kind == "EXE" || kind == "DLL";
    if (file == "ExeDefinition.dat") return kind == "EXE";
    if (file == "RegistryDefinition.dat") return kind == "REG";
    if (file == "BlockedCookies.dat") return kind == "COOK";
    if (file == "DirectoryDefinition.dat") return kind == "DIR";
    return safety;
}

std::vector<std::string> Lines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t cut = content.find("\r\n", start);
        lines.push_back(
            content.substr(start, cut == std::string::npos ? std::string::npos : cut - start));
        if (cut == std::string::npos) break;
        start = cut + 2;
    }
    return lines;
}

int ReferenceMerge(std::map<std::string, std::string>& files, const std::string& answer) {
    int changes = 0;
    for (const auto& file : kFileNames) {
        std::vector<std::string> deletions;
        std::string& content = files[file];
        for (const std::string& raw : SplitNoCase(answer, "[BR]")) {
            const std::string record(text::TrimView(raw));
            if (record.empty()) continue;
            const std::size_t def = record.find("[DEF]");
            if (def == std::string::npos) continue;
            const auto header = SplitExact(record.substr(0, def), '|');
            if (header.size() < 2) continue;
            const std::string kind = defs::DecodeLine(header[0]);
            const std::string body = record.substr(def + 5);
            if (!Routed(file, kind)) continue;
            if (header[1] == "ADD") {
                std::string line;
                const auto plain = [](const std::string& b) {
                    return text::ReplaceAll(text::ReplaceAll(b, "|", EncodeLine("|")), "=",
                                            EncodeLine("="));
                };
                if (kind == "REG") {
                    const auto a = SplitExact(body, '|');
                    if (a.size() < 3) continue;
                    const auto b = SplitExact(a[0], '=');
                    if (b.size() < 2) continue;
                    line = a[1] + EncodeLine("^=") + b[1] + EncodeLine("|") + a[2];
                } else if (kind == "COOK") {
                    line = body.substr(0, body.find('='));
                } else if (kind.find_first_of("Ss") != std::string::npos) {
                    line = EncodeLine(kind + "|") + plain(body);
                } else {
                    line = plain(body);
                }
                content += line + "\r\n";
                ++changes;
                if (body.find('=') != std::string::npos) {
                    const std::string key = body.substr(0, body.find('='));
                    std::erase(deletions, key);
                }
            } else if (header[1] == "DEL") {
                deletions.push_back(body.substr(0, body.find('=')));
            }
        }
        if (deletions.empty()) continue;
        ++changes;
        std::string kept;
        for (const auto& line : Lines(content)) {
            if (line.empty() || line == " ") continue;
            const std::string decoded = defs::DecodeLine(line);
            const std::string key = decoded.substr(0, decoded.find('='));
            bool doomed = false;
            for (const auto& d : deletions)
                doomed = doomed || text::EqualsNoCase(key, defs::DecodeLine(d));
            if (!doomed) kept += line + "\r\n";
        }
        content = kept;
    }
    return changes;
}

class DefinitionMergeTest : public ::testing::Test {
  protected:
    void Put(const std::string& name, const std::vector<std::string>& lines) {
        std::string content;
        for (const auto& l : lines)
            content += l + "\r\n";
        m.files.PutFile(Path(name), content);
    }
    std::vector<std::string> Stored(const std::string& name) {
        return Lines(m.files.Content(Path(name)).value_or("(missing)"));
    }
    MergeResult Merge(const std::string& answer) {
        return MergeDefinitions(m.files, kData, answer, progress);
    }

    test::FakeMachine m;
    QuietProgress progress;
};

TEST_F(DefinitionMergeTest, TheDescribedCases) {
    for (const auto& name : kFileNames)
        Put(name, {});
    Put("FileDefinition.dat", {FileLine("old.exe", "Old"), "", " ", FileLine("keep.exe", "K")});

    // Nothing in the answer: nothing changes.
    EXPECT_EQ(Merge("").changes, 0);
    EXPECT_EQ(Stored("FileDefinition.dat").size(), 4u);

    // "[br]" separates in any case, "[def]" in lower case does not split: that record is
    // left out. A DEL then an ADD of the same key keeps the old line beside the new one.
    const std::string answer = Record("FILE", "DEL", EncodeLine("old.exe")) + "[br]" + "  " +
                               Record("FILE", "ADD", FileBody("old.exe", "New")) + " [BR]" +
                               EncodeLine("FILE") + "|ADD[def]" + FileBody("lost.exe", "L") +
                               "[BR]" + Record("EXE", "ADD", FileBody("both.exe", "B"));
    const MergeResult result = Merge(answer);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(result.changes, 3) << "one ADD into one file, one EXE into two";
    EXPECT_EQ(
        Stored("FileDefinition.dat"),
        (std::vector<std::string>{FileLine("old.exe", "Old"), "", " ", FileLine("keep.exe", "K"),
                                  FileLine("old.exe", "New"), FileLine("both.exe", "B")}));
    EXPECT_EQ(Stored("ExeDefinition.dat"), std::vector<std::string>{FileLine("both.exe", "B")});

    // A DEL of a key nothing has still rewrites the file without its empty lines; keys match
    // in any case.
    EXPECT_EQ(Merge(Record("FILE", "DEL", EncodeLine("NOTHING.EXE")) + "[BR]" +
                    Record("DLL", "DEL", EncodeLine("KEEP.EXE")))
                  .changes,
              1);
    EXPECT_EQ(Stored("FileDefinition.dat"),
              (std::vector<std::string>{FileLine("old.exe", "Old"), FileLine("old.exe", "New"),
                                        FileLine("both.exe", "B")}));
    EXPECT_EQ(progress.last, "Applying new updates...");

    // A safe-list kind is any word with an S; its kind goes in front of the entry. Registry and
    // cookie bodies have layouts of their own.
    const std::string reg = EncodeLine("x") + "=" + EncodeLine("Gui Threat") + "|" +
                            EncodeLine("1^Software\\Gui") + "|" + EncodeLine("Adware");
    EXPECT_EQ(Merge(Record("Trusted", "ADD", EncodeLine("vendor") + "=" + EncodeLine("x")) +
                    "[BR]" + Record("REG", "ADD", reg) + "[BR]" +
                    Record("COOK", "ADD", EncodeLine("tracker.example") + "=" + EncodeLine("z")))
                  .changes,
              3);
    EXPECT_EQ(Stored("Safety.dat"), std::vector<std::string>{EncodeLine("Trusted|vendor=x")});
    EXPECT_EQ(Stored("RegistryDefinition.dat"),
              std::vector<std::string>{EncodeLine("1^Software\\Gui^=Gui Threat|Adware")});
    EXPECT_EQ(Stored("BlockedCookies.dat"),
              std::vector<std::string>{EncodeLine("tracker.example")});

    // A rewrite says how far it is every 100 lines, and lets the window's events run.
    std::vector<std::string> folders;
    for (int i = 0; i < 250; ++i)
        folders.push_back(EncodeLine("Folder" + std::to_string(i) + "=x|[progfil]f|Adware"));
    Put("DirectoryDefinition.dat", folders);
    progress.shown.clear();
    const int yieldsBefore = progress.yields;
    EXPECT_EQ(Merge(Record("DIR", "DEL", EncodeLine("folder7"))).changes, 1);
    EXPECT_EQ(Stored("DirectoryDefinition.dat").size(), 249u);
    const auto said = [&](const std::string& text) {
        return std::find(progress.shown.begin(), progress.shown.end(), text) !=
               progress.shown.end();
    };
    EXPECT_TRUE(said("Removing outdated definitions: checking entry 200"));
    EXPECT_FALSE(said("Removing outdated definitions: checking entry 250"));
    EXPECT_EQ(progress.yields - yieldsBefore, 6 + 2) << "one per file, one per 100 lines";
}

// Answers built from the pieces that make merges go wrong, against the plain algorithm.
TEST_F(DefinitionMergeTest, GivesWhatThePlainAlgorithmGivesOverRandomAnswers) {
    std::mt19937 random(20261209);
    const std::vector<std::string> kinds = {"FILE", "EXE",  "DLL", "DIR",   "REG",
                                            "COOK", "Safe", "sys", "Bogus", ""};
    const std::vector<std::string> names = {"a.exe", "B.EXE", "b.exe", "c.dll", "Tool", "d"};
    const auto pick = [&](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    for (int round = 0; round < 300; ++round) {
        std::map<std::string, std::string> expected;
        for (const auto& file : kFileNames) {
            std::string content;
            const int lines = std::uniform_int_distribution<int>(0, 6)(random);
            for (int i = 0; i < lines; ++i) {
                const int shape = std::uniform_int_distribution<int>(0, 5)(random);
                content += (shape == 0   ? ""
                            : shape == 1 ? " "
                                         : FileLine(pick(names), "r")) +
                           "\r\n";
            }
            expected[file] = content;
            m.files.PutFile(Path(file), content);
        }
        std::string answer;
        const int records = std::uniform_int_distribution<int>(0, 8)(random);
        for (int i = 0; i < records; ++i) {
            const std::string kind = pick(kinds);
            const std::string name = pick(names);
            const int shape = std::uniform_int_distribution<int>(0, 9)(random);
            std::string record;
            if (shape == 0) {
                record = EncodeLine(kind) + "|ADD[def]" + FileBody(name, "lower def");
            } else if (shape == 1) {
                record = "no header at all";
            } else if (shape <= 5) {
                const std::string body = kind == "REG"
                                             ? EncodeLine(name) + "=" + EncodeLine("v") + "|" +
                                                   EncodeLine("1^k") + "|" + EncodeLine("c")
                                             : FileBody(name, "r" + std::to_string(i));
                record = Record(kind, "ADD", body);
            } else {
                record = Record(kind, shape == 9 ? "KEEP" : "DEL", EncodeLine(name));
            }
            answer +=
                record + (std::uniform_int_distribution<int>(0, 1)(random) ? "[BR]" : " [br] ");
        }
        const int expectedChanges = ReferenceMerge(expected, answer);
        const MergeResult result = Merge(answer);
        ASSERT_TRUE(result.complete);
        ASSERT_EQ(result.changes, expectedChanges) << answer;
        for (const auto& file : kFileNames)
            ASSERT_EQ(m.files.Content(Path(file)), expected[file]) << file << "\n" << answer;
    }
}

TEST_F(DefinitionMergeTest, AMergeThatCannotWriteReplacesNothing) {
    Put("FileDefinition.dat", {FileLine("old.exe", "Old")});
    Put("ExeDefinition.dat", {FileLine("old.exe", "Old")});
    m.files.failMoves = true;
    m.files.failWrites = true;
    const MergeResult result = Merge(Record("EXE", "ADD", FileBody("new.exe", "N")) + "[BR]" +
                                     Record("EXE", "DEL", EncodeLine("old.exe")));
    EXPECT_FALSE(result.complete);
    m.files.failWrites = false;
    EXPECT_EQ(Stored("FileDefinition.dat"), std::vector<std::string>{FileLine("old.exe", "Old")});
    EXPECT_EQ(Stored("ExeDefinition.dat"), std::vector<std::string>{FileLine("old.exe", "Old")});
}

// The set is replaced as a whole, the date with it: a run that ends between two replacements
// is finished at the next start, one that ends before the journal leaves the old set, and the
// scratch files go either way.
TEST_F(DefinitionMergeTest, AReplacementEndedPartWayIsFinishedOrUndoneAtTheNextStart) {
    const std::string answer = Record("EXE", "ADD", FileBody("new.exe", "N"));
    const auto putOldSet = [&] {
        Put("FileDefinition.dat", {FileLine("old.exe", "Old")});
        Put("ExeDefinition.dat", {FileLine("old.exe", "Old")});
        Put("date.dat", {"11/30/2026 9:00:00 AM"});
    };
    const std::vector<std::string> oldFiles = {FileLine("old.exe", "Old")};
    const std::vector<std::string> newFiles = {FileLine("old.exe", "Old"),
                                               FileLine("new.exe", "N")};

    putOldSet();
    PreparedMerge prepared = PrepareMerge(m.files, kData, answer, progress);
    ASSERT_TRUE(prepared.Ready());
    EXPECT_EQ(Stored("FileDefinition.dat"), oldFiles) << "prepared, not yet in place";
    m.files.movesLeft = 1;  // the run ends after the first replacement
    EXPECT_FALSE(prepared.Commit("12/9/2026 7:00:00 AM"));
    EXPECT_EQ(Stored("FileDefinition.dat"), newFiles);
    EXPECT_EQ(Stored("ExeDefinition.dat"), oldFiles);
    m.files.movesLeft = -1;
    EXPECT_TRUE(defs::FinishInterruptedReplacement(m.files, kData));
    EXPECT_EQ(Stored("FileDefinition.dat"), newFiles);
    EXPECT_EQ(Stored("ExeDefinition.dat"), newFiles);
    EXPECT_EQ(Stored("date.dat"), std::vector<std::string>{"12/9/2026 7:00:00 AM"});

    // Ended before the journal was written: only scratch files, of this run and of the old
    // rewrite, which go; the set stays old.
    putOldSet();
    for (const char* scratch : {"FileDefinition.dat.merge", "date.dat.merge", "temp.dat"})
        m.files.PutFile(Path(scratch), "half\r\n");
    EXPECT_TRUE(defs::FinishInterruptedReplacement(m.files, kData));
    EXPECT_EQ(Stored("FileDefinition.dat"), oldFiles);
    EXPECT_EQ(Stored("date.dat"), std::vector<std::string>{"11/30/2026 9:00:00 AM"});
    for (const char* left :
         {"FileDefinition.dat.merge", "date.dat.merge", "temp.dat", "merge.journal"}) {
        EXPECT_FALSE(m.files.Has(Path(left))) << left;
    }
}

// Each addition takes back only the deletions of its own key before it, however many there
// are; the look at the records lets the window's events run as it goes.
TEST_F(DefinitionMergeTest, ManyDeletionsThenManyAdditionsMergeAndLetEventsRun) {
    std::vector<std::string> stored;
    std::string answer;
    constexpr int kCount = 20000;
    for (int i = 0; i < kCount; ++i) {
        stored.push_back(FileLine("f" + std::to_string(i) + ".exe", "Old"));
        answer += Record("FILE", "DEL", EncodeLine("f" + std::to_string(i) + ".exe")) + "[BR]";
    }
    for (int i = 0; i < kCount; i += 2)
        answer += Record("FILE", "ADD", FileBody("f" + std::to_string(i) + ".exe", "New")) + "[BR]";
    Put("FileDefinition.dat", stored);
    const int yieldsBefore = progress.yields;
    progress.yieldsBeforeFirstStatus = -1;
    const MergeResult result = Merge(answer);
    EXPECT_EQ(result.changes, kCount / 2 + 1);
    const auto lines = Stored("FileDefinition.dat");
    // The even keys were added back, so their old lines stay; the odd ones are gone.
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(kCount));
    EXPECT_EQ(lines[1], FileLine("f2.exe", "Old"));
    EXPECT_EQ(lines.back(), FileLine("f" + std::to_string(kCount - 2) + ".exe", "New"));
    EXPECT_GE(progress.yieldsBeforeFirstStatus - yieldsBefore, (kCount + kCount / 2) / 1000)
        << "events run while the records are sorted out, before the first file is written";
}

}  // namespace
}  // namespace qm::update
