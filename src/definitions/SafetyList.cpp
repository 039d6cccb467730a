#include "definitions/SafetyList.h"

#include <array>

#include "text/Text.h"

namespace qm::defs {

namespace {
void StripOneTrailing(std::string& s, char c) {
    if (!s.empty() && s.back() == c) s.pop_back();
}
}  // namespace

SafetyList::SafetyList(std::vector<std::string> entries) : entries_(std::move(entries)) {
    for (const auto& e : entries_) {
        std::string n = NormalizeEntry(e);
        if (n.empty()) continue;
        if (entryLengths_.size() <= n.size()) entryLengths_.resize(n.size() + 1);
        entryLengths_[n.size()] = true;
        normalized_.insert(std::move(n));
    }
}

void SafetyList::NormalizeLocationInto(std::string_view location, std::string& s) {
    s.assign(text::TrimView(location));
    text::LowerInPlace(s);
    // Every drive letter is treated as drive C.
    if (s.find(":\\") != std::string::npos) s[0] = 'c';
    StripOneTrailing(s, '/');
    StripOneTrailing(s, '\\');
}

std::string SafetyList::NormalizeEntry(std::string_view entry) {
    std::string e = text::Lower(text::TrimView(entry));
    StripOneTrailing(e, '/');
    StripOneTrailing(e, '\\');
    return e;
}

bool SafetyList::IsBareRootKey(std::string_view s) {
    if (s.size() < 10 || !text::EqualsNoCase(s.substr(0, 5), "hkey_")) return false;
    static constexpr std::array<std::string_view, 5> kRoots = {
        "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS",
        "HKEY_CURRENT_CONFIG"};
    const std::string upper = text::Upper(s);
    for (auto root : kRoots) {
        if (upper == root) return true;
        if (upper.size() == root.size() + 1 && upper.back() == '\\' &&
            std::string_view(upper).substr(0, root.size()) == root) {
            return true;
        }
    }
    return false;
}

bool SafetyList::MayMatchByLength(std::string_view head, std::string_view tail) const {
    // The two pieces joined, without joining them.
    const std::size_t total = head.size() + tail.size();
    auto at = [&](std::size_t i) { return i < head.size() ? head[i] : tail[i - head.size()]; };
    // The length the location has once normalised: trimmed, one "/" and then one "\" removed.
    std::size_t first = 0, end = total;
    while (first < end && at(first) == ' ')
        ++first;
    while (end > first && at(end - 1) == ' ')
        --end;
    if (end > first && at(end - 1) == '/') --end;
    if (end > first && at(end - 1) == '\\') --end;
    const std::size_t n = end - first;
    // The empty location and the bare root keys ("HKEY_CURRENT_CONFIG\" is the longest) need
    // the full test.
    if (n <= 20) return true;
    auto has = [this](std::size_t len) { return len < entryLengths_.size() && entryLengths_[len]; };
    return has(n) || has(n + 1) || (at(end - 1) == '\\' && has(n - 1));
}

bool SafetyList::IsSafeLocation(std::string_view location) const {
    return IsSafeLocation(location, {});
}

bool SafetyList::IsSafeLocation(std::string_view head, std::string_view tail) const {
    if (!MayMatchByLength(head, tail)) return false;
    // Scanners ask once per candidate: one buffer per thread saves an allocation each time.
    thread_local std::string s;
    thread_local std::string joined;
    std::string_view location = head;
    if (!tail.empty()) {
        joined.assign(head).append(tail);
        location = joined;
    }
    NormalizeLocationInto(location, s);
    if (s.empty()) return true;
    // Any usable entry protects the bare root keys.
    if (normalized_.empty()) return false;
    if (IsBareRootKey(s)) return true;
    // e = s, or e & "\" = s.
    if (normalized_.count(s) != 0) return true;
    if (s.back() == '\\') {
        s.pop_back();
        if (!s.empty() && normalized_.count(s) != 0) return true;
        s.push_back('\\');
    }
    // e = s & "\".
    s.push_back('\\');
    return normalized_.count(s) != 0;
}

}  // namespace qm::defs
