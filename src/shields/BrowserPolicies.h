#pragma once
// The browsers' policy keys, as the browser policy guard sees them. Edge, Chrome and Firefox
// take their start page, the pages opened at start, the search engine and force-installed
// extensions from these keys, and show a browser so set as "managed by your organisation": a
// hijacker's favourite place. A state is every value under the watched keys and their
// subkeys, with its exact type and bytes, as the registry-editor files hold them.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"

namespace qm::shields {

// One watched key: its root, its path, the browser it steers, and the policies key above it
// ("Software\Policies"), whose registry watch tells when the key may have changed.
struct PolicyPlace {
    std::uint32_t root;
    std::string keyPath;
    std::string browser;
    std::string policiesKey;
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

// The same state kept between the guard's ticks, so that a tick where nothing changed costs
// next to nothing: a key is read again only when the registry watch on its policies key says
// something below it changed, and every time where no watch could be set. The watches are set
// before the first read; one that fires is set again before the read that follows.
class WatchedPolicies {
  public:
    explicit WatchedPolicies(platform::Registry& registry) : registry_(registry) {}

    // Reads again the keys that may have changed (all of them the first time); true when the
    // state differs from the one the last call left, and the first time.
    bool Refresh();
    // Reads every key again, whatever the watches say (after the guard's own writes, which
    // the next call then does not read again).
    void ReadAll();
    const PolicyState& State() const { return state_; }

  private:
    struct Watch {
        std::uint32_t root;
        std::string key;
        std::unique_ptr<platform::RegistryWatch> watch;  // nothing: read every time
    };
    platform::Registry& registry_;
    std::vector<Watch> watches_;             // one per policies key
    std::vector<std::size_t> watchOfPlace_;  // by WatchedPolicyPlaces()'s order
    std::vector<std::optional<std::vector<platform::regfile::Key>>> placeKeys_;
    PolicyState state_;
};

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
