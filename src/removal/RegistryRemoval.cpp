#include "removal/RegistryRemoval.h"

#include <cstdlib>

#include "text/Text.h"

namespace qm::removal {

bool RegistryRemoval::DeleteKey(std::uint32_t root, const std::string& keyPath) {
    const std::string location = HiveNameOf(root) + "\\" + keyPath;
    const auto backup = registry_.ExportKey(root, keyPath);
    if (!backup) return false;
    const auto name = quarantine_.WriteRegBackup(location, *backup);
    if (!name) return false;
    if (!registry_.DeleteKeyTree(root, keyPath)) {
        // A tree deletion can stop half way: then the backup holds what is gone and stays.
        if (registry_.ExportKey(root, keyPath) == backup) {
            quarantine_.DiscardRegBackup(*name);
        } else {
            quarantine_.RecordRegistryBackup(location, std::nullopt, *name, *backup);
        }
        return false;
    }
    quarantine_.RecordRegistryBackup(location, std::nullopt, *name, *backup);
    quarantine_.LogRegistryRecord(std::to_string(static_cast<std::int32_t>(root)) + "\\" + keyPath,
                                  "All Values");
    return true;
}

bool RegistryRemoval::DeleteValue(std::uint32_t root, const std::string& keyPath,
                                  const std::string& valueName) {
    const std::string hive = HiveNameOf(root);
    const auto backup = registry_.ExportValue(root, keyPath, valueName);
    if (!backup) return false;
    const auto name = quarantine_.WriteRegBackup(hive + "\\" + keyPath + "\\" + valueName, *backup);
    if (!name) return false;
    if (!registry_.DeleteValue(root, keyPath, valueName)) {
        quarantine_.DiscardRegBackup(*name);
        return false;
    }
    quarantine_.RecordRegistryBackup(hive + "\\" + keyPath, valueName, *name, *backup);
    if (!valueName.empty()) quarantine_.LogRegistryRecord(hive + "\\" + keyPath, valueName);
    return true;
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
