#pragma once
// The program put together once: the window models, the message catalogue, the definition
// store, the scan session, the options page, the quarantine and the memory shield, the
// start-up steps in their order, and every command a front end can give. The window binds its
// controls to these commands, the console calls them from its arguments, and the tests and
// benchmarks build the same Application on the fake machine.

#include <memory>
#include <optional>
#include <string>

#include "app/ExclusionCommands.h"
#include "app/Localization.h"
#include "app/ModalPrompts.h"
#include "app/OptionsPage.h"
#include "app/ScanScheduler.h"
#include "app/Submissions.h"
#include "definitions/DefinitionStore.h"
#include "i18n/MessageCatalogue.h"
#include "platform/Platform.h"
#include "removal/QuarantineStore.h"
#include "removal/RemovalRun.h"
#include "scan/ScanSession.h"
#include "settings/SettingsStore.h"
#include "shields/BrowserPolicyGuard.h"
#include "shields/HomePageShield.h"
#include "shields/MemoryShield.h"
#include "shields/RunningProgramAlert.h"
#include "ui/FrmMain.h"
#include "ui/Interaction.h"
#include "ui/MainWindowCommands.h"
#include "update/LiveUpdate.h"
#include "work/Context.h"
#include "work/LongWork.h"

namespace qm::app {

// What a front end lends the program: the machine, the settings store and the person in
// front of the screen.
struct FrontEnd {
    platform::Platform& platform;
    settings::SettingsStore& settings;
    ui::Prompts& prompts;
    ui::Pickers& pickers;
    ui::EventPump& pump;
    // The scan report's viewer; a front end without one (the console) leaves it out.
    ui::ReportViewer* reportViewer = nullptr;
    // The quarantine's viewer; without one View Quarantine opens the folder.
    ui::QuarantineViewer* quarantineViewer = nullptr;
    // The screen the update notice rises on; without one a 1024 by 768 screen is assumed.
    ui::Screen* screen = nullptr;
    // The home-page shield's modal alert; without one its question is a message box.
    ui::HomePageAlertView* homePageAlert = nullptr;
    // The window's start-up: the first run's language window, the single-instance test, the
    // help window and the greeting. Without it (the console) those steps are left out, and
    // the running status is not written.
    ui::StartUpWindows* startUp = nullptr;
};

struct StartOptions {
    // Replaces the DataFolder ("[appdata]AntiSpywareDAT") when given.
    std::optional<std::string> dataFolder;
    // The window program's own file, which the Run entry names; empty: this executable.
    std::string programPath;
};

class Application final : public ui::MainWindowCommands {
  public:
    Application(FrontEnd frontEnd, StartOptions options);
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The splash: the product, maker and web site shown, its timer started.
    void LoadSplash();
    // The main window's load, step by step, each step that fails skipped: the records for the
    // sibling tools, the language (chosen on the first run), the single-instance test, the
    // definitions installed and counted, the exclusions, the running status, the shields,
    // the schedule, the drive list and settings, the help on the first start, the automatic
    // update, the tray and the first-run greeting. False when another copy runs: this one
    // ends.
    bool Start();
    // The language the window shows.
    const std::string& Language() const { return language_; }

    // ui::MainWindowCommands
    void StartScan() override { RunScan(false); }
    void PauseScan() override;
    void StopScan(bool askedFromLabel) override;
    void SelectAll() override;
    void ResultCheckChanged(ui::ListItem& row) override;
    void LiveListColumnClicked(int column) override;
    void Exclude() override;
    void ViewExclusions() override;
    void ViewQuarantine() override;
    void RepairNow() override;
    void RemoveSelected() override;
    void DeleteFailedOk() override { removal_.HideDeleteFailed(); }
    void CopyProblemList() override { removal_.CopyProblemList(); }
    void ViewReport() override;
    // The report file and what its viewer shows of it.
    std::string ReportPath() const;
    std::string ReportViewerText();
    // Live Update without its windows (the console): the exchange with the server at
    // `serverAddress`, then, when it changed the definitions, the recount, the next scan's
    // reload and a fresh look at every running program.
    update::UpdateOutcome UpdateDefinitions(const std::string& serverAddress);
    // The window's Live Update: the progress window, the exchange with the server the
    // `UpdateServer` setting names (the build's own when it is empty), then the notice.
    void RunLiveUpdate() override;
    void ShowAddressList() override;
    void CloseDownloadWindow() override;
    void NoticeOk() override;
    void AlertStop() override { runningAlert_.Stop(); }
    void AlertAllow() override { runningAlert_.Allow(); }
    void ApplySchedule() override;
    void ResetSchedule() override;
    void ScheduleDaysChanged() override { scheduler_.DaysChanged(); }
    void SchedulePickerChanged() override { scheduler_.PickerChanged(); }
    // The definition server the window asks: the one set here (the console's --server), else
    // the `UpdateServer` setting, else the build's own.
    std::string ServerAddress() const;
    // The keys the program trusts, and whether this machine lets unsigned answers in.
    update::UpdateTrust UpdateTrust();
    void SetServerAddress(std::string address) { serverOverride_ = std::move(address); }
    Submissions& Reports() { return submissions_; }
    void CheckBoxClicked(ui::CheckBox& box) override;
    void OptionClicked(ui::OptionButton& option) override;
    void SendDataReleased() override;
    void DriveCheckChanged() override;
    void ShowOptionsTab(int tab) override;
    bool TimerTick(ui::Timer& timer) override;
    // While Live Update runs, asking to close ends its exchange first.
    bool CanClose() const override {
        if (work_.Busy() && form_.frmDownload.visible) updateCancelled_ = true;
        return !work_.Busy();
    }
    void CloseWhenIdle() override;
    // The orderly end: STATUS "STOPPED", RESTART "False", the results list's column widths
    // and whether the window was maximised.
    void Closing() override;
    void LaunchAntiHijack() override;
    void MinimizeToTray() override;
    void TrayIconMouse(int mouseMessage) override;
    void ShowProgram() override;
    void CloseTrayMenu() override { form_.frmMenuPopUp.StartPopDown(); }
    void ExitFromTrayMenu() override;
    void TrayMenuPointerMoved() override { form_.frmMenuPopUp.PointerMoved(); }
    bool ConfirmExitFromTrayMenu() override;
    // The language window: opened from "Change Language" (and modal on the first run), an
    // entry of `Combo1` chosen (by its index; 0 is the prompt), "Check for language updates",
    // "Translate this program" and OK.
    void ShowLanguageWindow() override;
    void LanguageChosen(int index) override;
    void CheckLanguageUpdates() override;
    void TranslateProgram() override;
    void CloseLanguageWindow() override { form_.frmLanguage.visible = false; }
    Localization& Translation() { return localization_; }
    void ReportFalsePositive() override { submissions_.ReportFalsePositive(); }
    void BrowseForSubmission() override { submissions_.BrowseForFile(); }
    void SubmitFilename() override { submissions_.SubmitFilename(); }
    void ShowResultsPage() override;
    void WindowResized(bool visible) override;
    void OpenWebsite() override;
    void ViewHelp() override;
    void ShowAbout() override;
    void CloseAbout() override { form_.frmAbout.visible = false; }

    // One scan of the kind selected in `optScan`, inside the long-work bracket. Refused while
    // other work runs. A scheduled scan that completes with "Delete spyware automatically
    // after scheduled scan" on removes everything it found without asking.
    work::LongWork::Outcome RunScan(bool startedByScheduler);
    // Every results row ticked and removed without questions: the scheduled scan's automatic
    // removal, and the console's `--remove`.
    work::LongWork::Outcome RemoveEverythingFound();

    // The memory shield's pass between scans; a running threat goes to `alert`.
    void InspectMemory(scan::RunningThreatAlert& alert);
    // The ticks of the two shields' timers, as their timers give them.
    void MemoryShieldTick();
    void HomePageShieldTick();

    // The Home page from the stored stamps and the installed definitions.
    void RefreshStatusPage();

    // Adds one exclusion as the Exclude button stores it; false when it could not be written.
    bool AddExclusion(const std::string& entry);

    ui::FrmMain& Form() { return form_; }
    const i18n::MessageCatalogue& Messages() const { return messages_; }
    const platform::ProductInfo& Product() const { return product_; }
    const std::string& DataFolder() const { return store_.DataFolder(); }
    defs::DefinitionStore& Store() { return store_; }
    scan::ScanSession& Session() { return session_; }
    removal::QuarantineStore& Quarantine() { return quarantine_; }
    shields::BrowserPolicyGuard& BrowserPolicies() { return browserPolicies_; }
    const removal::RemovalReport& LastRemoval() const { return removal_.LastReport(); }
    settings::ProgramSettings Settings() const { return context_.Settings(); }
    bool Busy() const { return work_.Busy(); }
    // A catalogue text by its MSG_ key.
    std::string Message(const char* key) const { return messages_.getMessages(key); }

  private:
    // The front end with its prompts and pickers counted while they are open.
    static FrontEnd Counted(FrontEnd frontEnd, ModalPrompts& prompts, ModalPickers& pickers);
    // The shields, the schedule and the automatic update act only while nothing else holds
    // the program: not during start-up, not inside a modal question, not during long work.
    bool BackgroundMayRun() const { return !starting_ && !modal_.Open() && !work_.Busy(); }
    bool IsBackgroundTimer(const ui::Timer& timer) const;

    std::string programPath_;
    // The machine's `AllowUnsignedDefinitions` as last read, for the Home page.
    bool unsignedAllowed_ = false;
    // The exchange inside the long-work bracket, with what follows a change of definitions.
    update::UpdateOutcome ExchangeWithServer(const std::string& serverAddress, std::string& status);
    void ShowNotice(const std::string& text);
    // What follows every removal run: the Home page, and a word when no restore point was made.
    void AfterRemoval();
    // The memory shield's timer as its setting says.
    void ArmMemoryShield();
    void FillLanguageList();
    // `ShowFirstRunGreeting`: once per machine, the thanks and the offer of a Live Update.
    void ShowFirstRunGreeting();
    // `timUpdate`: one automatic update per run, after 300 seconds without a scan.
    void AutomaticUpdateTick();

    // Loading outside a scan: pending events run, and nothing stops it.
    class Events final : public defs::LoadControl {
      public:
        explicit Events(ui::EventPump& pump) : pump_(pump) {}
        bool StopRequested() const override { return false; }
        void LetEventsRun() override { pump_.LetEventsRun(); }

      private:
        ui::EventPump& pump_;
    };

    ModalCount modal_;
    ModalPrompts modalPrompts_;
    ModalPickers modalPickers_;
    bool starting_ = false;
    FrontEnd frontEnd_;
    platform::ProductInfo product_;
    i18n::MessageCatalogue messages_;
    // What every subsystem is lent: the front end's machine, prompts, pickers and pump, the
    // settings store, the catalogue and the product.
    work::Context context_;
    ui::FrmMain form_;
    Events events_;
    defs::DefinitionStore store_;
    shields::MemoryShield memoryShield_;
    scan::ScanSession session_;
    OptionsPage options_;
    removal::QuarantineStore quarantine_;
    removal::RemovalRun removal_;
    ExclusionCommands exclusionCommands_;
    work::LongWork work_;
    shields::RunningProgramAlert runningAlert_;
    shields::HomePageShield homePage_;
    shields::BrowserPolicyGuard browserPolicies_;
    ScanScheduler scheduler_;
    int idleSeconds_ = 0;
    // Set by Cancel on the progress window (or a close of the main window) while an update
    // runs; the exchange asks it between blocks.
    mutable bool updateCancelled_ = false;
    std::string language_ = "English";
    std::string serverOverride_;
    Localization localization_;
    Submissions submissions_;
};

// The DataFolder as start-up fixes it: the given folder, or "[appdata]AntiSpywareDAT"
// expanded; trailing separators dropped.
std::string ResolveDataFolder(platform::ShellFolders& shell,
                              const std::optional<std::string>& given);

}  // namespace qm::app
