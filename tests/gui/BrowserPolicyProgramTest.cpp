// The browser policy guard in Quillmarsh.exe itself under Wine, on the real registry: a policy
// there before the first look stays; policies added while the program runs, in the user's and
// the machine's keys, are put back within a tick or two when it restores silently, each backed
// up in the quarantine, from where the console brings it back; when it asks, the question lists
// the change, Yes puts it back, and No accepts it for good: the program started again takes it
// as accepted and asks only about what changed after.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BrowserPolicyKeys.h"
#include "GuiSupport.h"
#include "ProgramSupport.h"
#include "platform/win32/Win32Registry.h"

namespace qm::ui::win32 {
namespace {

namespace root = platform::root;
constexpr const char* kChrome = wintest::kChromePolicies;
constexpr const char* kForcelist = wintest::kEdgeForcelist;
constexpr const char* kFirefoxHome = "Software\\Policies\\Mozilla\\Firefox\\Homepage";
constexpr const char* kExtension = wintest::kExtensionLine;
// The home-page timer ticks every five seconds: two ticks and room for a busy machine.
constexpr int kTwoTicksMs = 20000;
// The text of a standard message box.
constexpr int kMessageBoxText = 0xFFFF;

class BrowserPolicyProgramTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        wintest::RemoveBrowserPolicies(registry);
        Switch("optIEHomePageSheild", true);
        guard.Set("OptionAndSettings", "chkBrowserPolicies", "1");
        // The start page the browser has now becomes the home-page shield's own at its first
        // look: it asks nothing of its own here.
        settings.Set("OptionAndSettings", "Homepage", "");
    }
    void TearDown() override {
        ProgramTest::TearDown();
        wintest::RemoveBrowserPolicies(registry);
    }
    void Restoring(bool silently) {
        settings.Set("OptionAndSettings", "optAlwaysnotifybeforerestoring",
                     silently ? "False" : "True");
        settings.Set("OptionAndSettings", "optRestoredefaultwithoutnotification",
                     silently ? "True" : "False");
    }
    std::string Policy(std::uint32_t r, const char* key, const char* name) {
        return wintest::PolicyText(registry, r, key, name);
    }
    bool Gone(std::uint32_t r, const char* key, const char* name) {
        return Policy(r, key, name) == "(none)";
    }
    void StartAndWaitForTheFirstLook() {
        StartProgram();
        ASSERT_TRUE(WaitFor([&] { return wintest::PathExists(data / "BrowserPolicies.reg"); },
                            kTwoTicksMs));
    }
    // The guard's question, once it is up; its text in `asked`.
    HWND Question(std::string& asked) {
        HWND box = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (box = BoxOf(Pid(), "Quillmarsh", IDNO)) != nullptr; },
                            kTwoTicksMs));
        asked = box ? Text(box, kMessageBoxText) : "";
        return box;
    }
    // The registry backups in the quarantine, by their names there.
    std::vector<std::string> RegistryBackups() {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found{};
        HANDLE find = ::FindFirstFileA((data / "quarantine\\*.reg").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            names.push_back(found.cFileName);
        } while (::FindNextFileA(find, &found));
        ::FindClose(find);
        return names;
    }
    // quillmarsh-cli.exe on the test's data folder; its exit code.
    DWORD Console(const std::string& arguments) {
        UniqueKernelHandle cli = Start("\"" + BuildPath(QM_CLI_PATH) + "\" --data-folder \"" +
                                       data.path() + "\" " + arguments);
        DWORD code = 99;
        if (cli && ::WaitForSingleObject(cli.get(), 30000) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(cli.get(), &code);
        return code;
    }

    platform::win32::Win32Registry registry;
    SettingsRestorer guard{{"OptionAndSettings", "chkBrowserPolicies"}};
};

TEST_F(BrowserPolicyProgramTest, PoliciesAddedWhileItRunsGoBackSilentlyAndTheConsoleRestoresThem) {
    ASSERT_TRUE(
        registry.WriteString(root::kCurrentUser, kFirefoxHome, "URL", "https://intranet.example/"));
    Restoring(true);
    StartAndWaitForTheFirstLook();

    ASSERT_TRUE(registry.WriteString(root::kCurrentUser, kChrome, "HomepageLocation",
                                     "http://hijack.example/"));
    ASSERT_TRUE(registry.WriteString(root::kLocalMachine, kForcelist, "1", kExtension));
    EXPECT_TRUE(WaitFor(
        [&] {
            return Gone(root::kCurrentUser, kChrome, "HomepageLocation") &&
                   Gone(root::kLocalMachine, kForcelist, "1");
        },
        kTwoTicksMs))
        << "put back within a tick or two";
    EXPECT_EQ(Policy(root::kCurrentUser, kFirefoxHome, "URL"), "https://intranet.example/")
        << "there before the first look";

    // Closed, so that it does not put back what the console restores.
    ProgramTest::TearDown();
    const std::vector<std::string> backups = RegistryBackups();
    EXPECT_EQ(backups.size(), 2u);
    for (const std::string& name : backups)
        EXPECT_EQ(Console("quarantine restore \"" + name + "\""), 0u) << name;
    EXPECT_EQ(Policy(root::kCurrentUser, kChrome, "HomepageLocation"), "http://hijack.example/");
    EXPECT_EQ(Policy(root::kLocalMachine, kForcelist, "1"), kExtension);
}

TEST_F(BrowserPolicyProgramTest, AskedYesPutsTheChangeBackAndNoAcceptsItAcrossARestart) {
    Restoring(false);
    StartAndWaitForTheFirstLook();

    ASSERT_TRUE(registry.WriteString(root::kCurrentUser, kChrome, "HomepageLocation",
                                     "http://one.example/"));
    std::string asked;
    HWND box = Question(asked);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(asked.find("Chrome: HKEY_CURRENT_USER\\Software\\Policies\\Google\\Chrome"),
              std::string::npos)
        << asked;
    EXPECT_NE(asked.find("HomepageLocation = http://one.example/"), std::string::npos) << asked;
    ::PostMessageA(box, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(WaitFor([&] { return Gone(root::kCurrentUser, kChrome, "HomepageLocation"); }))
        << "Yes puts it back";

    ASSERT_TRUE(registry.WriteString(root::kCurrentUser, kChrome, "HomepageLocation",
                                     "http://two.example/"));
    ASSERT_NE(box = Question(asked), nullptr);
    ::PostMessageA(box, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(WaitFor([&] { return BoxOf(Pid(), "Quillmarsh", IDNO) == nullptr; }));

    // Started again, the program compares with what No accepted.
    ProgramTest::TearDown();
    StartProgram();
    ASSERT_TRUE(registry.WriteString(root::kCurrentUser, kChrome, "NewTabPageLocation",
                                     "http://three.example/"));
    ASSERT_NE(box = Question(asked), nullptr);
    EXPECT_NE(asked.find("NewTabPageLocation = http://three.example/"), std::string::npos) << asked;
    EXPECT_EQ(asked.find("HomepageLocation"), std::string::npos) << "accepted: " << asked;
    ::PostMessageA(box, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(WaitFor([&] { return Gone(root::kCurrentUser, kChrome, "NewTabPageLocation"); }));
    EXPECT_EQ(Policy(root::kCurrentUser, kChrome, "HomepageLocation"), "http://two.example/");
}

}  // namespace
}  // namespace qm::ui::win32
