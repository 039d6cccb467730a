#pragma once
// The quarantine's manifest, "manifest.tsv": what each item in the quarantine folder is and
// where it came from, so that it can be listed and put back. Plain text, one header line, then
// one line per item with CR LF line ends and eight tab-separated fields:
//
//   kind  original  value  name  size  sha256  time  state
//
// kind is "file", "folder", "cookie" or "registry"; original the item's full path (for the
// registry "<hive name>\<key path>"); value, for a registry value only, the value's name ("@"
// stands for the key's default value, an empty field for a whole key or for a file); name the
// copy's or ".reg" file's name in the quarantine folder; size and sha256 those of the copy (a
// folder's are those of its whole tree, see TreeDigest); time the clock's text when it was
// backed up; state "quarantined" or "restored". Within a field "%", tab, CR and LF are written
// as "%25", "%09", "%0D" and "%0A" (and a value named "@" as "%40").
//
// Entries are appended one at a time as items are backed up, so a crash can leave the last line
// torn: readers skip it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace qm::removal {

inline constexpr const char* kManifestName = "manifest.tsv";

enum class EntryKind { File, Folder, Cookie, Registry };
// "file", "folder", "cookie", "registry".
const char* KindName(EntryKind kind);

struct QuarantineEntry {
    EntryKind kind = EntryKind::File;
    std::string original;
    // Registry values only: the value's name, empty for the default value.
    std::optional<std::string> value;
    std::string name;
    std::uint64_t size = 0;
    std::string sha256;
    std::string time;
    bool restored = false;
};

struct Manifest {
    enum class Status {
        Ok,       // every complete line read
        Missing,  // no manifest (or an empty one): nothing has been backed up with one
        Damaged,  // no header, a line that does not read, or a file too large to be one
    };
    Status status = Status::Missing;
    // Every entry that reads, in the file's order.
    std::vector<QuarantineEntry> entries;
    // The file ended inside a line (an append cut short): that line is not among the entries.
    bool tornLastLine = false;
};

// The header line, without its line end.
std::string ManifestHeader();
// One entry's line with its CR LF.
std::string FormatEntry(const QuarantineEntry& entry);
Manifest ParseManifest(std::string_view bytes);

// The file's bytes; nothing when it is missing, cannot be read or is larger than `maxBytes`.
std::optional<std::string> ReadSmallFile(platform::FileSystem& files, const std::string& path,
                                         std::uint64_t maxBytes);
// A manifest far beyond what any quarantine reaches is not read (a few hundred bytes a line).
inline constexpr std::uint64_t kMaxManifestBytes = 256ull << 20;
Manifest ReadManifest(platform::FileSystem& files, const std::string& path);

// The hive name the registry scan shows for a root ("HKEY_CURRENT_USER"), empty when unknown,
// and the root a hive name stands for.
std::string HiveNameOf(std::uint32_t root);
std::optional<std::uint32_t> RootOfHiveName(std::string_view hiveName);

}  // namespace qm::removal
