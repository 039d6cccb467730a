#include "scan/CandidateMatch.h"

#include <algorithm>
#include <vector>

#include "text/Text.h"

namespace qm::scan {

PathFacts FactsOf(std::string_view path) {
    PathFacts f;
    // Only backslashes part a scanned path: the folder keeps its separator for the matchers.
    const std::string_view last = text::FileNameView(path, "\\");
    f.name = text::Lower(text::TrimView(last));
    f.folder = text::Lower(path.substr(0, path.size() - last.size()));
    f.drive = text::Lower(path.substr(0, text::FindFirstSeparator(path, 0, "\\")));
    return f;
}

int Depth(std::string_view folder) {
    int depth = 0;
    for (std::size_t at = text::FindFirstSeparator(folder, 0, "\\"); at != std::string_view::npos;
         at = text::FindFirstSeparator(folder, at + 1, "\\")) {
        ++depth;
    }
    return depth;
}

namespace {
// Everything up to and including the first ":" and the one character after it goes.
std::string_view WithoutDrive(std::string_view s) {
    const auto colon = s.find(':');
    if (colon == std::string_view::npos) return s;
    return s.substr(std::min(s.size(), colon + 2));
}
}  // namespace

int Agreement(std::string_view a, std::string_view b) {
    const auto pa = text::Split(WithoutDrive(a), '\\');
    const auto pb = text::Split(WithoutDrive(b), '\\');
    const std::size_t n = std::min(pa.size(), pb.size());
    int shared = 0;
    for (std::size_t k = 1; k <= n; ++k) {
        const std::string_view x = pa[pa.size() - k], y = pb[pb.size() - k];
        if (!x.empty() && x == y) ++shared;
    }
    return shared;
}

namespace {
// The place rules shared by files and folders: a candidate in a drive root matches an entry in
// a drive root; deeper, the two must share at least two trailing folder names, and a candidate
// under the system folder only matches an entry under it too.
bool PlaceMatches(std::string_view candidateFolder, std::string_view entryFolder,
                  std::string_view systemFolderLower) {
    if (Depth(candidateFolder) < 2) return Depth(entryFolder) == 1;
    if (Agreement(candidateFolder, entryFolder) < 2) return false;
    if (!text::ContainsNoCase(candidateFolder, systemFolderLower)) return true;
    return text::ContainsNoCase(entryFolder, systemFolderLower);
}

bool WordsAllow(std::string_view entryFolder, std::string_view candidateLower) {
    for (std::string_view word : {"system32", "system", "windows"}) {
        if (text::ContainsNoCase(candidateLower, word) &&
            !text::ContainsNoCase(entryFolder, word)) {
            return false;
        }
    }
    return true;
}
}  // namespace

bool NameAndPlaceMatch(const defs::FileTableEntry& entry, const PathFacts& facts,
                       std::string_view systemFolderLower) {
    std::string_view n = entry.fileName;
    std::string replaced;
    if (n.find("[drive]") != std::string_view::npos) {
        replaced = text::Lower(text::TrimView(text::ReplaceAll(n, "[drive]", facts.drive)));
        n = replaced;
    }
    if (n != facts.name) return false;
    if (facts.name.find(".exe") != std::string::npos && facts.name.size() > 16) return true;
    return PlaceMatches(facts.folder, entry.folder, systemFolderLower);
}

bool SystemWordsAllow(const defs::FileTableEntry& entry, std::string_view candidateLower) {
    return WordsAllow(entry.folder, candidateLower);
}

FileMatch FindFolderMatch(const defs::DefinitionSet& set, std::string_view folder,
                          std::string_view drive, std::string_view systemFolderLower) {
    FileMatch m;
    const auto& table = set.FolderTable();
    set.ForEachFolderEntryAt(folder, drive, [&](std::uint32_t i) {
        const std::string_view stored = table[i].folderPath;
        if (text::FindNoCase(stored, "[drive]") != std::string_view::npos) {
            if (defs::DefinitionSet::FolderKey(text::ReplaceAllNoCase(stored, "[drive]", drive)) !=
                folder) {
                return true;
            }
        }
        if (!PlaceMatches(folder, stored, systemFolderLower)) return true;
        if (!m.first) m.first = i;
        if (WordsAllow(stored, folder)) {
            m.hit = i;
            return false;
        }
        return true;
    });
    return m;
}

FileMatch FindFileMatch(const defs::DefinitionSet& set, const PathFacts& facts,
                        std::string_view systemFolderLower) {
    FileMatch m;
    const std::string candidate = facts.folder + facts.name;
    const auto& table = set.FileTable();
    set.ForEachFileEntryNamed(facts.name, [&](std::uint32_t i) {
        if (!NameAndPlaceMatch(table[i], facts, systemFolderLower)) return true;
        if (!m.first) m.first = i;
        if (SystemWordsAllow(table[i], candidate)) {
            m.hit = i;
            return false;
        }
        return true;
    });
    return m;
}

}  // namespace qm::scan
