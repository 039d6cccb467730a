#include "platform/win32/RegistrySettingsStore.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/WinApi.h"

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
    UniqueRegKey hkey;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, SectionKey(app, section).c_str(), 0, KEY_QUERY_VALUE,
                        hkey.put()) != ERROR_SUCCESS) {
        return fallback;
    }

    const auto isString = [](DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; };
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(hkey.get(), key.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return fallback;
    }
    // Another writer may lengthen the value between the size query and the read; that shows
    // as ERROR_MORE_DATA with the new size, and the read is tried again.
    for (int attempt = 0; attempt < 4 && isString(type); ++attempt) {
        // One byte more than reported: a stored string need not carry its terminating NUL.
        std::vector<BYTE> data(static_cast<std::size_t>(size) + 1, 0);
        DWORD got = static_cast<DWORD>(data.size());
        const LONG status =
            ::RegQueryValueExA(hkey.get(), key.c_str(), nullptr, &type, data.data(), &got);
        if (status == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        if (status != ERROR_SUCCESS || !isString(type)) return fallback;
        std::string value(reinterpret_cast<const char*>(data.data()),
                          std::min<std::size_t>(got, data.size()));
        // The text ends at the first NUL, wherever the stored data ends.
        const auto end = value.find('\0');
        if (end != std::string::npos) value.resize(end);
        return value;
    }
    return fallback;
}

void RegistrySettingsStore::Write(const std::string& app, const std::string& section,
                                  const std::string& key, const std::string& value) {
    if (app.empty() || section.empty()) return;
    if (value.size() >= std::numeric_limits<DWORD>::max()) return;
    UniqueRegKey hkey;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, SectionKey(app, section).c_str(), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, hkey.put(),
                          nullptr) != ERROR_SUCCESS) {
        return;
    }
    ::RegSetValueExA(hkey.get(), key.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
}

}  // namespace qm::platform::win32
