#pragma once
// Everything the main window can ask of the program: its buttons, check boxes, option
// buttons, menu entries and timers end in one of these. The program implements them once
// (app::Application); the window only binds its controls to them. Each of the small windows
// sees only its own part, below.

#include "ui/Controls.h"

namespace qm::ui {

// A tick of one of a window's timers; false when it changed nothing the windows show, so the
// schedule's hundred ticks a second cost no redrawing. Shared by every window with timers.
class TimerCommands {
  public:
    virtual ~TimerCommands() = default;
    virtual bool TimerTick(Timer& timer) = 0;
};

// The About window's OK.
class AboutCommands {
  public:
    virtual ~AboutCommands() = default;
    virtual void CloseAbout() = 0;
};

// "Delete Failed": "Ok" and "Copy List".
class DeleteFailedCommands {
  public:
    virtual ~DeleteFailedCommands() = default;
    virtual void DeleteFailedOk() = 0;
    virtual void CopyProblemList() = 0;
};

// Live Update's progress window.
class DownloadCommands : public virtual TimerCommands {
  public:
    // Cancel: the window closes, the exchange goes on.
    virtual void CloseDownloadWindow() = 0;
};

// The update notice.
class NoticeCommands : public virtual TimerCommands {
  public:
    // OK, pressed or reached when the notice has sunk away.
    virtual void NoticeOk() = 0;
};

// The running-program alert's STOP and ALLOW.
class SpywareAlertCommands : public virtual TimerCommands {
  public:
    virtual void AlertStop() = 0;
    virtual void AlertAllow() = 0;
};

// The tray menu: "Show Program", "Close This Menu" and "Exit Program" (after which the window
// closes as its close box does); the pointer moving over the menu.
class TrayMenuCommands : public virtual TimerCommands {
  public:
    virtual void ShowProgram() = 0;
    virtual void CloseTrayMenu() = 0;
    virtual void ExitFromTrayMenu() = 0;
    virtual void TrayMenuPointerMoved() = 0;
    // The menu's own close (Alt+F4): asks whether to end the program. True when the answer
    // was Yes and the program ends at once, without the unload's records.
    virtual bool ConfirmExitFromTrayMenu() = 0;
};

// The language window: an entry of `Combo1` chosen (by index, 0 the prompt); `Command1`,
// `Command3` and `Command2` (OK).
class LanguageCommands {
  public:
    virtual ~LanguageCommands() = default;
    virtual void LanguageChosen(int index) = 0;
    virtual void CheckLanguageUpdates() = 0;
    virtual void TranslateProgram() = 0;
    virtual void CloseLanguageWindow() = 0;
};

class MainWindowCommands : public virtual TimerCommands,
                           public AboutCommands,
                           public DeleteFailedCommands,
                           public DownloadCommands,
                           public NoticeCommands,
                           public SpywareAlertCommands,
                           public TrayMenuCommands,
                           public LanguageCommands {
  public:
    virtual void StartScan() = 0;
    virtual void PauseScan() = 0;
    virtual void StopScan(bool askedFromLabel) = 0;

    virtual void SelectAll() = 0;
    // A results row's check mark changed (the model already holds the new mark).
    virtual void ResultCheckChanged(ListItem& row) = 0;
    virtual void LiveListColumnClicked(int column) = 0;
    virtual void Exclude() = 0;
    virtual void ViewExclusions() = 0;
    virtual void ViewQuarantine() = 0;
    // `Command4`, "Repair Now": confirms, then removes the checked detections.
    virtual void RepairNow() = 0;
    // `lblRemove`: the removal run without its questions.
    virtual void RemoveSelected() = 0;
    // `cmdLog`, `lblViewLogFile` and File > "View Log": the scan report's viewer.
    virtual void ViewReport() = 0;

    // `cmdUpdate`, `cmdLiveUpdate` and File > "Run Live Update".
    virtual void RunLiveUpdate() = 0;
    // Update Now pressed with Shift alone held: the definition addresses, for the record.
    virtual void ShowAddressList() = 0;

    // The Schedule tab: "Apply", "Reset", a new entry in `cmbDays` (its index already set), a
    // picker changed (its value already set).
    virtual void ApplySchedule() = 0;
    virtual void ResetSchedule() = 0;
    virtual void ScheduleDaysChanged() = 0;
    virtual void SchedulePickerChanged() = 0;

    // An option's control was clicked; a check box's model already shows its new value.
    virtual void CheckBoxClicked(CheckBox& box) = 0;
    virtual void OptionClicked(OptionButton& option) = 0;
    // The mouse released on `chkSendData` (its value already toggled).
    virtual void SendDataReleased() = 0;
    virtual void DriveCheckChanged() = 0;
    // The Settings menu: the options page at one of its tabs (1 to 4).
    virtual void ShowOptionsTab(int tab) = 0;

    // False while long work runs: the window stays until it has ended.
    virtual bool CanClose() const = 0;
    // The user ended the program while work runs: the work is asked to stop, and the window
    // closes once it has ended (the model's `closeWhenIdle`).
    virtual void CloseWhenIdle() = 0;
    // The window is about to go, its column widths and state already in the model.
    virtual void Closing() = 0;
    // `cmdHijack`, "Launch Anti-Hijack".
    virtual void LaunchAntiHijack() = 0;

    // The tray: File > "Minimize to Tray"; a mouse message on the icon (513, 515, 516, 518).
    virtual void MinimizeToTray() = 0;
    virtual void TrayIconMouse(int mouseMessage) = 0;
    // The window's size changed (also when it is first shown); `windowState` already holds
    // the new state.
    virtual void WindowResized(bool visible) = 0;
    // `cmdWebsite`: the maker's web site in the browser.
    virtual void OpenWebsite() = 0;

    // The language window, opened from Language > "Change Language".
    virtual void ShowLanguageWindow() = 0;

    // The reports to the maker: `cmdFalsePos`, Browse (`Command2`), `cmdSubmit` or Enter in
    // `txtFilename` (its text already in the model), and the Results/Removal page button.
    virtual void ReportFalsePositive() = 0;
    virtual void BrowseForSubmission() = 0;
    virtual void SubmitFilename() = 0;
    virtual void ShowResultsPage() = 0;

    // Help > "View Help" and About > "About this software".
    virtual void ViewHelp() = 0;
    virtual void ShowAbout() = 0;
};

}  // namespace qm::ui
