#pragma once
// The program's modeless dialogs hand their messages to the object that made them: the object
// travels as the creation parameter, is kept in the window's user data, and nothing thrown
// inside may cross back into the system's code.

#include <string>

#include "platform/win32/WinApi.h"

namespace qm::ui::win32 {

// The dialog procedure of a window object with `INT_PTR OnMessage(UINT, WPARAM, LPARAM)`;
// WM_INITDIALOG reaches it too, after the object is known.
template <typename Window>
INT_PTR CALLBACK ForwardingDialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept {
    try {
        if (message == WM_INITDIALOG) ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
        auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!self) return FALSE;
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        return FALSE;  // the model is left as it was
    }
}

// The modeless dialog `layout` describes, its messages handed to `self`; nothing when it could
// not be made.
template <typename Window>
HWND CreateForwardingDialog(HINSTANCE instance, const DLGTEMPLATE* layout, HWND owner,
                            Window* self) {
    return ::CreateDialogIndirectParamA(instance, layout, owner, ForwardingDialogProc<Window>,
                                        reinterpret_cast<LPARAM>(self));
}

// Destroys a dialog made with ForwardingDialogProc, its object forgotten first so that the
// messages of its destruction reach nobody half gone.
inline void DestroyForwardingDialog(HWND hwnd) {
    if (!hwnd) return;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd);
}

// Sets a control's text only when it differs: the pump syncs the windows many times a second.
inline void SetItemTextIfChanged(HWND dialog, int id, const std::string& text) {
    char current[1024] = {};
    ::GetDlgItemTextA(dialog, id, current, sizeof current);
    if (text != current) ::SetDlgItemTextA(dialog, id, text.c_str());
}

}  // namespace qm::ui::win32
