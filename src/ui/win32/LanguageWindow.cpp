#include "ui/win32/LanguageWindow.h"

#include "ui/win32/DialogForwarding.h"
#include "ui/win32/DialogTemplate.h"
#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {

namespace {

constexpr WORD kComboBoxClass = 0x0085;

DialogTemplate LanguageTemplate() {
    DialogTemplate t;
    t.Dialog(DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 200, 84, 4,
             L"MS Shell Dlg", 8);
    t.Item(kComboBoxClass, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 10, 180, 120, IDC_Combo1,
           L"");
    t.Item(kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, 10, 30, 180, 14, IDC_Command1, L"");
    t.Item(kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, 10, 48, 180, 14, IDC_Command3, L"");
    t.Item(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 140, 66, 50, 14, IDC_Command2, L"");
    return t;
}

}  // namespace

bool LanguageWindow::Create(HINSTANCE instance, HWND owner) {
    return CreateDialogWindow(instance, LanguageTemplate().get(), owner);
}

void LanguageWindow::Sync() {
    // Closed, it has nothing to draw: the pump syncs every window many times a second.
    if (!hwnd_ || (!model_.visible && !shown_)) return;
    SetText(hwnd_, model_.caption);
    SetItemTextIfChanged(hwnd_, IDC_Command1, model_.Command1.caption);
    SetItemTextIfChanged(hwnd_, IDC_Command2, model_.Command2.caption);
    SetItemTextIfChanged(hwnd_, IDC_Command3, model_.Command3.caption);
    HWND combo = ::GetDlgItem(hwnd_, IDC_Combo1);
    if (shownItems_ != model_.Combo1.items) {
        ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : model_.Combo1.items)
            ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        shownItems_ = model_.Combo1.items;
    }
    if (::SendMessageA(combo, CB_GETCURSEL, 0, 0) != model_.Combo1.listIndex)
        ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(model_.Combo1.listIndex), 0);
    if (shown_ != model_.visible) {
        shown_ = model_.visible;
        ::ShowWindow(hwnd_, shown_ ? SW_SHOW : SW_HIDE);
        if (shown_) ::SetForegroundWindow(hwnd_);
    }
}

INT_PTR LanguageWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return TRUE;
    if (IsCloseRequest(message, wParam, IDC_Command2)) {
        return Run([this] { commands_.CloseLanguageWindow(); });
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDC_Combo1:
            if (HIWORD(wParam) != CBN_SELCHANGE) return FALSE;
            return Run([this, lParam] {
                commands_.LanguageChosen(static_cast<int>(
                    ::SendMessageA(reinterpret_cast<HWND>(lParam), CB_GETCURSEL, 0, 0)));
            });
        case IDC_Command1:
            return Run([this] { commands_.CheckLanguageUpdates(); });
        case IDC_Command3:
            return Run([this] { commands_.TranslateProgram(); });
        default:
            return FALSE;
    }
}

}  // namespace qm::ui::win32
