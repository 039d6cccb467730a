#pragma once
// Changes to a control that are made only when the control differs: the pump syncs the windows
// many times a second, and a call into a control costs far more than the comparison.

#include <string>

#include "platform/win32/WinApi.h"

namespace qm::ui::win32 {

inline std::string WindowText(HWND hwnd) {
    const int length = ::GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = ::GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

inline void SetText(HWND hwnd, const std::string& text) {
    if (hwnd && WindowText(hwnd) != text) ::SetWindowTextA(hwnd, text.c_str());
}

inline void SetEnabled(HWND hwnd, bool enabled) {
    if (hwnd && (::IsWindowEnabled(hwnd) != FALSE) != enabled) ::EnableWindow(hwnd, enabled);
}

inline void SetVisible(HWND hwnd, bool visible) {
    if (hwnd && ((::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0) != visible) {
        ::ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
    }
}

// A dialog item's text.
inline void SetItemTextIfChanged(HWND dialog, int id, const std::string& text) {
    char current[1024] = {};
    ::GetDlgItemTextA(dialog, id, current, sizeof current);
    if (text != current) ::SetDlgItemTextA(dialog, id, text.c_str());
}

}  // namespace qm::ui::win32
