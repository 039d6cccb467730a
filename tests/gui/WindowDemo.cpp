// The demo's look at the window: starts the program on a data folder, runs a Smart Scan by
// clicking Start, shows the Results page and saves a picture of it.
//   qm_window_demo.exe DATA_FOLDER OUTPUT.bmp

// clang-format off
#include "platform/win32/WinApi.h"
// clang-format on

#include <cstdio>
#include <string>

#include "Screenshot.h"
#include "ui/win32/MainWindowIds.h"
#include "ui/win32/Program.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: qm_window_demo DATA_FOLDER OUTPUT.bmp\n");
        return 2;
    }
    qm::ui::win32::Program program(::GetModuleHandleA(nullptr), {argv[1]});
    if (!program.Start(SW_SHOW)) return 1;
    HWND w = program.Window();
    auto click = [w](int id) {
        ::SendMessageA(w, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(w, id)));
    };
    click(IDC_cmdScan);
    click(IDC_optScan0);
    click(IDC_cmdScanNow);  // returns when the scan has ended
    char status[256] = {};
    ::GetDlgItemTextA(w, IDC_lblStatus, status, sizeof status);
    std::printf("Window: %s\n", status);
    click(IDC_cmdResults);
    return qm::ui::win32::SaveWindowBitmap(w, argv[2]) ? 0 : 1;
}
