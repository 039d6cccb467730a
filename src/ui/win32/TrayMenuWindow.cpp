#include "ui/win32/TrayMenuWindow.h"

#include <algorithm>
#include <string>
#include <utility>

#include "ui/win32/DialogTemplate.h"
#include "ui/win32/MainWindowIds.h"
#include "ui/win32/SlidingPopup.h"
#include "ui/win32/WindowDpi.h"

namespace qm::ui::win32 {

namespace {

constexpr WORD kFontPoints = 8;

DialogTemplate TrayMenuTemplate() {
    DialogTemplate t;
    t.Dialog(DS_SETFONT | WS_POPUP | WS_BORDER, 120, 73, 4, L"MS Shell Dlg", kFontPoints);
    t.Item(kStaticClass, SS_CENTER, 5, 5, 110, 10, IDC_lblName, L"");
    t.Item(kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, 10, 19, 100, 14, IDC_mnuMaxmimaize,
           L"Show Program");
    t.Item(kButtonClass, BS_PUSHBUTTON | WS_TABSTOP, 10, 37, 100, 14, IDC_mnuClose,
           L"Exit Program");
    t.Item(kStaticClass, SS_CENTER | SS_NOTIFY, 5, 57, 110, 10, IDC_lblMenuClose,
           L"Close This Menu");
    return t;
}

}  // namespace

bool TrayMenuWindow::Create(HINSTANCE instance, HWND mainWindow) {
    mainWindow_ = mainWindow;
    if (!CreateDialogWindow(instance, TrayMenuTemplate().get(), nullptr)) return false;
    MakeFloating(hwnd_, false);
    MakeBoldFont();
    return true;
}

void TrayMenuWindow::FitControlsToWidth() {
    // The menu's size is the model's, in twips; its entries are laid out in dialog units, which
    // follow the font. Each entry keeps its height and its side margin from the layout and
    // takes the width between, so that none reaches past the menu's edge whatever the font.
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    for (const auto& [id, marginUnits] :
         {std::pair{IDC_lblName, 5}, std::pair{IDC_mnuMaxmimaize, 10}, std::pair{IDC_mnuClose, 10},
          std::pair{IDC_lblMenuClose, 5}}) {
        RECT margin{0, 0, marginUnits, 0};
        ::MapDialogRect(hwnd_, &margin);
        HWND control = ::GetDlgItem(hwnd_, id);
        RECT placed{};
        ::GetWindowRect(control, &placed);
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&placed), 2);
        const int width = std::max(0, static_cast<int>(client.right - 2 * margin.right));
        ::SetWindowPos(control, nullptr, margin.right, placed.top, width,
                       placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

HFONT TrayMenuWindow::PlainFont() const {
    // The dialog's own font, which the dialog manager keeps at the window's DPI.
    return reinterpret_cast<HFONT>(::SendMessageA(hwnd_, WM_GETFONT, 0, 0));
}

void TrayMenuWindow::MakeBoldFont() {
    LOGFONTA font{};
    HFONT plain = PlainFont();
    if (!plain || !::GetObjectA(plain, sizeof font, &font)) return;
    font.lfHeight = FontHeightForPoints(kFontPoints, WindowDpi(hwnd_));
    font.lfWidth = 0;
    font.lfWeight = FW_BOLD;
    platform::win32::UniqueFont bold(::CreateFontIndirectA(&font));
    // The label goes back to the plain font before the bold one it may show is replaced.
    if (closeBold_) {
        ::SendDlgItemMessageA(hwnd_, IDC_lblMenuClose, WM_SETFONT, reinterpret_cast<WPARAM>(plain),
                              TRUE);
        closeBold_ = false;
    }
    boldFont_ = std::move(bold);
}

void TrayMenuWindow::Sync() {
    if (!hwnd_) return;
    SetItemTextIfChanged(hwnd_, IDC_lblName, model_.lblName.caption);
    SetItemTextIfChanged(hwnd_, IDC_mnuMaxmimaize, model_.mnuMaxmimaize.caption);
    SetItemTextIfChanged(hwnd_, IDC_mnuClose, model_.mnuClose.caption);
    SetItemTextIfChanged(hwnd_, IDC_lblMenuClose, model_.lblMenuClose.caption);
    for (const auto& [id, enabled] : {std::pair{IDC_mnuMaxmimaize, model_.mnuMaxmimaize.enabled},
                                      std::pair{IDC_mnuClose, model_.mnuClose.enabled}}) {
        HWND button = ::GetDlgItem(hwnd_, id);
        if ((::IsWindowEnabled(button) != FALSE) != enabled) ::EnableWindow(button, enabled);
    }
    placement_.Apply(hwnd_, model_.left, model_.top, FrmMenuPopUp::kWidthTwips,
                     FrmMenuPopUp::kHeightTwips, model_.visible);
    timers_.Apply(hwnd_);
}

INT_PTR TrayMenuWindow::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return FALSE;  // the keyboard stays where it is
        case WM_SETCURSOR: {
            // The pointer is over the menu or one of its entries: it stays a while longer.
            commands_.TrayMenuPointerMoved();
            HWND label = ::GetDlgItem(hwnd_, IDC_lblMenuClose);
            const bool overClose = reinterpret_cast<HWND>(wParam) == label;
            if (overClose != closeBold_ && boldFont_) {
                closeBold_ = overClose;
                ::SendMessageA(label, WM_SETFONT,
                               reinterpret_cast<WPARAM>(overClose ? boldFont_.get() : PlainFont()),
                               TRUE);
            }
            return FALSE;
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_mnuMaxmimaize:
                    return Run([this] { commands_.ShowProgram(); });
                case IDC_lblMenuClose:
                case IDCANCEL:  // Escape
                    return Run([this] { commands_.CloseTrayMenu(); });
                case IDC_mnuClose:
                    return Run([this] {
                        commands_.ExitFromTrayMenu();
                        // The window closes as its close box does, with the same records.
                        ::PostMessageA(mainWindow_, WM_CLOSE, 0, 0);
                    });
                default:
                    return FALSE;
            }
        case WM_CLOSE:
            // Alt+F4 on the menu, the program's only window while it sits in the tray: the
            // question whether to end the program.
            return Run([this] {
                if (commands_.ConfirmExitFromTrayMenu()) {
                    ::PostMessageA(mainWindow_, kEndNowMessage, 0, 0);
                }
            });
        case WM_SIZE:
            FitControlsToWidth();
            return FALSE;
        case WM_DPICHANGED:
            // The rectangle the system suggests is taken already; the model's twips place the
            // menu again at the new DPI on the next Sync, and the dialog manager scales the rest.
            MakeBoldFont();
            return FALSE;
        case WM_TIMER:
            timers_.Dispatch(wParam, commands_, syncAll_);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace qm::ui::win32
