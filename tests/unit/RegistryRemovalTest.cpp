// Registry deletions: a backup file per removal before anything is deleted, the log's two
// registry record forms, and nothing deleted when no backup can be made.

#include "removal/RegistryRemoval.h"

#include <gtest/gtest.h>

#include "platform/RegFile.h"
#include "support/FakePlatform.h"
#include "support/ScriptedLoadControl.h"

namespace qm::removal {
namespace {

using platform::RegistryValueType;
using test::FakeMachine;
namespace root = platform::root;

class RegistryRemovalTest : public ::testing::Test {
  protected:
    std::string Q(const std::string& name) const { return store.Folder() + "\\" + name; }
    std::string Log() const { return m.files.Content(store.LogPath()).value_or("(none)"); }

    FakeMachine m;
    test::ScriptedLoadControl events;
    QuarantineStore store{m.platform, FakeMachine::kDataFolder, events};
    RegistryRemoval removal{m.registry, store};
};

TEST_F(RegistryRemovalTest, ValuesAndKeysAreBackedUpOneFileEachThenDeletedAndLogged) {
    m.registry.Put(root::kCurrentUser, "Software\\Bar", "Back\\\"Slash",
                   {RegistryValueType::String, "v", 0});
    m.registry.Put(root::kCurrentUser, "Software\\Bar\\Sub", "x",
                   {RegistryValueType::String, "1", 0});
    store.logging = true;
    EXPECT_TRUE(removal.DeleteValue(root::kCurrentUser, "Software\\Bar", "Back\\\"Slash"));
    EXPECT_FALSE(m.registry.Get(root::kCurrentUser, "Software\\Bar", "Back\\\"Slash"));
    // The backup's name loses its separators; a quote, which no file name holds, becomes "_".
    using platform::regfile::Key;
    const auto backupOf = [&](const std::string& name) {
        return platform::regfile::Parse(m.files.Content(Q(name)).value_or(""));
    };
    EXPECT_EQ(backupOf("HKEY_CURRENT_USERSoftwareBarBack_Slash.reg"),
              (std::vector<Key>{{root::kCurrentUser,
                                 u"Software\\Bar",
                                 {{u"Back\\\"Slash", 1, std::string("v\0\0\0", 4)}}}}));
    EXPECT_TRUE(removal.DeleteKey(root::kCurrentUser, "Software\\Bar"));
    EXPECT_FALSE(m.registry.Get(root::kCurrentUser, "Software\\Bar\\Sub", "x"));
    EXPECT_EQ(
        backupOf("HKEY_CURRENT_USERSoftwareBar.reg"),
        (std::vector<Key>{
            {root::kCurrentUser, u"software\\bar", {}},
            {root::kCurrentUser, u"software\\bar\\sub", {{u"x", 1, std::string("1\0\0\0", 4)}}}}));
    const std::string when = m.clock.now;
    // The log keeps the name as it is, and the key's root as signed decimal text.
    EXPECT_EQ(Log(), when + " - Key: HKEY_CURRENT_USER\\Software\\Bar\r\nValue: Back\\\"Slash" +
                         "\r\n\r\n\r\n" + when +
                         " - Key: -2147483647\\Software\\Bar\r\nValue: All Values\r\n\r\n\r\n");
    // The manifest names each backup and what it brings back.
    const auto entries = store.ReadManifest().entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].kind, EntryKind::Registry);
    EXPECT_EQ(entries[0].original, "HKEY_CURRENT_USER\\Software\\Bar");
    EXPECT_EQ(entries[0].value, "Back\\\"Slash");
    EXPECT_EQ(entries[0].name, "HKEY_CURRENT_USERSoftwareBarBack_Slash.reg");
    const auto backup = m.files.Content(Q(entries[0].name));
    ASSERT_TRUE(backup);
    EXPECT_EQ(entries[0].sha256, DigestOfBytes(*backup).sha256);
    EXPECT_EQ(entries[0].size, backup->size());
    EXPECT_EQ(entries[1].original, "HKEY_CURRENT_USER\\Software\\Bar");
    EXPECT_EQ(entries[1].value, std::nullopt);
    EXPECT_EQ(entries[1].name, "HKEY_CURRENT_USERSoftwareBar.reg");
}

TEST_F(RegistryRemovalTest, NothingIsDeletedWithoutItsBackup) {
    m.registry.Put(root::kCurrentUser, "Software\\Bar", "Run", {RegistryValueType::String, "v", 0});
    store.logging = true;
    m.registry.failExports = true;
    EXPECT_FALSE(removal.DeleteValue(root::kCurrentUser, "Software\\Bar", "Run"));
    EXPECT_FALSE(removal.DeleteKey(root::kCurrentUser, "Software\\Bar"));
    m.registry.failExports = false;
    m.files.failWrites = true;  // the backup file cannot be written
    EXPECT_FALSE(removal.DeleteValue(root::kCurrentUser, "Software\\Bar", "Run"));
    EXPECT_FALSE(removal.DeleteKey(root::kCurrentUser, "Software\\Bar"));
    m.files.failWrites = false;
    // A value the account may read but not delete keeps no backup that backs up nothing.
    m.registry.readOnlyRoots = {root::kCurrentUser};
    EXPECT_FALSE(removal.DeleteValue(root::kCurrentUser, "Software\\Bar", "Run"));
    EXPECT_FALSE(removal.DeleteKey(root::kCurrentUser, "Software\\Bar"));
    EXPECT_TRUE(m.registry.Get(root::kCurrentUser, "Software\\Bar", "Run"));
    EXPECT_EQ(Log(), "(none)");
    EXPECT_TRUE(m.files.ListFolder(store.Folder()).empty());
}

TEST_F(RegistryRemovalTest, WriteValueStoresNumbersAsNumbersAndTrimsText) {
    removal.WriteValue(root::kCurrentUser, "Software\\Bar", "Count", " 42 ");
    removal.WriteValue(root::kCurrentUser, "Software\\Bar", "Name", "  some text ");
    EXPECT_EQ(m.registry.Get(root::kCurrentUser, "Software\\Bar", "Count")->number, 42u);
    EXPECT_EQ(m.registry.Get(root::kCurrentUser, "Software\\Bar", "Count")->type,
              RegistryValueType::Number);
    EXPECT_EQ(m.registry.Get(root::kCurrentUser, "Software\\Bar", "Name")->text, "some text");
}

}  // namespace
}  // namespace qm::removal
