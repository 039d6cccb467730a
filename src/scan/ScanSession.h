#pragma once
// One scan from the click on Start to the final status line: the kind drivers and their
// phases, the counters and progress, Pause and Stop, and the completion stamps.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/SettingsStore.h"
#include "definitions/DefinitionFiles.h"
#include "definitions/DefinitionSet.h"
#include "definitions/ExclusionList.h"
#include "definitions/LoadControl.h"
#include "definitions/SafetyList.h"
#include "scan/Progress.h"
#include "scan/ScanServices.h"
#include "ui/FrmMain.h"

namespace qm::scan {

// A registry root as a definition names it by its hive code.
struct Hive {
    std::uint32_t root = 0;  // the predefined key handle, as platform::root gives it
    std::string name;        // "HKEY_LOCAL_MACHINE"
};
// The root for a hive code 0 to 5; nothing for any other code.
std::optional<Hive> HiveFromCode(std::string_view code);
// A root handle as the registry worklist shows it: signed decimal ("-2147483646").
std::string SignedRootText(std::uint32_t root);

class ScanSession final : public defs::LoadControl {
  public:
    ScanSession(ui::FrmMain& form, ScanServices services, std::string dataFolder);

    // Runs one scan of the kind selected in `optScan`.
    void StartScan(bool startedByScheduler = false);

    // Pause: a modal box; the scan stands still until it is answered.
    void PauseScan();
    // Stop: asks (`cmdStop` with MSG_STOP, `lblStop` with MSG_SURE); Yes sets StopRequested.
    void StopScan(bool askedFromLabel = false);

    // Refreshes the screen on every 25th call only.
    void ProgressUpdate(const std::string& text, int phasePercent, int overallPercent);
    void ProgressUpdateNow(const std::string& text, int phasePercent, int overallPercent);
    // ProgressUpdate for a text that costs something to build: it is built only when shown.
    template <typename MakeText>
    void ProgressUpdateLazy(MakeText makeText, int phasePercent, int overallPercent) {
        if (++counters_.throttle < kRefreshEvery) return;
        ProgressUpdateNow(makeText(), phasePercent, overallPercent);
        counters_.throttle = 0;
    }
    // The screen is refreshed on every this many progress updates.
    static constexpr int kRefreshEvery = 25;
    void CounterUpdate();

    void ShowStatusPage();
    // Ticks every results row and passes each new mark on to its worklist rows.
    void SelectAll();
    // Loads the in-memory definitions (at most once per run) with the loading screen.
    void LoadDefinitions();

    // The exclusion list: read at start-up, and again after every addition.
    void LoadExclusions();
    // Appends one entry to "ENoSignature.dat" and reloads the list.
    void AddExclusion(const std::string& entry);
    const defs::ExclusionList& Exclusions() const { return exclusions_; }
    // The results page's Exclude button: after confirmation the checked results become
    // exclusions and leave every list.
    void ExcludeCheckedResults();
    // Quarantine menu, "View Exclusions": the file in Notepad, or a word that there is none.
    void ViewExclusions();
    std::string ExclusionFilePath() const;

    // The signature counts of the installed definitions (start-up and after an update).
    void SetSignatureCounts(const defs::SignatureCounts& counts) { signatures_ = counts; }
    const defs::SignatureCounts& SignatureCounts() const { return signatures_; }

    // defs::LoadControl
    bool StopRequested() const override { return stopRequested_; }
    void LetEventsRun() override { services_.pump.LetEventsRun(); }

    bool Scanning() const { return scanning_; }
    const ScanCounters& Counters() const { return counters_; }
    ScanCounters& MutableCounters() { return counters_; }
    const std::string& StartTime() const { return startTime_; }
    const std::string& FinishTime() const { return finishTime_; }
    const std::string& PhaseLabel() const { return phaseLabel_; }
    defs::DefinitionFiles& Files() { return files_; }
    const defs::SafetyList& Safety() const { return safety_; }
    const defs::DefinitionSet& Definitions() const { return definitions_; }
    ui::FrmMain& Form() { return form_; }
    ScanServices& Services() { return services_; }

    // A running threat met outside a scan (the memory shield's pass): the program's name and
    // the company line of the running-program alert ("No Company name available for <exe>"
    // when the file names none).
    std::function<void(const std::string& exeName, const std::string& company)>
        onRunningThreatOutsideScan;
    // The memory pass on its own, as the memory shield runs it between scans.
    void InspectMemory() { ScanProcesses(); }

    // Called after a scheduled scan with automatic deletion ticks every row (the removal run).
    std::function<void()> onRepairNow;

  private:
    void RunSmartScan();
    void RunFullSystemScan();
    void RunFileScan(const std::string& file);
    void RunFolderScan(const std::string& folder);
    // The guard every driver starts with: false (after telling the user) when files are missing.
    bool DefinitionFilesPresent();
    void PrepareBars();
    void BeginPhase(const char* messageKey);
    void ShowCounters();
    void RefreshMousePointer();
    void SetScanControlsEnabled(bool scanning);
    bool ReadFlag(const char* key, bool fallback) const;
    std::string Message(const char* key) const { return services_.messages.getMessages(key); }

    // A file or folder hit: a row in the live list, the results list and the file worklist,
    // and one more item found and trace.
    // `liveIcon`, when not 0, is the live list's icon where it differs from the results list's.
    void ReportFileHit(const std::string& threatName, const std::string& location, int icon,
                       const std::string& category, const std::string& resultsText,
                       int liveIcon = 0);
    // A registry hit: a worklist row, a trace, and (unless the definition names no threat
    // for a value) the Detection rows.
    void ReportRegistryHit(const Hive& hive, const std::string& key, const std::string& value,
                           const std::string& location, const std::string& threatName,
                           const std::string& category);
    // A running threat: stopped during a scan, shown to the user otherwise.
    void StopRunningApplication(const std::string& exeName, const std::string& company);
    // An excluded hit: an informational row in the live list only, neither queued nor counted.
    void ReportExcluded(const std::string& location);
    // The overall percentage of the file and folder passes.
    int FilePassOverallPercent() const;
    // Runs `each` on every decoded line of a definition file until the end or a stop, letting
    // pending events run after each line.
    void ForEachSignature(const char* fileName,
                          const std::function<void(const std::string&)>& each);
    // One more file or folder record examined, with the throttled progress update.
    void CountFileRecord(const std::string& shownName);

    // The scanners' phases.
    void ScanCookies();
    void ScanProcesses();
    void ScanRegistry();
    void ScanDefinedFiles();
    void ScanDefinedFolders();
    void ScanDrive(const std::string& root);
    void ScanFileBody(const std::string& file);
    // One file met on disk, looked up in the in-memory definitions.
    void CheckFileCandidate(const std::string& path);
    // One folder met on disk (its path ends with "\").
    void CheckFolderCandidate(const std::string& path);
    // The recursive walk of a folder (its path ends with "\").
    void MScanFolder(const std::string& path);
    void ScanFolderBody(const std::string& folder);

    ui::FrmMain& form_;
    ScanServices services_;
    app::ProgramSettings settings_;
    defs::DefinitionFiles files_;
    defs::SignatureCounts signatures_;
    defs::SafetyList safety_;
    defs::DefinitionSet definitions_;
    defs::ExclusionList exclusions_;
    ScanCounters counters_;
    bool stopRequested_ = false;
    bool scanning_ = false;
    bool processesSelected_ = true;
    bool registrySelected_ = true;
    std::string phaseLabel_;
    std::string systemFolderLower_;
    // The names of the programs running at the last memory pass, shared with the shield.
    std::string lastProcessSnapshot_;  // for the candidate checks, looked up once per scan
    std::string startTime_;
    std::string finishTime_;
};

}  // namespace qm::scan
