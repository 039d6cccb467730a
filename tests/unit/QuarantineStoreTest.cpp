// The quarantine: verified copies before deletions, the log's file records, the manifest, name
// clashes, failed or damaged copies that must leave the item in place, and restores.

#include "removal/QuarantineStore.h"

#include <gtest/gtest.h>

#include <functional>

#include "removal/RegistryRemoval.h"
#include "support/FakePlatform.h"
#include "support/ScriptedLoadControl.h"
#include "text/Text.h"

namespace qm::removal {
namespace {

using platform::RegistryValueType;
using test::FakeMachine;
namespace root = platform::root;

class QuarantineStoreTest : public ::testing::Test {
  protected:
    std::string Q(const std::string& name) const { return store.Folder() + "\\" + name; }
    std::string Log() const { return m.files.Content(store.LogPath()).value_or("(none)"); }
    std::vector<QuarantineEntry> Entries() const { return store.ReadManifest().entries; }

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

    const auto entries = Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].kind, EntryKind::File);
    EXPECT_EQ(entries[0].original, "C:\\A\\bar.dll");
    EXPECT_EQ(entries[0].name, "bar.dll");
    EXPECT_EQ(entries[1].name, "bar (2).dll");
    EXPECT_EQ(entries[1].size, 6u);
    EXPECT_EQ(entries[1].sha256, DigestOfBytes("second").sha256);
    EXPECT_EQ(entries[1].time, when);
    EXPECT_EQ(entries[2].kind, EntryKind::Cookie);
    EXPECT_EQ(entries[2].original, "C:\\C\\cookie.txt");
}

// The original goes only once its copy and the entry that finds the copy again are on the
// disk: a power cut right after the deletion still leaves a backup to restore.
TEST_F(QuarantineStoreTest, ACopyAndItsEntrySurviveAPowerCutAfterTheOriginalIsGone) {
    m.files.PutFolder("C:\\A");
    m.files.PutFile("C:\\A\\bar.dll", "payload");
    ASSERT_TRUE(store.QuarantineItem("C:\\A\\bar.dll"));
    ASSERT_FALSE(m.files.Has("C:\\A\\bar.dll"));
    m.files.PowerCut();
    EXPECT_EQ(m.files.Content(Q("bar.dll")), "payload");
    ASSERT_EQ(Entries().size(), 1u);
    EXPECT_TRUE(store.Restore("bar.dll").restored());
    EXPECT_EQ(m.files.Content("C:\\A\\bar.dll"), "payload");
}

// What a restore tells comes from the catalogue, so a translation reaches it, with the item
// where the translation puts it.
TEST_F(QuarantineStoreTest, TheRestoresOutcomeSpeaksTheChosenLanguage) {
    i18n::MessageCatalogue messages("Quillmarsh", "Quillmarsh Software");
    i18n::LoadDefaultMessages(messages);
    messages.Translate([](const std::string& key) -> std::string {
        if (key == "MSG_RESTORED") return "[Item] ist wieder da.";
        if (key == "MSG_RESTORE_UNKNOWN") return "\"[Item]\" ist nicht in der Quarant\xE4ne.";
        return "";
    });
    QuarantineStore translated{m.platform, FakeMachine::kDataFolder, events, &messages};
    m.files.PutFolder("C:\\A");
    m.files.PutFile("C:\\A\\bar.dll", "payload");
    ASSERT_TRUE(translated.QuarantineItem("C:\\A\\bar.dll"));
    EXPECT_EQ(translated.Restore("bar.dll").message, "C:\\A\\bar.dll ist wieder da.");
    EXPECT_EQ(translated.Restore("gone.dll").message,
              "\"gone.dll\" ist nicht in der Quarant\xE4ne.");
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
    // A second folder of that name gets its own, never a merge into the first.
    m.files.PutFolder("D:\\Tool");
    m.files.PutFile("D:\\Tool\\a.dll", "other");
    EXPECT_TRUE(store.QuarantineItem("D:\\Tool"));
    EXPECT_EQ(m.files.Content(Q("Tool\\a.dll")), "a");
    EXPECT_EQ(m.files.Content(Q("Tool (2)\\a.dll")), "other");
    const auto entries = Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].kind, EntryKind::Folder);
    EXPECT_EQ(entries[1].original, "D:\\Tool");
    EXPECT_EQ(entries[1].name, "Tool (2)");
    EXPECT_EQ(entries[1].size, 5u);
    EXPECT_FALSE(store.QuarantineItem("nobackslash"));
    EXPECT_FALSE(store.QuarantineItem("C:\\Nothing\\here"));
}

TEST_F(QuarantineStoreTest, ViewQuarantineOpensTheFolderCreatingItFirst) {
    store.ViewQuarantine();
    EXPECT_TRUE(m.files.Has(store.Folder()));
    EXPECT_EQ(m.launcher.started, std::vector<std::string>{"explorer " + store.Folder()});
}

// The fake file system, except that copies of one file come out damaged: cut short, or with a
// byte changed, as a failing disk or a file written to during the copy leaves them.
class DamagingFiles final : public platform::FileSystem {
  public:
    explicit DamagingFiles(test::FakeFileSystem& files) : files_(files) {}
    std::string damagedSource;
    bool cutShort = true;

    std::optional<std::uint32_t> Attributes(const std::string& p) override {
        return files_.Attributes(p);
    }
    std::vector<platform::DirEntry> ListFolder(const std::string& f) override {
        return files_.ListFolder(f);
    }
    std::unique_ptr<platform::ByteReader> OpenForReading(const std::string& p) override {
        return files_.OpenForReading(p);
    }
    bool WriteWholeFile(const std::string& p, const std::string& b) override {
        return files_.WriteWholeFile(p, b);
    }
    bool DeleteFile(const std::string& p) override { return files_.DeleteFile(p); }
    bool RenameFile(const std::string& f, const std::string& t) override {
        return files_.RenameFile(f, t);
    }
    bool MoveReplacing(const std::string& f, const std::string& t) override {
        return files_.MoveReplacing(f, t);
    }
    bool CreateFolder(const std::string& f) override { return files_.CreateFolder(f); }
    bool AppendToFile(const std::string& p, const std::string& b) override {
        return files_.AppendToFile(p, b);
    }
    bool DeleteFolderTree(const std::string& f) override { return files_.DeleteFolderTree(f); }
    bool CopyFile(const std::string& from, const std::string& to) override {
        if (!files_.CopyFile(from, to)) return false;
        if (text::EqualsNoCase(from, damagedSource)) {
            std::string bytes = files_.Content(to).value_or("");
            if (cutShort) {
                bytes.pop_back();
            } else {
                bytes[0] = static_cast<char>(bytes[0] ^ 1);
            }
            files_.PutFile(to, bytes, files_.Attributes(to).value_or(0));
        }
        return true;
    }

  private:
    test::FakeFileSystem& files_;
};

class DamagedCopy : public QuarantineStoreTest,
                    public ::testing::WithParamInterface<std::tuple<const char*, bool>> {};

TEST_P(DamagedCopy, LeavesTheOriginalAndNoCopyBehind) {
    const auto [item, cutShort] = GetParam();
    DamagingFiles files(m.files);
    files.cutShort = cutShort;
    platform::Platform damaging{files,      m.shell,    m.clock,     m.version,       m.drives,
                                m.registry, m.launcher, m.processes, m.systemRestore, m.clipboard,
                                m.http,     m.dates,    m.encoding,  m.signatures};
    QuarantineStore damagingStore(damaging, FakeMachine::kDataFolder, events);
    damagingStore.logging = true;
    m.files.PutFolder("C:\\Tool");
    m.files.PutFolder("C:\\Tool\\sub");
    m.files.PutFile("C:\\Tool\\a.dll", "fine");
    m.files.PutFile("C:\\Tool\\sub\\bad.dll", "damaged");
    files.damagedSource = "C:\\Tool\\sub\\bad.dll";
    const std::string what = item;
    bool result = true;
    if (what == "file") result = damagingStore.QuarantineFile(files.damagedSource, "bad.dll");
    if (what == "item") result = damagingStore.QuarantineItem(files.damagedSource);
    if (what == "cookie") result = damagingStore.QuarantineCookie(files.damagedSource);
    if (what == "folder") result = damagingStore.QuarantineItem("C:\\Tool");
    EXPECT_FALSE(result);
    EXPECT_EQ(m.files.Content("C:\\Tool\\sub\\bad.dll"), "damaged");
    EXPECT_EQ(m.files.Content("C:\\Tool\\a.dll"), "fine");
    EXPECT_TRUE(m.files.ListFolder(store.Folder()).empty());
    EXPECT_EQ(Log(), "(none)");
}

INSTANTIATE_TEST_SUITE_P(ShortOrAltered, DamagedCopy,
                         ::testing::Combine(::testing::Values("file", "item", "cookie", "folder"),
                                            ::testing::Bool()),
                         [](const auto& c) {
                             return std::string(std::get<0>(c.param)) +
                                    (std::get<1>(c.param) ? "Short" : "Altered");
                         });

TEST_F(QuarantineStoreTest, ATornLastLineIsSkippedAndSetAsideBeforeTheNextEntry) {
    m.files.PutFolder("C:\\A");
    m.files.PutFile("C:\\A\\a.dll", "a");
    m.files.PutFile("C:\\A\\b.dll", "b");
    ASSERT_TRUE(store.QuarantineItem("C:\\A\\a.dll"));
    // The program stopped in the middle of an append.
    m.files.AppendToFile(store.ManifestPath(), "file\tC:\\A\\b.dll\t\tb.d");
    Manifest manifest = store.ReadManifest();
    EXPECT_EQ(manifest.status, Manifest::Status::Ok);
    EXPECT_TRUE(manifest.tornLastLine);
    EXPECT_EQ(manifest.entries.size(), 1u);

    // Started again, the program's next entry does not run into the torn line.
    QuarantineStore again(m.platform, FakeMachine::kDataFolder, events);
    ASSERT_TRUE(again.QuarantineItem("C:\\A\\b.dll"));
    manifest = again.ReadManifest();
    EXPECT_EQ(manifest.status, Manifest::Status::Ok);
    EXPECT_FALSE(manifest.tornLastLine);
    ASSERT_EQ(manifest.entries.size(), 2u);
    EXPECT_EQ(manifest.entries[1].original, "C:\\A\\b.dll");
    EXPECT_TRUE(again.Restore("b.dll").restored());
    EXPECT_EQ(m.files.Content("C:\\A\\b.dll"), "b");
}

TEST_F(QuarantineStoreTest, AVerifiedCopyIsOneThatHoldsWhatTheFileHoldsNow) {
    m.files.PutFolder("C:\\A");
    m.files.PutFile("C:\\A\\held.dll", "held");
    m.files.failDeletesOf = {"C:\\A\\held.dll"};
    EXPECT_TRUE(store.QuarantineItem("C:\\A\\held.dll"));
    EXPECT_TRUE(m.files.Has("C:\\A\\held.dll"));
    EXPECT_EQ(store.VerifiedCopyOf("c:\\a\\HELD.dll"), "held.dll");
    m.files.PutFile("C:\\A\\held.dll", "changed since");
    EXPECT_EQ(store.VerifiedCopyOf("C:\\A\\held.dll"), std::nullopt);
    m.files.PutFile("C:\\A\\held.dll", "held");
    m.files.PutFile(Q("held.dll"), "hel");
    EXPECT_EQ(store.VerifiedCopyOf("C:\\A\\held.dll"), std::nullopt);
    EXPECT_EQ(store.VerifiedCopyOf("C:\\A\\never.dll"), std::nullopt);

    // A file inside a quarantined folder that stayed behind.
    m.files.PutFolder("C:\\Tool");
    m.files.PutFolder("C:\\Tool\\sub");
    m.files.PutFile("C:\\Tool\\sub\\x.dll", "x");
    ASSERT_TRUE(store.QuarantineItem("C:\\Tool"));
    m.files.PutFile("C:\\Tool\\sub\\x.dll", "x");
    EXPECT_EQ(store.VerifiedCopyOf("C:\\Tool\\sub\\x.dll"), "Tool\\sub\\x.dll");
    m.files.PutFile("C:\\Tool\\sub\\x.dll", "y");
    EXPECT_EQ(store.VerifiedCopyOf("C:\\Tool\\sub\\x.dll"), std::nullopt);
}

// One kind of item: put on the machine and removed (its name in the quarantine comes back),
// and whether it is there as it was.
struct KindCase {
    const char* kind;
    std::function<std::string(FakeMachine&, QuarantineStore&, RegistryRemoval&)> remove;
    std::function<bool(FakeMachine&)> present;
};

class RestoreKind : public QuarantineStoreTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(RestoreKind, PutsTheItemBackAndMarksItsEntry) {
    RegistryRemoval removal(m.registry, store);
    store.logging = true;
    m.files.PutFolder("C:\\A");
    const std::string name = GetParam().remove(m, store, removal);
    ASSERT_FALSE(GetParam().present(m));
    const std::string log = Log();
    const RestoreOutcome outcome = store.Restore(name);
    EXPECT_EQ(outcome.status, RestoreStatus::Restored) << outcome.message;
    EXPECT_TRUE(GetParam().present(m));
    EXPECT_EQ(Log(), log);
    const auto entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].restored);
    EXPECT_EQ(entries[0].kind == EntryKind::Registry, m.registry.imports == 1);
    EXPECT_TRUE(m.files.Has(Q(name))) << "the backup stays";
    if (entries[0].kind == EntryKind::Registry) {
        EXPECT_EQ(store.Restore(name).status, RestoreStatus::AlreadyRestored);
        return;
    }
    // Removed again, its newer copy has a numbered name; asked for by the item's own name, the
    // newest copy not yet restored comes back.
    GetParam().remove(m, store, removal);
    ASSERT_EQ(Entries().size(), 2u);
    ASSERT_NE(Entries()[1].name, name);
    EXPECT_TRUE(store.Restore(name).restored());
    EXPECT_TRUE(GetParam().present(m));
    EXPECT_EQ(store.Restore(name).status, RestoreStatus::AlreadyRestored);
}

INSTANTIATE_TEST_SUITE_P(
    EachKind, RestoreKind,
    ::testing::Values(
        KindCase{"file",
                 [](FakeMachine& m, QuarantineStore& s, RegistryRemoval&) {
                     m.files.PutFile("C:\\A\\bar.dll", "MZ bar");
                     EXPECT_TRUE(s.QuarantineItem("C:\\A\\bar.dll"));
                     return std::string("bar.dll");
                 },
                 [](FakeMachine& m) { return m.files.Content("C:\\A\\bar.dll") == "MZ bar"; }},
        KindCase{"folder",
                 [](FakeMachine& m, QuarantineStore& s, RegistryRemoval&) {
                     for (const char* f : {"C:\\A\\Tool", "C:\\A\\Tool\\sub", "C:\\A\\Tool\\empty"})
                         m.files.PutFolder(f);
                     m.files.PutFile("C:\\A\\Tool\\a.dll", "a");
                     m.files.PutFile("C:\\A\\Tool\\sub\\b.dll", "b", platform::attr::kHidden);
                     EXPECT_TRUE(s.QuarantineItem("C:\\A\\Tool"));
                     return std::string("Tool");
                 },
                 [](FakeMachine& m) {
                     return m.files.Content("C:\\A\\Tool\\a.dll") == "a" &&
                            m.files.Content("C:\\A\\Tool\\sub\\b.dll") == "b" &&
                            m.files.Attributes("C:\\A\\Tool\\sub\\b.dll") ==
                                platform::attr::kHidden &&
                            m.files.Has("C:\\A\\Tool\\empty");
                 }},
        KindCase{"cookie",
                 [](FakeMachine& m, QuarantineStore& s, RegistryRemoval&) {
                     m.files.PutFile("C:\\A\\user@site[1].txt", "id\n1\nsite/\n");
                     EXPECT_TRUE(s.QuarantineCookie("C:\\A\\user@site[1].txt"));
                     return std::string("user@site[1].txt");
                 },
                 [](FakeMachine& m) {
                     return m.files.Content("C:\\A\\user@site[1].txt") == "id\n1\nsite/\n";
                 }},
        KindCase{"value",
                 [](FakeMachine& m, QuarantineStore&, RegistryRemoval& r) {
                     m.registry.Put(root::kCurrentUser, "Software\\Bar", "Run",
                                    {RegistryValueType::String, "bar.exe", 0});
                     EXPECT_TRUE(r.DeleteValue(root::kCurrentUser, "Software\\Bar", "Run"));
                     return std::string("HKEY_CURRENT_USERSoftwareBarRun.reg");
                 },
                 [](FakeMachine& m) {
                     const auto v = m.registry.Get(root::kCurrentUser, "Software\\Bar", "Run");
                     return v && v->text == "bar.exe";
                 }},
        KindCase{"key",
                 [](FakeMachine& m, QuarantineStore&, RegistryRemoval& r) {
                     m.registry.Put(root::kCurrentUser, "Software\\Bar", "a",
                                    {RegistryValueType::String, "1", 0});
                     m.registry.Put(root::kCurrentUser, "Software\\Bar\\Sub", "b",
                                    {RegistryValueType::String, "2", 0});
                     EXPECT_TRUE(r.DeleteKey(root::kCurrentUser, "Software\\Bar"));
                     return std::string("HKEY_CURRENT_USERSoftwareBar.reg");
                 },
                 [](FakeMachine& m) {
                     const auto a = m.registry.Get(root::kCurrentUser, "Software\\Bar", "a");
                     const auto b = m.registry.Get(root::kCurrentUser, "Software\\Bar\\Sub", "b");
                     return a && a->text == "1" && b && b->text == "2";
                 }}),
    [](const auto& c) { return std::string(c.param.kind); });

// A restore that must not happen: what spoils it, and what it is refused with.
struct RefusalCase {
    const char* what;
    std::string name;
    std::function<void(FakeMachine&, const QuarantineStore&)> spoil;
    RestoreStatus status;
};

class RestoreRefused : public QuarantineStoreTest,
                       public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RestoreRefused, ChangesNothing) {
    RegistryRemoval removal(m.registry, store);
    store.logging = true;
    m.files.PutFolder("C:\\A");
    m.files.PutFile("C:\\A\\bar.dll", "MZ bar");
    m.registry.Put(root::kCurrentUser, "Software\\Bar", "Run", {RegistryValueType::String, "v", 0});
    ASSERT_TRUE(store.QuarantineItem("C:\\A\\bar.dll"));
    ASSERT_TRUE(removal.DeleteValue(root::kCurrentUser, "Software\\Bar", "Run"));
    GetParam().spoil(m, store);

    const auto file = m.files.Content("C:\\A\\bar.dll");
    const auto value = m.registry.Get(root::kCurrentUser, "Software\\Bar", "Run");
    const auto log = Log();
    const auto manifest = m.files.Content(store.ManifestPath());
    const auto copy = m.files.Content(Q("bar.dll"));
    const RestoreOutcome outcome = store.Restore(GetParam().name);
    EXPECT_EQ(outcome.status, GetParam().status) << outcome.message;
    EXPECT_FALSE(outcome.message.empty());
    EXPECT_EQ(m.files.Content("C:\\A\\bar.dll"), file);
    const auto valueAfter = m.registry.Get(root::kCurrentUser, "Software\\Bar", "Run");
    EXPECT_EQ(valueAfter.has_value(), value.has_value());
    if (value && valueAfter) {
        EXPECT_EQ(valueAfter->text, value->text);
    }
    EXPECT_EQ(m.registry.imports, 0);
    EXPECT_EQ(Log(), log);
    EXPECT_EQ(m.files.Content(store.ManifestPath()), manifest);
    EXPECT_EQ(m.files.Content(Q("bar.dll")), copy);
}

const auto kNothing = [](FakeMachine&, const QuarantineStore&) {};
INSTANTIATE_TEST_SUITE_P(
    Refusals, RestoreRefused,
    ::testing::Values(
        RefusalCase{"SomethingStandsThere", "bar.dll",
                    [](FakeMachine& m, const QuarantineStore&) {
                        m.files.PutFile("C:\\A\\bar.dll", "newer");
                    },
                    RestoreStatus::TargetExists},
        RefusalCase{"TheFolderIsGone", "bar.dll",
                    [](FakeMachine& m, const QuarantineStore&) { m.files.RemoveTree("C:\\A"); },
                    RestoreStatus::FolderGone},
        RefusalCase{"TheValueIsBack", "HKEY_CURRENT_USERSoftwareBarRun.reg",
                    [](FakeMachine& m, const QuarantineStore&) {
                        m.registry.Put(root::kCurrentUser, "Software\\Bar", "Run",
                                       {RegistryValueType::String, "newer", 0});
                    },
                    RestoreStatus::TargetExists},
        RefusalCase{"UnknownName", "other.dll", kNothing, RestoreStatus::UnknownName},
        RefusalCase{"TheCopyIsAltered", "bar.dll",
                    [](FakeMachine& m, const QuarantineStore& s) {
                        m.files.PutFile(s.Folder() + "\\bar.dll", "MZ bat");
                    },
                    RestoreStatus::DamagedCopy},
        RefusalCase{"TheRegistryBackupIsAltered", "HKEY_CURRENT_USERSoftwareBarRun.reg",
                    [](FakeMachine& m, const QuarantineStore& s) {
                        m.files.AppendToFile(s.Folder() + "\\HKEY_CURRENT_USERSoftwareBarRun.reg",
                                             "x=1\r\n");
                    },
                    RestoreStatus::DamagedCopy},
        RefusalCase{
            "NoManifest", "bar.dll",
            [](FakeMachine& m, const QuarantineStore& s) { m.files.DeleteFile(s.ManifestPath()); },
            RestoreStatus::NoManifest},
        RefusalCase{"ADamagedManifest", "bar.dll",
                    [](FakeMachine& m, const QuarantineStore& s) {
                        m.files.AppendToFile(s.ManifestPath(), "file\tbroken\r\n");
                    },
                    RestoreStatus::DamagedManifest}),
    [](const auto& c) { return std::string(c.param.what); });

}  // namespace
}  // namespace qm::removal
