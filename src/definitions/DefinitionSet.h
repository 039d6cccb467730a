#pragma once
// The in-memory form of the file and folder signatures that the drive walk and the single
// File and Folder Scans check candidates against.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "definitions/DefinitionFiles.h"
#include "definitions/LoadControl.h"
#include "definitions/PathTokens.h"
#include "definitions/SafetyList.h"
#include "definitions/StringArena.h"

namespace qm::defs {

// Entries are views into the set's own string store and live as long as the set.
struct FileTableEntry {
    std::string_view folder;    // lower case, ends with "\", "[drive]" kept; empty without one
    std::string_view fileName;  // lower case
    std::string_view category;  // "TYPE" already replaced by "Spyware"
    std::string_view threatName;
};

struct FolderTableEntry {
    std::string_view folderPath;  // lower case, no trailing "\", "[drive]" kept
    std::string_view folderName;  // lower case
    std::string_view category;
    std::string_view threatName;
};

class DefinitionSet {
  public:
    // Each table holds at most this many records (indices 0 to 100,000); the rest is dropped.
    static constexpr std::size_t kCapacity = 100001;

    bool Loaded() const { return loaded_; }
    const std::vector<FileTableEntry>& FileTable() const { return fileTable_; }
    const std::vector<FolderTableEntry>& FolderTable() const { return folderTable_; }

    // Reads "FileDefinition.dat" and "DirectoryDefinition.dat" once per run; later calls
    // change nothing. A load that was stopped part-way leaves the set empty and not loaded.
    void Load(const DefinitionFiles& files, platform::FileSystem& fs,
              const PathTokenExpander& tokens, const SafetyList& safety, LoadControl& control);

    std::size_t BytesReserved() const;

    // The FileTable entries a file of this name (lower case) can match, in table order: those
    // stored under the name, merged with those whose name holds "[drive]" and so depends on
    // the drive being walked. `visit` returns false to stop.
    template <typename Visit>
    void ForEachFileEntryNamed(std::string_view lowerName, Visit visit) const {
        static const std::vector<std::uint32_t> kNone;
        const auto it = fileNameIndex_.find(lowerName);
        const std::vector<std::uint32_t>& named = it == fileNameIndex_.end() ? kNone : it->second;
        std::size_t a = 0, b = 0;
        while (a < named.size() || b < driveNamedFiles_.size()) {
            const bool takeNamed = b == driveNamedFiles_.size() ||
                                   (a < named.size() && named[a] < driveNamedFiles_[b]);
            if (!visit(takeNamed ? named[a++] : driveNamedFiles_[b++])) return;
        }
    }

    // The FolderTable entries whose path can equal a folder (lower case, no trailing "\\") on
    // the given drive (the folder's first component in lower case, "c:"), in table order: a
    // superset of the entries whose path, "[drive]" replaced by the drive, equals the folder.
    // `visit` returns false to stop.
    template <typename Visit>
    void ForEachFolderEntryAt(std::string_view lowerFolder, std::string_view drive,
                              Visit visit) const {
        const std::vector<std::uint32_t>& exact = Find(folderPathIndex_, lowerFolder);
        // The usual "[drive]\path" entries are keyed by the path below the drive; any other
        // drive text (empty, with blanks) is rare enough to be met by every "[drive]" entry.
        const bool plainDrive = !drive.empty() && drive.find(' ') == std::string_view::npos &&
                                lowerFolder.substr(0, drive.size()) == drive;
        const std::vector<std::uint32_t>& onDrive =
            plainDrive ? Find(driveRelativeIndex_, lowerFolder.substr(drive.size()))
                       : driveFolders_;
        const std::vector<std::uint32_t>& irregular =
            plainDrive ? irregularDriveFolders_ : NoEntries();
        MergeInOrder(exact, onDrive, irregular, visit);
    }
    // The form a FolderTable path is compared in: trimmed, lower case, one trailing "\" removed.
    static std::string FolderKey(std::string_view folderPath);

  private:
    using Index = std::unordered_map<std::string_view, std::vector<std::uint32_t>>;
    static const std::vector<std::uint32_t>& NoEntries() {
        static const std::vector<std::uint32_t> kNone;
        return kNone;
    }
    static const std::vector<std::uint32_t>& Find(const Index& index, std::string_view key) {
        const auto it = index.find(key);
        return it == index.end() ? NoEntries() : it->second;
    }
    // Visits the entries of three ascending lists in ascending order until `visit` says stop.
    template <typename Visit>
    static void MergeInOrder(const std::vector<std::uint32_t>& a,
                             const std::vector<std::uint32_t>& b,
                             const std::vector<std::uint32_t>& c, Visit& visit) {
        std::size_t i = 0, j = 0, k = 0;
        constexpr std::uint32_t kEnd = UINT32_MAX;
        for (;;) {
            const std::uint32_t x = i < a.size() ? a[i] : kEnd;
            const std::uint32_t y = j < b.size() ? b[j] : kEnd;
            const std::uint32_t z = k < c.size() ? c[k] : kEnd;
            const std::uint32_t next = std::min({x, y, z});
            if (next == kEnd) return;
            if (next == x) ++i;
            if (next == y) ++j;
            if (next == z) ++k;
            if (!visit(next)) return;
        }
    }
    void BuildIndex();
    // Entries without "[drive]", by their compared form.
    Index folderPathIndex_;
    // Entries "[drive]" + path, by the compared form of the path; the others with "[drive]"
    // are kept apart, and every "[drive]" entry is listed once more for unusual drive texts.
    Index driveRelativeIndex_;
    std::vector<std::uint32_t> irregularDriveFolders_;
    std::vector<std::uint32_t> driveFolders_;

    std::unordered_map<std::string_view, std::vector<std::uint32_t>> fileNameIndex_;
    std::vector<std::uint32_t> driveNamedFiles_;
    bool loaded_ = false;
    StringArena strings_;
    std::vector<FileTableEntry> fileTable_;
    std::vector<FolderTableEntry> folderTable_;
};

// Rebuilds the SafetyList from "Safety.dat" ("[drive]" stands for the system drive root).
SafetyList LoadSafetyList(const DefinitionFiles& files, platform::FileSystem& fs,
                          const PathTokenExpander& tokens, const std::string& driveRoot,
                          LoadControl& control);

}  // namespace qm::defs
