// The candidate checks: one path met on disk (by a walk, or chosen for a File Scan) looked up
// in the in-memory definitions.

#include "definitions/PathTokens.h"
#include "definitions/Text.h"
#include "scan/CandidateMatch.h"
#include "scan/CompanyName.h"
#include "scan/ScanSession.h"

namespace qm::scan {

void ScanSession::CheckFileCandidate(const std::string& path) {
    if (path.empty() || path == " ") return;
    const PathFacts facts = FactsOf(path);
    const std::string systemFolder = text::Lower(defs::SystemFolderPath(services_.platform.shell));
    const FileMatch match = FindFileMatch(definitions_, facts, systemFolder);
    if (!match.first) return;
    // What stops the check depends only on the candidate, so it is asked once, at the first
    // entry that names it.
    const std::string location = facts.folder + facts.name;
    if (safety_.IsSafeLocation(location)) return;
    if (IsMicrosoftFile(services_.platform.files, location)) return;
    if (!match.hit) return;
    const defs::FileTableEntry& entry = definitions_.FileTable()[*match.hit];
    ReportFileHit(std::string(entry.threatName), location, ui::detection::kFile,
                  std::string(entry.category), std::string(entry.threatName));
}

void ScanSession::ScanFileBody(const std::string& file) {
    form_.pbgMain.min = 0;
    form_.pbgMain.max = 1;
    form_.pbgMain.Set(0);
    form_.lblStatus.visible = true;
    CheckFileCandidate(file);
    ++counters_.filesInspected;
    ProgressUpdateNow("Scanning: " + file, 0, 0);
    form_.pbgMain.Set(form_.pbgMain.max);
}

}  // namespace qm::scan
