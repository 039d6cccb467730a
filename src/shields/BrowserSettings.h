#pragma once
// What a browser profile opens: its start pages, what it does at start and its default search
// engine, read from the profile's own settings file. The two readers take the file's text and
// never touch the disk, so they can be tried on any bytes. The browsers write these files in
// UTF-8, and the readers hand their texts out in UTF-8 as they found them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm::shields {

struct BrowserSettings {
    // False when the file could not be read as a whole (broken, truncated, too large): what
    // follows is then empty.
    bool readable = false;
    // The page the Home button opens (Edge and Chrome only: Firefox's Home button opens its
    // start pages).
    std::string homePage;
    // The pages opened at start, in the browser's order.
    std::vector<std::string> startPages;
    // What the browser does at start, as the browser stores it, and in words; both empty when
    // the profile leaves it at the browser's default.
    std::optional<std::int64_t> startupChoiceNumber;
    std::string startupChoice;
    std::string searchEngineName;
    std::string searchEngineUrl;  // empty when the file names the engine only
};

// An Edge or Chrome "Preferences" file (JSON): "homepage", "session.startup_urls",
// "session.restore_on_startup" and the default search provider, in the current
// ("default_search_provider_data.template_url_data") or the older
// ("default_search_provider.search_url" and ".name") form. A value of another type than the
// browser writes is passed over.
BrowserSettings ParseChromiumPreferences(std::string_view json);

// A Firefox "prefs.js": its user_pref("name", value); lines. The start pages are
// "browser.startup.homepage" split at "|", what it does at start "browser.startup.page", the
// engine "browser.search.defaultenginename" or else "browser.urlbar.placeholderName". A line
// that is not a well-formed pref is passed over.
BrowserSettings ParseFirefoxPrefs(std::string_view prefsJs);

}  // namespace qm::shields
