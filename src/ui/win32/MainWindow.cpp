#include "ui/win32/MainWindow.h"

#include <commctrl.h>

#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <variant>

#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {

namespace {

using ControlModel = std::variant<Label*, Button*, CheckBox*, OptionButton*, ProgressBar*, Frame*,
                                  ComboBox*, DatePicker*>;

struct Binding {
    int id;
    ControlModel control;
};

HWND Item(HWND dialog, int id) {
    return ::GetDlgItem(dialog, id);
}

std::string WindowText(HWND hwnd) {
    const int length = ::GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = ::GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

void SetText(HWND hwnd, const std::string& text) {
    if (hwnd && WindowText(hwnd) != text) ::SetWindowTextA(hwnd, text.c_str());
}

void SetEnabled(HWND hwnd, bool enabled) {
    if (hwnd && (::IsWindowEnabled(hwnd) != FALSE) != enabled) ::EnableWindow(hwnd, enabled);
}

void SetVisible(HWND hwnd, bool visible) {
    if (hwnd && ((::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0) != visible) {
        ::ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
    }
}

// The DetectionKind images: 0 none, 1 cookie, 2 registry entry, 3 file, 4 folder, 5 excluded.
UniqueImageList MakeDetectionIcons() {
    using platform::win32::UniqueBitmap;
    using platform::win32::UniqueBrush;
    using platform::win32::UniqueMemoryDc;
    constexpr int kSize = 16;
    constexpr std::array<COLORREF, 6> kColours = {RGB(255, 255, 255), RGB(196, 140, 60),
                                                  RGB(70, 110, 200),  RGB(200, 50, 50),
                                                  RGB(230, 180, 40),  RGB(140, 140, 140)};
    UniqueImageList list(ImageList_Create(kSize, kSize, ILC_COLOR24, 6, 0));
    const platform::win32::WindowDc screen(nullptr);
    if (!list || !screen) return list;
    const UniqueBrush white(::CreateSolidBrush(RGB(255, 255, 255)));
    for (COLORREF colour : kColours) {
        const UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), kSize, kSize));
        {
            const UniqueMemoryDc dc(::CreateCompatibleDC(screen.get()));
            if (!bitmap || !dc) return list;
            // The bitmap is selected out again before the context goes, or it stays in use.
            const HGDIOBJ old = ::SelectObject(dc.get(), bitmap.get());
            RECT all{0, 0, kSize, kSize};
            ::FillRect(dc.get(), &all, white.get());
            RECT mark{3, 3, kSize - 3, kSize - 3};
            const UniqueBrush brush(::CreateSolidBrush(colour));
            ::FillRect(dc.get(), &mark, brush.get());
            ::SelectObject(dc.get(), old);
        }
        // The list keeps its own copy of the picture.
        ImageList_Add(list.get(), bitmap.get(), nullptr);
    }
    return list;
}

void SetColumns(HWND list, const std::vector<std::string>& columns, int width) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(columns[i].c_str());
        column.cx = width;
        column.iSubItem = static_cast<int>(i);
        ::SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

void InsertRow(HWND list, int index, const ListItem& row, std::size_t columns) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<char*>(row.text.c_str());
    item.iImage = row.icon;
    const auto at =
        static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    for (std::size_t sub = 1; sub < columns; ++sub) {
        LVITEMA subItem{};
        subItem.iSubItem = static_cast<int>(sub);
        subItem.pszText = const_cast<char*>(row.SubItem(sub).c_str());
        ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(at),
                       reinterpret_cast<LPARAM>(&subItem));
    }
    ListView_SetCheckState(list, at, row.checked ? TRUE : FALSE);
}

bool SameRow(const ListItem& a, const ListItem& b) {
    return a.text == b.text && a.subItems == b.subItems && a.icon == b.icon;
}

}  // namespace

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

MainWindow::~MainWindow() {
    if (hwnd_) {
        ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd_);
    }
}

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
    hwnd_ = ::CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_FRMMAIN), hidden_.get(),
                                 DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd_ != nullptr;
}

void MainWindow::Show(int showCommand) {
    if (hwnd_) ::ShowWindow(hwnd_, showCommand);
}

void SetProgramIcon(HINSTANCE instance, HWND window) {
    // The resource "AAA" in both the large and the small size; shared icons need no freeing.
    for (const auto& [which, metric] : {std::pair<WPARAM, int>{ICON_BIG, SM_CXICON},
                                        std::pair<WPARAM, int>{ICON_SMALL, SM_CXSMICON}}) {
        const int size = ::GetSystemMetrics(metric);
        HANDLE icon = ::LoadImageA(instance, "AAA", IMAGE_ICON, size, size, LR_SHARED);
        if (icon) ::SendMessageA(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

HICON ProgramTrayIcon(HINSTANCE instance) {
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    HANDLE icon = ::LoadImageA(instance, "AAA", IMAGE_ICON, size, size, LR_SHARED);
    return icon ? static_cast<HICON>(icon) : ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
}

INT_PTR CALLBACK MainWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept {
    try {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<MainWindow*>(lParam);
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
            self->hwnd_ = hwnd;
            self->OnInit();
            return TRUE;
        }
        auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!self) return FALSE;
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may cross back into the system's code; the model is left as it was.
        return FALSE;
    }
}

void MainWindow::OnInit() {
    detectionIcons_ = MakeDetectionIcons();
    deleteFailed_.Create(hwnd_);
    download_.Create(instance_, hwnd_);
    notice_.Create(instance_, hwnd_);
    spywareAlert_.Create(instance_);
    trayMenu_.Create(instance_, hwnd_);
    about_.Create(instance_, hwnd_);
    language_.Create(instance_, hwnd_);
    for (HWND window :
         {hwnd_, deleteFailed_.Handle(), download_.Handle(), notice_.Handle(),
          spywareAlert_.Handle(), trayMenu_.Handle(), about_.Handle(), language_.Handle()}) {
        if (window) SetProgramIcon(instance_, window);
    }
    tray_ = std::make_unique<TrayIcon>(hwnd_, 1, kTrayMessage);
    taskbarCreated_ = ::RegisterWindowMessageA("TaskbarCreated");
    AddToolTips();
    struct ListSetup {
        int id;
        const ListView& model;
        int width;
    };
    for (const ListSetup& s :
         {ListSetup{IDC_lvwSpywareFound, model_.lvwSpywareFound, 300},
          ListSetup{IDC_lvwResults, model_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved, 150},
          ListSetup{IDC_lvwHardDrives, model_.lvwHardDrives, 60}}) {
        HWND list = Item(hwnd_, s.id);
        DWORD extended = LVS_EX_FULLROWSELECT;
        if (s.model.checkBoxes) extended |= LVS_EX_CHECKBOXES;
        ListView_SetExtendedListViewStyle(list, extended);
        ListView_SetImageList(list, detectionIcons_.get(), LVSIL_SMALL);
        SetColumns(list,
                   s.model.columns.empty() ? std::vector<std::string>{"Drive"} : s.model.columns,
                   s.width);
    }
    for (const std::string& entry : model_.cmbDays.items) {
        ::SendDlgItemMessageA(hwnd_, IDC_cmbDays, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(entry.c_str()));
    }
    HWND tabs = Item(hwnd_, IDC_TabStrip1);
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
        tool.uId = reinterpret_cast<UINT_PTR>(Item(hwnd_, id));
        tool.lpszText = const_cast<char*>(text);
        ::SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

bool MainWindow::ShownWithItsPage(int id) const {
    const Frame* page = nullptr;
    if (!PageOf(id, page)) return true;
    if (!page->visible) return false;
    // The options page's controls belong to one tab each, by their number.
    int tab = -1;
    if (id >= 1410 && id < 1440)
        tab = 0;
    else if (id >= 1440 && id < 1470)
        tab = 1;
    else if (id >= 1470 && id < 1490)
        tab = 2;
    else if (id >= 1490 && id < 1500)
        tab = 3;
    return tab < 0 || model_.frmView[static_cast<std::size_t>(tab)].visible;
}

void MainWindow::SyncTray() {
    const TrayIconModel& tray = model_.trayIcon;
    if (tray_ && (tray.bRunningInTray != trayShown_ || (trayShown_ && tray.tip != trayTip_))) {
        if (tray.bRunningInTray) {
            trayShown_ = tray_->Show(ProgramTrayIcon(instance_), tray.tip);
            // The shell may not take the icon yet (it is still starting at logon, and the
            // program starts minimised): a hidden window without an icon could not be found,
            // so the add is tried again every second until it works.
            if (!trayShown_) ::SetTimer(hwnd_, kTrayRetryTimer, 1000, nullptr);
        } else {
            tray_->Remove();
            trayShown_ = false;
        }
        trayTip_ = tray.tip;
    }
    SyncTaskbarButton();
    if (model_.inTray != hiddenApplied_) {
        hiddenApplied_ = model_.inTray;
        if (hiddenApplied_) {
            ::ShowWindow(hwnd_, SW_HIDE);
        } else {
            ::ShowWindow(hwnd_, model_.windowState == WindowState::Maximized ? SW_SHOWMAXIMIZED
                                                                             : SW_RESTORE);
            ::SetForegroundWindow(hwnd_);
        }
    }
}

void MainWindow::SyncTaskbarButton() {
    if (taskbarApplied_ == model_.showInTaskbar) return;
    taskbarApplied_ = model_.showInTaskbar;
    const LONG_PTR style = ::GetWindowLongPtrA(hwnd_, GWL_EXSTYLE);
    if (((style & WS_EX_APPWINDOW) != 0) == model_.showInTaskbar) return;
    // The taskbar looks at the style as a window is shown: a visible window is shown again.
    const bool visible = ::IsWindowVisible(hwnd_) != FALSE;
    if (visible) ::ShowWindow(hwnd_, SW_HIDE);
    ::SetWindowLongPtrA(hwnd_, GWL_EXSTYLE,
                        model_.showInTaskbar ? style | WS_EX_APPWINDOW : style & ~WS_EX_APPWINDOW);
    if (visible) ::ShowWindow(hwnd_, SW_SHOWNA);
}

namespace {

// Copies `model` into `applied` when the two differ; true when they did. Sync runs many times
// a second, and an unchanged caption must cost no more than the comparison.
bool TakeIfChanged(std::span<const std::string> model, std::vector<std::string>& applied) {
    if (std::equal(model.begin(), model.end(), applied.begin(), applied.end())) return false;
    applied.assign(model.begin(), model.end());
    return true;
}

}  // namespace

void MainWindow::SyncTranslatedCaptions() {
    FrmMain& m = model_;
    HMENU bar = ::GetMenu(hwnd_);
    const std::pair<int, std::span<const std::string>> menus[] = {
        {IDM_mnuFileItem, m.mnuFileItem},         {IDM_mnuQuarItem, m.mnuQuarItem},
        {IDM_mnuSettingsItem, m.mnuSettingsItem}, {IDM_mnuLanguageItem, m.mnuLanguageItem},
        {IDM_mnuHelpItem, m.mnuHelpItem},         {IDM_mnuAboutItem, m.mnuAboutItem}};
    bool menuChanged = false;
    for (std::size_t k = 0; k < std::size(menus); ++k) {
        const auto& [first, entries] = menus[k];
        if (!TakeIfChanged(entries, appliedMenus_[k])) continue;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i] == "-") continue;
            const auto id = static_cast<UINT>(first + static_cast<int>(i));
            ::ModifyMenuA(bar, id, MF_BYCOMMAND | MF_STRING, id, entries[i].c_str());
        }
        menuChanged = true;
    }
    if (menuChanged) ::DrawMenuBar(hwnd_);
    appliedTabs_.resize(m.frmView.size());
    for (std::size_t i = 0; i < m.frmView.size(); ++i) {
        if (appliedTabs_[i] == m.frmView[i].caption) continue;
        appliedTabs_[i] = m.frmView[i].caption;
        TCITEMA tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = appliedTabs_[i].data();
        ::SendDlgItemMessageA(hwnd_, IDC_TabStrip1, TCM_SETITEMA, i,
                              reinterpret_cast<LPARAM>(&tab));
    }
    const std::pair<int, const ListView*> lists[] = {
        {IDC_lvwSpywareFound, &m.lvwSpywareFound},
        {IDC_lvwResults, &m.lvwPicRemoveListOfSpywareFoundAndToBeRemoved},
        {IDC_lvwHardDrives, &m.lvwHardDrives}};
    for (std::size_t k = 0; k < std::size(lists); ++k) {
        const auto& [id, list] = lists[k];
        if (!TakeIfChanged(list->columns, appliedColumns_[k])) continue;
        for (std::size_t i = 0; i < list->columns.size(); ++i) {
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT;
            column.pszText = const_cast<char*>(list->columns[i].c_str());
            ::SendDlgItemMessageA(hwnd_, id, LVM_SETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        }
    }
}

void MainWindow::ReadBackWindowState() {
    ListView& results = model_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    HWND list = Item(hwnd_, IDC_lvwResults);
    results.columnWidths.resize(results.columns.size());
    for (std::size_t i = 0; i < results.columns.size(); ++i) {
        // Back to twips, as they are stored.
        results.columnWidths[i] =
            static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0)) * 15;
    }
    appliedColumnWidths_ = results.columnWidths;
    model_.windowState = ::IsZoomed(hwnd_)   ? WindowState::Maximized
                         : ::IsIconic(hwnd_) ? WindowState::Minimized
                                             : WindowState::Normal;
}

void MainWindow::SyncColumnWidths() {
    const ListView& model = model_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    if (model.columnWidths == appliedColumnWidths_) return;
    HWND list = Item(hwnd_, IDC_lvwResults);
    for (std::size_t i = 0; i < model.columnWidths.size(); ++i) {
        // Widths are kept in twips, 15 to a pixel at the normal 96 dots per inch.
        ::SendMessageA(list, LVM_SETCOLUMNWIDTH, i, model.columnWidths[i] / 15);
    }
    appliedColumnWidths_ = model.columnWidths;
}

bool MainWindow::PageOf(int id, const Frame*& page) const {
    if (id >= 1100 && id < 1200)
        page = &model_.frmStatus;
    else if (id >= 1200 && id < 1300)
        page = &model_.frmScan;
    else if (id >= 1300 && id < 1400)
        page = &model_.frmResults;
    else if (id >= 1400 && id < 1500)
        page = &model_.frmOptions;
    else
        return false;
    return true;
}

void MainWindow::Sync() {
    if (!hwnd_) return;
    syncing_ = true;
    FrmMain& m = model_;
    if (!m.caption.empty() && m.caption != appliedCaption_) {
        SetText(hwnd_, m.caption);
        appliedCaption_ = m.caption;
    }
    const Binding bindings[] = {
        {IDC_lblPause, &m.lblPause},
        {IDC_lblStop, &m.lblStop},
        {IDC_cmdStatus, &m.cmdStatus},
        {IDC_cmdScan, &m.cmdScan},
        {IDC_cmdResults, &m.cmdResults},
        {IDC_cmdSettings, &m.cmdSettings},
        {IDC_cmdUpdate, &m.cmdUpdate},
        {IDC_cmdHijack, &m.cmdHijack},
        {IDC_cmdLog, &m.cmdLog},
        {IDC_frmStatus, &m.frmStatus},
        {IDC_frmScan, &m.frmScan},
        {IDC_frmResults, &m.frmResults},
        {IDC_frmOptions, &m.frmOptions},
        {IDC_lblDefCount, &m.lblDefCount},
        {IDC_lblVersion, &m.lblVersion},
        {IDC_lblDefVersion, &m.lblDefVersion},
        {IDC_lblDefRemoved, &m.lblDefRemoved},
        {IDC_lblLastScan, &m.lblLastScan},
        {IDC_lblLastFullScan, &m.lblLastFullScan},
        {IDC_optScan0, &m.optScan[0]},
        {IDC_optScan1, &m.optScan[1]},
        {IDC_optScan2, &m.optScan[2]},
        {IDC_optScan3, &m.optScan[3]},
        {IDC_cmdScanNow, &m.cmdScanNow},
        {IDC_cmdPause, &m.cmdPause},
        {IDC_cmdStop, &m.cmdStop},
        {IDC_lblStatus, &m.lblStatus},
        {IDC_lblPercentageCompleted, &m.lblPercentageCompleted},
        {IDC_pb1, &m.pb1},
        {IDC_pb2, &m.pb2},
        {IDC_pbgMain, &m.pbgMain},
        {IDC_lblMemoryInspected, &m.lblMemoryInspected},
        {IDC_lblRegistryInspected, &m.lblRegistryInspected},
        {IDC_lblFilesFolderInspected, &m.lblFilesFolderInspected},
        {IDC_lblSoftwareFound, &m.lblSoftwareFound},
        {IDC_lbltracesFound, &m.lbltracesFound},
        {IDC_lblRemovePicSoftwareFound, &m.lblRemovePicSoftwareFound},
        {IDC_cmdSelectAll, &m.cmdSelectAll},
        {IDC_Command4, &m.Command4},
        {IDC_lblRemove, &m.lblRemove},
        {IDC_lblDeletingPercentageCompleted, &m.lblDeletingPercentageCompleted},
        {IDC_lblDeletingCaption, &m.lblDeletingCaption},
        {IDC_pgbDeleteSpywaresFound, &m.pgbDeleteSpywaresFound},
        {IDC_lblViewLogFile, &m.lblViewLogFile},
        {IDC_Label22, &m.Label22},
        {IDC_cmdFalsePos, &m.cmdFalsePos},
        {IDC_capSubmit, &m.capSubmit},
        {IDC_cmdBrowse, &m.Command2},
        {IDC_cmdSubmit, &m.cmdSubmit},
        {IDC_Label26, &m.Label26},
        {IDC_capDefCount, &m.capDefCount},
        {IDC_capVersion, &m.capVersion},
        {IDC_capDefVersion, &m.capDefVersion},
        {IDC_capDefRemoved, &m.capDefRemoved},
        {IDC_capLastScan, &m.capLastScan},
        {IDC_capLastFullScan, &m.capLastFullScan},
        {IDC_capAutoProtect, &m.capAutoProtect},
        {IDC_capHomePage, &m.capHomePage},
        {IDC_capMemoryInspected, &m.capMemoryInspected},
        {IDC_capRegistryInspected, &m.capRegistryInspected},
        {IDC_capFilesFolderInspected, &m.capFilesFolderInspected},
        {IDC_capSoftwareFound, &m.capSoftwareFound},
        {IDC_captracesFound, &m.captracesFound},
        {IDC_capRemovePicSoftwareFound, &m.capRemovePicSoftwareFound},
        {IDC_capDriveSelection, &m.capDriveSelection},
        {IDC_capMemoryShieldGroup, &m.capMemoryShieldGroup},
        {IDC_capHomePageShieldGroup, &m.capHomePageShieldGroup},
        {IDC_capDays, &m.capDays},
        {IDC_capScheduleDate, &m.capScheduleDate},
        {IDC_capScheduleTime, &m.capScheduleTime},
        {IDC_cmdWebsite, &m.cmdWebsite},
        {IDC_Home_Command3, &m.Command3},
        {IDC_Home_cmdMainScan1, &m.cmdMainScan1},
        {IDC_Home_Command6, &m.Command6},
        {IDC_Home_Command7, &m.Command7},
        {IDC_Home_Command1, &m.Command1},
        {IDC_Home_Command5, &m.Command5},
        {IDC_cmdExclude, &m.cmdExclude},
        {IDC_chkMakeLog, &m.chkMakeLog},
        {IDC_optScanAllSelectedHardDrive, &m.optScanAllSelectedHardDrive},
        {IDC_optScanOnlyKnownSoftwares, &m.optScanOnlyKnownSoftwares},
        {IDC_frmView0, &m.frmView[0]},
        {IDC_chkAutoProtect, &m.chkAutoProtect},
        {IDC_chkHomePage, &m.chkHomePage},
        {IDC_chkSweepMemory, &m.chkSweepMemory},
        {IDC_chkScanRegistry, &m.chkScanRegistry},
        {IDC_chkScanCookies, &m.chkScanCookies},
        {IDC_chkSendData, &m.chkSendData},
        {IDC_chkRunAtStartup, &m.chkRunAtStartup},
        {IDC_lblRunAtStart, &m.lblRunAtStart},
        {IDC_optMemorySheildOn, &m.optMemorySheildOn},
        {IDC_optMemorySheildOff, &m.optMemorySheildOff},
        {IDC_optIEHomePageSheildOn, &m.optIEHomePageSheildOn},
        {IDC_optIEHomePageSheildOff, &m.optIEHomePageSheildOff},
        {IDC_optAlwaysnotifybeforerestoring, &m.optAlwaysnotifybeforerestoring},
        {IDC_optRestoredefaultwithoutnotification, &m.optRestoredefaultwithoutnotification},
        {IDC_chkAutomaticScanYesOrNo, &m.chkAutomaticScanYesOrNo},
        {IDC_cmbDays, &m.cmbDays},
        {IDC_dtpScheduleDate, &m.dtpScheduleDate},
        {IDC_dtpScheduleTime, &m.dtpScheduleTime},
        {IDC_chkAutoDel, &m.chkAutoDel},
        {IDC_chkAutomaticUpdate, &m.chkAutomaticUpdate},
        {IDC_lblLastUpdate, &m.lblLastUpdate},
        {IDC_cmdLiveUpdate, &m.cmdLiveUpdate},
        {IDC_CmdProceed, &m.CmdProceed},
        {IDC_cmdDefaultSetting, &m.cmdDefaultSetting},
    };
    constexpr std::size_t kBindings = sizeof(bindings) / sizeof(bindings[0]);
    if (applied_.size() != kBindings) applied_.assign(kBindings, Applied{});
    for (std::size_t i = 0; i < kBindings; ++i) {
        const Binding& b = bindings[i];
        HWND control = Item(hwnd_, b.id);
        if (!control) continue;
        const bool pageVisible = ShownWithItsPage(b.id);
        // What the control should show, compared with what it was last given: the pump syncs
        // often during a scan, and a call into a control costs far more than a comparison.
        Applied want;
        want.known = true;
        std::visit(
            [&](auto* c) {
                using T = std::remove_pointer_t<decltype(c)>;
                want.visible = c->visible && pageVisible;
                if constexpr (std::is_same_v<T, ProgressBar>) {
                    want.min = c->min;
                    want.max = c->max;
                    want.value = c->value;
                } else if constexpr (std::is_same_v<T, ComboBox>) {
                    want.enabled = c->enabled;
                    want.value = c->listIndex;
                } else if constexpr (std::is_same_v<T, DatePicker>) {
                    want.enabled = c->enabled;
                } else {
                    want.text = c->caption;
                    if constexpr (!std::is_same_v<T, Frame>) want.enabled = c->enabled;
                    if constexpr (std::is_same_v<T, CheckBox>) want.value = c->value;
                    if constexpr (std::is_same_v<T, OptionButton>) want.value = c->value ? 1 : 0;
                }
            },
            b.control);
        Applied& had = applied_[i];
        const bool isProgress = std::holds_alternative<ProgressBar*>(b.control);
        const bool isCheckable = std::holds_alternative<CheckBox*>(b.control) ||
                                 std::holds_alternative<OptionButton*>(b.control);
        const bool isCombo = std::holds_alternative<ComboBox*>(b.control);
        const bool hasText = !isCombo && !std::holds_alternative<DatePicker*>(b.control);
        if (hasText && (!had.known || had.text != want.text)) SetText(control, want.text);
        if (isCombo && (!had.known || had.value != want.value)) {
            ::SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(want.value), 0);
        }
        if (!had.known || had.enabled != want.enabled) SetEnabled(control, want.enabled);
        if (!had.known || had.visible != want.visible) SetVisible(control, want.visible);
        if (isProgress && (!had.known || had.min != want.min || had.max != want.max)) {
            ::SendMessageA(control, PBM_SETRANGE32, static_cast<WPARAM>(want.min), want.max);
        }
        if (isProgress && (!had.known || had.value != want.value)) {
            ::SendMessageA(control, PBM_SETPOS, static_cast<WPARAM>(want.value), 0);
        }
        if (isCheckable) {
            // The user may have clicked it since: always compare with the control itself.
            const LRESULT state = ::SendMessageA(control, BM_GETCHECK, 0, 0);
            if ((state == BST_CHECKED) != (want.value != 0)) {
                ::SendMessageA(control, BM_SETCHECK, want.value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
        }
        had = std::move(want);
    }
    // The options page's other frames, and the captions that carry no model of their own.
    for (int i = 1; i < 4; ++i) {
        SetVisible(Item(hwnd_, IDC_frmView0 + i),
                   m.frmOptions.visible && m.frmView[static_cast<std::size_t>(i)].visible);
    }
    for (int id : {IDC_lvwSpywareFound, IDC_lvwResults, IDC_TabStrip1, IDC_lvwHardDrives}) {
        SetVisible(Item(hwnd_, id), ShownWithItsPage(id));
    }
    SyncColumnWidths();
    HWND tabs = Item(hwnd_, IDC_TabStrip1);
    if (::SendMessageA(tabs, TCM_GETCURSEL, 0, 0) != m.TabStrip1 - 1) {
        ::SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(m.TabStrip1 - 1), 0);
    }
    timers_.Apply(hwnd_);
    SyncList(IDC_lvwSpywareFound, m.lvwSpywareFound);
    SyncList(IDC_lvwResults, m.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
    SyncList(IDC_lvwHardDrives, m.lvwHardDrives);
    deleteFailed_.Sync();
    download_.Sync();
    notice_.Sync();
    spywareAlert_.Sync();
    trayMenu_.Sync();
    about_.Sync();
    language_.Sync();
    SyncTranslatedCaptions();
    // The box's text as last given or typed: the control itself is asked only when it changes.
    if (m.txtFilename.text != appliedFilename_) {
        appliedFilename_ = m.txtFilename.text;
        ::SetWindowTextA(Item(hwnd_, IDC_txtFilename), appliedFilename_.c_str());
    }
    if (const bool shown = m.frmResults.visible && m.txtFilename.visible;
        shown != appliedFilenameShown_) {
        appliedFilenameShown_ = shown;
        SetVisible(Item(hwnd_, IDC_txtFilename), shown);
    }
    SyncTray();
    SyncPicker(IDC_dtpScheduleDate, m.dtpScheduleDate, appliedDate_, false);
    SyncPicker(IDC_dtpScheduleTime, m.dtpScheduleTime, appliedTime_, true);
    // The system's shared cursors, looked up once: Sync runs after every tick that changed
    // something.
    static const HCURSOR wait = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514));   // IDC_WAIT
    static const HCURSOR arrow = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    ::SetCursor(m.mousePointer == MousePointer::Hourglass ? wait : arrow);
    syncing_ = false;
    // The program was ended while work ran: now that it has ended, the window goes.
    if (m.closeWhenIdle && commands_.CanClose()) {
        m.closeWhenIdle = false;
        ::PostMessageA(hwnd_, WM_CLOSE, 0, 0);
    }
}

void MainWindow::SyncList(int id, ListView& model) {
    HWND list = Item(hwnd_, id);
    if (!list) return;
    ListSnapshot& snapshot = id == IDC_lvwSpywareFound ? liveSnapshot_
                             : id == IDC_lvwResults    ? resultsSnapshot_
                                                       : drivesSnapshot_;
    const std::size_t columns = std::max<std::size_t>(model.columns.size(), 1);
    // Rows are only ever added during a scan: append those; anything else rebuilds the list.
    std::size_t same = 0;
    while (same < snapshot.rows.size() && same < model.rows.size() &&
           SameRow(snapshot.rows[same], model.rows[same])) {
        ++same;
    }
    if (same < snapshot.rows.size()) {
        ListView_DeleteAllItems(list);
        snapshot.rows.clear();
        same = 0;
    }
    if (same < model.rows.size()) {
        ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        for (std::size_t i = same; i < model.rows.size(); ++i) {
            InsertRow(list, static_cast<int>(i), model.rows[i], columns);
            snapshot.rows.push_back(model.rows[i]);
        }
        ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    }
    for (std::size_t i = 0; i < model.rows.size(); ++i) {
        if (snapshot.rows[i].checked != model.rows[i].checked) {
            ListView_SetCheckState(list, static_cast<int>(i), model.rows[i].checked);
            snapshot.rows[i].checked = model.rows[i].checked;
        }
    }
}

void MainWindow::Command(int id) {
    FrmMain& m = model_;
    switch (id) {
        case IDC_cmdStatus:
            m.PageButtonClicked(m.frmStatus);
            break;
        case IDC_cmdScan:
        case IDM_mnuFileItem + 0:
            m.PageButtonClicked(m.frmScan);
            break;
        case IDC_cmdResults:
            commands_.ShowResultsPage();
            break;
        case IDC_cmdSettings:
            m.PageButtonClicked(m.frmOptions);
            break;
        case IDC_Home_Command3:
        case IDC_Home_cmdMainScan1:
        case IDC_Home_Command6:
        case IDC_Home_Command7: {
            // The shortcuts choose the kind on the scan page; Start is still the user's.
            static constexpr std::pair<int, ScanKind> kShortcuts[] = {
                {IDC_Home_Command3, ScanKind::Smart},
                {IDC_Home_cmdMainScan1, ScanKind::FullSystem},
                {IDC_Home_Command6, ScanKind::File},
                {IDC_Home_Command7, ScanKind::Folder}};
            for (const auto& [shortcut, kind] : kShortcuts) {
                if (shortcut == id) m.SelectScanKind(kind);
            }
            m.PageButtonClicked(m.frmScan);
            break;
        }
        case IDC_Home_Command1:
            break;  // "Scan Now" on the Home page does nothing
        case IDC_Home_Command5:
            commands_.MinimizeToTray();
            break;
        case IDC_optScan0:
        case IDC_optScan1:
        case IDC_optScan2:
        case IDC_optScan3:
            m.SelectScanKind(static_cast<ScanKind>(id - IDC_optScan0));
            break;
        case IDC_cmdScanNow:
        case IDOK:
            // Enter in the file-name box reaches the dialog's default button: it submits.
            if (::GetFocus() == Item(hwnd_, IDC_txtFilename)) {
                commands_.SubmitFilename();
            } else if (id == IDC_cmdScanNow) {
                commands_.StartScan();
            }
            break;
        case IDC_cmdFalsePos:
            commands_.ReportFalsePositive();
            break;
        case IDC_cmdBrowse:
            commands_.BrowseForSubmission();
            break;
        case IDC_cmdSubmit:
            commands_.SubmitFilename();
            break;
        case IDC_cmdPause:
            commands_.PauseScan();
            break;
        case IDC_cmdStop:
            commands_.StopScan(false);
            break;
        case IDC_lblPause:
            if (m.lblPause.enabled) commands_.PauseScan();
            break;
        case IDC_lblStop:
            // The label stays live while the definitions load, when the Stop button is not.
            if (m.lblStop.enabled) commands_.StopScan(true);
            break;
        case IDC_cmdSelectAll:
            commands_.SelectAll();
            break;
        case IDC_cmdExclude:
            commands_.Exclude();
            break;
        case IDC_Command4:
            commands_.RepairNow();
            break;
        case IDC_cmdLog:
        case IDC_lblViewLogFile:
        case IDM_mnuFileItem + 2:  // "View Log"
            commands_.ViewReport();
            break;
        case IDC_cmdUpdate:
            // Shift alone held: the definition addresses, for the record.
            if (::GetKeyState(VK_SHIFT) < 0 && ::GetKeyState(VK_CONTROL) >= 0 &&
                ::GetKeyState(VK_MENU) >= 0) {
                commands_.ShowAddressList();
            } else {
                commands_.RunLiveUpdate();
            }
            break;
        case IDC_cmdLiveUpdate:
        case IDM_mnuFileItem + 4:  // "Run Live Update"
            commands_.RunLiveUpdate();
            break;
        case IDC_cmdHijack:
            commands_.LaunchAntiHijack();
            break;
        case IDC_cmdWebsite:
            commands_.OpenWebsite();
            break;
        case IDM_mnuFileItem + 6:  // "Minimize to Tray"
            commands_.MinimizeToTray();
            break;
        case IDM_mnuLanguageItem + 0:
            commands_.ShowLanguageWindow();
            break;
        case IDM_mnuHelpItem + 0:
            commands_.ViewHelp();
            break;
        case IDM_mnuAboutItem + 0:
            commands_.ShowAbout();
            break;
        case IDC_CmdProceed:
            commands_.ApplySchedule();
            break;
        case IDC_cmdDefaultSetting:
            commands_.ResetSchedule();
            break;
        case IDC_lblRemove:
            if (m.lblRemove.enabled) commands_.RemoveSelected();
            break;
        case IDM_mnuQuarItem + 0:
            commands_.ViewQuarantine();
            break;
        case IDM_mnuQuarItem + 1:
            commands_.ViewExclusions();
            break;
        case IDC_chkSendData:
            // A click arrives when the mouse is released: the consent question's moment.
            m.chkSendData.value = m.chkSendData.value ? 0 : 1;
            commands_.SendDataReleased();
            break;
        case IDM_mnuFileItem + 8:
            ::PostMessageA(hwnd_, WM_CLOSE, 0, 0);
            break;
        case IDM_mnuSettingsItem + 0:
        case IDM_mnuSettingsItem + 1:
        case IDM_mnuSettingsItem + 2:
        case IDM_mnuSettingsItem + 3:
            // Through the program, which keeps the options page shut while work runs.
            commands_.ShowOptionsTab(id - IDM_mnuSettingsItem + 1);
            break;
        default:
            if (CheckBox* box = CheckBoxOf(id)) {
                box->value = box->value ? 0 : 1;
                commands_.CheckBoxClicked(*box);
            } else if (OptionButton* option = OptionButtonOf(id)) {
                commands_.OptionClicked(*option);
            }
            // Entries whose features the program does not have yet do nothing.
            break;
    }
    Sync();
}

CheckBox* MainWindow::CheckBoxOf(int id) {
    FrmMain& m = model_;
    switch (id) {
        case IDC_chkMakeLog:
            return &m.chkMakeLog;
        case IDC_chkAutoProtect:
            return &m.chkAutoProtect;
        case IDC_chkHomePage:
            return &m.chkHomePage;
        case IDC_chkSweepMemory:
            return &m.chkSweepMemory;
        case IDC_chkScanRegistry:
            return &m.chkScanRegistry;
        case IDC_chkScanCookies:
            return &m.chkScanCookies;
        case IDC_chkRunAtStartup:
            return &m.chkRunAtStartup;
        case IDC_chkAutomaticScanYesOrNo:
            return &m.chkAutomaticScanYesOrNo;
        case IDC_chkAutoDel:
            return &m.chkAutoDel;
        case IDC_chkAutomaticUpdate:
            return &m.chkAutomaticUpdate;
        default:
            return nullptr;
    }
}

OptionButton* MainWindow::OptionButtonOf(int id) {
    FrmMain& m = model_;
    switch (id) {
        case IDC_optScanAllSelectedHardDrive:
            return &m.optScanAllSelectedHardDrive;
        case IDC_optScanOnlyKnownSoftwares:
            return &m.optScanOnlyKnownSoftwares;
        case IDC_optMemorySheildOn:
            return &m.optMemorySheildOn;
        case IDC_optMemorySheildOff:
            return &m.optMemorySheildOff;
        case IDC_optIEHomePageSheildOn:
            return &m.optIEHomePageSheildOn;
        case IDC_optIEHomePageSheildOff:
            return &m.optIEHomePageSheildOff;
        case IDC_optAlwaysnotifybeforerestoring:
            return &m.optAlwaysnotifybeforerestoring;
        case IDC_optRestoredefaultwithoutnotification:
            return &m.optRestoredefaultwithoutnotification;
        default:
            return nullptr;
    }
}

void MainWindow::SyncPicker(int id, const DatePicker& model, std::string& applied, bool timeOnly) {
    if (model.value == applied) return;
    applied = model.value;
    HWND picker = Item(hwnd_, id);
    SYSTEMTIME time{};
    const auto value = model.value.empty() ? std::nullopt : dates_.Parse(model.value);
    if (!value) {
        // Empty, or a stored text that is no date: the picker shows nothing chosen.
        ::SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0);
        return;
    }
    double shown = *value;
    if (timeOnly) {
        // A time alone is a time today, as the picker needs a whole date to show it.
        SYSTEMTIME today{};
        ::GetLocalTime(&today);
        today.wHour = today.wMinute = today.wSecond = today.wMilliseconds = 0;
        double day = 0;
        ::SystemTimeToVariantTime(&today, &day);
        shown = day + (shown - std::floor(shown));
    }
    if (::VariantTimeToSystemTime(shown, &time)) {
        ::SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    }
}

void MainWindow::PickerChanged(const NMDATETIMECHANGE& change) {
    const bool timeOnly = change.nmhdr.idFrom == IDC_dtpScheduleTime;
    DatePicker& model = timeOnly ? model_.dtpScheduleTime : model_.dtpScheduleDate;
    std::string& applied = timeOnly ? appliedTime_ : appliedDate_;
    std::string text;
    double value = 0;
    if (change.dwFlags == GDT_VALID &&
        ::SystemTimeToVariantTime(const_cast<SYSTEMTIME*>(&change.st), &value)) {
        // The date picker keeps the day, the time picker the time of day.
        text = dates_.Format(timeOnly ? value - std::floor(value) : std::floor(value));
    }
    model.value = text;
    applied = text;
    commands_.SchedulePickerChanged();
    Sync();
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
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (change.iItem < 0 ||
            ((change.uOldState ^ change.uNewState) & LVIS_STATEIMAGEMASK) == 0) {
            return;
        }
        ListView& list = id == IDC_lvwResults ? model_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved
                                              : model_.lvwHardDrives;
        ListSnapshot& snapshot = id == IDC_lvwResults ? resultsSnapshot_ : drivesSnapshot_;
        const auto index = static_cast<std::size_t>(change.iItem);
        if (index >= list.rows.size() || index >= snapshot.rows.size()) return;
        const bool checked = ListView_GetCheckState(header.hwndFrom, change.iItem) != FALSE;
        list.rows[index].checked = checked;
        snapshot.rows[index].checked = checked;
        if (id == IDC_lvwResults) commands_.ResultCheckChanged(list.rows[index]);
        if (id == IDC_lvwHardDrives) commands_.DriveCheckChanged();
    }
}

INT_PTR MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
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
                ::KillTimer(hwnd_, kTrayRetryTimer);
                SyncTray();
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
        case WM_DESTROY:
            if (tray_) tray_->Remove();
            hwnd_ = nullptr;
            ::PostQuitMessage(0);
            return TRUE;
        default:
            // A new taskbar (Explorer restarted) knows no icons: the tray icon goes back in.
            if (message == taskbarCreated_ && taskbarCreated_ != 0 && tray_) {
                if (model_.trayIcon.bRunningInTray) {
                    trayShown_ = tray_->Restore(ProgramTrayIcon(instance_), model_.trayIcon.tip);
                    if (!trayShown_) ::SetTimer(hwnd_, kTrayRetryTimer, 1000, nullptr);
                }
                return TRUE;
            }
            return FALSE;
    }
}

}  // namespace qm::ui::win32
