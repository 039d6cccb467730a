#include "app/MachineSettings.h"

#include "text/Text.h"

namespace qm::app {

namespace {

using platform::RegistryRead;
using platform::RegistryValueType;

bool IsText(RegistryValueType type) {
    return type == RegistryValueType::String || type == RegistryValueType::ExpandString;
}

bool RunEntryPresent(platform::Registry& registry, std::uint32_t root,
                     const std::string& productName, const std::string& exeBaseName) {
    // Every text contains the empty name; without a name there is nothing to look for.
    if (exeBaseName.empty()) return false;
    const RegistryRead read = registry.ReadValue(root, kRunKey, text::Trim(productName));
    if (read.status != RegistryRead::Status::Ok || !IsText(read.type)) return false;
    return text::Lower(read.text).find(text::Lower(exeBaseName)) != std::string::npos;
}

}  // namespace

std::string MachineSettings::KeyPath(const std::string& app, const std::string& section) const {
    return "SOFTWARE\\" + text::Trim(product_.companyName) + "\\" + text::Trim(app) + "\\" +
           text::Trim(section);
}

bool MachineSettings::WriteMachineSetting(const std::string& app, const std::string& section,
                                          const std::string& key, const std::string& value) {
    for (;;) {
        if (registry_.WriteString(platform::root::kLocalMachine, KeyPath(app, section), key,
                                  value)) {
            return true;
        }
        if (settings::ParseFlag(userSettings_.Read(settings::section::kSettings,
                                                   "IgnorePermissionDeniedError", "0"),
                                false)) {
            return false;
        }
        const std::string text =
            product_.productName +
            " requires read/write access to the system registry and hard drive in order to run "
            "properly.  This user account does not have the proper permissions set.  As a "
            "result some or all of your settings may not be properly saved.  Please contact "
            "your system administrator or change the permission settings for this account.\r\n"
            "\r\nIf you would like to prevent this error message from being displayed again, "
            "please press 'Ignore'.";
        const ui::MessageAnswer answer =
            prompts_.ShowMessage(text, "Permission Denied", ui::MessageButtons::AbortRetryIgnore,
                                 ui::MessageIcon::Exclamation);
        if (answer == ui::MessageAnswer::Retry) continue;
        if (answer == ui::MessageAnswer::Ignore) {
            userSettings_.Write(settings::section::kSettings, "IgnorePermissionDeniedError", "1");
        }
        return false;
    }
}

MachineSettingRead MachineSettings::ReadMachineSetting(const std::string& app,
                                                       const std::string& section,
                                                       const std::string& key,
                                                       const std::string& fallback) {
    if (app.empty()) return {fallback, "AppName may not be empty"};
    if (section.empty()) return {fallback, "Section may not be empty"};
    if (key.empty()) return {fallback, "Key may not be empty"};
    const RegistryRead read =
        registry_.ReadValue(platform::root::kLocalMachine, KeyPath(app, section), key);
    switch (read.status) {
        case RegistryRead::Status::NoKey:
        case RegistryRead::Status::NoValue:
            return {fallback, {}};
        case RegistryRead::Status::KeyDenied:
            return {fallback, "Could not open registry section"};
        case RegistryRead::Status::ReadFailed:
            return {fallback, "Registry data not a string"};
        case RegistryRead::Status::Ok:
            break;
    }
    if (!IsText(read.type)) return {fallback, "Registry data not a string"};
    return {read.text, {}};
}

bool RunEntryPresentForAllUsers(platform::Registry& registry, const std::string& productName,
                                const std::string& exeBaseName) {
    return RunEntryPresent(registry, platform::root::kLocalMachine, productName, exeBaseName);
}

bool RunEntryPresentForThisUser(platform::Registry& registry, const std::string& productName,
                                const std::string& exeBaseName) {
    return RunEntryPresent(registry, platform::root::kCurrentUser, productName, exeBaseName);
}

}  // namespace qm::app
