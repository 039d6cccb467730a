#pragma once
// The slide-up windows (the update notice and the tray menu) share how they float and move: a
// frameless window in front of every other and out of the taskbar, placed at its model's
// position in twips at its own DPI and shown or hidden, each only when the model or the DPI
// changed.

#include "platform/win32/WinApi.h"
#include "ui/Twips.h"
#include "ui/win32/WindowDpi.h"

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
        const int dpi = WindowDpi(window);
        const POINT at{TwipsToPixels(leftTwips, dpi), TwipsToPixels(topTwips, dpi)};
        if (at.x != placed_.x || at.y != placed_.y || dpi != placedDpi_) {
            ::SetWindowPos(window, HWND_TOPMOST, at.x, at.y, TwipsToPixels(widthTwips, dpi),
                           TwipsToPixels(heightTwips, dpi), SWP_NOACTIVATE);
            placed_ = at;
            placedDpi_ = dpi;
        }
        if (shown_ != visible) {
            shown_ = visible;
            ::ShowWindow(window, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
        }
    }

  private:
    POINT placed_{-1, -1};
    int placedDpi_ = 0;
    bool shown_ = false;
};

}  // namespace qm::ui::win32
