#pragma once
// The screen as the update notice and the tray menu measure it: the desktop's client area
// and the height of the taskbar, when there is one. The models work in twips from pixels at the
// default DPI, so the screen's own pixels are brought to that scale first; the windows turn the
// twips back into pixels at their own DPI.

#include "platform/win32/WinApi.h"
#include "ui/FrmSignatureUpdated.h"
#include "ui/Twips.h"
#include "ui/win32/WindowDpi.h"

namespace qm::ui::win32 {

class Win32Screen final : public Screen {
  public:
    ScreenFacts Measure() override {
        ScreenFacts facts;
        HWND desktop = ::GetDesktopWindow();
        const int dpi = WindowDpi(desktop);
        RECT area{};
        if (::GetClientRect(desktop, &area)) {
            facts.widthPx = ScaleToDefaultDpi(area.right - area.left, dpi);
            facts.heightPx = ScaleToDefaultDpi(area.bottom - area.top, dpi);
        }
        RECT taskbar{};
        if (HWND tray = ::FindWindowA("Shell_TrayWnd", nullptr);
            tray && ::GetClientRect(tray, &taskbar)) {
            facts.taskbarHeightPx = ScaleToDefaultDpi(taskbar.bottom - taskbar.top, dpi);
        }
        return facts;
    }
};

}  // namespace qm::ui::win32
