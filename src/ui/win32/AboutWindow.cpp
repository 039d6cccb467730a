#include "ui/win32/AboutWindow.h"

#include <string>

#include "ui/win32/DialogTemplate.h"
#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {

namespace {

DialogTemplate AboutTemplate() {
    DialogTemplate t;
    t.Dialog(DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 180, 80, 4,
             L"MS Shell Dlg", 8);
    t.Item(kStaticClass, SS_LEFT, 10, 10, 160, 10, IDC_lblAboutProduct, L"");
    t.Item(kStaticClass, SS_LEFT, 10, 24, 160, 10, IDC_lblAboutCompany, L"");
    t.Item(kStaticClass, SS_LEFT, 10, 38, 160, 10, IDC_lblAboutVersion, L"");
    t.Item(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 120, 59, 50, 14, IDOK, L"OK");
    return t;
}

}  // namespace

bool AboutWindow::Create(HINSTANCE instance, HWND owner) {
    return CreateDialogWindow(instance, AboutTemplate().get(), owner);
}

void AboutWindow::Sync() {
    if (!hwnd_ || shown_ == model_.visible) return;
    shown_ = model_.visible;
    if (shown_) {
        ::SetWindowTextA(hwnd_, model_.caption.c_str());
        ::SetDlgItemTextA(hwnd_, IDC_lblAboutProduct, model_.lblProduct.caption.c_str());
        ::SetDlgItemTextA(hwnd_, IDC_lblAboutCompany, model_.lblCompany.caption.c_str());
        ::SetDlgItemTextA(hwnd_, IDC_lblAboutVersion, model_.lblVersion.caption.c_str());
        ::SetDlgItemTextA(hwnd_, IDOK, model_.cmdOK.caption.c_str());
    }
    ::ShowWindow(hwnd_, shown_ ? SW_SHOW : SW_HIDE);
}

INT_PTR AboutWindow::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (IsCloseRequest(message, wParam, IDOK)) return Run([this] { commands_.CloseAbout(); });
    return FALSE;
}

}  // namespace qm::ui::win32
