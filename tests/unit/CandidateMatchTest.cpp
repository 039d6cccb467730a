// The candidate checks: the matching rules, the name and folder indexes against answers worked
// out by hand, and a File Scan end to end.

#include "scan/CandidateMatch.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

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

// A set loaded from one definition file of the fake machine.
struct LoadedSet {
    FakeMachine m;
    defs::DefinitionSet set;
    LoadedSet(const char* file, const std::vector<std::string>& lines) {
        m.PutDefinitionFile(file, lines);
        test::ScriptedLoadControl control;
        set.Load(defs::DefinitionFiles(m.files, FakeMachine::kDataFolder), m.files,
                 defs::PathTokenExpander(m.shell), defs::SafetyList{}, control);
    }
};

using Index = std::optional<std::size_t>;
constexpr Index kNone = std::nullopt;

// The index must give what a walk of the table in order gives: the first entry matching by name
// and place, and the first of those the system words allow. Each expected index below was worked
// out by hand from the rules tested above.
TEST(CandidateIndex, FileLookupKeepsTableOrder) {
    const LoadedSet s("FileDefinition.dat", {
                                                "b.dll=T0|[progfil]Vendor\\bin|Adware",
                                                "a.exe=T1|[windir]Vendor\\bin|Adware",
                                                "b.dll=T2|[windir]Vendor\\bin|Adware",
                                                "b.dll=T3|[windir]Vendor\\bin|Adware",
                                                "[drive]d.exe=T4|[drive]|Adware",
                                                "averyveryverylong.exe=T5|[progfil]Vendor|Adware",
                                                " B.DLL =T6|[drive]|Adware",
                                            });
    struct Case {
        const char* path;
        Index first, hit;
    };
    const Case cases[] = {
        // T0 shares "vendor\bin" but not "windows": named, refused; T2 is the first allowed.
        {"C:\\Windows\\Vendor\\bin\\b.dll", 0, 2},
        {"D:\\Tools\\Vendor\\bin\\B.DLL", 0, 0},
        // One shared folder name is not enough; a drive root wants an entry in a drive root.
        {"C:\\bin\\b.dll", kNone, kNone},
        {"E:\\b.dll", 6, 6},
        // "[drive]" in a name stands for the candidate's own drive.
        {"D:\\D:d.exe", 4, 4},
        {"C:\\D:d.exe", kNone, kNone},
        // A long program name matches anywhere, but the words still apply.
        {"E:\\q\\AVeryVeryVeryLong.exe", 5, 5},
        {"C:\\Windows\\averyveryverylong.exe", 5, kNone},
        {"C:\\Vendor\\bin\\missing.dll", kNone, kNone},
    };
    for (const Case& c : cases) {
        const FileMatch found = FindFileMatch(s.set, FactsOf(c.path), kSystem);
        EXPECT_EQ(found.first, c.first) << c.path;
        EXPECT_EQ(found.hit, c.hit) << c.path;
    }
}

TEST(CandidateIndex, FolderLookupReadsEveryFormOfTheDriveToken) {
    const LoadedSet s("DirectoryDefinition.dat", {
                                                     "Vendor=F0|[progfil]Vendor|Adware",
                                                     "Vendor=F1|[windir]Vendor|Adware",
                                                     "Vendor=F2|[DRIVE]\\tools\\vendor\\|Adware",
                                                     "Vendor=F3|[drive]\\Tools\\Vendor|Adware",
                                                     "Vendor=F4|[drive]\\[drive]Vendor|Adware",
                                                     "Vendor=F5|[drive]|Adware",
                                                     "Vendor=F6|[system]Vendor|Adware",
                                                 });
    struct Case {
        const char* folder;
        Index first, hit;
    };
    const Case cases[] = {
        {"c:\\program files\\vendor", 0, 0},
        // The token in capitals with a trailing separator is the first of two equal entries.
        {"d:\\tools\\vendor", 2, 2},
        {"c:\\tools\\vendor", 2, 2},
        // Under "windows" only an entry naming it is allowed.
        {"c:\\windows\\vendor", 1, 1},
        {"c:\\windows\\system32\\vendor", 6, 6},
        // The token twice is put in twice: "d:\d:vendor" is not a folder the walk meets.
        {"d:\\vendor", kNone, kNone},
        {"e:\\elsewhere\\vendor", kNone, kNone},
    };
    for (const Case& c : cases) {
        const std::string drive = std::string(c.folder).substr(0, 2);
        const FileMatch found = FindFolderMatch(s.set, c.folder, drive, kSystem);
        EXPECT_EQ(found.first, c.first) << c.folder;
        EXPECT_EQ(found.hit, c.hit) << c.folder;
    }
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
