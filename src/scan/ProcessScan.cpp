// The memory phase: every running program that a process definition names, by full path or
// by executable name, is stopped (during a scan) or brought to the user's attention (the
// memory shield).

#include "definitions/PathTokens.h"
#include "definitions/Records.h"
#include "scan/CompanyName.h"
#include "scan/ProcessControl.h"
#include "scan/ScanSession.h"
#include "text/Text.h"

namespace qm::scan {

namespace {

// Vendors whose programs are never treated as threats, and the sibling tool's helper.
bool TrustedVendor(std::string_view company) {
    const std::string c = text::Upper(text::TrimView(company));
    return c == "MICROSOFT CORPORATION" || c == "SUN MICROSYSTEMS, INC.";
}
constexpr std::string_view kSiblingHelper = "Brackenhelper.exe";

}  // namespace

void ScanSession::StopRunningApplication(const JudgedProcess& process, const std::string& company) {
    if (!form_.cmdScan.enabled) {
        // The row reads the same whatever the stop's outcome; nothing is queued for removal.
        form_.lvwSpywareFound.Add("Running Application", ui::detection::kFile)
            .SetSubItem(1, process.exeName + " was stopped");
        StopJudgedProcess(services_.platform.processes, process,
                          services_.platform.shell.SystemDirectory());
        return;
    }
    // The alert names the company, or says there is none.
    const std::string shownCompany =
        company.empty() ? Message("MSG_NOCOMPANY") + " " + process.exeName : company;
    if (alert_) alert_->RunningThreatFound(process, shownCompany);
}

void ScanSession::InspectMemory(RunningThreatAlert& alert) {
    if (scanning_) return;  // a scan's own memory phase speaks for itself
    // A Stop belongs to the scan it was given in; the shield's pass must not inherit it.
    stopRequested_ = false;
    alert_ = &alert;
    struct Forget {
        RunningThreatAlert*& alert;
        ~Forget() { alert = nullptr; }
    } forget{alert_};
    ScanProcesses();
}

void ScanSession::ScanProcesses() {
    platform::Processes& processes = services_.platform.processes;
    const bool scanning = !form_.cmdScan.enabled;
    const auto listed = processes.List();
    // Each program by its identifier and name: one that ended and was started again under
    // the same name between two passes is a new program to look at.
    std::string snapshot;
    if (listed) {
        for (const auto& p : *listed) {
            snapshot += std::to_string(p.id);
            snapshot += ':';
            snapshot += p.baseName;
            snapshot += '|';
        }
    }
    // Nothing has started or ended since the last pass: nothing new to look at.
    if (snapshot == processSnapshot_.names) return;

    // "|ENTRY|ENTRY|...": full paths, upper case, searched as the definitions are written.
    const defs::PathTokenExpander tokens(services_.platform.shell);
    std::string definitions = "|";
    std::string lastExeName;
    const auto phasePercent = [&] {
        return Percent(static_cast<double>(counters_.processesInspected),
                       static_cast<double>(Signatures().programs));
    };
    ForEachSignature(defs::file::kPrograms, [&](const std::string& line) {
        const auto record = defs::ParseExeRecord(line);
        if (!record) return;
        std::string entry = tokens.Expand(record->folder) + "\\" + record->exeName;
        text::ReduceDoubleBackslashesInPlace(entry);
        definitions += text::Upper(entry) + "|";
        lastExeName = record->exeName;
        if (scanning) {
            ++counters_.processesInspected;
            ProgressUpdateLazy(
                [&] { return phaseLabel_ + "\r\n" + record->exeName; }, phasePercent(),
                Percent(static_cast<double>(counters_.processesInspected + Signatures().cookies),
                        static_cast<double>(Signatures().Total())));
        }
    });
    if (stopRequested_) definitions = "|";

    form_.lblTotalNoOfRunningItems.caption =
        listed ? std::to_string(listed->size()) : std::string("-1");
    if (!listed) return;
    const std::string systemDirectory = services_.platform.shell.SystemDirectory();
    for (const auto& process : *listed) {
        ++counters_.processesInspected;
        if (scanning) {
            ProgressUpdateLazy(
                [&] { return phaseLabel_ + "\r\n" + lastExeName; }, phasePercent(),
                Percent(static_cast<double>(counters_.processesInspected + Signatures().programs),
                        static_cast<double>(Signatures().Total())));
        }
        if (stopRequested_) return;
        const auto file = processes.ExecutablePath(process.id);
        if (!file) continue;  // gone, or protected
        const std::string path = ComparableImagePath(*file, systemDirectory);
        const std::string exeName = text::FileNameOf(path);

        bool hit = definitions.find("|" + path + "|") != std::string::npos;
        if (!hit) {
            // By executable name in any folder: the first entry naming it decides.
            const auto at = definitions.find("\\" + exeName);
            if (at != std::string::npos) {
                std::string candidate = definitions.substr(at, definitions.find('|', at) - at);
                candidate = text::Trim(candidate);
                hit = candidate == path || candidate == "\\" + exeName;
            }
        }
        if (!hit) continue;
        const std::string company = ReadCompanyName(services_.platform.files, path);
        if (TrustedVendor(company)) continue;
        if (Exclusions().IsExcluded(exeName)) {
            ReportExcluded(exeName);
            continue;
        }
        if (text::EqualsNoCase(text::TrimView(exeName), kSiblingHelper)) continue;
        StopRunningApplication({process.id, path, exeName}, company);
        ++counters_.itemsFound;
        LetEventsRun();
    }
    // Only a pass that examined every program may be skipped next time: one that was stopped
    // or ended early would otherwise leave a running threat unexamined until something else
    // starts or ends.
    if (!stopRequested_) processSnapshot_.names = std::move(snapshot);
}

}  // namespace qm::scan
