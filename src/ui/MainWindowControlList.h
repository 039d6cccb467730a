// The main window's controls, one row each: the one place a control of the FrmMain model is
// bound to its resource ID, its kind and the page it sits on, and named for translation. The
// window's binding table (src/ui/win32/MainWindowControls.cpp) and the caption list
// (Captions.cpp) are both read from these rows, so a new control is added here, in the model
// and in the dialog resource, and nowhere else.
//
// Included, on purpose without an include guard, by whoever defines the two row macros:
//   QM_CONTROL(id, member, kind, page, caption)              for a control member of FrmMain
//   QM_CONTROL_AT(id, member, index, kind, page, caption)    for an element of a control array
// `id` is the resource ID's name (the caption list never expands it); `kind` the control's
// ui::win32::ControlKind; `page` the page (and tab) the control shows with, `Window` for the
// controls outside the pages; `caption` how a translation file names its caption: `Named`
// (FORM_CONTROL), `Indexed` (FORM_CONTROL plus the index, 0 for a lone option button),
// `Columns` (FORM_CONTROL_COLi), `Tabs` (FORM_CONTROL_TABSi, the tab strip's frames) or
// `Unnamed` (a text the program writes as it runs, which a translation would only leave stale).
// The rows keep the order in which a translation template lists the captions.

// clang-format off

// The pages and their buttons, and the Home page's scan shortcuts.
QM_CONTROL(IDC_frmStatus, frmStatus, Frame, Window, Named)
QM_CONTROL(IDC_frmScan, frmScan, Frame, Window, Named)
QM_CONTROL(IDC_frmResults, frmResults, Frame, Window, Named)
QM_CONTROL(IDC_frmOptions, frmOptions, Frame, Window, Named)
QM_CONTROL(IDC_Home_Command3, Command3, Button, Home, Named)
QM_CONTROL(IDC_Home_cmdMainScan1, cmdMainScan1, Button, Home, Named)
QM_CONTROL(IDC_Home_Command6, Command6, Button, Home, Named)
QM_CONTROL(IDC_Home_Command7, Command7, Button, Home, Named)
QM_CONTROL(IDC_Home_Command1, Command1, Button, Home, Named)
QM_CONTROL(IDC_Home_Command5, Command5, Button, Home, Named)
QM_CONTROL(IDC_cmdStatus, cmdStatus, Button, Window, Named)
QM_CONTROL(IDC_cmdScan, cmdScan, Button, Window, Named)
QM_CONTROL(IDC_cmdResults, cmdResults, Button, Window, Named)
QM_CONTROL(IDC_cmdSettings, cmdSettings, Button, Window, Named)
QM_CONTROL(IDC_cmdUpdate, cmdUpdate, Button, Window, Named)
QM_CONTROL(IDC_cmdLog, cmdLog, Button, Window, Named)
QM_CONTROL(IDC_cmdHijack, cmdHijack, Button, Window, Unnamed)

// The scan page.
QM_CONTROL_AT(IDC_optScan0, optScan, 0, OptionButton, Scan, Indexed)
QM_CONTROL_AT(IDC_optScan1, optScan, 1, OptionButton, Scan, Indexed)
QM_CONTROL_AT(IDC_optScan2, optScan, 2, OptionButton, Scan, Indexed)
QM_CONTROL_AT(IDC_optScan3, optScan, 3, OptionButton, Scan, Indexed)
QM_CONTROL(IDC_cmdScanNow, cmdScanNow, Button, Scan, Named)
QM_CONTROL(IDC_cmdPause, cmdPause, Button, Scan, Named)
QM_CONTROL(IDC_cmdStop, cmdStop, Button, Scan, Named)
QM_CONTROL(IDC_lblPause, lblPause, Label, Scan, Named)
QM_CONTROL(IDC_lblStop, lblStop, Label, Scan, Named)
QM_CONTROL(IDC_lblStatus, lblStatus, Label, Scan, Unnamed)
QM_CONTROL(IDC_lblPercentageCompleted, lblPercentageCompleted, Label, Scan, Unnamed)
QM_CONTROL(IDC_pb1, pb1, ProgressBar, Scan, Unnamed)
QM_CONTROL(IDC_pb2, pb2, ProgressBar, Scan, Unnamed)
QM_CONTROL(IDC_pbgMain, pbgMain, ProgressBar, Scan, Unnamed)
QM_CONTROL(IDC_lblMemoryInspected, lblMemoryInspected, Label, Scan, Unnamed)
QM_CONTROL(IDC_lblRegistryInspected, lblRegistryInspected, Label, Scan, Unnamed)
QM_CONTROL(IDC_lblFilesFolderInspected, lblFilesFolderInspected, Label, Scan, Unnamed)
QM_CONTROL(IDC_lblSoftwareFound, lblSoftwareFound, Label, Scan, Unnamed)
QM_CONTROL(IDC_lbltracesFound, lbltracesFound, Label, Scan, Unnamed)
QM_CONTROL(IDC_lvwSpywareFound, lvwSpywareFound, ListView, Scan, Columns)

// The results page.
QM_CONTROL(IDC_lvwResults, lvwPicRemoveListOfSpywareFoundAndToBeRemoved, ListView, Results, Columns)
QM_CONTROL(IDC_cmdSelectAll, cmdSelectAll, Button, Results, Named)
QM_CONTROL(IDC_Command4, Command4, Button, Results, Named)
QM_CONTROL(IDC_cmdExclude, cmdExclude, Button, Results, Named)
QM_CONTROL(IDC_lblRemove, lblRemove, Label, Results, Named)
QM_CONTROL(IDC_cmdFalsePos, cmdFalsePos, Button, Results, Named)
QM_CONTROL(IDC_capSubmit, capSubmit, Label, Results, Named)
QM_CONTROL(IDC_cmdBrowse, Command2, Button, Results, Named)
QM_CONTROL(IDC_cmdSubmit, cmdSubmit, Button, Results, Named)
QM_CONTROL(IDC_txtFilename, txtFilename, TextBox, Results, Unnamed)
QM_CONTROL(IDC_Label26, Label26, Label, Results, Unnamed)
QM_CONTROL(IDC_lblRemovePicSoftwareFound, lblRemovePicSoftwareFound, Label, Results, Unnamed)
QM_CONTROL(IDC_lblDeletingPercentageCompleted, lblDeletingPercentageCompleted, Label, Results, Unnamed)
QM_CONTROL(IDC_lblDeletingCaption, lblDeletingCaption, Label, Results, Unnamed)
QM_CONTROL(IDC_pgbDeleteSpywaresFound, pgbDeleteSpywaresFound, ProgressBar, Results, Unnamed)

// The Home page.
QM_CONTROL(IDC_lblViewLogFile, lblViewLogFile, Label, Home, Named)
QM_CONTROL(IDC_chkAutoProtect, chkAutoProtect, CheckBox, Home, Named)
QM_CONTROL(IDC_chkHomePage, chkHomePage, CheckBox, Home, Named)
QM_CONTROL(IDC_lblDefCount, lblDefCount, Label, Home, Unnamed)
QM_CONTROL(IDC_lblVersion, lblVersion, Label, Home, Unnamed)
QM_CONTROL(IDC_lblDefVersion, lblDefVersion, Label, Home, Unnamed)
QM_CONTROL(IDC_lblDefRemoved, lblDefRemoved, Label, Home, Unnamed)
QM_CONTROL(IDC_lblLastScan, lblLastScan, Label, Home, Unnamed)
QM_CONTROL(IDC_lblLastFullScan, lblLastFullScan, Label, Home, Unnamed)
QM_CONTROL(IDC_lblUnsignedAllowed, lblUnsignedAllowed, Label, Home, Unnamed)
QM_CONTROL(IDC_Label22, Label22, Label, Home, Unnamed)
QM_CONTROL(IDC_cmdWebsite, cmdWebsite, Button, Home, Unnamed)

// The options page: the tab strip, whose tabs are the captions of its four frames. Only the
// first frame shows its caption; the other three keep the one their resource gives them.
QM_CONTROL(IDC_TabStrip1, TabStrip1, TabStrip, Options, Tabs)
QM_CONTROL_AT(IDC_frmView0, frmView, 0, Frame, Options, Unnamed)
QM_CONTROL_AT(IDC_frmView1, frmView, 1, TabFrame, Options, Unnamed)
QM_CONTROL_AT(IDC_frmView2, frmView, 2, TabFrame, Options, Unnamed)
QM_CONTROL_AT(IDC_frmView3, frmView, 3, TabFrame, Options, Unnamed)
// Tab 1, "Scan Options".
QM_CONTROL(IDC_chkMakeLog, chkMakeLog, CheckBox, ScanOptionsTab, Named)
QM_CONTROL(IDC_chkSweepMemory, chkSweepMemory, CheckBox, ScanOptionsTab, Named)
QM_CONTROL(IDC_chkScanRegistry, chkScanRegistry, CheckBox, ScanOptionsTab, Named)
QM_CONTROL(IDC_chkScanCookies, chkScanCookies, CheckBox, ScanOptionsTab, Named)
QM_CONTROL(IDC_chkSendData, chkSendData, CheckBox, ScanOptionsTab, Named)
QM_CONTROL(IDC_chkRunAtStartup, chkRunAtStartup, CheckBox, ScanOptionsTab, Named)
QM_CONTROL(IDC_optScanAllSelectedHardDrive, optScanAllSelectedHardDrive, OptionButton, ScanOptionsTab, Indexed)
QM_CONTROL(IDC_optScanOnlyKnownSoftwares, optScanOnlyKnownSoftwares, OptionButton, ScanOptionsTab, Indexed)
QM_CONTROL(IDC_lvwHardDrives, lvwHardDrives, ListView, ScanOptionsTab, Columns)
QM_CONTROL(IDC_lblRunAtStart, lblRunAtStart, Label, ScanOptionsTab, Unnamed)
// Tab 2, "Proactive Protection".
QM_CONTROL(IDC_optMemorySheildOn, optMemorySheildOn, OptionButton, ProtectionTab, Indexed)
QM_CONTROL(IDC_optMemorySheildOff, optMemorySheildOff, OptionButton, ProtectionTab, Indexed)
QM_CONTROL(IDC_optIEHomePageSheildOn, optIEHomePageSheildOn, OptionButton, ProtectionTab, Indexed)
QM_CONTROL(IDC_optIEHomePageSheildOff, optIEHomePageSheildOff, OptionButton, ProtectionTab, Indexed)
QM_CONTROL(IDC_optAlwaysnotifybeforerestoring, optAlwaysnotifybeforerestoring, OptionButton, ProtectionTab, Indexed)
QM_CONTROL(IDC_optRestoredefaultwithoutnotification, optRestoredefaultwithoutnotification, OptionButton, ProtectionTab, Indexed)
QM_CONTROL(IDC_chkBrowserPolicies, chkBrowserPolicies, CheckBox, ProtectionTab, Named)
// Tab 3, "Schedule".
QM_CONTROL(IDC_chkAutomaticScanYesOrNo, chkAutomaticScanYesOrNo, CheckBox, ScheduleTab, Named)
QM_CONTROL(IDC_chkAutoDel, chkAutoDel, CheckBox, ScheduleTab, Named)
QM_CONTROL(IDC_CmdProceed, CmdProceed, Button, ScheduleTab, Named)
QM_CONTROL(IDC_cmdDefaultSetting, cmdDefaultSetting, Button, ScheduleTab, Named)
QM_CONTROL(IDC_cmbDays, cmbDays, ComboBox, ScheduleTab, Unnamed)
QM_CONTROL(IDC_dtpScheduleDate, dtpScheduleDate, DatePicker, ScheduleTab, Unnamed)
QM_CONTROL(IDC_dtpScheduleTime, dtpScheduleTime, DatePicker, ScheduleTab, Unnamed)
// Tab 4, "Auto Update".
QM_CONTROL(IDC_chkAutomaticUpdate, chkAutomaticUpdate, CheckBox, AutoUpdateTab, Named)
QM_CONTROL(IDC_cmdLiveUpdate, cmdLiveUpdate, Button, AutoUpdateTab, Named)
QM_CONTROL(IDC_lblLastUpdate, lblLastUpdate, Label, AutoUpdateTab, Unnamed)

// The fixed captions beside the values and groups.
QM_CONTROL(IDC_capDefCount, capDefCount, Label, Home, Named)
QM_CONTROL(IDC_capVersion, capVersion, Label, Home, Named)
QM_CONTROL(IDC_capDefVersion, capDefVersion, Label, Home, Named)
QM_CONTROL(IDC_capDefRemoved, capDefRemoved, Label, Home, Named)
QM_CONTROL(IDC_capLastScan, capLastScan, Label, Home, Named)
QM_CONTROL(IDC_capLastFullScan, capLastFullScan, Label, Home, Named)
QM_CONTROL(IDC_capAutoProtect, capAutoProtect, Label, Home, Named)
QM_CONTROL(IDC_capHomePage, capHomePage, Label, Home, Named)
QM_CONTROL(IDC_capMemoryInspected, capMemoryInspected, Label, Scan, Named)
QM_CONTROL(IDC_capRegistryInspected, capRegistryInspected, Label, Scan, Named)
QM_CONTROL(IDC_capFilesFolderInspected, capFilesFolderInspected, Label, Scan, Named)
QM_CONTROL(IDC_capSoftwareFound, capSoftwareFound, Label, Scan, Named)
QM_CONTROL(IDC_captracesFound, captracesFound, Label, Scan, Named)
QM_CONTROL(IDC_capRemovePicSoftwareFound, capRemovePicSoftwareFound, Label, Results, Named)
QM_CONTROL(IDC_capDriveSelection, capDriveSelection, Label, ScanOptionsTab, Named)
QM_CONTROL(IDC_capMemoryShieldGroup, capMemoryShieldGroup, Label, ProtectionTab, Named)
QM_CONTROL(IDC_capHomePageShieldGroup, capHomePageShieldGroup, Label, ProtectionTab, Named)
QM_CONTROL(IDC_capDays, capDays, Label, ScheduleTab, Named)
QM_CONTROL(IDC_capScheduleDate, capScheduleDate, Label, ScheduleTab, Named)
QM_CONTROL(IDC_capScheduleTime, capScheduleTime, Label, ScheduleTab, Named)

// clang-format on
