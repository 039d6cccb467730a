// The registry watches the browser policy guard's tick relies on, as Wine keeps them: both
// views of the machine's policies, a key made after its watch, and a key deleted. (The guard
// itself is checked in the running program, tests/gui/BrowserPolicyProgramTest.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "BrowserPolicyKeys.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/WinApi.h"
#include "shields/BrowserPolicies.h"

namespace qm::shields {
namespace {

namespace root = platform::root;
constexpr const char* kChrome = wintest::kChromePolicies;

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

    platform::win32::Win32Registry registry;
};

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
