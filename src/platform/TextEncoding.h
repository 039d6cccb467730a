#pragma once
// The system's text encoding: the program works in the ANSI code page, translations arrive as
// UTF-8.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace qm::platform {

// The system's ANSI code page as the core's text routines need it: which single-byte
// character each byte lowers and uppers to, which bytes begin a two-byte character (in the
// double-byte code pages 932, 936, 949 and 950), and how its text becomes UTF-8.
struct CodePageTables {
    std::array<char, 256> lower{};
    std::array<char, 256> upper{};
    std::array<bool, 256> leadByte{};
    // ANSI text of this code page as UTF-8; a process-wide function, valid as long as the
    // program runs.
    std::string (*toUtf8)(std::string_view ansi) = nullptr;
};

class TextEncoding {
  public:
    virtual ~TextEncoding() = default;
    // UTF-8 text in the system's ANSI code page: a character the code page cannot show becomes
    // "?", and so does a byte that is not valid UTF-8.
    virtual std::string Utf8ToAnsi(std::string_view utf8) = 0;
    // The code page's tables, read once at start-up; nothing when the core's own tables of
    // code page 1252 are right.
    virtual std::optional<CodePageTables> CodePage() { return std::nullopt; }
};

}  // namespace qm::platform
