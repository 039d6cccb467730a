#include "shields/BrowserProfiles.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "text/Text.h"

namespace qm::shields {

namespace {

// The user's local and roaming application-data folders (CSIDL_LOCAL_APPDATA, CSIDL_APPDATA).
constexpr int kLocalAppData = 28;
constexpr int kRoamingAppData = 26;

struct BrowserKind {
    const char* browser;
    int specialFolder;
    const char* profilesBelow;  // the folder of the profiles, below the special folder
    const char* settingsFile;   // in each profile's folder
    BrowserSettings (*parse)(std::string_view);
};

constexpr BrowserKind kBrowsers[] = {
    {"Edge", kLocalAppData, "Microsoft\\Edge\\User Data", "Preferences", ParseChromiumPreferences},
    {"Chrome", kLocalAppData, "Google\\Chrome\\User Data", "Preferences", ParseChromiumPreferences},
    {"Firefox", kRoamingAppData, "Mozilla\\Firefox\\Profiles", "prefs.js", ParseFirefoxPrefs},
};

// The browser's UTF-8 texts in the code page the rest of the program speaks.
void ConvertToCodePage(BrowserSettings& settings, platform::TextEncoding& encoding) {
    for (std::string* text : {&settings.homePage, &settings.startupChoice,
                              &settings.searchEngineName, &settings.searchEngineUrl}) {
        *text = encoding.Utf8ToAnsi(*text);
    }
    for (std::string& page : settings.startPages)
        page = encoding.Utf8ToAnsi(page);
}

// The profile folders below `root`, in the order of their names.
std::vector<std::string> ProfileFolderNames(platform::FileSystem& files, const std::string& root) {
    std::vector<std::string> names;
    for (const platform::DirEntry& entry : files.ListFolder(root)) {
        if (!entry.nameless && (entry.attributes & platform::attr::kDirectory) != 0)
            names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return text::CompareNoCase(a, b) < 0;
    });
    return names;
}

void ReadProfilesOf(platform::Platform& platform, const BrowserKind& kind,
                    std::vector<BrowserProfile>& profiles) {
    const auto special = platform.shell.SpecialFolder(kind.specialFolder);
    if (!special || special->empty()) return;
    const std::string root =
        std::string(text::WithoutTrailingBackslashes(*special)) + "\\" + kind.profilesBelow;
    for (const std::string& name : ProfileFolderNames(platform.files, root)) {
        const std::string folder = root + "\\" + name;
        const std::string path = folder + "\\" + kind.settingsFile;
        // Chromium keeps folders of its own beside the profiles ("Crashpad", "System
        // Profile"): only a folder with the settings file is a profile.
        const auto attributes = platform.files.Attributes(path);
        if (!attributes || (*attributes & platform::attr::kDirectory) != 0) continue;
        BrowserProfile profile;
        if (const auto content =
                platform::ReadWholeFile(platform.files, path, kLargestBrowserSettingsFile)) {
            static_cast<BrowserSettings&>(profile) = kind.parse(*content);
            ConvertToCodePage(profile, platform.encoding);
        }
        profile.browser = kind.browser;
        profile.profile = name;
        profile.profilePath = folder;
        profiles.push_back(std::move(profile));
    }
}

std::string SearchEngineText(const BrowserSettings& settings) {
    if (settings.searchEngineName.empty() && settings.searchEngineUrl.empty())
        return "the browser's default";
    if (settings.searchEngineUrl.empty()) return settings.searchEngineName;
    if (settings.searchEngineName.empty()) return settings.searchEngineUrl;
    return settings.searchEngineName + " (" + settings.searchEngineUrl + ")";
}

}  // namespace

std::vector<BrowserProfile> ReadBrowserProfiles(platform::Platform& platform) {
    std::vector<BrowserProfile> profiles;
    for (const BrowserKind& kind : kBrowsers)
        ReadProfilesOf(platform, kind, profiles);
    return profiles;
}

std::vector<std::string> BrowserProfileLines(const BrowserProfile& profile) {
    std::vector<std::string> lines;
    lines.push_back(profile.browser + ", profile \"" + profile.profile +
                    "\": " + profile.profilePath);
    if (!profile.readable) {
        lines.emplace_back("  Its settings could not be read.");
        return lines;
    }
    lines.push_back("  At start: " + (profile.startupChoiceNumber
                                          ? profile.startupChoice + " (" +
                                                std::to_string(*profile.startupChoiceNumber) + ")"
                                          : std::string("the browser's default")));
    if (profile.startPages.empty()) lines.emplace_back("  Start pages: none set");
    for (const std::string& page : profile.startPages)
        lines.push_back("  Start page: " + page);
    if (!profile.homePage.empty()) lines.push_back("  Home page: " + profile.homePage);
    lines.push_back("  Search engine: " + SearchEngineText(profile));
    return lines;
}

}  // namespace qm::shields
