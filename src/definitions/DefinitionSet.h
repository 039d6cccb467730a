#pragma once
// The in-memory form of the file and folder signatures that the drive walk and the single
// File and Folder Scans check candidates against.

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
    // change nothing, even when the first load was stopped part-way.
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
    // the given drive ("c:"), in table order. `visit` returns false to stop.
    template <typename Visit>
    void ForEachFolderEntryAt(std::string_view lowerFolder, Visit visit) const {
        static const std::vector<std::uint32_t> kNone;
        const auto it = folderPathIndex_.find(std::string(lowerFolder));
        const std::vector<std::uint32_t>& keyed = it == folderPathIndex_.end() ? kNone : it->second;
        std::size_t a = 0, b = 0;
        while (a < keyed.size() || b < driveFolders_.size()) {
            const bool takeKeyed =
                b == driveFolders_.size() || (a < keyed.size() && keyed[a] < driveFolders_[b]);
            if (!visit(takeKeyed ? keyed[a++] : driveFolders_[b++])) return;
        }
    }
    // The form a FolderTable path is compared in: trimmed, lower case, one trailing "\" removed.
    static std::string FolderKey(std::string_view folderPath);

  private:
    void BuildIndex();
    std::unordered_map<std::string, std::vector<std::uint32_t>> folderPathIndex_;
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
