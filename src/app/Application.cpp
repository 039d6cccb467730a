#include "app/Application.h"

#include "app/QuarantineBrowser.h"
#include "app/SiblingRecords.h"
#include "app/StatusPage.h"
#include "definitions/PathTokens.h"
#include "removal/PropagateCheck.h"
#include "report/ScanReport.h"
#include "scan/ListSorting.h"
#include "shields/BrowserProfiles.h"
#include "text/Text.h"

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
      context_{frontEnd_.platform, frontEnd_.prompts, frontEnd_.pickers, frontEnd_.pump,
               frontEnd_.settings, messages_,         product_},
      events_(frontEnd_.pump),
      store_(frontEnd_.platform.files,
             ResolveDataFolder(frontEnd_.platform.shell, options.dataFolder)),
      session_(form_, context_, store_, memoryShield_.Snapshot()),
      options_(form_, OptionsServices{context_, programPath_}),
      quarantine_(frontEnd_.platform, store_.DataFolder(), events_, &messages_),
      removal_(form_,
               removal::RemovalServices{context_, events_, store_.DataFolder(),
                                        [this] { submissions_.SendAnonymousData(); }},
               quarantine_),
      exclusionCommands_(form_, store_, context_, events_),
      work_(form_, Settings()),
      runningAlert_(
          form_.frmSpywareFoundAlert,
          shields::AlertServices{context_, frontEnd_.platform.shell.SystemDirectory(),
                                 [this](const std::string& name) { AddExclusion(name); }}),
      homePage_(form_, shields::HomePageServices{context_, frontEnd_.homePageAlert}),
      browserPolicies_(context_, quarantine_, store_.DataFolder()),
      scheduler_(form_, context_),
      localization_(LocalizationServices{context_, text::FolderOf(programPath_)}),
      submissions_(form_, SubmissionServices{context_, [this] { return ServerAddress(); },
                                             [this] { Exclude(); }}) {
    messages_.SetPlaceholders(product_.productName, product_.companyName);
    i18n::LoadDefaultMessages(messages_);
}

Application::~Application() = default;

void Application::ShowResultsPage() {
    form_.PageButtonClicked(form_.frmResults);
    if (form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows.empty() &&
        form_.chkSendData.value == 1) {
        submissions_.SendAnonymousData();
    }
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
            const auto browserProfiles = shields::ReadBrowserProfiles(frontEnd_.platform);
            inputs.browserProfiles = &browserProfiles;
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
    // An administrator's switch that turns the updates' protection off is never silent.
    form_.lblUnsignedAllowed.caption = Message("MSG_UNSIGNED_ALLOWED");
    form_.lblUnsignedAllowed.visible = unsignedAllowed_;
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
    work_.Run(work::LongWork::Kind::Background, [&] {
        homePage_.Check();
        browserPolicies_.Check();
    });
}

void Application::InspectMemory(scan::RunningThreatAlert& alert) {
    work_.Run(work::LongWork::Kind::Background,
              [&] { memoryShield_.InspectMemory(session_, alert); });
}

}  // namespace qm::app
