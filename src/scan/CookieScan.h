#pragma once
// Reading a tracking cookie: the site a cookie file belongs to, from its name and its content.

#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace qm::scan {

// The site key of a cookie file's name "user@site[1].txt": what follows the first "@", up to
// the first "(" (or, without one, the first "["), or up to the last "." without either.
// Empty when the name has no "@". Only the last path component is looked at.
std::string CookieSiteKey(std::string_view fileNameOrPath);

// The host the cookie file records: in the first comma- or line-delimited field holding the
// site key (any case as written) and a "/" after it, the text from the key up to that "/".
// A name without "@" (the random names of current cookie stores) takes the host of the file's
// first record: its third line, up to the "/". "False" when the file cannot be read or no
// field qualifies. The file is read line by line, so its size does not matter.
std::string CookieHost(platform::FileSystem& files, const std::string& path);

// The host as the blocked list is compared with it: its last "."-separated part dropped,
// then a leading "www." (any case).
std::string ComparableHost(std::string_view host);

}  // namespace qm::scan
