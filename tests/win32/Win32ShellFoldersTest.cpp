// Win32ShellFolders against the prefix's shell.
#include "platform/win32/Win32ShellFolders.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include "platform/win32/WinApi.h"
#include "text/Text.h"

namespace qm::platform::win32 {
namespace {

bool IsFolder(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string WithoutTrailingSeparator(std::string path) {
    if (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

class Win32ShellFoldersTest : public ::testing::Test {
  protected:
    Win32ShellFolders shell_;
};

TEST_F(Win32ShellFoldersTest, ApplicationDataIsTheRoamingFolderWithoutATrailingSeparator) {
    const auto appData = shell_.SpecialFolder(CSIDL_APPDATA);
    ASSERT_TRUE(appData);
    EXPECT_TRUE(text::EndsWith(text::Lower(*appData), "\\appdata\\roaming")) << *appData;
    EXPECT_TRUE(IsFolder(*appData)) << *appData;
}

TEST_F(Win32ShellFoldersTest, BothRoutesAgreeOnFileSystemFolders) {
    for (const int csidl : {CSIDL_APPDATA, CSIDL_PROGRAM_FILES, CSIDL_WINDOWS, CSIDL_COOKIES,
                            CSIDL_STARTUP, CSIDL_PERSONAL}) {
        const auto byPath = shell_.SpecialFolder(csidl);
        const auto byIdList = shell_.SpecialFolderByIdList(csidl);
        ASSERT_TRUE(byPath) << "CSIDL " << csidl;
        ASSERT_TRUE(byIdList) << "CSIDL " << csidl;
        // The item-id route may end the path with a separator (Wine does for folders that are
        // links to the user's home); the folder is the same.
        EXPECT_TRUE(text::EqualsNoCase(*byPath, WithoutTrailingSeparator(*byIdList)))
            << *byPath << " / " << *byIdList;
        // Both start with a drive, the part the drive-root lookup keeps.
        ASSERT_GE(byIdList->size(), 3u);
        EXPECT_EQ(byIdList->substr(1, 2), ":\\") << *byIdList;
    }
    EXPECT_TRUE(text::EqualsNoCase(*shell_.SpecialFolder(CSIDL_WINDOWS), "C:\\windows"));
}

TEST_F(Win32ShellFoldersTest, FoldersTheSystemDoesNotProvideAreNothing) {
    // The non-localized Startup folder is not provided here.
    EXPECT_EQ(shell_.SpecialFolder(CSIDL_ALTSTARTUP), std::nullopt);
    EXPECT_EQ(shell_.SpecialFolderByIdList(CSIDL_ALTSTARTUP), std::nullopt);
    // Virtual folders have an item-id list but no path.
    EXPECT_EQ(shell_.SpecialFolderByIdList(CSIDL_DRIVES), std::nullopt);
    EXPECT_EQ(shell_.SpecialFolderByIdList(CSIDL_BITBUCKET), std::nullopt);
    // Not a CSIDL at all.
    EXPECT_EQ(shell_.SpecialFolder(0x7fff), std::nullopt);
    EXPECT_EQ(shell_.SpecialFolderByIdList(0x7fff), std::nullopt);
}

TEST_F(Win32ShellFoldersTest, SystemDirectoryIsSystem32) {
    const std::string system = shell_.SystemDirectory();
    EXPECT_TRUE(text::EndsWith(text::Lower(system), "\\system32")) << system;
    EXPECT_EQ(system.find('\0'), std::string::npos);
    EXPECT_TRUE(IsFolder(system)) << system;
}

}  // namespace
}  // namespace qm::platform::win32
