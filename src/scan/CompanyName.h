#pragma once

#include <string>

#include "platform/FileSystem.h"

namespace qm::scan {

// The company named in a file's version information. In a PE image it is the "CompanyName"
// entry of the version resource, found through the image's resource directory; a file that is
// no such image, or whose resource cannot be read, is scanned raw for the entry (the wide form
// inside "StringFileInfo" first, then plain text). Empty when none is found. The file is read
// in pieces, so memory stays bounded whatever its size.
std::string ReadCompanyName(platform::FileSystem& files, const std::string& path);

// True for "Microsoft Corporation", whose files are never reported (trimmed, any case).
bool IsMicrosoftCompany(const std::string& company);
bool IsMicrosoftFile(platform::FileSystem& files, const std::string& path);

}  // namespace qm::scan
