// The browser policy guard on the fake machine: the first look accepts, a later change is put
// back with a restorable backup or accepted as the settings and the answer say, and a change
// this account may not put back is told once. Every case runs with the registry's watches and
// without them (a registry that cannot watch is read every tick). A tick where nothing changed
// reads no key and no file, and the accepted state the console writes counts from the guard's
// next look. The real registry's side is in tests/win32/BrowserPolicyOnDiskTest.cpp.

#include "shields/BrowserPolicyGuard.h"

#include <gtest/gtest.h>

#include "i18n/MessageCatalogue.h"
#include "support/FakePlatform.h"
#include "support/ScriptedLoadControl.h"
#include "text/Text.h"

namespace qm::shields {
namespace {

using platform::RegistryValueType;
using test::FakeMachine;
using test::FakeRegistry;
namespace root = platform::root;

constexpr const char* kChrome = "Software\\Policies\\Google\\Chrome";
constexpr const char* kEdgeForcelist =
    "Software\\Policies\\Microsoft\\Edge\\ExtensionInstallForcelist";

// The parameter: whether the registry can watch.
class BrowserPolicyGuardTest : public ::testing::TestWithParam<bool> {
  protected:
    BrowserPolicyGuardTest() {
        m.registry.failWatches = !GetParam();
        i18n::LoadDefaultMessages(m.messages);
        UseSilentRestore(true);
    }
    void UseSilentRestore(bool silently) {
        m.settings.Write("Quillmarsh", "OptionAndSettings", "optAlwaysnotifybeforerestoring",
                         silently ? "False" : "True");
        m.settings.Write("Quillmarsh", "OptionAndSettings", "optRestoredefaultwithoutnotification",
                         silently ? "True" : "False");
    }
    std::optional<FakeRegistry::Value> Chrome(const std::string& name) {
        return m.registry.Get(root::kCurrentUser, kChrome, name);
    }
    static FakeRegistry::Value Text(const std::string& text) {
        return {RegistryValueType::String, text, 0};
    }

    FakeMachine m;
    test::ScriptedLoadControl events;
    removal::QuarantineStore quarantine{m.platform, FakeMachine::kDataFolder, events};
    BrowserPolicyGuard guard{m.Context(), quarantine, FakeMachine::kDataFolder};
};

TEST_P(BrowserPolicyGuardTest, TheFirstLookAcceptsAndALaterChangeIsPutBackWithItsBackup) {
    // A domain's policy, there before the first look, is the user's own.
    m.registry.Put(root::kLocalMachine, kChrome, "HomepageLocation", Text("https://intranet"));
    m.registry.Put(root::kCurrentUser, kChrome, "RestoreOnStartup",
                   {RegistryValueType::Number, {}, 4});
    guard.Check();
    ASSERT_TRUE(guard.Accepted());
    EXPECT_EQ(guard.Accepted()->size(), 2u);

    // A hijacker changes one, adds a forced extension and removes another.
    m.registry.Put(root::kLocalMachine, kChrome, "HomepageLocation", Text("http://evil.example"));
    // (The fake, unlike the registry, makes no parent keys.)
    m.registry.PutKey(root::kLocalMachine, "Software\\Policies\\Microsoft\\Edge");
    m.registry.Put(root::kLocalMachine, kEdgeForcelist, "1",
                   Text("abcdefgh;http://evil.example/x"));
    m.registry.DeleteValue(root::kCurrentUser, kChrome, "RestoreOnStartup");
    guard.Check();

    EXPECT_EQ(m.registry.Get(root::kLocalMachine, kChrome, "HomepageLocation")->text,
              "https://intranet");
    EXPECT_FALSE(m.registry.Get(root::kLocalMachine, kEdgeForcelist, "1"));
    EXPECT_EQ(Chrome("RestoreOnStartup")->number, 4u);
    EXPECT_TRUE(m.prompts.shown.empty()) << "silently";

    // Both values the guard took away are in the quarantine and come back from it.
    const auto manifest = quarantine.ReadManifest();
    ASSERT_EQ(manifest.entries.size(), 2u);
    m.registry.DeleteValue(root::kLocalMachine, kChrome, "HomepageLocation");
    for (const auto& entry : manifest.entries)
        EXPECT_TRUE(quarantine.Restore(entry.name).restored()) << entry.original;
    EXPECT_EQ(m.registry.Get(root::kLocalMachine, kChrome, "HomepageLocation")->text,
              "http://evil.example");
    EXPECT_TRUE(m.registry.Get(root::kLocalMachine, kEdgeForcelist, "1"));
}

TEST_P(BrowserPolicyGuardTest, AskingPutsBackOnYesAcceptsOnNoAndWaitsWhenUnanswered) {
    UseSilentRestore(false);
    guard.Check();  // nothing there: an empty accepted state
    m.registry.Put(root::kCurrentUser, kChrome, "HomepageLocation", Text("http://evil.example"));

    m.prompts.answers = {ui::MessageAnswer::Cancel};
    guard.Check();
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    // The fake hands out its key and value names in lower case.
    const std::string asked = text::Lower(m.prompts.shown[0].text);
    EXPECT_NE(asked.find(text::Lower("Chrome: HKEY_CURRENT_USER\\" + std::string(kChrome))),
              std::string::npos);
    EXPECT_NE(asked.find("homepagelocation = http://evil.example"), std::string::npos);
    EXPECT_TRUE(Chrome("HomepageLocation")) << "an unanswered question decides nothing";

    m.prompts.answers = {ui::MessageAnswer::No};
    guard.Check();
    EXPECT_TRUE(Chrome("HomepageLocation"));
    guard.Check();
    EXPECT_EQ(m.prompts.shown.size(), 2u) << "an accepted change is not asked about again";

    m.registry.Put(root::kCurrentUser, kChrome, "HomepageLocation", Text("http://worse.example"));
    m.prompts.answers = {ui::MessageAnswer::Yes};
    guard.Check();
    EXPECT_EQ(Chrome("HomepageLocation")->text, "http://evil.example") << "the accepted one";
}

TEST_P(BrowserPolicyGuardTest, AChangeThisAccountMayNotPutBackIsToldOnce) {
    guard.Check();
    m.registry.Put(root::kLocalMachine, kChrome, "HomepageLocation", Text("http://evil.example"));
    m.registry.readOnlyRoots.push_back(root::kLocalMachine);
    guard.Check();
    guard.Check();
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    EXPECT_NE(m.prompts.shown[0].text.find("may not change them back"), std::string::npos);
    EXPECT_TRUE(quarantine.ReadManifest().entries.empty()) << "no backup of what stayed";

    // A further change is news again.
    m.registry.readOnlyRoots.clear();
    m.registry.Put(root::kCurrentUser, kChrome, "NewTabPageLocation", Text("http://x.example"));
    guard.Check();
    EXPECT_FALSE(m.registry.Get(root::kLocalMachine, kChrome, "HomepageLocation"));
    EXPECT_FALSE(Chrome("NewTabPageLocation"));
}

TEST_P(BrowserPolicyGuardTest, TheGuardRestsWhileItsBoxOrTheHomePageShieldIsOff) {
    guard.Check();
    m.registry.Put(root::kCurrentUser, kChrome, "HomepageLocation", Text("http://evil.example"));
    for (const auto& [key, value] :
         {std::pair{"chkBrowserPolicies", "0"}, std::pair{"optIEHomePageSheildOn", "False"}}) {
        m.settings.Write("Quillmarsh", "OptionAndSettings", "chkBrowserPolicies", "1");
        m.settings.Write("Quillmarsh", "OptionAndSettings", "optIEHomePageSheildOn", "True");
        m.settings.Write("Quillmarsh", "OptionAndSettings", key, value);
        guard.Check();
        EXPECT_TRUE(Chrome("HomepageLocation")) << key;
    }
}

TEST_P(BrowserPolicyGuardTest, AQuietTickReadsNoKeyNorFileAndAKeyMadeLaterIsStillSeen) {
    guard.Check();  // nothing there: an empty accepted state
    const int reads = m.registry.treeReads, opens = m.files.openCount;
    guard.Check();
    guard.Check();
    const int readsPerTick = GetParam() ? 0 : static_cast<int>(WatchedPolicyPlaces().size());
    EXPECT_EQ(m.registry.treeReads - reads, 2 * readsPerTick);
    EXPECT_EQ(m.files.openCount, opens) << "the accepted state is kept in memory";

    // A 32-bit installer's policy, in a key that did not exist at the first look.
    const std::string firefox = "Software\\WOW6432Node\\Policies\\Mozilla\\Firefox\\Homepage";
    m.registry.PutKey(root::kLocalMachine, "Software\\WOW6432Node\\Policies\\Mozilla\\Firefox");
    m.registry.Put(root::kLocalMachine, firefox, "URL", Text("http://evil.example"));
    guard.Check();
    EXPECT_FALSE(m.registry.Get(root::kLocalMachine, firefox, "URL"));
    EXPECT_EQ(quarantine.ReadManifest().entries.size(), 1u);
}

TEST_P(BrowserPolicyGuardTest, WhatTheConsoleAcceptsCountsFromTheGuardsNextLook) {
    // The console's `browsers accept` runs in a process of its own, with a guard of its own.
    BrowserPolicyGuard console{m.Context(), quarantine, FakeMachine::kDataFolder};
    UseSilentRestore(false);
    guard.Check();
    m.registry.Put(root::kCurrentUser, kChrome, "HomepageLocation", Text("http://a.example"));
    m.prompts.answers = {ui::MessageAnswer::Cancel};
    guard.Check();
    ASSERT_EQ(m.prompts.shown.size(), 1u);
    ASSERT_TRUE(console.AcceptCurrent());
    guard.Check();
    EXPECT_EQ(m.prompts.shown.size(), 1u) << "the question standing was settled by the console";

    // Accepted there while the guard rested after a change it could not put back: the next
    // change is measured against the console's state, which holds the machine's value.
    UseSilentRestore(true);
    m.registry.readOnlyRoots.push_back(root::kLocalMachine);
    m.registry.Put(root::kLocalMachine, kChrome, "HomepageLocation", Text("http://b.example"));
    guard.Check();
    ASSERT_EQ(m.prompts.shown.size(), 2u) << "told";
    ASSERT_TRUE(console.AcceptCurrent());
    m.registry.readOnlyRoots.clear();
    m.registry.Put(root::kCurrentUser, kChrome, "NewTabPageLocation", Text("http://c.example"));
    guard.Check();
    EXPECT_FALSE(Chrome("NewTabPageLocation"));
    EXPECT_TRUE(Chrome("HomepageLocation"));
    EXPECT_TRUE(m.registry.Get(root::kLocalMachine, kChrome, "HomepageLocation"));
}

INSTANTIATE_TEST_SUITE_P(WatchedAndRead, BrowserPolicyGuardTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& watched) {
                             return watched.param ? "Watched" : "ReadEachTick";
                         });

}  // namespace
}  // namespace qm::shields
