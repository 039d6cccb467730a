#include "ui/win32/DeleteFailedWindow.h"

#include "ui/win32/ListColumnScale.h"
#include "ui/win32/MainWindowIds.h"
#include "ui/win32/WindowDpi.h"

namespace qm::ui::win32 {

bool DeleteFailedWindow::Create(HWND owner) {
    if (!CreateDialogWindow(instance_, IDD_FRMDELETE, owner)) return false;
    HWND list = ::GetDlgItem(hwnd_, IDC_lstProblem);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    // The location takes most of the width; the status ("deleted at restart") the rest.
    dpi_ = WindowDpi(hwnd_);
    RECT area{};
    ::GetClientRect(list, &area);
    const int statusWidth = (area.right - area.left) / 4;
    for (std::size_t i = 0; i < model_.lstProblem.columns.size(); ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx =
            i == 0 ? area.right - area.left - statusWidth - SystemMetricForDpi(SM_CXVSCROLL, dpi_)
                   : statusWidth;
        std::string caption = model_.lstProblem.columns[i];
        column.pszText = caption.data();
        ::SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(&column));
    }
    ::SetWindowTextA(hwnd_, model_.caption.c_str());
    ::SetDlgItemTextA(hwnd_, IDC_lblDeleteAdvice, model_.lblAdvice.caption.c_str());
    ::SetDlgItemTextA(hwnd_, IDC_lblDeleteSafeMode, model_.lblSafeMode.caption.c_str());
    ::SetDlgItemTextA(hwnd_, IDC_lblDeleteRestart, model_.lblRestart.caption.c_str());
    ::SetDlgItemTextA(hwnd_, IDC_cmdDeleteOk, model_.cmdOk.caption.c_str());
    ::SetDlgItemTextA(hwnd_, IDC_cmdCopyList, model_.cmdCopyList.caption.c_str());
    return true;
}

void DeleteFailedWindow::Sync() {
    if (!hwnd_) return;
    std::vector<std::pair<std::string, std::string>> rows;
    rows.reserve(model_.lstProblem.rows.size());
    for (const auto& row : model_.lstProblem.rows)
        rows.emplace_back(row.text, row.SubItem(1));
    if (rows != shownRows_) {
        HWND list = ::GetDlgItem(hwnd_, IDC_lstProblem);
        ListView_DeleteAllItems(list);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(i);
            item.pszText = rows[i].first.data();
            ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            item.iSubItem = 1;
            item.pszText = rows[i].second.data();
            ::SendMessageA(list, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        }
        shownRows_ = std::move(rows);
    }
    ::ShowWindow(::GetDlgItem(hwnd_, IDC_lblDeleteRestart),
                 model_.lblRestart.visible ? SW_SHOWNA : SW_HIDE);
    if (model_.visible != shown_) {
        if (model_.visible) {
            ::ShowWindow(hwnd_, SW_SHOW);
            ::SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        } else {
            ::ShowWindow(hwnd_, SW_HIDE);
        }
        shown_ = model_.visible;
    }
}

INT_PTR DeleteFailedWindow::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;  // the first button takes the keyboard
    if (message == WM_DPICHANGED) {
        const int dpi = LOWORD(wParam);
        ScaleListColumns(::GetDlgItem(hwnd_, IDC_lstProblem), dpi_, dpi);
        dpi_ = dpi;
        return FALSE;  // the dialog manager scales the dialog's font and controls
    }
    if (message == WM_COMMAND && HIWORD(wParam) != BN_CLICKED) return FALSE;
    if (IsCloseRequest(message, wParam, IDC_cmdDeleteOk)) {
        return Run([this] { commands_.DeleteFailedOk(); });
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_cmdCopyList) {
        return Run([this] { commands_.CopyProblemList(); });
    }
    return FALSE;
}

}  // namespace qm::ui::win32
