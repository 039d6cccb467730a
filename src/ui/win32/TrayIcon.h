#pragma once
// One icon in the notification area, owned: added, its tool tip changed, and removed when the
// owner goes or says so.

#include <string>

#include "platform/win32/WinApi.h"
// clang-format off
#include <shellapi.h>
// clang-format on

namespace qm::ui::win32 {

class TrayIcon {
  public:
    // The shell's call; tests hand in one that refuses, as a shell still starting does.
    using Notify = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);

    // `callbackMessage` reaches `window` with the mouse message in lParam; 0 for none.
    TrayIcon(HWND window, UINT id, UINT callbackMessage, Notify notify = &::Shell_NotifyIconA)
        : window_(window), id_(id), callbackMessage_(callbackMessage), notify_(notify) {}
    ~TrayIcon() { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Shows the icon with `tip`, or changes the tip of the one shown; false when the system
    // has no notification area to show it in.
    bool Show(HICON icon, const std::string& tip);
    void Remove();
    bool Shown() const { return shown_; }
    // After the taskbar was re-created ("TaskbarCreated"): the icon is added again, whether
    // or not an earlier add had worked. False when the shell refused it.
    bool Restore(HICON icon, const std::string& tip);

  private:
    HWND window_;
    UINT id_;
    UINT callbackMessage_;
    Notify notify_;
    bool shown_ = false;
    std::string tip_;
};

}  // namespace qm::ui::win32
