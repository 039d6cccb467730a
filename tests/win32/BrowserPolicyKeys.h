#pragma once
// The browsers' policy keys the guard's tests write to on the real registry, their removal
// before and after each test, and a value's text as the tests compare it.

#include <cstdint>
#include <string>

#include "platform/Registry.h"

namespace qm::wintest {

inline constexpr const char* kChromePolicies = "Software\\Policies\\Google\\Chrome";
inline constexpr const char* kEdgePolicies = "Software\\Policies\\Microsoft\\Edge";
inline constexpr const char* kEdgeForcelist =
    "Software\\Policies\\Microsoft\\Edge\\ExtensionInstallForcelist";
inline constexpr const char* kFirefoxPolicies = "Software\\Policies\\Mozilla\\Firefox";
inline constexpr const char* kExtensionLine =
    "abcdefghijklmnopabcdefghijklmnop;http://evil.example/crx";

// The three browsers' keys, the user's and the machine's, with everything below them.
inline void RemoveBrowserPolicies(platform::Registry& registry) {
    for (const std::uint32_t root : {platform::root::kCurrentUser, platform::root::kLocalMachine}) {
        for (const char* key : {kChromePolicies, kEdgePolicies, kFirefoxPolicies})
            registry.DeleteKeyTree(root, key);
    }
}

// The text of a string value, or "(none)" when there is no such value.
inline std::string PolicyText(platform::Registry& registry, std::uint32_t root, const char* key,
                              const char* name) {
    const auto read = registry.ReadValue(root, key, name);
    return read.status == platform::RegistryRead::Status::Ok ? read.text : "(none)";
}

}  // namespace qm::wintest
