#include "app/Application.h"

#include <algorithm>

#include "app/MachineSettings.h"
#include "app/QuarantineBrowser.h"
#include "app/SiblingRecords.h"
#include "app/SkippingStep.h"
#include "app/StatusPage.h"
#include "definitions/PathTokens.h"
#include "removal/PropagateCheck.h"
#include "report/ScanReport.h"
#include "scan/DriveList.h"
#include "scan/ListSorting.h"
#include "text/Text.h"
#include "update/AddressList.h"

namespace qm::app {

std::string ResolveDataFolder(platform::ShellFolders& shell,
                              const std::optional<std::string>& given) {
    std::string folder = given ? *given : defs::ExpandPathTokens(shell, defs::kDataFolderToken);
    // "C:\" keeps its separator; every longer folder is named without one.
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    return folder;
}

FrontEnd Application::Counted(FrontEnd frontEnd, ModalPrompts& prompts, ModalPickers& pickers) {
    return FrontEnd{frontEnd.platform,
                    frontEnd.settings,
                    prompts,
                    pickers,
                    frontEnd.pump,
                    frontEnd.reportViewer,
                    frontEnd.quarantineViewer,
                    frontEnd.screen,
                    frontEnd.homePageAlert,
                    frontEnd.startUp};
}

Application::Application(FrontEnd frontEnd, StartOptions options)
    : programPath_(options.programPath.empty() ? frontEnd.platform.version.OwnExecutablePath()
                                               : options.programPath),
      modalPrompts_(frontEnd.prompts, modal_),
      modalPickers_(frontEnd.pickers, modal_),
      frontEnd_(Counted(frontEnd, modalPrompts_, modalPickers_)),
      product_(frontEnd_.platform.version.OwnProductInfo()),
      events_(frontEnd_.pump),
      store_(frontEnd_.platform.files,
             ResolveDataFolder(frontEnd_.platform.shell, options.dataFolder)),
      session_(form_,
               scan::ScanServices{frontEnd_.platform, frontEnd_.prompts, frontEnd_.pickers,
                                  frontEnd_.pump, frontEnd_.settings, messages_, product_},
               store_, memoryShield_.Snapshot()),
      options_(form_, OptionsServices{frontEnd_.settings, frontEnd_.platform.registry,
                                      frontEnd_.prompts, messages_, product_,
                                      options.programPath.empty()
                                          ? frontEnd_.platform.version.OwnExecutablePath()
                                          : options.programPath}),
      quarantine_(frontEnd_.platform, store_.DataFolder(), events_, &messages_),
      removal_(form_,
               removal::RemovalServices{frontEnd_.platform, frontEnd_.prompts, events_, messages_,
                                        frontEnd_.settings, product_, store_.DataFolder(),
                                        [this] { submissions_.SendAnonymousData(); }},
               quarantine_),
      exclusionCommands_(form_, store_, frontEnd_.platform, frontEnd_.prompts, messages_,
                         product_.productName, events_),
      work_(form_, Settings()),
      runningAlert_(
          form_.frmSpywareFoundAlert,
          shields::AlertServices{frontEnd_.platform.processes, frontEnd_.prompts, frontEnd_.pump,
                                 product_.productName, frontEnd_.platform.shell.SystemDirectory(),
                                 [this](const std::string& name) { AddExclusion(name); }}),
      homePage_(form_, shields::HomePageServices{Settings(), frontEnd_.platform.registry,
                                                 frontEnd_.prompts, frontEnd_.homePageAlert,
                                                 product_.productName}),
      scheduler_(form_,
                 SchedulerServices{Settings(), frontEnd_.platform.clock, frontEnd_.platform.dates,
                                   frontEnd_.prompts, messages_, product_.productName}),
      localization_(LocalizationServices{frontEnd_.platform, frontEnd_.pump, messages_, product_,
                                         text::FolderOf(programPath_)}),
      submissions_(form_,
                   SubmissionServices{frontEnd_.platform, frontEnd_.prompts, frontEnd_.pickers,
                                      frontEnd_.pump, messages_, product_.productName,
                                      [this] { return ServerAddress(); }, [this] { Exclude(); }}) {
    messages_.SetPlaceholders(product_.productName, product_.companyName);
    i18n::LoadDefaultMessages(messages_);
}

Application::~Application() = default;

void Application::LoadSplash() {
    ui::FrmSplash& splash = form_.frmSplash;
    splash.lblProduct.caption = product_.productName;
    splash.lblCompany.caption = product_.companyName;
    splash.lblWebsite.caption = product_.website;
    splash.counter = 0;
    splash.visible = true;
    splash.Timer2.enabled = true;
}

bool Application::Start() {
    // Start-up loads the definitions, the exclusions and the settings while events run: a
    // shield or the schedule acting on half-loaded lists would ask about programs the user
    // allowed long ago, or start a scan against nothing.
    starting_ = true;
    struct Started {
        bool& starting;
        ~Started() { starting = false; }
    } started{starting_};
    ui::StartUpWindows* windows = frontEnd_.startUp;
    settings::ProgramSettings settings = Settings();
    // The records for the sibling tools first: a failing one never stops the start.
    Skipping([&] { WriteStartupRecords(frontEnd_.settings, product_, programPath_, form_); });
    // The language: an empty setting means the user has never chosen one.
    bool firstLanguageChoice = false;
    Skipping([&] {
        firstLanguageChoice =
            text::Trim(settings.Read(settings::section::kSettings, "Language", "")).empty();
        language_ = firstLanguageChoice
                        ? "English"
                        : settings.Read(settings::section::kSettings, "Language", "English");
    });
    Skipping([&] { localization_.ChangeLanguage(form_, language_); });
    if (firstLanguageChoice && windows) {
        Skipping([&] {
            settings.Write(settings::section::kSettings, "Language", "English");
            // Modal: loading goes on once the user has closed it.
            ShowLanguageWindow();
            while (form_.frmLanguage.visible && !frontEnd_.pump.Quitting())
                frontEnd_.pump.WaitForEvents();
        });
    }
    // A second copy ends here, before it has written its status or shown a window.
    if (windows && windows->AnotherInstanceRunning()) return false;
    // The definitions: downloaded copies installed, signatures counted. A data folder that is
    // missing or unreadable simply counts as an empty set.
    Skipping([&] { store_.InstallAndCount(); });
    Skipping([&] { store_.LoadExclusions(events_); });
    Skipping([&] { RefreshStatusPage(); });
    for (ui::Frame* page : {&form_.frmStatus, &form_.frmScan, &form_.frmResults, &form_.frmOptions})
        page->visible = false;
    form_.frmStatus.caption = product_.productName + " Status";
    form_.frmStatus.visible = true;
    if (windows && windows->AnotherInstanceRunning()) return false;
    // The console's runs are not the program running: only the window says so.
    if (windows) Skipping([&] { WriteRunningStatus(settings, true); });
    form_.frmHidden = true;
    form_.caption = Message("MSG_CAPTION");
    form_.cmdWebsite.caption = product_.website;
    form_.shpCircle.visible = false;
    form_.showInTaskbar = false;
    // The memory shield is armed from its setting before the settings reach the controls and
    // again after, so that neither order leaves it off while it is switched on.
    Skipping([&] { ArmMemoryShield(); });
    Skipping([&] { scheduler_.LoadSchedule(); });
    // The drive list first, so that loading the settings restores its marks.
    Skipping([&] {
        scan::FillDriveList(form_.lvwHardDrives, frontEnd_.platform.drives, frontEnd_.pump,
                            settings);
    });
    Skipping([&] { options_.LoadSettingsIntoControls(store_.Files().ReadDefinitionDate()); });
    Skipping([&] { ArmMemoryShield(); });
    form_.tmrScroll.enabled = false;
    form_.frmDelete.visible = false;
    form_.Label22.caption = Message("MSG_CAPTION2");
    if (windows) {
        Skipping([&] {
            if (settings.Read(settings::section::kSettings, "showHelp", "1") != "1") return;
            ViewHelp();
            frontEnd_.pump.LetEventsRun();
            settings.Write(settings::section::kSettings, "showHelp", "0");
        });
    }
    // Automatic update is armed only by a stored 1, whatever the check box shows.
    Skipping([&] {
        form_.timUpdate.enabled = text::Trim(settings.Read(settings::section::kOptions,
                                                           "chkAutomaticUpdate", "0")) == "1";
    });
    Skipping([&] {
        if (settings.Read(settings::section::kSettings, "Minimized", "No") == "Yes")
            MinimizeToTray();
    });
    if (windows) Skipping([&] { ShowFirstRunGreeting(); });
    return true;
}

void Application::FillLanguageList() {
    ui::ComboBox& list = form_.frmLanguage.Combo1;
    list.items = {form_.frmLanguage.Combo1Prompt};
    std::vector<std::string> names = localization_.LanguageNames();
    // The built-in English is there to choose even without a translation file.
    if (std::none_of(names.begin(), names.end(),
                     [](const std::string& n) { return text::EqualsNoCase(n, "English"); })) {
        names.insert(names.begin(), "English");
    }
    for (std::string& name : names)
        list.items.push_back(std::move(name));
    const std::string current =
        Settings().Read(settings::section::kSettings, "Language", "English");
    list.listIndex = 0;
    for (std::size_t i = 1; i < list.items.size(); ++i) {
        if (text::EqualsNoCase(list.items[i], current)) list.listIndex = static_cast<int>(i);
    }
}

void Application::ShowLanguageWindow() {
    ui::FrmLanguage& window = form_.frmLanguage;
    window.caption = Message("MSG_TITLELANGUAGE");
    FillLanguageList();
    window.visible = true;
}

void Application::LanguageChosen(int index) {
    ui::ComboBox& list = form_.frmLanguage.Combo1;
    if (index <= 0 || index >= static_cast<int>(list.items.size())) return;
    list.listIndex = index;
    language_ = list.items[static_cast<std::size_t>(index)];
    Settings().Write(settings::section::kSettings, "Language", language_);
    localization_.ChangeLanguage(form_, language_);
    form_.frmLanguage.caption = Message("MSG_TITLELANGUAGE");
}

void Application::CheckLanguageUpdates() {
    const auto outcome = localization_.DownloadNewer(ServerAddress());
    if (outcome != Localization::Download::Replaced) return;
    FillLanguageList();
    frontEnd_.prompts.ShowMessage(Message("MSG_DOWNLOADED"), product_.productName,
                                  ui::MessageButtons::Ok, ui::MessageIcon::Information);
}

void Application::ShowResultsPage() {
    form_.PageButtonClicked(form_.frmResults);
    if (form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.empty() &&
        form_.chkSendData.value == 1) {
        submissions_.SendAnonymousData();
    }
}

void Application::TranslateProgram() {
    const std::string path = localization_.FilePath();
    if (frontEnd_.platform.files.Attributes(path)) frontEnd_.platform.launcher.Open(path);
}

void Application::ArmMemoryShield() {
    form_.tmrMemoryInspected.enabled =
        Settings().ReadFlag(settings::section::kOptions, "optMemorySheildOn", true);
}

void Application::ShowFirstRunGreeting() {
    settings::ProgramSettings settings = Settings();
    MachineSettings machine(frontEnd_.platform.registry, settings, frontEnd_.prompts, product_);
    const auto firstTime = machine.ReadMachineSetting(
        product_.productName, settings::section::kSettings, "FirstTime", "");
    if (!text::Trim(firstTime.value).empty()) return;
    // A standard user cannot write the machine-wide record: the greeting is then remembered for
    // this user, so that neither it nor the refusal comes back at every start.
    if (text::Trim(settings.Read(settings::section::kSettings, "FirstTime", "")) == "Yes") return;
    // A refused write says "Permission Denied"; the greeting is shown all the same.
    if (!machine.WriteMachineSetting(product_.productName, settings::section::kSettings,
                                     "FirstTime", "Yes")) {
        settings.Write(settings::section::kSettings, "FirstTime", "Yes");
    }
    const std::string text = Message("MSG_THANK1") + "\r\n\r\n" + Message("MSG_THANK2") +
                             "\r\n\r\n" + Message("MSG_THANK3");
    if (frontEnd_.prompts.ShowMessage(text, Message("MSG_THANK4"), ui::MessageButtons::YesNo,
                                      ui::MessageIcon::Question) == ui::MessageAnswer::Yes) {
        RunLiveUpdate();
    }
}

void Application::WindowResized(bool visible) {
    if (form_.windowState != ui::WindowState::Normal) {
        form_.showInTaskbar = false;
        return;
    }
    // The shield and the schedule keep their timers: a restored window must not leave either
    // silently off while its box says it is on.
    form_.tmrScroll.enabled = true;
    form_.showInTaskbar = true;
    if (visible) Settings().Write(settings::section::kSettings, "Minimized", "No");
}

void Application::OpenWebsite() {
    std::string address = text::Trim(product_.website);
    if (address.empty()) return;
    if (address.find("://") == std::string::npos) address = "http://" + address;
    frontEnd_.platform.launcher.Open(address);
}

bool Application::ConfirmExitFromTrayMenu() {
    ShowProgram();
    // The window is shown behind the question: the pump draws it, whatever its interval.
    frontEnd_.pump.WaitForEvents();
    const std::string& name = product_.productName;
    const auto answer = frontEnd_.prompts.ShowMessage(
        "Closing " + name +
            " may leave your system vulnerable to malicious programs. Are you sure you want to "
            "exit?",
        name, ui::MessageButtons::YesNo, ui::MessageIcon::Question);
    if (answer == ui::MessageAnswer::Yes) {
        form_.frmMenuPopUp.Unload();
        // With work running the close waits for it, and stores its records then.
        if (work_.Busy()) return true;
        WriteRunningStatus(Settings(), false);
        form_.trayIcon.bRunningInTray = false;
        return true;
    }
    // Back to the tray, the shield on guard again.
    form_.windowState = ui::WindowState::Minimized;
    form_.showInTaskbar = false;
    form_.inTray = true;
    ArmMemoryShield();
    form_.frmMenuPopUp.Unload();
    return false;
}

void Application::MinimizeToTray() {
    form_.windowState = ui::WindowState::Minimized;
    form_.inTray = true;
    form_.showInTaskbar = false;
    form_.frmMenuPopUp.mnuMaxmimaize.enabled = true;
    form_.trayIcon.bRunningInTray = true;
    form_.trayIcon.tip = product_.productName;
    Settings().Write(settings::section::kSettings, "Minimized", "Yes");
}

void Application::TrayIconMouse(int mouseMessage) {
    constexpr int kLeftDown = 513, kLeftDouble = 515, kRightDown = 516, kRightDouble = 518;
    if (mouseMessage == kLeftDown || mouseMessage == kRightDown) {
        // "Exit Program" stays off while a scan, removal or update runs.
        form_.frmMenuPopUp.Load(product_.productName,
                                frontEnd_.screen ? frontEnd_.screen->Measure() : ui::ScreenFacts{},
                                !work_.Busy());
    } else if (mouseMessage == kLeftDouble || mouseMessage == kRightDouble) {
        ShowProgram();
    }
}

void Application::ShowProgram() {
    form_.windowState = ui::WindowState::Normal;
    form_.inTray = false;
    form_.showInTaskbar = true;
    form_.frmMenuPopUp.Unload();
}

void Application::ViewHelp() {
    const std::string folder = text::FolderOf(programPath_);
    const std::string help = folder.empty() ? "Help.chm" : folder + "\\Help.chm";
    // A missing help file opens nothing.
    if (!frontEnd_.platform.files.Attributes(help)) return;
    frontEnd_.platform.launcher.Open(help);
    settings::ProgramSettings settings = Settings();
    MachineSettings(frontEnd_.platform.registry, settings, frontEnd_.prompts, product_)
        .WriteMachineSetting(product_.productName, settings::section::kSettings, "showHelp", "0");
}

void Application::ShowAbout() {
    ui::FrmAbout& about = form_.frmAbout;
    about.caption = "About " + product_.productName;
    about.lblProduct.caption = product_.productName;
    about.lblCompany.caption = product_.companyName;
    about.lblVersion.caption =
        std::to_string(product_.major) + "." + std::to_string(product_.minor);
    about.visible = true;
}

void Application::ExitFromTrayMenu() {
    // The icon stays until the window has really gone: work that runs now delays the close,
    // and a program without window or icon could not be ended at all.
    form_.frmMenuPopUp.Unload();
}

void Application::CloseWhenIdle() {
    form_.closeWhenIdle = true;
    if (!work_.Busy()) return;
    if (!form_.cmdScanNow.enabled) session_.RequestStop();
    // An alert waiting for its answer is closed unanswered: the program neither stops nor
    // allows what it found.
    form_.frmSpywareFoundAlert.visible = false;
    homePage_.Withdraw();
    CanClose();  // ends a Live Update's exchange
}

void Application::Closing() {
    WriteRunningStatus(Settings(), false);
    form_.trayIcon.bRunningInTray = false;
    form_.frmMenuPopUp.Unload();
    settings::ProgramSettings settings = Settings();
    const auto& widths = form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.columnWidths;
    for (std::size_t i = 0; i < widths.size(); ++i)
        settings.Write(settings::section::kSettings, "FoundCol2" + std::to_string(i + 1),
                       std::to_string(widths[i]));
    settings.Write(settings::section::kSettings, "Max",
                   form_.windowState == ui::WindowState::Maximized ? "1" : "0");
}

void Application::LaunchAntiHijack() {
    app::LaunchAntiHijack(frontEnd_.settings, frontEnd_.platform, frontEnd_.prompts, product_);
}

work::LongWork::Outcome Application::RunScan(bool startedByScheduler) {
    // "Delete spyware automatically after scheduled scan" as it stands when the schedule
    // starts the scan; a scan the user starts never removes without asking.
    const bool removeAfterwards =
        startedByScheduler &&
        Settings().ReadFlag(settings::section::kSettings, "chkAutoDel", false);
    bool completed = false;
    const auto outcome = work_.Run(work::LongWork::Kind::Foreground, [&] {
        completed = session_.StartScan();
        // Finished or stopped, the scan leaves its report when "Save scan results to log" is on.
        if (form_.chkMakeLog.value == 1) {
            report::ReportInputs inputs =
                report::InputsFrom(form_, session_.StartTime(), session_.FinishTime(), product_);
            inputs.reportedFiles = &session_.ReportedFiles();
            inputs.skipped = session_.Counters().skipped;
            report::MakeReport(frontEnd_.platform.files, DataFolder(), inputs);
        }
        RefreshStatusPage();
    });
    if (outcome == work::LongWork::Outcome::Failed) {
        // The scan broke off; what it found so far stays listed, and the status says it did
        // not finish rather than leaving a progress text behind.
        form_.lblStatus.caption = Message("MSG_SCAN_CANCELLED");
        RefreshStatusPage();
        form_.ShowPage(form_.frmStatus);
    }
    if (outcome == work::LongWork::Outcome::Done && completed && removeAfterwards) {
        RemoveEverythingFound();
    }
    return outcome;
}

work::LongWork::Outcome Application::RemoveEverythingFound() {
    form_.ShowPage(form_.frmResults);
    SelectAll();
    removal_.autoDeleteMode = true;
    const auto outcome = work_.Run(work::LongWork::Kind::Foreground, [&] { removal_.RepairNow(); });
    removal_.autoDeleteMode = false;
    AfterRemoval();
    return outcome;
}

void Application::RepairNow() {
    work_.Run(work::LongWork::Kind::Foreground, [&] { removal_.RepairNow(); });
    AfterRemoval();
}

void Application::RemoveSelected() {
    if (!form_.lblRemove.enabled) return;
    work_.Run(work::LongWork::Kind::Foreground, [&] { removal_.RemoveSelected(); });
    AfterRemoval();
}

void Application::AfterRemoval() {
    RefreshStatusPage();
    // The confirmation promised a restore point: when the system has System Restore but made
    // none, the user hears it, with the reason, rather than trusting one that is not there.
    const removal::RemovalReport& report = removal_.LastReport();
    if (report.ran && !report.restorePoint && !report.restorePointFailure.empty()) {
        ShowNotice(i18n::WithItem(Message("MSG_NO_RESTORE_POINT"), report.restorePointFailure));
    }
}

std::string Application::ReportPath() const {
    return report::ReportPath(DataFolder());
}

std::string Application::ReportViewerText() {
    return report::ViewerText(frontEnd_.platform.files, ReportPath());
}

void Application::ViewReport() {
    if (!frontEnd_.reportViewer || !form_.lblViewLogFile.enabled) return;
    // The label stays off while the viewer is open, so a second click cannot open another.
    form_.lblViewLogFile.enabled = false;
    const ModalCount::Scope open(modal_);
    frontEnd_.reportViewer->ShowReport(product_.productName + " Log", ReportViewerText());
    form_.lblViewLogFile.enabled = true;
}

void Application::RefreshStatusPage() {
    ShowStatusPage(form_, store_, Settings(), messages_, product_);
}

void Application::PauseScan() {
    if (session_.Scanning()) session_.PauseScan();
}

void Application::StopScan(bool askedFromLabel) {
    if (session_.Scanning()) session_.StopScan(askedFromLabel);
}

void Application::SelectAll() {
    removal::SelectAll(form_);
}

void Application::ResultCheckChanged(ui::ListItem& row) {
    removal::PropagateCheck(form_, row);
}

void Application::LiveListColumnClicked(int column) {
    scan::EnhListView_SortColumns(form_.lvwSpywareFound, column, false);
}

void Application::Exclude() {
    if (work_.Busy()) return;
    exclusionCommands_.ExcludeCheckedResults();
}

void Application::ViewExclusions() {
    exclusionCommands_.ViewExclusions();
}

void Application::ViewQuarantine() {
    if (!frontEnd_.quarantineViewer) {
        quarantine_.ViewQuarantine();
        return;
    }
    QuarantineBrowser browser(quarantine_, work_, messages_);
    const ModalCount::Scope open(modal_);
    frontEnd_.quarantineViewer->ShowQuarantine(Message("MSG_QUARANTINE_TITLE"), browser);
}

update::UpdateOutcome Application::UpdateDefinitions(const std::string& serverAddress) {
    std::string status;
    update::UpdateOutcome outcome;
    outcome.status = update::UpdateOutcome::Status::NotWritten;
    work_.Run(work::LongWork::Kind::Foreground,
              [&] { outcome = ExchangeWithServer(serverAddress, status); });
    return outcome;
}

update::UpdateOutcome Application::ExchangeWithServer(const std::string& serverAddress,
                                                      std::string& status) {
    update::LiveUpdate exchange(frontEnd_.platform, frontEnd_.pump, store_.Files(), product_,
                                serverAddress);
    updateCancelled_ = false;
    const update::UpdateOutcome outcome =
        exchange.FetchAndMergeUpdates(status, [this] { return updateCancelled_; });
    if (outcome.status != update::UpdateOutcome::Status::Updated) return outcome;
    // Counted and reloaded only: installing downloaded copies is start-up's alone, or a copy
    // that appeared since would replace the file just merged under the new date.
    store_.Recount();
    // The memory pass skips its work while the same programs run; with new program
    // definitions every one of them is looked at again.
    memoryShield_.Snapshot().names.clear();
    form_.lblLastUpdate.caption = "Signatures Last Updated On " + outcome.storedDate + " PST";
    RefreshStatusPage();
    return outcome;
}

std::string Application::ServerAddress() const {
    if (!serverOverride_.empty()) return serverOverride_;
    const std::string stored =
        text::Trim(Settings().Read(settings::section::kOptions, "UpdateServer", ""));
    return stored.empty() ? update::DefaultServerAddress() : stored;
}

void Application::RunLiveUpdate() {
    if (work_.Busy()) return;
    ui::FrmDownload& download = form_.frmDownload;
    form_.cmdLiveUpdate.enabled = false;
    using Status = update::UpdateOutcome::Status;
    work_.Run(work::LongWork::Kind::Foreground, [&] {
        download.txtStatus.clear();
        download.Open();
        const update::UpdateOutcome outcome =
            ExchangeWithServer(ServerAddress(), download.txtStatus);
        if (outcome.status == Status::Updated) {
            settings::ProgramSettings settings = Settings();
            settings.Write(settings::section::kOptions, "SHOW", "True");
            settings.Write(settings::section::kOptions, "RESTART", "True");
            download.trayIconShown = false;
            ShowNotice(Message("MSG_UPDATED_DEFS"));
        } else if (outcome.status == Status::NotWritten) {
            // New definitions came but could not be put in place: saying they are the most
            // recent would leave the user unprotected without knowing it.
            ShowNotice(Message("MSG_DEFS_NOT_SAVED"));
        } else if (outcome.status == Status::Unreachable) {
            // A failed exchange is no news of the most recent definitions.
            ShowNotice(Message("MSG_INTERNET"));
        } else if (outcome.status == Status::Current) {
            ShowNotice(Message("MSG_RECENT_DEFS"));
        }  // cancelled by the user: nothing to tell
    });
    download.Close();
    form_.cmdLiveUpdate.enabled = true;
}

void Application::ShowNotice(const std::string& text) {
    ui::FrmSignatureUpdated& notice = form_.frmSignatureUpdated;
    notice.Load(product_.productName,
                frontEnd_.screen ? frontEnd_.screen->Measure() : ui::ScreenFacts{});
    notice.lblUpdateInfo.caption = text;
}

void Application::NoticeOk() {
    Settings().Write(settings::section::kOptions, "SHOW", "false");
    form_.frmSignatureUpdated.Close();
    form_.frmDownload.trayIconShown = false;
}

void Application::CloseDownloadWindow() {
    // Cancel ends the exchange too: nothing is merged or stored.
    if (form_.frmDownload.visible) updateCancelled_ = true;
    form_.frmDownload.Close();
}

void Application::ShowAddressList() {
    frontEnd_.prompts.ShowMessage(update::DefinitionAddressList(product_.website),
                                  product_.productName, ui::MessageButtons::Ok,
                                  ui::MessageIcon::Information);
}

void Application::AutomaticUpdateTick() {
    if (!form_.cmdScanNow.enabled) return;  // a scan's seconds are not idle ones
    if (idleSeconds_ <= 299) {
        ++idleSeconds_;
        return;
    }
    // Work that holds the program (an alert waiting, a removal) only delays the update: the
    // count stays where it is and a later tick tries again.
    if (work_.Busy()) return;
    idleSeconds_ = 0;
    form_.timUpdate.enabled = false;
    RunLiveUpdate();
}

bool Application::AddExclusion(const std::string& entry) {
    return store_.AddExclusion(entry, events_);
}

// While work runs the options stay as they are: a click stored mid-scan would restart the
// shield timers that the scan has paused.
void Application::CheckBoxClicked(ui::CheckBox& box) {
    if (work_.Busy()) {
        box.value = box.value ? 0 : 1;  // the window toggled it already: undo
        return;
    }
    if (&box == &form_.chkAutomaticScanYesOrNo) {
        scheduler_.EnableClicked();
        return;
    }
    options_.CheckBoxClicked(box);
}

void Application::ApplySchedule() {
    if (!work_.Busy()) scheduler_.ApplyClicked();
}

void Application::ResetSchedule() {
    if (!work_.Busy()) scheduler_.ResetClicked();
}

void Application::OptionClicked(ui::OptionButton& option) {
    if (!work_.Busy()) options_.OptionClicked(option);
}

void Application::SendDataReleased() {
    if (work_.Busy()) {
        form_.chkSendData.value = form_.chkSendData.value ? 0 : 1;
        return;
    }
    options_.SendDataReleased();
}

void Application::DriveCheckChanged() {
    options_.DriveCheckChanged();
}

void Application::ShowOptionsTab(int tab) {
    if (work_.Busy()) return;
    form_.ShowPage(form_.frmOptions);
    form_.SelectTab(tab);
}

bool Application::IsBackgroundTimer(const ui::Timer& timer) const {
    return &timer == &form_.tmrMemoryInspected || &timer == &form_.tmrCheckHomePage ||
           &timer == &form_.tmrScheduler || &timer == &form_.timUpdate;
}

bool Application::TimerTick(ui::Timer& timer) {
    // A tick queued before its timer was stopped is not the timer's.
    if (!timer.enabled) return false;
    if (IsBackgroundTimer(timer) && !BackgroundMayRun()) return false;
    ui::FrmSignatureUpdated& notice = form_.frmSignatureUpdated;
    if (&timer == &form_.tmrMemoryInspected) {
        MemoryShieldTick();
    } else if (&timer == &form_.tmrCheckHomePage) {
        HomePageShieldTick();
    } else if (&timer == &form_.tmrScheduler) {
        // A quiet tick changes at most the timer's own interval.
        const int interval = form_.tmrScheduler.interval;
        if (!scheduler_.Due()) return form_.tmrScheduler.interval != interval;
        // As the scan page's Start does, with whatever scan kind is chosen there.
        form_.ShowPage(form_.frmScan);
        RunScan(true);
    } else if (&timer == &form_.timUpdate) {
        AutomaticUpdateTick();
    } else if (&timer == &form_.frmDownload.tmrBlink) {
        form_.frmDownload.Blink();
    } else if (&timer == &notice.tmrPopupSignatureUpdate) {
        notice.SlideUp();
    } else if (&timer == &notice.tmrEnablePopDownTimer) {
        notice.StartPopDown();
    } else if (&timer == &notice.tmrPopDown) {
        if (notice.PopDown()) NoticeOk();
    } else if (&timer == &form_.frmMenuPopUp.tmrMenuPopup) {
        form_.frmMenuPopUp.SlideUp();
    } else if (&timer == &form_.frmMenuPopUp.TmrEnablePopDown) {
        form_.frmMenuPopUp.IdleSecond();
    } else if (&timer == &form_.frmMenuPopUp.tmrPopDown) {
        if (form_.frmMenuPopUp.PopDown()) form_.frmMenuPopUp.Unload();
    } else {
        return false;  // the idle timers: nothing to do
    }
    return true;
}

void Application::MemoryShieldTick() {
    if (!Settings().ReadFlag(settings::section::kOptions, "optMemorySheildOn", true)) return;
    InspectMemory(runningAlert_);
}

void Application::HomePageShieldTick() {
    if (homePage_.CountTick()) MemoryShieldTick();
    work_.Run(work::LongWork::Kind::Background, [&] { homePage_.Check(); });
}

void Application::InspectMemory(scan::RunningThreatAlert& alert) {
    work_.Run(work::LongWork::Kind::Background,
              [&] { memoryShield_.InspectMemory(session_, alert); });
}

}  // namespace qm::app
