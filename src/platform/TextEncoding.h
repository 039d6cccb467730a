#pragma once
// The system's text encoding: the program works in the ANSI code page, translations arrive as
// UTF-8.

#include <string>
#include <string_view>

namespace qm::platform {

class TextEncoding {
  public:
    virtual ~TextEncoding() = default;
    // UTF-8 text in the system's ANSI code page: a character the code page cannot show becomes
    // "?", and so does a byte that is not valid UTF-8.
    virtual std::string Utf8ToAnsi(std::string_view utf8) = 0;
};

}  // namespace qm::platform
