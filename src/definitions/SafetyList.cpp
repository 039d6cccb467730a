#include "definitions/SafetyList.h"

#include <array>

#include "definitions/Text.h"

namespace qm::defs {

namespace {
void StripOneTrailing(std::string& s, char c) {
    if (!s.empty() && s.back() == c)
        s.pop_back();
}
}  // namespace

SafetyList::SafetyList(std::vector<std::string> entries) : entries_(std::move(entries)) {
    for (const auto& e : entries_) {
        std::string n = NormalizeEntry(e);
        if (!n.empty())
            normalized_.insert(std::move(n));
    }
}

std::string SafetyList::NormalizeLocation(std::string_view location) {
    std::string s = text::Lower(text::TrimView(location));
    // Every drive letter is treated as drive C.
    if (s.find(":\\") != std::string::npos)
        s[0] = 'c';
    StripOneTrailing(s, '/');
    StripOneTrailing(s, '\\');
    return s;
}

std::string SafetyList::NormalizeEntry(std::string_view entry) {
    std::string e = text::Lower(text::TrimView(entry));
    StripOneTrailing(e, '/');
    StripOneTrailing(e, '\\');
    return e;
}

bool SafetyList::IsBareRootKey(std::string_view s) {
    static constexpr std::array<std::string_view, 5> kRoots = {
        "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
        "HKEY_CURRENT_CONFIG"};
    const std::string upper = text::Upper(s);
    for (auto root : kRoots) {
        if (upper == root)
            return true;
        if (upper.size() == root.size() + 1 && upper.back() == '\\' &&
            std::string_view(upper).substr(0, root.size()) == root) {
            return true;
        }
    }
    return false;
}

bool SafetyList::IsSafeLocation(std::string_view location) const {
    const std::string s = NormalizeLocation(location);
    if (s.empty())
        return true;
    // Any usable entry protects the bare root keys.
    if (normalized_.empty())
        return false;
    if (IsBareRootKey(s))
        return true;
    // e = s, e = s & "\", or e & "\" = s.
    if (normalized_.count(s) != 0)
        return true;
    if (normalized_.count(s + '\\') != 0)
        return true;
    if (s.back() == '\\' && normalized_.count(s.substr(0, s.size() - 1)) != 0)
        return true;
    return false;
}

}  // namespace qm::defs
