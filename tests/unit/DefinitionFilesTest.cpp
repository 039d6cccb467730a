// The definition file set as a whole: the presence check that deletes an incomplete set, the
// signature counts, the installation of downloaded copies and the definition date stamp.

#include "definitions/DefinitionFiles.h"

#include <gtest/gtest.h>

#include "support/FakePlatform.h"

namespace qm::defs {
namespace {

using test::FakeMachine;

const char* const kRequired[] = {"FileDefinition.dat", "RegistryDefinition.dat",
                                 "ExeDefinition.dat", "BlockedCookies.dat",
                                 "DirectoryDefinition.dat"};

class DefinitionFilesTest : public ::testing::Test {
  protected:
    FakeMachine m;
    DefinitionFiles defs{m.files, FakeMachine::kDataFolder};

    std::string Path(const std::string& name) const {
        return std::string(FakeMachine::kDataFolder) + "\\" + name;
    }
    bool Has(const std::string& name) const { return m.files.Has(Path(name)); }
    void Put(const std::string& name, std::string content = "x\r\n",
             std::uint32_t attributes = platform::attr::kArchive) {
        m.files.PutFile(Path(name), std::move(content), attributes);
    }
    void PutAll() {
        for (const char* name : kRequired)
            Put(name);
        Put("date.dat", "5/1/2026 10:00:00 AM\r\n");
        Put("Safety.dat");
        Put("ENoSignature.dat");
    }
};

TEST_F(DefinitionFilesTest, PathOfJoinsWithOneBackslash) {
    EXPECT_EQ(defs.PathOf("date.dat"), Path("date.dat"));
    DefinitionFiles trailing(m.files, std::string(FakeMachine::kDataFolder) + "\\");
    EXPECT_EQ(trailing.PathOf("date.dat"), Path("date.dat"));
}

TEST_F(DefinitionFilesTest, CompleteSetPassesAndNothingIsDeleted) {
    PutAll();
    EXPECT_TRUE(defs.CheckDefinitionFiles());
    for (const char* name : kRequired)
        EXPECT_TRUE(Has(name)) << name;
    EXPECT_TRUE(Has("date.dat"));
}

TEST_F(DefinitionFilesTest, SafetyFileIsNotRequired) {
    PutAll();
    m.files.DeleteFile(Path("Safety.dat"));
    EXPECT_TRUE(defs.CheckDefinitionFiles());
}

class MissingDefinitionFile : public DefinitionFilesTest,
                              public ::testing::WithParamInterface<const char*> {};

TEST_P(MissingDefinitionFile, FailsAndDeletesTheWholeSetAndTheDateButNotSafety) {
    PutAll();
    m.files.DeleteFile(Path(GetParam()));
    EXPECT_FALSE(defs.CheckDefinitionFiles());
    for (const char* name : kRequired)
        EXPECT_FALSE(Has(name)) << name;
    EXPECT_FALSE(Has("date.dat"));
    EXPECT_TRUE(Has("Safety.dat"));
    EXPECT_TRUE(Has("ENoSignature.dat"));
    EXPECT_EQ(defs.ReadDefinitionDate(), kDefaultDefinitionDate);
}

INSTANTIATE_TEST_SUITE_P(EachRequiredFile, MissingDefinitionFile, ::testing::ValuesIn(kRequired),
                         [](const ::testing::TestParamInfo<const char*>& p) {
                             std::string name = p.param;
                             return name.substr(0, name.find('.'));
                         });

// A hidden, system or read-only definition file is still the user's definition set: treating
// it as missing would delete all five files at the next scan.
TEST_F(DefinitionFilesTest, DefinitionFileIsPresentWhateverItsAttributes) {
    for (std::uint32_t attributes :
         {platform::attr::kHidden, platform::attr::kSystem, platform::attr::kReadOnly,
          platform::attr::kHidden | platform::attr::kSystem | platform::attr::kArchive}) {
        PutAll();
        Put("BlockedCookies.dat", "x\r\n", attributes);
        EXPECT_TRUE(defs.AllRequiredPresent()) << attributes;
        EXPECT_TRUE(defs.CheckDefinitionFiles()) << attributes;
        EXPECT_TRUE(Has("FileDefinition.dat")) << attributes;
        EXPECT_TRUE(Has("BlockedCookies.dat")) << attributes;
    }
}

TEST_F(DefinitionFilesTest, FolderWithADefinitionFilesNameCountsAsMissing) {
    PutAll();
    m.files.DeleteFile(Path("ExeDefinition.dat"));
    m.files.PutFolder(Path("ExeDefinition.dat"));
    EXPECT_FALSE(defs.CheckDefinitionFiles());
}

TEST_F(DefinitionFilesTest, PresenceTestAloneDeletesNothing) {
    PutAll();
    m.files.DeleteFile(Path("BlockedCookies.dat"));
    EXPECT_FALSE(defs.AllRequiredPresent());
    EXPECT_TRUE(Has("FileDefinition.dat"));
    EXPECT_TRUE(Has("date.dat"));
}

TEST_F(DefinitionFilesTest, DeleteWithNothingThereIsHarmless) {
    defs.DeleteDefinitionFiles();
    EXPECT_FALSE(defs.CheckDefinitionFiles());
}

// ---- Signature counts -------------------------------------------------------------------------

TEST_F(DefinitionFilesTest, NoFilesCountNothing) {
    const SignatureCounts c = defs.CountDefinitions();
    EXPECT_EQ(c.Total(), 0);
    EXPECT_EQ(c.cookies, 0);
    EXPECT_EQ(c.files, 0);
    EXPECT_EQ(c.registry, 0);
    EXPECT_EQ(c.programs, 0);
}

TEST_F(DefinitionFilesTest, EveryLineCountsBlankOnesIncludedWithoutDecoding) {
    Put("BlockedCookies.dat", "a\r\n\r\nb\r\n");               // 3
    Put("ExeDefinition.dat", "one line without end");          // 1
    Put("RegistryDefinition.dat", "\r\n\r\n\r\n\r\n");         // 4
    Put("FileDefinition.dat", "f1\r\nf2\r\n");                 // 2
    Put("DirectoryDefinition.dat", "d1\r\nd2\r\nd3\r\n\r\n");  // 4
    Put("Safety.dat", "s\r\ns\r\n");                           // not a signature file
    const SignatureCounts c = defs.CountDefinitions();
    EXPECT_EQ(c.cookies, 3);
    EXPECT_EQ(c.programs, 1);
    EXPECT_EQ(c.registry, 4);
    EXPECT_EQ(c.files, 6);  // file and folder signatures together
    EXPECT_EQ(c.Total(), 14);
}

TEST_F(DefinitionFilesTest, ScrambledLinesHoldingLineFeedBytesCountOnce) {
    // Code 201 scrambles to LF and 204 to CR: inside a scrambled line they are text.
    m.PutDefinitionFile("FileDefinition.dat",
                        {"\xC9tude.exe=Etude|[windir]|Adware", "\xCC.exe=I|[windir]|Adware"});
    EXPECT_EQ(defs.CountDefinitions().files, 2);
}

// ---- Downloaded copies ------------------------------------------------------------------------

TEST_F(DefinitionFilesTest, DownloadedCopiesReplaceTheFourUpdatedFiles) {
    for (const char* name : {"BlockedCookies.dat", "RegistryDefinition.dat", "FileDefinition.dat",
                             "ExeDefinition.dat"}) {
        Put(name, "old\r\n");
        Put(std::string("DL") + name, std::string("new ") + name);
    }
    defs.InstallDownloadedDefinitions();
    for (const char* name : {"BlockedCookies.dat", "RegistryDefinition.dat", "FileDefinition.dat",
                             "ExeDefinition.dat"}) {
        EXPECT_EQ(m.files.Content(Path(name)), std::string("new ") + name);
        EXPECT_FALSE(Has(std::string("DL") + name)) << name;
    }
}

TEST_F(DefinitionFilesTest, DownloadedCopyIsInstalledWhenNoFileIsThere) {
    Put("DLExeDefinition.dat", "fresh");
    defs.InstallDownloadedDefinitions();
    EXPECT_EQ(m.files.Content(Path("ExeDefinition.dat")), "fresh");
    EXPECT_FALSE(Has("DLExeDefinition.dat"));
}

TEST_F(DefinitionFilesTest, FolderAndSafetyFilesHaveNoDownloadStep) {
    Put("DirectoryDefinition.dat", "old dirs");
    Put("Safety.dat", "old safety");
    Put("DLDirectoryDefinition.dat", "new dirs");
    Put("DLSafety.dat", "new safety");
    defs.InstallDownloadedDefinitions();
    EXPECT_EQ(m.files.Content(Path("DirectoryDefinition.dat")), "old dirs");
    EXPECT_EQ(m.files.Content(Path("Safety.dat")), "old safety");
    EXPECT_TRUE(Has("DLDirectoryDefinition.dat"));
    EXPECT_TRUE(Has("DLSafety.dat"));
}

TEST_F(DefinitionFilesTest, FailedReplacementKeepsTheInstalledFile) {
    Put("FileDefinition.dat", "installed");
    Put("DLFileDefinition.dat", "downloaded");
    m.files.failMoves = true;
    defs.InstallDownloadedDefinitions();
    EXPECT_EQ(m.files.Content(Path("FileDefinition.dat")), "installed");
    EXPECT_EQ(m.files.Content(Path("DLFileDefinition.dat")), "downloaded");

    // The next start installs it.
    m.files.failMoves = false;
    defs.InstallDownloadedDefinitions();
    EXPECT_EQ(m.files.Content(Path("FileDefinition.dat")), "downloaded");
}

TEST_F(DefinitionFilesTest, NothingToInstallChangesNothing) {
    Put("FileDefinition.dat", "installed");
    defs.InstallDownloadedDefinitions();
    EXPECT_EQ(m.files.Content(Path("FileDefinition.dat")), "installed");
}

// ---- Definition date --------------------------------------------------------------------------

TEST_F(DefinitionFilesTest, DateWithoutStampIsTheDefault) {
    EXPECT_EQ(defs.ReadDefinitionDate(), "3/16/2006 12:00:00 AM");
}

TEST_F(DefinitionFilesTest, DateIsTheStampsFirstLine) {
    Put("date.dat", "7/4/2026 1:02:03 PM\r\nsecond line\r\n");
    EXPECT_EQ(defs.ReadDefinitionDate(), "7/4/2026 1:02:03 PM");
}

TEST_F(DefinitionFilesTest, WrittenDateReadsBackAndIsTheOnlyLine) {
    Put("date.dat", "1/1/2020 12:00:00 AM\r\nstale second line\r\n");
    defs.WriteDefinitionDate("12/8/2026 8:46:21 PM");
    EXPECT_EQ(defs.ReadDefinitionDate(), "12/8/2026 8:46:21 PM");
    EXPECT_EQ(m.files.Content(Path("date.dat")), "12/8/2026 8:46:21 PM\r\n");
}

TEST_F(DefinitionFilesTest, WrittenDateCreatesTheStamp) {
    defs.WriteDefinitionDate("2/2/2027 2:02:02 AM");
    EXPECT_EQ(m.files.Content(Path("date.dat")), "2/2/2027 2:02:02 AM\r\n");
}

TEST_F(DefinitionFilesTest, FailedDateWriteKeepsTheOldDate) {
    Put("date.dat", "5/1/2026 10:00:00 AM\r\n");
    m.files.failWrites = true;
    defs.WriteDefinitionDate("12/8/2026 8:46:21 PM");
    EXPECT_EQ(defs.ReadDefinitionDate(), "5/1/2026 10:00:00 AM");
}

}  // namespace
}  // namespace qm::defs
