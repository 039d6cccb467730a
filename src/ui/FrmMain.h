#pragma once
// The main window's model: every control that the scan session, the status page and the
// results page touch, under the names the window's form gives them.

#include <array>

#include "ui/Controls.h"
#include "ui/FrmAbout.h"
#include "ui/FrmDelete.h"
#include "ui/FrmDownload.h"
#include "ui/FrmLanguage.h"
#include "ui/FrmMenuPopUp.h"
#include "ui/FrmSignatureUpdated.h"
#include "ui/FrmSplash.h"
#include "ui/ShieldAlerts.h"

namespace qm::ui {

// Small icons of the Detection lists (the DetectionKind).
namespace detection {
inline constexpr int kCookie = 1;
inline constexpr int kRegistry = 2;
inline constexpr int kFile = 3;
inline constexpr int kFolder = 4;
inline constexpr int kExcluded = 5;
}  // namespace detection

// Indices of the scan-kind option group `optScan`.
enum class ScanKind { Smart = 0, FullSystem = 1, File = 2, Folder = 3 };

struct FrmMain {
    FrmMain();

    // Pages and the page buttons.
    Frame frmStatus, frmScan, frmResults, frmOptions;
    Button cmdStatus, cmdScan, cmdResults, cmdSettings, cmdUpdate, cmdLog, cmdHijack;

    // Scan page.
    std::array<OptionButton, 4> optScan;
    Button cmdScanNow, cmdPause, cmdStop;
    Label lblPause, lblStop;
    // The scan shortcuts, on the Home page: each shows the scan page with its kind chosen and
    // starts nothing; "Scan Now" (`Command1`) does nothing.
    Button Command1, Command3, cmdMainScan1, Command6, Command7;
    Label lblStatus, lblPercentageCompleted, lblTotalNoOfRunningItems;
    Label lblMemoryInspected, lblRegistryInspected, lblFilesFolderInspected, lblSoftwareFound;
    Label lbltracesFound;
    ProgressBar pb1, pb2, pbgMain;
    ListView lvwSpywareFound;

    // Results page.
    ListView lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    Label lblRemovePicSoftwareFound;
    Label lblDeletingCaption;  // the removal's progress text
    Label lblDeletingPercentageCompleted;
    ProgressBar pgbDeleteSpywaresFound;
    Button cmdRemove, cmdSelectAll, Command4, cmdExclude;
    Label lblRemove;     // "Remove": the removal run without its questions
    Button cmdFalsePos;  // "False positive": the checked rows reported to the maker
    // A file name sent to the maker for research.
    Label capSubmit;
    TextBox txtFilename;
    Button Command2, cmdSubmit;  // "Browse", "Submit"
    Label Label26;               // how the submission went
    // The navigation labels the removal run enables.
    Label lblSweepNow, lblOptions, lblResult, lblExit;

    // Hidden worklists.
    ListView lvwFilesToBeDeleted, lvwFileNotFounds, lvwRegistryToBeDeleted, lvwCookiesToDelete;

    // Status page.
    Label lblDefCount, lblVersion, lblDefVersion, lblDefRemoved, lblLastScan, lblLastFullScan;
    // Shown only while the machine lets unsigned definitions in.
    Label lblUnsignedAllowed{{}, true, false};
    Label lblViewLogFile;                  // "Show Report"
    Label Label22;                         // the welcome line
    Button cmdWebsite;                     // the maker's web site, from the version information
    Button Command5;                       // "Minimize": to the tray
    Label shpCircle;                       // the scan animation's circle, hidden between scans
    CheckBox chkAutoProtect, chkHomePage;  // the two shields' quick switches

    // Options page: the tab strip selects which of the four frames shows.
    int TabStrip1 = 1;  // selected tab, 1 to 4
    std::array<Frame, 4> frmView;
    // Tab 1, "Scan Options".
    CheckBox chkMakeLog, chkSweepMemory, chkScanRegistry, chkScanCookies, chkSendData;
    CheckBox chkRunAtStartup;
    Label lblRunAtStart;
    OptionButton optScanAllSelectedHardDrive, optScanOnlyKnownSoftwares;
    ListView lvwHardDrives;
    // Tab 2, "Proactive Protection".
    OptionButton optMemorySheildOn, optMemorySheildOff;
    OptionButton optIEHomePageSheildOn, optIEHomePageSheildOff;
    OptionButton optAlwaysnotifybeforerestoring, optRestoredefaultwithoutnotification;
    CheckBox chkBrowserPolicies;  // the browser policy guard, beside the home-page shield
    // Tab 3, "Schedule".
    CheckBox chkAutomaticScanYesOrNo, chkAutoDel;
    ComboBox cmbDays;
    DatePicker dtpScheduleDate, dtpScheduleTime;
    Button CmdProceed;         // "Apply": the only way the schedule is stored
    Button cmdDefaultSetting;  // "Reset"
    // Tab 4, "Auto Update".
    CheckBox chkAutomaticUpdate;
    Label lblLastUpdate;
    Button cmdLiveUpdate;  // "Run Live Update Now": the same command as Update Now

    // The fixed captions beside the values and groups.
    Label capDefCount, capVersion, capDefVersion, capDefRemoved, capLastScan, capLastFullScan;
    Label capAutoProtect, capHomePage;
    Label capMemoryInspected, capRegistryInspected, capFilesFolderInspected, capSoftwareFound;
    Label captracesFound, capRemovePicSoftwareFound;
    Label capDriveSelection, capMemoryShieldGroup, capHomePageShieldGroup;
    Label capDays, capScheduleDate, capScheduleTime;

    // The menu bar's entries by control array ("-" is a separator).
    std::array<std::string, 9> mnuFileItem;
    std::array<std::string, 2> mnuQuarItem;
    std::array<std::string, 4> mnuSettingsItem;
    std::array<std::string, 1> mnuLanguageItem, mnuHelpItem, mnuAboutItem;

    // Background timers.
    Timer tmrMemoryInspected, tmrCheckHomePage, tmrScheduler, timUpdate, tmrScroll, tmrTimeOut;

    // The removal run's "Delete Failed" window.
    FrmDelete frmDelete;
    // Live Update's progress window and the notice that follows it.
    FrmDownload frmDownload;
    FrmSignatureUpdated frmSignatureUpdated;
    // The memory shield's question about a running program.
    FrmSpywareFoundAlert frmSpywareFoundAlert;

    // The tray: the program's icon and the menu its click slides up.
    TrayIconModel trayIcon;
    FrmMenuPopUp frmMenuPopUp;
    FrmAbout frmAbout;
    FrmSplash frmSplash;
    FrmLanguage frmLanguage;
    // The report viewer's own caption comes with the report; its button is translated.
    struct FrmReport {
        Button cmdClose{"OK"};
    } frmReport;
    // The home-page shield's question; the shield fills in its texts.
    FrmHomePageChangedAlert frmHomePageChangedAlert;

    std::string caption;        // the window's title
    bool frmHidden = false;     // the invisible window that owns the main window is loaded
    bool showInTaskbar = true;  // the taskbar button

    MousePointer mousePointer = MousePointer::Default;
    WindowState windowState = WindowState::Normal;
    bool inTray = false;  // no window, no taskbar button: only the tray icon
    // The program was ended while work ran: the window closes as soon as the work has ended,
    // so the program never runs on without its window and its tray icon.
    bool closeWhenIdle = false;

    ScanKind SelectedScanKind() const;
    void SelectScanKind(ScanKind kind);
    // Shows one page and hides the others.
    void ShowPage(Frame& page);
    // A page button: the removal bar and its two labels are hidden too.
    void PageButtonClicked(Frame& page);
    // The page buttons as they are between scans, or all disabled but Pause and Stop (and the
    // hourglass shown) while work runs.
    void SetWorkControlsEnabled(bool working);
    // A click on tab `tab` (1 to 4) of the options page.
    void SelectTab(int tab);
};

}  // namespace qm::ui
