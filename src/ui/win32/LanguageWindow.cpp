#include "ui/win32/LanguageWindow.h"

#include "ui/win32/DialogTemplate.h"
#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {

namespace {

constexpr WORD kComboBoxClass = 0x0085;

struct Choice {
    const std::vector<std::string>& languages;
    std::string chosen;
};

INT_PTR CALLBACK LanguageDialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept {
    auto* choice = reinterpret_cast<Choice*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_INITDIALOG: {
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
            choice = reinterpret_cast<Choice*>(lParam);
            ::SetWindowTextA(hwnd, "Choose Language");
            HWND combo = ::GetDlgItem(hwnd, IDC_Combo1);
            for (const std::string& language : choice->languages) {
                const auto at = ::SendMessageA(combo, CB_ADDSTRING, 0,
                                               reinterpret_cast<LPARAM>(language.c_str()));
                if (language == choice->chosen)
                    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
            }
            return TRUE;
        }
        case WM_COMMAND:
            if (!choice || (LOWORD(wParam) != IDC_Command2 && LOWORD(wParam) != IDCANCEL))
                return FALSE;
            if (LOWORD(wParam) == IDC_Command2) {
                char text[256] = {};
                ::GetDlgItemTextA(hwnd, IDC_Combo1, text, sizeof text);
                if (text[0] != '\0') choice->chosen = text;
            }
            ::EndDialog(hwnd, IDOK);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

std::string ChooseLanguageModal(HINSTANCE instance, HWND owner,
                                const std::vector<std::string>& languages,
                                const std::string& current) {
    DialogTemplate t;
    t.Dialog(DS_SETFONT | DS_CENTER | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 170, 62,
             3, L"MS Shell Dlg", 8);
    t.Item(kStaticClass, SS_LEFT, 10, 8, 150, 10, IDC_STATIC_LANGUAGE, L"Choose Language Here");
    t.Item(kComboBoxClass, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 22, 150, 80, IDC_Combo1,
           L"");
    t.Item(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 110, 42, 50, 14, IDC_Command2, L"OK");
    Choice choice{languages, current};
    ::DialogBoxIndirectParamA(instance, t.get(), owner, LanguageDialogProc,
                              reinterpret_cast<LPARAM>(&choice));
    return choice.chosen;
}

}  // namespace qm::ui::win32
