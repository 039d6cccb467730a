#include "ui/win32/SplashWindow.h"

#include "ui/win32/DialogTemplate.h"
#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {

namespace {

constexpr UINT_PTR kTimer2 = 1;

DialogTemplate SplashTemplate() {
    DialogTemplate t;
    t.Dialog(DS_SETFONT | DS_CENTER | WS_POPUP | WS_BORDER, 200, 70, 4, L"MS Shell Dlg", 8);
    t.Item(kStaticClass, SS_ICON, 10, 10, 20, 20, IDC_imgSplash, L"AAA");
    t.Item(kStaticClass, SS_LEFT, 44, 12, 150, 12, IDC_lblSplashProduct, L"");
    t.Item(kStaticClass, SS_LEFT, 44, 30, 150, 10, IDC_lblSplashCompany, L"");
    t.Item(kStaticClass, SS_LEFT, 44, 46, 150, 10, IDC_lblSplashWebsite, L"");
    return t;
}

}  // namespace

bool SplashWindow::Create(HINSTANCE instance) {
    if (!CreateDialogWindow(instance, SplashTemplate().get(), nullptr)) return false;
    ::SetWindowTextA(hwnd_, model_.lblProduct.caption.c_str());
    ::SetDlgItemTextA(hwnd_, IDC_lblSplashProduct, model_.lblProduct.caption.c_str());
    ::SetDlgItemTextA(hwnd_, IDC_lblSplashCompany, model_.lblCompany.caption.c_str());
    ::SetDlgItemTextA(hwnd_, IDC_lblSplashWebsite, model_.lblWebsite.caption.c_str());
    if (!model_.visible) return true;
    ::ShowWindow(hwnd_, SW_SHOW);
    ::UpdateWindow(hwnd_);
    lastTick_ = ::GetTickCount64();
    if (model_.Timer2.enabled)
        ::SetTimer(hwnd_, kTimer2, static_cast<UINT>(model_.Timer2.interval), nullptr);
    return true;
}

void SplashWindow::Tick() {
    // The system's timers fire at most every 10 to 16 ms, not every 2: each message stands
    // for the 2 ms ticks that have passed, so the splash lasts its 150 ms and not a second.
    const ULONGLONG now = ::GetTickCount64();
    const auto interval =
        static_cast<ULONGLONG>(model_.Timer2.interval > 0 ? model_.Timer2.interval : 1);
    ULONGLONG ticks = (now - lastTick_) / interval;
    if (ticks == 0) ticks = 1;
    lastTick_ += ticks * interval;
    for (; ticks > 0; --ticks) {
        if (!model_.Tick()) continue;
        ::KillTimer(hwnd_, kTimer2);
        finished_();
        // The main window is up: the splash goes.
        ::ShowWindow(hwnd_, SW_HIDE);
        return;
    }
}

INT_PTR SplashWindow::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return FALSE;
        case WM_TIMER:
            if (wParam == kTimer2) Tick();
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace qm::ui::win32
