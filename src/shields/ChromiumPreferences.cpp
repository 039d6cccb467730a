// Edge and Chrome keep a profile's settings in one JSON file, "Preferences". Only the few keys
// that say what the browser opens are read; the file itself is never written.

#include <initializer_list>

#include <nlohmann/json.hpp>

#include "shields/BrowserSettings.h"

namespace qm::shields {

namespace {

using Json = nlohmann::json;

// The value at the end of a path of object keys; nothing when a step is missing or is no
// object.
const Json* At(const Json& root, std::initializer_list<const char*> path) {
    const Json* at = &root;
    for (const char* key : path) {
        if (!at->is_object()) return nullptr;
        const auto found = at->find(key);
        if (found == at->end()) return nullptr;
        at = &*found;
    }
    return at;
}

std::string StringAt(const Json& root, std::initializer_list<const char*> path) {
    const Json* value = At(root, path);
    return value && value->is_string() ? value->get<std::string>() : std::string();
}

// "session.restore_on_startup" in words. 0 is what versions before the startup pages wrote
// for "open the home page".
std::string StartupChoiceText(std::int64_t choice) {
    switch (choice) {
        case 0:
            return "open the home page";
        case 1:
            return "restore the last session";
        case 4:
            return "open the startup pages";
        case 5:
            return "open the new tab page";
        default:
            return "unknown choice";
    }
}

}  // namespace

BrowserSettings ParseChromiumPreferences(std::string_view json) {
    BrowserSettings settings;
    // No exceptions: a broken file is only marked discarded.
    const Json root = Json::parse(json.data(), json.data() + json.size(), nullptr, false);
    if (root.is_discarded() || !root.is_object()) return settings;
    settings.readable = true;
    settings.homePage = StringAt(root, {"homepage"});
    if (const Json* urls = At(root, {"session", "startup_urls"}); urls && urls->is_array()) {
        for (const Json& url : *urls) {
            if (url.is_string() && !url.get_ref<const std::string&>().empty())
                settings.startPages.push_back(url.get<std::string>());
        }
    }
    if (const Json* choice = At(root, {"session", "restore_on_startup"});
        choice && choice->is_number_integer()) {
        settings.startupChoiceNumber = choice->get<std::int64_t>();
        settings.startupChoice = StartupChoiceText(*settings.startupChoiceNumber);
    }
    settings.searchEngineName =
        StringAt(root, {"default_search_provider_data", "template_url_data", "short_name"});
    settings.searchEngineUrl =
        StringAt(root, {"default_search_provider_data", "template_url_data", "url"});
    if (settings.searchEngineName.empty() && settings.searchEngineUrl.empty()) {
        settings.searchEngineName = StringAt(root, {"default_search_provider", "name"});
        settings.searchEngineUrl = StringAt(root, {"default_search_provider", "search_url"});
    }
    return settings;
}

}  // namespace qm::shields
