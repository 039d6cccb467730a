#pragma once
// The screen as the update notice and the tray menu measure it: the desktop's client area
// and the height of the taskbar, when there is one.

#include "platform/win32/WinApi.h"
#include "ui/FrmSignatureUpdated.h"

namespace qm::ui::win32 {

class Win32Screen final : public Screen {
  public:
    ScreenFacts Measure() override {
        ScreenFacts facts;
        RECT desktop{};
        if (::GetClientRect(::GetDesktopWindow(), &desktop)) {
            facts.widthPx = desktop.right - desktop.left;
            facts.heightPx = desktop.bottom - desktop.top;
        }
        RECT taskbar{};
        if (HWND tray = ::FindWindowA("Shell_TrayWnd", nullptr);
            tray && ::GetClientRect(tray, &taskbar)) {
            facts.taskbarHeightPx = taskbar.bottom - taskbar.top;
        }
        return facts;
    }
};

}  // namespace qm::ui::win32
