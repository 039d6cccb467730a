#pragma once
// Reading back the registry-editor files of the quarantine's registry backups.

#include <string>

namespace qm::platform::win32 {

// Sets every key and value of a registry-editor file ("Windows Registry Editor Version 5.00",
// UTF-16LE with its byte order mark, as ExportRegistryValue and ExportRegistryKey write it)
// through the wide registry API, each value with its exact type and bytes. The whole file is
// read before anything is set: one that does not read, or that asks for a deletion, changes
// nothing. False then, or when a key or value could not be set.
bool ImportRegistryFile(const std::string& fileBytes);

}  // namespace qm::platform::win32
