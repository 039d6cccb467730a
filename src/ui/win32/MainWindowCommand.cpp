// The main window's command routing: a click on a button, label, check box or option button,
// or a menu entry, ends in the model or in one of the program's commands.

#include <variant>

#include "ui/win32/MainWindow.h"
#include "ui/win32/MainWindowIds.h"

namespace qm::ui::win32 {

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
            if (::GetFocus() == ::GetDlgItem(hwnd_, IDC_txtFilename)) {
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
            // The options' check boxes and option buttons, found in the control table; entries
            // whose features the program does not have yet do nothing.
            ClickBoundControl(id);
            break;
    }
    Sync();
}

bool MainWindow::ClickBoundControl(int id) {
    const MainControl* control = FindMainControl(id);
    if (!control) return false;
    const ControlModel model = control->model(model_);
    if (CheckBox* const* box = std::get_if<CheckBox*>(&model)) {
        (*box)->value = (*box)->value ? 0 : 1;
        commands_.CheckBoxClicked(**box);
        return true;
    }
    if (OptionButton* const* option = std::get_if<OptionButton*>(&model)) {
        commands_.OptionClicked(**option);
        return true;
    }
    return false;
}

}  // namespace qm::ui::win32
