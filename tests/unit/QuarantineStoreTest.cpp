// The quarantine: copies before deletions, the log's file records, name clashes and failed
// copies that must leave the item in place.

#include "removal/QuarantineStore.h"

#include <gtest/gtest.h>

#include "support/FakePlatform.h"
#include "support/ScriptedLoadControl.h"

namespace qm::removal {
namespace {

using test::FakeMachine;

class QuarantineStoreTest : public ::testing::Test {
  protected:
    std::string Q(const std::string& name) const { return store.Folder() + "\\" + name; }
    std::string Log() const { return m.files.Content(store.LogPath()).value_or("(none)"); }

    FakeMachine m;
    test::ScriptedLoadControl events;
    QuarantineStore store{m.platform, FakeMachine::kDataFolder, events};
};

TEST_F(QuarantineStoreTest, FilesAreCopiedLoggedAndDeletedAndAClashKeepsBoth) {
    m.files.PutFile("C:\\A\\bar.dll", "first");
    m.files.PutFile("C:\\B\\bar.dll", "second");
    store.logging = true;
    EXPECT_TRUE(store.QuarantineFile("C:\\A\\bar.dll", "bar.dll"));
    EXPECT_TRUE(store.QuarantineItem("C:\\B\\bar.dll"));
    EXPECT_FALSE(m.files.Has("C:\\A\\bar.dll"));
    EXPECT_FALSE(m.files.Has("C:\\B\\bar.dll"));
    EXPECT_EQ(m.files.Content(Q("bar.dll")), "first");
    EXPECT_EQ(m.files.Content(Q("bar (2).dll")), "second");
    const std::string when = m.clock.now;
    EXPECT_EQ(Log(), when + " - File: bar.dll\r\n - Location: C:\\A\\bar.dll\r\n\r\n\r\n" + when +
                         " - File: bar (2).dll\r\n - Location: C:\\B\\bar.dll\r\n\r\n\r\n");

    // With logging off the copy is still made; only the record is left out.
    store.logging = false;
    m.files.PutFile("C:\\C\\cookie.txt", "c");
    EXPECT_TRUE(store.QuarantineCookie("C:\\C\\cookie.txt"));
    EXPECT_TRUE(m.files.Has(Q("cookie.txt")));
    EXPECT_EQ(Log().find("cookie.txt"), std::string::npos);
    EXPECT_FALSE(store.QuarantineFile("C:\\A\\bar.dll", "bar.dll")) << "already gone";
}

TEST_F(QuarantineStoreTest, AFailedCopyLeavesTheItemWhereItIs) {
    store.logging = true;
    m.files.PutFile("C:\\A\\locked.exe", "x");
    m.files.PutFile("C:\\A\\cookie.txt", "c");
    m.files.PutFolder("C:\\Tool");
    m.files.PutFolder("C:\\Tool\\sub");
    m.files.PutFile("C:\\Tool\\ok.dll", "ok");
    m.files.PutFile("C:\\Tool\\sub\\locked.dll", "no");
    m.files.failCopiesOf = {"C:\\A\\locked.exe", "C:\\A\\cookie.txt", "C:\\Tool\\sub\\locked.dll"};
    EXPECT_FALSE(store.QuarantineFile("C:\\A\\locked.exe", "locked.exe"));
    EXPECT_FALSE(store.QuarantineItem("C:\\A\\locked.exe"));
    EXPECT_FALSE(store.QuarantineCookie("C:\\A\\cookie.txt"));
    EXPECT_FALSE(store.QuarantineItem("C:\\Tool\\"));
    for (const char* kept : {"C:\\A\\locked.exe", "C:\\A\\cookie.txt", "C:\\Tool\\ok.dll",
                             "C:\\Tool\\sub\\locked.dll"}) {
        EXPECT_TRUE(m.files.Has(kept)) << kept;
    }
    EXPECT_EQ(Log(), "(none)");
}

TEST_F(QuarantineStoreTest, FoldersAreCopiedWholeWithoutARecord) {
    store.logging = true;
    m.files.PutFolder("C:\\Tool");
    m.files.PutFolder("C:\\Tool\\sub");
    m.files.PutFile("C:\\Tool\\a.dll", "a");
    m.files.PutFile("C:\\Tool\\sub\\b.dll", "b", platform::attr::kHidden);
    EXPECT_TRUE(store.QuarantineItem("C:\\Tool\\"));
    EXPECT_FALSE(m.files.Has("C:\\Tool"));
    EXPECT_EQ(m.files.Content(Q("Tool\\a.dll")), "a");
    EXPECT_EQ(m.files.Content(Q("Tool\\sub\\b.dll")), "b");
    EXPECT_EQ(Log(), "(none)");
    EXPECT_FALSE(store.QuarantineItem("nobackslash"));
    EXPECT_FALSE(store.QuarantineItem("C:\\Nothing\\here"));
}

TEST_F(QuarantineStoreTest, ViewQuarantineOpensTheFolderCreatingItFirst) {
    store.ViewQuarantine();
    EXPECT_TRUE(m.files.Has(store.Folder()));
    EXPECT_EQ(m.launcher.started, std::vector<std::string>{"explorer " + store.Folder()});
}

}  // namespace
}  // namespace qm::removal
