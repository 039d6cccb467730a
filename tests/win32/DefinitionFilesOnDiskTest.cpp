// The core's definition file set on real files: presence, counting and the deletion of an
// incomplete set go through Win32FileSystem and the prefix's file system.
#include <gtest/gtest.h>

#include <vector>

#include "TempFolder.h"
#include "definitions/DefinitionFiles.h"
#include "definitions/LineScramble.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/WinApi.h"
#include "text/TextFile.h"

namespace qm::defs {
namespace {

using wintest::PathExists;

class DefinitionFilesOnDiskTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(fs_.CreateFolder(dataFolder_));
        const std::vector<std::pair<const char*, std::vector<std::string>>> contents = {
            {file::kFiles, {"spy.exe|1", "keylog.dll|2", "toolbar.dll|3"}},
            {file::kFolders, {"[programfiles]SpyTool"}},
            {file::kRegistry, {"Software\\SpyTool|1", "Software\\Hijack|2"}},
            {file::kPrograms, {"spytool.exe"}},
            {file::kCookies, {"adserver", "tracker", "clicks", "banner"}},
        };
        for (const auto& [name, plainLines] : contents) {
            std::vector<std::string> scrambled;
            for (const auto& line : plainLines)
                scrambled.push_back(EncodeLine(line));
            ASSERT_TRUE(text::WriteAllLines(fs_, defs_.PathOf(name), scrambled)) << name;
        }
        defs_.WriteDefinitionDate("12/8/2026 8:46:21 PM");
    }

    platform::win32::Win32FileSystem fs_;
    wintest::TempFolder temp_;
    // A DataFolder below the temporary folder, created by the test like the program does.
    std::string dataFolder_ = temp_ / "AntiSpywareDAT";
    DefinitionFiles defs_{fs_, dataFolder_};
};

TEST_F(DefinitionFilesOnDiskTest, ACompleteSetIsKeptAndCounted) {
    EXPECT_TRUE(defs_.CheckDefinitionFiles());
    const SignatureCounts counts = defs_.CountDefinitions();
    EXPECT_EQ(counts.files, 4);  // file and folder signatures together
    EXPECT_EQ(counts.registry, 2);
    EXPECT_EQ(counts.programs, 1);
    EXPECT_EQ(counts.cookies, 4);
    EXPECT_EQ(defs_.ReadDefinitionDate(), "12/8/2026 8:46:21 PM");

    // What was written reads back decoded.
    const auto lines = text::ReadAllLines(fs_, defs_.PathOf(file::kRegistry));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(DecodeLine(lines[1]), "Software\\Hijack|2");
}

TEST_F(DefinitionFilesOnDiskTest, AMissingFileDeletesTheWholeSetAndTheDate) {
    ASSERT_TRUE(fs_.DeleteFile(defs_.PathOf(file::kCookies)));
    EXPECT_FALSE(defs_.CheckDefinitionFiles());
    for (const char* name :
         {file::kFiles, file::kFolders, file::kRegistry, file::kPrograms, file::kDate}) {
        EXPECT_FALSE(PathExists(defs_.PathOf(name))) << name << " was left behind";
    }
    EXPECT_TRUE(PathExists(dataFolder_));
    EXPECT_EQ(defs_.ReadDefinitionDate(), kDefaultDefinitionDate);
}

// A definition file hidden by the user (attrib +h) or a backup tool is still the user's set:
// the next scan must not take it for missing and delete all five files.
TEST_F(DefinitionFilesOnDiskTest, AHiddenOrSystemDefinitionFileIsPresentAndNothingIsDeleted) {
    ASSERT_TRUE(::SetFileAttributesA(defs_.PathOf(file::kFiles).c_str(),
                                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(defs_.AllRequiredPresent());
    EXPECT_TRUE(defs_.CheckDefinitionFiles());
    for (const char* name :
         {file::kFiles, file::kFolders, file::kRegistry, file::kPrograms, file::kCookies}) {
        EXPECT_TRUE(PathExists(defs_.PathOf(name))) << name;
    }
    EXPECT_EQ(defs_.CountDefinitions().files, 4);
    ::SetFileAttributesA(defs_.PathOf(file::kFiles).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(DefinitionFilesOnDiskTest, DownloadedCopiesReplaceTheInstalledFiles) {
    const std::string downloaded =
        defs_.PathOf(std::string(file::kDownloadPrefix) + file::kCookies);
    ASSERT_TRUE(text::WriteAllLines(fs_, downloaded, {EncodeLine("only")}));
    defs_.InstallDownloadedDefinitions();
    EXPECT_FALSE(PathExists(downloaded));
    EXPECT_EQ(defs_.CountDefinitions().cookies, 1);
    EXPECT_TRUE(defs_.CheckDefinitionFiles());
}

}  // namespace
}  // namespace qm::defs
