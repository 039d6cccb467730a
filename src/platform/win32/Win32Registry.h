#pragma once
// platform::Registry over the ANSI registry API.

#include "platform/Registry.h"

namespace qm::platform::win32 {

class Win32Registry final : public Registry {
  public:
    RegistryRead ReadValueAs(std::uint32_t root, const std::string& keyPath,
                             const std::string& valueName, RegistryAccess access) override;
    bool KeyOpens(std::uint32_t root, const std::string& keyPath, RegistryAccess access) override;
    bool WriteString(std::uint32_t root, const std::string& keyPath, const std::string& valueName,
                     const std::string& value) override;
    bool DeleteValue(std::uint32_t root, const std::string& keyPath,
                     const std::string& valueName) override;
    bool DeleteKeyTree(std::uint32_t root, const std::string& keyPath) override;
    bool WriteNumber(std::uint32_t root, const std::string& keyPath, const std::string& valueName,
                     std::uint32_t value) override;
    std::optional<std::string> ExportValue(std::uint32_t root, const std::string& keyPath,
                                           const std::string& valueName) override;
    std::optional<std::string> ExportKey(std::uint32_t root, const std::string& keyPath) override;
    std::optional<std::vector<platform::regfile::Key>> ReadKeyTree(
        std::uint32_t root, const std::string& keyPath) override;
    ImportResult ImportRegistryFile(const std::string& fileBytes) override;
    std::unique_ptr<RegistryWatch> WatchKeyTree(std::uint32_t root,
                                                const std::string& keyPath) override;
};

}  // namespace qm::platform::win32
