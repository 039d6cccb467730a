#pragma once
// The system registry as the core sees it: roots are the predefined key handles as numbers,
// key paths and value names are ANSI text.

#include <cstdint>
#include <string>

namespace qm::platform {

namespace root {
inline constexpr std::uint32_t kClassesRoot = 0x80000000;
inline constexpr std::uint32_t kCurrentUser = 0x80000001;
inline constexpr std::uint32_t kLocalMachine = 0x80000002;
inline constexpr std::uint32_t kUsers = 0x80000003;
inline constexpr std::uint32_t kCurrentConfig = 0x80000005;
inline constexpr std::uint32_t kDynData = 0x80000006;
}  // namespace root

enum class RegistryValueType { String, ExpandString, Number, Other };

struct RegistryRead {
    enum class Status {
        Ok,
        NoKey,       // the key path does not exist
        KeyDenied,   // the key exists but could not be opened
        NoValue,     // the key has no such value
        ReadFailed,  // the value exists but could not be read
    };
    Status status = Status::NoKey;
    RegistryValueType type = RegistryValueType::Other;
    std::string text;  // string types, without the terminating NUL
    std::uint32_t number = 0;
};

class Registry {
  public:
    virtual ~Registry() = default;
    // Opens the key for reading and reads one value (an empty name reads the default value).
    virtual RegistryRead ReadValue(std::uint32_t root, const std::string& keyPath,
                                   const std::string& valueName) = 0;
    // Creates or opens the key with full access and sets a string value.
    virtual bool WriteString(std::uint32_t root, const std::string& keyPath,
                             const std::string& valueName, const std::string& value) = 0;
    virtual bool DeleteValue(std::uint32_t root, const std::string& keyPath,
                             const std::string& valueName) = 0;
};

}  // namespace qm::platform
