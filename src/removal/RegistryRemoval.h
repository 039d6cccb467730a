#pragma once
// Deleting registry keys and values for the removal run: each one is first exported into its
// own registry-editor file in the quarantine (read back to check it), so importing that file
// brings it back exactly; once it is gone, the manifest gets its entry. A key or value that
// cannot be exported is not deleted.

#include <cstdint>
#include <string>

#include "platform/Registry.h"
#include "removal/QuarantineStore.h"

namespace qm::removal {

class RegistryRemoval {
  public:
    RegistryRemoval(platform::Registry& registry, QuarantineStore& quarantine)
        : registry_(registry), quarantine_(quarantine) {}

    // The key with everything below it. Logged as "<signed root>\<key>", "All Values".
    // True when the key was deleted.
    bool DeleteKey(std::uint32_t root, const std::string& keyPath);
    // One value (an empty name is the key's default value, deleted without a log record).
    // Logged as "<hive name>\<key>" and the value's name. True when the value was deleted.
    bool DeleteValue(std::uint32_t root, const std::string& keyPath, const std::string& valueName);
    // A number is written as a 32-bit value, anything else as its trimmed text.
    void WriteValue(std::uint32_t root, const std::string& keyPath, const std::string& valueName,
                    const std::string& value);

  private:
    platform::Registry& registry_;
    QuarantineStore& quarantine_;
};

}  // namespace qm::removal
