#pragma once
// Registry-editor files for the quarantine's registry backups: the key or value as the registry
// holds it now, read through the wide API into the file's model (platform/RegFile.h).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/RegFile.h"
#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {

// The file's bytes (UTF-16LE with a byte order mark) for one value, or for the key with every
// value and subkey below it. The bytes are read back before they are handed out and must give
// exactly what was read — every value's name, type and bytes and every subkey — so a backup
// always brings back what it backs up. Nothing when they do not, or when the value or key
// cannot be read whole.
std::optional<std::string> ExportRegistryValue(std::uint32_t root, const std::string& keyPath,
                                               const std::string& valueName);
std::optional<std::string> ExportRegistryKey(std::uint32_t root, const std::string& keyPath);
// The key's values and subkeys as the export reads them, without the file.
std::optional<std::vector<regfile::Key>> ReadRegistryTree(std::uint32_t root,
                                                          const std::string& keyPath);

// The predefined key of a platform::root number (sign-extended, as the headers define them).
HKEY RegistryRoot(std::uint32_t root);

// Model text for the wide API and back (both are UTF-16 code units).
std::wstring WideOf(std::u16string_view text);
std::u16string TextOf(std::wstring_view wide);

// One value of an open key with its type and exact bytes. ERROR_SUCCESS, ERROR_FILE_NOT_FOUND
// when the key has no value of that name, or the error that stopped the read (a name with a NUL
// in it, which the wide API cannot name, gives ERROR_INVALID_PARAMETER).
LONG ReadRegistryValue(HKEY key, const std::u16string& name, regfile::Value& value);

}  // namespace qm::platform::win32
