#pragma once
// The user's Edge, Chrome and Firefox profiles and what each opens: its start pages, what it
// does at start and its default search engine, for the scan report and the console. Only read:
// the browsers' files are never written.

#include <string>
#include <vector>

#include "platform/Platform.h"
#include "shields/BrowserSettings.h"

namespace qm::shields {

// One profile's settings with where they came from. Every text is in the system's ANSI code
// page, as the rest of the program's text: the paths as the file system named them, the pages
// and the engine converted from the browser's UTF-8 (a character the code page cannot show
// becomes "?").
struct BrowserProfile : BrowserSettings {
    std::string browser;      // "Edge", "Chrome" or "Firefox"
    std::string profile;      // the profile's folder name: "Default", "Profile 1", "x.default"
    std::string profilePath;  // that folder
};

// A settings file larger than this is no browser's: it is not read, and its profile is listed
// as unreadable.
inline constexpr std::size_t kLargestBrowserSettingsFile = 32u << 20;

// Every profile of the three browsers found under the user's local (Edge, Chrome) and roaming
// (Firefox) application-data folders: each folder there that holds the browser's settings file,
// in the order of their names. A browser that is not installed adds nothing.
std::vector<BrowserProfile> ReadBrowserProfiles(platform::Platform& platform);

// The profile as lines of text without line ends, for the scan report and the console: a
// heading naming the browser, the profile and its folder, then one indented line each for what
// it does at start, each start page, the home page and the search engine.
std::vector<std::string> BrowserProfileLines(const BrowserProfile& profile);

}  // namespace qm::shields
