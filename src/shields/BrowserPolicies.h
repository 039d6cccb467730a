#pragma once
// The browsers' policy keys, as the browser policy guard sees them. Edge, Chrome and Firefox
// take their start page, the pages opened at start, the search engine and force-installed
// extensions from these keys, and show a browser so set as "managed by your organisation": a
// hijacker's favourite place. A state is every value under the watched keys and their
// subkeys, with its exact type and bytes, as the registry-editor files hold them.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"

namespace qm::shields {

// One watched key: its root, its path and the browser it steers.
struct PolicyPlace {
    std::uint32_t root;
    std::string keyPath;
    std::string browser;
};

// Edge, Chrome and Firefox under the user's and the machine's keys; the machine's in both
// registry views (a 32-bit installer writes below "WOW6432Node").
const std::vector<PolicyPlace>& WatchedPolicyPlaces();

// Where a value lives: root, key path and value name, names as the registry holds them.
struct PolicyLocation {
    std::uint32_t root = 0;
    std::u16string keyPath;
    std::u16string valueName;
    auto operator<=>(const PolicyLocation&) const = default;
};

struct PolicyData {
    std::uint32_t type = 0;
    std::string bytes;
    bool operator==(const PolicyData&) const = default;
};

using PolicyState = std::map<PolicyLocation, PolicyData>;

// Every value under the watched keys now. A key that is not there adds nothing.
PolicyState ReadPolicyState(platform::Registry& registry);

// One difference between the accepted state and the registry.
struct PolicyChange {
    enum class Kind { Added, Changed, Removed };
    Kind kind = Kind::Added;
    PolicyLocation location;
    std::optional<PolicyData> accepted;  // nothing for an added value
    std::optional<PolicyData> current;   // nothing for a removed value
};

std::vector<PolicyChange> Differences(const PolicyState& accepted, const PolicyState& current);

// The browser a location belongs to ("Chrome"), the key's full name
// ("HKEY_CURRENT_USER\Software\Policies\Google\Chrome") and the value's name and data as the
// user reads them: text as text, a number in decimal, anything else in hex.
std::string BrowserOf(const PolicyLocation& location);
std::string KeyNameOf(const PolicyLocation& location);
std::string ValueNameOf(const PolicyLocation& location);
std::string DataText(const PolicyData& data);
// A name as the registry's ANSI calls take it; nothing when it is not plain ASCII.
std::optional<std::string> AsciiName(std::u16string_view name);

// The registry-editor file that sets exactly these values (nothing for an empty state).
std::optional<std::string> FormatPolicyState(const PolicyState& state);
std::optional<PolicyState> ParsePolicyState(const std::string& fileBytes);

// The accepted state is kept in the data folder, in the registry editor's own form, so a
// person can read it and the program can put any value of it back.
inline constexpr const char* kAcceptedPoliciesFile = "BrowserPolicies.reg";

class AcceptedPolicies {
  public:
    AcceptedPolicies(platform::FileSystem& files, std::string dataFolder)
        : files_(files), path_(std::move(dataFolder) + "\\" + kAcceptedPoliciesFile) {}

    // Nothing when no state was ever accepted (the first look), or the file does not read.
    std::optional<PolicyState> Load() const;
    // Written beside and moved into place; false when it could not be written.
    bool Save(const PolicyState& state);
    const std::string& Path() const { return path_; }

  private:
    platform::FileSystem& files_;
    std::string path_;
};

}  // namespace qm::shields
