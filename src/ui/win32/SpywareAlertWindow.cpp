#include "ui/win32/SpywareAlertWindow.h"

#include "ui/win32/DialogTemplate.h"
#include "ui/win32/MainWindowIds.h"
#include "ui/win32/ModalDialog.h"

namespace qm::ui::win32 {

namespace {

DialogTemplate SpywareAlertTemplate() {
    DialogTemplate t;
    t.Dialog(DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION, 240, 100, 5, L"MS Shell Dlg", 8);
    t.Item(kStaticClass, SS_LEFT, 7, 7, 226, 10, IDC_lblAlertQuestion,
           L"This program is running on your computer and is known to be malicious:");
    t.Item(kStaticClass, SS_LEFT, 7, 24, 226, 10, IDC_lblAlertFileName, L"");
    t.Item(kStaticClass, SS_LEFT, 7, 38, 226, 20, IDC_lblAlertCompanyName, L"");
    t.Item(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 117, 79, 55, 14, IDC_cmdAlertStop, L"STOP");
    t.Item(kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, 178, 79, 55, 14, IDC_cmdAlertAllow, L"ALLOW");
    return t;
}

}  // namespace

bool SpywareAlertWindow::Create(HINSTANCE instance) {
    // No owner: an owned window would be hidden with a minimised main window.
    if (!CreateDialogWindow(instance, SpywareAlertTemplate().get(), nullptr)) return false;
    ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void SpywareAlertWindow::Sync() {
    if (!hwnd_) return;
    SetText(hwnd_, model_.caption);
    SetItemTextIfChanged(hwnd_, IDC_lblAlertFileName, model_.lblAlertFileName.caption);
    SetItemTextIfChanged(hwnd_, IDC_lblAlertCompanyName, model_.lblAlertCompanyName.caption);
    SetItemTextIfChanged(hwnd_, IDC_cmdAlertStop, model_.cmdYes.caption);
    SetItemTextIfChanged(hwnd_, IDC_cmdAlertAllow, model_.cmdNO.caption);
    HWND stop = ::GetDlgItem(hwnd_, IDC_cmdAlertStop);
    if ((::IsWindowEnabled(stop) != FALSE) != model_.cmdYes.enabled) {
        ::EnableWindow(stop, model_.cmdYes.enabled);
    }
    if (shown_ != model_.visible) {
        shown_ = model_.visible;
        if (shown_) {
            ::ShowWindow(hwnd_, SW_SHOW);
            ::SetForegroundWindow(hwnd_);
        } else {
            ::ShowWindow(hwnd_, SW_HIDE);
        }
    }
    timers_.Apply(hwnd_);
}

INT_PTR SpywareAlertWindow::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;  // the first button takes the keyboard
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            if (LOWORD(wParam) == IDC_cmdAlertStop) return Run([this] { commands_.AlertStop(); });
            if (LOWORD(wParam) == IDC_cmdAlertAllow) {
                return Run([this] { commands_.AlertAllow(); });
            }
            return FALSE;  // Escape is no answer
        case WM_TIMER:
            timers_.Dispatch(wParam, commands_, syncAll_);
            return TRUE;
        default:
            return FALSE;
    }
}

namespace {

DialogTemplate HomePageAlertTemplate() {
    DialogTemplate t;
    t.Dialog(DS_SETFONT | DS_CENTER | DS_MODALFRAME | WS_POPUP | WS_CAPTION, 260, 130, 4,
             L"MS Shell Dlg", 8);
    t.Item(kStaticClass, SS_LEFT, 7, 7, 246, 10, IDC_lblFrmHomePageProductName, L"");
    t.Item(kStaticClass, SS_LEFT, 7, 22, 246, 82, IDC_lblHomePageInfo, L"");
    t.Item(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 142, 109, 53, 14, IDYES, L"Yes");
    t.Item(kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, 200, 109, 53, 14, IDNO, L"No");
    return t;
}

INT_PTR HandleHomePageAlert(HWND dialog, UINT message, WPARAM wParam,
                            const FrmHomePageChangedAlert& alert) {
    switch (message) {
        case WM_INITDIALOG: {
            // The program may be ended while the question is open (the installer closes
            // it): the alert looks now and then whether it has been withdrawn.
            ::SetTimer(dialog, 1, 250, nullptr);
            ::SetWindowTextA(dialog, alert.caption.c_str());
            ::SetDlgItemTextA(dialog, IDC_lblFrmHomePageProductName,
                              alert.lblFrmHomePageProductName.caption.c_str());
            ::SetDlgItemTextA(dialog, IDC_lblHomePageInfo, alert.lblHomePageInfo.caption.c_str());
            ::SetDlgItemTextA(dialog, IDYES, alert.cmdYes.caption.c_str());
            ::SetDlgItemTextA(dialog, IDNO, alert.cmdNO.caption.c_str());
            ::SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            ::SetForegroundWindow(dialog);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDYES || LOWORD(wParam) == IDNO) {
                ::EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        case WM_TIMER:
            if (alert.withdrawn) ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

MessageAnswer HomePageAlertWindow::AskHomePage(const FrmHomePageChangedAlert& alert) {
    const DialogTemplate t = HomePageAlertTemplate();
    // No owner, as with the other alert: the question must be seen with the window in the
    // tray.
    const INT_PTR answer = RunModalDialog<const FrmHomePageChangedAlert, HandleHomePageAlert>(
        instance_, t, nullptr, alert);
    if (answer == IDYES) return MessageAnswer::Yes;
    if (answer == IDNO) return MessageAnswer::No;
    return MessageAnswer::Ignore;  // never shown: nothing is decided
}

}  // namespace qm::ui::win32
