#include "ui/win32/QuarantineWindow.h"

#include <algorithm>
#include <vector>

#include "ui/win32/DialogTemplate.h"
#include "ui/win32/ModalDialog.h"
#include "ui/win32/WindowDpi.h"

namespace qm::ui::win32 {

namespace {

constexpr int kHintId = 200;

DialogTemplate QuarantineTemplate() {
    DialogTemplate t;
    t.Dialog(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 400, 222,
             5, L"MS Shell Dlg", 8);
    t.Item(kStaticClass, SS_LEFT, 7, 7, 386, 10, kHintId,
           L"Choose an item and Restore to put it back where it came from. Nothing is "
           L"overwritten: an item whose place is taken stays in the quarantine.");
    t.Item(kListBoxClass,
           WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 7,
           22, 386, 172, kQuarantineListId, L"");
    t.Item(kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, 7, 201, 60, 14, kQuarantineRestoreId,
           L"Restore");
    t.Item(kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, 73, 201, 60, 14, kQuarantineOpenFolderId,
           L"Open Folder");
    t.Item(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 343, 201, 50, 14, kQuarantineCloseId,
           L"Close");
    return t;
}

struct QuarantineDialog {
    const std::string& caption;
    QuarantineActions& actions;
    std::vector<QuarantineItem> items;
};

// Fills the list from the quarantine, keeping the chosen row where there still is one.
void Refill(HWND dialog, QuarantineDialog& state, LRESULT chosen) {
    HWND list = ::GetDlgItem(dialog, kQuarantineListId);
    state.items = state.actions.Items();
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    LONG widest = 0;
    HDC dc = ::GetDC(list);
    HGDIOBJ oldFont =
        dc ? ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(list, WM_GETFONT, 0, 0)))
           : nullptr;
    for (const auto& item : state.items) {
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.description.c_str()));
        SIZE size{};
        if (dc && ::GetTextExtentPoint32A(dc, item.description.c_str(),
                                          static_cast<int>(item.description.size()), &size)) {
            widest = std::max(widest, size.cx);
        }
    }
    if (dc) {
        ::SelectObject(dc, oldFont);
        ::ReleaseDC(list, dc);
    }
    // Long paths scroll sideways rather than being cut off, with a margin at the list's DPI.
    const int margin = ScaleFromDefaultDpi(8, WindowDpi(list));
    ::SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + margin), 0);
    const auto count = static_cast<LRESULT>(state.items.size());
    if (count > 0) {
        ::SendMessageA(list, LB_SETCURSEL,
                       static_cast<WPARAM>(chosen >= 0 && chosen < count ? chosen : 0), 0);
    }
    ::EnableWindow(::GetDlgItem(dialog, kQuarantineRestoreId), count > 0);
}

void RestoreChosen(HWND dialog, QuarantineDialog& state) {
    const LRESULT chosen = ::SendDlgItemMessageA(dialog, kQuarantineListId, LB_GETCURSEL, 0, 0);
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= state.items.size()) return;
    const std::string message =
        state.actions.Restore(state.items[static_cast<std::size_t>(chosen)].name);
    ::MessageBoxA(dialog, message.c_str(), state.caption.c_str(), MB_OK | MB_ICONINFORMATION);
    Refill(dialog, state, chosen);
}

INT_PTR HandleQuarantine(HWND dialog, UINT message, WPARAM wParam, QuarantineDialog& state) {
    if (message == WM_INITDIALOG) {
        ::SetWindowTextA(dialog, state.caption.c_str());
        Refill(dialog, state, 0);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case kQuarantineRestoreId:
            RestoreChosen(dialog, state);
            return TRUE;
        case kQuarantineOpenFolderId:
            state.actions.OpenFolder();
            return TRUE;
        case kQuarantineCloseId:
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        case kQuarantineListId:
            // A double click on an item restores it, as Restore does.
            if (HIWORD(wParam) == LBN_DBLCLK) RestoreChosen(dialog, state);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void ShowQuarantineWindow(HINSTANCE instance, HWND owner, const std::string& caption,
                          QuarantineActions& actions) noexcept {
    try {
        const DialogTemplate layout = QuarantineTemplate();
        QuarantineDialog state{caption, actions, {}};
        RunModalDialog<QuarantineDialog, HandleQuarantine>(instance, layout, owner, state);
    } catch (...) {
        // Out of memory for the template: there is no viewer to show.
    }
}

}  // namespace qm::ui::win32
