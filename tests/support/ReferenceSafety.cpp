#include "support/ReferenceSafety.h"

#include "text/Text.h"

namespace qm::test {

namespace {
void StripOne(std::string& s, char c) {
    if (!s.empty() && s.back() == c) s.pop_back();
}
}  // namespace

bool ReferenceIsSafeLocation(const std::vector<std::string>& entries, std::string_view p) {
    std::string s = text::Lower(text::Trim(p));
    if (s.find(":\\") != std::string::npos) s[0] = 'c';
    if (!s.empty()) {
        StripOne(s, '/');
        StripOne(s, '\\');
    }
    if (s.empty()) return true;
    const std::string upper = text::Upper(s);
    for (const auto& raw : entries) {
        std::string e = text::Lower(text::Trim(raw));
        StripOne(e, '/');
        StripOne(e, '\\');
        if (e.empty()) continue;
        if (e == s || e == s + "\\" || e + "\\" == s) return true;
        for (const char* root : {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                                 "HKEY_USERS", "HKEY_CURRENT_CONFIG"}) {
            if (upper == root || upper == std::string(root) + "\\") return true;
        }
    }
    return false;
}

}  // namespace qm::test
