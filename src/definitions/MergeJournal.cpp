#include "definitions/MergeJournal.h"

#include "definitions/DefinitionFiles.h"
#include "text/Text.h"
#include "text/TextFile.h"

namespace qm::defs {

namespace {

// The journal's last line: a journal without it was never finished and decides nothing.
constexpr const char* kJournalEnd = "END";

// Every file a merge may replace.
constexpr const char* kSetNames[] = {file::kFiles,   file::kPrograms, file::kRegistry,
                                     file::kCookies, file::kFolders,  file::kSafety,
                                     file::kDate};

std::string PathIn(const std::string& folder, const std::string& name) {
    return text::ReduceDoubleBackslashes(folder + "\\" + name);
}

bool IsSetName(const std::string& name) {
    for (const char* known : kSetNames) {
        if (text::EqualsNoCase(name, known)) return true;
    }
    return false;
}

// Moves each listed scratch file that is still there over its file. A scratch file already
// gone was moved before the run ended.
bool MoveListed(platform::FileSystem& files, const std::string& folder,
                const std::vector<std::string>& names) {
    bool allMoved = true;
    for (const auto& name : names) {
        const std::string scratch = PathIn(folder, ScratchNameOf(name));
        if (!files.Attributes(scratch)) continue;
        allMoved = files.MoveReplacing(scratch, PathIn(folder, name)) && allMoved;
    }
    return allMoved;
}

}  // namespace

std::string ScratchNameOf(const std::string& name) {
    return name + kScratchSuffix;
}

void DiscardScratchFiles(platform::FileSystem& files, const std::string& dataFolder,
                         const std::vector<std::string>& names) {
    for (const auto& name : names)
        files.DeleteFile(PathIn(dataFolder, ScratchNameOf(name)));
}

bool ReplaceSetInOneStep(platform::FileSystem& files, const std::string& dataFolder,
                         const std::vector<std::string>& names) {
    std::vector<std::string> lines = names;
    lines.emplace_back(kJournalEnd);
    const std::string journal = PathIn(dataFolder, kMergeJournal);
    // WriteAllLines replaces in one step, on the disk: the journal is whole or absent.
    if (!text::WriteAllLines(files, journal, lines)) {
        DiscardScratchFiles(files, dataFolder, names);
        return false;
    }
    if (!MoveListed(files, dataFolder, names)) return false;
    return files.DeleteFile(journal) || !files.Attributes(journal);
}

bool FinishInterruptedReplacement(platform::FileSystem& files, const std::string& dataFolder) {
    const std::string journal = PathIn(dataFolder, kMergeJournal);
    if (files.Attributes(journal)) {
        std::vector<std::string> names = text::ReadAllLines(files, journal);
        if (!names.empty() && names.back() == kJournalEnd) {
            names.pop_back();
            // Only the set's own files: a damaged journal must not move anything else around.
            std::erase_if(names, [](const std::string& name) { return !IsSetName(name); });
            if (!MoveListed(files, dataFolder, names)) return false;
        }
        files.DeleteFile(journal);
    }
    // No journal: whatever scratch file is left belongs to a set that was never decided.
    for (const char* name : kSetNames)
        files.DeleteFile(PathIn(dataFolder, ScratchNameOf(name)));
    files.DeleteFile(PathIn(dataFolder, kOldMergeScratch));
    return true;
}

}  // namespace qm::defs
