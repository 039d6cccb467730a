#pragma once
// Live Update's progress window, drawn from the FrmDownload model: a blinking arrow and
// caption, the real progress in its status box, Cancel, and its notification-area icon.

#include <memory>
#include <string>

#include <functional>

#include "platform/win32/WinApi.h"
#include "ui/FrmDownload.h"
#include "ui/MainWindowCommands.h"
#include "ui/win32/ModelessDialog.h"
#include "ui/win32/TimerSync.h"
#include "ui/win32/TrayIcon.h"

namespace qm::ui::win32 {

class DownloadWindow final : public ModelessDialog<DownloadWindow> {
  public:
    // `syncAll` brings every window in line after a command of this one.
    DownloadWindow(FrmDownload& model, DownloadCommands& commands, std::function<void()> syncAll)
        : ModelessDialog(std::move(syncAll)),
          model_(model),
          commands_(commands),
          timers_({&model.tmrBlink}) {}

    bool Create(HINSTANCE instance, HWND owner);
    void Sync();
    // The dialog's messages, from ForwardingDialogProc.
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void DrawArrow(const DRAWITEMSTRUCT& item) const;

    FrmDownload& model_;
    DownloadCommands& commands_;
    TimerSync timers_;
    // Its notification-area icon; a member, so it goes before the window does.
    std::unique_ptr<TrayIcon> tray_;
    bool shown_ = false;
    bool trayWanted_ = false;
    bool arrowUp_ = false;
};

}  // namespace qm::ui::win32
