#include "settings/SettingsStore.h"

#include <cstdlib>

#include "text/Text.h"

namespace qm::settings {

namespace {
std::tuple<std::string, std::string, std::string> KeyOf(const std::string& app,
                                                        const std::string& section,
                                                        const std::string& key) {
    return {text::Lower(app), text::Lower(section), text::Lower(key)};
}
}  // namespace

bool ParseFlag(std::string_view value, bool fallback) {
    const std::string text = text::Trim(value);
    if (text::EqualsNoCase(text, "True") || text::EqualsNoCase(text, "Yes")) return true;
    if (text::EqualsNoCase(text, "False") || text::EqualsNoCase(text, "No")) return false;
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (!text.empty() && end && *end == '\0') return number != 0;
    return fallback;
}

std::string MemorySettingsStore::Read(const std::string& app, const std::string& section,
                                      const std::string& key, const std::string& fallback) {
    const auto it = values_.find(KeyOf(app, section, key));
    return it == values_.end() ? fallback : it->second;
}

void MemorySettingsStore::Write(const std::string& app, const std::string& section,
                                const std::string& key, const std::string& value) {
    values_[KeyOf(app, section, key)] = value;
}

}  // namespace qm::settings
