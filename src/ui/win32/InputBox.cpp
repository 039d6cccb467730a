#include "ui/win32/InputBox.h"

#include "ui/win32/ControlUpdates.h"
#include "ui/win32/DialogTemplate.h"
#include "ui/win32/ModalDialog.h"

namespace qm::ui::win32 {

namespace {

struct InputContent {
    const std::string& prompt;
    const std::string& title;
    const std::string& initial;
    std::optional<std::string> typed;
};

INT_PTR HandleInput(HWND dialog, UINT message, WPARAM wParam, InputContent& content) {
    switch (message) {
        case WM_INITDIALOG:
            ::SetWindowTextA(dialog, content.title.c_str());
            ::SetDlgItemTextA(dialog, kInputPromptId, content.prompt.c_str());
            ::SetDlgItemTextA(dialog, kInputTextId, content.initial.c_str());
            ::SetFocus(::GetDlgItem(dialog, kInputTextId));
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                content.typed = WindowText(::GetDlgItem(dialog, kInputTextId));
                ::EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                ::EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

std::optional<std::string> ShowInputBox(HINSTANCE instance, HWND owner, const std::string& prompt,
                                        const std::string& title, const std::string& initial) {
    DialogTemplate t;
    t.Dialog(DS_SETFONT | DS_CENTER | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 260, 110,
             4, L"MS Shell Dlg", 8);
    t.Item(kStaticClass, SS_LEFT, 8, 8, 190, 70, kInputPromptId, L"");
    t.Item(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 204, 8, 50, 14, IDOK, L"OK");
    t.Item(kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, 204, 26, 50, 14, IDCANCEL, L"Cancel");
    t.Item(kEditClass, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 8, 88, 246, 14, kInputTextId, L"");
    InputContent content{prompt, title, initial, std::nullopt};
    RunModalDialog<InputContent, HandleInput>(instance, t, owner, content);
    return content.typed;
}

}  // namespace qm::ui::win32
