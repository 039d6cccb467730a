#include "ui/Captions.h"

#include "text/Text.h"

namespace qm::ui {

namespace {

// The captions of one window, named as the translation file names them.
class WindowCaptions {
  public:
    WindowCaptions(std::string form, const CaptionVisitor& visit)
        : form_(text::Upper(form) + "_"), visit_(visit) {}

    template <typename Captioned>
    void Control(const char* name, Captioned& control) {
        visit_(form_ + text::Upper(name), control.caption);
    }
    void Text(const char* name, std::string& caption) {
        visit_(form_ + text::Upper(name), caption);
    }
    template <typename Captioned>
    void Indexed(const char* name, std::size_t index, Captioned& control) {
        visit_(form_ + text::Upper(name) + std::to_string(index), control.caption);
    }
    template <std::size_t N>
    void Menu(const char* name, std::array<std::string, N>& entries) {
        for (std::size_t i = 0; i < N; ++i) {
            if (entries[i] != "-")
                visit_(form_ + text::Upper(name) + std::to_string(i), entries[i]);
        }
    }
    void Columns(const char* name, ListView& list) {
        for (std::size_t i = 0; i < list.columns.size(); ++i)
            visit_(form_ + text::Upper(name) + "_COL" + std::to_string(i + 1), list.columns[i]);
    }
    void Window(std::string& caption) { visit_(form_ + "CAPTION", caption); }

  private:
    std::string form_;
    const CaptionVisitor& visit_;
};

void MainWindowCaptions(FrmMain& f, const CaptionVisitor& visit) {
    WindowCaptions w("FrmMain", visit);
    w.Control("frmStatus", f.frmStatus);
    w.Control("frmScan", f.frmScan);
    w.Control("frmResults", f.frmResults);
    w.Control("frmOptions", f.frmOptions);
    w.Control("Command3", f.Command3);
    w.Control("cmdMainScan1", f.cmdMainScan1);
    w.Control("Command6", f.Command6);
    w.Control("Command7", f.Command7);
    w.Control("Command1", f.Command1);
    w.Control("Command5", f.Command5);
    w.Control("cmdStatus", f.cmdStatus);
    w.Control("cmdScan", f.cmdScan);
    w.Control("cmdResults", f.cmdResults);
    w.Control("cmdSettings", f.cmdSettings);
    w.Control("cmdUpdate", f.cmdUpdate);
    w.Control("cmdLog", f.cmdLog);
    for (std::size_t i = 0; i < f.optScan.size(); ++i)
        w.Indexed("optScan", i, f.optScan[i]);
    w.Control("cmdScanNow", f.cmdScanNow);
    w.Control("cmdPause", f.cmdPause);
    w.Control("cmdStop", f.cmdStop);
    w.Control("lblPause", f.lblPause);
    w.Control("lblStop", f.lblStop);
    w.Columns("lvwSpywareFound", f.lvwSpywareFound);
    w.Columns("lvwPicRemoveListOfSpywareFoundAndToBeRemoved",
              f.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
    w.Control("cmdSelectAll", f.cmdSelectAll);
    w.Control("Command4", f.Command4);
    w.Control("cmdExclude", f.cmdExclude);
    w.Control("lblRemove", f.lblRemove);
    w.Control("cmdFalsePos", f.cmdFalsePos);
    w.Control("capSubmit", f.capSubmit);
    w.Control("Command2", f.Command2);
    w.Control("cmdSubmit", f.cmdSubmit);
    w.Control("lblViewLogFile", f.lblViewLogFile);
    w.Control("chkAutoProtect", f.chkAutoProtect);
    w.Control("chkHomePage", f.chkHomePage);
    for (std::size_t i = 0; i < f.frmView.size(); ++i)
        w.Text(("TabStrip1_TABS" + std::to_string(i + 1)).c_str(), f.frmView[i].caption);
    w.Control("chkMakeLog", f.chkMakeLog);
    w.Control("chkSweepMemory", f.chkSweepMemory);
    w.Control("chkScanRegistry", f.chkScanRegistry);
    w.Control("chkScanCookies", f.chkScanCookies);
    w.Control("chkSendData", f.chkSendData);
    w.Control("chkRunAtStartup", f.chkRunAtStartup);
    w.Indexed("optScanAllSelectedHardDrive", 0, f.optScanAllSelectedHardDrive);
    w.Indexed("optScanOnlyKnownSoftwares", 0, f.optScanOnlyKnownSoftwares);
    w.Columns("lvwHardDrives", f.lvwHardDrives);
    w.Indexed("optMemorySheildOn", 0, f.optMemorySheildOn);
    w.Indexed("optMemorySheildOff", 0, f.optMemorySheildOff);
    w.Indexed("optIEHomePageSheildOn", 0, f.optIEHomePageSheildOn);
    w.Indexed("optIEHomePageSheildOff", 0, f.optIEHomePageSheildOff);
    w.Indexed("optAlwaysnotifybeforerestoring", 0, f.optAlwaysnotifybeforerestoring);
    w.Indexed("optRestoredefaultwithoutnotification", 0, f.optRestoredefaultwithoutnotification);
    w.Control("chkAutomaticScanYesOrNo", f.chkAutomaticScanYesOrNo);
    w.Control("chkAutoDel", f.chkAutoDel);
    w.Control("CmdProceed", f.CmdProceed);
    w.Control("cmdDefaultSetting", f.cmdDefaultSetting);
    w.Control("chkAutomaticUpdate", f.chkAutomaticUpdate);
    w.Control("cmdLiveUpdate", f.cmdLiveUpdate);
    for (auto [name, label] : {std::pair{"capDefCount", &f.capDefCount},
                               std::pair{"capVersion", &f.capVersion},
                               std::pair{"capDefVersion", &f.capDefVersion},
                               std::pair{"capDefRemoved", &f.capDefRemoved},
                               std::pair{"capLastScan", &f.capLastScan},
                               std::pair{"capLastFullScan", &f.capLastFullScan},
                               std::pair{"capAutoProtect", &f.capAutoProtect},
                               std::pair{"capHomePage", &f.capHomePage},
                               std::pair{"capMemoryInspected", &f.capMemoryInspected},
                               std::pair{"capRegistryInspected", &f.capRegistryInspected},
                               std::pair{"capFilesFolderInspected", &f.capFilesFolderInspected},
                               std::pair{"capSoftwareFound", &f.capSoftwareFound},
                               std::pair{"captracesFound", &f.captracesFound},
                               std::pair{"capRemovePicSoftwareFound", &f.capRemovePicSoftwareFound},
                               std::pair{"capDriveSelection", &f.capDriveSelection},
                               std::pair{"capMemoryShieldGroup", &f.capMemoryShieldGroup},
                               std::pair{"capHomePageShieldGroup", &f.capHomePageShieldGroup},
                               std::pair{"capDays", &f.capDays},
                               std::pair{"capScheduleDate", &f.capScheduleDate},
                               std::pair{"capScheduleTime", &f.capScheduleTime}}) {
        w.Control(name, *label);
    }
    w.Menu("mnuFileItem", f.mnuFileItem);
    w.Menu("mnuQuarItem", f.mnuQuarItem);
    w.Menu("mnuSettingsItem", f.mnuSettingsItem);
    w.Menu("mnuLanguageItem", f.mnuLanguageItem);
    w.Menu("mnuHelpItem", f.mnuHelpItem);
    w.Menu("mnuAboutItem", f.mnuAboutItem);
    w.Window(f.caption);
}

}  // namespace

void VisitCaptions(FrmMain& f, const CaptionVisitor& visit) {
    MainWindowCaptions(f, visit);
    {
        WindowCaptions w("frmDelete", visit);
        w.Control("lblAdvice", f.frmDelete.lblAdvice);
        w.Control("lblSafeMode", f.frmDelete.lblSafeMode);
        w.Control("lblRestart", f.frmDelete.lblRestart);
        w.Control("cmdOk", f.frmDelete.cmdOk);
        w.Control("cmdCopyList", f.frmDelete.cmdCopyList);
        w.Window(f.frmDelete.caption);
    }
    {
        WindowCaptions w("frmDownload", visit);
        w.Control("Command1", f.frmDownload.Command1);
        w.Window(f.frmDownload.caption);
    }
    {
        WindowCaptions w("frmSignatureUpdated", visit);
        w.Control("cmdUpdateSuccesfullOK", f.frmSignatureUpdated.cmdUpdateSuccesfullOK);
    }
    {
        WindowCaptions w("frmSpywareFoundAlert", visit);
        w.Control("cmdYes", f.frmSpywareFoundAlert.cmdYes);
        w.Control("cmdNO", f.frmSpywareFoundAlert.cmdNO);
    }
    {
        WindowCaptions w("frmHomePageChangedAlert", visit);
        w.Control("cmdYes", f.frmHomePageChangedAlert.cmdYes);
        w.Control("cmdNO", f.frmHomePageChangedAlert.cmdNO);
    }
    {
        WindowCaptions w("frmMenuPopUp", visit);
        w.Control("mnuMaxmimaize", f.frmMenuPopUp.mnuMaxmimaize);
        w.Control("mnuClose", f.frmMenuPopUp.mnuClose);
        w.Control("lblMenuClose", f.frmMenuPopUp.lblMenuClose);
    }
    {
        WindowCaptions w("frmAbout", visit);
        w.Control("cmdOK", f.frmAbout.cmdOK);
    }
    {
        WindowCaptions w("frmLanguage", visit);
        w.Text("Combo1", f.frmLanguage.Combo1Prompt);
        w.Control("Command1", f.frmLanguage.Command1);
        w.Control("Command2", f.frmLanguage.Command2);
        w.Control("Command3", f.frmLanguage.Command3);
        w.Window(f.frmLanguage.caption);
    }
    {
        WindowCaptions w("frmReport", visit);
        w.Control("cmdClose", f.frmReport.cmdClose);
    }
}

}  // namespace qm::ui
