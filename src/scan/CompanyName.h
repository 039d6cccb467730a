#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace qm::scan {

// The company named in a file's version information, found by scanning the file's raw bytes
// for the resource's "CompanyName" entry (wide form inside "StringFileInfo" first, then plain
// text). Empty when none is found. The file is read in pieces, so memory stays bounded
// whatever its size.
std::string ReadCompanyName(platform::FileSystem& files, const std::string& path);

// True for "Microsoft Corporation", whose files are never reported (trimmed, any case).
bool IsMicrosoftFile(platform::FileSystem& files, const std::string& path);

}  // namespace qm::scan
