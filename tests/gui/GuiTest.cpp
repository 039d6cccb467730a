// The desktop program's window under Wine: real controls driven by their IDs, what they show
// read back from the controls themselves. Each test starts the program on a throw-away data
// folder. Waits poll with time-outs; nothing sleeps for a fixed time.

// clang-format off
#include "platform/win32/WinApi.h"
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <shellapi.h>

#include "GuiSupport.h"
#include "LoopbackServer.h"
#include "Screenshot.h"
#include "TempFolder.h"
#include "app/Application.h"
#include "definitions/LineScramble.h"
#include "platform/win32/Handle.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/Win32VersionInfo.h"
#include "ui/win32/InputBox.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/MainWindowIds.h"
#include "ui/win32/Program.h"
#include "ui/win32/QuarantineWindow.h"
#include "ui/win32/ReportWindow.h"
#include "ui/win32/TrayIcon.h"

namespace qm::ui::win32 {
namespace {

class GuiTest : public ::testing::Test {
  protected:
    void PutDefinitionSet(int fileRecords) {
        std::vector<std::string> files;
        for (int i = 0; i < fileRecords; ++i) {
            files.push_back("gui" + std::to_string(i) + ".exe=Gui Threat " + std::to_string(i) +
                            "|[progfil]Gui Vendor " + std::to_string(i) + "|Adware");
        }
        wintest::PutFile(data / "FileDefinition.dat", Scrambled(files));
        wintest::PutFile(data / "DirectoryDefinition.dat",
                         Scrambled({"Gui Folder=Gui Folder|[progfil]Gui Folder|Adware"}));
        wintest::PutFile(data / "RegistryDefinition.dat",
                         Scrambled({"1^Software\\Gui Threat^=Gui Threat|Adware"}));
        wintest::PutFile(data / "ExeDefinition.dat",
                         Scrambled({"gui0.exe=Gui Threat 0|[progfil]Gui Vendor 0|Adware"}));
        wintest::PutFile(data / "BlockedCookies.dat", Scrambled({"gui-tracker.example"}));
    }

    HWND StartProgram() {
        program =
            std::make_unique<Program>(::GetModuleHandleA(nullptr), ProgramOptions{data.path()});
        EXPECT_TRUE(program->Start(SW_SHOW));
        HWND window = program->Window();
        EXPECT_NE(window, nullptr);
        WaitFor([&] { return ::IsWindowVisible(window) != FALSE; });
        return window;
    }

    void TearDown() override { program.reset(); }

    wintest::TempFolder data;
    std::unique_ptr<Program> program;
};

TEST_F(GuiTest, PagesShowTheirCaptionsAndThePageButtonsSwitchThem) {
    PutDefinitionSet(3);
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    char title[256] = {};
    ::GetWindowTextA(w, title, sizeof title);
    EXPECT_STREQ(title, "Quillmarsh by Quillmarsh Software");
    EXPECT_EQ(Text(w, IDC_frmStatus), "Quillmarsh Status");
    EXPECT_EQ(Text(w, IDC_lblDefCount), "7");
    EXPECT_EQ(Text(w, IDC_lblVersion), "1.0");
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w, IDC_lblDefCount)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(w, IDC_cmdScanNow)));
    Screenshot(w, "home");

    // A scan shortcut on the Home page shows the scan page with its kind chosen, and starts
    // nothing.
    Click(w, IDC_Home_Command7);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w, IDC_cmdScanNow)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(w, IDC_lblDefCount)));
    EXPECT_EQ(::IsDlgButtonChecked(w, IDC_optScan3), BST_CHECKED);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_cmdScanNow))) << "no scan started";
    Click(w, IDC_cmdStatus);
    Click(w, IDC_cmdScan);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w, IDC_cmdScanNow)));
    EXPECT_EQ(Text(w, IDC_optScan1), "Full System Scan");

    Click(w, IDC_cmdSettings);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w, IDC_chkMakeLog)));
    // The Settings menu's "Schedule" shows the options page on its third tab.
    ::SendMessageA(w, WM_COMMAND, MAKEWPARAM(IDM_mnuSettingsItem + 2, 0), 0);
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_TabStrip1, TCM_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w, IDC_frmView2)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(w, IDC_chkMakeLog)));
}

HWND g_window = nullptr;
std::string g_reportText;
bool g_showReportWasEnabled = true;

// Reads the open report viewer's text, notes whether "Show Report" is live, and closes it.
void CALLBACK ReadAndCloseReport(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND viewer = ::FindWindowA("#32770", "Quillmarsh Log");
    if (!viewer) return;
    ::KillTimer(nullptr, timer);
    g_showReportWasEnabled = ::IsWindowEnabled(::GetDlgItem(g_window, IDC_lblViewLogFile)) != FALSE;
    std::vector<char> text(1 << 20);
    ::GetDlgItemTextA(viewer, kReportTextId, text.data(), static_cast<int>(text.size()));
    g_reportText = text.data();
    ::PostMessageA(viewer, WM_COMMAND, kReportOkId, 0);
}

TEST_F(GuiTest, SmartScanStartedByClickingStartEndsComplete) {
    PutDefinitionSet(50);
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    Click(w, IDC_cmdScan);
    Click(w, IDC_optScan0);
    Click(w, IDC_cmdScanNow);  // returns when the scan has ended
    EXPECT_EQ(Text(w, IDC_lblStatus), "Scanning complete.");
    EXPECT_EQ(ProgressOf(w, IDC_pb1), 100);
    EXPECT_EQ(ProgressOf(w, IDC_pb2), 100);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_cmdScanNow)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(w, IDC_cmdStop)));
    EXPECT_NE(Text(w, IDC_lblLastScan), "Never");
    Screenshot(w, "scan");

    Click(w, IDC_cmdResults);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w, IDC_lvwResults)));
    EXPECT_EQ(RowCount(w, IDC_lvwResults), 0);
    Screenshot(w, "results");

    // The scan left its report; "Log File" shows it, with "Show Report" off meanwhile.
    g_window = w;
    g_reportText.clear();
    g_showReportWasEnabled = true;
    ::SetTimer(nullptr, 0, 20, ReadAndCloseReport);
    Click(w, IDC_cmdLog);  // returns when the viewer is closed
    EXPECT_FALSE(g_showReportWasEnabled);
    EXPECT_NE(g_reportText.find("Quillmarshv1.0   Scan Report"), std::string::npos) << g_reportText;
    EXPECT_NE(g_reportText.find("=====================End Of Report."), std::string::npos);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_lblViewLogFile)));
}

// Work that fails part-way must not leave the program stuck in its scanning state: the window
// closes, the page buttons work and the background timers run again.
TEST_F(GuiTest, AScanThatFailsPartWayLeavesTheWindowUsableAndClosable) {
    PutDefinitionSet(200);
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    program->SetPumpIntervalMs(0);
    int pumps = 0;
    program->SetPumpHook([&] {
        if (++pumps == 20) throw std::runtime_error("the disk went away");
    });
    Click(w, IDC_cmdScan);
    Click(w, IDC_optScan0);
    Click(w, IDC_cmdScanNow);  // returns when the scan has ended
    program->SetPumpHook(nullptr);
    ASSERT_GE(pumps, 20);
    EXPECT_EQ(Text(w, IDC_lblStatus), "Scanning was cancelled.");
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_cmdScanNow)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_cmdSettings)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(w, IDC_cmdStop)));
    const FrmMain& model = program->Application().Form();
    EXPECT_EQ(
        model.tmrMemoryInspected.enabled,
        program->Application().Settings().ReadFlag("OptionAndSettings", "optMemorySheildOn", true));
    EXPECT_TRUE(program->Application().CanClose());

    // The next scan runs to its end, and the window closes when asked.
    Click(w, IDC_cmdScan);
    Click(w, IDC_cmdScanNow);
    EXPECT_EQ(Text(w, IDC_lblStatus), "Scanning complete.");
    ::SendMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(w));
    // The closed window asked the message loop to end; the tests that follow run their own
    // programs on this thread, so the request is taken out of the queue here.
    MSG message;
    bool quit = false;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        quit = quit || message.message == WM_QUIT;
    EXPECT_TRUE(quit);
}

// Answers "Really Delete?" with Yes once the box is open.
void CALLBACK AnswerReallyDelete(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = ::FindWindowA("#32770", "Really Delete?");
    if (!box) return;
    ::KillTimer(nullptr, timer);
    ::PostMessageA(box, WM_COMMAND, IDYES, 0);
}

std::string ClipboardText() {
    std::string text;
    if (!::OpenClipboard(nullptr)) return text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(::GlobalLock(data))) {
            text = bytes;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// The whole removal as the user sees it: Select All, Repair Now, the confirmation, and the
// "Delete Failed" window for a file another program holds open, with its Copy List and Ok.
std::string g_restoreChoice;
std::string g_restoreMessage;
int g_quarantineItems = -1;

// The quarantine viewer, or the message box it shows under the same caption: the viewer is
// the one with the list.
HWND QuarantineWindowOf(bool viewer) {
    for (HWND w = ::FindWindowExA(nullptr, nullptr, "#32770", "Quillmarsh Quarantine"); w;
         w = ::FindWindowExA(nullptr, w, "#32770", "Quillmarsh Quarantine")) {
        if ((::GetDlgItem(w, kQuarantineListId) != nullptr) == viewer) return w;
    }
    return nullptr;
}

// Reads the restore's answer, closes its box and then the viewer.
void CALLBACK ReadRestoreAnswerAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND viewer = QuarantineWindowOf(true);
    HWND box = QuarantineWindowOf(false);
    if (!viewer || !box) return;
    ::KillTimer(nullptr, timer);
    char text[512] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text
    g_restoreMessage = text;
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    ::PostMessageA(viewer, WM_COMMAND, kQuarantineCloseId, 0);
}

// Picks the item that names g_restoreChoice in the open viewer and restores it.
void CALLBACK RestoreFromTheViewer(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND viewer = QuarantineWindowOf(true);
    if (!viewer) return;
    ::KillTimer(nullptr, timer);
    g_quarantineItems =
        static_cast<int>(::SendDlgItemMessageA(viewer, kQuarantineListId, LB_GETCOUNT, 0, 0));
    const LRESULT found =
        ::SendDlgItemMessageA(viewer, kQuarantineListId, LB_FINDSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(g_restoreChoice.c_str()));
    if (found == LB_ERR) {
        ::PostMessageA(viewer, WM_COMMAND, kQuarantineCloseId, 0);
        return;
    }
    ::SendDlgItemMessageA(viewer, kQuarantineListId, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    ::SetTimer(nullptr, 0, 20, ReadRestoreAnswerAndClose);
    ::PostMessageA(viewer, WM_COMMAND, kQuarantineRestoreId, 0);
}

TEST_F(GuiTest, RepairNowRemovesTheTickedThreatsAndListsTheOneHeldOpen) {
    wintest::TempFolder place;
    const std::string free = place / "qmgui-free.exe";
    const std::string held = place / "qmgui-held.dll";
    wintest::PutFile(free, "MZ free");
    wintest::PutFile(held, "MZ held");
    wintest::PutFile(data / "FileDefinition.dat",
                     Scrambled({"qmgui-free.exe=Gui Free|" + place.path() + "|Adware",
                                "qmgui-held.dll=Gui Held|" + place.path() + "|Adware"}));
    for (const char* name : {"DirectoryDefinition.dat", "RegistryDefinition.dat",
                             "ExeDefinition.dat", "BlockedCookies.dat"}) {
        wintest::PutFile(data / name, "");
    }
    // Readable, so it can be backed up, but not deletable while this handle is open.
    platform::win32::UniqueFile holder(::CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                     nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    Click(w, IDC_cmdScan);
    Click(w, IDC_optScan0);
    Click(w, IDC_cmdScanNow);
    Click(w, IDC_cmdResults);
    ASSERT_EQ(RowCount(w, IDC_lvwResults), 2);
    Click(w, IDC_cmdSelectAll);
    ::SetTimer(nullptr, 0, 20, AnswerReallyDelete);
    Click(w, IDC_Command4);  // returns when the removal has ended

    EXPECT_EQ(::GetFileAttributesA(free.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesA(held.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(RowCount(w, IDC_lvwResults), 1);
    EXPECT_NE(::GetFileAttributesA((data / "quarantine\\qmgui-free.exe").c_str()),
              INVALID_FILE_ATTRIBUTES);
    HWND failed = program->DeleteFailedWindow();
    ASSERT_NE(failed, nullptr);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(failed) != FALSE; }));
    EXPECT_EQ(RowCount(failed, IDC_lstProblem), 1);
    char cell[512] = {};
    ListView_GetItemText(::GetDlgItem(failed, IDC_lstProblem), 0, 0, cell, sizeof cell);
    EXPECT_EQ(std::string(cell), held);
    // Its backup is safe, so Windows deletes it at the next start, and the list says so.
    ListView_GetItemText(::GetDlgItem(failed, IDC_lstProblem), 0, 1, cell, sizeof cell);
    EXPECT_EQ(std::string(cell), "deleted at restart");
    Screenshot(failed, "delete-failed");

    Click(failed, IDC_cmdCopyList);
    // Windows refuses clipboard data from an exchange that no window owns; Wine does not.
    EXPECT_NE(::GetClipboardOwner(), nullptr);
    EXPECT_EQ(ClipboardText(), held + "\r\n");
    Click(failed, IDC_cmdDeleteOk);
    EXPECT_FALSE(::IsWindowVisible(failed));

    // The quarantine's viewer lists both copies and puts the removed file back.
    g_restoreChoice = "File  " + free;
    ::SetTimer(nullptr, 0, 20, RestoreFromTheViewer);
    Menu(w, IDM_mnuQuarItem + 0);  // "View Quarantine": returns when the viewer is closed
    EXPECT_EQ(g_quarantineItems, 2);
    EXPECT_EQ(wintest::FileContent(free), "MZ free") << g_restoreMessage;
    EXPECT_EQ(g_restoreMessage, "Restored " + free + ".");
    holder.reset();
    ::DeleteFileA(held.c_str());
}

HWND g_download = nullptr;
bool g_progressSeen = false;
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
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
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

// Finds the program's open question box and answers it.
void CALLBACK AnswerYes(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = ::FindWindowA("#32770", "Quillmarsh");
    if (!box) return;
    ::KillTimer(nullptr, timer);
    ::PostMessageA(box, WM_COMMAND, IDYES, 0);
}

bool g_stopClicked = false;

// Clicks the Stop label once the definitions are loading.
void CALLBACK ClickStopWhileLoading(HWND, UINT, UINT_PTR timer, DWORD) {
    if (Text(g_window, IDC_lblStatus) != "Loading definitions, please wait...") return;
    ::KillTimer(nullptr, timer);
    g_stopClicked = true;
    ::SetTimer(nullptr, 0, 20, AnswerYes);
    // Disabled Stop button while loading: the label is what the user can click.
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(g_window, IDC_cmdStop)));
    ::SendMessageA(g_window, WM_COMMAND, MAKEWPARAM(IDC_lblStop, STN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(g_window, IDC_lblStop)));
}

TEST_F(GuiTest, StopConfirmedDuringALongLoadCancelsTheScan) {
    PutDefinitionSet(400000);
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    g_window = w;
    g_stopClicked = false;
    Click(w, IDC_cmdScan);
    Click(w, IDC_optScan1);  // Full System Scan: loads the definitions first
    ::SetTimer(nullptr, 0, 20, ClickStopWhileLoading);
    Click(w, IDC_cmdScanNow);
    EXPECT_TRUE(g_stopClicked);
    EXPECT_EQ(Text(w, IDC_lblStatus), "Scanning was cancelled.");
    EXPECT_EQ(Text(w, IDC_lblPercentageCompleted), "0% Completed.");
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_cmdScanNow)));
}

bool g_pauseShown = false;

// Answers the pause box once it is open; the scan must stand still until then.
void CALLBACK ResumeFromPause(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = ::FindWindowA("#32770", "Quillmarsh");
    if (!box) return;
    ::KillTimer(nullptr, timer);
    g_pauseShown = true;
    // Still loading: the scan has not moved on while the box was open.
    EXPECT_EQ(Text(g_window, IDC_lblStatus), "Loading definitions, please wait...");
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
}

void CALLBACK ClickPauseWhileLoading(HWND, UINT, UINT_PTR timer, DWORD) {
    if (Text(g_window, IDC_lblStatus) != "Loading definitions, please wait...") return;
    ::KillTimer(nullptr, timer);
    ::SetTimer(nullptr, 0, 20, ResumeFromPause);
    ::SendMessageA(g_window, WM_COMMAND, MAKEWPARAM(IDC_lblPause, STN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(g_window, IDC_lblPause)));
}

TEST_F(GuiTest, PauseHoldsTheScanUntilTheBoxIsAnswered) {
    PutDefinitionSet(400000);
    // Only the load matters here, not a walk of the whole of drive C:.
    SettingsRestorer restore{{"Drives", "C"}};
    restore.Set("Drives", "C", "False");
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    g_window = w;
    g_pauseShown = false;
    Click(w, IDC_cmdScan);
    Click(w, IDC_optScan1);
    ::SetTimer(nullptr, 0, 20, ClickPauseWhileLoading);
    Click(w, IDC_cmdScanNow);
    EXPECT_TRUE(g_pauseShown);
    EXPECT_EQ(Text(w, IDC_lblStatus), "Scanning complete.");
}

TEST_F(GuiTest, UnreadableDataFolderStillBringsTheWindowUp) {
    program = std::make_unique<Program>(::GetModuleHandleA(nullptr),
                                        ProgramOptions{"Q:\\no such drive\\AntiSpywareDAT"});
    ASSERT_TRUE(program->Start(SW_SHOW));
    HWND w = program->Window();
    EXPECT_EQ(Text(w, IDC_lblDefVersion), "Files Missing, Run Live Update");
    EXPECT_EQ(Text(w, IDC_lblDefCount), "0");
}

TEST_F(GuiTest, MissingDefinitionsStillBringTheWindowUpAndSayWhy) {
    // An empty data folder: no definition files at all.
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Text(w, IDC_lblDefVersion), "Files Missing, Run Live Update");
    Click(w, IDC_cmdScan);
    Click(w, IDC_optScan0);
    ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR timer, DWORD) {
        HWND box = ::FindWindowA("#32770", "Quillmarsh");
        if (!box) return;
        char text[512] = {};
        ::EnumChildWindows(
            box,
            [](HWND child, LPARAM out) -> BOOL {
                char buffer[512] = {};
                ::GetWindowTextA(child, buffer, sizeof buffer);
                if (std::string(buffer).find("Definition files") != std::string::npos) {
                    lstrcpynA(reinterpret_cast<char*>(out), buffer, 512);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text,
                     "Definition files are missing or they have been corrupted. Please run Live "
                     "Update.");
        ::KillTimer(nullptr, timer);
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    Click(w, IDC_cmdScanNow);
    EXPECT_EQ(Text(w, IDC_lblStatus), "Scanning complete.");
    EXPECT_EQ(Text(w, IDC_lblDefVersion), "Files Missing, Run Live Update");
}

// Answers the program's open message box with OK, noting its text.
std::string g_boxText;
void CALLBACK AnswerOk(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = ::FindWindowA("#32770", "Quillmarsh");
    if (!box || !::GetDlgItem(box, 0xFFFF)) return;
    ::KillTimer(nullptr, timer);
    g_boxText = Text(box, 0xFFFF);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// A pick in a date or time picker: the control changed, and the change reported to the window.
void PickDate(HWND window, int id, WORD year, WORD month, WORD day, WORD hour, WORD minute) {
    SYSTEMTIME picked{year, month, 0, day, hour, minute, 0, 0};
    ::SendDlgItemMessageA(window, id, DTM_SETSYSTEMTIME, GDT_VALID,
                          reinterpret_cast<LPARAM>(&picked));
    NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = ::GetDlgItem(window, id);
    change.nmhdr.idFrom = static_cast<UINT_PTR>(id);
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    change.st = picked;
    ::SendMessageA(window, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&change));
}

TEST_F(GuiTest, TheScheduleTabStoresOnlyOnApplyAndResetTurnsItOff) {
    SettingsRestorer restore{{"OptionAndSettings", "chkAutomaticScanYesOrNo"},
                             {"OptionAndSettings", "Day"},
                             {"OptionAndSettings", "Date"},
                             {"OptionAndSettings", "Time"}};
    restore.Set("OptionAndSettings", "Day", "None");
    restore.Set("OptionAndSettings", "chkAutomaticScanYesOrNo", "0");
    PutDefinitionSet(1);
    HWND w = StartProgram();
    Menu(w, IDM_mnuSettingsItem + 2);  // "Schedule"
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_cmbDays, CB_GETCURSEL, 0, 0), 7) << "Daily";
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(w, IDC_cmbDays)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(w, IDC_CmdProceed)));

    Click(w, IDC_chkAutomaticScanYesOrNo);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_cmbDays)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_dtpScheduleTime)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(w, IDC_dtpScheduleDate)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_CmdProceed)));
    ::SendDlgItemMessageA(w, IDC_cmbDays, CB_SETCURSEL, 8, 0);  // "Date & Time"
    ::SendMessageA(w, WM_COMMAND, MAKEWPARAM(IDC_cmbDays, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(::GetDlgItem(w, IDC_cmbDays)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_dtpScheduleDate)));
    EXPECT_EQ(restore.Stored("OptionAndSettings", "Day"), "None") << "nothing stored yet";

    g_boxText.clear();
    ::SetTimer(nullptr, 0, 20, AnswerOk);
    Click(w, IDC_CmdProceed);
    EXPECT_EQ(g_boxText, "Please select the date that you want to scan.");
    EXPECT_EQ(restore.Stored("OptionAndSettings", "Day"), "None");

    PickDate(w, IDC_dtpScheduleDate, 2026, 12, 24, 0, 0);
    PickDate(w, IDC_dtpScheduleTime, 2026, 12, 9, 18, 15);
    Screenshot(w, "options-schedule");
    Click(w, IDC_CmdProceed);
    EXPECT_EQ(restore.Stored("OptionAndSettings", "Day"), "8");
    EXPECT_EQ(restore.Stored("OptionAndSettings", "Date"), "12/24/2026");
    EXPECT_EQ(restore.Stored("OptionAndSettings", "Time"), "6:15:00 PM");
    EXPECT_EQ(restore.Stored("OptionAndSettings", "chkAutomaticScanYesOrNo"), "1");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(w, IDC_CmdProceed)));

    // The next start shows the stored schedule.
    program.reset();
    w = StartProgram();
    Menu(w, IDM_mnuSettingsItem + 2);
    EXPECT_TRUE(Checked(w, IDC_chkAutomaticScanYesOrNo));
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_cmbDays, CB_GETCURSEL, 0, 0), 8);
    SYSTEMTIME shown{};
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_dtpScheduleDate, DTM_GETSYSTEMTIME, 0,
                                    reinterpret_cast<LPARAM>(&shown)),
              GDT_VALID);
    EXPECT_EQ(shown.wDay, 24);

    Click(w, IDC_cmdDefaultSetting);
    EXPECT_EQ(restore.Stored("OptionAndSettings", "chkAutomaticScanYesOrNo"), "0");
    EXPECT_FALSE(Checked(w, IDC_chkAutomaticScanYesOrNo));
}

TEST_F(GuiTest, MinimizeToTrayHidesTheWindowAndTheIconsMenuBringsItBack) {
    SettingsRestorer restore{{"Settings", "Minimized"}};
    PutDefinitionSet(1);
    HWND w = StartProgram();
    Menu(w, IDM_mnuFileItem + 6);  // "Minimize to Tray"
    EXPECT_FALSE(::IsWindowVisible(w));
    EXPECT_EQ(restore.Stored("Settings", "Minimized"), "Yes");
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = w;
    icon.uID = 1;
    EXPECT_TRUE(::Shell_NotifyIconA(NIM_MODIFY, &icon)) << "the icon is in the notification area";

    // A left press on the icon arrives as the program's own message, the mouse message in lParam.
    ::SendMessageA(w, MainWindow::kTrayMessage, 1, WM_LBUTTONDOWN);
    HWND menu = program->TrayMenuWindow();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(menu) != FALSE; }));
    EXPECT_EQ(Text(menu, IDC_lblName), "Quillmarsh");
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(menu, IDC_mnuClose)));
    // It rises from the screen's bottom edge until it has stopped.
    RECT first{};
    ::GetWindowRect(menu, &first);
    RECT last = first;
    EXPECT_TRUE(WaitFor([&] {
        RECT now{};
        ::GetWindowRect(menu, &now);
        const bool stopped = now.top < first.top && now.top == last.top;
        last = now;
        return stopped;
    }));
    Screenshot(menu, "tray-menu");
    // The pointer over "Close This Menu" shows it in bold, and away from it plain again.
    HWND closeLabel = ::GetDlgItem(menu, IDC_lblMenuClose);
    const auto weight = [&] {
        LOGFONTA font{};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(closeLabel, WM_GETFONT, 0, 0)),
                     sizeof font, &font);
        return font.lfWeight;
    };
    ::SendMessageA(menu, WM_SETCURSOR, reinterpret_cast<WPARAM>(closeLabel),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_GE(weight(), FW_BOLD);
    ::SendMessageA(menu, WM_SETCURSOR, reinterpret_cast<WPARAM>(menu),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_LT(weight(), FW_BOLD);
    Click(menu, IDC_mnuMaxmimaize);  // "Show Program"
    EXPECT_TRUE(::IsWindowVisible(w));
    EXPECT_FALSE(::IsWindowVisible(menu));

    Click(w, IDC_Home_Command5);  // the Home page's "Minimize"
    EXPECT_FALSE(::IsWindowVisible(w));
    ::SendMessageA(w, MainWindow::kTrayMessage, 1, WM_RBUTTONDBLCLK);
    EXPECT_TRUE(::IsWindowVisible(w)) << "a double click restores the window";
}

// Wine's shell takes every icon, while one still starting at logon refuses the add: a refused
// add is no icon, is tried again as an add, and a new taskbar gets the icon whether or not an
// earlier add had worked.
TEST(TrayIconTest, ARefusedAddIsNoIconAndANewTaskbarAddsItAnyway) {
    static std::vector<DWORD> calls;
    static bool refuse = true;
    TrayIcon icon(nullptr, 7, 0, [](DWORD message, PNOTIFYICONDATAA) -> BOOL {
        calls.push_back(message);
        return refuse ? FALSE : TRUE;
    });
    EXPECT_FALSE(icon.Show(nullptr, "tip"));
    EXPECT_FALSE(icon.Shown());
    EXPECT_FALSE(icon.Show(nullptr, "tip"));
    refuse = false;
    EXPECT_TRUE(icon.Restore(nullptr, "tip"));
    EXPECT_TRUE(icon.Shown());
    EXPECT_EQ(calls, (std::vector<DWORD>{NIM_ADD, NIM_ADD, NIM_ADD}));
}

TEST_F(GuiTest, AboutShowsTheVersionInformationAndOkClosesIt) {
    PutDefinitionSet(1);
    HWND w = StartProgram();
    Menu(w, IDM_mnuAboutItem + 0);
    HWND about = program->AboutWindow();
    ASSERT_TRUE(::IsWindowVisible(about));
    char caption[128] = {};
    ::GetWindowTextA(about, caption, sizeof caption);
    EXPECT_STREQ(caption, "About Quillmarsh");
    EXPECT_EQ(Text(about, IDC_lblAboutCompany), "Quillmarsh Software");
    EXPECT_EQ(Text(about, IDC_lblAboutVersion), "1.0");
    Screenshot(about, "about");
    Click(about, IDOK);
    EXPECT_FALSE(::IsWindowVisible(about));
}

TEST_F(GuiTest, OptionsAreStoredWhenClickedAndComeBackAtTheNextStart) {
    SettingsRestorer restore{{"OptionAndSettings", "chkScanCookies"},
                             {"OptionAndSettings", "optMemorySheildOn"},
                             {"OptionAndSettings", "optMemorySheildOff"},
                             {"Drives", "C"}};
    PutDefinitionSet(1);
    HWND w = StartProgram();
    Click(w, IDC_cmdSettings);
    ASSERT_TRUE(Checked(w, IDC_chkScanCookies));
    EXPECT_TRUE(Checked(w, IDC_optScanOnlyKnownSoftwares));
    EXPECT_EQ(Text(w, IDC_lblRunAtStart), "(Disabled - Run Manually)");
    Click(w, IDC_chkScanCookies);
    EXPECT_FALSE(Checked(w, IDC_chkScanCookies));
    EXPECT_EQ(restore.Stored("OptionAndSettings", "chkScanCookies"), "0");

    // The drive list holds C:, ticked; clearing the tick stores it.
    HWND drives = ::GetDlgItem(w, IDC_lvwHardDrives);
    ASSERT_GE(ListView_GetItemCount(drives), 1);
    EXPECT_TRUE(ListView_GetCheckState(drives, 0));
    ListView_SetCheckState(drives, 0, FALSE);
    EXPECT_EQ(restore.Stored("Drives", "C"), "False");
    Screenshot(w, "options-scan");

    Menu(w, IDM_mnuSettingsItem + 1);  // "Proactive Protection"
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(w, IDC_optMemorySheildOff)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(w, IDC_chkScanCookies)));
    Click(w, IDC_optMemorySheildOff);
    EXPECT_TRUE(Checked(w, IDC_optMemorySheildOff));
    EXPECT_FALSE(Checked(w, IDC_optMemorySheildOn));
    EXPECT_EQ(restore.Stored("OptionAndSettings", "optMemorySheildOn"), "False");
    EXPECT_EQ(restore.Stored("OptionAndSettings", "optMemorySheildOff"), "True");
    Screenshot(w, "options-proactive-protection");

    program.reset();
    w = StartProgram();
    EXPECT_FALSE(Checked(w, IDC_chkScanCookies));
    EXPECT_TRUE(Checked(w, IDC_optMemorySheildOff));
    EXPECT_FALSE(Checked(w, IDC_chkAutoProtect));
    EXPECT_FALSE(ListView_GetCheckState(::GetDlgItem(w, IDC_lvwHardDrives), 0));
}

}  // namespace
}  // namespace qm::ui::win32

namespace qm::ui::win32 {
namespace {

TEST_F(GuiTest, ChangeLanguageTranslatesTheWindowsCaptionsMenusAndTabs) {
    PutDefinitionSet(1);
    SettingsRestorer language{{"Settings", "Language"}};
    // The translation file beside the program, as the installer would put it.
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string file = self;
    file = file.substr(0, file.find_last_of('\\') + 1) + "Localization.txt";
    wintest::PutFile(
        file,
        "\xEF\xBB\xBF<LANGUAGE_GROUP><LANGUAGE_NAME>Deutsch</LANGUAGE_NAME>"
        "<TRANSLATION_ITEMS>\r\n"
        "\t\t<FRMMAIN_CMDSCAN>Pr\xC3\xBC"
        "fen</FRMMAIN_CMDSCAN>\r\n"
        "\t\t<FRMMAIN_MNUFILEITEM8>Beenden</FRMMAIN_MNUFILEITEM8>\r\n"
        "\t\t<FRMMAIN_TABSTRIP1_TABS3>Zeitplan</FRMMAIN_TABSTRIP1_TABS3>\r\n"
        "\t\t<FRMMAIN_LVWSPYWAREFOUND_COL1>Name (de)</FRMMAIN_LVWSPYWAREFOUND_COL1>\r\n"
        "\t\t<FRMLANGUAGE_COMMAND2>Fertig</FRMLANGUAGE_COMMAND2>\r\n"
        "</TRANSLATION_ITEMS></LANGUAGE_GROUP>\r\n");
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    Menu(w, IDM_mnuLanguageItem + 0);
    HWND window = program->LanguageWindow();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }));
    char title[128] = {};
    ::GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Choose Language");
    HWND list = ::GetDlgItem(window, IDC_Combo1);
    ASSERT_EQ(::SendMessageA(list, CB_GETCOUNT, 0, 0), 3) << "the prompt, English, Deutsch";
    ::SendMessageA(list, CB_SETCURSEL, 2, 0);
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_Combo1, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(Text(w, IDC_cmdScan),
              "Pr\xFC"
              "fen");
    char entry[64] = {};
    ::GetMenuStringA(::GetMenu(w), IDM_mnuFileItem + 8, entry, sizeof entry, MF_BYCOMMAND);
    EXPECT_STREQ(entry, "Beenden");
    char tab[64] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = tab;
    item.cchTextMax = sizeof tab;
    ::SendDlgItemMessageA(w, IDC_TabStrip1, TCM_GETITEMA, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(tab, "Zeitplan");
    char column[64] = {};
    LVCOLUMNA header{};
    header.mask = LVCF_TEXT;
    header.pszText = column;
    header.cchTextMax = sizeof column;
    ::SendDlgItemMessageA(w, IDC_lvwSpywareFound, LVM_GETCOLUMNA, 0,
                          reinterpret_cast<LPARAM>(&header));
    EXPECT_STREQ(column, "Name (de)");
    EXPECT_EQ(Text(window, IDC_Command2), "Fertig") << "the language window itself";
    EXPECT_EQ(language.Stored("Settings", "Language"), "Deutsch");
    Click(window, IDC_Command2);
    EXPECT_FALSE(::IsWindowVisible(window));
    ::DeleteFileA(file.c_str());
}

// Answers the false-positive report's boxes as its user does: OK to the locations, the details
// typed into the input box, then No to excluding them.
int g_falsePositiveStep = 0;
void CALLBACK AnswerFalsePositive(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = ::GetForegroundWindow();
    if (!box) return;
    if (g_falsePositiveStep == 0 && ::GetDlgItem(box, IDOK) && ::GetDlgItem(box, IDCANCEL) &&
        !::GetDlgItem(box, kInputTextId)) {
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        g_falsePositiveStep = 1;
    } else if (g_falsePositiveStep == 1 && ::GetDlgItem(box, kInputTextId)) {
        ::SetDlgItemTextA(box, kInputTextId, "mine # 1 & only");
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        g_falsePositiveStep = 2;
    } else if (g_falsePositiveStep == 2 && ::GetDlgItem(box, IDNO)) {
        ::PostMessageA(box, WM_COMMAND, IDNO, 0);
        g_falsePositiveStep = 3;
        ::KillTimer(nullptr, timer);
    }
}

TEST_F(GuiTest, AFalsePositiveFromTheResultsPageReachesTheServerWhole) {
    PutDefinitionSet(1);
    wintest::LoopbackServer server([&](const std::string&) { return wintest::OkAnswer("OK"); });
    SettingsRestorer settings({{"OptionAndSettings", "UpdateServer"}});
    settings.Set("OptionAndSettings", "UpdateServer", server.Url(""));
    HWND w = StartProgram();
    ASSERT_NE(w, nullptr);
    ListItem& row =
        program->Application().Form().lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Add("a.exe");
    row.SetSubItem(1, "C:\\A b\\a.exe");
    row.checked = true;
    Click(w, IDC_cmdResults);
    g_falsePositiveStep = 0;
    ::SetTimer(nullptr, 0, 20, AnswerFalsePositive);
    Click(w, IDC_cmdFalsePos);  // returns when the report is done
    EXPECT_EQ(g_falsePositiveStep, 3);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_NE(requests[0].find("/asp/submitFP.asp?files=C%3A%5CA%20b%5Ca.exe%7C&details="
                               "mine%20%23%201%20%26%20only "),
              std::string::npos)
        << requests[0];

    // Enter in the file-name box reaches the default button, Start: it submits the name.
    HWND box = ::GetDlgItem(w, IDC_txtFilename);
    ::SetWindowTextA(box, "tool.exe");
    ::SetFocus(box);
    Click(w, IDC_cmdScanNow);
    ASSERT_EQ(server.Requests().size(), 2u) << "no scan, one submission";
    EXPECT_NE(server.Requests()[1].find("/asp/getData.asp?data="), std::string::npos);
    EXPECT_EQ(Text(w, IDC_txtFilename), "") << "the box is cleared";
}

// The window drawn straight from a model, without a program around it.
class MainWindowTest : public ::testing::Test {
  protected:
    // Records the two commands these tests look at; the others do nothing.
    struct RecordingCommands final : MainWindowCommands {
        std::vector<std::string> changed;
        std::vector<int> clickedColumns;
        void ResultCheckChanged(ListItem& row) override { changed.push_back(row.text); }
        void LiveListColumnClicked(int column) override { clickedColumns.push_back(column); }
        void StartScan() override {}
        void PauseScan() override {}
        void StopScan(bool) override {}
        void SelectAll() override {}
        void Exclude() override {}
        void ViewExclusions() override {}
        void ViewQuarantine() override {}
        void RepairNow() override {}
        void RemoveSelected() override {}
        void DeleteFailedOk() override {}
        void CopyProblemList() override {}
        void ViewReport() override {}
        void RunLiveUpdate() override {}
        void ShowAddressList() override {}
        void CloseDownloadWindow() override {}
        void NoticeOk() override {}
        void AlertStop() override {}
        void AlertAllow() override {}
        void ApplySchedule() override {}
        void ResetSchedule() override {}
        void ScheduleDaysChanged() override {}
        void SchedulePickerChanged() override {}
        void CheckBoxClicked(CheckBox&) override {}
        void OptionClicked(OptionButton&) override {}
        void SendDataReleased() override {}
        void DriveCheckChanged() override {}
        void ShowOptionsTab(int) override {}
        bool TimerTick(Timer&) override { return false; }
        bool CanClose() const override { return true; }
        void Closing() override {}
        void LaunchAntiHijack() override {}
        void MinimizeToTray() override {}
        void TrayIconMouse(int) override {}
        void ShowProgram() override {}
        void CloseTrayMenu() override {}
        void ExitFromTrayMenu() override {}
        void CloseWhenIdle() override {}
        void TrayMenuPointerMoved() override {}
        void ViewHelp() override {}
        void ShowAbout() override {}
        void CloseAbout() override {}
        bool ConfirmExitFromTrayMenu() override { return false; }
        void WindowResized(bool) override {}
        void OpenWebsite() override {}
        void ShowLanguageWindow() override {}
        void LanguageChosen(int) override {}
        void CheckLanguageUpdates() override {}
        void TranslateProgram() override {}
        void CloseLanguageWindow() override {}
        void ReportFalsePositive() override {}
        void BrowseForSubmission() override {}
        void SubmitFilename() override {}
        void ShowResultsPage() override {}
    };

    void SetUp() override {
        window = std::make_unique<MainWindow>(::GetModuleHandleA(nullptr), model, commands);
        ASSERT_TRUE(window->Create());
        window->Show(SW_SHOW);
    }

    std::string CellText(int id, int row, int column) {
        char buffer[512] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        ::SendDlgItemMessageA(window->Handle(), id, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                              reinterpret_cast<LPARAM>(&item));
        return buffer;
    }

    FrmMain model;
    RecordingCommands commands;
    std::vector<std::string>& changed = commands.changed;
    std::vector<int>& clickedColumns = commands.clickedColumns;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, ListRowsFollowTheModelAndUserTicksReachIt) {
    HWND w = window->Handle();
    auto& results = model.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    auto& first = results.Add("Demo AdBar", detection::kFile);
    first.subItems = {"c:\\program files\\demo adbar\\adbar.exe", "Adware", "Medium/High",
                      "Adware displays ads on your computer and can compromise your security."};
    results.Add("tracker", detection::kCookie).subItems = {"c:\\cookies\\t.txt", "Tracking Cookie"};
    model.ShowPage(model.frmResults);
    window->Sync();

    HWND list = ::GetDlgItem(w, IDC_lvwResults);
    ASSERT_EQ(ListView_GetItemCount(list), 2);
    EXPECT_EQ(CellText(IDC_lvwResults, 0, 0), "Demo AdBar");
    EXPECT_EQ(CellText(IDC_lvwResults, 0, 1), "c:\\program files\\demo adbar\\adbar.exe");
    EXPECT_EQ(CellText(IDC_lvwResults, 0, 3), "Medium/High");
    EXPECT_EQ(CellText(IDC_lvwResults, 1, 2), "Tracking Cookie");

    // A tick in the list (the control reports it as the user's click does) reaches the model.
    ListView_SetCheckState(list, 1, TRUE);
    EXPECT_TRUE(results.rows[1].checked);
    EXPECT_FALSE(results.rows[0].checked);
    EXPECT_EQ(changed, std::vector<std::string>{"tracker"});

    // Marks set by the program (Select All) show in the list without counting as a click.
    results.rows[0].checked = true;
    window->Sync();
    EXPECT_NE(ListView_GetCheckState(list, 0), 0u);
    EXPECT_EQ(changed.size(), 1u);

    // Rows changed in place (risk filled in at the end of a scan) are redrawn.
    results.rows[1].SetSubItem(3, "Low");
    window->Sync();
    EXPECT_EQ(CellText(IDC_lvwResults, 1, 3), "Low");
    EXPECT_EQ(ListView_GetItemCount(list), 2);
}

TEST_F(MainWindowTest, ColumnHeaderClickOnTheLiveListReachesItsHandler) {
    HWND w = window->Handle();
    model.lvwSpywareFound.Add("b", detection::kFile).SetSubItem(1, "c:\\b");
    model.lvwSpywareFound.Add("a", detection::kFile).SetSubItem(1, "c:\\a");
    model.ShowPage(model.frmScan);
    window->Sync();
    NMLISTVIEW click{};
    click.hdr.hwndFrom = ::GetDlgItem(w, IDC_lvwSpywareFound);
    click.hdr.idFrom = IDC_lvwSpywareFound;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = 1;
    ::SendMessageA(w, WM_NOTIFY, IDC_lvwSpywareFound, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(clickedColumns, std::vector<int>{2});
}

TEST_F(MainWindowTest, LabelsButtonsAndBarsShowTheirModel) {
    HWND w = window->Handle();
    model.ShowPage(model.frmScan);
    model.lblStatus.caption = "Scanning registry: ";
    model.pb1.Set(40);
    model.cmdStop.enabled = true;
    model.SelectScanKind(ScanKind::Folder);
    window->Sync();
    EXPECT_EQ(Text(w, IDC_lblStatus), "Scanning registry: ");
    EXPECT_EQ(ProgressOf(w, IDC_pb1), 40);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_cmdStop)));
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_optScan3, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_optScan0, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // A click on an option reaches the model.
    Click(w, IDC_optScan1);
    EXPECT_EQ(model.SelectedScanKind(), ScanKind::FullSystem);
}

}  // namespace
}  // namespace qm::ui::win32
