#include "scan/ScanSession.h"

#include <cstdlib>

#include "definitions/PathTokens.h"
#include "scan/RiskAndDetails.h"
#include "scan/StatusWordFilter.h"
#include "text/Text.h"
#include "work/BackgroundTimers.h"

namespace qm::scan {

using settings::section::kOptions;
using settings::section::kSettings;

namespace {

// Clears a flag however the scope is left, an exception included: a scan that failed part-way
// must not stay marked as running.
class ClearOnExit {
  public:
    explicit ClearOnExit(bool& flag) : flag_(flag) {}
    ~ClearOnExit() { flag_ = false; }
    ClearOnExit(const ClearOnExit&) = delete;
    ClearOnExit& operator=(const ClearOnExit&) = delete;

  private:
    bool& flag_;
};

}  // namespace

ScanSession::ScanSession(ui::FrmMain& form, ScanServices services, defs::DefinitionStore& store,
                         ProcessSnapshot& processes)
    : form_(form),
      services_(std::move(services)),
      settings_(services_.settingsStore, services_.product.productName),
      store_(store),
      processSnapshot_(processes) {}

bool ScanSession::ReadFlag(const char* key, bool fallback) const {
    return settings_.ReadFlag(kOptions, key, fallback);
}

void ScanSession::RefreshMousePointer() {
    form_.mousePointer =
        form_.cmdScan.enabled ? ui::MousePointer::Default : ui::MousePointer::Hourglass;
}

bool ScanSession::StartScan() {
    if (scanning_) return false;
    scanning_ = true;
    const ClearOnExit notScanningAfterwards(scanning_);

    // 1. The scanning page, with everything that could start a second scan disabled.
    form_.ShowPage(form_.frmScan);
    work::SetBackgroundTimers(form_, settings_, false);
    form_.SetWorkControlsEnabled(true);

    // 2. Empty lists and zero counters.
    for (ui::Label* l :
         {&form_.lblMemoryInspected, &form_.lblRegistryInspected, &form_.lblFilesFolderInspected,
          &form_.lblSoftwareFound, &form_.lblRemovePicSoftwareFound, &form_.lbltracesFound,
          &form_.lblPercentageCompleted, &form_.lblStatus, &form_.lblTotalNoOfRunningItems}) {
        l->caption = "0";
    }
    counters_ = ScanCounters{};
    reportedFiles_.clear();
    processesSelected_ = true;
    registrySelected_ = true;
    for (ui::ListView* list :
         {&form_.lvwSpywareFound, &form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved,
          &form_.lvwFilesToBeDeleted, &form_.lvwFileNotFounds, &form_.lvwRegistryToBeDeleted,
          &form_.lvwCookiesToDelete}) {
        list->Clear();
    }

    // 3. A fresh stop flag and the start stamp.
    stopRequested_ = false;
    startTime_ = services_.platform.clock.NowText();
    finishTime_.clear();

    // 4. The protected locations, rebuilt for every scan.
    store_.RebuildSafetyList(defs::PathTokenExpander(services_.platform.shell),
                             defs::SystemDriveRoot(services_.platform.shell), *this);

    systemFolderLower_ = text::Lower(defs::SystemFolderPath(services_.platform.shell));

    // 5. The kind's driver.
    switch (form_.SelectedScanKind()) {
        case ui::ScanKind::Smart:
            RunSmartScan();
            break;
        case ui::ScanKind::FullSystem:
            LoadDefinitions();
            RunFullSystemScan();
            break;
        case ui::ScanKind::File:
            if (auto file = services_.pickers.ChooseFile(); file && !file->empty()) {
                LoadDefinitions();
                RunFileScan(*file);
            }
            break;
        case ui::ScanKind::Folder:
            if (auto folder = services_.pickers.ChooseFolder(); folder && !folder->empty()) {
                if (folder->back() != '\\') *folder += '\\';
                LoadDefinitions();
                RunFolderScan(*folder);
            }
            break;
    }

    // 6. The finish stamp.
    finishTime_ = services_.platform.clock.NowText();
    settings_.Write(kSettings, "lblLastScan", finishTime_);
    if (form_.optScanAllSelectedHardDrive.value) {
        settings_.Write(kSettings, "lblLastFullScan", finishTime_);
    }

    // 7.
    form_.cmdRemove.enabled = true;
    form_.cmdResults.enabled = true;
    form_.cmdSettings.enabled = true;

    // 8. The outcome.
    const bool completed = !stopRequested_;
    if (stopRequested_) {
        form_.lblStatus.caption = Message("MSG_SCAN_CANCELLED");
        form_.lblPercentageCompleted.caption = "0% " + Message("MSG_COMPLETED");
        form_.pbgMain.Set(0);
    } else {
        form_.lblStatus.caption = Message("MSG_SCAN_COMPLETED");
        form_.pb1.Set(100);
        form_.pb2.Set(100);
    }

    // 9. Back to idle.
    form_.SetWorkControlsEnabled(false);
    form_.cmdResults.enabled = true;
    form_.cmdSettings.enabled = true;
    work::SetBackgroundTimers(form_, settings_, true);
    CounterUpdate();
    FillRiskAndDetails(form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);
    return completed;
}

bool ScanSession::DefinitionFilesPresent() {
    if (store_.Files().CheckDefinitionFiles()) return true;
    form_.lblDefVersion.caption = Message("MSG_MISSINGFILES");
    services_.prompts.ShowMessage(Message("MSG_MISSING"), services_.product.productName,
                                  ui::MessageButtons::Ok, ui::MessageIcon::Information);
    return false;
}

void ScanSession::PrepareBars() {
    form_.pbgMain.visible = false;
    form_.pbgMain.min = 0;
    form_.pbgMain.max = 100;
    form_.pbgMain.Set(0);
    for (ui::ProgressBar* bar : {&form_.pb1, &form_.pb2}) {
        bar->min = 0;
        bar->max = 100;
        bar->Set(0);
    }
}

void ScanSession::BeginPhase(const char* messageKey) {
    const std::string text = Message(messageKey);
    form_.lblPercentageCompleted.caption = text;
    phaseLabel_ = text + ": ";
}

void ScanSession::RunSmartScan() {
    if (!DefinitionFilesPresent()) return;
    PrepareBars();

    if (ReadFlag("chkScanCookies", true)) {
        BeginPhase("MSG_COOKIES");
        ScanCookies();
        form_.lblStatus.caption = StatusWordFilter(Message("MSG_COOKIES_FINISHED"));
        form_.pb1.Set(100);
    }
    if (!stopRequested_) {
        processesSelected_ = ReadFlag("chkSweepMemory", true);
        if (processesSelected_) {
            BeginPhase("MSG_MEMORY");
            ScanProcesses();
        }
    }
    if (!stopRequested_) {
        registrySelected_ = ReadFlag("chkScanRegistry", true);
        if (registrySelected_) {
            form_.pb1.Set(0);
            BeginPhase("MSG_REGISTRY");
            ScanRegistry();
        }
    }
    // The file and folder passes begin even after a Stop; they leave at their first test.
    BeginPhase("MSG_SPYWARE");
    ScanDefinedFiles();
    ScanDefinedFolders();
    ProgressUpdate("Scan Complete", 100, 100);
}

void ScanSession::RunFullSystemScan() {
    if (!DefinitionFilesPresent()) return;
    PrepareBars();
    form_.lblPercentageCompleted.caption = "Scanning your Hard Disk...";
    for (const auto& drive : form_.lvwHardDrives.rows) {
        if (stopRequested_) break;
        // Only the drives the user ticked are walked.
        if (!drive.checked) continue;
        form_.pbgMain.Set(0);
        ScanDrive(drive.text + ":\\");
        LetEventsRun();
    }
    if (!stopRequested_) {
        processesSelected_ = ReadFlag("chkSweepMemory", true);
        if (processesSelected_) {
            BeginPhase("MSG_MEMORY");
            ScanProcesses();
        }
    }
    if (!stopRequested_) {
        registrySelected_ = ReadFlag("chkScanRegistry", true);
        if (registrySelected_) {
            form_.pb1.Set(0);
            BeginPhase("MSG_REGISTRY");
            ScanRegistry();
        }
    }
    ProgressUpdate("Scan Complete", 100, 100);
}

void ScanSession::RunFileScan(const std::string& file) {
    if (!DefinitionFilesPresent()) return;
    PrepareBars();
    form_.lblPercentageCompleted.caption = "Scanning " + file + "...";
    ScanFileBody(file);
    ProgressUpdate("Scan Complete", 100, 100);
}

void ScanSession::RunFolderScan(const std::string& folder) {
    if (!DefinitionFilesPresent()) return;
    PrepareBars();
    form_.lblPercentageCompleted.caption = "Scanning " + folder + "...";
    ScanFolderBody(folder);
    ProgressUpdate("Scan Complete", 100, 100);
}

void ScanSession::LoadDefinitions() {
    if (!store_.DefinitionsLoaded()) {
        form_.cmdPause.enabled = false;
        form_.cmdStop.enabled = false;
        ProgressUpdateNow("Loading definitions, please wait...", 0, 0);
        LetEventsRun();
        store_.LoadDefinitions(defs::PathTokenExpander(services_.platform.shell), *this);
    }
    form_.cmdPause.enabled = true;
    form_.cmdStop.enabled = true;
}

void ScanSession::ShowCounters() {
    form_.lblMemoryInspected.caption = processesSelected_
                                           ? std::to_string(counters_.processesInspected)
                                           : Message("MSG_NOTSELECTED");
    form_.lblRegistryInspected.caption = registrySelected_
                                             ? std::to_string(counters_.registryInspected)
                                             : Message("MSG_NOTSELECTED");
    form_.lblFilesFolderInspected.caption = std::to_string(counters_.filesInspected);
    form_.lblSoftwareFound.caption = std::to_string(counters_.itemsFound);
    form_.lblRemovePicSoftwareFound.caption = std::to_string(counters_.itemsFound);
}

void ScanSession::ProgressUpdate(const std::string& text, int phasePercent, int overallPercent) {
    ++counters_.throttle;
    if (counters_.throttle < kRefreshEvery) return;
    ProgressUpdateNow(text, phasePercent, overallPercent);
    counters_.throttle = 0;
}

void ScanSession::ProgressUpdateNow(const std::string& text, int phasePercent, int overallPercent) {
    ShowCounters();
    form_.lblStatus.caption = StatusWordFilter(text);
    if (phasePercent >= 0) form_.pb1.Set(phasePercent);
    if (overallPercent >= 0) form_.pb2.Set(overallPercent);
}

void ScanSession::CounterUpdate() {
    ShowCounters();
    counters_.throttle = 0;
}

void ScanSession::PauseScan() {
    form_.cmdPause.enabled = false;
    form_.cmdStop.enabled = false;
    form_.lblPause.enabled = false;
    form_.lblStop.enabled = false;
    services_.prompts.ShowMessage(Message("MSG_PAUSED"), services_.product.productName,
                                  ui::MessageButtons::Ok, ui::MessageIcon::Information);
    form_.cmdPause.enabled = true;
    form_.cmdStop.enabled = true;
    form_.lblPause.enabled = true;
    form_.lblStop.enabled = true;
    RefreshMousePointer();
}

void ScanSession::StopScan(bool askedFromLabel) {
    const auto answer = services_.prompts.ShowMessage(
        Message(askedFromLabel ? "MSG_SURE" : "MSG_STOP"), services_.product.productName,
        ui::MessageButtons::YesNo, ui::MessageIcon::Question);
    if (answer != ui::MessageAnswer::Yes) return;
    form_.mousePointer = ui::MousePointer::Default;
    stopRequested_ = true;
}

}  // namespace qm::scan
