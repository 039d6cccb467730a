#pragma once
// Protected locations: files, folders and registry keys that are never reported, whatever a
// signature says. The test is an exact match of the whole location (a file inside a protected
// folder is not protected by the folder's entry).

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace qm::defs {

class SafetyList {
  public:
    SafetyList() = default;
    explicit SafetyList(std::vector<std::string> entries);

    const std::vector<std::string>& Entries() const { return entries_; }
    bool IsSafeLocation(std::string_view location) const;
    // The same for `head` & `tail` joined, which is built only when it could match.
    bool IsSafeLocation(std::string_view head, std::string_view tail) const;

    // The comparison forms, shared with the reference implementation in the tests.
    static void NormalizeLocationInto(std::string_view location, std::string& out);
    static std::string NormalizeEntry(std::string_view entry);
    static bool IsBareRootKey(std::string_view normalizedLocation);

  private:
    bool MayMatchByLength(std::string_view head, std::string_view tail) const;

    std::vector<std::string> entries_;
    std::unordered_set<std::string> normalized_;  // usable entries only
    // The lengths of the usable entries: a location whose length cannot match any entry is
    // answered without lower-casing or hashing it.
    std::vector<bool> entryLengths_;
};

}  // namespace qm::defs
