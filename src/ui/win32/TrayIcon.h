#pragma once
// One icon in the notification area, owned: added, its tool tip changed, and removed when the
// owner goes or says so.

#include <string>

#include "platform/win32/WinApi.h"

namespace qm::ui::win32 {

class TrayIcon {
  public:
    // `callbackMessage` reaches `window` with the mouse message in lParam; 0 for none.
    TrayIcon(HWND window, UINT id, UINT callbackMessage)
        : window_(window), id_(id), callbackMessage_(callbackMessage) {}
    ~TrayIcon() { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Shows the icon with `tip`, or changes the tip of the one shown; false when the system
    // has no notification area to show it in.
    bool Show(HICON icon, const std::string& tip);
    void Remove();
    bool Shown() const { return shown_; }
    // After the taskbar was re-created ("TaskbarCreated"): the icon is added again.
    void Restore(HICON icon);

  private:
    HWND window_;
    UINT id_;
    UINT callbackMessage_;
    bool shown_ = false;
    std::string tip_;
};

}  // namespace qm::ui::win32
