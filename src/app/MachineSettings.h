#pragma once
// The machine-wide settings (HKEY_LOCAL_MACHINE\SOFTWARE\<company>\<application>\<section>)
// and the Windows Run entries. Writing there needs administrative rights: a refused write
// tells the user once, with the "Permission Denied" box, until they choose Ignore.

#include <string>

#include "platform/Registry.h"
#include "platform/VersionInfo.h"
#include "settings/SettingsStore.h"
#include "ui/Interaction.h"

namespace qm::app {

// What ReadMachineSetting gives back: the value, or the reason it could not be read.
struct MachineSettingRead {
    std::string value;
    std::string error;  // empty when the read succeeded (or fell back to the default)
    bool ok() const { return error.empty(); }
};

class MachineSettings {
  public:
    MachineSettings(platform::Registry& registry, settings::ProgramSettings& userSettings,
                    ui::Prompts& prompts, platform::ProductInfo product)
        : registry_(registry),
          userSettings_(userSettings),
          prompts_(prompts),
          product_(std::move(product)) {}

    // True when the value was written; false when the machine refused it (and the user was
    // told, unless they chose to be told no more).
    bool WriteMachineSetting(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& value);
    MachineSettingRead ReadMachineSetting(const std::string& app, const std::string& section,
                                          const std::string& key, const std::string& fallback);

    // The key path below HKEY_LOCAL_MACHINE, each part trimmed of blanks.
    std::string KeyPath(const std::string& app, const std::string& section) const;

  private:
    platform::Registry& registry_;
    settings::ProgramSettings& userSettings_;
    ui::Prompts& prompts_;
    platform::ProductInfo product_;
};

// The machine-wide switch (section `Settings`, value "1") with which an administrator who runs
// an unsigned definition server of their own lets its answers in. Off unless set by hand.
inline constexpr const char* kAllowUnsignedDefinitions = "AllowUnsignedDefinitions";

// The key of the Run entries, under HKEY_LOCAL_MACHINE (all users) or HKEY_CURRENT_USER.
inline constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";

// True when the Run entry named by the trimmed product name is a string that mentions the
// executable's base name (any case). Anything else, or any failure, gives false.
bool RunEntryPresentForAllUsers(platform::Registry& registry, const std::string& productName,
                                const std::string& exeBaseName);
bool RunEntryPresentForThisUser(platform::Registry& registry, const std::string& productName,
                                const std::string& exeBaseName);

}  // namespace qm::app
