// The known-location passes of a Smart Scan: every file and folder signature names a place on
// this machine; a signature whose file or folder is there is a Detection.

#include <cstdlib>

#include "definitions/LineScramble.h"
#include "definitions/PathTokens.h"
#include "definitions/Records.h"
#include "scan/CompanyName.h"
#include "scan/ScanSession.h"
#include "text/Text.h"
#include "text/TextFile.h"

namespace qm::scan {

void ScanSession::ReportFileHit(const std::string& threatName, const std::string& location,
                                int icon, const std::string& category,
                                const std::string& resultsText, int liveIcon) {
    ui::ListItem& work = form_.lvwFilesToBeDeleted.Add(location);
    work.SetSubItem(1, threatName);
    form_.lvwSpywareFound.Add(threatName, liveIcon != 0 ? liveIcon : icon).SetSubItem(1, location);
    ui::ListItem& result =
        form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Add(resultsText, icon);
    result.SetSubItem(1, location);
    if (!category.empty()) result.SetSubItem(2, category);
    form_.lbltracesFound.caption =
        std::to_string(std::atoll(form_.lbltracesFound.caption.c_str()) + 1);
    ++counters_.itemsFound;
}

void ScanSession::RememberReportedFile(const std::string& location, std::string company) {
    reportedFiles_.Record(
        location,
        FileFacts{std::move(company), services_.platform.files.FileSize(location).value_or(0)});
}

void ScanSession::ReportExcluded(const std::string& location) {
    form_.lvwSpywareFound.Add("EXCLUDED", ui::detection::kExcluded).SetSubItem(1, location);
}

int ScanSession::FilePassOverallPercent() const {
    return Percent(static_cast<double>(counters_.filesInspected + Signatures().registry +
                                       Signatures().cookies + Signatures().programs),
                   static_cast<double>(Signatures().Total()));
}

namespace {

// A signature's place on this machine: "[drive]" is the system drive, tokens expanded,
// doubled separators reduced.
std::string ExpandPlace(const defs::PathTokenExpander& tokens, const std::string& driveRoot,
                        std::string_view raw) {
    std::string place = text::ReplaceAll(raw, "[drive]", driveRoot);
    place = tokens.Expand(place);
    text::ReduceDoubleBackslashesInPlace(place);
    return place;
}

}  // namespace

void ScanSession::ForEachSignature(const char* fileName,
                                   const std::function<void(const std::string&)>& each) {
    auto reader = text::LineReader::Open(services_.platform.files, store_.Files().PathOf(fileName),
                                         text::LineEnds::CrLfOnly);
    if (!reader) return;
    std::string line;
    while (!stopRequested_ && reader->Next(line)) {
        defs::DecodeLineInPlace(line);
        each(line);
        LetEventsRun();
    }
}

void ScanSession::CountFileRecord(const std::string& shownName) {
    ++counters_.filesInspected;
    ProgressUpdate(shownName + "\r\n" + phaseLabel_,
                   Percent(static_cast<double>(counters_.filesInspected),
                           static_cast<double>(Signatures().files)),
                   FilePassOverallPercent());
}

void ScanSession::ScanDefinedFiles() {
    const std::string driveRoot = defs::SystemDriveRoot(services_.platform.shell);
    const defs::PathTokenExpander tokens(services_.platform.shell);
    ForEachSignature(defs::file::kFiles, [&](const std::string& line) {
        const auto record = defs::ParseFileRecord(line);
        const std::string name(record ? record->name : std::string_view());
        std::string fullPath = name;
        if (record && record->hasFolder) {
            fullPath = ExpandPlace(tokens, driveRoot, record->folder) + "\\" + name;
            text::ReduceDoubleBackslashesInPlace(fullPath);
        }
        CountFileRecord(name);
        // A place that is not absolute (a token this machine lacks expanded to nothing, a
        // record without a folder) names no place at all: resolved against the current folder
        // it would name some unrelated file, which a removal would then delete.
        if (stopRequested_ || !record || !text::IsAbsolutePath(fullPath)) return;
        // Hidden and system files count as absent; protected places and the system vendor's
        // own files are never reported. The category is carried as the record writes it.
        if (!defs::PlainFileExists(services_.platform.files, fullPath) ||
            store_.Safety().IsSafeLocation(fullPath)) {
            return;
        }
        if (Exclusions().IsExcluded(fullPath)) {
            ReportExcluded(fullPath);
        } else if (std::string company = ReadCompanyName(services_.platform.files, fullPath);
                   !IsMicrosoftCompany(company)) {
            ReportFileHit(std::string(record->threatName), fullPath, ui::detection::kFile,
                          std::string(record->category), std::string(record->threatName));
            RememberReportedFile(fullPath, std::move(company));
        }
    });
}

void ScanSession::ScanDefinedFolders() {
    const std::string driveRoot = defs::SystemDriveRoot(services_.platform.shell);
    const defs::PathTokenExpander tokens(services_.platform.shell);
    ForEachSignature(defs::file::kFolders, [&](const std::string& line) {
        const auto record = defs::ParseFileRecord(line);
        // A record without "|" names no folder and is passed over before any counting.
        if (!record || !record->hasFolder) return;
        const std::string folder = ExpandPlace(tokens, driveRoot, record->folder);
        std::string shownName(record->name);
        std::erase_if(shownName, [](char c) { return c == '\r' || c == '\n' || c == '\t'; });
        CountFileRecord(shownName);
        // As with files: a folder that is not absolute is nowhere.
        if (stopRequested_ || !text::IsAbsolutePath(folder)) return;
        if (!defs::FolderExists(services_.platform.files, folder) ||
            store_.Safety().IsSafeLocation(folder)) {
            return;
        }
        if (Exclusions().IsExcludedFolder(folder)) {
            ReportExcluded(folder);
        } else {
            ReportFileHit(std::string(record->threatName), folder, ui::detection::kFolder,
                          std::string(record->category), std::string(record->threatName));
        }
    });
}

}  // namespace qm::scan
