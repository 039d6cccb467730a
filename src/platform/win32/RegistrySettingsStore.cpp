#include "platform/win32/RegistrySettingsStore.h"

namespace qm::platform::win32 {

namespace {

std::string SectionKey(const std::string& app, const std::string& section) {
    return std::string(RegistrySettingsStore::kRootKey) + "\\" + app + "\\" + section;
}

}  // namespace

std::string RegistrySettingsStore::Read(const std::string& app, const std::string& section,
                                        const std::string& key, const std::string& fallback) {
    // An empty name would address the parent key instead of the section.
    if (app.empty() || section.empty()) return fallback;
    const RegistryRead read =
        registry_.ReadValue(root::kCurrentUser, SectionKey(app, section), key);
    const bool isText =
        read.type == RegistryValueType::String || read.type == RegistryValueType::ExpandString;
    return read.status == RegistryRead::Status::Ok && isText ? read.text : fallback;
}

void RegistrySettingsStore::Write(const std::string& app, const std::string& section,
                                  const std::string& key, const std::string& value) {
    if (app.empty() || section.empty()) return;
    registry_.WriteString(root::kCurrentUser, SectionKey(app, section), key, value);
}

}  // namespace qm::platform::win32
