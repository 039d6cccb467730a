// The browser policy guard on the real registry, through the program's own home-page tick: a
// policy there before the first look is left alone, and policies a hijacker adds or changes
// afterwards in the user's and the machine's keys, through either registry view, are put back
// at the next tick, each backed up in the quarantine and restorable from it. And the registry
// watches the guard's tick relies on, as Wine keeps them.
#include <gtest/gtest.h>

#include <string>

#include "BrowserPolicyKeys.h"
#include "DiskScan.h"
#include "TempFolder.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/WinApi.h"

namespace qm::shields {
namespace {

namespace root = platform::root;
constexpr const char* kChrome = wintest::kChromePolicies;
constexpr const char* kForcelist = wintest::kEdgeForcelist;
constexpr const char* kFirefox = wintest::kFirefoxPolicies;

// A value written as a program of the given registry view writes it (0: this 64-bit
// program's own view; KEY_WOW64_32KEY: a 32-bit installer's).
bool WriteThroughView(HKEY root, const char* key, const char* name, const std::string& value,
                      REGSAM view) {
    HKEY opened = nullptr;
    if (::RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &opened,
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG set =
        ::RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(opened);
    return set == ERROR_SUCCESS;
}

class BrowserPolicyOnDisk : public ::testing::Test {
  protected:
    void SetUp() override { wintest::RemoveBrowserPolicies(registry); }
    void TearDown() override { wintest::RemoveBrowserPolicies(registry); }
    std::string Text(std::uint32_t r, const char* key, const char* name) {
        return wintest::PolicyText(registry, r, key, name);
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
    ASSERT_TRUE(
        registry.WriteString(root::kLocalMachine, kForcelist, "1", wintest::kExtensionLine));
    ASSERT_TRUE(registry.WriteString(root::kLocalMachine, kChrome, "HomepageLocation",
                                     "http://hijack.example/"));
    ASSERT_TRUE(WriteThroughView(HKEY_LOCAL_MACHINE, kFirefox, "OverrideFirstRunPage",
                                 "http://evil.example/", KEY_WOW64_32KEY));
    program.app->HomePageShieldTick();

    EXPECT_EQ(Text(root::kCurrentUser, kChrome, "HomepageLocation"), "(none)");
    EXPECT_EQ(Text(root::kLocalMachine, kForcelist, "1"), "(none)");
    EXPECT_EQ(Text(root::kLocalMachine, kChrome, "HomepageLocation"), "https://intranet.example/")
        << "the accepted domain policy is back";
    EXPECT_EQ(Text(root::kLocalMachine, kFirefox, "OverrideFirstRunPage"), "(none)");

    // Each value the guard took away came from its own backup, which restores it exactly.
    removal::QuarantineStore& quarantine = program.app->Quarantine();
    const auto entries = quarantine.ReadManifest().entries;
    ASSERT_EQ(entries.size(), 4u);
    for (const auto& entry : entries) {
        if (entry.original.starts_with("HKEY_CURRENT_USER")) {
            EXPECT_TRUE(quarantine.Restore(entry.name).restored()) << entry.original;
        }
    }
    EXPECT_EQ(Text(root::kCurrentUser, kChrome, "HomepageLocation"), "http://hijack.example/");
}

// The guard's watches on the machine's two policies keys, with a value written through each
// view: "Software\\Policies" is one key for both views, so both watches tell it, once.
class MachinePolicyWatch : public BrowserPolicyOnDisk,
                           public ::testing::WithParamInterface<REGSAM> {};

TEST_P(MachinePolicyWatch, BothMachineWatchesTellAValueWrittenThroughEitherView) {
    const auto machine = registry.WatchKeyTree(root::kLocalMachine, "Software\\Policies");
    const auto wow = registry.WatchKeyTree(root::kLocalMachine, "Software\\WOW6432Node\\Policies");
    ASSERT_TRUE(machine && wow);
    EXPECT_FALSE(machine->Changed());
    EXPECT_FALSE(wow->Changed());
    ASSERT_TRUE(WriteThroughView(HKEY_LOCAL_MACHINE, kChrome, "HomepageLocation",
                                 "http://hijack.example/", GetParam()));
    EXPECT_TRUE(machine->Changed());
    EXPECT_TRUE(wow->Changed());
    EXPECT_FALSE(machine->Changed()) << "told once";
    EXPECT_FALSE(wow->Changed()) << "told once";
    const PolicyLocation at{root::kLocalMachine, u"Software\\Policies\\Google\\Chrome",
                            u"HomepageLocation"};
    EXPECT_TRUE(ReadPolicyState(registry).contains(at)) << "read where the guard looks";
}

INSTANTIATE_TEST_SUITE_P(Views, MachinePolicyWatch, ::testing::Values(0, KEY_WOW64_32KEY),
                         [](const ::testing::TestParamInfo<REGSAM>& view) {
                             return view.param ? "Bits32" : "Native";
                         });

// A key watched before it exists is told when it is made, and then when it is deleted, which
// Wine does not signal (the watch sees its key's handle answer that the key was deleted).
TEST_F(BrowserPolicyOnDisk, AKeyMadeAfterItsWatchAndItsDeletionAreTold) {
    const auto chrome = registry.WatchKeyTree(root::kCurrentUser, kChrome);
    ASSERT_TRUE(chrome);
    ASSERT_TRUE(
        registry.WriteString(root::kCurrentUser, kChrome, "HomepageLocation", "http://a.example/"));
    EXPECT_TRUE(chrome->Changed());
    EXPECT_FALSE(chrome->Changed()) << "the key itself is watched now: nothing more happened";
    ASSERT_TRUE(registry.DeleteKeyTree(root::kCurrentUser, kChrome));
    EXPECT_TRUE(chrome->Changed());
    ASSERT_TRUE(
        registry.WriteString(root::kCurrentUser, kChrome, "HomepageLocation", "http://b.example/"));
    EXPECT_TRUE(chrome->Changed()) << "made again";
}

}  // namespace
}  // namespace qm::shields
