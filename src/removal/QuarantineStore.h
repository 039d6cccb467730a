#pragma once
// The quarantine: before the removal run deletes a file, folder or cookie it copies it into
// DataFolder\quarantine and appends a record to "QuarantineLog.txt". Nothing is deleted
// without its copy: an item whose copy fails stays where it is.

#include <string>

#include "definitions/LoadControl.h"
#include "platform/Platform.h"

namespace qm::removal {

inline constexpr const char* kQuarantineLog = "QuarantineLog.txt";

class QuarantineStore {
  public:
    QuarantineStore(platform::Platform& platform, std::string dataFolder, defs::LoadControl& events)
        : platform_(platform), dataFolder_(std::move(dataFolder)), events_(events) {}

    // On for the removal run's first pass only: records are written while it is on.
    bool logging = false;

    std::string Folder() const { return dataFolder_ + "\\quarantine"; }
    std::string LogPath() const { return Folder() + "\\" + kQuarantineLog; }

    // Backs up and deletes one file (an executable, a library). False when the file is not
    // there, or when no copy could be made (the file is then left in place).
    bool QuarantineFile(const std::string& path, const std::string& name);
    // Backs up and deletes a file or a whole folder; false when there is nothing at the path
    // or the copy failed (the item is then left in place).
    bool QuarantineItem(const std::string& path);
    // Backs up and deletes one cookie file; false when no copy could be made.
    bool QuarantineCookie(const std::string& path);

    // "<date-time> - File: <name>", " - Location: <path>", two empty lines.
    void LogFileRecord(const std::string& path, const std::string& name);

    // "<date-time> - Key: <key path>", "Value: <value name>", two empty lines.
    void LogRegistryRecord(const std::string& keyPath, const std::string& valueName);
    // Saves a registry-editor file under the backup name without "/", ":" and "\" and with
    // ".reg" (numbered when taken). False when it could not be written.
    bool WriteRegBackup(const std::string& backupName, const std::string& fileBytes);

    // Quarantine menu, "View Quarantine": the folder in the file manager.
    void ViewQuarantine();

  private:
    // Copies the file into the quarantine under its own name, or under "name (2).ext" and so
    // on when an earlier removal left a file of that name: a clash never loses the newer file.
    // The copy's name, or empty when no copy could be made.
    std::string CopyIn(const std::string& path, const std::string& name);
    // Copies a folder with everything in it; false when any part could not be copied.
    bool CopyFolder(const std::string& from, const std::string& to);

    platform::Platform& platform_;
    std::string dataFolder_;
    defs::LoadControl& events_;
};

}  // namespace qm::removal
