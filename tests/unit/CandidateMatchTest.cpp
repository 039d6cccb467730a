// The candidate checks: the matching rules, the name index against a plain walk of the table in
// order, and a File Scan end to end.

#include "scan/CandidateMatch.h"

#include <gtest/gtest.h>

#include <random>

#include "scan/ScanSession.h"
#include "support/FakeApplication.h"
#include "support/FakePlatform.h"
#include "support/ScriptedLoadControl.h"
#include "text/Text.h"

namespace qm::scan {
namespace {

using test::FakeMachine;

constexpr const char* kSystem = "c:\\windows\\system32\\";

defs::FileTableEntry Entry(std::string_view folder, std::string_view name) {
    return {folder, name, "Adware", "Threat"};
}

TEST(CandidateRules, PathFactsDepthAndAgreement) {
    const PathFacts f = FactsOf("C:\\Program Files\\Vendor\\App.EXE");
    EXPECT_EQ(f.name, "app.exe");
    EXPECT_EQ(f.folder, "c:\\program files\\vendor\\");
    EXPECT_EQ(f.drive, "c:");
    EXPECT_EQ(Depth("c:\\"), 1);
    EXPECT_EQ(Depth("c:\\windows\\system32\\"), 3);
    EXPECT_EQ(Agreement("c:\\a\\b\\c\\", "d:\\x\\b\\c\\"), 2);
    EXPECT_EQ(Agreement("c:\\a\\b\\", "[drive]\\b\\"), 1);
}

TEST(CandidateRules, LongExecutableNamesMatchAnywhere) {
    // 17 characters with ".exe" match on the name alone; 16 do not.
    const auto longName = Entry("c:\\elsewhere\\", "abcdefghijkl.exe");
    EXPECT_EQ(std::string_view("abcdefghijkl.exe").size(), 16u);
    EXPECT_FALSE(NameAndPlaceMatch(longName, FactsOf("C:\\x\\abcdefghijkl.exe"), kSystem));
    const auto longer = Entry("c:\\elsewhere\\", "abcdefghijklm.exe");
    EXPECT_TRUE(NameAndPlaceMatch(longer, FactsOf("C:\\x\\abcdefghijklm.exe"), kSystem));
}

TEST(CandidateRules, DriveRootFirstLevelAndSystemFolder) {
    // A file in a drive root matches an entry whose folder is a drive root.
    EXPECT_TRUE(NameAndPlaceMatch(Entry("[drive]\\", "a.dll"), FactsOf("D:\\a.dll"), kSystem));
    EXPECT_FALSE(NameAndPlaceMatch(Entry("c:\\x\\", "a.dll"), FactsOf("D:\\a.dll"), kSystem));
    // Directly inside a first-level folder, at most one folder name can be shared.
    EXPECT_FALSE(NameAndPlaceMatch(Entry("c:\\x\\", "a.dll"), FactsOf("C:\\X\\a.dll"), kSystem));
    // Under the system folder only entries under it too.
    const auto inSystem = Entry("c:\\windows\\system32\\", "x.dll");
    const auto elsewhere = Entry("c:\\other\\windows\\system32\\", "x.dll");
    const PathFacts candidate = FactsOf("C:\\Windows\\System32\\x.dll");
    EXPECT_TRUE(NameAndPlaceMatch(inSystem, candidate, kSystem));
    EXPECT_FALSE(NameAndPlaceMatch(elsewhere, candidate, kSystem));
    // Deeper folders match by the same agreement rule.
    EXPECT_TRUE(NameAndPlaceMatch(Entry("c:\\p\\vendor\\bin\\", "t.dll"),
                                  FactsOf("E:\\q\\r\\vendor\\bin\\t.dll"), kSystem));
    // The system words: an entry outside "windows" does not claim a file inside it.
    EXPECT_FALSE(SystemWordsAllow(Entry("c:\\vendor\\bin\\", "t.dll"), "c:\\windows\\bin\\t.dll"));
    EXPECT_TRUE(SystemWordsAllow(Entry("c:\\windows\\bin\\", "t.dll"), "c:\\windows\\bin\\t.dll"));
}

// The same decision made by walking the whole table in order.
FileMatch ReferenceMatch(const defs::DefinitionSet& set, const PathFacts& facts) {
    FileMatch m;
    const auto& table = set.FileTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!NameAndPlaceMatch(table[i], facts, kSystem)) continue;
        if (!m.first) m.first = i;
        if (SystemWordsAllow(table[i], facts.folder + facts.name)) {
            m.hit = i;
            break;
        }
    }
    return m;
}

TEST(CandidateIndex, AgreesWithAnInOrderWalkOverRandomTablesAndTrees) {
    const std::vector<std::string> names = {"a.exe", "b.dll", "c.sys", "[drive]d.exe",
                                            "averyveryverylong.exe"};
    const std::vector<std::string> folders = {"",
                                              "[windir]",
                                              "[system]",
                                              "[progfil]Vendor",
                                              "[progfil]Vendor\\bin",
                                              "[drive]",
                                              "[drive]Tools\\Vendor",
                                              "c:\\x\\windows\\system32"};
    std::mt19937 random(20261208);
    int hits = 0, namedOnly = 0;
    for (int round = 0; round < 60; ++round) {
        FakeMachine m;
        std::vector<std::string> lines;
        const int n = 1 + static_cast<int>(random() % 200);
        for (int i = 0; i < n; ++i) {
            lines.push_back(names[random() % names.size()] + "=T" + std::to_string(i) + "|" +
                            folders[random() % folders.size()] + "|Adware");
        }
        m.PutDefinitionFile("FileDefinition.dat", lines);
        defs::DefinitionSet set;
        test::ScriptedLoadControl control;
        set.Load(defs::DefinitionFiles(m.files, FakeMachine::kDataFolder), m.files,
                 defs::PathTokenExpander(m.shell), defs::SafetyList{}, control);
        for (int probe = 0; probe < 100; ++probe) {
            const std::string drive = random() % 2 ? "C:" : "D:";
            std::string folder = drive + "\\";
            const int depth = static_cast<int>(random() % 4);
            for (int d = 0; d < depth; ++d) {
                const char* parts[] = {"windows", "system32", "Program Files", "Vendor", "bin",
                                       "Tools",   "x"};
                folder += std::string(parts[random() % 7]) + "\\";
            }
            std::string name = names[random() % names.size()];
            name = text::ReplaceAll(name, "[drive]", drive);
            const PathFacts facts = FactsOf(folder + name);
            const FileMatch fast = FindFileMatch(set, facts, kSystem);
            const FileMatch slow = ReferenceMatch(set, facts);
            ASSERT_EQ(fast.first, slow.first) << folder << name;
            ASSERT_EQ(fast.hit, slow.hit) << folder << name;
            hits += slow.hit ? 1 : 0;
            namedOnly += slow.first && !slow.hit ? 1 : 0;
        }
    }
    // The probes must exercise both outcomes, or the comparison proves little.
    EXPECT_GT(hits, 100);
    EXPECT_GT(namedOnly, 10);
}

// The folder decision made by walking the whole FolderTable in order.
FileMatch ReferenceFolderMatch(const defs::DefinitionSet& set, std::string_view folder,
                               std::string_view drive) {
    FileMatch m;
    const auto& table = set.FolderTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const std::string f = defs::DefinitionSet::FolderKey(
            text::ReplaceAllNoCase(table[i].folderPath, "[drive]", drive));
        if (f != folder) continue;
        // The place and word rules, written out as for files.
        const defs::FileTableEntry asFile{table[i].folderPath, "x", "", ""};
        PathFacts facts;
        facts.folder = std::string(folder);
        facts.name = "x";
        facts.drive = std::string(drive);
        if (!NameAndPlaceMatch(asFile, facts, kSystem)) continue;
        if (!m.first) m.first = i;
        if (SystemWordsAllow(asFile, folder)) {
            m.hit = i;
            break;
        }
    }
    return m;
}

TEST(CandidateIndex, FolderIndexAgreesWithAnInOrderWalk) {
    // The usual "[drive]\\path" form, and the token in another case, inside the path, twice,
    // with blanks around, or alone.
    const std::vector<std::string> folders = {"[progfil]Vendor",
                                              "[progfil]Vendor\\bin",
                                              "[drive]\\Tools\\Vendor",
                                              "[drive]\\Vendor",
                                              "[windir]Vendor",
                                              "[system]Vendor",
                                              "[DRIVE]\\tools\\vendor\\",
                                              " [Drive]\\Vendor ",
                                              "[drive]\\[drive]Vendor",
                                              "C:[drive]\\Vendor",
                                              "[drive]",
                                              "[drive] \\Vendor"};
    const std::vector<std::string> probes = {"c:\\program files\\vendor",
                                             "c:\\program files\\vendor\\bin",
                                             "c:\\tools\\vendor",
                                             "d:\\tools\\vendor",
                                             "c:\\vendor",
                                             "c:\\windows\\vendor",
                                             "c:\\windows\\system32\\vendor",
                                             "c:\\c:vendor",
                                             "c:",
                                             "d:\\vendor"};
    std::mt19937 random(8122026);
    int hits = 0;
    for (int round = 0; round < 40; ++round) {
        FakeMachine m;
        std::vector<std::string> lines;
        const int n = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < n; ++i) {
            lines.push_back("Vendor=F" + std::to_string(i) + "|" +
                            folders[random() % folders.size()] + "|Adware");
        }
        m.PutDefinitionFile("DirectoryDefinition.dat", lines);
        defs::DefinitionSet set;
        test::ScriptedLoadControl control;
        set.Load(defs::DefinitionFiles(m.files, FakeMachine::kDataFolder), m.files,
                 defs::PathTokenExpander(m.shell), defs::SafetyList{}, control);
        for (const auto& probe : probes) {
            const std::string drive = probe.substr(0, 2);
            const FileMatch fast = FindFolderMatch(set, probe, drive, kSystem);
            const FileMatch slow = ReferenceFolderMatch(set, probe, drive);
            ASSERT_EQ(fast.first, slow.first) << probe;
            ASSERT_EQ(fast.hit, slow.hit) << probe;
            hits += slow.hit ? 1 : 0;
        }
    }
    EXPECT_GT(hits, 40);
}

TEST(FileScan, FindsTheChosenFileThroughTheInMemoryDefinitions) {
    test::FakeApplication fake;
    FakeMachine& m = fake.m;
    m.PutCompleteDefinitionSet();
    m.PutDefinitionFile("FileDefinition.dat", {"adbar.exe=Demo AdBar|[progfil]Demo\\AdBar|TYPE",
                                               "ms.exe=Signed|[progfil]Demo\\AdBar|Adware"});
    m.files.PutFile("C:\\Program Files\\Demo\\AdBar\\AdBar.exe", "MZ");
    ui::FrmMain& form = fake.form;
    form.SelectScanKind(ui::ScanKind::File);
    m.pickers.file = "D:\\Backup\\Demo\\AdBar\\AdBar.exe";
    fake.app.StartScan();
    const auto& results = form.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows;
    ASSERT_EQ(results.size(), 1u);
    // Found by a candidate check: lower-case location, "TYPE" read as "Spyware".
    EXPECT_EQ(results[0].SubItem(1), "d:\\backup\\demo\\adbar\\adbar.exe");
    EXPECT_EQ(results[0].SubItem(2), "Spyware");
    EXPECT_EQ(results[0].SubItem(3), "Medium/High");
    EXPECT_EQ(form.lvwFilesToBeDeleted.rows[0].SubItem(1), "Demo AdBar");
    EXPECT_EQ(form.lblFilesFolderInspected.caption, "1");
    EXPECT_EQ(form.lblStatus.caption, "Scanning complete.");
}

}  // namespace
}  // namespace qm::scan
