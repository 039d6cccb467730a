#include "shields/BrowserPolicies.h"

#include <cstdio>

#include "text/Text.h"

namespace qm::shields {

namespace {

// A policy file larger than this is no state the program wrote.
constexpr std::uint64_t kLargestStateFile = 16u * 1024 * 1024;
// Binary data is shown up to this many bytes.
constexpr std::size_t kShownBytes = 64;

std::u16string Widen(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

// The names the program writes are plain ASCII; a character beyond it shows as "?".
std::string Narrow(std::u16string_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (const char16_t c : wide)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace

std::optional<std::string> AsciiName(std::u16string_view name) {
    for (const char16_t c : name) {
        if (c >= 0x80) return std::nullopt;
    }
    return Narrow(name);
}

const std::vector<PolicyPlace>& WatchedPolicyPlaces() {
    static const std::vector<PolicyPlace> places = [] {
        const struct {
            const char* below;
            const char* browser;
        } browsers[] = {{"Microsoft\\Edge", "Edge"},
                        {"Google\\Chrome", "Chrome"},
                        {"Mozilla\\Firefox", "Firefox"}};
        std::vector<PolicyPlace> list;
        const std::string policies = "Software\\Policies", wow = "Software\\WOW6432Node\\Policies";
        for (const auto& b : browsers) {
            const std::string below = std::string("\\") + b.below;
            list.push_back({platform::root::kCurrentUser, policies + below, b.browser, policies});
            list.push_back({platform::root::kLocalMachine, policies + below, b.browser, policies});
            list.push_back({platform::root::kLocalMachine, wow + below, b.browser, wow});
        }
        return list;
    }();
    return places;
}

namespace {

// "Software\Policies" is one key for both registry views on current Windows (and Wine): read
// below "WOW6432Node" it shows the very values read without it. Such a value is watched once,
// under its own path; one that differs there is the 32-bit view's own.
std::u16string Folded(std::u16string_view s) {
    std::u16string out(s);
    for (char16_t& c : out)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    return out;
}

void DropSharedViewCopies(PolicyState& state) {
    const std::u16string wow = u"software\\wow6432node\\";
    // The machine's values outside "WOW6432Node", by their names in one case as the registry
    // compares them.
    std::map<std::pair<std::u16string, std::u16string>, const PolicyData*> native;
    for (const auto& [at, data] : state) {
        if (at.root == platform::root::kLocalMachine && !Folded(at.keyPath).starts_with(wow))
            native[{Folded(at.keyPath), Folded(at.valueName)}] = &data;
    }
    for (auto it = state.begin(); it != state.end();) {
        const PolicyLocation& at = it->first;
        const std::u16string key = Folded(at.keyPath);
        if (at.root == platform::root::kLocalMachine && key.starts_with(wow)) {
            const auto same =
                native.find({u"software\\" + key.substr(wow.size()), Folded(at.valueName)});
            if (same != native.end() && *same->second == it->second) {
                it = state.erase(it);
                continue;
            }
        }
        ++it;
    }
}

using PlaceKeys = std::optional<std::vector<platform::regfile::Key>>;

PlaceKeys ReadPlace(platform::Registry& registry, const PolicyPlace& place) {
    return registry.ReadKeyTree(place.root, place.keyPath);
}

PolicyState StateOf(const std::vector<PlaceKeys>& places) {
    PolicyState state;
    for (const PlaceKeys& keys : places) {
        if (!keys) continue;
        for (const auto& key : *keys) {
            for (const auto& value : key.values)
                state[{key.root, key.path, value.name}] = {value.type, value.data};
        }
    }
    DropSharedViewCopies(state);
    return state;
}

}  // namespace

PolicyState ReadPolicyState(platform::Registry& registry) {
    std::vector<PlaceKeys> places;
    for (const PolicyPlace& place : WatchedPolicyPlaces())
        places.push_back(ReadPlace(registry, place));
    return StateOf(places);
}

void WatchedPolicies::ReadAll() {
    // What the watches have to tell is in the read that follows: told now, it is not read
    // again at the next call.
    for (Watch& w : watches_) {
        if (w.watch) w.watch->Changed();
    }
    const auto& places = WatchedPolicyPlaces();
    placeKeys_.resize(places.size());
    for (std::size_t i = 0; i < places.size(); ++i)
        placeKeys_[i] = ReadPlace(registry_, places[i]);
    state_ = StateOf(placeKeys_);
}

bool WatchedPolicies::Refresh() {
    const auto& places = WatchedPolicyPlaces();
    if (watchOfPlace_.empty()) {
        for (const PolicyPlace& place : places) {
            std::size_t w = 0;
            while (w < watches_.size() &&
                   (watches_[w].root != place.root || watches_[w].key != place.policiesKey)) {
                ++w;
            }
            if (w == watches_.size()) {
                watches_.push_back({place.root, place.policiesKey,
                                    registry_.WatchKeyTree(place.root, place.policiesKey)});
            }
            watchOfPlace_.push_back(w);
        }
        ReadAll();
        return true;
    }
    std::vector<bool> changed;
    for (Watch& w : watches_)
        changed.push_back(!w.watch || w.watch->Changed());
    bool read = false;
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (!changed[watchOfPlace_[i]]) continue;
        placeKeys_[i] = ReadPlace(registry_, places[i]);
        read = true;
    }
    if (!read) return false;
    PolicyState now = StateOf(placeKeys_);
    if (now == state_) return false;
    state_ = std::move(now);
    return true;
}

std::vector<PolicyChange> Differences(const PolicyState& accepted, const PolicyState& current) {
    std::vector<PolicyChange> changes;
    for (const auto& [location, data] : current) {
        const auto was = accepted.find(location);
        if (was == accepted.end()) {
            changes.push_back({PolicyChange::Kind::Added, location, std::nullopt, data});
        } else if (!(was->second == data)) {
            changes.push_back({PolicyChange::Kind::Changed, location, was->second, data});
        }
    }
    for (const auto& [location, data] : accepted) {
        if (!current.contains(location))
            changes.push_back({PolicyChange::Kind::Removed, location, data, std::nullopt});
    }
    return changes;
}

std::string BrowserOf(const PolicyLocation& location) {
    const std::string key = Narrow(location.keyPath);
    for (const PolicyPlace& place : WatchedPolicyPlaces()) {
        if (place.root == location.root &&
            text::StartsWith(text::Lower(key + "\\"), text::Lower(place.keyPath + "\\"))) {
            return place.browser;
        }
    }
    return "?";
}

std::string KeyNameOf(const PolicyLocation& location) {
    const auto root = platform::regfile::RootName(location.root);
    return (root ? Narrow(*root) : std::string("?")) + "\\" + Narrow(location.keyPath);
}

std::string ValueNameOf(const PolicyLocation& location) {
    return location.valueName.empty() ? "(Default)" : Narrow(location.valueName);
}

std::string DataText(const PolicyData& data) {
    namespace type = platform::regfile::type;
    const std::string& b = data.bytes;
    if (data.type == type::kString || data.type == type::kExpandString) {
        std::u16string wide;
        for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
            const auto unit = static_cast<char16_t>(static_cast<unsigned char>(b[i]) |
                                                    static_cast<unsigned char>(b[i + 1]) << 8);
            if (unit == 0) break;
            wide += unit;
        }
        return Narrow(wide);
    }
    if (data.type == type::kDword && b.size() == 4) {
        std::uint32_t n = 0;
        for (std::size_t i = 4; i-- > 0;)
            n = n << 8 | static_cast<unsigned char>(b[i]);
        return std::to_string(n);
    }
    std::string hex;
    for (std::size_t i = 0; i < b.size() && i < kShownBytes; ++i) {
        char two[4];
        std::snprintf(two, sizeof two, "%02x", static_cast<unsigned char>(b[i]));
        hex += (i ? "," : "") + std::string(two);
    }
    return b.size() > kShownBytes ? hex + ",..." : hex;
}

std::optional<std::string> FormatPolicyState(const PolicyState& state) {
    std::vector<platform::regfile::Key> keys;
    for (const auto& [location, data] : state) {
        if (keys.empty() || keys.back().root != location.root ||
            keys.back().path != location.keyPath) {
            keys.push_back({location.root, location.keyPath, {}});
        }
        keys.back().values.push_back({location.valueName, data.type, data.bytes});
    }
    // A file holds at least one key: an empty state is the user's policies key with no values.
    if (keys.empty())
        keys.push_back({platform::root::kCurrentUser, Widen("Software\\Policies"), {}});
    return platform::regfile::Format(keys);
}

std::optional<PolicyState> ParsePolicyState(const std::string& fileBytes) {
    const auto keys = platform::regfile::Parse(fileBytes);
    if (!keys) return std::nullopt;
    PolicyState state;
    for (const auto& key : *keys) {
        for (const auto& value : key.values)
            state[{key.root, key.path, value.name}] = {value.type, value.data};
    }
    return state;
}

std::optional<PolicyState> AcceptedPolicies::Load() const {
    const auto bytes = platform::ReadWholeFile(files_, path_, kLargestStateFile);
    return bytes ? ParsePolicyState(*bytes) : std::nullopt;
}

bool AcceptedPolicies::Save(const PolicyState& state) {
    const auto bytes = FormatPolicyState(state);
    return bytes && files_.WriteWholeFile(path_, *bytes);
}

}  // namespace qm::shields
