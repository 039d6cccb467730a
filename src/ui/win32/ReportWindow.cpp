#include "ui/win32/ReportWindow.h"

#include "ui/win32/DialogTemplate.h"
#include "ui/win32/ModalDialog.h"

namespace qm::ui::win32 {

namespace {

// In dialog units: a box wide enough for the report's rules and headings, OK below it.
DialogTemplate ReportTemplate() {
    DialogTemplate t;
    t.Dialog(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 380, 250,
             2, L"MS Shell Dlg", 8);
    t.Item(kEditClass,
           WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY |
               ES_AUTOVSCROLL | ES_AUTOHSCROLL,
           7, 7, 366, 212, kReportTextId, L"");
    t.Item(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 323, 228, 50, 14, kReportOkId, L"OK");
    return t;
}

struct ReportContent {
    const std::string& caption;
    const std::string& text;
    const std::string& okCaption;
};

INT_PTR HandleReport(HWND dialog, UINT message, WPARAM wParam, const ReportContent& content) {
    switch (message) {
        case WM_INITDIALOG:
            ::SetWindowTextA(dialog, content.caption.c_str());
            ::SetDlgItemTextA(dialog, kReportTextId, content.text.c_str());
            ::SetDlgItemTextA(dialog, kReportOkId, content.okCaption.c_str());
            // OK has the focus, so the report is not shown selected.
            ::SetFocus(::GetDlgItem(dialog, kReportOkId));
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) != kReportOkId && LOWORD(wParam) != IDCANCEL) return FALSE;
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void ShowReportWindow(HINSTANCE instance, HWND owner, const std::string& caption,
                      const std::string& text, const std::string& okCaption) noexcept {
    try {
        const DialogTemplate layout = ReportTemplate();
        const ReportContent content{caption, text, okCaption};
        RunModalDialog<const ReportContent, HandleReport>(instance, layout, owner, content);
    } catch (...) {
        // Out of memory for the template: there is no viewer to show.
    }
}

}  // namespace qm::ui::win32
