#pragma once
// The main window: renders the FrmMain model as native controls laid out from the dialog
// resource, and turns clicks back into the program's commands.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// clang-format off
#include "platform/win32/WinApi.h"
#include <commctrl.h>
// clang-format on
#include "platform/win32/Handle.h"
#include "platform/win32/Win32Dates.h"
#include "ui/FrmMain.h"
#include "ui/MainWindowCommands.h"
#include "ui/Twips.h"
#include "ui/win32/AboutWindow.h"
#include "ui/win32/DeleteFailedWindow.h"
#include "ui/win32/DownloadWindow.h"
#include "ui/win32/LanguageWindow.h"
#include "ui/win32/MainWindowControls.h"
#include "ui/win32/ModelessDialog.h"
#include "ui/win32/NoticeWindow.h"
#include "ui/win32/SpywareAlertWindow.h"
#include "ui/win32/TimerSync.h"
#include "ui/win32/TrayIcon.h"
#include "ui/win32/TrayMenuWindow.h"

namespace qm::ui::win32 {

// The small program icon for the tray at `dpi`.
HICON ProgramTrayIcon(HINSTANCE instance, int dpi);

// Image lists made with ImageList_Create.
struct ImageListTraits {
    using Value = HIMAGELIST;
    static Value Invalid() noexcept { return nullptr; }
    static void Close(Value h) noexcept { ImageList_Destroy(h); }
};
using UniqueImageList = platform::win32::UniqueHandle<ImageListTraits>;

// Its parts live in files of their own: the bound controls' drawing (MainWindowSync.cpp), the
// list views (MainWindowLists.cpp), the command routing (MainWindowCommand.cpp) and the tray and
// taskbar button (MainWindowTray.cpp).
class MainWindow final : public ModelessDialog<MainWindow> {
  public:
    MainWindow(HINSTANCE instance, FrmMain& model, MainWindowCommands& commands);
    // The dialog goes before its hidden owner and the small windows it owns.
    ~MainWindow() { Destroy(); }

    // Creates the window (hidden until Show); false when it cannot be created.
    bool Create();
    void Show(int showCommand);

    // Brings every control in line with the model.
    void Sync();
    // Runs a page button's, option's or menu entry's action, as a click on it does.
    void Command(int id);
    HWND DeleteFailedHandle() const { return deleteFailed_.Handle(); }
    HWND DownloadHandle() const { return download_.Handle(); }
    HWND NoticeHandle() const { return notice_.Handle(); }
    HWND SpywareAlertHandle() const { return spywareAlert_.Handle(); }
    HWND TrayMenuHandle() const { return trayMenu_.Handle(); }
    HWND AboutHandle() const { return about_.Handle(); }
    HWND LanguageHandle() const { return language_.Handle(); }
    // The message the tray icon's mouse messages arrive with, the mouse message in lParam.
    static constexpr UINT kTrayMessage = WM_APP + 1;
    // The main window's class, named in its dialog resource.
    static constexpr const char* kWindowClass = "QuillmarshMainWindow";
    // The timer that tries the tray icon's add again; far from the model timers' ids (1 up).
    static constexpr UINT_PTR kTrayRetryTimer = 0x7A11;

    // The dialog's messages, from ForwardingDialogProc.
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void OnInit();
    void OnNotify(const NMHDR& header);
    // The controls of the table, each given only what changed since it was last drawn.
    void SyncBoundControls();
    // A check box or option button of the table was clicked; false for any other control.
    bool ClickBoundControl(int id);
    // The list views: columns, image list and check boxes once; rows as they change; a tick
    // of the user's into the model.
    void SetUpLists();
    void SyncList(int id, ListView& model);
    void ListRowChanged(int id, const NMLISTVIEW& change);
    void SyncColumnWidths();
    // What the user changed directly: the results list's column widths and the window's state.
    void ReadBackWindowState();
    void AddToolTips();
    // The tray icon's add, tried again after the shell refused it or after a new taskbar.
    void RetryTrayIcon();
    void TaskbarCreated();

    HINSTANCE instance_;
    FrmMain& model_;
    MainWindowCommands& commands_;
    // `frmHidden`: the invisible window that owns the main window, so that the taskbar shows
    // the main window's button only while it carries WS_EX_APPWINDOW. Made before the
    // dialog, gone after it.
    platform::win32::UniqueWindow hidden_;
    // The program's icon on every window, large and small, at the main window's DPI; kept
    // until after the windows that show it.
    std::array<platform::win32::UniqueIcon, 2> programIcons_;
    void ApplyProgramIcons();
    // WM_DPICHANGED: icons, list columns and images again at the new DPI.
    void DpiChanged(int dpi);
    int listDpi_ = kDefaultDpi;
    UniqueImageList detectionIcons_;
    // The lists' small images at the lists' DPI, on each of them.
    void ApplyDetectionIcons();
    DeleteFailedWindow deleteFailed_;
    DownloadWindow download_;
    NoticeWindow notice_;
    SpywareAlertWindow spywareAlert_;
    TrayMenuWindow trayMenu_;
    AboutWindow about_;
    LanguageWindow language_;
    std::unique_ptr<TrayIcon> tray_;
    bool trayShown_ = false;
    std::string trayTip_;
    bool hiddenApplied_ = false;
    std::string appliedCaption_;
    UINT taskbarCreated_ = 0;
    void SyncTray();
    void SyncTaskbarButton();
    // The captions a translation changes that have no binding: menu entries, tabs, columns.
    void SyncTranslatedCaptions();
    std::array<std::vector<std::string>, 6> appliedMenus_;  // by menu
    std::vector<std::string> appliedTabs_;
    std::array<std::vector<std::string>, 3> appliedColumns_;  // by list
    std::string appliedFilename_;
    bool appliedFilenameShown_ = true;  // as the dialog makes it
    std::optional<bool> taskbarApplied_;
    bool syncing_ = false;  // check-box changes made by Sync are not the user's
    struct ListSnapshot {
        std::vector<ListItem> rows;
    };
    ListSnapshot liveSnapshot_, resultsSnapshot_, drivesSnapshot_;
    // What each bound control was last given.
    struct Applied {
        bool known = false;
        std::string text;
        bool enabled = true;
        bool visible = true;
        int value = 0;
        int min = 0;
        int max = 0;
    };
    std::vector<Applied> applied_;
    TimerSync timers_;
    // The schedule's pickers: their model's text as last given to the control.
    void SyncPicker(int id, const DatePicker& model, std::string& applied, bool timeOnly);
    void PickerChanged(const NMDATETIMECHANGE& change);
    std::string appliedDate_ = "(unset)", appliedTime_ = "(unset)";
    platform::win32::Win32Dates dates_;
    std::vector<int> appliedColumnWidths_;
};

}  // namespace qm::ui::win32
