#include "ui/FrmMain.h"

namespace qm::ui {

FrmMain::FrmMain() {
    frmStatus.caption = "Home";
    frmScan.caption = "Scan for malicious items";
    frmResults.caption = "Results";
    frmOptions.caption = "Options";
    frmStatus.visible = true;

    Command3.caption = "Smart Scan";
    cmdMainScan1.caption = "Full System Scan";
    Command6.caption = "File Scan";
    Command5.caption = "Minimize";
    cmdStatus.caption = "Home";
    cmdScan.caption = "Scan";
    cmdResults.caption = "Results/Removal";
    cmdSettings.caption = "Options";
    cmdUpdate.caption = "Update Now";
    cmdLiveUpdate.caption = "Run Live Update Now";
    cmdLog.caption = "Log File";

    optScan[0].caption = "Smart Scan";
    optScan[1].caption = "Full System Scan";
    optScan[2].caption = "File Scan";
    optScan[3].caption = "Folder Scan";
    optScan[0].value = true;
    cmdScanNow.caption = "Start";
    Command1.caption = "Scan Now";
    Command7.caption = "Directory Scan";
    cmdPause.caption = "Pause";
    cmdStop.caption = "Stop";
    cmdPause.enabled = false;
    cmdStop.enabled = false;
    lblPause.caption = "Pause";
    lblStop.caption = "Stop";
    lblPause.enabled = false;
    lblStop.enabled = false;
    lbltracesFound.caption = "0";

    lvwSpywareFound.columns = {"Name", "Details"};
    lvwPicRemoveListOfSpywareFoundAndToBeRemoved.columns = {"File", "Location", "Type", "Risk",
                                                            "Details"};
    lvwPicRemoveListOfSpywareFoundAndToBeRemoved.checkBoxes = true;
    lvwRegistryToBeDeleted.columns = {"Main Key", "KeyValue", "Value", "SpywareName"};
    lvwCookiesToDelete.columns = {"Cookie Name", "CookieLocation"};
    cmdSelectAll.caption = "Select All";
    cmdExclude.caption = "Exclude";
    cmdRemove.caption = "Continue to Overview";
    for (ListView* hidden :
         {&lvwFilesToBeDeleted, &lvwFileNotFounds, &lvwRegistryToBeDeleted, &lvwCookiesToDelete}) {
        hidden->visible = false;
        hidden->checkBoxes = true;
    }

    chkMakeLog.caption = "Save scan results to log";
    chkMakeLog.value = 1;
    optScanAllSelectedHardDrive.caption = "Complete System Scan";
    optScanOnlyKnownSoftwares.caption = "Quick Scan";
    optScanOnlyKnownSoftwares.value = true;
    chkSweepMemory = {"Scan Proccesses and Files", 1};
    chkScanRegistry = {"Scan Windows Registry", 1};
    chkScanCookies = {"Scan Internet Cookies", 1};
    chkSendData = {"Send anonymous data to help identify unknown spyware", 1};
    chkRunAtStartup = {"Run at Windows Startup - Configured with installer", 0};
    lblRunAtStart.caption = "(Disabled - Run Manually)";
    optMemorySheildOn = {"Enabled", true};
    optMemorySheildOff = {"Disabled", false};
    chkAutoProtect = {"Enable", 1};
    optIEHomePageSheildOn = {"Enabled", true};
    optIEHomePageSheildOff = {"Disabled", false};
    chkHomePage = {"Enable", 1};
    optAlwaysnotifybeforerestoring = {"Ask me what I would like to do", true};
    optRestoredefaultwithoutnotification = {"Silently restore my original home page", false};
    chkBrowserPolicies = {"Guard the browsers' policies", 1};
    chkAutomaticScanYesOrNo = {"Enable Scheduled Scans", 0};
    chkAutoDel = {"Delete spyware automatically after scheduled scan", 0};
    cmbDays.items = {"Monday",   "Tuesday", "Wednesday", "Thursday",    "Friday",
                     "Saturday", "Sunday",  "Daily",     "Date & Time", "Never"};
    cmbDays.listIndex = 7;
    CmdProceed.caption = "Apply";
    CmdProceed.enabled = false;
    cmdDefaultSetting.caption = "Reset";
    chkAutomaticUpdate = {"Enable automatic Live update (recommended)", 1};

    capDefCount.caption = "Definitions installed:";
    capVersion.caption = "Program version:";
    capDefVersion.caption = "Definitions date:";
    capDefRemoved.caption = "Threats removed:";
    capLastScan.caption = "Last scan:";
    capLastFullScan.caption = "Last complete system scan:";
    capAutoProtect.caption = "Memory Shield:";
    capHomePage.caption = "Home Page Shield:";
    capMemoryInspected.caption = "Processes inspected:";
    capRegistryInspected.caption = "Registry entries inspected:";
    capFilesFolderInspected.caption = "Files and folders inspected:";
    capSoftwareFound.caption = "Items found:";
    captracesFound.caption = "Traces found :";
    capRemovePicSoftwareFound.caption = "Items found:";
    capDriveSelection.caption = "Drive Selection";
    capMemoryShieldGroup.caption = "Memory Shield";
    capHomePageShieldGroup.caption = "Home Page Shield";
    capDays.caption = "Scan on:";
    capScheduleDate.caption = "Date:";
    capScheduleTime.caption = "Time:";

    mnuFileItem = {"Scan Now",         "-", "View Log", "-", "Run Live Update", "-",
                   "Minimize to Tray", "-", "Exit"};
    mnuQuarItem = {"View Quarantine", "View Exclusions"};
    mnuSettingsItem = {"Scan Options", "Proactive Protection", "Schedule", "Auto Update"};
    mnuLanguageItem = {"Change Language"};
    mnuHelpItem = {"View Help"};
    mnuAboutItem = {"About this software"};
    lvwHardDrives.checkBoxes = true;
    lvwHardDrives.columns = {"Drive"};
    frmView[0].caption = "Scan Options";
    frmView[1].caption = "Proactive Protection";
    frmView[2].caption = "Schedule";
    frmView[3].caption = "Auto Update";
    SelectTab(1);
    cmdHijack.caption = "Launch Anti-Hijack";
    cmdHijack.visible = false;
    Command4.caption = "Repair Now";
    lblRemove.caption = "Remove";
    cmdFalsePos.caption = "False positive";
    capSubmit.caption = "Submit a file name:";
    Command2.caption = "Browse";
    cmdSubmit.caption = "Submit";
    lblViewLogFile.caption = "Show Report";
    // The removal's progress shows only while a removal runs.
    pgbDeleteSpywaresFound.visible = false;
    lblDeletingPercentageCompleted.visible = false;
    lblDeletingCaption.visible = false;

    tmrMemoryInspected = {2000, true};
    tmrCheckHomePage = {5000, true};
    tmrScheduler = {10, true};
    timUpdate = {1000, false};
    tmrScroll = {200, false};
}

void FrmMain::SelectTab(int tab) {
    if (tab < 1 || tab > static_cast<int>(frmView.size())) return;
    TabStrip1 = tab;
    for (std::size_t i = 0; i < frmView.size(); ++i) {
        frmView[i].visible = static_cast<int>(i) == tab - 1;
    }
}

ScanKind FrmMain::SelectedScanKind() const {
    for (std::size_t i = 0; i < optScan.size(); ++i) {
        if (optScan[i].value) return static_cast<ScanKind>(i);
    }
    return ScanKind::Smart;
}

void FrmMain::SelectScanKind(ScanKind kind) {
    for (std::size_t i = 0; i < optScan.size(); ++i) {
        optScan[i].value = (static_cast<ScanKind>(i) == kind);
    }
}

void FrmMain::SetWorkControlsEnabled(bool working) {
    // The Home page's scan shortcuts switch the page and the kind: not while work runs.
    for (Button* b : {&cmdResults, &cmdSettings, &cmdScanNow, &cmdScan, &cmdLog, &cmdUpdate,
                      &cmdStatus, &Command3, &cmdMainScan1, &Command6, &Command7}) {
        b->enabled = !working;
    }
    cmdStop.enabled = working;
    cmdPause.enabled = working;
    lblStop.enabled = working;
    lblPause.enabled = working;
    mousePointer = working ? MousePointer::Hourglass : MousePointer::Default;
}

void FrmMain::ShowPage(Frame& page) {
    for (Frame* f : {&frmStatus, &frmScan, &frmResults, &frmOptions})
        f->visible = (f == &page);
}

void FrmMain::PageButtonClicked(Frame& page) {
    // What a removal run left showing (one that ended early) goes with the page.
    pgbDeleteSpywaresFound.visible = false;
    lblDeletingPercentageCompleted.visible = false;
    lblDeletingCaption.visible = false;
    ShowPage(page);
}

}  // namespace qm::ui
