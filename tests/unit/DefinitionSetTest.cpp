// The in-memory file and folder signatures (FileTable, FolderTable) and the SafetyList as they
// are loaded from the scrambled definition files.

#include "definitions/DefinitionSet.h"

#include <gtest/gtest.h>

#include "support/FakePlatform.h"
#include "support/ScriptedLoadControl.h"

namespace qm::defs {
namespace {

using test::FakeMachine;
using test::ScriptedLoadControl;

class DefinitionSetTest : public ::testing::Test {
  protected:
    FakeMachine m;
    DefinitionFiles files{m.files, FakeMachine::kDataFolder};
    PathTokenExpander tokens{m.shell};
    ScriptedLoadControl control;
    DefinitionSet set;

    void Load(const SafetyList& safety = SafetyList()) {
        set.Load(files, m.files, tokens, safety, control);
    }
};

void ExpectFile(const FileTableEntry& e, const std::string& folder, const std::string& name,
                const std::string& category, const std::string& threat) {
    EXPECT_EQ(e.folder, folder);
    EXPECT_EQ(e.fileName, name);
    EXPECT_EQ(e.category, category);
    EXPECT_EQ(e.threatName, threat);
}

TEST_F(DefinitionSetTest, FileTableHoldsEachRecordAsTheRulesShapeIt) {
    m.PutDefinitionFile("FileDefinition.dat",
                        {
                            "Bad.EXE =Bad Thing|[WINDIR]System32|TYPE",
                            "",
                            "NoFolder.DLL=No Folder",
                            "drv.exe=Drive Thing|[DRIVE]Temp\\|Adware",
                            "dbl.exe=Double|C:\\\\Apps\\\\Sub\\\\|Trojan",
                            "empty.exe=Empty Folder||Dialer",
                            "lower.exe=Lower Type|[progfil]|type",
                            "noequals.exe|[windir]|Adware",
                            "user.exe=In Profile|[user]Local Settings|Spyware|extra",
                        });
    Load();
    const auto& t = set.FileTable();
    ASSERT_EQ(t.size(), 7u);
    ExpectFile(t[0], "c:\\windows\\system32\\", "bad.exe", "Spyware", "Bad Thing");
    ExpectFile(t[1], "", "nofolder.dll", "", "No Folder");
    ExpectFile(t[2], "[drive]temp\\", "drv.exe", "Adware", "Drive Thing");
    ExpectFile(t[3], "c:\\apps\\sub\\", "dbl.exe", "Trojan", "Double");
    ExpectFile(t[4], "", "empty.exe", "Dialer", "Empty Folder");
    ExpectFile(t[5], "c:\\program files\\", "lower.exe", "type", "Lower Type");
    ExpectFile(t[6], "c:\\users\\tester\\local settings\\", "user.exe", "Spyware", "In Profile");
}

TEST_F(DefinitionSetTest, BackslashRunsReduceTheWayTwoReplacementsDo) {
    // Each reduction turns every pair into one in a single left-to-right pass: three
    // backslashes become two, and the "\" added after the folder can form a new pair.
    m.PutDefinitionFile("FileDefinition.dat",
                        {"a.exe=A|C:\\\\\\x|Adware", "b.exe=B|C:\\x\\\\\\|Adware",
                         "c.exe=C|C:\\x\\|Adware", "d.exe=D|\\|Adware"});
    Load();
    const auto& t = set.FileTable();
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].folder, "c:\\x\\");    // "\\\" -> "\\" ... & "\" -> "\"
    EXPECT_EQ(t[1].folder, "c:\\x\\\\");  // "\\\" -> "\\", & "\" -> "\\\" -> "\\"
    EXPECT_EQ(t[2].folder, "c:\\x\\");
    EXPECT_EQ(t[3].folder, "\\");
}

TEST_F(DefinitionSetTest, LongTextsAreStoredWhole) {
    const std::string longFolder(300000, 'f');
    const std::string longThreat(400000, 'T');
    m.PutDefinitionFile(
        "FileDefinition.dat",
        {"small.exe=S|C:\\s|Adware", "big.exe=" + longThreat + "|C:\\" + longFolder + "|Adware",
         "after.exe=After|C:\\a|Adware"});
    Load();
    const auto& t = set.FileTable();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].folder, "c:\\s\\");
    EXPECT_EQ(t[1].threatName, longThreat);
    EXPECT_EQ(t[1].folder, "c:\\" + longFolder + "\\");
    EXPECT_EQ(t[2].fileName, "after.exe");
    EXPECT_EQ(t[2].folder, "c:\\a\\");
}

TEST_F(DefinitionSetTest, MovedSetKeepsItsEntries) {
    m.PutDefinitionFile("FileDefinition.dat", {"a.exe=A|C:\\x|Adware", "b.exe=B|C:\\y|Trojan"});
    Load();
    DefinitionSet moved = std::move(set);
    ASSERT_EQ(moved.FileTable().size(), 2u);
    EXPECT_EQ(moved.FileTable()[0].fileName, "a.exe");
    EXPECT_EQ(moved.FileTable()[1].folder, "c:\\y\\");
    EXPECT_EQ(moved.FileTable()[1].category, "Trojan");
}

TEST_F(DefinitionSetTest, ThreatNameAndCategoryKeepTheirCase) {
    m.PutDefinitionFile("FileDefinition.dat",
                        {"A.EXE=Mixed CASE Name|C:\\X|Browser Helper Object"});
    Load();
    ASSERT_EQ(set.FileTable().size(), 1u);
    EXPECT_EQ(set.FileTable()[0].threatName, "Mixed CASE Name");
    EXPECT_EQ(set.FileTable()[0].category, "Browser Helper Object");
}

TEST_F(DefinitionSetTest, RecordWithAnEmptyFileNameIsNotStored) {
    // An empty name would end every reader's walk of the table early.
    m.PutDefinitionFile("FileDefinition.dat",
                        {"=No Name|[windir]|Adware", "   =Blank Name|[windir]|Adware",
                         "after.exe=After|[windir]|Adware"});
    Load();
    ASSERT_EQ(set.FileTable().size(), 1u);
    EXPECT_EQ(set.FileTable()[0].fileName, "after.exe");
}

TEST_F(DefinitionSetTest, FolderTableHoldsEachRecordAsTheRulesShapeIt) {
    m.PutDefinitionFile("DirectoryDefinition.dat",
                        {
                            "BadFolder=Bad Folder|[progfil]BadFolder\\|Adware",
                            "NoSlash=No Slash|[APPDATA]Vendor\\NoSlash|TYPE",
                            "DriveFolder=On Every Drive|[drive]Evil\\\\|Toolbar",
                            "NoPath=No Path",
                            "EmptyPath=Empty Path||Adware",
                            "noequals|[windir]x|Adware",
                        });
    Load();
    const auto& t = set.FolderTable();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].folderPath, "c:\\program files\\badfolder");
    EXPECT_EQ(t[0].folderName, "badfolder");
    EXPECT_EQ(t[0].category, "Adware");
    EXPECT_EQ(t[0].threatName, "Bad Folder");
    EXPECT_EQ(t[1].folderPath, "c:\\users\\tester\\appdata\\roaming\\vendor\\noslash");
    EXPECT_EQ(t[1].category, "TYPE");  // the placeholder rule is the file table's only
    EXPECT_EQ(t[2].folderPath, "[drive]evil");
    EXPECT_EQ(t[2].folderName, "drivefolder");
}

TEST_F(DefinitionSetTest, SafeListedRecordsAreNotStored) {
    m.PutDefinitionFile("FileDefinition.dat",
                        {"notepad.exe=Fake|[windir]|Adware", "explorer.exe=Fake Explorer",
                         "bad.exe=Bad|[windir]|Adware"});
    m.PutDefinitionFile("DirectoryDefinition.dat",
                        {"system32=Fake|[windir]system32\\|Adware", "bad=Bad|[windir]bad|Adware"});
    // Entries match whatever their case and trailing separator; a record without a folder is
    // checked by its bare file name.
    const SafetyList safety(
        {"C:\\WINDOWS\\notepad.exe", "explorer.exe", "c:\\windows\\system32\\"});
    Load(safety);
    ASSERT_EQ(set.FileTable().size(), 1u);
    EXPECT_EQ(set.FileTable()[0].fileName, "bad.exe");
    ASSERT_EQ(set.FolderTable().size(), 1u);
    EXPECT_EQ(set.FolderTable()[0].folderName, "bad");
}

TEST_F(DefinitionSetTest, ProtectedFolderDoesNotProtectTheFilesInIt) {
    m.PutDefinitionFile("FileDefinition.dat", {"bad.exe=Bad|[windir]|Adware"});
    Load(SafetyList({"C:\\windows"}));
    EXPECT_EQ(set.FileTable().size(), 1u);
}

TEST_F(DefinitionSetTest, EachTableHoldsAtMost100001Records) {
    std::vector<std::string> fileLines, folderLines;
    for (int i = 0; i < 100003; ++i) {
        const std::string n = std::to_string(i);
        fileLines.push_back("f" + n + ".exe=T" + n + "|C:\\d|Adware");
        folderLines.push_back("d" + n + "=T" + n + "|C:\\d" + n + "|Adware");
    }
    m.PutDefinitionFile("FileDefinition.dat", fileLines);
    m.PutDefinitionFile("DirectoryDefinition.dat", folderLines);
    Load();
    ASSERT_EQ(set.FileTable().size(), DefinitionSet::kCapacity);
    ASSERT_EQ(DefinitionSet::kCapacity, 100001u);
    EXPECT_EQ(set.FileTable().back().fileName, "f100000.exe");
    ASSERT_EQ(set.FolderTable().size(), 100001u);
    EXPECT_EQ(set.FolderTable().back().folderName, "d100000");
}

TEST_F(DefinitionSetTest, SecondLoadChangesNothing) {
    m.PutDefinitionFile("FileDefinition.dat", {"a.exe=A|C:\\x|Adware"});
    Load();
    ASSERT_TRUE(set.Loaded());
    m.PutDefinitionFile("FileDefinition.dat", {"b.exe=B|C:\\y|Adware", "c.exe=C|C:\\z|Adware"});
    m.PutDefinitionFile("DirectoryDefinition.dat", {"d=D|C:\\d|Adware"});
    const int opened = m.files.openCount;
    Load();
    ASSERT_EQ(set.FileTable().size(), 1u);
    EXPECT_EQ(set.FileTable()[0].fileName, "a.exe");
    EXPECT_TRUE(set.FolderTable().empty());
    EXPECT_EQ(m.files.openCount, opened);
}

// A set stopped part-way would let a later scan call the machine clean of threats it never
// looked for: it is dropped, and the next load reads the files whole.
TEST_F(DefinitionSetTest, AStoppedLoadIsDroppedAndTheNextLoadReadsEverything) {
    std::vector<std::string> lines;
    for (int i = 0; i < 50; ++i)
        lines.push_back("f" + std::to_string(i) + ".exe=T|C:\\x|Adware");
    m.PutDefinitionFile("FileDefinition.dat", lines);
    m.PutDefinitionFile("DirectoryDefinition.dat", {"d=D|C:\\d|Adware"});
    // The click arrives while the tenth line's events run.
    control.stopAfterEvents = 10;
    Load();
    EXPECT_FALSE(set.Loaded());
    EXPECT_TRUE(set.FileTable().empty());
    EXPECT_TRUE(set.FolderTable().empty());

    control.stop = false;
    control.stopAfterEvents = -1;
    Load();
    EXPECT_TRUE(set.Loaded());
    EXPECT_EQ(set.FileTable().size(), 50u);
    EXPECT_EQ(set.FolderTable().size(), 1u);
}

TEST_F(DefinitionSetTest, StopBeforeLoadingReadsNothing) {
    m.PutDefinitionFile("FileDefinition.dat", {"a.exe=A|C:\\x|Adware"});
    control.stop = true;
    Load();
    EXPECT_TRUE(set.FileTable().empty());
}

TEST_F(DefinitionSetTest, EventsRunAfterEveryLine) {
    m.PutDefinitionFile("FileDefinition.dat", {"a.exe=A|C:\\x|Adware", "junk", "b.exe=B"});
    m.PutDefinitionFile("DirectoryDefinition.dat", {"d=D|C:\\d|Adware", "e=E|C:\\e|Adware"});
    Load();
    EXPECT_GE(control.events, 5);
}

TEST_F(DefinitionSetTest, MissingFilesGiveEmptyTables) {
    Load();
    EXPECT_TRUE(set.Loaded());
    EXPECT_TRUE(set.FileTable().empty());
    EXPECT_TRUE(set.FolderTable().empty());
}

TEST_F(DefinitionSetTest, RecordHoldingCodes201And204LoadsIntact) {
    // The scramble turns "\xC9" (201) into LF and "\xCC" (204) into CR inside the stored line.
    m.PutDefinitionFile("FileDefinition.dat",
                        {"\xC9tude.exe=\xC9tude|C:\\\xCCle|Adware", "next.exe=Next|C:\\n|Adware"});
    Load();
    ASSERT_EQ(set.FileTable().size(), 2u);
    EXPECT_EQ(set.FileTable()[0].fileName, "\xE9tude.exe");
    EXPECT_EQ(set.FileTable()[0].folder, "c:\\\xECle\\");
    EXPECT_EQ(set.FileTable()[0].threatName, "\xC9tude");
    EXPECT_EQ(set.FileTable()[1].fileName, "next.exe");
}

// ---- SafetyList from Safety.dat ---------------------------------------------------------------

std::vector<std::string> UsableEntries(const SafetyList& list) {
    std::vector<std::string> out;
    for (const auto& e : list.Entries()) {
        if (!SafetyList::NormalizeEntry(e).empty()) out.push_back(e);
    }
    return out;
}

TEST_F(DefinitionSetTest, SafetyListIsBuiltFromTheScrambledSafetyFile) {
    m.PutDefinitionFile("Safety.dat",
                        {
                            "SDIR|Windows=x|[drive]Windows",
                            "SDIR|Temp=x|[drive]\\Temp\\",
                            "SDIR|Other case=x|[DRIVE]Temp",
                            "SFILE|Notepad=x|[windir]notepad.exe",
                            "SEXE|explorer.exe=Explorer|",
                            "SREG|Run=x|2^SOFTWARE\\Microsoft\\Windows\\CurrentVersion^Run",
                            "SREG|Odd=x|7^Software\\Odd",
                            "BOGUS|x=y|C:\\bogus",
                            "line without a bar",
                            "",
                            "SDLL|l=x|C:\\\\Windows\\\\\\\\System32\\\\a.dll",
                        });
    const SafetyList list = LoadSafetyList(files, m.files, tokens, "D:\\", control);
    EXPECT_EQ(UsableEntries(list), (std::vector<std::string>{
                                       "D:\\Windows",
                                       "D:\\Temp\\",
                                       "[DRIVE]Temp",
                                       "C:\\windows\\notepad.exe",
                                       "explorer.exe",
                                       "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
                                       "CurrentVersion\\Run",
                                       "\\Software\\Odd",
                                       "C:\\Windows\\System32\\a.dll",
                                   }));
    EXPECT_TRUE(list.IsSafeLocation("C:\\WINDOWS\\notepad.exe"));
    EXPECT_TRUE(list.IsSafeLocation("HKEY_LOCAL_MACHINE\\"));
}

TEST_F(DefinitionSetTest, SafetyListWithoutTheFileIsEmpty) {
    const SafetyList list = LoadSafetyList(files, m.files, tokens, "C:\\", control);
    EXPECT_TRUE(UsableEntries(list).empty());
    EXPECT_FALSE(list.IsSafeLocation("HKEY_LOCAL_MACHINE\\"));
    EXPECT_TRUE(list.IsSafeLocation(""));
}

TEST_F(DefinitionSetTest, SafetyListStopsReadingWhenStopIsRequested) {
    m.PutDefinitionFile("Safety.dat",
                        {"SFILE|a=x|C:\\a.exe", "SFILE|b=x|C:\\b.exe", "SFILE|c=x|C:\\c.exe"});
    control.stopAfterEvents = 2;
    const SafetyList list = LoadSafetyList(files, m.files, tokens, "C:\\", control);
    EXPECT_EQ(UsableEntries(list), (std::vector<std::string>{"C:\\a.exe", "C:\\b.exe"}));
}

}  // namespace
}  // namespace qm::defs
