#pragma once
// The program's modal dialogs, built from a template in memory: the state a dialog reads and
// fills travels as its creation parameter and reaches every message after WM_INITDIALOG with
// it, and nothing thrown inside may cross back into the system's code.

#include "platform/win32/WinApi.h"
#include "ui/win32/DialogTemplate.h"

namespace qm::ui::win32 {

// A modal dialog's handler: `state` is the one given to RunModalDialog.
template <typename State>
using ModalHandler = INT_PTR (*)(HWND dialog, UINT message, WPARAM wParam, State& state);

template <typename State, ModalHandler<State> Handle>
INT_PTR CALLBACK ModalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        if (message == WM_INITDIALOG) ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* state = reinterpret_cast<State*>(::GetWindowLongPtrA(dialog, DWLP_USER));
        if (!state) return FALSE;
        return Handle(dialog, message, wParam, *state);
    } catch (...) {
        return FALSE;  // the dialog stays as it was
    }
}

// Shows the dialog `layout` describes, modal over `owner`, and returns the value that ended it
// (-1 when it could not be shown).
template <typename State, ModalHandler<State> Handle>
INT_PTR RunModalDialog(HINSTANCE instance, const DialogTemplate& layout, HWND owner, State& state) {
    return ::DialogBoxIndirectParamA(instance, layout.get(), owner, ModalDialogProc<State, Handle>,
                                     reinterpret_cast<LPARAM>(&state));
}

}  // namespace qm::ui::win32
