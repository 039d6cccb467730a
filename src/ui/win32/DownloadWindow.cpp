#include "ui/win32/DownloadWindow.h"

#include <array>

#include "ui/win32/DialogForwarding.h"
#include "ui/win32/DialogTemplate.h"
#include "ui/win32/MainWindowIds.h"
#include "ui/win32/WindowDpi.h"

namespace qm::ui::win32 {

namespace {

constexpr UINT kTrayIconId = 2;

DialogTemplate DownloadTemplate() {
    DialogTemplate t;
    t.Dialog(DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 260, 70, 4,
             L"MS Shell Dlg", 8);
    t.Item(kStaticClass, SS_OWNERDRAW, 7, 7, 20, 20, IDC_picArrow, L"");
    t.Item(kStaticClass, SS_LEFT, 34, 9, 219, 10, IDC_lblProduct, L"");
    t.Item(kEditClass, ES_LEFT | ES_READONLY | ES_AUTOHSCROLL | WS_BORDER, 34, 26, 219, 12,
           IDC_txtStatus, L"");
    t.Item(kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, 203, 49, 50, 14, IDC_cmdDownloadCancel,
           L"Cancel");
    return t;
}

}  // namespace

bool DownloadWindow::Create(HINSTANCE instance, HWND owner) {
    if (!CreateDialogWindow(instance, DownloadTemplate().get(), owner)) return false;
    ::SetWindowTextA(hwnd_, model_.caption.c_str());
    ::SetDlgItemTextA(hwnd_, IDC_cmdDownloadCancel, model_.Command1.caption.c_str());
    tray_ = std::make_unique<TrayIcon>(hwnd_, kTrayIconId, 0);
    return true;
}

void DownloadWindow::Sync() {
    if (!hwnd_) return;
    SetItemTextIfChanged(hwnd_, IDC_lblProduct, model_.lblProduct.caption);
    SetItemTextIfChanged(hwnd_, IDC_txtStatus, model_.txtStatus);
    if (arrowUp_ != model_.showsUpArrow) {
        arrowUp_ = model_.showsUpArrow;
        ::InvalidateRect(::GetDlgItem(hwnd_, IDC_picArrow), nullptr, TRUE);
    }
    if (trayWanted_ != model_.trayIconShown) {
        trayWanted_ = model_.trayIconShown;
        if (trayWanted_) {
            tray_->Show(::LoadIconA(nullptr, MAKEINTRESOURCEA(32516)), model_.trayTip);  // info
        } else {
            tray_->Remove();
        }
    }
    if (shown_ != model_.visible) {
        shown_ = model_.visible;
        ::ShowWindow(hwnd_, shown_ ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
    timers_.Apply(hwnd_);
}

void DownloadWindow::DrawArrow(const DRAWITEMSTRUCT& item) const {
    const RECT& box = item.rcItem;
    ::FillRect(item.hDC, &box, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const LONG w = box.right - box.left;
    const LONG m = ScaleFromDefaultDpi(2, WindowDpi(item.hwndItem));  // the margin
    // Up while the request goes out, down while the answer comes back.
    const std::array<POINT, 3> up = {POINT{box.left + w / 2, box.top + m},
                                     POINT{box.right - m, box.bottom - m},
                                     POINT{box.left + m, box.bottom - m}};
    const std::array<POINT, 3> down = {POINT{box.left + m, box.top + m},
                                       POINT{box.right - m, box.top + m},
                                       POINT{box.left + w / 2, box.bottom - m}};
    const HGDIOBJ oldBrush = ::SelectObject(item.hDC, ::GetStockObject(BLACK_BRUSH));
    ::Polygon(item.hDC, arrowUp_ ? up.data() : down.data(), 3);
    ::SelectObject(item.hDC, oldBrush);
}

INT_PTR DownloadWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsCloseRequest(message, wParam, IDC_cmdDownloadCancel)) {
        return Run([this] { commands_.CloseDownloadWindow(); });
    }
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;  // the first button takes the keyboard
        case WM_TIMER:
            timers_.Dispatch(wParam, commands_, syncAll_);
            return TRUE;
        case WM_DRAWITEM:
            DrawArrow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_DESTROY:
            tray_.reset();
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace qm::ui::win32
