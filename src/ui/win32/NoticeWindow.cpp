#include "ui/win32/NoticeWindow.h"

#include <string>

#include "ui/win32/DialogTemplate.h"
#include "ui/win32/MainWindowIds.h"
#include "ui/win32/SlidingPopup.h"

namespace qm::ui::win32 {

namespace {

DialogTemplate NoticeTemplate() {
    DialogTemplate t;
    t.Dialog(DS_SETFONT | WS_POPUP | WS_BORDER, 213, 73, 2, L"MS Shell Dlg", 8);
    t.Item(kStaticClass, SS_LEFT, 7, 7, 199, 42, IDC_lblUpdateInfo, L"");
    t.Item(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP, 156, 53, 50, 14, IDC_cmdUpdateSuccesfullOK,
           L"OK");
    return t;
}

}  // namespace

bool NoticeWindow::Create(HINSTANCE instance, HWND owner) {
    if (!CreateDialogWindow(instance, NoticeTemplate().get(), owner)) return false;
    MakeFloating(hwnd_, true);
    ::SetDlgItemTextA(hwnd_, IDC_cmdUpdateSuccesfullOK,
                      model_.cmdUpdateSuccesfullOK.caption.c_str());
    return true;
}

void NoticeWindow::Sync() {
    if (!hwnd_) return;
    SetItemTextIfChanged(hwnd_, IDC_lblUpdateInfo, model_.lblUpdateInfo.caption);
    placement_.Apply(hwnd_, model_.left, model_.top, FrmSignatureUpdated::kWidthTwips,
                     FrmSignatureUpdated::kHeightTwips, model_.visible);
    timers_.Apply(hwnd_);
}

INT_PTR NoticeWindow::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return FALSE;  // the keyboard stays where it is
        case WM_COMMAND:
            // No close box: a close reaches it as Escape.
            if (!IsCloseRequest(message, wParam, IDC_cmdUpdateSuccesfullOK)) return FALSE;
            return Run([this] { commands_.NoticeOk(); });
        case WM_TIMER:
            timers_.Dispatch(wParam, commands_, syncAll_);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace qm::ui::win32
