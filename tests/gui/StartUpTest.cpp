// The window comes up whatever its data folder holds: an unreadable folder, or one without
// its definition files.

#include <string>

#include "GuiSupport.h"
#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {
namespace {

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

}  // namespace
}  // namespace qm::ui::win32
