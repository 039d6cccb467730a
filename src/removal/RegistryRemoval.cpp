#include "removal/RegistryRemoval.h"

#include <cstdlib>

#include "definitions/Text.h"

namespace qm::removal {

std::string HiveNameOf(std::uint32_t root) {
    switch (root) {
        case platform::root::kClassesRoot:
            return "HKEY_CLASSES_ROOT";
        case platform::root::kCurrentUser:
            return "HKEY_CURRENT_USER";
        case platform::root::kLocalMachine:
            return "HKEY_LOCAL_MACHINE";
        case platform::root::kUsers:
            return "HKEY_USERS";
        case platform::root::kCurrentConfig:
            return "HKEY_CURRENT_CONFIG";
        case platform::root::kDynData:
            return "HKEY_DYN_DATA";
        default:
            return {};
    }
}

bool RegistryRemoval::DeleteKey(std::uint32_t root, const std::string& keyPath) {
    const auto backup = registry_.ExportKey(root, HiveNameOf(root), keyPath);
    if (!backup || !quarantine_.WriteRegBackup(HiveNameOf(root) + "\\" + keyPath, *backup)) {
        return false;
    }
    if (!registry_.DeleteKeyTree(root, keyPath)) return false;
    quarantine_.LogRegistryRecord(std::to_string(static_cast<std::int32_t>(root)) + "\\" + keyPath,
                                  "All Values");
    return true;
}

void RegistryRemoval::DeleteValue(std::uint32_t root, const std::string& keyPath,
                                  const std::string& valueName) {
    const std::string hive = HiveNameOf(root);
    const auto backup = registry_.ExportValue(root, hive, keyPath, valueName);
    if (!backup || !quarantine_.WriteRegBackup(hive + "\\" + keyPath + "\\" + valueName, *backup)) {
        return;
    }
    registry_.DeleteValue(root, keyPath, valueName);
    if (!valueName.empty()) quarantine_.LogRegistryRecord(hive + "\\" + keyPath, valueName);
}

void RegistryRemoval::WriteValue(std::uint32_t root, const std::string& keyPath,
                                 const std::string& valueName, const std::string& value) {
    const std::string text = text::Trim(value);
    char* end = nullptr;
    const long long number = std::strtoll(text.c_str(), &end, 10);
    if (!text.empty() && *end == '\0' && number >= 0 && number <= 0xFFFFFFFFll) {
        registry_.WriteNumber(root, keyPath, valueName, static_cast<std::uint32_t>(number));
    } else {
        registry_.WriteString(root, keyPath, valueName, text);
    }
}

}  // namespace qm::removal
