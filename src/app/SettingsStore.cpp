#include "app/SettingsStore.h"

#include "definitions/Text.h"

namespace qm::app {

namespace {
std::tuple<std::string, std::string, std::string> KeyOf(const std::string& app,
                                                        const std::string& section,
                                                        const std::string& key) {
    return {text::Lower(app), text::Lower(section), text::Lower(key)};
}
}  // namespace

std::string MemorySettingsStore::Read(const std::string& app, const std::string& section,
                                      const std::string& key, const std::string& fallback) {
    const auto it = values_.find(KeyOf(app, section, key));
    return it == values_.end() ? fallback : it->second;
}

void MemorySettingsStore::Write(const std::string& app, const std::string& section,
                                const std::string& key, const std::string& value) {
    values_[KeyOf(app, section, key)] = value;
}

}  // namespace qm::app
