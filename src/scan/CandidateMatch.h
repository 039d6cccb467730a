#pragma once
// The rules that decide whether a path met on disk is the one a FileTable entry names.

#include <optional>
#include <string>
#include <string_view>

#include "definitions/DefinitionSet.h"

namespace qm::scan {

// The parts of a candidate path the rules look at, all in lower case.
struct PathFacts {
    std::string name;    // the last component, trimmed; empty when the path ends with "\"
    std::string folder;  // the path without its name, keeping the trailing "\"
    std::string drive;   // the first component, such as "c:"
};
PathFacts FactsOf(std::string_view path);

// The number of "\" in a folder text ("c:\" has depth 1).
int Depth(std::string_view folder);
// How many trailing folder names two folder texts share (drive parts ignored).
int Agreement(std::string_view a, std::string_view b);

// Whether the entry names this file by name and place: the name (with "[drive]" standing for
// the candidate's drive), then the long-name rule, the drive-root rule, or at least two shared
// trailing folder names with the system-folder rule.
bool NameAndPlaceMatch(const defs::FileTableEntry& entry, const PathFacts& facts,
                       std::string_view systemFolderLower);
// Whether the entry's folder allows a candidate under "system32", "system" or "windows".
bool SystemWordsAllow(const defs::FileTableEntry& entry, std::string_view candidateLower);

struct FileMatch {
    std::optional<std::size_t> first;  // the first entry matching by name and place
    std::optional<std::size_t> hit;    // the first that also passes the system words
};
// Looks the candidate up through the set's name index.
FileMatch FindFileMatch(const defs::DefinitionSet& set, const PathFacts& facts,
                        std::string_view systemFolderLower);

// The same for a folder met on disk: `folder` is its path without the trailing "\", trimmed,
// in lower case; `drive` its first component ("c:").
FileMatch FindFolderMatch(const defs::DefinitionSet& set, std::string_view folder,
                          std::string_view drive, std::string_view systemFolderLower);

}  // namespace qm::scan
