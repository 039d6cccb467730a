// libFuzzer target for the readers of the browsers' settings files: Edge and Chrome
// "Preferences" (JSON) and Firefox "prefs.js", each on the raw input and on the input set where
// the reader looks first (inside the start pages' array, inside the home page's string).
// Checked: an unreadable file gives nothing, a startup number always has its words, no start
// page is empty, and any page written into prefs.js with Firefox's escapes reads back as itself.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shields/BrowserSettings.h"
#include "text/Text.h"

namespace {

using qm::shields::BrowserSettings;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
}

void CheckSettings(const BrowserSettings& s) {
    Check(s.startupChoice.empty() == !s.startupChoiceNumber.has_value(),
          "a startup number has its words and only a number has words");
    for (const std::string& page : s.startPages)
        Check(!page.empty(), "no start page is empty");
    if (!s.readable) {
        Check(s.homePage.empty() && s.startPages.empty() && s.searchEngineName.empty() &&
                  s.searchEngineUrl.empty() && !s.startupChoiceNumber,
              "an unreadable file gives nothing");
    }
}

void Preferences(std::string_view input) {
    CheckSettings(qm::shields::ParseChromiumPreferences(input));
    const std::string inArray =
        "{\"session\": {\"startup_urls\": [" + std::string(input) + "]}, \"homepage\": \"h\"}";
    CheckSettings(qm::shields::ParseChromiumPreferences(inArray));
}

// The input as one page: no "|" (it separates pages), no NUL (Firefox refuses it) and no
// blanks at its ends (they are trimmed away).
std::string AsOnePage(std::string_view input) {
    std::string page;
    for (char c : input) {
        if (c != '|' && c != '\0') page += c;
    }
    return qm::text::Trim(page);
}

// The page as Firefox writes it into a string literal.
std::string Escaped(std::string_view page) {
    std::string out;
    for (char c : page) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void Prefs(std::string_view input) {
    const BrowserSettings raw = qm::shields::ParseFirefoxPrefs(input);
    CheckSettings(raw);
    for (const std::string& page : raw.startPages)
        Check(page.find('|') == std::string::npos, "a start page holds no separator");

    const BrowserSettings inString = qm::shields::ParseFirefoxPrefs(
        "user_pref(\"browser.startup.homepage\", \"" + std::string(input) + "\");");
    CheckSettings(inString);

    const std::string page = AsOnePage(input);
    if (page.empty()) return;
    const BrowserSettings written = qm::shields::ParseFirefoxPrefs(
        "user_pref(\"browser.startup.homepage\", \"" + Escaped(page) + "\");\n");
    Check(written.startPages.size() == 1 && written.startPages[0] == page,
          "a page written with its escapes reads back as itself");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    Preferences(input);
    Prefs(input);
    return 0;
}
