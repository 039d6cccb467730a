#pragma once
// The definition file set in the DataFolder as a whole: presence check, deletion of an
// incomplete set, signature counts, installation of downloaded copies and the date stamp.

#include <string>

#include "platform/FileSystem.h"

namespace qm::defs {

namespace file {
inline constexpr const char* kFiles = "FileDefinition.dat";
inline constexpr const char* kFolders = "DirectoryDefinition.dat";
inline constexpr const char* kRegistry = "RegistryDefinition.dat";
inline constexpr const char* kPrograms = "ExeDefinition.dat";
inline constexpr const char* kCookies = "BlockedCookies.dat";
inline constexpr const char* kSafety = "Safety.dat";
inline constexpr const char* kDate = "date.dat";
inline constexpr const char* kDownloadPrefix = "DL";
}  // namespace file

inline constexpr const char* kDataFolderToken = "[appdata]AntiSpywareDAT";
inline constexpr const char* kDefaultDefinitionDate = "3/16/2006 12:00:00 AM";

struct SignatureCounts {
    long long cookies = 0;
    long long files = 0;  // file and folder signatures together
    long long registry = 0;
    long long programs = 0;
    long long Total() const { return cookies + files + registry + programs; }
};

class DefinitionFiles {
  public:
    DefinitionFiles(platform::FileSystem& files, std::string dataFolder);

    const std::string& DataFolder() const { return dataFolder_; }
    // DataFolder & "\" & name, doubled separators reduced.
    std::string PathOf(const std::string& name) const;
    // A file (not a folder) of that name is present, hidden and system files included.
    bool Exists(const std::string& name) const;

    // True when all five required files exist; otherwise deletes the whole set and the date.
    bool CheckDefinitionFiles();
    // The same test without deleting anything.
    bool AllRequiredPresent() const;
    void DeleteDefinitionFiles();
    // Lines of each file, blank ones included, without decoding.
    SignatureCounts CountDefinitions() const;
    void InstallDownloadedDefinitions();
    std::string ReadDefinitionDate() const;
    void WriteDefinitionDate(const std::string& date);

  private:
    platform::FileSystem& files_;
    std::string dataFolder_;
};

// Counts lines the way a line-by-line read does; 0 for a missing file.
long long CountLines(platform::FileSystem& files, const std::string& path);

// True when the path names an existing plain file: hidden and system files, and folders,
// count as absent, as they do for a directory lookup of normal files.
bool PlainFileExists(platform::FileSystem& files, const std::string& path);
bool FolderExists(platform::FileSystem& files, const std::string& path);

}  // namespace qm::defs
