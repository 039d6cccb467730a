#pragma once
// The program's modeless dialogs hand their messages to the object that made them: the object
// travels as the creation parameter, is kept in the window's user data, and nothing thrown
// inside may cross back into the system's code.

#include "platform/win32/WinApi.h"
#include "ui/win32/WindowDpi.h"

namespace qm::ui::win32 {

// The dialog procedure of a window object with `INT_PTR OnMessage(UINT, WPARAM, LPARAM)` and
// `Attach(HWND)`/`Detach()` (ModelessDialog has them): the object learns its window before
// WM_INITDIALOG reaches it, and forgets it once WM_DESTROY has. On a change of DPI every window
// first takes the rectangle the system suggests; the object then redoes what it sized itself
// and leaves the message unhandled, so that the dialog manager scales the dialog's font and
// controls.
template <typename Window>
INT_PTR CALLBACK ForwardingDialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept {
    try {
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
            reinterpret_cast<Window*>(lParam)->Attach(hwnd);
        }
        auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!self) return FALSE;
        if (message == WM_DPICHANGED) MoveToSuggestedRect(hwnd, lParam);
        const INT_PTR handled = self->OnMessage(message, wParam, lParam);
        if (message != WM_DESTROY) return handled;
        self->Detach();
        return TRUE;
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

}  // namespace qm::ui::win32
