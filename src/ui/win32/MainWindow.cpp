// The main window's creation, its set-up once the dialog exists, and its messages.

#include "ui/win32/MainWindow.h"

#include <commctrl.h>

#include "ui/win32/ControlUpdates.h"
#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {

MainWindow::MainWindow(HINSTANCE instance, FrmMain& model, MainWindowCommands& commands)
    : instance_(instance),
      model_(model),
      commands_(commands),
      deleteFailed_(instance, model.frmDelete, commands),
      download_(model.frmDownload, commands, [this] { Sync(); }),
      notice_(model.frmSignatureUpdated, commands, [this] { Sync(); }),
      spywareAlert_(model.frmSpywareFoundAlert, commands, [this] { Sync(); }),
      trayMenu_(model.frmMenuPopUp, commands, [this] { Sync(); }),
      about_(model.frmAbout, commands, [this] { Sync(); }),
      language_(model.frmLanguage, commands, [this] { Sync(); }),
      timers_({&model.tmrMemoryInspected, &model.tmrCheckHomePage, &model.tmrScheduler,
               &model.timUpdate, &model.tmrScroll, &model.tmrTimeOut}) {}

bool MainWindow::Create() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                        ICC_TAB_CLASSES | ICC_STANDARD_CLASSES |
                                                        ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The dialog's own window class: the installer and a second copy find the running window
    // by it, whatever language its caption is in.
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ::DefDlgProcA;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance_;
    windowClass.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassExA(&windowClass);  // already there for a second window of the process
    hidden_.reset(::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    instance_, nullptr));
    return CreateDialogWindow(instance_, IDD_FRMMAIN, hidden_.get());
}

void MainWindow::Show(int showCommand) {
    if (hwnd_) ::ShowWindow(hwnd_, showCommand);
}

void MainWindow::OnInit() {
    deleteFailed_.Create(hwnd_);
    download_.Create(instance_, hwnd_);
    notice_.Create(instance_, hwnd_);
    spywareAlert_.Create(instance_);
    trayMenu_.Create(instance_, hwnd_);
    about_.Create(instance_, hwnd_);
    language_.Create(instance_, hwnd_);
    ApplyProgramIcons();
    tray_ = std::make_unique<TrayIcon>(hwnd_, 1, kTrayMessage);
    taskbarCreated_ = ::RegisterWindowMessageA("TaskbarCreated");
    AddToolTips();
    SetUpLists();
    for (const std::string& entry : model_.cmbDays.items) {
        ::SendDlgItemMessageA(hwnd_, IDC_cmbDays, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(entry.c_str()));
    }
    HWND tabs = ::GetDlgItem(hwnd_, IDC_TabStrip1);
    for (std::size_t i = 0; i < model_.frmView.size(); ++i) {
        TCITEMA tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = const_cast<char*>(model_.frmView[i].caption.c_str());
        ::SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&tab));
    }
    Sync();
}

void MainWindow::AddToolTips() {
    // The tool tip window belongs to the dialog and goes with it.
    HWND tips = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                                  nullptr, instance_, nullptr);
    if (!tips) return;
    const std::pair<int, const char*> texts[] = {
        {IDC_cmdExclude, "Exclude selected items from being detected in future scans"},
    };
    for (const auto& [id, text] : texts) {
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(hwnd_, id));
        tool.lpszText = const_cast<char*>(text);
        ::SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void MainWindow::OnNotify(const NMHDR& header) {
    const int id = static_cast<int>(header.idFrom);
    if (header.code == DTN_DATETIMECHANGE &&
        (id == IDC_dtpScheduleDate || id == IDC_dtpScheduleTime)) {
        if (!syncing_) PickerChanged(reinterpret_cast<const NMDATETIMECHANGE&>(header));
        return;
    }
    if (header.code == TCN_SELCHANGE && id == IDC_TabStrip1) {
        const auto tab = static_cast<int>(::SendMessageA(header.hwndFrom, TCM_GETCURSEL, 0, 0));
        model_.SelectTab(tab + 1);
        Sync();
        return;
    }
    if (header.code == LVN_COLUMNCLICK && id == IDC_lvwSpywareFound) {
        const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
        commands_.LiveListColumnClicked(click.iSubItem + 1);
        Sync();
        return;
    }
    if (header.code == LVN_ITEMCHANGED && !syncing_ &&
        (id == IDC_lvwResults || id == IDC_lvwHardDrives)) {
        ListRowChanged(id, reinterpret_cast<const NMLISTVIEW&>(header));
    }
}

INT_PTR MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInit();
            return TRUE;
        case WM_COMMAND:
            if (HIWORD(wParam) == EN_CHANGE && LOWORD(wParam) == IDC_txtFilename) {
                if (!syncing_) {
                    appliedFilename_ = WindowText(reinterpret_cast<HWND>(lParam));
                    model_.txtFilename.text = appliedFilename_;
                }
                return TRUE;
            }
            if (HIWORD(wParam) == CBN_SELCHANGE && LOWORD(wParam) == IDC_cmbDays) {
                model_.cmbDays.listIndex = static_cast<int>(
                    ::SendMessageA(reinterpret_cast<HWND>(lParam), CB_GETCURSEL, 0, 0));
                commands_.ScheduleDaysChanged();
                Sync();
                return TRUE;
            }
            // BN_CLICKED and STN_CLICKED are both 0: a click on a button or a label.
            if (HIWORD(wParam) == BN_CLICKED || lParam == 0) {
                Command(LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        case WM_NOTIFY:
            OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
            return TRUE;
        case WM_TIMER:
            if (wParam == kTrayRetryTimer) {
                RetryTrayIcon();
                return TRUE;
            }
            timers_.Dispatch(wParam, commands_, [this] { Sync(); });
            return TRUE;
        case WM_QUERYENDSESSION:
            // Logging off or shutting down is never held up here.
            ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_ENDSESSION:
            // The session ends without a close: what a close stores (the running status for the
            // sibling tools, the window state, the column widths) is stored now.
            if (wParam) {
                ReadBackWindowState();
                commands_.Closing();
            }
            return TRUE;
        case WM_CLOSE:
            // Running work keeps the window until it has ended: it is asked to stop, and
            // Sync closes the window once it has.
            if (!commands_.CanClose()) {
                commands_.CloseWhenIdle();
                return TRUE;
            }
            ReadBackWindowState();
            commands_.Closing();
            ::DestroyWindow(hwnd_);
            return TRUE;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXIMIZED || wParam == SIZE_RESTORED) {
                model_.windowState = wParam == SIZE_MINIMIZED   ? WindowState::Minimized
                                     : wParam == SIZE_MAXIMIZED ? WindowState::Maximized
                                                                : WindowState::Normal;
                commands_.WindowResized(::IsWindowVisible(hwnd_) != FALSE);
                Sync();
            }
            return FALSE;
        case WM_SYSCOMMAND:
            // The minimise box goes to the tray: a minimised window without a taskbar button
            // could not be found again.
            if ((wParam & 0xFFF0) != SC_MINIMIZE) return FALSE;
            commands_.MinimizeToTray();
            Sync();
            return TRUE;
        case kEndNowMessage:
            // The confirmed exit: the records are written, the program ends without unloading.
            // Running work is asked to stop first; the close follows when it has.
            if (!commands_.CanClose()) {
                commands_.CloseWhenIdle();
                return TRUE;
            }
            ::DestroyWindow(hwnd_);
            return TRUE;
        case kTrayMessage:
            commands_.TrayIconMouse(static_cast<int>(LOWORD(lParam)));
            Sync();
            return TRUE;
        case WM_DPICHANGED:
            // The rectangle the system suggests is taken already (ForwardingDialogProc); left
            // unhandled, the dialog manager scales the dialog's font and controls.
            DpiChanged(LOWORD(wParam));
            return FALSE;
        case WM_DESTROY:
            if (tray_) tray_->Remove();
            ::PostQuitMessage(0);
            return TRUE;
        default:
            if (message == taskbarCreated_ && taskbarCreated_ != 0 && tray_) {
                TaskbarCreated();
                return TRUE;
            }
            return FALSE;
    }
}

}  // namespace qm::ui::win32
