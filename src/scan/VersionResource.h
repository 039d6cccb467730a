#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "scan/FileCursor.h"

namespace qm::scan {

// The text of `key` in the string tables of a version resource (a VS_VERSIONINFO tree:
// StringFileInfo, then its StringTables, then their String entries), taken from the first
// table whose entry has a value. UTF-16 code units up to 255 become the byte of the same value,
// others '?'. Nothing when `resource` does not start with a VS_VERSIONINFO block that fits in
// it; an empty text when the tree holds no such entry or a damaged block hides it.
std::optional<std::string> FindVersionString(std::string_view resource, std::string_view key);

// The same for the version resource of a PE image, found through its headers and resource
// directory and read in a handful of bounded pieces. Nothing when the file is not a PE image
// or its headers, directory or resource are damaged or missing.
std::optional<std::string> ReadVersionString(FileCursor& file, std::string_view key);

}  // namespace qm::scan
