#pragma once
// The tray menu, drawn from the FrmMenuPopUp model: a small frameless window above the taskbar
// that its three timers move up, hold while the pointer moves over it, and drop again.

#include <functional>

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"
#include "ui/FrmMenuPopUp.h"
#include "ui/MainWindowCommands.h"
#include "ui/win32/ModelessDialog.h"
#include "ui/win32/SlidingPopup.h"
#include "ui/win32/TimerSync.h"

namespace qm::ui::win32 {

// Posted to the main window when the confirmed exit was answered Yes: it goes at once.
inline constexpr UINT kEndNowMessage = WM_APP + 2;

class TrayMenuWindow final : public ModelessDialog<TrayMenuWindow> {
  public:
    TrayMenuWindow(FrmMenuPopUp& model, TrayMenuCommands& commands, std::function<void()> syncAll)
        : ModelessDialog(std::move(syncAll)),
          model_(model),
          commands_(commands),
          timers_({&model.tmrMenuPopup, &model.TmrEnablePopDown, &model.tmrPopDown}) {}
    // The window goes before the bold font its label may still use.
    ~TrayMenuWindow() { Destroy(); }

    // `mainWindow` is closed by "Exit Program".
    bool Create(HINSTANCE instance, HWND mainWindow);
    void Sync();
    // The dialog's messages, from ForwardingDialogProc.
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    FrmMenuPopUp& model_;
    TrayMenuCommands& commands_;
    TimerSync timers_;
    HWND mainWindow_ = nullptr;
    PopupPlacement placement_;
    // "Close This Menu" in bold while the pointer is over it, as tall as the dialog's font at
    // the window's DPI; made again when the DPI changes.
    void MakeBoldFont();
    // The entries as wide as the menu, less their margins.
    void FitControlsToWidth();
    HFONT PlainFont() const;
    platform::win32::UniqueFont boldFont_;
    bool closeBold_ = false;
};

}  // namespace qm::ui::win32
