#pragma once
// The record layouts and line splitting written out plainly with std::string searches, as
// yardsticks for the parsers and the line reader in the random-input tests and the fuzzer.

#include <optional>
#include <string>
#include <vector>

#include "text/Text.h"

namespace qm::test::oracle {

// The index-th piece of s split at every sep, or "" when there are fewer pieces.
inline std::string Piece(const std::string& s, char sep, std::size_t index) {
    std::size_t begin = 0;
    for (std::size_t i = 0; i < index; ++i) {
        const auto hit = s.find(sep, begin);
        if (hit == std::string::npos) return {};
        begin = hit + 1;
    }
    const auto end = s.find(sep, begin);
    return s.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

inline std::string TrimSpaces(const std::string& s) {
    const auto a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// The blocked-cookie rule step by step: candidates contain the site (same case); the last
// dot-part and then the first "*" are removed; the rest must equal the site ignoring case.
inline std::optional<std::size_t> MatchBlockedCookie(const std::vector<std::string>& entries,
                                                     const std::string& site) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].find(site) == std::string::npos) continue;
        std::string c = entries[i];
        if (const auto dot = c.rfind('.'); dot != std::string::npos) c = c.substr(0, dot);
        if (const auto star = c.find('*'); star != std::string::npos) c.erase(star, 1);
        if (text::Lower(c) == text::Lower(site)) return i;
    }
    return std::nullopt;
}

// Lines ended by CR LF, a lone CR or a lone LF.
inline std::vector<std::string> SplitAnyLineEnd(const std::string& s) {
    std::vector<std::string> lines;
    std::string cur;
    bool open = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            lines.push_back(cur);
            cur.clear();
            open = false;
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            cur += s[i];
            open = true;
        }
    }
    if (open) lines.push_back(cur);
    return lines;
}

// Lines ended by CR LF only.
inline std::vector<std::string> SplitCrLf(const std::string& s) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    for (;;) {
        const auto hit = s.find("\r\n", pos);
        if (hit == std::string::npos) break;
        lines.push_back(s.substr(pos, hit - pos));
        pos = hit + 2;
    }
    if (pos < s.size()) lines.push_back(s.substr(pos));
    return lines;
}

}  // namespace qm::test::oracle
