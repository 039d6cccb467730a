#pragma once
// The slide-up windows (the update notice and the tray menu) share how they float and move: a
// frameless window in front of every other and out of the taskbar, placed at its model's
// position in twips and shown or hidden, each only when the model changed.

#include "platform/win32/WinApi.h"
#include "ui/FrmSignatureUpdated.h"

namespace qm::ui::win32 {

// In front of every window and out of the taskbar; with `noActivate` it never takes the
// keyboard from the window the user is typing in.
inline void MakeFloating(HWND window, bool noActivate) {
    LONG_PTR style = ::GetWindowLongPtrA(window, GWL_EXSTYLE) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    if (noActivate) style |= WS_EX_NOACTIVATE;
    ::SetWindowLongPtrA(window, GWL_EXSTYLE, style);
}

class PopupPlacement {
  public:
    void Apply(HWND window, int leftTwips, int topTwips, int widthTwips, int heightTwips,
               bool visible) {
        const POINT at{leftTwips / kTwipsPerPixel, topTwips / kTwipsPerPixel};
        if (at.x != placed_.x || at.y != placed_.y) {
            ::SetWindowPos(window, HWND_TOPMOST, at.x, at.y, widthTwips / kTwipsPerPixel,
                           heightTwips / kTwipsPerPixel, SWP_NOACTIVATE);
            placed_ = at;
        }
        if (shown_ != visible) {
            shown_ = visible;
            ::ShowWindow(window, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
        }
    }

  private:
    POINT placed_{-1, -1};
    bool shown_ = false;
};

}  // namespace qm::ui::win32
