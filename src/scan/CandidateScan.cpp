// The candidate checks: one path met on disk (by a walk, or chosen for a File Scan) looked up
// in the in-memory definitions.

#include <vector>

#include "definitions/PathTokens.h"
#include "scan/CandidateMatch.h"
#include "scan/CompanyName.h"
#include "scan/ScanSession.h"
#include "text/Text.h"

namespace qm::scan {

void ScanSession::CheckFileCandidate(const std::string& path) {
    if (path.empty() || path == " ") return;
    const PathFacts facts = FactsOf(path);
    const FileMatch match = FindFileMatch(store_.Definitions(), facts, systemFolderLower_);
    if (!match.first) return;
    // What stops the check depends only on the candidate, so it is asked once, at the first
    // entry that names it.
    const std::string location = facts.folder + facts.name;
    if (store_.Safety().IsSafeLocation(location)) return;
    if (Exclusions().IsExcluded(location)) {
        ReportExcluded(location);
        return;
    }
    std::string company = ReadCompanyName(services_.platform.files, location);
    if (IsMicrosoftCompany(company)) return;
    if (!match.hit) return;
    const defs::FileTableEntry& entry = store_.Definitions().FileTable()[*match.hit];
    ReportFileHit(std::string(entry.threatName), location, ui::detection::kFile,
                  std::string(entry.category), std::string(entry.threatName));
    RememberReportedFile(location, std::move(company));
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

namespace qm::scan {

void ScanSession::CheckFolderCandidate(const std::string& path) {
    std::string_view trimmed = path;
    if (!trimmed.empty() && trimmed.back() == '\\') trimmed.remove_suffix(1);
    const std::string folder = text::Lower(text::TrimView(trimmed));
    const std::string drive =
        text::Lower(std::string_view(path).substr(0, text::FindFirstSeparator(path, 0, "\\")));
    const FileMatch match =
        FindFolderMatch(store_.Definitions(), folder, drive, systemFolderLower_);
    if (!match.first) return;
    if (store_.Safety().IsSafeLocation(folder)) return;
    // Like the known-location pass: a folder holding an excluded item is not reported either,
    // or removing the folder would remove what the user chose to keep.
    if (Exclusions().IsExcludedFolder(folder)) {
        ReportExcluded(folder);
        return;
    }
    if (IsMicrosoftFile(services_.platform.files, folder)) return;
    if (!match.hit) return;
    const defs::FolderTableEntry& entry = store_.Definitions().FolderTable()[*match.hit];
    // The live list shows the walk's file icon; the results list the folder's.
    ReportFileHit(std::string(entry.threatName), folder, ui::detection::kFolder,
                  std::string(entry.category), std::string(entry.threatName) + " Directory",
                  ui::detection::kFile);
}

void ScanSession::MScanFolder(const std::string& path, int depth) {
    using namespace platform::attr;
    // Each level costs a few hundred bytes of the thread's stack; a tree built thousands of
    // levels deep (long paths allow some 16,000) must not end the program. Past this depth
    // the branch is left, as an unreadable folder is.
    if (depth > kMaxWalkDepth) return;
    // The walk sees what a listing of normal entries shows: hidden and system entries are left
    // out. Every other folder is entered, whatever further attributes it carries: Windows
    // marks customised folders (Documents, Downloads, Desktop) read-only, and the archive,
    // compression, encryption and indexing bits are common. Junctions and folder links are
    // not followed: they lead into trees that are walked where they really are, or in circles.
    std::vector<platform::DirEntry> entries = services_.platform.files.ListFolder(path);
    std::erase_if(entries, [](const platform::DirEntry& e) {
        return (e.attributes & (kHidden | kSystem)) != 0;
    });
    if (entries.empty()) return;
    std::vector<std::string> subfolders;
    for (const auto& e : entries) {
        if (e.nameless) {
            ++counters_.skipped;
            continue;
        }
        if (e.name == "." || e.name == "..") continue;
        if ((e.attributes & kDirectory) != 0 && (e.attributes & kReparsePoint) == 0) {
            const std::string folder = path + e.name + "\\";
            CheckFolderCandidate(folder);
            subfolders.push_back(e.name);
        } else {
            CheckFileCandidate(path + e.name);
        }
        ++counters_.filesInspected;
        ProgressUpdateLazy([&] { return "Scanning: " + path + "\r\n" + e.name; }, 0, 0);
        if (stopRequested_) break;
        LetEventsRun();
    }
    for (const auto& name : subfolders) {
        if (stopRequested_) break;
        if (!name.empty()) MScanFolder(path + name + "\\", depth + 1);
    }
    CounterUpdate();
}

void ScanSession::ScanDrive(const std::string& root) {
    // A drive without a medium or not ready is skipped.
    if (!services_.platform.drives.VolumeReadable(root)) return;
    form_.pbgMain.Set(0);
    form_.lblStatus.visible = true;
    MScanFolder(root);
    form_.pbgMain.Set(form_.pbgMain.max);
}

void ScanSession::ScanFolderBody(const std::string& folder) {
    form_.pbgMain.min = 0;
    form_.pbgMain.max = 100;
    form_.pbgMain.Set(0);
    form_.lblStatus.visible = true;
    CheckFolderCandidate(folder);
    ++counters_.filesInspected;
    ProgressUpdate("Scanning: " + folder, 0, 0);
    if (!stopRequested_) MScanFolder(folder);
    form_.pbgMain.Set(form_.pbgMain.max);
}

}  // namespace qm::scan
