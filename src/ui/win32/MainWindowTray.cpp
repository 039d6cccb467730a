// The main window's tray icon, its hiding into the tray and its taskbar button, and the
// program's icon on its windows.

#include "ui/win32/MainWindow.h"

#include <array>
#include <utility>

#include "ui/win32/WindowDpi.h"

namespace qm::ui::win32 {

void MainWindow::ApplyProgramIcons() {
    // The resource "AAA" in the large and the small size at the window's DPI, loaded unshared:
    // the shared cache would hand back the size first asked for after a change of DPI. The
    // icons a window still shows are replaced before they go.
    const int dpi = WindowDpi(hwnd_);
    std::array<platform::win32::UniqueIcon, 2> icons;
    for (std::size_t i = 0; i < icons.size(); ++i) {
        const int size = SystemMetricForDpi(i == 0 ? SM_CXICON : SM_CXSMICON, dpi);
        icons[i].reset(
            static_cast<HICON>(::LoadImageA(instance_, "AAA", IMAGE_ICON, size, size, 0)));
    }
    for (HWND window :
         {hwnd_, deleteFailed_.Handle(), download_.Handle(), notice_.Handle(),
          spywareAlert_.Handle(), trayMenu_.Handle(), about_.Handle(), language_.Handle()}) {
        if (!window) continue;
        for (std::size_t i = 0; i < icons.size(); ++i) {
            if (icons[i]) {
                ::SendMessageA(window, WM_SETICON, i == 0 ? ICON_BIG : ICON_SMALL,
                               reinterpret_cast<LPARAM>(icons[i].get()));
            }
        }
    }
    programIcons_ = std::move(icons);
}

HICON ProgramTrayIcon(HINSTANCE instance, int dpi) {
    // The notification area copies the icon it is given, so a shared one serves.
    const int size = SystemMetricForDpi(SM_CXSMICON, dpi);
    HANDLE icon = ::LoadImageA(instance, "AAA", IMAGE_ICON, size, size, LR_SHARED);
    return icon ? static_cast<HICON>(icon) : ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
}

void MainWindow::SyncTray() {
    const TrayIconModel& tray = model_.trayIcon;
    if (tray_ && (tray.bRunningInTray != trayShown_ || (trayShown_ && tray.tip != trayTip_))) {
        if (tray.bRunningInTray) {
            trayShown_ = tray_->Show(ProgramTrayIcon(instance_, WindowDpi(hwnd_)), tray.tip);
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
    trayShown_ = tray_->Restore(ProgramTrayIcon(instance_, WindowDpi(hwnd_)), model_.trayIcon.tip);
    if (!trayShown_) ::SetTimer(hwnd_, kTrayRetryTimer, 1000, nullptr);
}

}  // namespace qm::ui::win32
