#pragma once
// How a test parameter is printed. The printed value becomes part of the test's name in CTest,
// whose discovery cannot take backslashes, semicolons or control bytes: those are replaced.

#include <string>
#include <string_view>

namespace qm::test {

inline std::string TestLabel(std::string_view s) {
    if (s.empty()) return "(empty)";
    std::string out;
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += '/';
        } else if (c == ';') {
            out += ',';
        } else if (c == '#') {
            out += '_';
        } else if (b < 0x20 || b >= 0x7f) {
            out += '?';
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace qm::test
