#pragma once
// One scan from the click on Start to the final status line: the kind drivers and their
// phases, the counters and progress, Pause and Stop, and the completion stamps.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "definitions/DefinitionStore.h"
#include "definitions/LoadControl.h"
#include "scan/FileFacts.h"
#include "scan/ProcessSnapshot.h"
#include "scan/Progress.h"
#include "scan/ScanServices.h"
#include "settings/SettingsStore.h"
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
    ScanSession(ui::FrmMain& form, ScanServices services, defs::DefinitionStore& store,
                ProcessSnapshot& processes);

    // Runs one scan of the kind selected in `optScan`; true when it ran to its end (not
    // stopped). A second start while one runs does nothing and returns false.
    bool StartScan();

    // Pause: a modal box; the scan stands still until it is answered.
    void PauseScan();
    // Stop: asks (`cmdStop` with MSG_STOP, `lblStop` with MSG_SURE); Yes sets StopRequested.
    void StopScan(bool askedFromLabel = false);
    // Stops the running scan without asking: the user has already chosen to end the program.
    void RequestStop() { stopRequested_ = true; }

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

    // Loads the in-memory definitions (at most once per run) with the loading screen.
    void LoadDefinitions();

    // defs::LoadControl
    bool StopRequested() const override { return stopRequested_; }
    void LetEventsRun() override { services_.pump.LetEventsRun(); }

    bool Scanning() const { return scanning_; }
    const ScanCounters& Counters() const { return counters_; }
    ScanCounters& MutableCounters() { return counters_; }
    const std::string& StartTime() const { return startTime_; }
    const std::string& FinishTime() const { return finishTime_; }
    const std::string& PhaseLabel() const { return phaseLabel_; }
    defs::DefinitionStore& Store() { return store_; }
    // The company and length of every file the last scan reported, for its report.
    const FileFactsByLocation& ReportedFiles() const { return reportedFiles_; }

    // The memory pass on its own, as the memory shield runs it between scans: a running
    // threat goes to `alert` instead of being stopped.
    void InspectMemory(RunningThreatAlert& alert);

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
    void StopRunningApplication(const JudgedProcess& process, const std::string& company);
    // Keeps what was read of a reported file: its company, and its length.
    void RememberReportedFile(const std::string& location, std::string company);
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
    // The recursive walk of a folder (its path ends with "\"), `depth` levels below where the
    // walk began.
    void MScanFolder(const std::string& path, int depth = 0);
    static constexpr int kMaxWalkDepth = 2000;
    void ScanFolderBody(const std::string& folder);

    const defs::SignatureCounts& Signatures() const { return store_.Counts(); }
    const defs::ExclusionList& Exclusions() const { return store_.Exclusions(); }

    ui::FrmMain& form_;
    ScanServices services_;
    settings::ProgramSettings settings_;
    defs::DefinitionStore& store_;
    ProcessSnapshot& processSnapshot_;
    RunningThreatAlert* alert_ = nullptr;  // set while the memory shield's pass runs
    ScanCounters counters_;
    FileFactsByLocation reportedFiles_;
    bool stopRequested_ = false;
    bool scanning_ = false;
    bool processesSelected_ = true;
    bool registrySelected_ = true;
    std::string phaseLabel_;
    std::string systemFolderLower_;
    // For the candidate checks, looked up once per scan.
    std::string startTime_;
    std::string finishTime_;
};

}  // namespace qm::scan
