#pragma once
// settings::SettingsStore in the per-user registry, one string value per setting:
//   HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>\<section>, value <key>, REG_SZ.
// Reading never creates anything; a missing key, a missing value or a value that is not a
// string reads as the caller's fallback.

#include "platform/win32/Win32Registry.h"
#include "settings/SettingsStore.h"

namespace qm::platform::win32 {

class RegistrySettingsStore final : public settings::SettingsStore {
  public:
    // The key below HKEY_CURRENT_USER that holds every application's settings.
    static constexpr const char* kRootKey = "Software\\VB and VBA Program Settings";

    std::string Read(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& fallback) override;
    void Write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override;

  private:
    Win32Registry registry_;
};

}  // namespace qm::platform::win32
