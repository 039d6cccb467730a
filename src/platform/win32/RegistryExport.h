#pragma once
// Registry-editor files for the quarantine's registry backups.

#include <optional>
#include <string>

#include "platform/win32/WinApi.h"

namespace qm::platform::win32 {

// The file's bytes (UTF-16LE with a byte order mark) for one value of an open key, or for the
// key with everything below it. Nothing when the value or key cannot be read.
std::optional<std::string> ExportRegistryValue(HKEY root, const std::string& rootName,
                                               const std::string& keyPath,
                                               const std::string& valueName);
std::optional<std::string> ExportRegistryKey(HKEY root, const std::string& rootName,
                                             const std::string& keyPath);

}  // namespace qm::platform::win32
