// Update Now under Wine against a local server: the progress window, then the notice, then the
// new definitions on the Home page.

#include <string>
#include <vector>

#include "GuiSupport.h"
#include "LoopbackServer.h"
#include "platform/win32/Win32Registry.h"
#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {
namespace {

HWND g_download = nullptr;
bool g_progressSeen = false;

// `AllowUnsignedDefinitions` = "1" in the machine's settings while it lives.
class UnsignedDefinitionsAllowed {
  public:
    UnsignedDefinitionsAllowed() {
        registry_.WriteString(platform::root::kLocalMachine, kKey, "AllowUnsignedDefinitions", "1");
    }
    ~UnsignedDefinitionsAllowed() {
        registry_.DeleteValue(platform::root::kLocalMachine, kKey, "AllowUnsignedDefinitions");
    }
    UnsignedDefinitionsAllowed(const UnsignedDefinitionsAllowed&) = delete;
    UnsignedDefinitionsAllowed& operator=(const UnsignedDefinitionsAllowed&) = delete;

  private:
    static constexpr const char* kKey = "SOFTWARE\\Quillmarsh Software\\Quillmarsh\\Settings";
    platform::win32::Win32Registry registry_;
};
std::vector<std::string> g_progressStatus;

// Notes the progress window while Live Update runs: shown, with its status text.
void CALLBACK WatchTheProgressWindow(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_download || !::IsWindowVisible(g_download)) return;
    g_progressSeen = true;
    const std::string status = Text(g_download, IDC_txtStatus);
    if (g_progressStatus.empty() || g_progressStatus.back() != status) {
        g_progressStatus.push_back(status);
    }
}

TEST_F(GuiTest, UpdateNowShowsTheProgressWindowThenTheNoticeAndTheNewDefinitions) {
    PutDefinitionSet(3);
    const std::string record = defs::EncodeLine("FILE") + "|ADD[DEF]" +
                               defs::EncodeLine("gui-new.exe") + "=" + defs::EncodeLine("Gui New") +
                               "|" + defs::EncodeLine("[progfil]Gui New") + "|" +
                               defs::EncodeLine("Adware");
    wintest::LoopbackServer server([&](const std::string& head) {
        if (head.find("/asp/currentDateNEW.asp?prog=Quillmarsh&comp=Quillmarsh%20Software ") !=
                std::string::npos ||
            head.find("/asp/date.asp ") != std::string::npos) {
            return wintest::OkAnswer("12/5/2026 10:00:00 AM");
        }
        if (head.find("/asp/getDefsNEW.asp?") != std::string::npos) {
            return wintest::OkAnswer(record);
        }
        return wintest::LoopbackAnswer{"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"};
    });
    SettingsRestorer settings({{"OptionAndSettings", "UpdateServer"},
                               {"OptionAndSettings", "SHOW"},
                               {"OptionAndSettings", "RESTART"}});
    settings.Set("OptionAndSettings", "UpdateServer", server.Url(""));
    // This server does not sign: the machine-wide switch of an administrator who runs one.
    // (Signed answers are checked end to end by the console's update test.)
    const UnsignedDefinitionsAllowed allowed;
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w, IDC_lblUnsignedAllowed)));
    EXPECT_EQ(Text(w, IDC_lblUnsignedAllowed),
              "Unsigned definitions are allowed on this computer (AllowUnsignedDefinitions).");
    g_download = program->DownloadWindow();
    g_progressSeen = false;
    g_progressStatus.clear();
    const UINT_PTR watch = ::SetTimer(nullptr, 0, 5, WatchTheProgressWindow);
    Click(w, IDC_cmdUpdate);  // returns when the update has ended
    ::KillTimer(nullptr, watch);

    EXPECT_TRUE(g_progressSeen);
    EXPECT_TRUE(std::any_of(g_progressStatus.begin(), g_progressStatus.end(),
                            [](const std::string& s) { return s.rfind("Downloaded ", 0) == 0; }))
        << "the status box follows the download";
    EXPECT_FALSE(::IsWindowVisible(g_download));
    EXPECT_EQ(Text(w, IDC_lblDefVersion), "12/5/2026 10:00:00 AM PST");
    EXPECT_EQ(Text(w, IDC_lblDefCount), "8");
    EXPECT_EQ(settings.Stored("OptionAndSettings", "SHOW"), "True");
    HWND notice = program->NoticeWindow();
    ASSERT_TRUE(::IsWindowVisible(notice));
    EXPECT_EQ(Text(notice, IDC_lblUpdateInfo), "Your Quillmarsh definitions have been updated!");
    RECT start{};
    ::GetWindowRect(notice, &start);
    EXPECT_TRUE(WaitFor([&] {
        RECT now{};
        ::GetWindowRect(notice, &now);
        return now.top < start.top;
    })) << "the notice rises";

    Click(notice, IDC_cmdUpdateSuccesfullOK);
    EXPECT_FALSE(::IsWindowVisible(notice));
    EXPECT_EQ(settings.Stored("OptionAndSettings", "SHOW"), "false");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_NE(requests[1].find("&date=3/16/2006 "), std::string::npos) << requests[1];
}

}  // namespace
}  // namespace qm::ui::win32
