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
};

}  // namespace qm::platform::win32
