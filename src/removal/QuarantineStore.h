#pragma once
// The quarantine: before the removal run deletes a file, folder or cookie it copies it into
// DataFolder\quarantine, checks that the copy has the original's size and content hash, adds an
// entry to the manifest and appends a record to "QuarantineLog.txt". Nothing is deleted
// without such a verified copy: an item whose copy fails, or comes out short or altered, stays
// where it is and leaves no copy behind. Restore puts an item back where it came from.

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "definitions/LoadControl.h"
#include "i18n/MessageCatalogue.h"
#include "platform/Platform.h"
#include "removal/ContentHash.h"
#include "removal/QuarantineManifest.h"

namespace qm::removal {

inline constexpr const char* kQuarantineLog = "QuarantineLog.txt";

enum class RestoreStatus {
    Restored,
    UnknownName,      // the manifest has no entry of that name
    AlreadyRestored,  // its entry is marked restored
    TargetExists,     // something stands at the original location (or the value exists, or
                      // a value of the key's backup exists with other data)
    FolderGone,       // the folder the item came from is no longer there
    NoManifest,       // the quarantine has no manifest
    DamagedManifest,  // the manifest does not read
    DamagedCopy,      // the copy is missing or no longer has its recorded size and hash
    Failed,           // copying back or importing did not work; nothing was left at the target
};

struct RestoreOutcome {
    RestoreStatus status = RestoreStatus::Failed;
    std::string message;  // one sentence for the user
    bool restored() const { return status == RestoreStatus::Restored; }
};

class QuarantineStore {
  public:
    // `messages`: the catalogue the restore's outcomes are told from (the built-in English
    // texts without one).
    QuarantineStore(platform::Platform& platform, std::string dataFolder, defs::LoadControl& events,
                    const i18n::MessageCatalogue* messages = nullptr)
        : platform_(platform),
          dataFolder_(std::move(dataFolder)),
          events_(events),
          messages_(messages) {}

    // On for the removal run's first pass only: records are written while it is on. The
    // manifest gets its entries whatever the switch says: every copy is a backup.
    bool logging = false;

    std::string Folder() const { return dataFolder_ + "\\quarantine"; }
    std::string LogPath() const { return Folder() + "\\" + kQuarantineLog; }
    std::string ManifestPath() const { return Folder() + "\\" + kManifestName; }

    // Backs up and deletes one file (an executable, a library). False when the file is not
    // there, or when no verified copy could be made (the file is then left in place).
    bool QuarantineFile(const std::string& path, const std::string& name);
    // Backs up and deletes a file or a whole folder; false when there is nothing at the path
    // or no verified copy could be made (the item is then left in place). True once the copy
    // is safe, even when the deletion then failed (a file another program holds).
    bool QuarantineItem(const std::string& path);
    // Backs up and deletes one cookie file; false when no verified copy could be made.
    bool QuarantineCookie(const std::string& path);

    // "<date-time> - File: <name>", " - Location: <path>", two empty lines.
    void LogFileRecord(const std::string& path, const std::string& name);

    // "<date-time> - Key: <key path>", "Value: <value name>", two empty lines.
    void LogRegistryRecord(const std::string& keyPath, const std::string& valueName);
    // Saves a registry-editor file under the backup name without "/", ":" and "\" and with
    // ".reg" (numbered when taken), and reads it back to check it. The file's name in the
    // quarantine, or nothing when it could not be written whole.
    std::optional<std::string> WriteRegBackup(const std::string& backupName,
                                              const std::string& fileBytes);
    // The manifest entry of a registry backup written by WriteRegBackup, once the key or value
    // is gone: `location` is "<hive name>\<key path>", `valueName` the value's name (empty for
    // the default value) or nothing for a whole key.
    bool RecordRegistryBackup(const std::string& location,
                              const std::optional<std::string>& valueName,
                              const std::string& nameInQuarantine, const std::string& fileBytes);
    // Deletes a registry backup that backs up nothing (its key or value could not be deleted).
    void DiscardRegBackup(const std::string& nameInQuarantine);

    // Every entry of the manifest, for listing.
    Manifest ReadManifest() const;
    // What the folder holds besides its log and manifest, sorted by name; a folder's name ends
    // with "\". Empty when there is no quarantine yet.
    std::vector<std::string> ListItems() const;
    // The name in the quarantine (relative to Folder(), "Tool (2)\sub\a.dll" for a file inside
    // a quarantined folder) of a copy of the file at `originalPath` that is there now with its
    // recorded size and hash and, when the file can still be read, the same content as it.
    // Nothing when there is no such copy.
    std::optional<std::string> VerifiedCopyOf(const std::string& originalPath) const;

    // Puts the item of that name back (its name in the quarantine, or else the original name
    // of a file, folder or cookie, whose newest copy not yet restored is taken): a file, folder
    // or cookie is copied back to where it came
    // from and checked against its recorded size and hash, a registry backup is imported into
    // the registry. Never creates a missing folder and never overwrites: the restore is refused
    // when something stands at the original location (for the registry: the value exists, or
    // for a whole key any of its values exists with another type or data; a key that is there
    // with none such gets the rest). The copy stays in the quarantine and its entry is marked
    // restored, so a restore never loses the backup.
    RestoreOutcome Restore(const std::string& nameInQuarantine);

    // Quarantine menu, "View Quarantine": the folder in the file manager.
    void ViewQuarantine();

    // While a removal run quarantines item after item, the manifest and the log stay open
    // between their records instead of being opened for each; they close when it ends.
    class OpenFiles {
      public:
        explicit OpenFiles(QuarantineStore& store) : store_(store) { store_.keepOpen_ = true; }
        ~OpenFiles() {
            store_.keepOpen_ = false;
            store_.manifestFile_.reset();
            store_.logFile_.reset();
        }
        OpenFiles(const OpenFiles&) = delete;
        OpenFiles& operator=(const OpenFiles&) = delete;

      private:
        QuarantineStore& store_;
    };

  private:
    // A name in the quarantine folder that nothing uses: `name`, then "name (2).ext" (a
    // folder: "name (2)") and so on. Nothing when all are taken.
    std::optional<std::string> FreeName(const std::string& name, bool folder);
    // The next of those names this store has not handed out, without looking whether it is
    // free; nothing when all are used.
    std::optional<std::string> NextName(const std::string& name, bool folder);
    // Creates the quarantine folder the first time it is needed; false when it cannot be.
    bool EnsureFolder();
    // Copies the file in, checks the copy and records it; the copy's name, or nothing (and no
    // copy left behind) when it could not be made or does not match.
    std::optional<std::string> BackUpFile(const std::string& path, const std::string& name,
                                          EntryKind kind);
    // The same for a folder with everything in it, file by file.
    bool BackUpFolder(const std::string& source, const std::string& name);
    // Copies the tree below `from` into the folder `to` (which exists), every file checked
    // against what was read of its original; the copy's tree hash, or nothing when any part
    // of it could not be copied whole.
    std::optional<ContentDigest> CopyTree(const std::string& from, const std::string& to);
    // Appends one line to the manifest (writing the header first for a new one).
    bool AppendEntry(const QuarantineEntry& entry);
    // Adds bytes at the end of the file, through `held` while the files are kept open, and
    // with `flush` puts them on the disk before returning.
    bool Append(std::unique_ptr<platform::Appender>& held, const std::string& path,
                const std::string& bytes, bool flush = false);

    // The refusal when something stands at `target` or its folder is gone; nothing otherwise.
    std::optional<RestoreOutcome> RefusedTarget(const std::string& target) const;
    RestoreOutcome RestoreFile(const QuarantineEntry& entry);
    RestoreOutcome RestoreFolder(const QuarantineEntry& entry);
    RestoreOutcome RestoreRegistry(const QuarantineEntry& entry);
    // The catalogue's text for `key` with "[Item]" naming the item.
    std::string Text(const char* key, const std::string& item) const;

    platform::Platform& platform_;
    std::string dataFolder_;
    defs::LoadControl& events_;
    const i18n::MessageCatalogue* messages_;
    // The manifest was found (or made) ready for appending: it ends with a complete line.
    bool manifestReady_ = false;
    bool folderMade_ = false;
    bool keepOpen_ = false;
    std::unique_ptr<platform::Appender> manifestFile_;
    std::unique_ptr<platform::Appender> logFile_;
    // The copies this store made, by the original's lower-cased path: a file that survives
    // the first pass (held open by another program) is not copied again by the second while
    // it is unchanged.
    struct MadeCopy {
        std::string name;
        ContentDigest digest;
    };
    std::unordered_map<std::string, MadeCopy> madeCopies_;
    // By lower-cased name: the first number FreeName has not yet handed out.
    std::unordered_map<std::string, int> nextNumber_;
};

}  // namespace qm::removal
