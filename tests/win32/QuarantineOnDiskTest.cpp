// The quarantine on real files and folders: copies before deletions, a name clash kept twice,
// a read-only folder tree copied and removed, a locked file left in place, and restores that
// bring back every byte and never overwrite.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WinApi.h"
#include "removal/QuarantineStore.h"

namespace qm::removal {
namespace {

struct NoEvents final : defs::LoadControl {
    bool StopRequested() const override { return false; }
    void LetEventsRun() override {}
};

TEST(QuarantineOnDiskTest, ItemsAreBackedUpBeforeTheyAreDeleted) {
    wintest::TempFolder temp;
    platform::win32::Win32Platform machine;
    NoEvents events;
    QuarantineStore store(machine.platform, temp / "data", events);
    store.logging = true;
    ASSERT_TRUE(machine.files.CreateFolder(temp / "a"));
    ASSERT_TRUE(machine.files.CreateFolder(temp / "b"));
    wintest::PutFile(temp / "a\\bar.dll", "first");
    wintest::PutFile(temp / "b\\bar.dll", "second");
    EXPECT_TRUE(store.QuarantineFile(temp / "a\\bar.dll", "bar.dll"));
    EXPECT_TRUE(store.QuarantineItem(temp / "b\\bar.dll"));
    EXPECT_FALSE(wintest::PathExists(temp / "a\\bar.dll"));
    EXPECT_EQ(wintest::FileContent(store.Folder() + "\\bar.dll"), "first");
    EXPECT_EQ(wintest::FileContent(store.Folder() + "\\bar (2).dll"), "second");
    const auto log = wintest::FileContent(store.LogPath()).value_or("");
    EXPECT_NE(
        log.find(" - File: bar (2).dll\r\n - Location: " + (temp / "b\\bar.dll") + "\r\n\r\n\r\n"),
        std::string::npos)
        << log;
    // The next run knows nothing of the names this one took: its copy takes the first free
    // one and overwrites neither.
    QuarantineStore nextRun(machine.platform, temp / "data", events);
    wintest::PutFile(temp / "a\\bar.dll", "third");
    EXPECT_TRUE(nextRun.QuarantineItem(temp / "a\\bar.dll"));
    EXPECT_EQ(wintest::FileContent(store.Folder() + "\\bar.dll"), "first");
    EXPECT_EQ(wintest::FileContent(store.Folder() + "\\bar (2).dll"), "second");
    EXPECT_EQ(wintest::FileContent(store.Folder() + "\\bar (3).dll"), "third");

    // A folder with a read-only file and a subfolder goes whole.
    ASSERT_TRUE(machine.files.CreateFolder(temp / "Tool\\sub"));
    wintest::PutFile(temp / "Tool\\sub\\ro.dll", "ro");
    ::SetFileAttributesA((temp / "Tool\\sub\\ro.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(store.QuarantineItem(temp / "Tool\\"));
    EXPECT_FALSE(wintest::PathExists(temp / "Tool"));
    EXPECT_EQ(wintest::FileContent(store.Folder() + "\\Tool\\sub\\ro.dll"), "ro");

    // A file another program holds without sharing cannot be copied: it stays.
    wintest::PutFile(temp / "a\\locked.exe", "locked");
    {
        platform::win32::UniqueFile hold(::CreateFileA((temp / "a\\locked.exe").c_str(),
                                                       GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(hold);
        EXPECT_FALSE(store.QuarantineItem(temp / "a\\locked.exe"));
    }
    EXPECT_TRUE(wintest::PathExists(temp / "a\\locked.exe"));
    EXPECT_FALSE(wintest::PathExists(store.Folder() + "\\locked.exe"));
}

TEST(QuarantineOnDiskTest, AFileAndAFolderTreeComeBackByteForByteAndNothingIsOverwritten) {
    wintest::TempFolder temp;
    platform::win32::Win32Platform machine;
    NoEvents events;
    QuarantineStore store(machine.platform, temp / "data", events);
    // Every byte value, over more than one read chunk.
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += static_cast<char>(i * 7 % 256);
    ASSERT_TRUE(machine.files.CreateFolder(temp / "app\\Tool\\sub\\deeper"));
    ASSERT_TRUE(machine.files.CreateFolder(temp / "app\\Tool\\empty"));
    wintest::PutFile(temp / "app\\bar.dll", bytes);
    wintest::PutFile(temp / "app\\Tool\\a.dll", "a");
    const std::string deep = temp / "app\\Tool\\sub\\deeper\\b.bin";
    wintest::PutFile(deep, bytes.substr(1000));
    ::SetFileAttributesA(deep.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(store.QuarantineItem(temp / "app\\bar.dll"));
    ASSERT_TRUE(store.QuarantineItem(temp / "app\\Tool"));
    ASSERT_FALSE(wintest::PathExists(temp / "app\\bar.dll"));
    ASSERT_FALSE(wintest::PathExists(temp / "app\\Tool"));

    wintest::PutFile(temp / "app\\bar.dll", "newer");
    EXPECT_EQ(store.Restore("bar.dll").status, RestoreStatus::TargetExists);
    EXPECT_EQ(wintest::FileContent(temp / "app\\bar.dll"), "newer");
    ASSERT_TRUE(::DeleteFileA((temp / "app\\bar.dll").c_str()));

    // Another run of the program restores from what this one left on disk.
    QuarantineStore later(machine.platform, temp / "data", events);
    const RestoreOutcome file = later.Restore("bar.dll");
    EXPECT_TRUE(file.restored()) << file.message;
    EXPECT_EQ(wintest::FileContent(temp / "app\\bar.dll"), bytes);
    const RestoreOutcome folder = later.Restore("tool");
    EXPECT_TRUE(folder.restored()) << folder.message;
    EXPECT_EQ(wintest::FileContent(temp / "app\\Tool\\a.dll"), "a");
    EXPECT_EQ(wintest::FileContent(deep), bytes.substr(1000));
    EXPECT_EQ(
        ::GetFileAttributesA(deep.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
        static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(wintest::PathExists(temp / "app\\Tool\\empty"));
    EXPECT_EQ(later.Restore("Tool").status, RestoreStatus::AlreadyRestored);
    const auto entries = store.ReadManifest().entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].restored && entries[1].restored);
}

}  // namespace
}  // namespace qm::removal
