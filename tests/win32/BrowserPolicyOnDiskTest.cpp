// The browser policy guard on the real registry, through the program's own home-page tick: a
// policy there before the first look is left alone, and policies a hijacker adds or changes
// afterwards in the user's and the machine's keys are put back at the next tick, each backed up
// in the quarantine and restorable from it.
#include <gtest/gtest.h>

#include <string>

#include "DiskScan.h"
#include "TempFolder.h"
#include "platform/win32/Win32Registry.h"

namespace qm::shields {
namespace {

namespace root = platform::root;
constexpr const char* kChrome = "Software\\Policies\\Google\\Chrome";
constexpr const char* kEdge = "Software\\Policies\\Microsoft\\Edge";
constexpr const char* kForcelist = "Software\\Policies\\Microsoft\\Edge\\ExtensionInstallForcelist";

class BrowserPolicyOnDisk : public ::testing::Test {
  protected:
    void SetUp() override { RemovePolicies(); }
    void TearDown() override { RemovePolicies(); }
    void RemovePolicies() {
        for (const std::uint32_t r : {root::kCurrentUser, root::kLocalMachine}) {
            registry.DeleteKeyTree(r, kChrome);
            registry.DeleteKeyTree(r, kEdge);
        }
    }
    std::string Text(std::uint32_t r, const char* key, const char* name) {
        const auto read = registry.ReadValue(r, key, name);
        return read.status == platform::RegistryRead::Status::Ok ? read.text : "(none)";
    }

    platform::win32::Win32Registry registry;
    wintest::TempFolder data;
};

TEST_F(BrowserPolicyOnDisk, PoliciesAddedAfterTheFirstLookArePutBackWithRestorableBackups) {
    ASSERT_TRUE(registry.WriteString(root::kLocalMachine, kChrome, "HomepageLocation",
                                     "https://intranet.example/"));
    wintest::DiskScan program(data.path());
    const std::string product = program.app->Product().productName;
    program.settings.Write(product, "OptionAndSettings", "optAlwaysnotifybeforerestoring", "False");
    program.settings.Write(product, "OptionAndSettings", "optRestoredefaultwithoutnotification",
                           "True");
    program.app->HomePageShieldTick();  // the first look

    ASSERT_TRUE(registry.WriteString(root::kCurrentUser, kChrome, "HomepageLocation",
                                     "http://hijack.example/"));
    ASSERT_TRUE(registry.WriteString(root::kLocalMachine, kForcelist, "1",
                                     "abcdefghijklmnopabcdefghijklmnop;http://evil.example/crx"));
    ASSERT_TRUE(registry.WriteString(root::kLocalMachine, kChrome, "HomepageLocation",
                                     "http://hijack.example/"));
    program.app->HomePageShieldTick();

    EXPECT_EQ(Text(root::kCurrentUser, kChrome, "HomepageLocation"), "(none)");
    EXPECT_EQ(Text(root::kLocalMachine, kForcelist, "1"), "(none)");
    EXPECT_EQ(Text(root::kLocalMachine, kChrome, "HomepageLocation"), "https://intranet.example/")
        << "the accepted domain policy is back";

    // Each value the guard took away came from its own backup, which restores it exactly.
    removal::QuarantineStore& quarantine = program.app->Quarantine();
    const auto entries = quarantine.ReadManifest().entries;
    ASSERT_EQ(entries.size(), 3u);
    for (const auto& entry : entries) {
        if (entry.original.starts_with("HKEY_CURRENT_USER")) {
            EXPECT_TRUE(quarantine.Restore(entry.name).restored()) << entry.original;
        }
    }
    EXPECT_EQ(Text(root::kCurrentUser, kChrome, "HomepageLocation"), "http://hijack.example/");
}

}  // namespace
}  // namespace qm::shields
