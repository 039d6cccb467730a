// Scans started from the main window under Wine: a Smart Scan to its end and its report, a
// scan that fails part-way, and Stop and Pause while the definitions load.

#include <stdexcept>
#include <string>
#include <vector>

#include "GuiSupport.h"
#include "app/Application.h"
#include "ui/win32/MainWindowIds.h"
#include "ui/win32/ReportWindow.h"

namespace qm::ui::win32 {
namespace {

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

}  // namespace
}  // namespace qm::ui::win32
