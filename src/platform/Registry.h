#pragma once
// The system registry as the core sees it: roots are the predefined key handles as numbers,
// key paths and value names are ANSI text.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegFile.h"

namespace qm::platform {

namespace root {
inline constexpr std::uint32_t kClassesRoot = 0x80000000;
inline constexpr std::uint32_t kCurrentUser = 0x80000001;
inline constexpr std::uint32_t kLocalMachine = 0x80000002;
inline constexpr std::uint32_t kUsers = 0x80000003;
inline constexpr std::uint32_t kCurrentConfig = 0x80000005;
inline constexpr std::uint32_t kDynData = 0x80000006;
}  // namespace root

enum class RegistryValueType { String, ExpandString, Number, Other };

struct RegistryRead {
    enum class Status {
        Ok,
        NoKey,       // the key path does not exist
        KeyDenied,   // the key exists but could not be opened
        NoValue,     // the key has no such value
        ReadFailed,  // the value exists but could not be read
    };
    Status status = Status::NoKey;
    RegistryValueType type = RegistryValueType::Other;
    std::string text;  // string types, without the terminating NUL
    std::uint32_t number = 0;
};

// What importing a registry-editor file did.
enum class ImportResult {
    Imported,    // every key and value of the file is in the registry now
    Conflict,    // a value of the file exists with another type or data; nothing was written
    Unreadable,  // not a whole registry-editor file, or it asks for a deletion; nothing written
    Failed,      // a key or value could not be checked (nothing written) or set (the rest was)
};

// How a key is opened: for reading, or with the rights its removal needs (query, set, create
// and enumerate subkeys, notify, link: access mask 0x3F). A key the account may see but not
// change does not open the second way.
enum class RegistryAccess { Read, Change };

// A watch over one key and everything below it, so that a reader that compares the key every
// few seconds reads it only after something there changed. Set before the first read, it
// misses nothing that happens after that read began.
class RegistryWatch {
  public:
    virtual ~RegistryWatch() = default;
    // True when a value or subkey below the key may have been added, changed or removed since
    // the watch was set or last said so, the key itself created or deleted included. A watch
    // that could not be kept set says true every time: the reader then reads every time.
    virtual bool Changed() = 0;
};

class Registry {
  public:
    virtual ~Registry() = default;
    // Opens the key and reads one value (an empty name reads the default value).
    virtual RegistryRead ReadValueAs(std::uint32_t root, const std::string& keyPath,
                                     const std::string& valueName, RegistryAccess access) = 0;
    RegistryRead ReadValue(std::uint32_t root, const std::string& keyPath,
                           const std::string& valueName) {
        return ReadValueAs(root, keyPath, valueName, RegistryAccess::Read);
    }
    // True when the key opens with the given access.
    virtual bool KeyOpens(std::uint32_t root, const std::string& keyPath,
                          RegistryAccess access) = 0;
    // Creates or opens the key with full access and sets a string value.
    virtual bool WriteString(std::uint32_t root, const std::string& keyPath,
                             const std::string& valueName, const std::string& value) = 0;
    // Creates or opens the key with full access and sets a 32-bit number value.
    virtual bool WriteNumber(std::uint32_t root, const std::string& keyPath,
                             const std::string& valueName, std::uint32_t value) = 0;
    virtual bool DeleteValue(std::uint32_t root, const std::string& keyPath,
                             const std::string& valueName) = 0;
    // Deletes the key with all its subkeys and values.
    virtual bool DeleteKeyTree(std::uint32_t root, const std::string& keyPath) = 0;

    // A registry-editor file ("Windows Registry Editor Version 5.00", UTF-16 with its byte
    // order mark) that brings back one value exactly as it is now, with its type and data, or
    // the whole key with its subkeys and values; the file names the root by its own name
    // ("HKEY_CURRENT_USER"). Nothing when the value or key cannot be read.
    virtual std::optional<std::string> ExportValue(std::uint32_t root, const std::string& keyPath,
                                                   const std::string& valueName) = 0;
    virtual std::optional<std::string> ExportKey(std::uint32_t root,
                                                 const std::string& keyPath) = 0;
    // The key with every value and subkey below it, as a whole key's export holds them, for a
    // reader that only compares (the browser policy guard, every few seconds). Nothing when the
    // key is not there or cannot be read whole.
    virtual std::optional<std::vector<regfile::Key>> ReadKeyTree(std::uint32_t root,
                                                                 const std::string& keyPath) {
        const auto file = ExportKey(root, keyPath);
        return file ? regfile::Parse(*file) : std::nullopt;
    }
    // A watch over the key and its subkeys; the key need not exist yet. Nothing when this
    // registry cannot watch: the reader then reads every time.
    virtual std::unique_ptr<RegistryWatch> WatchKeyTree(std::uint32_t /*root*/,
                                                        const std::string& /*keyPath*/) {
        return nullptr;
    }
    // The inverse of the two exports: sets every key and value the file holds, each value with
    // its exact type and bytes, creating keys as needed, and never overwrites. Every value in
    // the file is compared with the registry first: one that exists with another type or other
    // data is a conflict, and then nothing at all is written; one that exists with the same
    // type and data is left as it is. A file that does not read as a whole (or asks for a
    // deletion) changes nothing.
    virtual ImportResult ImportRegistryFile(const std::string& fileBytes) = 0;
};

}  // namespace qm::platform
