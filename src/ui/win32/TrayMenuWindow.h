#pragma once
// The tray menu, drawn from the FrmMenuPopUp model: a small frameless window above the taskbar
// that its three timers move up, hold while the pointer moves over it, and drop again.

#include <functional>

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"
#include "ui/FrmMenuPopUp.h"
#include "ui/MainWindowCommands.h"
#include "ui/win32/SlidingPopup.h"
#include "ui/win32/TimerSync.h"

namespace qm::ui::win32 {

// Posted to the main window when the confirmed exit was answered Yes: it goes at once.
inline constexpr UINT kEndNowMessage = WM_APP + 2;

class TrayMenuWindow {
  public:
    TrayMenuWindow(FrmMenuPopUp& model, MainWindowCommands& commands, std::function<void()> syncAll)
        : model_(model),
          commands_(commands),
          syncAll_(std::move(syncAll)),
          timers_({&model.tmrMenuPopup, &model.TmrEnablePopDown, &model.tmrPopDown}) {}
    ~TrayMenuWindow();
    TrayMenuWindow(const TrayMenuWindow&) = delete;
    TrayMenuWindow& operator=(const TrayMenuWindow&) = delete;

    // `mainWindow` is closed by "Exit Program".
    bool Create(HINSTANCE instance, HWND mainWindow);
    HWND Handle() const { return hwnd_; }
    void Sync();
    // The dialog's messages, from ForwardingDialogProc.
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    FrmMenuPopUp& model_;
    MainWindowCommands& commands_;
    std::function<void()> syncAll_;
    TimerSync timers_;
    HWND hwnd_ = nullptr;
    HWND mainWindow_ = nullptr;
    PopupPlacement placement_;
    // "Close This Menu" in bold while the pointer is over it.
    platform::win32::UniqueFont boldFont_;
    HFONT plainFont_ = nullptr;
    bool closeBold_ = false;
};

}  // namespace qm::ui::win32
