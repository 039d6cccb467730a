#include "scan/ScanSession.h"

#include <cstdlib>

#include "definitions/PathTokens.h"
#include "definitions/Text.h"
#include "removal/PropagateCheck.h"
#include "scan/RiskAndDetails.h"
#include "scan/StatusWordFilter.h"
#include "shields/BackgroundTimers.h"

namespace qm::scan {

using app::section::kOptions;
using app::section::kSettings;

ScanSession::ScanSession(ui::FrmMain& form, ScanServices services, std::string dataFolder)
    : form_(form),
      services_(std::move(services)),
      settings_(services_.settingsStore, services_.product.productName),
      files_(services_.platform.files, std::move(dataFolder)) {}

std::string ScanSession::ExclusionFilePath() const {
    return files_.PathOf(defs::kExclusionFile);
}

void ScanSession::LoadExclusions() {
    exclusions_.Load(services_.platform.files, ExclusionFilePath(), *this);
}

void ScanSession::AddExclusion(const std::string& entry) {
    exclusions_.Add(services_.platform.files, ExclusionFilePath(), entry, *this);
}

bool ScanSession::ReadFlag(const char* key, bool fallback) const {
    return settings_.ReadFlag(kOptions, key, fallback);
}

void ScanSession::SetScanControlsEnabled(bool scanning) {
    for (ui::Button* b : {&form_.cmdResults, &form_.cmdSettings, &form_.cmdScanNow, &form_.cmdScan,
                          &form_.cmdLog, &form_.cmdUpdate, &form_.cmdStatus}) {
        b->enabled = !scanning;
    }
    form_.cmdStop.enabled = scanning;
    form_.cmdPause.enabled = scanning;
    form_.lblStop.enabled = scanning;
    form_.lblPause.enabled = scanning;
    RefreshMousePointer();
}

void ScanSession::RefreshMousePointer() {
    form_.mousePointer =
        form_.cmdScan.enabled ? ui::MousePointer::Default : ui::MousePointer::Hourglass;
}

void ScanSession::StartScan(bool startedByScheduler) {
    if (scanning_) return;
    scanning_ = true;

    // 1. The scanning page, with everything that could start a second scan disabled.
    form_.ShowPage(form_.frmScan);
    shields::SetBackgroundTimers(form_, settings_, false);
    SetScanControlsEnabled(true);

    // 2. Empty lists and zero counters.
    for (ui::Label* l :
         {&form_.lblMemoryInspected, &form_.lblRegistryInspected, &form_.lblFilesFolderInspected,
          &form_.lblSoftwareFound, &form_.lblRemovePicSoftwareFound, &form_.lbltracesFound,
          &form_.lblPercentageCompleted, &form_.lblStatus, &form_.lblTotalNoOfRunningItems}) {
        l->caption = "0";
    }
    counters_ = ScanCounters{};
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
    {
        const defs::PathTokenExpander tokens(services_.platform.shell);
        safety_ = defs::LoadSafetyList(files_, services_.platform.files, tokens,
                                       defs::SystemDriveRoot(services_.platform.shell), *this);
    }

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
    bool repairAfterwards = false;
    if (stopRequested_) {
        form_.lblStatus.caption = Message("MSG_SCAN_CANCELLED");
        form_.lblPercentageCompleted.caption = "0% " + Message("MSG_COMPLETED");
        form_.pbgMain.Set(0);
    } else {
        form_.lblStatus.caption = Message("MSG_SCAN_COMPLETED");
        form_.pb1.Set(100);
        form_.pb2.Set(100);
        repairAfterwards = startedByScheduler && static_cast<bool>(onRepairNow);
    }

    // 9. Back to idle.
    SetScanControlsEnabled(false);
    form_.cmdResults.enabled = true;
    form_.cmdSettings.enabled = true;
    shields::SetBackgroundTimers(form_, settings_, true);
    scanning_ = false;
    ShowStatusPage();
    CounterUpdate();
    FillRiskAndDetails(form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved);

    if (repairAfterwards) {
        form_.ShowPage(form_.frmResults);
        SelectAll();
        onRepairNow();
    }
}

bool ScanSession::DefinitionFilesPresent() {
    if (files_.CheckDefinitionFiles()) return true;
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

    if (std::atoi(settings_.Read(kOptions, "chkScanCookies", "1").c_str()) == 1) {
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
    if (!definitions_.Loaded()) {
        form_.cmdPause.enabled = false;
        form_.cmdStop.enabled = false;
        ProgressUpdateNow("Loading definitions, please wait...", 0, 0);
        LetEventsRun();
        const defs::PathTokenExpander tokens(services_.platform.shell);
        definitions_.Load(files_, services_.platform.files, tokens, safety_, *this);
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

void ScanSession::ShowStatusPage() {
    form_.lblDefCount.caption = text::FormatWithDigitGrouping(signatures_.Total());
    form_.lblVersion.caption =
        std::to_string(services_.product.major) + "." + std::to_string(services_.product.minor);
    // An incomplete set keeps telling the user to run Live Update rather than showing the
    // default date of definitions that are not there.
    form_.lblDefVersion.caption = files_.AllRequiredPresent() ? files_.ReadDefinitionDate() + " PST"
                                                              : Message("MSG_MISSINGFILES");
    form_.lblDefRemoved.caption = settings_.Read(kSettings, "lblDefRemoved", "0");
    form_.lblLastScan.caption = settings_.Read(kSettings, "lblLastScan", "Never");
    form_.lblLastFullScan.caption = settings_.Read(kSettings, "lblLastFullScan", "Never");
}

void ScanSession::SelectAll() {
    for (auto& row : form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.rows) {
        if (row.checked) continue;
        row.checked = true;
        removal::PropagateCheck(form_, row);
    }
}

}  // namespace qm::scan
