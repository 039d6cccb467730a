// What the browsers open: the Edge and Chrome "Preferences" reader, the Firefox "prefs.js"
// reader, the profiles found on the fake machine with their texts in its code page, and the
// lines the report and the console show for a profile.

#include "shields/BrowserProfiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FakePlatform.h"

namespace qm::shields {
namespace {

using Pages = std::vector<std::string>;

// ---- Edge and Chrome: Preferences --------------------------------------------------------

TEST(ChromiumPreferences, ReadsTheStartPagesTheStartupChoiceAndTheSearchProvider) {
    const BrowserSettings s = ParseChromiumPreferences(R"({
        "homepage": "https://home.example/",
        "browser": {"show_home_button": true},
        "session": {"restore_on_startup": 4,
                    "startup_urls": ["https://one.example/", "https://two.example/?a=1&b=\u00e9"]},
        "default_search_provider_data": {"template_url_data": {
            "short_name": "Finder", "keyword": "finder.example",
            "url": "https://finder.example/s?q={searchTerms}"}}
    })");
    EXPECT_TRUE(s.readable);
    EXPECT_EQ(s.homePage, "https://home.example/");
    EXPECT_EQ(s.startPages, (Pages{"https://one.example/", "https://two.example/?a=1&b=\xC3\xA9"}));
    EXPECT_EQ(s.startupChoiceNumber, 4);
    EXPECT_EQ(s.startupChoice, "open the startup pages");
    EXPECT_EQ(s.searchEngineName, "Finder");
    EXPECT_EQ(s.searchEngineUrl, "https://finder.example/s?q={searchTerms}");
}

TEST(ChromiumPreferences, TakesTheOlderSearchProviderWhenTheCurrentOneIsMissing) {
    const BrowserSettings s = ParseChromiumPreferences(
        R"({"default_search_provider": {"enabled": true, "name": "Old Finder",
            "search_url": "http://old.example/?q={searchTerms}"}})");
    EXPECT_EQ(s.searchEngineName, "Old Finder");
    EXPECT_EQ(s.searchEngineUrl, "http://old.example/?q={searchTerms}");
    EXPECT_FALSE(s.startupChoiceNumber);
    EXPECT_TRUE(s.startPages.empty());
}

struct StartupCase {
    const char* json;
    std::optional<std::int64_t> number;
    const char* words;
};

class ChromiumStartupChoice : public ::testing::TestWithParam<StartupCase> {};

TEST_P(ChromiumStartupChoice, KeepsTheNumberAndSaysItInWords) {
    const BrowserSettings s = ParseChromiumPreferences(GetParam().json);
    EXPECT_EQ(s.startupChoiceNumber, GetParam().number);
    EXPECT_EQ(s.startupChoice, GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ChromiumStartupChoice,
    ::testing::Values(StartupCase{R"({"session":{"restore_on_startup":5}})", 5,
                                  "open the new tab page"},
                      StartupCase{R"({"session":{"restore_on_startup":-7}})", -7, "unknown choice"},
                      // Not the integer the browser writes: left at the browser's default.
                      StartupCase{R"({"session":{"restore_on_startup":"4"}})", std::nullopt, ""},
                      StartupCase{R"({"session":{"restore_on_startup":4.5}})", std::nullopt, ""},
                      StartupCase{R"({"session":[4]})", std::nullopt, ""}));

TEST(ChromiumPreferences, PassesOverValuesOfAnotherTypeAndKeepsTheRest) {
    const BrowserSettings s = ParseChromiumPreferences(R"({
        "homepage": ["https://not-a-string.example/"],
        "session": {"startup_urls": [1, "https://kept.example/", null, "", {"u": "x"}, true]},
        "default_search_provider_data": {"template_url_data": "Finder"},
        "default_search_provider": {"name": 5, "search_url": "https://fallback.example/?q=%s"}
    })");
    EXPECT_TRUE(s.readable);
    EXPECT_EQ(s.homePage, "");
    EXPECT_EQ(s.startPages, Pages{"https://kept.example/"});
    EXPECT_EQ(s.searchEngineName, "");
    EXPECT_EQ(s.searchEngineUrl, "https://fallback.example/?q=%s");
    EXPECT_TRUE(ParseChromiumPreferences(R"({"session": {"startup_urls": "https://a/"}})")
                    .startPages.empty());
}

class BrokenPreferences : public ::testing::TestWithParam<std::string> {};

TEST_P(BrokenPreferences, GiveAnUnreadableProfileWithNothingRead) {
    const BrowserSettings s = ParseChromiumPreferences(GetParam());
    EXPECT_FALSE(s.readable);
    EXPECT_EQ(s.homePage, "");
    EXPECT_TRUE(s.startPages.empty());
    EXPECT_EQ(s.searchEngineName, "");
}

INSTANTIATE_TEST_SUITE_P(Texts, BrokenPreferences,
                         ::testing::Values("", "{", R"({"homepage": "https://cut.example/")",
                                           R"({"homepage": "https://a/",})", "[\"https://a/\"]",
                                           "null", "42",
                                           std::string(R"({"homepage": "bad )") + "\xFF\xFE" +
                                               "\"}",
                                           std::string(100000, '[')));

// ---- Firefox: prefs.js -------------------------------------------------------------------

TEST(FirefoxPrefs, ReadsTheStartPagesOfOneValueWithTheirEscapes) {
    const BrowserSettings s = ParseFirefoxPrefs(
        "// Mozilla User Preferences\n"
        "/* Do not edit this file.\n   user_pref(\"browser.startup.homepage\", \"x\"); */\n"
        "user_pref(\"browser.startup.homepage\", "
        "\"https://a.example/?q=\\\"x\\\"| https://b.example/a\\\\b ||"
        "https://\\u00E9t\\u00e9.example/\\ud83d\\ude00|https://\\x41.example/\");\n"
        "user_pref(\"browser.startup.page\", 1);\n");
    EXPECT_TRUE(s.readable);
    EXPECT_EQ(s.startPages,
              (Pages{"https://a.example/?q=\"x\"", "https://b.example/a\\b",
                     "https://\xC3\xA9t\xC3\xA9.example/\xF0\x9F\x98\x80", "https://A.example/"}));
    EXPECT_EQ(s.startupChoiceNumber, 1);
    EXPECT_EQ(s.startupChoice, "open the home page");
    EXPECT_EQ(s.homePage, "");
}

struct PrefsCase {
    const char* label;
    std::string prefs;
    Pages pages;
};

class FirefoxHomePage : public ::testing::TestWithParam<PrefsCase> {};

TEST_P(FirefoxHomePage, IsTheValueOfThatPrefAlone) {
    EXPECT_EQ(ParseFirefoxPrefs(GetParam().prefs).startPages, GetParam().pages);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FirefoxHomePage,
    ::testing::Values(
        PrefsCase{
            "SingleQuotesAndSpacing",
            "\xEF\xBB\xBF  user_pref ( 'browser.startup.homepage' ,\t'https://q.example/\\'s' )"
            " ;",
            {"https://q.example/'s"}},
        // A name that starts like it, or the name inside another pref's value, is another pref.
        PrefsCase{
            "OtherPrefsNamingIt",
            "user_pref(\"browser.startup.homepage_override.mstone\", \"115.0\");\n"
            "user_pref(\"x.note\", \"user_pref(\\\"browser.startup.homepage\\\", \\\"no\\\")\");",
            {}},
        PrefsCase{"LaterLineWins",
                  "user_pref(\"browser.startup.homepage\", \"https://first/\");\n"
                  "user_pref(\"browser.startup.homepage\", \"https://second/\");",
                  {"https://second/"}},
        // A malformed pref is passed over from its line on; the next line is read.
        PrefsCase{"UnendedStringBefore",
                  "user_pref(\"browser.startup.homepage\", \"https://cut/);\n"
                  "user_pref(\"browser.startup.homepage\", \"https://next/\");",
                  {"https://next/"}},
        PrefsCase{"LoneSurrogate",
                  "user_pref(\"browser.startup.homepage\", \"https://a\\ud83d\\u0041/\");",
                  {"https://a\xEF\xBF\xBD"
                   "A/"}},
        PrefsCase{"CommentedOut",
                  "# user_pref(\"browser.startup.homepage\", \"https://hash/\");\n"
                  "// user_pref(\"browser.startup.homepage\", \"https://slashes/\");",
                  {}}),
    [](const auto& p) { return std::string(p.param.label); });

struct EngineCase {
    const char* label;
    std::string prefs;
    const char* engine;
};

class FirefoxSearchEngine : public ::testing::TestWithParam<EngineCase> {};

TEST_P(FirefoxSearchEngine, IsTheEngineANamePrefNames) {
    const BrowserSettings s = ParseFirefoxPrefs(GetParam().prefs);
    EXPECT_EQ(s.searchEngineName, GetParam().engine);
    EXPECT_EQ(s.searchEngineUrl, "");
}

INSTANTIATE_TEST_SUITE_P(
    Files, FirefoxSearchEngine,
    ::testing::Values(
        EngineCase{"DefaultEngineName",
                   "user_pref(\"browser.search.defaultenginename\", \"Finder\");\n"
                   "user_pref(\"browser.urlbar.placeholderName\", \"Other\");",
                   "Finder"},
        EngineCase{"PlaceholderName", "user_pref(\"browser.urlbar.placeholderName\", \"Other\");",
                   "Other"},
        // A reference into the browser's string tables names nothing the user would know.
        EngineCase{"LocalisedReference",
                   "user_pref(\"browser.search.defaultenginename\", "
                   "\"chrome://browser-region/locale/region.properties\");\n"
                   "user_pref(\"browser.urlbar.placeholderName\", \"Other\");",
                   "Other"}),
    [](const auto& p) { return std::string(p.param.label); });

TEST(FirefoxPrefs, SaysTheStartupPageInWords) {
    const auto words = [](const std::string& value) {
        return ParseFirefoxPrefs("user_pref(\"browser.startup.page\", " + value + ");")
            .startupChoice;
    };
    EXPECT_EQ(words("+2"), "open the last visited page");
    EXPECT_EQ(words("9"), "unknown choice");
    EXPECT_EQ(words("\"3\""), "");
    EXPECT_EQ(words("99999999999999999999999"), "");
    EXPECT_EQ(words("true"), "");
}

// ---- The profiles on the machine ---------------------------------------------------------

constexpr const char* kLocal = "C:\\users\\tester\\AppData\\Local";
const std::string kEdge = std::string(kLocal) + "\\Microsoft\\Edge\\User Data";
const std::string kChrome = std::string(kLocal) + "\\Google\\Chrome\\User Data";
const std::string kFirefox = "C:\\users\\tester\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles";

std::string StartPagePreferences(const std::string& page) {
    return R"({"session": {"restore_on_startup": 4, "startup_urls": [")" + page + R"("]}})";
}

class BrowserProfilesTest : public ::testing::Test {
  protected:
    void SetUp() override { m.shell.folders[28] = kLocal; }

    // A file in a profile's folder; the fake machine lists only folders it was given.
    void Put(const std::string& folder, const std::string& file, const std::string& content) {
        m.files.PutFolder(folder);
        m.files.PutFile(folder + "\\" + file, content);
    }

    // browser/profile/first start page of every profile read, in order.
    std::vector<std::string> Found() {
        std::vector<std::string> found;
        for (const BrowserProfile& p : ReadBrowserProfiles(m.platform)) {
            found.push_back(p.browser + "/" + p.profile + "/" +
                            (p.startPages.empty() ? "-" : p.startPages.front()));
        }
        return found;
    }

    test::FakeMachine m;
};

TEST_F(BrowserProfilesTest, EveryProfileOfEachBrowserInTheOrderOfItsName) {
    Put(kChrome + "\\Profile 1", "Preferences", StartPagePreferences("https://c1/"));
    Put(kChrome + "\\Default", "Preferences", StartPagePreferences("https://cd/"));
    Put(kEdge + "\\Default", "Preferences", StartPagePreferences("https://ed/"));
    m.files.PutFile(kEdge + "\\Local State", "{}");
    // Folders of the browser's own beside the profiles, without the settings file.
    m.files.PutFolder(kChrome + "\\Crashpad");
    Put(kChrome + "\\System Profile", "Secure Preferences", "{}");
    m.files.PutFolder(kEdge + "\\Profile 2");
    m.files.PutFolder(kEdge + "\\Profile 2\\Preferences");  // a folder, not the file
    Put(kFirefox + "\\ab12.default-release", "prefs.js",
        "user_pref(\"browser.startup.homepage\", \"https://ff/|https://ff2/\");");
    Put(kFirefox + "\\zz.old", "times.json", "{}");
    EXPECT_EQ(Found(),
              (std::vector<std::string>{"Edge/Default/https://ed/", "Chrome/Default/https://cd/",
                                        "Chrome/Profile 1/https://c1/",
                                        "Firefox/ab12.default-release/https://ff/"}));
    const auto profiles = ReadBrowserProfiles(m.platform);
    EXPECT_EQ(profiles[2].profilePath, kChrome + "\\Profile 1");
    EXPECT_EQ(profiles[3].startPages, (Pages{"https://ff/", "https://ff2/"}));
}

TEST_F(BrowserProfilesTest, TextsAreHandedOutInTheSystemsCodePage) {
    Put(kChrome + "\\Default", "Preferences",
        R"({"homepage": "https://caf\u00e9.example/\u20ac",
                        "default_search_provider_data": {"template_url_data":
                            {"short_name": "Sch\u00f6n", "url": "https://s.example/"}}})");
    const auto profiles = ReadBrowserProfiles(m.platform);
    ASSERT_EQ(profiles.size(), 1u);
    EXPECT_EQ(profiles[0].homePage, "https://caf\xE9.example/?");  // no euro sign in Latin-1
    EXPECT_EQ(profiles[0].searchEngineName, "Sch\xF6n");
}

TEST_F(BrowserProfilesTest, ABrokenOrOversizedFileStillListsItsProfileAsUnreadable) {
    Put(kEdge + "\\Default", "Preferences", "{\"homepage\": ");
    Put(kEdge + "\\Profile 1", "Preferences",
        "{\"homepage\": \"https://huge/\", \"pad\": \"" +
            std::string(kLargestBrowserSettingsFile, 'x') + "\"}");
    Put(kEdge + "\\Profile 2", "Preferences", StartPagePreferences("https://fine/"));
    const auto profiles = ReadBrowserProfiles(m.platform);
    ASSERT_EQ(profiles.size(), 3u);
    EXPECT_FALSE(profiles[0].readable);
    EXPECT_FALSE(profiles[1].readable);
    EXPECT_EQ(profiles[1].homePage, "");
    EXPECT_TRUE(profiles[2].readable);
    EXPECT_EQ(profiles[2].startPages, Pages{"https://fine/"});
}

TEST_F(BrowserProfilesTest, NoBrowserFolderOrNoSpecialFolderGivesNoProfiles) {
    EXPECT_TRUE(Found().empty());
    Put(kFirefox + "\\p.default", "prefs.js", "");
    Put(kChrome + "\\Default", "Preferences", "{}");
    m.shell.folders.erase(28);
    m.shell.folders[26] = "";
    EXPECT_TRUE(Found().empty());
    // A folder given with a trailing backslash names the same profiles.
    m.shell.folders[28] = std::string(kLocal) + "\\";
    EXPECT_EQ(Found(), std::vector<std::string>{"Chrome/Default/-"});
}

}  // namespace
}  // namespace qm::shields
