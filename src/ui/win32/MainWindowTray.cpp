// The main window's tray icon, its hiding into the tray and its taskbar button, and the
// program's icon on its windows.

#include "ui/win32/MainWindow.h"

namespace qm::ui::win32 {

void SetProgramIcon(HINSTANCE instance, HWND window) {
    // The resource "AAA" in both the large and the small size; shared icons need no freeing.
    for (const auto& [which, metric] : {std::pair<WPARAM, int>{ICON_BIG, SM_CXICON},
                                        std::pair<WPARAM, int>{ICON_SMALL, SM_CXSMICON}}) {
        const int size = ::GetSystemMetrics(metric);
        HANDLE icon = ::LoadImageA(instance, "AAA", IMAGE_ICON, size, size, LR_SHARED);
        if (icon) ::SendMessageA(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

HICON ProgramTrayIcon(HINSTANCE instance) {
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    HANDLE icon = ::LoadImageA(instance, "AAA", IMAGE_ICON, size, size, LR_SHARED);
    return icon ? static_cast<HICON>(icon) : ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
}

void MainWindow::SyncTray() {
    const TrayIconModel& tray = model_.trayIcon;
    if (tray_ && (tray.bRunningInTray != trayShown_ || (trayShown_ && tray.tip != trayTip_))) {
        if (tray.bRunningInTray) {
            trayShown_ = tray_->Show(ProgramTrayIcon(instance_), tray.tip);
            // The shell may not take the icon yet (it is still starting at logon, and the
            // program starts minimised): a hidden window without an icon could not be found,
            // so the add is tried again every second until it works.
            if (!trayShown_) ::SetTimer(hwnd_, kTrayRetryTimer, 1000, nullptr);
        } else {
            tray_->Remove();
            trayShown_ = false;
        }
        trayTip_ = tray.tip;
    }
    SyncTaskbarButton();
    if (model_.inTray != hiddenApplied_) {
        hiddenApplied_ = model_.inTray;
        if (hiddenApplied_) {
            ::ShowWindow(hwnd_, SW_HIDE);
        } else {
            ::ShowWindow(hwnd_, model_.windowState == WindowState::Maximized ? SW_SHOWMAXIMIZED
                                                                             : SW_RESTORE);
            ::SetForegroundWindow(hwnd_);
        }
    }
}

void MainWindow::SyncTaskbarButton() {
    if (taskbarApplied_ == model_.showInTaskbar) return;
    taskbarApplied_ = model_.showInTaskbar;
    const LONG_PTR style = ::GetWindowLongPtrA(hwnd_, GWL_EXSTYLE);
    if (((style & WS_EX_APPWINDOW) != 0) == model_.showInTaskbar) return;
    // The taskbar looks at the style as a window is shown: a visible window is shown again.
    const bool visible = ::IsWindowVisible(hwnd_) != FALSE;
    if (visible) ::ShowWindow(hwnd_, SW_HIDE);
    ::SetWindowLongPtrA(hwnd_, GWL_EXSTYLE,
                        model_.showInTaskbar ? style | WS_EX_APPWINDOW : style & ~WS_EX_APPWINDOW);
    if (visible) ::ShowWindow(hwnd_, SW_SHOWNA);
}

void MainWindow::RetryTrayIcon() {
    ::KillTimer(hwnd_, kTrayRetryTimer);
    SyncTray();
}

void MainWindow::TaskbarCreated() {
    // A new taskbar (Explorer restarted) knows no icons: the tray icon goes back in.
    if (!tray_ || !model_.trayIcon.bRunningInTray) return;
    trayShown_ = tray_->Restore(ProgramTrayIcon(instance_), model_.trayIcon.tip);
    if (!trayShown_) ::SetTimer(hwnd_, kTrayRetryTimer, 1000, nullptr);
}

}  // namespace qm::ui::win32
