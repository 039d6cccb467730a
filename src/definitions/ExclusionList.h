#pragma once
// The items the user has declared harmless: "ENoSignature.dat" in the data folder, one plain
// entry per line, and its in-memory copy that every scanner asks before it reports.

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "definitions/LoadControl.h"
#include "platform/FileSystem.h"

namespace qm::defs {

inline constexpr const char* kExclusionFile = "ENoSignature.dat";

class ExclusionList {
  public:
    // Rebuilds the list from the file: every line that is not blank, as it stands. A line
    // holding "|" counts as the texts on either side of it. A missing file is an empty list.
    void Load(platform::FileSystem& files, const std::string& path, LoadControl& control);
    // The file's entries as the user wrote them, for showing: every line that is not blank,
    // case and "|" kept. Empty when the file is missing or cannot be read.
    static std::vector<std::string> ReadEntries(platform::FileSystem& files,
                                                const std::string& path);
    // Appends the entry, trimmed, as one line (creating the file), then reloads. False when
    // the file could not be written; the list is then as it was.
    bool Add(platform::FileSystem& files, const std::string& path, std::string_view entry,
             LoadControl& control);

    // True when an entry equals the candidate, or the candidate trimmed, in any case.
    bool IsExcluded(std::string_view candidate) const;
    // As IsExcluded, and also when an entry contains the candidate (any case): a folder that
    // holds an excluded item is never reported, since removing it would remove that item too.
    bool IsExcludedFolder(std::string_view candidate) const;

    std::size_t size() const { return entries_.size(); }

  private:
    std::vector<std::string> entries_;             // lower case, in file order
    std::unordered_set<std::string_view> lookup_;  // views into entries_
    unsigned long long loads_ = 0;                 // loads begun
};

}  // namespace qm::defs
