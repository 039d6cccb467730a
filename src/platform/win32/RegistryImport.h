#pragma once
// Reading back the registry-editor files of the quarantine's registry backups.

#include <string>

#include "platform/Registry.h"

namespace qm::platform::win32 {

// Sets every key and value of a registry-editor file (platform/RegFile.h, as
// ExportRegistryValue and ExportRegistryKey write it) through the wide registry API, each value
// with its exact type and bytes, and never overwrites. The whole file is read, and every value
// in it compared with the registry, before anything is set: a file that does not read (or
// asks for a deletion) or a value that exists with another type or other data changes
// nothing; a value that exists with the same type and data is left alone.
ImportResult ImportRegistryFile(const std::string& fileBytes);

}  // namespace qm::platform::win32
